// A deterministic photograph for the picture tests and benchmarks: smooth
// shading with a bright and a dark blob, and film grain, with about as many
// distinct colours as a camera picture of its size (a 4000 x 3000 one has
// 789,454). Integer arithmetic only, so that every machine and
// library makes the same bytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace drv::testing {
namespace photo_detail {

inline std::uint64_t mix(std::uint64_t x) {  // splitmix64's finaliser
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

constexpr std::int64_t kOne = 1 << 16;  // fixed point: 1.0

// A sine-like wave of period kOne (two parabolas), -kOne..kOne.
inline std::int64_t wave(std::int64_t phase) {
    const std::int64_t p = ((phase % kOne) + kOne) % kOne;
    const std::int64_t half = p < kOne / 2 ? p : p - kOne / 2;
    const std::int64_t arch = 16 * half * (kOne / 2 - half) / kOne;  // 0..kOne
    return p < kOne / 2 ? arch : -arch;
}

// A round blob centred on 0: 1 there, 0 from `radius` on.
inline std::int64_t blob(std::int64_t d, std::int64_t radius) {
    if (d <= -radius || d >= radius) {
        return 0;
    }
    const std::int64_t r = kOne - d * d / radius * kOne / radius;
    return r * r / kOne;
}

}  // namespace photo_detail

// `width` x `height` pixels, red, green, blue per pixel, rows top to bottom.
inline std::vector<std::uint8_t> photoPicture(std::size_t width, std::size_t height) {
    using namespace photo_detail;
    std::vector<std::uint8_t> pixels;
    pixels.reserve(width * height * 3);
    for (std::size_t row = 0; row < height; ++row) {
        const auto v = static_cast<std::int64_t>(row) * kOne / static_cast<std::int64_t>(height);
        for (std::size_t column = 0; column < width; ++column) {
            const auto u =
                static_cast<std::int64_t>(column) * kOne / static_cast<std::int64_t>(width);
            const std::uint64_t noise = mix(std::uint64_t{row} << 32 | column);
            const std::int64_t bright = blob(u - kOne * 2 / 5, kOne / 3) *
                                        blob(v - kOne * 3 / 5, kOne / 3) / kOne;
            const std::int64_t dark = blob(u - kOne * 3 / 4, kOne / 4) *
                                      blob(v - kOne * 3 / 10, kOne / 4) / kOne;
            for (std::int64_t c = 0; c < 3; ++c) {
                std::int64_t value = kOne * 55 / 100 +
                                     wave(u + c * kOne / 3) * wave(v * 2 / 3 - c * kOne / 6) /
                                         (4 * kOne) +
                                     bright * 3 / 10 - dark / 4;
                // Grain: up to 4 levels either way.
                value += static_cast<std::int64_t>(noise >> (21 * c) & 0x1FFFFF) * 8 * kOne /
                             (255 * 0x200000) -
                         4 * kOne / 255;
                value = value < 0 ? 0 : value > kOne ? kOne : value;
                pixels.push_back(static_cast<std::uint8_t>((value * 255 + kOne / 2) / kOne));
            }
        }
    }
    return pixels;
}

}  // namespace drv::testing
