#include "plotters/quillane/packbits.h"

#include <cstddef>

namespace drv::quillane {
namespace {

constexpr std::size_t kMaxPiece = 128;             // bytes one header covers
constexpr std::uint8_t kOpeningLiteralHeader = 0xFF;  // count - 1 before the first byte
constexpr std::uint8_t kFullLiteralHeader = 0x7F;     // 128 literal bytes
constexpr std::size_t kNoLiteral = SIZE_MAX;

// The destination, what has been written, and the open literal run. Writers
// report whether compression may go on: the write that fills the destination
// is the last one, since a form as long as the row gains nothing.
class PackBitsOutput {
public:
    PackBitsOutput(std::uint8_t *bytes, std::size_t capacity) : bytes_(bytes), capacity_(capacity) {}

    std::size_t written() const { return written_; }

    // No literal run is open at the start of the row and right after a
    // repeat run; that place is the run boundary, where a pair of equal
    // bytes becomes a run of 2 instead of joining a literal run.
    bool atRunBoundary() const { return literalHeader_ == kNoLiteral; }

    // Appends `byte` to the open literal run, opening one first when none is
    // open or the open one holds 128 bytes. The header holds count - 1.
    bool literal(std::uint8_t byte) {
        if (atRunBoundary() || bytes_[literalHeader_] == kFullLiteralHeader) {
            literalHeader_ = written_;
            if (!put(kOpeningLiteralHeader)) {
                return false;
            }
        }
        ++bytes_[literalHeader_];
        return put(byte);
    }

    // Writes a repeat run of `count` copies (2 to 128) of `byte`; its header
    // is 1 - count as a signed byte. Any open literal run ends here.
    bool run(std::size_t count, std::uint8_t byte) {
        literalHeader_ = kNoLiteral;
        return put(static_cast<std::uint8_t>(1 + 256 - count)) && put(byte);
    }

private:
    bool put(std::uint8_t byte) {
        bytes_[written_++] = byte;
        return written_ < capacity_;
    }

    std::uint8_t *bytes_;
    std::size_t capacity_;
    std::size_t written_ = 0;
    std::size_t literalHeader_ = kNoLiteral;
};

// A repeat run starts at `p` when the next byte is equal and either no
// literal run is open, the pair is the row's last two bytes, or a third
// equal byte follows. Inside a literal stretch a lone pair stays literal:
// as a run it would cost a run header and a new literal header.
bool startsRun(const std::uint8_t *row, std::size_t p, std::size_t end, bool atRunBoundary) {
    if (p + 1 >= end || row[p + 1] != row[p]) {
        return false;
    }
    return atRunBoundary || p + 2 >= end || row[p + 2] == row[p];
}

}  // namespace

std::int32_t compressPackBits(std::uint8_t *destination, const std::uint8_t *source,
                              std::int32_t length) {
    if (length <= 0) {
        return 0;
    }
    if (source == nullptr || destination == nullptr) {
        return kCompressGaveUp;
    }
    const auto end = static_cast<std::size_t>(length);
    PackBitsOutput out(destination, end);
    std::size_t p = 0;
    while (p < end) {
        const std::uint8_t c = source[p];
        if (!startsRun(source, p, end, out.atRunBoundary())) {
            if (!out.literal(c)) {
                return kCompressGaveUp;
            }
            ++p;
            continue;
        }
        std::size_t runEnd = p + 2;
        while (runEnd < end && source[runEnd] == c) {
            ++runEnd;
        }
        // Split into pieces of 128. A single byte left over after the last
        // full piece cannot be a run; it becomes the next literal byte.
        std::size_t count = runEnd - p;
        for (; count > kMaxPiece; count -= kMaxPiece) {
            if (!out.run(kMaxPiece, c)) {
                return kCompressGaveUp;
            }
        }
        if (count == 1) {
            p = runEnd - 1;
        } else if (out.run(count, c)) {
            p = runEnd;
        } else {
            return kCompressGaveUp;
        }
    }
    return static_cast<std::int32_t>(out.written());
}

}  // namespace drv::quillane
