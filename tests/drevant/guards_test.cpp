// Requests outside what hosts are meant to send: nothing undefined, nothing
// outside the buffers, outLength the length of the output string, and the
// pen position always where the device's pen is.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>

#include "tests/drevant/job_harness.h"

namespace {

using namespace drevant_test;

constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

struct FramingCase {
    int line;
    Framing framing;
    bool starts;
};

// A job starts only with framing that gives records without 0 bytes and
// digits that mean something; otherwise it obtains no line buffer and the
// whole job (preamble included) produces nothing.
const FramingCase kFramingCases[] = {
    {__LINE__, {0x20, 0}, false},  // radix 0
    {__LINE__, {0x20, 0x80}, false},  // radix -128
    {__LINE__, {0x20, 2}, true},
    {__LINE__, {0x20, 127}, true},
    {__LINE__, {0x20, 32, 0x80}, false},  // syncCount -128
    {__LINE__, {0x20, 32, 127}, true},
    {__LINE__, {0x00}, false},  // code 0 would be the byte 0
    {__LINE__, {0x20, 32, 0, 0x21, 0x00}, false},  // terminator 0
    {__LINE__, {0x20, 32, 2, 0x00}, false},  // sync character 0, used
    {__LINE__, {0x20, 32, 0, 0x00}, true},   // ... unused
    {__LINE__, {0xF5}, false},  // 0xF5 + code 11 of the first record
    {__LINE__, {0xF3}, false},  // ... code 13
    {__LINE__, {0xF4}, true},
};

TEST(Guards, FramingThatCannotMakeRecordsStartsNoJob) {
    for (const FramingCase &c : kFramingCases) {
        SCOPED_TRACE(c.line);
        const int blocks = drv::testing::outstandingBlocks();
        Job job;
        Framing framing = c.framing;
        framing.flags = FlagDevicePreamble;
        EXPECT_EQ(job.begin(framing).empty(), !c.starts);
        EXPECT_TRUE(job.keptContract);
        EXPECT_EQ(job.state.lineBuffer != nullptr, c.starts);
        if (!c.starts) {
            EXPECT_EQ(drv::testing::outstandingBlocks(), blocks);
            EXPECT_TRUE(job.call(Request(OpPlot).i(0, 10)).empty());
            EXPECT_EQ(job.state.lastX, 0);
        }
    }
}

Request everyCellOne(int op) {
    Request r(op, 0xFF);
    for (int k = 0; k < PLOT_PARAM_COUNT; ++k) {
        r.i(k, 1);
    }
    return r;
}

// Without a line buffer (a cleared block before its first job, after
// OpEndJob, a second OpEndJob) every call but OpBeginJob, and codes the
// driver does not draw at any time, change neither block nor pending record.
TEST(Guards, CallsThatProduceNothingChangeNothing) {
    Job idle;
    Job ended(Framing{});
    ended.call(Request(OpEndJob), "");
    Job open(Framing{});
    open.call(Request(OpPenUp));
    const int kAll[] = {kMin, -1, 0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22};
    const int kUndrawn[] = {kMin, -1, 0, 4, 5, 14, 15, 16, 17, 19, 20, 21, 22};
    for (Job *job : {&idle, &ended, &open}) {
        for (int op : job == &open ? std::vector<int>(std::begin(kUndrawn), std::end(kUndrawn))
                                   : std::vector<int>(std::begin(kAll), std::end(kAll))) {
            SCOPED_TRACE(op);
            const Bytes line = job->line();
            drv::drevant::PlotterState before;
            std::memcpy(&before, &job->state, sizeof before);
            EXPECT_TRUE(job->call(everyCellOne(op), "text").empty());
            EXPECT_TRUE(job->keptContract);
            EXPECT_EQ(std::memcmp(&before, &job->state, sizeof before), 0);
            EXPECT_EQ(job->line(), line);
        }
    }
}

// A body that cannot go out whole is not collected: no output, pending
// record, position and label style unchanged.
struct DroppedCase {
    int line;
    Framing framing;
    std::int32_t fromX;
    Request request;
};

const DroppedCase kDroppedCases[] = {
    {__LINE__, {}, 0, Request(OpSelectPen).i(0, 224)},  // 0x20 + 224 is the byte 0
    {__LINE__, {}, 0, Request(OpFont).i(1, 1).i(3, 224)},
    {__LINE__, {}, 0, Request(OpVelocity).i(1, 1).i(5, 1).f(6, -3.2f)},
    {__LINE__, {0x20, 2}, 0, Request(OpPlot).i(0, 896)},
    // too long for a record of its own: 251 body bytes here, 123 with
    // 127 sync characters and a checksum
    {__LINE__, {}, 0, Request(OpPlot).i(0, 63 * 32767)},
    {__LINE__, {0x20, 32, 127, 0x21, 0x0D, 1}, 0, Request(OpPlot).i(0, 31 * 32767)},
    {__LINE__, {}, 0, Request(OpLabel).i(0, 62 * 32767)},
    {__LINE__, {}, 0, Request(OpCircle).i(2, kMin)},
    {__LINE__, {}, 0, Request(OpArc).i(0, kMax).i(2, kMin).i(4, kMin)},
    {__LINE__, {}, 0, Request(OpTextStyle).i(0, kMax).i(1, 1)},
    // a pen position 32 bits cannot hold
    {__LINE__, {}, kMin + 1, Request(OpCircle).i(0, kMin + 1).i(2, 2)},
    {__LINE__, {}, kMax - 10, Request(OpLabel).i(0, kMax - 10)},  // advances 149 per character
};

TEST(Guards, BodiesThatCannotGoOutWholeAreNotCollected) {
    for (const DroppedCase &c : kDroppedCases) {
        SCOPED_TRACE(c.line);
        Job job(c.framing);
        job.setStyle(200, 12, 32767, 0);
        job.state.lastX = c.fromX;
        job.call(Request(OpPenUp));
        const Bytes line = job.line();
        drv::drevant::PlotterState before;
        std::memcpy(&before, &job.state, sizeof before);
        EXPECT_TRUE(job.call(c.request, "label").empty());
        EXPECT_EQ(job.line(), line);
        EXPECT_EQ(std::memcmp(&before, &job.state, sizeof before), 0);
    }
}

TEST(Guards, LongestBodiesThatFitGoOut) {
    Job plain(Framing{});
    plain.call(Request(OpPlot).i(0, 62 * 32767));
    EXPECT_EQ(plain.state.lastX, 62 * 32767);
    EXPECT_EQ(plain.call(Request(OpPenUp)).size(), 1u + 62 * 4 + 3);
    Job synced({0x20, 32, 127, 0x21, 0x0D, 1});
    synced.call(Request(OpPlot).i(0, 30 * 32767));
    EXPECT_EQ(synced.call(Request(OpPenUp)).size(), 128u + 30 * 4 + 4);
    // later moves stay relative to where the pen is
    Job radix2({0x20, 2});
    radix2.call(Request(OpPlot).i(0, 896));  // holds a 0 byte: not sent
    radix2.call(Request(OpPlot).i(0, 3));
    EXPECT_EQ(radix2.pendingCodes(), (Codes{34, 1, 1}));
}

// Header and trailer: a text too long for the record it belongs in.
struct TextCase {
    int line;
    int op;
    bool penUpPending;
    std::size_t textSize;  // no sync, no checksum: a record holds 251 body bytes
    std::size_t outSize;
    bool textSent;
};

const TextCase kTextCases[] = {
    {__LINE__, OpBeginJob, false, 243, 255, true},  // 1 + 243 + 8 + 3
    {__LINE__, OpBeginJob, false, 244, 12, false},  // left out, the job starts
    {__LINE__, OpEndJob, true, 250, 255, true},     // 1 + 1 + 250 + 3
    {__LINE__, OpEndJob, true, 251, 5 + 255, true}, // pending record first, then its own
    {__LINE__, OpEndJob, false, 251, 255, true},
    {__LINE__, OpEndJob, true, 252, 5, false},      // fits no record: left out
    {__LINE__, OpEndJob, false, 4000, 4, false},
};

TEST(Guards, LongHeaderOrTrailerNeverCostsARecord) {
    for (const TextCase &c : kTextCases) {
        SCOPED_TRACE(c.line);
        const int blocks = drv::testing::outstandingBlocks();
        const std::string text(c.textSize, 't');
        Job job;
        Bytes out = job.begin(Framing{}, c.op == OpBeginJob ? text.c_str() : "");
        if (c.op == OpEndJob) {
            if (c.penUpPending) {
                job.call(Request(OpPenUp));
            }
            out = job.call(Request(OpEndJob), text.c_str());
            EXPECT_EQ(job.state.lineBuffer, nullptr);
            EXPECT_EQ(drv::testing::outstandingBlocks(), blocks);
        }
        EXPECT_TRUE(job.keptContract);
        EXPECT_EQ(out.size(), c.outSize);
        EXPECT_EQ(out.size() > 1 && out[1] == 't', c.textSent && !c.penUpPending);
        EXPECT_EQ(out.size() > 12 && out[out.size() - 4] == 't', c.textSent && c.op == OpEndJob);
    }
}

struct StyleCase {
    int line;
    Request request;
    Codes expected;
    Codes stored;  // charHeight, widthRatio, dirX, dirY
};

const StyleCase kStyleCases[] = {
    // a zero height has no width ratio: the smallest is sent, no advance follows
    {__LINE__, Request(OpTextStyle).i(0, 0).i(1, 150).f(7, 1.0f),
     {11, 5, 15, 24, 0, 0, 30, 31, 31, 31, 36, 1, 36, 1}, {0, 1, 32767, 0}},
    // 16 x param[1] computed without 32-bit overflow
    {__LINE__, Request(OpTextStyle).i(0, 1).i(1, 1 << 30), {11, 5, 15, 36, 1, 24, 0, 0, 32, 3, 31, 32, 3, 31},
     {1, 127, 0, 0}},
    // directions beyond 1 and infinities are held at 1; NaN counts as 0
    {__LINE__, Request(OpTextStyle).i(0, 16).i(1, 16).f(6, -kInf).f(7, 3.0f).f(8, kNaN),
     {11, 5, 15, 36, 16, 18, 31, 31, 31, 31, 31, 31, 36, 16, 36, 16}, {16, 16, 32767, -32767}},
    {__LINE__, Request(OpTextStyle).i(0, 16).i(1, 16).f(6, kNaN).f(7, kNaN).f(8, -kInf),
     {11, 5, 15, 36, 16, 24, 0, 0, 36, 16, 61, 3, 31, 16}, {16, 16, 0, 0}},
};

TEST(Guards, TextStyleOutsideTheUsualRanges) {
    for (const StyleCase &c : kStyleCases) {
        SCOPED_TRACE(c.line);
        Job job(Framing{});
        job.call(c.request);
        EXPECT_EQ(job.pendingCodes(), c.expected);
        EXPECT_EQ((Codes{job.state.charHeight, job.state.widthRatio, job.state.dirX, job.state.dirY}), c.stored);
    }
}

// OpLabel before any OpTextStyle reads whatever the block holds. The style
// is taken within the ranges OpTextStyle stores, so nothing overflows.
struct AdvanceCase {
    int line;
    std::int32_t charHeight, widthRatio, dirX, dirY;
    bool sent;
    std::int32_t toX, toY;
};

const AdvanceCase kAdvanceCases[] = {
    {__LINE__, 16, 5000, 100000, 0, true, 252, 0},  // as ratio 127, dirX 32767
    {__LINE__, 32, -7, kMin, kMax, true, -2, 2},   // ratio 1, one character (-1, 1)
    {__LINE__, kMin, kMax, kMin, kMax, false, 0, 0},  // the advance leaves 32 bits
};

TEST(Guards, LabelAdvanceWithArbitraryStyle) {
    for (const AdvanceCase &c : kAdvanceCases) {
        SCOPED_TRACE(c.line);
        Job job(Framing{});
        job.setStyle(c.charHeight, c.widthRatio, c.dirX, c.dirY);
        job.call(Request(OpLabel), "ab");
        EXPECT_EQ(job.line().size() > 1, c.sent);
        EXPECT_EQ(job.state.lastX, c.toX);
        EXPECT_EQ(job.state.lastY, c.toY);
    }
}

TEST(Guards, VelocityWithExtremeFloats) {
    Job job(Framing{});
    // v saturates at the 32-bit range (low byte 0xFF); a NaN speed is 0
    job.call(Request(OpVelocity).i(0, 1).i(1, 1).i(5, 1).f(2, kNaN).f(6, 3e38f));
    EXPECT_EQ(job.pendingCodes(), (Codes{11, 0, 5, 11, 1, 255, 11, 0, 0}));
}

}  // namespace
