// The library's one entry point: a request in, the bytes for the device out.
#include "drvsuite/plotter.h"

#include <cstddef>
#include <cstdint>

#include "plotters/drevant/commands.h"
#include "plotters/drevant/job.h"
#include "plotters/drevant/state.h"

using namespace drv::drevant;

// Every call starts from an empty output, dispatches once on the operation
// and reports the count it wrote. The output is a NUL-terminated string with
// no 0 byte inside (records are built that way), so `outLength` is both the
// count and the string's length. Codes this device does not draw (pen width
// and colour, polygons, fill, raster) produce nothing and change nothing.
DRV_EXTERN_C DRV_ENTRY std::int32_t DRV_CALL pldbin(PlotRequest *request, const void *text,
                                                    unsigned char *out, void *state) {
    auto &block = *static_cast<PlotterState *>(state);
    const auto *string = static_cast<const char *>(text);
    out[0] = 0;
    std::size_t written = 0;
    switch (request->op) {
    case OpBeginJob:
        written = beginJob(block, *request, string, out);
        break;
    case OpEndJob:
        written = endJob(block, string, out);
        break;
    case OpSelectPen:
        written = selectPen(block, *request, out);
        break;
    case OpVelocity:
        written = velocity(block, *request, out);
        break;
    case OpPenUp:
        written = penUp(block, out);
        break;
    case OpPenDown:
        written = penDown(block, out);
        break;
    case OpPlot:
        written = plot(block, *request, out);
        break;
    case OpCircle:
        written = circle(block, *request, out);
        break;
    case OpArc:
        written = arc(block, *request, out);
        break;
    case OpTextStyle:
        written = textStyle(block, *request, out);
        break;
    case OpLabel:
        written = label(block, *request, string, out);
        break;
    case OpFont:
        written = font(block, *request, out);
        break;
    default:
        break;
    }
    out[written] = 0;
    request->outLength = static_cast<std::int32_t>(written);
    return 0;
}
