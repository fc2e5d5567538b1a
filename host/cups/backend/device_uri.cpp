#include "host/cups/backend/device_uri.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <vector>

namespace drv::cups {
namespace {

constexpr std::string_view kScheme = "drvsuite:";

int hexValue(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
}

// %XX decoding; a stray '%' or an encoded NUL is an error.
bool percentDecode(std::string_view text, std::string &out, std::string &error) {
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') {
            out += text[i];
            continue;
        }
        const bool complete = i + 2 < text.size();
        const int high = complete ? hexValue(text[i + 1]) : -1;
        const int low = complete ? hexValue(text[i + 2]) : -1;
        if (high < 0 || low < 0 || (high == 0 && low == 0)) {
            error = "bad percent escape in \"" + std::string(text) + "\"";
            return false;
        }
        out += static_cast<char>(high * 16 + low);
        i += 2;
    }
    return true;
}

bool parseNumber(std::string_view key, std::string_view value, int min, int max, int &out,
                 std::string &error) {
    int parsed = 0;
    const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), parsed);
    if (value.empty() || ec != std::errc() || end != value.data() + value.size() || parsed < min ||
        parsed > max) {
        error = std::string(key) + " must be a whole number from " + std::to_string(min) +
                " to " + std::to_string(max) + ", not \"" + std::string(value) + "\"";
        return false;
    }
    out = parsed;
    return true;
}

// One query option; serial-line options only for a serial URI.
bool applyOption(std::string_view key, const std::string &value, DeviceUri &uri,
                 std::string &error) {
    const bool serial = uri.kind == DeviceUri::Kind::Serial;
    const auto serialOnly = [&] {
        if (!serial) {
            error = std::string(key) + "= is a serial-line option; a network plotter takes only "
                                       "contimeout= and stall-timeout=";
        }
        return serial;
    };
    if (key == "contimeout") {
        return parseNumber(key, value, 0, 365 * 24 * 3600, uri.connectTimeout, error);
    }
    if (key == "stall-timeout") {
        return parseNumber(key, value, 1, 24 * 3600, uri.stallTimeout, error);
    }
    if (key == "baud") {
        return serialOnly() && parseNumber(key, value, 1, 4000000, uri.serial.baud, error);
    }
    if (key == "bits" || key == "data-bits") {
        return serialOnly() && parseNumber(key, value, 5, 8, uri.serial.dataBits, error);
    }
    if (key == "stop" || key == "stop-bits") {
        return serialOnly() && parseNumber(key, value, 1, 2, uri.serial.stopBits, error);
    }
    if (key == "parity") {
        if (!serialOnly()) {
            return false;
        }
        if (!host::parseParity(value, uri.serial.parity)) {
            error = "parity must be none, even or odd, not \"" + value + "\"";
            return false;
        }
        return true;
    }
    if (key == "flow") {
        if (!serialOnly()) {
            return false;
        }
        const std::string name = value == "soft" ? "xonxoff" : value == "hard" ? "rtscts" : value;
        if (!host::parseFlowControl(name, uri.serial.flow)) {
            error = "flow must be none, xonxoff (soft) or rtscts (hard), not \"" + value + "\"";
            return false;
        }
        return true;
    }
    error = "unknown option \"" + std::string(key) +
            "\" (known: baud, bits, parity, stop, flow, contimeout, stall-timeout)";
    return false;
}

