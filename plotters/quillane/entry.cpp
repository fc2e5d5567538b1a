// The library's one entry point: a request in, its bytes and their count out.
#include <cstdint>

#include "common/plot_contract.h"
#include "drvsuite/plotter.h"
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
std::int32_t rasterRow(const PlotRequest &request, const void *text, std::uint8_t *out,
                       PlotterState &state) {
    const auto *row = static_cast<const std::uint8_t *>(text);
    if (cellInt(request, 1) >= 16) {
        return encodeDirectRow(request, row, out, state.seedRow);
    }
    if (hasFlag(request, FlagExpandPalette)) {
        return encodePaletteRow(request, row, out, state.seedRow, state.palette);
    }
    return encodePlaneRow(request, row, out);
}

std::int32_t dispatch(const PlotRequest &request, const void *text, std::uint8_t *out,
                      PlotterState &state) {
    switch (request.op) {
    case OpBeginJob:
        return beginJob(request, text, out, state);
    case OpEndJob:
        return endJob(request, text, out, state);
    case OpSelectPen:
        return selectPen(request, out, state);
    case OpPenWidth:
        return penWidth(request, out, state);
    case OpPenColor:
        return penColor(request, out, state);
    case OpVelocity:
        return velocity(request, out, state);
    case OpPenUp:
        return setPenLevel(state, true);
    case OpPenDown:
        return setPenLevel(state, false);
    case OpPlot:
        return plot(request, out, state);
    case OpCircle:
        return circle(request, out, state);
    case OpArc:
        return arc(request, out, state);
    case OpTextStyle:
        return textStyle(request, out, state);
    case OpLabel:
        return label(request, text, out, state);
    case OpPolygonBegin:
        return polygonBegin(request, out, state);
    case OpPolygonNext:
        return polygonNext(request, out, state);
    case OpPolygonFill:
        return polygonFill(out, state);
    case OpFillType:
        return fillType(request, out, state);
    case OpFont:
        return font(request, out, state);
    case OpRasterBegin:
        return rasterBegin(request, text, out, state);
    case OpRasterEnd:
        return rasterEnd(request, out, state);
    case OpRasterRow:
        return rasterRow(request, text, out, state);
    default:
        return 0;
    }
}

}  // namespace
}  // namespace drv::quillane

extern "C" DRV_ENTRY std::int32_t DRV_CALL pldbin(PlotRequest *request, const void *text,
                                                  unsigned char *out, void *state) {
    using namespace drv::quillane;
    auto &plotter = *static_cast<PlotterState *>(state);
    out[0] = 0;
    std::int32_t count = 0;
    // After an image that halted vector output only a new job, or the end of
    // this one, gets through.
    const bool frame = request->op == OpBeginJob || request->op == OpEndJob;
    if (frame || plotter.vectorsHalted == 0) {
        count = dispatch(*request, text, out, plotter);
    }
    request->outLength = count;
    return 0;
}
