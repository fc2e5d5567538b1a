// The geometry of SVG's basic shapes and paths, in the user units of the
// element: rect (with rounded corners), circle, ellipse, line, polyline,
// polygon and path.
#pragma once

#include <string>
#include <vector>

#include "host/drawing/geometry/path.h"

namespace pugi {
class xml_node;
}

namespace drv::drawing::svg {

// The viewport percentages refer to, in user units.
struct Viewport {
    double width = 0;
    double height = 0;
};

// Whether `name` is a shape element this reader draws.
bool isShapeElement(std::string_view name);

// The subpaths of the shape `element` (named `name`, without a namespace
// prefix). A shape that SVG does not render (a zero width, radius...) gives
// none. False with the reason on an unreadable attribute.
bool shapeGeometry(const pugi::xml_node &element, std::string_view name, const Viewport &viewport,
                   std::vector<Subpath> &out, std::string &error);

// A length in user units; percentages are of `reference`.
bool lengthValue(std::string_view text, double reference, double &value, std::string &error);

// A length attribute in user units; `fallback` when it is absent.
// Percentages are of `reference`.
bool lengthAttribute(const pugi::xml_node &element, const char *name, double reference,
                     double fallback, double &value, std::string &error);

} // namespace drv::drawing::svg
