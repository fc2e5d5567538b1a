// Which pen draws each shape and text.
//
// SVG: each distinct colour, in order of first appearance, gets the next
// free pen; a shape on an Inkscape layer whose label names a pen ("pen 2")
// goes to that pen. DXF: each layer gets the next free pen. --pen-map
// entries (layer first, then colour) override both. More keys than pens is
// an error unless pens are merged: a colour then shares the pen of the
// nearest colour, a layer the pens in turn.
#pragma once

#include <string>
#include <vector>

#include "host/drawing/model/drawing.h"
#include "host/drawing/pens/pen_map.h"

namespace drv::drawing {

constexpr int kMaxPens = 255;

struct PenOptions {
    int pens = 8;
    std::vector<PenMapEntry> map;
    bool merge = false;
    // Filled shapes get a pen for their fill colour too.
    bool fills = false;
};

// A pen in use: the colour it is given (the first colour drawn with it)
// and the width of the first stroke that says one.
struct PenInfo {
    int number = 0;
    std::optional<Colour> colour;
    double widthMm = 0;
};

struct PenAssignment {
    std::vector<int> shapePens; // one per drawing.shapes
    std::vector<int> textPens;  // one per drawing.texts
    std::vector<int> fillPens;  // one per drawing.shapes: 0 when not filled
    std::vector<PenInfo> pens;  // the pens used, by number
};

bool assignPens(const Drawing &drawing, const PenOptions &options, PenAssignment &out, std::string &error);

} // namespace drv::drawing
