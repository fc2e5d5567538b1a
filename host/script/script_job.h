// A plot script's statements as a checked job: the requests in call order,
// with Image lines expanded into raster brackets, checked against what the
// loaded driver needs from its host (host/job/job_checker.h).
#pragma once

#include <string>
#include <vector>

#include "host/job/job_checker.h"
#include "host/job/plot_call.h"
#include "host/job/plotter_traits.h"
#include "host/job/source_error.h"
#include "host/picture/rgb_image.h"
#include "host/script/script_parser.h"

namespace drv::host {

// A picture file the job places, and the line that places it.
struct PictureUse {
    std::string path;
    int line = 0;
};

// Puts the job together. Image files are read with `loadPicture`, relative
// to `baseDir`; each one is added to `pictures` (may be null). Returns the
// calls, or an empty job with `errors` filled; warnings go where `options`
// says.
std::vector<PlotCall> buildPlotJob(const std::vector<ScriptStatement> &statements,
                                   const PlotterTraits &traits, const std::string &baseDir,
                                   PictureLoader loadPicture, std::vector<SourceError> &errors,
                                   const CheckOptions &options = {},
                                   std::vector<PictureUse> *pictures = nullptr);

} // namespace drv::host
