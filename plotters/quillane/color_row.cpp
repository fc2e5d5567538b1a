#include "plotters/quillane/color_row.h"

#include <cstddef>
#include <cstdint>

#include "common/heap.h"
#include "common/plot_contract.h"
#include "plotters/quillane/delta_row.h"
#include "plotters/quillane/rgb_pixels.h"
#include "plotters/quillane/row_transfer.h"
#include "plotters/quillane/seed_row.h"

namespace drv::quillane {
namespace {

constexpr std::int64_t kMaxRgbLength = INT32_MAX;

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
    // The row is converted into a block laid out as a seed block, which
    // becomes the seed once the row is sent: no copy of the row is made.
    std::uint8_t *converted = obtainRowBlock(rgbLength);
    auto *packed = tryDelta ? static_cast<std::uint8_t *>(obtainBlock(size)) : nullptr;
    if (converted == nullptr || (tryDelta && packed == nullptr)) {
        releaseBlock(converted);
        releaseBlock(packed);
        return 0;
    }
    std::uint8_t *rgb = seedBytes(converted);
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
        adoptSeed(seedRow, converted);
    } else {
        forgetSeed(seedRow);
        releaseBlock(converted);
    }
    releaseBlock(packed);
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
                          [&](std::uint8_t *rgb) {
                              const auto pixels = static_cast<std::size_t>(width);
                              if (depth == 32) {
                                  rgbFromDirect32(rgb, row, pixels);
                              } else {
                                  rgbFromDirect16(rgb, row, pixels);
                              }
                          });
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
        rgbFromIndexes(rgb, row, static_cast<std::size_t>(width),
                       static_cast<unsigned>(depth < 1 ? 0 : depth), palette);
    });
}

}  // namespace drv::quillane
