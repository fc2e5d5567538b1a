// The sheets a drawing is previewed on: one per page, each the size the
// job set up for it, or, where the job sets none (PCI, much HP-GL/2 from
// other programs) or draws beyond it, the box around what the page draws
// (and its paper) with a margin, so that nothing drawn is hidden.
#pragma once

#include <cstddef>
#include <vector>

#include "host/decode/drawing.h"

namespace drv::preview {

struct Sheet {
    double left = 0;   // job coordinates of the view's lower-left corner
    double bottom = 0;
    double width = 0;  // plotter units
    double height = 0;
    // The paper the job set up, from the origin; without it, or where the
    // drawing leaves it, the view is larger and the rest is shown grey.
    bool paper = false;
    double paperWidth = 0;
    double paperHeight = 0;
    std::size_t first = 0; // elements [first, end) are drawn on this sheet
    std::size_t end = 0;
};

// The drawing's sheets in order; a page feed starts the next one, and a
// feed at the very end (as jobs end) does not make an empty last sheet.
// There is always at least one sheet.
std::vector<Sheet> layOutSheets(const decode::Drawing &drawing);

} // namespace drv::preview
