#include "host/preview/paint.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <string>

namespace drv::preview {
namespace {

using namespace drv::decode;

void setColor(cairo_t *cr, Rgb c) { cairo_set_source_rgb(cr, c.red / 255.0, c.green / 255.0, c.blue / 255.0); }

void setPen(cairo_t *cr, const Ink &ink) {
    setColor(cr, ink.color);
    // A pen of no width still leaves its finest line.
    cairo_set_line_width(cr, std::max(ink.widthMm, 0.05) * kUnitsPerMm);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
}

// Label bytes are Latin-1 characters; Cairo takes UTF-8.
std::string utf8(const std::string &text) {
    std::string s;
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7F) {
            s += ' ';
        } else if (c < 0x80) {
            s += ch;
        } else {
            s += static_cast<char>(0xC0 | c >> 6);
            s += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return s;
}

struct Painter {
    cairo_t *cr;

    void operator()(const Stroke &e) const {
        setPen(cr, e.ink);
        cairo_new_path(cr);
        cairo_move_to(cr, e.points.front().x, e.points.front().y);
        for (const Point &p : e.points) {
            cairo_line_to(cr, p.x, p.y);
        }
        cairo_stroke(cr);
    }
    void operator()(const Circle &e) const {
        setPen(cr, e.ink);
        cairo_new_path(cr);
        cairo_arc(cr, e.center.x, e.center.y, e.radius, 0, 2 * std::numbers::pi);
        cairo_close_path(cr);
        cairo_stroke(cr);
    }
    void operator()(const Arc &e) const {
        setPen(cr, e.ink);
        const double radius = std::hypot(e.start.x - e.center.x, e.start.y - e.center.y);
        const double from = std::atan2(e.start.y - e.center.y, e.start.x - e.center.x);
        const double to = from + e.sweepDeg * std::numbers::pi / 180;
        cairo_new_path(cr);
        if (e.sweepDeg >= 0) {
            cairo_arc(cr, e.center.x, e.center.y, radius, from, to);
        } else {
            cairo_arc_negative(cr, e.center.x, e.center.y, radius, from, to);
        }
        cairo_stroke(cr);
    }
    void operator()(const Polygon &e) const {
        setColor(cr, fillColor(e));
        cairo_new_path(cr);
        for (const auto &ring : e.rings) {
            cairo_move_to(cr, ring.front().x, ring.front().y);
            for (const Point &p : ring) {
                cairo_line_to(cr, p.x, p.y);
            }
            cairo_close_path(cr);
        }
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_EVEN_ODD);
        cairo_fill(cr);
    }
    void operator()(const Label &e) const;
    void operator()(const Image &e) const;
    void operator()(const Page &) const {}
};

void Painter::operator()(const Label &e) const {
    const double height = e.sizeMm[1] * kUnitsPerMm;
    const double cell = e.sizeMm[0] * kUnitsPerMm;
    if (height <= 0 || cell <= 0 || e.text.empty()) {
        return;
    }
    cairo_save(cr);
    setColor(cr, e.ink.color);
    cairo_select_font_face(cr, "monospace", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    // Capitals are about 0.72 of the em; the cell is one monospace advance.
    cairo_set_font_size(cr, height / 0.72);
    cairo_text_extents_t m;
    cairo_text_extents(cr, "M", &m);
    const double stretch = m.x_advance > 0 ? cell / m.x_advance : 1;
    cairo_translate(cr, e.at.x, e.at.y);
    cairo_rotate(cr, std::atan2(e.direction.y, e.direction.x));
    // Text runs with y down; the slant leans the tops forward.
    cairo_matrix_t flip;
    cairo_matrix_init(&flip, stretch, 0, -e.slant * stretch, -1, 0, 0);
    cairo_transform(cr, &flip);
    double line = 0;
    std::string piece;
    const auto show = [&] {
        cairo_move_to(cr, 0, line);
        cairo_show_text(cr, utf8(piece).c_str());
        piece.clear();
    };
    for (const char c : e.text) {
        if (c == '\n') {
            show();
            line += height / 0.72 * 1.2;
        } else if (c != '\r') {
            piece += c;
        }
    }
    show();
    cairo_restore(cr);
}

void Painter::operator()(const Image &e) const {
    const double det = e.pixelStep.x * e.rowStep.y - e.pixelStep.y * e.rowStep.x;
    if (e.columns <= 0 || e.rows <= 0 || !std::isfinite(det) || std::fabs(det) < 1e-9) {
        return; // an image with no area shows nothing
    }
    cairo_surface_t *surface = cairo_image_surface_create(CAIRO_FORMAT_RGB24, e.columns, e.rows);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return;
    }
    cairo_surface_flush(surface);
    unsigned char *data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    for (int r = 0; r < e.rows; ++r) {
        auto *row = reinterpret_cast<std::uint32_t *>(data + static_cast<std::ptrdiff_t>(r) * stride);
        for (int c = 0; c < e.columns; ++c) {
            const std::uint8_t *p = &e.pixels[(static_cast<std::size_t>(r) * static_cast<std::size_t>(e.columns) +
                                               static_cast<std::size_t>(c)) * 3];
            row[c] = 0xFF000000u | std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
        }
    }
    cairo_surface_mark_dirty(surface);
    cairo_save(cr);
    // Pixel (c, r) starts at at + c * pixelStep + r * rowStep.
    cairo_matrix_t place;
    cairo_matrix_init(&place, e.pixelStep.x, e.pixelStep.y, e.rowStep.x, e.rowStep.y, e.at.x, e.at.y);
    cairo_transform(cr, &place);
    cairo_set_source_surface(cr, surface, 0, 0);
    cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_NEAREST);
    cairo_rectangle(cr, 0, 0, e.columns, e.rows);
    cairo_fill(cr);
    cairo_restore(cr);
    cairo_surface_destroy(surface);
}

} // namespace

Rgb fillColor(const Polygon &polygon) {
    if (polygon.fill.type != 10) {
        return polygon.ink.color;
    }
    const double level = std::clamp(polygon.fill.level, 0.0, 100.0) / 100;
    const auto mix = [&](std::uint8_t c) {
        return static_cast<std::uint8_t>(std::lround(255 - (255 - c) * level));
    };
    return {mix(polygon.ink.color.red), mix(polygon.ink.color.green), mix(polygon.ink.color.blue)};
}

void paintElement(cairo_t *cr, const Element &element) { std::visit(Painter{cr}, element); }

} // namespace drv::preview
