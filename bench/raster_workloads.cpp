#include "bench/raster_workloads.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace drv::bench {
namespace {

constexpr double kPixelsPerMm = 600.0 / 25.4;
constexpr std::int32_t mm(double millimetres) {
    return static_cast<std::int32_t>(millimetres * kPixelsPerMm + 0.5);
}

std::uint64_t mix(std::uint64_t x) {  // splitmix64's finaliser
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// One row of the sheet as ink colours per pixel: 0 is paper.
using Ink = std::vector<std::uint8_t>;
enum : std::uint8_t { kPaper, kBlack, kBlue, kRed, kGreen };

void span(Ink &ink, std::int32_t x0, std::int32_t x1, std::uint8_t colour) {
    x0 = std::max(x0, 0);
    x1 = std::min(x1, kSheetWidth);
    for (std::int32_t x = x0; x < x1; ++x) {
        ink[static_cast<std::size_t>(x)] = colour;
    }
}

struct Rect {
    std::int32_t x0, y0, x1, y1;
};

// A rectangle's outline, `width` pixels thick.
void frame(Ink &ink, std::int32_t y, const Rect &r, std::int32_t width, std::uint8_t colour) {
    if (y < r.y0 || y >= r.y1) {
        return;
    }
    if (y < r.y0 + width || y >= r.y1 - width) {
        span(ink, r.x0, r.x1, colour);
        return;
    }
    span(ink, r.x0, r.x0 + width, colour);
    span(ink, r.x1 - width, r.x1, colour);
}

// Parallel lines at 45 degrees (rising when `rising`) inside a rectangle.
void hatch(Ink &ink, std::int32_t y, const Rect &r, std::int32_t pitch, std::int32_t width,
           bool rising, std::uint8_t colour) {
    if (y < r.y0 || y >= r.y1) {
        return;
    }
    for (std::int32_t x = r.x0; x < r.x1; ++x) {
        const std::int32_t d = rising ? x + y : x - y + kSheetHeight;
        if (d % pitch < width) {
            ink[static_cast<std::size_t>(x)] = colour;
        }
    }
}

void circle(Ink &ink, std::int32_t y, std::int32_t cx, std::int32_t cy, std::int32_t radius,
            std::int32_t width, std::uint8_t colour) {
    const double dy = y - cy;
    const double outer = radius + width / 2.0;
    const double inner = radius - width / 2.0;
    if (std::abs(dy) >= outer) {
        return;
    }
    const double xo = std::sqrt(outer * outer - dy * dy);
    const double xi = std::abs(dy) < inner ? std::sqrt(inner * inner - dy * dy) : 0.0;
    const auto at = [&](double dx) { return cx + static_cast<std::int32_t>(std::lround(dx)); };
    span(ink, at(-xo), at(-xi), colour);
    span(ink, at(xi), at(xo), colour);
}

// A line of text: characters of 5 x 7 cells picked from a hash of their
// place, so that every glyph looks like a letter of some alphabet.
void text(Ink &ink, std::int32_t y, std::int32_t x0, std::int32_t top, std::int32_t characters,
          std::int32_t height) {
    const std::int32_t cell = height / 7;
    const std::int32_t advance = cell * 6;
    if (y < top || y >= top + 7 * cell) {
        return;
    }
    const auto glyphRow = static_cast<unsigned>((y - top) / cell);
    for (std::int32_t k = 0; k < characters; ++k) {
        const std::uint64_t glyph = mix(static_cast<std::uint64_t>(k * 131 + top));
        if (glyph % 7 == 0) {
            continue;  // a space between words
        }
        const auto bits = static_cast<unsigned>(glyph >> (5 * glyphRow)) & 31u;
        for (std::int32_t c = 0; c < 5; ++c) {
            if ((bits >> c & 1u) != 0) {
                const std::int32_t x = x0 + k * advance + c * cell;
                span(ink, x, x + cell, kBlack);
            }
        }
    }
}

Ink cadInk(std::int32_t y) {
    Ink ink(kSheetWidth, kPaper);
    const std::int32_t w = kSheetWidth;
    const std::int32_t h = kSheetHeight;
    frame(ink, y, {mm(10), mm(10), w - mm(10), h - mm(10)}, mm(0.7), kBlack);
    frame(ink, y, {mm(20), mm(20), w - mm(20), h - mm(20)}, mm(0.35), kBlack);
    // Hatched sections.
    hatch(ink, y, {mm(80), mm(150), mm(330), mm(420)}, mm(3), mm(0.25), true, kBlue);
    hatch(ink, y, {mm(420), mm(600), mm(700), mm(760)}, mm(2), mm(0.25), false, kBlue);
    hatch(ink, y, {mm(90), mm(800), mm(260), mm(1000)}, mm(4), mm(0.35), true, kGreen);
    frame(ink, y, {mm(80), mm(150), mm(330), mm(420)}, mm(0.5), kBlack);
    frame(ink, y, {mm(420), mm(600), mm(700), mm(760)}, mm(0.5), kBlack);
    // Circles: holes, a flange, bolt circles.
    for (int k = 0; k < 12; ++k) {
        circle(ink, y, mm(450 + 25 * (k % 4)), mm(200 + 30 * (k / 4)), mm(8 + k), mm(0.35), kRed);
    }
    circle(ink, y, mm(560), mm(420), mm(180), mm(0.7), kBlack);
    circle(ink, y, mm(560), mm(420), mm(120), mm(0.35), kBlack);
    circle(ink, y, mm(300), mm(650), mm(60), mm(0.5), kRed);
    // Dimension lines and their extension lines.
    for (int k = 0; k < 6; ++k) {
        const std::int32_t at = mm(110 + 140 * k);
        if (y >= at && y < at + mm(0.18)) {
            span(ink, mm(40), w - mm(260), kGreen);
        }
        span(ink, mm(60 + 130 * k), mm(60 + 130 * k) + mm(0.18), kGreen);
    }
    // Title block and notes.
    const Rect title = {w - mm(200), h - mm(90), w - mm(20), h - mm(20)};
    frame(ink, y, title, mm(0.5), kBlack);
    for (int k = 1; k < 7; ++k) {
        const std::int32_t at = title.y0 + k * mm(10);
        if (y >= at && y < at + mm(0.35)) {
            span(ink, title.x0, title.x1, kBlack);
        }
        text(ink, y, title.x0 + mm(4), title.y0 + (k - 1) * mm(10) + mm(3), 40, mm(3.5));
    }
    for (int line = 0; line < 24; ++line) {
        text(ink, y, mm(40), mm(1040) + line * mm(5), 120, mm(2.5));
    }
    return ink;
}

// A photograph's brightness in channel `c`: shapes, shading and a sky.
double picture(std::int32_t x, std::int32_t y, int c) {
    const double u = x / static_cast<double>(kSheetWidth);
    const double v = y / static_cast<double>(kSheetHeight);
    double value = 0.55 + 0.25 * std::sin(6.0 * u + 2.0 * c) * std::cos(4.0 * v - c);
    value += 0.3 * std::exp(-((u - 0.4) * (u - 0.4) + (v - 0.6) * (v - 0.6)) * 30.0);
    value -= 0.25 * std::exp(-((u - 0.75) * (u - 0.75) + (v - 0.3) * (v - 0.3)) * 60.0);
    return std::clamp(value, 0.0, 1.0);
}

double grain(std::int32_t x, std::int32_t y, int c) {
    const std::uint64_t h =
        mix(static_cast<std::uint64_t>(y) << 32 | static_cast<std::uint32_t>(x * 4 + c));
    return (static_cast<double>(h >> 11) / 9007199254740992.0 - 0.5) * 0.24;
}

constexpr std::uint8_t kBayer8[8][8] = {
    {0, 32, 8, 40, 2, 34, 10, 42},  {48, 16, 56, 24, 50, 18, 58, 26},
    {12, 44, 4, 36, 14, 46, 6, 38}, {60, 28, 52, 20, 62, 30, 54, 22},
    {3, 35, 11, 43, 1, 33, 9, 41},  {51, 19, 59, 27, 49, 17, 57, 25},
    {15, 47, 7, 39, 13, 45, 5, 37}, {63, 31, 55, 23, 61, 29, 53, 21}};

std::uint8_t toByte(double value) {
    return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 1.0) * 255.0));
}

}  // namespace

