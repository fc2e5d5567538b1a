// Bit-plane rows of an indexed-by-plane image.
//
// The device takes an indexed row as one plane per bit of the pixel value,
// least significant first: plane i holds bit i of every pixel, 8 pixels per
// byte, the first in bit 7. Every plane but the last ends its command with
// "V", the last with "W".
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"

namespace drv::quillane {

// Sends one plane of `planeLength` bytes: PackBits (method 2) when that is
// shorter and flags 0x02 is clear, otherwise as is (method 0, also when no
// scratch buffer can be obtained). Returns the bytes written, at most
// kMaxTransferHeader + planeLength.
std::int32_t sendPlane(std::uint8_t *out, const std::uint8_t *plane, std::int32_t planeLength,
                       bool isLast, std::int32_t flags);

// OpRasterRow for an indexed-by-plane image: param[0] pixels of param[1]
// bits (1 to 15), read from `row` in whole groups of 8 pixels, that is
// depth * ((width + 7) / 8) bytes; bits after the last pixel are sent as 0.
// Returns the bytes written, at most depth * (kMaxTransferHeader + plane
// length); 0 for a negative width, a depth outside 1..15, a missing row or
// when the plane buffer cannot be obtained.
std::int32_t encodePlaneRow(std::uint8_t *out, const PlotRequest &request, const std::uint8_t *row);

}  // namespace drv::quillane
