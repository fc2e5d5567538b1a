#include "host/io/input_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace drv::host {

bool readInputFile(const std::string &path, std::string &text, std::string &error) {
    const bool standardInput = path == "-";
    const std::string name = standardInput ? "standard input" : path;
    const int fd = standardInput ? STDIN_FILENO : ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = name + ": " + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) == 0 && S_ISDIR(info.st_mode)) {
        ::close(fd);
        error = name + ": is a folder, not a file";
        return false;
    }
    text.clear();
    char buffer[65536];
    bool good = true;
    for (;;) {
        const ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) {
            break;
        }
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            error = name + ": " + std::strerror(errno);
            good = false;
            break;
        }
        if (text.size() + static_cast<std::size_t>(n) > kMaxInputBytes) {
            error = name + ": larger than " + std::to_string(kMaxInputBytes >> 20) +
                    " MiB, more than the host reads";
            good = false;
            break;
        }
        text.append(buffer, static_cast<std::size_t>(n));
    }
    if (!standardInput) {
        ::close(fd);
    }
    return good;
}

bool sameFile(const std::string &a, const std::string &b) {
    struct stat first {};
    struct stat second {};
    return ::stat(a.c_str(), &first) == 0 && ::stat(b.c_str(), &second) == 0 &&
           first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

} // namespace drv::host
