#include "host/plot_job.h"

#include <cstring>
#include <filesystem>
#include <limits>

#include "host/plot_ops.h"
#include "host/raster_image.h"

namespace drv::host {
namespace {

// quillane sends each coordinate as a difference from the last point, in a
// number format that carries +-(2^30 - 1); coordinates of half that keep
// every difference inside it. drevant cuts long moves into steps of at most
// 32767 units, 7 bytes each, into a command body of 255 bytes that also
// holds up to 79 bytes of label; +-(2^18 - 1) keeps a move within 17 steps.
constexpr std::int32_t kPeCoordinateLimit = (1 << 29) - 1;
constexpr std::int32_t kPciCoordinateLimit = (1 << 18) - 1;

// quillane writes one command per text in a formatter limited to 32767
// bytes; drevant copies job texts into a 255-byte record with up to 127 sync
// characters and its own codes.
constexpr std::size_t kPeTextLimit = 32000;
constexpr std::size_t kPciJobTextLimit = 100;

constexpr PlotterTraits kKnownPlotters[] = {
    {"quillane", QUILLANE_STATE_SIZE, kPeCoordinateLimit, kPeTextLimit, kPeTextLimit, false},
    {"drevant", DREVANT_STATE_SIZE, kPciCoordinateLimit, kPciJobTextLimit, kPeTextLimit, true},
};

constexpr PlotterTraits kUnknownPlotter = {
    "", PLOTTER_STATE_SIZE_MAX, kPciCoordinateLimit, kPciJobTextLimit, kPeTextLimit, true};

// The PCI record framing bytes of BeginJob are read as signed bytes: the
// radix is a divisor of at least 2, the sync count a count of at least 0.
constexpr std::int32_t kMinRadix = 2;

std::int32_t lowByteSigned(std::int32_t value) {
    return static_cast<std::int8_t>(static_cast<std::uint8_t>(value & 0xFF));
}

class JobBuilder {
public:
    JobBuilder(const PlotterTraits &traits, std::vector<ScriptError> &errors)
        : traits_(traits), errors_(errors) {}

    bool add(const ScriptCall &call) {
        PlotCall out{call.request, call.text, call.pos.line};
        // The order first: a request it accepts moves the job on even when
        // a value is refused, so one bad line gives one message.
        if (!checkOrder(call, out) || !checkCoordinates(call) || !checkText(call, out)) {
            return false;
        }
        job_.push_back(std::move(out));
        return true;
    }

    void addImage(const ImageDirective &image, const std::string &baseDir, PictureLoader load) {
        std::filesystem::path path(image.file);
        if (path.is_relative() && !baseDir.empty()) {
            path = std::filesystem::path(baseDir) / path;
        }
        RgbImage picture;
        std::string reason;
        if (!load(path.string(), picture, reason)) {
            error(image.filePos, image.file + ": " + reason);
            return;
        }
        // Without a size the picture is laid out at 100 pixels per inch; with
        // one side given the other keeps the picture's proportions.
        constexpr float kMmPerPixel = 0.254f;
        const float width = static_cast<float>(picture.width);
        const float height = static_cast<float>(picture.height);
        float widthMm = image.widthMm.value_or(0);
        float heightMm = image.heightMm.value_or(0);
        if (!image.widthMm && !image.heightMm) {
            widthMm = width * kMmPerPixel;
            heightMm = height * kMmPerPixel;
        } else if (!image.heightMm) {
            heightMm = widthMm * height / width;
        } else if (!image.widthMm) {
            widthMm = heightMm * width / height;
        }
        const RasterRows packed = packImage(picture, image.depth);

        ScriptCall begin;
        begin.pos = image.pos;
        begin.request.op = OpRasterBegin;
        begin.request.flags = image.flags;
        begin.request.param[0].i = image.x;
        begin.request.param[1].i = image.y;
        begin.request.param[2].f = widthMm;
        begin.request.param[3].f = heightMm;
        begin.request.param[4].i = static_cast<std::int32_t>(picture.width);
        begin.request.param[5].i = static_cast<std::int32_t>(picture.height);
        begin.request.param[6].i = image.depth;
        begin.text = paletteRecord(packed.palette);
        if (!add(begin)) {
            return; // one message for the image, not one per row
        }
        for (const std::vector<std::uint8_t> &row : packed.rows) {
            ScriptCall rowCall;
            rowCall.pos = image.pos;
            rowCall.request.op = OpRasterRow;
            rowCall.request.flags = image.flags;
            rowCall.request.param[0].i = static_cast<std::int32_t>(picture.width);
            rowCall.request.param[1].i = image.depth;
            rowCall.text = row;
            add(rowCall);
        }
        ScriptCall end;
        end.pos = image.pos;
        end.request.op = OpRasterEnd;
        end.request.flags = image.flags;
        add(end);
    }

