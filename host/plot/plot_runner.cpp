#include "host/plot/plot_runner.h"

#include "host/plot/job_renderer.h"

namespace drv::host {

bool runPlotJob(PldbinFunction entry, const std::vector<PlotCall> &job, std::size_t stateSize,
                ByteSink &sink, ProgressMeter *progress, PlotRunStats &stats, std::string &error) {
    JobRenderer renderer(entry, stateSize);
    stats = {};
    for (const PlotCall &call : job) {
        std::span<const std::uint8_t> bytes;
        if (!renderer.render(call, bytes, error) ||
            (!bytes.empty() && !sink.write(bytes.data(), bytes.size(), error))) {
            return false;
        }
        ++stats.calls;
        stats.bytes += bytes.size();
        if (progress != nullptr) {
            progress->update(stats.bytes);
        }
    }
    return true;
}

} // namespace drv::host
