// What `decode` and `preview` share: reading device bytes from a file or
// standard input, the --language and PCI framing options, and reporting
// what the decoder found wrong.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include <CLI/CLI.hpp>

#include "host/decode/detect_language.h"
#include "host/decode/drawing.h"

namespace drv::host {

struct DeviceInputArguments {
    std::string language; // empty: found from the bytes
    std::string bias;
    std::string radix;
    std::string sync;
    std::string syncCount;
    std::string terminator;
    std::string checksum;
};

// --language, --bias, --radix, --sync, --sync-count, --terminator, --checksum.
void addDeviceInputOptions(CLI::App &command, DeviceInputArguments &args);

// Device input is held in memory whole; larger input is refused.
constexpr std::size_t kMaxDeviceInput = std::size_t{1} << 30;

// Reads FILE, or standard input for "-", at most kMaxDeviceInput bytes.
bool readDeviceBytes(const std::string &path, std::vector<std::uint8_t> &bytes, std::string &error);

// Checks the options, then reads `path` and decodes it into `drawing`.
// Returns 0, or the exit status after printing why: 2 for an option value
// that is not one, 1 for input that cannot be read.
int readDeviceDrawing(const std::string &path, const DeviceInputArguments &args, decode::Drawing &drawing);

// The options as the decoder takes them; false with a message naming the
// option for a value that is not one.
bool deviceOptions(const DeviceInputArguments &args, std::optional<decode::Language> &language,
                   decode::PciFramingOptions &framing, std::string &error);

} // namespace drv::host
