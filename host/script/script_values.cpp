#include "host/script/script_values.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "drvsuite/plotter.h"
#include "host/util/ascii_text.h"
#include "host/util/escapes.h"

namespace drv::host {
namespace {

struct FlagName {
    std::string_view name;
    std::int32_t bit;
};

// Both drivers' names for the job option bits; a bit may have two names.
constexpr FlagName kFlagNames[] = {
    {"PeBase64", FlagPeBase64},
    {"DevicePreamble", FlagDevicePreamble},
    {"PlanesUncompressed", FlagPlanesUncompressed},
    {"AltPenSelect", FlagAltPenSelect},
    {"ColorUncompressed", FlagColorUncompressed},
    {"HaltAfterRaster", FlagHaltAfterRaster},
    {"NoRotation", FlagNoRotation},
    {"ExpandPalette", FlagExpandPalette},
};

bool fail(ValueError &error, std::size_t offset, std::string message) {
    error.offset = offset;
    error.message = std::move(message);
    return false;
}

bool looksReal(std::string_view token) {
    double ignored = 0;
    const char *end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(token.data(), end, ignored);
    return ec == std::errc() && ptr == end;
}

bool parseCharacter(std::string_view token, std::int32_t &value, ValueError &error) {
    if (token.size() < 3 || token.back() != '\'') {
        return fail(error, 0, "unterminated character literal");
    }
    std::string decoded;
    std::size_t offset = 0;
    std::string message;
    if (!decodeEscapes(token.substr(1, token.size() - 2), decoded, offset, message)) {
        return fail(error, offset + 1, message);
    }
    if (decoded.size() != 1) {
        return fail(error, 0, "a character literal holds exactly one character");
    }
    value = static_cast<unsigned char>(decoded[0]);
    return true;
}

} // namespace

bool parseInteger(std::string_view token, std::int64_t min, std::int64_t max, std::int32_t &value,
                  ValueError &error) {
    if (token.empty()) {
        return fail(error, 0, "missing value");
    }
    if (token.front() == '\'') {
        std::int32_t c = 0;
        if (!parseCharacter(token, c, error)) {
            return false;
        }
        value = c;
        return true;
    }
    std::size_t pos = 0;
    const bool negative = token[0] == '-';
    if (token[0] == '-' || token[0] == '+') {
        pos = 1;
    }
    int base = 10;
    if (token.size() > pos + 2 && token[pos] == '0' &&
        (token[pos + 1] == 'x' || token[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    std::uint64_t magnitude = 0;
    const char *begin = token.data() + pos;
    const char *end = token.data() + token.size();
    const auto [ptr, ec] = std::from_chars(begin, end, magnitude, base);
    if (ptr != end || ec == std::errc::invalid_argument || begin == end) {
        if (base == 10 && looksReal(token)) {
            return fail(error, 0,
                        "'" + std::string(token) +
                            "' is a real number; this cell takes an integer");
        }
        return fail(error, static_cast<std::size_t>(ptr - token.data()),
                    "'" + std::string(token) + "' is not an integer");
    }
    const auto limit = static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max());
    if (ec == std::errc::result_out_of_range || magnitude > limit) {
        return fail(error, 0, "'" + std::string(token) + "' is out of range");
    }
    const std::int64_t signedValue =
        negative ? -static_cast<std::int64_t>(magnitude) : static_cast<std::int64_t>(magnitude);
    if (signedValue < min || signedValue > max) {
        return fail(error, 0,
                    "'" + std::string(token) + "' is out of range " + std::to_string(min) + ".." +
                        std::to_string(max));
    }
    value = static_cast<std::int32_t>(signedValue);
    return true;
}

bool parseReal(std::string_view token, float &value, ValueError &error) {
    if (token.empty()) {
        return fail(error, 0, "missing value");
    }
    std::string_view digits = token;
    if (digits.front() == '+') {
        digits.remove_prefix(1);
    }
    double parsed = 0;
    const char *end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, parsed);
    if (ec == std::errc::invalid_argument || ptr != end || digits.empty()) {
        return fail(error, static_cast<std::size_t>(ptr - token.data()),
                    "'" + std::string(token) + "' is not a number");
    }
    if (ec == std::errc::result_out_of_range || !std::isfinite(parsed) ||
        std::fabs(parsed) > static_cast<double>(std::numeric_limits<float>::max())) {
        return fail(error, 0, "'" + std::string(token) + "' does not fit a single-precision real");
    }
    value = static_cast<float>(parsed);
    return true;
}

bool parseFlags(std::string_view token, std::int32_t &value, ValueError &error) {
    if (!token.empty() && (token[0] == '-' || (token[0] >= '0' && token[0] <= '9'))) {
        return parseInteger(token, std::numeric_limits<std::int32_t>::min(),
                            std::numeric_limits<std::uint32_t>::max(), value, error);
    }
    std::int32_t bits = 0;
    std::size_t start = 0;
    while (start <= token.size()) {
        std::size_t stop = token.find_first_of("|+", start);
        if (stop == std::string_view::npos) {
            stop = token.size();
        }
        std::string_view name = token.substr(start, stop - start);
        if (name.size() > 4 && equalsIgnoreCase(name.substr(0, 4), "flag")) {
            name.remove_prefix(4);
        }
        bool known = false;
        for (const FlagName &flag : kFlagNames) {
            if (equalsIgnoreCase(flag.name, name)) {
                bits |= flag.bit;
                known = true;
                break;
            }
        }
        if (!known) {
            return fail(error, start,
                        "unknown flag '" + std::string(token.substr(start, stop - start)) + "'");
        }
        start = stop + 1;
    }
    value = bits;
    return true;
}

bool parseHexBytes(std::string_view token, std::vector<std::uint8_t> &bytes, ValueError &error) {
    std::size_t i = 0;
    while (i < token.size()) {
        if ((token[i] == '_' || token[i] == ',') && i > 0) {
            ++i;
            continue;
        }
        const int high = hexDigitValue(token[i]);
        const int low = i + 1 < token.size() ? hexDigitValue(token[i + 1]) : -1;
        if (high < 0 || low < 0) {
            const std::size_t bad = high < 0 ? i : i + 1;
            return fail(error, bad,
                        bad < token.size() ? "not a pair of hex digits"
                                           : "odd number of hex digits");
        }
        bytes.push_back(static_cast<std::uint8_t>(high * 16 + low));
        i += 2;
    }
    return true;
}

bool parsePalette(std::string_view token, std::size_t maxEntries, std::vector<Rgb> &colours,
                  ValueError &error) {
    std::size_t start = 0;
    while (start < token.size()) {
        std::size_t stop = token.find(',', start);
        if (stop == std::string_view::npos) {
            stop = token.size();
        }
        const std::string_view entry = token.substr(start, stop - start);
        int channel[3] = {};
        bool good = entry.size() == 7 && entry[0] == '#';
        for (int c = 0; good && c < 3; ++c) {
            const int high = hexDigitValue(entry[1 + 2 * static_cast<std::size_t>(c)]);
            const int low = hexDigitValue(entry[2 + 2 * static_cast<std::size_t>(c)]);
            good = high >= 0 && low >= 0;
            channel[c] = high * 16 + low;
        }
        if (!good) {
            return fail(error, start, "palette entries are written #RRGGBB");
        }
        if (colours.size() == maxEntries) {
            return fail(error, start,
                        "a palette holds at most " + std::to_string(maxEntries) + " entries");
        }
        colours.push_back({static_cast<std::uint8_t>(channel[0]),
                           static_cast<std::uint8_t>(channel[1]),
                           static_cast<std::uint8_t>(channel[2])});
        start = stop + 1;
        if (stop + 1 == token.size()) {
            return fail(error, stop, "palette ends with a comma");
        }
    }
    if (colours.empty()) {
        return fail(error, 0, "empty palette");
    }
    return true;
}

} // namespace drv::host
