#include "host/preview/render.h"

#include <cairo-pdf.h>
#include <cairo-svg.h>
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <memory>

#include "host/preview/paint.h"
#include "host/preview/sheet.h"

namespace drv::preview {
namespace {

using namespace drv::decode;

constexpr double kPointsPerInch = 72;

cairo_status_t collect(void *closure, const unsigned char *data, unsigned int length) {
    auto *bytes = static_cast<std::vector<std::uint8_t> *>(closure);
    bytes->insert(bytes->end(), data, data + length);
    return CAIRO_STATUS_SUCCESS;
}

struct SurfaceDeleter {
    void operator()(cairo_surface_t *s) const { cairo_surface_destroy(s); }
};
struct ContextDeleter {
    void operator()(cairo_t *c) const { cairo_destroy(c); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

// Paints one sheet: white paper (on grey where the view is larger than
// the paper), then its elements, plotter units mapped with y up at `scale`
// surface units per plotter unit.
void paintSheet(cairo_t *cr, const Drawing &drawing, const Sheet &sheet, double scale) {
    cairo_save(cr);
    const bool beyond = sheet.paper && (sheet.width != sheet.paperWidth || sheet.height != sheet.paperHeight);
    cairo_set_source_rgb(cr, beyond ? 0.82 : 1, beyond ? 0.82 : 1, beyond ? 0.82 : 1);
    cairo_paint(cr);
    cairo_translate(cr, 0, sheet.height * scale);
    cairo_scale(cr, scale, -scale);
    cairo_translate(cr, -sheet.left, -sheet.bottom);
    if (beyond) {
        cairo_set_source_rgb(cr, 1, 1, 1);
        cairo_rectangle(cr, 0, 0, sheet.paperWidth, sheet.paperHeight);
        cairo_fill(cr);
    }
    for (std::size_t i = sheet.first; i < sheet.end; ++i) {
        paintElement(cr, drawing.elements[i]);
    }
    cairo_restore(cr);
}

bool failed(cairo_status_t status, std::string &error) {
    if (status == CAIRO_STATUS_SUCCESS) {
        return false;
    }
    error = std::string("Cairo: ") + cairo_status_to_string(status);
    return true;
}

} // namespace

std::optional<Format> formatForPath(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string_view::npos) {
        return std::nullopt;
    }
    std::string ext(path.substr(dot + 1));
    std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return std::tolower(c); });
    if (ext == "svg") {
        return Format::Svg;
    }
    if (ext == "png") {
        return Format::Png;
    }
    if (ext == "pdf") {
        return Format::Pdf;
    }
    return std::nullopt;
}

bool renderPreview(const Drawing &drawing, const PreviewOptions &options, std::vector<std::uint8_t> &bytes,
                   std::size_t &pages, std::string &error) {
    bytes.clear();
    const std::vector<Sheet> sheets = layOutSheets(drawing);
    pages = sheets.size();
    if (options.page > sheets.size()) {
        error = "page " + std::to_string(options.page) + " asked for; the drawing has " +
                std::to_string(sheets.size());
        return false;
    }
    const std::size_t first = options.page == 0 ? 0 : options.page - 1;
    const std::size_t last = options.page == 0 && options.format == Format::Pdf ? sheets.size() : first + 1;
    const Sheet &sheet = sheets[first];
    Surface surface;
    double scale = kPointsPerInch / kUnitsPerInch;
    switch (options.format) {
    case Format::Svg:
        surface.reset(cairo_svg_surface_create_for_stream(collect, &bytes, sheet.width * scale,
                                                          sheet.height * scale));
        break;
    case Format::Pdf:
        surface.reset(cairo_pdf_surface_create_for_stream(collect, &bytes, sheet.width * scale,
                                                          sheet.height * scale));
        break;
    case Format::Png: {
        scale = options.dpi / kUnitsPerInch;
        const double w = std::ceil(sheet.width * scale);
        const double h = std::ceil(sheet.height * scale);
        if (!(options.dpi > 0) || !(w <= kMaxPngSide && h <= kMaxPngSide)) {
            error = "a PNG of the sheet at " + std::to_string(static_cast<long>(options.dpi)) +
                    " dpi would be larger than 20000 pixels a side; lower --dpi";
            return false;
        }
        surface.reset(cairo_image_surface_create(CAIRO_FORMAT_RGB24, std::max(1, static_cast<int>(w)),
                                                 std::max(1, static_cast<int>(h))));
        break;
    }
    }
    if (failed(cairo_surface_status(surface.get()), error)) {
        bytes.clear();
        return false;
    }
    {
        Context cr(cairo_create(surface.get()));
        for (std::size_t i = first; i < last; ++i) {
            if (i > first) {
                cairo_pdf_surface_set_size(surface.get(), sheets[i].width * scale, sheets[i].height * scale);
            }
            paintSheet(cr.get(), drawing, sheets[i], scale);
            if (options.format != Format::Png) {
                cairo_show_page(cr.get());
            }
        }
        if (failed(cairo_status(cr.get()), error)) {
            bytes.clear();
            return false;
        }
    }
    if (options.format == Format::Png &&
        failed(cairo_surface_write_to_png_stream(surface.get(), collect, &bytes), error)) {
        bytes.clear();
        return false;
    }
    cairo_surface_finish(surface.get());
    if (failed(cairo_surface_status(surface.get()), error)) {
        bytes.clear();
        return false;
    }
    return true;
}

void releaseRenderingCaches() {
    cairo_debug_reset_static_data();
    FcFini();
}

} // namespace drv::preview
