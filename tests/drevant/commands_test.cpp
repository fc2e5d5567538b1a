// Command bodies and the pen position they leave (bias 0x20, radix 32).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "tests/drevant/job_harness.h"

namespace {

using namespace drevant_test;

struct Style {
    std::int32_t charHeight, widthRatio, dirX, dirY;
};

constexpr Style kNone{0, 0, 0, 0};
constexpr Style k200{200, 12, 32767, 0};  // what the first OpTextStyle row stores

struct CommandCase {
    int line;
    std::int32_t fromX, fromY;
    Style style;
    Request request;
    std::string text;
    Codes expected;  // the label text follows; empty: nothing collected
    std::int32_t toX, toY;
};

const std::string k90(90, 'q');

const CommandCase kCommandCases[] = {
    {__LINE__, 0, 0, kNone, Request(OpSelectPen).i(0, 2), "", {4, 2}, 0, 0},
    {__LINE__, 0, 0, kNone, Request(OpSelectPen, FlagAltPenSelect).i(0, 2), "", {14, 32, 0, 0, 2}, 0, 0},
    {__LINE__, 5, 6, kNone, Request(OpPenUp), "", {3}, 5, 6},
    {__LINE__, 5, 6, kNone, Request(OpPenDown), "", {2}, 5, 6},
    {__LINE__, 0, 0, kNone, Request(OpPlot).i(0, 100).i(1, 200), "", {20, 3, 4, 6, 8}, 100, 200},
    {__LINE__, 100, 200, kNone, Request(OpPlot).i(0, 100).i(1, 200), "", {24, 0, 0}, 100, 200},
    // split move to the start point, no code 3 before it
    {__LINE__, 40000, -5, kNone, Request(OpCircle).i(0, 1000).i(1, 1000).i(2, 500), "",
     {49, 19, 9, 6, 15, 23, 49, 19, 9, 6, 15, 22, 2, 12, 5, 34, 15, 20}, 500, 1000},
    // a radius above 32767 in units of 4096: 9, rest 3136
    {__LINE__, 0, 0, kNone, Request(OpCircle).i(0, 40000).i(2, 40000), "",
     {24, 0, 0, 2, 12, 13, 38, 9, 30, 3, 2, 0}, 0, 0},
    {__LINE__, 0, 0, kNone, Request(OpCircle).i(2, 32767), "", {29, 31, 31, 31, 2, 12, 5, 30, 31, 31, 31}, -32767, 0},
    {__LINE__, 60000, 1000, kNone, Request(OpArc).i(2, 100).i(5, 100), "",
     {3, 51, 29, 7, 30, 15, 20, 51, 29, 7, 30, 15, 20, 12, 11, 24, 0, 0, 33, 3, 4, 24, 0, 0, 32, 3, 4}, 0, 100},
    // start-to-centre (-10000, 5000): units (-2, 1), rests (-1808, 904);
    // centre-to-end (0, -5000): (0, -1) and (0, -904)
    {__LINE__, 0, 0, kNone, Request(OpArc).i(2, 10000).i(3, -5000).i(5, -5000), "",
     {3, 18, 9, 24, 16, 4, 28, 8, 12, 11, 25, 2, 1, 49, 1, 24, 16, 28, 8, 39, 1, 35, 28, 8}, 0, -5000},
    {__LINE__, 0, 0, kNone, Request(OpTextStyle).i(0, 200).i(1, 150).f(7, 1.0f).f(8, 0.25f), "",
     {11, 5, 15, 32, 6, 8, 30, 31, 31, 31, 36, 12, 60, 1, 0, 12}, 0, 0},
    // ratio and slant clamps: 0 -> 1 and 2.0 -> 127; 160 -> 127 and -1.5 -> -127
    {__LINE__, 0, 0, kNone, Request(OpTextStyle).i(0, 200).i(1, 0).f(7, 1.0f).f(8, 2.0f), "",
     {11, 5, 15, 32, 6, 8, 30, 31, 31, 31, 36, 1, 60, 3, 31, 1}, 0, 0},
    {__LINE__, 0, 0, kNone, Request(OpTextStyle).i(0, 200).i(1, 2000).f(7, 1.0f).f(8, -1.5f), "",
     {11, 5, 15, 32, 6, 8, 30, 31, 31, 31, 32, 3, 31, 21, 3, 31, 3, 31}, 0, 0},
    // one character advances 32767 * 150 / 32768 = 149, not 150
    {__LINE__, 0, 0, k200, Request(OpLabel), "ABCDE", {24, 0, 0, 5, 5}, 745, 0},
    {__LINE__, 0, 0, Style{200, 12, -32767, 0}, Request(OpLabel), "ABCDE", {24, 0, 0, 5, 5}, -745, 0},
    {__LINE__, 0, 0, Style{200, 12, 0, 32767}, Request(OpLabel), "A", {24, 0, 0, 5, 1}, 0, 149},
    {__LINE__, 0, 0, k200, Request(OpLabel).i(0, 5), "", {38, 5, 5, 0}, 5, 0},
    {__LINE__, 0, 0, kNone, Request(OpVelocity).i(0, 3).i(1, 1).f(2, 250.0f).i(5, 1).f(6, 0.5f), "",
     {11, 0, 5, 11, 3, 5, 11, 1, 9}, 0, 0},
    // only the low byte of the speed (500 = 0x1F4); v rounds half away from zero
    {__LINE__, 0, 0, kNone, Request(OpVelocity).i(0, 3).i(1, 1).f(2, 5000.0f).i(5, 1).f(6, -0.25f), "",
     {11, 0, 5, 11, 3, 253, 11, 15, 4}, 0, 0},
    {__LINE__, 0, 0, kNone, Request(OpVelocity).i(0, 3).i(1, 1).f(2, 250.0f).f(6, 0.5f), "", {}, 0, 0},
    {__LINE__, 0, 0, kNone, Request(OpVelocity).i(0, 3).f(2, 250.0f).i(5, 1).f(6, 0.5f), "", {}, 0, 0},
    {__LINE__, 0, 0, kNone, Request(OpFont).i(1, 1).i(3, 5), "", {11, 0, 9, 11, 7, 5}, 0, 0},
    {__LINE__, 0, 0, kNone, Request(OpFont).i(3, 5), "", {}, 0, 0},
};

TEST(Commands, BodiesAndPositions) {
    for (const CommandCase &c : kCommandCases) {
        SCOPED_TRACE(c.line);
        Job job(Framing{});
        job.state.lastX = c.fromX;
        job.state.lastY = c.fromY;
        job.setStyle(c.style.charHeight, c.style.widthRatio, c.style.dirX, c.style.dirY);
        EXPECT_TRUE(job.call(c.request, c.text.c_str()).empty());  // the record's first body
        Codes expected = c.expected;
        for (char ch : c.text) {
            expected.push_back(ch - 0x20);
        }
        EXPECT_EQ(job.pendingCodes(), expected);
        EXPECT_EQ(job.state.lastX, c.toX);
        EXPECT_EQ(job.state.lastY, c.toY);
    }
}

TEST(Commands, LabelUsesTheLatestStyleAndAtMost77Characters) {
    Job job(Framing{});
    job.call(Request(OpTextStyle).i(0, 200).i(1, 150).f(6, 0.0f).f(7, 1.0f).f(8, 0.25f));
    EXPECT_EQ(job.state.widthRatio, 12);
    EXPECT_EQ(job.state.dirX, 32767);
    job.call(Request(OpPenUp));
    job.call(Request(OpLabel), k90.c_str());
    EXPECT_EQ(job.line(), codeBytes({0, 24, 0, 0, 5, 77}, k90.substr(0, 77)));  // style record went out
    EXPECT_EQ(job.state.lastX, 77 * 149);
}

}  // namespace
