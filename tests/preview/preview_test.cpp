// Previews of the demo in each format, read back: the sheet's size, and
// every colour the pens lay down. Images are placed pixel for pixel.
#include <cairo.h>
#include <zlib.h>

#include <cmath>
#include <cstdlib>
#include <regex>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/demo/demo_drawing.h"
#include "host/decode/hpgl2_decoder.h"
#include "host/decode/pci_decoder.h"
#include "host/preview/paint.h"
#include "host/preview/render.h"
#include "tests/decode/plot_jobs.h"

namespace {

using namespace drv;
using Bytes = std::vector<std::uint8_t>;
using ColorSet = std::set<std::uint32_t>;

std::uint32_t pack(decode::Rgb c) { return std::uint32_t{c.red} << 16 | std::uint32_t{c.green} << 8 | c.blue; }

// What the pens lay down: their colours on lines and labels, their fill
// colours on polygons.
ColorSet inkColors(const decode::Drawing &drawing) {
    ColorSet colors;
    for (const decode::Element &e : drawing.elements) {
        if (const auto *p = std::get_if<decode::Polygon>(&e)) {
            colors.insert(pack(preview::fillColor(*p)));
        } else if (const auto *s = std::get_if<decode::Stroke>(&e)) {
            colors.insert(pack(s->ink.color));
        } else if (const auto *c = std::get_if<decode::Circle>(&e)) {
            colors.insert(pack(c->ink.color));
        } else if (const auto *a = std::get_if<decode::Arc>(&e)) {
            colors.insert(pack(a->ink.color));
        } else if (const auto *l = std::get_if<decode::Label>(&e)) {
            colors.insert(pack(l->ink.color));
        }
    }
    return colors;
}

decode::Drawing demo(const char *driver) {
    const test::RanJob ran = test::runPlotScript(driver, std::string(host::demoDrawingScript()));
    EXPECT_EQ(ran.error, "");
    return std::string(driver) == "quillane" ? decode::decodeHpgl2(ran.bytes) : decode::decodePci(ran.bytes);
}

Bytes render(const decode::Drawing &drawing, preview::Format format, double dpi = 96, std::size_t page = 0) {
    Bytes bytes;
    std::size_t pages = 0;
    std::string error;
    EXPECT_TRUE(preview::renderPreview(drawing, {format, dpi, page}, bytes, pages, error)) << error;
    return bytes;
}

struct PngPixels {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels; // 0xRRGGBB, rows top first
    std::uint32_t at(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

PngPixels readPng(const Bytes &png) {
    struct Reader {
        const Bytes &bytes;
        std::size_t at = 0;
    } reader{png};
    cairo_surface_t *surface = cairo_image_surface_create_from_png_stream(
        [](void *closure, unsigned char *data, unsigned int length) {
            auto *r = static_cast<Reader *>(closure);
            if (r->at + length > r->bytes.size()) {
                return CAIRO_STATUS_READ_ERROR;
            }
            std::copy_n(r->bytes.begin() + static_cast<std::ptrdiff_t>(r->at), length, data);
            r->at += length;
            return CAIRO_STATUS_SUCCESS;
        },
        &reader);
    PngPixels result;
    if (cairo_surface_status(surface) == CAIRO_STATUS_SUCCESS) {
        cairo_surface_flush(surface);
        result.width = cairo_image_surface_get_width(surface);
        result.height = cairo_image_surface_get_height(surface);
        const int stride = cairo_image_surface_get_stride(surface);
        const unsigned char *data = cairo_image_surface_get_data(surface);
        for (int y = 0; y < result.height; ++y) {
            const auto *row = reinterpret_cast<const std::uint32_t *>(data + y * stride);
            for (int x = 0; x < result.width; ++x) {
                result.pixels.push_back(row[x] & 0xFFFFFF);
            }
        }
    }
    cairo_surface_destroy(surface);
    return result;
}

std::uint32_t fromFractions(double r, double g, double b) {
    const auto c = [](double v) { return static_cast<std::uint32_t>(std::lround(v * 255)); };
    return c(r) << 16 | c(g) << 8 | c(b);
}

// Colours an SVG strokes and fills with: rgb(R%,G%,B%).
ColorSet svgColors(const std::string &svg) {
    ColorSet colors;
    const std::regex rgb(R"(rgb\(([0-9.]+)%,([0-9.]+)%,([0-9.]+)%\))");
    for (auto it = std::sregex_iterator(svg.begin(), svg.end(), rgb); it != std::sregex_iterator(); ++it) {
        colors.insert(fromFractions(std::stod((*it)[1]) / 100, std::stod((*it)[2]) / 100, std::stod((*it)[3]) / 100));
    }
    return colors;
}

// The PDF's content streams, inflated.
std::string pdfContent(const std::string &pdf) {
    std::string content;
    for (std::size_t at = pdf.find("stream\n"); at != std::string::npos; at = pdf.find("stream\n", at)) {
        at += 7;
        const std::size_t end = pdf.find("endstream", at);
        if (end == std::string::npos) {
            break;
        }
        std::vector<unsigned char> out(1 << 22);
        uLongf length = out.size();
        if (uncompress(out.data(), &length, reinterpret_cast<const Bytef *>(pdf.data() + at), end - at) == Z_OK) {
            content.append(reinterpret_cast<const char *>(out.data()), length);
        }
        at = end;
    }
    return content;
}

ColorSet pdfColors(const std::string &content) {
    ColorSet colors;
    const std::regex op(R"(([0-9.]+) ([0-9.]+) ([0-9.]+) (rg|RG))");
    for (auto it = std::sregex_iterator(content.begin(), content.end(), op); it != std::sregex_iterator(); ++it) {
        colors.insert(fromFractions(std::stod((*it)[1]), std::stod((*it)[2]), std::stod((*it)[3])));
    }
    return colors;
}

std::string hex(std::uint32_t c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", c);
    return text;
}

// The demo's sheet is A4 across: 11880 x 8400 plotter units, 297 x 210 mm.
TEST(Preview, DemoInEachFormatHasTheSheetAndEveryPenColour) {
    for (const char *driver : {"quillane", "drevant"}) {
        SCOPED_TRACE(driver);
        const decode::Drawing drawing = demo(driver);
        const ColorSet inks = inkColors(drawing);
        ASSERT_GE(inks.size(), 2u);

        const PngPixels png = readPng(render(drawing, preview::Format::Png, 200));
        if (std::string(driver) == "quillane") {
            EXPECT_EQ(png.width, 2339); // ceil(11880 * 200 / 1016)
            EXPECT_EQ(png.height, 1654);
        } else {
            EXPECT_GT(png.width, 1000); // the box around the drawing
        }
        const ColorSet painted(png.pixels.begin(), png.pixels.end());
        for (const std::uint32_t c : inks) {
            EXPECT_TRUE(painted.contains(c)) << "PNG lacks " << hex(c);
        }

        const Bytes svgBytes = render(drawing, preview::Format::Svg);
        const std::string svg(svgBytes.begin(), svgBytes.end());
        if (std::string(driver) == "quillane") {
            EXPECT_NE(svg.find(R"(width="841.889764pt" height="595.275591pt")"), std::string::npos)
                << svg.substr(0, 300);
        }
        const ColorSet svgInks = svgColors(svg);
        for (const std::uint32_t c : inks) {
            EXPECT_TRUE(svgInks.contains(c)) << "SVG lacks " << hex(c);
        }

        const Bytes pdfBytes = render(drawing, preview::Format::Pdf);
        const std::string pdf(pdfBytes.begin(), pdfBytes.end());
        ASSERT_EQ(pdf.rfind("%PDF-", 0), 0u);
        if (std::string(driver) == "quillane") {
            EXPECT_NE(pdf.find("/MediaBox [ 0 0 841.889764 595.275591 ]"), std::string::npos);
        }
        const ColorSet pdfInks = pdfColors(pdfContent(pdf));
        for (const std::uint32_t c : inks) {
            EXPECT_TRUE(pdfInks.contains(c)) << "PDF lacks " << hex(c);
        }
    }
}

// A 2 x 2 image: its first pixel at the pen, a row along +y, the next row
// along +x; each pixel 1 inch, painted exactly, with no smoothing.
TEST(Preview, ImagesArePlacedPixelForPixel) {
    decode::Drawing drawing;
    drawing.elements.emplace_back(decode::Page{decode::Page::Event::Setup, 4064, 4064, 0, 1});
    decode::Image image;
    image.at = {1016, 1016};
    image.columns = 2;
    image.rows = 2;
    image.pixelStep = {0, 1016};
    image.rowStep = {1016, 0};
    image.pixels = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 0};
    drawing.elements.emplace_back(image);
    const PngPixels png = readPng(render(drawing, preview::Format::Png, 10));
    ASSERT_EQ(png.width, 40);
    // y up: the sheet's row 0 is its top edge (4 inches up).
    EXPECT_EQ(png.at(15, 25), 0xFF0000u); // column 0, row 0: x 1-2 in, y 1-2 in
    EXPECT_EQ(png.at(15, 15), 0x00FF00u); // column 1 of row 0: one inch up
    EXPECT_EQ(png.at(25, 25), 0x0000FFu); // row 1: one inch right
    EXPECT_EQ(png.at(25, 15), 0xFFFF00u);
    EXPECT_EQ(png.at(10, 29), 0xFF0000u); // the corners stay sharp
    EXPECT_EQ(png.at(9, 29), 0xFFFFFFu);
}

// A stroke of one point is a dot of the pen's width: round caps.
TEST(Preview, OnePointStrokeIsADot) {
    decode::Drawing drawing;
    drawing.elements.emplace_back(decode::Page{decode::Page::Event::Setup, 1016, 1016, 0, 1});
    drawing.elements.emplace_back(decode::Stroke{{1, 5.0, {0, 0, 255}}, {{508, 508}}});
    const PngPixels png = readPng(render(drawing, preview::Format::Png, 100));
    EXPECT_EQ(png.at(50, 50), 0x0000FFu);
    EXPECT_EQ(png.at(50, 58), 0x0000FFu); // 5 mm across is 19.7 pixels
    EXPECT_EQ(png.at(57, 57), 0xFFFFFFu); // round, not square
}

TEST(Preview, RefusesWhatItCannotDraw) {
    decode::Drawing drawing;
    drawing.elements.emplace_back(decode::Page{decode::Page::Event::Setup, 1016000, 1016, 0, 1});
    Bytes bytes;
    std::size_t pages = 0;
    std::string error;
    EXPECT_FALSE(preview::renderPreview(drawing, {preview::Format::Png, 96, 0}, bytes, pages, error));
    EXPECT_NE(error.find("lower --dpi"), std::string::npos);
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(preview::renderPreview(drawing, {preview::Format::Svg, 96, 2}, bytes, pages, error));
    EXPECT_EQ(error, "page 2 asked for; the drawing has 1");
}

// Each page feed starts a sheet; a PDF holds them all.
TEST(Preview, EveryPageInThePdf) {
    const decode::Drawing drawing = decode::decodeHpgl2(
        std::vector<std::uint8_t>{'P', 'S', '9', '9', '9', ',', '9', '9', '9', ';', 'P', 'D', '1', ',', '1', ';',
                                  'P', 'G', ';', 'P', 'D', '5', ',', '5', ';', 'P', 'G', ';'});
    const Bytes pdfBytes = render(drawing, preview::Format::Pdf);
    const std::string pdf(pdfBytes.begin(), pdfBytes.end());
    EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
}

// Font caches live as long as the process; give them back before the leak
// check at exit.
class ReleaseCaches : public ::testing::Environment {
public:
    void TearDown() override { preview::releaseRenderingCaches(); }
};
const auto *const kReleaseCaches = ::testing::AddGlobalTestEnvironment(new ReleaseCaches);

} // namespace
