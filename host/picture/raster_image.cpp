#include "host/picture/raster_image.h"

#include "host/job/row_layout.h"
#include "host/picture/palette_quantiser.h"

namespace drv::host {

RasterRows packImage(const RgbImage &image, std::int32_t depth) {
    RasterRows out;
    const auto bits = static_cast<unsigned>(depth);
    // Indexed depths: each distinct colour is mapped to its entry once, and
    // each pixel then takes the entry of its colour's ordinal.
    ColourCensus census;
    std::vector<std::uint8_t> entryOf;
    if (depth < 16) {
        census = takeCensus(image);
        out.palette = choosePalette(census, std::size_t{1} << bits);
        entryOf = mapCensus(census, out.palette);
    }
    out.rows.reserve(image.height);
    const std::uint8_t *pixel = image.pixels.data();
    for (std::size_t y = 0; y < image.height; ++y) {
        // Room for the bytes past the last pixel that the driver reads too,
        // which the job adds.
        std::vector<std::uint8_t> row;
        row.reserve(rowReadBytes(image.width, depth));
        row.resize(packedRowBytes(image.width, depth));
        if (depth == 32) {
            for (std::size_t x = 0; x < image.width; ++x, pixel += 3) {
                row[4 * x + 1] = pixel[0];
                row[4 * x + 2] = pixel[1];
                row[4 * x + 3] = pixel[2];
            }
        } else if (depth == 16) {
            for (std::size_t x = 0; x < image.width; ++x, pixel += 3) {
                const unsigned word =
                    (pixel[0] >> 3u) << 10u | (pixel[1] >> 3u) << 5u | (pixel[2] >> 3u);
                row[2 * x] = static_cast<std::uint8_t>(word & 0xFFu);
                row[2 * x + 1] = static_cast<std::uint8_t>(word >> 8u);
            }
        } else if (depth == 8) {
            for (std::size_t x = 0; x < image.width; ++x, pixel += 3) {
                row[x] = entryOf[census.ordinal(pixel)];
            }
        } else {
            // Pixel x sits in byte x * depth / 8, the first pixel of each
            // byte in its high bits.
            for (std::size_t x = 0; x < image.width; ++x, pixel += 3) {
                const std::size_t bit = x * bits;
                const unsigned shift = 8u - bits - static_cast<unsigned>(bit % 8);
                row[bit / 8] = static_cast<std::uint8_t>(
                    row[bit / 8] | entryOf[census.ordinal(pixel)] << shift);
            }
        }
        out.rows.push_back(std::move(row));
    }
    return out;
}

} // namespace drv::host
