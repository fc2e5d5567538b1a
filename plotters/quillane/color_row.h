// Colour rows of a direct-by-pixel image: 3 bytes (red, green, blue) per
// pixel in one command, sent as a delta row against the previous row when
// that is shorter.
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"

namespace drv::quillane {

// OpRasterRow for depths 16 and 32: param[0] pixels read from `row` (2 bytes
// per pixel, a little-endian word with 5-bit red, green and blue in bits
// 14-10, 9-5, 4-0; or 4 bytes per pixel: one ignored, red, green, blue).
// `seedRow` is the job's seed block (see seed_row.h), created, refreshed or
// replaced here. Returns the bytes written, at most kMaxTransferHeader +
// 3 * width; 0 for another depth, a negative width, a missing row, a row of
// more than 2^31 - 1 RGB bytes, or when a buffer cannot be obtained.
std::int32_t encodeDirectRow(std::uint8_t *out, std::uint8_t *&seedRow, const PlotRequest &request,
                             const std::uint8_t *row);

// OpRasterRow for an indexed image the driver expands: param[0] pixels of
// param[1] bits (packed as packed_pixels.h reads them; depths below 1 read
// as index 0), each looked up in the 768-byte `palette` table (the low 8
// bits of wider indexes). Reads only the bytes that hold the pixels. Same
// output and failures as encodeDirectRow, and 0 when `palette` is null.
std::int32_t encodePaletteRow(std::uint8_t *out, std::uint8_t *&seedRow,
                              const std::uint8_t *palette, const PlotRequest &request,
                              const std::uint8_t *row);

}  // namespace drv::quillane
