// drvhost: the reference host of the plotter and digitizer drivers.
#include <csignal>
#include <iostream>
#include <new>

#include <CLI/CLI.hpp>

#include "host/cli/calibrate_command.h"
#include "host/cli/convert_command.h"
#include "host/cli/decode_command.h"
#include "host/cli/demo_command.h"
#include "host/cli/digitize_command.h"
#include "host/cli/list_command.h"
#include "host/cli/ops_command.h"
#include "host/cli/plot_command.h"
#include "host/cli/preview_command.h"
#include "host/cli/tablet_command.h"

namespace {

using namespace drv::host;

struct Commands {
    explicit Commands(CLI::App &app)
        : plot(app), convert(app), tablet(app), calibrate(app), digitize(app), demo(app),
          list(app), ops(app), decode(app), preview(app) {}

    // Runs the command the line chose; 2 when none was.
    int run() {
        if (plot.chosen()) {
            return plot.run();
        }
        if (convert.chosen()) {
            return convert.run();
        }
        if (tablet.chosen()) {
            return tablet.run();
        }
        if (calibrate.chosen()) {
            return calibrate.run();
        }
        if (digitize.chosen()) {
            return digitize.run();
        }
        if (demo.chosen()) {
            return demo.run();
        }
        if (list.chosen()) {
            return list.run();
        }
        if (ops.chosen()) {
            return ops.run();
        }
        if (decode.chosen()) {
            return decode.run();
        }
        if (preview.chosen()) {
            return preview.run();
        }
        return 2;
    }

    PlotCommand plot;
    ConvertCommand convert;
    TabletCommand tablet;
    CalibrateCommand calibrate;
    DigitizeCommand digitize;
    DemoCommand demo;
    ListCommand list;
    OpsCommand ops;
    DecodeCommand decode;
    PreviewCommand preview;
};

} // namespace

int main(int argc, char **argv) {
    // A closed socket or pipe is reported by write() instead.
    std::signal(SIGPIPE, SIG_IGN);

    CLI::App app{"drvhost: run plot jobs through plotter drivers and read digitizer tablets"};
    app.set_version_flag("--version", "drvhost " DRV_VERSION, "print the version and exit");
    app.require_subcommand(1);
    Commands commands(app);
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        return app.exit(e) == 0 ? 0 : 2;
    }
    // A command that runs out of memory unwinds: a file it was writing is
    // thrown away on the way, never left half-written.
    try {
        return commands.run();
    } catch (const std::bad_alloc &) {
        std::cerr << "drvhost: out of memory\n";
        return 1;
    }
}
