// HP-GL/2 with PCL raster inside it, decoded into the drawing it makes.
#pragma once

#include <cstdint>
#include <span>

#include "host/decode/drawing.h"

namespace drv::decode {

// Decodes a whole HP-GL/2 stream: the vector commands a pen plotter or a
// raster plotter draws, PCL raster images between "\e%#A" and "\e%#B",
// job control ("\e%-12345X", PJL lines, "\eE"). Never fails: what cannot be
// read is reported in the drawing's problems with its offset, what is read
// but not drawn in its notes, and decoding goes on after it.
Drawing decodeHpgl2(std::span<const std::uint8_t> bytes);

} // namespace drv::decode
