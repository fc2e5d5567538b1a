#include "host/drawing/svg/lengths.h"

#include <algorithm>
#include <cctype>

#include "host/drawing/svg/number_scanner.h"
#include "host/drawing/model/words.h"

namespace drv::drawing::svg {
namespace {

struct Unit {
    std::string_view name;
    double mmPerUnit;
};

constexpr Unit kUnits[] = {
    {"", kMmPerPx},          {"px", kMmPerPx},         {"mm", 1.0},
    {"cm", 10.0},            {"in", 25.4},             {"pt", 25.4 / 72},
    {"pc", 25.4 / 6},        {"q", 0.25},              {"em", 16 * kMmPerPx},
    {"ex", 8 * kMmPerPx},
};

} // namespace

std::optional<Length> parseLength(std::string_view text, std::string &error) {
    text = trimmed(text);
    NumberScanner scan(text);
    double value = 0;
    if (!scan.number(value)) {
        error = "'" + std::string(text) + "' is not a length";
        return std::nullopt;
    }
    const std::string unit = lowered(text.substr(scan.position()));
    if (unit == "%") {
        return Length{value, 0, true};
    }
    for (const Unit &known : kUnits) {
        if (known.name == unit) {
            return Length{value, known.mmPerUnit, false};
        }
    }
    error = "unknown unit '" + std::string(text.substr(scan.position())) + "' in '" +
            std::string(text) + "'";
    return std::nullopt;
}

std::optional<ViewBox> parseViewBox(std::string_view text, std::string &error) {
    NumberScanner scan(text);
    double v[4] = {};
    for (int i = 0; i < 4; ++i) {
        scan.skipSeparator();
        if (!scan.number(v[i])) {
            error = "viewBox needs four numbers, not '" + std::string(text) + "'";
            return std::nullopt;
        }
    }
    scan.skipSpaces();
    if (!scan.atEnd()) {
        error = "viewBox needs four numbers, not '" + std::string(text) + "'";
        return std::nullopt;
    }
    if (!(v[2] > 0) || !(v[3] > 0)) {
        error = "viewBox width and height must be above 0";
        return std::nullopt;
    }
    return ViewBox{v[0], v[1], v[2], v[3]};
}

std::optional<AspectRatio> parseAspectRatio(std::string_view text, std::string &error) {
    std::string words = lowered(trimmed(text));
    AspectRatio ratio;
    if (words.rfind("defer", 0) == 0) {
        words = std::string(trimmed(std::string_view(words).substr(5)));
    }
    const std::size_t space = words.find_first_of(" \t");
    const std::string align = words.substr(0, space);
    const std::string rest =
        space == std::string::npos ? std::string() : std::string(trimmed(std::string_view(words).substr(space)));
    static constexpr std::string_view kAxis[] = {"min", "mid", "max"};
    if (align == "none") {
        ratio.none = true;
    } else if (align.size() == 8 && align[0] == 'x' && align[4] == 'y') {
        const auto axis = [&](std::string_view part, double &out) {
            for (int i = 0; i < 3; ++i) {
                if (part == kAxis[i]) {
                    out = i * 0.5;
                    return true;
                }
            }
            return false;
        };
        if (!axis(std::string_view(align).substr(1, 3), ratio.alignX) ||
            !axis(std::string_view(align).substr(5, 3), ratio.alignY)) {
            error = "unknown preserveAspectRatio '" + std::string(text) + "'";
            return std::nullopt;
        }
    } else if (!align.empty()) {
        error = "unknown preserveAspectRatio '" + std::string(text) + "'";
        return std::nullopt;
    }
    if (rest == "slice") {
        ratio.slice = true;
    } else if (!rest.empty() && rest != "meet") {
        error = "unknown preserveAspectRatio '" + std::string(text) + "'";
        return std::nullopt;
    }
    return ratio;
}

Affine viewBoxMap(const ViewBox &box, double width, double height, const AspectRatio &ratio) {
    double sx = width / box.width;
    double sy = height / box.height;
    double tx = -box.x * sx;
    double ty = -box.y * sy;
    if (!ratio.none) {
        const double s = ratio.slice ? std::max(sx, sy) : std::min(sx, sy);
        sx = sy = s;
        tx = -box.x * s + (width - box.width * s) * ratio.alignX;
        ty = -box.y * s + (height - box.height * s) * ratio.alignY;
    }
    return {sx, 0, 0, sy, tx, ty};
}

} // namespace drv::drawing::svg
