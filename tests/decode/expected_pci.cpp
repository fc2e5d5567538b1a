#include "tests/decode/expected_drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <numbers>
#include <string>

#include "host/decode/default_pens.h"
#include "host/decode/pen_trace.h"
#include "tests/decode/expected_cells.h"

namespace drv::test {
namespace {

using namespace drv::decode;
using namespace drv::test::cells;

class PciOracle {
public:
    Drawing run(const std::vector<host::PlotCall> &calls);

private:
    Ink ink() const { return {pen_, kDefaultPenWidthMm, defaultPenColor(pen_)}; }
    void moveTo(std::int64_t x, std::int64_t y, bool down) {
        trace_.move(point(static_cast<double>(x_), static_cast<double>(y_)),
                    point(static_cast<double>(x), static_cast<double>(y)), down, ink());
        x_ = x;
        y_ = y;
    }

    Drawing d_;
    PenTrace trace_{d_.elements};
    std::int64_t x_ = 0;
    std::int64_t y_ = 0;
    bool down_ = false;
    int pen_ = 1;
    std::int64_t height_ = 0, ratio_ = 16, dirX_ = 32767, dirY_ = 0, slant_ = 0;
    int symbolSet_ = -1;
};

Drawing PciOracle::run(const std::vector<host::PlotCall> &calls) {
    for (const host::PlotCall &c : calls) {
        const auto x = static_cast<std::int64_t>(cell(c, 0));
        const auto y = static_cast<std::int64_t>(cell(c, 1));
        switch (c.request.op) {
        case OpBeginJob: symbolSet_ = 1; break;
        case OpSelectPen:
            trace_.end();
            pen_ = (c.request.flags & FlagAltPenSelect) != 0 ? cell(c, 0) : (cell(c, 0) & 0xFF);
            break;
        case OpPenUp:
            down_ = false;
            trace_.end();
            break;
        case OpPenDown: down_ = true; break;
        case OpPlot: moveTo(x, y, down_); break;
        case OpCircle: {
            const std::int64_t r = cell(c, 2);
            moveTo(x - r, y, down_);
            down_ = true;
            trace_.end();
            d_.elements.emplace_back(Circle{ink(), point(static_cast<double>(x), static_cast<double>(y)),
                                            static_cast<double>(std::llabs(r)), -1});
            break;
        }
        case OpArc: {
            down_ = false;
            const Point center = point(x, y);
            const Point start = point(cell(c, 2), cell(c, 3));
            const Point end = point(cell(c, 4), cell(c, 5));
            moveTo(cell(c, 2), cell(c, 3), false);
            double sweep = (std::atan2(end.y - center.y, end.x - center.x) -
                            std::atan2(start.y - center.y, start.x - center.x)) * 180 / std::numbers::pi;
            while (sweep <= 1e-9) {
                sweep += 360;
            }
            d_.elements.emplace_back(Arc{ink(), center, start, end, sweep, -1});
            x_ = cell(c, 4);
            y_ = cell(c, 5);
            break;
        }
        case OpTextStyle:
            height_ = cell(c, 0);
            ratio_ = std::clamp<std::int64_t>(std::int64_t{cell(c, 1)} * 16 / cell(c, 0), 1, 127);
            dirX_ = static_cast<std::int64_t>(real(c, 7) * 32767);
            dirY_ = static_cast<std::int64_t>(real(c, 6) * 32767);
            slant_ = std::clamp<std::int64_t>(static_cast<std::int64_t>(real(c, 8) * 128), -127, 127);
            break;
        case OpLabel: {
            moveTo(x, y, down_);
            trace_.end();
            std::string text(c.text.begin(), std::find(c.text.begin(), c.text.end(), 0));
            text.resize(std::min<std::size_t>(text.size(), 77));
            const double h = static_cast<double>(height_) / kUnitsPerMm;
            d_.elements.emplace_back(Label{ink(), point(x, y), text,
                                           {h * static_cast<double>(ratio_) / 16, h},
                                           {static_cast<double>(dirX_) / 32767, static_cast<double>(dirY_) / 32767},
                                           static_cast<double>(slant_) / 128, symbolSet_, -1});
            const std::int64_t w = height_ * ratio_ / 16;
            const auto n = static_cast<std::int64_t>(text.size());
            x_ += n * (dirX_ * w / 32768);
            y_ += n * (dirY_ * w / 32768);
            break;
        }
        case OpFont:
            if (cell(c, 1) != 0) {
                symbolSet_ = cell(c, 3) & 0xFF;
            }
            break;
        default: break;
        }
    }
    trace_.end();
    return std::move(d_);
}

} // namespace

Drawing expectedPci(const std::vector<host::PlotCall> &calls) { return PciOracle().run(calls); }

} // namespace drv::test
