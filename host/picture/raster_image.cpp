#include "host/picture/raster_image.h"

#include <optional>

#include "host/job/row_layout.h"
#include "host/picture/palette_quantiser.h"

namespace drv::host {

RasterRows packImage(const RgbImage &image, std::int32_t depth) {
    RasterRows out;
    const auto bits = static_cast<unsigned>(depth);
    std::optional<PaletteMapper> mapper;
    if (depth < 16) {
        out.palette = choosePalette(image, std::size_t{1} << bits);
        mapper.emplace(out.palette);
    }
    out.rows.reserve(image.height);
    for (std::size_t y = 0; y < image.height; ++y) {
        std::vector<std::uint8_t> row(packedRowBytes(image.width, depth), 0);
        for (std::size_t x = 0; x < image.width; ++x) {
            const Rgb c = image.at(x, y);
            if (depth == 32) {
                row[4 * x + 1] = c.red;
                row[4 * x + 2] = c.green;
                row[4 * x + 3] = c.blue;
            } else if (depth == 16) {
                const unsigned word = (c.red >> 3u) << 10u | (c.green >> 3u) << 5u | (c.blue >> 3u);
                row[2 * x] = static_cast<std::uint8_t>(word & 0xFFu);
                row[2 * x + 1] = static_cast<std::uint8_t>(word >> 8u);
            } else {
                // Pixel x sits in byte x * depth / 8, the first pixel of each
                // byte in its high bits.
                const std::size_t bit = x * bits;
                const unsigned shift = 8u - bits - static_cast<unsigned>(bit % 8);
                row[bit / 8] =
                    static_cast<std::uint8_t>(row[bit / 8] | mapper->indexOf(c) << shift);
            }
        }
        out.rows.push_back(std::move(row));
    }
    return out;
}

} // namespace drv::host
