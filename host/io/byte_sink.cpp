#include "host/io/byte_sink.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "host/io/tcp_stream.h"
#include "host/io/write_all.h"

namespace drv::host {
namespace {

std::string systemError(const std::string &what) {
    return what + ": " + std::strerror(errno);
}

// Standard output, a device node, a serial line or a socket.
class StreamSink final : public ByteSink {
public:
    enum class Kind { Stdout, Device, Serial, Socket };

    StreamSink(int fd, Kind kind, std::string name)
        : fd_(fd), kind_(kind), name_(std::move(name)) {}
    ~StreamSink() override {
        if (kind_ != Kind::Stdout) {
            ::close(fd_);
        }
    }

    bool write(const std::uint8_t *data, std::size_t size, std::string &error) override {
        if (!writeAll(fd_, data, size, kind_ == Kind::Socket)) {
            error = systemError(name_);
            return false;
        }
        return true;
    }

    bool commit(std::string &error) override {
        bool good = true;
        if (kind_ == Kind::Serial) {
            good = tcdrain(fd_) == 0;
        } else if (kind_ == Kind::Socket) {
            good = ::shutdown(fd_, SHUT_WR) == 0;
        }
        if (!good) {
            error = systemError(name_);
        }
        return good;
    }

    bool isSlow() const override { return kind_ != Kind::Stdout; }

private:
    int fd_;
    Kind kind_;
    std::string name_;
};

// A regular file, written beside the target and renamed into place.
class FileSink final : public ByteSink {
public:
    FileSink(int fd, std::string temporary, std::string path)
        : fd_(fd), temporary_(std::move(temporary)), path_(std::move(path)) {}
    ~FileSink() override {
        if (fd_ >= 0) {
            ::close(fd_);
        }
        if (!committed_) {
            ::unlink(temporary_.c_str());
        }
    }

    bool write(const std::uint8_t *data, std::size_t size, std::string &error) override {
        if (!writeAll(fd_, data, size, false)) {
            error = systemError(temporary_);
            return false;
        }
        return true;
    }

    bool commit(std::string &error) override {
        const int fd = fd_;
        fd_ = -1;
        if (::close(fd) != 0) {
            error = systemError(temporary_);
            return false;
        }
        if (::rename(temporary_.c_str(), path_.c_str()) != 0) {
            error = systemError(path_);
            return false;
        }
        committed_ = true;
        return true;
    }

private:
    int fd_;
    std::string temporary_;
    std::string path_;
    bool committed_ = false;
};

std::unique_ptr<ByteSink> openFile(const std::string &path, std::string &error) {
    std::string temporary = path + ".partXXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        error = systemError(path);
        return nullptr;
    }
    // mkostemp makes the file private; give it the mode a new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return std::make_unique<FileSink>(fd, std::move(temporary), path);
}

} // namespace

std::unique_ptr<ByteSink> openByteSink(const OutputTarget &target, std::string &error) {
    if (target.serial) {
        const int fd = openSerialLine(target.target, *target.serial, error);
        if (fd < 0) {
            return nullptr;
        }
        return std::make_unique<StreamSink>(fd, StreamSink::Kind::Serial, target.target);
    }
    if (target.target == "-") {
        return std::make_unique<StreamSink>(STDOUT_FILENO, StreamSink::Kind::Stdout,
                                            "standard output");
    }
    std::string host;
    std::string port;
    if (parseTcpTarget(target.target, host, port)) {
        const int fd = connectTcp(host, port, error);
        if (fd < 0) {
            return nullptr;
        }
        return std::make_unique<StreamSink>(fd, StreamSink::Kind::Socket, target.target);
    }
    struct stat info {};
    if (::stat(target.target.c_str(), &info) == 0 &&
        (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))) {
        const int fd = ::open(target.target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            error = systemError(target.target);
            return nullptr;
        }
        return std::make_unique<StreamSink>(fd, StreamSink::Kind::Device, target.target);
    }
    return openFile(target.target, error);
}

} // namespace drv::host
