// Tablet model zolmar: one binary format; sends no set-up text and declares no framing.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kZolmar{
    .selector = Selector::None,
    .format1 = {.kind = FormatKind::Binary,
                .framing = kFramingNone,
                .text = TextSource::Empty,
                .binary = {.layout = Layout::Bin6,
                           .button = BinaryButtonRule::Bits2To5OfB0},
                .highestOffset = 5},
};
static_assert(modelIsSound(kZolmar));

}  // namespace drv::digitizer
