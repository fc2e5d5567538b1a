// The serial ports a plotter may hang on, for CUPS's device discovery
// (`lpinfo -v`, the "Add Printer" dialogs).
#pragma once

#include <string>
#include <vector>

namespace drv::cups {

struct SerialPort {
    std::string path;    // the node to open: the stable /dev/serial/by-id name where udev made one
    std::string kernel;  // the kernel's name, "ttyUSB0"
    std::string kind;    // "USB serial", "USB modem-class", "on-board UART"
};

// The serial ports under `devDir` (normally /dev): USB adapters (ttyUSB*),
// USB modem-class devices (ttyACM*), and on-board UARTs (ttyS*, ttyAMA*)
// that have hardware behind them (a ttyS node exists for every possible
// port, so each is asked for its UART type). Sorted by kernel name with
// numbers in numeric order.
std::vector<SerialPort> findSerialPorts(const std::string &devDir = "/dev");

// The lines a CUPS backend prints when run without arguments: one per port,
// then one for network plotters, e.g.
//   serial drvsuite:/dev/ttyUSB0 "Unknown" "Plotter on ttyUSB0 (USB serial)"
//   network drvsuite "Unknown" "Network plotter (raw TCP, drvsuite://HOST:PORT)"
std::string deviceListing(const std::vector<SerialPort> &ports);

} // namespace drv::cups
