#include <gtest/gtest.h>

#include "host/drawing/pens/pen_assignment.h"

namespace drv::drawing {
namespace {

Shape shape(std::optional<Colour> colour, std::string layer = "", int layerPen = 0, double width = 0) {
    Shape s;
    s.pen = {colour, std::move(layer), layerPen, width};
    return s;
}

constexpr Colour kRed{255, 0, 0};
constexpr Colour kGreen{0, 255, 0};
constexpr Colour kBlue{0, 0, 255};
constexpr Colour kDarkRed{200, 0, 0};

TEST(Pens, AssignedByColourLayerAndMap) {
    struct Case {
        int line;
        std::vector<Shape> shapes;
        bool byLayer;
        std::string map;
        int pens;
        bool merge;
        std::vector<int> expected;
    };
    const Case cases[] = {
        {__LINE__, {shape(kRed), shape(kGreen), shape(kRed), shape(kBlue)}, false, "", 8, false, {1, 2, 1, 3}},
        // a layer naming a pen takes it, and the numbering goes round it
        {__LINE__, {shape(kRed), shape(kGreen, "pen 2", 2), shape(kBlue)}, false, "", 8, false, {1, 2, 3}},
        {__LINE__, {shape(kRed, "pen 1", 1), shape(kGreen), shape(kBlue, "x", 0)}, false, "", 8, false, {1, 2, 3}},
        {__LINE__, {shape(kRed), shape(kGreen)}, false, "#00ff00=5", 8, false, {1, 5}},
        {__LINE__, {shape(kRed, "Cut"), shape(kRed, "Draw")}, false, "layer:Cut=4,#ff0000=2", 8, false, {4, 2}},
        // CAD drawings: one pen per layer, colours aside
        {__LINE__, {shape(kRed, "A"), shape(kGreen, "B"), shape(kBlue, "A")}, true, "", 8, false, {1, 2, 1}},
        {__LINE__, {shape(kRed, "A"), shape(kGreen, "B")}, true, "layer:B=1", 8, false, {2, 1}},
        // merged: the pen of the nearest colour, layers in turn
        {__LINE__, {shape(kRed), shape(kBlue), shape(kDarkRed)}, false, "", 2, true, {1, 2, 1}},
        {__LINE__, {shape(kRed, "A"), shape(kRed, "B"), shape(kRed, "C")}, true, "", 2, true, {1, 2, 1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        Drawing drawing;
        drawing.pensByLayer = c.byLayer;
        drawing.shapes = c.shapes;
        PenOptions options;
        options.pens = c.pens;
        options.merge = c.merge;
        std::string error;
        ASSERT_TRUE(parsePenMap(c.map, options.map, error)) << error;
        PenAssignment out;
        ASSERT_TRUE(assignPens(drawing, options, out, error)) << error;
        EXPECT_EQ(out.shapePens, c.expected);
    }
}

TEST(Pens, EachPenKeepsItsFirstColourAndWidth) {
    Drawing drawing;
    drawing.shapes = {shape(kGreen, "", 0, 0), shape(kGreen, "", 0, 0.35), shape(kRed, "", 0, 0.5)};
    drawing.texts.push_back({"label", {}, {}, {}, {kBlue, "", 0, 0}, 1});
    PenAssignment out;
    std::string error;
    ASSERT_TRUE(assignPens(drawing, {}, out, error)) << error;
    ASSERT_EQ(out.pens.size(), 3u);
    EXPECT_EQ(out.pens[0].number, 1);
    EXPECT_EQ(*out.pens[0].colour, kGreen);
    EXPECT_DOUBLE_EQ(out.pens[0].widthMm, 0.35);
    EXPECT_DOUBLE_EQ(out.pens[1].widthMm, 0.5);
    EXPECT_EQ(out.textPens, std::vector<int>{3});
}

TEST(Pens, TooManyKeysOrBadMapsAreRefused) {
    struct Case {
        int line;
        std::vector<Shape> shapes;
        std::string map;
        int pens;
        std::string message;
    };
    const Case cases[] = {
        {__LINE__, {shape(kRed), shape(kGreen), shape(kBlue)}, "", 2,
         "the drawing needs more than the 2 pens of --pens (colour #0000ff has none left): use --merge-pens, --pens or --pen-map"},
        {__LINE__, {shape(kRed, "pen 9", 9)}, "", 8, "layer 'pen 9' goes to pen 9, but --pens is 8"},
        {__LINE__, {shape(kRed)}, "#ff0000=12", 8, "--pen-map sends to pen 12, but --pens is 8"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        Drawing drawing;
        drawing.shapes = c.shapes;
        PenOptions options;
        options.pens = c.pens;
        std::string error;
        ASSERT_TRUE(parsePenMap(c.map, options.map, error));
        PenAssignment out;
        EXPECT_FALSE(assignPens(drawing, options, out, error));
        EXPECT_EQ(error, c.message);
    }
    std::vector<PenMapEntry> map;
    std::string error;
    EXPECT_FALSE(parsePenMap("#ff0000", map, error));
    EXPECT_FALSE(parsePenMap("#ff0000=0", map, error));
    EXPECT_FALSE(parsePenMap("chartreuse-ish=2", map, error));
}

} // namespace
} // namespace drv::drawing
