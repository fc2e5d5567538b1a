// What a print job asks of the plot: the queue's driver, the sheet, and
// the drawing options, as the filter resolved them from the queue's PPD and
// the job's options; and the drvhost plot arguments that carry them out.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace drv::cups {

enum class InputKind { Script, Svg, Dxf, Pdf };

// The document type the spooler hands the filter (CONTENT_TYPE); nullopt
// for a type the filter does not take.
std::optional<InputKind> inputKindOf(std::string_view mimeType);

enum class Orientation { Auto, Portrait, Landscape, ReverseLandscape, ReversePortrait };

struct JobSettings {
    std::string driver;        // name drvhost finds, or a library path
    double sheetWidthMm = 0;   // 0: the document's own size
    double sheetHeightMm = 0;
    Orientation orientation = Orientation::Auto;
    bool fit = false;
    double scale = 1.0;        // factor, applied to the drawing
    int pens = 8;
    double toleranceMm = 0.05;
    bool keepOrder = false;
    int peBase = 0;            // 32 or 64 where the queue's PPD offers it; 0: not given
    int copies = 1;
};

// The arguments after `drvhost plot` that plot `input` (a file) of `kind`
// with `settings` to standard output. Plot scripts are in plotter units
// and carry their own sheet, pens and coordinate encoding: for them only
// the driver applies. Drawings get the sheet, placement, pens and
// planning options; with more colours than pens, pens are shared.
std::vector<std::string> drvhostPlotArguments(const JobSettings &settings, InputKind kind,
                                              const std::string &input);

// A length in millimetres as drvhost reads it: at most two decimals, no
// trailing zeros ("210", "215.9").
std::string millimetres(double value);

} // namespace drv::cups
