// Reading PCL escape sequences: "\e" then either one byte from '0' to '~'
// (a two-byte escape such as "\eE"), or a parameterised sequence: a kind
// byte from '!' to '/', an optional group byte from '`' to '~', then one or
// more value fields, each a signed decimal number ended by a parameter
// letter: lower case when another field follows, upper case on the last.
#include <cctype>
#include <cmath>

#include "host/decode/pcl_raster.h"

namespace drv::decode {
namespace {

constexpr std::size_t kMaxValueChars = 32;

bool readValue(ByteCursor &in, double &value) {
    value = 0;
    bool negative = false;
    if (in.peek() == '+' || in.peek() == '-') {
        negative = in.next() == '-';
    }
    double scale = 0;
    std::size_t chars = 0;
    for (; chars < kMaxValueChars; ++chars) {
        const int c = in.peek();
        if (c >= '0' && c <= '9') {
            in.next();
            if (scale == 0) {
                value = value * 10 + (c - '0');
            } else {
                value += (c - '0') * scale;
                scale /= 10;
            }
        } else if (c == '.' && scale == 0) {
            in.next();
            scale = 0.1;
        } else {
            break;
        }
    }
    if (negative) {
        value = -value;
    }
    return chars < kMaxValueChars && std::isfinite(value);
}

} // namespace

bool readEscape(ByteCursor &in, PclEscape &escape, bool continued) {
    if (!continued) {
        escape = PclEscape{};
        const int kind = in.peek();
        if (kind < 0) {
            return false;
        }
        if (kind >= '0' && kind <= '~') {
            in.next();
            escape.kind = kind;
            escape.twoByte = true;
            return true;
        }
        if (kind < '!' || kind > '/') {
            return false;
        }
        in.next();
        escape.kind = kind;
        const int group = in.peek();
        if (group >= '`' && group <= '~') {
            in.next();
            escape.group = group;
        }
    }
    if (!readValue(in, escape.value)) {
        return false;
    }
    const int letter = in.peek();
    if (letter >= '`' && letter <= '~') {
        in.next();
        escape.letter = std::toupper(letter);
        escape.more = true;
        return true;
    }
    if (letter >= '@' && letter <= '^') {
        in.next();
        escape.letter = letter;
        escape.more = false;
        return true;
    }
    return false;
}

std::vector<Rgb> defaultImagePalette(int bitsPerIndex) {
    if (bitsPerIndex <= 1) {
        return {{255, 255, 255}, {0, 0, 0}};
    }
    static constexpr Rgb kCorners[8] = {{0, 0, 0},     {255, 0, 0},   {0, 255, 0},
                                        {255, 255, 0}, {0, 0, 255},   {255, 0, 255},
                                        {0, 255, 255}, {255, 255, 255}};
    const std::size_t size = std::size_t{1} << (bitsPerIndex > 8 ? 8 : bitsPerIndex);
    std::vector<Rgb> palette(size);
    for (std::size_t i = 0; i < size && i < 8; ++i) {
        palette[i] = kCorners[i];
    }
    return palette;
}

} // namespace drv::decode
