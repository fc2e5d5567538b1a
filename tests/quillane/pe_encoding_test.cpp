#include <cstdint>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "plotters/quillane/pe_encoding.h"
#include "tests/quillane/plot_session.h"

namespace {

using drv::quillane::encodePeNumber;
using drv::quillane::kMaxPeDigits;
using drv::quillane::PlotterState;
using quillane_test::bytes;

std::string encode(std::int64_t value, bool sevenBit) {
    PlotterState state{};
    state.sevenBit = sevenBit ? 1 : 0;
    std::uint8_t out[16];
    std::memset(out, 0xEE, sizeof out);
    const std::int32_t n = encodePeNumber(out, state, value);
    EXPECT_GE(n, 1);
    EXPECT_LE(n, kMaxPeDigits);
    EXPECT_EQ(out[n], 0) << "a NUL follows the digits";
    return std::string(reinterpret_cast<const char *>(out), static_cast<std::size_t>(n));
}

struct PeCase {
    int line;
    std::int64_t value;
    bool sevenBit;
    std::string expected;
};

const PeCase kPeCases[] = {
    {__LINE__, 0, true, bytes({95})},
    {__LINE__, 1, true, bytes({97})},
    {__LINE__, -1, true, bytes({98})},
    {__LINE__, 15, true, bytes({125})},  // largest one-digit value: 30 + 63 + 32
    {__LINE__, -15, true, bytes({126})},
    {__LINE__, 16, true, bytes({63, 96})},
    {__LINE__, 100, true, bytes({71, 101})},
    {__LINE__, 1000, true, bytes({79, 93, 96})},
    {__LINE__, -1000, true, bytes({80, 93, 96})},
    {__LINE__, 0, false, bytes({191})},
    {__LINE__, 1, false, bytes({193})},
    {__LINE__, -1, false, bytes({194})},
    {__LINE__, 31, false, bytes({253})},
    {__LINE__, 32, false, bytes({63, 192})},
    {__LINE__, 100, false, bytes({71, 194})},
    {__LINE__, 1000, false, bytes({79, 222})},
    // The device's limit, 2^30 - 1, folds to 2^31 - 2: 31 bits.
    {__LINE__, 1073741823, true, bytes({93, 94, 94, 94, 94, 94, 96})},
    {__LINE__, -1073741823, true, bytes({94, 94, 94, 94, 94, 94, 96})},
    {__LINE__, 1073741823, false, bytes({125, 126, 126, 126, 126, 192})},
    // Differences of extreme int32 coordinates are encoded exactly: the
    // widest is 2^32 - 1 either way, folding to 33 bits.
    {__LINE__, 4294967295, true, bytes({93, 94, 94, 94, 94, 94, 102})},
    {__LINE__, -4294967295, true, bytes({94, 94, 94, 94, 94, 94, 102})},
    {__LINE__, -4294967295, false, bytes({126, 126, 126, 126, 126, 198})},
    {__LINE__, std::numeric_limits<std::int32_t>::min(), true, bytes({64, 63, 63, 63, 63, 63, 99})},
};

TEST(PeNumber, EncodesBothBases) {
    for (const PeCase &c : kPeCases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(encode(c.value, c.sevenBit), c.expected);
    }
}

}  // namespace
