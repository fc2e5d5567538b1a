// The print-queue tests' common ground: a private cupsd with the suite's
// backend, filter, PPDs and MIME files, queues pointing at loopback
// listeners, and job submission through the real clients.
#pragma once

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "private_cupsd.h"

namespace drv::test {

class QueueTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // The tree whose backend, filter, MIME files and PPDs the spooler
    // uses: the build tree, or an installed one (both are laid out alike).
    virtual std::filesystem::path tree() const { return DRV_BUILD_ROOT; }

    // Adds an enabled queue for `driver` (quillane, drevant) at `uri`.
    void addQueue(const std::string &name, const std::string &driver, const std::string &uri);
    // Submits `file` with `lp -d queue -o ...`; returns the job id.
    int submit(const std::string &queue, const std::string &file,
               const std::vector<std::string> &options = {});
    // The job's state as the scheduler reports it (IPP_JSTATE_...), or 0
    // when it does not know the job.
    int jobState(int job) const;
    // Waits until the job has reached `state`; false on timeout.
    bool waitForJobState(int job, int state, std::chrono::seconds timeout) const;
    // Polls `lpstat -p queue` until it shows `text`, at most `timeout`;
    // returns what it showed last.
    std::string waitForQueueState(const std::string &queue, const std::string &text,
                                  std::chrono::seconds timeout) const;
    // A file in the test's folder.
    std::string file(const std::string &name, const std::string &content) const;
    // Whether drvhost plot, stopped with SIGTERM while it writes the job
    // `args` to a pipe, still ends the output with `end`.
    static bool drvhostEndsAStoppedJob(const std::vector<std::string> &args, const std::string &end);
    // drvhost plot's output for the same input and options.
    std::string drvhostPlot(const std::vector<std::string> &args) const;
    std::string log() const { return cupsd_ ? cupsd_->errorLog() : std::string(); }

    std::filesystem::path dir_;
    std::unique_ptr<PrivateCupsd> cupsd_;
};

} // namespace drv::test
