#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

#include "plotters/quillane/packbits.h"
#include "tests/compressors/test_rows.h"

namespace {

using drv::quillane::compressPackBits;
using drv::quillane::kCompressGaveUp;
using drv::test::Bytes;
using drv::test::Compressed;
using drv::test::counting;
using drv::test::joined;
using drv::test::packBits;
using drv::test::repeated;

const Compressed kGivesUp = std::nullopt;

struct PackBitsCase {
    int line;
    Bytes row;
    Compressed expected;
};

const std::vector<PackBitsCase> &packBitsCases() {
    static const std::vector<PackBitsCase> cases = {
        // A lone pair inside a literal stretch stays literal (05 05); a run
        // of six ends the stretch; the last byte is a literal of its own.
        {__LINE__,
         {0x01, 0x01, 0x01, 0x01, 0x02, 0x03, 0x04, 0x05, 0x05, 0x06, 0x06, 0x06, 0x06, 0x06,
          0x06, 0x07},
         Bytes{0xFD, 0x01, 0x04, 0x02, 0x03, 0x04, 0x05, 0x05, 0xFB, 0x06, 0x00, 0x07}},
        {__LINE__, repeated(4, 0x00), Bytes{0xFD, 0x00}},
        {__LINE__, repeated(64 / 8, 0x00), Bytes{0xF9, 0x00}},
        // Three equal bytes inside a literal stretch do end it.
        {__LINE__, joined({repeated(5, 0x00), {0x01, 0x02, 0x02, 0x02, 0x03}}),
         Bytes{0xFC, 0x00, 0x00, 0x01, 0xFE, 0x02, 0x00, 0x03}},
        // Right after a run a pair is a run of 2, not the start of a literal.
        {__LINE__, joined({repeated(4, 0x00), {0x05, 0x05, 0x06, 0x07, 0x08}}),
         Bytes{0xFD, 0x00, 0xFF, 0x05, 0x02, 0x06, 0x07, 0x08}},
        // The row's last two bytes form a run even inside a literal stretch.
        {__LINE__, joined({repeated(10, 0x00), {0x01, 0x02, 0x03, 0x03}}),
         Bytes{0xF7, 0x00, 0x01, 0x01, 0x02, 0xFF, 0x03}},
        // Runs longer than 128 are split; 130 leaves a run of 2.
        {__LINE__, joined({repeated(130, 0x07), {0x01}}),
         Bytes{0x81, 0x07, 0xFF, 0x07, 0x00, 0x01}},
        // 129 leaves one byte, which opens the literal run that follows.
        {__LINE__, joined({repeated(129, 0x07), {0x01, 0x02, 0x03}}),
         Bytes{0x81, 0x07, 0x03, 0x07, 0x01, 0x02, 0x03}},
        {__LINE__, joined({repeated(257, 0xAA)}), Bytes{0x81, 0xAA, 0x81, 0xAA, 0x00, 0xAA}},
        {__LINE__, repeated(256, 0xAA), Bytes{0x81, 0xAA, 0x81, 0xAA}},
        // A literal run holds at most 128 bytes; the next byte opens another.
        {__LINE__, joined({counting(130), repeated(20, 0x00)}),
         joined({{0x7F}, counting(128), {0x01, 0x80, 0x81, 0xED, 0x00}})},
        // Giving up: the form must be shorter than the row.
        {__LINE__, {0x09, 0x09}, kGivesUp},
        {__LINE__, {0x09}, kGivesUp},
        {__LINE__, counting(200), kGivesUp},
        {__LINE__, {0x00, 0x00, 0x00, 0x01}, kGivesUp},  // FE 00 00 01: as long as the row
        {__LINE__, {0x00, 0x00, 0x00, 0x00, 0x01}, Bytes{0xFD, 0x00, 0x00, 0x01}},
        {__LINE__, {}, Bytes{}},
    };
    return cases;
}

TEST(PackBits, WritesTheExpectedBytes) {
    for (const PackBitsCase &c : packBitsCases()) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(packBits(c.row), c.expected);
    }
}

TEST(PackBits, NegativeLengthOrMissingBufferWritesNothing) {
    std::uint8_t row[4] = {1, 2, 3, 4};
    std::uint8_t destination[4] = {0xA5, 0xA5, 0xA5, 0xA5};
    EXPECT_EQ(compressPackBits(destination, row, -4), 0);
    EXPECT_EQ(compressPackBits(destination, nullptr, 4), kCompressGaveUp);
    EXPECT_EQ(compressPackBits(nullptr, row, 4), kCompressGaveUp);
    EXPECT_EQ(destination[0], 0xA5);
}

}  // namespace
