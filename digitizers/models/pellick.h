// Tablet model pellick: ASCII reports with six-digit fields; the same binary decoding as kestavin.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kPellick{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 18),
                .text = TextSource::SetupB,
                .ascii = {.x = {3, 8},
                          .y = {11, 16},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 1,
                                     .noButton = 'U'}},
                .highestOffset = 16},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 6),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin6,
                           .button = BinaryButtonRule::Bits2To5IfBit6},
                .highestOffset = 5},
};
static_assert(modelIsSound(kPellick));

}  // namespace drv::digitizer
