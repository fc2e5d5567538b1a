// Tablet model quistral: ASCII reports; wide seven-byte binary reports.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kQuistral{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 15),
                .text = TextSource::SetupB,
                .ascii = {.x = {1, 5},
                          .y = {7, 11},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 13,
                                     .noButton = '0'}},
                .highestOffset = 13},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 6),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin7W,
                           .button = BinaryButtonRule::Bits2To6OfB0},
                .highestOffset = 6},
};
static_assert(modelIsSound(kQuistral));

}  // namespace drv::digitizer
