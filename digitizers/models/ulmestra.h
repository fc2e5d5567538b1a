// Tablet model ulmestra: one ASCII format; declares no framing.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kUlmestra{
    .selector = Selector::None,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = kFramingNone,
                .text = TextSource::SetupB,
                .ascii = {.x = {2, 6},
                          .y = {8, 12},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 15,
                                     .noButton = '0'}},
                .highestOffset = 15},
};
static_assert(modelIsSound(kUlmestra));

}  // namespace drv::digitizer
