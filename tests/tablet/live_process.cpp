#include "tests/tablet/live_process.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include "tests/host/run_process.h"

namespace drv::test {

LiveProcess::LiveProcess(const std::vector<std::string> &args, int inputFd) {
    int out[2];
    int err[2];
    if (::pipe2(out, O_CLOEXEC) != 0 || ::pipe2(err, O_CLOEXEC) != 0) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        const int in = inputFd >= 0 ? inputFd : ::open("/dev/null", O_RDONLY);
        ::dup2(in, STDIN_FILENO);
        ::dup2(out[1], STDOUT_FILENO);
        ::dup2(err[1], STDERR_FILENO);
        execProgram(args);
    }
    ::close(out[1]);
    ::close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
}

LiveProcess::~LiveProcess() {
    if (status_ < 0 && pid_ > 0) {
        ::kill(pid_, SIGKILL);
        wait();
    }
}

void LiveProcess::readSome(int timeoutMs) {
    pollfd fds[2] = {{outFd_, POLLIN, 0}, {errFd_, POLLIN, 0}};
    if (::poll(fds, 2, timeoutMs) <= 0) {
        return;
    }
    for (int i = 0; i < 2; ++i) {
        if (fds[i].fd < 0 || (fds[i].revents & (POLLIN | POLLHUP)) == 0) {
            continue;
        }
        char buffer[4096];
        const ssize_t n = ::read(fds[i].fd, buffer, sizeof buffer);
        int &fd = i == 0 ? outFd_ : errFd_;
        if (n <= 0) {
            ::close(fd);
            fd = -1;
        } else {
            (i == 0 ? out_ : err_).append(buffer, static_cast<std::size_t>(n));
        }
    }
}

bool LiveProcess::waitFor(const std::string &stream, const std::string &text,
                          std::chrono::milliseconds wait) {
    const auto deadline = std::chrono::steady_clock::now() + wait;
    while (stream.find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() >= deadline || (outFd_ < 0 && errFd_ < 0)) {
            return false;
        }
        readSome(20);
    }
    return true;
}

bool LiveProcess::waitForOut(const std::string &text, std::chrono::milliseconds wait) {
    return waitFor(out_, text, wait);
}

bool LiveProcess::waitForErr(const std::string &text, std::chrono::milliseconds wait) {
    return waitFor(err_, text, wait);
}

void LiveProcess::signal(int number) const {
    if (pid_ > 0) {
        ::kill(pid_, number);
    }
}

int LiveProcess::wait() {
    if (status_ >= 0 || pid_ <= 0) {
        return status_;
    }
    while (outFd_ >= 0 || errFd_ >= 0) {
        readSome(-1);
    }
    int status = 0;
    ::waitpid(pid_, &status, 0);
    status_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return status_;
}

} // namespace drv::test
