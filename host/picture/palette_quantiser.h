// Chooses at most N colours for a picture and maps each pixel to one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "host/picture/rgb_image.h"
#include "host/util/rgb.h"

namespace drv::host {

// At most `maxColours` (1..256) colours for `image`: its own distinct
// colours, in order of first appearance, when there are few enough;
// otherwise the count-weighted means of median-cut boxes.
std::vector<Rgb> choosePalette(const RgbImage &image, std::size_t maxColours);

// Nearest palette entry by squared RGB distance, remembered per colour.
class PaletteMapper {
public:
    explicit PaletteMapper(const std::vector<Rgb> &palette) : palette_(palette) {}
    std::uint8_t indexOf(Rgb colour);

private:
    const std::vector<Rgb> &palette_;
    std::unordered_map<std::uint32_t, std::uint8_t> cache_;
};

} // namespace drv::host
