#include "host/plot/plot_runner.h"

#include <algorithm>
#include <memory>

#include "host/job/output_capacity.h"

namespace drv::host {

bool runPlotJob(PldbinFunction entry, const std::vector<PlotCall> &job, std::size_t stateSize,
                ByteSink &sink, ProgressMeter *progress, PlotRunStats &stats, std::string &error) {
    // operator new aligns for any fundamental type, pointers included. The
    // drivers set up the block at BeginJob, so it need not be cleared; it is
    // all the same, so that a run is repeatable byte for byte.
    static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ >= PLOTTER_STATE_ALIGN);
    const std::unique_ptr<unsigned char[]> state(
        new unsigned char[std::max<std::size_t>(stateSize, 1)]());
    // A guard stretch right after the bytes a call may use: a driver that
    // writes past them is caught at that call, before the overrun can reach
    // anything else the host owns.
    constexpr std::size_t kGuard = 64;
    constexpr std::uint8_t kGuardByte = 0xA5;
    std::vector<std::uint8_t> out;
    stats = {};
    for (const PlotCall &call : job) {
        const std::size_t capacity = outputCapacity(call);
        if (out.size() < capacity + kGuard) {
            out.resize(capacity + kGuard);
        }
        const auto guard = out.begin() + static_cast<std::ptrdiff_t>(capacity);
        std::fill(guard, guard + kGuard, kGuardByte);
        PlotRequest request = call.request;
        request.outLength = 0;
        entry(&request, call.text.empty() ? nullptr : call.text.data(), out.data(), state.get());
        const bool overran =
            std::any_of(guard, guard + kGuard, [](std::uint8_t b) { return b != kGuardByte; });
        if (overran || request.outLength < 0 ||
            static_cast<std::size_t>(request.outLength) >= capacity) {
            error = "line " + std::to_string(call.pos.line) + ": the driver " +
                    (overran ? std::string("wrote past") : "reported " +
                                                               std::to_string(request.outLength) +
                                                               " bytes for") +
                    " a buffer of " + std::to_string(capacity) + " bytes";
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
