// Deterministic raster rows for the benchmarks, drawn the way plots look:
//  - an A0 sheet (841 x 1189 mm) at 600 dpi, 19,866 pixels a row: a framed
//    CAD drawing with a title block, hatched areas, circles, dimension lines
//    and text, as 1-bit plane rows (2,484 bytes) or RGB rows (59,598 bytes,
//    coloured lines on white);
//  - a photograph-like picture of smooth shapes, ordered-dithered to 1 bit
//    with and without film grain, or as RGB with grain;
//  - a smooth RGB gradient; and random bytes.
// Row y of each is the same on every run and every machine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace drv::bench {

using Bytes = std::vector<std::uint8_t>;

constexpr std::int32_t kSheetWidth = 19866;   // 841 mm at 600 dpi
constexpr std::int32_t kSheetHeight = 28087;  // 1189 mm at 600 dpi
constexpr std::size_t kPlaneBytes = (kSheetWidth + 7) / 8;
constexpr std::size_t kRgbBytes = 3 * static_cast<std::size_t>(kSheetWidth);

// Row y of the CAD sheet: 1 bit per pixel, first pixel in bit 7.
Bytes cadPlaneRow(std::int32_t y);
// Row y of the CAD sheet in colour: red, green, blue per pixel.
Bytes cadRgbRow(std::int32_t y);
// Row y of the picture, dithered with an 8 x 8 ordered matrix.
Bytes ditheredPlaneRow(std::int32_t y, bool grain);
// Row y of the picture with grain, red, green, blue per pixel.
Bytes photoRgbRow(std::int32_t y);
// Row y of a gradient over the sheet: red across, green down, blue along
// the diagonal.
Bytes gradientRgbRow(std::int32_t y);
// `length` bytes from a fixed-seed generator; `y` picks the stream.
Bytes randomRow(std::size_t length, std::int32_t y);

// `count` rows spread evenly over the sheet's height.
template <typename Make>
std::vector<Bytes> sampleRows(std::size_t count, Make make) {
    std::vector<Bytes> rows;
    for (std::size_t k = 0; k < count; ++k) {
        rows.push_back(make(static_cast<std::int32_t>((2 * k + 1) * kSheetHeight / (2 * count))));
    }
    return rows;
}

// 32 bits per pixel (one ignored byte, then red, green, blue) from RGB.
Bytes toDirect32(const Bytes &rgb);

}  // namespace drv::bench
