// What each plotter driver draws by itself, for the drawings the host
// imports: the HP-GL/2 driver draws circles and arcs and fills polygons;
// the PCI driver draws whole circles (its arc carries no direction and
// leaves the pen up) and fills nothing.
#pragma once

#include <string_view>

#include "host/drawing/sheet/sheet_items.h"

namespace drv::drawing {

// The abilities of the driver called `name` (as the host names drivers);
// one the host does not know draws nothing but lines, and gets the
// strictest coordinate and label limits.
PlotterAbilities plotterAbilities(std::string_view name);

// The PCI plotter's framing bytes for BeginJob (p5..p10): a space as the
// bias, radix 32, two '!' syncs, carriage-return terminators, checksums.
struct RecordFraming {
    int bias = 0x20;
    int radix = 32;
    int syncCount = 2;
    int sync = '!';
    int terminator = '\r';
    int checksum = 1;
};

} // namespace drv::drawing
