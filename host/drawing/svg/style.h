// The part of SVG styling a pen plotter needs, cascaded from presentation
// attributes and `style=""` and inherited down the tree.
#pragma once

#include <string>
#include <vector>

#include "host/drawing/svg/paint.h"

namespace pugi {
class xml_node;
}

namespace drv::drawing::svg {

enum class TextAnchor { Start, Middle, End };

// Inherited properties, as computed for one element.
struct Style {
    Paint stroke{Paint::Kind::None, {}};
    Paint fill{Paint::Kind::Colour, {}}; // black
    Colour colour;                       // for currentColor
    double strokeWidth = 1;              // user units of the element
    double fontSize = 16;                // user units
    TextAnchor anchor = TextAnchor::Start;
    bool visible = true;
};

// What an element says about itself on top of what it inherits.
struct ElementStyle {
    Style style;
    bool displayed = true; // display:none hides the element and its subtree
};

// Applies the element's presentation attributes, then its style=""
// declarations, to `inherited`. Values that cannot be read are left as
// inherited, with one message each in `warnings`.
ElementStyle cascade(const pugi::xml_node &element, const Style &inherited,
                     std::vector<std::string> &warnings);

// The colour a paint puts on paper, or nothing for none.
std::optional<Colour> resolve(const Paint &paint, const Style &style);

} // namespace drv::drawing::svg
