// Nearest-point queries over a fixed set of points from which points are
// taken away as they are used: a k-d tree that counts the points still in
// each subtree, so that searches skip the emptied parts. Building is
// O(n log n); a query is about O(log n) for the spread of points drawings
// have.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace drv::drawing {

class SpatialIndex {
public:
    struct Entry {
        double x = 0;
        double y = 0;
        std::size_t id = 0; // the caller's
    };

    explicit SpatialIndex(std::vector<Entry> entries);

    bool empty() const { return alive_.empty() || alive_[root()] == 0; }

    // The id of the nearest remaining point to (x, y); the index must not
    // be empty.
    std::size_t nearest(double x, double y) const;

    // Takes the point with this id out (no effect when already out).
    void remove(std::size_t id);

private:
    std::size_t root() const { return (entries_.size() - 1) / 2; }
    void build(std::size_t lo, std::size_t hi, int axis);
    void search(std::size_t lo, std::size_t hi, int axis, double x, double y, double &best,
                std::size_t &bestAt) const;

    std::vector<Entry> entries_;
    std::vector<std::uint32_t> alive_;   // per node (its median's slot): points left in its subtree
    std::vector<bool> present_;          // per slot
    std::vector<std::size_t> slotOf_;    // per id
};

} // namespace drv::drawing
