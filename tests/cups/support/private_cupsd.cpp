#include "private_cupsd.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <pwd.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace drv::test {
namespace {

namespace fs = std::filesystem;

constexpr const char *kCupsd = "/usr/sbin/cupsd";
constexpr const char *kCupsExec = "/usr/lib/cups/daemon/cups-exec";
constexpr const char *kSystemTypes = "/usr/share/cups/mime/mime.types";

int freePort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr *>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

bool accepts(int port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = ::connect(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    ::close(fd);
    return ok;
}

std::string clientPath(const std::string &program) {
    for (const char *folder : {"/usr/sbin/", "/usr/bin/"}) {
        if (::access((folder + program).c_str(), X_OK) == 0) {
            return folder + program;
        }
    }
    return program;
}

// Whether the user cupsd runs filters as (lp) can execute every program:
// a build tree under a private home folder would fail every job.
bool spoolerUserCanRun(const std::vector<std::string> &programs, std::string &who) {
    if (::geteuid() != 0) {
        return true; // cupsd runs everything as the user who started it
    }
    const passwd *lp = ::getpwnam("lp");
    if (lp == nullptr) {
        return true; // cupsd will say what it thinks of that
    }
    who = lp->pw_name;
    const pid_t pid = ::fork();
    if (pid == 0) {
        if (::setgid(lp->pw_gid) != 0 || ::setuid(lp->pw_uid) != 0) {
            ::_exit(2);
        }
        for (const std::string &program : programs) {
            // cupsd runs a program that others may not execute as root.
            struct stat info {};
            const bool asRoot = ::stat(program.c_str(), &info) == 0 && (info.st_mode & S_IXOTH) == 0;
            if (!asRoot && ::access(program.c_str(), X_OK) != 0) {
                ::_exit(1);
            }
        }
        ::_exit(0);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::string tail(const std::string &text, std::size_t lines) {
    std::size_t at = text.size();
    while (lines-- > 0 && at > 0) {
        at = text.rfind('\n', at - 1);
        if (at == std::string::npos) {
            return text;
        }
    }
    return text.substr(at);
}

} // namespace

std::string PrivateCupsd::unavailable(const std::vector<std::string> &programs) {
    if (::access(kCupsd, X_OK) != 0 || ::access(kCupsExec, X_OK) != 0) {
        return "no CUPS scheduler here (Debian package cups-daemon, installed by "
               "tools/bootstrap.sh)";
    }
    for (const char *client : {"lpadmin", "lp", "lpstat", "cancel"}) {
        if (clientPath(client) == client) {
            return std::string("no ") + client + " here (Debian package cups-client)";
        }
    }
    std::string who;
    if (!spoolerUserCanRun(programs, who)) {
        return "the user " + who + ", as whom cupsd runs filters, cannot run the build's programs "
               "(is the build tree in a folder only its owner may enter?)";
    }
    return {};
}

PrivateCupsd::PrivateCupsd(fs::path root, std::map<std::string, std::string> programs,
                           std::vector<std::string> mimeFiles)
    : root_(std::move(root)), programs_(std::move(programs)), mimeFiles_(std::move(mimeFiles)) {}

PrivateCupsd::~PrivateCupsd() {
    stop();
}

void PrivateCupsd::writeConfiguration() const {
    fs::remove_all(root_);
    for (const char *dir : {"etc", "serverbin/backend", "serverbin/filter", "serverbin/daemon",
                            "data/mime", "spool/tmp", "cache", "state", "log", "doc"}) {
        fs::create_directories(root_ / dir);
    }
    for (const auto &[name, file] : programs_) {
        fs::create_symlink(file, root_ / "serverbin" / name);
    }
    fs::create_symlink(kCupsExec, root_ / "serverbin/daemon/cups-exec");
    fs::create_symlink(kSystemTypes, root_ / "data/mime/mime.types");
    for (const std::string &file : mimeFiles_) {
        fs::create_symlink(file, root_ / "data/mime" / fs::path(file).filename());
    }
    const fs::path r = root_;
    std::ofstream(r / "etc/cups-files.conf")
        << "ServerRoot " << (r / "etc").string() << "\n"
        << "ServerBin " << (r / "serverbin").string() << "\n"
        << "DataDir " << (r / "data").string() << "\n"
        << "DocumentRoot " << (r / "doc").string() << "\n"
        << "RequestRoot " << (r / "spool").string() << "\n"
        << "TempDir " << (r / "spool/tmp").string() << "\n"
        << "CacheDir " << (r / "cache").string() << "\n"
        << "StateDir " << (r / "state").string() << "\n"
        << "ServerKeychain " << (r / "etc/ssl").string() << "\n"
        << "CreateSelfSignedCerts no\n"
        << "AccessLog " << (r / "log/access_log").string() << "\n"
        << "ErrorLog " << (r / "log/error_log").string() << "\n"
        << "PageLog " << (r / "log/page_log").string() << "\n"
        << "Printcap " << (r / "state/printcap").string() << "\n"
        << "FileDevice No\n"
        << "SystemGroup root\n";
    std::ofstream(r / "etc/cupsd.conf")
        << "LogLevel debug\n"
        << "MaxLogSize 0\n"
        << "Listen 127.0.0.1:" << port_ << "\n"
        << "Browsing No\n"
        << "BrowseLocalProtocols none\n"
        << "WebInterface No\n"
        << "DefaultAuthType None\n"
        << "PreserveJobHistory Yes\n"
        << "<Location />\n  Order allow,deny\n  Allow from 127.0.0.1\n</Location>\n"
        << "<Policy default>\n  <Limit All>\n    Order deny,allow\n  </Limit>\n</Policy>\n";
}

bool PrivateCupsd::start(std::string &error) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        port_ = freePort();
        writeConfiguration();
        const std::string out = (root_ / "log/cupsd.out").string();
        pid_ = ::fork();
        if (pid_ == 0) {
            ::prctl(PR_SET_PDEATHSIG, SIGKILL); // never outlive the test
            const int fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
            ::dup2(fd, STDOUT_FILENO);
            ::dup2(fd, STDERR_FILENO);
            const std::string conf = (root_ / "etc/cupsd.conf").string();
            const std::string files = (root_ / "etc/cups-files.conf").string();
            ::execl(kCupsd, kCupsd, "-f", "-c", conf.c_str(), "-s", files.c_str(), nullptr);
            ::_exit(127);
        }
        const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (std::chrono::steady_clock::now() < until) {
            int status = 0;
            if (::waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                break; // ended: perhaps the port was taken meanwhile
            }
            if (accepts(port_)) {
                ::setenv("CUPS_SERVER", server().c_str(), 1);
                // The clients read no configuration of the machine's own.
                ::setenv("CUPS_SERVERROOT", (root_ / "etc").c_str(), 1);
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
        stop();
    }
    std::ifstream out(root_ / "log/cupsd.out");
    std::stringstream text;
    text << out.rdbuf();
    error = "cupsd did not start: " + tail(text.str() + errorLog(), 20);
    return false;
}

void PrivateCupsd::stop() {
    if (pid_ <= 0) {
        return;
    }
    ::kill(pid_, SIGTERM);
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    int status = 0;
    while (::waitpid(pid_, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > until) {
            ::kill(pid_, SIGKILL);
            ::waitpid(pid_, &status, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    pid_ = -1;
}

ProcessResult PrivateCupsd::client(const std::string &program, const std::vector<std::string> &args,
                                   const std::string &input) const {
    std::vector<std::string> command{clientPath(program)};
    command.insert(command.end(), args.begin(), args.end());
    return runProcess(command, input);
}

std::string PrivateCupsd::errorLog() const {
    std::ifstream log(root_ / "log/error_log");
    std::stringstream text;
    text << log.rdbuf();
    return text.str();
}

} // namespace drv::test
