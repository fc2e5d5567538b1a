// The host's PNG reader on arbitrary files, as a job's Image lines give it
// any file a person names.
//
// Checked: a picture read is width x height pixels of three bytes, within
// the side and pixel limits; a refused one has a reason; reading the same
// bytes again gives the same picture. Pictures of more than 2^20 pixels are
// refused before their rows are read, so that a header claiming a large
// picture costs no memory here.
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "host/picture/png_file.h"

namespace {

constexpr std::size_t kFuzzPixels = std::size_t{1} << 20;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using drv::host::RgbImage;
    RgbImage image;
    std::string error;
    if (!drv::host::readPngBytes(data, size, image, error, kFuzzPixels)) {
        FUZZ_CHECK(!error.empty());
        return 0;
    }
    FUZZ_CHECK(image.width > 0 && image.height > 0);
    FUZZ_CHECK(image.width <= drv::host::kMaxPictureSide && image.height <= drv::host::kMaxPictureSide);
    FUZZ_CHECK(image.width * image.height <= kFuzzPixels);
    FUZZ_CHECK(image.pixels.size() == image.width * image.height * 3);
    RgbImage again;
    FUZZ_CHECK(drv::host::readPngBytes(data, size, again, error, kFuzzPixels));
    FUZZ_CHECK(again.pixels == image.pixels);
    return 0;
}
