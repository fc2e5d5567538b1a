#include "child_process.h"

#include "tests/host/run_process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace drv::test {

ChildProcess::ChildProcess(const std::vector<std::string> &args, bool pipeOut) {
    std::signal(SIGPIPE, SIG_IGN);
    char path[] = "/tmp/drvsuite_child_XXXXXX";
    const int errFd = ::mkstemp(path);
    errPath_ = path;
    int in[2];
    int out[2] = {-1, -1};
    if (::pipe2(in, O_CLOEXEC) != 0 || (pipeOut && ::pipe2(out, O_CLOEXEC) != 0)) {
        return;
    }
    pid_ = ::fork();
    if (pid_ == 0) {
        ::dup2(in[0], STDIN_FILENO);
        ::dup2(errFd, STDERR_FILENO);
        if (pipeOut) {
            ::dup2(out[1], STDOUT_FILENO);
        }
        execProgram(args);
    }
    ::close(in[0]);
    ::close(errFd);
    input_ = in[1];
    if (pipeOut) {
        ::close(out[1]);
        output_ = out[0];
    }
}

ChildProcess::~ChildProcess() {
    if (pid_ > 0 && status_ < 0) {
        ::kill(pid_, SIGKILL);
        wait();
    }
    closeInput();
    if (output_ >= 0) {
        ::close(output_);
    }
    ::unlink(errPath_.c_str());
}

void ChildProcess::write(const std::string &bytes) {
    std::size_t done = 0;
    while (input_ >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(input_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) {
            break;
        }
        done += static_cast<std::size_t>(n);
    }
}

void ChildProcess::closeInput() {
    if (input_ >= 0) {
        ::close(input_);
        input_ = -1;
    }
}

void ChildProcess::signal(int number) {
    ::kill(pid_, number);
}

int ChildProcess::wait() {
    if (status_ < 0 && pid_ > 0) {
        int raw = 0;
        ::waitpid(pid_, &raw, 0);
        status_ = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    }
    return status_;
}

std::string ChildProcess::err() const {
    std::ifstream in(errPath_);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace drv::test
