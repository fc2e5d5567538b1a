// A read position over device bytes that never reads past the end: every
// accessor checks what is left first.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace drv::decode {

class ByteCursor {
public:
    explicit ByteCursor(std::span<const std::uint8_t> bytes, std::size_t base = 0)
        : bytes_(bytes), base_(base) {}

    bool atEnd() const { return pos_ >= bytes_.size(); }
    std::size_t left() const { return bytes_.size() - pos_; }
    // Offset of the next byte from the start of the whole input.
    std::size_t offset() const { return base_ + pos_; }
    std::size_t position() const { return pos_; }
    void seek(std::size_t pos) { pos_ = pos < bytes_.size() ? pos : bytes_.size(); }

    // The next byte without taking it; -1 at the end.
    int peek(std::size_t ahead = 0) const {
        return ahead < left() ? bytes_[pos_ + ahead] : -1;
    }
    // Takes the next byte; -1 at the end.
    int next() { return atEnd() ? -1 : bytes_[pos_++]; }
    // Takes `count` bytes, or as many as are left; returns them.
    std::span<const std::uint8_t> take(std::size_t count) {
        const std::size_t n = count < left() ? count : left();
        const std::span<const std::uint8_t> piece = bytes_.subspan(pos_, n);
        pos_ += n;
        return piece;
    }
    void skip(std::size_t count) { take(count); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t base_;
    std::size_t pos_ = 0;
};

} // namespace drv::decode
