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

    void feed(std::span<const std::uint8_t> bytes) { framer_.feed(bytes); }
    void idle() { framer_.idle(); }
    void finish() { framer_.finish(); }

    TabletCounts counts() const;

private:
    void report(std::span<const std::uint8_t> bytes);

    TabletDecoder &decoder_;
    OnPoint onPoint_;
    TabletCounts counts_;
    ReportFramer framer_;
};

} // namespace drv::host
