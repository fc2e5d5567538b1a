// Records: sync characters, code 0, bodies, checksum, terminators; when a
// record is delivered; how a job begins and ends.
#include <gtest/gtest.h>

#include <string>

#include "plotters/drevant/record.h"
#include "tests/drevant/job_harness.h"

namespace {

using namespace drevant_test;
using drv::drevant::checksumChar;

struct ChecksumCase {
    int line;
    Bytes summed;
    std::uint8_t expected;
};

// Signed 8-bit bytes; the remainder modulo 32 keeps the sum's sign.
const ChecksumCase kChecksumCases[] = {
    {__LINE__, {}, 0x60},
    {__LINE__, {0x20}, 0x60},        // a multiple of 32 gives 0x60, not 0x40
    {__LINE__, {0x1F}, 0x41},
    {__LINE__, {0xFF}, 0x61},        // -1
    {__LINE__, {0x80}, 0x60},        // -128
    {__LINE__, {0xE0, 0x01}, 0x7F},  // -31
    {__LINE__, {0x7F, 0x7F, 0x7F}, 0x43},
};

TEST(Checksum, SignedSumModulo32) {
    for (const ChecksumCase &c : kChecksumCases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(checksumChar(c.summed.data(), static_cast<std::int32_t>(c.summed.size())),
                  c.expected);
    }
}

const std::string kPreamble = "&&&&CALCOMP DEVICE CONTROL\nPCI(X02,1,NO,X03,80mm)\n^^^^END OF FILE\n";

struct BeginCase {
    int line;
    Framing framing;
    const char *header;
    std::string expected;
};

// Syncs, code 0, header, codes 11 0 9 11 7 1 13 1, checksum over code 0 to
// the last code, three terminators.
const BeginCase kBeginCases[] = {
    {__LINE__, {0x20, 32, 2, 0x21, 0x0D, 1}, "", "!! + )+'!-!K\r\r\r"},  // sum 341
    {__LINE__, {0x20, 32, 2, 0x21, 0x0D, 0}, "", "!! + )+'!-!\r\r\r"},
    {__LINE__, {0x20, 32, 2, 0x21, 0x0D, 1, FlagDevicePreamble}, "", kPreamble + "!! + )+'!-!K\r\r\r"},
    {__LINE__, {0x20, 32, 0, 0x21, 0x0D, 1}, "", " + )+'!-!K\r\r\r"},
    {__LINE__, {0x20, 32, 1, 0x16, 0x03, 1}, "AB", "\x16 AB+ )+'!-!H\x03\x03\x03"},  // 472
    {__LINE__, {0x20, 32, 0, 0x21, 0x0D, 1}, "+", " ++ )+'!-!`\r\r\r"},            // 384
    {__LINE__, {0xA0, 32, 1, 0x16, 0x03, 1}, "",                                   // -811
     "\x16\xA0\xAB\xA0\xA9\xAB\xA7\xA1\xAD\xA1\x6B\x03\x03\x03"},
    // only the low byte of each cell counts
    {__LINE__, {0x120, 0x320, 0, 0x21, 0x70D, 0x100}, "", " + )+'!-!\r\r\r"},
};

TEST(BeginJob, DeliversTheFirstRecordComplete) {
    for (const BeginCase &c : kBeginCases) {
        SCOPED_TRACE(c.line);
        Job job;
        job.state.lastX = 9;
        EXPECT_EQ(job.begin(c.framing, c.header), Bytes(c.expected.begin(), c.expected.end()));
        EXPECT_TRUE(job.keptContract);
        EXPECT_TRUE(job.line().empty());
        EXPECT_EQ(job.state.lastX, 0);
    }
}

// A command delivers the pending record when its body would bring the line
// (sync characters and code 0 included) to 84 characters.
struct FillCase {
    int line;
    Framing framing;
    std::size_t secondText;  // after a label "aaa...a" (40) at the pen's position
    std::string delivered;   // the first label's closed record, or nothing
};

const std::string k40(40, 'a');

const FillCase kFillCases[] = {
    {__LINE__, {}, 32, ""},  // 1 + 45 + 37 = 83
    {__LINE__, {}, 33, " 8  %H" + k40 + "\r\r\r"},
    {__LINE__, {0x20, 32, 2, 0x21, 0x0D, 1}, 30, ""},
    {__LINE__, {0x20, 32, 2, 0x21, 0x0D, 1}, 31, "!! 8  %H" + k40 + "S\r\r\r"},
};

TEST(EmitBody, EightyFourCharacterRule) {
    for (const FillCase &c : kFillCases) {
        SCOPED_TRACE(c.line);
        Job job(c.framing);
        EXPECT_TRUE(job.call(Request(OpLabel), k40.c_str()).empty());  // the first body opens a record
        const std::string second(c.secondText, 'b');
        const Bytes out = job.call(Request(OpLabel), second.c_str());
        EXPECT_EQ(out, Bytes(c.delivered.begin(), c.delivered.end()));
        EXPECT_TRUE(job.keptContract);
        const Bytes body = codeBytes({24, 0, 0, 5, static_cast<int>(c.secondText)}, second);
        const Bytes line = job.line();
        ASSERT_GE(line.size(), body.size());
        EXPECT_EQ(Bytes(line.end() - static_cast<long>(body.size()), line.end()), body);
        EXPECT_EQ(line.size(), c.delivered.empty() ? 83u : c.framing.syncCount + 1 + body.size());
    }
}

// Only a first body can arrive on an empty line: one of 84 characters or
// more opens the record; no bare checksum and terminators go out first.
TEST(EmitBody, LongFirstBodySendsNoFragment) {
    Job job({0x20, 32, 0, 0x21, 0x0D, 1});
    const std::string text(77, 'x');
    EXPECT_TRUE(job.call(Request(OpLabel).i(0, 40000), text.c_str()).empty());  // 87 bytes
    EXPECT_EQ(job.line().size(), 88u);
    EXPECT_EQ(job.call(Request(OpPenUp)).size(), 92u);
    EXPECT_EQ(job.line(), codeBytes({0, 3}));
}

struct EndCase {
    int line;
    Framing framing;
    bool penUpPending;
    const char *trailer;
    std::string expected;
};

const EndCase kEndCases[] = {
    {__LINE__, {}, false, "END", " END\r\r\r"},
    {__LINE__, {0x20, 32, 1, 0x16, 0x03, 1}, false, "E", "\x16 E[\x03\x03\x03"},
    // an empty trailer still delivers a record, an empty one if none waits
    {__LINE__, {}, false, "", " \r\r\r"},
    {__LINE__, {0x20, 32, 0, 0x21, 0x0D, 1}, false, "", " `\r\r\r"},
    {__LINE__, {}, true, "", " #\r\r\r"},
    {__LINE__, {}, true, nullptr, " #\r\r\r"},
    {__LINE__, {}, true, "Z", " #Z\r\r\r"},
};

TEST(EndJob, DeliversTheLastRecordAndReleasesTheLine) {
    for (const EndCase &c : kEndCases) {
        SCOPED_TRACE(c.line);
        const int blocks = drv::testing::outstandingBlocks();
        Job job(c.framing);
        if (c.penUpPending) {
            job.call(Request(OpPenUp));
        }
        EXPECT_EQ(job.call(Request(OpEndJob), c.trailer), Bytes(c.expected.begin(), c.expected.end()));
        EXPECT_TRUE(job.keptContract);
        EXPECT_EQ(job.state.lineBuffer, nullptr);
        EXPECT_EQ(drv::testing::outstandingBlocks(), blocks);
    }
}

TEST(Job, SecondJobOnTheSameBlock) {
    const int blocks = drv::testing::outstandingBlocks();
    Job job(Framing{});
    job.call(Request(OpPlot).i(0, 5));
    job.state.charHeight = 40;
    job.call(Request(OpEndJob), "");
    EXPECT_FALSE(job.begin({0x20, 32, 1, 0x16, 0x03, 1}).empty());
    EXPECT_EQ(drv::testing::outstandingBlocks(), blocks + 1);
    EXPECT_EQ(job.state.charHeight, 40);  // the label style outlives the job
    job.call(Request(OpPlot).i(0, 5));    // from (0, 0) again
    EXPECT_EQ(job.call(Request(OpEndJob), ""), (Bytes{0x16, 0x20, 0x46, 0x25, 0x55, 0x03, 0x03, 0x03}));
    EXPECT_EQ(drv::testing::outstandingBlocks(), blocks);
}

TEST(Job, LineBufferThatCannotBeObtainedMakesTheJobSilent) {
    const int blocks = drv::testing::outstandingBlocks();
    Job job;
    drv::testing::failNthAllocation(1);
    EXPECT_TRUE(job.begin({0x20, 32, 0, 0x21, 0x0D, 0, FlagDevicePreamble}).empty());
    drv::testing::resetAllocationFailures();
    EXPECT_TRUE(job.keptContract);
    EXPECT_EQ(job.state.lineBuffer, nullptr);
    EXPECT_TRUE(job.call(Request(OpPlot).i(0, 100)).empty());
    EXPECT_EQ(job.state.lastX, 0);
    EXPECT_TRUE(job.call(Request(OpEndJob), "END").empty());
    EXPECT_EQ(drv::testing::outstandingBlocks(), blocks);
    EXPECT_FALSE(job.begin(Framing{}).empty());  // the next job works
}

}  // namespace
