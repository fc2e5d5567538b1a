#include "host/cups/backend/serial_ports.h"

#include <fcntl.h>
#include <linux/serial.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <map>
#include <string_view>
#include <system_error>

namespace drv::cups {
namespace {

namespace fs = std::filesystem;

struct NodeFamily {
    std::string_view prefix;
    std::string_view kind;
    bool probeUart; // the node exists without hardware: ask the driver
};

constexpr NodeFamily kFamilies[] = {
    {"ttyUSB", "USB serial", false},
    {"ttyACM", "USB modem-class", false},
    {"ttyS", "on-board UART", true},
    {"ttyAMA", "on-board UART", true},
};

const NodeFamily *familyOf(std::string_view name) {
    for (const NodeFamily &family : kFamilies) {
        if (name.substr(0, family.prefix.size()) == family.prefix && name.size() > family.prefix.size() &&
            std::all_of(name.begin() + static_cast<std::ptrdiff_t>(family.prefix.size()), name.end(),
                        [](unsigned char c) { return std::isdigit(c) != 0; })) {
            return &family;
        }
    }
    return nullptr;
}

bool isCharacterDevice(const fs::path &path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISCHR(info.st_mode);
}

// Whether a UART is really there: the serial driver reports PORT_UNKNOWN
// for a node without hardware.
bool uartPresent(const fs::path &path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    serial_struct info{};
    const bool present = ::ioctl(fd, TIOCGSERIAL, &info) == 0 && info.type != PORT_UNKNOWN;
    ::close(fd);
    return present;
}

// "ttyS10" after "ttyS9".
bool kernelNameLess(const std::string &a, const std::string &b) {
    const auto split = [](const std::string &name) {
        const std::size_t digits = name.find_first_of("0123456789");
        const std::string prefix = name.substr(0, digits);
        return std::make_pair(prefix, digits == std::string::npos ? 0UL : std::stoul(name.substr(digits)));
    };
    return split(a) < split(b);
}

// A path as it stands in a URI: bytes outside the unreserved set escaped.
std::string uriPath(std::string_view path) {
    constexpr std::string_view kPlain = "/._-~:+,=";
    std::string out;
    for (const char c : path) {
        const auto byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) != 0 || kPlain.find(c) != std::string_view::npos) {
            out += c;
        } else {
            constexpr char kHex[] = "0123456789ABCDEF";
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 15];
        }
    }
    return out;
}

std::string quotedField(std::string_view text) {
    std::string out = "\"";
    for (const char c : text) {
        out += c == '"' ? '\'' : c;
    }
    return out + "\"";
}

} // namespace

std::vector<SerialPort> findSerialPorts(const std::string &devDir) {
    std::error_code ec;
    // Stable names first: /dev/serial/by-id/usb-<maker>_<serial>-if00-port0
    // keeps naming the same adapter whichever ttyUSB number it gets.
    std::map<std::string, std::string> stableName;
    for (const fs::directory_entry &entry :
         fs::directory_iterator(fs::path(devDir) / "serial" / "by-id", ec)) {
        // udev's links point straight at the kernel's node (../../ttyUSB0).
        fs::path target = fs::read_symlink(entry.path(), ec);
        if (ec) {
            continue;
        }
        if (target.is_relative()) {
            target = (entry.path().parent_path() / target).lexically_normal();
        }
        stableName.emplace(target.filename().string(), entry.path().string());
    }
    std::vector<SerialPort> ports;
    for (const fs::directory_entry &entry : fs::directory_iterator(devDir, ec)) {
        const std::string name = entry.path().filename().string();
        const NodeFamily *family = familyOf(name);
        if (family == nullptr || !isCharacterDevice(entry.path()) ||
            (family->probeUart && !uartPresent(entry.path()))) {
            continue;
        }
        const auto stable = stableName.find(name);
        ports.push_back({stable != stableName.end() ? stable->second : entry.path().string(), name,
                         std::string(family->kind)});
    }
    std::sort(ports.begin(), ports.end(), [](const SerialPort &a, const SerialPort &b) {
        return kernelNameLess(a.kernel, b.kernel);
    });
    return ports;
}

std::string deviceListing(const std::vector<SerialPort> &ports) {
    std::string out;
    for (const SerialPort &port : ports) {
        out += "serial drvsuite:" + uriPath(port.path) + " \"Unknown\" " +
               quotedField("Plotter on " + port.kernel + " (" + port.kind + ")") + "\n";
    }
    out += "network drvsuite \"Unknown\" \"Network plotter (raw TCP, drvsuite://HOST:PORT)\"\n";
    return out;
}

} // namespace drv::cups
