// drvhost sending jobs the way a spooler does, end to end: a network
// plotter that stops reading or hangs up mid-job, a serial plotter that
// holds XOFF, a job started again part-way, and signals while the job goes
// out.
#include <signal.h>

#include <regex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "tests/host/cli_fixture.h"
#include "tests/host/loopback_listener.h"
#include "tests/support/pseudo_terminal.h"
#include "tests/tablet/live_process.h"

namespace {

using namespace std::chrono_literals;
using drv::test::DrvhostCli;
using drv::test::LiveProcess;
using drv::test::LoopbackListener;
using drv::test::ProcessResult;
using drv::test::PseudoTerminal;
namespace fs = std::filesystem;

// A job the echo driver makes about 6 MB of: far more than the system
// buffers between drvhost and a plotter that stops reading.
std::string bigEchoJob(int labels = 200, std::size_t length = 30000) {
    std::string script = "BeginJob\nTextStyle height_units=10 width_units=10\n";
    for (int i = 0; i < labels; ++i) {
        script += "Label x=" + std::to_string(i) + " y=0 text=\"" +
                  std::string(length, static_cast<char>('a' + i % 26)) + "\"\n";
    }
    return script + "EndJob copy_switch=1 copies=2\n";
}

class Delivery : public DrvhostCli {
protected:
    // What the job makes, plotted to a file.
    std::string expected(const std::string &driver, const std::string &script) {
        const std::string out = path("expected.out");
        const ProcessResult r = drvhost({"plot", "--driver", driver, script, "-o", out});
        EXPECT_EQ(r.status, 0) << r.err;
        return read(out);
    }
};

TEST_F(Delivery, ReportsAPlotterThatStopsReadingAndWaitsForIt) {
    const std::string script = file("big.plt", bigEchoJob());
    const std::string whole = expected("echo_plotter", script);
    LoopbackListener plotter(4096);
    ASSERT_TRUE(plotter.ok());
    LiveProcess run(command({"plot", "--driver", "echo_plotter", script, "-o", plotter.target(),
                             "--stall-timeout", "1"}));
    ASSERT_TRUE(plotter.accept(10s));
    // The plotter, busy with something else, reads nothing until drvhost
    // says so, twice.
    EXPECT_TRUE(run.waitForErr("plotter not reading for 2 s", 20s)) << run.err();
    const std::string received = plotter.readAll(60s);
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_EQ(received.size(), whole.size());
    EXPECT_TRUE(received == whole);
    EXPECT_TRUE(std::regex_search(
        run.err(), std::regex(plotter.target() +
                              ": plotter not reading for 1 s \\(sent [0-9.]+ kB of 6\\.0 MB\\); "
                              "waiting on")))
        << run.err();
    EXPECT_NE(run.err().find("plotter reading again after "), std::string::npos) << run.err();
}

TEST_F(Delivery, GivesUpOnAStalledPlotterWhenAsked) {
    const std::string script = file("big.plt", bigEchoJob());
    LoopbackListener plotter(4096);
    LiveProcess run(command({"plot", "--driver", "echo_plotter", script, "-o", plotter.target(),
                             "--stall-timeout", "1", "--abort-on-stall"}));
    ASSERT_TRUE(plotter.accept(10s));
    EXPECT_EQ(run.wait(), 1) << run.err();
    std::smatch how;
    const std::string err = run.err();
    ASSERT_TRUE(std::regex_search(
        err, how,
        std::regex(": plotter not reading for 1 s \\(sent ([0-9.]+ kB) of 6\\.0 MB\\)\n"
                   "drvhost: sent ([0-9.]+ kB) of 6\\.0 MB; the last request fully sent is on "
                   "line ([0-9]+): resume with --resume-from ([0-9]+)\n")))
        << err;
    EXPECT_EQ(how[1], how[2]);
    EXPECT_EQ(std::stoi(how[4]), std::stoi(how[3]) + 1);
}

// The state a line of the pen job below starts with: the point the pen
// stands at and whether it is down.
struct PenState {
    int x = 0;
    int y = 0;
    bool down = false;
};

// A quillane job with pens set up, then groups of a pen-down stroke and a
// long label: about 1 MB.
std::vector<std::string> penJob() {
    std::vector<std::string> lines = {
        "BeginJob page_width=16000 page_height=11000 pens=4",
        "PenWidth pen=1 width=0.35",
        "PenColor pen=1 r=65535 g=0 b=0",
        "Velocity pen=1 speed=200",
        "PenWidth pen=2 width=0.5",
        "TextStyle height_mm=3 width_mm=2",
        "SelectPen pen=1",
    };
    for (int i = 0; i < 400; ++i) {
        const std::string x = std::to_string(10 * i);
        lines.push_back("PenDown");
        lines.push_back("Plot x=" + x + " y=100");
        lines.push_back("Plot x=" + x + " y=200");
        lines.push_back("Label x=" + x + " y=300 text=\"" + std::string(2500, 'q') + "\"");
    }
    lines.push_back("EndJob");
    return lines;
}

// Where the pen job's pen is before `line` (1-based): Plot and Label move
// it, a label leaves it up.
PenState penBefore(const std::vector<std::string> &lines, int line) {
    PenState state;
    const std::regex point("(Plot|Label) x=([0-9]+) y=([0-9]+).*");
    for (int i = 0; i + 1 < line; ++i) {
        std::smatch m;
        if (lines[static_cast<std::size_t>(i)] == "PenDown") {
            state.down = true;
        } else if (std::regex_match(lines[static_cast<std::size_t>(i)], m, point)) {
            state.x = std::stoi(m[2]);
            state.y = std::stoi(m[3]);
            state.down = state.down && m[1] == "Plot";
        }
    }
    return state;
}

std::string joined(const std::vector<std::string> &lines, std::size_t from = 0) {
    std::string text;
    for (std::size_t i = from; i < lines.size(); ++i) {
        text += lines[i] + "\n";
    }
    return text;
}

TEST_F(Delivery, SaysHowFarAJobGotAndResumesItWithItsFrame) {
    const std::vector<std::string> lines = penJob();
    const std::string script = file("pens.plt", joined(lines));
    const std::string whole = expected("quillane", script);

    // The plotter hangs up after taking 300 kB.
    LoopbackListener first(4096);
    LiveProcess run(command({"plot", "--driver", "quillane", script, "-o", first.target()}));
    ASSERT_TRUE(first.accept(10s));
    const std::string taken = first.read(300000, 60s);
    first.hangUp();
    EXPECT_EQ(run.wait(), 1);
    const std::string lost = run.err();
    EXPECT_EQ(whole.compare(0, taken.size(), taken), 0);
    std::smatch how;
    ASSERT_TRUE(std::regex_search(
        lost, how,
        std::regex("drvhost: sent ([0-9.]+) kB of ([0-9.]+ MB); the last request fully sent is on "
                   "line ([0-9]+): resume with --resume-from ([0-9]+)\n")))
        << lost;
    const int resume = std::stoi(how[4]);
    EXPECT_GT(resume, 8);
    EXPECT_GE(std::stod(how[1]), 300.0); // at least what the plotter read

    // Started again from that line: BeginJob, what is in force there, then
    // exactly the job's own requests from that line on.
    LoopbackListener second;
    LiveProcess again(command({"plot", "--driver", "quillane", script, "-o", second.target(),
                               "--resume-from", std::to_string(resume)}));
    ASSERT_TRUE(second.accept(10s));
    const std::string resumed = second.readAll(60s);
    EXPECT_EQ(again.wait(), 0) << again.err();

    const PenState pen = penBefore(lines, resume);
    std::string frame = lines[0] + "\n" + lines[5] + "\n" + joined({lines[1], lines[2], lines[3]}) +
                        lines[4] + "\n" + lines[6] + "\nPenUp\nPlot x=" + std::to_string(pen.x) +
                        " y=" + std::to_string(pen.y) + "\n" + (pen.down ? "PenDown\n" : "");
    const std::string want =
        expected("quillane", file("want.plt", frame + joined(lines, static_cast<std::size_t>(resume - 1))));
    EXPECT_EQ(resumed.size(), want.size());
    EXPECT_TRUE(resumed == want);
    // The frame opens with the job's own BeginJob bytes.
    EXPECT_EQ(resumed.compare(0, 32, whole, 0, 32), 0);
}

TEST_F(Delivery, RefusesToResumeInsideAnImage) {
    const std::string script =
        file("image.plt", "BeginJob page_width=9 page_height=9 pens=1\n"
                          "RasterBegin x=0 y=0 width_mm=1 height_mm=1 columns=8 rows=2 depth=1\n"
                          "RasterRow hex=00\nRasterRow hex=FF\nRasterEnd\nEndJob\n");
    const ProcessResult r = drvhost({"plot", "--driver", "quillane", script, "-o", path("out"),
                                     "--resume-from", "4"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "drvhost: " + script +
                         ": cannot resume: line 4 is inside the image begun on line 2, which "
                         "starts only whole: resume from line 2\n");
    EXPECT_FALSE(fs::exists(path("out")));
}

// Lines of an echo stream, each one request.
std::vector<std::string> echoLines(const std::string &bytes) {
    std::vector<std::string> lines;
    std::istringstream in(bytes);
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

TEST_F(Delivery, AnInterruptedDeviceJobEndsWithItsEndJobAndNoCutRequest) {
    const std::string script = file("big.plt", bigEchoJob());
    const std::vector<std::string> whole = echoLines(expected("echo_plotter", script));
    LoopbackListener plotter(4096);
    LiveProcess run(command({"plot", "--driver", "echo_plotter", script, "-o", plotter.target()}));
    ASSERT_TRUE(plotter.accept(10s));
    std::string received = plotter.read(500000, 60s);
    run.signal(SIGINT);
    received += plotter.readAll(60s);
    EXPECT_EQ(run.wait(), 128 + SIGINT) << run.err();
    ASSERT_EQ(received.back(), '\n'); // no request cut short
    const std::vector<std::string> got = echoLines(received);
    ASSERT_GE(got.size(), 4u);
    ASSERT_LT(got.size(), whole.size());
    for (std::size_t i = 0; i + 1 < got.size(); ++i) {
        ASSERT_EQ(got[i], whole[i]) << "request " << i + 1;
    }
    // The job's own EndJob, with its trailer, without its copies.
    EXPECT_EQ(got.back(), std::to_string(got.size()) + ":op2:f0:0,2:\"\"");
    EXPECT_NE(run.err().find("drvhost: stopped by SIGINT: the job was ended on the plotter after " +
                             std::to_string(got.size() - 1) + " requests"),
              std::string::npos)
        << run.err();
}

// A reader of standard output that never reads: the first signal waits
// for the request in flight, and so does one that comes right after it (a
// spooler's cancel arrives twice); one a while later gives up.
TEST_F(Delivery, ASecondSignalGivesUpOnAReaderThatNeverReads) {
    const std::string script = file("big.plt", bigEchoJob());
    LiveProcess run(command({"plot", "--driver", "echo_plotter", script, "-o", "-"}));
    ASSERT_TRUE(run.waitForOut("1:op1:", 20s)); // the job is going out
    std::this_thread::sleep_for(500ms);         // and the pipe is full
    run.signal(SIGTERM);
    run.signal(SIGTERM);
    std::this_thread::sleep_for(1200ms);
    EXPECT_TRUE(run.err().find("given up") == std::string::npos);
    run.signal(SIGTERM);
    std::this_thread::sleep_for(500ms); // still not reading: drvhost gives up meanwhile
    EXPECT_EQ(run.wait(), 128 + SIGTERM) << run.err();
    EXPECT_NE(run.err().find("drvhost: standard output: given up"), std::string::npos)
        << run.err();
    EXPECT_LT(run.out().size(), 6000000u);
}

TEST_F(Delivery, ReportsASerialPlotterHoldingXoff) {
    const std::string script = file("big.plt", bigEchoJob(20, 10000));
    const std::string whole = expected("echo_plotter", script);
    PseudoTerminal line;
    ASSERT_TRUE(line.ok());
    LiveProcess run(command({"plot", "--driver", "echo_plotter", script, "--device", line.name(),
                             "--flow", "xonxoff", "--stall-timeout", "1"}));
    std::string received = line.readMaster(20000, 10s);
    ASSERT_TRUE(line.send("\x13")); // XOFF: the plotter's buffer is full
    // What the line held before XOFF, while drvhost waits.
    EXPECT_TRUE(run.waitForErr(line.name() + ": plotter not reading for 1 s (sent ", 20s))
        << run.err();
    received += line.readMaster(whole.size(), 100ms);
    ASSERT_TRUE(line.send("\x11")); // XON
    received += line.readMaster(whole.size() - received.size(), 30s);
    EXPECT_EQ(run.wait(), 0) << run.err();
    EXPECT_TRUE(received == whole);
    EXPECT_NE(run.err().find("plotter reading again"), std::string::npos) << run.err();
}

struct SignalCase {
    int line;
    int signal;
    const char *name;
};

// A job to a file stopped by any of the three signals leaves the output as
// it was and no temporary beside it.
TEST_F(Delivery, ASignalLeavesNoPartialFile) {
    std::string slow = "BeginJob\n";
    for (int i = 0; i < 150; ++i) {
        slow += "FillType level=-2\n"; // 10 ms each in the echo driver
    }
    const std::string script = file("slow.plt", slow + "EndJob\n");
    const SignalCase cases[] = {
        {__LINE__, SIGINT, "SIGINT"}, {__LINE__, SIGTERM, "SIGTERM"}, {__LINE__, SIGHUP, "SIGHUP"}};
    for (const SignalCase &c : cases) {
        SCOPED_TRACE(c.line);
        const std::string out = file("out.plt", "the last good plot");
        LiveProcess run(command({"plot", "--driver", "echo_plotter", script, "-o", out}));
        // Once the job is measured it is written beside the output.
        bool writing = false;
        for (int wait = 0; wait < 1000 && !writing; ++wait) {
            std::this_thread::sleep_for(10ms);
            for (const auto &entry : fs::directory_iterator(dir_)) {
                writing = writing || entry.path().filename().string().starts_with("out.plt.part");
            }
        }
        ASSERT_TRUE(writing);
        run.signal(c.signal);
        EXPECT_EQ(run.wait(), 128 + c.signal) << run.err();
        EXPECT_EQ(run.err(), std::string("drvhost: stopped by ") + c.name + ": " + out +
                                 " left as it was\n");
        EXPECT_EQ(read(out), "the last good plot");
        for (const auto &entry : fs::directory_iterator(dir_)) {
            EXPECT_FALSE(entry.path().filename().string().starts_with("out.plt.part"))
                << entry.path();
        }
    }
}

} // namespace
