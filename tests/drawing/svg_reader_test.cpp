#include <gtest/gtest.h>

#include <zlib.h>

#include "host/drawing/svg/svg_reader.h"
#include "tests/drawing/path_text.h"

namespace drv::drawing::svg {
namespace {

using testing::pathText;
using testing::pointText;
using testing::shapesText;

std::string document(const std::string &body, const std::string &root = R"~(width="100mm" height="100mm" viewBox="0 0 100 100")~") {
    return "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" "
           "xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "xmlns:inkscape=\"http://www.inkscape.org/namespaces/inkscape\" " +
           root + ">\n" + body + "\n</svg>\n";
}

Drawing read(const std::string &text) {
    Drawing drawing;
    SourceError error;
    EXPECT_TRUE(readSvg(text, drawing, error)) << error.line << ": " << error.message;
    return drawing;
}

TEST(SvgReader, UnitsViewBoxAndTransformsInMillimetres) {
    struct Case {
        int line;
        std::string root;
        std::string body;
        std::string expected;
    };
    const std::string line = R"~(<line x1="0" y1="0" x2="10" y2="20" stroke="black"/>)~";
    const Case cases[] = {
        {__LINE__, R"~(width="100mm" height="100mm" viewBox="0 0 100 100")~", line, "M0,0 L10,20"},
        {__LINE__, R"~(width="200mm" height="100mm" viewBox="0 0 100 50")~", line, "M0,0 L20,40"},
        {__LINE__, R"~(width="10cm" height="10cm" viewBox="-10 -10 200 200")~", line, "M5,5 L10,15"},
        // no viewBox: user units are pixels whatever the root's unit
        {__LINE__, R"~(width="100mm" height="100mm")~", R"~(<line x2="96" y2="0" stroke="red"/>)~", "M0,0 L25.4,0"},
        {__LINE__, R"~(width="1in" height="2in")~", R"~(<line x2="96" y2="0" stroke="red"/>)~", "M0,0 L25.4,0"},
        // a viewBox of another aspect is centred (xMidYMid meet)
        {__LINE__, R"~(width="100mm" height="50mm" viewBox="0 0 10 10")~", R"~(<line x2="10" stroke="red"/>)~", "M25,0 L75,0"},
        // mm in user space is still 96/25.4 user units per mm
        {__LINE__, R"~(width="96px" height="96px" viewBox="0 0 96 96")~", R"~(<line x2="10mm" stroke="red"/>)~", "M0,0 L10,0"},
        // a child's transform applies before its parent's; a list right to left
        {__LINE__, "", R"~(<g transform="translate(10,0)"><line x2="5" transform="scale(2)" stroke="red"/></g>)~", "M10,0 L20,0"},
        {__LINE__, "", R"~(<g transform="scale(2)"><line x2="5" transform="translate(10,0)" stroke="red"/></g>)~", "M20,0 L30,0"},
        {__LINE__, "", R"~(<line x2="5" transform="translate(10,0) rotate(90)" stroke="red"/>)~", "M10,0 L10,5"},
        {__LINE__, "", R"~(<svg x="10" y="10" width="20" height="20" viewBox="0 0 2 2"><line x2="1" stroke="red"/></svg>)~", "M10,10 L20,10"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const Drawing drawing = c.root.empty() ? read(document(c.body)) : read(document(c.body, c.root));
        EXPECT_EQ(shapesText(drawing), c.expected);
        EXPECT_EQ(drawing.yAxis, YAxis::Down);
    }
    const Drawing page = read(document("", R"~(width="210mm" height="297mm" viewBox="0 0 1 1")~"));
    EXPECT_DOUBLE_EQ(page.pageWidthMm, 210);
    EXPECT_DOUBLE_EQ(page.pageHeightMm, 297);
    const Drawing pixels = read(document("", R"~(viewBox="0 0 96 192")~"));
    EXPECT_DOUBLE_EQ(pixels.pageHeightMm, 50.8);
}

TEST(SvgReader, BasicShapes) {
    struct Case {
        int line;
        std::string body;
        std::string expected;
    };
    const Case cases[] = {
        {__LINE__, R"~(<rect x="1" y="2" width="3" height="4" stroke="red"/>)~", "M1,2 L4,2 L4,6 L1,6 Z"},
        {__LINE__, R"~(<rect width="10" height="4" rx="1" stroke="red"/>)~",
         "M1,0 L9,0 A(9,1 90)10,1 L10,3 A(9,3 90)9,4 L1,4 A(1,3 90)0,3 L0,1 A(1,1 90)1,0 Z"},
        // radii are held to half the side
        {__LINE__, R"~(<rect width="10" height="4" rx="9" ry="9" stroke="red"/>)~",
         "M5,0 L5,0 A(5,2 90)10,2 L10,2 A(5,2 90)5,4 L5,4 A(5,2 90)0,2 L0,2 A(5,2 90)5,0 Z"},
        {__LINE__, R"~(<rect width="0" height="4" stroke="red"/>)~", ""},
        {__LINE__, R"~(<circle cx="5" cy="5" r="2" stroke="red"/>)~", "M7,5 A(5,5 360)7,5 Z"},
        {__LINE__, R"~(<ellipse cx="5" cy="5" rx="3" stroke="red"/>)~", "M8,5 A(5,5 360)8,5 Z"},
        {__LINE__, R"~(<polyline points="0,0 1,1 2,0" stroke="red"/>)~", "M0,0 L1,1 L2,0"},
        {__LINE__, R"~(<polygon points="0 0 1 1 2 0" stroke="red"/>)~", "M0,0 L1,1 L2,0 Z"},
        {__LINE__, R"~(<path d="M0 0 h5" stroke="red"/>)~", "M0,0 L5,0"},
        {__LINE__, R"~(<line x2="50%" y2="10%" stroke="red"/>)~", "M0,0 L50,10"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(shapesText(read(document(c.body))), c.expected);
    }
}

TEST(SvgReader, WhatIsDrawnAndWithWhichPenKey) {
    struct Case {
        int line;
        std::string body;
        std::string drawn; // colours of the shapes drawn, in order
    };
    const auto shape = [](const std::string &attributes) {
        return "<line x2=\"1\" " + attributes + "/>";
    };
    const Case cases[] = {
        {__LINE__, shape(R"~(stroke="#ff0000")~"), "ff0000"},
        // a shape only filled is drawn round its edge in its fill colour
        {__LINE__, shape(R"~(fill="blue")~"), "0000ff"},
        {__LINE__, shape(""), "000000"},
        {__LINE__, shape(R"~(fill="none")~"), ""},
        {__LINE__, shape(R"~(style="stroke:#00ff00;fill:none")~"), "00ff00"},
        // style="" outweighs the attribute
        {__LINE__, shape(R"~(stroke="red" style="stroke: #0000ff")~"), "0000ff"},
        {__LINE__, "<g stroke=\"red\" fill=\"none\">" + shape("") + shape(R"~(stroke="blue")~") + "</g>", "ff0000 0000ff"},
        {__LINE__, "<g style=\"color:#abcdef\">" + shape(R"~(stroke="currentColor")~") + "</g>", "abcdef"},
        {__LINE__, "<g display=\"none\">" + shape(R"~(stroke="red")~") + "</g>", ""},
        {__LINE__, shape(R"~(stroke="red" style="display:none")~"), ""},
        // visibility inherits, and a child may turn it back on
        {__LINE__, "<g visibility=\"hidden\">" + shape(R"~(stroke="red")~") +
                       shape(R"~(stroke="blue" visibility="visible")~") + "</g>", "0000ff"},
        {__LINE__, "<defs>" + shape(R"~(stroke="red")~") + "</defs>", ""},
        {__LINE__, "<symbol id=\"s\">" + shape(R"~(stroke="red")~") + "</symbol>", ""},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        std::string drawn;
        for (const Shape &s : read(document(c.body)).shapes) {
            char hex[8];
            std::snprintf(hex, sizeof hex, "%02x%02x%02x", s.pen.colour->red, s.pen.colour->green,
                          s.pen.colour->blue);
            drawn += (drawn.empty() ? "" : " ") + std::string(hex);
        }
        EXPECT_EQ(drawn, c.drawn);
    }
}

TEST(SvgReader, StrokeWidthFollowsTheTransform) {
    const Drawing drawing = read(document(
        R"~(<g transform="scale(3)"><line x2="1" stroke="red" stroke-width="0.5"/></g>)~"));
    ASSERT_EQ(drawing.shapes.size(), 1u);
    EXPECT_DOUBLE_EQ(drawing.shapes[0].pen.widthMm, 1.5);
}

TEST(SvgReader, UseOfSymbolsGroupsAndShapes) {
    struct Case {
        int line;
        std::string body;
        std::string expected;
    };
    const std::string defs = R"~(<defs>
        <line id="l" x2="2" stroke="red"/>
        <g id="g" transform="translate(1,0)"><line x2="1" stroke="red"/></g>
        <symbol id="s" viewBox="0 0 1 1"><line x2="1" stroke="red"/></symbol>
        <use id="nested" xlink:href="#l" x="5"/>
    </defs>)~";
    const Case cases[] = {
        {__LINE__, R"~(<use href="#l" x="10" y="20"/>)~", "M10,20 L12,20"},
        {__LINE__, R"~(<use xlink:href="#g" transform="scale(2)"/>)~", "M2,0 L4,0"},
        {__LINE__, R"~(<use href="#s" x="10" y="10" width="30" height="30"/>)~", "M10,10 L40,10"},
        {__LINE__, R"~(<use href="#nested" y="1"/>)~", "M5,1 L7,1"},
        // the use's own style is what the referenced content inherits
        {__LINE__, R"~(<use href="#g" x="3"/><use href="#g" x="6"/>)~", "M4,0 L5,0 | M7,0 L8,0"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(shapesText(read(document(defs + c.body))), c.expected);
    }
    const Drawing styled = read(document(R"~(<defs><line id="l" x2="1"/></defs><use href="#l" stroke="#010203" fill="none"/>)~"));
    ASSERT_EQ(styled.shapes.size(), 1u);
    EXPECT_EQ(*styled.shapes[0].pen.colour, (Colour{1, 2, 3}));
}

TEST(SvgReader, InkscapeLayersNamePens) {
    const Drawing drawing = read(document(R"~(
        <g inkscape:groupmode="layer" inkscape:label="Pen 2"><line x2="1" stroke="red"/></g>
        <g inkscape:groupmode="layer" inkscape:label="3"><g><line x2="1" stroke="red"/></g></g>
        <g inkscape:groupmode="layer" inkscape:label="Outline"><line x2="1" stroke="red"/></g>
        <g inkscape:label="pen 7"><line x2="1" stroke="red"/></g>)~"));
    ASSERT_EQ(drawing.shapes.size(), 4u);
    EXPECT_EQ(drawing.shapes[0].pen.layerPen, 2);
    EXPECT_EQ(drawing.shapes[0].pen.layer, "Pen 2");
    EXPECT_EQ(drawing.shapes[1].pen.layerPen, 3);
    EXPECT_EQ(drawing.shapes[2].pen.layerPen, 0);
    EXPECT_EQ(drawing.shapes[2].pen.layer, "Outline");
    EXPECT_EQ(drawing.shapes[3].pen.layer, ""); // not a layer: no groupmode
}

TEST(SvgReader, TextBecomesLabels) {
    const Drawing drawing = read(document(R"~(
        <text x="10" y="20" font-size="10">  Hello
            <tspan>world</tspan> </text>
        <text x="50" y="50" style="font-size:20px;text-anchor:end" transform="rotate(-90 50 50)">AB</text>
        <text x="0" y="90" font-size="10"><tspan x="5" y="80">one</tspan><tspan x="5" y="90">two</tspan></text>)~"));
    ASSERT_EQ(drawing.texts.size(), 4u);
    const Text &hello = drawing.texts[0];
    EXPECT_EQ(hello.text, "Hello world");
    EXPECT_EQ(pointText(hello.anchor), "10,20");
    EXPECT_EQ(pointText(hello.baseline), "7,0");
    EXPECT_EQ(pointText(hello.up), "0,-7");
    EXPECT_EQ(hello.line, 4);
    // rotated a quarter turn counter-clockwise on the page, ending at (50, 50)
    const Text &ab = drawing.texts[1];
    EXPECT_EQ(pointText(ab.baseline), "0,-14");
    EXPECT_EQ(pointText(ab.anchor), "50," + testing::number(50 + 2 * 14 * 2.0 / 3.0));
    EXPECT_EQ(drawing.texts[2].text, "one");
    EXPECT_EQ(pointText(drawing.texts[3].anchor), "5,90");
}

struct Fault {
    int line;
    std::string text;
    int errorLine;
    std::string message;
};

TEST(SvgReader, FaultsNameTheLineAndTheProblem) {
    const Fault faults[] = {
        {__LINE__, "<svg><g></svg>", 1, "XML: Start-end tags mismatch"},
        {__LINE__, "<html/>", 1, "not an SVG document: the root element is <html>"},
        {__LINE__, document("", R"~(width="10qq" height="10mm")~"), 2, "width: unknown unit 'qq' in '10qq'"},
        {__LINE__, document("\n<path d=\"M0 0 L 5 ?\"/>"), 4,
         "<path> d: expected a number, found '?' at character 10"},
        {__LINE__, document("<rect width=\"1\" height=\"5 mm\"/>"), 3, "<rect> height: unknown unit ' mm' in '5 mm'"},
        {__LINE__, document("<use href=\"#nothing\"/>"), 3, "<use> refers to 'nothing', which the document does not define"},
        {__LINE__, document("<g id=\"a\"><use href=\"#a\"/></g>"), 3, "<use> of 'a' refers back to itself"},
        {__LINE__, document("<g transform=\"spin(3)\"/>"), 3,
         "transform: expected matrix, translate, scale, rotate, skewX or skewY at character 1"},
        {__LINE__, document("", R"~(viewBox="0 0 0 10")~"), 2, "viewBox width and height must be above 0"},
    };
    for (const Fault &f : faults) {
        SCOPED_TRACE(f.line);
        Drawing drawing;
        SourceError error;
        ASSERT_FALSE(readSvg(f.text, drawing, error));
        EXPECT_EQ(error.line, f.errorLine);
        EXPECT_EQ(error.message, f.message);
    }
}

TEST(SvgReader, UseExpansionIsBounded) {
    // each level shows the one below twice: 2^40 lines if nothing stopped it
    std::string body = R"~(<defs><line id="u0" x2="1" stroke="red"/>)~";
    for (int i = 1; i <= 40; ++i) {
        body += "<g id=\"u" + std::to_string(i) + "\"><use href=\"#u" + std::to_string(i - 1) +
                "\"/><use href=\"#u" + std::to_string(i - 1) + "\"/></g>";
    }
    body += "</defs><use href=\"#u40\"/>";
    Drawing drawing;
    SourceError error;
    SvgLimits limits;
    limits.maxElements = 100000;
    ASSERT_FALSE(readSvg(document(body), drawing, error, limits));
    EXPECT_EQ(error.message, "the drawing expands to more than 100000 elements");
}

std::string gzipped(const std::string &text) {
    z_stream stream{};
    EXPECT_EQ(deflateInit2(&stream, 9, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
    std::string out(deflateBound(&stream, text.size()) + 32, '\0');
    stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(text.data()));
    stream.avail_in = static_cast<uInt>(text.size());
    stream.next_out = reinterpret_cast<Bytef *>(out.data());
    stream.avail_out = static_cast<uInt>(out.size());
    EXPECT_EQ(deflate(&stream, Z_FINISH), Z_STREAM_END);
    out.resize(stream.total_out);
    deflateEnd(&stream);
    return out;
}

TEST(SvgReader, CompressedDocumentsReadTheSame) {
    const std::string text = document(R"~(<circle r="3" stroke="red"/>)~");
    EXPECT_EQ(shapesText(read(gzipped(text))), shapesText(read(text)));
    Drawing drawing;
    SourceError error;
    const std::string cut = gzipped(text).substr(0, 30);
    EXPECT_FALSE(readSvg(cut, drawing, error));
    EXPECT_EQ(error.message, "the gzip data ends early");
}

} // namespace
} // namespace drv::drawing::svg
