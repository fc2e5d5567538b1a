#include "host/drawing/dxf/group_reader.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <string>
#include "host/drawing/model/words.h"

namespace drv::drawing::dxf {
namespace {

constexpr int kMaxGroupCode = 1071;

struct CodeRange {
    int first;
    int last;
    ValueType type;
};

// Group code ranges that hold numbers; everything else is text (names,
// handles, hex data).
constexpr CodeRange kNumericCodes[] = {
    {10, 59, ValueType::Real},       {60, 99, ValueType::Integer},
    {110, 149, ValueType::Real},     {160, 179, ValueType::Integer},
    {210, 239, ValueType::Real},     {270, 289, ValueType::Integer},
    {370, 389, ValueType::Integer},  {400, 409, ValueType::Integer},
    {420, 429, ValueType::Integer},  {440, 459, ValueType::Integer},
    {460, 469, ValueType::Real},     {1010, 1059, ValueType::Real},
    {1060, 1071, ValueType::Integer},
};

bool isReal(std::string_view value) {
    if (!value.empty() && value.front() == '+') {
        value.remove_prefix(1);
    }
    double parsed = 0;
    const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), parsed);
    return !value.empty() && ec == std::errc() && ptr == value.data() + value.size() &&
           std::isfinite(parsed);
}

bool isInteger(std::string_view value) {
    if (!value.empty() && value.front() == '+') {
        value.remove_prefix(1);
    }
    std::int32_t parsed = 0;
    const auto [ptr, ec] = std::from_chars(value.data(), value.data() + value.size(), parsed);
    return !value.empty() && ec == std::errc() && ptr == value.data() + value.size();
}

std::string shown(std::string_view value) {
    return value.size() > 40 ? std::string(value.substr(0, 40)) + "..." : std::string(value);
}

} // namespace

ValueType valueType(int code) {
    for (const CodeRange &range : kNumericCodes) {
        if (code >= range.first && code <= range.last) {
            return range.type;
        }
    }
    return ValueType::String;
}

bool readGroups(std::string_view text, std::vector<Group> &out, SourceError &error) {
    // A binary DXF opens with a sentinel line ending "Binary DXF", CR, LF, SUB.
    if (text.substr(0, 32).find("Binary DXF\r\n\x1a") != std::string_view::npos) {
        error = {1, "binary DXF is not read: save the drawing as ASCII DXF"};
        return false;
    }
    if (text.size() >= 3 && text.substr(0, 3) == "\xEF\xBB\xBF") {
        text.remove_prefix(3); // a UTF-8 byte order mark
    }
    std::size_t pos = 0;
    int line = 0;
    const auto nextLine = [&](std::string_view &got) {
        if (pos >= text.size()) {
            return false;
        }
        const std::size_t end = text.find('\n', pos);
        const std::size_t stop = end == std::string_view::npos ? text.size() : end;
        got = text.substr(pos, stop - pos);
        pos = stop + 1;
        ++line;
        return true;
    };
    std::string_view codeText;
    while (nextLine(codeText)) {
        const int codeLine = line;
        codeText = trimmed(codeText);
        if (codeText.empty() && pos >= text.size()) {
            break; // a blank last line
        }
        int code = -1;
        const auto [ptr, ec] = std::from_chars(codeText.data(), codeText.data() + codeText.size(), code);
        if (codeText.empty() || ec != std::errc() || ptr != codeText.data() + codeText.size() ||
            code < 0 || code > kMaxGroupCode) {
            error = {codeLine, "expected a group code (0 to " + std::to_string(kMaxGroupCode) +
                                   "), found '" + shown(codeText) + "'"};
            return false;
        }
        std::string_view value;
        if (!nextLine(value)) {
            error = {codeLine, "group code " + std::to_string(code) + " has no value: the file ends"};
            return false;
        }
        value = trimmed(value);
        if (value.size() > kMaxValueLength) {
            error = {line, "the value of group " + std::to_string(code) + " is longer than " +
                               std::to_string(kMaxValueLength) + " characters"};
            return false;
        }
        if (value.find('\0') != std::string_view::npos) {
            error = {line, "the value of group " + std::to_string(code) + " holds a NUL byte"};
            return false;
        }
        const ValueType type = valueType(code);
        if ((type == ValueType::Real && !isReal(value)) ||
            (type == ValueType::Integer && !isInteger(value))) {
            error = {line, "group " + std::to_string(code) + " needs " +
                               (type == ValueType::Real ? "a number" : "a 32-bit integer") +
                               ", found '" + shown(value) + "'"};
            return false;
        }
        out.push_back({code, value, codeLine});
        if (code == 0 && value == "EOF") {
            break;
        }
    }
    return true;
}

} // namespace drv::drawing::dxf
