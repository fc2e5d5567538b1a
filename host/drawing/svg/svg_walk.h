// What the SVG reader carries down the element tree, shared by the
// walker and the text reader.
#pragma once

#include <pugixml.hpp>

#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "host/drawing/model/drawing.h"
#include "host/drawing/svg/shapes.h"
#include "host/drawing/svg/style.h"

namespace drv::drawing::svg {

struct WalkState {
    Affine ctm; // user units of the element to page millimetres
    Style style;
    Viewport viewport;
    std::string layer;
    int layerPen = 0;
    int depth = 0;
};

// The line of a node, the warnings said once, and the first error.
class SvgSource {
public:
    SvgSource(std::string_view text, Drawing &drawing);

    int lineOf(const pugi::xml_node &node) const;
    int lineAt(std::ptrdiff_t offset) const;
    void warn(const pugi::xml_node &node, const std::string &message);
    void warnOnce(const std::string &message);
    bool fail(const pugi::xml_node &node, std::string message);
    bool failAt(int line, std::string message);
    bool failed() const { return failed_; }
    const SourceError &error() const { return error_; }
    Drawing &drawing() { return drawing_; }

private:
    std::vector<std::size_t> lineStarts_;
    Drawing &drawing_;
    std::set<std::string> said_;
    SourceError error_;
    bool failed_ = false;
};

// The element's name without an "svg:" prefix.
std::string_view localName(const pugi::xml_node &node);

// The pen a shape or text of this style and layer goes to; false when it
// puts nothing on paper (no stroke and no fill).
bool penFor(const WalkState &state, PenKey &key);

// Adds the labels of a <text> element.
bool readText(const pugi::xml_node &element, const WalkState &state, SvgSource &source);

} // namespace drv::drawing::svg
