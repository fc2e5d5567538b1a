// Raw TCP connections, the way network plotters take jobs (port 9100 and
// the like): the job's bytes on a plain socket, nothing around them.
#pragma once

#include <string>
#include <string_view>

namespace drv::host {

struct TcpTarget {
    std::string host; // a name or an address, IPv6 without its brackets
    std::string port; // 1..65535, in digits
};

// Whether `target` asks for a TCP connection: it starts with "tcp:".
bool isTcpTarget(std::string_view target);

// Splits "tcp:HOST:PORT" (HOST may be a bracketed IPv6 address). False with
// what is wrong in `error`: no host, no port, a port that is not 1..65535.
bool parseTcpTarget(std::string_view target, TcpTarget &out, std::string &error);

// Connects to the target, trying each address its host resolves to, with a
// small send buffer: a plotter reads slowly, and bytes queued in the system
// would reach it after the job was stopped. Returns the socket, or -1 with
// the reason in `error`.
int connectTcp(const TcpTarget &target, std::string &error);
int connectTcp(const std::string &host, const std::string &port, std::string &error);

} // namespace drv::host
