// Holding the driver's compressors to the byte-at-a-time rules
// (reference_compressors.h): every scanner the build has, on the same row.
// Used by the differential tests and the differential fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "plotters/quillane/delta_row.h"
#include "plotters/quillane/packbits.h"
#include "tests/support/reference_compressors.h"

namespace drv::test {

struct CompressorVariant {
    const char *name;
    std::int32_t (*packBits)(std::uint8_t *, const std::uint8_t *, std::int32_t);
    std::int32_t (*deltaRow)(std::uint8_t *, const std::uint8_t *, std::int32_t,
                             const std::uint8_t *);
};

inline constexpr CompressorVariant kCompressorVariants[] = {
    {"words", quillane::compressPackBitsWith<quillane::scan::Words>,
     quillane::compressDeltaRowWith<quillane::scan::Words>},
#if defined(__SSE2__)
    {"sse2", quillane::compressPackBitsWith<quillane::scan::Sse2>,
     quillane::compressDeltaRowWith<quillane::scan::Sse2>},
#endif
};
// compressPackBits and compressDeltaRow are the FastScan instance of these;
// the other tests hold them to the device's examples.

struct ReferenceForm {
    std::int32_t result;
    std::vector<std::uint8_t> bytes;  // the compressed form unless it gave up
};

inline ReferenceForm referenceForm(std::int32_t result, std::vector<std::uint8_t> out) {
    out.resize(result == reference::kGaveUp ? 0 : static_cast<std::size_t>(result));
    return {result, std::move(out)};
}

inline ReferenceForm referencePackBits(const std::uint8_t *row, std::size_t length) {
    std::vector<std::uint8_t> out(length);
    const std::int32_t result =
        reference::packBits(out.data(), row, static_cast<std::int32_t>(length));
    return referenceForm(result, std::move(out));
}

inline ReferenceForm referenceDeltaRow(const std::uint8_t *row, const std::uint8_t *seed,
                                       std::size_t length) {
    std::vector<std::uint8_t> out(length);
    const std::int32_t result =
        reference::deltaRow(out.data(), row, static_cast<std::int32_t>(length), seed);
    return referenceForm(result, std::move(out));
}

inline std::string hexBytes(const std::uint8_t *bytes, std::size_t count) {
    std::string text;
    char digits[4];
    for (std::size_t i = 0; i < count && i < 600; ++i) {
        std::snprintf(digits, sizeof digits, "%02X ", bytes[i]);
        text += digits;
    }
    return count > 600 ? text + "..." : text;
}

// Runs both compressors (PackBits only without `seed`) of every variant on
// `length` bytes of `row`, writing at `outOffset` into a destination of the
// row's length followed by guard bytes, and compares with the rules.
// Returns an empty string when every variant agrees, otherwise what
// differed, with the row.
inline std::string differentialMismatch(const std::uint8_t *row, const std::uint8_t *seed,
                                        std::size_t length, std::size_t outOffset = 0) {
    constexpr std::size_t kSmall = 64;
    constexpr std::size_t kGuard = 16;
    std::uint8_t small[2][kSmall + 64 + kGuard];
    std::vector<std::uint8_t> large[2];
    std::uint8_t *buffers[2] = {small[0], small[1]};
    if (length + outOffset + kGuard > sizeof small[0]) {
        for (int k = 0; k < 2; ++k) {
            large[k].resize(length + outOffset + kGuard);
            buffers[k] = large[k].data();
        }
    }
    const auto n = static_cast<std::int32_t>(length);
    std::uint8_t *expected = buffers[0];
    std::uint8_t *actual = buffers[1] + outOffset;
    for (int kind = 0; kind < (seed != nullptr ? 2 : 1); ++kind) {
        const std::int32_t want = kind == 0 ? reference::packBits(expected, row, n)
                                            : reference::deltaRow(expected, row, n, seed);
        for (const CompressorVariant &variant : kCompressorVariants) {
            std::memset(actual + length, 0xA5, kGuard);
            const std::int32_t got = kind == 0 ? variant.packBits(actual, row, n)
                                               : variant.deltaRow(actual, row, n, seed);
            bool guarded = true;
            for (std::size_t i = 0; i < kGuard; ++i) {
                guarded = guarded && actual[length + i] == 0xA5;
            }
            if (guarded && got == want &&
                (got == reference::kGaveUp ||
                 std::memcmp(actual, expected, static_cast<std::size_t>(got)) == 0)) {
                continue;
            }
            std::string what = std::string(kind == 0 ? "PackBits" : "delta row") + " (" +
                               variant.name + "): " + std::to_string(got) + " instead of " +
                               std::to_string(want) + (guarded ? "" : ", wrote past the row") +
                               "\n row: " + hexBytes(row, length);
            if (kind == 1) {
                what += "\n seed: " + hexBytes(seed, length);
            }
            if (got == want) {
                what += "\n got: " + hexBytes(actual, static_cast<std::size_t>(got)) +
                        "\n want: " + hexBytes(expected, static_cast<std::size_t>(want));
            }
            return what;
        }
    }
    return {};
}

}  // namespace drv::test
