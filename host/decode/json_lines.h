// The drawing as JSON lines: one object per element, in the order the
// device draws them, then one summary object. Coordinates are plotter
// units (0.025 mm); whole numbers are written as integers.
//
//   {"type":"stroke","pen":P,"width_mm":W,"color":"#rrggbb","points":[[x,y],...]}
//   {"type":"circle","pen":P,...,"center":[x,y],"radius":R,"chord_deg":A}
//   {"type":"arc","pen":P,...,"center":[x,y],"start":[x,y],"end":[x,y],"sweep_deg":S,"chord_deg":A}
//   {"type":"polygon","pen":P,...,"fill":{"type":T,"level":L},"rings":[[[x,y],...],...]}
//   {"type":"label","pen":P,...,"at":[x,y],"text":"...","size_mm":[w,h],"direction":[dx,dy],"slant":s}
//   {"type":"image","at":[x,y],"columns":C,"rows":R,"cell":[dx,dy],"pixel_step":[x,y],"row_step":[x,y],"file":"image-N.png"}
//   {"type":"page","event":"setup","size":[w,h],"rotation":r} or {"type":"page","event":"feed","copies":n}
//   {"type":"summary","language":"...","bytes":N,"counts":{...},"problems":[...],"notes":[...]}
//
// chord_deg is left out where the language gives none (PCI). Label text
// bytes above 0x7F are written as the characters U+0080 to U+00FF.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "host/decode/drawing.h"

namespace drv::decode {

// `imageFiles[i]` is the file name given for the i-th image; an image
// without one (or beyond the list) gets no "file" member.
void writeJsonLines(std::ostream &out, const Drawing &drawing,
                    const std::vector<std::string> &imageFiles);

// A number as the JSON lines write it: an integer when whole, otherwise at
// most six decimals without trailing zeros.
std::string formatNumber(double value);

} // namespace drv::decode
