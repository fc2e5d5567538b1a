// Tablet model dastrel: ASCII reports accepted only with ten digits at 4-13; wide seven-byte
// binary reports.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kDastrel{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0D, 14),
                .text = TextSource::SetupB,
                .ascii = {.x = {4, 8},
                          .y = {9, 13},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 3,
                                     .noButton = '0'},
                          .guard = {.kind = AsciiGuardKind::RequireDigits,
                                    .span = {4, 13},
                                    .result = 0}},
                .highestOffset = 13},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 6),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin7W,
                           .button = BinaryButtonRule::Bits2To6OfB0},
                .highestOffset = 6},
};
static_assert(modelIsSound(kDastrel));

}  // namespace drv::digitizer
