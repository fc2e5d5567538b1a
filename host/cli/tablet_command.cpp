#include "host/cli/tablet_command.h"

#include <array>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <optional>

#include "digitizers/encoder/tablet_encoder.h"
#include "host/cli/button_options.h"
#include "host/pointer/uinput_device.h"
#include "host/tablet/tablet_reader.h"
#include "host/tablet/tablet_stream.h"

namespace drv::host {
namespace {

constexpr std::array<std::string_view, 3> kPenButtonNames = {"tip", "side", "side2"};
constexpr std::array<PenButton, 3> kPenButtons = {PenButton::Tip, PenButton::Side,
                                                  PenButton::Side2};

// How each row is written.
struct RowForm {
    bool json = false;
    const Calibration *calibration = nullptr; // x_mm and y_mm beside the counts
    bool timestamps = false;
    std::chrono::steady_clock::time_point start;
};

void printHeader(const RowForm &form) {
    if (!form.json) {
        std::printf("button,x,y%s%s\n", form.calibration ? ",x_mm,y_mm" : "",
                    form.timestamps ? ",time" : "");
        std::fflush(stdout);
    }
}

// One row per report, flushed at once: whoever reads a pipe from a tablet
// that streams without pause sees each point when it is decoded.
void printPoint(const DigitizerRequest &point, const RowForm &form) {
    std::printf(form.json ? "{\"button\":%d,\"x\":%d,\"y\":%d" : "%d,%d,%d", point.button, point.x,
                point.y);
    if (form.calibration) {
        const PlanePoint mm =
            form.calibration->toMm({static_cast<double>(point.x), static_cast<double>(point.y)});
        std::printf(form.json ? ",\"x_mm\":%.3f,\"y_mm\":%.3f" : ",%.3f,%.3f", mm.x, mm.y);
    }
    if (form.timestamps) {
        const std::chrono::duration<double> since = std::chrono::steady_clock::now() - form.start;
        std::printf(form.json ? ",\"time\":%.6f" : ",%.6f", since.count());
    }
    std::printf(form.json ? "}\n" : "\n");
    std::fflush(stdout);
}

void printSummary(const TabletCounts &counts) {
    std::cerr << "drvhost: " << counts.decoded << " reports decoded, " << counts.rejected
              << " rejected (-9), " << counts.turnedAway << " turned away, " << counts.unframed
              << " unframed\n";
}

// The pointer's axes and buttons for this tablet; nothing after a message.
std::optional<PointerSetup> pointerSetup(const TabletSource &source,
                                         const std::optional<Calibration> &calibration,
                                         const std::string &buttons) {
    std::optional<PointerSetup> setup;
    if (calibration) {
        std::vector<PlanePoint> reference;
        for (const CalibrationPoint &p : calibration->points) {
            reference.push_back(p.drawing);
        }
        setup = calibratedSetup(calibration->transform, reference);
        if (!setup) {
            std::cerr << "drvhost: --uinput: the calibration's reference points span no area to "
                         "give the pointer's range\n";
            return std::nullopt;
        }
    } else if (const std::optional<TabletFormat> format =
                   tabletFormat(source.model(), source.format())) {
        setup = declaredSetup(format->maxX, format->maxY);
    } else {
        std::cerr << "drvhost: --uinput: the range of " << source.model()
                  << "'s coordinates is not known; give --calibration\n";
        return std::nullopt;
    }
    if (!buttons.empty()) {
        std::map<std::int16_t, std::size_t> codes;
        std::string error;
        if (!parseButtonAssignments(buttons, kPenButtonNames, codes, error)) {
            std::cerr << "drvhost: " << error << '\n';
            return std::nullopt;
        }
        setup->buttons.clear();
        for (const auto &[code, index] : codes) {
            setup->buttons[code] = kPenButtons[index];
        }
    }
    return setup;
}

} // namespace

TabletCommand::TabletCommand(CLI::App &app)
    : Subcommand(app, "tablet", "set up a digitizer tablet and print its points"),
      tablet_(*command_) {
    command_->add_flag("--json", json_, "JSON lines instead of CSV");
    command_->add_option("--count", count_, "stop after this many decoded reports");
    command_->add_option(
        "--calibration", calibration_,
        "calibration file from drvhost calibrate: x_mm and y_mm beside the counts");
    command_->add_flag("--timestamps", timestamps_,
                       "the time of each report, seconds since the start");
    CLI::Option *uinput =
        command_->add_flag("--uinput", uinput_, "make the tablet a desktop pointer (Linux uinput)");
    command_
        ->add_option("--buttons", buttons_,
                     "with --uinput: raw button codes for the pen: tip=CODE,side=CODE,side2=CODE")
        ->needs(uinput);
}

int TabletCommand::run() {
    if (!tablet_.finish()) {
        return 2;
    }
    int status = 0;
    std::optional<Calibration> calibration;
    const std::unique_ptr<TabletSource> source =
        openTablet(tablet_.source(), calibration_, calibration, status);
    if (!source) {
        return status;
    }

    std::unique_ptr<UinputDevice> device;
    std::optional<PointerMapper> pointer;
    if (uinput_) {
        std::optional<PointerSetup> setup = pointerSetup(*source, calibration, buttons_);
        if (!setup) {
            return 1;
        }
        std::string error;
        device = UinputDevice::create("drvhost tablet " + source->model(), *setup, error);
        if (!device) {
            std::cerr << "drvhost: --uinput: " << error << '\n';
            return 1;
        }
        std::cerr << "drvhost: input device " << device->node() << " (\"drvhost tablet "
                  << source->model() << "\"), X 0.." << setup->x.max << ", Y 0.." << setup->y.max
                  << (calibration ? " in 0.01 mm" : " in tablet counts") << '\n';
        pointer.emplace(*setup);
    }

    const RowForm form{json_, calibration ? &*calibration : nullptr, timestamps_,
                       std::chrono::steady_clock::now()};
    std::string sendError;
    std::optional<TabletStream> stream;
    stream.emplace(source->decoder(), source->framing(), [&](const DigitizerRequest &point) {
        if (!pointer) {
            printPoint(point, form);
        } else if (!device->send(pointer->report(point.button, point.x, point.y), sendError)) {
            stream->stop();
        }
    });
    if (!pointer) {
        printHeader(form);
    }
    stream->limit(count_);
    stopReadingOnSignals();
    const TabletReadEnd end = readTablet(source->fd(), *stream);
    stream->finish();
    if (pointer && sendError.empty()) {
        device->send(pointer->leave(), sendError);
    }
    printSummary(stream->counts());
    if (end.why == TabletReadEnd::Why::Failed) {
        std::cerr << "drvhost: " << source->inputName() << ": " << end.error << '\n';
        return 1;
    }
    if (!sendError.empty()) {
        std::cerr << "drvhost: --uinput: " << sendError << '\n';
        return 1;
    }
    return 0;
}

} // namespace drv::host