    void finish(int lastLine) {
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

    std::vector<PlotCall> take() { return std::move(job_); }

private:
    enum class State { Outside, InJob, InRaster };

    bool checkCoordinates(const ScriptCall &call) {
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

    bool checkText(const ScriptCall &call, PlotCall &out) {
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

    bool checkOrder(const ScriptCall &call, PlotCall &out) {
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

    bool checkRecordFraming(const ScriptCall &call) {
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

    bool beginRaster(const ScriptCall &call) {
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

    bool checkRow(const ScriptCall &call, PlotCall &out) {
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

    bool endRaster(const ScriptCall &call) {
        if (rowsSent_ != rasterRows_) {
            return error(call.pos, "the image declares " + std::to_string(rasterRows_) + " rows; " +
                                       std::to_string(rowsSent_) + " were sent");
        }
        state_ = State::InJob;
        return true;
    }

    bool error(SourcePos pos, std::string message) {
        errors_.push_back({pos, std::move(message)});
        return false;
    }

    const PlotterTraits &traits_;
    std::vector<ScriptError> &errors_;
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

} // namespace

const PlotterTraits &plotterTraits(std::string_view name) {
    for (const PlotterTraits &traits : kKnownPlotters) {
        if (traits.name == name) {
            return traits;
        }
    }
    return kUnknownPlotter;
}

std::vector<PlotCall> buildPlotJob(const std::vector<ScriptStatement> &statements,
                                   const PlotterTraits &traits, const std::string &baseDir,
                                   PictureLoader loadPicture, std::vector<ScriptError> &errors) {
    const std::size_t errorsBefore = errors.size();
    JobBuilder builder(traits, errors);
    int lastLine = 1;
    for (const ScriptStatement &statement : statements) {
        if (const auto *call = std::get_if<ScriptCall>(&statement)) {
            builder.add(*call);
            lastLine = call->pos.line;
        } else {
            const auto &image = std::get<ImageDirective>(statement);
            builder.addImage(image, baseDir, loadPicture);
            lastLine = image.pos.line;
        }
    }
    builder.finish(lastLine);
    if (errors.size() != errorsBefore) {
        return {};
    }
    return builder.take();
}

std::size_t outputCapacity(const PlotCall &call) {
    // Fixed commands, a job's preamble and two whole PCI records (255 bytes
    // each: EndJob may hand back the pending record and the trailer's) fit
    // in the base; texts are copied at most once, escaped never.
    constexpr std::size_t kBase = 1024;
    constexpr std::size_t kPaletteCommand = 32; // "\e*v255a255b255c255I" and more
    std::size_t capacity = kBase + 2 * call.text.size();
    if (call.request.op == OpRasterBegin && call.text.size() >= offsetof(RasterPalette, entries)) {
        capacity += (call.text.size() / sizeof(RasterPaletteEntry)) * kPaletteCommand;
    }
    // A row goes out in the form the driver sends it, which for palette
    // expansion and direct colour is three bytes a pixel, more than the row
    // the host packed.
    const std::int32_t width = call.request.param[0].i;
    if (call.request.op == OpRasterRow && width >= 0) {
        const std::int32_t depth = call.request.param[1].i;
        capacity += QUILLANE_ROW_OUTPUT_MAX(static_cast<std::size_t>(width), depth,
                                            call.request.flags);
    }
    return capacity;
}

} // namespace drv::host
