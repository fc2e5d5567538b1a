// A decoded drawing rendered as SVG, PNG or PDF through Cairo, one drawing
// API for the three: the sheet in white, then every element in the order
// the device draws it. The picture is in the job's own coordinates (x to
// the right, y up), so a job turned with RO shows upright as it was drawn.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/decode/drawing.h"

namespace drv::preview {

enum class Format { Svg, Png, Pdf };

// The format a file name asks for by its extension (case-insensitive).
std::optional<Format> formatForPath(std::string_view path);

struct PreviewOptions {
    Format format = Format::Png;
    double dpi = 96;        // PNG pixels per inch
    std::size_t page = 0;   // 1-based; 0: every page (PDF), the first (SVG, PNG)
};

// PNG sides are held to this many pixels: a sheet at too high a dpi is
// refused rather than filling the memory.
constexpr double kMaxPngSide = 20000;

// Renders into `bytes`. False with the reason in `error` for a page that
// does not exist, a PNG too large, or a Cairo failure; `bytes` is then
// empty. `pages` receives the number of sheets the drawing has.
bool renderPreview(const decode::Drawing &drawing, const PreviewOptions &options,
                   std::vector<std::uint8_t> &bytes, std::size_t &pages, std::string &error);

// Gives back what Cairo and the font library keep for the life of the
// process (font caches). Call once no more previews will be rendered, so
// that a leak checker sees only real leaks.
void releaseRenderingCaches();

} // namespace drv::preview
