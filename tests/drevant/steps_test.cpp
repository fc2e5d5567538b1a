// Steps, moves and pen numbers as code values (bias 0x20, radix 32 unless a
// row says otherwise).
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "job_harness.h"
#include "steps.h"

namespace {

using namespace drevant_test;
using drv::drevant::Body;
using drv::drevant::PlotterState;

PlotterState framing(int radix = 32, int bias = 0x20) {
    PlotterState state{};
    state.biasChar = static_cast<std::int8_t>(bias);
    state.radix = static_cast<std::int8_t>(radix);
    return state;
}

Codes codesOf(const Body &body, int bias = 0x20) {
    Codes codes;
    for (std::size_t k = 0; k < body.length; ++k) {
        codes.push_back((body.bytes[k] - bias) & 0xFF);
    }
    return codes;
}

struct StepCase {
    int line;
    int radix;
    std::int32_t dx;
    std::int32_t dy;
    Codes expected;
};

const StepCase kStepCases[] = {
    {__LINE__, 32, 0, 0, {24, 0, 0}},  // the zero step: one zero digit per axis
    {__LINE__, 32, 5, 0, {38, 5}},
    {__LINE__, 32, 0, 5, {36, 5}},
    {__LINE__, 32, -5, 0, {37, 5}},
    {__LINE__, 32, 0, -5, {39, 5}},
    {__LINE__, 32, 100, 200, {20, 3, 4, 6, 8}},
    {__LINE__, 32, 33, -1, {62, 1, 1, 1}},
    {__LINE__, 32, 32, -32, {22, 1, 0, 1, 0}},  // trailing zero digits are written
    {__LINE__, 32, -1025, 2, {53, 1, 0, 1, 2}},  // an inner zero digit
    {__LINE__, 32, 31, 1024, {44, 31, 1, 0, 0}},
    {__LINE__, 32, 1024, 0, {30, 1, 0, 0}},
    {__LINE__, 32, 32767, -32767, {18, 31, 31, 31, 31, 31, 31}},  // the longest step
    {__LINE__, 32, -32767, 32767, {17, 31, 31, 31, 31, 31, 31}},
    {__LINE__, 32, -1, -1, {27, 1, 1}},
    {__LINE__, 10, 999, -10, {50, 9, 9, 9, 1, 0}},
    // Below radix 32 the high digit of a long delta is the whole quotient by
    // r squared, sent as that code value (327 wraps to the byte 0x20 + 71).
    {__LINE__, 10, 32767, 0, {30, 327 - 256, 6, 7}},
    {__LINE__, 127, 16129, 0, {30, 1, 0, 0}},
    {__LINE__, 2, 3, 0, {34, 1, 1}},
};

TEST(EncodeStep, DirectionCodeThenDigits) {
    for (const StepCase &c : kStepCases) {
        SCOPED_TRACE(c.line);
        const PlotterState state = framing(c.radix);
        Body body;
        EXPECT_EQ(drv::drevant::encodeStep(state, body, c.dx, c.dy), c.expected.size());
        EXPECT_FALSE(body.spoiled);
        EXPECT_EQ(codesOf(body), c.expected);
    }
}

TEST(EncodeStep, EveryDirectionCodeMatchesItsDigitCounts) {
    // One delta per signed digit count: -3..3 digits in base 32.
    constexpr std::int32_t kDelta[7] = {-1024, -32, -1, 0, 1, 32, 1024};
    const PlotterState state = framing();
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 7; ++column) {
            if (row == 3 && column == 3) {
                continue;
            }
            SCOPED_TRACE(testing::Message() << "row " << row << " column " << column);
            Body body;
            drv::drevant::encodeStep(state, body, kDelta[column], kDelta[row]);
            ASSERT_GT(body.length, 0u);
            EXPECT_EQ(body.bytes[0] - 0x20, drv::drevant::stepCodes[row][column]);
        }
    }
}

struct MoveCase {
    int line;
    std::int64_t dx;
    std::int64_t dy;
    Codes expected;
};

