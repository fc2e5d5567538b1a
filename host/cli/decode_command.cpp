#include "host/cli/decode_command.h"

#include <filesystem>
#include <iostream>

#include "host/cli/preview_output.h"
#include "host/decode/json_lines.h"
#include "host/picture/png_file.h"

namespace drv::host {
namespace {

namespace fs = std::filesystem;

// Writes each image as image-N.png into `dir`; returns their names, or
// false with the reason.
bool writeImages(const decode::Drawing &drawing, const std::string &dir, std::vector<std::string> &names,
                 std::string &error) {
    std::error_code ec;
    fs::create_directories(dir, ec);
    if (ec) {
        error = dir + ": " + ec.message();
        return false;
    }
    for (const decode::Element &element : drawing.elements) {
        const auto *image = std::get_if<decode::Image>(&element);
        if (image == nullptr) {
            continue;
        }
        const std::string name = "image-" + std::to_string(names.size() + 1) + ".png";
        RgbImage picture{static_cast<std::size_t>(image->columns), static_cast<std::size_t>(image->rows),
                         image->pixels};
        if (!writePng((fs::path(dir) / name).string(), picture, error)) {
            return false;
        }
        names.push_back(name);
    }
    return true;
}

} // namespace

DecodeCommand::DecodeCommand(CLI::App &app)
    : Subcommand(app, "decode", "print the drawing that device bytes make, as JSON lines") {
    command_->add_option("file", input_, "device bytes: FILE or - (standard input)")->required();
    command_->add_option("--images", imagesDir_, "folder for the images, as image-N.png");
    addDeviceInputOptions(*command_, device_);
}

int DecodeCommand::run() {
    decode::Drawing drawing;
    if (const int status = readDeviceDrawing(input_, device_, drawing); status != 0) {
        return status;
    }
    std::string error;
    std::vector<std::string> names;
    if (!imagesDir_.empty() && !writeImages(drawing, imagesDir_, names, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 1;
    }
    decode::writeJsonLines(std::cout, drawing, names);
    std::cout.flush();
    const std::string name = input_ == "-" ? "<stdin>" : input_;
    return reportProblems(name, drawing) > 0 || !std::cout ? 1 : 0;
}

} // namespace drv::host
