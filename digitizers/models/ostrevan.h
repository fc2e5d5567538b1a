// Tablet model ostrevan: ASCII reports; binary reports whose low coordinate bytes count whole.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kOstrevan{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 13),
                .text = TextSource::SetupB,
                .ascii = {.x = {1, 4},
                          .y = {6, 9},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 11,
                                     .noButton = '0'}},
                .highestOffset = 11},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x40, 5),
                .text = TextSource::SetupA,
                .binary = {.layout = Layout::Bin5x6Unmasked,
                           .button = BinaryButtonRule::Bits2To5OfB0},
                .highestOffset = 4},
};
static_assert(modelIsSound(kOstrevan));

}  // namespace drv::digitizer
