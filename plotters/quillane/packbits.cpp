#include "plotters/quillane/packbits.h"

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace drv::quillane {
namespace {

constexpr std::size_t kMaxPiece = 128;  // bytes one header covers

// Where pairs and triples of equal bytes start, 64 positions at a time. The
// encoder asks about positions in increasing order, so one window is built
// at a time and most questions are a shift and a bit count; a run or a
// literal stretch that outlasts its window is followed by the scanner.
template <typename Scan>
struct EqualityWindow {
    const std::uint8_t *row;
    std::size_t end;
    std::size_t base = SIZE_MAX;
    std::uint64_t pairs = 0;
    std::uint64_t triples = 0;

    struct Masks {
        std::uint64_t pairs;
        std::uint64_t triples;
    };

    // The masks of the 64 positions from `start` on. Kept out of line, so
    // that the window's questions are inlined and its state lives in
    // registers.
    [[gnu::noinline]] static Masks masksAt(const std::uint8_t *row, std::size_t start,
                                           std::size_t end) {
        const std::uint64_t pairs = Scan::pairMask(row, start, end);
        // A triple at the window's last position needs the next pair.
        const std::uint64_t next = start + 65 < end && row[start + 64] == row[start + 65];
        return {pairs, pairs & (pairs >> 1 | next << 63)};
    }

    void cover(std::size_t p) {
        const std::size_t start = p - p % 64;
        if (start != base) {
            base = start;
            const Masks masks = masksAt(row, start, end);
            pairs = masks.pairs;
            triples = masks.triples;
        }
    }

    bool pairAt(std::size_t p) {
        cover(p);
        return (pairs >> (p % 64) & 1u) != 0;
    }

    // The first position from `from` on where three equal bytes start, or
    // `end`.
    std::size_t nextTriple(std::size_t from) {
        if (from + 2 >= end) {
            return end;
        }
        cover(from);
        const std::uint64_t marks = triples >> (from % 64);
        if (marks != 0) {
            return from + static_cast<std::size_t>(std::countr_zero(marks));
        }
        // The next window is needed next anyway; only a stretch that
        // outlasts it too goes to the scanner.
        if (base + 64 + 2 >= end) {
            return end;
        }
        cover(base + 64);
        if (triples != 0) {
            return base + static_cast<std::size_t>(std::countr_zero(triples));
        }
        return base + 64 >= end ? end : Scan::tripleStart(row, base + 64, end);
    }

    // The end of the run of equal bytes that starts with a pair at `q`.
    std::size_t runEnd(std::size_t q) {
        cover(q);
        const std::uint64_t breaks = ~pairs >> (q % 64);
        if (breaks != 0) {
            return q + static_cast<std::size_t>(std::countr_zero(breaks)) + 1;
        }
        if (base + 64 >= end) {
            return end;
        }
        cover(base + 64);
        if (~pairs != 0) {
            return base + static_cast<std::size_t>(std::countr_zero(~pairs)) + 1;
        }
        return base + 64 >= end ? end : Scan::runEnd(row, base + 64, end, row[q]);
    }
};

// The row as a sequence of stretches. A literal stretch is a run of bytes
// sent as they are, in pieces of at most 128 behind a header of count - 1;
// a repeat run is a stretch of equal bytes sent as pieces of 2 to 128, each
// a header of 1 - count and the byte. Where one ends and the next begins:
//  - at the start of the row and right after a repeat run (no literal piece
//    open) a pair of equal bytes starts a repeat run;
//  - inside a literal stretch only three equal bytes do, or a pair that
//    ends the row: a lone pair stays literal, since as a run it would cost a
//    run header and a new literal header;
//  - a run ends at the first different byte; a single byte left over after
//    its last full piece of 128 is the first byte of a literal stretch.
// The form is written stretch by stretch; each stretch is checked against
// the destination before any of it is written, so the compressor gives up
// (a form as long as the row gains nothing) without ever writing the byte
// that would fill the destination. One function with its state in locals:
// the output is bytes, which may alias anything a pointer reaches.
template <typename Scan>
std::int32_t encodePackBits(std::uint8_t *out, const std::uint8_t *row, std::size_t end) {
    EqualityWindow<Scan> window{row, end};
    std::uint8_t *to = out;
    // The form must stay shorter than the row: the last byte it may use.
    std::uint8_t *const last = out + end - 1;
    std::size_t p = 0;
    bool afterRun = true;  // the row starts like a run boundary
    while (p < end) {
        // Most stretches start and end inside one window: the masks answer
        // at once, and the window's own questions take the rest.
        window.cover(p);
        const std::size_t offset = p - window.base;
        std::size_t q = p;  // where the next repeat run starts
        if (!afterRun || (window.pairs >> offset & 1u) == 0) {
            // A literal stretch up to the next three equal bytes, the row's
            // last pair, or the end of the row.
            const std::uint64_t marks = window.triples >> offset >> 1;
            q = marks != 0 ? p + 1 + static_cast<std::size_t>(std::countr_zero(marks))
                           : window.nextTriple(p + 1);
            if (q == end && p + 2 < end && row[end - 2] == row[end - 1]) {
                q = end - 2;
            }
            const std::size_t count = q - p;
            const auto room = static_cast<std::size_t>(last - to);
            if (count <= 16 && room >= 17 && p + 16 <= end) {
                // The common short stretch: its header and a fixed 16-byte
                // copy (what it writes past the stretch is overwritten next,
                // or lies past the form).
                *to = static_cast<std::uint8_t>(count - 1);
                std::memcpy(to + 1, row + p, 16);
                to += count + 1;
            } else {
                if (count + (count + kMaxPiece - 1) / kMaxPiece > room) {
                    return kCompressGaveUp;
                }
                for (std::size_t at = p; at < q; at += kMaxPiece) {
                    const std::size_t n = q - at < kMaxPiece ? q - at : kMaxPiece;
                    *to++ = static_cast<std::uint8_t>(n - 1);
                    std::memcpy(to, row + at, n);
                    to += n;
                }
            }
            if (q == end) {
                break;
            }
        }
        const std::size_t runAt = q - window.base;
        const std::uint64_t breaks = runAt < 64 ? ~window.pairs >> runAt : 0;
        const std::size_t runEnd =
            breaks != 0 ? q + static_cast<std::size_t>(std::countr_zero(breaks)) + 1
                        : window.runEnd(q);
        const std::uint8_t c = row[q];
        std::size_t count = runEnd - q;
        if (count <= kMaxPiece) {
            if (last - to < 2) {
                return kCompressGaveUp;
            }
            to[0] = static_cast<std::uint8_t>(1 + 256 - count);
            to[1] = c;
            to += 2;
            p = runEnd;
            afterRun = true;
            continue;
        }
        // A single byte left over after full pieces opens the literal
        // stretch that follows.
        const bool leftOver = count % kMaxPiece == 1;
        count -= leftOver ? 1 : 0;
        if (2 * ((count + kMaxPiece - 1) / kMaxPiece) > static_cast<std::size_t>(last - to)) {
            return kCompressGaveUp;
        }
        for (; count > kMaxPiece; count -= kMaxPiece) {
            *to++ = static_cast<std::uint8_t>(1 + 256 - kMaxPiece);
            *to++ = c;
        }
        *to++ = static_cast<std::uint8_t>(1 + 256 - count);
        *to++ = c;
        p = runEnd - (leftOver ? 1 : 0);
        afterRun = !leftOver;
    }
    return static_cast<std::int32_t>(to - out);
}

}  // namespace

template <typename Scan>
std::int32_t compressPackBitsWith(std::uint8_t *out, const std::uint8_t *row,
                                  std::int32_t length) {
    if (length <= 0) {
        return 0;
    }
    if (out == nullptr || row == nullptr) {
        return kCompressGaveUp;
    }
    return encodePackBits<Scan>(out, row, static_cast<std::size_t>(length));
}

template std::int32_t compressPackBitsWith<scan::Words>(std::uint8_t *, const std::uint8_t *,
                                                        std::int32_t);
#if defined(__SSE2__)
template std::int32_t compressPackBitsWith<scan::Sse2>(std::uint8_t *, const std::uint8_t *,
                                                       std::int32_t);
#endif

std::int32_t compressPackBits(std::uint8_t *out, const std::uint8_t *row, std::int32_t length) {
    return compressPackBitsWith<scan::FastScan>(out, row, length);
}

}  // namespace drv::quillane
