// The decoder of the ASCII report formats.
#pragma once

#include "digitizers/decoded_report.h"
#include "digitizers/digitizer_model.h"

namespace drv::digitizer {

// Decodes the ASCII report at `report` by `decoder`'s fields and rules.
// Order: the guard (a report it turns away yields no reading and the
// guard's result) or the gap rewrite, then button, x and y. The rewrite
// changes the buffer up to gap.last + 1; otherwise it is only read, up to
// the highest offset of the fields, the button and the guard. Bytes are not
// validated: a non-digit adds its code minus '0' in its digit position.
Decoded decodeAscii(const AsciiDecoder &decoder, unsigned char *report);

// The value of the decimal field `field`: left to right, value * 10 +
// (byte - '0'), each byte signed. Fields up to 8 digits wide cannot leave
// 32-bit range (8 digits of at most 176 in magnitude stay below 2^31).
std::int32_t decimalField(const unsigned char *report, Span field);

}  // namespace drv::digitizer
