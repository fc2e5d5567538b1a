#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/job/row_layout.h"
#include "host/picture/palette_quantiser.h"
#include "host/picture/raster_image.h"

namespace {

using namespace drv::host;

RgbImage picture(std::size_t width, std::size_t height, const std::vector<Rgb> &pixels) {
    RgbImage image;
    image.width = width;
    image.height = height;
    for (const Rgb &p : pixels) {
        image.pixels.insert(image.pixels.end(), {p.red, p.green, p.blue});
    }
    return image;
}

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlue{0, 0, 255};

struct PackCase {
    int line;
    std::int32_t depth;
    std::vector<std::uint8_t> row;
};

// One row red, green, blue, white, red: palette order is first appearance
// (red 0, green 1, blue 2, white 3) for the indexed depths.
const PackCase kPacked[] = {
    {__LINE__, 2, {0b00011011, 0b00000000}},
    {__LINE__, 4, {0x01, 0x23, 0x00}},
    {__LINE__, 8, {0, 1, 2, 3, 0}},
    // 5-5-5 words, low byte first: red 0x7C00, green 0x03E0, blue 0x001F
    {__LINE__, 16, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0xFF, 0x7F, 0x00, 0x7C}},
    {__LINE__, 32, {0, 255, 0, 0, 0, 0, 255, 0, 0, 0, 0, 255, 0, 255, 255, 255, 0, 255, 0, 0}},
};

TEST(RasterImage, PacksRowsAsTheLayoutsSay) {
    const RgbImage image = picture(5, 1, {kRed, kGreen, kBlue, kWhite, kRed});
    for (const PackCase &c : kPacked) {
        SCOPED_TRACE(c.line);
        const RasterRows rows = packImage(image, c.depth);
        ASSERT_EQ(rows.rows.size(), 1u);
        EXPECT_EQ(rows.rows[0], c.row);
        EXPECT_EQ(rows.rows[0].size(), packedRowBytes(5, c.depth));
        if (c.depth < 16) {
            EXPECT_EQ(rows.palette, (std::vector<Rgb>{kRed, kGreen, kBlue, kWhite}));
        } else {
            EXPECT_TRUE(rows.palette.empty());
        }
    }
}

TEST(RasterImage, DepthOnePacksEightPixelsPerByteFirstInBitSeven) {
    std::vector<Rgb> pixels(10, kWhite);
    pixels[0] = pixels[9] = kBlack;
    const RasterRows rows = packImage(picture(10, 1, pixels), 1);
    EXPECT_EQ(rows.palette, (std::vector<Rgb>{kBlack, kWhite}));
    EXPECT_EQ(rows.rows[0], (std::vector<std::uint8_t>{0x7F, 0x80}));
}

TEST(RasterImage, QuantisesManyColoursToNearbyOnes) {
    // A grey ramp of 64 levels into 4 entries: every pixel lands on an
    // entry within a quarter of the ramp.
    std::vector<Rgb> ramp;
    for (int i = 0; i < 64; ++i) {
        const auto v = static_cast<std::uint8_t>(i * 4);
        ramp.push_back({v, v, v});
    }
    const RgbImage image = picture(64, 1, ramp);
    const std::vector<Rgb> palette = choosePalette(image, 4);
    ASSERT_EQ(palette.size(), 4u);
    PaletteMapper mapper(palette);
    for (const Rgb &c : ramp) {
        const Rgb chosen = palette[mapper.indexOf(c)];
        EXPECT_LE(std::abs(chosen.red - c.red), 32) << int(c.red);
    }
}

TEST(RasterImage, ReadBytesCoverWholePlaneGroups) {
    EXPECT_EQ(rowReadBytes(10, 1), 2u);
    EXPECT_EQ(rowReadBytes(1, 8), 8u);
    EXPECT_EQ(rowReadBytes(9, 2), 4u);
    EXPECT_EQ(rowReadBytes(3, 16), 6u);
    EXPECT_EQ(rowReadBytes(3, 32), 12u);
}

} // namespace
