#include "plot_runner.h"

#include <algorithm>
#include <memory>

namespace drv::host {

bool runPlotJob(PldbinFunction entry, const std::vector<PlotCall> &job, std::size_t stateSize,
                ByteSink &sink, ProgressMeter *progress, PlotRunStats &stats, std::string &error) {
    // operator new aligns for any fundamental type, pointers included. The
    // drivers set up the block at BeginJob, so it need not be cleared; it is
    // all the same, so that a run is repeatable byte for byte.
    static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ >= PLOTTER_STATE_ALIGN);
    const std::unique_ptr<unsigned char[]> state(
        new unsigned char[std::max<std::size_t>(stateSize, 1)]());
    std::vector<std::uint8_t> out;
    stats = {};
    for (const PlotCall &call : job) {
        const std::size_t capacity = outputCapacity(call);
        if (out.size() < capacity) {
            out.resize(capacity);
        }
        PlotRequest request = call.request;
        request.outLength = 0;
        entry(&request, call.text.empty() ? nullptr : call.text.data(), out.data(), state.get());
        if (request.outLength < 0 || static_cast<std::size_t>(request.outLength) >= capacity) {
            error = "line " + std::to_string(call.line) + ": the driver reported " +
                    std::to_string(request.outLength) + " bytes for a buffer of " +
                    std::to_string(capacity);
            return false;
        }
        const auto length = static_cast<std::size_t>(request.outLength);
        if (length > 0 && !sink.write(out.data(), length, error)) {
            return false;
        }
        ++stats.calls;
        stats.bytes += length;
        if (progress != nullptr) {
            progress->update(stats.calls, stats.bytes);
        }
    }
    return true;
}

} // namespace drv::host
