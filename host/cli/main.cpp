// drvhost: the reference host of the plotter and digitizer drivers.
#include <csignal>

#include <CLI/CLI.hpp>

#include "host/cli/calibrate_command.h"
#include "host/cli/convert_command.h"
#include "host/cli/decode_command.h"
#include "host/cli/demo_command.h"
#include "host/cli/digitize_command.h"
#include "host/cli/list_command.h"
#include "host/cli/plot_command.h"
#include "host/cli/preview_command.h"
#include "host/cli/tablet_command.h"

int main(int argc, char **argv) {
    using namespace drv::host;

    // A closed socket or pipe is reported by write() instead.
    std::signal(SIGPIPE, SIG_IGN);

    CLI::App app{"drvhost: run plot jobs through plotter drivers and read digitizer tablets"};
    app.require_subcommand(1);
    PlotCommand plot(app);
    ConvertCommand convert(app);
    TabletCommand tablet(app);
    CalibrateCommand calibrate(app);
    DigitizeCommand digitize(app);
    DemoCommand demo(app);
    ListCommand list(app);
    DecodeCommand decode(app);
    PreviewCommand preview(app);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError &e) {
        return app.exit(e) == 0 ? 0 : 2;
    }

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
    if (decode.chosen()) {
        return decode.run();
    }
    if (preview.chosen()) {
        return preview.run();
    }
    return 2;
}
