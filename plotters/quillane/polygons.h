// Filled polygons and the fill shading.
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"
#include "plotters/quillane/plotter_state.h"

namespace drv::quillane {

// OpPolygonBegin: pen-up move to the first point, "PM0" (enter polygon
// mode); the following pairs are drawn. Returns the bytes written, at most
// 23.
std::int32_t polygonBegin(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpPolygonNext: "PM1" (close the subpolygon), then a fresh PE instruction
// with a pen-up absolute pair to the next subpolygon's first point, which
// becomes the reference; the following pairs are drawn. Returns the bytes
// written, at most 23.
std::int32_t polygonNext(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// OpPolygonFill: "PM2" (leave polygon mode), pen up, "FP" (fill it).
// Returns the bytes written, at most 8.
std::int32_t polygonFill(std::uint8_t *out, PlotterState &state);

// OpFillType: "FT10," with the shading level. Returns the bytes written, at
// most 17.
std::int32_t fillType(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

}  // namespace drv::quillane
