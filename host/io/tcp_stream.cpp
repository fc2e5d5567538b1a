#include "host/io/tcp_stream.h"

#include <netdb.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace drv::host {

bool parseTcpTarget(std::string_view target, std::string &host, std::string &port) {
    constexpr std::string_view kPrefix = "tcp:";
    if (target.substr(0, kPrefix.size()) != kPrefix) {
        return false;
    }
    target.remove_prefix(kPrefix.size());
    const std::size_t colon = target.rfind(':');
    if (colon == std::string_view::npos || colon == 0 || colon + 1 == target.size()) {
        return false;
    }
    std::string_view name = target.substr(0, colon);
    if (name.size() > 2 && name.front() == '[' && name.back() == ']') {
        name = name.substr(1, name.size() - 2);
    }
    host = std::string(name);
    port = std::string(target.substr(colon + 1));
    return true;
}

int connectTcp(const std::string &host, const std::string &port, std::string &error) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *found = nullptr;
    const int rc = getaddrinfo(host.c_str(), port.c_str(), &hints, &found);
    if (rc != 0) {
        error = host + ":" + port + ": " + gai_strerror(rc);
        return -1;
    }
    int fd = -1;
    error = host + ":" + port + ": no address to connect to";
    for (addrinfo *addr = found; addr != nullptr; addr = addr->ai_next) {
        fd = ::socket(addr->ai_family, addr->ai_socktype | SOCK_CLOEXEC, addr->ai_protocol);
        if (fd < 0) {
            error = host + ":" + port + ": " + std::strerror(errno);
            continue;
        }
        if (::connect(fd, addr->ai_addr, addr->ai_addrlen) == 0) {
            break;
        }
        error = host + ":" + port + ": " + std::strerror(errno);
        ::close(fd);
        fd = -1;
    }
    freeaddrinfo(found);
    return fd;
}

} // namespace drv::host
