// How the planes of a PCL raster row make pixels, by the image's
// configuration: indexed by plane (plane i holds bit i of each index, the
// first pixel in bit 7), indexed by pixel (indices packed high bits first),
// direct by plane (one plane per primary) or direct by pixel (three bytes
// a pixel). Without a configuration a row is one plane, 1 black, 0 white.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/decode/drawing.h"
#include "host/decode/pcl_raster.h"

namespace drv::decode {

// Planes a row carries.
int planeCount(const PclState &raster);

// Bytes of one plane of a row `columns` pixels wide.
std::size_t planeLength(const PclState &raster, int columns);

// The colour of pixel `column`, from `planes` (planeCount of them, each
// planeLength long); indices go through `palette`, wrapping at its size.
Rgb pixelAt(const PclState &raster, const std::vector<std::vector<std::uint8_t>> &planes,
            const std::vector<Rgb> &palette, int column);

} // namespace drv::decode
