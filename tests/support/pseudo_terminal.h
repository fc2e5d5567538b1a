// A pseudo-terminal pair for end-to-end tests: the slave is the "serial
// line" the program under test opens, the master the device at its other
// end.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <unistd.h>

#include <chrono>
#include <string>

namespace drv::test {

class PseudoTerminal {
public:
    PseudoTerminal() {
        ok_ = ::openpty(&master_, &slave_, name_, nullptr, nullptr) == 0;
        // The program must not inherit the device's end, or it never hangs up.
        ok_ = ok_ && ::fcntl(master_, F_SETFD, FD_CLOEXEC) == 0 &&
              ::fcntl(slave_, F_SETFD, FD_CLOEXEC) == 0;
    }
    ~PseudoTerminal() {
        closeMaster();
        if (slave_ >= 0) {
            ::close(slave_);
        }
    }
    PseudoTerminal(const PseudoTerminal &) = delete;
    PseudoTerminal &operator=(const PseudoTerminal &) = delete;

    bool ok() const { return ok_; }
    std::string name() const { return name_; }
    int master() const { return master_; }
    void closeMaster() {
        if (master_ >= 0) {
            ::close(master_);
            master_ = -1;
        }
    }
    // Reads from the master until `want` bytes came or `wait` is over.
    std::string readMaster(std::size_t want, std::chrono::milliseconds wait) const {
        std::string bytes;
        const auto deadline = std::chrono::steady_clock::now() + wait;
        while (bytes.size() < want && std::chrono::steady_clock::now() < deadline) {
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, 20) == 1) {
                char buffer[256];
                const ssize_t n = ::read(master_, buffer, sizeof buffer);
                if (n > 0) {
                    bytes.append(buffer, static_cast<std::size_t>(n));
                }
            }
        }
        return bytes;
    }
    // Writes every byte to the master; false when the line broke.
    bool send(const std::string &bytes) const {
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
            if (n <= 0) {
                return false;
            }
            done += static_cast<std::size_t>(n);
        }
        return true;
    }

private:
    bool ok_ = false;
    int master_ = -1;
    int slave_ = -1;
    char name_[128] = {};
};

} // namespace drv::test
