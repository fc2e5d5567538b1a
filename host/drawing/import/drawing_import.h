// A drawing file (SVG or DXF) as the plot job a driver runs: the library
// entry point of the import, for drvhost and any other host (a print queue
// filter, say). Options in; the job's calls, the warnings and a summary of
// the pen's work out; or the first fault with its line in the file.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "host/drawing/import/input_format.h"
#include "host/drawing/model/drawing.h"
#include "host/drawing/pens/pen_assignment.h"
#include "host/drawing/placement/placement.h"
#include "host/drawing/sheet/sheet_items.h"
#include "host/job/plot_call.h"

namespace drv::drawing {

struct ImportOptions {
    std::string driver = "quillane"; // as the host names it: what the plotter draws itself
    PlacementOptions placement;
    PenOptions pens;
    SheetOptions sheet;
    bool keepOrder = false;
    double speedCmPerS = 10;
    // Polyline-encoded numbers in base 32 (the default, safe on a 7-bit
    // line) or 64 (shorter, needs an 8-bit line); 0: the driver's default.
    // Only for a driver that writes them.
    int peBase = 0;
};

struct ImportSummary {
    std::size_t paths = 0;
    double penDownMm = 0;
    double travelBeforeMm = 0; // pen-up travel in the drawing's own order
    double travelAfterMm = 0;  // as planned
    std::size_t penChanges = 0;
    double seconds = 0;        // pen-down length and travel at the pens' speed
};

struct ImportResult {
    std::vector<host::PlotCall> calls; // a whole job, BeginJob to EndJob
    std::vector<std::string> warnings;
    ImportSummary summary;
};

// Whether the options make sense whatever the drawing: a speed, tolerance
// and scale above 0, a quarter-turn rotation, a margin of 0 or more, a pen
// count the plotters know. False with the reason.
bool checkImportOptions(const ImportOptions &options, std::string &error);

// Reads `bytes` as `format` (Svg or Dxf) and makes the job. False with the
// fault in `error` (line 0 when it belongs to no line, such as an option
// that does not fit the drawing).
bool importDrawing(std::string_view bytes, InputFormat format, const ImportOptions &options, ImportResult &out,
                   SourceError &error);

// "FILE:LINE: message", or "FILE: message" for a fault on no line.
std::string formatImportError(std::string_view file, const SourceError &error);

// One line for standard error: paths, pen-down length, pen-up travel
// before and after planning, pen changes and the estimated time.
std::string summaryLine(const ImportSummary &summary, double speedCmPerS);

} // namespace drv::drawing
