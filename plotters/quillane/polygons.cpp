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

std::int32_t polygonBegin(const PlotRequest &request, std::uint8_t *out, PlotterState &state) {
    std::int32_t n = penUpMoveAndClose(state, out, cellInt(request, 0), cellInt(request, 1));
    n += emitText(out + n, kEnterPolygon);
    state.penUp = 0;
    return n;
}

std::int32_t polygonNext(const PlotRequest &request, std::uint8_t *out, PlotterState &state) {
    std::int32_t n = closePe(state, out);
    n += emitText(out + n, kCloseSubpolygon);
    state.penUp = 1;
    n += recordedMoveTo(state, out + n, cellInt(request, 0), cellInt(request, 1));
    state.penUp = 0;
    return n;
}

std::int32_t polygonFill(std::uint8_t *out, PlotterState &state) {
    const std::int32_t n = closePe(state, out);
    state.penUp = 1;
    return n + emitText(out + n, kFillPolygon);
}

std::int32_t fillType(const PlotRequest &request, std::uint8_t *out, PlotterState &state) {
    const std::int32_t n = closePe(state, out);
    return n + emitText(out + n, kFillTypeFormat, cellInt(request, 0));
}

}  // namespace drv::quillane
