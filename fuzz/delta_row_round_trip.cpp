// Delta row over any seed and row: the output fits a destination of exactly
// the row's length (the sanitizer watches its end), stays within the stated
// bound, and applied to the seed gives the row.
//
// Input: one mode byte, then the seed and a second half of the same length.
// With an odd mode byte the row is seed XOR second half, so that zero bytes
// (which mutations produce often) mean unchanged bytes and the row differs
// from its seed sparsely, as real image rows do; otherwise the second half
// is the row itself.
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_check.h"
#include "plotters/quillane/delta_row.h"
#include "tests/compressors/pcl_decoders.h"

namespace {
constexpr std::size_t kMaxRow = 1 << 20;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drv::quillane;
    if (size == 0 || size > 2 * kMaxRow + 1) {
        return 0;
    }
    const bool sparse = (data[0] & 1) != 0;
    const std::size_t rowSize = (size - 1) / 2;
    const auto length = static_cast<std::int32_t>(rowSize);
    const std::uint8_t *half = data + 1 + rowSize;

    std::unique_ptr<std::uint8_t[]> seed(new std::uint8_t[rowSize]);
    std::unique_ptr<std::uint8_t[]> row(new std::uint8_t[rowSize]);
    std::unique_ptr<std::uint8_t[]> destination(new std::uint8_t[rowSize]);
    for (std::size_t i = 0; i < rowSize; ++i) {
        seed[i] = data[1 + i];
        row[i] = sparse ? static_cast<std::uint8_t>(seed[i] ^ half[i]) : half[i];
    }
    const std::int32_t result = compressDeltaRow(destination.get(), row.get(), length, seed.get());
    if (result == kCompressGaveUp) {
        return 0;
    }
    FUZZ_CHECK(result >= 0 && result <= deltaRowBound(length));

    // The device's seed row after decoding must be the row.
    const auto count = static_cast<std::size_t>(result);
    FUZZ_CHECK(drv::test::applyDeltaRow(destination.get(), count, seed.get(), rowSize));
    FUZZ_CHECK(rowSize == 0 || std::memcmp(seed.get(), row.get(), rowSize) == 0);
    return 0;
}
