// drvhost tablet end to end: the count of reports, output that reaches a
// pipe reader as each report is decoded, and formats a model does not have.
#include <unistd.h>

#include <csignal>
#include <regex>

#include "tests/support/pseudo_terminal.h"
#include "tests/tablet/cli_fixture.h"

namespace {

using namespace std::chrono_literals;
using drv::TabletSample;
using drv::test::encodedStream;
using drv::test::lineCount;
using drv::test::LiveProcess;
using drv::test::PseudoTerminal;
using drv::test::TabletCli;

const std::vector<TabletSample> kFour = {{0, 10, 20}, {49, 30, 40}, {0, 50, 60}, {49, 70, 80}};

// Several reports arrive in one read (a file, a pipe written at once): the
// count still stops at exactly that many rows.
TEST_F(TabletCli, CountStopsAfterExactlyThatManyReports) {
    struct Case {
        int line;
        std::string model;
        int format;
        bool pipe; // standard input instead of --input
        std::size_t count;
    };
    const Case cases[] = {
        {__LINE__, "ambrel", 1, false, 1}, {__LINE__, "ambrel", 1, true, 1},
        {__LINE__, "ambrel", 1, false, 3}, {__LINE__, "ambrel", 2, false, 2},
        {__LINE__, "corvish", 2, true, 1}, {__LINE__, "zolmar", 1, false, 4},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "line " << c.line);
        std::vector<TabletSample> samples = kFour;
        for (TabletSample &s : samples) {
            s.button = s.button == 0 ? 0 : drv::tabletButtons(c.model, c.format).back();
        }
        const std::string stream = encodedStream(c.model, c.format, samples);
        std::vector<std::string> args = {"tablet",
                                         "--driver",
                                         c.model,
                                         "--format",
                                         std::to_string(c.format),
                                         "--count",
                                         std::to_string(c.count)};
        if (!c.pipe) {
            args.insert(args.end(), {"--input", file("stream.bin", stream)});
        }
        const auto r = drvhost(args, c.pipe ? stream : std::string{});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_EQ(lineCount(r.out), c.count + 1) << r.out; // and the header
        EXPECT_NE(r.err.find(std::to_string(c.count) + " reports decoded"), std::string::npos)
            << r.err;
    }
}

// A tablet that keeps the line busy: each report reaches the pipe reader as
// soon as it is decoded, not when the line goes quiet. Between reports the
// line carries short noise lines every few milliseconds, so it is never
// quiet and no further row is made that could fill an output buffer.
TEST_F(TabletCli, EachReportReachesAPipeReaderWhileTheLineIsBusy) {
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    LiveProcess run(
        command({"tablet", "--driver", "ambrel", "--format", "1", "--device", line.name()}));
    ASSERT_TRUE(run.started());
    ASSERT_TRUE(run.waitForErr("set-up text", 10s)) << run.err();
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        ASSERT_TRUE(line.send(encodedStream("ambrel", 1, {{0, 100 + i, 200}})));
        const std::string row = "0," + std::to_string(100 + i) + ",200\n";
        const auto deadline = std::chrono::steady_clock::now() + 3s;
        bool seen = false;
        while (!seen && std::chrono::steady_clock::now() < deadline) {
            ASSERT_TRUE(line.send("x\r"));
            seen = run.waitForOut(row, 5ms);
        }
        EXPECT_TRUE(seen) << run.out();
    }
    run.signal(SIGINT);
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_NE(run.err().find("3 reports decoded"), std::string::npos) << run.err();
}

