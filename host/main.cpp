// drvhost: the reference host of the plotter and digitizer drivers.
#include <csignal>
#include <iostream>

#include <CLI/CLI.hpp>

#include "list_command.h"
#include "plot_command.h"
#include "serial_line.h"

namespace {

using namespace drv::host;

// --baud/--data-bits/--parity/--stop-bits/--flow, shared by the commands
// that talk to a serial line.
void addSerialOptions(CLI::App &command, SerialSettings &serial, std::string &parity,
                      std::string &flow) {
    command.add_option("--baud", serial.baud, "serial line speed")->capture_default_str();
    command.add_option("--data-bits", serial.dataBits, "5, 6, 7 or 8")
        ->check(CLI::Range(5, 8))
        ->capture_default_str();
    command.add_option("--parity", parity, "none, even or odd")->capture_default_str();
    command.add_option("--stop-bits", serial.stopBits, "1 or 2")
        ->check(CLI::IsMember({1, 2}))
        ->capture_default_str();
    command.add_option("--flow", flow, "flow control: none, xonxoff or rtscts")
        ->capture_default_str();
}

bool finishSerial(SerialSettings &serial, const std::string &parity, const std::string &flow) {
    if (!parseParity(parity, serial.parity)) {
        std::cerr << "drvhost: --parity must be none, even or odd\n";
        return false;
    }
    if (!parseFlowControl(flow, serial.flow)) {
        std::cerr << "drvhost: --flow must be none, xonxoff or rtscts\n";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv) {
    // A closed socket or pipe is reported by write() instead.
    std::signal(SIGPIPE, SIG_IGN);

    CLI::App app{"drvhost: run plot jobs through plotter drivers and read digitizer tablets"};
    app.require_subcommand(1);

    PlotOptions plot;
    std::string plotParity = "none";
    std::string plotFlow = "none";
    std::string device;
    CLI::App *plotCommand = app.add_subcommand("plot", "run a plot script through a plotter driver");
    plotCommand->add_option("--driver", plot.driver, "driver name (quillane, drevant) or library path")
        ->required();
    plotCommand->add_option("script", plot.script, "plot script, or - for standard input")->required();
    CLI::Option *outputOption = plotCommand->add_option(
        "-o,--output", plot.output, "output: FILE, - (standard output), a device node or tcp:HOST:PORT");
    CLI::Option *deviceOption =
        plotCommand->add_option("--device", device, "serial line to plot on, e.g. /dev/ttyS0");
    outputOption->excludes(deviceOption);
    addSerialOptions(*plotCommand, plot.serial, plotParity, plotFlow);

    CLI::App *listCommand = app.add_subcommand("list", "list the driver libraries found");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        return app.exit(e) == 0 ? 0 : 2;
    }

    if (plotCommand->parsed()) {
        if (plot.output.empty() && device.empty()) {
            std::cerr << "drvhost: plot needs an output: -o FILE|-|tcp:HOST:PORT or --device TTY\n";
            return 2;
        }
        if (!finishSerial(plot.serial, plotParity, plotFlow)) {
            return 2;
        }
        if (!device.empty()) {
            plot.device = device;
        }
        return runPlotCommand(plot);
    }
    if (listCommand->parsed()) {
        return runListCommand();
    }
    return 2;
}
