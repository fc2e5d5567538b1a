#include "plotters/drevant/record.h"

#include <cstring>

#include "common/heap.h"

namespace drv::drevant {
namespace {

// The line is always NUL-terminated within its buffer and holds no 0 byte
// before the end, so a bounded walk finds its length.
std::size_t lineLength(const unsigned char *line) {
    std::size_t n = 0;
    while (n < kLineCapacity && line[n] != 0) {
        ++n;
    }
    return n;
}

std::size_t appendBody(unsigned char *line, std::size_t length, const Body &body) {
    std::memcpy(line + length, body.bytes, body.length);
    line[length + body.length] = 0;
    return body.length;
}

// Closes the record of `length` characters in the line, copies it to `out`
// and empties the line. Returns the count copied.
std::size_t deliver(const PlotterState &state, unsigned char *line, std::size_t length,
                    unsigned char *out) {
    length += closeRecord(state, line, length);
    std::memcpy(out, line, length);
    line[0] = 0;
    return length;
}

bool fitsRecord(const PlotterState &state, const Body &body) {
    return !body.spoiled && body.length <= maxBodyLength(state);
}

Emitted collectFirst(PlotterState &state, unsigned char *out, const Body &body) {
    state.lineBuffer = nullptr;
    if (!fitsRecord(state, body)) {
        return {0, false};
    }
    auto *line = static_cast<unsigned char *>(obtainBlock(kLineSize));
    if (line == nullptr) {
        return {0, false};
    }
    state.lineBuffer = line;
    std::size_t length = openRecord(state, line, 0);
    length += appendBody(line, length, body);
    return {deliver(state, line, length, out), true};
}

Emitted collectCommand(PlotterState &state, unsigned char *out, const Body &body) {
    unsigned char *line = state.lineBuffer;
    if (line == nullptr || !fitsRecord(state, body)) {
        return {0, false};
    }
    std::size_t length = lineLength(line);
    std::size_t written = 0;
    // An empty line has no record to close: a long first body simply opens
    // the next record instead of sending a bare checksum and terminators.
    if (length != 0 && length + body.length >= kRecordFill) {
        written = deliver(state, line, length, out);
        length = 0;
    }
    if (length == 0) {
        length = openRecord(state, line, 0);
    }
    appendBody(line, length, body);
    return {written, true};
}

Emitted collectLast(PlotterState &state, unsigned char *out, const Body &body) {
    unsigned char *line = state.lineBuffer;
    if (line == nullptr) {
        return {0, false};
    }
    const bool keep = fitsRecord(state, body);
    std::size_t length = lineLength(line);
    std::size_t written = 0;
    // A trailer too long to join the pending record gets a record of its
    // own; one too long for any record is left out. Either way the pending
    // record is delivered and the line released.
    if (keep && length != 0 && length + body.length + closeLength(state) > kLineCapacity) {
        written = deliver(state, line, length, out);
        length = 0;
    }
    if (length == 0) {
        length = openRecord(state, line, 0);
    }
    if (keep) {
        length += appendBody(line, length, body);
    }
    written += deliver(state, line, length, out + written);
    releaseBlock(line);
    state.lineBuffer = nullptr;
    return {written, keep};
}

}  // namespace

std::uint8_t checksumChar(const unsigned char *bytes, std::size_t count) {
    std::int32_t sum = 0;
    for (std::size_t i = 0; i < count; ++i) {
        sum += static_cast<std::int8_t>(bytes[i]);
    }
    // C++ `%` truncates toward zero: the remainder keeps the sign of the sum.
    return static_cast<std::uint8_t>(96 - sum % 32);
}

std::size_t openRecord(const PlotterState &state, unsigned char *line, std::size_t length) {
    const std::size_t count = openLength(state);
    if (length > kLineCapacity || count > kLineCapacity - length) {
        return 0;
    }
    std::memset(line + length, state.syncChar, count - 1);
    line[length + count - 1] = static_cast<unsigned char>(state.biasChar);
    line[length + count] = 0;
    return count;
}

std::size_t closeRecord(const PlotterState &state, unsigned char *line, std::size_t length) {
    const std::size_t count = closeLength(state);
    if (length > kLineCapacity || count > kLineCapacity - length) {
        return 0;
    }
    std::size_t n = length;
    if (state.checksumOn != 0) {
        const std::size_t from = openLength(state) - 1;  // the code 0 after the syncs
        line[n++] = checksumChar(line + from, from < length ? length - from : 0);
    }
    for (int i = 0; i < 3; ++i) {
        line[n++] = state.terminator;
    }
    line[n] = 0;
    return count;
}

Emitted emitBody(PlotterState &state, unsigned char *out, const Body &body, BodyKind kind) {
    switch (kind) {
    case BodyJobStart:
        return collectFirst(state, out, body);
    case BodyJobEnd:
        return collectLast(state, out, body);
    case BodyCommand:
        return collectCommand(state, out, body);
    }
    return {0, false};
}

}  // namespace drv::drevant
