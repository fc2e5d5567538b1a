// Draws decoded elements with Cairo in the job's coordinates: the caller
// has set the context's matrix to map plotter units (y up) to the surface.
#pragma once

#include <cairo.h>

#include "host/decode/drawing.h"

namespace drv::preview {

// The colour a polygon's fill lays down: the pen's colour for solid fills,
// mixed with white paper for shading at `level` percent.
decode::Rgb fillColor(const decode::Polygon &polygon);

// Strokes, circles and arcs in the pen's colour at its width, with round
// caps and joins; polygons filled by the even-odd rule; labels as text in
// the pen's colour; images pixel for pixel (no smoothing). Page elements
// draw nothing.
void paintElement(cairo_t *cr, const decode::Element &element);

} // namespace drv::preview
