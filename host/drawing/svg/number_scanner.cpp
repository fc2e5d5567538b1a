#include "host/drawing/svg/number_scanner.h"

#include <charconv>
#include <cmath>

namespace drv::drawing::svg {
namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f';
}

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

} // namespace

void NumberScanner::skipSpaces() {
    while (!atEnd() && isSpace(text_[pos_])) {
        ++pos_;
    }
}

void NumberScanner::skipSeparator() {
    skipSpaces();
    if (peek() == ',') {
        ++pos_;
        skipSpaces();
    }
}

bool NumberScanner::atNumber() const {
    const char c = peek();
    return isDigit(c) || c == '-' || c == '+' || c == '.';
}

bool NumberScanner::number(double &value) {
    std::size_t end = pos_;
    const auto at = [&](std::size_t i) { return i < text_.size() ? text_[i] : '\0'; };
    if (at(end) == '+' || at(end) == '-') {
        ++end;
    }
    std::size_t digits = 0;
    while (isDigit(at(end))) {
        ++end;
        ++digits;
    }
    if (at(end) == '.') {
        ++end;
        while (isDigit(at(end))) {
            ++end;
            ++digits;
        }
    }
    overflowed_ = false;
    if (digits == 0) {
        return false;
    }
    // An exponent only when digits follow: "1e" is the number 1 and an 'e'.
    if (at(end) == 'e' || at(end) == 'E') {
        std::size_t exp = end + 1;
        if (at(exp) == '+' || at(exp) == '-') {
            ++exp;
        }
        if (isDigit(at(exp))) {
            while (isDigit(at(exp))) {
                ++exp;
            }
            end = exp;
        }
    }
    std::size_t start = pos_;
    if (at(start) == '+') {
        ++start; // from_chars takes no plus sign
    }
    double parsed = 0;
    const auto [ptr, ec] = std::from_chars(text_.data() + start, text_.data() + end, parsed);
    if (ec != std::errc() || ptr != text_.data() + end || !std::isfinite(parsed)) {
        overflowed_ = ec == std::errc::result_out_of_range;
        return false;
    }
    value = parsed;
    pos_ = end;
    return true;
}

bool NumberScanner::flag(bool &value) {
    const char c = peek();
    if (c != '0' && c != '1') {
        return false;
    }
    value = c == '1';
    ++pos_;
    return true;
}

} // namespace drv::drawing::svg
