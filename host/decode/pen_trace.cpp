#include "host/decode/pen_trace.h"

namespace drv::decode {

void appendDistinct(std::vector<Point> &points, Point p) {
    if (points.empty() || !(points.back() == p)) {
        points.push_back(p);
    }
}

void PenTrace::move(Point from, Point to, bool down, const Ink &ink) {
    if (!down) {
        open_ = false;
        return;
    }
    if (open_ && !out_.empty()) {
        auto *stroke = std::get_if<Stroke>(&out_.back());
        if (stroke != nullptr && stroke->ink == ink && stroke->points.back() == from) {
            appendDistinct(stroke->points, to);
            return;
        }
    }
    Stroke stroke{ink, {from}};
    appendDistinct(stroke.points, to);
    out_.emplace_back(std::move(stroke));
    open_ = true;
}

} // namespace drv::decode
