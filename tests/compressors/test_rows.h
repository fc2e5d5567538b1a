// Row builders and guarded compressor calls shared by the compressor tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <optional>
#include <vector>

#include <gtest/gtest.h>

#include "plotters/quillane/delta_row.h"
#include "plotters/quillane/packbits.h"

namespace drv::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes repeated(std::size_t count, std::uint8_t value) { return Bytes(count, value); }

// first, first + 1, ... (wrapping at 256).
inline Bytes counting(std::size_t count, std::uint8_t first = 0) {
    Bytes row(count);
    for (std::size_t i = 0; i < count; ++i) {
        row[i] = static_cast<std::uint8_t>(first + i);
    }
    return row;
}

inline Bytes joined(std::initializer_list<Bytes> parts) {
    Bytes row;
    for (const Bytes &part : parts) {
        row.insert(row.end(), part.begin(), part.end());
    }
    return row;
}

// The compressed bytes, or nullopt when the compressor gave up.
using Compressed = std::optional<Bytes>;

// Runs a compressor into a destination of the row's length followed by
// guard bytes, and fails the test when a guard byte was touched.
template <typename Compress>
Compressed compressGuarded(std::size_t length, Compress compress) {
    constexpr std::size_t kGuard = 16;
    constexpr std::uint8_t kGuardByte = 0xA5;
    Bytes destination(length + kGuard, kGuardByte);
    const std::int32_t result = compress(destination.data());
    for (std::size_t i = length; i < destination.size(); ++i) {
        EXPECT_EQ(destination[i], kGuardByte) << "wrote past the row at " << i;
    }
    if (result == quillane::kCompressGaveUp) {
        return std::nullopt;
    }
    EXPECT_GE(result, 0);
    EXPECT_LE(static_cast<std::size_t>(result), length);
    destination.resize(static_cast<std::size_t>(result));
    return destination;
}

inline Compressed packBits(const Bytes &row) {
    return compressGuarded(row.size(), [&](std::uint8_t *destination) {
        return quillane::compressPackBits(destination, row.data(),
                                          static_cast<std::int32_t>(row.size()));
    });
}

inline Compressed deltaRow(const Bytes &row, const Bytes &seed) {
    return compressGuarded(row.size(), [&](std::uint8_t *destination) {
        return quillane::compressDeltaRow(destination, row.data(),
                                          static_cast<std::int32_t>(row.size()), seed.data());
    });
}

}  // namespace drv::test
