// Runs a program for the end-to-end tests and collects what it prints.
#pragma once

#include <string>
#include <vector>

namespace drv::test {

struct ProcessResult {
    int status = -1; // exit status, or 128 + signal
    std::string out;
    std::string err;
};

// Runs `args` (args[0] the program), feeding `input` on standard input, and
// waits for it to end.
// In a child after fork(): runs `args` in place of it (exit 127 when it
// cannot).
[[noreturn]] void execProgram(const std::vector<std::string> &args);

ProcessResult runProcess(const std::vector<std::string> &args, const std::string &input = {});

} // namespace drv::test
