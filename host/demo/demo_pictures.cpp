#include "host/demo/demo_pictures.h"

#include <cstdint>

namespace drv::host {
namespace {

constexpr Rgb kInk{0x1B, 0x2A, 0x49};
constexpr Rgb kPaper{0xFF, 0xFF, 0xFF};

// Sixteen colours for the tiles: the corners of the RGB cube, their halves
// and two greys.
constexpr Rgb kTileColours[16] = {
    {0x00, 0x00, 0x00}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0x00, 0x00, 0xFF},
    {0xFF, 0xFF, 0x00}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
    {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x00, 0x00, 0x80}, {0x80, 0x80, 0x00},
    {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0x40, 0x40, 0x40}, {0xC0, 0xC0, 0xC0},
};

template <typename Paint> RgbImage paint(std::size_t width, std::size_t height, Paint colourAt) {
    RgbImage image;
    image.width = width;
    image.height = height;
    image.pixels.reserve(width * height * 3);
    for (std::size_t y = 0; y < height; ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            const Rgb c = colourAt(x, y);
            image.pixels.insert(image.pixels.end(), {c.red, c.green, c.blue});
        }
    }
    return image;
}

std::uint8_t ramp(std::size_t value, std::size_t range) {
    return static_cast<std::uint8_t>(value * 255 / range);
}

} // namespace

std::vector<DemoPicture> demoPictures() {
    std::vector<DemoPicture> pictures;
    pictures.push_back({"rings.png", paint(96, 64, [](std::size_t x, std::size_t y) {
                            const long dx = static_cast<long>(x) - 48;
                            const long dy = static_cast<long>(y) - 32;
                            return (dx * dx + dy * dy) / 64 % 2 == 0 ? kInk : kPaper;
                        })});
    pictures.push_back({"tiles.png", paint(64, 64, [](std::size_t x, std::size_t y) {
                            return kTileColours[(y / 16) * 4 + x / 16];
                        })});
    pictures.push_back({"sky.png", paint(96, 48, [](std::size_t x, std::size_t y) {
                            return Rgb{ramp(x, 95), ramp(y, 47), ramp(95 - x + 47 - y, 142)};
                        })});
    return pictures;
}

} // namespace drv::host
