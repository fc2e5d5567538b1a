#include "host/drawing/svg/svg_reader.h"

#include <pugixml.hpp>

#include <algorithm>
#include <cctype>
#include <unordered_map>
#include <unordered_set>

#include "host/drawing/model/words.h"
#include "host/drawing/svg/gzip.h"
#include "host/drawing/svg/lengths.h"
#include "host/drawing/svg/root_viewport.h"
#include "host/drawing/svg/svg_walk.h"
#include "host/drawing/svg/transform_list.h"

namespace drv::drawing::svg {
namespace {

// Elements that hold no drawing of their own, or whose content is drawn
// only where it is referenced.
constexpr std::string_view kNotDrawn[] = {
    "defs",     "symbol", "clipPath", "mask",  "marker",   "pattern", "linearGradient",
    "radialGradient", "filter", "script", "metadata", "title", "desc", "namedview"};

constexpr std::string_view kContainers[] = {"g", "a", "switch"};

template <std::size_t N>
bool among(std::string_view name, const std::string_view (&names)[N]) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// "pen 2", "Pen2", "2": the pen an Inkscape layer's label names.
int penNamedBy(std::string_view label) {
    label = trimmed(label);
    if (label.size() > 3 && std::tolower(static_cast<unsigned char>(label[0])) == 'p' &&
        std::tolower(static_cast<unsigned char>(label[1])) == 'e' &&
        std::tolower(static_cast<unsigned char>(label[2])) == 'n') {
        label = trimmed(label.substr(3));
    }
    if (label.empty() || label.size() > 4 ||
        !std::all_of(label.begin(), label.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        return 0;
    }
    return std::stoi(std::string(label));
}

class Walker {
public:
    Walker(SvgSource &source, const SvgLimits &limits, const pugi::xml_document &doc)
        : source_(source), limits_(limits) {
        for (const pugi::xpath_node &found : doc.select_nodes("//*[@id]")) {
            ids_.emplace(found.node().attribute("id").value(), found.node());
        }
    }

    bool children(const pugi::xml_node &parent, const WalkState &state) {
        for (const pugi::xml_node child : parent.children()) {
            if (child.type() == pugi::node_element && !element(child, state)) {
                return false;
            }
        }
        return true;
    }

    bool element(const pugi::xml_node &node, const WalkState &parent) {
        const std::string_view name = localName(node);
        if (among(name, kNotDrawn)) {
            return true;
        }
        if (++elements_ > limits_.maxElements) {
            return source_.fail(node, "the drawing expands to more than " +
                                          std::to_string(limits_.maxElements) + " elements");
        }
        if (parent.depth >= limits_.maxDepth) {
            return source_.fail(node, "elements nest deeper than " + std::to_string(limits_.maxDepth));
        }
        WalkState state = parent;
        ++state.depth;
        const ElementStyle style = cascade(node, parent.style, source_.drawing().warnings);
        if (!style.displayed) {
            return true;
        }
        state.style = style.style;
        Affine local;
        if (!transformOf(node, local)) {
            return false;
        }
        state.ctm = local.then(parent.ctm);
        if (among(name, kContainers)) {
            if (std::string_view(node.attribute("inkscape:groupmode").value()) == "layer") {
                const pugi::xml_attribute label = node.attribute("inkscape:label");
                state.layer = label ? label.value() : node.attribute("id").value();
                state.layerPen = penNamedBy(state.layer);
            }
            return children(node, state);
        }
        if (name == "svg") {
            return nestedViewport(node, node, state);
        }
        if (name == "use") {
            return use(node, state);
        }
        if (name == "text") {
            return readText(node, state, source_);
        }
        if (isShapeElement(name)) {
            return shape(node, name, state);
        }
        if (name == "style") {
            source_.warnOnce("CSS style sheets (<style>) are not applied; only style attributes are");
        } else if (name == "image" || name == "foreignObject") {
            source_.warnOnce("<" + std::string(name) + "> elements are not plotted");
        }
        return true;
    }

private:
    bool transformOf(const pugi::xml_node &node, Affine &local) {
        const pugi::xml_attribute attribute = node.attribute("transform");
        if (!attribute) {
            return true;
        }
        std::size_t offset = 0;
        std::string error;
        if (!parseTransformList(attribute.value(), local, offset, error)) {
            return source_.fail(node, "transform: " + error + " at character " + std::to_string(offset + 1));
        }
        return true;
    }

    bool shape(const pugi::xml_node &node, std::string_view name, const WalkState &state) {
        Shape shape;
        std::string error;
        if (!shapeGeometry(node, name, state.viewport, shape.subpaths, error)) {
            return source_.fail(node, "<" + std::string(name) + "> " + error);
        }
        if (shape.subpaths.empty() || !state.style.visible || !penFor(state, shape.pen)) {
            return true;
        }
        for (Subpath &path : shape.subpaths) {
            transform(path, state.ctm);
            if (!withinMagnitude(path, kMaxDrawingMm)) {
                return source_.fail(node, "<" + std::string(name) + "> lies more than a kilometre from the page");
            }
        }
        shape.stroked = state.style.stroke.kind != Paint::Kind::None;
        shape.fill = resolve(state.style.fill, state.style);
        shape.line = source_.lineOf(node);
        source_.drawing().shapes.push_back(std::move(shape));
        return true;
    }

    // A nested <svg>, or the <symbol> or <svg> a <use> shows: a viewport at
    // x, y of width x height, with its own viewBox.
    bool nestedViewport(const pugi::xml_node &box, const pugi::xml_node &sizer, WalkState state) {
        double x = 0, y = 0, w = 0, h = 0;
        std::string error;
        if (!lengthAttribute(sizer, "x", state.viewport.width, 0, x, error) ||
            !lengthAttribute(sizer, "y", state.viewport.height, 0, y, error) ||
            !lengthAttribute(sizer, "width", state.viewport.width, state.viewport.width, w, error) ||
            !lengthAttribute(sizer, "height", state.viewport.height, state.viewport.height, h, error)) {
            return source_.fail(sizer, error);
        }
        Affine inner = Affine::translate(x, y);
        if (const pugi::xml_attribute attribute = box.attribute("viewBox")) {
            const std::optional<ViewBox> viewBox = parseViewBox(attribute.value(), error);
            std::optional<AspectRatio> ratio = AspectRatio{};
            if (const pugi::xml_attribute par = box.attribute("preserveAspectRatio")) {
                ratio = parseAspectRatio(par.value(), error);
            }
            if (!viewBox || !ratio) {
                return source_.fail(box, error);
            }
            inner = viewBoxMap(*viewBox, w, h, *ratio).then(inner);
            state.viewport = {viewBox->width, viewBox->height};
        }
        state.ctm = inner.then(state.ctm);
        return children(box, state);
    }

    bool use(const pugi::xml_node &node, WalkState state) {
        std::string_view href = node.attribute("href").value();
        if (href.empty()) {
            href = node.attribute("xlink:href").value();
        }
        if (href.size() < 2 || href[0] != '#') {
            source_.warn(node, "<use> without a local reference (href=\"#id\") is skipped");
            return true;
        }
        const std::string id(href.substr(1));
        const auto found = ids_.find(id);
        if (found == ids_.end()) {
            return source_.fail(node, "<use> refers to '" + id + "', which the document does not define");
        }
        if (!active_.insert(id).second) {
            return source_.fail(node, "<use> of '" + id + "' refers back to itself");
        }
        const pugi::xml_node target = found->second;
        const std::string_view name = localName(target);
        bool good = true;
        if (name == "symbol" || name == "svg") {
            good = nestedViewport(target, node, state);
        } else {
            double x = 0, y = 0;
            std::string error;
            if (!lengthAttribute(node, "x", state.viewport.width, 0, x, error) ||
                !lengthAttribute(node, "y", state.viewport.height, 0, y, error)) {
                good = source_.fail(node, error);
            } else {
                state.ctm = Affine::translate(x, y).then(state.ctm);
                // The referenced element is drawn even when it sits in <defs>.
                good = among(name, kNotDrawn) ? children(target, state) : element(target, state);
            }
        }
        active_.erase(id);
        return good;
    }

    SvgSource &source_;
    const SvgLimits &limits_;
    std::unordered_map<std::string, pugi::xml_node> ids_;
    std::unordered_set<std::string> active_;
    std::size_t elements_ = 0;
};

} // namespace

bool readSvg(std::string_view bytes, Drawing &out, SourceError &error, const SvgLimits &limits) {
    std::string inflated;
    if (isGzip(bytes)) {
        std::string reason;
        if (!gunzip(bytes, limits.maxTextBytes, inflated, reason)) {
            error = {0, reason};
            return false;
        }
        bytes = inflated;
    }
    if (bytes.size() > limits.maxTextBytes) {
        error = {0, "the document is larger than " + std::to_string(limits.maxTextBytes >> 20) + " MiB"};
        return false;
    }
    Drawing drawing;
    drawing.yAxis = YAxis::Down;
    SvgSource source(bytes, drawing);
    pugi::xml_document doc;
    const pugi::xml_parse_result parsed = doc.load_buffer(bytes.data(), bytes.size(), pugi::parse_default, pugi::encoding_utf8);
    if (!parsed) {
        error = {source.lineAt(parsed.offset), std::string("XML: ") + parsed.description()};
        return false;
    }
    const pugi::xml_node root = doc.document_element();
    if (localName(root) != "svg") {
        error = {source.lineOf(root), "not an SVG document: the root element is <" +
                                          std::string(root.name()) + ">"};
        return false;
    }
    WalkState state;
    Walker walker(source, limits, doc);
    if (!rootViewport(root, source, drawing, state) || !walker.children(root, state)) {
        error = source.error();
        return false;
    }
    out = std::move(drawing);
    return true;
}

} // namespace drv::drawing::svg
