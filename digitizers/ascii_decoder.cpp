#include "digitizers/ascii_decoder.h"

#include "digitizers/report_bytes.h"
#include "digitizers/report_checks.h"

namespace drv::digitizer {
namespace {

constexpr std::int32_t kDigitZero = '0';
// Button value of a pressed button under the threshold rule.
constexpr std::int16_t kThresholdPressed = 49;

// Opens a one-byte gap at gap.first: the bytes of the span move one place
// up, highest first, and the freed byte becomes a space. Whatever stood just
// past the span is lost.
void openGap(unsigned char *report, Span gap) {
    for (std::size_t i = gap.last + 1u; i > gap.first; --i) {
        report[i] = report[i - 1];
    }
    report[gap.first] = ' ';
}

std::int32_t digitAt(const unsigned char *report, std::size_t offset) {
    return signedByte(report, offset) - kDigitZero;
}

std::int16_t asciiButton(const AsciiButton &rule, const unsigned char *report) {
    switch (rule.rule) {
    case AsciiButtonRule::Character: {
        const std::int32_t c = signedByte(report, rule.at);
        return c == rule.noButton ? std::int16_t{0} : static_cast<std::int16_t>(c);
    }
    case AsciiButtonRule::Digit:
        return static_cast<std::int16_t>(digitAt(report, rule.at));
    case AsciiButtonRule::TwoDigit:
        // At most 10 * 176 + 176 in magnitude.
        return static_cast<std::int16_t>(10 * digitAt(report, rule.at) +
                                         digitAt(report, rule.at + 1u));
    case AsciiButtonRule::Threshold:
        return signedByte(report, rule.at) != '-' && signedByte(report, rule.at + 1u) > '2'
                   ? kThresholdPressed
                   : std::int16_t{0};
    }
    return 0;
}

}  // namespace

std::int32_t decimalField(const unsigned char *report, Span field) {
    std::int32_t value = 0;
    for (std::size_t i = field.first; i <= field.last; ++i) {
        value = value * 10 + digitAt(report, i);
    }
    return value;
}

Decoded decodeAscii(const AsciiDecoder &decoder, unsigned char *report) {
    if (!asciiGuardPasses(decoder.guard, report)) {
        return {decoder.guard.result, std::nullopt};
    }
    if (decoder.gap) {
        openGap(report, *decoder.gap);
    }
    return {0, Reading{asciiButton(decoder.button, report), decimalField(report, decoder.x),
                       decimalField(report, decoder.y)}};
}

}  // namespace drv::digitizer
