// Tablet model sorvane: ASCII reports with seven-digit fields; eight-byte binary reports refused
// with b0 bit 0.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kSorvane{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 20),
                .text = TextSource::SetupB,
                .ascii = {.x = {2, 8},
                          .y = {11, 17},
                          .button = {.rule = AsciiButtonRule::TwoDigit, .at = 19}},
                .highestOffset = 20},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x40, 8),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin8,
                           .button = BinaryButtonRule::Bits0To4OfB1,
                           .test = {.at = 0, .mask = 0x01, .result = DGD_REJECTED}},
                .highestOffset = 7},
};
static_assert(modelIsSound(kSorvane));

}  // namespace drv::digitizer
