#include "host/drawing/import/input_format.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace drv::drawing {
namespace {

bool endsWith(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<std::ptrdiff_t>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) == std::tolower(static_cast<unsigned char>(b));
                      });
}

} // namespace

std::optional<InputFormat> parseInputFormat(std::string_view word) {
    if (word == "script") {
        return InputFormat::Script;
    }
    if (word == "svg") {
        return InputFormat::Svg;
    }
    if (word == "dxf") {
        return InputFormat::Dxf;
    }
    return std::nullopt;
}

InputFormat detectInputFormat(std::string_view path, std::string_view head) {
    if (endsWith(path, ".svg") || endsWith(path, ".svgz")) {
        return InputFormat::Svg;
    }
    if (endsWith(path, ".dxf")) {
        return InputFormat::Dxf;
    }
    if (head.size() >= 2 && head[0] == '\x1F' && head[1] == '\x8B') {
        return InputFormat::Svg; // gzip: a compressed SVG
    }
    if (head.size() >= 3 && head.substr(0, 3) == "\xEF\xBB\xBF") {
        head.remove_prefix(3);
    }
    while (!head.empty() && std::isspace(static_cast<unsigned char>(head.front()))) {
        head.remove_prefix(1);
    }
    if (head.rfind("<?xml", 0) == 0 || head.rfind("<svg", 0) == 0) {
        return InputFormat::Svg;
    }
    return InputFormat::Script;
}

} // namespace drv::drawing
