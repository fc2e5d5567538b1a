// The PE (polyline encoded) instruction of HP-GL/2; see hpgl2_pe.cpp.
#pragma once

#include "host/decode/byte_cursor.h"
#include "host/decode/hpgl2_machine.h"

namespace drv::decode {

// Reads PE's data from just after "PE" up to and including ";" (an escape
// byte or the end of the input also ends it), moving the machine's pen.
void readPolylineEncoded(ByteCursor &in, Hpgl2Machine &machine);

} // namespace drv::decode
