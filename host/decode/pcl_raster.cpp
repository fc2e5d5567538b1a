#include "host/decode/pcl_raster.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

#include "host/decode/pcl_pixels.h"
#include "host/decode/pcl_rows.h"

namespace drv::decode {
namespace {

constexpr int kEscape = 0x1B;
constexpr int kMaxSide = 65535;
constexpr std::size_t kMaxPaletteDepth = 32;

// A unit vector of the device's axes seen in the job's coordinates, which
// RO has turned by `rotation` degrees counterclockwise.
Point deviceAxis(bool yAxis, int rotation) {
    const double angle = (yAxis ? 90.0 : 0.0) - rotation;
    const double radians = angle * std::numbers::pi / 180.0;
    return {std::round(std::cos(radians)), std::round(std::sin(radians))};
}

class RasterSession {
public:
    RasterSession(PclState &state, PclContext &context) : state_(state), context_(context) {}

    // Runs to "\e%#B" or the end; see runPcl.
    int run(ByteCursor &in);

private:
    bool handle(ByteCursor &in, const PclEscape &e, std::size_t offset);
    void configure(ByteCursor &in, std::size_t count, std::size_t offset);
    void start(int mode, std::size_t offset);
    void transfer(ByteCursor &in, std::size_t count, bool lastPlane, std::size_t offset);
    void finishRow();
    void end();

