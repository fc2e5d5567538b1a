#include "host/tablet/tablet_stream.h"

namespace drv::host {

TabletStream::TabletStream(TabletDecoder &decoder, TabletFraming framing, OnPoint onPoint)
    : decoder_(decoder), onPoint_(std::move(onPoint)),
      framer_(framing, [this](std::span<const std::uint8_t> bytes) { report(bytes); }) {}

void TabletStream::feed(std::span<const std::uint8_t> bytes) {
    for (std::size_t i = 0; i < bytes.size() && !full(); ++i) {
        framer_.feed(bytes.subspan(i, 1));
    }
}

void TabletStream::idle() {
    if (!full()) {
        framer_.idle();
    }
}

void TabletStream::finish() {
    // Past the count, what is pending belongs to reports nobody asked for.
    if (!full()) {
        framer_.finish();
    }
}

void TabletStream::report(std::span<const std::uint8_t> bytes) {
    DigitizerRequest point{};
    switch (decoder_.decode(bytes, point)) {
    case TabletDecoder::Outcome::Decoded:
        ++counts_.decoded;
        onPoint_(point);
        break;
    case TabletDecoder::Outcome::Rejected:
        ++counts_.rejected;
        break;
    case TabletDecoder::Outcome::TurnedAway:
        ++counts_.turnedAway;
        break;
    }
}

TabletCounts TabletStream::counts() const {
    TabletCounts counts = counts_;
    counts.unframed = framer_.unframed();
    return counts;
}

} // namespace drv::host
