#include "host/decode/pcl_pixels.h"

namespace drv::decode {

int planeCount(const PclState &raster) {
    if (!raster.configured) {
        return 1;
    }
    switch (raster.encoding) {
    case 0: return raster.bitsPerIndex;
    case 2: return 3;
    default: return 1;
    }
}

std::size_t planeLength(const PclState &raster, int imageColumns) {
    const auto columns = static_cast<std::size_t>(imageColumns);
    if (!raster.configured || raster.encoding == 0 || raster.encoding == 2) {
        return (columns + 7) / 8;
    }
    if (raster.encoding == 1) {
        return (columns * static_cast<std::size_t>(raster.bitsPerIndex) + 7) / 8;
    }
    return columns * 3;
}

Rgb pixelAt(const PclState &raster, const std::vector<std::vector<std::uint8_t>> &planes,
            const std::vector<Rgb> &palette, int column) {
    const auto c = static_cast<std::size_t>(column);
    const auto bit = [&](std::size_t plane, std::size_t index) {
        return (planes[plane][index / 8] >> (7 - index % 8)) & 1;
    };
    std::size_t index = 0;
    if (!raster.configured) {
        return bit(0, c) ? Rgb{0, 0, 0} : Rgb{255, 255, 255};
    }
    switch (raster.encoding) {
    case 0:
        for (std::size_t p = 0; p < planes.size(); ++p) {
            index |= static_cast<std::size_t>(bit(p, c)) << p;
        }
        break;
    case 1: {
        const auto bits = static_cast<std::size_t>(raster.bitsPerIndex);
        for (std::size_t k = 0; k < bits; ++k) {
            index = index << 1 | static_cast<std::size_t>(bit(0, c * bits + k));
        }
        break;
    }
    case 2: {
        Rgb rgb{static_cast<std::uint8_t>(bit(0, c) ? 255 : 0),
                static_cast<std::uint8_t>(bit(1, c) ? 255 : 0),
                static_cast<std::uint8_t>(bit(2, c) ? 255 : 0)};
        return raster.colorSpace == 1 ? Rgb{static_cast<std::uint8_t>(255 - rgb.red),
                                            static_cast<std::uint8_t>(255 - rgb.green),
                                            static_cast<std::uint8_t>(255 - rgb.blue)}
                                      : rgb;
    }
    default: {
        const std::uint8_t *p = &planes[0][c * 3];
        return raster.colorSpace == 1 ? Rgb{static_cast<std::uint8_t>(255 - p[0]),
                                            static_cast<std::uint8_t>(255 - p[1]),
                                            static_cast<std::uint8_t>(255 - p[2])}
                                      : Rgb{p[0], p[1], p[2]};
    }
    }
    return palette.empty() ? Rgb{} : palette[index % palette.size()];
}

} // namespace drv::decode
