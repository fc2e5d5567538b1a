#include "host/drawing/planning/path_joiner.h"

#include <cmath>
#include <algorithm>
#include <utility>

namespace drv::drawing {
namespace {

// Ends of the joinable paths sorted by the grid cell (one tolerance wide)
// they fall in, so that a joint is found by looking at the nine cells
// around an end.
class EndGrid {
public:
    explicit EndGrid(double cell) : cell_(std::max(cell, 1.0)) {}

    void add(UnitPoint p, std::size_t end) { ends_.push_back({key(cellOf(p.x), cellOf(p.y)), end}); }
    void seal() { std::sort(ends_.begin(), ends_.end()); }

    template <typename Visit>
    void near(UnitPoint p, Visit visit) const {
        const std::int64_t cx = cellOf(p.x);
        const std::int64_t cy = cellOf(p.y);
        for (std::int64_t dx = -1; dx <= 1; ++dx) {
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const std::uint64_t k = key(cx + dx, cy + dy);
                auto it = std::lower_bound(ends_.begin(), ends_.end(), std::pair{k, std::size_t{0}});
                for (; it != ends_.end() && it->first == k; ++it) {
                    visit(it->second);
                }
            }
        }
    }

private:
    std::int64_t cellOf(std::int32_t v) const { return static_cast<std::int64_t>(std::floor(v / cell_)); }
    static std::uint64_t key(std::int64_t x, std::int64_t y) {
        return (static_cast<std::uint64_t>(x) << 32) ^ static_cast<std::uint64_t>(y & 0xFFFFFFFF);
    }

    double cell_;
    std::vector<std::pair<std::uint64_t, std::size_t>> ends_;
};

double gap(UnitPoint a, UnitPoint b) {
    return std::hypot(static_cast<double>(a.x) - b.x, static_cast<double>(a.y) - b.y);
}

bool joinable(const PlotPath &path) {
    return !path.closed && !path.arc && path.points.size() >= 2;
}

} // namespace

std::vector<PlotPath> joinPaths(std::vector<PlotPath> paths, double tolerance) {
    // End 2i is the start of path i, end 2i + 1 its finish.
    EndGrid grid(tolerance);
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (joinable(paths[i])) {
            grid.add(paths[i].entry(), 2 * i);
            grid.add(paths[i].exit(), 2 * i + 1);
        }
    }
    grid.seal();
    std::vector<bool> used(paths.size(), false);
    // The unused joinable path with an end nearest to `at` (lowest index
    // on ties, so that the result does not depend on the grid's order).
    const auto partner = [&](UnitPoint at, std::size_t self, std::size_t &end) {
        double best = 0;
        bool found = false;
        grid.near(at, [&](std::size_t candidate) {
            const std::size_t index = candidate / 2;
            if (index == self || used[index]) {
                return;
            }
            const double d = gap(at, candidate % 2 == 0 ? paths[index].entry() : paths[index].exit());
            if (d <= tolerance && (!found || d < best || (d == best && candidate < end))) {
                best = d;
                end = candidate;
                found = true;
            }
        });
        return found;
    };
    std::vector<PlotPath> out;
    for (std::size_t i = 0; i < paths.size(); ++i) {
        if (used[i]) {
            continue;
        }
        used[i] = true;
        PlotPath chain = std::move(paths[i]);
        if (joinable(chain)) {
            // Onwards from the finish, then backwards from the start.
            for (int direction = 0; direction < 2; ++direction) {
                std::size_t end = 0;
                while (partner(chain.exit(), i, end)) {
                    PlotPath &next = paths[end / 2];
                    used[end / 2] = true;
                    if (end % 2 == 1) {
                        reverse(next);
                    }
                    const bool same = next.entry() == chain.exit();
                    chain.points.insert(chain.points.end(), next.points.begin() + (same ? 1 : 0), next.points.end());
                }
                reverse(chain);
            }
        }
        out.push_back(std::move(chain));
    }
    return out;
}

} // namespace drv::drawing
