#include "host/decode/json_lines.h"

#include <cmath>
#include <cstdio>
#include <map>

namespace drv::decode {
namespace {

std::string quoted(const std::string &text) {
    std::string s = "\"";
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c == '"' || c == '\\') {
            s += '\\';
            s += ch;
        } else if (c < 0x20 || c >= 0x7F) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", c);
            s += escape;
        } else {
            s += ch;
        }
    }
    return s + "\"";
}

std::string point(Point p) { return "[" + formatNumber(p.x) + "," + formatNumber(p.y) + "]"; }

std::string points(const std::vector<Point> &list) {
    std::string s = "[";
    for (std::size_t i = 0; i < list.size(); ++i) {
        s += (i ? "," : "") + point(list[i]);
    }
    return s + "]";
}

std::string color(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
    return quoted(text);
}

std::string ink(const char *type, const Ink &i) {
    return std::string("{\"type\":\"") + type + "\",\"pen\":" + std::to_string(i.pen) +
           ",\"width_mm\":" + formatNumber(i.widthMm) + ",\"color\":" + color(i.color);
}

std::string chord(double degrees) {
    return degrees < 0 ? "" : ",\"chord_deg\":" + formatNumber(degrees);
}

std::string problems(const std::vector<Problem> &list) {
    std::string s = "[";
    for (std::size_t i = 0; i < list.size(); ++i) {
        const Problem &p = list[i];
        s += (i ? "," : "") + std::string("{\"offset\":") + std::to_string(p.offset);
        if (p.record > 0) {
            s += ",\"record\":" + std::to_string(p.record);
        }
        s += ",\"message\":" + quoted(p.message) + "}";
    }
    return s + "]";
}

struct LineWriter {
    const std::vector<std::string> &imageFiles;
    std::size_t images = 0;

    std::string operator()(const Stroke &e) const {
        return ink("stroke", e.ink) + ",\"points\":" + points(e.points) + "}";
    }
    std::string operator()(const Circle &e) const {
        return ink("circle", e.ink) + ",\"center\":" + point(e.center) +
               ",\"radius\":" + formatNumber(e.radius) + chord(e.chordDeg) + "}";
    }
    std::string operator()(const Arc &e) const {
        return ink("arc", e.ink) + ",\"center\":" + point(e.center) + ",\"start\":" + point(e.start) +
               ",\"end\":" + point(e.end) + ",\"sweep_deg\":" + formatNumber(e.sweepDeg) +
               chord(e.chordDeg) + "}";
    }
    std::string operator()(const Polygon &e) const {
        std::string rings = "[";
        for (std::size_t i = 0; i < e.rings.size(); ++i) {
            rings += (i ? "," : "") + points(e.rings[i]);
        }
        return ink("polygon", e.ink) + ",\"fill\":{\"type\":" + std::to_string(e.fill.type) +
               ",\"level\":" + formatNumber(e.fill.level) + "},\"rings\":" + rings + "]}";
    }
    std::string operator()(const Label &e) const {
        std::string s = ink("label", e.ink) + ",\"at\":" + point(e.at) + ",\"text\":" + quoted(e.text) +
                        ",\"size_mm\":[" + formatNumber(e.sizeMm[0]) + "," +
                        formatNumber(e.sizeMm[1]) + "],\"direction\":" + point(e.direction) +
                        ",\"slant\":" + formatNumber(e.slant);
        if (e.symbolSet >= 0) {
            s += ",\"symbol_set\":" + std::to_string(e.symbolSet);
        }
        if (e.typeface >= 0) {
            s += ",\"typeface\":" + std::to_string(e.typeface);
        }
        return s + "}";
    }
    std::string operator()(const Image &e) {
        const Point cell{std::fabs(e.pixelStep.x) + std::fabs(e.rowStep.x),
                         std::fabs(e.pixelStep.y) + std::fabs(e.rowStep.y)};
        std::string s = "{\"type\":\"image\",\"at\":" + point(e.at) +
                        ",\"columns\":" + std::to_string(e.columns) +
                        ",\"rows\":" + std::to_string(e.rows) + ",\"cell\":" + point(cell) +
                        ",\"pixel_step\":" + point(e.pixelStep) + ",\"row_step\":" + point(e.rowStep);
        if (images < imageFiles.size() && !imageFiles[images].empty()) {
            s += ",\"file\":" + quoted(imageFiles[images]);
        }
        ++images;
        return s + "}";
    }
    std::string operator()(const Page &e) const {
        if (e.event == Page::Event::Feed) {
            return "{\"type\":\"page\",\"event\":\"feed\",\"copies\":" + std::to_string(e.copies) + "}";
        }
        return "{\"type\":\"page\",\"event\":\"setup\",\"size\":" + point({e.width, e.height}) +
               ",\"rotation\":" + std::to_string(e.rotation) + "}";
    }
};

} // namespace

std::string formatNumber(double value) {
    if (!std::isfinite(value)) {
        return "null";
    }
    const double rounded = std::round(value);
    if (std::fabs(value - rounded) < 5e-7 && std::fabs(rounded) < 9e15) {
        char text[32];
        std::snprintf(text, sizeof text, "%.0f", rounded == 0 ? 0.0 : rounded);
        return text;
    }
    char text[64];
    std::snprintf(text, sizeof text, "%.6f", value);
    std::string s = text;
    while (!s.empty() && s.back() == '0') {
        s.pop_back();
    }
    return s;
}

const char *elementTypeName(const Element &element) {
    static constexpr const char *kNames[] = {"stroke", "circle", "arc", "polygon",
                                             "label",  "image",  "page"};
    return kNames[element.index()];
}

void writeJsonLines(std::ostream &out, const Drawing &drawing,
                    const std::vector<std::string> &imageFiles) {
    LineWriter writer{imageFiles};
    std::map<std::string, std::size_t> counts;
    for (const Element &e : drawing.elements) {
        out << std::visit(writer, e) << '\n';
        ++counts[elementTypeName(e)];
    }
    out << "{\"type\":\"summary\",\"language\":" << quoted(drawing.language)
        << ",\"bytes\":" << drawing.bytes << ",\"counts\":{";
    bool first = true;
    for (const auto &[name, count] : counts) {
        out << (first ? "" : ",") << quoted(name) << ":" << count;
        first = false;
    }
    out << "},\"problems\":" << problems(drawing.problems) << ",\"notes\":" << problems(drawing.notes)
        << "}\n";
}

} // namespace drv::decode
