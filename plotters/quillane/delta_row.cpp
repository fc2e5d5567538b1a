#include "plotters/quillane/delta_row.h"

#include <cstddef>
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

// The row as unchanged gaps and changed stretches. A stretch of L changed
// bytes becomes ceil(L / 8) commands of up to 8 replacement bytes; the first
// carries the gap before it as its offset, the others offset 0. Each stretch
// is checked against the destination before any of it is written. A row
// whose changed bytes still to come cannot fit whatever they look like is
// given up at once: when the output already outgrows the input consumed,
// the rest is counted (a cheap pass) and each changed byte costs itself and
// each stretch at least one command byte.
template <typename Scan>
class DeltaRowEncoder {
public:
    DeltaRowEncoder(std::uint8_t *out, const std::uint8_t *row, const std::uint8_t *seed,
                    std::size_t length)
        : out_(out), row_(row), seed_(seed), end_(length) {}

    std::int32_t encode() {
        std::size_t gapStart = 0;  // first unchanged byte after the last replacement
        std::size_t p = 0;
        while (true) {
            const std::size_t from = Scan::firstChanged(row_, seed_, p, end_);
            if (from == end_) {
                break;
            }
            const std::size_t to = Scan::firstUnchanged(row_, seed_, from + 1, end_);
            if (!stretch(from - gapStart, from, to) || certainToOverflow(to)) {
                return kCompressGaveUp;
            }
            gapStart = to;
            p = to;
        }
        return static_cast<std::int32_t>(written_);
    }

private:
    bool stretch(std::size_t offset, std::size_t from, std::size_t to) {
        const std::size_t count = to - from;
        if (count + commandBytes(offset, count) > end_ - written_) {
            return false;
        }
        std::uint8_t *out = out_ + written_;
        for (std::size_t at = from; at < to; at += kMaxReplacement, offset = 0) {
            const std::size_t n = to - at < kMaxReplacement ? to - at : kMaxReplacement;
            const std::size_t inlineOffset = offset < kOffsetFollows ? offset : kOffsetFollows;
            *out++ = static_cast<std::uint8_t>((n - 1) << 5 | inlineOffset);
            if (offset >= kOffsetFollows) {
                std::size_t rest = offset - kOffsetFollows;
                for (; rest >= kOffsetContinues; rest -= kOffsetContinues) {
                    *out++ = static_cast<std::uint8_t>(kOffsetContinues);
                }
                *out++ = static_cast<std::uint8_t>(rest);
            }
            std::memcpy(out, row_ + at, n);
            out += n;
        }
        written_ = static_cast<std::size_t>(out - out_);
        return true;
    }

    // True once the changed bytes after `p` cannot fit beside what is
    // written. Counted once per row, and only when the form is no smaller
    // than the part of the row it stands for.
    bool certainToOverflow(std::size_t p) {
        if (counted_ || written_ < p || p == end_) {
            return false;
        }
        counted_ = true;
        const scan::ChangeCount rest = Scan::countChanges(row_, seed_, p, end_);
        const std::size_t commands = rest.stretches > (rest.changed + kMaxReplacement - 1) /
                                                          kMaxReplacement
                                         ? rest.stretches
                                         : (rest.changed + kMaxReplacement - 1) / kMaxReplacement;
        return rest.changed + commands > end_ - written_;
    }

    std::uint8_t *out_;
    const std::uint8_t *row_;
    const std::uint8_t *seed_;
    std::size_t end_;
    std::size_t written_ = 0;
    bool counted_ = false;
};

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
    return DeltaRowEncoder<Scan>(out, row, seed, static_cast<std::size_t>(length)).encode();
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
