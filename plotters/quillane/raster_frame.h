// Start and end of a PCL raster image inside an HP-GL/2 job.
#pragma once

#include <cstdint>

#include "drvsuite/plotter.h"
#include "plotters/quillane/plotter_state.h"

namespace drv::quillane {

// OpRasterBegin: pen-up move to the image's corner, switch to PCL, describe
// the image (six raw configure bytes, the first always 0), program the
// palette of an indexed-by-plane image, start raster graphics; builds the
// RGB table for driver-expanded images (none when it cannot be obtained).
// Returns the bytes written: at most 115 plus 21 per palette entry. A null
// `text` reads as a palette with no entries.
std::int32_t rasterBegin(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                         const void *text);

// OpRasterEnd: end raster graphics and return to HP-GL/2, release the
// image's buffers (none held is fine), halt vectors when flags 0x08 is set.
// Returns the bytes written (17).
std::int32_t rasterEnd(std::uint8_t *out, PlotterState &state, const PlotRequest &request);

// Releases the seed row and the palette table if held; both are null after.
void releaseRasterBuffers(PlotterState &state);

}  // namespace drv::quillane
