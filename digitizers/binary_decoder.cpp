#include "digitizers/binary_decoder.h"

#include "digitizers/report_bytes.h"
#include "digitizers/report_checks.h"

namespace drv::digitizer {
namespace {

// Button value of a pressed button under the status-byte rules.
constexpr std::int16_t kStatusPressed = 49;
// Status rule A: the byte counts as pressed above this value.
constexpr std::int32_t kStatusThreshold = 20;

std::int16_t binaryButton(BinaryButtonRule rule, const unsigned char *report) {
    const std::int32_t b0 = signedByte(report, 0);
    switch (rule) {
    case BinaryButtonRule::Bits2To6OfB0:
        return static_cast<std::int16_t>((b0 & 0x7C) / 4);
    case BinaryButtonRule::Bits2To5OfB0:
        return static_cast<std::int16_t>((b0 & 0x3C) / 4);
    case BinaryButtonRule::Bits2To5IfBit6:
        return (b0 & 0x40) != 0 ? static_cast<std::int16_t>((b0 & 0x3C) / 4) : std::int16_t{0};
    case BinaryButtonRule::Bits0To2OfB0:
        return static_cast<std::int16_t>(b0 & 0x07);
    case BinaryButtonRule::Bits0To4OfB1:
        return static_cast<std::int16_t>(signedByte(report, 1) & 0x1F);
    case BinaryButtonRule::StatusRuleA: {
        const std::int32_t b6 = signedByte(report, 6);
        return (b6 & 0x40) == 0 && b6 > kStatusThreshold ? kStatusPressed : std::int16_t{0};
    }
    case BinaryButtonRule::StatusRuleB:
        return (signedByte(report, 6) & 0x20) != 0 ? kStatusPressed : std::int16_t{0};
    }
    return 0;
}

}  // namespace

std::int32_t packedCoordinate(const CoordinateTerms &terms, const unsigned char *report) {
    std::int32_t value = 0;
    for (std::size_t i = 0; i < terms.count; ++i) {
        const LayoutTerm &term = terms.terms[i];
        value += (signedByte(report, term.at) & term.mask) * term.weight;
    }
    return value;
}

Decoded decodeBinary(const BinaryDecoder &decoder, const unsigned char *report) {
    if (!binaryTestPasses(decoder.test, report)) {
        return {decoder.test.result, std::nullopt};
    }
    const LayoutTable &layout = layoutTable(decoder.layout);
    return {0, Reading{binaryButton(decoder.button, report), packedCoordinate(layout.x, report),
                       packedCoordinate(layout.y, report)}};
}

}  // namespace drv::digitizer
