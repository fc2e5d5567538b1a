// The body of one request: the run of bytes an operation contributes to the
// pending record.
//
// A body is built in a buffer of its own, 255 characters at most, and only
// reaches the record as a whole. Two things spoil a body: running out of
// room, and a code that comes out as byte 0 (a record travels as a
// NUL-terminated string, so a 0 byte would silently cut it short). A spoiled
// body is never collected, so the device and the driver's idea of the pen
// position cannot drift apart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <initializer_list>

#include "plotters/drevant/state.h"

namespace drv::drevant {

struct Body {
    std::uint8_t bytes[kLineSize];
    std::int32_t length = 0;
    bool spoiled = false;
};

// Appends code `value`: the byte (biasChar + value) mod 256. Returns 1, or 0
// (body spoiled, nothing appended) when the body is full, already spoiled or
// the byte would be 0.
std::int32_t putCode(Body &body, const PlotterState &state, std::int64_t value);

// Appends each of `values` with putCode. Returns the count appended.
std::int32_t putCodes(Body &body, const PlotterState &state,
                      std::initializer_list<std::int64_t> values);

// Appends the first `count` bytes of `text` unchanged (they are not codes).
// Returns `count`, or 0 (body spoiled) when they do not fit or hold a 0 byte.
std::int32_t putText(Body &body, const std::uint8_t *text, std::int32_t count);

// Length of the NUL-terminated `text`, looking at no more than `limit` bytes:
// returns `limit` when no NUL comes first. A null `text` counts as empty.
std::int32_t boundedLength(const char *text, std::int32_t limit);

}  // namespace drv::drevant
