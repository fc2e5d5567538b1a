// What the host must respect for each plotter driver it knows.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

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
    // needs a TextStyle with a non-zero p0 before the first Label.
    bool recordFraming;
};

// The traits of the driver called `name` (the library's name without "lib"
// and suffix). A driver the host does not know gets the strictest of all
// and the largest state block.
const PlotterTraits &plotterTraits(std::string_view name);

} // namespace drv::host
