// drvhost calibrate and digitize end to end: streams of known drawings
// made by the encoder through a known sheet placement, for an ASCII and a
// binary model; the written DXF (read back with libdxflib), SVG and plot
// script compared with the drawing; SIGINT on a live line.
#include <cmath>
#include <csignal>

#include "host/calibration/calibration_file.h"
#include "tests/digitize/synthetic_tablet.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/tablet/cli_fixture.h"
#include "tests/tablet/drawing_files.h"

namespace {

using namespace std::chrono_literals;
using drv::host::Calibration;
using drv::host::PlanePoint;
using drv::host::Polyline;
using drv::test::knownSheet;
using drv::test::LiveProcess;
using drv::test::pressCodes;
using drv::test::PseudoTerminal;
using drv::test::StreamMaker;
using drv::test::TabletCli;

struct Model {
    std::string name;
    int format;
};
// An ASCII model whose buttons are digits and a binary one with 31 buttons.
const Model kModels[] = {{"halvesk", 1}, {"belvane", 2}};

const std::string kPoints = "0,0 200,0 200,150 0,150 100,75";
const std::vector<PlanePoint> kPointList = {{0, 0}, {200, 0}, {200, 150}, {0, 150}, {100, 75}};

drv::test::KnownSheet sheetFor(const Model &m) {
    const auto info = drv::tabletFormat(m.name, m.format);
    return knownSheet(info->maxX, info->maxY);
}

// How far apart two points are.
double distance(PlanePoint a, PlanePoint b) {
    return std::hypot(a.x - b.x, a.y - b.y);
}

void expectPolylines(const std::vector<Polyline> &got, const std::vector<Polyline> &want,
                     double tolerance) {
    ASSERT_EQ(got.size(), want.size());
    for (std::size_t i = 0; i < want.size(); ++i) {
        SCOPED_TRACE(::testing::Message() << "polyline " << i + 1);
        EXPECT_EQ(got[i].closed, want[i].closed);
        ASSERT_EQ(got[i].points.size(), want[i].points.size());
        for (std::size_t k = 0; k < want[i].points.size(); ++k) {
            EXPECT_LE(distance(got[i].points[k], want[i].points[k]), tolerance)
                << "vertex " << k + 1 << " at " << got[i].points[k].x << "," << got[i].points[k].y;
        }
    }
}

TEST_F(TabletCli, CalibratesFromPressesAndRecoversTheSheet) {
    for (const Model &m : kModels) {
        SCOPED_TRACE(m.name);
        const auto sheet = sheetFor(m);
        StreamMaker maker(m.name, m.format, sheet, 1.0);
        for (const PlanePoint &p : kPointList) {
            maker.press(pressCodes(m.name, m.format).front(), p);
        }
        ASSERT_TRUE(maker.ok());
        const auto r = drvhost({"calibrate", "--driver", m.name, "--format",
                                std::to_string(m.format), "--points", kPoints, "--input",
                                file("cal.bin", maker.stream()), "-o", path("t.cal")});
        ASSERT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.err.find("point 5 of 5 (100, 75 mm): residual"), std::string::npos) << r.err;
        Calibration cal;
        std::string error;
        ASSERT_TRUE(drv::host::readCalibration(path("t.cal"), cal, error)) << error;
        EXPECT_EQ(cal.model, m.name);
        EXPECT_EQ(cal.format, m.format);
        ASSERT_EQ(cal.points.size(), 5u);
        // One count of noise: the fit is good to about a count anywhere on
        // the sheet.
        const double tolerance = 1.5 / sheet.countsPerMm;
        for (const PlanePoint p : {PlanePoint{0, 0}, PlanePoint{220, 170}, PlanePoint{50, 120}}) {
            EXPECT_LE(distance(cal.toMm(sheet.mmToCounts.apply(p)), p), tolerance);
        }
        EXPECT_LE(cal.worst, tolerance);
        EXPECT_EQ(cal.maxError, 0.5);
    }
}

