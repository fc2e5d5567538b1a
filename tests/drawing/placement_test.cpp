#include <gtest/gtest.h>

#include "host/drawing/placement/placement.h"
#include "tests/drawing/path_text.h"

namespace drv::drawing {
namespace {

using testing::pointText;

// A drawing with one line from `a` to `b`, on a page of `w` x `h` mm (0: none).
Drawing lineDrawing(YAxis axis, Point a, Point b, double w, double h) {
    Drawing drawing;
    drawing.yAxis = axis;
    drawing.pageWidthMm = w;
    drawing.pageHeightMm = h;
    drawing.shapes.push_back({{Subpath{a, {Segment::line(b)}, false}}, {}, true, std::nullopt, 1});
    return drawing;
}

TEST(Placement, WhereTheDrawingLands) {
    struct Case {
        int line;
        Drawing drawing;
        PlacementOptions options;
        std::string a; // plotter units of the line's ends
        std::string b;
        std::int32_t width;
        std::int32_t height;
    };
    const Drawing svg = lineDrawing(YAxis::Down, {10, 20}, {30, 20}, 100, 50);
    const Drawing dxf = lineDrawing(YAxis::Up, {10, 20}, {30, 40}, 0, 0);
    PlacementOptions a4;
    a4.page = PageSize{210, 297};
    PlacementOptions landscape = a4;
    landscape.orientation = Orientation::Landscape;
    PlacementOptions scaled;
    scaled.scale = 2;
    PlacementOptions turned;
    turned.rotateDegrees = 90;
    PlacementOptions half;
    half.rotateDegrees = 180;
    PlacementOptions moved;
    moved.offsetMm = {5, -5};
    PlacementOptions fitted = a4;
    fitted.fit = true;
    PlacementOptions fittedWide = a4;
    fittedWide.fit = true;
    fittedWide.marginMm = 5;
    fittedWide.orientation = Orientation::Landscape;
    const Case cases[] = {
        // y turned up: (x, y) from the top-left lands at (40x, 40(H - y))
        {__LINE__, svg, {}, "400,1200", "1200,1200", 4000, 2000},
        {__LINE__, svg, a4, "400,11080", "1200,11080", 8400, 11880},
        {__LINE__, svg, landscape, "400,7600", "1200,7600", 11880, 8400},
        // scale about the top-left corner; the page grows with it
        {__LINE__, svg, scaled, "800,2400", "2400,2400", 8000, 4000},
        // a quarter turn counter-clockwise keeps the page's top-left corner
        {__LINE__, svg, turned, "800,400", "800,1200", 2000, 4000},
        {__LINE__, svg, half, "3600,800", "2800,800", 4000, 2000},
        {__LINE__, svg, moved, "600,1000", "1400,1000", 4000, 2000},
        // a DXF keeps its origin; its sheet is its extent from the origin
        {__LINE__, dxf, {}, "400,800", "1200,1600", 1200, 1600},
        {__LINE__, dxf, a4, "400,800", "1200,1600", 8400, 11880},
        {__LINE__, dxf, turned, "800,400", "0,1200", 1600, 1200},
        // fit: uniform, into the sheet less the margins, centred
        {__LINE__, dxf, fitted, "400,2140", "8000,9740", 8400, 11880},
        {__LINE__, svg, fittedWide, "200,4200", "11680,4200", 11880, 8400},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        Placement placement;
        std::string error;
        ASSERT_TRUE(place(c.drawing, c.options, placement, error)) << error;
        const Subpath &path = c.drawing.shapes[0].subpaths[0];
        EXPECT_EQ(pointText(placement.toUnits.apply(path.start)), c.a);
        EXPECT_EQ(pointText(placement.toUnits.apply(path.segments[0].to)), c.b);
        EXPECT_EQ(placement.sheetWidth, c.width);
        EXPECT_EQ(placement.sheetHeight, c.height);
    }
}

TEST(Placement, RefusesWhatCannotBePlaced) {
    Placement placement;
    std::string error;
    EXPECT_FALSE(place(Drawing{}, {}, placement, error));
    EXPECT_EQ(error, "the drawing is empty: nothing in it would reach the paper");
    const Drawing below = lineDrawing(YAxis::Up, {-10, -20}, {-5, -5}, 0, 0);
    EXPECT_FALSE(place(below, {}, placement, error));
    PlacementOptions wide;
    wide.page = PageSize{20, 20};
    wide.fit = true;
    wide.marginMm = 10;
    EXPECT_FALSE(place(below, wide, placement, error));
    PlacementOptions tilted;
    tilted.rotateDegrees = 45;
    EXPECT_FALSE(place(below, tilted, placement, error));
}

TEST(PageSize, NamesAndSizes) {
    struct Case {
        int line;
        const char *text;
        double width;
        double height;
    };
    const Case cases[] = {
        {__LINE__, "A4", 210, 297},   {__LINE__, "a0", 841, 1189},      {__LINE__, "letter", 215.9, 279.4},
        {__LINE__, "Tabloid", 279.4, 431.8}, {__LINE__, "300x200", 300, 200}, {__LINE__, "11x8.5in", 279.4, 215.9},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        std::string error;
        const std::optional<PageSize> size = parsePageSize(c.text, error);
        ASSERT_TRUE(size) << error;
        EXPECT_NEAR(size->widthMm, c.width, 1e-9);
        EXPECT_NEAR(size->heightMm, c.height, 1e-9);
    }
    std::string error;
    EXPECT_FALSE(parsePageSize("B5", error));
    EXPECT_FALSE(parsePageSize("0x10", error));
    EXPECT_FALSE(parsePageSize("10x", error));
}

} // namespace
} // namespace drv::drawing
