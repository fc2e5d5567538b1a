#include "host/cli/device_input.h"

#include <cstdio>
#include <fstream>
#include <iostream>

#include "host/script/script_values.h"

namespace drv::host {

void addDeviceInputOptions(CLI::App &command, DeviceInputArguments &args) {
    command.add_option("--language", args.language, "hpgl2 or pci (default: found from the bytes)")
        ->check(CLI::IsMember({"hpgl2", "pci"}));
    command.add_option("--bias", args.bias, "PCI: the bias character (default: found from the stream)");
    command.add_option("--radix", args.radix, "PCI: the radix of coordinate digits, 2..127 (default 32)");
    command.add_option("--sync", args.sync, "PCI: the sync character (default: found from the stream)");
    command.add_option("--sync-count", args.syncCount, "PCI: sync characters per record (default: found)");
    command.add_option("--terminator", args.terminator, "PCI: the record terminator (default: found)");
    command.add_option("--checksum", args.checksum, "PCI: 1 when records carry a checksum (default: found)");
}

bool readDeviceBytes(const std::string &path, std::vector<std::uint8_t> &bytes, std::string &error) {
    std::FILE *file = path == "-" ? stdin : std::fopen(path.c_str(), "rb");
    if (file == nullptr) {
        error = path + ": cannot read the device bytes";
        return false;
    }
    bytes.clear();
    std::uint8_t buffer[1 << 16];
    bool ok = true;
    for (;;) {
        const std::size_t n = std::fread(buffer, 1, sizeof buffer, file);
        if (bytes.size() + n > kMaxDeviceInput) {
            error = path + ": more than 1 GiB of device bytes";
            ok = false;
            break;
        }
        bytes.insert(bytes.end(), buffer, buffer + n);
        if (n < sizeof buffer) {
            if (std::ferror(file)) {
                error = path + ": read error";
                ok = false;
            }
            break;
        }
    }
    if (file != stdin) {
        std::fclose(file);
    }
    return ok;
}

bool deviceOptions(const DeviceInputArguments &args, std::optional<decode::Language> &language,
                   decode::PciFramingOptions &framing, std::string &error) {
    language = decode::languageNamed(args.language);
    struct Byte {
        const char *option;
        const std::string &text;
        std::int64_t min;
        std::int64_t max;
        std::optional<int> &value;
    };
    std::optional<int> checksum;
    const Byte kBytes[] = {
        {"--bias", args.bias, -128, 255, framing.bias},
        {"--radix", args.radix, 2, 127, framing.radix},
        {"--sync", args.sync, -128, 255, framing.syncChar},
        {"--sync-count", args.syncCount, 0, 127, framing.syncCount},
        {"--terminator", args.terminator, 1, 255, framing.terminator},
        {"--checksum", args.checksum, 0, 1, checksum},
    };
    for (const Byte &b : kBytes) {
        if (b.text.empty()) {
            continue;
        }
        std::int32_t value = 0;
        ValueError why;
        if (!parseInteger(b.text, b.min, b.max, value, why)) {
            error = std::string(b.option) + ": " + why.message;
            return false;
        }
        // Bytes take their low 8 bits, as the driver reads them.
        b.value = b.max == 255 ? value & 0xFF : value;
        if (!language && b.option != std::string("--checksum")) {
            language = decode::Language::Pci;
        }
    }
    if (checksum) {
        framing.checksum = *checksum != 0;
        language = language.value_or(decode::Language::Pci);
    }
    return true;
}

int readDeviceDrawing(const std::string &path, const DeviceInputArguments &args, decode::Drawing &drawing) {
    std::optional<decode::Language> language;
    decode::PciFramingOptions framing;
    std::string error;
    if (!deviceOptions(args, language, framing, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 2;
    }
    std::vector<std::uint8_t> bytes;
    if (!readDeviceBytes(path, bytes, error)) {
        std::cerr << "drvhost: " << error << '\n';
        return 1;
    }
    drawing = decode::decodeDevice(bytes, language, framing);
    return 0;
}

} // namespace drv::host
