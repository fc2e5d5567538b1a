#include "bench/libtiff_rows.h"

#include <cstdio>

#include <tiffio.h>

namespace drv::bench {

// The in-memory file: a position and an end, nothing kept.
struct TiffSink {
    static tmsize_t read(thandle_t, void *, tmsize_t) { return 0; }
    static tmsize_t write(thandle_t handle, void *, tmsize_t size) {
        auto *self = static_cast<TiffRowWriter *>(handle);
        self->sunk_ += static_cast<std::uint64_t>(size);
        self->at_ += static_cast<std::uint64_t>(size);
        self->end_ = self->at_ > self->end_ ? self->at_ : self->end_;
        return size;
    }
    static toff_t seek(thandle_t handle, toff_t offset, int whence) {
        auto *self = static_cast<TiffRowWriter *>(handle);
        if (whence == SEEK_SET) {
            self->at_ = offset;
        } else if (whence == SEEK_CUR) {
            self->at_ += offset;
        } else {
            self->at_ = self->end_ + offset;
        }
        return self->at_;
    }
    static int close(thandle_t) { return 0; }
    static toff_t size(thandle_t handle) { return static_cast<TiffRowWriter *>(handle)->end_; }
    static int map(thandle_t, void **, toff_t *) { return 0; }
    static void unmap(thandle_t, void *, toff_t) {}
};

TiffRowWriter::TiffRowWriter(std::size_t rowBytes, bool packBits) {
    TIFFSetWarningHandler(nullptr);
    // BigTIFF: a long run writes more than the 4 GB a classic file holds.
    tiff_ = TIFFClientOpen("memory", "w8", this, TiffSink::read, TiffSink::write, TiffSink::seek,
                           TiffSink::close, TiffSink::size, TiffSink::map, TiffSink::unmap);
    if (tiff_ == nullptr) {
        return;
    }
    TIFFSetField(tiff_, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(rowBytes));
    TIFFSetField(tiff_, TIFFTAG_IMAGELENGTH, std::uint32_t{1});
    TIFFSetField(tiff_, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff_, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff_, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff_, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff_, TIFFTAG_COMPRESSION, packBits ? COMPRESSION_PACKBITS : COMPRESSION_NONE);
    TIFFSetField(tiff_, TIFFTAG_ROWSPERSTRIP, std::uint32_t{0x7FFFFFFF});
}

TiffRowWriter::~TiffRowWriter() {
    if (tiff_ != nullptr) {
        TIFFClose(tiff_);
    }
}

bool TiffRowWriter::write(const std::uint8_t *row) {
    // libtiff takes a non-const buffer but does not change it for these
    // codecs.
    return TIFFWriteScanline(tiff_, const_cast<std::uint8_t *>(row), rows_++, 0) == 1;
}

}  // namespace drv::bench
