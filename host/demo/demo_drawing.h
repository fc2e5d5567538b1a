// The demo's drawing, as a plot script.
#pragma once

#include <string_view>

namespace drv::host {

// A page that uses every plot operation, with the pictures of
// demoPictures() as bit planes, palette-expanded and direct colour. It
// keeps to what both plotter drivers need from a host, so the same script
// runs through either.
std::string_view demoDrawingScript();

} // namespace drv::host
