#include "host/drawing/svg/style.h"

#include <pugixml.hpp>

#include <string_view>

#include "host/drawing/svg/lengths.h"
#include "host/drawing/model/words.h"

namespace drv::drawing::svg {
namespace {

// Font sizes by keyword, in CSS pixels.
double fontKeyword(std::string_view value, double inherited) {
    struct Size {
        std::string_view name;
        double px;
    };
    static constexpr Size kSizes[] = {{"xx-small", 9},  {"x-small", 10}, {"small", 13},
                                      {"medium", 16},   {"large", 18},   {"x-large", 24},
                                      {"xx-large", 32}, {"larger", 0},   {"smaller", 0}};
    for (const Size &size : kSizes) {
        if (size.name == value) {
            return size.px > 0 ? size.px : inherited * (value == "larger" ? 1.2 : 1 / 1.2);
        }
    }
    return 0;
}

class Cascader {
public:
    Cascader(ElementStyle &out, const Style &inherited, std::vector<std::string> &warnings)
        : out_(out), inherited_(inherited), warnings_(warnings) {}

    void declare(std::string_view name, std::string_view value) {
        value = trimmed(value);
        if (const std::size_t bang = value.find("!important"); bang != std::string_view::npos) {
            value = trimmed(value.substr(0, bang));
        }
        if (value == "inherit" || value.empty()) {
            return; // the inherited value stays
        }
        Style &style = out_.style;
        std::string error;
        if (name == "stroke" || name == "fill") {
            if (const std::optional<Paint> paint = parsePaint(value, error)) {
                (name == "stroke" ? style.stroke : style.fill) = *paint;
            } else {
                warn(name, error);
            }
        } else if (name == "color") {
            if (const std::optional<Colour> colour = parseColour(value)) {
                style.colour = *colour;
            } else {
                warn(name, "unknown colour '" + std::string(value) + "'");
            }
        } else if (name == "stroke-width") {
            const std::optional<Length> length = parseLength(value, error);
            if (length && !length->percent && length->value >= 0) {
                style.strokeWidth = length->value * length->mmPerUnit / kMmPerPx;
            } else {
                warn(name, length ? "'" + std::string(value) + "' is not a usable width" : error);
            }
        } else if (name == "font-size") {
            if (const double keyword = fontKeyword(value, inherited_.fontSize); keyword > 0) {
                style.fontSize = keyword;
            } else if (const std::optional<Length> length = parseLength(value, error);
                       length && length->value > 0) {
                style.fontSize = length->percent ? inherited_.fontSize * length->value / 100
                                                 : length->value * length->mmPerUnit / kMmPerPx;
            } else {
                warn(name, length ? "'" + std::string(value) + "' is not a font size" : error);
            }
        } else if (name == "text-anchor") {
            style.anchor = value == "middle" ? TextAnchor::Middle
                           : value == "end"  ? TextAnchor::End
                                             : TextAnchor::Start;
        } else if (name == "visibility") {
            style.visible = value == "visible";
        } else if (name == "display") {
            out_.displayed = value != "none";
        }
    }

    void declarations(std::string_view text) {
        while (!text.empty()) {
            const std::size_t end = text.find(';');
            const std::string_view item = text.substr(0, end);
            const std::size_t colon = item.find(':');
            if (colon != std::string_view::npos) {
                declare(trimmed(item.substr(0, colon)), item.substr(colon + 1));
            }
            if (end == std::string_view::npos) {
                break;
            }
            text.remove_prefix(end + 1);
        }
    }

private:
    void warn(std::string_view name, const std::string &error) {
        warnings_.push_back(std::string(name) + ": " + error + ", ignored");
    }

    ElementStyle &out_;
    const Style &inherited_;
    std::vector<std::string> &warnings_;
};

constexpr std::string_view kProperties[] = {"stroke",      "fill",       "color",
                                            "stroke-width", "font-size", "text-anchor",
                                            "visibility",  "display"};

} // namespace

ElementStyle cascade(const pugi::xml_node &element, const Style &inherited,
                     std::vector<std::string> &warnings) {
    ElementStyle out{inherited, true};
    Cascader cascader(out, inherited, warnings);
    for (const std::string_view property : kProperties) {
        const pugi::xml_attribute attribute = element.attribute(std::string(property).c_str());
        if (attribute) {
            cascader.declare(property, attribute.value());
        }
    }
    if (const pugi::xml_attribute style = element.attribute("style")) {
        cascader.declarations(style.value());
    }
    return out;
}

std::optional<Colour> resolve(const Paint &paint, const Style &style) {
    switch (paint.kind) {
    case Paint::Kind::None:
        return std::nullopt;
    case Paint::Kind::CurrentColour:
        return style.colour;
    default:
        return paint.colour;
    }
}

} // namespace drv::drawing::svg
