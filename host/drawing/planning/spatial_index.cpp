#include "host/drawing/planning/spatial_index.h"

#include <algorithm>
#include <limits>

namespace drv::drawing {
namespace {

std::size_t middle(std::size_t lo, std::size_t hi) {
    return lo + (hi - lo - 1) / 2;
}

double coordinate(const SpatialIndex::Entry &e, int axis) {
    return axis == 0 ? e.x : e.y;
}

} // namespace

SpatialIndex::SpatialIndex(std::vector<Entry> entries) : entries_(std::move(entries)) {
    alive_.assign(entries_.size(), 0);
    present_.assign(entries_.size(), true);
    if (!entries_.empty()) {
        build(0, entries_.size(), 0);
    }
    std::size_t maxId = 0;
    for (const Entry &e : entries_) {
        maxId = std::max(maxId, e.id);
    }
    slotOf_.assign(entries_.empty() ? 0 : maxId + 1, std::numeric_limits<std::size_t>::max());
    for (std::size_t slot = 0; slot < entries_.size(); ++slot) {
        slotOf_[entries_[slot].id] = slot;
    }
}

void SpatialIndex::build(std::size_t lo, std::size_t hi, int axis) {
    if (lo >= hi) {
        return;
    }
    const std::size_t mid = middle(lo, hi);
    std::nth_element(entries_.begin() + static_cast<std::ptrdiff_t>(lo),
                     entries_.begin() + static_cast<std::ptrdiff_t>(mid),
                     entries_.begin() + static_cast<std::ptrdiff_t>(hi),
                     [axis](const Entry &a, const Entry &b) { return coordinate(a, axis) < coordinate(b, axis); });
    alive_[mid] = static_cast<std::uint32_t>(hi - lo);
    build(lo, mid, 1 - axis);
    build(mid + 1, hi, 1 - axis);
}

void SpatialIndex::search(std::size_t lo, std::size_t hi, int axis, double x, double y, double &best,
                          std::size_t &bestAt) const {
    if (lo >= hi) {
        return;
    }
    const std::size_t mid = middle(lo, hi);
    if (alive_[mid] == 0) {
        return;
    }
    const Entry &e = entries_[mid];
    if (present_[mid]) {
        const double d = (e.x - x) * (e.x - x) + (e.y - y) * (e.y - y);
        if (d < best) {
            best = d;
            bestAt = mid;
        }
    }
    const double delta = (axis == 0 ? x : y) - coordinate(e, axis);
    const bool leftFirst = delta < 0;
    if (leftFirst) {
        search(lo, mid, 1 - axis, x, y, best, bestAt);
    } else {
        search(mid + 1, hi, 1 - axis, x, y, best, bestAt);
    }
    if (delta * delta < best) {
        if (leftFirst) {
            search(mid + 1, hi, 1 - axis, x, y, best, bestAt);
        } else {
            search(lo, mid, 1 - axis, x, y, best, bestAt);
        }
    }
}

std::size_t SpatialIndex::nearest(double x, double y) const {
    double best = std::numeric_limits<double>::infinity();
    std::size_t bestAt = 0;
    search(0, entries_.size(), 0, x, y, best, bestAt);
    return entries_[bestAt].id;
}

void SpatialIndex::remove(std::size_t id) {
    if (id >= slotOf_.size() || slotOf_[id] >= entries_.size() || !present_[slotOf_[id]]) {
        return;
    }
    const std::size_t slot = slotOf_[id];
    present_[slot] = false;
    // Down from the root to the slot, counting it out of every subtree.
    std::size_t lo = 0;
    std::size_t hi = entries_.size();
    while (lo < hi) {
        const std::size_t mid = middle(lo, hi);
        --alive_[mid];
        if (slot == mid) {
            return;
        }
        if (slot < mid) {
            hi = mid;
        } else {
            lo = mid + 1;
        }
    }
}

} // namespace drv::drawing
