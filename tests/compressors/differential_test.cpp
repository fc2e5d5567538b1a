// The driver's compressors against the byte-at-a-time rules: every scanner
// the build has must give the reference's result and, when it does not give
// up, its bytes, for short rows taken exhaustively, for stretches around
// every boundary of the formats, at every alignment of the buffers, and
// with inaccessible pages right after (or before) the row, the seed and the
// destination.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "plotters/quillane/delta_row.h"
#include "plotters/quillane/packbits.h"
#include "tests/compressors/differential.h"
#include "tests/compressors/test_rows.h"
#include "tests/support/guarded_bytes.h"

namespace {

using drv::test::Bytes;
using drv::test::counting;
using drv::test::Fence;
using drv::test::GuardedBytes;
using drv::test::joined;
using drv::test::kCompressorVariants;
using drv::test::repeated;

// True when every variant agrees with the rules; a failure says how not.
bool agrees(const std::uint8_t *row, const std::uint8_t *seed, std::size_t length,
            std::size_t outOffset = 0) {
    const std::string mismatch = drv::test::differentialMismatch(row, seed, length, outOffset);
    if (!mismatch.empty()) {
        ADD_FAILURE() << mismatch;
    }
    return mismatch.empty();
}

// Every row of `length` bytes over `alphabet` (its first `symbols` values).
template <typename Visit>
void everyRow(std::size_t length, const std::uint8_t *alphabet, std::size_t symbols, Visit visit) {
    std::vector<std::size_t> digits(length, 0);
    std::vector<std::uint8_t> row(length, alphabet[0]);
    while (true) {
        if (!visit(row)) {
            return;
        }
        std::size_t k = 0;
        for (; k < length && ++digits[k] == symbols; ++k) {
            digits[k] = 0;
            row[k] = alphabet[0];
        }
        if (k == length) {
            return;
        }
        row[k] = alphabet[digits[k]];
    }
}

TEST(Differential, EveryRowOfUpToThreeBytes) {
    std::uint8_t all[256];
    for (int v = 0; v < 256; ++v) {
        all[v] = static_cast<std::uint8_t>(v);
    }
    for (std::size_t length = 0; length <= 3; ++length) {
        SCOPED_TRACE(length);
        everyRow(length, all, 256, [](const std::vector<std::uint8_t> &row) {
            // Delta rows depend on which bytes changed more than on their
            // values: a quarter of the rows, against a seed that differs
            // where a pattern taken from the row's values says, meets every
            // pattern of changes many times over.
            std::uint8_t seed[3] = {};
            const unsigned pick = row.empty() ? 0 : row[0] + 3u * (row.size() > 1 ? row[1] : 0);
            for (std::size_t i = 0; i < row.size(); ++i) {
                seed[i] = static_cast<std::uint8_t>(row[i] ^ ((pick >> i & 1u) != 0 ? 0x5A : 0));
            }
            const bool withSeed = row.size() < 3 || (row[0] ^ row[1] ^ row[2]) % 4 == 0;
            return agrees(row.data(), withSeed ? seed : nullptr, row.size());
        });
    }
}

TEST(Differential, EveryRowOfUpToTwelveBytesOverSmallAlphabets) {
    const std::uint8_t three[] = {0x00, 0x01, 0xFF};
    const Bytes zeros(12, 0x00);
    for (std::size_t length = 0; length <= 12; ++length) {
        SCOPED_TRACE(length);
        everyRow(length, three, 3, [&](const std::vector<std::uint8_t> &row) {
            return agrees(row.data(), zeros.data(), row.size());
        });
    }
    // Rows and seeds both free over two values: every pattern of changes
    // next to every pattern of values.
    const std::uint8_t two[] = {0x00, 0x01};
    for (std::size_t length = 0; length <= 8; ++length) {
        SCOPED_TRACE(length);
        everyRow(2 * length, two, 2, [&](const std::vector<std::uint8_t> &both) {
            return agrees(both.data(), both.data() + length, length);
        });
    }
}

// Stretch lengths and gaps around where the formats change: pieces of 128
// in PackBits, offsets that spill into one, two or three offset bytes and
// commands of 8 in delta rows.
const std::size_t kEdges[] = {0,   1,   2,   3,   7,   8,   9,   16,  17,  29,  30,  31,
                              32,  126, 127, 128, 129, 130, 131, 255, 256, 257, 258, 284,
                              285, 286, 287, 384, 385, 539, 540, 541, 542, 796, 797};

TEST(Differential, RunsLiteralsAndGapsAroundEveryBoundary) {
    for (std::size_t before : kEdges) {
        for (std::size_t stretch : kEdges) {
            SCOPED_TRACE(testing::Message() << "before " << before << " stretch " << stretch);
            const Bytes literal = counting(before, 0x40);
            for (const Bytes &row : {
                     joined({literal, repeated(stretch, 0x07), {0x01, 0x02}}),
                     joined({repeated(before, 0x07), counting(stretch, 0x10), {0x09, 0x09}}),
                     joined({literal, repeated(stretch, 0x07)}),
                     joined({repeated(before, 0x00), {0x05, 0x05}, counting(stretch)}),
                 }) {
                // Against itself with a changed stretch: a gap of `before`
                // unchanged bytes, then `stretch` changed ones, then a gap
                // of 3 and one more change.
                Bytes seed = row;
                for (std::size_t i = before; i < before + stretch && i < seed.size(); ++i) {
                    seed[i] = static_cast<std::uint8_t>(seed[i] ^ 0x80);
                }
                if (before + stretch + 3 < seed.size()) {
                    seed[before + stretch + 3] ^= 0x01;
                }
                ASSERT_TRUE(agrees(row.data(), seed.data(), row.size()));
                const Bytes zeros(row.size(), 0x00);
                ASSERT_TRUE(agrees(row.data(), zeros.data(), row.size()));
            }
        }
    }
}

// Rows that start at every offset of a 64-byte line and end wherever their
// length takes them, with seed and destination at other offsets.
TEST(Differential, EveryAlignmentOfRowSeedAndDestination) {
    const Bytes texture = joined({repeated(40, 0x00), counting(70, 3), repeated(130, 0xFF),
                                  {1, 1, 2, 2, 2, 3}, counting(40, 9), repeated(3, 0x11)});
    Bytes shifted(texture.size() + 64);
    Bytes seedShifted(texture.size() + 64);
    for (std::size_t offset = 0; offset < 64; ++offset) {
        for (std::size_t length = 0; length <= texture.size(); length += 1 + length / 16) {
            SCOPED_TRACE(testing::Message() << "offset " << offset << " length " << length);
            std::copy(texture.begin(), texture.begin() + static_cast<std::ptrdiff_t>(length),
                      shifted.begin() + static_cast<std::ptrdiff_t>(offset));
            const std::size_t seedOffset = (offset * 7 + 3) % 64;
            for (std::size_t i = 0; i < length; ++i) {
                seedShifted[seedOffset + i] =
                    static_cast<std::uint8_t>(texture[i] ^ (i % 37 < 5 ? 0x21 : 0));
            }
            ASSERT_TRUE(agrees(shifted.data() + offset, seedShifted.data() + seedOffset, length,
                               (offset * 13 + 5) % 64));
        }
    }
}

// A fault, not a failed check, is what a read past the row looks like here:
// the row, the seed and the destination each end (or begin) at a page the
// process may not touch.
TEST(Differential, NoByteOutsideRowSeedOrDestinationIsTouched) {
    const Bytes texture = joined({counting(300, 1), repeated(200, 0x00), {4, 4, 4},
                                  counting(17, 0x80), repeated(129, 0x33)});
    std::vector<std::size_t> lengths;
    for (std::size_t n = 0; n <= 70; ++n) {
        lengths.push_back(n);
    }
    for (std::size_t n : {127u, 128u, 129u, 255u, 256u, 400u, 649u}) {
        lengths.push_back(n);
    }
    for (const Fence fence : {Fence::After, Fence::Before}) {
        for (std::size_t length : lengths) {
            SCOPED_TRACE(testing::Message() << "length " << length << " fence "
                                            << (fence == Fence::After ? "after" : "before"));
            GuardedBytes row(length, fence);
            GuardedBytes seed(length, fence);
            ASSERT_TRUE(row.ok() && seed.ok());
            // The row's tail is its most varied part: equal to the seed,
            // different from it, runs and literals all reach the fence.
            row.fill(texture.data() + texture.size() - length);
            Bytes seedBytes(texture.end() - static_cast<std::ptrdiff_t>(length), texture.end());
            for (std::size_t i = 0; i < length; i += 3) {
                seedBytes[i] ^= 0x40;
            }
            seed.fill(seedBytes.data());
            for (const auto &variant : kCompressorVariants) {
                SCOPED_TRACE(variant.name);
                GuardedBytes out(length, fence);
                ASSERT_TRUE(out.ok());
                const std::int32_t n = static_cast<std::int32_t>(length);
                EXPECT_EQ(variant.packBits(out.data(), row.data(), n),
                          drv::test::referencePackBits(row.data(), length).result);
                EXPECT_EQ(variant.deltaRow(out.data(), row.data(), n, seed.data()),
                          drv::test::referenceDeltaRow(row.data(), seed.data(), length).result);
            }
        }
    }
}

}  // namespace
