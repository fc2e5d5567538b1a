#include "plotters/quillane/polygons.h"

#include "common/plot_contract.h"
#include "plotters/quillane/emit.h"
#include "plotters/quillane/pe_encoding.h"

namespace drv::quillane {
namespace {

constexpr const char *kEnterPolygon = "PM0";
constexpr const char *kCloseSubpolygon = "PM1";
constexpr const char *kFillPolygon = "PM2PUFP";
constexpr const char *kFillTypeFormat = "FT10,%d";

}  // namespace

std::int32_t polygonBegin(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    std::int32_t n = penUpMoveAndClose(out, state, cellInt(request, 0), cellInt(request, 1));
    n += emitText(out + n, kEnterPolygon);
    state.penUp = 0;
    return n;
}

std::int32_t polygonNext(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    std::int32_t n = closePe(out, state);
    n += emitText(out + n, kCloseSubpolygon);
    state.penUp = 1;
    n += recordedMoveTo(out + n, state, cellInt(request, 0), cellInt(request, 1));
    state.penUp = 0;
    return n;
}

std::int32_t polygonFill(std::uint8_t *out, PlotterState &state) {
    const std::int32_t n = closePe(out, state);
    state.penUp = 1;
    return n + emitText(out + n, kFillPolygon);
}

std::int32_t fillType(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int32_t n = closePe(out, state);
    return n + emitText(out + n, kFillTypeFormat, cellInt(request, 0));
}

}  // namespace drv::quillane
