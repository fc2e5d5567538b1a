// Presses into polylines, and the drawing as SVG, DXF and plot script.
#include <gtest/gtest.h>

#include "host/digitize/digitize_session.h"
#include "host/digitize/dxf_writer.h"
#include "host/digitize/plot_script_writer.h"
#include "host/digitize/svg_writer.h"
#include "tests/digitize/dxf_reader.h"

namespace {

using namespace drv::host;

constexpr std::int16_t kAdd = 1, kEnd = 2, kClose = 3, kUndo = 4;
const ButtonActions kActions = {
    {kEnd, ButtonAction::End}, {kClose, ButtonAction::Close}, {kUndo, ButtonAction::Undo}};

struct Report {
    std::int16_t button;
    double x, y;
};

TEST(DigitizeSession, PressesMakeThePolylines) {
    struct Case {
        int line;
        std::vector<Report> reports;
        std::vector<Polyline> drawing;
        std::size_t leftOut;
    };
    const Case cases[] = {
        // a held button is one press, a release none
        {__LINE__,
         {{kAdd, 1, 1}, {kAdd, 2, 2}, {kAdd, 3, 3}, {0, 4, 4}, {kAdd, 5, 5}},
         {{{{1, 1}, {5, 5}}, false}},
         0},
        // going from one button straight to another presses the other
        {__LINE__, {{kAdd, 1, 1}, {9, 2, 2}, {kAdd, 3, 3}}, {{{{1, 1}, {2, 2}, {3, 3}}, false}}, 0},
        {__LINE__,
         {{kAdd, 0, 0},
          {0, 0, 0},
          {kAdd, 1, 0},
          {0, 0, 0},
          {kEnd, 0, 0},
          {0, 0, 0},
          {kAdd, 5, 5},
          {0, 0, 0},
          {kAdd, 6, 5},
          {0, 0, 0},
          {kAdd, 6, 6},
          {kClose, 9, 9}},
         {{{{0, 0}, {1, 0}}, false}, {{{5, 5}, {6, 5}, {6, 6}}, true}},
         0},
        // undo takes the last vertex, and goes back into an ended polyline
        {__LINE__,
         {{kAdd, 0, 0},
          {0, 0, 0},
          {kAdd, 1, 0},
          {0, 0, 0},
          {kAdd, 7, 7},
          {kUndo, 0, 0},
          {kAdd, 2, 0},
          {kEnd, 0, 0},
          {kUndo, 0, 0},
          {kAdd, 3, 0}},
         {{{{0, 0}, {1, 0}, {3, 0}}, false}},
         0},
        // undo and end with nothing open do nothing; a lone vertex draws nothing
        {__LINE__, {{kUndo, 0, 0}, {kEnd, 0, 0}, {kAdd, 4, 4}, {kEnd, 0, 0}}, {}, 1},
        {__LINE__, {{0, 1, 1}, {0, 2, 2}}, {}, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "line " << c.line);
        DigitizeSession session(kActions, true);
        for (const Report &r : c.reports) {
            session.report(r.button, {r.x, r.y});
        }
        const Drawing drawing = session.finish();
        EXPECT_EQ(drawing.polylines, c.drawing);
        EXPECT_EQ(session.leftOut(), c.leftOut);
        EXPECT_TRUE(drawing.millimetres);
    }
}

TEST(DigitizeSession, EventsSayWhatHappened) {
    using Kind = DigitizeSession::Event::Kind;
    DigitizeSession session(kActions, false);
    EXPECT_EQ(session.report(kAdd, {1, 2}).kind, Kind::Added);
    EXPECT_EQ(session.report(kAdd, {1, 2}).kind, Kind::None); // still held
    session.report(0, {0, 0});
    const auto added = session.report(kAdd, {3, 4});
    EXPECT_EQ(added.vertices, 2u);
    EXPECT_EQ(added.polyline, 1u);
    const auto closed = session.report(kClose, {0, 0});
    EXPECT_EQ(closed.kind, Kind::Closed);
    EXPECT_EQ(closed.vertices, 2u);
    const auto undone = session.report(kUndo, {0, 0});
    EXPECT_EQ(undone.kind, Kind::Undone);
    EXPECT_EQ(undone.at, (PlanePoint{3, 4}));
    EXPECT_EQ(undone.polyline, 1u);
}

Drawing sampleDrawing() {
    Drawing d;
    d.millimetres = true;
    d.polylines = {{{{10, 20}, {30.5, 20}, {30.5, 40.25}}, false},
                   {{{0, 0}, {5, 0}, {5, 5}}, true}};
    return d;
}

TEST(DrawingWriters, SvgIsInMmWithTheDrawingsOwnCoordinates) {
    EXPECT_EQ(svgText(sampleDrawing()),
              "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
              "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"30.5mm\" "
              "height=\"40.25mm\" viewBox=\"0 0 30.5 40.25\">\n"
              "<!-- digitized by drvhost: 2 polylines, 6 vertices, in mm -->\n"
              "<g transform=\"matrix(1 0 0 -1 0 40.25)\" fill=\"none\" stroke=\"black\" "
              "stroke-width=\"0.25\" stroke-linejoin=\"round\" stroke-linecap=\"round\">\n"
              "<polyline points=\"10,20 30.5,20 30.5,40.25\"/>\n"
              "<polygon points=\"0,0 5,0 5,5\"/>\n"
              "</g>\n</svg>\n");
}

TEST(DrawingWriters, PlotScriptIsInPlotterUnitsFromTheOrigin) {
    EXPECT_EQ(plotScriptText(sampleDrawing()),
              "# Digitized by drvhost: 2 polylines, 6 vertices.\n"
              "# Plotter units of 0.025 mm from the drawing's origin.\n"
              "BeginJob page_width=1220 page_height=1610 pens=1 bias=0x20 radix=32 sync_count=2 "
              "sync='!' terminator='\\r' checksum=1\n"
              "SelectPen pen=1\n"
              "PenUp\nPlot x=400 y=800\nPenDown\nPlot x=1220 y=800\nPlot x=1220 y=1610\n"
              "PenUp\nPlot x=0 y=0\nPenDown\nPlot x=200 y=0\nPlot x=200 y=200\nPlot x=0 y=0\n"
              "PenUp\nSelectPen pen=0\nEndJob copy_switch=0 copies=1\n");
}

TEST(DrawingWriters, DxfReadsBackWithItsUnits) {
    for (const bool mm : {true, false}) {
        SCOPED_TRACE(mm);
        Drawing d = sampleDrawing();
        d.millimetres = mm;
        std::string bytes;
        std::string error;
        ASSERT_TRUE(dxfBytes(d, bytes, error)) << error;
        const auto back = drv::test::readDxf(bytes);
        ASSERT_TRUE(back.read);
        EXPECT_EQ(back.insunits, mm ? kDxfMillimetres : kDxfUnitless);
        EXPECT_EQ(back.polylines, d.polylines);
        EXPECT_NE(bytes.find("LWPOLYLINE"), std::string::npos);
    }
}

} // namespace
