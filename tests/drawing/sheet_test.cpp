#include <gtest/gtest.h>

#include <numbers>

#include "host/drawing/emit/job_emitter.h"
#include "host/drawing/emit/plotter_abilities.h"
#include "host/drawing/sheet/sheet_items.h"
#include "host/job/plot_ops.h"

namespace drv::drawing {
namespace {

constexpr double kPi = std::numbers::pi;

// A drawing in millimetres with y up on a 100 x 100 mm sheet, one pen.
struct Sheet {
    Drawing drawing;
    PenAssignment pens;
    Placement placement{Affine::scale(40, 40), 4000, 4000};

    void shape(Subpath path, std::optional<Colour> fill = std::nullopt, bool stroked = true) {
        drawing.shapes.push_back({{std::move(path)}, {}, stroked, fill, 7});
        pens.shapePens.push_back(1);
        pens.fillPens.push_back(fill ? 2 : 0);
    }
    void text(std::string value, Point at) {
        drawing.texts.push_back({std::move(value), at, {2, 0}, {0, 2}, {}, 9});
        pens.textPens.push_back(1);
    }
    PlotItems items(const PlotterAbilities &abilities, std::vector<std::string> &warnings,
                    SheetOptions options = {}) const {
        PlotItems out;
        std::string error;
        EXPECT_TRUE(sheetItems(drawing, pens, placement, options, abilities, out, warnings, error)) << error;
        return out;
    }
};

Subpath circle(Point c, double r, double from = 0, double sweep = 2 * kPi) {
    const EllipticArc arc{c, {r, 0}, {0, r}, from, from + sweep};
    return {arc.at(from), {Segment::ellipse(arc)}, sweep >= 2 * kPi};
}

TEST(SheetItems, CirclesAndArcsGoAsRequestsWhereThePlotterDrawsThem) {
    struct Case {
        int line;
        Subpath path;
        const char *driver;
        bool request;
        double sweep;
        double toleranceMm = 0.05;
        double chord = 11; // a 2-unit sagitta on a 400-unit radius, rounded down
    };
    const Case cases[] = {
        {__LINE__, circle({50, 50}, 10), "quillane", true, 360},
        {__LINE__, circle({50, 50}, 10), "drevant", true, 360},
        {__LINE__, circle({50, 50}, 10, 0, kPi / 2), "quillane", true, 90},
        {__LINE__, circle({50, 50}, 10, kPi, -kPi / 2), "quillane", true, -90},
        // the PCI arc carries no direction: chords instead
        {__LINE__, circle({50, 50}, 10, 0, kPi / 2), "drevant", false, 0},
        // centre and radius off the grid by half a unit: within a tolerance
        // of two units, but more than one of 0.4 leaves: chords
        {__LINE__, circle({50.0125, 50.0125}, 9.9875), "quillane", true, 360, 0.05, 10},
        {__LINE__, circle({50.0125, 50.0125}, 9.9875), "quillane", false, 0, 0.01},
        {__LINE__, {{10, 10}, {Segment::line({20, 10}), circle({30, 10}, 10, kPi, -kPi).segments[0]}}, "quillane", false, 0},
        {__LINE__, circle({50, 50}, 10), "unknown", false, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        Sheet sheet;
        sheet.shape(c.path);
        std::vector<std::string> warnings;
        SheetOptions options;
        options.toleranceMm = c.toleranceMm;
        const PlotItems items = sheet.items(plotterAbilities(c.driver), warnings, options);
        ASSERT_EQ(items.paths.size(), 1u);
        const PlotPath &path = items.paths[0];
        EXPECT_EQ(path.arc.has_value(), c.request);
        if (c.request) {
            EXPECT_EQ(path.arc->radius, 400);
            EXPECT_NEAR(path.arc->sweepDegrees, c.sweep, 1e-9);
            EXPECT_EQ(path.arc->chordDegrees, c.chord);
        }
        EXPECT_TRUE(warnings.empty());
    }
}

TEST(SheetItems, TheSheetsEdgeIsMeasuredAndClipped) {
    Sheet sheet;
    sheet.shape({{50, 50}, {Segment::line({130, 50})}});
    std::vector<std::string> warnings;
    const PlotItems loose = sheet.items(plotterAbilities("quillane"), warnings);
    ASSERT_EQ(loose.paths.size(), 1u);
    EXPECT_EQ(loose.paths[0].exit(), (UnitPoint{5200, 2000}));
    EXPECT_EQ(warnings, (std::vector<std::string>{
                            "the drawing reaches 30.0 mm beyond the sheet's edge (--fit, --page or --clip keep it on the paper)"}));
    SheetOptions clip;
    clip.clip = true;
    warnings.clear();
    const PlotItems cut = sheet.items(plotterAbilities("quillane"), warnings, clip);
    ASSERT_EQ(cut.paths.size(), 1u);
    EXPECT_EQ(cut.paths[0].exit(), (UnitPoint{4000, 2000}));
    EXPECT_EQ(warnings, (std::vector<std::string>{"the drawing reaches 30.0 mm beyond the sheet's edge: clipped there"}));
}

TEST(SheetItems, FarBeyondWhatThePlotterCarriesIsRefused) {
    Sheet sheet;
    sheet.shape({{50, 50}, {Segment::line({9000, 50})}});
    PlotItems out;
    std::vector<std::string> warnings;
    std::string error;
    EXPECT_FALSE(sheetItems(sheet.drawing, sheet.pens, sheet.placement, {}, plotterAbilities("drevant"), out,
                            warnings, error));
    EXPECT_EQ(error, "line 7: the drawing reaches 9000 mm from the sheet's origin; this plotter's coordinates reach 6553 mm");
}

TEST(SheetItems, FillsWhereThePlotterFillsOutlinesElsewhere) {
    Sheet sheet;
    Subpath square{{10, 10}, {Segment::line({20, 10}), Segment::line({20, 20}), Segment::line({10, 20})}, true};
    sheet.shape(square, Colour{0, 0, 255}, false);
    SheetOptions fill;
    fill.fill = true;
    std::vector<std::string> warnings;
    const PlotItems filled = sheet.items(plotterAbilities("quillane"), warnings, fill);
    ASSERT_EQ(filled.fills.size(), 1u);
    EXPECT_TRUE(filled.paths.empty()); // only filled, as drawn
    EXPECT_EQ(filled.fills[0].pen, 2);
    EXPECT_EQ(filled.fills[0].rings[0],
              (std::vector<UnitPoint>{{400, 400}, {800, 400}, {800, 800}, {400, 800}, {400, 400}}));
    const PlotItems outlined = sheet.items(plotterAbilities("drevant"), warnings, fill);
    EXPECT_TRUE(outlined.fills.empty());
    EXPECT_EQ(outlined.paths.size(), 1u);
    EXPECT_EQ(warnings.back(), "this plotter fills no polygons: filled shapes are drawn as outlines");
}

TEST(SheetItems, LabelsPrintableAndNoLongerThanTheDeviceTakes) {
    Sheet sheet;
    sheet.placement.sheetWidth = 8000;
    sheet.text(std::string(80, 'x') + "\xC3\xA9\t\x03!", {10, 10});
    std::vector<std::string> warnings;
    const PlotItems items = sheet.items(plotterAbilities("drevant"), warnings);
    ASSERT_EQ(items.labels.size(), 2u);
    EXPECT_EQ(items.labels[0].text, std::string(77, 'x'));
    EXPECT_EQ(items.labels[1].text, "xxx? !");
    EXPECT_EQ(items.labels[0].at, (UnitPoint{400, 400}));
    // the second starts 77 character widths (2/3 of 80 units, rounded) on
    EXPECT_EQ(items.labels[1].at, (UnitPoint{400 + 77 * 53, 400}));
    EXPECT_DOUBLE_EQ(items.labels[0].heightMm, 2);
    EXPECT_EQ(warnings, (std::vector<std::string>{"labels print ASCII only: other characters became '?'"}));
}

TEST(JobEmitter, RequestsInTheOrderTheDriversNeed) {
    JobPlan plan;
    PlotPath line;
    line.points = {{10, 10}, {20, 10}, {20, 30}};
    line.pen = 2;
    PlotPath dot;
    dot.points = {{5, 5}, {5, 5}};
    dot.pen = 2;
    PlotPath ring;
    ring.points = {{200, 100}, {100, 200}, {200, 100}};
    ring.closed = true;
    ring.pen = 1;
    ring.arc = ArcRequest{{100, 100}, 100, {200, 100}, {200, 100}, 360, 5, true};
    plan.items.paths = {line, dot, ring};
    plan.items.labels.push_back({{0, 0}, "A", 2, 1, 0, 1, 0});
    plan.steps = {{PlanStep::Kind::Path, 2}, {PlanStep::Kind::Label, 0}, {PlanStep::Kind::Path, 0}, {PlanStep::Kind::Path, 1}};
    const std::vector<PenInfo> pens = {{1, Colour{255, 0, 0}, 0.35}, {2, std::nullopt, 0}};
    const std::vector<host::PlotCall> calls = emitJob(plan, pens, {{}, 4000, 3000}, {});
    std::string ops;
    for (const host::PlotCall &call : calls) {
        ops += std::string(host::findOp(call.request.op)->name) + " ";
    }
    EXPECT_EQ(ops, "BeginJob PenColor PenWidth Velocity Velocity "
                   "SelectPen PenUp Circle TextStyle PenUp Label "
                   "SelectPen PenUp Plot PenDown Plot Plot PenUp Plot PenDown Plot "
                   "PenUp SelectPen EndJob ");
    EXPECT_EQ(calls[0].request.param[2].i, 4000);
    EXPECT_EQ(calls[0].request.param[3].i, 3000);
    EXPECT_EQ(calls[1].request.param[1].i, 65535); // 8-bit red widened
    EXPECT_FLOAT_EQ(calls[3].request.param[2].f, 100); // 10 cm/s as mm/s
    const host::PlotCall &style = calls[8];
    EXPECT_EQ(style.request.param[0].i, 80);
    EXPECT_EQ(style.request.param[1].i, 53);
    EXPECT_EQ(calls.end()[-2].request.param[0].i, 0); // the pen put away
}

} // namespace
} // namespace drv::drawing
