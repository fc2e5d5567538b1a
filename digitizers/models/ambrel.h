// Tablet model ambrel: ASCII reports with a threshold button pair, binary reports with a status
// byte.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kAmbrel{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 20),
                .text = TextSource::SetupB,
                .ascii = {.x = {3, 7},
                          .y = {9, 13},
                          .button = {.rule = AsciiButtonRule::Threshold, .at = 15}},
                .highestOffset = 16},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0xB0, 7),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin6,
                           .button = BinaryButtonRule::StatusRuleA,
                           .test = {.at = 3, .mask = 0x78, .result = 0}},
                .highestOffset = 6},
};
static_assert(modelIsSound(kAmbrel));

}  // namespace drv::digitizer
