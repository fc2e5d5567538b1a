// Where each request's bytes lie in a job's output, worked out before the
// job is sent, so that a device that took only part of it can be told how
// far the job got: which requests are wholly on the device.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "drvsuite/plotter.h"
#include "host/job/plot_call.h"
#include "host/job/plotter_traits.h"

namespace drv::host {

class JobLedger {
public:
    // `collected`: the driver collects requests into records and a call
    // hands back the record collected before it (PlotterTraits::recordFraming),
    // so a request is through only once a later call's bytes are, except
    // BeginJob and EndJob, whose bytes hold their own request.
    explicit JobLedger(bool collected = false) : collected_(collected) {}

    void add(const PlotCall &call, std::size_t bytes);

    std::size_t size() const { return ends_.size(); }
    std::uint64_t total() const { return ends_.empty() ? 0 : ends_.back(); }
    std::size_t bytesOf(std::size_t index) const;

    // How many requests, from the first, are wholly within the first
    // `taken` bytes of the output.
    std::size_t through(std::uint64_t taken) const;

private:
    bool collected_;
    std::vector<std::uint64_t> ends_; // bytes up to and with each request
    std::vector<bool> ownBytes_;      // the request's bytes hold the request itself
};

// Runs the whole job through the driver once, counting its bytes, before
// anything is opened: a driver fault shows here, and the ledger tells the
// job's size. False with the reason in `error`.
bool measureJob(PldbinFunction entry, const std::vector<PlotCall> &job,
                const PlotterTraits &traits, JobLedger &ledger, std::string &error);

// The script line of the last of the first `through` requests that has a
// line, or 0.
int lastLineThrough(const std::vector<PlotCall> &job, std::size_t through);

// The script line to resume from once `through` requests are through: that
// of the first request after them that has a line, or 0 when none is left.
int resumeLine(const std::vector<PlotCall> &job, std::size_t through);

} // namespace drv::host
