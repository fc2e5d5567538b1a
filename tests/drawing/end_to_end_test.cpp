// Drawings as drawing programs save them, plotted at true size through both
// plotter drivers: every point of the plotted strokes lies within the
// tolerance and one plotter unit of the true geometry, and every point of
// the true geometry within that of a plotted stroke. The HP-GL/2 output is
// decoded from its bytes; the PCI job is traced from its requests. The
// plot script `convert` writes plots to the same bytes.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>

#include "tests/drawing/call_tracer.h"
#include "tests/drawing/curve_sampling.h"
#include "host/drawing/import/drawing_import.h"
#include "host/io/byte_sink.h"
#include "host/job/job_checker.h"
#include "host/job/plotter_traits.h"
#include "host/picture/png_file.h"
#include "host/plot/plot_runner.h"
#include "host/script/script_job.h"
#include "host/script/script_parser.h"
#include "host/script/script_writer.h"
#include "tests/drawing/hpgl_reader.h"
#include "tests/drawing/spline_truth.h"
#include "tests/drawing/stroke_distance.h"
#include "tests/support/built_driver.h"

namespace drv::drawing {
namespace {

constexpr double kPi = std::numbers::pi;
using Strokes = std::vector<std::vector<Point>>;
using Curve = std::function<Point(double)>;

// The true geometry: curves in the drawing's millimetres, mapped to plotter
// units and sampled finely.
struct Truth {
    Affine toUnits;
    Strokes strokes;

