// What the driver does outside the ranges hosts are meant to send: nothing
// undefined, nothing outside the buffers, outLength always the length of the
// output string, and the pen position always where the device's pen is.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "job_harness.h"

namespace {

using namespace drevant_test;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();

struct FramingCase {
    int line;
    Framing framing;
    bool accepted;
};

// A job starts only with framing whose records hold no 0 byte and whose
// digits mean something.
const FramingCase kFramingCases[] = {
    {__LINE__, {0x20, 0, 0, 0x21, 0x0D, 0, 0}, false},     // radix 0
    {__LINE__, {0x20, 1, 0, 0x21, 0x0D, 0, 0}, false},     // radix 1
    {__LINE__, {0x20, 0x80, 0, 0x21, 0x0D, 0, 0}, false},  // radix -128
    {__LINE__, {0x20, 0xFF, 0, 0x21, 0x0D, 0, 0}, false},  // radix -1
    {__LINE__, {0x20, 2, 0, 0x21, 0x0D, 0, 0}, true},
    {__LINE__, {0x20, 127, 0, 0x21, 0x0D, 0, 0}, true},
    {__LINE__, {0x20, 32, 0x80, 0x21, 0x0D, 0, 0}, false},  // syncCount -128
    {__LINE__, {0x20, 32, 0xFF, 0x21, 0x0D, 0, 0}, false},  // syncCount -1
    {__LINE__, {0x20, 32, 127, 0x21, 0x0D, 1, 0}, true},
    {__LINE__, {0x00, 32, 0, 0x21, 0x0D, 0, 0}, false},     // code 0 would be byte 0
    {__LINE__, {0x20, 32, 0, 0x21, 0x00, 0, 0}, false},     // terminator 0
    {__LINE__, {0x20, 32, 2, 0x00, 0x0D, 0, 0}, false},     // sync character 0, used
    {__LINE__, {0x20, 32, 0, 0x00, 0x0D, 0, 0}, true},      // ... unused
    {__LINE__, {0xF5, 32, 0, 0x21, 0x0D, 0, 0}, false},     // first record's code 11
    {__LINE__, {0xFF, 32, 0, 0x21, 0x0D, 0, 0}, false},     // ... code 1
    {__LINE__, {0xF3, 32, 0, 0x21, 0x0D, 0, 0}, false},     // ... code 13
    {__LINE__, {0xF4, 32, 0, 0x21, 0x0D, 0, 0}, true},
};

TEST(Guards, FramingThatCannotMakeARecordStartsNoJob) {
    for (const FramingCase &c : kFramingCases) {
        SCOPED_TRACE(c.line);
        const int blocks = drv::testing::outstandingBlocks();
        Job job;
        Framing framing = c.framing;
        framing.flags = FlagDevicePreamble;
        const Bytes out = job.begin(framing);
        EXPECT_TRUE(job.lengthIsStringLength);
        if (c.accepted) {
            EXPECT_FALSE(out.empty());
            EXPECT_NE(job.state.lineBuffer, nullptr);
            continue;
        }
        EXPECT_TRUE(out.empty());
        EXPECT_EQ(job.state.lineBuffer, nullptr);
        EXPECT_EQ(drv::testing::outstandingBlocks(), blocks);
        EXPECT_TRUE(job.call(Request(OpPlot).i(0, 10)).empty());
        EXPECT_EQ(job.state.lastX, 0);
        EXPECT_TRUE(job.call(Request(OpEndJob), "x").empty());
    }
}

// Calls without a line buffer (before the first job of a cleared block,
// after OpEndJob, a second OpEndJob) and codes the driver does not draw
// produce nothing and leave block and pending record exactly as they were.
TEST(Guards, CallsThatProduceNothingChangeNothing) {
    const int kOps[] = {kMin, -1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22};
    auto everyCell = [](int op) {
        Request r(op, 0xFF);
        for (int k = 0; k < PLOT_PARAM_COUNT; ++k) {
            r.i(k, 1);
        }
        return r;
    };
    Job idle;  // cleared block, no job yet
    Job ended(Framing{});
    ended.call(Request(OpEndJob), "");
    for (Job *job : {&idle, &ended}) {
        for (int op : kOps) {
            SCOPED_TRACE(op);
            drv::drevant::PlotterState before;
            std::memcpy(&before, &job->state, sizeof before);
            EXPECT_TRUE(job->call(everyCell(op), "text").empty());
            EXPECT_EQ(job->lastLength, 0);
            EXPECT_EQ(std::memcmp(&before, &job->state, sizeof before), 0);
        }
    }

    Job open(Framing{});
    open.call(Request(OpPenUp));
    for (int op : {kMin, -1, 0, 4, 5, 14, 15, 16, 17, 19, 20, 21, 22}) {
        SCOPED_TRACE(op);
        const Bytes line = open.line();
        drv::drevant::PlotterState before;
        std::memcpy(&before, &open.state, sizeof before);
        EXPECT_TRUE(open.call(everyCell(op), "text").empty());
        EXPECT_TRUE(open.lengthIsStringLength);
        EXPECT_EQ(std::memcmp(&before, &open.state, sizeof before), 0);
        EXPECT_EQ(open.line(), line);
    }
}

// A body that cannot be sent whole is not collected: no output, pending
// record unchanged, pen position and label style unchanged.
struct DroppedCase {
    int line;
    Framing framing;
    std::int32_t fromX;
    Request request;
    const char *text;
};

const DroppedCase kDroppedCases[] = {
    // a code byte of 0: 0x20 + 224 = 0x100
    {__LINE__, {}, 0, Request(OpSelectPen).i(0, 224), nullptr},
    {__LINE__, {}, 0, Request(OpSelectPen).i(0, -32), nullptr},
    {__LINE__, {0x20, 2, 0, 0x21, 0x0D, 0, 0}, 0, Request(OpSelectPen, FlagAltPenSelect).i(0, 896), nullptr},
    {__LINE__, {}, 0, Request(OpFont).i(1, 1).i(3, 224), nullptr},
    {__LINE__, {}, 0, Request(OpVelocity).i(0, 224).i(1, 1).i(5, 1), nullptr},
    {__LINE__, {}, 0, Request(OpVelocity).i(0, 1).i(1, 1).i(5, 1).f(6, -3.2f), nullptr},
    {__LINE__, {0x20, 2, 0, 0x21, 0x0D, 0, 0}, 0, Request(OpPlot).i(0, 896), nullptr},
    {__LINE__, {0x20, 2, 0, 0x21, 0x0D, 0, 0}, 0, Request(OpLabel).i(0, 896), "ab"},
    // too long for a record of its own (no sync, no checksum: 251 bytes)
    {__LINE__, {}, 0, Request(OpPlot).i(0, 63 * 32767), nullptr},
    {__LINE__, {}, 0, Request(OpPlot).i(0, kMax), nullptr},
    {__LINE__, {}, kMin, Request(OpPlot).i(0, kMax).i(1, kMin), nullptr},
    {__LINE__, {}, 0, Request(OpCircle).i(0, 0).i(2, kMin), nullptr},
    {__LINE__, {}, 0, Request(OpArc).i(0, kMax).i(2, kMin).i(4, kMin), nullptr},
    {__LINE__, {}, 0, Request(OpTextStyle).i(0, kMax).i(1, 1), nullptr},
    {__LINE__, {}, 0, Request(OpLabel).i(0, 62 * 32767), "label"},
    // 127 sync characters and a checksum leave 123 bytes for a body
    {__LINE__, {0x20, 32, 127, 0x21, 0x0D, 1, 0}, 0, Request(OpPlot).i(0, 31 * 32767), nullptr},
    // a pen position that 32 bits cannot hold
    {__LINE__, {}, kMin + 1, Request(OpCircle).i(0, kMin + 1).i(2, 2), nullptr},
};

TEST(Guards, BodiesThatCannotBeSentWholeAreNotCollected) {
    for (const DroppedCase &c : kDroppedCases) {
        SCOPED_TRACE(c.line);
        Job job(c.framing);
        job.state.charHeight = 200;
        job.state.widthRatio = 12;
        job.state.dirX = 32767;
        job.state.lastX = c.fromX;
        job.call(Request(OpPenUp));
        const Bytes line = job.line();
        drv::drevant::PlotterState before;
        std::memcpy(&before, &job.state, sizeof before);
        EXPECT_TRUE(job.call(c.request, c.text).empty());
        EXPECT_EQ(job.lastLength, 0);
        EXPECT_EQ(job.line(), line);
        EXPECT_EQ(std::memcmp(&before, &job.state, sizeof before), 0);
    }
}

// The longest moves that still fit a record of their own go out.
TEST(Guards, LongestMoveThatFitsIsSent) {
    Job plain(Framing{});
    plain.call(Request(OpPlot).i(0, 62 * 32767));
    EXPECT_EQ(plain.line().size(), 1u + 62 * 4);
    EXPECT_EQ(plain.state.lastX, 62 * 32767);
    const Bytes out = plain.call(Request(OpPenUp));
    EXPECT_EQ(out.size(), 1u + 62 * 4 + 3);

    Job synced({0x20, 32, 127, 0x21, 0x0D, 1, 0});
    synced.call(Request(OpPlot).i(0, 30 * 32767));
    EXPECT_EQ(synced.line().size(), 128u + 30 * 4);
    EXPECT_EQ(synced.call(Request(OpPenUp)).size(), 128u + 30 * 4 + 4);
}

TEST(Guards, DroppedMoveLeavesLaterMovesRelativeToThePenItself) {
    Job job({0x20, 2, 0, 0x21, 0x0D, 0, 0});
    job.call(Request(OpPlot).i(0, 896));  // holds a 0 byte: not sent
    job.call(Request(OpPlot).i(0, 3));    // from (0, 0): 34, 1, 1
    EXPECT_EQ(job.pendingCodes(), (Codes{34, 1, 1}));
    EXPECT_EQ(job.state.lastX, 3);
}

struct TextCase {
    int line;
    bool pending;     // a pen-up body waits in the line
    int trailerSize;  // no sync, no checksum: a record holds 251 body bytes
    std::size_t outSize;
    bool trailerSent;
};

const TextCase kTrailerCases[] = {
    {__LINE__, true, 250, 255, true},       // 1 + 1 + 250 + 3
    {__LINE__, true, 251, 5 + 255, true},   // pending record first, then its own
    {__LINE__, false, 251, 255, true},
    {__LINE__, true, 252, 5, false},        // fits no record: left out
    {__LINE__, false, 252, 4, false},
    {__LINE__, true, 4000, 5, false},
};

TEST(Guards, LongTrailerNeverLosesThePendingRecord) {
    for (const TextCase &c : kTrailerCases) {
        SCOPED_TRACE(c.line);
        const int blocks = drv::testing::outstandingBlocks();
        Job job(Framing{});
        if (c.pending) {
            job.call(Request(OpPenUp));
        }
        const std::string trailer(static_cast<std::size_t>(c.trailerSize), 't');
        const Bytes out = job.call(Request(OpEndJob), trailer.c_str());
        EXPECT_TRUE(job.lengthIsStringLength);
        EXPECT_EQ(out.size(), c.outSize);
        if (c.pending) {
            EXPECT_EQ(Bytes(out.begin(), out.begin() + 2), (Bytes{0x20, 0x23}));
        }
        EXPECT_EQ(out.size() > 5 && out[out.size() - 4] == 't', c.trailerSent);
        EXPECT_EQ(job.state.lineBuffer, nullptr);
        EXPECT_EQ(drv::testing::outstandingBlocks(), blocks);
    }
}

TEST(Guards, HeaderTooLongForTheFirstRecordIsLeftOut) {
    const std::string fits(243, 'h');  // 1 + 243 + 8 + 3 = 255
    Job a;
    const Bytes first = a.begin(Framing{}, fits.c_str());
    EXPECT_EQ(first.size(), 255u);
    EXPECT_EQ(first[1], 'h');
    const std::string tooLong(244, 'h');
    Job b;
    EXPECT_EQ(b.begin(Framing{}, tooLong.c_str()),
              codeBytes({0, 11, 0, 9, 11, 7, 1, 13, 1, -0x20 + 0x0D, -0x20 + 0x0D, -0x20 + 0x0D}));
    Job c;
    EXPECT_EQ(c.begin(Framing{}, nullptr).size(), 12u);
}

struct StyleCase {
    int line;
    Request request;
    Codes expected;
    std::int32_t charHeight, widthRatio, dirX, dirY;
};

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

const StyleCase kStyleCases[] = {
    // Zero height: no ratio exists; the smallest is sent and labels do not advance.
    {__LINE__, Request(OpTextStyle).i(0, 0).i(1, 150).f(7, 1.0f),
     {11, 5, 15, 24, 0, 0, 30, 31, 31, 31, 36, 1, 36, 1}, 0, 1, 32767, 0},
    // Ratios computed without 32-bit overflow, then kept to 1..127.
    {__LINE__, Request(OpTextStyle).i(0, 1).i(1, 1 << 30),
     {11, 5, 15, 36, 1, 24, 0, 0, 32, 3, 31, 32, 3, 31}, 1, 127, 0, 0},
    {__LINE__, Request(OpTextStyle).i(0, -1).i(1, kMin),
     {11, 5, 15, 39, 1, 24, 0, 0, 32, 3, 31, 32, 3, 31}, -1, 127, 0, 0},
    {__LINE__, Request(OpTextStyle).i(0, 100).i(1, -50),
     {11, 5, 15, 32, 3, 4, 24, 0, 0, 36, 1, 36, 1}, 100, 1, 0, 0},
    // Directions beyond 1, infinities and NaN; a NaN slant is 0.
    {__LINE__, Request(OpTextStyle).i(0, 16).i(1, 16).f(6, -kInf).f(7, 3.0f).f(8, kNaN),
     {11, 5, 15, 36, 16, 18, 31, 31, 31, 31, 31, 31, 36, 16, 36, 16}, 16, 16, 32767, -32767},
    {__LINE__, Request(OpTextStyle).i(0, 16).i(1, 16).f(6, kNaN).f(7, kNaN).f(8, -kInf),
     {11, 5, 15, 36, 16, 24, 0, 0, 36, 16, 61, 3, 31, 16}, 16, 16, 0, 0},
};

TEST(Guards, TextStyleOutsideTheUsualRanges) {
    for (const StyleCase &c : kStyleCases) {
        SCOPED_TRACE(c.line);
        Job job(Framing{});
        job.call(c.request);
        EXPECT_EQ(job.pendingCodes(), c.expected);
        EXPECT_EQ(job.state.charHeight, c.charHeight);
        EXPECT_EQ(job.state.widthRatio, c.widthRatio);
        EXPECT_EQ(job.state.dirX, c.dirX);
        EXPECT_EQ(job.state.dirY, c.dirY);
    }
}

// OpLabel before any OpTextStyle reads whatever the block holds; the style
// is taken within the ranges OpTextStyle stores, so nothing overflows.
struct AdvanceCase {
    int line;
    std::int32_t charHeight, widthRatio, dirX, dirY;
    std::int32_t fromX;
    std::int32_t labelX;
    bool sent;
    std::int32_t toX, toY;
};

const AdvanceCase kAdvanceCases[] = {
    {__LINE__, 0, 0, 0, 0, 0, 0, true, 0, 0},  // a cleared block: no advance
    // ratio 5000 acts as 127, dirX 100000 as 32767: one character 126 units
    {__LINE__, 16, 5000, 100000, 0, 0, 0, true, 252, 0},
    {__LINE__, 32, -7, kMin, kMax, 0, 0, true, -2, 2},  // ratio 1, one character (-1, 1)
    // an advance that leaves the 32-bit range: the label is not sent
    {__LINE__, kMin, kMax, kMin, kMax, 0, 0, false, 0, 0},
    {__LINE__, 1000, 16, 32767, 0, kMax - 1000, kMax - 1000, false, kMax - 1000, 0},
    {__LINE__, 1000, 16, 32767, 0, kMax - 1998, kMax - 1998, true, kMax, 0},
};

TEST(Guards, LabelAdvanceWithArbitraryStyle) {
    for (const AdvanceCase &c : kAdvanceCases) {
        SCOPED_TRACE(c.line);
        Job job(Framing{});
        job.state.charHeight = c.charHeight;
        job.state.widthRatio = c.widthRatio;
        job.state.dirX = c.dirX;
        job.state.dirY = c.dirY;
        job.state.lastX = c.fromX;
        job.call(Request(OpLabel).i(0, c.labelX), "ab");
        EXPECT_EQ(job.line().size() > 1, c.sent);
        EXPECT_EQ(job.state.lastX, c.toX);
        EXPECT_EQ(job.state.lastY, c.toY);
    }
}

TEST(Guards, VelocityWithExtremeFloats) {
    Job job(Framing{});
    // v saturates at the 32-bit range (low byte 0xFF); a NaN speed is 0.
    job.call(Request(OpVelocity).i(0, 1).i(1, 1).i(5, 1).f(2, kNaN).f(6, 3e38f));
    EXPECT_EQ(job.pendingCodes(), (Codes{11, 0, 5, 11, 1, 255, 11, 0, 0}));
}

TEST(Guards, NullLabelTextIsEmpty) {
    Job job(Framing{});
    job.call(Request(OpLabel).i(0, 5));
    EXPECT_EQ(job.pendingCodes(), (Codes{38, 5, 5, 0}));
}

// With 127 sync characters every line already passes 84 characters, so
// every command delivers the record before it; no record passes 255.
TEST(Guards, LongestSyncRunsStillFitTheLine) {
    Job job;
    const Bytes first = job.begin({0x20, 32, 127, 0x16, 0x03, 1, 0}, "");
    EXPECT_EQ(first.size(), 127u + 9 + 4);
    job.call(Request(OpPenUp));
    const std::string text(77, 'x');
    const Bytes out = job.call(Request(OpLabel).i(0, 40000), text.c_str());
    EXPECT_EQ(out.size(), 128u + 1 + 4);
    const Bytes last = job.call(Request(OpEndJob), "");
    EXPECT_EQ(last.size(), 128u + 87 + 4);
    EXPECT_TRUE(job.lengthIsStringLength);
}

}  // namespace
