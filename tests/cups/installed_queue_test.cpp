// The queue as the README sets it up: the files `cmake --install` puts in
// place (the backend not executable by others, so that cupsd runs it as
// root; the filter finding drvhost in the prefix's bin), used by the
// spooler from there.
#include <cups/cups.h>
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "loopback_listener.h"
#include "plot_scripts.h"
#include "queue_fixture.h"
#include "run_process.h"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using drv::test::LoopbackListener;
using drv::test::ProcessResult;
using drv::test::QueueTest;

class InstalledQueueTest : public QueueTest {
protected:
    void SetUp() override {
        const ProcessResult r = drv::test::runProcess(
            {CMAKE_COMMAND, "--install", DRV_BUILD_ROOT, "--prefix", tree().string()});
        ASSERT_EQ(r.status, 0) << r.out << r.err;
        QueueTest::SetUp();
    }
    fs::path tree() const override { return fs::path(CUPS_TEST_ROOT) / "installed"; }
};

TEST_F(InstalledQueueTest, APlotScriptThroughTheInstalledFiles) {
    struct stat info {};
    ASSERT_EQ(::stat((tree() / "lib/cups/backend/drvsuite").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700U);
    LoopbackListener plotter;
    addQueue("plotter", "drevant", plotter.uri());
    const std::string script = file("job.plt", drv::test::plotScript("drevant", "installed"));
    const std::string expected = drvhostPlot({"--driver", "drevant", script});
    const int job = submit("plotter", script);
    const std::vector<std::string> jobs = plotter.waitForJobs(1, 20s);
    ASSERT_EQ(jobs.size(), 1U) << log();
    EXPECT_TRUE(jobs[0] == expected);
    EXPECT_TRUE(waitForJobState(job, IPP_JSTATE_COMPLETED, 10s)) << log();
}

} // namespace
