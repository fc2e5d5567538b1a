#include "host/cups/filter/tool_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>

namespace drv::cups {
namespace {

namespace fs = std::filesystem;

bool isWarning(const std::string &line) {
    return line.find("warning") != std::string::npos;
}

// Whether the reader of standard output (the backend) is gone: then its
// own message says why, and drvhost's "Broken pipe" must not replace it as
// the job's reason.
bool outputAbandoned() {
    pollfd out{STDOUT_FILENO, 0, 0};
    return ::poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0;
}

} // namespace

std::string findDrvhost() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (ec) {
        return {};
    }
    const fs::path candidate = self.parent_path() / ".." / ".." / ".." / "bin" / "drvhost";
    return ::access(candidate.c_str(), X_OK) == 0 ? candidate.lexically_normal().string()
                                                 : std::string();
}

int runTool(const std::string &program, const std::vector<std::string> &args,
            StatusLines &status, const volatile std::sig_atomic_t &terminate, std::string *output) {
    int err[2];
    int out[2] = {-1, -1};
    if (::pipe2(err, O_CLOEXEC) != 0 || (output != nullptr && ::pipe2(out, O_CLOEXEC) != 0)) {
        status.error("drvsuite-plot: cannot make a pipe");
        return 1;
    }
    const pid_t pid = ::fork();
    if (pid < 0) {
        status.error("drvsuite-plot: cannot start " + program);
        return 1;
    }
    if (pid == 0) {
        ::dup2(err[1], STDERR_FILENO);
        if (output != nullptr) {
            ::dup2(out[1], STDOUT_FILENO);
        }
        std::vector<char *> argv{const_cast<char *>(program.c_str())};
        for (const std::string &a : args) {
            argv.push_back(const_cast<char *>(a.c_str()));
        }
        argv.push_back(nullptr);
        ::execvp(argv[0], argv.data());
        ::_exit(127);
    }
    ::close(err[1]);
    if (output != nullptr) {
        ::close(out[1]);
    }
    std::vector<std::string> lines;
    std::string pending;
    bool forwarded = false;
    // Standard error and, when collected, standard output, until both end.
    int streams[2] = {err[0], out[0]};
    while (streams[0] >= 0 || streams[1] >= 0) {
        if (terminate != 0 && !forwarded) {
            ::kill(pid, SIGTERM);
            forwarded = true;
        }
        pollfd readable[2] = {{streams[0], POLLIN, 0}, {streams[1], POLLIN, 0}};
        if (::poll(readable, 2, 100) <= 0) {
            continue;
        }
        for (int i = 0; i < 2; ++i) {
            if (streams[i] < 0 || readable[i].revents == 0) {
                continue;
            }
            char buffer[4096];
            const ssize_t n = ::read(streams[i], buffer, sizeof buffer);
            if (n < 0 && errno == EINTR) {
                continue;
            }
            if (n <= 0) {
                ::close(streams[i]);
                streams[i] = -1;
                continue;
            }
            (i == 0 ? pending : *output).append(buffer, static_cast<std::size_t>(n));
        }
        for (std::size_t end; (end = pending.find('\n')) != std::string::npos;) {
            lines.push_back(pending.substr(0, end));
            pending.erase(0, end + 1);
            isWarning(lines.back()) ? status.warning(lines.back()) : status.debug(lines.back());
        }
    }
    if (!pending.empty()) {
        lines.push_back(pending);
    }
    int raw = 0;
    while (::waitpid(pid, &raw, 0) < 0 && errno == EINTR) {
    }
    const int result = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    if (result == 127) {
        status.error("drvsuite-plot: cannot run " + program);
    } else if (result != 0 && outputAbandoned()) {
        status.debug("the backend stopped taking the job's bytes");
    } else if (result != 0 && !forwarded) {
        for (const std::string &line : lines) {
            if (!isWarning(line)) {
                status.error(line);
            }
        }
    }
    return result;
}

} // namespace drv::cups
