// Serial lines in raw mode.
//
// Pen plotters and tablets of this kind talk over RS-232 at a fixed speed
// and frame. Plotters have small input buffers: without handshaking, XON/XOFF
// in the byte stream or the RTS/CTS wires, they drop data. The line is put in
// raw mode so that no byte is translated or swallowed on the way.
#pragma once

#include <string>
#include <string_view>

namespace drv::host {

enum class FlowControl { None, XonXoff, RtsCts };

struct SerialSettings {
    int baud = 9600;
    int dataBits = 8;
    char parity = 'n'; // 'n', 'e' or 'o'
    int stopBits = 1;
    FlowControl flow = FlowControl::None;
};

// "none", "xonxoff" or "rtscts"; false for anything else.
bool parseFlowControl(std::string_view text, FlowControl &flow);

// "none", "even", "odd" (or their first letters); false for anything else.
bool parseParity(std::string_view text, char &parity);

// Opens `path` (O_RDWR, no controlling terminal) and sets it up as
// `settings` says, raw, blocking reads of at least one byte. Returns the
// descriptor, or -1 with the system's reason or the unsupported setting in
// `error`.
int openSerialLine(const std::string &path, const SerialSettings &settings, std::string &error);

} // namespace drv::host
