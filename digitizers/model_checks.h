// Compile-time checks every model record must pass.
//
// Each model header asserts modelIsSound on its record, so a typo in an
// offset fails the build instead of reading past a report: the offsets the
// decoder reads must reach exactly the record's highestOffset, which must lie
// within the host's 21-byte report buffer, and decimal fields must be narrow
// enough that their value cannot overflow 32 bits.
#pragma once

#include <cstddef>

#include "digitizers/digitizer_model.h"
#include "drvsuite/digitizer.h"

namespace drv::digitizer {

// Widest decimal field whose value stays within 32 bits whatever its bytes:
// each digit position adds at most 176 in magnitude ('\x80' - '0'), and
// 176 * 11111111 < 2^31.
inline constexpr std::size_t kWidestDecimalField = 8;

constexpr std::uint8_t higher(std::uint8_t a, std::uint8_t b) { return a > b ? a : b; }

constexpr bool fieldIsSound(Span field) {
    return field.first <= field.last && field.last - field.first + 1u <= kWidestDecimalField;
}

constexpr std::uint8_t asciiHighestOffset(const AsciiDecoder &d) {
    std::uint8_t highest = higher(d.x.last, d.y.last);
    const bool pairRule = d.button.rule == AsciiButtonRule::TwoDigit ||
                          d.button.rule == AsciiButtonRule::Threshold;
    highest = higher(highest, static_cast<std::uint8_t>(d.button.at + (pairRule ? 1 : 0)));
    switch (d.guard.kind) {
    case AsciiGuardKind::None:
        break;
    case AsciiGuardKind::RequireDigits:
        highest = higher(highest, d.guard.span.last);
        break;
    case AsciiGuardKind::RequireChar:
    case AsciiGuardKind::RejectChar:
        highest = higher(highest, d.guard.span.first);
        break;
    }
    return d.gap ? higher(highest, d.gap->last) : highest;
}

constexpr std::uint8_t binaryHighestOffset(const BinaryDecoder &d) {
    std::uint8_t button = 0;
    switch (d.button) {
    case BinaryButtonRule::Bits0To4OfB1:
        button = 1;
        break;
    case BinaryButtonRule::StatusRuleA:
    case BinaryButtonRule::StatusRuleB:
        button = 6;
        break;
    default:
        break;
    }
    const std::uint8_t test = d.test.mask != 0 ? d.test.at : 0;
    return higher(higher(layoutHighestOffset(d.layout), button), test);
}

constexpr bool textIsSound(const Format &f) {
    if (f.text != TextSource::Fixed) {
        return f.fixedText.empty();
    }
    return !f.fixedText.empty() && f.fixedText.size() < DGD_SETUP_TEXT_SIZE &&
           f.fixedText.find('\0') == std::string_view::npos;
}

constexpr bool formatIsSound(const Format &f) {
    constexpr std::uint8_t kLastReportOffset = DGD_MIN_REPORT_BUFFER - 1;
    if (!textIsSound(f) || f.highestOffset > kLastReportOffset) {
        return false;
    }
    switch (f.kind) {
    case FormatKind::Absent:
        return !f.framing.write && f.text == TextSource::Empty;
    case FormatKind::NoDecoder:
        return true;
    case FormatKind::Ascii:
        return fieldIsSound(f.ascii.x) && fieldIsSound(f.ascii.y) &&
               asciiHighestOffset(f.ascii) == f.highestOffset &&
               (!f.ascii.gap || f.ascii.gap->last < kLastReportOffset);
    case FormatKind::Binary:
        return binaryHighestOffset(f.binary) == f.highestOffset;
    }
    return false;
}

constexpr bool modelIsSound(const DigitizerModel &m) {
    return formatIsSound(m.format1) && formatIsSound(m.format2) &&
           m.format1.kind != FormatKind::Absent &&
           (m.selector == Selector::None) == (m.format2.kind == FormatKind::Absent);
}

}  // namespace drv::digitizer
