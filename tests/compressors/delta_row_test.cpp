#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "plotters/quillane/delta_row.h"
#include "tests/compressors/test_rows.h"

namespace {

using drv::quillane::compressDeltaRow;
using drv::quillane::kCompressGaveUp;
using drv::test::Bytes;
using drv::test::Compressed;
using drv::test::deltaRow;
using drv::test::joined;
using drv::test::repeated;

const Compressed kGivesUp = std::nullopt;

// A row of `length` zero bytes with `changes` written from `at` on.
Bytes changedAt(std::size_t length, std::size_t at, const Bytes &changes) {
    Bytes row(length, 0x00);
    for (std::size_t i = 0; i < changes.size(); ++i) {
        row[at + i] = changes[i];
    }
    return row;
}

struct DeltaRowCase {
    int line;
    Bytes row;  // compared against a seed of zero bytes
    Compressed expected;
};

const std::vector<DeltaRowCase> &deltaRowCases() {
    static const std::vector<DeltaRowCase> cases = {
        {__LINE__, repeated(10, 0x00), Bytes{}},
        {__LINE__, {}, Bytes{}},
        // Offsets up to 30 fit the command byte; 31 spills into offset
        // bytes, each 255 announcing another.
        {__LINE__, changedAt(40, 30, {0x05}), Bytes{0x1E, 0x05}},
        {__LINE__, changedAt(40, 31, {0x05}), Bytes{0x1F, 0x00, 0x05}},
        {__LINE__, changedAt(300, 285, {0x05}), Bytes{0x1F, 0xFE, 0x05}},
        {__LINE__, changedAt(300, 286, {0x05}), Bytes{0x1F, 0xFF, 0x00, 0x05}},
        {__LINE__, changedAt(600, 541, {0x05}), Bytes{0x1F, 0xFF, 0xFF, 0x00, 0x05}},
        // The offset counts from the end of the previous replacement.
        {__LINE__, joined({changedAt(10, 3, {0x01, 0x02}), {0x03}, repeated(5, 0x00)}),
         Bytes{0x23, 0x01, 0x02, 0x05, 0x03}},
        {__LINE__, changedAt(80, 2, joined({{0x01}, repeated(40, 0x00), {0x02}})),
         Bytes{0x02, 0x01, 0x1F, 0x09, 0x02}},
        // A command replaces at most 8 bytes; the next starts at offset 0.
        {__LINE__, changedAt(20, 0, repeated(9, 0x01)),
         joined({{0xE0}, repeated(8, 0x01), {0x00, 0x01}})},
        {__LINE__, changedAt(40, 0, repeated(16, 0x01)),
         joined({{0xE0}, repeated(8, 0x01), {0xE0}, repeated(8, 0x01)})},
        // Giving up happens only when a byte would not fit: a form as long
        // as the row is returned.
        {__LINE__, {0x01, 0x02, 0x03}, kGivesUp},
        {__LINE__, {0x01, 0x02}, kGivesUp},
        {__LINE__, {0x01, 0x02, 0x00}, Bytes{0x20, 0x01, 0x02}},
    };
    return cases;
}

TEST(DeltaRow, WritesTheExpectedBytes) {
    for (const DeltaRowCase &c : deltaRowCases()) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(deltaRow(c.row, Bytes(c.row.size(), 0x00)), c.expected);
    }
}

TEST(DeltaRow, ComparesWithTheSeedNotWithZero) {
    const Bytes seed = {0x10, 0x20, 0x30, 0x40, 0x50, 0x60};
    const Bytes row = {0x10, 0x00, 0x30, 0x40, 0x50, 0x60};
    EXPECT_EQ(deltaRow(row, seed), (Bytes{0x01, 0x00}));
    EXPECT_EQ(deltaRow(seed, seed), Bytes{});
}

// A legitimate form of exactly 32767 bytes cannot be told from giving up;
// the row encoder then sends the row raw, which only costs the saving.
TEST(DeltaRow, FormOf32767BytesReadsAsGivingUp) {
    Bytes row;
    for (int i = 0; i < 3640; ++i) {  // 3640 commands of 9 bytes ...
        row.insert(row.end(), 8, 0x01);
        row.push_back(0x00);
    }
    row.insert(row.end(), 6, 0x01);  // ... and one of 7: 32767 bytes
    row.resize(40000, 0x00);
    std::vector<std::uint8_t> destination(row.size());
    const Bytes seed(row.size(), 0x00);
    EXPECT_EQ(compressDeltaRow(destination.data(), row.data(), 40000, seed.data()),
              kCompressGaveUp);
    row[3640 * 9 + 6] = 0x01;  // the last command grows by one byte
    EXPECT_EQ(compressDeltaRow(destination.data(), row.data(), 40000, seed.data()), 32768);
}

TEST(DeltaRow, NegativeLengthOrMissingBufferWritesNothing) {
    std::uint8_t row[4] = {1, 2, 3, 4};
    std::uint8_t seed[4] = {};
    std::uint8_t destination[4] = {0xA5, 0xA5, 0xA5, 0xA5};
    EXPECT_EQ(compressDeltaRow(destination, row, -4, seed), 0);
    EXPECT_EQ(compressDeltaRow(destination, row, 4, nullptr), kCompressGaveUp);
    EXPECT_EQ(compressDeltaRow(destination, nullptr, 4, seed), kCompressGaveUp);
    EXPECT_EQ(destination[0], 0xA5);
}

}  // namespace
