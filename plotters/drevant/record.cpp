#include "plotters/drevant/record.h"

#include <cstring>

#include "common/heap.h"

namespace drv::drevant {
namespace {

// The line is always NUL-terminated within its buffer and holds no 0 byte
// before the end, so a bounded walk finds its length.
std::int32_t lineLength(const std::uint8_t *line) {
    std::int32_t n = 0;
    while (n < kLineCapacity && line[n] != 0) {
        ++n;
    }
    return n;
}

std::int32_t appendBody(std::uint8_t *line, std::int32_t length, const Body &body) {
    std::memcpy(line + length, body.bytes, static_cast<std::size_t>(body.length));
    line[length + body.length] = 0;
    return body.length;
}

// Closes the record of `length` characters in the line, copies it to `out`
// and empties the line. Returns the count copied.
std::int32_t deliver(std::uint8_t *out, std::uint8_t *line, std::int32_t length,
                     const PlotterState &state) {
    length += closeRecord(line, length, state);
    std::memcpy(out, line, static_cast<std::size_t>(length));
    line[0] = 0;
    return length;
}

bool fitsRecord(const PlotterState &state, const Body &body) {
    return !body.spoiled && body.length <= maxBodyLength(state);
}

Emitted collectFirst(std::uint8_t *out, PlotterState &state, const Body &body) {
    state.lineBuffer = nullptr;
    if (!fitsRecord(state, body)) {
        return {0, false};
    }
    auto *line = static_cast<std::uint8_t *>(obtainBlock(std::size_t{kLineSize}));
    if (line == nullptr) {
        return {0, false};
    }
    state.lineBuffer = line;
    std::int32_t length = openRecord(line, 0, state);
    length += appendBody(line, length, body);
    return {deliver(out, line, length, state), true};
}

Emitted collectCommand(std::uint8_t *out, PlotterState &state, const Body &body) {
    std::uint8_t *line = state.lineBuffer;
    if (line == nullptr || !fitsRecord(state, body)) {
        return {0, false};
    }
    std::int32_t length = lineLength(line);
    std::int32_t written = 0;
    // An empty line has no record to close: a long first body simply opens
    // the next record instead of sending a bare checksum and terminators.
    if (length != 0 && length + body.length >= kRecordFill) {
        written = deliver(out, line, length, state);
        length = 0;
    }
    if (length == 0) {
        length = openRecord(line, 0, state);
    }
    appendBody(line, length, body);
    return {written, true};
}

Emitted collectLast(std::uint8_t *out, PlotterState &state, const Body &body) {
    std::uint8_t *line = state.lineBuffer;
    if (line == nullptr) {
        return {0, false};
    }
    const bool keep = fitsRecord(state, body);
    std::int32_t length = lineLength(line);
    std::int32_t written = 0;
    // A trailer too long to join the pending record gets a record of its
    // own; one too long for any record is left out. Either way the pending
    // record is delivered and the line released.
    if (keep && length != 0 && length + body.length + closeLength(state) > kLineCapacity) {
        written = deliver(out, line, length, state);
        length = 0;
    }
    if (length == 0) {
        length = openRecord(line, 0, state);
    }
    if (keep) {
        length += appendBody(line, length, body);
    }
    written += deliver(out + written, line, length, state);
    releaseBlock(line);
    state.lineBuffer = nullptr;
    return {written, keep};
}

}  // namespace

std::uint8_t checksumChar(const std::uint8_t *bytes, std::int32_t count) {
    std::int32_t sum = 0;
    for (std::int32_t i = 0; i < count; ++i) {
        sum += static_cast<std::int8_t>(bytes[i]);
    }
    // C++ `%` truncates toward zero: the remainder keeps the sign of the sum.
    return static_cast<std::uint8_t>(96 - sum % 32);
}

std::int32_t openRecord(std::uint8_t *line, std::int32_t length, const PlotterState &state) {
    const std::int32_t count = openLength(state);
    if (length < 0 || length > kLineCapacity || count > kLineCapacity - length) {
        return 0;
    }
    std::memset(line + length, state.syncChar, static_cast<std::size_t>(count - 1));
    line[length + count - 1] = static_cast<std::uint8_t>(state.biasChar);
    line[length + count] = 0;
    return count;
}

std::int32_t closeRecord(std::uint8_t *line, std::int32_t length, const PlotterState &state) {
    const std::int32_t count = closeLength(state);
    if (length < 0 || length > kLineCapacity || count > kLineCapacity - length) {
        return 0;
    }
    std::int32_t n = length;
    if (state.checksumOn != 0) {
        const std::int32_t from = openLength(state) - 1;  // the code 0 after the syncs
        line[n++] = checksumChar(line + from, from < length ? length - from : 0);
    }
    for (int i = 0; i < 3; ++i) {
        line[n++] = state.terminator;
    }
    line[n] = 0;
    return count;
}

Emitted emitBody(std::uint8_t *out, PlotterState &state, const Body &body, BodyKind kind) {
    switch (kind) {
    case BodyJobStart:
        return collectFirst(out, state, body);
    case BodyJobEnd:
        return collectLast(out, state, body);
    case BodyCommand:
        return collectCommand(out, state, body);
    }
    return {0, false};
}

}  // namespace drv::drevant
