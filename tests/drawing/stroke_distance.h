// How far one set of strokes strays from another, both ways, with the
// segments bucketed in a grid so that large drawings measure quickly.
#pragma once

#include <cmath>
#include <limits>
#include <unordered_map>
#include <vector>

#include "host/drawing/geometry/point.h"

namespace drv::drawing::testing {

class SegmentGrid {
public:
    SegmentGrid(const std::vector<std::vector<Point>> &strokes, double cell) : cell_(cell) {
        for (const std::vector<Point> &s : strokes) {
            for (std::size_t i = 0; i + 1 < s.size(); ++i) {
                add(s[i], s[i + 1]);
            }
            if (s.size() == 1) {
                add(s[0], s[0]);
            }
        }
    }

    // The distance from `p` to the nearest segment, looking no further
    // than `reach` (beyond it: infinity).
    double distance(Point p, double reach) const {
        double best = std::numeric_limits<double>::infinity();
        const long r = static_cast<long>(std::ceil(reach / cell_));
        const long cx = cellOf(p.x);
        const long cy = cellOf(p.y);
        for (long x = cx - r; x <= cx + r; ++x) {
            for (long y = cy - r; y <= cy + r; ++y) {
                const auto found = cells_.find(key(x, y));
                if (found == cells_.end()) {
                    continue;
                }
                for (const std::size_t s : found->second) {
                    best = std::min(best, distanceToSegment(p, segments_[s].first, segments_[s].second));
                }
            }
        }
        return best;
    }

private:
    long cellOf(double v) const { return static_cast<long>(std::floor(v / cell_)); }
    static long long key(long x, long y) { return (static_cast<long long>(x) << 32) ^ (y & 0xFFFFFFFF); }

    void add(Point a, Point b) {
        const std::size_t index = segments_.size();
        segments_.push_back({a, b});
        for (long x = cellOf(std::min(a.x, b.x)); x <= cellOf(std::max(a.x, b.x)); ++x) {
            for (long y = cellOf(std::min(a.y, b.y)); y <= cellOf(std::max(a.y, b.y)); ++y) {
                cells_[key(x, y)].push_back(index);
            }
        }
    }

    double cell_;
    std::vector<std::pair<Point, Point>> segments_;
    std::unordered_map<long long, std::vector<std::size_t>> cells_;
};

// The largest distance from a point on `from` (sampled every `step`) to
// `to`; infinity when some point has nothing within `reach`.
inline double strayDistance(const std::vector<std::vector<Point>> &from, const std::vector<std::vector<Point>> &to,
                            double step, double reach) {
    const SegmentGrid grid(to, 20);
    double worst = 0;
    for (const std::vector<Point> &s : from) {
        for (std::size_t i = 0; i < s.size(); ++i) {
            const Point b = i + 1 < s.size() ? s[i + 1] : s[i];
            const int n = std::max(1, static_cast<int>(length(b - s[i]) / step));
            for (int k = 0; k < n; ++k) {
                worst = std::max(worst, grid.distance(s[i] + (b - s[i]) * (static_cast<double>(k) / n), reach));
            }
        }
    }
    return worst;
}

} // namespace drv::drawing::testing
