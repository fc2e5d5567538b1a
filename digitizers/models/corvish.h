// Tablet model corvish: the shifted-y ASCII reports; binary reports with a -9 check on b0 bit 6.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kCorvish{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0D, 12),
                .text = TextSource::SetupB,
                .ascii = {.x = {2, 6},
                          .y = {8, 12},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 1,
                                     .noButton = '0'},
                          .gap = Span{7, 12}},
                .highestOffset = 12},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 6),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin6,
                           .button = BinaryButtonRule::Bits2To5OfB0,
                           .test = {.at = 0, .mask = 0x40, .result = DGD_REJECTED}},
                .highestOffset = 5},
};
static_assert(modelIsSound(kCorvish));

}  // namespace drv::digitizer