    void add(const Curve &curve, const Affine &map = {}) {
        strokes.push_back(testing::sampleCurve([&](double t) { return toUnits.apply(map.apply(curve(t))); }, 4000));
    }
    void line(Point a, Point b, const Affine &map = {}) {
        add([=](double t) { return a + (b - a) * t; }, map);
    }
    void ellipse(Point c, double rx, double ry, double from, double to, const Affine &map = {}) {
        add([=](double t) {
            const double a = from + (to - from) * t;
            return c + Point{rx * std::cos(a), ry * std::sin(a)};
        }, map);
    }
    void cubic(Point p0, Point p1, Point p2, Point p3, const Affine &map = {}) {
        add([=](double t) {
            const double m = 1 - t;
            return p0 * (m * m * m) + p1 * (3 * m * m * t) + p2 * (3 * m * t * t) + p3 * (t * t * t);
        }, map);
    }
};

struct Plotted {
    std::vector<host::PlotCall> calls;
    std::vector<std::uint8_t> bytes;
};

std::vector<std::uint8_t> run(const std::string &driver, const std::vector<host::PlotCall> &job) {
    std::string error;
    const auto library = drv::test::openBuiltDriver(driver, error);
    EXPECT_NE(library, nullptr) << error;
    if (!library) {
        return {};
    }
    host::MemorySink sink;
    host::PlotRunStats stats;
    EXPECT_TRUE(host::runPlotJob(library->pldbin(), job, host::plotterTraits(driver).stateSize, sink, nullptr,
                                 stats, error))
        << error;
    return sink.bytes;
}

Plotted plot(const std::string &driver, const std::string &text, InputFormat format, const ImportOptions &base = {}) {
    ImportOptions options = base;
    options.driver = driver;
    ImportResult result;
    SourceError error;
    EXPECT_TRUE(importDrawing(text, format, options, result, error)) << error.line << ": " << error.message;
    // The calls pass the host's checks like any plot job's.
    std::vector<host::SourceError> errors;
    host::JobChecker checker(host::plotterTraits(driver), errors);
    for (const host::PlotCall &call : result.calls) {
        checker.add(call);
    }
    checker.finish(0);
    for (const host::SourceError &e : errors) {
        ADD_FAILURE() << host::formatSourceError(driver, e);
    }
    std::vector<host::PlotCall> job = checker.take();
    return {result.calls, run(driver, job)};
}

// The convert round trip: the written script, parsed and plotted.
std::vector<std::uint8_t> replayScript(const std::string &driver, const std::vector<host::PlotCall> &calls) {
    std::vector<host::SourceError> errors;
    const auto statements = host::parseScript(host::writeScript(calls, {"round trip"}), errors);
    const auto job = host::buildPlotJob(statements, host::plotterTraits(driver), "", host::readPng, errors);
    for (const host::SourceError &e : errors) {
        ADD_FAILURE() << host::formatSourceError("converted", e);
    }
    return run(driver, job);
}

void expectTrueToSize(const Strokes &plotted, const Truth &truth, double toleranceUnits) {
    ASSERT_FALSE(plotted.empty());
    const double allowed = toleranceUnits + 1;
    EXPECT_LE(testing::strayDistance(plotted, truth.strokes, 0.5, allowed + 2), allowed) << "plotted beyond the truth";
    EXPECT_LE(testing::strayDistance(truth.strokes, plotted, 0.5, allowed + 2), allowed) << "truth left unplotted";
}

const char *const kInkscapeSvg = R"~(<?xml version="1.0" encoding="UTF-8" standalone="no"?>
<!-- Created with Inkscape (http://www.inkscape.org/) -->
<svg
   width="200mm"
   height="150mm"
   viewBox="0 0 200 150"
   version="1.1"
   id="svg1"
   inkscape:version="1.2.2 (b0a8486541, 2022-12-01)"
   sodipodi:docname="true-size.svg"
   xmlns:inkscape="http://www.inkscape.org/namespaces/inkscape"
   xmlns:sodipodi="http://sodipodi.sourceforge.net/DTD/sodipodi-0.dtd"
   xmlns="http://www.w3.org/2000/svg"
   xmlns:svg="http://www.w3.org/2000/svg">
  <sodipodi:namedview id="namedview1" pagecolor="#ffffff" inkscape:document-units="mm" />
  <defs id="defs1">
    <symbol id="mark" viewBox="0 0 10 10">
      <path d="M 0,5 H 10 M 5,0 V 10" style="fill:none;stroke:#0000ff;stroke-width:0.5" />
    </symbol>
  </defs>
  <g inkscape:label="pen 1" inkscape:groupmode="layer" id="layer1" transform="translate(10,10)">
    <path style="fill:none;stroke:#000000;stroke-width:0.35" d="M 0,0 H 40 A 20,20 0 0 1 40,40 C 30,50 10,50 0,40 Z" id="path1" />
    <g id="g1" transform="matrix(0.8660254,0.5,-0.5,0.8660254,100,20)">
      <circle style="fill:none;stroke:#ff0000;stroke-width:0.35" id="circle1" cx="20" cy="20" r="15" />
      <rect style="fill:none;stroke:#ff0000;stroke-width:0.35" id="rect1" x="0" y="50" width="40" height="20" rx="5" />
    </g>
  </g>
  <g inkscape:label="Details" inkscape:groupmode="layer" id="layer2">
    <ellipse style="fill:none;stroke:#00aa00;stroke-width:0.35" id="ellipse1" cx="150" cy="110" rx="30" ry="12" transform="rotate(-20,150,110)" />
    <use href="#mark" x="20" y="100" width="20" height="20" id="use1" />
    <path style="fill:none;stroke:#00aa00;stroke-width:0.35" d="m 60,120 q 10,-20 20,0 t 20,0 a 8,4 0 1 0 16,0" id="path2" />
    <text xml:space="preserve" style="font-size:8px;fill:#000000" x="60" y="140" id="text1"><tspan id="tspan1" x="60" y="140">Plotted true</tspan></text>
  </g>
</svg>
)~";

Truth svgTruth() {
    Truth t;
    // SVG millimetres, y down from the top of a 150 mm sheet
    t.toUnits = Affine::scale(40, -40).then(Affine::translate(0, 150 * 40));
    const Affine layer1 = Affine::translate(10, 10);
    t.line({0, 0}, {40, 0}, layer1);
    t.ellipse({40, 20}, 20, 20, -kPi / 2, kPi / 2, layer1);
    t.cubic({40, 40}, {30, 50}, {10, 50}, {0, 40}, layer1);
    t.line({0, 40}, {0, 0}, layer1);
    const Affine group = Affine{0.8660254, 0.5, -0.5, 0.8660254, 100, 20}.then(layer1);
    t.ellipse({20, 20}, 15, 15, 0, 2 * kPi, group);
    // the rounded rectangle: four sides and four quarter circles
    t.line({5, 50}, {35, 50}, group);
    t.line({40, 55}, {40, 65}, group);
    t.line({35, 70}, {5, 70}, group);
    t.line({0, 65}, {0, 55}, group);
    t.ellipse({35, 55}, 5, 5, -kPi / 2, 0, group);
    t.ellipse({35, 65}, 5, 5, 0, kPi / 2, group);
    t.ellipse({5, 65}, 5, 5, kPi / 2, kPi, group);
    t.ellipse({5, 55}, 5, 5, kPi, 1.5 * kPi, group);
    t.ellipse({150, 110}, 30, 12, 0, 2 * kPi, Affine::rotate(-20, 150, 110));
    const Affine mark = Affine::scale(2, 2).then(Affine::translate(20, 100));
    t.line({0, 5}, {10, 5}, mark);
    t.line({5, 0}, {5, 10}, mark);
    // quadratics as their own curves, then the half ellipse of the arc
    t.add([](double s) { return Point{60, 120} * ((1 - s) * (1 - s)) + Point{70, 100} * (2 * s * (1 - s)) + Point{80, 120} * (s * s); });
    t.add([](double s) { return Point{80, 120} * ((1 - s) * (1 - s)) + Point{90, 140} * (2 * s * (1 - s)) + Point{100, 120} * (s * s); });
    t.ellipse({108, 120}, 8, 4, kPi, 0);
    return t;
}

// A CAD drawing: blocks nested and inserted scaled and turned, a polyline
// with bulges, a spline, an arc, an ellipse and a text.
std::string cadDxf() {
    std::string text;
    const auto g = [&](int code, const std::string &value) { text += std::to_string(code) + "\n" + value + "\n"; };
    for (const auto &[code, value] : std::vector<std::pair<int, std::string>>{
             {0, "SECTION"}, {2, "HEADER"}, {9, "$INSUNITS"}, {70, "4"},
             {0, "ENDSEC"},  {0, "SECTION"}, {2, "TABLES"}, {0, "TABLE"}, {2, "LAYER"}, {70, "2"},
             {0, "LAYER"},   {2, "0"},      {70, "0"},     {62, "7"},    {6, "CONTINUOUS"},
             {0, "LAYER"},   {2, "Parts"},  {70, "0"},     {62, "1"},    {6, "CONTINUOUS"},
             {0, "ENDTAB"},  {0, "ENDSEC"},
             {0, "SECTION"}, {2, "BLOCKS"},
             {0, "BLOCK"},   {8, "0"},      {2, "TICK"},   {70, "0"},    {10, "0"}, {20, "0"}, {30, "0"},
             {0, "LINE"},    {8, "0"},      {10, "0"},     {20, "0"},    {11, "2"}, {21, "0"},
             {0, "ENDBLK"},
             {0, "BLOCK"},   {8, "0"},      {2, "BOLT"},   {70, "0"},    {10, "0"}, {20, "0"}, {30, "0"},
             {0, "CIRCLE"},  {8, "0"},      {10, "0"},     {20, "0"},    {40, "3"},
             {0, "LINE"},    {8, "0"},      {10, "-5"},    {20, "0"},    {11, "5"}, {21, "0"},
             {0, "INSERT"},  {8, "0"},      {2, "TICK"},   {10, "0"},    {20, "5"}, {50, "90"},
             {0, "ENDBLK"},
             {0, "ENDSEC"},
             {0, "SECTION"}, {2, "ENTITIES"},
             {0, "LWPOLYLINE"}, {8, "Parts"}, {90, "4"}, {70, "1"}, {10, "10"}, {20, "10"}, {10, "60"}, {20, "10"},
             {42, "0.5"}, {10, "60"}, {20, "40"}, {10, "10"}, {20, "40"}, {42, "-1"},
             {0, "SPLINE"},  {8, "Parts"},  {70, "8"},     {71, "3"},    {72, "9"},  {73, "5"}, {74, "0"},
             {40, "0"}, {40, "0"}, {40, "0"}, {40, "0"}, {40, "1"}, {40, "2"}, {40, "2"}, {40, "2"}, {40, "2"},
             {10, "80"}, {20, "10"}, {10, "90"}, {20, "40"}, {10, "100"}, {20, "0"}, {10, "110"}, {20, "40"},
             {10, "120"}, {20, "10"},
             {0, "INSERT"},  {8, "Parts"},  {2, "BOLT"},   {10, "40"},   {20, "70"}, {41, "2"}, {42, "2"}, {50, "30"},
             {0, "INSERT"},  {8, "0"},      {2, "BOLT"},   {10, "90"},   {20, "70"}, {41, "1.5"}, {42, "1.5"},
             {0, "ARC"},     {8, "Parts"},  {10, "140"},   {20, "40"},   {40, "10"}, {50, "0"}, {51, "270"},
             {0, "ELLIPSE"}, {8, "0"},      {10, "150"},   {20, "80"},   {11, "20"}, {21, "5"}, {40, "0.4"},
             {41, "0"}, {42, "6.283185307179586"},
             {0, "TEXT"},    {8, "0"},      {10, "10"},    {20, "80"},   {40, "5"},  {1, "Hole"},
             {0, "ENDSEC"},  {0, "EOF"}}) {
        g(code, value);
    }
    return text;
}

// The arc from a to b whose bulge is b: its centre on the chord's bisector,
// as far from the chord as the half chord over the tangent of half the
// angle it turns.
void bulgeArc(Truth &t, Point a, Point b, double bulge) {
    const double turn = 4 * std::atan(bulge);
    const Point mid = (a + b) * 0.5;
    const Point chord = b - a;
    const Point left = Point{-chord.y, chord.x} * (1 / length(chord));
    const Point centre = mid + left * (length(chord) / 2 / std::tan(turn / 2));
    const double start = std::atan2(a.y - centre.y, a.x - centre.x);
    const double radius = distance(a, centre);
    t.add([=](double s) { return centre + Point{std::cos(start + turn * s), std::sin(start + turn * s)} * radius; });
}

Truth dxfTruth() {
    Truth t;
    t.toUnits = Affine::scale(40, 40);
    t.line({10, 10}, {60, 10});
    bulgeArc(t, {60, 10}, {60, 40}, 0.5);
    t.line({60, 40}, {10, 40});
    bulgeArc(t, {10, 40}, {10, 10}, -1);
    const BSpline spline{3, {0, 0, 0, 0, 1, 2, 2, 2, 2}, {{80, 10}, {90, 40}, {100, 0}, {110, 40}, {120, 10}}, {}};
    t.add([&](double s) { return testing::deBoor(spline, 2 * s); });
    for (const Affine &bolt : {Affine::scale(2, 2).then(Affine::rotate(30)).then(Affine::translate(40, 70)),
                               Affine::scale(1.5, 1.5).then(Affine::translate(90, 70))}) {
        t.ellipse({0, 0}, 3, 3, 0, 2 * kPi, bolt);
        t.line({-5, 0}, {5, 0}, bolt);
        t.line({0, 0}, {2, 0}, Affine::rotate(90).then(Affine::translate(0, 5)).then(bolt));
    }
    t.ellipse({140, 40}, 10, 10, 0, 1.5 * kPi);
    const Point major{20, 5};
    t.add([&](double s) {
        const double a = 2 * kPi * s;
        return Point{150, 80} + major * std::cos(a) + Point{-major.y, major.x} * (0.4 * std::sin(a));
    });
    return t;
}

struct Job {
    const char *name;
    std::function<std::string()> text;
    InputFormat format;
    std::function<Truth()> truth;
};

const Job kJobs[] = {
    {"inkscape svg", [] { return std::string(kInkscapeSvg); }, InputFormat::Svg, svgTruth},
    {"cad dxf", cadDxf, InputFormat::Dxf, dxfTruth},
};

TEST(EndToEnd, HpglPlotsTheTrueGeometryAtTrueSize) {
    for (const Job &job : kJobs) {
        SCOPED_TRACE(job.name);
        const Plotted plotted = plot("quillane", job.text(), job.format);
        const testing::HpglPlot decoded = testing::readHpgl(plotted.bytes);
        ASSERT_EQ(decoded.error, "");
        expectTrueToSize(decoded.strokes, job.truth(), 2);
        EXPECT_EQ(decoded.labels.size(), 1u);
    }
}

TEST(EndToEnd, PciJobDrawsTheTrueGeometryAtTrueSize) {
    for (const Job &job : kJobs) {
        SCOPED_TRACE(job.name);
        const Plotted plotted = plot("drevant", job.text(), job.format);
        EXPECT_FALSE(plotted.bytes.empty());
        expectTrueToSize(testing::traceCalls(plotted.calls), job.truth(), 2);
    }
}

TEST(EndToEnd, AFinerToleranceStaysWithinItToo) {
    ImportOptions fine;
    fine.sheet.toleranceMm = 0.01;
    for (const Job &job : kJobs) {
        SCOPED_TRACE(job.name);
        const Plotted plotted = plot("quillane", job.text(), job.format, fine);
        expectTrueToSize(testing::readHpgl(plotted.bytes).strokes, job.truth(), 0.4);
    }
}

TEST(EndToEnd, LabelsLandWhereTheTextStands) {
    const Plotted svg = plot("drevant", kInkscapeSvg, InputFormat::Svg);
    const Plotted dxf = plot("drevant", cadDxf(), InputFormat::Dxf);
    const auto label = [](const Plotted &p) {
        for (const host::PlotCall &call : p.calls) {
            if (call.request.op == OpLabel) {
                return call;
            }
        }
        return host::PlotCall{};
    };
    const host::PlotCall a = label(svg);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(a.text.data())), "Plotted true");
    EXPECT_EQ(a.request.param[0].i, 60 * 40);
    EXPECT_EQ(a.request.param[1].i, (150 - 140) * 40);
    const host::PlotCall b = label(dxf);
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(b.text.data())), "Hole");
    EXPECT_EQ(b.request.param[0].i, 400);
    EXPECT_EQ(b.request.param[1].i, 3200);
}

TEST(EndToEnd, ConvertedScriptPlotsTheSameBytes) {
    ImportOptions turned;
    turned.placement.page = PageSize{297, 210};
    turned.placement.rotateDegrees = 90;
    turned.placement.fit = true;
    turned.sheet.fill = true;
    for (const Job &job : kJobs) {
        for (const char *driver : {"quillane", "drevant"}) {
            for (const ImportOptions &options : {ImportOptions{}, turned}) {
                SCOPED_TRACE(std::string(job.name) + " " + driver);
                const Plotted plotted = plot(driver, job.text(), job.format, options);
                ASSERT_FALSE(plotted.bytes.empty());
                EXPECT_EQ(replayScript(driver, plotted.calls), plotted.bytes);
            }
        }
    }
}

} // namespace
} // namespace drv::drawing
