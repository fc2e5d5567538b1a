#include "host/plot/job_renderer.h"

#include <algorithm>

#include "host/job/output_capacity.h"

namespace drv::host {
namespace {

// A guard stretch right after the bytes a call may use: a driver that
// writes past them is caught at that call, before the overrun can reach
// anything else the host owns.
constexpr std::size_t kGuard = 64;
constexpr std::uint8_t kGuardByte = 0xA5;

} // namespace

JobRenderer::JobRenderer(PldbinFunction entry, std::size_t stateSize)
    // operator new aligns for any fundamental type, pointers included. The
    // drivers set up the block at BeginJob, so it need not be cleared.
    : entry_(entry), state_(new unsigned char[std::max<std::size_t>(stateSize, 1)]()) {
    static_assert(__STDCPP_DEFAULT_NEW_ALIGNMENT__ >= PLOTTER_STATE_ALIGN);
}

bool JobRenderer::render(const PlotCall &call, std::span<const std::uint8_t> &bytes,
                         std::string &error) {
    const std::size_t capacity = outputCapacity(call);
    if (out_.size() < capacity + kGuard) {
        out_.resize(capacity + kGuard);
    }
    const auto guard = out_.begin() + static_cast<std::ptrdiff_t>(capacity);
    std::fill(guard, guard + kGuard, kGuardByte);
    PlotRequest request = call.request;
    request.outLength = 0;
    entry_(&request, call.text.empty() ? nullptr : call.text.data(), out_.data(), state_.get());
    const bool overran =
        std::any_of(guard, guard + kGuard, [](std::uint8_t b) { return b != kGuardByte; });
    if (overran || request.outLength < 0 ||
        static_cast<std::size_t>(request.outLength) >= capacity) {
        error = "line " + std::to_string(call.pos.line) + ": the driver " +
                (overran ? std::string("wrote past")
                         : "reported " + std::to_string(request.outLength) + " bytes for") +
                " a buffer of " + std::to_string(capacity) + " bytes";
        return false;
    }
    bytes = {out_.data(), static_cast<std::size_t>(request.outLength)};
    return true;
}

} // namespace drv::host
