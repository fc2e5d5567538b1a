// A job followed request by request: its summary, where it can start again
// and how it is ended early, and how far a device that took part of it got.
#include <cmath>
#include <numbers>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/job/job_resume.h"
#include "host/job/job_summary.h"
#include "host/plot/job_ledger.h"
#include "tests/host/build_job.h"

namespace {

using namespace drv::host;
using drv::test::buildOk;

// The job's requests as "Op@line", for comparing whole sequences.
std::vector<std::string> shape(const std::vector<PlotCall> &calls) {
    std::vector<std::string> out;
    for (const PlotCall &call : calls) {
        out.push_back(std::string(findOp(call.request.op)->name) + "@" +
                      std::to_string(call.pos.line));
    }
    return out;
}

const char kPens[] = "BeginJob page_width=16000 page_height=11000 pens=4\n" // 1
                     "PenWidth pen=2 width=0.5\n"                           // 2
                     "PenColor pen=1 r=1 g=2 b=3\n"                         // 3
                     "PenWidth pen=1 width=0.3\n"                           // 4
                     "PenWidth pen=1 width=0.35\n"                          // 5: the one in force
                     "Font symbol_set=277\n"                                // 6
                     "TextStyle height_mm=3 width_mm=2\n"                   // 7
                     "SelectPen pen=2\n"                                    // 8
                     "SelectPen pen=1\n"                                    // 9
                     "Plot x=100 y=100\n"                                   // 10
                     "PenDown\n"                                            // 11
                     "Plot x=500 y=100\n"                                   // 12
                     "Arc cx=500 cy=0 sx=500 sy=100 ex=600 ey=0 sweep=-90\n"  // 13
                     "Plot x=700 y=0\n"                                     // 14
                     "Label x=900 y=900 text=\"A\"\n"                       // 15
                     "Circle cx=2000 cy=2000 r=100\n"                       // 16
                     "EndJob\n";                                            // 17

struct ResumeCase {
    int line;
    const char *driver;
    int from;
    std::vector<std::string> frame; // the requests before the job's own
    int x;                           // where the frame puts the pen
    int y;
};

// What is in force at a line comes first; each setting once, the last one.
const ResumeCase kResumes[] = {
    {__LINE__, "quillane", 12,
     {"BeginJob@1", "Font@0", "TextStyle@0", "PenWidth@0", "PenColor@0", "PenWidth@0", "SelectPen@0",
      "PenUp@0", "Plot@0", "PenDown@0"},
     100, 100},
    // An arc leaves the pen at its end, raised.
    {__LINE__, "quillane", 14,
     {"BeginJob@1", "Font@0", "TextStyle@0", "PenWidth@0", "PenColor@0", "PenWidth@0", "SelectPen@0",
      "PenUp@0", "Plot@0"},
     600, 0},
    // A circle leaves it at the centre; the PCI plotter at its leftmost
    // point, with the pen down.
    {__LINE__, "quillane", 17,
     {"BeginJob@1", "Font@0", "TextStyle@0", "PenWidth@0", "PenColor@0", "PenWidth@0", "SelectPen@0",
      "PenUp@0", "Plot@0"},
     2000, 2000},
    {__LINE__, "drevant", 17,
     {"BeginJob@1", "Font@0", "TextStyle@0", "SelectPen@0", "PenUp@0", "Plot@0", "PenDown@0"},
     1900, 2000},
    // Right after BeginJob there is nothing to restore.
    {__LINE__, "quillane", 2, {"BeginJob@1"}, 0, 0},
    // From the start, or a line before it, is the whole job.
    {__LINE__, "quillane", 1, {}, 0, 0},
};

TEST(JobResume, SendsTheFrameThenTheJobFromTheLine) {
    for (const ResumeCase &c : kResumes) {
        SCOPED_TRACE(c.line);
        const std::string script =
            std::string(c.driver) == "drevant"
                ? std::string(kPens).replace(std::string(kPens).find("TextStyle height_mm=3"), 32,
                                             "TextStyle height_units=99 width_units=66")
                : std::string(kPens);
        const std::vector<PlotCall> job = buildOk(script, c.driver);
        std::vector<PlotCall> resumed;
        std::string error;
        ASSERT_TRUE(resumeJob(job, c.from, plotterTraits(c.driver), resumed, error)) << error;
        const std::vector<std::string> got = shape(resumed);
        ASSERT_GE(got.size(), c.frame.size());
        EXPECT_EQ(std::vector<std::string>(got.begin(), got.begin() + c.frame.size()), c.frame);
        // Then the job's own requests from the line on, untouched.
        const std::size_t from = static_cast<std::size_t>(c.from - 1);
        ASSERT_EQ(resumed.size() - c.frame.size(), job.size() - from);
        for (std::size_t i = 0; i + from < job.size(); ++i) {
            EXPECT_EQ(resumed[c.frame.size() + i].pos.line, job[from + i].pos.line);
        }
        for (const PlotCall &call : resumed) {
            if (call.request.op == OpPlot && call.pos.line == 0) {
                EXPECT_EQ(call.request.param[0].i, c.x);
                EXPECT_EQ(call.request.param[1].i, c.y);
            }
            if (call.request.op == OpPenWidth && call.pos.line == 0 && call.request.param[0].i == 1) {
                EXPECT_FLOAT_EQ(call.request.param[1].f, 0.35f);
            }
        }
    }
}

struct RefusedResume {
    int line;
    const char *script;
    int from;
    const char *error;
};

const RefusedResume kRefusedResumes[] = {
    {__LINE__, "BeginJob page_width=9 page_height=9 pens=1\nPolygonBegin x=0 y=0\nPlot x=5 y=5\n"
               "PolygonFill\nEndJob",
     3, "line 3 is inside the polygon begun on line 2, which starts only whole: resume from line 2"},
    {__LINE__, "BeginJob page_width=9 page_height=9 pens=1\nEndJob", 3,
     "line 3 is past the job's last request, on line 2"},
};

TEST(JobResume, RefusesLinesThatCannotStartAJob) {
    for (const RefusedResume &c : kRefusedResumes) {
        SCOPED_TRACE(c.line);
        std::vector<PlotCall> resumed;
        std::string error;
        EXPECT_FALSE(resumeJob(buildOk(c.script), c.from, plotterTraits("quillane"), resumed, error));
        EXPECT_EQ(error, c.error);
    }
}

struct CloseCase {
    int line;
    std::size_t sent;
    std::vector<std::string> closing;
};

TEST(JobResume, EndsWhatIsOpenAndTheJobWithoutCopies) {
    const std::vector<PlotCall> job = buildOk(
        "BeginJob page_width=9 page_height=9 pens=1\n"
        "RasterBegin x=0 y=0 width_mm=1 height_mm=1 columns=8 rows=2 depth=1 flags=HaltAfterRaster\n"
        "RasterRow hex=00\nRasterRow hex=FF\nRasterEnd\n"
        "PolygonBegin x=0 y=0\nPlot x=5 y=5\nPolygonFill\n"
        "EndJob copies=3 text=\"bye\"\n");
    const CloseCase cases[] = {
        {__LINE__, 0, {}},
        {__LINE__, 1, {"EndJob@9"}},
        {__LINE__, 3, {"RasterEnd@0", "EndJob@9"}},
        {__LINE__, 7, {"PolygonFill@0", "EndJob@9"}},
        {__LINE__, 9, {}},
    };
    for (const CloseCase &c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<PlotCall> closing = closingCalls(job, c.sent, plotterTraits("quillane"));
        std::vector<std::string> got = shape(closing);
        // The job's own end is taken for its trailer: compare without its line.
        for (std::string &s : got) {
            s = s.starts_with("EndJob") ? "EndJob@9" : s;
        }
        EXPECT_EQ(got, c.closing);
        if (!closing.empty()) {
            const PlotCall &end = closing.back();
            EXPECT_EQ(end.request.param[0].i, 0); // no copies of an interrupted page
            EXPECT_EQ(end.text, (std::vector<std::uint8_t>{'b', 'y', 'e', 0}));
        }
        if (c.closing.size() == 2 && c.closing[0] == "RasterEnd@0") {
            EXPECT_EQ(closing[0].request.flags, FlagHaltAfterRaster);
        }
    }
}

TEST(JobSummary, MeasuresThePensWayAndTimesItAtTheJobsSpeeds) {
    // A 1000-unit square (100 mm) at 100 mm/s, a circle and a quarter arc
    // at the default speed, and the pen-up moves between.
    const std::string script = "BeginJob page_width=16000 page_height=11000 pens=2\n"
                               "Velocity pen=1 speed=100 p5=1 p6=0.5\nSelectPen pen=1\n"
                               "Plot x=0 y=0\nPenDown\nPlot x=1000 y=0\nPlot x=1000 y=1000\n"
                               "Plot x=0 y=1000\nPlot x=0 y=0\nPenUp\n"
                               "SelectPen pen=2\nCircle cx=3000 cy=0 r=400\n"
                               "Arc cx=0 cy=0 sx=1000 sy=0 ex=0 ey=1000 sweep=90\nEndJob\n";
    const double circle = 2 * std::numbers::pi * 400 / 40;
    const double arc = std::numbers::pi / 2 * 1000 / 40;
    for (const char *driver : {"quillane", "drevant"}) {
        SCOPED_TRACE(driver);
        const JobSummary s = summarizeJob(buildOk(script, driver), plotterTraits(driver));
        EXPECT_EQ(s.requests, 14u);
        EXPECT_EQ(s.penChanges, 2u);
        EXPECT_NEAR(s.penDownMm, 100 + circle + arc, 1e-9);
        // To the circle's centre (75 mm), or to its leftmost point (65 mm)
        // for the PCI plotter; then to the arc's start.
        const double toCircle = std::string(driver) == "drevant" ? 65 : 75;
        const double fromCircle = std::string(driver) == "drevant" ? 1600.0 / 40 : 2000.0 / 40;
        EXPECT_NEAR(s.penUpMm, toCircle + fromCircle, 1e-9);
        EXPECT_NEAR(s.seconds, 100.0 / 100 + (circle + arc + s.penUpMm) / kDefaultPenSpeed, 1e-9);
    }
}

struct ThroughCase {
    int line;
    bool collected;
    std::vector<std::size_t> bytes; // each request's output
    std::uint64_t taken;
    std::size_t through;
};

// Requests whose bytes the device has whole. A driver that collects its
// requests into records hands back each request's bytes with a later call.
const ThroughCase kThrough[] = {
    {__LINE__, false, {10, 5, 0, 5}, 0, 0},
    {__LINE__, false, {10, 5, 0, 5}, 14, 1},
    {__LINE__, false, {10, 5, 0, 5}, 15, 3}, // the empty one is through with it
    {__LINE__, false, {10, 5, 0, 5}, 20, 4},
    {__LINE__, true, {10, 0, 0, 30, 0, 8}, 9, 0},
    {__LINE__, true, {10, 0, 0, 30, 0, 8}, 10, 1},  // BeginJob holds itself
    {__LINE__, true, {10, 0, 0, 30, 0, 8}, 39, 1},
    {__LINE__, true, {10, 0, 0, 30, 0, 8}, 40, 3},  // the record of requests 2 and 3
    {__LINE__, true, {10, 0, 0, 30, 0, 8}, 48, 6},  // EndJob delivers the rest
};

TEST(JobLedger, CountsTheRequestsADeviceHasWhole) {
    for (const ThroughCase &c : kThrough) {
        SCOPED_TRACE(c.line);
        JobLedger ledger(c.collected);
        for (std::size_t i = 0; i < c.bytes.size(); ++i) {
            PlotCall call;
            call.request.op = i == 0 ? OpBeginJob : i + 1 == c.bytes.size() ? OpEndJob : OpPlot;
            ledger.add(call, c.bytes[i]);
        }
        EXPECT_EQ(ledger.through(c.taken), c.through);
    }
}

} // namespace
