// <text> and <tspan> as labels: one label per run of text that starts at a
// position of its own, with white space collapsed as SVG does by default.
#include <cmath>

#include "host/drawing/svg/svg_walk.h"

namespace drv::drawing::svg {
namespace {

// A capital letter stands about 0.7 of the font size; plotter characters
// are as wide as two thirds of their height.
constexpr double kCapHeight = 0.7;
constexpr double kCharWidth = 2.0 / 3.0;

struct Run {
    Point position;
    Style style;
    std::string text;
    int line = 0;
};

// The first number of an x or y list, as a length in user units.
bool firstCoordinate(const pugi::xml_node &element, const char *name, double reference,
                     std::optional<double> &value, std::string &error) {
    const pugi::xml_attribute attribute = element.attribute(name);
    if (!attribute) {
        return true;
    }
    std::string_view list = attribute.value();
    const std::size_t end = list.find_first_of(" ,\t\r\n", list.find_first_not_of(" ,\t\r\n"));
    double parsed = 0;
    if (!lengthValue(list.substr(0, end), reference, parsed, error)) {
        error = std::string(name) + ": " + error;
        return false;
    }
    value = parsed;
    return true;
}

class TextReader {
public:
    TextReader(const WalkState &state, SvgSource &source) : state_(state), source_(source) {}

    bool read(const pugi::xml_node &element) {
        if (!begin(element, state_.style, Point{})) {
            return false;
        }
        collect(element, state_.style);
        for (const Run &run : runs_) {
            emit(run);
        }
        return !source_.failed();
    }

private:
    bool begin(const pugi::xml_node &element, const Style &style, Point fallback) {
        std::optional<double> x;
        std::optional<double> y;
        std::string error;
        if (!firstCoordinate(element, "x", state_.viewport.width, x, error) ||
            !firstCoordinate(element, "y", state_.viewport.height, y, error)) {
            return source_.fail(element, error);
        }
        if (runs_.empty() || x || y) {
            runs_.push_back({{x.value_or(fallback.x), y.value_or(fallback.y)}, style, {},
                             source_.lineOf(element)});
        }
        return true;
    }

    void collect(const pugi::xml_node &element, const Style &style) {
        for (const pugi::xml_node child : element.children()) {
            if (child.type() == pugi::node_pcdata || child.type() == pugi::node_cdata) {
                append(child.value());
            } else if (child.type() == pugi::node_element && localName(child) == "tspan") {
                const ElementStyle inner = cascade(child, style, source_.drawing().warnings);
                if (!inner.displayed) {
                    continue;
                }
                if (!begin(child, inner.style, runs_.back().position)) {
                    return;
                }
                collect(child, inner.style);
            }
        }
    }

    void append(std::string_view text) {
        std::string &out = runs_.back().text;
        for (const char c : text) {
            const bool space = c == ' ' || c == '\t' || c == '\n' || c == '\r';
            if (!space) {
                out.push_back(c);
            } else if (!out.empty() && out.back() != ' ') {
                out.push_back(' ');
            }
        }
    }

    void emit(Run run) {
        while (!run.text.empty() && run.text.back() == ' ') {
            run.text.pop_back();
        }
        if (run.text.empty() || !run.style.visible) {
            return;
        }
        WalkState styled = state_;
        styled.style = run.style;
        Text text;
        if (!penFor(styled, text.pen)) {
            return;
        }
        const double height = run.style.fontSize * kCapHeight;
        const double width = static_cast<double>(run.text.size()) * height * kCharWidth;
        Point anchor = run.position;
        if (run.style.anchor == TextAnchor::Middle) {
            anchor.x -= width / 2;
        } else if (run.style.anchor == TextAnchor::End) {
            anchor.x -= width;
        }
        text.text = std::move(run.text);
        text.anchor = state_.ctm.apply(anchor);
        text.baseline = state_.ctm.applyVector({height, 0});
        text.up = state_.ctm.applyVector({0, -height}); // the canvas's y points down
        text.line = run.line;
        if (!withinMagnitude(Subpath{text.anchor, {Segment::line(text.anchor + text.baseline + text.up)}}, kMaxDrawingMm)) {
            source_.failAt(run.line, "a text lies more than a kilometre from the page");
            return;
        }
        source_.drawing().texts.push_back(std::move(text));
    }

    const WalkState &state_;
    SvgSource &source_;
    std::vector<Run> runs_;
};

} // namespace

bool readText(const pugi::xml_node &element, const WalkState &state, SvgSource &source) {
    return TextReader(state, source).read(element);
}

} // namespace drv::drawing::svg
