// Plot jobs end to end through a private cupsd: lp, the filter, the
// backend, and a loopback listener standing in for the plotter.
#include <cups/cups.h>

#include <algorithm>
#include <map>
#include <mutex>
#include <thread>

#include <gtest/gtest.h>

#include "loopback_listener.h"
#include "plot_scripts.h"
#include "queue_fixture.h"

namespace {

using namespace std::chrono_literals;
using drv::test::LoopbackListener;
using drv::test::plotScript;
using drv::test::ProcessResult;
using drv::test::QueueTest;

TEST_F(QueueTest, ARawJobReachesThePlotterAsItIs) {
    LoopbackListener plotter;
    addQueue("plotter", "quillane", plotter.uri());
    constexpr char kBytes[] = "IN;\0\x1b%0BPS16000,11000;\xff";
    const std::string bytes(kBytes, sizeof kBytes - 1);
    const int job = submit("plotter", file("raw.bin", bytes), {"raw"});
    const std::vector<std::string> jobs = plotter.waitForJobs(1, 20s);
    ASSERT_EQ(jobs.size(), 1U) << log();
    EXPECT_TRUE(jobs[0] == bytes);
    EXPECT_TRUE(waitForJobState(job, IPP_JSTATE_COMPLETED, 10s)) << log();
}

// HP-GL/2 from other programs is what a quillane plotter reads: it goes
// through unchanged, recognised by its content.
TEST_F(QueueTest, AnHpglFileGoesToAQuillaneQueueAsItIs) {
    LoopbackListener plotter;
    addQueue("plotter", "quillane", plotter.uri());
    const std::string hpgl = "IN;SP1;PU0,0;PD1000,1000;PU;SP0;PG;";
    const int job = submit("plotter", file("other.hpgl", hpgl));
    const std::vector<std::string> jobs = plotter.waitForJobs(1, 20s);
    ASSERT_EQ(jobs.size(), 1U) << log();
    EXPECT_EQ(jobs[0], hpgl);
    EXPECT_TRUE(waitForJobState(job, IPP_JSTATE_COMPLETED, 10s)) << log();
    EXPECT_NE(log().find("File of type application/vnd.hp-hpgl queued"), std::string::npos);
}

// The plotter gets exactly what drvhost plot makes of the same script,
// through each driver; a job's copies are whole jobs one after the other.
TEST_F(QueueTest, APlotScriptArrivesAsDrvhostPlotsIt) {
    for (const std::string driver : {"quillane", "drevant"}) {
        SCOPED_TRACE(driver);
        LoopbackListener plotter;
        addQueue(driver, driver, plotter.uri());
        const std::string script = file(driver + ".plt", plotScript(driver, "cups " + driver));
        const std::string expected = drvhostPlot({"--driver", driver, script});
        ASSERT_FALSE(expected.empty());
        const int job = submit(driver, script, {"copies=2"});
        const std::vector<std::string> jobs = plotter.waitForJobs(1, 20s);
        ASSERT_EQ(jobs.size(), 1U) << log();
        EXPECT_TRUE(jobs[0] == expected + expected)
            << jobs[0].size() << " bytes, not twice " << expected.size();
        EXPECT_TRUE(waitForJobState(job, IPP_JSTATE_COMPLETED, 10s)) << log();
    }
}

// A script error fails the job with drvhost's message as the reason.
TEST_F(QueueTest, AScriptErrorIsTheJobsStateMessage) {
    LoopbackListener plotter;
    addQueue("plotter", "quillane", plotter.uri());
    const int job = submit("plotter", file("broken.plt", "BeginJob page_width=16000 page_height=11000 pens=8\nPlot x=1 y=2 z=3\nEndJob\n"));
    EXPECT_TRUE(waitForJobState(job, IPP_JSTATE_STOPPED, 20s) ||
                waitForJobState(job, IPP_JSTATE_ABORTED, 1s))
        << log();
    EXPECT_NE(log().find("broken.plt:2:"), std::string::npos) << log();
    EXPECT_TRUE(plotter.waitForJobs(1, 500ms).empty() || plotter.received() == 0);
}

// Several jobs from two clients at once to two plotters: each plotter gets
// its own jobs, each whole and nothing interleaved, and each client's jobs
// in the order it submitted them. (Between the clients the spooler takes
// whichever document has come in completely first.)
TEST_F(QueueTest, JobsFromTwoClientsArriveWholeAndInOrder) {
    LoopbackListener first;
    LoopbackListener second;
    addQueue("first", "quillane", first.uri());
    addQueue("second", "drevant", second.uri());
    // The documents and what each must become, made before the clients
    // start, so that only the spooler runs concurrently.
    struct Document {
        std::string who;
        std::string queue;
        std::string path;
        std::string expected;
    };
    std::vector<Document> documents;
    for (const std::string who : {"ann", "bob"}) {
        for (int n = 0; n < 3; ++n) {
            for (const auto &[queue, driver] :
                 {std::pair{"first", "quillane"}, std::pair{"second", "drevant"}}) {
                const std::string tag = who + " job " + std::to_string(n) + " to " + queue;
                const std::string path =
                    file(who + std::to_string(n) + queue + ".plt", plotScript(driver, tag, 500));
                documents.push_back({who, queue, path, drvhostPlot({"--driver", driver, path})});
            }
        }
    }
    const auto client = [&](const std::string &who) {
        for (const Document &d : documents) {
            if (d.who == who) {
                submit(d.queue, d.path);
            }
        }
    };
    std::thread ann(client, "ann");
    std::thread bob(client, "bob");
    ann.join();
    bob.join();
    for (const auto &target :
         {std::pair<std::string, LoopbackListener *>{"first", &first}, {"second", &second}}) {
        // Plain references, not a structured binding: clang before 16 lets no lambda capture one.
        const std::string &queue = target.first;
        LoopbackListener *const listener = target.second;
        SCOPED_TRACE(queue);
        const std::vector<std::string> jobs = listener->waitForJobs(6, 60s);
        ASSERT_EQ(jobs.size(), 6U) << log();
        // Which document each arrival is; -1: none (cut, merged, foreign).
        std::map<std::string, std::vector<std::size_t>> order;
        for (std::size_t i = 0; i < jobs.size(); ++i) {
            const auto found = std::find_if(documents.begin(), documents.end(), [&](const Document &d) {
                return d.queue == queue && d.expected == jobs[i];
            });
            ASSERT_NE(found, documents.end()) << "arrival " << i << " is no whole job of " << queue;
            order[found->who].push_back(static_cast<std::size_t>(found - documents.begin()));
        }
        for (const auto &[who, indices] : order) {
            EXPECT_EQ(indices.size(), 3U) << who;
            EXPECT_TRUE(std::is_sorted(indices.begin(), indices.end())) << who << "'s jobs out of order";
        }
    }
}

// A plotter that stops reading: the queue says so while it waits, and the
// job still arrives whole once the plotter reads again.
TEST_F(QueueTest, AStalledPlotterIsTheQueuesStateMessage) {
    LoopbackListener plotter(true, 4096);
    plotter.stall(32 * 1024);
    addQueue("plotter", "quillane", plotter.uri() + "/?stall-timeout=1");
    const std::string script = file("big.plt", drv::test::longLabelScript(2000, 2000));
    const std::string expected = drvhostPlot({"--driver", "quillane", script});
    const int job = submit("plotter", script);
    const std::string state = waitForQueueState("plotter", "plotter not reading for", 60s);
    EXPECT_NE(state.find("plotter not reading for "), std::string::npos) << state << log();
    EXPECT_NE(state.find(" s (sent "), std::string::npos) << state;
    plotter.resume();
    const std::vector<std::string> jobs = plotter.waitForJobs(1, 60s);
    ASSERT_EQ(jobs.size(), 1U) << log();
    EXPECT_TRUE(jobs[0] == expected) << jobs[0].size() << " of " << expected.size() << " bytes";
    EXPECT_TRUE(waitForJobState(job, IPP_JSTATE_COMPLETED, 10s)) << log();
}

// A job cancelled while the plotter is busy with it: what reaches the
// plotter is the job up to a request's end, then the job's end, so the
// next job finds the plotter out of every instruction.
TEST_F(QueueTest, ACancelledJobEndsWithTheJobsEnd) {
    const std::string end = "PUSP0PG;"; // park the pen, feed the sheet
    const std::string script = file("long.plt", drv::test::longLabelScript(3000, 2000));
    // The filter leaves the job's end to drvhost, which must finish a job
    // it is told to stop; without that, no queue can end a cancelled job.
    ASSERT_TRUE(drvhostEndsAStoppedJob({"--driver", "quillane", script}, end))
        << "drvhost plot does not send the job's end when stopped with SIGTERM";
    LoopbackListener plotter(true, 4096);
    plotter.stall(32 * 1024);
    addQueue("plotter", "quillane", plotter.uri());
    const std::string whole = drvhostPlot({"--driver", "quillane", script});
    const int job = submit("plotter", script);
    ASSERT_TRUE(plotter.waitForBytes(32 * 1024, 30s)) << log();
    std::this_thread::sleep_for(1s); // every buffer on the way is full now
    const ProcessResult cancelled = cupsd_->client("cancel", {std::to_string(job)});
    ASSERT_EQ(cancelled.status, 0) << cancelled.err;
    std::this_thread::sleep_for(500ms);
    plotter.resume();
    const std::vector<std::string> jobs = plotter.waitForJobs(1, 30s);
    ASSERT_EQ(jobs.size(), 1U) << log();
    const std::string &got = jobs[0];
    ASSERT_LT(got.size(), whole.size()) << "the cancel came after the whole job";
    ASSERT_GE(got.size(), end.size());
    EXPECT_EQ(got.substr(got.size() - end.size()), end) << "the stream ends in the middle";
    EXPECT_TRUE(whole.compare(0, got.size() - end.size(), got, 0, got.size() - end.size()) == 0)
        << "what came before the end is not the job's own beginning";
    EXPECT_TRUE(waitForJobState(job, IPP_JSTATE_CANCELED, 30s)) << log();
}

// A network plotter that is not up when the job starts: the backend tries
// again until it answers, and the job arrives whole.
TEST_F(QueueTest, APlotterNotUpYetIsTriedAgain) {
    LoopbackListener plotter(false);
    addQueue("plotter", "drevant", plotter.uri());
    const std::string script = file("late.plt", plotScript("drevant", "late"));
    const std::string expected = drvhostPlot({"--driver", "drevant", script});
    const int job = submit("plotter", script);
    const std::string state = waitForQueueState("plotter", "Connection refused; trying again", 20s);
    EXPECT_NE(state.find("plotter not reachable: 127.0.0.1:"), std::string::npos) << state;
    plotter.listen();
    const std::vector<std::string> jobs = plotter.waitForJobs(1, 30s);
    ASSERT_EQ(jobs.size(), 1U) << log();
    EXPECT_TRUE(jobs[0] == expected);
    EXPECT_TRUE(waitForJobState(job, IPP_JSTATE_COMPLETED, 10s)) << log();
}

// A URI that cannot work stops the queue with the reason.
TEST_F(QueueTest, ABadUriStopsTheQueueWithTheReason) {
    addQueue("plotter", "quillane", "drvsuite:/dev/ttyS0?baud=fast");
    submit("plotter", file("a.plt", plotScript("quillane", "a")));
    EXPECT_NE(waitForQueueState("plotter", "disabled", 20s).find("disabled"), std::string::npos);
    std::this_thread::sleep_for(300ms); // the filter ends after the backend
    const std::string state = cupsd_->client("lpstat", {"-p", "plotter"}).out;
    EXPECT_NE(state.find("baud must be a whole number"), std::string::npos) << state;
}

} // namespace
