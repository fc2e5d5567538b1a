// Cuts a tablet's byte stream into reports.
//
// A tablet driver declares two bytes at set-up: `frameByte` and
// `reportLength`. The host reads them like this:
//
// Line reports (frameByte below 0x20, the terminator, CR or LF):
//   - a report runs up to a CR or an LF; the byte that ends it is delivered
//     with it, and line-end bytes before a report (the LF of a CR LF pair,
//     blank lines) are skipped, so CR, LF and CR LF endings all work;
//   - `reportLength` counts the report's characters, the line end not
//     included; a report may be one character longer (some tablets send a
//     character past the declared length, and their drivers read it) but not
//     shorter: a line with a lost character would put every field in the
//     wrong place. Where the host knows the model's exact report length
//     (tablet_defaults.h) a report must have exactly that length;
//   - a report holding any byte outside printable ASCII is line noise.
// Marked reports (frameByte 0x20 or above, the mark bits of a first byte):
//   - a report starts at a byte that has every mark bit set; every other
//     byte continues the report under way, so a report ends where the next
//     one starts, at the end of the input, when the line goes quiet, or
//     after `reportLength` + 1 bytes (one byte past the declared length is
//     delivered for the tablets that send it; with a known exact length,
//     after that many bytes);
//   - a report shorter than `reportLength` lost bytes and is dropped;
//     bytes before the first start byte are noise.
// Dropped pieces (noise, short or overlong reports) are counted as
// unframed, and the framer picks up again at the next report start.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace drv::host {

struct TabletFraming {
    enum class Kind { Lines, Marked };
    Kind kind = Kind::Lines;
    std::uint8_t mark = 0;  // Marked: bits every first byte carries
    std::size_t length = 0; // report length (Lines: characters); 0: any (Lines only)
    std::size_t slack = 1;  // bytes a report may carry past `length`

    bool operator==(const TabletFraming &) const = default;
};

// The framing that `frameByte` and `reportLength` declare, as described
// above, with one byte of slack; `declared` is false when frameByte is 0
// (the driver declared none).
TabletFraming framingFromProfile(std::uint8_t frameByte, std::uint8_t reportLength, bool &declared);

// Longest report the framer delivers; longer lines are noise.
constexpr std::size_t kMaxReportBytes = 64;

class ReportFramer {
public:
    using Deliver = std::function<void(std::span<const std::uint8_t>)>;

    ReportFramer(TabletFraming framing, Deliver deliver);

    // Takes the next bytes of the stream; delivers every report they complete.
    void feed(std::span<const std::uint8_t> bytes);

    // The line went quiet: a marked report of at least the declared length
    // is complete. Line reports wait for their terminator.
    void idle();

    // End of the stream: completes or drops whatever is pending.
    void finish();

    std::size_t unframed() const { return unframed_; }

private:
    void lineByte(std::uint8_t byte);
    void markedByte(std::uint8_t byte);
    void completeMarked();
    void dropNoise();

    TabletFraming framing_;
    Deliver deliver_;
    std::vector<std::uint8_t> report_;
    bool garbled_ = false;       // line: non-printable byte or too long
    std::size_t noiseBytes_ = 0; // marked: bytes seen outside a report
    std::size_t unframed_ = 0;
};

} // namespace drv::host
