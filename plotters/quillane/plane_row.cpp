#include "plotters/quillane/plane_row.h"

#include <array>
#include <bit>
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
constexpr bool kLittleEndian = std::endian::native == std::endian::little;

// Bits 6, 4, 2 and 0 of a byte as a 4-bit value, bit 6 highest: the low
// bits of four 2-bit pixels.
consteval std::array<std::uint8_t, 256> evenBits() {
    std::array<std::uint8_t, 256> table{};
    for (unsigned b = 0; b < 256; ++b) {
        table[b] = static_cast<std::uint8_t>((b >> 3 & 8) | (b >> 2 & 4) | (b >> 1 & 2) | (b & 1));
    }
    return table;
}
constexpr std::array<std::uint8_t, 256> kEvenBits = evenBits();

// Gathers bit `plane` of the first planeLength * 8 pixels of the row. The
// device's depths read whole bytes at a time: depth 2 through a table of
// the even bits, depths 4 and 8 by masking one bit per byte and gathering
// the bits with a multiply (whose partial products never overlap).
void extractPlane(std::uint8_t *out, const std::uint8_t *row, std::int32_t planeLength,
                  unsigned depth, unsigned plane) {
    const auto length = static_cast<std::size_t>(planeLength);
    if (length == 0) {
        return;
    }
    if (depth == 1) {
        std::memcpy(out, row, length);
        return;
    }
    if (depth == 2) {
        for (std::size_t i = 0; i < length; ++i) {
            out[i] = static_cast<std::uint8_t>(kEvenBits[row[2 * i] >> plane] << 4 |
                                               kEvenBits[row[2 * i + 1] >> plane]);
        }
        return;
    }
    if (kLittleEndian && depth == 4) {
        for (std::size_t i = 0; i < length; ++i) {
            std::uint32_t x;
            std::memcpy(&x, row + 4 * i, sizeof x);
            // Per byte, first pixel's bit above the second's.
            const std::uint32_t pairs =
                (x >> (plane + 4) & 0x01010101u) << 1 | (x >> plane & 0x01010101u);
            out[i] = static_cast<std::uint8_t>(pairs * 0x40100401u >> 24);
        }
        return;
    }
    if (kLittleEndian && depth == 8) {
        for (std::size_t i = 0; i < length; ++i) {
            std::uint64_t x;
            std::memcpy(&x, row + 8 * i, sizeof x);
            out[i] = static_cast<std::uint8_t>(
                ((x >> plane) & 0x0101010101010101ull) * 0x8040201008040201ull >> 56);
        }
        return;
    }
    std::uint64_t pixel = 0;
    for (std::size_t i = 0; i < length; ++i) {
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
    if (depth == 1 && width % 8 == 0) {
        // One bit per pixel in whole bytes: the row is its own plane.
        n = sendPlane(out, row, planeLength, true, request.flags);
    } else {
        for (std::int32_t i = 0; i < depth; ++i) {
            extractPlane(plane, row, planeLength, static_cast<unsigned>(depth),
                         static_cast<unsigned>(i));
            if (planeLength > 0) {
                plane[planeLength - 1] &= lastByteMask;
            }
            n += sendPlane(out + n, plane, planeLength, i == depth - 1, request.flags);
        }
    }
    releaseBlock(plane);
    return n;
}

}  // namespace drv::quillane
