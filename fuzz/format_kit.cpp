// The formatting kit on fuzzed formats and numbers.
//
// formatText has no capacity argument, so the output room is derived from
// what the call can write: every format byte yields at most one byte, and
// each of the seven arguments at most 31 (a real), the strings included.
// The output block has exactly that size (the sanitizer watches its end),
// and the count must point at the closing NUL.
// formatReal must write a plain decimal within half a unit of the last
// digit of the value, or the clamp value.
//
// Input: int16 precision, double value, int32 argument, string choice, then
// up to 64 format bytes (all little-endian, copied byte by byte).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <string>

#include "common/format_kit.h"
#include "fuzz/fuzz_check.h"

namespace {

constexpr std::size_t kHeader = 2 + 8 + 4 + 1;
constexpr std::size_t kMaxFormat = 64;
constexpr std::size_t kArgCount = 7;
constexpr std::size_t kMaxArgText = 31;
constexpr std::size_t kRealRoom = 32;  // 31 characters and the NUL
constexpr char kUntouched = '\x5A';
constexpr const char *kTexts[] = {"", "AB", "Drawing A-001 rev 7: final plot"};
static_assert(sizeof "Drawing A-001 rev 7: final plot" - 1 == kMaxArgText);

template <typename T>
T take(const std::uint8_t *&data) {
    T value;
    std::memcpy(&value, data, sizeof value);
    data += sizeof value;
    return value;
}

void checkText(const std::string &format, double value, std::int32_t integer,
               std::int16_t precision, const char *text) {
    const std::size_t room = format.size() + kArgCount * kMaxArgText + 1;
    std::unique_ptr<char[]> out(new char[room]);
    std::memset(out.get(), kUntouched, room);
    const std::int16_t count =
        drv::formatText(out.get(), format.c_str(), integer, value, text,
                        static_cast<std::int32_t>(precision), -value,
                        static_cast<const char *>(nullptr), kTexts[2]);
    if (count == -1) {
        FUZZ_CHECK(std::memchr(out.get(), '\0', room) != nullptr);
        return;
    }
    FUZZ_CHECK(count >= 0 && static_cast<std::size_t>(count) < room);
    FUZZ_CHECK(out[static_cast<std::size_t>(count)] == '\0');
    // Nothing is written past the NUL, not even scratch digits of a real.
    for (std::size_t i = static_cast<std::size_t>(count) + 1; i < room; ++i) {
        FUZZ_CHECK(out[i] == kUntouched);
    }
}

// Plain decimal: optional sign, digits, optionally a point and digits that
// do not end in 0; never "-0".
bool isPlainDecimal(const char *text) {
    const char *p = text + (*text == '-' ? 1 : 0);
    if (*p < '0' || *p > '9') {
        return false;
    }
    while (*p >= '0' && *p <= '9') {
        ++p;
    }
    if (*p == '.') {
        ++p;
        if (*p == '\0') {
            return false;
        }
        while (*p >= '0' && *p <= '9') {
            ++p;
        }
        if (p[-1] == '0') {
            return false;
        }
    }
    return *p == '\0' && std::strcmp(text, "-0") != 0;
}

void checkReal(std::int16_t precision, double value) {
    std::unique_ptr<char[]> out(new char[kRealRoom]);
    const int count = drv::formatReal(out.get(), precision, value);
    FUZZ_CHECK(count >= 1 && static_cast<std::size_t>(count) < kRealRoom);
    FUZZ_CHECK(std::strlen(out.get()) == static_cast<std::size_t>(count));
    FUZZ_CHECK(isPlainDecimal(out.get()));
    if (std::isnan(value)) {
        FUZZ_CHECK(std::strcmp(out.get(), "0") == 0);
        return;
    }
    if (std::fabs(value) >= 2147483647.0) {
        FUZZ_CHECK(std::strcmp(out.get(), value < 0 ? "-2147483647" : "2147483647") == 0);
        return;
    }
    const int digits = precision < 0 ? 0 : (precision > 19 ? 19 : precision);
    const double magnitude = std::fmax(std::fabs(value), 1.0);
    const double tolerance = 0.5 * std::pow(10.0, -digits) +
                             4 * (std::nextafter(magnitude, INFINITY) - magnitude);
    FUZZ_CHECK(std::fabs(std::strtod(out.get(), nullptr) - value) <= tolerance);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < kHeader) {
        return 0;
    }
    const std::uint8_t *p = data;
    const auto precision = take<std::int16_t>(p);
    const auto value = take<double>(p);
    const auto integer = take<std::int32_t>(p);
    const char *text = kTexts[*p++ % std::size(kTexts)];
    // The format ends at its first NUL, as the kit reads it.
    const std::uint8_t *end = p + std::min(size - kHeader, kMaxFormat);
    const std::string format(p, std::find(p, end, 0));

    checkReal(precision, value);
    checkText(format, value, integer, precision, text);
    return 0;
}
