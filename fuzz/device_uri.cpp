// Device URIs of the CUPS backend, as an administrator may type anything
// into lpadmin -v: every text is read into a usable plotter address or
// refused with a reason that quotes it.
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "host/cups/backend/device_uri.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using drv::cups::DeviceUri;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    DeviceUri uri;
    std::string error;
    if (!drv::cups::parseDeviceUri(text, uri, error)) {
        FUZZ_CHECK(error.rfind("bad device URI \"", 0) == 0);
        FUZZ_CHECK(error.find(text) != std::string::npos);
        return 0;
    }
    FUZZ_CHECK(error.empty());
    FUZZ_CHECK(uri.connectTimeout >= 0 && uri.stallTimeout >= 1);
    if (uri.kind == DeviceUri::Kind::Serial) {
        FUZZ_CHECK(uri.path.size() > 1 && uri.path.front() == '/' && uri.path.back() != '/');
        FUZZ_CHECK(uri.path.find('\0') == std::string::npos);
        FUZZ_CHECK(uri.serial.baud >= 1 && uri.serial.dataBits >= 5 && uri.serial.dataBits <= 8);
        FUZZ_CHECK(uri.serial.stopBits == 1 || uri.serial.stopBits == 2);
        FUZZ_CHECK(uri.where() == uri.path);
    } else {
        FUZZ_CHECK(!uri.host.empty() && uri.host.find('\0') == std::string::npos);
        const int port = std::stoi(uri.port);
        FUZZ_CHECK(port >= 1 && port <= 65535 && std::to_string(port) == uri.port);
        FUZZ_CHECK(uri.where().size() > uri.host.size());
    }
    return 0;
}
