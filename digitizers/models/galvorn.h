// Tablet model galvorn: ASCII reports; binary reports with 18-bit x and 17-bit y.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kGalvorn{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0D, 14),
                .text = TextSource::SetupB,
                .ascii = {.x = {4, 8},
                          .y = {9, 13},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 3,
                                     .noButton = '0'}},
                .highestOffset = 13},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 6),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin6W,
                           .button = BinaryButtonRule::Bits2To6OfB0},
                .highestOffset = 5},
};
static_assert(modelIsSound(kGalvorn));

}  // namespace drv::digitizer
