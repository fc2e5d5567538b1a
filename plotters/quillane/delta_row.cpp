#include "plotters/quillane/delta_row.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace drv::quillane {
namespace {

constexpr std::size_t kMaxReplacement = 8;    // bytes one command can replace
constexpr std::size_t kOffsetFollows = 31;    // command offset meaning "offset bytes follow"
constexpr std::size_t kOffsetContinues = 255; // offset byte meaning "another follows"

// Bytes of the command (and its offset bytes) in front of `count` changed
// bytes `offset` unchanged ones after the previous replacement.
std::size_t commandBytes(std::size_t offset, std::size_t count) {
    const std::size_t offsetBytes =
        offset < kOffsetFollows ? 0 : (offset - kOffsetFollows) / kOffsetContinues + 1;
    return (count + kMaxReplacement - 1) / kMaxReplacement + offsetBytes;
}

// Which positions differ from the seed, 64 at a time; a gap or a stretch
// that outlasts its window is followed by the scanner.
template <typename Scan>
struct ChangeWindow {
    const std::uint8_t *row;
    const std::uint8_t *seed;
    std::size_t end;
    std::size_t base = SIZE_MAX;
    std::uint64_t changed = 0;

    void cover(std::size_t p) {
        const std::size_t start = p - p % 64;
        if (start != base) {
            base = start;
            changed = Scan::changeMask(row, seed, base, end);
        }
    }

    // The first changed position from `p` on, or `end`.
    std::size_t nextChanged(std::size_t p) {
        if (p >= end) {
            return end;
        }
        cover(p);
        const std::uint64_t marks = changed >> (p % 64);
        if (marks != 0) {
            return p + static_cast<std::size_t>(std::countr_zero(marks));
        }
        return base + 64 >= end ? end : Scan::firstChanged(row, seed, base + 64, end);
    }

    // The first unchanged position from `p` on, or `end`.
    std::size_t nextUnchanged(std::size_t p) {
        if (p >= end) {
            return end;
        }
        cover(p);
        const std::uint64_t marks = ~changed >> (p % 64);
        if (marks != 0) {
            const std::size_t at = p + static_cast<std::size_t>(std::countr_zero(marks));
            return at < end ? at : end;
        }
        return base + 64 >= end ? end : Scan::firstUnchanged(row, seed, base + 64, end);
    }
};

// The row as unchanged gaps and changed stretches. A stretch of L changed
// bytes becomes ceil(L / 8) commands of up to 8 replacement bytes; the first
// carries the gap before it as its offset, the others offset 0. Each stretch
// is checked against the destination before any of it is written. A row
// whose changed bytes still to come cannot fit whatever they look like is
// given up at once: when the output already outgrows the input consumed,
// the rest is counted (a cheap pass; once per row) and each changed byte
// costs itself and each stretch at least one command byte. One function
// with its state in locals: the output is bytes, which may alias anything
// a pointer reaches.
template <typename Scan>
std::int32_t encodeDeltaRow(std::uint8_t *out, const std::uint8_t *row, const std::uint8_t *seed,
                            std::size_t end) {
    ChangeWindow<Scan> window{row, seed, end};
    std::uint8_t *to = out;
    std::uint8_t *const limit = out + end;
    bool counted = false;
    std::size_t gapStart = 0;  // first unchanged byte after the last replacement
    while (true) {
        const std::size_t from = window.nextChanged(gapStart);
        if (from == end) {
            break;
        }
        const std::size_t stop = window.nextUnchanged(from + 1);
        std::size_t offset = from - gapStart;
        const std::size_t count = stop - from;
        if (count + commandBytes(offset, count) > static_cast<std::size_t>(limit - to)) {
            return kCompressGaveUp;
        }
        for (std::size_t at = from; at < stop; at += kMaxReplacement, offset = 0) {
            const std::size_t n = stop - at < kMaxReplacement ? stop - at : kMaxReplacement;
            const std::size_t inlineOffset = offset < kOffsetFollows ? offset : kOffsetFollows;
            *to++ = static_cast<std::uint8_t>((n - 1) << 5 | inlineOffset);
            if (offset >= kOffsetFollows) {
                std::size_t rest = offset - kOffsetFollows;
                for (; rest >= kOffsetContinues; rest -= kOffsetContinues) {
                    *to++ = static_cast<std::uint8_t>(kOffsetContinues);
                }
                *to++ = static_cast<std::uint8_t>(rest);
            }
            // A fixed 8-byte copy where row and destination have the room;
            // what it writes past the command is overwritten next or lies
            // past the form.
            if (at + kMaxReplacement <= end && limit - to >= 8) {
                std::memcpy(to, row + at, kMaxReplacement);
            } else {
                std::memcpy(to, row + at, n);
            }
            to += n;
        }
        gapStart = stop;
        const auto written = static_cast<std::size_t>(to - out);
        if (!counted && written >= stop && stop < end) {
            counted = true;
            const scan::ChangeCount rest = Scan::countChanges(row, seed, stop, end);
            const std::size_t byLength = (rest.changed + kMaxReplacement - 1) / kMaxReplacement;
            const std::size_t commands = rest.stretches > byLength ? rest.stretches : byLength;
            if (rest.changed + commands > end - written) {
                return kCompressGaveUp;
            }
        }
    }
    return static_cast<std::int32_t>(to - out);
}

}  // namespace

template <typename Scan>
std::int32_t compressDeltaRowWith(std::uint8_t *out, const std::uint8_t *row, std::int32_t length,
                                  const std::uint8_t *seed) {
    if (length <= 0) {
        return 0;
    }
    if (out == nullptr || row == nullptr || seed == nullptr) {
        return kCompressGaveUp;
    }
    return encodeDeltaRow<Scan>(out, row, seed, static_cast<std::size_t>(length));
}

template std::int32_t compressDeltaRowWith<scan::Words>(std::uint8_t *, const std::uint8_t *,
                                                        std::int32_t, const std::uint8_t *);
#if defined(__SSE2__)
template std::int32_t compressDeltaRowWith<scan::Sse2>(std::uint8_t *, const std::uint8_t *,
                                                       std::int32_t, const std::uint8_t *);
#endif

std::int32_t compressDeltaRow(std::uint8_t *out, const std::uint8_t *row, std::int32_t length,
                              const std::uint8_t *seed) {
    return compressDeltaRowWith<scan::FastScan>(out, row, length, seed);
}

}  // namespace drv::quillane
