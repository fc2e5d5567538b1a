// Tablet model kestavin: ASCII reports with 'U' for no button; binary buttons valid only with b0
// bit 6.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kKestavin{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 16),
                .text = TextSource::SetupB,
                .ascii = {.x = {3, 7},
                          .y = {10, 14},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 1,
                                     .noButton = 'U'}},
                .highestOffset = 14},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 6),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin6,
                           .button = BinaryButtonRule::Bits2To5IfBit6},
                .highestOffset = 5},
};
static_assert(modelIsSound(kKestavin));

}  // namespace drv::digitizer
