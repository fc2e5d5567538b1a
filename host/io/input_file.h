// Reading a job's input: a file, or standard input, whole and bounded.
#pragma once

#include <cstddef>
#include <string>

namespace drv::host {

// Inputs larger than this are refused rather than read into memory.
constexpr std::size_t kMaxInputBytes = std::size_t{1} << 30;

// Reads `path` ("-": standard input) into `text`. False with a message
// naming the path in `error`: a folder, a file that cannot be read, one
// larger than kMaxInputBytes.
bool readInputFile(const std::string &path, std::string &text, std::string &error);

// Whether `a` and `b` name one existing file (through links, "..", or
// different spellings alike).
bool sameFile(const std::string &a, const std::string &b);

} // namespace drv::host
