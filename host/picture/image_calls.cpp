#include "host/picture/image_calls.h"

#include <utility>

#include "drvsuite/plotter.h"
#include "host/job/palette_record.h"
#include "host/job/plot_ops.h"
#include "host/picture/raster_image.h"

namespace drv::host {

std::vector<PlotCall> imageCalls(const RgbImage &picture, const ImagePlacement &placement) {
    constexpr float kMmPerPixel = 0.254f;
    const float width = static_cast<float>(picture.width);
    const float height = static_cast<float>(picture.height);
    float widthMm = placement.widthMm.value_or(0);
    float heightMm = placement.heightMm.value_or(0);
    if (!placement.widthMm && !placement.heightMm) {
        widthMm = width * kMmPerPixel;
        heightMm = height * kMmPerPixel;
    } else if (!placement.heightMm) {
        heightMm = widthMm * height / width;
    } else if (!placement.widthMm) {
        widthMm = heightMm * width / height;
    }
    RasterRows packed = packImage(picture, placement.depth);

    std::vector<PlotCall> calls;
    calls.reserve(packed.rows.size() + 2);
    PlotCall &begin = calls.emplace_back();
    begin.pos = placement.pos;
    begin.request.op = OpRasterBegin;
    begin.request.flags = placement.flags;
    begin.request.param[0].i = placement.x;
    begin.request.param[1].i = placement.y;
    begin.request.param[2].f = widthMm;
    begin.request.param[3].f = heightMm;
    begin.request.param[4].i = static_cast<std::int32_t>(picture.width);
    begin.request.param[5].i = static_cast<std::int32_t>(picture.height);
    begin.request.param[6].i = placement.depth;
    begin.givenCells = cellSet({0, 1, 2, 3, 4, 5, 6});
    begin.text = paletteRecord(packed.palette);
    for (std::vector<std::uint8_t> &row : packed.rows) {
        PlotCall &rowCall = calls.emplace_back();
        rowCall.pos = placement.pos;
        rowCall.request.op = OpRasterRow;
        rowCall.request.flags = placement.flags;
        rowCall.request.param[0].i = static_cast<std::int32_t>(picture.width);
        rowCall.request.param[1].i = placement.depth;
        rowCall.givenCells = cellSet({0, 1});
        rowCall.text = std::move(row);
    }
    PlotCall &end = calls.emplace_back();
    end.pos = placement.pos;
    end.request.op = OpRasterEnd;
    end.request.flags = placement.flags;
    return calls;
}

} // namespace drv::host
