// The backend program as cupsd runs it: device listing, refusals with
// their exit codes, retries, raw files with copies, a serial line (a
// pseudo-terminal), and SIGTERM in each phase of a job.
#include <cups/backend.h>
#include <fcntl.h>
#include <pty.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

#include <gtest/gtest.h>

#include "child_process.h"
#include "loopback_listener.h"
#include "run_process.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using drv::test::ChildProcess;
using drv::test::LoopbackListener;
using drv::test::ProcessResult;
using drv::test::runProcess;

// The arguments cupsd passes: job id, user, title, copies, options.
ProcessResult backend(const std::string &uri, const std::vector<std::string> &extra = {},
                      const std::string &input = {}, const std::string &copies = "1") {
    ::setenv("DEVICE_URI", uri.c_str(), 1);
    std::vector<std::string> args{DRVSUITE_BACKEND, "7", "ann", "drawing", copies, ""};
    args.insert(args.end(), extra.begin(), extra.end());
    return runProcess(args, input);
}

bool contains(const std::string &text, const std::string &part) {
    return text.find(part) != std::string::npos;
}

TEST(BackendCli, WithoutArgumentsListsDevicesForDiscovery) {
    const ProcessResult r = runProcess({DRVSUITE_BACKEND});
    EXPECT_EQ(r.status, CUPS_BACKEND_OK);
    EXPECT_TRUE(contains(r.out, "network drvsuite \"Unknown\" \"Network plotter (raw TCP, "
                                "drvsuite://HOST:PORT)\"\n"))
        << r.out;
}

TEST(BackendCli, RefusesWhatCannotWorkWithTheFittingExitCode) {
    struct Case {
        int line;
        std::string uri;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {__LINE__, "drvsuite:/dev/ttyS0?baud=fast", CUPS_BACKEND_STOP,
         "ERROR: drvsuite: bad device URI \"drvsuite:/dev/ttyS0?baud=fast\": baud must be a whole "
         "number"},
        {__LINE__, "drvsuite://plotter:9100/jobs", CUPS_BACKEND_STOP,
         "a network plotter's URI takes no path"},
        // Not a serial line: waiting would not help.
        {__LINE__, "drvsuite:/dev/null", CUPS_BACKEND_STOP,
         "ERROR: drvsuite: cannot use the plotter: /dev/null: not a serial line"},
        // Nothing listens and no time to wait: the job is retried later.
        {__LINE__, "drvsuite://127.0.0.1:1?contimeout=0", CUPS_BACKEND_RETRY,
         "ERROR: drvsuite: plotter not reachable: 127.0.0.1:1: Connection refused"},
        {__LINE__, "drvsuite:/dev/ttyNOSUCH9?contimeout=0", CUPS_BACKEND_RETRY,
         "ERROR: drvsuite: plotter not reachable: /dev/ttyNOSUCH9: No such file or directory"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.uri);
        const ProcessResult r = backend(c.uri, {}, "x");
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_TRUE(contains(r.err, c.message)) << r.err;
    }
    const ProcessResult usage = runProcess({DRVSUITE_BACKEND, "1", "2"});
    EXPECT_EQ(usage.status, CUPS_BACKEND_FAILED);
    EXPECT_TRUE(contains(usage.err, "Usage: ")) << usage.err;
}

TEST(BackendCli, APlotterNotUpYetIsTriedAgainUntilItAnswers) {
    LoopbackListener listener(false);
    std::thread late([&] {
        std::this_thread::sleep_for(1500ms);
        listener.listen();
    });
    const ProcessResult r = backend(listener.uri() + "?contimeout=30", {}, "PS16000,11000;");
    late.join();
    EXPECT_EQ(r.status, CUPS_BACKEND_OK) << r.err;
    EXPECT_TRUE(contains(r.err, "STATE: +connecting-to-device\n")) << r.err;
    EXPECT_TRUE(contains(r.err, "Connection refused; trying again in 1 s")) << r.err;
    EXPECT_TRUE(contains(r.err, "STATE: -connecting-to-device\n")) << r.err;
    const std::vector<std::string> jobs = listener.waitForJobs(1, 5s);
    ASSERT_EQ(jobs.size(), 1U);
    EXPECT_EQ(jobs[0], "PS16000,11000;");
}

