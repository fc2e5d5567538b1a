#include "host/job/job_checker.h"

#include <utility>

#include "drvsuite/plotter.h"
#include "host/job/plot_ops.h"
#include "host/job/row_layout.h"

namespace drv::host {
namespace {

// The PCI record framing bytes of BeginJob are read as signed bytes: the
// radix is a divisor of at least 2, the sync count a count of at least 0.
constexpr std::int32_t kMinRadix = 2;

std::int32_t lowByteSigned(std::int32_t value) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
}

} // namespace

bool JobChecker::add(const PlotCall &call) { return add(PlotCall(call)); }

bool JobChecker::add(PlotCall &&call) {
    // The checks read the request as given and write what the driver gets
    // into `out`; none reads the given text, which moves across.
    std::vector<std::uint8_t> text = std::move(call.text);
    PlotCall out = call;
    out.text = std::move(text);
    // The order first: a request it accepts moves the job on even when
    // a value is refused, so one bad line gives one message.
    if (!checkOrder(call, out) || !checkCoordinates(call) || !checkText(call, out)) {
        return false;
    }
    job_.push_back(std::move(out));
    return true;
}

void JobChecker::finish(int lastLine) {
    if (!errors_.empty()) {
        return; // an earlier fault explains an unfinished job
    }
    if (state_ == State::InRaster) {
        error({lastLine, 1}, "the script ends inside the raster image begun on line " +
                                 std::to_string(rasterLine_) + ": end it with RasterEnd");
    } else if (state_ == State::InJob) {
        error({lastLine, 1}, "the script ends inside the job begun on line " +
                                 std::to_string(jobLine_) + ": end it with EndJob");
    } else if (job_.empty()) {
        error({lastLine, 1}, "the script holds no job: start one with BeginJob");
    }
}

bool JobChecker::checkCoordinates(const PlotCall &call) {
    const OpInfo &op = *findOp(call.request.op);
    for (int cell = 0; cell < PLOT_PARAM_COUNT; ++cell) {
        if ((op.coordinates & (1u << cell)) == 0) {
            continue;
        }
        const std::int32_t value = call.request.param[cell].i;
        if (value < -traits_.coordinateLimit || value > traits_.coordinateLimit) {
            const int column = call.cellColumns[static_cast<std::size_t>(cell)];
            error({call.pos.line, column > 0 ? column : call.pos.column},
                  "p" + std::to_string(cell) + " = " + std::to_string(value) +
                      " is outside this driver's coordinate range +-" +
                      std::to_string(traits_.coordinateLimit));
            return false;
        }
    }
    return true;
}

bool JobChecker::checkText(const PlotCall &call, PlotCall &out) {
    const OpInfo &op = *findOp(call.request.op);
    if (op.text != TextKind::String) {
        return true;
    }
    if (out.text.empty()) {
        out.text.push_back(0); // an empty string, never null
    }
    const std::size_t length = out.text.size() - 1;
    const std::size_t limit = op.code == OpLabel ? traits_.maxLabelText : traits_.maxJobText;
    if (length > limit) {
        error(call.pos, std::string(op.name) + " text is " + std::to_string(length) +
                            " bytes; this driver takes at most " + std::to_string(limit));
        return false;
    }
    return true;
}

bool JobChecker::checkOrder(const PlotCall &call, PlotCall &out) {
    const std::int32_t code = call.request.op;
    const std::string name(findOp(code)->name);
    if (code == OpBeginJob) {
        if (state_ != State::Outside) {
            return error(call.pos, "BeginJob inside the job begun on line " +
                                       std::to_string(jobLine_) + ": end it with EndJob first");
        }
        // The job is open even when its framing is refused, so that the
        // lines after it are not all reported as outside a job.
        state_ = State::InJob;
        jobLine_ = call.pos.line;
        return !traits_.recordFraming || checkRecordFraming(call);
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
        return error(call.pos, name + " inside the raster image begun on line " +
                                   std::to_string(rasterLine_) +
                                   ": end it with RasterEnd first");
    }
    if (code == OpEndJob) {
        state_ = State::Outside;
    } else if (code == OpRasterBegin) {
        return beginRaster(call);
    } else if (code == OpTextStyle) {
        textStyleSet_ = call.request.param[0].i != 0;
        if (traits_.recordFraming && !textStyleSet_) {
            return error(call.pos, "TextStyle needs a non-zero character height p0 for this "
                                   "driver: the label width is a ratio to it");
        }
    } else if (code == OpLabel && traits_.recordFraming && !textStyleSet_) {
        return error(call.pos, "Label before any TextStyle: this driver advances the pen by "
                               "the character size a TextStyle sets");
    }
    return true;
}

bool JobChecker::checkRecordFraming(const PlotCall &call) {
    const std::int32_t radix = lowByteSigned(call.request.param[6].i);
    const std::int32_t syncCount = lowByteSigned(call.request.param[7].i);
    if (radix < kMinRadix) {
        return error(call.pos, "BeginJob radix (p6) must be 2..127 for this driver");
    }
    if (syncCount < 0) {
        return error(call.pos, "BeginJob sync_count (p7) must be 0..127 for this driver");
    }
    // The records travel as C strings: none of their bytes may be 0.
    const auto lowByte = [&call](int cell) { return call.request.param[cell].i & 0xFF; };
    if (lowByte(5) == 0 || lowByte(9) == 0 || (syncCount > 0 && lowByte(8) == 0)) {
        return error(call.pos, "BeginJob bias (p5), terminator (p9) and, with syncs, sync (p8) "
                               "must not be 0 for this driver: records cannot hold a 0 byte");
    }
    return true;
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
    if (rowsSent_ != rasterRows_) {
        return error(call.pos, "the image declares " + std::to_string(rasterRows_) + " rows; " +
                                   std::to_string(rowsSent_) + " were sent");
    }
    state_ = State::InJob;
    return true;
}

bool JobChecker::error(SourcePos pos, std::string message) {
    errors_.push_back({pos, std::move(message)});
    return false;
}

} // namespace drv::host
