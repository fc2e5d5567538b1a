#include "host/cli/serial_options.h"

#include <iostream>

namespace drv::host {

void addSerialOptions(CLI::App &command, SerialSettings &serial, SerialWords &words) {
    command.add_option("--baud", serial.baud, "serial line speed")->capture_default_str();
    command.add_option("--data-bits", serial.dataBits, "5, 6, 7 or 8")
        ->check(CLI::Range(5, 8))
        ->capture_default_str();
    command.add_option("--parity", words.parity, "none, even or odd")->capture_default_str();
    command.add_option("--stop-bits", serial.stopBits, "1 or 2")
        ->check(CLI::IsMember({1, 2}))
        ->capture_default_str();
    command.add_option("--flow", words.flow, "flow control: none, xonxoff or rtscts")
        ->capture_default_str();
}

bool finishSerial(SerialSettings &serial, const SerialWords &words) {
    if (!parseParity(words.parity, serial.parity)) {
        std::cerr << "drvhost: --parity must be none, even or odd\n";
        return false;
    }
    if (!parseFlowControl(words.flow, serial.flow)) {
        std::cerr << "drvhost: --flow must be none, xonxoff or rtscts\n";
        return false;
    }
    return true;
}

} // namespace drv::host
