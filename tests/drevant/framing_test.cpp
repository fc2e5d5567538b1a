// Records: sync characters, code 0, bodies, checksum, terminators; when a
// record is delivered and how a job begins and ends.
#include <gtest/gtest.h>

#include <string>

#include "job_harness.h"
#include "record.h"

namespace {

using namespace drevant_test;
using drv::drevant::checksumChar;

const std::string kPreamble =
    "&&&&CALCOMP DEVICE CONTROL\nPCI(X02,1,NO,X03,80mm)\n^^^^END OF FILE\n";

struct ChecksumCase {
    int line;
    Bytes summed;
    std::uint8_t expected;
};

// Bytes count as signed 8-bit values; the remainder keeps the sum's sign.
const ChecksumCase kChecksumCases[] = {
    {__LINE__, {}, 0x60},
    {__LINE__, {0x20}, 0x60},             // 32: a multiple of 32 gives 0x60, not 0x40
    {__LINE__, {0x1F}, 0x41},             // 31: the smallest character
    {__LINE__, {0x21}, 0x5F},
    {__LINE__, {0xFF}, 0x61},             // -1
    {__LINE__, {0x80}, 0x60},             // -128, a negative multiple of 32
    {__LINE__, {0xE0, 0x01}, 0x7F},       // -31: the largest character
    {__LINE__, {0x7F, 0x7F, 0x7F}, 0x43}, // 381 = 11 * 32 + 29
    {__LINE__, {0xA0, 0xAB, 0xA0, 0xA9, 0xAB, 0xA7, 0xA1, 0xAD, 0xA1}, 0x6B},  // -811
};

TEST(Checksum, SignedSumModulo32) {
    for (const ChecksumCase &c : kChecksumCases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(checksumChar(c.summed.data(), c.summed.size()), c.expected);
    }
}

struct BeginCase {
    int line;
    Framing framing;
    const char *header;
    Bytes expected;
};

// The first record: syncs, code 0, the header, codes 11 0 9 11 7 1 13 1,
// checksum over code 0 .. last code, three terminators.
const BeginCase kBeginCases[] = {
    {__LINE__, {0x20, 32, 2, 0x21, 0x0D, 1, 0}, "",
     {0x21, 0x21, 0x20, 0x2B, 0x20, 0x29, 0x2B, 0x27, 0x21, 0x2D, 0x21, 0x4B, 0x0D, 0x0D, 0x0D}},
    {__LINE__, {0x20, 32, 2, 0x21, 0x0D, 0, 0}, "",
     {0x21, 0x21, 0x20, 0x2B, 0x20, 0x29, 0x2B, 0x27, 0x21, 0x2D, 0x21, 0x0D, 0x0D, 0x0D}},
    // No sync characters: the checksum covers the whole record before it.
    {__LINE__, {0x20, 32, 0, 0x21, 0x0D, 1, 0}, "",
     {0x20, 0x2B, 0x20, 0x29, 0x2B, 0x27, 0x21, 0x2D, 0x21, 0x4B, 0x0D, 0x0D, 0x0D}},
    // The header counts in the sum (341 + 0x41 + 0x42 = 472, remainder 24).
    {__LINE__, {0x20, 32, 1, 0x16, 0x03, 1, 0}, "AB",
     {0x16, 0x20, 0x41, 0x42, 0x2B, 0x20, 0x29, 0x2B, 0x27, 0x21, 0x2D, 0x21, 0x48, 0x03, 0x03, 0x03}},
    // 341 + 0x2B = 384 = 12 * 32.
    {__LINE__, {0x20, 32, 0, 0x21, 0x0D, 1, 0}, "+",
     {0x20, 0x2B, 0x2B, 0x20, 0x29, 0x2B, 0x27, 0x21, 0x2D, 0x21, 0x60, 0x0D, 0x0D, 0x0D}},
    // A bias above 0x7F makes the sum negative (-811).
    {__LINE__, {0xA0, 32, 1, 0x16, 0x03, 1, 0}, "",
     {0x16, 0xA0, 0xAB, 0xA0, 0xA9, 0xAB, 0xA7, 0xA1, 0xAD, 0xA1, 0x6B, 0x03, 0x03, 0x03}},
    // Bias, terminator and checksum flag are low bytes of their cells.
    {__LINE__, {0x120, 32, 0, 0x21, 0x70D, 0x100, 0}, "",
     {0x20, 0x2B, 0x20, 0x29, 0x2B, 0x27, 0x21, 0x2D, 0x21, 0x0D, 0x0D, 0x0D}},
};

TEST(BeginJob, DeliversTheFirstRecordComplete) {
    for (const BeginCase &c : kBeginCases) {
        SCOPED_TRACE(c.line);
        Job job;
        EXPECT_EQ(job.begin(c.framing, c.header), c.expected);
        EXPECT_TRUE(job.lengthIsStringLength);
        EXPECT_EQ(job.lastResult, 0);
        EXPECT_TRUE(job.line().empty());
        EXPECT_EQ(job.state.lastX, 0);
        EXPECT_EQ(job.state.lastY, 0);
    }
}

TEST(BeginJob, PreambleComesFirstInTheSameOutput) {
    Job job;
    const Bytes out = job.begin({0x20, 32, 2, 0x21, 0x0D, 1, FlagDevicePreamble});
    EXPECT_EQ(out, concat({bytesOf(kPreamble), kBeginCases[0].expected}));
    EXPECT_TRUE(job.lengthIsStringLength);
}

TEST(BeginJob, ResetsThePenPositionButNotTheLabelStyle) {
    Job job(Framing{});
    job.call(Request(OpPlot).i(0, 7).i(1, 9));
    job.state.charHeight = 40;
    job.call(Request(OpEndJob), "");
    job.begin(Framing{});
    EXPECT_EQ(job.state.lastX, 0);
    EXPECT_EQ(job.state.lastY, 0);
    EXPECT_EQ(job.state.charHeight, 40);
}

// A command delivers the pending record when its body would bring the line
// to 84 characters; the line counts its sync characters and code 0.
struct FillCase {
    int line;
    Framing framing;
    int firstText;   // label lengths: a label at the pen's own position
    int secondText;  // has the body 24 0 0 5 n + n characters
    bool delivers;
};

const FillCase kFillCases[] = {
    // line 1 + (5 + 40), then 5 + 32: 83 in all
    {__LINE__, {}, 40, 32, false},
    {__LINE__, {}, 40, 33, true},
    // two sync characters and a checksum: the sync characters count
    {__LINE__, {0x20, 32, 2, 0x21, 0x0D, 1, 0}, 40, 30, false},
    {__LINE__, {0x20, 32, 2, 0x21, 0x0D, 1, 0}, 40, 31, true},
};

TEST(EmitBody, EightyFourCharacterRule) {
    for (const FillCase &c : kFillCases) {
        SCOPED_TRACE(c.line);
        Job job(c.framing);
        const std::string first(static_cast<std::size_t>(c.firstText), 'a');
        const std::string second(static_cast<std::size_t>(c.secondText), 'b');
        EXPECT_TRUE(job.call(Request(OpLabel), first.c_str()).empty());
        const Bytes pending = job.line();
        const Bytes out = job.call(Request(OpLabel), second.c_str());
        const Bytes secondBody =
            concat({codeBytes({24, 0, 0, 5, c.secondText}), bytesOf(second)});
        if (!c.delivers) {
            EXPECT_TRUE(out.empty());
            EXPECT_EQ(job.line(), concat({pending, secondBody}));
            EXPECT_EQ(job.line().size(), 83u);
            continue;
        }
        Bytes closed = pending;
        if (c.framing.checksumOn != 0) {
            const std::size_t from = static_cast<std::size_t>(c.framing.syncCount);
            closed.push_back(checksumChar(pending.data() + from, pending.size() - from));
        }
        closed.insert(closed.end(), 3, static_cast<std::uint8_t>(c.framing.terminator));
        EXPECT_EQ(out, closed);
        EXPECT_TRUE(job.lengthIsStringLength);
        Bytes opened(static_cast<std::size_t>(c.framing.syncCount), 0x21);
        opened.push_back(0x20);
        EXPECT_EQ(job.line(), concat({opened, secondBody}));
    }
}

TEST(EmitBody, FirstCommandDeliversNothingAndOpensTheSecondRecord) {
    Job job;
    job.begin({0x20, 32, 2, 0x21, 0x0D, 1, 0});
    EXPECT_TRUE(job.call(Request(OpPenDown)).empty());
    EXPECT_EQ(job.lastLength, 0);
    EXPECT_EQ(job.line(), (Bytes{0x21, 0x21, 0x20, 0x22}));
}

// Possible only as the first body of a record: a body of 84 characters or
// more on an empty line opens the record; no bare checksum and terminators
// go out before it.
TEST(EmitBody, LongFirstBodySendsNoFragment) {
    Job job;
    job.begin({0x20, 32, 0, 0x21, 0x0D, 1, 0});
    const std::string text(77, 'x');
    // two 4-byte steps, code 5, count 77, 77 characters: 87 bytes
    EXPECT_TRUE(job.call(Request(OpLabel).i(0, 40000), text.c_str()).empty());
    EXPECT_EQ(job.line().size(), 88u);
    // The next command closes it.
    const Bytes out = job.call(Request(OpPenUp));
    ASSERT_EQ(out.size(), 92u);
    EXPECT_EQ(Bytes(out.end() - 3, out.end()), (Bytes{0x0D, 0x0D, 0x0D}));
    EXPECT_EQ(job.line(), (Bytes{0x20, 0x23}));
}

struct EndCase {
    int line;
    Framing framing;
    bool pendingPenUp;  // a command body waits in the line
    const char *trailer;
    Bytes expected;
};

const EndCase kEndCases[] = {
    // right after OpBeginJob: a record holding only the trailer
    {__LINE__, {}, false, "END", {0x20, 'E', 'N', 'D', 0x0D, 0x0D, 0x0D}},
    {__LINE__, {0x20, 32, 1, 0x16, 0x03, 1, 0}, false, "E",
     {0x16, 0x20, 'E', 0x5B, 0x03, 0x03, 0x03}},  // 0x20 + 0x45 = 101, remainder 5
    // an empty trailer still delivers a record: an empty one when none waits
    {__LINE__, {}, false, "", {0x20, 0x0D, 0x0D, 0x0D}},
    {__LINE__, {0x20, 32, 0, 0x21, 0x0D, 1, 0}, false, "", {0x20, 0x60, 0x0D, 0x0D, 0x0D}},
    // ... and the pending record, unchanged, when one waits
    {__LINE__, {}, true, "", {0x20, 0x23, 0x0D, 0x0D, 0x0D}},
    {__LINE__, {}, true, "Z", {0x20, 0x23, 'Z', 0x0D, 0x0D, 0x0D}},
    {__LINE__, {}, true, nullptr, {0x20, 0x23, 0x0D, 0x0D, 0x0D}},
};

TEST(EndJob, DeliversTheLastRecordAndReleasesTheLine) {
    for (const EndCase &c : kEndCases) {
        SCOPED_TRACE(c.line);
        const int before = drv::testing::outstandingBlocks();
        Job job(c.framing);
        if (c.pendingPenUp) {
            job.call(Request(OpPenUp));
        }
        EXPECT_EQ(job.call(Request(OpEndJob), c.trailer), c.expected);
        EXPECT_TRUE(job.lengthIsStringLength);
        EXPECT_EQ(job.state.lineBuffer, nullptr);
        EXPECT_EQ(drv::testing::outstandingBlocks(), before);
    }
}

TEST(Job, SecondJobOnTheSameBlockGetsANewLineAndItsOwnFraming) {
    const int before = drv::testing::outstandingBlocks();
    Job job(Framing{});
    job.call(Request(OpPlot).i(0, 5));
    job.call(Request(OpEndJob), "");
    EXPECT_EQ(drv::testing::outstandingBlocks(), before);

    const Bytes first = job.begin({0x20, 32, 1, 0x16, 0x03, 1, 0});
    EXPECT_EQ(first.front(), 0x16);
    EXPECT_NE(job.state.lineBuffer, nullptr);
    EXPECT_EQ(drv::testing::outstandingBlocks(), before + 1);
    job.call(Request(OpPlot).i(0, 5));  // from (0, 0) again: 38, 5
    EXPECT_EQ(job.pendingCodes(), (Codes{38, 5}));
    EXPECT_EQ(job.call(Request(OpEndJob), ""),
              (Bytes{0x16, 0x20, 0x46, 0x25, 0x55, 0x03, 0x03, 0x03}));
    EXPECT_EQ(drv::testing::outstandingBlocks(), before);
}

TEST(Job, LineBufferThatCannotBeObtainedMakesTheJobSilent) {
    const int before = drv::testing::outstandingBlocks();
    Job job;
    drv::testing::failNthAllocation(1);
    Framing framing;
    framing.flags = FlagDevicePreamble;
    EXPECT_TRUE(job.begin(framing).empty());
    drv::testing::resetAllocationFailures();
    EXPECT_EQ(job.lastLength, 0);
    EXPECT_EQ(job.state.lineBuffer, nullptr);
    EXPECT_TRUE(job.call(Request(OpPlot).i(0, 100)).empty());
    EXPECT_EQ(job.state.lastX, 0);
    EXPECT_TRUE(job.call(Request(OpEndJob), "END").empty());
    EXPECT_EQ(drv::testing::outstandingBlocks(), before);
    // The block recovers with the next job.
    EXPECT_FALSE(job.begin(Framing{}).empty());
}

}  // namespace
