#include "host/cli/drawing_options.h"

#include <charconv>

#include "host/loader/driver_search.h"

namespace drv::host {
namespace {

bool number(std::string_view text, double &value) {
    const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return !text.empty() && ec == std::errc() && ptr == text.data() + text.size();
}

} // namespace

void addDrawingOptions(CLI::App &command, DrawingWords &words) {
    const char *group = "Drawings (SVG, DXF)";
    command.add_option("--input-format", words.inputFormat, "script, svg or dxf (default: by name and content)")
        ->group(group);
    const std::size_t before = command.get_options().size();
    command.add_option("--page", words.page, "sheet: A4, A3, A2, A1, A0, letter, legal, tabloid, WxH (mm) or WxHin")
        ->group(group);
    command.add_flag("--landscape", words.landscape, "the sheet's long side across")->group(group);
    command.add_flag("--portrait", words.portrait, "the sheet's long side up")->group(group);
    command.add_flag("--fit", words.fit, "scale the drawing into the sheet less the margin, centred")->group(group);
    command.add_option("--margin", words.margin, "margin for --fit, mm")->capture_default_str()->group(group);
    command.add_option("--scale", words.scale, "scale factor")->capture_default_str()->group(group);
    command.add_option("--rotate", words.rotate, "0, 90, 180 or 270 degrees counter-clockwise")
        ->capture_default_str()
        ->group(group);
    command.add_option("--offset", words.offset, "X,Y in mm, applied last")->group(group);
    command.add_flag("--clip", words.clip, "cut the drawing at the sheet's edge")->group(group);
    command.add_option("--tolerance", words.tolerance, "largest distance of a chord from its curve, mm")
        ->capture_default_str()
        ->group(group);
    command.add_flag("--fill", words.fill, "fill closed filled shapes where the plotter fills polygons")->group(group);
    command.add_option("--pens", words.pens, "pens the plotter holds")->capture_default_str()->group(group);
    command.add_option("--pen-map", words.penMap, "colours and layers to pens: '#ff0000=2,layer:Cut=3'")
        ->group(group);
    command.add_flag("--merge-pens", words.mergePens, "share pens when the drawing needs more than --pens")
        ->group(group);
    command.add_flag("--keep-order", words.keepOrder, "plot in the drawing's order, unplanned")->group(group);
    command.add_option("--speed", words.speed, "pen speed, cm/s (also sent to the plotter)")
        ->capture_default_str()
        ->group(group);
    command.add_option("--pe-base", words.peBase,
                       "quillane's encoded coordinates: 32 (default, 7-bit lines) or 64 (8-bit)")
        ->group(group);
    const std::vector<CLI::Option *> all = command.get_options();
    words.shaping.assign(all.begin() + static_cast<std::ptrdiff_t>(before), all.end());
}

std::string givenShapingOptions(const DrawingWords &words) {
    std::string given;
    for (const CLI::Option *option : words.shaping) {
        if (option->count() > 0) {
            given += (given.empty() ? "" : ", ") + option->get_name();
        }
    }
    return given;
}

bool finishDrawingOptions(const DrawingWords &words, const std::string &driver, drawing::ImportOptions &options,
                          std::optional<drawing::InputFormat> &format, std::string &error) {
    using namespace drawing;
    options.driver = driverStem(driver);
    if (!words.inputFormat.empty()) {
        format = parseInputFormat(words.inputFormat);
        if (!format) {
            error = "--input-format takes script, svg or dxf";
            return false;
        }
    }
    if (!words.page.empty()) {
        options.placement.page = parsePageSize(words.page, error);
        if (!options.placement.page) {
            return false;
        }
    }
    if (words.landscape && words.portrait) {
        error = "--landscape and --portrait do not go together";
        return false;
    }
    if (words.fit && words.scale != 1) {
        error = "--fit and --scale do not go together: --fit chooses the scale";
        return false;
    }
    options.placement.orientation = words.landscape  ? Orientation::Landscape
                                    : words.portrait ? Orientation::Portrait
                                                     : Orientation::AsGiven;
    options.placement.fit = words.fit;
    options.placement.marginMm = words.margin;
    options.placement.scale = words.scale;
    options.placement.rotateDegrees = words.rotate;
    if (!words.offset.empty()) {
        const std::size_t comma = words.offset.find(',');
        if (comma == std::string::npos ||
            !number(std::string_view(words.offset).substr(0, comma), options.placement.offsetMm.x) ||
            !number(std::string_view(words.offset).substr(comma + 1), options.placement.offsetMm.y)) {
            error = "--offset takes X,Y in millimetres";
            return false;
        }
    }
    options.sheet.clip = words.clip;
    options.sheet.toleranceMm = words.tolerance;
    options.sheet.fill = words.fill;
    options.pens.pens = words.pens;
    options.pens.merge = words.mergePens;
    if (!parsePenMap(words.penMap, options.pens.map, error)) {
        return false;
    }
    options.keepOrder = words.keepOrder;
    options.speedCmPerS = words.speed;
    options.peBase = words.peBase;
    return drawing::checkImportOptions(options, error);
}

} // namespace drv::host
