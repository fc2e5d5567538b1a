// Tablet model varnock: lunmore's reports, with five binary button bits.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kVarnock{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 15),
                .text = TextSource::Empty,
                .ascii = {.x = {1, 5},
                          .y = {7, 11},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 13,
                                     .noButton = ' '}},
                .highestOffset = 13},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x80, 6),
                .text = TextSource::Empty,
                .binary = {.layout = Layout::Bin6,
                           .button = BinaryButtonRule::Bits2To6OfB0},
                .highestOffset = 5},
};
static_assert(modelIsSound(kVarnock));

}  // namespace drv::digitizer
