#include "host/picture/png_file.h"

#include <png.h>

#include <cstring>

namespace drv::host {

namespace {

// The rest of a read begun on `png`: the size checked, the rows decoded.
bool finishRead(png_image &png, RgbImage &image, std::string &error, std::size_t maxPixels) {
    const std::size_t pixels = std::size_t{png.width} * png.height;
    if (png.width == 0 || png.height == 0 || png.width > kMaxPictureSide ||
        png.height > kMaxPictureSide || pixels > maxPixels) {
        error = "picture is " + std::to_string(png.width) + " x " + std::to_string(png.height) +
                " pixels; the host takes at most " + std::to_string(kMaxPictureSide) +
                " on a side and " + std::to_string(maxPixels) + " in all";
        png_image_free(&png);
        return false;
    }
    png.format = PNG_FORMAT_RGB;
    image.width = png.width;
    image.height = png.height;
    image.pixels.assign(pixels * 3, 0);
    png_color paper{0xFF, 0xFF, 0xFF};
    if (png_image_finish_read(&png, &paper, image.pixels.data(), 0, nullptr) == 0) {
        error = png.message;
        png_image_free(&png);
        return false;
    }
    return true;
}

} // namespace

bool readPng(const std::string &path, RgbImage &image, std::string &error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_file(&png, path.c_str()) == 0) {
        error = png.message;
        return false;
    }
    return finishRead(png, image, error, kMaxPicturePixels);
}

bool readPngBytes(const std::uint8_t *data, std::size_t size, RgbImage &image,
                  std::string &error, std::size_t maxPixels) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    if (png_image_begin_read_from_memory(&png, data, size) == 0) {
        error = png.message;
        return false;
    }
    return finishRead(png, image, error, maxPixels);
}

bool writePng(const std::string &path, const RgbImage &image, std::string &error) {
    png_image png;
    std::memset(&png, 0, sizeof png);
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width);
    png.height = static_cast<png_uint_32>(image.height);
    png.format = PNG_FORMAT_RGB;
    if (png_image_write_to_file(&png, path.c_str(), 0, image.pixels.data(), 0, nullptr) == 0) {
        error = png.message;
        return false;
    }
    return true;
}

} // namespace drv::host
