#include "host/io/stop_signals.h"

#include <time.h>

#include <csignal>
#include <iterator>

namespace drv::host {
namespace {

// A signal this soon after the first is the same request: a spooler's
// cancel reaches a process both through its process group and from its
// parent, and a person pressing Ctrl-C twice in a blink means it once.
constexpr long kSameRequestMs = 1000;

// Signal handlers can only reach static storage.
volatile std::sig_atomic_t gCount = 0;
volatile std::sig_atomic_t gLast = 0;
volatile std::sig_atomic_t gFirstMs = 0; // of the first signal, on a monotonic clock

long nowMs() {
    timespec now{};
    ::clock_gettime(CLOCK_MONOTONIC, &now); // safe in a signal handler
    return static_cast<long>(now.tv_sec % 1000000) * 1000 + now.tv_nsec / 1000000;
}

constexpr int kSignals[] = {SIGINT, SIGTERM, SIGHUP};
constexpr const char *kNames[] = {"SIGINT", "SIGTERM", "SIGHUP"};
struct sigaction gEarlier[std::size(kSignals)];

void onStop(int signal) {
    gLast = signal;
    if (gCount == 0) {
        gFirstMs = static_cast<std::sig_atomic_t>(nowMs());
        gCount = 1;
    } else if (nowMs() - gFirstMs >= kSameRequestMs) {
        gCount = gCount + 1;
    }
}

} // namespace

StopSignals::StopSignals() {
    gCount = 0;
    gLast = 0;
    struct sigaction action {};
    action.sa_handler = onStop;
    sigemptyset(&action.sa_mask);
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &action, &gEarlier[i]);
    }
}

StopSignals::~StopSignals() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        sigaction(kSignals[i], &gEarlier[i], nullptr);
    }
}

int StopSignals::count() {
    return gCount;
}

int StopSignals::last() {
    return gLast;
}

const char *StopSignals::lastName() {
    for (std::size_t i = 0; i < std::size(kSignals); ++i) {
        if (kSignals[i] == gLast) {
            return kNames[i];
        }
    }
    return "";
}

} // namespace drv::host
