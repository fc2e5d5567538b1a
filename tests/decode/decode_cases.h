// Helpers for the table-driven decoder cases: byte strings written the way
// the device languages spell them, and the decoded drawing as JSON lines.
#pragma once

#include <cstdint>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/decode/drawing.h"
#include "host/decode/json_lines.h"

namespace drv::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes toBytes(const std::string &s) { return Bytes(s.begin(), s.end()); }

// A polyline-encoded number: sign folded into bit 0, digits least
// significant first, each + 63, the last one marked.
inline std::string peNumber(long value, bool base32) {
    unsigned long folded = value < 0 ? 2ul * static_cast<unsigned long>(-value) + 1 : 2ul * static_cast<unsigned long>(value);
    const unsigned long base = base32 ? 32 : 64;
    std::string s;
    do {
        const unsigned long digit = folded % base;
        folded /= base;
        s.push_back(static_cast<char>(digit + 63 + (folded == 0 ? (base32 ? 32 : 128) : 0)));
    } while (folded != 0);
    return s;
}

// The element lines of the drawing's JSON, without the summary.
inline std::string elementLines(const decode::Drawing &drawing) {
    std::ostringstream out;
    decode::Drawing elementsOnly;
    elementsOnly.elements = drawing.elements;
    decode::writeJsonLines(out, elementsOnly, {});
    std::string text = out.str();
    text.erase(text.rfind("{\"type\":\"summary\""));
    return text;
}

// Every problem's message, one per line, for matching.
inline std::string problemLines(const std::vector<decode::Problem> &problems) {
    std::string s;
    for (const decode::Problem &p : problems) {
        s += "@" + std::to_string(p.offset) + (p.record ? " #" + std::to_string(p.record) : "") + " " +
             p.message + "\n";
    }
    return s;
}

// Checks the problems found: none when `piece` is empty, otherwise one
// whose line holds `piece`.
inline void expectProblems(const decode::Drawing &drawing, const std::string &piece) {
    const std::string problems = problemLines(drawing.problems);
    if (piece.empty()) {
        EXPECT_EQ(problems, "");
    } else {
        EXPECT_NE(problems.find(piece), std::string::npos) << problems;
    }
}

} // namespace drv::test
