// Readers for the values of script arguments: integers, reals, flag sets,
// hex row bytes and palettes. Each reads one whole token; on failure it
// returns false with the offset of the fault inside the token and a message
// meant for a person.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "host/util/rgb.h"

namespace drv::host {

struct ValueError {
    std::size_t offset = 0;
    std::string message;
};

// A decimal or 0x-hexadecimal integer with an optional sign, or a character
// in single quotes ('A', '\r'), within [min, max]. A real number is refused
// with a message saying so.
bool parseInteger(std::string_view token, std::int64_t min, std::int64_t max, std::int32_t &value,
                  ValueError &error);

// A finite real that fits a single-precision float (integers included).
bool parseReal(std::string_view token, float &value, ValueError &error);

// Job flags: an integer, or flag names joined by '|' or '+', each with or
// without its "Flag" prefix, case-insensitive (FlagExpandPalette|NoRotation).
bool parseFlags(std::string_view token, std::int32_t &value, ValueError &error);

// Pairs of hex digits, optionally separated by '_' or ',' between bytes.
bool parseHexBytes(std::string_view token, std::vector<std::uint8_t> &bytes, ValueError &error);

// Comma-separated colours "#RRGGBB", at most `maxEntries` of them.
bool parsePalette(std::string_view token, std::size_t maxEntries, std::vector<Rgb> &colours,
                  ValueError &error);

} // namespace drv::host
