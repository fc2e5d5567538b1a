// A program run in the background, fed and signalled while it runs, for
// tests of how it reacts to what happens meanwhile.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace drv::test {

class ChildProcess {
public:
    // Starts `args` (args[0] the program) with a pipe on standard input,
    // standard error collected in a file, and standard output the test's
    // or, with `pipeOut`, a pipe read through output().
    explicit ChildProcess(const std::vector<std::string> &args, bool pipeOut = false);
    ~ChildProcess();
    ChildProcess(const ChildProcess &) = delete;
    ChildProcess &operator=(const ChildProcess &) = delete;

    void write(const std::string &bytes);
    // The reading end of standard output (with `pipeOut`), else -1.
    int output() const { return output_; }
    void closeInput();
    void signal(int number);
    // Waits for the end; the exit status, or 128 + signal.
    int wait();
    // What it wrote on standard error so far.
    std::string err() const;

private:
    pid_t pid_ = -1;
    int input_ = -1;
    int output_ = -1;
    std::string errPath_;
    int status_ = -1;
};

} // namespace drv::test
