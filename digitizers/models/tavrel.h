// Tablet model tavrel: ASCII reports with six-digit fields; its second format
// has a set-up text but no decoder, so its reports leave the request alone.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kTavrel{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = kFramingNone,
                .text = TextSource::SetupB,
                .ascii = {.x = {4, 9},
                          .y = {11, 16},
                          .button = {.rule = AsciiButtonRule::Digit, .at = 2}},
                .highestOffset = 16},
    .format2 = {.kind = FormatKind::NoDecoder,
                .framing = kFramingNone,
                .text = TextSource::SetupA},
};
static_assert(modelIsSound(kTavrel));

}  // namespace drv::digitizer
