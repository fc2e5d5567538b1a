#include "host/cli/calibrate_command.h"

#include <unistd.h>

#include <charconv>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <sstream>

#include "host/calibration/affine_fit.h"
#include "host/tablet/button_presses.h"
#include "host/tablet/tablet_reader.h"
#include "host/tablet/tablet_stream.h"

namespace drv::host {
namespace {

bool parseNumber(std::string_view text, double &value) {
    const char *end = text.data() + text.size();
    const auto [at, error] = std::from_chars(text.data(), end, value);
    return error == std::errc() && at == end && std::isfinite(value);
}

std::string mm(PlanePoint p) {
    char text[64];
    std::snprintf(text, sizeof text, "(%g, %g mm)", p.x, p.y);
    return text;
}

std::string pointName(std::size_t index, std::size_t count, PlanePoint p) {
    return "point " + std::to_string(index + 1) + " of " + std::to_string(count) + " " + mm(p);
}

} // namespace

bool parseDrawingPoints(const std::string &text, std::vector<PlanePoint> &points,
                        std::string &error) {
    points.clear();
    std::istringstream words(text);
    std::string word;
    while (words >> word) {
        const std::size_t comma = word.find(',');
        PlanePoint p;
        if (comma == std::string::npos ||
            !parseNumber(std::string_view(word).substr(0, comma), p.x) ||
            !parseNumber(std::string_view(word).substr(comma + 1), p.y)) {
            error = "--points: point " + std::to_string(points.size() + 1) + " '" + word +
                    "' is not X,Y in mm";
            return false;
        }
        points.push_back(p);
    }
    if (points.size() < kMinReferencePoints) {
        error = "--points names " + std::to_string(points.size()) +
                " points; a calibration needs at least 3";
        return false;
    }
    if (onOneLine(points)) {
        error = "--points: the points lie on one line; a calibration needs points that span "
                "the drawing in both directions";
        return false;
    }
    return true;
}

CalibrateCommand::CalibrateCommand(CLI::App &app)
    : Subcommand(app, "calibrate",
                 "fit a tablet's counts to mm on a drawing from presses on known points"),
      tablet_(*command_) {
    command_->add_option("--points", points_, "the reference points in mm: \"X,Y X,Y X,Y ...\"")
        ->required();
    command_->add_option("-o,--output", output_, "the calibration file to write")->required();
    command_->add_option("--max-error", maxError_, "largest residual in mm taken as good")
        ->check(CLI::PositiveNumber)
        ->capture_default_str();
}

int CalibrateCommand::run() {
    std::vector<PlanePoint> drawing;
    std::string error;
    if (!tablet_.finish()) {
        return 2;
    }
    if (!parseDrawingPoints(points_, drawing, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 2;
    }
    int status = 0;
    const std::unique_ptr<TabletSource> source = openTablet(tablet_.source(), status);
    if (!source) {
        return status;
    }
    const std::unique_ptr<ByteSink> sink = openOutput(output_);
    if (!sink) {
        return 1;
    }

    const bool prompt = ::isatty(STDERR_FILENO) == 1;
    const auto ask = [&](std::size_t next) {
        if (prompt && next < drawing.size()) {
            std::cerr << "drvhost: press a button on "
                      << pointName(next, drawing.size(), drawing[next]) << std::endl;
        }
    };
    std::vector<ReferencePair> pairs;
    PressDetector presses;
    std::optional<TabletStream> stream;
    stream.emplace(source->decoder(), source->framing(), [&](const DigitizerRequest &r) {
        if (!presses.press(r.button) || pairs.size() == drawing.size()) {
            return;
        }
        const PlanePoint tablet{static_cast<double>(r.x), static_cast<double>(r.y)};
        pairs.push_back({drawing[pairs.size()], tablet});
        std::cerr << "drvhost: "
                  << pointName(pairs.size() - 1, drawing.size(), pairs.back().drawing)
                  << " pressed at tablet (" << r.x << ", " << r.y << ")" << std::endl;
        if (pairs.size() == drawing.size()) {
            stream->stop(); // every point has its press
        }
        ask(pairs.size());
    });
    stopReadingOnSignals();
    ask(0);
    const TabletReadEnd end = readTablet(source->fd(), *stream);
    stream->finish();
    if (end.why == TabletReadEnd::Why::Failed) {
        std::cerr << "drvhost: " << source->inputName() << ": " << end.error << '\n';
        return 1;
    }
    if (pairs.size() < drawing.size() && pairs.size() >= kMinReferencePoints) {
        std::cerr << "drvhost: only " << pairs.size() << " of the " << drawing.size()
                  << " points were pressed; the fit uses those\n";
    }
    const std::optional<AffineFit> fit = fitAffine(pairs, error);
    if (!fit) {
        std::cerr << "drvhost: " << error << '\n';
        return 1;
    }

    Calibration calibration;
    calibration.model = source->model();
    calibration.format = source->format();
    calibration.transform = fit->transform;
    calibration.worst = fit->worst;
    calibration.maxError = maxError_;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        calibration.points.push_back({pairs[i].drawing, pairs[i].tablet, fit->residuals[i]});
    }
    char line[160];
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        const double residual = fit->residuals[i];
        std::snprintf(line, sizeof line, "%s: residual %.3f mm%s",
                      pointName(i, pairs.size(), pairs[i].drawing).c_str(), residual,
                      residual > maxError_
                          ? ", more than --max-error: press it again or check the drawing"
                          : "");
        std::cerr << "drvhost: " << (residual > maxError_ ? "warning: " : "") << line << '\n';
    }
    if (!finishOutput(*sink, calibrationText(calibration))) {
        return 1;
    }
    std::snprintf(
        line, sizeof line,
        "%s format %d calibrated from %zu points: worst residual %.3f mm (--max-error %g)%s",
        calibration.model.c_str(), calibration.format, pairs.size(), fit->worst, maxError_,
        pairs.size() == kMinReferencePoints
            ? "; three points fit exactly, a fourth would show the error"
            : "");
    std::cerr << "drvhost: " << line << '\n';
    return 0;
}

} // namespace drv::host