TEST(BackendCli, ARawFileIsSentOncePerCopy) {
    LoopbackListener listener;
    const fs::path file = fs::temp_directory_path() / ("drvsuite_raw_" + std::to_string(::getpid()));
    std::ofstream(file, std::ios::binary) << std::string("IN;\0PA1,1;", 10);
    const ProcessResult r = backend(listener.uri(), {file.string()}, {}, "3");
    fs::remove(file);
    EXPECT_EQ(r.status, CUPS_BACKEND_OK) << r.err;
    EXPECT_TRUE(contains(r.err, "INFO: sent 30 bytes to 127.0.0.1:")) << r.err;
    const std::vector<std::string> jobs = listener.waitForJobs(1, 5s);
    ASSERT_EQ(jobs.size(), 1U);
    EXPECT_EQ(jobs[0], std::string("IN;\0PA1,1;IN;\0PA1,1;IN;\0PA1,1;", 30));
}

TEST(BackendCli, ASerialLineGetsTheBytesAsTheyAre) {
    int master = -1;
    int slave = -1;
    char name[64] = {};
    ASSERT_EQ(::openpty(&master, &slave, name, nullptr, nullptr), 0);
    // The job is small enough to wait in the terminal's buffer until the
    // backend is done; the test keeps the slave side open meanwhile, so
    // the master does not read as hung up.
    constexpr char kJob[] = "PE7=\x00\xff\r\n\x11\x13;";
    const std::string job(kJob, sizeof kJob - 1);
    const ProcessResult r =
        backend(std::string("drvsuite:") + name + "?baud=19200&bits=8&parity=none", {}, job);
    ::fcntl(master, F_SETFL, O_NONBLOCK);
    std::string received;
    char buffer[256];
    for (ssize_t n; (n = ::read(master, buffer, sizeof buffer)) > 0;) {
        received.append(buffer, static_cast<std::size_t>(n));
    }
    ::close(slave);
    ::close(master);
    EXPECT_EQ(r.status, CUPS_BACKEND_OK) << r.err;
    EXPECT_TRUE(received == job) << received.size() << " bytes arrived";
}

// A cancelled job from a filter: the backend goes on until the filter has
// sent the job's end and closed its output.
TEST(BackendCli, TerminateWhileAFilterFeedsItPassesOnTheRestOfTheJob) {
    LoopbackListener listener;
    ::setenv("DEVICE_URI", listener.uri().c_str(), 1);
    ChildProcess child({DRVSUITE_BACKEND, "7", "ann", "drawing", "1", ""});
    child.write("first;");
    ASSERT_TRUE(listener.waitForBytes(6, 5s));
    child.signal(SIGTERM);
    std::this_thread::sleep_for(200ms);
    child.write("the job's end;");
    child.closeInput();
    EXPECT_EQ(child.wait(), CUPS_BACKEND_OK) << child.err();
    const std::vector<std::string> jobs = listener.waitForJobs(1, 5s);
    ASSERT_EQ(jobs.size(), 1U);
    EXPECT_EQ(jobs[0], "first;the job's end;");
}

// Waiting for a plotter that is not there: a cancel ends the wait at once.
TEST(BackendCli, TerminateWhileWaitingForThePlotterEndsAtOnce) {
    LoopbackListener listener(false);
    ::setenv("DEVICE_URI", listener.uri().c_str(), 1);
    ChildProcess child({DRVSUITE_BACKEND, "7", "ann", "drawing", "1", ""});
    std::this_thread::sleep_for(500ms);
    const auto start = std::chrono::steady_clock::now();
    child.signal(SIGTERM);
    EXPECT_EQ(child.wait(), 128 + SIGTERM) << child.err();
    EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
}

} // namespace
