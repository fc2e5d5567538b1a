#include "plotters/quillane/labels.h"

#include "common/plot_contract.h"
#include "plotters/quillane/emit.h"
#include "plotters/quillane/pe_encoding.h"

namespace drv::quillane {
namespace {

constexpr const char *kStyleFormat = "DI%.4f,%.4fSI%.4f,%.4fSL%.3f";
constexpr const char *kLabelFormat = "LB%s%c";
constexpr const char *kTypefaceFormat = "SD7,%d";
constexpr const char *kSymbolSetFormat = "SD1,%d";
constexpr const char *kSelectStandardFont = "SS;";

}  // namespace

std::int32_t textStyle(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    const std::int32_t n = closePe(out, state);
    // The host gives character sizes in millimetres; SI takes centimetres,
    // and a character cell is two thirds as wide as the size given.
    const double width = double{cellFloat(request, 3)} / 10.0 * 2.0 / 3.0;
    const double height = double{cellFloat(request, 2)} / 10.0;
    return n + emitText(out + n, kStyleFormat, double{cellFloat(request, 7)},
                        double{cellFloat(request, 6)}, width, height,
                        double{cellFloat(request, 8)});
}

std::int32_t label(std::uint8_t *out, PlotterState &state, const PlotRequest &request,
                   const void *text) {
    const std::int32_t n = penUpMoveAndClose(out, state, cellInt(request, 0), cellInt(request, 1));
    return n + emitText(out + n, kLabelFormat, textOrEmpty(text), cellInt(request, 2));
}

std::int32_t font(std::uint8_t *out, PlotterState &state, const PlotRequest &request) {
    std::int32_t n = closePe(out, state);
    const bool typeface = cellInt(request, 0) != 0;
    const bool symbolSet = cellInt(request, 1) != 0;
    if (typeface) {
        n += emitText(out + n, kTypefaceFormat, cellInt(request, 2));
    }
    if (symbolSet) {
        n += emitText(out + n, kSymbolSetFormat, cellInt(request, 3));
    }
    if (typeface || symbolSet) {
        n += emitText(out + n, kSelectStandardFont);
    }
    return n;
}

}  // namespace drv::quillane
