#include "host/io/byte_sink.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "host/io/tcp_stream.h"
#include "host/io/write_all.h"

namespace drv::host {
namespace {

std::string systemError(const std::string &what) {
    return what + ": " + std::strerror(errno);
}

// Standard output: written as it comes, blocking; the descriptor is shared
// with whoever started the program, so it keeps its modes. A signal that
// interrupts a write lets the watch give up on a reader that never reads.
class StdoutSink final : public ByteSink {
public:
    bool write(const std::uint8_t *data, std::size_t size, std::string &error) override {
        while (size > 0) {
            const ssize_t n = ::write(STDOUT_FILENO, data, size);
            if (n > 0) {
                data += n;
                size -= static_cast<std::size_t>(n);
                written_ += static_cast<std::uint64_t>(n);
            } else if (n == 0 || errno != EINTR) {
                error = systemError("standard output");
                return false;
            }
            // A signal cuts a blocked write short, with or without bytes.
            if (size > 0 && watch_ != nullptr && watch_->abandoned()) {
                error = "standard output: given up";
                return false;
            }
        }
        return true;
    }
    bool commit(std::string &) override { return true; }
    bool keepsWhatItGets() const override { return true; }
    void watch(const LinkWatch &watch) override { watch_ = watch.watch; }
    std::uint64_t taken() const override { return written_; }

private:
    std::uint64_t written_ = 0;
    DeliveryWatch *watch_ = nullptr;
};

// A device node, a serial line, a FIFO or a socket, opened by the sink.
class LinkSink final : public ByteSink {
public:
    LinkSink(int fd, LinkKind kind, std::string name)
        : fd_(fd), writer_(fd, kind), name_(std::move(name)) {}
    ~LinkSink() override { ::close(fd_); }

    bool write(const std::uint8_t *data, std::size_t size, std::string &error) override {
        if (!writer_.write(data, size, error)) {
            error = name_ + ": " + error;
            return false;
        }
        return true;
    }

    bool commit(std::string &error) override {
        if (!writer_.drain(error)) {
            error = name_ + ": " + error;
            return false;
        }
        return true;
    }

    bool keepsWhatItGets() const override { return true; }
    void watch(const LinkWatch &watch) override { writer_.watch(watch); }
    std::uint64_t taken() const override { return writer_.counts().taken; }

private:
    int fd_;
    LinkWriter writer_;
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
        written_ += size;
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

    std::uint64_t taken() const override { return written_; }

private:
    int fd_;
    std::string temporary_;
    std::string path_;
    std::uint64_t written_ = 0;
    bool committed_ = false;
};

std::unique_ptr<ByteSink> openFile(const std::string &path, std::string &error) {
    std::error_code ignored;
    if (std::filesystem::is_directory(path, ignored)) {
        error = path + ": is a folder, not a file";
        return nullptr;
    }
    std::string temporary = path + ".partXXXXXX";
    const int fd = ::mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        // The result is made beside the target and renamed over it, so the
        // folder must take new files even where the target exists.
        const int reason = errno;
        std::filesystem::path folder = std::filesystem::path(path).parent_path();
        if (folder.empty()) {
            folder = ".";
        }
        const bool there = std::filesystem::is_directory(folder, ignored);
        error = path + ": " +
                (there ? "the folder " + folder.string() + " takes no new file (" +
                             std::strerror(reason) + ")"
                       : "the folder " + folder.string() + " does not exist");
        return nullptr;
    }
    // mkostemp makes the file private; give it the mode a new file gets.
    const mode_t mask = ::umask(0);
    ::umask(mask);
    ::fchmod(fd, 0666 & ~mask);
    return std::make_unique<FileSink>(fd, std::move(temporary), path);
}

} // namespace

bool isStreamTarget(const OutputTarget &target) {
    struct stat info {};
    return target.serial || target.target == "-" || isTcpTarget(target.target) ||
           (::stat(target.target.c_str(), &info) == 0 &&
            (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode)));
}

bool checkTargetForm(const OutputTarget &target, std::string &error) {
    TcpTarget tcp;
    return target.serial || !isTcpTarget(target.target) ||
           parseTcpTarget(target.target, tcp, error);
}

std::unique_ptr<ByteSink> openByteSink(const OutputTarget &target, std::string &error) {
    if (target.serial) {
        const int fd = openSerialLine(target.target, *target.serial, error);
        if (fd < 0) {
            return nullptr;
        }
        return std::make_unique<LinkSink>(fd, LinkKind::SerialLine, target.target);
    }
    if (target.target == "-") {
        return std::make_unique<StdoutSink>();
    }
    if (isTcpTarget(target.target)) {
        TcpTarget tcp;
        if (!parseTcpTarget(target.target, tcp, error)) {
            return nullptr;
        }
        const int fd = connectTcp(tcp, error);
        if (fd < 0) {
            return nullptr;
        }
        return std::make_unique<LinkSink>(fd, LinkKind::Socket, target.target);
    }
    struct stat info {};
    if (::stat(target.target.c_str(), &info) == 0 &&
        (S_ISCHR(info.st_mode) || S_ISFIFO(info.st_mode))) {
        const int fd = ::open(target.target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) {
            error = systemError(target.target);
            return nullptr;
        }
        const LinkKind kind = S_ISFIFO(info.st_mode) ? LinkKind::Pipe
                              : ::isatty(fd) == 1   ? LinkKind::SerialLine
                                                    : LinkKind::Device;
        return std::make_unique<LinkSink>(fd, kind, target.target);
    }
    return openFile(target.target, error);
}

} // namespace drv::host
