#include "host/drawing/dxf/aci_colours.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace drv::drawing::dxf {
namespace {

constexpr std::array<std::uint32_t, 10> kFirst = {
    0x000000, 0xFF0000, 0xFFFF00, 0x00FF00, 0x00FFFF, 0x0000FF, 0xFF00FF, 0x000000, 0x808080, 0xC0C0C0};

constexpr std::array<std::uint8_t, 6> kGreys = {0x33, 0x50, 0x69, 0x82, 0xBE, 0xFF};

// Shades of each hue, bright to dark; odd shades are half saturated.
constexpr double kShadeValue[5] = {1.0, 0.8, 0.6, 0.5, 0.3};

std::uint8_t byte(double v) {
    return static_cast<std::uint8_t>(std::lround(std::fmin(std::fmax(v, 0.0), 1.0) * 255));
}

} // namespace

Colour aciColour(int index) {
    if (index >= 1 && index <= 9) {
        const std::uint32_t rgb = kFirst[static_cast<std::size_t>(index)];
        return {static_cast<std::uint8_t>(rgb >> 16), static_cast<std::uint8_t>(rgb >> 8),
                static_cast<std::uint8_t>(rgb)};
    }
    if (index >= 250 && index <= 255) {
        const std::uint8_t g = kGreys[static_cast<std::size_t>(index - 250)];
        return {g, g, g};
    }
    if (index < 10 || index > 249) {
        return {};
    }
    // 10..249: 24 hues 15 degrees apart, ten shades each.
    const int hue = (index - 10) / 10;
    const int shade = (index - 10) % 10;
    const double value = kShadeValue[shade / 2];
    const double saturation = shade % 2 == 0 ? 1.0 : 0.5;
    const double h = hue * 15.0 / 60.0;
    const double c = value * saturation;
    const double x = c * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    const double m = value - c;
    double r = 0, g = 0, b = 0;
    switch (static_cast<int>(h)) {
    case 0: r = c; g = x; break;
    case 1: r = x; g = c; break;
    case 2: g = c; b = x; break;
    case 3: g = x; b = c; break;
    case 4: r = x; b = c; break;
    default: r = c; b = x; break;
    }
    return {byte(r + m), byte(g + m), byte(b + m)};
}

} // namespace drv::drawing::dxf
