// Tablet model halvesk: ASCII reports with a digit button; five-byte binary reports with a -9
// check.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kHalvesk{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 13),
                .text = TextSource::SetupB,
                .ascii = {.x = {1, 4},
                          .y = {6, 9},
                          .button = {.rule = AsciiButtonRule::Digit, .at = 11}},
                .highestOffset = 11},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 5),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin5x7,
                           .button = BinaryButtonRule::Bits0To2OfB0,
                           .test = {.at = 0, .mask = 0x40, .result = DGD_REJECTED}},
                .highestOffset = 4},
};
static_assert(modelIsSound(kHalvesk));

}  // namespace drv::digitizer
