// Tablet model wendral: sends its own constant set-up text whatever the profile holds.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

// The tablet's own set-up sequence; the profile's texts play no part.
inline constexpr char kWendralSetupText[] = "iR@";

inline constexpr DigitizerModel kWendral{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 13),
                .text = TextSource::Fixed,
                .fixedText = kWendralSetupText,
                .ascii = {.x = {1, 5},
                          .y = {7, 11},
                          .button = {.rule = AsciiButtonRule::Digit, .at = 13}},
                .highestOffset = 13},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 5),
                .text = TextSource::Fixed,
                .fixedText = kWendralSetupText,
                .binary = {.layout = Layout::Bin5x7,
                           .button = BinaryButtonRule::Bits0To2OfB0},
                .highestOffset = 4},
};
static_assert(modelIsSound(kWendral));

}  // namespace drv::digitizer
