#include "plotters/quillane/plane_row.h"

#include <cstddef>
#include <cstring>

#include "common/heap.h"
#include "common/plot_contract.h"
#include "plotters/quillane/packbits.h"
#include "plotters/quillane/packed_pixels.h"
#include "plotters/quillane/row_transfer.h"

namespace drv::quillane {
namespace {

constexpr std::int32_t kMaxPlaneDepth = 15;

// Gathers bit `plane` of the first planeLength * 8 pixels of the row.
void extractPlane(std::uint8_t *out, const std::uint8_t *row, std::int32_t planeLength,
                  unsigned depth, unsigned plane) {
    if (depth == 1) {
        if (planeLength > 0) {
            std::memcpy(out, row, static_cast<std::size_t>(planeLength));
        }
        return;
    }
    std::uint64_t pixel = 0;
    for (std::int32_t i = 0; i < planeLength; ++i) {
        unsigned byte = 0;
        for (int m = 0; m < 8; ++m) {
            byte = byte << 1 | ((packedPixel(row, pixel++, depth) >> plane) & 1u);
        }
        out[i] = static_cast<std::uint8_t>(byte);
    }
}

}  // namespace

std::int32_t sendPlane(std::uint8_t *out, const std::uint8_t *plane, std::int32_t planeLength,
                       bool isLast, std::int32_t flags) {
    const char terminator = isLast ? 'W' : 'V';
    if ((flags & FlagPlanesUncompressed) != 0) {
        return emitTransfer(out, kMethodUncompressed, planeLength, terminator, plane);
    }
    auto *scratch = static_cast<std::uint8_t *>(obtainBlock(static_cast<std::size_t>(planeLength)));
    std::int32_t n;
    const std::int32_t packed =
        scratch != nullptr ? compressPackBits(scratch, plane, planeLength) : kCompressGaveUp;
    if (packed != kCompressGaveUp && packed < planeLength) {
        n = emitTransfer(out, kMethodPackBits, packed, terminator, scratch);
    } else {
        n = emitTransfer(out, kMethodUncompressed, planeLength, terminator, plane);
    }
    releaseBlock(scratch);
    return n;
}

std::int32_t encodePlaneRow(std::uint8_t *out, const PlotRequest &request,
                            const std::uint8_t *row) {
    const std::int32_t width = cellInt(request, 0);
    const std::int32_t depth = cellInt(request, 1);
    if (width < 0 || depth < 1 || depth > kMaxPlaneDepth) {
        return 0;
    }
    // (width + 7) / 8 without overflowing at the top of the int32 range.
    const auto planeLength = static_cast<std::int32_t>((std::int64_t{width} + 7) / 8);
    if (row == nullptr && planeLength > 0) {
        return 0;
    }
    auto *plane = static_cast<std::uint8_t *>(obtainBlock(static_cast<std::size_t>(planeLength)));
    if (plane == nullptr) {
        return 0;
    }
    // The device would draw whatever the host left in the bits beyond the
    // last pixel.
    const auto lastByteMask = static_cast<std::uint8_t>(0xFF << ((8 - width % 8) % 8));
    std::int32_t n = 0;
    for (std::int32_t i = 0; i < depth; ++i) {
        extractPlane(plane, row, planeLength, static_cast<unsigned>(depth),
                     static_cast<unsigned>(i));
        if (planeLength > 0) {
            plane[planeLength - 1] &= lastByteMask;
        }
        n += sendPlane(out + n, plane, planeLength, i == depth - 1, request.flags);
    }
    releaseBlock(plane);
    return n;
}

}  // namespace drv::quillane
