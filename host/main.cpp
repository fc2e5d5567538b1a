// drvhost: the reference host of the plotter and digitizer drivers.
#include <csignal>
#include <iostream>

#include <CLI/CLI.hpp>

#include "host/demo_command.h"
#include "host/escapes.h"
#include "host/list_command.h"
#include "host/plot_command.h"
#include "host/script_values.h"
#include "host/serial_line.h"
#include "host/tablet_command.h"

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

// A set-up text option: C escapes decoded, at most 39 bytes.
bool decodeSetupText(const std::string &option, const std::string &raw, std::string &text) {
    std::size_t offset = 0;
    std::string error;
    if (!decodeEscapes(raw, text, offset, error)) {
        std::cerr << "drvhost: " << option << ": " << error << '\n';
        return false;
    }
    if (text.find('\0') != std::string::npos) {
        std::cerr << "drvhost: " << option << " cannot hold a NUL byte: the profile keeps it as a C string\n";
        return false;
    }
    if (text.size() > kMaxSetupText) {
        std::cerr << "drvhost: " << option << " holds " << text.size() << " bytes; a profile takes "
                  << kMaxSetupText << '\n';
        return false;
    }
    return true;
}

// --frame-byte 0x80 / 128 / '\r'.
bool decodeByteOption(const std::string &option, const std::string &raw, std::int64_t min,
                      std::optional<std::uint8_t> &value) {
    if (raw.empty()) {
        return true;
    }
    std::int32_t parsed = 0;
    ValueError error;
    if (!parseInteger(raw, min, 255, parsed, error)) {
        std::cerr << "drvhost: " << option << ": " << error.message << '\n';
        return false;
    }
    value = static_cast<std::uint8_t>(parsed);
    return true;
}

struct TabletArguments {
    TabletOptions options;
    std::string setupA;
    std::string setupB;
    std::string frameByte;
    std::string reportLength;
    std::string device;
    std::string parity = "none";
    std::string flow = "none";
    int format = 1;
    std::optional<int> auxFormat;
};

CLI::App *addTabletCommand(CLI::App &app, TabletArguments &args) {
    CLI::App *command =
        app.add_subcommand("tablet", "set up a digitizer tablet and print its points");
    command->add_option("--driver", args.options.driver, "tablet driver name or library path")
        ->required();
    command->add_option("--format", args.format, "report format of the profile: 1 or 2")
        ->check(CLI::Range(-32768, 32767))
        ->capture_default_str();
    command
        ->add_option("--aux-format", args.auxFormat,
                     "the profile's second format selector (default: --format)")
        ->check(CLI::Range(-32768, 32767));
    command->add_option("--setup-a", args.setupA, "profile set-up text A (C escapes allowed)");
    command->add_option("--setup-b", args.setupB, "profile set-up text B (C escapes allowed)");
    command->add_option("--frame-byte", args.frameByte,
                        "terminator or first-byte mark bits, overriding the driver's");
    command->add_option("--report-length", args.reportLength,
                        "report length in bytes, overriding the driver's");
    CLI::Option *input = command->add_option("--input", args.options.input,
                                             "recorded tablet bytes: FILE or - (standard input)");
    CLI::Option *device = command->add_option("--device", args.device, "serial line of the tablet");
    input->excludes(device);
    command->add_flag("--json", args.options.json, "JSON lines instead of CSV");
    command->add_option("--count", args.options.count, "stop after this many decoded reports");
    addSerialOptions(*command, args.options.serial, args.parity, args.flow);
    return command;
}

bool finishTablet(TabletArguments &args) {
    TabletOptions &options = args.options;
    options.profile.format = static_cast<std::int16_t>(args.format);
    options.profile.auxFormat = static_cast<std::int16_t>(args.auxFormat.value_or(args.format));
    if (!args.device.empty()) {
        options.device = args.device;
    }
    return decodeSetupText("--setup-a", args.setupA, options.profile.setupA) &&
           decodeSetupText("--setup-b", args.setupB, options.profile.setupB) &&
           decodeByteOption("--frame-byte", args.frameByte, 1, options.frameByte) &&
           decodeByteOption("--report-length", args.reportLength, 1, options.reportLength) &&
           finishSerial(options.serial, args.parity, args.flow);
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
    CLI::App *plotCommand =
        app.add_subcommand("plot", "run a plot script through a plotter driver");
    plotCommand
        ->add_option("--driver", plot.driver, "driver name (quillane, drevant) or library path")
        ->required();
    plotCommand->add_option("script", plot.script, "plot script, or - for standard input")
        ->required();
    CLI::Option *outputOption = plotCommand->add_option(
        "-o,--output", plot.output,
        "output: FILE, - (standard output), a device node or tcp:HOST:PORT");
    CLI::Option *deviceOption =
        plotCommand->add_option("--device", device, "serial line to plot on, e.g. /dev/ttyS0");
    outputOption->excludes(deviceOption);
    addSerialOptions(*plotCommand, plot.serial, plotParity, plotFlow);

    TabletArguments tablet;
    CLI::App *tabletCommand = addTabletCommand(app, tablet);

    DemoOptions demo;
    CLI::App *demoCommand =
        app.add_subcommand("demo", "plot the demo drawing and read every tablet model");
    demoCommand->add_option("--out", demo.outDir, "folder for the demo's files")
        ->capture_default_str();

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
    if (tabletCommand->parsed()) {
        return finishTablet(tablet) ? runTabletCommand(tablet.options) : 2;
    }
    if (demoCommand->parsed()) {
        return runDemoCommand(demo);
    }
    if (listCommand->parsed()) {
        return runListCommand();
    }
    return 2;
}
