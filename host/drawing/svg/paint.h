// SVG paint values (`stroke`, `fill`, `color`): none, a colour in any CSS
// form, currentColor, or a paint server reference with its fallback.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "host/drawing/model/drawing.h"

namespace drv::drawing::svg {

struct Paint {
    enum class Kind { None, Colour, CurrentColour, Server } kind = Kind::None;
    Colour colour; // Colour; for Server, the fallback or black
};

// On failure returns nothing with the reason in `error`.
std::optional<Paint> parsePaint(std::string_view text, std::string &error);

// "#rgb", "#rrggbb", "rgb(r, g, b)" (numbers or percentages) or a CSS
// colour name, case-insensitive.
std::optional<Colour> parseColour(std::string_view text);

} // namespace drv::drawing::svg
