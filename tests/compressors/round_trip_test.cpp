// Whatever the compressors produce must decode, with decoders written from
// the data format, back to the row; over structured rows (runs of every
// length around the 128 split, pairs, literal stretches, offsets around the
// 31 and 255 steps) and noise.
#include <algorithm>
#include <cstdint>
#include <iterator>
#include <random>
#include <vector>

#include <gtest/gtest.h>

#include "tests/compressors/pcl_decoders.h"
#include "tests/compressors/row_shapes.h"
#include "tests/compressors/test_rows.h"

namespace {

using drv::test::applyDeltaRow;
using drv::test::Bytes;
using drv::test::Compressed;
using drv::test::decodePackBits;

constexpr int kRows = 3000;

using RowSource = drv::test::RowShapes;  // fixed seeds: a failure repeats

std::size_t rowLength(RowSource &source) {
    return source.below(8) == 0 ? source.below(8) : source.below(1500);
}

TEST(RoundTrip, PackBitsDecodesToTheRow) {
    RowSource source(0x5EED0002);
    int compressed = 0;
    for (int i = 0; i < kRows; ++i) {
        SCOPED_TRACE(i);
        const Bytes row = source.row(rowLength(source));
        const Compressed out = drv::test::packBits(row);
        if (!out) {
            continue;
        }
        ++compressed;
        ASSERT_LT(out->size(), std::max<std::size_t>(row.size(), 1));
        Bytes decoded(row.size());
        ASSERT_EQ(decodePackBits(out->data(), out->size(), decoded.data(), decoded.size()),
                  static_cast<std::int64_t>(row.size()));
        ASSERT_EQ(decoded, row);
    }
    EXPECT_GT(compressed, kRows / 4);
}

TEST(RoundTrip, DeltaRowDecodesToTheRow) {
    RowSource source(0x5EED0003);
    int compressed = 0;
    for (int i = 0; i < kRows; ++i) {
        SCOPED_TRACE(i);
        const Bytes seed = source.row(rowLength(source));
        const Bytes row = source.changed(seed);
        const Compressed out = drv::test::deltaRow(row, seed);
        if (!out) {
            continue;
        }
        ++compressed;
        Bytes decoded = seed;
        ASSERT_TRUE(applyDeltaRow(out->data(), out->size(), decoded.data(), decoded.size()));
        ASSERT_EQ(decoded, row);
    }
    EXPECT_GT(compressed, kRows / 4);
}

// Rows longer than the 16-bit counts elsewhere in the driver still encode
// offsets and runs correctly.
TEST(RoundTrip, RowsLongerThan32767Bytes) {
    RowSource source(0x5EED0004);
    const Bytes seed = source.row(70000);
    Bytes row = seed;
    row[5] ^= 0xFF;
    row[40000] ^= 0xFF;
    row[69999] ^= 0xFF;
    const Compressed delta = drv::test::deltaRow(row, seed);
    ASSERT_TRUE(delta);
    Bytes decoded = seed;
    ASSERT_TRUE(applyDeltaRow(delta->data(), delta->size(), decoded.data(), decoded.size()));
    EXPECT_EQ(decoded, row);

    const Bytes blank(70000, 0x00);
    const Compressed packed = drv::test::packBits(blank);
    ASSERT_TRUE(packed);
    EXPECT_EQ(packed->size(), 2u * (70000 / 128 + 1));
    decoded.assign(blank.size(), 0xFF);
    EXPECT_EQ(decodePackBits(packed->data(), packed->size(), decoded.data(), decoded.size()),
              70000);
    EXPECT_EQ(decoded, blank);
}

// The decoders must turn away what the compressors must never write, or a
// round trip could pass over a broken form.
TEST(RoundTrip, DecodersRejectBrokenForms) {
    std::uint8_t out[8] = {};
    const Bytes minus128 = {0x80, 0x00};
    const Bytes shortLiteral = {0x02, 0x01};
    const Bytes tooLong = {0xF9, 0x01};
    EXPECT_EQ(decodePackBits(minus128.data(), minus128.size(), out, 8), -1);
    EXPECT_EQ(decodePackBits(shortLiteral.data(), shortLiteral.size(), out, 8), -1);
    EXPECT_EQ(decodePackBits(tooLong.data(), tooLong.size(), out, 4), -1);

    std::uint8_t row[8] = {};
    const Bytes pastRow = {0x08, 0x01};
    const Bytes openOffset = {0x1F, 0xFF};
    const Bytes shortReplacement = {0x20, 0x01};
    EXPECT_FALSE(applyDeltaRow(pastRow.data(), pastRow.size(), row, 8));
    EXPECT_FALSE(applyDeltaRow(openOffset.data(), openOffset.size(), row, 8));
    EXPECT_FALSE(applyDeltaRow(shortReplacement.data(), shortReplacement.size(), row, 8));
}

}  // namespace
