#include "plotters/drevant/entry.h"

#include "plotters/drevant/commands.h"
#include "plotters/drevant/job.h"
#include "plotters/drevant/state.h"

namespace drv::drevant {

// Every call starts from an empty output, dispatches once on the operation
// and reports the count it wrote. The output is a NUL-terminated string with
// no 0 byte inside (records are built that way), so `outLength` is both the
// count and the string's length. Codes this device does not draw (pen width
// and colour, polygons, fill, raster) produce nothing and change nothing.
std::int32_t runPlotter(PlotRequest *request, const void *text, std::uint8_t *out, void *state) {
    auto &block = *static_cast<PlotterState *>(state);
    const auto *string = static_cast<const char *>(text);
    out[0] = 0;
    std::int32_t written = 0;
    switch (request->op) {
    case OpBeginJob:
        written = beginJob(out, block, *request, string);
        break;
    case OpEndJob:
        written = endJob(out, block, string);
        break;
    case OpSelectPen:
        written = selectPen(out, block, *request);
        break;
    case OpVelocity:
        written = velocity(out, block, *request);
        break;
    case OpPenUp:
        written = penUp(out, block);
        break;
    case OpPenDown:
        written = penDown(out, block);
        break;
    case OpPlot:
        written = plot(out, block, *request);
        break;
    case OpCircle:
        written = circle(out, block, *request);
        break;
    case OpArc:
        written = arc(out, block, *request);
        break;
    case OpTextStyle:
        written = textStyle(out, block, *request);
        break;
    case OpLabel:
        written = label(out, block, *request, string);
        break;
    case OpFont:
        written = font(out, block, *request);
        break;
    default:
        break;
    }
    out[written] = 0;
    request->outLength = written;
    return 0;
}

}  // namespace drv::drevant
