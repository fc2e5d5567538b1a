// What kind of file a plot input is: a plot script, an SVG drawing (.svg,
// .svgz, gzip data, or text that opens with an XML declaration or <svg)
// or a DXF
// drawing (.dxf).
#pragma once

#include <optional>
#include <string_view>

namespace drv::drawing {

enum class InputFormat { Script, Svg, Dxf };

// "script", "svg" or "dxf", as --input-format takes them.
std::optional<InputFormat> parseInputFormat(std::string_view word);

// The format of the file at `path` whose content begins with `head`.
InputFormat detectInputFormat(std::string_view path, std::string_view head);

} // namespace drv::drawing
