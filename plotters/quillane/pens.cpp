#include "plotters/quillane/pens.h"

#include "common/plot_contract.h"
#include "plotters/quillane/emit.h"
#include "plotters/quillane/pe_encoding.h"

namespace drv::quillane {
namespace {

constexpr const char *kWidthFormat = "PW%.3f,%d";
constexpr const char *kColorFormat = "PC%d,%d,%d,%d";
constexpr const char *kVelocityFormat = "VS%.1f,%d";

// The device takes 0 to 255 per component: the high byte of a 16-bit
// intensity, that is value * 256 / 65536 truncated toward zero. Dividing by
// 256 gives the same result for every int32 without overflowing.
std::int32_t colorByte(std::int32_t intensity) {
    return intensity / 256;
}

}  // namespace

std::int32_t selectPen(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    // A pen number is not a pair: it must not carry the pen-up flag.
    state.penUp = 0;
    std::int32_t n = openPe(out, state);
    n += emitText(out + n, ":");
    n += encodePeNumber(out + n, state, cellInt(request, 0));
    state.penUp = 1;
    return n;
}

std::int32_t penWidth(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int32_t n = closePe(out, state);
    return n + emitText(out + n, kWidthFormat, double{cellFloat(request, 1)}, cellInt(request, 0));
}

std::int32_t penColor(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int32_t n = closePe(out, state);
    return n + emitText(out + n, kColorFormat, cellInt(request, 0), colorByte(cellInt(request, 1)),
                        colorByte(cellInt(request, 2)), colorByte(cellInt(request, 3)));
}

std::int32_t velocity(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    std::int32_t n = closePe(out, state);
    if (cellInt(request, 1) != 0) {
        n += emitText(out + n, kVelocityFormat, double{cellFloat(request, 2)} / 10.0,
                      cellInt(request, 0));
    }
    return n;
}

std::int32_t setPenLevel(PlotterState &state, bool up) {
    state.penUp = up ? 1 : 0;
    return 0;
}

}  // namespace drv::quillane
