#include "tests/decode/expected_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <numbers>
#include <string>

#include "host/decode/default_pens.h"
#include "host/decode/hpgl2_machine.h"
#include "host/decode/pcl_raster.h"
#include "host/decode/pen_trace.h"
#include "tests/decode/expected_cells.h"

namespace drv::test {
namespace {

using namespace drv::decode;
using namespace drv::test::cells;

// The value as the device reads it back from "%.<digits>f".
double printed(double value, int digits) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", digits, value);
    return std::strtod(text, nullptr);
}

std::uint16_t le16(const std::vector<std::uint8_t> &b, std::size_t at) {
    return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

// The pixel value at `column` of a packed row of `depth` bits.
unsigned packedIndex(const std::vector<std::uint8_t> &row, int depth, std::size_t column) {
    const std::size_t bit = column * static_cast<std::size_t>(depth);
    const unsigned byte = row[bit / 8];
    return (byte >> (8 - depth - bit % 8)) & ((1u << depth) - 1);
}

Rgb directPixel(const std::vector<std::uint8_t> &row, int depth, std::size_t column) {
    if (depth == 16) {
        const unsigned word = le16(row, column * 2);
        const auto expand = [](unsigned c) { return static_cast<std::uint8_t>(c * 8 | c / 4); };
        return {expand(word >> 10 & 31), expand(word >> 5 & 31), expand(word & 31)};
    }
    const std::uint8_t *p = &row[column * 4];
    return {p[1], p[2], p[3]};
}

class Hpgl2Oracle {
public:
    Drawing run(const std::vector<host::PlotCall> &calls) {
        for (std::size_t i = 0; i < calls.size(); ++i) {
            i = call(calls, i);
        }
        trace_.end();
        return std::move(d_);
    }

private:
    Ink ink() const {
        const int size = static_cast<int>(colors_.size());
        const int index = pen_ < size ? pen_ : (pen_ - 1) % (size - 1) + 1;
        return {pen_, widths_[static_cast<std::size_t>(index)], colors_[static_cast<std::size_t>(index)]};
    }
    void moveTo(Point to, bool down) {
        if (polygon_) {
            if (!down) {
                rings_.push_back({});
            }
            appendDistinct(rings_.back(), to);
        } else {
            trace_.move(at_, to, down, ink());
        }
        at_ = to;
    }
    void penUpMove(Point to) {
        penUp_ = true;
        moveTo(to, false);
    }
    void image(const std::vector<host::PlotCall> &calls, std::size_t begin, std::size_t end);
    std::size_t call(const std::vector<host::PlotCall> &calls, std::size_t i);

    Drawing d_;
    PenTrace trace_{d_.elements};
    Point at_;
    bool penUp_ = true;
    bool halted_ = false;
    int pen_ = 1;
    int rotation_ = 0;
    std::vector<Rgb> colors_;
    std::vector<double> widths_;
    LabelStyle style_;
    Fill fill_;
    bool polygon_ = false;
    std::vector<std::vector<Point>> rings_;
};

void Hpgl2Oracle::image(const std::vector<host::PlotCall> &calls, std::size_t begin, std::size_t end) {
    const host::PlotCall &c = calls[begin];
    const int columns = cell(c, 4);
    const int depth = cell(c, 6);
    const bool expand = (c.request.flags & FlagExpandPalette) != 0 && depth < 16;
    std::vector<Rgb> programmed;
    if (depth < 16 && c.text.size() >= 8) {
        const auto last = static_cast<std::int16_t>(le16(c.text, 6));
        for (int k = 0; k <= last && 8 + 8 * static_cast<std::size_t>(k) + 8 <= c.text.size(); ++k) {
            const std::size_t e = 8 + 8 * static_cast<std::size_t>(k);
            programmed.push_back({static_cast<std::uint8_t>(le16(c.text, e + 2) >> 8),
                                  static_cast<std::uint8_t>(le16(c.text, e + 4) >> 8),
                                  static_cast<std::uint8_t>(le16(c.text, e + 6) >> 8)});
        }
    }
    // Indices the host did not program: the driver's own table has black
    // there; the device's palette its defaults.
    std::vector<Rgb> palette = expand ? std::vector<Rgb>(256) : defaultImagePalette(depth);
    for (std::size_t k = 0; k < programmed.size() && k < palette.size(); ++k) {
        palette[k] = programmed[k];
    }
    Image img;
    img.at = at_;
    img.columns = columns;
    for (std::size_t r = begin + 1; r < end; ++r) {
        if (calls[r].request.op != OpRasterRow) {
            continue;
        }
        for (std::size_t x = 0; x < static_cast<std::size_t>(columns); ++x) {
            const Rgb rgb = depth >= 16 ? directPixel(calls[r].text, depth, x)
                                        : palette[packedIndex(calls[r].text, depth, x) % palette.size()];
            img.pixels.insert(img.pixels.end(), {rgb.red, rgb.green, rgb.blue});
        }
        ++img.rows;
    }
    const double along = std::nearbyint(real(c, 2) * 28.346456692913) * kUnitsPerDecipoint / columns;
    const double across = std::nearbyint(real(c, 3) * 28.346456692913) * kUnitsPerDecipoint / cell(c, 5);
    // Rows along the device's +y, successive rows along +x: in the job's
    // coordinates, turned back by the rotation.
    if (rotation_ == 90) {
        img.pixelStep = {along, 0};
        img.rowStep = {0, -across};
    } else {
        img.pixelStep = {0, along};
        img.rowStep = {across, 0};
    }
    if (img.columns > 0 && img.rows > 0) {
        d_.elements.emplace_back(std::move(img));
    }
}

std::size_t Hpgl2Oracle::call(const std::vector<host::PlotCall> &calls, std::size_t i) {
    const host::PlotCall &c = calls[i];
    const std::int32_t op = c.request.op;
    if (halted_ && op != OpBeginJob && op != OpEndJob) {
        return i;
    }
    const Point p0 = point(cell(c, 0), cell(c, 1));
    switch (op) {
    case OpBeginJob: {
        halted_ = false;
        penUp_ = true;
        Page page{Page::Event::Setup, static_cast<double>(cell(c, 2)), static_cast<double>(cell(c, 3)), 0, 1};
        d_.elements.emplace_back(page);
        if (cell(c, 2) < cell(c, 3) && (c.request.flags & FlagNoRotation) == 0) {
            rotation_ = 90;
            d_.elements.emplace_back(Page{Page::Event::Setup, page.width, page.height, 90, 1});
        }
        std::size_t size = 2;
        while (size < static_cast<std::size_t>(std::max(cell(c, 4), 2)) && size < 256) {
            size *= 2;
        }
        colors_.resize(size);
        for (std::size_t k = 0; k < size; ++k) {
            colors_[k] = defaultPenColor(static_cast<int>(k));
        }
        widths_.assign(size, kDefaultPenWidthMm);
        break;
    }
    case OpEndJob: {
        trace_.end();
        pen_ = 0;
        Page feed{Page::Event::Feed, 0, 0, 0, 1};
        if (cell(c, 0) != 0 && cell(c, 1) != 1) {
            feed.copies += std::max(cell(c, 1) - 1, 0);
        }
        d_.elements.emplace_back(feed);
        penUp_ = true;
        break;
    }
    case OpSelectPen:
        trace_.end();
        pen_ = cell(c, 0);
        penUp_ = true;
        break;
    case OpPenWidth:
        trace_.end();
        if (cell(c, 0) >= 0 && static_cast<std::size_t>(cell(c, 0)) < widths_.size()) {
            widths_[static_cast<std::size_t>(cell(c, 0))] = printed(real(c, 1), 3);
        }
        break;
    case OpPenColor:
        trace_.end();
        if (cell(c, 0) >= 0 && static_cast<std::size_t>(cell(c, 0)) < colors_.size()) {
            colors_[static_cast<std::size_t>(cell(c, 0))] = {static_cast<std::uint8_t>(cell(c, 1) >> 8),
                                                              static_cast<std::uint8_t>(cell(c, 2) >> 8),
                                                              static_cast<std::uint8_t>(cell(c, 3) >> 8)};
        }
        break;
    case OpPenUp: penUp_ = true; break;
    case OpPenDown: penUp_ = false; break;
    case OpPlot: moveTo(p0, !penUp_); break;
    case OpCircle:
        penUpMove(p0);
        trace_.end();
        d_.elements.emplace_back(Circle{ink(), p0, std::fabs(static_cast<double>(cell(c, 2))),
                                        std::nearbyint(real(c, 3))});
        break;
    case OpArc: {
        const Point start = point(cell(c, 2), cell(c, 3));
        penUpMove(start);
        trace_.end();
        const double sweep = printed(real(c, 7), 7);
        const double a = std::atan2(start.y - p0.y, start.x - p0.x) + sweep * std::numbers::pi / 180;
        const double r = std::hypot(start.x - p0.x, start.y - p0.y);
        const Point end{p0.x + r * std::cos(a), p0.y + r * std::sin(a)};
        d_.elements.emplace_back(Arc{ink(), p0, start, end, sweep, std::nearbyint(real(c, 8))});
        at_ = end;
        break;
    }
    case OpTextStyle:
        trace_.end();
        style_.direction = {printed(real(c, 7), 4), printed(real(c, 6), 4)};
        style_.cellWidthMm = printed(real(c, 3) / 10 * 2 / 3, 4) * 10 * 1.5;
        style_.heightMm = printed(real(c, 2) / 10, 4) * 10;
        style_.slant = printed(real(c, 8), 3);
        break;
    case OpLabel: {
        penUpMove(p0);
        trace_.end();
        const std::string text(c.text.begin(), std::find(c.text.begin(), c.text.end(), 0));
        d_.elements.emplace_back(Label{ink(), p0, text, {style_.cellWidthMm, style_.heightMm},
                                       style_.direction, style_.slant, style_.symbolSet, style_.typeface});
        // The device leaves the pen after the last character cell.
        const double length = std::hypot(style_.direction.x, style_.direction.y);
        const double advance = static_cast<double>(text.size()) * style_.cellWidthMm * kUnitsPerMm;
        at_ = {at_.x + advance * style_.direction.x / length, at_.y + advance * style_.direction.y / length};
        break;
    }
    case OpPolygonBegin:
        penUpMove(p0);
        trace_.end();
        polygon_ = true;
        rings_.assign(1, {p0});
        penUp_ = false;
        break;
    case OpPolygonNext:
        rings_.push_back({});
        moveTo(p0, false);
        penUp_ = false;
        break;
    case OpPolygonFill: {
        polygon_ = false;
        Polygon polygon{ink(), fill_, {}};
        std::copy_if(rings_.begin(), rings_.end(), std::back_inserter(polygon.rings),
                     [](const auto &ring) { return ring.size() >= 2; });
        d_.elements.emplace_back(std::move(polygon));
        penUp_ = true;
        break;
    }
    case OpFillType: fill_ = {10, static_cast<double>(cell(c, 0))}; break;
    case OpFont:
        style_.typeface = cell(c, 0) != 0 ? cell(c, 2) : style_.typeface;
        style_.symbolSet = cell(c, 1) != 0 ? cell(c, 3) : style_.symbolSet;
        break;
    case OpRasterBegin: {
        penUpMove(p0);
        trace_.end();
        std::size_t end = i + 1;
        while (end < calls.size() && calls[end].request.op == OpRasterRow) {
            ++end;
        }
        image(calls, i, end);
        if (end < calls.size() && (calls[end].request.flags & FlagHaltAfterRaster) != 0) {
            halted_ = true;
        }
        return end;
    }
    default: break;
    }
    return i;
}

} // namespace

Drawing expectedHpgl2(const std::vector<host::PlotCall> &calls) { return Hpgl2Oracle().run(calls); }

} // namespace drv::test
