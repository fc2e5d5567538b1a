// Tablet model jorvel: ASCII reports and six-bit-group binary reports; sends no set-up text.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kJorvel{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 13),
                .text = TextSource::Empty,
                .ascii = {.x = {1, 4},
                          .y = {6, 9},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 11,
                                     .noButton = '0'}},
                .highestOffset = 11},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x40, 5),
                .text = TextSource::Empty,
                .binary = {.layout = Layout::Bin5x6,
                           .button = BinaryButtonRule::Bits2To5OfB0},
                .highestOffset = 4},
};
static_assert(modelIsSound(kJorvel));

}  // namespace drv::digitizer