    PclState &state_;
    PclContext &context_;
    // The configuration as it was when raster graphics started: it holds
    // for the whole image, whatever arrives before its end.
    PclState raster_;
    bool active_ = false;
    Image image_;
    int plane_ = 0;
    std::vector<std::vector<std::uint8_t>> planes_;
    std::vector<std::vector<std::uint8_t>> seeds_;
    int components_[3] = {0, 0, 0};
    bool full_ = false;
};

void RasterSession::configure(ByteCursor &in, std::size_t count, std::size_t offset) {
    const auto data = in.take(count);
    if (active_) {
        context_.log.note(offset, "image configuration inside raster graphics ends the image first");
        end();
    }
    if (data.size() < 6) {
        context_.log.problem(offset, "image configuration with " + std::to_string(data.size()) +
                                         " bytes; it needs 6");
        return;
    }
    if (data[0] > 1 || data[1] > 3) {
        context_.log.problem(offset, "image configuration: colour space " +
                                         std::to_string(data[0]) + ", encoding " +
                                         std::to_string(data[1]) + " not supported");
        return;
    }
    state_.configured = true;
    state_.colorSpace = data[0];
    state_.encoding = data[1];
    state_.bitsPerIndex = std::clamp<int>(data[2], 1, 8);
    for (int k = 0; k < 3; ++k) {
        state_.bitsPerPrimary[k] = data[3 + static_cast<std::size_t>(k)];
    }
    if (state_.encoding == 3 && (state_.bitsPerPrimary[0] != 8 || state_.bitsPerPrimary[1] != 8 ||
                                 state_.bitsPerPrimary[2] != 8)) {
        context_.log.problem(offset, "direct colour by pixel needs 8 bits per primary");
    }
    // The configuration makes a new palette: indexed images get one entry
    // per index, direct colour the eight corners of the colour cube.
    context_.palette = defaultImagePalette(state_.encoding <= 1 ? state_.bitsPerIndex : 3);
}

void RasterSession::start(int mode, std::size_t offset) {
    if (active_) {
        return; // a second start inside raster graphics is ignored
    }
    active_ = true;
    raster_ = state_;
    full_ = false;
    plane_ = 0;
    image_ = Image{};
    image_.at = context_.cursor;
    image_.columns = std::clamp(state_.sourceWidth, 0, kMaxSide);
    if (image_.columns == 0) {
        context_.log.problem(offset, "raster starts without a source width (\\e*r#S)");
    }
    const bool scaled = (mode == 2 || mode == 3) && image_.columns > 0 &&
                        (state_.destWidthDp > 0 || state_.destHeightDp > 0);
    double along = kUnitsPerInch / std::max(state_.resolution, 1);
    double across = along;
    if (scaled) {
        along = state_.destWidthDp * kUnitsPerDecipoint / image_.columns;
        across = state_.sourceHeight > 0 && state_.destHeightDp > 0
                     ? state_.destHeightDp * kUnitsPerDecipoint / state_.sourceHeight
                     : along;
        if (state_.destWidthDp <= 0) {
            along = across;
        }
    }
    if (mode == 0 || mode == 2) {
        context_.log.note(offset, "raster started at the left graphics margin is placed at the cursor");
    }
    const Point y = deviceAxis(true, context_.rotation);
    const Point x = deviceAxis(false, context_.rotation);
    image_.pixelStep = {y.x * along, y.y * along};
    image_.rowStep = {x.x * across, x.y * across};
    const std::size_t length = planeLength(raster_, image_.columns);
    planes_.assign(static_cast<std::size_t>(planeCount(raster_)), std::vector<std::uint8_t>(length, 0));
    seeds_ = planes_;
}

void RasterSession::transfer(ByteCursor &in, std::size_t count, bool lastPlane, std::size_t offset) {
    if (!active_) {
        context_.log.note(offset, "raster data without a raster start: started at the cursor");
        start(1, offset);
    }
    const auto data = in.take(count);
    if (data.size() < count) {
        context_.log.problem(offset, "raster row announces " + std::to_string(count) +
                                         " bytes; the input ends after " +
                                         std::to_string(data.size()));
    }
    if (static_cast<std::size_t>(plane_) < planes_.size()) {
        const auto p = static_cast<std::size_t>(plane_);
        std::string problem;
        if (!decodeRow(state_.method, data, seeds_[p], planes_[p], problem)) {
            context_.log.problem(offset, problem);
        }
        seeds_[p] = planes_[p];
        ++plane_;
    } else {
        context_.log.note(offset, "raster planes beyond the configured count ignored");
    }
    if (lastPlane) {
        finishRow();
    }
}

void RasterSession::finishRow() {
    // Planes the row did not send are zero, and so are their seeds.
    for (auto p = static_cast<std::size_t>(plane_); p < planes_.size(); ++p) {
        std::fill(planes_[p].begin(), planes_[p].end(), 0);
        seeds_[p] = planes_[p];
    }
    plane_ = 0;
    if (raster_.sourceHeight > 0 && image_.rows >= raster_.sourceHeight) {
        context_.log.note(0, "raster rows beyond the source height clipped");
        return;
    }
    const auto columns = static_cast<std::size_t>(image_.columns);
    if (columns > context_.pixelsLeft) {
        if (!full_) {
            context_.log.problem(0, "the images hold more than 2^26 pixels: further rows dropped");
            full_ = true;
        }
        return;
    }
    context_.pixelsLeft -= columns;
    for (int c = 0; c < image_.columns; ++c) {
        const Rgb rgb = pixelAt(raster_, planes_, context_.palette, c);
        image_.pixels.insert(image_.pixels.end(), {rgb.red, rgb.green, rgb.blue});
    }
    ++image_.rows;
}

void RasterSession::end() {
    if (!active_) {
        return;
    }
    active_ = false;
    if (plane_ > 0) {
        finishRow();
    }
    context_.cursor = {image_.at.x + image_.rowStep.x * image_.rows,
                       image_.at.y + image_.rowStep.y * image_.rows};
    if (image_.columns > 0 && image_.rows > 0) {
        context_.out.emplace_back(std::move(image_));
    }
    image_ = Image{};
}

bool RasterSession::handle(ByteCursor &in, const PclEscape &e, std::size_t offset) {
    const int v = static_cast<int>(std::clamp(e.value, -1e9, 1e9));
    const auto count = static_cast<std::size_t>(std::max(v, 0));
    const auto key = [&](int kind, int group, int letter) {
        return e.kind == kind && e.group == group && e.letter == letter;
    };
    if (key('*', 'v', 'W')) {
        configure(in, count, offset);
    } else if (e.kind == '*' && e.group == 'v' && e.letter >= 'A' && e.letter <= 'C') {
        components_[e.letter - 'A'] = v;
    } else if (key('*', 'v', 'I')) {
        if (v >= 0 && static_cast<std::size_t>(v) < context_.palette.size()) {
            const auto level = [&](int k) {
                const int bits = std::clamp(state_.bitsPerPrimary[k], 1, 16);
                const int top = (1 << bits) - 1;
                return static_cast<std::uint8_t>(std::clamp(components_[k], 0, top) * 255 / top);
            };
            context_.palette[static_cast<std::size_t>(v)] = {level(0), level(1), level(2)};
        } else {
            context_.log.problem(offset, "palette index " + std::to_string(v) + " outside the palette");
        }
    } else if (key('*', 'r', 'S')) {
        state_.sourceWidth = std::clamp(v, 0, kMaxSide);
    } else if (key('*', 'r', 'T')) {
        state_.sourceHeight = std::clamp(v, 0, kMaxSide);
    } else if (key('*', 't', 'H')) {
        state_.destWidthDp = std::max(e.value, 0.0);
    } else if (key('*', 't', 'V')) {
        state_.destHeightDp = std::max(e.value, 0.0);
    } else if (key('*', 't', 'R')) {
        state_.resolution = std::clamp(v, 1, 9600);
    } else if (key('*', 'r', 'A')) {
        start(v, offset);
    } else if (key('*', 'r', 'C') || key('*', 'r', 'B')) {
        end();
    } else if (key('*', 'b', 'M')) {
        state_.method = v;
    } else if (key('*', 'b', 'W') || key('*', 'b', 'V')) {
        transfer(in, count, e.letter == 'W', offset);
    } else if (key('*', 'b', 'Y')) {
        for (std::vector<std::uint8_t> &seed : seeds_) {
            std::fill(seed.begin(), seed.end(), 0);
        }
        context_.log.note(offset, "raster y offset (\\e*b#Y) moves nothing in the preview");
    } else if (key('*', 'p', 'P')) {
        if (v == 0 && context_.paletteStack.size() < kMaxPaletteDepth) {
            context_.paletteStack.push_back(context_.palette);
        } else if (v == 1 && !context_.paletteStack.empty()) {
            context_.palette = std::move(context_.paletteStack.back());
            context_.paletteStack.pop_back();
        }
    } else if (key('&', 'a', 'N') || key('%', 0, 'A')) {
        // negative motion is always allowed here; PCL is already entered
    } else if (e.letter == 'W' || key('&', 'p', 'X')) {
        in.skip(count); // data of a command the preview does not use
        context_.log.note(offset, std::string("PCL command with data \\e") + char(e.kind) +
                                      (e.group ? std::string(1, char(e.group)) : "") + "#" +
                                      char(e.letter) + " ignored");
    } else {
        context_.log.note(offset, std::string("PCL command \\e") + char(e.kind) +
                                      (e.group ? std::string(1, char(e.group)) : "") + "#" +
                                      char(e.letter) + " ignored");
    }
    return true;
}

int RasterSession::run(ByteCursor &in) {
    while (!in.atEnd()) {
        const std::size_t offset = in.offset();
        if (in.next() != kEscape) {
            context_.log.note(offset, "bytes outside escape sequences in PCL ignored");
            continue;
        }
        PclEscape e;
        if (!readEscape(in, e, false)) {
            context_.log.problem(offset, "malformed PCL escape sequence");
            continue;
        }
        if (e.twoByte) {
            if (e.kind == 'E') {
                end();
                state_ = PclState{};
                context_.reset = true;
            } else {
                context_.log.note(offset, std::string("PCL command \\e") + char(e.kind) + " ignored");
            }
            continue;
        }
        bool ok = true;
        for (;;) {
            if (e.kind == '%' && e.group == 0 && e.letter == 'B') {
                end();
                return e.value >= 1 ? 1 : 0;
            }
            handle(in, e, offset);
            if (!e.more) {
                break;
            }
            if (!readEscape(in, e, true)) {
                ok = false;
                break;
            }
        }
        if (!ok) {
            context_.log.problem(offset, "malformed PCL escape sequence");
        }
    }
    end();
    return -1;
}

} // namespace

int runPcl(ByteCursor &in, PclState &state, PclContext &context) {
    RasterSession session(state, context);
    return session.run(in);
}

} // namespace drv::decode
