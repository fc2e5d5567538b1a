// The number and separator grammar shared by path data, point lists,
// transform lists and viewBox: "1.5e-3", "-.5.5" (two numbers), commas
// and white space between.
#pragma once

#include <cstddef>
#include <string_view>

namespace drv::drawing::svg {

class NumberScanner {
public:
    explicit NumberScanner(std::string_view text) : text_(text) {}

    std::size_t position() const { return pos_; }
    bool atEnd() const { return pos_ >= text_.size(); }
    char peek() const { return atEnd() ? '\0' : text_[pos_]; }
    void advance() { ++pos_; }

    void skipSpaces();
    // Spaces, at most one comma, spaces.
    void skipSeparator();
    // A number starts here (sign, digit or point).
    bool atNumber() const;
    // Reads a finite number; false (position unchanged) when there is none.
    bool number(double &value);
    // The last number() failed on a number too large for a double.
    bool overflowed() const { return overflowed_; }
    // An arc flag: a single '0' or '1'.
    bool flag(bool &value);

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    bool overflowed_ = false;
};

} // namespace drv::drawing::svg
