#include "host/cli/digitize_command.h"

#include <array>
#include <cstdio>
#include <filesystem>
#include <iostream>

#include "host/cli/button_options.h"
#include "host/digitize/dxf_writer.h"
#include "host/digitize/plot_script_writer.h"
#include "host/digitize/svg_writer.h"
#include "host/tablet/tablet_reader.h"
#include "host/tablet/tablet_stream.h"
#include "host/util/ascii_text.h"

namespace drv::host {
namespace {

constexpr std::array<std::string_view, 4> kActionNames = {"add", "end", "close", "undo"};
constexpr std::array<ButtonAction, 4> kActions = {ButtonAction::Add, ButtonAction::End,
                                                  ButtonAction::Close, ButtonAction::Undo};

struct FormatName {
    std::string_view name;
    DrawingFormat format;
};
constexpr FormatName kFormats[] = {
    {"dxf", DrawingFormat::Dxf}, {"svg", DrawingFormat::Svg}, {"plt", DrawingFormat::PlotScript}};

// "at (12.500, 40.000) mm", or tablet counts.
std::string where(PlanePoint p, bool millimetres) {
    char text[96];
    if (millimetres) {
        std::snprintf(text, sizeof text, "at (%.3f, %.3f) mm", p.x, p.y);
    } else {
        std::snprintf(text, sizeof text, "at tablet (%.0f, %.0f)", p.x, p.y);
    }
    return text;
}

void showProgress(const DigitizeSession::Event &e, bool millimetres) {
    using Kind = DigitizeSession::Event::Kind;
    const std::string polyline = "polyline " + std::to_string(e.polyline);
    switch (e.kind) {
    case Kind::None:
        return;
    case Kind::Added:
        std::cerr << "drvhost: " << polyline << ", vertex " << e.vertices << ' '
                  << where(e.at, millimetres) << std::endl;
        return;
    case Kind::Ended:
    case Kind::Closed:
        std::cerr << "drvhost: " << polyline << (e.kind == Kind::Closed ? " closed" : " ended")
                  << " with " << e.vertices << " vertices" << std::endl;
        return;
    case Kind::Undone:
        std::cerr << "drvhost: " << polyline << ": vertex " << where(e.at, millimetres)
                  << " undone, " << e.vertices << " left" << std::endl;
        return;
    }
}

bool drawingBytes(const Drawing &drawing, DrawingFormat format, std::string &bytes) {
    std::string error;
    switch (format) {
    case DrawingFormat::Dxf:
        if (!dxfBytes(drawing, bytes, error)) {
            std::cerr << "drvhost: " << error << '\n';
            return false;
        }
        return true;
    case DrawingFormat::Svg:
        bytes = svgText(drawing);
        return true;
    case DrawingFormat::PlotScript:
        bytes = plotScriptText(drawing);
        return true;
    }
    return false;
}

} // namespace

std::optional<DrawingFormat> drawingFormat(const std::string &as, const std::string &output) {
    std::string name = as;
    if (name.empty()) {
        name = std::filesystem::path(output).extension().string();
        name = name.empty() ? name : name.substr(1);
    }
    for (const FormatName &f : kFormats) {
        if (equalsIgnoreCase(name, f.name)) {
            return f.format;
        }
    }
    return std::nullopt;
}

bool parseDigitizeButtons(const std::string &text, ButtonActions &actions, std::string &error) {
    std::map<std::int16_t, std::size_t> codes;
    if (!parseButtonAssignments(text, kActionNames, codes, error)) {
        return false;
    }
    actions.clear();
    for (const auto &[code, index] : codes) {
        actions[code] = kActions[index];
    }
    return true;
}

DigitizeCommand::DigitizeCommand(CLI::App &app)
    : Subcommand(app, "digitize", "trace a drawing on a tablet into DXF, SVG or a plot script"),
      tablet_(*command_) {
    command_->add_option("--calibration", calibration_,
                         "calibration file from drvhost calibrate: points in mm");
    command_->add_option("--buttons", buttons_,
                         "raw button codes for actions: add=CODE,end=CODE,close=CODE,undo=CODE");
    command_
        ->add_option("-o,--output", output_, "the drawing to write: OUT.dxf, OUT.svg, OUT.plt or -")
        ->required();
    command_->add_option("--as", as_,
                         "the output's format when its name does not say: dxf, svg or plt");
}

int DigitizeCommand::run() {
    ButtonActions actions;
    std::string error;
    if (!tablet_.finish()) {
        return 2;
    }
    if (!parseDigitizeButtons(buttons_, actions, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 2;
    }
    const std::optional<DrawingFormat> format = drawingFormat(as_, output_);
    if (!format) {
        std::cerr << "drvhost: "
                  << (as_.empty()
                          ? "-o " + output_ + ": the name does not say dxf, svg or plt; give --as"
                          : "--as must be dxf, svg or plt")
                  << '\n';
        return 2;
    }
    int status = 0;
    std::optional<Calibration> calibration;
    const std::unique_ptr<TabletSource> source =
        openTablet(tablet_.source(), calibration_, calibration, status);
    if (!source) {
        return status;
    }
    if (!calibration) {
        std::cerr << "drvhost: no --calibration: the drawing is in tablet counts, not mm\n";
    }
    const std::unique_ptr<ByteSink> sink = openOutput(output_);
    if (!sink) {
        return 1;
    }

    const bool mm = calibration.has_value();
    DigitizeSession session(actions, mm);
    TabletStream stream(source->decoder(), source->framing(), [&](const DigitizerRequest &r) {
        const PlanePoint counts{static_cast<double>(r.x), static_cast<double>(r.y)};
        showProgress(session.report(r.button, mm ? calibration->toMm(counts) : counts), mm);
    });
    stopReadingOnSignals();
    const TabletReadEnd end = readTablet(source->fd(), stream);
    stream.finish();
    if (end.why == TabletReadEnd::Why::Failed) {
        // What was digitized is still written: the line broke, not the drawing.
        std::cerr << "drvhost: " << source->inputName() << ": " << end.error << '\n';
    }
    const Drawing drawing = session.finish();
    if (session.leftOut() > 0) {
        std::cerr << "drvhost: " << session.leftOut()
                  << " polyline(s) of a single vertex left out: they draw nothing\n";
    }
    std::string bytes;
    if (!drawingBytes(drawing, *format, bytes) || !finishOutput(*sink, bytes)) {
        return 1;
    }
    std::cerr << "drvhost: " << drawing.polylines.size() << " polylines, " << drawing.vertices()
              << " vertices written to " << output_ << '\n';
    return end.why == TabletReadEnd::Why::Failed ? 1 : 0;
}

} // namespace drv::host
