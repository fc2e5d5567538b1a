#include "host/drawing/svg/paint.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "host/drawing/svg/colour_names.h"
#include "host/drawing/svg/number_scanner.h"
#include "host/drawing/model/words.h"

namespace drv::drawing::svg {
namespace {

int hexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

Colour fromRgb(std::uint32_t rgb) {
    return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
            static_cast<std::uint8_t>(rgb)};
}

std::optional<Colour> hexColour(std::string_view digits) {
    if (digits.size() != 3 && digits.size() != 6) {
        return std::nullopt;
    }
    std::uint32_t rgb = 0;
    for (const char c : digits) {
        const int d = hexDigit(c);
        if (d < 0) {
            return std::nullopt;
        }
        rgb = rgb * (digits.size() == 3 ? 256 : 16) + static_cast<std::uint32_t>(d * (digits.size() == 3 ? 17 : 1));
    }
    return fromRgb(rgb);
}

// rgb(r, g, b) / rgba(r, g, b, a), each channel a number or a percentage.
std::optional<Colour> functionalColour(std::string_view args) {
    NumberScanner scan(args);
    std::uint8_t channel[3] = {};
    for (int i = 0; i < 3; ++i) {
        scan.skipSeparator();
        double value = 0;
        if (!scan.number(value)) {
            return std::nullopt;
        }
        if (scan.peek() == '%') {
            scan.advance();
            value = value * 255 / 100;
        }
        channel[i] = static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
    }
    return Colour{channel[0], channel[1], channel[2]};
}

} // namespace

std::optional<Colour> parseColour(std::string_view text) {
    text = trimmed(text);
    if (!text.empty() && text.front() == '#') {
        return hexColour(text.substr(1));
    }
    const std::string name = lowered(text);
    for (const std::string_view prefix : {"rgb(", "rgba("}) {
        if (name.rfind(prefix, 0) == 0 && name.back() == ')') {
            return functionalColour(std::string_view(name).substr(prefix.size(),
                                                                  name.size() - prefix.size() - 1));
        }
    }
    for (const NamedColour &named : kColourNames) {
        if (named.name == name) {
            return fromRgb(named.rgb);
        }
    }
    return std::nullopt;
}

std::optional<Paint> parsePaint(std::string_view text, std::string &error) {
    text = trimmed(text);
    const std::string word = lowered(text);
    if (word == "none" || word == "transparent") {
        return Paint{Paint::Kind::None, {}};
    }
    if (word == "currentcolor") {
        return Paint{Paint::Kind::CurrentColour, {}};
    }
    if (word.rfind("url(", 0) == 0) {
        const std::size_t close = text.find(')');
        if (close == std::string_view::npos) {
            error = "unclosed url( in '" + std::string(text) + "'";
            return std::nullopt;
        }
        const std::string_view fallback = trimmed(text.substr(close + 1));
        if (lowered(fallback) == "none") {
            return Paint{Paint::Kind::None, {}};
        }
        const std::optional<Colour> colour = fallback.empty() ? Colour{} : parseColour(fallback);
        return Paint{Paint::Kind::Server, colour.value_or(Colour{})};
    }
    if (const std::optional<Colour> colour = parseColour(text)) {
        return Paint{Paint::Kind::Colour, *colour};
    }
    error = "unknown colour '" + std::string(text) + "'";
    return std::nullopt;
}

} // namespace drv::drawing::svg
