#include "host/decode/pci_steps.h"

#include <array>
#include <cstdlib>
#include <vector>

namespace drv::decode {
namespace {

struct Direction {
    int xDigits = 0; // signed: negative for a negative delta
    int yDigits = 0;
    bool valid = false;
};

constexpr auto kDirections = [] {
    std::array<Direction, 64> table{};
    for (int row = 0; row < 7; ++row) {
        for (int column = 0; column < 7; ++column) {
            const int c = kStepCodes[row][column];
            if (c != 0) {
                table[static_cast<std::size_t>(c)] = {column - 3, row - 3, true};
            }
        }
    }
    return table;
}();

constexpr std::int64_t kMaxStep = 32767;

bool readMagnitude(ByteCursor &in, int bias, int radix, int digits, std::int64_t &value) {
    value = 0;
    for (int k = 0; k < digits; ++k) {
        const int byte = in.peek();
        if (byte < 0) {
            return false;
        }
        const int digit = (byte - bias) & 0xFF;
        // Only the high digit of three may reach the radix.
        if (digit >= radix && !(digits == 3 && k == 0)) {
            return false;
        }
        in.next();
        value = value * radix + digit;
    }
    return true;
}

std::int64_t awayFromZero(std::int64_t value, std::int64_t parts) {
    const std::int64_t q = value / parts;
    return value % parts == 0 ? q : q + (value > 0 ? 1 : -1);
}

// Whether `steps` are exactly the cut of their sum.
bool isCutOfOneMove(const std::vector<Step> &steps) {
    Step sum;
    for (const Step &s : steps) {
        sum.dx += s.dx;
        sum.dy += s.dy;
    }
    const std::int64_t m = std::max(std::llabs(sum.dx), std::llabs(sum.dy));
    const auto count = static_cast<std::int64_t>(steps.size());
    if ((m - 1) / kMaxStep + 1 != count) {
        return false;
    }
    const std::int64_t px = awayFromZero(sum.dx, count);
    const std::int64_t py = awayFromZero(sum.dy, count);
    for (std::size_t i = 0; i + 1 < steps.size(); ++i) {
        if (steps[i].dx != px || steps[i].dy != py) {
            return false;
        }
    }
    return steps.back().dx == sum.dx - (count - 1) * px && steps.back().dy == sum.dy - (count - 1) * py;
}

} // namespace

std::optional<Step> readStep(ByteCursor &in, int bias, int radix) {
    const int byte = in.peek();
    if (byte < 0) {
        return std::nullopt;
    }
    const int code = (byte - bias) & 0xFF;
    if (!isStepCode(code) || !kDirections[static_cast<std::size_t>(code)].valid) {
        return std::nullopt;
    }
    const Direction d = kDirections[static_cast<std::size_t>(code)];
    in.next();
    Step step;
    if (!readMagnitude(in, bias, radix, std::abs(d.xDigits), step.dx) ||
        !readMagnitude(in, bias, radix, std::abs(d.yDigits), step.dy)) {
        return std::nullopt;
    }
    step.dx = d.xDigits < 0 ? -step.dx : step.dx;
    step.dy = d.yDigits < 0 ? -step.dy : step.dy;
    return step;
}

std::optional<Step> readPair(ByteCursor &in, int bias, int radix) {
    const std::optional<Step> first = readStep(in, bias, radix);
    if (!first) {
        return std::nullopt;
    }
    // A body holds at most 255 bytes, so a cut move has few steps.
    constexpr std::size_t kMaxSteps = 256;
    std::vector<Step> steps = {*first};
    std::size_t used = 1;
    std::size_t accepted = in.position();
    while (steps.size() < kMaxSteps) {
        const std::optional<Step> next = readStep(in, bias, radix);
        if (!next) {
            break;
        }
        steps.push_back(*next);
        if (isCutOfOneMove(steps)) {
            used = steps.size();
            accepted = in.position();
            continue;
        }
        // All steps of a cut but the last are equal: once one differs from
        // the first, no longer run of these steps can be a cut.
        if (next->dx != steps.front().dx || next->dy != steps.front().dy) {
            break;
        }
    }
    in.seek(accepted);
    Step sum;
    for (std::size_t i = 0; i < used; ++i) {
        sum.dx += steps[i].dx;
        sum.dy += steps[i].dy;
    }
    return sum;
}

} // namespace drv::decode
