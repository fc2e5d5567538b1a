// A plot job ready to run: the script's requests in call order, with Image
// lines expanded into raster brackets, checked against what the loaded
// driver needs from its host.
//
// What the host guarantees every plotter driver:
//  - a job starts with BeginJob and ends with EndJob, once; nothing is sent
//    outside a job;
//  - RasterRow and RasterEnd come only inside a RasterBegin bracket, which
//    holds nothing else, one row per image row, each with the image's width
//    and depth and its bytes padded to what the driver reads;
//  - strings are NUL-terminated and short enough for one device command;
//  - coordinates stay within the range the driver's encoding carries;
//  - the output buffer holds the largest output the request can produce and
//    the state block is at least the driver's state size (plot_runner.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "drvsuite/plotter.h"
#include "host/raster_image.h"
#include "host/script_parser.h"

namespace drv::host {

// What the host must respect for one plotter driver.
struct PlotterTraits {
    std::string_view name;
    std::size_t stateSize;
    // Largest coordinate magnitude: the drivers encode differences of
    // coordinates, and these keep each within the driver's range.
    std::int32_t coordinateLimit;
    // Longest BeginJob / EndJob / Label text.
    std::size_t maxJobText;
    std::size_t maxLabelText;
    // The driver frames its output into records by BeginJob's p5..p10 and
    // needs a TextStyle with a non-zero p0 before the first Label.
    bool recordFraming;
};

// The traits of the driver called `name` (the library's name without "lib"
// and suffix). A driver the host does not know gets the strictest of all
// and the largest state block.
const PlotterTraits &plotterTraits(std::string_view name);

// One driver call: the request and the bytes passed as `text` (empty: null).
struct PlotCall {
    PlotRequest request{};
    std::vector<std::uint8_t> text;
    int line = 0; // script line, for messages
};

// Reads an Image line's picture; a test double may stand in for the file
// system. Returns false with the reason in `error`.
using PictureLoader = bool (*)(const std::string &path, RgbImage &image, std::string &error);

// Puts the job together. Image files are read relative to `baseDir`.
// Returns the calls, or an empty job with `errors` filled.
std::vector<PlotCall> buildPlotJob(const std::vector<ScriptStatement> &statements,
                                   const PlotterTraits &traits, const std::string &baseDir,
                                   PictureLoader loadPicture, std::vector<ScriptError> &errors);

// Bytes the output buffer must hold for `call`, the driver's trailing NUL
// included: the longest text any driver makes of the request.
std::size_t outputCapacity(const PlotCall &call);

} // namespace drv::host
