#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/quillane/plot_session.h"
#include "tests/support/built_driver.h"

namespace {

using quillane_test::bytes;
using quillane_test::Cell;
using quillane_test::PlotSession;

constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();

struct Step {
    int line;
    std::int32_t op;
    std::vector<Cell> params;
    const char *text;
    std::int32_t flags;
    std::string expected;
};

// Runs the steps in order on one session: exact output and count, result 0,
// and the NUL left after every vector command, with nothing written beyond.
void runSteps(PlotSession &session, const std::vector<Step> &steps) {
    for (const Step &s : steps) {
        SCOPED_TRACE(s.line);
        EXPECT_EQ(session.call(s.op, s.params, s.text, s.flags), s.expected);
        EXPECT_EQ(session.result(), 0);
        EXPECT_EQ(session.byteAfter(), 0);
        EXPECT_TRUE(session.untouchedAfter(1));
    }
}

const std::string kSetUp = "LA1,4,2,6;TR0;";

const std::vector<Step> kBase32Job = {
    {__LINE__, OpBeginJob, {0, 0, 16000, 11000, 8}, nullptr, 0, "PS16000,11000;NP8;" + kSetUp},
    {__LINE__, OpSelectPen, {1}, nullptr, 0, "PE7=:" + bytes({97})},
    {__LINE__, OpPlot, {100, 200}, nullptr, 0, "<" + bytes({71, 101, 79, 107})},
    {__LINE__, OpPenDown, {}, nullptr, 0, ""},
    {__LINE__, OpPlot, {150, 200}, nullptr, 0, bytes({67, 98, 95})},
    {__LINE__, OpPlot, {150, -40}, nullptr, 0, bytes({95, 64, 110})},
    {__LINE__, OpPenWidth, {2, 0.35f}, nullptr, 0, ";PW0.35,2"},
    {__LINE__, OpPenColor, {2, 65535, 32768, 0}, nullptr, 0, "PC2,255,128,0"},
    {__LINE__, OpVelocity, {1, 1, 25.0f}, nullptr, 0, "VS2.5,1"},
    {__LINE__, OpVelocity, {1, 0, 25.0f}, nullptr, 0, ""},
    {__LINE__,
     OpCircle,
     {1000, 1000, 400, 5.0f},
     nullptr,
     0,
     "PE7<=" + bytes({79, 93, 96, 79, 93, 96}) + ";CI400,5"},
    {__LINE__,
     OpTextStyle,
     {0, 0, 3.0f, 3.0f, 0, 0, 0.0f, 1.0f, 0.0f},
     nullptr,
     0,
     "DI1,0SI0.2,0.3SL0"},
    {__LINE__, OpFont, {1, 1, 4148, 277}, nullptr, 0, "SD7,4148SD1,277SS;"},
    {__LINE__, OpEndJob, {1, 3}, nullptr, 0, "PUSP0PG;RP2;"},
};

TEST(VectorJob, Base32Job) {
    PlotSession session;
    runSteps(session, kBase32Job);
}

TEST(VectorJob, PolygonWithSubpolygon) {
    PlotSession session;
    runSteps(
        session,
        {
            {__LINE__, OpBeginJob, {0, 0, 100, 100, 1}, nullptr, 0, "PS100,100;NP1;" + kSetUp},
            {__LINE__, OpPolygonBegin, {0, 0}, nullptr, 0, "PE7<=" + bytes({95, 95}) + ";PM0"},
            {__LINE__, OpPlot, {100, 0}, nullptr, 0, "PE7=" + bytes({71, 101, 95})},
            {__LINE__, OpPlot, {100, 100}, nullptr, 0, bytes({95, 71, 101})},
            {__LINE__, OpPolygonNext, {20, 20}, nullptr, 0, ";PM1PE7<=" + bytes({71, 96, 71, 96})},
            {__LINE__, OpPlot, {40, 20}, nullptr, 0, bytes({71, 96, 95})},
            {__LINE__, OpPolygonFill, {}, nullptr, 0, ";PM2PUFP"},
            {__LINE__, OpFillType, {50}, nullptr, 0, "FT10,50"},
            {__LINE__, OpPlot, {1, 0}, nullptr, 0, "PE7<=" + bytes({97, 95})},  // the fill lifted
                                                                                // the pen
        });
}

TEST(VectorJob, Base64NumbersAndHostStrings) {
    PlotSession session;
    runSteps(session, {
                          {__LINE__,
                           OpBeginJob,
                           {0, 0, 10, 10, 2},
                           "\x1b.(",
                           FlagPeBase64,
                           "\x1b.(PS10,10;NP2;" + kSetUp},
                          {__LINE__, OpSelectPen, {1}, nullptr, 0, "PE=:" + bytes({193})},
                          {__LINE__, OpPlot, {32, -1}, nullptr, 0, "<" + bytes({63, 192, 194})},
                          // The base is chosen by OpBeginJob only.
                          {__LINE__, OpPlot, {32, 0}, nullptr, 0, "<" + bytes({191, 193})},
                          {__LINE__, OpEndJob, {0, 5}, "\x1b.)", 0, ";PUSP0PG;\x1b.)"},
                      });
}

TEST(VectorJob, RotatesOnlyPortraitPagesWithoutFlag) {
    const struct {
        int line;
        std::int32_t first, second, flags;
        bool rotated;
    } cases[] = {
        {__LINE__, 11000, 16000, 0, true},  {__LINE__, 11000, 16000, FlagNoRotation, false},
        {__LINE__, 16000, 11000, 0, false}, {__LINE__, 12000, 12000, 0, false},
        {__LINE__, kMin, kMax, 0, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        PlotSession session;
        EXPECT_EQ(session.call(OpBeginJob, {0, 0, c.first, c.second, 6}, nullptr, c.flags),
                  "PS" + std::to_string(c.first) + "," + std::to_string(c.second) + ";" +
                      (c.rotated ? "RO90;" : "") + "NP6;" + kSetUp);
    }
}

TEST(VectorJob, EndJobCopies) {
    const struct {
        int line;
        std::int32_t copiesSwitch, copies;
        const char *expected;
    } cases[] = {
        {__LINE__, 1, 3, "PUSP0PG;RP2;"},
        {__LINE__, 1, 1, "PUSP0PG;"},
        {__LINE__, 0, 3, "PUSP0PG;"},
        {__LINE__, -1, 2, "PUSP0PG;RP1;"},
        {__LINE__, 1, 0, "PUSP0PG;RP-1;"},
        // The lowest int32 has no predecessor: never a wrapped huge count.
        {__LINE__, 1, kMin, "PUSP0PG;RP-2147483648;"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        PlotSession session;
        session.call(OpBeginJob, {0, 0, 1, 1, 1});
        EXPECT_EQ(session.call(OpEndJob, {c.copiesSwitch, c.copies}), c.expected);
    }
}

TEST(VectorJob, PenLevelWritesNothingAndKeepsInstructionOpen) {
    PlotSession session;
    runSteps(session,
             {
                 {__LINE__, OpBeginJob, {0, 0, 1, 1, 1}, nullptr, 0, "PS1,1;NP1;" + kSetUp},
                 {__LINE__, OpPlot, {1, 1}, nullptr, 0, "PE7<=" + bytes({97, 97})},
                 {__LINE__, OpPenDown, {}, nullptr, 0, ""},
                 {__LINE__, OpPlot, {2, 1}, nullptr, 0, bytes({97, 95})},
                 {__LINE__, OpPenUp, {}, nullptr, 0, ""},
                 {__LINE__, OpPlot, {2, 3}, nullptr, 0, "<" + bytes({95, 99})},
                 {__LINE__, OpPenDown, {}, nullptr, 0, ""},
                 // No pen-up flag before a pen number; the pen is up after it.
                 {__LINE__, OpSelectPen, {-1}, nullptr, 0, ":" + bytes({98})},
                 {__LINE__, OpPlot, {2, 3}, nullptr, 0, "<" + bytes({95, 95})},
                 {__LINE__, OpPenWidth, {1, 0.5f}, nullptr, 0, ";PW0.5,1"},
                 {__LINE__, OpPenWidth, {1, 0.5f}, nullptr, 0, "PW0.5,1"},
             });
}

// Circles, arcs, labels and polygons place the pen relative to an open
// instruction, close it, and the next pair starts a fresh absolute one.
TEST(VectorJob, PlacedCommandsCloseTheInstruction) {
    PlotSession session;
    const std::string absolute11 = "PE7=" + bytes({97, 97});
    runSteps(
        session,
        {
            {__LINE__, OpBeginJob, {0, 0, 1, 1, 1}, nullptr, 0, "PS1,1;NP1;" + kSetUp},
            {__LINE__, OpPenDown, {}, nullptr, 0, ""},
            {__LINE__, OpPlot, {10, 10}, nullptr, 0, "PE7=" + bytes({115, 115})},
            {__LINE__, OpCircle, {11, 10, -5, 0.4f}, nullptr, 0, "<" + bytes({97, 95}) + ";CI-5,0"},
            {__LINE__, OpPenDown, {}, nullptr, 0, ""},
            {__LINE__, OpPlot, {1, 1}, nullptr, 0, absolute11},
            {__LINE__,
             OpArc,
             {10, 20, 30, 40, 0, 0, 0, 90.0f, 5.0f},
             nullptr,
             0,
             "<" + bytes({89, 96, 77, 97}) + ";PDAA10,20,90,5"},
            {__LINE__, OpPlot, {1, 1}, nullptr, 0, "PE7<=" + bytes({97, 97})},  // the arc leaves
                                                                                // the pen up
            {__LINE__, OpPenDown, {}, nullptr, 0, ""},
            {__LINE__, OpLabel, {0, 0, 3}, "Hi", 0, "<" + bytes({98, 98}) + ";LBHi\x03"},
            {__LINE__, OpPenDown, {}, nullptr, 0, ""},
            {__LINE__, OpPlot, {1, 1}, nullptr, 0, absolute11},
            {__LINE__, OpPolygonBegin, {1, 1}, nullptr, 0, "<" + bytes({95, 95}) + ";PM0"},
            {__LINE__, OpPlot, {1, 1}, nullptr, 0, absolute11},
            // A 0 terminator is a byte of the output and counted; null text is
            // empty; only the cell's low byte is the terminator.
            {__LINE__, OpLabel, {0, 0, 0}, nullptr, 0, "<" + bytes({98, 98}) + ";LB" + bytes({0})},
            {__LINE__, OpLabel, {0, 0, 0x141}, "", 0, "PE7<=" + bytes({95, 95}) + ";LBA"},
        });
}

TEST(VectorJob, NumbersBeyondTheUsualRanges) {
    PlotSession session;
    runSteps(
        session,
        {
            {__LINE__,
             OpBeginJob,
             {0, 0, kMin, kMax, kMin},
             nullptr,
             0,
             "PS-2147483648,2147483647;RO90;NP-2147483648;" + kSetUp},
            {__LINE__,
             OpPenColor,
             {kMax, kMax, kMin, -255},
             nullptr,
             0,
             "PC2147483647,8388607,-8388608,0"},
            {__LINE__, OpPenWidth, {0, 1e12f}, nullptr, 0, "PW2147483647,0"},
            {__LINE__, OpVelocity, {0, kMin, -0.04f}, nullptr, 0, "VS0,0"},
            {__LINE__, OpFont, {0, 7, 1, kMin}, nullptr, 0, "SD1,-2147483648SS;"},
            {__LINE__, OpFont, {0, 0, 1, 2}, nullptr, 0, ""},
            // Opposite corners of the int32 plane: differences of 2^32 - 1 are
            // encoded exactly, never through a wrapped int32.
            {__LINE__,
             OpPlot,
             {kMin, kMax},
             nullptr,
             0,
             "PE7<=" + bytes({64, 63, 63, 63, 63, 63, 99}) + bytes({93, 94, 94, 94, 94, 94, 98})},
            {__LINE__,
             OpPlot,
             {kMax, kMin},
             nullptr,
             0,
             "<" + bytes({93, 94, 94, 94, 94, 94, 102}) + bytes({94, 94, 94, 94, 94, 94, 102})},
            {__LINE__, OpSelectPen, {kMin}, nullptr, 0, ":" + bytes({64, 63, 63, 63, 63, 63, 99})},
        });
}

TEST(VectorJob, UnknownCodesProduceNothing) {
    for (std::int32_t op : {0, -1, 22, kMin, kMax}) {
        SCOPED_TRACE(op);
        PlotSession session;
        session.call(OpBeginJob, {0, 0, 1, 1, 1});
        session.call(OpPlot, {5, 5});
        const drv::quillane::PlotterState before = session.state();
        EXPECT_EQ(session.call(op, {1, 2, 3, 4}, "text"), "");
        EXPECT_EQ(session.result(), 0);
        EXPECT_EQ(session.firstByte(), 0);
        EXPECT_EQ(std::memcmp(&before, &session.state(), sizeof before), 0);
    }
}

// The shipped library, loaded as a host loads it, runs the same job.
TEST(VectorJob, ShippedLibraryRunsTheJob) {
    std::string error;
    const auto library = drv::test::openBuiltDriver("quillane", error);
    ASSERT_NE(library, nullptr) << error;
    ASSERT_NE(library->pldbin(), nullptr);
    PlotSession session(library->pldbin());
    runSteps(session, kBase32Job);
}

}  // namespace
