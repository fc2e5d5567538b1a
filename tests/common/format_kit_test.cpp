#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string>

#include <gtest/gtest.h>

#include "common/format_kit.h"

namespace {

using drv::formatInt;
using drv::formatReal;
using drv::formatText;
using drv::roundToInt;

std::string real(std::int16_t precision, double value) {
    char out[64];
    const int n = formatReal(out, precision, value);
    EXPECT_EQ(static_cast<std::size_t>(n), std::string(out).size());
    return out;
}

struct RealCase {
    int line;
    std::int16_t precision;
    double value;
    const char *expected;
};

// Rounding is half away from zero at the last digit, done by adding half a
// unit and cutting; digits are cut from the double sum, so 2.125 (held just
// below) rounds down while 0.125 rounds up.
constexpr RealCase kRealCases[] = {
    {__LINE__, 0, 2.5, "3"},
    {__LINE__, 0, -2.5, "-3"},
    {__LINE__, 0, 7.5, "8"},
    {__LINE__, 0, 0.5, "1"},
    {__LINE__, 0, -0.4, "0"},
    {__LINE__, 6, 12.5, "12.5"},
    {__LINE__, 3, 3.0, "3"},
    {__LINE__, 6, 0.0, "0"},
    {__LINE__, 6, -0.0, "0"},
    {__LINE__, 1, 99.99, "100"},
    {__LINE__, 1, 0.75, "0.8"},
    {__LINE__, 1, -0.06, "-0.1"},
    {__LINE__, 1, -0.04, "0"},
    {__LINE__, 2, 2.125, "2.12"},
    {__LINE__, 2, 0.125, "0.13"},
    {__LINE__, 2, 1e10, "2147483647"},
    {__LINE__, 2, -1e10, "-2147483647"},
    {__LINE__, 25, 1.5, "1.5"},
    {__LINE__, -3, 1.5, "2"},
    {__LINE__, 3, 0.35f, "0.35"},
    {__LINE__, 1, 2.5, "2.5"},
    {__LINE__, 0, 100.0 * 28.346456692913, "2835"},
    {__LINE__, 4, 0.2, "0.2"},
    {__LINE__, 7, 90.0, "90"},
    {__LINE__, 0, 10.0, "10"},  // integer zeros are never trimmed
    {__LINE__, 2, std::numeric_limits<double>::infinity(), "2147483647"},
    {__LINE__, 2, -std::numeric_limits<double>::infinity(), "-2147483647"},
    {__LINE__, 2, std::numeric_limits<double>::quiet_NaN(), "0"},
};

TEST(FormatReal, RoundsTrimsAndClamps) {
    for (const RealCase &c : kRealCases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(real(c.precision, c.value), c.expected);
    }
}

// The text never needs an exponent and reads back as the value rounded to
// the requested digits.
TEST(FormatReal, ReadsBackWithinHalfAUnit) {
    const double values[] = {0.001, 1234.5678, -98765.4321, 3.14159265358979, 1e-9, 2147483.25};
    for (double v : values) {
        for (std::int16_t precision : {0, 3, 6, 9}) {
            const std::string text = real(precision, v);
            EXPECT_EQ(text.find_first_of("eE"), std::string::npos) << text;
            EXPECT_LE(text.size(), 31u);
            const double back = std::strtod(text.c_str(), nullptr);
            EXPECT_LE(std::fabs(back - v), 0.5 * std::pow(10.0, -precision) + 1e-9 * std::fabs(v))
                << text << " for " << v;
        }
    }
}

// Callers may size their buffer to the text they expect: trimmed digits
// never touch the bytes after the NUL.
TEST(FormatReal, WritesNothingPastItsText) {
    char out[40];
    std::memset(out, 'Z', sizeof out);
    EXPECT_EQ(formatReal(out, 19, 0.5625), 6);
    EXPECT_STREQ(out, "0.5625");
    for (std::size_t i = 7; i < sizeof out; ++i) {
        EXPECT_EQ(out[i], 'Z') << i;
    }
}

TEST(FormatInt, WritesEveryInt32) {
    struct {
        std::int32_t value;
        const char *expected;
    } const cases[] = {
        {0, "0"},
        {-7, "-7"},
        {2147483647, "2147483647"},
        {-2147483647, "-2147483647"},
        {INT32_MIN, "-2147483648"},
        {1000, "1000"},
    };
    for (const auto &c : cases) {
        char out[16];
        const int n = formatInt(out, c.value);
        EXPECT_STREQ(out, c.expected);
        EXPECT_EQ(static_cast<std::size_t>(n), std::string(c.expected).size());
    }
}

TEST(RoundToInt, HalvesAwayFromZeroAndSaturates) {
    struct {
        float value;
        std::int32_t expected;
    } const cases[] = {
        {2.5f, 3},
        {-2.5f, -3},
        {-0.5f, -1},
        {1.5f, 2},
        {0.0f, 0},
        {0.49999997f, 0},  // the sum is taken in double, so no spurious 1
        {2.0e9f, 2000000000},
        {3.0e9f, INT32_MAX},
        {-3.0e9f, INT32_MIN},
        {std::numeric_limits<float>::infinity(), INT32_MAX},
        {-std::numeric_limits<float>::infinity(), INT32_MIN},
        {std::numeric_limits<float>::quiet_NaN(), 0},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(roundToInt(c.value), c.expected) << c.value;
    }
}

// Compares a formatText result byte by byte, NULs included.
void expectBytes(const char *out, int count, const std::string &expected) {
    ASSERT_EQ(count, static_cast<int>(expected.size()));
    EXPECT_EQ(std::string(out, static_cast<std::size_t>(count)), expected);
    EXPECT_EQ(out[count], '\0');
}

TEST(FormatText, Directives) {
    char out[128];
    expectBytes(out, formatText(out, "%%"), "%");
    expectBytes(out, formatText(out, "AB%"), "AB");
    expectBytes(out, formatText(out, "LB%s%c", "AB", 3), std::string("LBAB\x03", 5));
    expectBytes(out, formatText(out, "LB%s%c", "AB", 0), std::string("LBAB\0", 5));
    expectBytes(out, formatText(out, "LB%c", 0x141), "LBA");  // low byte only
    expectBytes(out, formatText(out, "[%s]", static_cast<const char *>(nullptr)), "[]");
    expectBytes(out, formatText(out, "PS%d,%d;", 16000, -11000), "PS16000,-11000;");
    expectBytes(out, formatText(out, "%f", 12.5), "12.5");
    expectBytes(out, formatText(out, "PW%.3f,%d", 0.35f, 2), "PW0.35,2");
    expectBytes(out, formatText(out, "%.f|%.0f", 2.5, -2.5), "3|-3");
    expectBytes(out, formatText(out, "%.25f", 1.5), "1.5");
    expectBytes(out, formatText(out, "\x1b%%1A"), "\x1b%1A");
}

TEST(FormatText, UnsupportedDirectivesAreDropped) {
    char out[64];
    // The width digit is dropped as a directive; "d" is then plain text and
    // the argument waits for the next directive.
    expectBytes(out, formatText(out, "%5d/%d", 7), "d/7");
    expectBytes(out, formatText(out, "a%qb%d", 4), "ab4");
    expectBytes(out, formatText(out, "%-d%d", 9), "d9");
}

TEST(FormatText, MalformedPrecisionFails) {
    char out[64];
    EXPECT_EQ(formatText(out, "ab%.3d", 1.0), -1);
    EXPECT_STREQ(out, "ab");
    EXPECT_EQ(formatText(out, "x%.12", 1.0), -1);
    EXPECT_STREQ(out, "x");
}

TEST(FormatText, PrecisionCounterIs16Bit) {
    char out[64];
    // 40000 wraps to a negative count in 16 bits and acts as 0;
    // 65537 wraps back to 1.
    expectBytes(out, formatText(out, "%.40000f", 2.5), "3");
    expectBytes(out, formatText(out, "%.65537f", 2.5), "2.5");
}

TEST(FormatText, MissingOrMismatchedArgumentsWriteNothing) {
    char out[64];
    expectBytes(out, formatText(out, "a%db%sc"), "abc");
    // A real where an int is wanted is used up without output.
    expectBytes(out, formatText(out, "%d,%d", 1.5, 4), ",4");
}

TEST(FormatText, CountsLongOutput) {
    const std::string text(30000, 'x');
    std::string out(30010, '\0');
    EXPECT_EQ(formatText(out.data(), "LB%s%c", text.c_str(), 3), 30003);
}

}  // namespace
