// Tablet model marvask: ASCII reports refused with '9' as button; binary reports refused with b0
// bit 0.
#pragma once

#include "digitizers/model_checks.h"

namespace drv::digitizer {

inline constexpr DigitizerModel kMarvask{
    .selector = Selector::ReportFormat,
    .format1 = {.kind = FormatKind::Ascii,
                .framing = framed(0x0A, 13),
                .text = TextSource::Empty,
                .ascii = {.x = {1, 4},
                          .y = {6, 9},
                          .button = {.rule = AsciiButtonRule::Character,
                                     .at = 11,
                                     .noButton = '0'},
                          .guard = {.kind = AsciiGuardKind::RejectChar,
                                    .span = {11, 11},
                                    .character = '9',
                                    .result = DGD_REJECTED}},
                .highestOffset = 11},
    .format2 = {.kind = FormatKind::Binary,
                .framing = framed(0x40, 5),
                .text = TextSource::Empty,
                .binary = {.layout = Layout::Bin5x6,
                           .button = BinaryButtonRule::Bits2To5OfB0,
                           .test = {.at = 0, .mask = 0x01, .result = DGD_REJECTED}},
                .highestOffset = 4},
};
static_assert(modelIsSound(kMarvask));

}  // namespace drv::digitizer
