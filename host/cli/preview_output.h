// Writing a preview file: the drawing rendered in the format its name asks
// for, into a temporary file renamed into place only once it is whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/decode/detect_language.h"
#include "host/decode/drawing.h"

namespace drv::host {

struct PreviewFile {
    std::string path; // .svg, .png or .pdf
    double dpi = 96;
    std::size_t page = 0; // 0: every page in a PDF, the first otherwise
};

// Renders and writes `drawing`. False with the reason in `error`; no file
// is left behind then.
bool writePreview(const decode::Drawing &drawing, const PreviewFile &file, std::string &error);

// The language and PCI framing of the bytes a plot script makes with the
// named driver: HP-GL/2 for quillane; PCI for drevant, framed as the
// script's BeginJob says. Nothing known for another driver.
bool scriptDeviceLanguage(std::string_view driver, std::string_view script,
                          std::optional<decode::Language> &language, decode::PciFramingOptions &framing);

// Prints each of the drawing's problems as "NAME: offset N[, record R]:
// message" on standard error and returns how many there were.
std::size_t reportProblems(const std::string &name, const decode::Drawing &drawing);

// Decodes the bytes the plot script `script` made with `driver` and writes
// their preview; the decoder's problems are printed as "NAME: ...", and
// counted in `problems`.
bool previewPlottedBytes(std::string_view driver, std::string_view script, const std::string &name,
                         const std::vector<std::uint8_t> &bytes, const PreviewFile &file,
                         std::size_t &problems, std::string &error);

} // namespace drv::host
