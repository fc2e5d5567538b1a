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
#include "tests/compressors/row_shapes.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kMaxRow = 4096;

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
    drv::test::RowShapes shapes(seed);
    const std::size_t length = size > 0 && data[0] < 64 ? data[0] : shapes.below(kMaxRow + 1);
    const Bytes row = shapes.row(length);
    const Bytes seedRow = shapes.changed(row);
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