bool parseQuery(std::string_view query, DeviceUri &uri, std::string &error) {
    std::vector<std::string> seen;
    while (!query.empty()) {
        const std::size_t amp = query.find('&');
        const std::string_view pair = query.substr(0, amp);
        query = amp == std::string_view::npos ? std::string_view() : query.substr(amp + 1);
        if (pair.empty()) {
            continue;
        }
        const std::size_t eq = pair.find('=');
        std::string key;
        std::string value;
        if (eq == std::string_view::npos) {
            error = "option \"" + std::string(pair) + "\" has no value (write NAME=VALUE)";
            return false;
        }
        if (!percentDecode(pair.substr(0, eq), key, error) ||
            !percentDecode(pair.substr(eq + 1), value, error)) {
            return false;
        }
        std::transform(key.begin(), key.end(), key.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (std::find(seen.begin(), seen.end(), key) != seen.end()) {
            error = "option \"" + key + "\" is given twice";
            return false;
        }
        seen.push_back(key);
        if (!applyOption(key, value, uri, error)) {
            return false;
        }
    }
    return true;
}

// HOST, HOST:PORT, [V6] or [V6]:PORT.
bool parseAuthority(std::string_view authority, DeviceUri &uri, std::string &error) {
    if (authority.find('@') != std::string_view::npos) {
        error = "a plotter's URI takes no user name";
        return false;
    }
    std::string_view name = authority;
    std::string_view port;
    bool hasPort = false;
    if (!name.empty() && name.front() == '[') {
        const std::size_t close = name.find(']');
        if (close == std::string_view::npos) {
            error = "the IPv6 address has no closing ']'";
            return false;
        }
        const std::string_view rest = name.substr(close + 1);
        if (!rest.empty() && rest.front() != ':') {
            error = "unexpected \"" + std::string(rest) + "\" after the IPv6 address";
            return false;
        }
        hasPort = !rest.empty();
        port = hasPort ? rest.substr(1) : rest;
        name = name.substr(1, close - 1);
    } else if (const std::size_t colon = name.rfind(':'); colon != std::string_view::npos) {
        hasPort = true;
        port = name.substr(colon + 1);
        name = name.substr(0, colon);
        if (name.find(':') != std::string_view::npos) {
            error = "write an IPv6 address in brackets: drvsuite://[ADDRESS]:PORT";
            return false;
        }
    }
    if (name.empty()) {
        error = "no host name";
        return false;
    }
    if (!percentDecode(name, uri.host, error)) {
        return false;
    }
    if (hasPort) {
        int number = 0;
        if (port.empty()) {
            error = "the port after ':' is missing";
            return false;
        }
        if (!parseNumber("the port", port, 1, 65535, number, error)) {
            return false;
        }
        uri.port = std::to_string(number);
    }
    return true;
}

} // namespace

std::string DeviceUri::where() const {
    if (kind == Kind::Serial) {
        return path;
    }
    const bool v6 = host.find(':') != std::string::npos;
    return (v6 ? "[" + host + "]" : host) + ":" + port;
}

bool parseDeviceUri(std::string_view text, DeviceUri &out, std::string &error) {
    const auto fail = [&](const std::string &reason) {
        error = "bad device URI \"" + std::string(text) + "\": " + reason;
        return false;
    };
    const bool schemeMatches =
        text.size() >= kScheme.size() &&
        std::equal(kScheme.begin(), kScheme.end(), text.begin(), [](char a, char b) {
            return a == std::tolower(static_cast<unsigned char>(b));
        });
    if (!schemeMatches) {
        return fail("it must start with drvsuite:");
    }
    if (std::any_of(text.begin(), text.end(),
                    [](char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; })) {
        return fail("a URI holds no control characters (write them as %XX)");
    }
    std::string_view rest = text.substr(kScheme.size());
    const std::size_t question = rest.find('?');
    const std::string_view query =
        question == std::string_view::npos ? std::string_view() : rest.substr(question + 1);
    rest = rest.substr(0, question);
    if (rest.find('#') != std::string_view::npos) {
        return fail("a plotter's URI takes no fragment ('#')");
    }

    DeviceUri uri;
    std::string reason;
    std::string_view path = rest;
    if (rest.substr(0, 2) == "//") {
        rest.remove_prefix(2);
        const std::size_t slash = rest.find('/');
        const std::string_view authority = rest.substr(0, slash);
        path = slash == std::string_view::npos ? std::string_view() : rest.substr(slash);
        if (!authority.empty()) {
            uri.kind = DeviceUri::Kind::Tcp;
            if (!parseAuthority(authority, uri, reason)) {
                return fail(reason);
            }
            if (!path.empty() && path != "/") {
                return fail("a network plotter's URI takes no path (write drvsuite://HOST:PORT)");
            }
        }
    }
    if (uri.kind == DeviceUri::Kind::Serial) {
        if (path.empty() || path.front() != '/') {
            return fail("write drvsuite:/dev/TTY for a serial line or drvsuite://HOST:PORT for "
                        "a network plotter");
        }
        if (!percentDecode(path, uri.path, reason)) {
            return fail(reason);
        }
        if (uri.path == "/" || uri.path.back() == '/') {
            return fail("\"" + uri.path + "\" is a folder, not a serial device");
        }
    }
    if (!parseQuery(query, uri, reason)) {
        return fail(reason);
    }
    out = std::move(uri);
    return true;
}

} // namespace drv::cups
