#include "host/job/job_resume.h"

#include <cmath>

#include "host/job/job_tracker.h"
#include "host/job/plot_ops.h"

namespace drv::host {
namespace {

// A request the host makes itself, at no line of the script.
PlotCall madeCall(std::int32_t op, std::int32_t flags) {
    PlotCall call;
    call.request.op = op;
    call.request.flags = flags;
    if (findOp(op)->text == TextKind::String) {
        call.text.push_back(0);
    }
    return call;
}

// A request of the job, repeated in the frame.
PlotCall repeated(const std::vector<PlotCall> &job, std::size_t index) {
    PlotCall call = job[index];
    call.pos = {};
    return call;
}

std::int32_t rounded(double value) {
    return static_cast<std::int32_t>(std::lround(value));
}

} // namespace

bool resumeJob(const std::vector<PlotCall> &job, int line, const PlotterTraits &traits,
               std::vector<PlotCall> &resumed, std::string &error) {
    std::size_t from = 0;
    while (from < job.size() && job[from].pos.line < line) {
        ++from;
    }
    if (from == job.size()) {
        error = "line " + std::to_string(line) + " is past the job's last request" +
                (job.empty() ? std::string() : ", on line " + std::to_string(job.back().pos.line));
        return false;
    }
    JobTracker tracker(traits);
    for (std::size_t i = 0; i < from; ++i) {
        tracker.apply(job, i);
    }
    const auto refuse = [&](const char *what, std::size_t begin) {
        const int start = job[begin].pos.line;
        error = "line " + std::to_string(line) + " is inside the " + what + " begun on line " +
                std::to_string(start) + ", which starts only whole: resume from line " +
                std::to_string(start);
        return false;
    };
    if (const auto image = tracker.openImage()) {
        return refuse("image", *image);
    }
    if (const auto polygon = tracker.openPolygon()) {
        return refuse("polygon", *polygon);
    }
    resumed.clear();
    if (const auto begin = tracker.jobBegin()) {
        resumed.push_back(job[*begin]);
        const std::int32_t flags = job[from].request.flags;
        for (const auto &kept : {tracker.fillType(), tracker.font(), tracker.textStyle()}) {
            if (kept) {
                resumed.push_back(repeated(job, *kept));
            }
        }
        for (const auto &[pen, settings] : tracker.pens()) {
            for (const auto &kept : {settings.width, settings.colour, settings.velocity}) {
                if (kept) {
                    resumed.push_back(repeated(job, *kept));
                }
            }
        }
        if (const auto select = tracker.penSelect()) {
            resumed.push_back(repeated(job, *select));
        }
        if (tracker.placed()) {
            resumed.push_back(madeCall(OpPenUp, flags));
            PlotCall move = madeCall(OpPlot, flags);
            move.request.param[0].i = rounded(tracker.x());
            move.request.param[1].i = rounded(tracker.y());
            move.givenCells = cellSet({0, 1});
            resumed.push_back(move);
            if (tracker.penDown()) {
                resumed.push_back(madeCall(OpPenDown, flags));
            }
        }
    }
    resumed.insert(resumed.end(), job.begin() + static_cast<std::ptrdiff_t>(from), job.end());
    return true;
}

std::vector<PlotCall> closingCalls(const std::vector<PlotCall> &job, std::size_t sent,
                                   const PlotterTraits &traits) {
    JobTracker tracker(traits);
    for (std::size_t i = 0; i < sent && i < job.size(); ++i) {
        tracker.apply(job, i);
    }
    std::vector<PlotCall> calls;
    if (!tracker.inJob()) {
        return calls;
    }
    if (const auto image = tracker.openImage()) {
        calls.push_back(madeCall(OpRasterEnd, job[*image].request.flags));
    }
    if (const auto polygon = tracker.openPolygon()) {
        calls.push_back(madeCall(OpPolygonFill, job[*polygon].request.flags));
    }
    // The job's own end, for its trailer; an interrupted page gets no copies.
    std::size_t end = sent;
    while (end < job.size() && job[end].request.op != OpEndJob) {
        ++end;
    }
    PlotCall close = end < job.size() ? repeated(job, end) : madeCall(OpEndJob, 0);
    close.request.param[0].i = 0;
    calls.push_back(close);
    return calls;
}

} // namespace drv::host
