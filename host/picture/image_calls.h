// A picture placed on the page, as the calls that draw it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "host/job/plot_call.h"
#include "host/picture/rgb_image.h"

namespace drv::host {

struct ImagePlacement {
    std::int32_t x = 0; // lower left corner, plotter units
    std::int32_t y = 0;
    std::optional<float> widthMm;
    std::optional<float> heightMm;
    std::int32_t depth = 32; // isRasterDepth
    std::int32_t flags = 0;  // the job flags in force
    SourcePos pos;           // where the picture was asked for: every call's place
};

// RasterBegin (with the palette the picture is packed to), one RasterRow
// per picture row and RasterEnd. Without a size the picture is laid out at
// 100 pixels per inch; with one side given the other keeps the picture's
// proportions.
std::vector<PlotCall> imageCalls(const RgbImage &picture, const ImagePlacement &placement);

} // namespace drv::host
