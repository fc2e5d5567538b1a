// The group stream of an ASCII DXF file: pairs of lines, a group code and
// its value, each checked before any of it reaches the DXF library.
#pragma once

#include <cstddef>
#include <string_view>
#include <vector>

#include "host/drawing/model/drawing.h"

namespace drv::drawing::dxf {

struct Group {
    int code = 0;
    std::string_view value; // trimmed, inside the file's text
    int line = 0;           // of the group code
};

// The longest value line accepted (the DXF library reads lines of up to
// 1024 bytes; the format itself keeps strings to 255 characters).
constexpr std::size_t kMaxValueLength = 1000;

enum class ValueType { String, Real, Integer };

// What a group code carries, by the ranges the format assigns.
ValueType valueType(int code);

// Splits `text` into groups. Checks that every code is an integer the
// format knows, that real and integer values are numbers (finite, and
// within 32 bits for integers) and that no line is too long. False with
// the first fault.
bool readGroups(std::string_view text, std::vector<Group> &out, SourceError &error);

} // namespace drv::drawing::dxf
