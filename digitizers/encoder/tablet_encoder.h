// Makes the reports a tablet would send, for any tablet model of the suite.
//
// The host's demo feeds each tablet library a stream of reports made here
// from known points, and the tests use the same encoder to check that every
// decoder gives the points back. A report is built from the model's own
// record, so it has the fields, button encoding, mark bits or terminator of
// that model's format; the encoder refuses a sample the format cannot carry
// rather than producing a report that decodes to something else.
//
// How the reports look, so that a host can frame a stream of them:
//  - ASCII: printable text, every byte the decoder does not read is ',',
//    ended by one terminator byte (TabletFormat::frameByte). Coordinates are
//    plain digits, 0 to 10^width - 1.
//  - Binary: the first byte carries every bit of TabletFormat::frameByte,
//    every later byte is below the mask's top bit, so a report starts at
//    each byte that holds the mask (or just its top bit). Coordinates run
//    from 0 to the layout's full width (2^bits - 1).
//  - Every report of one format is TabletFormat::encodedLength bytes long.
//    That is the declared reportLength, plus the terminator for ASCII
//    formats, except where the decoder reads further than the declared
//    length: those reports are made long enough to hold every byte read.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

namespace drv {

// One pen or puck event: what a decoder stores into the request.
struct TabletSample {
    std::int16_t button = 0;
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const TabletSample &, const TabletSample &) = default;
};

enum class TabletReportKind : std::uint8_t { Ascii, Binary };

// The profile member a library reads to pick format 1 or 2. A host that
// sets both reportFormat and auxFormat to the format number is always right.
enum class TabletSelector : std::uint8_t { ReportFormat, AuxFormat, None };

// What a host needs to know to drive one report format of one model.
struct TabletFormat {
    TabletReportKind kind;
    TabletSelector selector;
    // True when the library's set-up writes frameByte and reportLength.
    // When false the host must put frameByte (below) into the profile itself.
    bool declaresFraming;
    // The terminator (ASCII) or first-byte mark mask (binary) of the
    // encoder's reports: the library's own where it declares one, else 0x0D
    // for ASCII and 0x80 for binary.
    std::uint8_t frameByte;
    // The report length the library declares at set-up; 0 when none.
    std::uint8_t reportLength;
    // Bytes in every report encodeTabletReport makes for this format.
    std::size_t encodedLength;
    // Representable coordinates: 0..maxX and 0..maxY.
    std::int32_t maxX;
    std::int32_t maxY;
};

// The library names of every tablet model, in the suite's order.
std::span<const std::string_view> tabletModelNames();

// Format 1 or 2 of `model`, or nothing when the model is unknown, the
// number is neither 1 nor 2, or the library has no decoder for that format
// (single-format models answer only for format 1).
std::optional<TabletFormat> tabletFormat(std::string_view model, int format);

// Every button value, ascending, that `format` of `model` can carry between
// -256 and 255 (no rule reaches beyond); empty when tabletFormat is nothing.
// Binary rules give small ranges (0-7, 0-15, 0-31) or just 0 and 49; ASCII
// rules give digits (0-9, 0-99) or printable characters (0 and 32-126 but
// the no-button character).
std::vector<std::int16_t> tabletButtons(std::string_view model, int format);

// Replaces `report` with the bytes the tablet sends for `sample` in
// `format`: encodedLength bytes, ASCII with its terminator, binary with its
// mark bits. Returns false, leaving `report` empty, when tabletFormat is
// nothing, a coordinate is outside 0..max, or the button cannot be carried.
bool encodeTabletReport(std::string_view model, int format, const TabletSample &sample,
                        std::vector<std::uint8_t> &report);

}  // namespace drv
