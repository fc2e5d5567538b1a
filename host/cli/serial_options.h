// The serial-line options of the commands that talk to a serial line.
#pragma once

#include <string>

#include <CLI/CLI.hpp>

#include "host/io/serial_line.h"

namespace drv::host {

// The words the person typed for the options that CLI11 takes as text.
struct SerialWords {
    std::string parity = "none";
    std::string flow = "none";
};

// --baud, --data-bits, --parity, --stop-bits and --flow on `command`.
void addSerialOptions(CLI::App &command, SerialSettings &serial, SerialWords &words);

// Puts the parity and flow control words into `serial`; false, with a
// message on standard error, for a word that names neither.
bool finishSerial(SerialSettings &serial, const SerialWords &words);

} // namespace drv::host
