// What `plot` and `convert` read: a plot script as it stands, or a drawing
// (SVG, DXF) made into the plot script of its job. Warnings and the
// summary of the pen's work go to standard error.
#pragma once

#include <optional>
#include <string>

#include "host/drawing/import/drawing_import.h"

namespace drv::host {

struct PlotInput {
    std::string script; // the plot script to run
    std::string name;   // for messages: the file, or "<stdin>"
    std::string baseDir; // for the script's Image files
    // What the input is, in messages: "script", or "drawing" for a drawing
    // made into the script of its job.
    std::string_view kind = "script";
};

// Reads `path` ("-": standard input). A drawing is imported with
// `options`; `format` overrides the guess from the name and content.
// `shapingGiven` names the drawing options the user gave (as
// givenShapingOptions): for a plot script they are warned of as unused.
// False after printing the reason.
bool readPlotInput(const std::string &path, std::optional<drawing::InputFormat> format,
                   const drawing::ImportOptions &options, PlotInput &out,
                   std::string_view shapingGiven = {});

} // namespace drv::host
