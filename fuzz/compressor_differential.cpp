// The driver's row compressors, every scanner the build has, against the
// byte-at-a-time rules on structured random rows: the same result and, when
// they do not give up, the same bytes.
//
// The input seeds a generator (and its first bytes pick the row's shape),
// so that every input, mutated or not, makes a row of the kinds where the
// formats have their corners: runs and literal stretches of lengths around
// 128, lone pairs inside literals, two-value noise, repeats of earlier
// stretches; and a seed row that differs from it in stretches of 1 to 20
// bytes with gaps around the offset steps (31, 286, 541), everywhere, or
// nowhere. Row and seed end where their heap blocks end (the sanitizer
// watches the next byte) and start at any offset of a 64-byte line.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "tests/compressors/differential.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMaxRow = 4096;
constexpr std::size_t kEdges[] = {1,   2,   3,   4,   7,   8,   9,   15,  16,  17,  29,  30, 31,
                                  32,  127, 128, 129, 130, 131, 255, 256, 257, 284, 285, 286,
                                  287, 383, 384, 385, 539, 540, 541, 542};

class Shapes {
public:
    explicit Shapes(std::uint64_t seed) : engine_(seed) {}

    std::size_t below(std::size_t limit) { return limit == 0 ? 0 : engine_() % limit; }
    std::uint8_t byte() { return static_cast<std::uint8_t>(engine_()); }
    std::size_t length() {
        return below(3) == 0 ? 1 + below(300) : kEdges[below(std::size(kEdges))];
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

    Bytes seed(const Bytes &row) {
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

// A copy of `bytes` that ends where its heap block ends, `offset` bytes in.
struct Placed {
    Placed(const Bytes &bytes, std::size_t offset)
        : block(new std::uint8_t[offset + bytes.size() + (bytes.empty() ? 1 : 0)]),
          data(block.get() + offset) {
        std::copy(bytes.begin(), bytes.end(), data);
    }
    std::unique_ptr<std::uint8_t[]> block;
    std::uint8_t *data;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    std::uint64_t seed = 0xCBF29CE484222325ull;  // FNV-1a over the input
    for (std::size_t i = 0; i < size; ++i) {
        seed = (seed ^ data[i]) * 0x100000001B3ull;
    }
    Shapes shapes(seed);
    const std::size_t length = size > 0 && data[0] < 64 ? data[0] : shapes.below(kMaxRow + 1);
    const Bytes row = shapes.row(length);
    const Bytes seedRow = shapes.seed(row);
    const Placed placedRow(row, shapes.below(64));
    const Placed placedSeed(seedRow, shapes.below(64));
    const std::string mismatch = drv::test::differentialMismatch(
        placedRow.data, placedSeed.data, length, shapes.below(64));
    if (!mismatch.empty()) {
        std::fprintf(stderr, "%s\n", mismatch.c_str());
    }
    FUZZ_CHECK(mismatch.empty());
    return 0;
}
