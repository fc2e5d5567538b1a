#include "host/io/progress_meter.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

#include "host/util/amount_text.h"

namespace drv::host {
namespace {

constexpr auto kQuietStart = std::chrono::milliseconds(500);
constexpr auto kRedrawEvery = std::chrono::milliseconds(100);
constexpr std::uint64_t kBarWidth = 30;

} // namespace

bool progressWanted() {
    return ::isatty(STDERR_FILENO) == 1;
}

double serialBytesPerSecond(int baud, int dataBits, bool parity, int stopBits) {
    const int bits = 1 + dataBits + (parity ? 1 : 0) + stopBits;
    return static_cast<double>(baud) / bits;
}

ProgressMeter::ProgressMeter(std::uint64_t total, bool enabled, double bytesPerSecond)
    : total_(total), enabled_(enabled), bytesPerSecond_(bytesPerSecond), start_(Clock::now()),
      lastDraw_(start_) {}

ProgressMeter::~ProgressMeter() {
    finish();
}

std::string ProgressMeter::line(std::uint64_t bytes) const {
    const std::uint64_t done = std::min(bytes, total_);
    const std::uint64_t filled = total_ == 0 ? kBarWidth : done * kBarWidth / total_;
    const std::uint64_t percent = total_ == 0 ? 100 : done * 100 / total_;
    std::string text = "[" + std::string(filled, '#') + std::string(kBarWidth - filled, '.') +
                       "] " + std::to_string(percent) + "%  " + byteCountText(done) + " of " +
                       byteCountText(total_);
    if (bytesPerSecond_ > 0) {
        text += "  " + durationText(static_cast<double>(total_ - done) / bytesPerSecond_) +
                " left";
    }
    return text;
}

void ProgressMeter::update(std::uint64_t bytes) {
    if (!enabled_) {
        return;
    }
    const Clock::time_point now = Clock::now();
    if (now - start_ < kQuietStart || (drawn_ && now - lastDraw_ < kRedrawEvery)) {
        return;
    }
    lastDraw_ = now;
    drawn_ = true;
    std::fprintf(stderr, "\r%s\033[K", line(bytes).c_str());
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
