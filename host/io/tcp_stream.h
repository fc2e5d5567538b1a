// Raw TCP connections, the way network plotters take jobs (port 9100 and
// the like): the job's bytes on a plain socket, nothing around them.
#pragma once

#include <string>
#include <string_view>

namespace drv::host {

// Splits "tcp:HOST:PORT" (HOST may be a bracketed IPv6 address). False when
// `target` does not start with "tcp:" or has no port.
bool parseTcpTarget(std::string_view target, std::string &host, std::string &port);

// Connects to HOST:PORT, trying each address the name resolves to. Returns
// the socket, or -1 with the reason in `error`.
int connectTcp(const std::string &host, const std::string &port, std::string &error);

} // namespace drv::host