TEST_F(TabletCli, RefusesACalibrationThatCannotBeMade) {
    const Model m = kModels[0];
    const auto sheet = sheetFor(m);
    const std::int16_t press = pressCodes(m.name, m.format).front();
    struct Case {
        int line;
        std::string points;
        std::vector<PlanePoint> pressed; // mm on the sheet
        int status;
        std::string message;
    };
    const Case cases[] = {
        {__LINE__,
         kPoints,
         {{0, 0}, {200, 0}},
         1,
         "a calibration needs at least 3 reference points; 2 were pressed"},
        {__LINE__,
         kPoints,
         {},
         1,
         "a calibration needs at least 3 reference points; 0 were pressed"},
        {__LINE__, "0,0 100,0 200,0.01", {}, 2, "--points: the points lie on one line"},
        {__LINE__, "0,0 100,0", {}, 2, "--points names 2 points; a calibration needs at least 3"},
        {__LINE__, "0,0 100,x 5,5", {}, 2, "--points: point 2 '100,x' is not X,Y in mm"},
        {__LINE__,
         "0,0 100,0 0,100",
         {{5, 5}, {5, 5}, {5, 5}},
         1,
         "the pressed points lie on one line"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "line " << c.line);
        StreamMaker maker(m.name, m.format, sheet, 0);
        for (const PlanePoint &p : c.pressed) {
            maker.press(press, p);
        }
        const auto r = drvhost({"calibrate", "--driver", m.name, "--points", c.points, "--input",
                                file("cal.bin", maker.stream()), "-o", path("t.cal")});
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(path("t.cal")));
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_),
                                std::filesystem::directory_iterator()),
                  1); // the stream only: no temporary file left behind
    }
}

