#include "host/util/escapes.h"

#include <array>

namespace drv::host {
namespace {

struct NamedEscape {
    char letter;
    char byte;
};

// The one-letter escapes, used both ways.
constexpr std::array<NamedEscape, 11> kNamedEscapes = {{
    {'e', '\x1B'},
    {'n', '\n'},
    {'r', '\r'},
    {'t', '\t'},
    {'a', '\a'},
    {'b', '\b'},
    {'f', '\f'},
    {'v', '\v'},
    {'0', '\0'},
    {'\\', '\\'},
    {'"', '"'},
}};

} // namespace

int hexDigitValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

bool decodeEscapes(std::string_view text, std::string &out, std::size_t &errorOffset,
                   std::string &error) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        errorOffset = i;
        if (i + 1 == text.size()) {
            error = "unterminated escape at the end of the text";
            return false;
        }
        const char letter = text[++i];
        if (letter == '\'') {
            out += '\'';
            continue;
        }
        if (letter == 'x') {
            const int high = i + 1 < text.size() ? hexDigitValue(text[i + 1]) : -1;
            const int low = i + 2 < text.size() ? hexDigitValue(text[i + 2]) : -1;
            if (high < 0 || low < 0) {
                error = "\\x needs two hex digits";
                return false;
            }
            out += static_cast<char>(high * 16 + low);
            i += 2;
            continue;
        }
        bool known = false;
        for (const NamedEscape &named : kNamedEscapes) {
            if (named.letter == letter) {
                out += named.byte;
                known = true;
                break;
            }
        }
        if (!known) {
            error = std::string("unknown escape \\") + letter;
            return false;
        }
    }
    return true;
}

std::string visibleEscapes(std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (const char c : bytes) {
        const auto byte = static_cast<unsigned char>(c);
        bool named = false;
        for (const NamedEscape &escape : kNamedEscapes) {
            if (escape.byte == c && (byte < 0x20 || c == '\\' || c == '"')) {
                out += '\\';
                out += escape.letter;
                named = true;
                break;
            }
        }
        if (named) {
            continue;
        }
        if (byte >= 0x20 && byte < 0x7F) {
            out += c;
        } else {
            out += "\\x";
            out += kHex[byte >> 4];
            out += kHex[byte & 0x0F];
        }
    }
    return out;
}

} // namespace drv::host
