// PCL raster inside HP-GL/2: image configuration, palettes, each row
// compression method and the seed row as the device keeps it, placement.
#include <string>

#include <gtest/gtest.h>

#include "tests/decode/decode_cases.h"
#include "host/decode/hpgl2_decoder.h"
#include "host/decode/pcl_raster.h"

namespace {

using namespace drv;

// Pixels as letters, rows separated by '|': k black, w white, r g b, y
// yellow, c cyan, m magenta, '?' anything else.
std::string letters(const decode::Image &image) {
    std::string s;
    for (int r = 0; r < image.rows; ++r) {
        if (r > 0) {
            s += '|';
        }
        for (int c = 0; c < image.columns; ++c) {
            const std::uint8_t *p = &image.pixels[(static_cast<std::size_t>(r * image.columns + c)) * 3];
            const auto is = [&](int red, int green, int blue) { return p[0] == red && p[1] == green && p[2] == blue; };
            s += is(0, 0, 0)         ? 'k'
                 : is(255, 255, 255) ? 'w'
                 : is(255, 0, 0)     ? 'r'
                 : is(0, 255, 0)     ? 'g'
                 : is(0, 0, 255)     ? 'b'
                 : is(255, 255, 0)   ? 'y'
                 : is(0, 255, 255)   ? 'c'
                 : is(255, 0, 255)   ? 'm'
                                     : '?';
        }
    }
    return s;
}

std::string raw(std::initializer_list<int> bytes) {
    std::string s;
    for (int b : bytes) {
        s.push_back(static_cast<char>(b));
    }
    return s;
}

// Configure-image-data for an image of `encoding` and `bits` per index.
std::string cid(int encoding, int bits) { return "\x1B*v6W" + raw({0, encoding, bits, 8, 8, 8}); }
std::string row(char letter, int method, const std::string &data) {
    return "\x1B*b" + std::to_string(method) + "m" + std::to_string(data.size()) + letter + data;
}
const std::string kPalette4 = "\x1B*v255a255b255c0I\x1B*v255a0b0c1I\x1B*v0a255b0c2I\x1B*v0a0b255c3I";

struct Case {
    int line;
    std::string raster; // between "\e*r#A" and "\e*rC"
    int columns;
    std::string setup;  // before the start, after the configuration
    std::string pixels;
    std::string problem;
};

const Case kCases[] = {
    // indexed by plane, two planes a row, plane 0 the low bit
    {__LINE__, row('V', 0, raw({0x50})) + row('W', 0, raw({0x30})), 4, cid(0, 2) + kPalette4, "wrgb", ""},
    // PackBits: a repeat run and a literal run
    {__LINE__, row('W', 2, raw({0xFE, 0xFF, 0x00, 0x0F})), 32, cid(0, 1) + "\x1B*v0a0b0c1I",
     std::string(24, 'k') + "wwwwkkkk", ""},
    // delta row: the first row against a seed of zeros, the next against it
    {__LINE__, row('W', 3, raw({0x00, 0xF0})) + row('W', 3, raw({0x00, 0x0F})), 8, cid(0, 1),
     "kkkkwwww|wwwwkkkk", ""},
    // no data repeats the seed; method 0 and 2 rows become the seed too
    {__LINE__, row('W', 0, raw({0xC0})) + row('W', 3, "") + row('W', 2, raw({0x00, 0x30})) + row('W', 3, raw({0x01, 0xFF})),
     8, cid(0, 1), "kkwwwwww|kkwwwwww|wwkkwwww|wwkkwwww", ""},
    // a delta row replaces from its offset on and keeps the rest
    {__LINE__, row('W', 0, raw({0xFF, 0xFF})) + row('W', 3, raw({0x01, 0x00})), 16, cid(0, 1),
     "kkkkkkkkkkkkkkkk|kkkkkkkkwwwwwwww", ""},
    // a row shorter than the width ends in zeros; bits past it are clipped
    {__LINE__, row('W', 0, raw({0xFF})) + row('W', 0, raw({0xFF, 0xFF, 0xFF})), 12, cid(0, 1),
     "kkkkkkkkwwww|kkkkkkkkkkkk", ""},
    // the y offset clears the seed
    {__LINE__, row('W', 0, raw({0xFF})) + "\x1B*b1Y" + row('W', 3, raw({0x00, 0x0F})), 8, cid(0, 1),
     "kkkkkkkk|wwwwkkkk", ""},
    // a plane the row does not send is zero, and so is its seed
    {__LINE__, row('V', 0, raw({0xF0})) + row('W', 0, raw({0xF0})) + row('W', 0, raw({0xFF})) +
         row('V', 3, "") + row('W', 3, ""),
     8, cid(0, 2) + kPalette4, "bbbbwwww|rrrrrrrr|rrrrrrrr", ""},
    // run-length pairs
    {__LINE__, row('W', 1, raw({0x00, 0xF0, 0x01, 0x0F})), 24, cid(0, 1), "kkkkwwwwwwwwkkkkwwwwkkkk", ""},
    // direct colour by pixel, delta against the previous RGB row
    {__LINE__, row('W', 0, raw({255, 0, 0, 0, 0, 255})) + row('W', 3, raw({0x43, 255, 0, 255})), 2,
     cid(3, 8), "rb|rm", ""},
    // no configuration: one bit, 1 black
    {__LINE__, row('W', 0, raw({0xA0})), 4, "", "kwkw", ""},
    // indexed by pixel, two bits each
    {__LINE__, row('W', 0, raw({0x1B})), 4, cid(1, 2) + kPalette4, "wrgb", ""},
    // unprogrammed indices keep the configuration's default palette
    {__LINE__, row('V', 0, raw({0x40})) + row('V', 0, raw({0x20})) + row('W', 0, raw({0x10})), 4, cid(0, 3),
     "krgb", ""},
    // rows beyond the source height are clipped
    {__LINE__, row('W', 0, raw({0x80})) + row('W', 0, raw({0x80})) + row('W', 0, raw({0x80})), 1,
     "\x1B*r2T" + cid(0, 1), "k|k", ""},
    // faults
    {__LINE__, row('W', 5, raw({0x80})) + row('W', 0, raw({0x80})), 1, cid(0, 1), "w|k", "method 5 is not supported"},
    {__LINE__, row('W', 2, raw({0x03, 0xFF})), 8, cid(0, 1), "kkkkkkkk", "PackBits literal run ends early"},
    {__LINE__, row('W', 3, raw({0x1F})), 8, cid(0, 1), "wwwwwwww", "delta row offset ends early"},
};

TEST(PclRaster, EachMethodAndSeedRowRule) {
    for (const Case &c : kCases) {
        SCOPED_TRACE("line " + std::to_string(c.line));
        const std::string bytes = "PU100,200;\x1B%1A" + c.setup + "\x1B*r" + std::to_string(c.columns) +
                                  "S\x1B*r1A" + c.raster + "\x1B*rC\x1B%0B";
        const decode::Drawing drawing = decode::decodeHpgl2(test::toBytes(bytes));
        ASSERT_EQ(drawing.elements.size(), 1u) << test::elementLines(drawing);
        const auto &image = std::get<decode::Image>(drawing.elements[0]);
        EXPECT_EQ(image.columns, c.columns);
        EXPECT_EQ(letters(image), c.pixels);
        EXPECT_EQ(image.at, (decode::Point{100, 200}));
        test::expectProblems(drawing, c.problem);
    }
}

// Scale mode sizes the image by its destination in decipoints; rows run
// along +y and advance along +x, and RO turns that back in the job's axes.
TEST(PclRaster, PlacementAndRotation) {
    struct Placement {
        int line;
        std::string before;
        std::string image;
    };
    const Placement kPlacements[] = {
        {__LINE__, "PU720,360;",
         R"({"type":"image","at":[720,360],"columns":4,"rows":2,"cell":[254,127],"pixel_step":[0,127],"row_step":[254,0]})"},
        {__LINE__, "PS16000,11000;RO90;PU720,360;",
         R"({"type":"image","at":[720,360],"columns":4,"rows":2,"cell":[127,254],"pixel_step":[127,0],"row_step":[0,-254]})"},
        {__LINE__, "RO180;PU0,0;",
         R"({"type":"image","at":[0,0],"columns":4,"rows":2,"cell":[254,127],"pixel_step":[0,-127],"row_step":[-254,0]})"},
    };
    for (const Placement &p : kPlacements) {
        SCOPED_TRACE("line " + std::to_string(p.line));
        // 4 x 2 pixels on 360 x 360 decipoints: a pixel is 90 x 180 decipoints.
        const std::string bytes = p.before + "\x1B%1A\x1B*r4S\x1B*r2T\x1B*t360h360V\x1B*r3A" +
                                  row('W', 0, raw({0xF0})) + row('W', 0, raw({0x00})) + "\x1B*rC\x1B%0BPD0,0;";
        const decode::Drawing drawing = decode::decodeHpgl2(test::toBytes(bytes));
        const std::string lines = test::elementLines(drawing);
        EXPECT_NE(lines.find(p.image), std::string::npos) << lines;
        // Back in HP-GL/2 the pen is where it was.
        EXPECT_NE(lines.find(R"("points":[[)" + std::string(p.image.find("[720,360]") != std::string::npos ? "720,360" : "0,0")),
                  std::string::npos)
            << lines;
    }
}

// The image configuration makes a palette of its own; popping the pushed
// one gives the pens their colours back.
TEST(PclRaster, PalettePushAndPopKeepThePens) {
    const std::string bytes = "IN;PC1,255,0,0;\x1B%1A\x1B*p0P" + cid(0, 1) +
                              "\x1B*v0a0b255c1I\x1B*r1S\x1B*r1A" + row('W', 0, raw({0x80})) +
                              "\x1B*rC\x1B*p1P\x1B%0BPD1,1;";
    const decode::Drawing drawing = decode::decodeHpgl2(test::toBytes(bytes));
    ASSERT_EQ(drawing.elements.size(), 2u);
    EXPECT_EQ(letters(std::get<decode::Image>(drawing.elements[0])), "b");
    EXPECT_EQ(std::get<decode::Stroke>(drawing.elements[1]).ink.color, (decode::Rgb{255, 0, 0}));
}

// The configuration holds for the whole image: a new one ends it first,
// and the next rows start an image of their own.
TEST(PclRaster, ConfigurationInsideRasterEndsTheImage) {
    const std::string bytes = "\x1B%1A" + cid(0, 1) + "\x1B*r2S\x1B*r1A" + row('W', 0, raw({0x80})) + cid(3, 8) +
                              row('W', 0, raw({255, 0, 0, 0, 0, 255})) + "\x1B*rC\x1B%0B";
    const decode::Drawing drawing = decode::decodeHpgl2(test::toBytes(bytes));
    ASSERT_EQ(drawing.elements.size(), 2u);
    EXPECT_EQ(letters(std::get<decode::Image>(drawing.elements[0])), "kw");
    EXPECT_EQ(letters(std::get<decode::Image>(drawing.elements[1])), "rb");
}

// A row of no data repeats its seed: a few bytes can ask for a wide row, so
// the images of one drawing are held to 2^26 pixels however short the input.
TEST(PclRaster, ImagesAreBoundedNotByTheInput) {
    std::string rows;
    for (int r = 0; r < 1100; ++r) {
        rows += "\x1B*b0W";
    }
    const std::string bytes = "\x1B%1A\x1B*r65535S\x1B*r1A\x1B*b3M" + rows + "\x1B*rC\x1B%0B";
    const decode::Drawing drawing = decode::decodeHpgl2(test::toBytes(bytes));
    ASSERT_EQ(drawing.elements.size(), 1u);
    EXPECT_EQ(std::get<decode::Image>(drawing.elements[0]).rows, static_cast<int>(decode::kMaxDrawingPixels / 65535));
    test::expectProblems(drawing, "more than 2^26 pixels");
}

TEST(PclRaster, DataPastTheInputIsReported) {
    const decode::Drawing drawing =
        decode::decodeHpgl2(test::toBytes("\x1B%1A\x1B*r8S\x1B*r1A\x1B*b0m50W" + raw({0xFF})));
    EXPECT_NE(test::problemLines(drawing.problems).find("announces 50 bytes; the input ends after 1"),
              std::string::npos);
}

} // namespace
