// Tablet model istrane: two binary formats, picked by the profile's second selector.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kIstrane{
    .selector = Selector::AuxFormat,
    .format1 = {.kind = FormatKind::Binary,
                .framing = framed(0x40, 8),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin8,
                           .button = BinaryButtonRule::Bits0To4OfB1,
                           .test = {.at = 0, .mask = 0x01, .result = DGD_REJECTED}},
                .highestOffset = 7},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 5),
                .text = TextSource::SetupB,
                .binary = {.layout = Layout::Bin5x7,
                           .button = BinaryButtonRule::Bits0To2OfB0,
                           .test = {.at = 0, .mask = 0x40, .result = DGD_REJECTED}},
                .highestOffset = 4},
};
static_assert(modelIsSound(kIstrane));

}  // namespace drv::digitizer
