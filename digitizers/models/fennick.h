// Tablet model fennick: one ASCII format with four-digit fields; declares no framing.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kFennick{
    .selector = Selector::None,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = kFramingNone,
                .text = TextSource::SetupB,
                .ascii = {.x = {2, 5},
                          .y = {7, 10},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 11,
                                     .noButton = '0'}},
                .highestOffset = 11},
};
static_assert(modelIsSound(kFennick));

}  // namespace drv::digitizer