Bytes cadPlaneRow(std::int32_t y) {
    const Ink ink = cadInk(y);
    Bytes row(kPlaneBytes, 0);
    for (std::size_t x = 0; x < ink.size(); ++x) {
        if (ink[x] != kPaper) {
            row[x / 8] = static_cast<std::uint8_t>(row[x / 8] | 0x80u >> (x % 8));
        }
    }
    return row;
}

Bytes cadRgbRow(std::int32_t y) {
    static constexpr std::uint8_t kColours[][3] = {
        {255, 255, 255}, {0, 0, 0}, {0, 64, 200}, {210, 30, 30}, {20, 150, 60}};
    const Ink ink = cadInk(y);
    Bytes row;
    row.reserve(kRgbBytes);
    for (std::uint8_t colour : ink) {
        row.insert(row.end(), kColours[colour], kColours[colour] + 3);
    }
    return row;
}

Bytes ditheredPlaneRow(std::int32_t y, bool withGrain) {
    Bytes row(kPlaneBytes, 0);
    for (std::int32_t x = 0; x < kSheetWidth; ++x) {
        const double value = picture(x, y, 1) + (withGrain ? grain(x, y, 1) : 0.0);
        const double threshold = (kBayer8[y % 8][x % 8] + 0.5) / 64.0;
        if (value < threshold) {  // ink where the picture is dark
            const auto at = static_cast<std::size_t>(x);
            row[at / 8] = static_cast<std::uint8_t>(row[at / 8] | 0x80u >> (at % 8));
        }
    }
    return row;
}

