#include "host/io/write_all.h"

#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

namespace drv::host {

bool writeAll(int fd, const std::uint8_t *data, std::size_t size, bool socket) {
    while (size > 0) {
        const ssize_t n = socket ? ::send(fd, data, size, MSG_NOSIGNAL) : ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        data += n;
        size -= static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace drv::host
