#include "host/job/job_checker.h"

#include <utility>

#include "drvsuite/plotter.h"
#include "host/job/plot_ops.h"
#include "host/job/row_layout.h"

namespace drv::host {
namespace {

// What a polygon may hold: its outline, drawn as moves, arcs and circles,
// and the requests that close a part of it.
bool belongsInPolygon(std::int32_t code) {
    switch (code) {
    case OpPlot:
    case OpPenUp:
    case OpPenDown:
    case OpCircle:
    case OpArc:
    case OpPolygonNext:
    case OpPolygonFill:
        return true;
    default:
        return false;
    }
}

} // namespace

bool JobChecker::add(const PlotCall &call) { return add(PlotCall(call)); }

bool JobChecker::add(PlotCall &&call) {
    // The checks read the request as given and write what the driver gets
    // into `out`; none reads the given text, which moves across.
    std::vector<std::uint8_t> text = std::move(call.text);
    PlotCall out = call;
    out.text = std::move(text);
    applyDefaults(out);
    // The order first: a request it accepts moves the job on even when
    // a value is refused, so one bad line gives one message.
    if (!checkOrder(call, out) || !checkGiven(out) || !checkCoordinates(out) ||
        !checkText(call, out) || !noteDrawing(out)) {
        return false;
    }
    job_.push_back(std::move(out));
    return true;
}

void JobChecker::finish(int lastLine) {
    if (!errors_.empty()) {
        return; // an earlier fault explains an unfinished job
    }
    const std::string ends = "the " + std::string(options_.source) + " ends inside ";
    if (state_ == State::InRaster) {
        error({lastLine, 1}, ends + openPart("raster image", rasterLine_, "RasterEnd"));
    } else if (state_ == State::InPolygon) {
        error({lastLine, 1}, ends + openPart("polygon", polygonLine_, "PolygonFill"));
    } else if (state_ == State::InJob) {
        error({lastLine, 1}, ends + openPart("job", jobLine_, "EndJob"));
    } else if (job_.empty()) {
        error({lastLine, 1},
              "the " + std::string(options_.source) + " holds no job: start one with BeginJob");
    } else {
        sumUpLeftOut();
    }
}

std::string JobChecker::openPart(std::string_view what, int line, std::string_view closer) const {
    return "the " + std::string(what) + " begun on line " + std::to_string(line) + ": end it with " +
           std::string(closer);
}

bool JobChecker::checkOrder(const PlotCall &call, PlotCall &out) {
    const std::int32_t code = call.request.op;
    const std::string name(findOp(code)->name);
    if (code == OpBeginJob) {
        if (state_ != State::Outside) {
            return error(call.pos, "BeginJob inside " + openPart("job", jobLine_, "EndJob") +
                                       " first");
        }
        // The job is open even when its framing is refused, so that the
        // lines after it are not all reported as outside a job.
        state_ = State::InJob;
        jobLine_ = call.pos.line;
        // The pens and the page, where the job declares them, for the
        // warnings about pens and points beyond them.
        pens_ = (call.givenCells & cellSet({4})) != 0 ? out.request.param[4].i : -1;
        const bool page = (call.givenCells & cellSet({2, 3})) == cellSet({2, 3});
        pageWidth_ = page ? out.request.param[2].i : 0;
        pageHeight_ = page ? out.request.param[3].i : 0;
        return !traits_.recordFraming || checkRecordFraming(out);
    }
    if (state_ == State::Outside) {
        return error(call.pos, name + " outside a job: start one with BeginJob");
    }
    if (code == OpRasterRow || code == OpRasterEnd) {
        if (state_ != State::InRaster) {
            return error(call.pos,
                         name + " outside a raster image: start one with RasterBegin");
        }
        return code == OpRasterRow ? checkRow(call, out) : endRaster(call);
    }
    if (state_ == State::InRaster) {
        return error(call.pos,
                     name + " inside " + openPart("raster image", rasterLine_, "RasterEnd") +
                         " first");
    }
    if (code == OpPolygonNext || code == OpPolygonFill) {
        if (state_ != State::InPolygon) {
            return error(call.pos, name + " outside a polygon: start one with PolygonBegin");
        }
        if (code == OpPolygonFill) {
            state_ = State::InJob;
        }
        return true;
    }
    if (state_ == State::InPolygon && !belongsInPolygon(code)) {
        return error(call.pos, name + " inside " +
                                   openPart("polygon", polygonLine_, "PolygonFill") + " first");
    }
    return checkInsideJob(call, out);
}

bool JobChecker::checkInsideJob(const PlotCall &call, PlotCall &out) {
    switch (call.request.op) {
    case OpEndJob:
        state_ = State::Outside;
        return true;
    case OpPolygonBegin:
        state_ = State::InPolygon;
        polygonLine_ = call.pos.line;
        return true;
    case OpRasterBegin:
        return beginRaster(out);
    case OpTextStyle:
        textStyleSet_ = out.request.param[0].i != 0;
        if (traits_.recordFraming && !textStyleSet_) {
            return error(call.pos, "TextStyle needs a non-zero character height p0 for this "
                                   "driver: the label width is a ratio to it");
        }
        return true;
    case OpLabel:
        if (traits_.recordFraming && !textStyleSet_) {
            return error(call.pos, "Label before any TextStyle: this driver advances the pen "
                                   "by the character size a TextStyle sets");
        }
        return true;
    default:
        return true;
    }
}

bool JobChecker::beginRaster(const PlotCall &call) {
    const std::int32_t depth = call.request.param[6].i;
    state_ = State::InRaster;
    rasterLine_ = call.pos.line;
    rasterColumns_ = call.request.param[4].i;
    rasterRows_ = call.request.param[5].i;
    rasterDepth_ = depth;
    rasterExpand_ = (call.request.flags & FlagExpandPalette) != 0;
    rowsSent_ = 0;
    if (!isRasterDepth(depth)) {
        const int column = call.cellColumns[6];
        return error({call.pos.line, column > 0 ? column : call.pos.column},
                     "RasterBegin depth (p6) must be 1, 2, 4, 8, 16 or 32");
    }
    return true;
}

bool JobChecker::checkRow(const PlotCall &call, PlotCall &out) {
    if (!isRasterDepth(rasterDepth_)) {
        return false; // reported at RasterBegin
    }
    // Width and depth default to the image's; given, they must match it,
    // since the driver reads them from every row.
    if ((call.givenCells & 1u) == 0) {
        out.request.param[0].i = rasterColumns_;
    }
    if ((call.givenCells & 2u) == 0) {
        out.request.param[1].i = rasterDepth_;
    }
    if (out.request.param[0].i != rasterColumns_ || out.request.param[1].i != rasterDepth_) {
        return error(call.pos, "RasterRow must have the image's columns " +
                                   std::to_string(rasterColumns_) + " and depth " +
                                   std::to_string(rasterDepth_));
    }
    if (((call.request.flags & FlagExpandPalette) != 0) != rasterExpand_) {
        return error(call.pos, "flag ExpandPalette changed inside the raster image: rows "
                               "would no longer match the image RasterBegin announced");
    }
    if (rowsSent_ == rasterRows_) {
        return error(call.pos, "more rows than the " + std::to_string(rasterRows_) +
                                   " the image declares");
    }
    const auto width = static_cast<std::size_t>(rasterColumns_);
    const std::size_t packed = packedRowBytes(width, rasterDepth_);
    if (out.text.size() != packed) {
        return error(call.pos, "row holds " + std::to_string(out.text.size()) + " bytes; " +
                                   std::to_string(width) + " pixels at depth " +
                                   std::to_string(rasterDepth_) + " take " +
                                   std::to_string(packed));
    }
    out.text.resize(rowReadBytes(width, rasterDepth_), 0);
    if (out.text.empty()) {
        out.text.push_back(0); // a width of 0 still passes a valid pointer
    }
    ++rowsSent_;
    return true;
}

bool JobChecker::endRaster(const PlotCall &call) {
    // The image ends here either way, so that a short image gives one
    // message, not one more for every request after it.
    state_ = State::InJob;
    if (rowsSent_ != rasterRows_) {
        return error(call.pos, "the image declares " + std::to_string(rasterRows_) + " rows; " +
                                   std::to_string(rowsSent_) + " were sent");
    }
    return true;
}

bool JobChecker::error(SourcePos pos, std::string message) {
    errors_.push_back({pos, std::move(message)});
    return false;
}

} // namespace drv::host
