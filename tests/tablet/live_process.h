// A program started for an end-to-end test and watched while it runs: its
// standard output and error are read as they come, and it can be sent a
// signal, so that a test sees what a person at a terminal or a pipe
// reader sees, when they see it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace drv::test {

class LiveProcess {
public:
    // Starts `args` (args[0] the program) with standard input from `inputFd`
    // (-1: an empty input).
    explicit LiveProcess(const std::vector<std::string> &args, int inputFd = -1);
    ~LiveProcess();
    LiveProcess(const LiveProcess &) = delete;
    LiveProcess &operator=(const LiveProcess &) = delete;

    bool started() const { return pid_ > 0; }

    // Reads until standard output (or error) holds `text` or `wait` is over;
    // true when it came.
    bool waitForOut(const std::string &text, std::chrono::milliseconds wait);
    bool waitForErr(const std::string &text, std::chrono::milliseconds wait);

    void signal(int number) const;

    // Waits for the end, reading everything left; the exit status, or 128 +
    // the signal that ended it.
    int wait();

    const std::string &out() const { return out_; }
    const std::string &err() const { return err_; }

private:
    bool waitFor(const std::string &stream, const std::string &text,
                 std::chrono::milliseconds wait);
    void readSome(int timeoutMs);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
    int status_ = -1;
};

} // namespace drv::test