TEST_F(TabletCli, ReportsAPointPressedFurtherOffThanMaxError) {
    const Model m = kModels[1];
    const auto sheet = sheetFor(m);
    StreamMaker maker(m.name, m.format, sheet, 0);
    for (std::size_t i = 0; i < kPointList.size(); ++i) {
        // the third point pressed 3 mm to the right of where it is
        const PlanePoint p{kPointList[i].x + (i == 2 ? 3.0 : 0.0), kPointList[i].y};
        maker.press(1, p);
    }
    const auto r =
        drvhost({"calibrate", "--driver", m.name, "--format", "2", "--points", kPoints, "--input",
                 file("cal.bin", maker.stream()), "-o", path("t.cal"), "--max-error", "0.8"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning: point 3 of 5 (200, 150 mm): residual"), std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("(--max-error 0.8)"), std::string::npos) << r.err;
    EXPECT_TRUE(std::filesystem::exists(path("t.cal")));
}

// The drawing traced in the digitizing tests, with the presses that trace
// it: codes[0] adds, codes[1] ends, codes[2] closes, codes[3] undoes.
struct Traced {
    std::string stream;
    std::vector<Polyline> drawing;
};

Traced traceDrawing(const Model &m, const drv::test::KnownSheet &sheet) {
    const std::vector<std::int16_t> codes = pressCodes(m.name, m.format);
    StreamMaker maker(m.name, m.format, sheet, 0.5);
    // An open polyline, each button held through several reports.
    const std::vector<PlanePoint> open = {{10, 10}, {60, 20}, {110, 10}};
    for (const PlanePoint &p : open) {
        maker.press(codes[0], p, 4);
    }
    maker.press(codes[1], {0, 0});
    // A closed one with a vertex pressed by mistake and undone.
    const std::vector<PlanePoint> square = {{20, 40}, {80, 40}, {80, 100}, {20, 100}};
    maker.press(codes[0], square[0]);
    maker.press(codes[0], square[1]);
    maker.press(codes[0], {150, 150});
    maker.press(codes[3], {0, 0});
    maker.press(codes[0], square[2]);
    maker.press(codes[0], square[3]);
    maker.press(codes[2], {0, 0});
    // An open one the end of the input finishes.
    const std::vector<PlanePoint> last = {{150, 30}, {190, 130}};
    for (const PlanePoint &p : last) {
        maker.press(codes[0], p, 1);
    }
    EXPECT_TRUE(maker.ok());
    return {maker.stream(), {{open, false}, {square, true}, {last, false}}};
}

std::string buttonsOption(const Model &m) {
    const std::vector<std::int16_t> c = pressCodes(m.name, m.format);
    return "add=" + std::to_string(c[0]) + ",end=" + std::to_string(c[1]) +
           ",close=" + std::to_string(c[2]) + ",undo=" + std::to_string(c[3]);
}

std::string calibrationFor(const Model &m, const drv::test::KnownSheet &sheet) {
    Calibration cal;
    cal.model = m.name;
    cal.format = m.format;
    cal.transform = sheet.countsToMm;
    return drv::host::calibrationText(cal);
}

TEST_F(TabletCli, DigitizesADrawingIntoDxfSvgAndAPlotScript) {
    for (const Model &m : kModels) {
        SCOPED_TRACE(m.name);
        const auto sheet = sheetFor(m);
        const Traced traced = traceDrawing(m, sheet);
        const std::string input = file("drawing.bin", traced.stream);
        const std::string cal = file("t.cal", calibrationFor(m, sheet));
        // Half a count of noise and the rounding to whole counts, on each axis.
        const double tolerance = 1.5 / sheet.countsPerMm;
        for (const std::string out : {"d.dxf", "d.svg", "d.plt"}) {
            SCOPED_TRACE(out);
            const auto r = drvhost({"digitize", "--driver", m.name, "--format",
                                    std::to_string(m.format), "--input", input, "--calibration",
                                    cal, "--buttons", buttonsOption(m), "-o", path(out)});
            ASSERT_EQ(r.status, 0) << r.err;
            EXPECT_NE(r.err.find("3 polylines, 9 vertices written to"), std::string::npos) << r.err;
            EXPECT_NE(r.err.find("undone, 2 left"), std::string::npos) << r.err;
            EXPECT_NE(r.err.find("polyline 2 closed with 4 vertices"), std::string::npos) << r.err;
            const std::string bytes = read(path(out));
            if (out == "d.dxf") {
                const auto dxf = drv::test::readDxf(bytes);
                ASSERT_TRUE(dxf.read);
                EXPECT_EQ(dxf.insunits, 4); // millimetres
                expectPolylines(dxf.polylines, traced.drawing, tolerance);
            } else if (out == "d.svg") {
                // The drawing spans 10..190 by 10..130 mm.
                EXPECT_NE(bytes.find("width=\"180."), std::string::npos) << bytes.substr(0, 300);
                EXPECT_NE(bytes.find("mm\" height=\"120."), std::string::npos)
                    << bytes.substr(0, 300);
                expectPolylines(drv::test::svgPolylines(bytes), traced.drawing, tolerance + 0.001);
            } else {
                expectPolylines(drv::test::scriptPolylines(bytes), traced.drawing,
                                tolerance + 0.0125);
                // ... and drvhost plot takes it as it is.
                const auto plot =
                    drvhost({"plot", "--driver", "quillane", path(out), "-o", path("d.hpgl")});
                EXPECT_EQ(plot.status, 0) << plot.err;
            }
        }
    }
}

TEST_F(TabletCli, RefusesDigitizingOptionsItCannotUse) {
    struct Case {
        int line;
        std::vector<std::string> options;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {__LINE__,
         {"-o", "d.txt"},
         2,
         "-o d.txt: the name does not say dxf, svg or plt; give --as"},
        {__LINE__, {"-o", "-", "--as", "pdf"}, 2, "--as must be dxf, svg or plt"},
        {__LINE__,
         {"-o", "d.svg", "--buttons", "add=1,end=1"},
         2,
         "--buttons: code 1 is given to two actions"},
        {__LINE__,
         {"-o", "d.svg", "--buttons", "stop=2"},
         2,
         "--buttons: 'stop=2' is not NAME=CODE with NAME add, end, close or undo"},
        {__LINE__, {"-o", "d.svg", "--buttons", "add=0"}, 2, "0 is the code of no button"},
        {__LINE__, {"-o", "d.svg", "--calibration", "missing.cal"}, 1, "missing.cal: No such file"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "line " << c.line);
        std::vector<std::string> args = {"digitize", "--driver", "halvesk", "--input",
                                         file("empty.bin", "")};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto r = drvhost(args);
        EXPECT_EQ(r.status, c.status);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

TEST_F(TabletCli, RefusesACalibrationMadeForAnotherTablet) {
    const Model m = kModels[0];
    const std::string cal = file("t.cal", calibrationFor(m, sheetFor(m)));
    const auto r = drvhost({"digitize", "--driver", "belvane", "--format", "2", "--input",
                            file("empty.bin", ""), "--calibration", cal, "-o", path("d.svg")});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("was made for halvesk format 1, not belvane format 2"), std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(path("d.svg")));
}

// The person stops a live session: what was digitized is written.
TEST_F(TabletCli, InterruptedDigitizingWritesTheFile) {
    const Model m = kModels[1];
    const auto sheet = sheetFor(m);
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    LiveProcess run(command({"digitize", "--driver", m.name, "--format", "2", "--device",
                             line.name(), "--calibration", file("t.cal", calibrationFor(m, sheet)),
                             "-o", path("live.svg")}));
    ASSERT_TRUE(run.waitForErr("set-up text", 10s)) << run.err();
    StreamMaker maker(m.name, m.format, sheet, 0);
    maker.press(1, {10, 20});
    maker.press(1, {30, 40});
    ASSERT_TRUE(line.send(maker.stream()));
    ASSERT_TRUE(run.waitForErr("vertex 2 at", 10s)) << run.err();
    run.signal(SIGINT);
    EXPECT_EQ(run.wait(), 0) << run.err();
    const auto lines = drv::test::svgPolylines(read(path("live.svg")));
    ASSERT_EQ(lines.size(), 1u);
    expectPolylines(lines, {{{{10, 20}, {30, 40}}, false}}, 1.0 / sheet.countsPerMm);
}

} // namespace
