// A plot job checked call by call, whoever made the calls (a plot script,
// a picture, an imported drawing), against what the loaded driver needs
// from its host.
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
//    the state block is at least the driver's state size (host/plot/plot_runner.h).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "host/job/plot_call.h"
#include "host/job/plotter_traits.h"
#include "host/job/source_error.h"

namespace drv::host {

class JobChecker {
public:
    // Faults go to `errors`, one per refused call.
    JobChecker(const PlotterTraits &traits, std::vector<SourceError> &errors)
        : traits_(traits), errors_(errors) {}

    // Checks `call` and, when it passes, appends it to the job as the
    // driver gets it: a RasterRow given the image's width and depth where
    // the producer left them out and its bytes padded, a string given its
    // NUL. The order comes first: a request it accepts moves the job on
    // even when a value is refused, so one bad line gives one message.
    bool add(const PlotCall &call);
    // The same for a call the producer no longer needs: its bytes (a
    // picture's rows) move into the job instead of being copied.
    bool add(PlotCall &&call);

    // The producer's input ended at `lastLine`: a job left open, or no job
    // at all, is an error, unless an earlier fault explains it.
    void finish(int lastLine);

    // The checked calls, for a job that gave no errors.
    std::vector<PlotCall> take() { return std::move(job_); }

private:
    enum class State { Outside, InJob, InRaster };

    bool checkCoordinates(const PlotCall &call);
    bool checkText(const PlotCall &call, PlotCall &out);
    bool checkOrder(const PlotCall &call, PlotCall &out);
    bool checkRecordFraming(const PlotCall &call);
    bool beginRaster(const PlotCall &call);
    bool checkRow(const PlotCall &call, PlotCall &out);
    bool endRaster(const PlotCall &call);
    bool error(SourcePos pos, std::string message);

    const PlotterTraits &traits_;
    std::vector<SourceError> &errors_;
    std::vector<PlotCall> job_;
    State state_ = State::Outside;
    int jobLine_ = 0;
    int rasterLine_ = 0;
    std::int32_t rasterColumns_ = 0;
    std::int32_t rasterRows_ = 0;
    std::int32_t rasterDepth_ = 0;
    bool rasterExpand_ = false;
    std::int32_t rowsSent_ = 0;
    bool textStyleSet_ = false;
};

} // namespace drv::host
