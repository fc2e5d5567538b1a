#include <gtest/gtest.h>

#include <cmath>

#include "host/drawing/dxf/aci_colours.h"
#include "host/drawing/dxf/dxf_reader.h"
#include "tests/drawing/path_text.h"

namespace drv::drawing::dxf {
namespace {

using testing::pathText;
using testing::pointText;
using testing::shapesText;

struct G {
    int code;
    std::string value;
};

std::string groupsText(const std::vector<G> &groups) {
    std::string text;
    for (const G &g : groups) {
        text += "  " + std::to_string(g.code) + "\n" + g.value + "\n";
    }
    return text;
}

// A file with $INSUNITS, a LAYER table, BLOCKS and ENTITIES.
std::string file(const std::vector<G> &entities, const std::vector<G> &blocks = {}, int units = 4,
                 const std::vector<G> &layers = {}) {
    std::vector<G> all = {{0, "SECTION"}, {2, "HEADER"}, {9, "$INSUNITS"}, {70, std::to_string(units)},
                          {0, "ENDSEC"},  {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}};
    all.insert(all.end(), layers.begin(), layers.end());
    all.insert(all.end(), {{0, "ENDTAB"}, {0, "ENDSEC"}, {0, "SECTION"}, {2, "BLOCKS"}});
    all.insert(all.end(), blocks.begin(), blocks.end());
    all.insert(all.end(), {{0, "ENDSEC"}, {0, "SECTION"}, {2, "ENTITIES"}});
    all.insert(all.end(), entities.begin(), entities.end());
    all.insert(all.end(), {{0, "ENDSEC"}, {0, "EOF"}});
    return groupsText(all);
}

Drawing read(const std::string &text) {
    Drawing drawing;
    SourceError error;
    EXPECT_TRUE(readDxf(text, 0.01, drawing, error)) << error.line << ": " << error.message;
    return drawing;
}

TEST(DxfReader, EveryEntityInMillimetres) {
    struct Case {
        int line;
        std::vector<G> entity;
        int units;
        std::string expected;
    };
    const Case cases[] = {
        {__LINE__, {{0, "LINE"}, {10, "1"}, {20, "2"}, {11, "3"}, {21, "4"}}, 4, "M1,2 L3,4"},
        {__LINE__, {{0, "LINE"}, {10, "1"}, {20, "2"}, {11, "3"}, {21, "4"}}, 1, "M25.4,50.8 L76.2,101.6"},
        {__LINE__, {{0, "LINE"}, {10, "1"}, {20, "0"}, {11, "2"}, {21, "0"}}, 6, "M1000,0 L2000,0"},
        {__LINE__, {{0, "LINE"}, {10, "1"}, {20, "0"}, {11, "2"}, {21, "0"}}, 0, "M1,0 L2,0"},
        {__LINE__, {{0, "LINE"}, {10, "1"}, {20, "0"}, {11, "2"}, {21, "0"}}, 2, "M304.8,0 L609.6,0"},
        {__LINE__, {{0, "LINE"}, {10, "1"}, {20, "0"}, {11, "2"}, {21, "0"}}, 5, "M10,0 L20,0"},
        // bulge 1: a half circle counter-clockwise; -1 clockwise
        {__LINE__, {{0, "LWPOLYLINE"}, {90, "2"}, {70, "0"}, {10, "0"}, {20, "0"}, {42, "1"}, {10, "10"}, {20, "0"}},
         4, "M0,0 A(5,0 180)10,0"},
        {__LINE__, {{0, "LWPOLYLINE"}, {10, "0"}, {20, "0"}, {42, "-1"}, {10, "10"}, {20, "0"}}, 4, "M0,0 A(5,0 -180)10,0"},
        // closed: back to the first vertex along the last bulge; the
        // library is told the vertex count whatever the file says
        {__LINE__, {{0, "LWPOLYLINE"}, {90, "99"}, {70, "1"}, {10, "0"}, {20, "0"}, {10, "10"}, {20, "0"},
                    {10, "10"}, {20, "10"}, {42, "0.414213562373095"}},
         4, "M0,0 L10,0 L10,10 A(10,0 90)0,0 Z"},
        {__LINE__, {{0, "POLYLINE"}, {66, "1"}, {70, "1"}, {0, "VERTEX"}, {10, "0"}, {20, "0"}, {42, "1"},
                    {0, "VERTEX"}, {10, "0"}, {20, "10"}, {0, "SEQEND"}},
         4, "M0,0 A(0,5 180)0,10 L0,0 Z"},
        // a spline-fit polyline: its frame's control points (flag 16) are left out
        {__LINE__, {{0, "POLYLINE"}, {70, "4"}, {0, "VERTEX"}, {10, "5"}, {20, "5"}, {70, "16"},
                    {0, "VERTEX"}, {10, "0"}, {20, "0"}, {70, "8"}, {0, "VERTEX"}, {10, "1"}, {20, "1"}, {70, "8"},
                    {0, "SEQEND"}},
         4, "M0,0 L1,1"},
        {__LINE__, {{0, "CIRCLE"}, {10, "1"}, {20, "2"}, {40, "3"}}, 4, "M4,2 A(1,2 360)4,2 Z"},
        {__LINE__, {{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "2"}, {50, "90"}, {51, "180"}}, 4, "M0,2 A(0,0 90)-2,0"},
        {__LINE__, {{0, "ARC"}, {10, "0"}, {20, "0"}, {40, "2"}, {50, "270"}, {51, "90"}}, 4, "M0,-2 A(0,0 180)0,2"},
        {__LINE__, {{0, "ELLIPSE"}, {10, "0"}, {20, "0"}, {11, "4"}, {21, "0"}, {40, "0.5"}, {41, "0"},
                    {42, "1.5707963267948966"}},
         4, "M4,0 A(0,0 90)0,2"},
        // a clamped cubic with one interior knot: two exact cubics
        {__LINE__, {{0, "SPLINE"}, {70, "8"}, {71, "3"}, {72, "9"}, {73, "5"}, {40, "0"}, {40, "0"}, {40, "0"},
                    {40, "0"}, {40, "1"}, {40, "2"}, {40, "2"}, {40, "2"}, {40, "2"}, {10, "0"}, {20, "0"}, {10, "2"},
                    {20, "4"}, {10, "4"}, {20, "0"}, {10, "6"}, {20, "4"}, {10, "8"}, {20, "0"}},
         4, "M0,0 C2,4 3,2 4,2 C5,2 6,4 8,0"},
        {__LINE__, {{0, "POINT"}, {10, "7"}, {20, "8"}}, 4, "M7,8 L7,8"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const Drawing drawing = read(file(c.entity, {}, c.units));
        EXPECT_EQ(shapesText(drawing), c.expected);
        EXPECT_EQ(drawing.yAxis, YAxis::Up);
    }
}

TEST(DxfReader, TextAndMtextAsLabels) {
    const Drawing drawing = read(file({
        {0, "TEXT"}, {10, "1"}, {20, "2"}, {40, "3"}, {50, "90"}, {1, "A%%dB"},
        {0, "MTEXT"}, {10, "0"}, {20, "100"}, {40, "6"}, {71, "1"}, {3, "{\\fArial;first}\\P"}, {1, "sec\\~ond"},
    }, {}, 5));
    ASSERT_EQ(drawing.texts.size(), 3u);
    EXPECT_EQ(drawing.texts[0].text, "A\xC2\xB0" "B");
    EXPECT_EQ(pointText(drawing.texts[0].anchor), "10,20");
    EXPECT_EQ(pointText(drawing.texts[0].baseline), "0,30");
    EXPECT_EQ(pointText(drawing.texts[0].up), "-30,0");
    EXPECT_EQ(drawing.texts[1].text, "first");
    // attached at the top left: the first baseline one text height down
    EXPECT_EQ(pointText(drawing.texts[1].anchor), "0,940");
    EXPECT_EQ(drawing.texts[2].text, "sec ond");
    EXPECT_EQ(pointText(drawing.texts[2].anchor), "0,840");
}

TEST(DxfReader, BlocksNestWithScaleRotationAndBasePoint) {
    const std::vector<G> blocks = {
        {0, "BLOCK"}, {2, "TICK"}, {10, "1"}, {20, "0"},
        {0, "LINE"}, {8, "0"}, {10, "1"}, {20, "0"}, {11, "2"}, {21, "0"},
        {0, "ENDBLK"},
        {0, "BLOCK"}, {2, "PAIR"}, {10, "0"}, {20, "0"},
        {0, "INSERT"}, {2, "TICK"}, {10, "0"}, {20, "0"},
        {0, "INSERT"}, {2, "TICK"}, {10, "0"}, {20, "5"}, {50, "90"},
        {0, "ENDBLK"},
    };
    const Drawing drawing = read(file({
        {0, "INSERT"}, {8, "Parts"}, {2, "TICK"}, {10, "10"}, {20, "10"}, {41, "2"}, {42, "3"},
        {0, "INSERT"}, {8, "Parts"}, {2, "PAIR"}, {10, "100"}, {20, "0"}, {50, "180"},
        {0, "INSERT"}, {2, "TICK"}, {10, "0"}, {20, "50"}, {70, "2"}, {71, "2"}, {44, "10"}, {45, "20"},
    }, blocks));
    EXPECT_EQ(shapesText(drawing), "M10,10 L12,10 | M100,0 L99,0 | M100,-5 L100,-6 | "
                                   "M0,50 L1,50 | M10,50 L11,50 | M0,70 L1,70 | M10,70 L11,70");
    // entities on layer 0 take the insert's layer
    EXPECT_EQ(drawing.shapes[0].pen.layer, "Parts");
    EXPECT_EQ(drawing.shapes[2].pen.layer, "Parts");
    EXPECT_EQ(drawing.shapes[3].pen.layer, "0");
}

TEST(DxfReader, ColoursByLayerByBlockAndTrueColour) {
    const std::vector<G> layers = {
        {0, "LAYER"}, {2, "Cut"}, {70, "0"}, {62, "1"},
        {0, "LAYER"}, {2, "Hidden"}, {70, "0"}, {62, "-3"},
        {0, "LAYER"}, {2, "Frozen"}, {70, "1"}, {62, "3"},
        {0, "LAYER"}, {2, "Rgb"}, {70, "0"}, {62, "5"}, {420, "1193046"},
    };
    const std::vector<G> blocks = {
        {0, "BLOCK"}, {2, "B"}, {10, "0"}, {20, "0"},
        {0, "LINE"}, {8, "Cut"}, {62, "0"}, {11, "1"},
        {0, "ENDBLK"},
    };
    const auto line = [](const std::string &layer, int colour) {
        std::vector<G> g = {{0, "LINE"}, {8, layer}, {11, "1"}};
        if (colour >= 0) {
            g.push_back({62, std::to_string(colour)});
        }
        return g;
    };
    std::vector<G> entities;
    for (const auto &part : {line("Cut", -1), line("Cut", 3), line("Hidden", 1), line("Frozen", 1), line("Rgb", -1)}) {
        entities.insert(entities.end(), part.begin(), part.end());
    }
    entities.insert(entities.end(), {{0, "LINE"}, {8, "Cut"}, {420, "65280"}, {11, "1"}});
    entities.insert(entities.end(), {{0, "INSERT"}, {8, "Cut"}, {62, "5"}, {2, "B"}});
    const Drawing drawing = read(file(entities, blocks, 4, layers));
    ASSERT_EQ(drawing.shapes.size(), 5u);
    EXPECT_EQ(*drawing.shapes[0].pen.colour, (Colour{255, 0, 0}));   // by layer
    EXPECT_EQ(*drawing.shapes[1].pen.colour, (Colour{0, 255, 0}));   // its own ACI 3
    EXPECT_EQ(*drawing.shapes[2].pen.colour, (Colour{0x12, 0x34, 0x56})); // layer true colour
    EXPECT_EQ(*drawing.shapes[3].pen.colour, (Colour{0, 255, 0}));   // its own true colour
    EXPECT_EQ(*drawing.shapes[4].pen.colour, (Colour{0, 0, 255}));   // by block: the insert's
    EXPECT_EQ(aciColour(7), (Colour{0, 0, 0}));
    EXPECT_EQ(aciColour(10), (Colour{255, 0, 0}));
}

TEST(DxfReader, EntitiesItDoesNotDrawAreCountedAndNamed) {
    const Drawing drawing = read(file({
        {0, "HATCH"}, {8, "0"}, {0, "HATCH"}, {0, "DIMENSION"}, {0, "LINE"}, {11, "1"},
    }));
    EXPECT_EQ(drawing.shapes.size(), 1u);
    ASSERT_EQ(drawing.warnings.size(), 1u);
    EXPECT_EQ(drawing.warnings[0], "not plotted (no line drawing of their own here): 1 DIMENSION, 2 HATCH");
}

TEST(DxfReader, FaultsNameTheGroupCodeLine) {
    struct Fault {
        int line;
        std::string text;
        int errorLine;
        std::string message;
    };
    const std::string header = groupsText({{0, "SECTION"}, {2, "ENTITIES"}});
    const Fault faults[] = {
        {__LINE__, header + "  x1\nLINE\n", 5, "expected a group code (0 to 1071), found 'x1'"},
        {__LINE__, header + "  0\nLINE\n 10\nabc\n", 8, "group 10 needs a number, found 'abc'"},
        {__LINE__, header + "  0\nLINE\n 62\n1.5\n", 8, "group 62 needs a 32-bit integer, found '1.5'"},
        {__LINE__, header + "  0\nLINE\n 10\n", 7, "group code 10 has no value: the file ends"},
        {__LINE__, header + "  0\nLINE\n  1\n" + std::string(1200, 'x') + "\n", 8,
         "the value of group 1 is longer than 1000 characters"},
        {__LINE__, file({{0, "INSERT"}, {2, "NOPE"}}), 33, "INSERT of block 'NOPE', which the file does not define"},
        {__LINE__, file({{0, "INSERT"}, {2, "R"}}, {{0, "BLOCK"}, {2, "R"}, {0, "INSERT"}, {2, "R"}, {0, "ENDBLK"}}), 31,
         "block 'R' inserts itself"},
        {__LINE__, file({{0, "SPLINE"}, {71, "3"}, {40, "0"}, {10, "0"}, {20, "0"}, {10, "1"}, {20, "1"}, {10, "2"},
                         {20, "0"}, {10, "3"}, {20, "1"}}),
         33, "SPLINE: 1 knots for 4 control points of degree 3: it needs 8"},
        {__LINE__, file({{0, "LINE"}}, {}, 17), 0,
         "$INSUNITS 17 is not a unit this reader scales (unitless, inches, feet, mm, cm, m, ...)"},
        {__LINE__, std::string("CadProgram Binary DXF\r\n\x1a\0", 26), 1, "binary DXF is not read: save the drawing as ASCII DXF"},
    };
    for (const Fault &f : faults) {
        SCOPED_TRACE(f.line);
        Drawing drawing;
        SourceError error;
        ASSERT_FALSE(readDxf(f.text, 0.01, drawing, error));
        EXPECT_EQ(error.line, f.errorLine);
        EXPECT_EQ(error.message, f.message);
    }
}

} // namespace
} // namespace drv::drawing::dxf
