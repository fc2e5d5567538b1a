// Whole writes to a descriptor.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drv::host {

// Writes all `size` bytes to the descriptor, retrying short and interrupted
// writes (send() without SIGPIPE when `socket`). False with errno set on a
// failure.
bool writeAll(int fd, const std::uint8_t *data, std::size_t size, bool socket = false);

} // namespace drv::host