TEST_F(TabletCli, RefusesAFormatTheModelDoesNotHave) {
    struct Case {
        int line;
        std::vector<std::string> options;
        std::string message;
    };
    const Case cases[] = {
        {__LINE__,
         {"--driver", "ambrel", "--format", "3"},
         "ambrel has no report format 3; its formats are 1 (ASCII) and 2 (binary)"},
        {__LINE__,
         {"--driver", "ambrel", "--format", "99"},
         "ambrel has no report format 99; its formats are 1 (ASCII) and 2 (binary)"},
        {__LINE__,
         {"--driver", "fennick", "--format", "2"},
         "fennick has no report format 2; its only format is 1 (ASCII)"},
        {__LINE__,
         {"--driver", "zolmar", "--format", "0"},
         "zolmar has no report format 0; its only format is 1 (binary)"},
        // a set-up text but no decoder: every report would be turned away
        {__LINE__,
         {"--driver", "tavrel", "--format", "2"},
         "tavrel has no report format 2; its only format is 1 (ASCII)"},
        // the model reads the second selector
        {__LINE__,
         {"--driver", "istrane", "--format", "1", "--aux-format", "3"},
         "istrane has no report format 3 (--aux-format); its formats are 1 (binary) and 2 "
         "(binary)"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "line " << c.line);
        std::vector<std::string> args = {"tablet"};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto r = drvhost(args, "anything\r\n");
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}

// istrane picks its format by the second selector: the framing follows it,
// whatever --format says.
TEST_F(TabletCli, FramesByTheSelectorTheModelReads) {
    const std::string stream = encodedStream("istrane", 2, {{1, 5, 6}, {2, 7, 8}});
    const auto r = drvhost({"tablet", "--driver", "istrane", "--format", "1", "--aux-format", "2",
                            "--input", file("s.bin", stream)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "button,x,y\n1,5,6\n2,7,8\n");
}

} // namespace

namespace {

// A calibration of ambrel format 1 at 10 counts a mm, the origin at
// counts (1000, 2000).
const char kAmbrelCalibration[] = R"({"drvhost_calibration": 1, "model": "ambrel", "format": 1,
  "transform": {"x_mm": [0.1, 0, -100], "y_mm": [0, 0.1, -200]},
  "points": [{"drawing_mm": [0, 0], "tablet": [1000, 2000]},
             {"drawing_mm": [100, 0], "tablet": [2000, 2000]},
             {"drawing_mm": [0, 50], "tablet": [1000, 2500]}]})";

TEST_F(TabletCli, CalibratedRowsCarryMillimetresAndTimes) {
    const std::string stream = encodedStream("ambrel", 1, {{0, 1000, 2000}, {49, 1255, 2730}});
    const std::string input = file("s.bin", stream);
    const std::string cal = file("t.cal", kAmbrelCalibration);
    const auto csv = drvhost(
        {"tablet", "--driver", "ambrel", "--input", input, "--calibration", cal, "--timestamps"});
    EXPECT_EQ(csv.status, 0) << csv.err;
    const std::regex rows("button,x,y,x_mm,y_mm,time\n"
                          "0,1000,2000,0.000,0.000,[0-9]+\\.[0-9]{6}\n"
                          "49,1255,2730,25.500,73.000,[0-9]+\\.[0-9]{6}\n");
    EXPECT_TRUE(std::regex_match(csv.out, rows)) << csv.out;
    const auto json =
        drvhost({"tablet", "--driver", "ambrel", "--input", input, "--calibration", cal, "--json"});
    EXPECT_EQ(json.status, 0) << json.err;
    EXPECT_EQ(json.out, "{\"button\":0,\"x\":1000,\"y\":2000,\"x_mm\":0.000,\"y_mm\":0.000}\n"
                        "{\"button\":49,\"x\":1255,\"y\":2730,\"x_mm\":25.500,\"y_mm\":73.000}\n");
}

TEST_F(TabletCli, SaysWhyNoInputDeviceCanBeMade) {
    if (::access("/dev/uinput", F_OK) == 0) {
        GTEST_SKIP() << "this machine has /dev/uinput: the message for its absence is not shown";
    }
    const auto r = drvhost({"tablet", "--driver", "ambrel", "--uinput", "--input",
                            file("s.bin", encodedStream("ambrel", 1, {{0, 1, 2}}))});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--uinput: /dev/uinput: No such file or directory (the kernel's uinput "
                         "module is not loaded: modprobe uinput)"),
              std::string::npos)
        << r.err;
}

TEST_F(TabletCli, RefusesPointerOptionsItCannotUse) {
    const std::string input = file("s.bin", "");
    struct Case {
        int line;
        std::vector<std::string> options;
        std::string message;
    };
    const Case cases[] = {
        {__LINE__, {"--buttons", "tip=1"}, "--buttons requires --uinput"},
        {__LINE__,
         {"--uinput", "--buttons", "left=1"},
         "--buttons: 'left=1' is not NAME=CODE with NAME tip, side or side2"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "line " << c.line);
        std::vector<std::string> args = {"tablet", "--driver", "ambrel", "--input", input};
        args.insert(args.end(), c.options.begin(), c.options.end());
        const auto r = drvhost(args);
        EXPECT_NE(r.status, 0);
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    }
}

} // namespace
