// Tablet model rondavin: ASCII reports with the button first; six-byte binary reports.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kRondavin{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 14),
                .text = TextSource::SetupB,
                .ascii = {.x = {2, 6},
                          .y = {8, 12},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 1,
                                     .noButton = '0'}},
                .highestOffset = 12},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 6),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin6,
                           .button = BinaryButtonRule::Bits2To6OfB0},
                .highestOffset = 5},
};
static_assert(modelIsSound(kRondavin));

}  // namespace drv::digitizer
