// Rows shaped where the row formats have their corners, from a seeded
// generator: runs and literal stretches of lengths around 128 and the
// offset steps, lone pairs inside literals, two-value noise, repeats of
// earlier stretches; and seed rows that differ from a row in stretches of
// 1 to 20 bytes with gaps around the offset steps (31, 286, 541),
// everywhere, or nowhere. Shared by the round-trip tests and the
// differential fuzz target.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <random>
#include <vector>

namespace drv::test {

inline constexpr std::size_t kShapeEdges[] = {
    1,   2,   3,   4,   7,   8,   9,   15,  16,  17,  29,  30,  31,  32,  127, 128, 129,
    130, 131, 255, 256, 257, 284, 285, 286, 287, 383, 384, 385, 539, 540, 541, 542};

class RowShapes {
public:
    using Bytes = std::vector<std::uint8_t>;

    explicit RowShapes(std::uint64_t seed) : engine_(seed) {}

    std::size_t below(std::size_t limit) { return limit == 0 ? 0 : engine_() % limit; }
    std::uint8_t byte() { return static_cast<std::uint8_t>(engine_()); }
    std::size_t length() {
        return below(3) == 0 ? 1 + below(300) : kShapeEdges[below(std::size(kShapeEdges))];
    }

    Bytes row(std::size_t size) {
        Bytes row;
        while (row.size() < size) {
            const std::size_t n = length();
            switch (below(6)) {
            case 0:
                row.insert(row.end(), n, byte());
                break;
            case 1:  // pairs, as dithering makes them
                for (std::size_t i = 0; i < n; ++i) {
                    row.insert(row.end(), 2, byte());
                }
                break;
            case 2:
                for (std::size_t i = 0; i < n; ++i) {
                    row.push_back(byte());
                }
                break;
            case 3: {  // two values, so that short runs come and go
                const std::uint8_t a = byte();
                const std::uint8_t b = byte();
                for (std::size_t i = 0; i < n; ++i) {
                    row.push_back(below(2) == 0 ? a : b);
                }
                break;
            }
            case 4:
                if (!row.empty()) {
                    const std::size_t from = below(row.size());
                    const Bytes copy(row.begin() + static_cast<std::ptrdiff_t>(from), row.end());
                    row.insert(row.end(), copy.begin(),
                               copy.begin() +
                                   static_cast<std::ptrdiff_t>(std::min(n, copy.size())));
                }
                break;
            default:
                row.push_back(byte());
                break;
            }
        }
        row.resize(size);
        return row;
    }

    Bytes changed(const Bytes &row) {
        Bytes seed = row;
        switch (below(8)) {
        case 0:
            return seed;
        case 1:
            for (std::uint8_t &b : seed) {
                b = static_cast<std::uint8_t>(b + 1 + below(255));
            }
            return seed;
        case 2:
            return this->row(row.size());
        default:
            break;
        }
        std::size_t p = below(2) == 0 ? 0 : length();
        while (p < seed.size()) {
            for (std::size_t end = p + 1 + below(20); p < end && p < seed.size(); ++p) {
                seed[p] = static_cast<std::uint8_t>(seed[p] + 1 + below(255));
            }
            p += below(2) == 0 ? below(4) : length();
        }
        return seed;
    }

private:
    std::mt19937_64 engine_;
};

}  // namespace drv::test
