#include "plotters/quillane/delta_row.h"

#include <cstddef>

namespace drv::quillane {
namespace {

constexpr std::size_t kMaxReplacement = 8;    // bytes one command can replace
constexpr std::size_t kOffsetFollows = 31;    // command offset meaning "offset bytes follow"
constexpr std::size_t kOffsetContinues = 255; // offset byte meaning "another follows"

// The destination and what has been written. A command that would go past
// the destination stops at the byte that does not fit.
class DeltaRowOutput {
public:
    DeltaRowOutput(std::uint8_t *bytes, std::size_t capacity) : bytes_(bytes), capacity_(capacity) {}

    std::size_t written() const { return written_; }

    // One command: `count` (1 to 8) replacement bytes after `offset`
    // unchanged ones. Offsets of 31 and more spill into offset bytes.
    bool command(std::size_t offset, const std::uint8_t *replacement, std::size_t count) {
        const std::size_t inlineOffset = offset < kOffsetFollows ? offset : kOffsetFollows;
        if (!put(static_cast<std::uint8_t>((count - 1) << 5 | inlineOffset))) {
            return false;
        }
        if (offset >= kOffsetFollows) {
            std::size_t rest = offset - kOffsetFollows;
            for (; rest >= kOffsetContinues; rest -= kOffsetContinues) {
                if (!put(static_cast<std::uint8_t>(kOffsetContinues))) {
                    return false;
                }
            }
            if (!put(static_cast<std::uint8_t>(rest))) {
                return false;
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (!put(replacement[i])) {
                return false;
            }
        }
        return true;
    }

private:
    bool put(std::uint8_t byte) {
        if (written_ == capacity_) {
            return false;
        }
        bytes_[written_++] = byte;
        return true;
    }

    std::uint8_t *bytes_;
    std::size_t capacity_;
    std::size_t written_ = 0;
};

}  // namespace

std::int32_t compressDeltaRow(std::uint8_t *destination, const std::uint8_t *source,
                              std::int32_t length, const std::uint8_t *seed) {
    if (length <= 0) {
        return 0;
    }
    if (source == nullptr || destination == nullptr || seed == nullptr) {
        return kCompressGaveUp;
    }
    const auto end = static_cast<std::size_t>(length);
    DeltaRowOutput out(destination, end);
    std::size_t offset = 0;   // unchanged bytes since the last replacement
    std::size_t start = 0;    // first byte of the pending replacement
    std::size_t pending = 0;  // its size; 0 when none is pending
    for (std::size_t p = 0; p < end; ++p) {
        const bool unchanged = source[p] == seed[p];
        if (pending == 0) {
            if (unchanged) {
                ++offset;
            } else {
                start = p;
                pending = 1;
            }
            continue;
        }
        if (!unchanged && pending < kMaxReplacement) {
            ++pending;
            continue;
        }
        if (!out.command(offset, source + start, pending)) {
            return kCompressGaveUp;
        }
        // The byte that closed the command is either the first unchanged
        // byte of the next gap or the first byte of the next replacement.
        if (unchanged) {
            pending = 0;
            offset = 1;
        } else {
            start = p;
            pending = 1;
            offset = 0;
        }
    }
    if (pending != 0 && !out.command(offset, source + start, pending)) {
        return kCompressGaveUp;
    }
    return static_cast<std::int32_t>(out.written());
}

}  // namespace drv::quillane