Bytes photoRgbRow(std::int32_t y) {
    Bytes row;
    row.reserve(kRgbBytes);
    for (std::int32_t x = 0; x < kSheetWidth; ++x) {
        for (int c = 0; c < 3; ++c) {
            row.push_back(toByte(picture(x, y, c) + grain(x, y, c)));
        }
    }
    return row;
}

Bytes gradientRgbRow(std::int32_t y) {
    Bytes row;
    row.reserve(kRgbBytes);
    for (std::int32_t x = 0; x < kSheetWidth; ++x) {
        row.push_back(static_cast<std::uint8_t>(x * 255 / (kSheetWidth - 1)));
        row.push_back(static_cast<std::uint8_t>(y * 255 / (kSheetHeight - 1)));
        row.push_back(static_cast<std::uint8_t>((x + y) * 255 / (kSheetWidth + kSheetHeight - 2)));
    }
    return row;
}

Bytes randomRow(std::size_t length, std::int32_t y) {
    Bytes row(length);
    std::uint64_t state = static_cast<std::uint64_t>(y) * 0x2545F4914F6CDD1Dull;
    for (std::size_t i = 0; i < length; i += 8) {
        state = mix(state);
        for (std::size_t k = 0; k < 8 && i + k < length; ++k) {
            row[i + k] = static_cast<std::uint8_t>(state >> (8 * k));
        }
    }
    return row;
}

Bytes toDirect32(const Bytes &rgb) {
    Bytes row;
    row.reserve(rgb.size() / 3 * 4);
    for (std::size_t p = 0; p + 3 <= rgb.size(); p += 3) {
        row.insert(row.end(), {0x00, rgb[p], rgb[p + 1], rgb[p + 2]});
    }
    return row;
}

}  // namespace drv::bench
