// Steps, moves and pen numbers as code values (bias 0x20).
#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "plotters/drevant/steps.h"
#include "tests/drevant/job_harness.h"

namespace {

using namespace drevant_test;
using drv::drevant::Body;
using drv::drevant::PlotterState;

enum class Writer { Step, Move, Pen };

struct EncodeCase {
    int line;
    Writer writer;
    int radix;
    std::int64_t dx, dy;  // the pen number in dx for Writer::Pen
    Codes expected;
};

const EncodeCase kEncodeCases[] = {
    {__LINE__, Writer::Step, 32, 0, 0, {24, 0, 0}},  // one zero digit per axis
    {__LINE__, Writer::Step, 32, 5, 0, {38, 5}},
    {__LINE__, Writer::Step, 32, 0, 5, {36, 5}},
    {__LINE__, Writer::Step, 32, -5, 0, {37, 5}},
    {__LINE__, Writer::Step, 32, 0, -5, {39, 5}},
    {__LINE__, Writer::Step, 32, 100, 200, {20, 3, 4, 6, 8}},
    {__LINE__, Writer::Step, 32, 33, -1, {62, 1, 1, 1}},
    {__LINE__, Writer::Step, 32, 32, -32, {22, 1, 0, 1, 0}},  // trailing zero digits
    {__LINE__, Writer::Step, 32, -1025, 2, {53, 1, 0, 1, 2}},  // an inner zero digit
    {__LINE__, Writer::Step, 32, 31, 1024, {44, 31, 1, 0, 0}},
    {__LINE__, Writer::Step, 32, 1024, 0, {30, 1, 0, 0}},
    {__LINE__, Writer::Step, 32, 32767, -32767, {18, 31, 31, 31, 31, 31, 31}},  // the longest
    {__LINE__, Writer::Step, 32, -1, -1024, {47, 1, 1, 0, 0}},
    {__LINE__, Writer::Step, 10, 999, -10, {50, 9, 9, 9, 1, 0}},
    // Below radix 32 the high digit of a long delta is the whole quotient by
    // r squared, sent as that code value: 327 wraps to the byte 0x20 + 71.
    {__LINE__, Writer::Step, 10, 32767, 0, {30, 327 - 256, 6, 7}},
    {__LINE__, Writer::Step, 127, 16129, 0, {30, 1, 0, 0}},
    {__LINE__, Writer::Step, 2, 3, 0, {34, 1, 1}},
    {__LINE__, Writer::Move, 32, 0, 0, {24, 0, 0}},
    {__LINE__, Writer::Move, 32, 32767, 0, {30, 31, 31, 31}},
    {__LINE__, Writer::Move, 32, 32768, 0, {30, 16, 0, 0, 30, 16, 0, 0}},
    {__LINE__, Writer::Move, 32, 39900, -205, {50, 19, 15, 14, 3, 7, 50, 19, 15, 14, 3, 6}},
    // The last step carries the remainder: here it points back in x.
    {__LINE__, Writer::Move, 32, 5, 100000,
     {44, 2, 24, 13, 8, 44, 2, 24, 13, 8, 44, 2, 24, 13, 8, 45, 1, 24, 13, 8}},
    {__LINE__, Writer::Move, 32, -65535, 1, {53, 21, 10, 21, 1, 53, 21, 10, 21, 1, 55, 21, 10, 21, 1}},
    {__LINE__, Writer::Move, 32, -32768, -32768, {19, 16, 0, 0, 16, 0, 0, 19, 16, 0, 0, 16, 0, 0}},
    {__LINE__, Writer::Move, 32, 70000, 0, {30, 22, 25, 6, 30, 22, 25, 6, 30, 22, 25, 4}},
    {__LINE__, Writer::Pen, 32, 1, 0, {14, 32, 0, 0, 1}},
    {__LINE__, Writer::Pen, 32, 33, 0, {14, 32, 0, 1, 1}},
    {__LINE__, Writer::Pen, 32, 40000, 0, {14, 32, 39, 2, 0}},  // high digit beyond radix - 1
    {__LINE__, Writer::Pen, 10, 123, 0, {14, 32, 1, 2, 3}},
    {__LINE__, Writer::Pen, 32, -33, 0, {14, 32, 0, 255, 255}},  // digits 0, -1, -1
};

PlotterState framing(int radix, int bias = 0x20) {
    PlotterState state{};
    state.biasChar = static_cast<std::int8_t>(bias);
    state.radix = static_cast<std::int8_t>(radix);
    return state;
}

std::int32_t encode(Writer writer, const PlotterState &state, Body &body, std::int64_t dx, std::int64_t dy) {
    switch (writer) {
    case Writer::Step:
        return drv::drevant::encodeStep(body, state, static_cast<std::int32_t>(dx),
                                        static_cast<std::int32_t>(dy));
    case Writer::Move:
        return drv::drevant::encodeMove(body, state, dx, dy);
    case Writer::Pen:
        return drv::drevant::encodePenNumber(body, state, static_cast<std::int32_t>(dx));
    }
    return 0;
}

TEST(Encode, StepsMovesAndPenNumbers) {
    for (const EncodeCase &c : kEncodeCases) {
        SCOPED_TRACE(c.line);
        const PlotterState state = framing(c.radix);
        Body body;
        EXPECT_EQ(encode(c.writer, state, body, c.dx, c.dy),
                  static_cast<std::int32_t>(c.expected.size()));
        EXPECT_FALSE(body.spoiled);
        Codes codes;
        for (std::int32_t k = 0; k < body.length; ++k) {
            codes.push_back((body.bytes[k] - 0x20) & 0xFF);
        }
        EXPECT_EQ(codes, c.expected);
    }
}

// A writer that cannot append all of its bytes appends none and spoils the
// body: a code byte of 0 would cut the record string short, a radix below 2
// has no digits, and a move is never cut.
struct RefusedCase {
    int line;
    Writer writer;
    int radix, bias;
    std::int64_t dx, dy;
};

constexpr std::int64_t kSpan = std::int64_t{1} << 32;

const RefusedCase kRefusedCases[] = {
    {__LINE__, Writer::Step, 2, 0x20, 896, 0},    // high digit 224: 0x20 + 224 = 0x100
    {__LINE__, Writer::Step, 32, 0xE8, 0, 0},     // the zero step's code 24
    {__LINE__, Writer::Step, 32, 0xE2, 1024, 0},  // direction code 30
    {__LINE__, Writer::Step, 32, 0xE1, 0, 31},    // digit 31
    {__LINE__, Writer::Pen, 2, 0x20, 896, 0},
    {__LINE__, Writer::Step, 0, 0x20, 5, 0},      // radix 0 would divide by zero
    {__LINE__, Writer::Step, 1, 0x20, 5, 0},
    {__LINE__, Writer::Pen, -128, 0x20, 5, 0},
    {__LINE__, Writer::Move, 32, 0x20, 64 * 32767, 0},  // 64 steps of 4 bytes
    {__LINE__, Writer::Move, 32, 0x20, -kSpan, kSpan},  // refused without walking the steps
};

TEST(Encode, WritersAppendAllOrNothing) {
    for (const RefusedCase &c : kRefusedCases) {
        SCOPED_TRACE(c.line);
        Body body;
        EXPECT_EQ(encode(c.writer, framing(c.radix, c.bias), body, c.dx, c.dy), 0);
        EXPECT_TRUE(body.spoiled);
        EXPECT_EQ(body.length, 0);
    }
    Body longest;  // 63 steps of 4 bytes still fit a body
    EXPECT_EQ(drv::drevant::encodeMove(longest, framing(32), 63 * 32767, 0), 252);
}

}  // namespace
