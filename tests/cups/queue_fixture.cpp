#include "queue_fixture.h"

#include <cups/cups.h>
#include <unistd.h>

#include <csignal>
#include <fstream>
#include <regex>
#include <sstream>
#include <thread>

#include "child_process.h"

namespace drv::test {

namespace fs = std::filesystem;

void QueueTest::SetUp() {
    const fs::path t = tree();
    const std::string backend = (t / "lib/cups/backend/drvsuite").string();
    const std::string filter = (t / "lib/cups/filter/drvsuite-plot").string();
    if (const std::string why =
            PrivateCupsd::unavailable({backend, filter, (t / "bin/drvhost").string()});
        !why.empty()) {
        GTEST_SKIP() << "no private cupsd: " << why;
    }
    dir_ = fs::path(CUPS_TEST_ROOT) /
           ::testing::UnitTest::GetInstance()->current_test_info()->name();
    cupsd_ = std::make_unique<PrivateCupsd>(
        dir_ / "cupsd",
        std::map<std::string, std::string>{{"backend/drvsuite", backend},
                                           {"filter/drvsuite-plot", filter}},
        std::vector<std::string>{(t / "share/cups/mime/drvsuite.types").string(),
                                 (t / "share/cups/mime/drvsuite.convs").string()});
    std::string error;
    ASSERT_TRUE(cupsd_->start(error)) << error;
    fs::create_directories(dir_ / "files");
}

void QueueTest::TearDown() {
    if (cupsd_) {
        cupsd_->stop();
        if (HasFailure()) {
            std::cerr << "--- cupsd log (end) ---\n"
                      << log().substr(log().size() > 20000 ? log().size() - 20000 : 0) << '\n';
        }
    }
}

void QueueTest::addQueue(const std::string &name, const std::string &driver,
                         const std::string &uri) {
    const ProcessResult r = cupsd_->client(
        "lpadmin",
        {"-p", name, "-E", "-v", uri, "-P", (tree() / "share/ppd/drvsuite" / (driver + ".ppd")).string()});
    ASSERT_EQ(r.status, 0) << r.err << r.out;
}

int QueueTest::submit(const std::string &queue, const std::string &path,
                      const std::vector<std::string> &options) {
    std::vector<std::string> args{"-d", queue};
    for (const std::string &option : options) {
        args.push_back("-o");
        args.push_back(option);
    }
    args.push_back(path);
    const ProcessResult r = cupsd_->client("lp", args);
    std::smatch match;
    const std::regex id("request id is " + queue + "-([0-9]+)");
    EXPECT_TRUE(r.status == 0 && std::regex_search(r.out, match, id)) << r.err << r.out;
    return match.empty() ? -1 : std::stoi(match[1]);
}

int QueueTest::jobState(int job) const {
    http_t *http = httpConnect2("127.0.0.1", cupsd_->port(), nullptr, AF_INET,
                                HTTP_ENCRYPTION_NEVER, 1, 5000, nullptr);
    if (http == nullptr) {
        return 0;
    }
    cups_job_t *jobs = nullptr;
    const int count = cupsGetJobs2(http, &jobs, nullptr, 0, CUPS_WHICHJOBS_ALL);
    int state = 0;
    for (int i = 0; i < count; ++i) {
        if (jobs[i].id == job) {
            state = jobs[i].state;
        }
    }
    cupsFreeJobs(count, jobs);
    httpClose(http);
    return state;
}

bool QueueTest::waitForJobState(int job, int state, std::chrono::seconds timeout) const {
    const auto until = std::chrono::steady_clock::now() + timeout;
    while (std::chrono::steady_clock::now() < until) {
        if (jobState(job) == state) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

std::string QueueTest::waitForQueueState(const std::string &queue, const std::string &text,
                                         std::chrono::seconds timeout) const {
    const auto until = std::chrono::steady_clock::now() + timeout;
    std::string state;
    while (state.find(text) == std::string::npos && std::chrono::steady_clock::now() < until) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        state = cupsd_->client("lpstat", {"-p", queue}).out;
    }
    return state;
}

std::string QueueTest::file(const std::string &name, const std::string &content) const {
    const fs::path path = dir_ / "files" / name;
    std::ofstream(path, std::ios::binary) << content;
    return path.string();
}

bool QueueTest::drvhostEndsAStoppedJob(const std::vector<std::string> &args,
                                       const std::string &end) {
    std::vector<std::string> command{DRVHOST_EXE, "plot"};
    command.insert(command.end(), args.begin(), args.end());
    command.insert(command.end(), {"-o", "-"});
    ChildProcess drvhost(command, true);
    std::string got;
    char buffer[4096];
    bool stopped = false;
    for (ssize_t n; (n = ::read(drvhost.output(), buffer, sizeof buffer)) > 0;) {
        got.append(buffer, static_cast<std::size_t>(n));
        if (!stopped && got.size() > 64 * 1024) {
            drvhost.signal(SIGTERM);
            stopped = true;
        }
    }
    drvhost.wait();
    return got.size() >= end.size() && got.compare(got.size() - end.size(), end.size(), end) == 0;
}

std::string QueueTest::drvhostPlot(const std::vector<std::string> &args) const {
    std::vector<std::string> command{DRVHOST_EXE, "plot"};
    command.insert(command.end(), args.begin(), args.end());
    command.insert(command.end(), {"-o", "-"});
    const ProcessResult r = runProcess(command);
    EXPECT_EQ(r.status, 0) << r.err;
    return r.out;
}

} // namespace drv::test
