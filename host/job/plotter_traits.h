// What the host must respect for each plotter driver it knows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "host/job/plot_ops.h"

namespace drv::host {

struct PlotterTraits {
    std::string_view name;
    std::size_t stateSize;
    // Largest coordinate magnitude: the drivers encode differences of
    // coordinates, and these keep each within the driver's range.
    std::int32_t coordinateLimit;
    // Longest BeginJob / EndJob / Label text.
    std::size_t maxJobText;
    std::size_t maxLabelText;
    // The driver frames its output into records by BeginJob's p5..p10 and
    // needs a TextStyle with a non-zero p0 before the first Label. Its calls
    // hand back the record collected before them, so a request's bytes
    // reach the output with a later call (or EndJob).
    bool recordFraming;
    // The driver's bit in the operation table (plot_ops.h): which
    // operations it handles and which cells it reads; 0 when unknown.
    PlotterSet plotter = 0;
    // Label characters the driver draws; it cuts longer labels short.
    // 0: it draws the whole text.
    std::size_t labelCharsDrawn = 0;
    // The pen follows the PCI device's rules rather than HP-GL/2's: a
    // circle is drawn from its leftmost point, where it leaves the pen down;
    // an arc runs counterclockwise to its end point; a label leaves the pen
    // up or down as it was.
    bool pciGeometry = false;
    // Plotter units per millimetre.
    double unitsPerMm = 40;
    // The device language, for `drvhost list --long`.
    std::string_view language{};
};

// The traits of the driver called `name` (the library's name without "lib"
// and suffix). A driver the host does not know gets the strictest of all
// and the largest state block.
const PlotterTraits &plotterTraits(std::string_view name);

// Whether the driver with these traits handles `op`; a driver the host
// does not know is taken to handle every operation.
bool handles(const PlotterTraits &traits, const OpInfo &op);

} // namespace drv::host