const MoveCase kMoveCases[] = {
    {__LINE__, 0, 0, {24, 0, 0}},
    {__LINE__, 32767, 0, {30, 31, 31, 31}},
    {__LINE__, 32768, 0, {30, 16, 0, 0, 30, 16, 0, 0}},
    {__LINE__, 39900, -205, {50, 19, 15, 14, 3, 7, 50, 19, 15, 14, 3, 6}},
    // Four steps; the last one carries the remainder, here pointing back in x.
    {__LINE__, 5, 100000,
     {44, 2, 24, 13, 8, 44, 2, 24, 13, 8, 44, 2, 24, 13, 8, 45, 1, 24, 13, 8}},
    {__LINE__, -65535, 1, {53, 21, 10, 21, 1, 53, 21, 10, 21, 1, 55, 21, 10, 21, 1}},
    {__LINE__, -32768, -32768, {19, 16, 0, 0, 16, 0, 0, 19, 16, 0, 0, 16, 0, 0}},
    // An even split: the remainder step equals the others.
    {__LINE__, 65534, 0, {30, 31, 31, 31, 30, 31, 31, 31}},
};

TEST(EncodeMove, SplitsLongPairsIntoStepsThatAddUp) {
    for (const MoveCase &c : kMoveCases) {
        SCOPED_TRACE(c.line);
        const PlotterState state = framing();
        Body body;
        EXPECT_EQ(drv::drevant::encodeMove(state, body, c.dx, c.dy), c.expected.size());
        EXPECT_FALSE(body.spoiled);
        EXPECT_EQ(codesOf(body), c.expected);
    }
}

TEST(EncodeMove, MovesBeyondTheBodyAreRefusedNotCut) {
    const PlotterState state = framing();
    // 63 steps of 4 bytes fit the 255-byte body; 64 do not.
    Body fits;
    EXPECT_EQ(drv::drevant::encodeMove(state, fits, std::int64_t{63} * 32767, 0), 252u);
    EXPECT_FALSE(fits.spoiled);
    Body tooLong;
    EXPECT_EQ(drv::drevant::encodeMove(state, tooLong, std::int64_t{64} * 32767, 0), 0u);
    EXPECT_TRUE(tooLong.spoiled);
    EXPECT_EQ(tooLong.length, 0u);  // all steps or none
    // The widest deltas a 32-bit difference can give are refused at once.
    Body widest;
    const std::int64_t span = std::int64_t{std::numeric_limits<std::int32_t>::max()} -
                              std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(drv::drevant::encodeMove(state, widest, -span, span), 0u);
    EXPECT_TRUE(widest.spoiled);
}

struct PenCase {
    int line;
    int radix;
    std::int32_t pen;
    Codes expected;
};

const PenCase kPenCases[] = {
    {__LINE__, 32, 1, {14, 32, 0, 0, 1}},
    {__LINE__, 32, 33, {14, 32, 0, 1, 1}},
    {__LINE__, 32, 40000, {14, 32, 39, 2, 0}},  // high digit beyond radix - 1
    {__LINE__, 32, 0, {14, 32, 0, 0, 0}},
    {__LINE__, 10, 123, {14, 32, 1, 2, 3}},
    {__LINE__, 32, -33, {14, 32, 0, 255, 255}},  // truncating digits: 0, -1, -1
};

TEST(EncodePenNumber, AlwaysThreeDigits) {
    for (const PenCase &c : kPenCases) {
        SCOPED_TRACE(c.line);
        const PlotterState state = framing(c.radix);
        Body body;
        EXPECT_EQ(drv::drevant::encodePenNumber(state, body, c.pen), 5u);
        EXPECT_EQ(codesOf(body), c.expected);
    }
}

// A code byte of 0 would end the record string early; such a body is spoiled.
struct ZeroByteCase {
    int line;
    int radix;
    int bias;
    std::int32_t dx;
};

const ZeroByteCase kZeroByteCases[] = {
    {__LINE__, 2, 0x20, 896},   // high digit 224: 0x20 + 224 = 0x100
    {__LINE__, 32, 0xE8, 0},    // the zero step's code 24
    {__LINE__, 32, 0xE2, 1024}, // the direction code 30
    {__LINE__, 32, 0xE1, 31},   // the digit 31
    {__LINE__, 0, 0x20, 5},     // radix 0 would divide by zero
    {__LINE__, 1, 0x20, 5},
    {__LINE__, -128, 0x20, 5},
};

TEST(EncodeStep, ZeroBytesAndUnusableRadixSpoilTheBody) {
    for (const ZeroByteCase &c : kZeroByteCases) {
        SCOPED_TRACE(c.line);
        const PlotterState state = framing(c.radix, c.bias);
        Body body;
        drv::drevant::encodeStep(state, body, c.dx, 0);
        EXPECT_TRUE(body.spoiled);
        // A spoiled body takes nothing more.
        EXPECT_EQ(drv::drevant::encodeStep(framing(), body, 1, 1), 0u);
    }
}

}  // namespace
