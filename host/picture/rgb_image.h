// A picture in memory, 8-bit RGB, and the way a job producer reads one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "host/util/rgb.h"

namespace drv::host {

struct RgbImage {
    std::size_t width = 0;
    std::size_t height = 0;
    std::vector<std::uint8_t> pixels; // 3 bytes per pixel, rows top to bottom

    Rgb at(std::size_t x, std::size_t y) const {
        const std::uint8_t *p = &pixels[(y * width + x) * 3];
        return {p[0], p[1], p[2]};
    }
};

// Reads the picture at `path` (readPng, or a test double standing in for
// the file system). Returns false with the reason in `error`.
using PictureLoader = bool (*)(const std::string &path, RgbImage &image, std::string &error);

} // namespace drv::host
