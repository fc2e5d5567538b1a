// PackBits over any row: the output fits a destination of exactly the row's
// length (the sanitizer watches its end), stays within the stated bound, is
// shorter than the row unless the compressor gave up, and decodes back to
// the row.
#include <cstdint>
#include <cstring>
#include <memory>

#include "fuzz/fuzz_check.h"
#include "plotters/quillane/packbits.h"
#include "tests/compressors/pcl_decoders.h"

namespace {
constexpr std::size_t kMaxRow = 1 << 20;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drv::quillane;
    if (size > kMaxRow) {
        return 0;
    }
    const auto length = static_cast<std::int32_t>(size);
    std::unique_ptr<std::uint8_t[]> destination(new std::uint8_t[size]);
    const std::int32_t result = compressPackBits(destination.get(), data, length);
    if (size == 0) {
        FUZZ_CHECK(result == 0);
        return 0;
    }
    if (result == kCompressGaveUp) {
        return 0;
    }
    FUZZ_CHECK(result >= 0 && result < length);
    FUZZ_CHECK(result <= packBitsBound(length));

    std::unique_ptr<std::uint8_t[]> decoded(new std::uint8_t[size]);
    const std::int64_t decodedLength = drv::test::decodePackBits(
        destination.get(), static_cast<std::size_t>(result), decoded.get(), size);
    FUZZ_CHECK(decodedLength == length);
    FUZZ_CHECK(std::memcmp(decoded.get(), data, size) == 0);
    return 0;
}
