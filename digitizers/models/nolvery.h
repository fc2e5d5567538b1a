// Tablet model nolvery: ASCII reports with a two-digit button; eight-byte binary reports.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kNolvery{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 20),
                .text = TextSource::SetupB,
                .ascii = {.x = {2, 6},
                          .y = {9, 13},
                          .button = {.rule = AsciiButtonRule::TwoDigit, .at = 15}},
                .highestOffset = 16},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x40, 8),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin8,
                           .button = BinaryButtonRule::Bits0To4OfB1,
                           .test = {.at = 0, .mask = 0x01, .result = DGD_REJECTED}},
                .highestOffset = 7},
};
static_assert(modelIsSound(kNolvery));

}  // namespace drv::digitizer
