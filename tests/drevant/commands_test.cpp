// Command bodies and the pen position they leave (bias 0x20, radix 32).
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "job_harness.h"

namespace {

using namespace drevant_test;

struct Style {
    std::int32_t charHeight, widthRatio, dirX, dirY;
};

constexpr Style kNoStyle{0, 0, 0, 0};
constexpr Style kStyle200{200, 12, 32767, 0};  // what the OpTextStyle row below stores

struct CommandCase {
    int line;
    std::int32_t fromX, fromY;
    Style style;
    Request request;
    std::string text;  // label text; its bytes follow `expected` in the body
    Codes expected;    // empty: no body collected
    std::int32_t toX, toY;
};

const std::string k90(90, 'q');

const CommandCase kCommandCases[] = {
    {__LINE__, 0, 0, kNoStyle, Request(OpSelectPen).i(0, 2), "", {4, 2}, 0, 0},
    {__LINE__, 0, 0, kNoStyle, Request(OpSelectPen, FlagAltPenSelect).i(0, 2), "",
     {14, 32, 0, 0, 2}, 0, 0},
    {__LINE__, 5, 6, kNoStyle, Request(OpPenUp), "", {3}, 5, 6},
    {__LINE__, 5, 6, kNoStyle, Request(OpPenDown), "", {2}, 5, 6},
    {__LINE__, 0, 0, kNoStyle, Request(OpPlot).i(0, 100).i(1, 200), "", {20, 3, 4, 6, 8}, 100, 200},
    {__LINE__, 100, 200, kNoStyle, Request(OpPlot).i(0, 100).i(1, 200), "", {24, 0, 0}, 100, 200},
    {__LINE__, -70000, 0, kNoStyle, Request(OpPlot).i(0, 0).i(1, 0), "",
     {30, 22, 25, 6, 30, 22, 25, 6, 30, 22, 25, 4}, 0, 0},
    // The move to the start point is split in two; no code 3 before it.
    {__LINE__, 40000, -5, kNoStyle, Request(OpCircle).i(0, 1000).i(1, 1000).i(2, 500), "",
     {49, 19, 9, 6, 15, 23, 49, 19, 9, 6, 15, 22, 2, 12, 5, 34, 15, 20}, 500, 1000},
    // A radius above 32767 goes out in units of 4096: 9 and the rest 3136.
    {__LINE__, 0, 0, kNoStyle, Request(OpCircle).i(0, 40000).i(1, 0).i(2, 40000), "",
     {24, 0, 0, 2, 12, 13, 38, 9, 30, 3, 2, 0}, 0, 0},
    {__LINE__, 0, 0, kNoStyle, Request(OpCircle).i(0, 0).i(1, 0).i(2, 32767), "",
     {29, 31, 31, 31, 2, 12, 5, 30, 31, 31, 31}, -32767, 0},
    {__LINE__, 60000, 1000, kNoStyle,
     Request(OpArc).i(0, 0).i(1, 0).i(2, 100).i(3, 0).i(4, 0).i(5, 100), "",
     {3, 51, 29, 7, 30, 15, 20, 51, 29, 7, 30, 15, 20, 12, 11, 24, 0, 0, 33, 3, 4, 24, 0, 0, 32, 3, 4},
     0, 100},
    // Start-to-centre (-10000, 5000) is (-2, 1) units and the rests (-1808, 904);
    // centre-to-end (0, -5000) is (0, -1) and (0, -904).
    {__LINE__, 0, 0, kNoStyle,
     Request(OpArc).i(0, 0).i(1, 0).i(2, 10000).i(3, -5000).i(4, 0).i(5, -5000), "",
     {3, 18, 9, 24, 16, 4, 28, 8, 12, 11, 25, 2, 1, 49, 1, 24, 16, 28, 8, 39, 1, 35, 28, 8},
     0, -5000},
    {__LINE__, 0, 0, kNoStyle,
     Request(OpTextStyle).i(0, 200).i(1, 150).f(6, 0.0f).f(7, 1.0f).f(8, 0.25f), "",
     {11, 5, 15, 32, 6, 8, 30, 31, 31, 31, 36, 12, 60, 1, 0, 12}, 0, 0},
    // Width ratio kept to 1..127; slant to -127..127.
    {__LINE__, 0, 0, kNoStyle,
     Request(OpTextStyle).i(0, 200).i(1, 0).f(6, 0.0f).f(7, 1.0f).f(8, 2.0f), "",
     {11, 5, 15, 32, 6, 8, 30, 31, 31, 31, 36, 1, 60, 3, 31, 1}, 0, 0},
    {__LINE__, 0, 0, kNoStyle,
     Request(OpTextStyle).i(0, 200).i(1, 2000).f(6, 0.0f).f(7, 1.0f).f(8, -1.5f), "",
     {11, 5, 15, 32, 6, 8, 30, 31, 31, 31, 32, 3, 31, 21, 3, 31, 3, 31}, 0, 0},
    {__LINE__, 0, 0, kStyle200, Request(OpLabel).i(0, 0).i(1, 0), "ABCDE", {24, 0, 0, 5, 5}, 745, 0},
    {__LINE__, 10, 10, kStyle200, Request(OpLabel).i(0, 0).i(1, 0), "ABCDE",
     {27, 10, 10, 5, 5}, 745, 0},
    // The advance of one character is truncated toward zero: -149, not -150.
    {__LINE__, 0, 0, Style{200, 12, -32767, 0}, Request(OpLabel), "ABCDE", {24, 0, 0, 5, 5}, -745, 0},
    {__LINE__, 0, 0, Style{200, 12, 0, 32767}, Request(OpLabel), "A", {24, 0, 0, 5, 1}, 0, 149},
    {__LINE__, 0, 0, kStyle200, Request(OpLabel), k90.substr(0, 77), {24, 0, 0, 5, 77}, 77 * 149, 0},
    {__LINE__, 0, 0, kStyle200, Request(OpLabel), "", {24, 0, 0, 5, 0}, 0, 0},
    {__LINE__, 0, 0, kNoStyle,
     Request(OpVelocity).i(0, 3).i(1, 1).f(2, 250.0f).i(5, 1).f(6, 0.5f), "",
     {11, 0, 5, 11, 3, 5, 11, 1, 9}, 0, 0},
    // Only the low byte of the speed (500 = 0x1F4) is sent; v rounds half away.
    {__LINE__, 0, 0, kNoStyle,
     Request(OpVelocity).i(0, 3).i(1, 1).f(2, 5000.0f).i(5, 1).f(6, -0.25f), "",
     {11, 0, 5, 11, 3, 253, 11, 15, 4}, 0, 0},
    {__LINE__, 0, 0, kNoStyle,
     Request(OpVelocity).i(0, 3).i(1, 1).f(2, 250.0f).i(5, 0).f(6, 0.5f), "", {}, 0, 0},
    {__LINE__, 0, 0, kNoStyle,
     Request(OpVelocity).i(0, 3).i(1, 0).f(2, 250.0f).i(5, 1).f(6, 0.5f), "", {}, 0, 0},
    {__LINE__, 0, 0, kNoStyle, Request(OpFont).i(1, 1).i(3, 5), "", {11, 0, 9, 11, 7, 5}, 0, 0},
    {__LINE__, 0, 0, kNoStyle, Request(OpFont).i(1, 0).i(3, 5), "", {}, 0, 0},
};

TEST(Commands, BodiesAndPositions) {
    for (const CommandCase &c : kCommandCases) {
        SCOPED_TRACE(c.line);
        Job job(Framing{});
        job.state.lastX = c.fromX;
        job.state.lastY = c.fromY;
        job.state.charHeight = c.style.charHeight;
        job.state.widthRatio = c.style.widthRatio;
        job.state.dirX = c.style.dirX;
        job.state.dirY = c.style.dirY;
        // The first body of the record: nothing reaches the output yet.
        EXPECT_TRUE(job.call(c.request, c.text.c_str()).empty());
        Codes expected = c.expected;
        for (char ch : c.text) {
            expected.push_back(static_cast<std::uint8_t>(ch) - 0x20);
        }
        EXPECT_EQ(job.pendingCodes(), expected);
        EXPECT_EQ(job.state.lastX, c.toX);
        EXPECT_EQ(job.state.lastY, c.toY);
    }
}

TEST(Commands, LabelIsCutTo77Characters) {
    Job job(Framing{});
    job.state.charHeight = 200;
    job.state.widthRatio = 12;
    job.state.dirX = 32767;
    job.call(Request(OpLabel), k90.c_str());
    const Bytes line = job.line();
    EXPECT_EQ(line, concat({codeBytes({0, 24, 0, 0, 5, 77}), bytesOf(k90.substr(0, 77))}));
    EXPECT_EQ(job.state.lastX, 77 * 149);
}

TEST(Commands, TextStyleStoresWhatOpLabelAdvancesBy) {
    Job job(Framing{});
    job.call(Request(OpTextStyle).i(0, 200).i(1, 150).f(6, 0.0f).f(7, 1.0f).f(8, 0.25f));
    EXPECT_EQ(job.state.charHeight, 200);
    EXPECT_EQ(job.state.widthRatio, 12);
    EXPECT_EQ(job.state.dirX, 32767);
    EXPECT_EQ(job.state.dirY, 0);
    job.call(Request(OpLabel), "ABCDE");
    EXPECT_EQ(job.state.lastX, 745);
    EXPECT_EQ(job.state.lastY, 0);
}

// A job of plots: every body reaches the device once, in order, in records
// of at most 83 characters before their terminators.
TEST(Commands, JobDeliversEveryBodyOnceInOrder) {
    Job job;
    job.begin(Framing{});
    Bytes sent;
    for (int k = 1; k <= 40; ++k) {
        const Bytes out = job.call(Request(OpPlot).i(0, k * 1000).i(1, -k));
        sent.insert(sent.end(), out.begin(), out.end());
    }
    const Bytes last = job.call(Request(OpEndJob), "");
    sent.insert(sent.end(), last.begin(), last.end());
    // Each plot is the step (1000, -1), 4 bytes: 20 fill a record to 81
    // characters, the 21st would reach 85 and opens the next one.
    Bytes record{0x20};
    for (int k = 0; k < 20; ++k) {
        const Bytes step = codeBytes({62, 31, 8, 1});
        record.insert(record.end(), step.begin(), step.end());
    }
    record.insert(record.end(), 3, 0x0D);
    EXPECT_EQ(sent, concat({record, record}));
    EXPECT_EQ(job.state.lastX, 40000);
    EXPECT_EQ(job.state.lastY, -40);
}

}  // namespace
