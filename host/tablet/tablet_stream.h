// A tablet's byte stream turned into decoded points: the framer feeding
// the driver, with counts of what happened to each report.
#pragma once

#include <cstddef>
#include <functional>
#include <span>

#include "host/tablet/tablet_decoder.h"
#include "host/tablet/tablet_framer.h"

namespace drv::host {

struct TabletCounts {
    std::size_t decoded = 0;
    std::size_t rejected = 0;   // the driver answered -9
    std::size_t turnedAway = 0; // the driver answered 0 and wrote nothing
    std::size_t unframed = 0;   // pieces of the stream that formed no report
};

class TabletStream {
public:
    using OnPoint = std::function<void(const DigitizerRequest &)>;

    // `onPoint` is called once per decoded report, in stream order.
    TabletStream(TabletDecoder &decoder, TabletFraming framing, OnPoint onPoint);

    // Stops after `count` decoded reports (0: never): the bytes after the
    // report that made the count are not looked at, wherever they fall in
    // what one read brought.
    void limit(std::size_t count) { limit_ = count; }
    // Takes no report after the one being handed out: for a reader that
    // has what it came for.
    void stop() { stopped_ = true; }
    // Whether the stream takes no more reports.
    bool full() const { return stopped_ || (limit_ != 0 && counts_.decoded >= limit_); }

    void feed(std::span<const std::uint8_t> bytes);
    void idle();
    void finish();

    TabletCounts counts() const;

private:
    void report(std::span<const std::uint8_t> bytes);

    TabletDecoder &decoder_;
    OnPoint onPoint_;
    TabletCounts counts_;
    std::size_t limit_ = 0;
    bool stopped_ = false;
    ReportFramer framer_;
};

} // namespace drv::host
