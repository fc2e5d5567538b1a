#include "plotters/quillane/drawing.h"

#include "common/plot_contract.h"
#include "plotters/quillane/emit.h"
#include "plotters/quillane/pe_encoding.h"

namespace drv::quillane {
namespace {

constexpr const char *kCircleFormat = "CI%d,%.0f";
constexpr const char *kArcFormat = "PDAA%d,%d,%.7f,%.0f";

}  // namespace

std::int32_t plot(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    return recordedMoveTo(out, state, cellInt(request, 0), cellInt(request, 1));
}

std::int32_t circle(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int32_t n = penUpMoveAndClose(out, state, cellInt(request, 0), cellInt(request, 1));
    return n + emitText(out + n, kCircleFormat, cellInt(request, 2), double{cellFloat(request, 3)});
}

std::int32_t arc(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int32_t n = penUpMoveAndClose(out, state, cellInt(request, 2), cellInt(request, 3));
    return n + emitText(out + n, kArcFormat, cellInt(request, 0), cellInt(request, 1),
                        double{cellFloat(request, 7)}, double{cellFloat(request, 8)});
}

}  // namespace drv::quillane
