// PNG pictures in and out, through libpng's simplified interface.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "host/picture/rgb_image.h"

namespace drv::host {

// Pictures larger than this many pixels on a side are refused: a plotter
// image row is limited to that width, and the whole picture is held in
// memory while the job is put together.
constexpr std::size_t kMaxPictureSide = 32767;
constexpr std::size_t kMaxPicturePixels = std::size_t{1} << 26;

// Reads any PNG (palette, grey, 16-bit, with or without alpha) as 8-bit RGB,
// transparent parts laid over white paper. On failure returns false with
// libpng's reason or the size limit in `error`.
bool readPng(const std::string &path, RgbImage &image, std::string &error);

// The same for a PNG held in memory, refusing pictures of more than
// `maxPixels` pixels before their rows are read.
bool readPngBytes(const std::uint8_t *data, std::size_t size, RgbImage &image,
                  std::string &error, std::size_t maxPixels = kMaxPicturePixels);

// Writes `image` as an 8-bit RGB PNG. On failure returns false with the
// reason in `error`.
bool writePng(const std::string &path, const RgbImage &image, std::string &error);

} // namespace drv::host
