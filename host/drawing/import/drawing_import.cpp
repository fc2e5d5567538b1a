#include "host/drawing/import/drawing_import.h"

#include <cmath>
#include <cstdio>

#include "host/drawing/dxf/dxf_reader.h"
#include "host/drawing/emit/job_emitter.h"
#include "host/drawing/emit/plotter_abilities.h"
#include "host/drawing/planning/planner.h"
#include "host/drawing/svg/svg_reader.h"

namespace drv::drawing {

bool checkImportOptions(const ImportOptions &options, std::string &error) {
    const auto positive = [](double v) { return v > 0 && std::isfinite(v); };
    const PlacementOptions &p = options.placement;
    if (!positive(options.speedCmPerS)) {
        error = "--speed must be above 0";
    } else if (!positive(options.sheet.toleranceMm)) {
        error = "--tolerance must be above 0";
    } else if (!positive(p.scale)) {
        error = "--scale must be above 0";
    } else if (p.rotateDegrees != 0 && p.rotateDegrees != 90 && p.rotateDegrees != 180 && p.rotateDegrees != 270) {
        error = "--rotate takes 0, 90, 180 or 270";
    } else if (!(p.marginMm >= 0) || !std::isfinite(p.marginMm)) {
        error = "--margin must be 0 or more";
    } else if (options.pens.pens < 1 || options.pens.pens > kMaxPens) {
        error = "--pens must be 1 to " + std::to_string(kMaxPens);
    } else if (!std::isfinite(p.offsetMm.x) || !std::isfinite(p.offsetMm.y)) {
        error = "--offset must be numbers";
    } else if (options.peBase != 0 && options.peBase != 32 && options.peBase != 64) {
        error = "--pe-base takes 32 or 64";
    } else if (options.peBase != 0 && !plotterAbilities(options.driver).peBaseChoice) {
        error = "--pe-base is for a driver that writes polyline-encoded numbers; " +
                (options.driver.empty() ? std::string("this one") : options.driver) + " does not";
    } else {
        return true;
    }
    return false;
}

bool importDrawing(std::string_view bytes, InputFormat format, const ImportOptions &options, ImportResult &out,
                   SourceError &error) {
    if (std::string reason; !checkImportOptions(options, reason)) {
        error = {0, reason};
        return false;
    }
    // DXF curves that cannot stay exact are cut into chords as they are
    // read, in drawing millimetres: when the placement enlarges the
    // drawing, they are read again with chords fine enough for it.
    double chordTolerance = options.sheet.toleranceMm / 4;
    Drawing drawing;
    Placement placement;
    std::string reason;
    const auto fail = [&] {
        error = {0, reason};
        return false;
    };
    for (int pass = 0; pass < 2; ++pass) {
        drawing = Drawing{};
        const bool read = format == InputFormat::Dxf ? dxf::readDxf(bytes, chordTolerance, drawing, error)
                                                     : svg::readSvg(bytes, drawing, error);
        if (!read) {
            return false;
        }
        if (!place(drawing, options.placement, placement, reason)) {
            return fail();
        }
        const double enlargement = placement.toUnits.maxStretch() / kUnitsPerMm;
        if (format != InputFormat::Dxf || chordTolerance * enlargement <= options.sheet.toleranceMm / 2) {
            break;
        }
        chordTolerance = options.sheet.toleranceMm / (4 * enlargement);
    }
    ImportResult result;
    result.warnings = drawing.warnings;
    PenOptions penOptions = options.pens;
    penOptions.fills = options.sheet.fill;
    PenAssignment pens;
    if (!assignPens(drawing, penOptions, pens, reason)) {
        return fail();
    }
    PlotItems items;
    const PlotterAbilities abilities = plotterAbilities(options.driver);
    if (!sheetItems(drawing, pens, placement, options.sheet, abilities, items, result.warnings, reason)) {
        return fail();
    }
    if (items.paths.empty() && items.fills.empty() && items.labels.empty()) {
        reason = "the drawing is empty: nothing in it lands on the sheet";
        return fail();
    }
    PlanOptions planOptions;
    planOptions.keepOrder = options.keepOrder;
    planOptions.joinTolerance = options.sheet.toleranceMm * kUnitsPerMm;
    PlanStats stats;
    const JobPlan plan = planJob(std::move(items), planOptions, stats);
    EmitOptions emitOptions;
    emitOptions.pens = options.pens.pens;
    emitOptions.speedCmPerS = options.speedCmPerS;
    emitOptions.peBase64 = options.peBase == 64;
    result.calls = emitJob(plan, pens.pens, placement, emitOptions);
    result.summary.paths = stats.paths;
    result.summary.penDownMm = stats.penDownUnits / kUnitsPerMm;
    result.summary.travelBeforeMm = stats.travelBeforeUnits / kUnitsPerMm;
    result.summary.travelAfterMm = stats.travelAfterUnits / kUnitsPerMm;
    result.summary.penChanges = stats.penChanges;
    result.summary.seconds =
        (result.summary.penDownMm + result.summary.travelAfterMm) / (options.speedCmPerS * 10);
    out = std::move(result);
    return true;
}

std::string formatImportError(std::string_view file, const SourceError &error) {
    return std::string(file) + (error.line > 0 ? ":" + std::to_string(error.line) : std::string()) + ": " +
           error.message;
}

std::string summaryLine(const ImportSummary &summary, double speedCmPerS) {
    const auto total = static_cast<long long>(std::lround(summary.seconds));
    const std::string time = total >= 3600 ? std::to_string(total / 3600) + " h " + std::to_string(total / 60 % 60) + " min"
                             : total >= 60 ? std::to_string(total / 60) + " min " + std::to_string(total % 60) + " s"
                                           : std::to_string(total) + " s";
    char text[320];
    std::snprintf(text, sizeof text,
                  "%zu path%s, pen down %.2f m, pen up %.2f m (%.2f m before planning), %zu pen change%s, "
                  "about %s at %g cm/s",
                  summary.paths, summary.paths == 1 ? "" : "s", summary.penDownMm / 1000, summary.travelAfterMm / 1000,
                  summary.travelBeforeMm / 1000, summary.penChanges, summary.penChanges == 1 ? "" : "s", time.c_str(),
                  speedCmPerS);
    return text;
}

} // namespace drv::drawing
