// Tablet model elmoray: ASCII reports accepted only with '0' at offset 15; binary status byte rule
// B.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kElmoray{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 17),
                .text = TextSource::SetupB,
                .ascii = {.x = {3, 7},
                          .y = {9, 13},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 16,
                                     .noButton = '0'},
                          .guard = {.kind = AsciiGuardKind::RequireChar,
                                    .span = {15, 15},
                                    .character = '0',
                                    .result = 0}},
                .highestOffset = 16},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 7),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin6,
                           .button = BinaryButtonRule::StatusRuleB},
                .highestOffset = 6},
};
static_assert(modelIsSound(kElmoray));

}  // namespace drv::digitizer
