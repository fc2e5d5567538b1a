#include "plotters/drevant/steps.h"

namespace drv::drevant {
namespace {

consteval bool eachStepCodeOnce() {
    int seen[64] = {};
    for (const auto &row : stepCodes) {
        for (std::uint8_t code : row) {
            ++seen[code];
        }
    }
    for (int code = 16; code < 64; ++code) {
        if (seen[code] != 1) {
            return false;
        }
    }
    return seen[0] == 1 && stepCodes[3][3] == 0;
}
static_assert(eachStepCodeOnce(), "direction codes 16..63 must each occur once");

// The high, middle and low digit of `value` in base r by truncating
// division (the high digit is the whole quotient by r squared; a negative
// value gives negative digits), and how many of them a step writes: the last
// `count`, leading zeros dropped.
struct Digits {
    std::int64_t digit[3];
    int count;
};

Digits digitsOf(std::int64_t value, std::int64_t r) {
    const std::int64_t high = value / (r * r);
    const std::int64_t middle = (value - high * r * r) / r;
    const std::int64_t low = value - high * r * r - middle * r;
    const int count = high != 0 ? 3 : middle != 0 ? 2 : low != 0 ? 1 : 0;
    return {{high, middle, low}, count};
}

void putDigits(Body &body, const PlotterState &state, const Digits &digits) {
    for (int i = 3 - digits.count; i < 3; ++i) {
        putCode(body, state, digits.digit[i]);
    }
}

std::int64_t magnitude(std::int64_t value) { return value < 0 ? -value : value; }

// value / count, rounded away from zero when it does not divide evenly.
std::int64_t divideAwayFromZero(std::int64_t value, std::int64_t count) {
    const std::int64_t quotient = value / count;
    if (value % count == 0) {
        return quotient;
    }
    return value > 0 ? quotient + 1 : quotient - 1;
}

// Ends a writer that began at `start`: a spoiled body is cut back to where
// it was, so a writer appends all of its bytes or none. Returns the count
// appended.
std::int32_t finish(Body &body, std::int32_t start) {
    if (body.spoiled) {
        body.length = start;
        return 0;
    }
    return body.length - start;
}

bool usableRadix(Body &body, const PlotterState &state) {
    if (state.radix < 2) {
        body.spoiled = true;
        return false;
    }
    return true;
}

}  // namespace

std::int32_t encodeStep(Body &body, const PlotterState &state, std::int32_t dx, std::int32_t dy) {
    const std::int32_t start = body.length;
    if (!usableRadix(body, state)) {
        return 0;
    }
    const Digits x = digitsOf(magnitude(dx), state.radix);
    const Digits y = digitsOf(magnitude(dy), state.radix);
    if (x.count == 0 && y.count == 0) {
        // A one-digit step in both axes, both digits zero.
        putCodes(body, state, {24, 0, 0});
    } else {
        const int column = 3 + (dx < 0 ? -x.count : x.count);
        const int row = 3 + (dy < 0 ? -y.count : y.count);
        putCode(body, state, stepCodes[row][column]);
        putDigits(body, state, x);
        putDigits(body, state, y);
    }
    return finish(body, start);
}

std::int32_t encodeMove(Body &body, const PlotterState &state, std::int64_t dx, std::int64_t dy) {
    const std::int64_t longest = magnitude(dx) > magnitude(dy) ? magnitude(dx) : magnitude(dy);
    const std::int64_t steps = longest == 0 ? 1 : (longest - 1) / kMaxStep + 1;
    // Every step takes two bytes or more: refuse at once what cannot fit,
    // rather than walking through up to 131074 steps of a wild delta.
    if (body.spoiled || steps > (kLineCapacity - body.length) / 2) {
        body.spoiled = true;
        return 0;
    }
    const std::int32_t start = body.length;
    const std::int64_t px = divideAwayFromZero(dx, steps);
    const std::int64_t py = divideAwayFromZero(dy, steps);
    for (std::int64_t i = 1; i < steps; ++i) {
        encodeStep(body, state, static_cast<std::int32_t>(px), static_cast<std::int32_t>(py));
    }
    encodeStep(body, state, static_cast<std::int32_t>(dx - (steps - 1) * px),
               static_cast<std::int32_t>(dy - (steps - 1) * py));
    return finish(body, start);
}

std::int32_t encodePenNumber(Body &body, const PlotterState &state, std::int32_t pen) {
    const std::int32_t start = body.length;
    if (!usableRadix(body, state)) {
        return 0;
    }
    const Digits digits = digitsOf(pen, state.radix);
    putCodes(body, state, {14, 32, digits.digit[0], digits.digit[1], digits.digit[2]});
    return finish(body, start);
}

}  // namespace drv::drevant
