#include "host/io/tcp_stream.h"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstring>

namespace drv::host {
namespace {

constexpr std::string_view kPrefix = "tcp:";

// Bytes the system may hold for the plotter beyond what it acknowledged.
constexpr int kSendBuffer = 64 * 1024;

} // namespace

bool isTcpTarget(std::string_view target) {
    return target.substr(0, kPrefix.size()) == kPrefix;
}

bool parseTcpTarget(std::string_view target, TcpTarget &out, std::string &error) {
    const std::string shown(target);
    const auto fail = [&](const std::string &what) {
        error = shown + ": " + what;
        return false;
    };
    std::string_view rest = target.substr(kPrefix.size());
    std::string_view name;
    std::string_view port;
    if (!rest.empty() && rest.front() == '[') {
        const std::size_t close = rest.find(']');
        if (close == std::string_view::npos) {
            return fail("no ']' after the IPv6 address");
        }
        name = rest.substr(1, close - 1);
        rest.remove_prefix(close + 1);
        if (rest.empty()) {
            return fail("no port: write tcp:HOST:PORT");
        }
        if (rest.front() != ':') {
            return fail("expected ':' and the port after the IPv6 address");
        }
        port = rest.substr(1);
    } else {
        const std::size_t colon = rest.find(':');
        if (colon == std::string_view::npos) {
            return fail("no port: write tcp:HOST:PORT");
        }
        name = rest.substr(0, colon);
        port = rest.substr(colon + 1);
        if (port.find(':') != std::string_view::npos) {
            return fail("an IPv6 address goes in brackets: tcp:[ADDRESS]:PORT");
        }
    }
    if (name.empty()) {
        return fail("no host: write tcp:HOST:PORT");
    }
    if (port.empty()) {
        return fail("no port: write tcp:HOST:PORT");
    }
    unsigned number = 0;
    const auto [end, ec] = std::from_chars(port.data(), port.data() + port.size(), number);
    if (ec != std::errc() || end != port.data() + port.size() || number < 1 || number > 65535) {
        return fail("port '" + std::string(port) + "' is not a number from 1 to 65535");
    }
    out.host = std::string(name);
    out.port = std::to_string(number);
    return true;
}

int connectTcp(const TcpTarget &target, std::string &error) {
    return connectTcp(target.host, target.port, error);
}

int connectTcp(const std::string &host, const std::string &port, std::string &error) {
    const std::string where = host + ":" + port;
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    const int rc = getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (rc != 0) {
        error = where + ": " + gai_strerror(rc);
        return -1;
    }
    int fd = -1;
    error = where + ": no address to connect to";
    for (addrinfo *addr = found; addr != nullptr; addr = addr->ai_next) {
        fd = ::socket(addr->ai_family, addr->ai_socktype | SOCK_CLOEXEC, addr->ai_protocol);
        if (fd < 0) {
            error = where + ": " + std::strerror(errno);
            continue;
        }
        ::setsockopt(fd, SOL_SOCKET, SO_SNDBUF, &kSendBuffer, sizeof kSendBuffer);
        if (::connect(fd, addr->ai_addr, addr->ai_addrlen) == 0) {
            break;
        }
        error = where + ": " + std::strerror(errno);
        ::close(fd);
        fd = -1;
    }
    freeaddrinfo(found);
    return fd;
}

} // namespace drv::host
