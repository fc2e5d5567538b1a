// The command-line options that say how a drawing (SVG or DXF) becomes a
// plot job, shared by `plot` and `convert`.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "host/drawing/import/drawing_import.h"

namespace drv::host {

// The options as typed.
struct DrawingWords {
    std::string inputFormat;
    std::string page;
    bool landscape = false;
    bool portrait = false;
    bool fit = false;
    double margin = 10;
    double scale = 1;
    int rotate = 0;
    std::string offset;
    bool clip = false;
    double tolerance = 0.05;
    bool fill = false;
    int pens = 8;
    std::string penMap;
    bool mergePens = false;
    bool keepOrder = false;
    double speed = 10;
    int peBase = 0; // 0: not given
    // The placement, pen and planning options as added, to tell which the
    // user gave (--input-format is not one of them: it applies to scripts).
    std::vector<const CLI::Option *> shaping;
};

void addDrawingOptions(CLI::App &command, DrawingWords &words);

// The shaping options given on the command line, as "--fit, --pens", or
// empty: a plot script is sent as it is, and they say nothing of it.
std::string givenShapingOptions(const DrawingWords &words);

// The import options for the plotter `driver`, and the input format when
// --input-format gives one. False with the reason for a word that does
// not read.
bool finishDrawingOptions(const DrawingWords &words, const std::string &driver, drawing::ImportOptions &options,
                          std::optional<drawing::InputFormat> &format, std::string &error);

} // namespace drv::host
