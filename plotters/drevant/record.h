// Records: how bodies are framed, checksummed and handed to the host.
//
// A record is `syncCount` sync characters, code 0, the bodies collected into
// it back to back, the checksum character when enabled, and the terminator
// three times. It has no length field and travels as a NUL-terminated
// string, so no byte of it may be 0: the framing checks at OpBeginJob and the
// body writers (body.h) see to that.
#pragma once

#include <cstddef>
#include <cstdint>

#include "plotters/drevant/body.h"
#include "plotters/drevant/state.h"

namespace drv::drevant {

// A command's body joins a record that already holds other bodies only while
// the record stays below this many characters.
inline constexpr std::int32_t kRecordFill = 84;

enum BodyKind : int { BodyJobStart = 1, BodyJobEnd = 2, BodyCommand = 3 };

// The checksum character over `count` record bytes taken as signed 8-bit
// values: 96 minus the sum's truncating remainder modulo 32, so 0x41..0x60
// for a sum of 0 or more (0x60 for a multiple of 32), 0x60..0x7F below 0.
std::uint8_t checksumChar(const std::uint8_t *bytes, std::int32_t count);

// Appends the sync characters and code 0 to the `length` characters of
// `line` and terminates it. Returns the count appended (syncCount + 1), or 0
// and no change when the line buffer lacks the room.
std::int32_t openRecord(std::uint8_t *line, std::int32_t length, const PlotterState &state);

// Appends the checksum character (over the line from position syncCount on,
// when checksumOn) and three terminators, and terminates the line. Returns
// the count appended (3 or 4), or 0 and no change when it lacks the room.
std::int32_t closeRecord(std::uint8_t *line, std::int32_t length, const PlotterState &state);

struct Emitted {
    std::int32_t outLength;  // bytes written to `out` (a NUL follows them)
    bool collected;          // the body is in a record now
};

// Collects `body` and writes to `out` the record(s) it completes:
//  BodyJobStart obtains the line buffer and delivers the job's first record;
//  BodyCommand delivers the pending record when the body would bring it to
//    kRecordFill characters, then adds the body to the (new) pending record;
//  BodyJobEnd adds the body, delivers the last record and releases the line.
// A spoiled body, or one too long for a record of its own, is not collected;
// a command's is then dropped with no output, a job end still delivers and
// releases. Without a line buffer (or when it cannot be obtained) nothing
// happens. At most 2 * 255 bytes are written (a job end whose body does not
// fit beside the pending record closes that one first).
Emitted emitBody(std::uint8_t *out, PlotterState &state, const Body &body, BodyKind kind);

}  // namespace drv::drevant
