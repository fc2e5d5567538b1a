#include "host/drawing/dxf/mtext.h"

#include <cctype>

namespace drv::drawing::dxf {

std::vector<std::string> mtextLines(std::string_view text) {
    std::vector<std::string> lines(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '{' || c == '}') {
            continue; // grouping of formatting
        }
        if (c != '\\' || i + 1 == text.size()) {
            lines.back().push_back(c);
            continue;
        }
        const char code = text[++i];
        switch (code) {
        case 'P':
        case 'p':
        case 'X':
            lines.emplace_back();
            break;
        case '~':
            lines.back().push_back(' ');
            break;
        case '\\':
        case '{':
        case '}':
            lines.back().push_back(code);
            break;
        case 'S': {
            // stacked text "1/2;" or "1^2;": kept as written with a slash
            const std::size_t end = text.find(';', i);
            const std::string_view stack = text.substr(i + 1, end == std::string_view::npos ? std::string_view::npos : end - i - 1);
            for (const char s : stack) {
                lines.back().push_back(s == '^' || s == '#' ? '/' : s);
            }
            i = end == std::string_view::npos ? text.size() : end;
            break;
        }
        case 'L': case 'l': case 'O': case 'o': case 'K': case 'k':
            break; // underline, overline, strike-through switches
        default: {
            // \f...; \H...; \C...; \A...; \Q...; \T...; \W...; and the like
            const std::size_t end = text.find(';', i);
            i = end == std::string_view::npos ? text.size() : end;
            break;
        }
        }
    }
    for (std::string &line : lines) {
        line = plainText(line);
    }
    return lines;
}

std::string plainText(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) != "%%" || i + 2 >= text.size()) {
            out.push_back(text[i]);
            continue;
        }
        const char code = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 2])));
        switch (code) {
        case 'd': out += "\xC2\xB0"; break;  // degree sign
        case 'p': out += "\xC2\xB1"; break;  // plus-minus
        case 'c': out += "\xC3\x98"; break;  // diameter
        case '%': out += '%'; break;
        case 'u': case 'o': break;
        default: out += text.substr(i, 3); break;
        }
        i += 2;
    }
    return out;
}

} // namespace drv::drawing::dxf
