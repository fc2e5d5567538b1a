// Starting a job again part-way, and ending one early, without leaving the
// plotter inside an instruction, a polygon or an image.
//
// A resumed job is the job frame, then the original requests from the
// chosen line on, unchanged. The frame is the job's own BeginJob and what
// was in force at that line: the fill type, font and label style, each
// pen's width, colour and speed, the selected pen, and the pen's place
// (moved to with the pen up, then lowered if it was down). Frame requests
// other than BeginJob are at line 0: they belong to no line of the script.
#pragma once

#include <string>
#include <vector>

#include "host/job/plot_call.h"
#include "host/job/plotter_traits.h"

namespace drv::host {

// The job that starts again at the first request on `line` or after it.
// False with the reason in `error` when there is none, or when that request
// is inside an image or a polygon, which only start whole (the message names
// the line to resume from instead).
bool resumeJob(const std::vector<PlotCall> &job, int line, const PlotterTraits &traits,
               std::vector<PlotCall> &resumed, std::string &error);

// The requests that end what is open once the first `sent` requests of
// `job` went out: RasterEnd for an open image, PolygonFill for an open
// polygon, then the job's EndJob with its trailer but no copies. Empty when
// no job is open.
std::vector<PlotCall> closingCalls(const std::vector<PlotCall> &job, std::size_t sent,
                                   const PlotterTraits &traits);

} // namespace drv::host
