// Device URIs of the drvsuite CUPS backend.
//
//   drvsuite:/dev/ttyUSB0?baud=9600&flow=xonxoff   a plotter on a serial line
//   drvsuite:///dev/ttyUSB0                          the same, with an empty host
//   drvsuite://HOST:PORT                             a network plotter, raw TCP
//   drvsuite://HOST                                  the same, port 9100
//   drvsuite://HOST:PORT/?stall-timeout=10           options of a network plotter
//                                                    follow "/?", as CUPS parses URIs
//
// Query options (each at most once):
//   serial lines: baud=N, bits=5..8 (or data-bits), parity=none|even|odd,
//                 stop=1|2 (or stop-bits), flow=none|xonxoff|rtscts (also
//                 soft and hard, as CUPS's own serial backend spells them)
//   both:         contimeout=S     how long to keep trying to reach the
//                                  plotter before the job is retried later
//                 stall-timeout=S  how long the plotter may take no bytes
//                                  before the queue reports it
// The path, host and values may be percent-encoded.
#pragma once

#include <string>
#include <string_view>

#include "host/io/serial_line.h"

namespace drv::cups {

struct DeviceUri {
    enum class Kind { Serial, Tcp };
    Kind kind = Kind::Serial;
    std::string path;                 // Serial: the device node
    host::SerialSettings serial;      // Serial: the line's settings
    std::string host;                 // Tcp: name or address, without brackets
    std::string port = "9100";        // Tcp
    int connectTimeout = 7 * 24 * 3600; // seconds
    int stallTimeout = 30;              // seconds

    // "/dev/ttyUSB0" or "HOST:PORT", for messages.
    std::string where() const;
};

// Parses `uri`. On failure returns false with the reason in `error`, a
// sentence that names the part of the URI that is wrong.
bool parseDeviceUri(std::string_view uri, DeviceUri &out, std::string &error);

} // namespace drv::cups
