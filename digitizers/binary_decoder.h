// The decoder of the packed binary report formats.
#pragma once

#include "digitizers/decoded_report.h"
#include "digitizers/digitizer_model.h"

namespace drv::digitizer {

// Decodes the binary report at `report` by `decoder`'s layout and button
// rule, after its rejection test (a report the test turns away yields no
// reading and the test's result). Reads only the bytes the layout, the
// button rule and the test name; every bit pattern decodes.
Decoded decodeBinary(const BinaryDecoder &decoder, const unsigned char *report);

// One coordinate: the sum of its layout terms. Bounded by coordinateBound,
// which the layout tables keep within 32-bit range.
std::int32_t packedCoordinate(const CoordinateTerms &terms, const unsigned char *report);

}  // namespace drv::digitizer
