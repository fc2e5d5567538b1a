// Tablet model abbrinet: one binary format decoded as kestavin's; no set-up text, no framing.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kAbbrinet{
    .selector = Selector::None,
    .format1 = {.kind = FormatKind::Binary,
                .framing = kFramingNone,
                .text = TextSource::Empty,
                .binary = {.layout = Layout::Bin6,
                           .button = BinaryButtonRule::Bits2To5IfBit6},
                .highestOffset = 5},
};
static_assert(modelIsSound(kAbbrinet));

}  // namespace drv::digitizer
