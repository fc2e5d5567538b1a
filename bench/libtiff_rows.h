// libtiff's row encoders as a benchmark yardstick.
//
// libtiff keeps its PackBits encoder inside the codec, so it is reached the
// way applications reach it: a TIFF opened on an in-memory sink with
// TIFFClientOpen, one 8-bit-per-sample scanline per row (each row's bytes
// are one scanline, encoded as they are), all rows in one strip so that no
// per-strip bookkeeping happens between rows, and TIFFWriteScanline per row.
// The sink only counts what it is given. The same writer with no
// compression measures what the API itself costs per row, so that the
// encoder's own time can be told apart.
#pragma once

#include <cstddef>
#include <cstdint>

struct tiff;

namespace drv::bench {

class TiffRowWriter {
public:
    // `packBits` false writes uncompressed scanlines.
    TiffRowWriter(std::size_t rowBytes, bool packBits);
    TiffRowWriter(const TiffRowWriter &) = delete;
    TiffRowWriter &operator=(const TiffRowWriter &) = delete;
    ~TiffRowWriter();

    bool ok() const { return tiff_ != nullptr; }
    // Encodes one row of `rowBytes` bytes; false on a libtiff error.
    bool write(const std::uint8_t *row);
    // Bytes libtiff handed to the sink so far, and the rows written.
    std::uint64_t sunk() const { return sunk_; }
    std::uint64_t rows() const { return rows_; }

private:
    tiff *tiff_ = nullptr;
    std::uint64_t sunk_ = 0;
    std::uint64_t end_ = 0;
    std::uint64_t at_ = 0;
    std::uint32_t rows_ = 0;
    friend struct TiffSink;
};

}  // namespace drv::bench
