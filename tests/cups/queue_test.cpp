// Plot jobs end to end through a private cupsd: lp, the filter, the
// backend, and a loopback listener standing in for the plotter.
#include <cups/cups.h>

#include <gtest/gtest.h>

#include "loopback_listener.h"
#include "queue_fixture.h"

namespace {

using namespace std::chrono_literals;
using drv::test::LoopbackListener;
using drv::test::ProcessResult;
using drv::test::QueueTest;

TEST_F(QueueTest, ARawJobReachesThePlotterAsItIs) {
    LoopbackListener plotter;
    addQueue("plotter", "quillane", plotter.uri());
    const std::string bytes("IN;\0\x1b%0BPS16000,11000;\xff", 25);
    const int job = submit("plotter", file("raw.bin", bytes), {"raw"});
    const std::vector<std::string> jobs = plotter.waitForJobs(1, 20s);
    ASSERT_EQ(jobs.size(), 1U) << log();
    EXPECT_TRUE(jobs[0] == bytes);
    EXPECT_TRUE(waitForJobState(job, IPP_JSTATE_COMPLETED, 10s)) << log();
}

} // namespace
