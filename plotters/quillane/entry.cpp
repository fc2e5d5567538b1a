#include "plotters/quillane/entry.h"

#include "common/plot_contract.h"
#include "plotters/quillane/color_row.h"
#include "plotters/quillane/drawing.h"
#include "plotters/quillane/job_frame.h"
#include "plotters/quillane/labels.h"
#include "plotters/quillane/pens.h"
#include "plotters/quillane/plane_row.h"
#include "plotters/quillane/plotter_state.h"
#include "plotters/quillane/polygons.h"
#include "plotters/quillane/raster_frame.h"

namespace drv::quillane {
namespace {

// Direct colour from 16 bits per pixel up; below that the driver expands
// through the palette table when asked to, or sends bit planes.
std::int32_t rasterRow(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                       const void *text) {
    const auto *row = static_cast<const std::uint8_t *>(text);
    if (cellInt(request, 1) >= 16) {
        return encodeDirectRow(out, state.seedRow, request, row);
    }
    if (hasFlag(request, FlagExpandPalette)) {
        return encodePaletteRow(out, state.seedRow, state.palette, request, row);
    }
    return encodePlaneRow(out, request, row);
}

std::int32_t dispatch(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                      const void *text) {
    switch (request.op) {
    case OpBeginJob:
        return beginJob(out, state, request, text);
    case OpEndJob:
        return endJob(out, state, request, text);
    case OpSelectPen:
        return selectPen(out, state, request);
    case OpPenWidth:
        return penWidth(out, state, request);
    case OpPenColor:
        return penColor(out, state, request);
    case OpVelocity:
        return velocity(out, state, request);
    case OpPenUp:
        return setPenLevel(state, true);
    case OpPenDown:
        return setPenLevel(state, false);
    case OpPlot:
        return plot(out, state, request);
    case OpCircle:
        return circle(out, state, request);
    case OpArc:
        return arc(out, state, request);
    case OpTextStyle:
        return textStyle(out, state, request);
    case OpLabel:
        return label(out, state, request, text);
    case OpPolygonBegin:
        return polygonBegin(out, state, request);
    case OpPolygonNext:
        return polygonNext(out, state, request);
    case OpPolygonFill:
        return polygonFill(out, state);
    case OpFillType:
        return fillType(out, state, request);
    case OpFont:
        return font(out, state, request);
    case OpRasterBegin:
        return rasterBegin(out, state, request, text);
    case OpRasterEnd:
        return rasterEnd(out, state, request);
    case OpRasterRow:
        return rasterRow(out, state, request, text);
    default:
        return 0;
    }
}

}  // namespace

std::int32_t runPlotter(PlotRequest *request, const void *text, std::uint8_t *out, void *state) {
    auto &plotter = *static_cast<PlotterState *>(state);
    out[0] = 0;
    std::int32_t count = 0;
    // After an image that halted vector output only a new job, or the end of
    // this one, gets through.
    const bool frame = request->op == OpBeginJob || request->op == OpEndJob;
    if (frame || plotter.vectorsHalted == 0) {
        count = dispatch(out, plotter, *request, text);
    }
    request->outLength = count;
    return 0;
}

}  // namespace drv::quillane
