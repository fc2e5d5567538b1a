// A plot job checked call by call, whoever made the calls (a plot script,
// a picture, an imported drawing), against what the loaded driver needs
// from its host.
//
// What the host guarantees every plotter driver:
//  - a job starts with BeginJob and ends with EndJob, once; nothing is sent
//    outside a job;
//  - every cell the driver reads holds a value the job gave, or the
//    operation's documented default (plot_ops.h);
//  - RasterRow and RasterEnd come only inside a RasterBegin bracket, which
//    holds nothing else, one row per image row, each with the image's width
//    and depth and its bytes padded to what the driver reads;
//  - PolygonNext and PolygonFill come only inside a polygon, which ends
//    with PolygonFill before the job does;
//  - strings are NUL-terminated and short enough for one device command;
//  - coordinates stay within the range the driver's encoding carries;
//  - the output buffer holds the largest output the request can produce and
//    the state block is at least the driver's state size (host/plot/job_renderer.h).
//
// What the driver would take but not draw as asked is a warning: a pen the
// job does not declare, a point off its page, and what the driver leaves
// out (polygon fills and images on a driver without them, the end of a
// label longer than it draws). With `strict` every warning is an error.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/job/plot_call.h"
#include "host/job/plotter_traits.h"
#include "host/job/source_error.h"

namespace drv::host {

struct CheckOptions {
    bool strict = false; // warnings are errors
    // Where warnings go; null drops them.
    std::vector<SourceError> *warnings = nullptr;
    // What the calls come from, in messages: "the script holds no job".
    std::string_view source = "script";
};

class JobChecker {
public:
    // Faults go to `errors`, one per refused call.
    JobChecker(const PlotterTraits &traits, std::vector<SourceError> &errors,
               CheckOptions options = {})
        : traits_(traits), errors_(errors), options_(options) {}

    // Checks `call` and, when it passes, appends it to the job as the
    // driver gets it: cells left out given their defaults, a RasterRow
    // given the image's width and depth, its bytes padded, a string given
    // its NUL. The order comes first: a request it accepts moves the job on
    // even when a value is refused, so one bad line gives one message.
    bool add(const PlotCall &call);
    // The same for a call the producer no longer needs: its bytes (a
    // picture's rows) move into the job instead of being copied.
    bool add(PlotCall &&call);

    // The producer's input ended at `lastLine`: a job, image or polygon
    // left open, or no job at all, is an error, unless an earlier fault
    // explains it. Gives the warnings that sum up the whole job.
    void finish(int lastLine);

    // The checked calls, for a job that gave no errors.
    std::vector<PlotCall> take() { return std::move(job_); }

private:
    enum class State { Outside, InJob, InRaster, InPolygon };

    // What the driver leaves out of the job, summed up at the end.
    struct LeftOut {
        SourcePos first;
        std::size_t count = 0;
    };

    // job_checker.cpp: the calling order.
    bool checkOrder(const PlotCall &call, PlotCall &out);
    bool checkInsideJob(const PlotCall &call, PlotCall &out);
    bool beginRaster(const PlotCall &call);
    bool checkRow(const PlotCall &call, PlotCall &out);
    bool endRaster(const PlotCall &call);
    std::string openPart(std::string_view what, int line, std::string_view closer) const;
    bool error(SourcePos pos, std::string message);

    // job_cells.cpp: the values.
    void applyDefaults(PlotCall &out) const;
    bool checkGiven(const PlotCall &out);
    bool checkCoordinates(const PlotCall &call);
    bool checkText(const PlotCall &call, PlotCall &out);
    bool checkRecordFraming(const PlotCall &call);

    // job_notes.cpp: what the driver would not draw as asked.
    bool noteDrawing(const PlotCall &out);
    bool checkPen(const PlotCall &out);
    bool checkPage(const PlotCall &out);
    void countLeftOut(const PlotCall &out);
    void sumUpLeftOut();
    bool warn(SourcePos pos, std::string message);

    const PlotterTraits &traits_;
    std::vector<SourceError> &errors_;
    CheckOptions options_;
    std::vector<PlotCall> job_;
    State state_ = State::Outside;
    int jobLine_ = 0;
    int rasterLine_ = 0;
    int polygonLine_ = 0;
    std::int32_t rasterColumns_ = 0;
    std::int32_t rasterRows_ = 0;
    std::int32_t rasterDepth_ = 0;
    bool rasterExpand_ = false;
    std::int32_t rowsSent_ = 0;
    bool textStyleSet_ = false;
    // The job's declarations: its pens and page, when BeginJob gives them.
    std::int32_t pens_ = -1;
    std::int32_t pageWidth_ = 0;
    std::int32_t pageHeight_ = 0;
    std::size_t offPage_ = 0;
    std::array<LeftOut, OpRasterRow + 1> leftOut_{}; // by operation code
    LeftOut cutLabels_;
    std::size_t labelCharsLeftOut_ = 0;
};

} // namespace drv::host
