#include "plotters/quillane/color_row.h"

#include <cstddef>
#include <cstdint>

#include "common/heap.h"
#include "common/plot_contract.h"
#include "plotters/quillane/delta_row.h"
#include "plotters/quillane/packed_pixels.h"
#include "plotters/quillane/row_transfer.h"
#include "plotters/quillane/seed_row.h"

namespace drv::quillane {
namespace {

constexpr std::int64_t kMaxRgbLength = INT32_MAX;

// A 5-bit component widened to 8 bits so that 0 stays 0 and 31 becomes 255.
std::uint8_t widen5(unsigned component) {
    return static_cast<std::uint8_t>(component << 3 | component >> 2);
}

void convertDirect(std::uint8_t *rgb, const std::uint8_t *row, std::int32_t width,
                   std::int32_t depth) {
    const auto pixels = static_cast<std::size_t>(width);
    if (depth == 32) {
        for (std::size_t p = 0; p < pixels; ++p) {
            rgb[3 * p] = row[4 * p + 1];
            rgb[3 * p + 1] = row[4 * p + 2];
            rgb[3 * p + 2] = row[4 * p + 3];
        }
        return;
    }
    for (std::size_t p = 0; p < pixels; ++p) {
        const unsigned word = row[2 * p] | static_cast<unsigned>(row[2 * p + 1]) << 8;
        rgb[3 * p] = widen5(word >> 10 & 31u);
        rgb[3 * p + 1] = widen5(word >> 5 & 31u);
        rgb[3 * p + 2] = widen5(word & 31u);
    }
}

void convertIndexed(std::uint8_t *rgb, const std::uint8_t *row, std::int32_t width,
                    std::int32_t depth, const std::uint8_t *palette) {
    const auto pixels = static_cast<std::size_t>(width);
    for (std::size_t p = 0; p < pixels; ++p) {
        const std::uint32_t index =
            depth >= 1 ? packedPixel(row, p, static_cast<unsigned>(depth)) & 0xFFu : 0;
        rgb[3 * p] = palette[3 * index];
        rgb[3 * p + 1] = palette[3 * index + 1];
        rgb[3 * p + 2] = palette[3 * index + 2];
    }
}

// The steps both colour encodings share: check the row, obtain the seed and
// work buffers, let `convert` fill the RGB bytes, send them as a delta row
// when the seed matches the device and that is shorter, and keep the seed in
// step with what the device now holds. `rowBytes` is how much of the host's
// row `convert` reads.
template <typename Convert>
std::int32_t encodeColorRow(std::uint8_t *out, std::uint8_t *&seedRow, const PlotRequest &request,
                            const std::uint8_t *row, std::uint64_t rowBytes, Convert convert) {
    const std::int64_t rgbLength64 = std::int64_t{cellInt(request, 0)} * 3;
    if (rgbLength64 < 0 || rgbLength64 > kMaxRgbLength || (row == nullptr && rowBytes > 0)) {
        return 0;
    }
    const auto rgbLength = static_cast<std::int32_t>(rgbLength64);
    const auto size = static_cast<std::size_t>(rgbLength);

    // With flags 0x04 the row goes out whole and the device's seed becomes
    // this row, which the block does not hold.
    const bool keepSeed = !hasFlag(request, FlagColorUncompressed);
    std::uint8_t *seed = nullptr;
    if (keepSeed) {
        seed = seedFor(seedRow, rgbLength);
        if (seed == nullptr) {
            return 0;
        }
    }
    const bool tryDelta = seed != nullptr && seedMatchesDevice(seed);
    auto *rgb = static_cast<std::uint8_t *>(obtainBlock(size));
    auto *packed = tryDelta ? static_cast<std::uint8_t *>(obtainBlock(size)) : nullptr;
    if (rgb == nullptr || (tryDelta && packed == nullptr)) {
        releaseBlock(rgb);
        releaseBlock(packed);
        return 0;
    }
    convert(rgb);

    const std::int32_t deltaLength =
        tryDelta ? compressDeltaRow(packed, rgb, rgbLength, seedBytes(seed)) : kCompressGaveUp;
    std::int32_t n;
    if (deltaLength != kCompressGaveUp && deltaLength < rgbLength) {
        n = emitTransfer(out, kMethodDeltaRow, deltaLength, 'W', packed);
    } else {
        n = emitTransfer(out, kMethodUncompressed, rgbLength, 'W', rgb);
    }
    if (keepSeed) {
        refreshSeed(seed, rgb);
    } else {
        forgetSeed(seedRow);
    }
    releaseBlock(packed);
    releaseBlock(rgb);
    return n;
}

}  // namespace

std::int32_t encodeDirectRow(std::uint8_t *out, std::uint8_t *&seedRow, const PlotRequest &request,
                             const std::uint8_t *row) {
    const std::int32_t width = cellInt(request, 0);
    const std::int32_t depth = cellInt(request, 1);
    if ((depth != 16 && depth != 32) || width < 0) {
        return 0;
    }
    const std::uint64_t rowBytes = static_cast<std::uint64_t>(width) * (depth == 32 ? 4u : 2u);
    return encodeColorRow(out, seedRow, request, row, rowBytes,
                          [&](std::uint8_t *rgb) { convertDirect(rgb, row, width, depth); });
}

std::int32_t encodePaletteRow(std::uint8_t *out, std::uint8_t *&seedRow,
                              const std::uint8_t *palette, const PlotRequest &request,
                              const std::uint8_t *row) {
    const std::int32_t width = cellInt(request, 0);
    const std::int32_t depth = cellInt(request, 1);
    if (palette == nullptr || width < 0 || depth >= 16) {
        return 0;
    }
    const std::uint64_t bits =
        static_cast<std::uint64_t>(width) * static_cast<std::uint64_t>(depth < 1 ? 0 : depth);
    return encodeColorRow(out, seedRow, request, row, (bits + 7) / 8, [&](std::uint8_t *rgb) {
        convertIndexed(rgb, row, width, depth, palette);
    });
}

}  // namespace drv::quillane
