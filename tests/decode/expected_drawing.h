// What a device must draw for a list of plot requests, worked out from the
// requests and each driver's documented contract alone (never from its
// bytes): the oracle the decoders are checked against.
//
// Values the device receives rounded are rounded here the same way (pen
// widths to 3 decimals, colours to their high byte, label sizes to the
// digits the command carries, image sizes to whole decipoints, PCI label
// styles to their integer codes), so that the comparison can be exact.
#pragma once

#include <vector>

#include "host/decode/drawing.h"
#include "host/job/plot_call.h"

namespace drv::test {

// The HP-GL/2 + PCL driver: pens, vectors, polygons, labels, images, pages.
decode::Drawing expectedHpgl2(const std::vector<host::PlotCall> &calls);

// The PCI driver: pen moves, circles, arcs and labels; it has no widths,
// colours, polygons or images.
decode::Drawing expectedPci(const std::vector<host::PlotCall> &calls);

} // namespace drv::test
