#include <gtest/gtest.h>

#include "host/drawing/svg/lengths.h"
#include "host/drawing/svg/paint.h"
#include "host/drawing/svg/path_data.h"
#include "host/drawing/svg/transform_list.h"
#include "tests/drawing/path_text.h"

namespace drv::drawing::svg {
namespace {

using testing::pathText;

TEST(PathData, EveryCommandAbsoluteAndRelative) {
    struct Case {
        int line;
        const char *d;
        const char *expected;
    };
    const Case cases[] = {
        {__LINE__, "M10 20 L30 40", "M10,20 L30,40"},
        {__LINE__, "m10 20 l30 40", "M10,20 L40,60"},
        // pairs after a moveto are linetos, relative after m
        {__LINE__, "M0 0 10 0 10 10", "M0,0 L10,0 L10,10"},
        {__LINE__, "m5 5 10 0 0 10", "M5,5 L15,5 L15,15"},
        {__LINE__, "M1 1 H5 V7 h-2 v-3", "M1,1 L5,1 L5,7 L3,7 L3,4"},
        {__LINE__, "M0 0 L1 1 2 2 3 3", "M0,0 L1,1 L2,2 L3,3"},
        {__LINE__, "M0 0C1 2 3 4 5 6", "M0,0 C1,2 3,4 5,6"},
        {__LINE__, "M1 1c1 2 3 4 5 6 1 1 2 2 3 3", "M1,1 C2,3 4,5 6,7 C7,8 8,9 9,10"},
        // S reflects the last control point of a C or S, else takes the
        // current point
        {__LINE__, "M0 0 C0 10 10 10 10 0 S20 -10 20 0", "M0,0 C0,10 10,10 10,0 C10,-10 20,-10 20,0"},
        {__LINE__, "M0 0 s10 10 10 0", "M0,0 C0,0 10,10 10,0"},
        {__LINE__, "M0 0 L5 5 S10 10 10 0", "M0,0 L5,5 C5,5 10,10 10,0"},
        // quadratics become the cubic of the same curve; T reflects Q/T
        {__LINE__, "M0 0 Q3 3 6 0", "M0,0 C2,2 4,2 6,0"},
        {__LINE__, "M0 0 q3 3 6 0 t6 0", "M0,0 C2,2 4,2 6,0 C8,-2 10,-2 12,0"},
        {__LINE__, "M0 0 T6 0", "M0,0 C0,0 2,0 6,0"},
        // arcs: both flags, relative, radii scaled up, zero radius, no move
        {__LINE__, "M10 0 A10 10 0 0 1 -10 0", "M10,0 A(0,0 180)-10,0"},
        {__LINE__, "M10 0 a10 10 0 0 0 -20 0", "M10,0 A(0,0 -180)-10,0"},
        {__LINE__, "M0 0 A1 1 0 0 1 10 0", "M0,0 A(5,0 180)10,0"},
        {__LINE__, "M1 0 A1 1 0 1 1 0 1", "M1,0 A(1,1 270)0,1"},
        {__LINE__, "M0 0 A0 5 0 0 1 10 0", "M0,0 L10,0"},
        {__LINE__, "M3 3 A5 5 0 0 1 3 3 L4 4", "M3,3 L4,4"},
        // compact flags and numbers: "0110" is two flags and 10, ".5.5" two numbers
        {__LINE__, "M10 0a10 10 0 0110 10", "M10,0 A(10,10 90)20,10"},
        {__LINE__, "M.5.5l-.5-.5", "M0.5,0.5 L0,0"},
        {__LINE__, "M1e1,2E-1 l1e+1-1", "M10,0.2 L20,-0.8"},
        // Z returns to the start; drawing on starts from there
        {__LINE__, "M0 0 L10 0 L10 10 Z L5 5", "M0,0 L10,0 L10,10 Z M0,0 L5,5"},
        {__LINE__, "M0 0 h10 z m5 5 h1", "M0,0 L10,0 Z M5,5 L6,5"},
        // a lone moveto draws nothing
        {__LINE__, "M1 1 M2 2 L3 3 M9 9", "M2,2 L3,3"},
        {__LINE__, "", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<Subpath> paths;
        PathDataError error;
        ASSERT_TRUE(parsePathData(c.d, paths, error)) << error.message;
        EXPECT_EQ(pathText(paths), c.expected);
    }
}

TEST(PathData, FaultsNameTheOffendingCharacter) {
    struct Case {
        int line;
        const char *d;
        std::size_t offset;
        const char *message;
    };
    const Case cases[] = {
        {__LINE__, "L0 0", 0, "path data must begin with a moveto (M or m), found 'L'"},
        {__LINE__, "M0 0 L10 x", 9, "expected a number, found 'x'"},
        {__LINE__, "M0 0 X5", 5, "expected a path command, found 'X'"},
        {__LINE__, "M0 0 C1 2 3", 11, "expected a number, found the end of the data"},
        {__LINE__, "M0 0 A1 1 0 2 1 5 5", 12, "expected an arc flag, 0 or 1, found '2'"},
        {__LINE__, "M", 1, "expected a number after 'M', found the end of the data"},
        {__LINE__, "M0 0 L1e999 0", 6, "number out of range, found '1'"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<Subpath> paths;
        PathDataError error;
        ASSERT_FALSE(parsePathData(c.d, paths, error));
        EXPECT_EQ(error.offset, c.offset);
        EXPECT_EQ(error.message, c.message);
        EXPECT_TRUE(paths.empty());
    }
}

TEST(TransformList, AppliesRightToLeft) {
    struct Case {
        int line;
        const char *text;
        Point in;
        Point out;
    };
    const Case cases[] = {
        {__LINE__, "translate(10)", {1, 1}, {11, 1}},
        {__LINE__, "translate(10,5) scale(2)", {1, 1}, {12, 7}},
        {__LINE__, "scale(2) translate(10,5)", {1, 1}, {22, 12}},
        {__LINE__, "scale(2,3)", {1, 1}, {2, 3}},
        {__LINE__, "rotate(90)", {1, 0}, {0, 1}},
        {__LINE__, "rotate(90 10 10)", {11, 10}, {10, 11}},
        {__LINE__, "matrix(1 2 3 4 5 6)", {1, 1}, {9, 12}},
        {__LINE__, "skewX(45)", {0, 1}, {1, 1}},
        {__LINE__, "skewY(45)", {1, 0}, {1, 1}},
        {__LINE__, " translate( 1 , 1 ) , rotate(180) ", {1, 0}, {0, 1}},
        {__LINE__, "", {3, 4}, {3, 4}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        Affine map;
        std::size_t offset = 0;
        std::string error;
        ASSERT_TRUE(parseTransformList(c.text, map, offset, error)) << error;
        const Point p = map.apply(c.in);
        EXPECT_NEAR(p.x, c.out.x, 1e-12);
        EXPECT_NEAR(p.y, c.out.y, 1e-12);
    }
    Affine map;
    std::size_t offset = 0;
    std::string error;
    EXPECT_FALSE(parseTransformList("scale(2) turn(3)", map, offset, error));
    EXPECT_EQ(offset, 9u);
    EXPECT_FALSE(parseTransformList("rotate(1 2)", map, offset, error));
    EXPECT_FALSE(parseTransformList("matrix(1 2 3)", map, offset, error));
    EXPECT_FALSE(parseTransformList("translate(1", map, offset, error));
}

TEST(Lengths, UnitsInMillimetres) {
    struct Case {
        int line;
        const char *text;
        double mm;
    };
    const Case cases[] = {
        {__LINE__, "96", 25.4},   {__LINE__, "96px", 25.4}, {__LINE__, "10mm", 10},
        {__LINE__, "2cm", 20},    {__LINE__, "1in", 25.4},  {__LINE__, "72pt", 25.4},
        {__LINE__, "6pc", 25.4},  {__LINE__, " 4Q ", 1},    {__LINE__, "1e1MM", 10},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        std::string error;
        const std::optional<Length> length = parseLength(c.text, error);
        ASSERT_TRUE(length) << error;
        EXPECT_NEAR(length->value * length->mmPerUnit, c.mm, 1e-9);
    }
    std::string error;
    EXPECT_FALSE(parseLength("10furlongs", error));
    EXPECT_EQ(error, "unknown unit 'furlongs' in '10furlongs'");
    EXPECT_TRUE(parseLength("50%", error)->percent);
}

TEST(Lengths, ViewBoxAndAspectRatio) {
    struct Case {
        int line;
        const char *ratio;
        Point corner; // where the viewBox's (0,0) lands
        Point far;    // where its (100,50) lands
    };
    // a 100 x 50 viewBox in a 400 x 400 viewport
    const Case cases[] = {
        {__LINE__, "", {0, 100}, {400, 300}},
        {__LINE__, "xMinYMin", {0, 0}, {400, 200}},
        {__LINE__, "xMaxYMax meet", {0, 200}, {400, 400}},
        {__LINE__, "xMidYMid slice", {-200, 0}, {600, 400}},
        {__LINE__, "none", {0, 0}, {400, 400}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        std::string error;
        const std::optional<AspectRatio> ratio = parseAspectRatio(c.ratio, error);
        ASSERT_TRUE(ratio) << error;
        const Affine map = viewBoxMap({0, 0, 100, 50}, 400, 400, *ratio);
        EXPECT_EQ(map.apply({0, 0}), c.corner);
        EXPECT_EQ(map.apply({100, 50}), c.far);
    }
    std::string error;
    EXPECT_FALSE(parseViewBox("0 0 10", error));
    EXPECT_FALSE(parseViewBox("0 0 -1 5", error));
    EXPECT_FALSE(parseAspectRatio("xMidYCentre", error));
}

TEST(Paint, ColoursInEveryForm) {
    struct Case {
        int line;
        const char *text;
        Paint::Kind kind;
        Colour colour;
    };
    const Case cases[] = {
        {__LINE__, "#f00", Paint::Kind::Colour, {255, 0, 0}},
        {__LINE__, "#00FF80", Paint::Kind::Colour, {0, 255, 128}},
        {__LINE__, "rgb(1, 2, 3)", Paint::Kind::Colour, {1, 2, 3}},
        {__LINE__, "RGB(100%,50%,0%)", Paint::Kind::Colour, {255, 128, 0}},
        {__LINE__, "DarkSlateGray", Paint::Kind::Colour, {0x2F, 0x4F, 0x4F}},
        {__LINE__, "none", Paint::Kind::None, {}},
        {__LINE__, "currentColor", Paint::Kind::CurrentColour, {}},
        {__LINE__, "url(#grad) #123456", Paint::Kind::Server, {0x12, 0x34, 0x56}},
        {__LINE__, "url(#grad)", Paint::Kind::Server, {0, 0, 0}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        std::string error;
        const std::optional<Paint> paint = parsePaint(c.text, error);
        ASSERT_TRUE(paint) << error;
        EXPECT_EQ(paint->kind, c.kind);
        EXPECT_EQ(paint->colour, c.colour);
    }
    std::string error;
    EXPECT_FALSE(parsePaint("#12345", error));
    EXPECT_FALSE(parsePaint("blurple", error));
}

} // namespace
} // namespace drv::drawing::svg
