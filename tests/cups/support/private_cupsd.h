// A private CUPS scheduler for the print-queue tests.
//
// Every directory it uses (configuration, spool, cache, state, logs, the
// program folder) lies in a fresh folder of the build tree, it listens on
// one free port of 127.0.0.1 and nowhere else, asks nobody for
// authorisation, and it is stopped (and killed, should the test die) with
// the test. The program folder holds the suite's backend and filters and
// the system's cups-exec; the MIME folder the system's types and the
// suite's own files.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "run_process.h"

namespace drv::test {

class PrivateCupsd {
public:
    // Why no private cupsd can run on this machine (nothing installed, a
    // build tree the spooler's user cannot read), or empty when it can.
    // `programs` are the files the spooler will run.
    static std::string unavailable(const std::vector<std::string> &programs);

    // `programs`: ServerBin-relative name ("backend/drvsuite") to file.
    // `mimeFiles`: the suite's .types/.convs files.
    PrivateCupsd(std::filesystem::path root, std::map<std::string, std::string> programs,
                 std::vector<std::string> mimeFiles);
    ~PrivateCupsd();
    PrivateCupsd(const PrivateCupsd &) = delete;
    PrivateCupsd &operator=(const PrivateCupsd &) = delete;

    // Writes the configuration and starts cupsd; returns once it accepts
    // connections. False with the reason (and the end of its log).
    bool start(std::string &error);
    void stop();

    // "127.0.0.1:PORT".
    std::string server() const { return "127.0.0.1:" + std::to_string(port_); }
    int port() const { return port_; }
    // Runs a CUPS client (lpadmin, lp, lpstat, cancel ...) against this
    // scheduler.
    ProcessResult client(const std::string &program, const std::vector<std::string> &args,
                         const std::string &input = {}) const;
    // The scheduler's log, for failure messages.
    std::string errorLog() const;
    const std::filesystem::path &root() const { return root_; }

private:
    void writeConfiguration() const;

    std::filesystem::path root_;
    std::map<std::string, std::string> programs_;
    std::vector<std::string> mimeFiles_;
    int port_ = 0;
    pid_t pid_ = -1;
};

} // namespace drv::test
