// Tablet model belvane: ASCII reports whose y field is shifted by a gap opened at offset 7.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kBelvane{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0D, 12),
                .text = TextSource::SetupB,
                .ascii = {.x = {2, 6},
                          .y = {8, 12},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 1,
                                     .noButton = ' '},
                          .gap = Span{7, 12}},
                .highestOffset = 12},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 6),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin6,
                           .button = BinaryButtonRule::Bits2To6OfB0},
                .highestOffset = 5},
};
static_assert(modelIsSound(kBelvane));

}  // namespace drv::digitizer
