#include "job_settings.h"

#include <cmath>
#include <cstdio>

namespace drv::cups {
namespace {

struct TypeName {
    std::string_view mimeType;
    InputKind kind;
    std::string_view format; // drvhost's --input-format
};

constexpr TypeName kTypes[] = {
    {"application/vnd.drvsuite-plot", InputKind::Script, "script"},
    {"image/svg+xml", InputKind::Svg, "svg"},
    {"image/vnd.dxf", InputKind::Dxf, "dxf"},
    {"application/pdf", InputKind::Pdf, "svg"}, // its pages arrive as SVG
};

// A number without exponent or trailing zeros, to `decimals` places.
std::string decimal(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string out = text;
    if (out.find('.') != std::string::npos) {
        out.erase(out.find_last_not_of('0') + 1);
        if (out.back() == '.') {
            out.pop_back();
        }
    }
    return out == "-0" ? "0" : out;
}

} // namespace

std::optional<InputKind> inputKindOf(std::string_view mimeType) {
    for (const TypeName &type : kTypes) {
        if (type.mimeType == mimeType) {
            return type.kind;
        }
    }
    return std::nullopt;
}

std::string millimetres(double value) {
    return decimal(value, 2);
}

std::vector<std::string> drvhostPlotArguments(const JobSettings &settings, InputKind kind,
                                              const std::string &input) {
    std::vector<std::string> args{"--driver", settings.driver};
    for (const TypeName &type : kTypes) {
        if (type.kind == kind) {
            args.insert(args.end(), {"--input-format", std::string(type.format)});
        }
    }
    if (kind != InputKind::Script) {
        if (settings.sheetWidthMm > 0 && settings.sheetHeightMm > 0) {
            args.insert(args.end(), {"--page", millimetres(settings.sheetWidthMm) + "x" +
                                                   millimetres(settings.sheetHeightMm)});
        }
        switch (settings.orientation) {
        case Orientation::Auto:
            break;
        case Orientation::Portrait:
            args.emplace_back("--portrait");
            break;
        case Orientation::Landscape:
            args.emplace_back("--landscape");
            break;
        case Orientation::ReverseLandscape:
            args.insert(args.end(), {"--landscape", "--rotate", "180"});
            break;
        case Orientation::ReversePortrait:
            args.insert(args.end(), {"--portrait", "--rotate", "180"});
            break;
        }
        // Fitting chooses the scale itself.
        if (settings.fit) {
            args.emplace_back("--fit");
        } else if (std::fabs(settings.scale - 1.0) > 1e-9) {
            args.insert(args.end(), {"--scale", decimal(settings.scale, 4)});
        }
        // A document from any application may use more colours than the
        // plotter has pens: the queue plots it with pens shared rather than
        // turn it away.
        args.insert(args.end(), {"--pens", std::to_string(settings.pens), "--merge-pens",
                                 "--tolerance", decimal(settings.toleranceMm, 4)});
        if (settings.keepOrder) {
            args.emplace_back("--keep-order");
        }
        if (settings.peBase != 0) {
            args.insert(args.end(), {"--pe-base", std::to_string(settings.peBase)});
        }
    }
    args.insert(args.end(), {input, "-o", "-"});
    return args;
}

} // namespace drv::cups
