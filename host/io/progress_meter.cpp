#include "host/io/progress_meter.h"

#include <unistd.h>

#include <cstdio>
#include <string>

namespace drv::host {
namespace {

constexpr auto kQuietStart = std::chrono::milliseconds(500);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr std::size_t kBarWidth = 30;

} // namespace

bool progressWanted() {
    return ::isatty(STDERR_FILENO) == 1;
}

ProgressMeter::ProgressMeter(std::size_t total, bool enabled)
    : total_(total), enabled_(enabled), start_(Clock::now()), lastDraw_(start_) {}

ProgressMeter::~ProgressMeter() {
    finish();
}

void ProgressMeter::update(std::size_t done, std::uint64_t bytes) {
    if (!enabled_ || total_ == 0) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (now - start_ < kQuietStart || (drawn_ && now - lastDraw_ < kRedrawEvery)) {
        return;
    }
    lastDraw_ = now;
    drawn_ = true;
    const std::size_t filled = done * kBarWidth / total_;
    const std::string bar = std::string(filled, '#') + std::string(kBarWidth - filled, '.');
    std::fprintf(stderr, "\r[%s] %3zu%%  %zu/%zu requests  %llu bytes", bar.c_str(),
                 done * 100 / total_, done, total_, static_cast<unsigned long long>(bytes));
    std::fflush(stderr);
}

void ProgressMeter::finish() {
    if (drawn_) {
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        drawn_ = false;
    }
}

} // namespace drv::host
