#include "host/cli/tablet_command.h"

#include <cstdio>
#include <iostream>

#include "host/tablet/tablet_reader.h"
#include "host/tablet/tablet_stream.h"

namespace drv::host {
namespace {

// One row per report, flushed at once: whoever reads a pipe from a tablet
// that streams without pause sees each point when it is decoded.
void printPoint(const DigitizerRequest &point, bool json) {
    if (json) {
        std::printf("{\"button\":%d,\"x\":%d,\"y\":%d}\n", point.button, point.x, point.y);
    } else {
        std::printf("%d,%d,%d\n", point.button, point.x, point.y);
    }
    std::fflush(stdout);
}

void printSummary(const TabletCounts &counts) {
    std::cerr << "drvhost: " << counts.decoded << " reports decoded, " << counts.rejected
              << " rejected (-9), " << counts.turnedAway << " turned away, " << counts.unframed
              << " unframed\n";
}

} // namespace

TabletCommand::TabletCommand(CLI::App &app)
    : Subcommand(app, "tablet", "set up a digitizer tablet and print its points"),
      tablet_(*command_) {
    command_->add_flag("--json", json_, "JSON lines instead of CSV");
    command_->add_option("--count", count_, "stop after this many decoded reports");
}

int TabletCommand::run() {
    if (!tablet_.finish()) {
        return 2;
    }
    int status = 0;
    const std::unique_ptr<TabletSource> source = openTablet(tablet_.source(), status);
    if (!source) {
        return status;
    }
    if (!json_) {
        std::printf("button,x,y\n");
        std::fflush(stdout);
    }
    TabletStream stream(source->decoder(), source->framing(),
                        [this](const DigitizerRequest &point) { printPoint(point, json_); });
    stream.limit(count_);
    stopReadingOnSignals();
    const TabletReadEnd end = readTablet(source->fd(), stream);
    stream.finish();
    printSummary(stream.counts());
    if (end.why == TabletReadEnd::Why::Failed) {
        std::cerr << "drvhost: " << source->inputName() << ": " << end.error << '\n';
        return 1;
    }
    return 0;
}

} // namespace drv::host
