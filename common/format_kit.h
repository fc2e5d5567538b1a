// The plotter drivers' own text formatter.
//
// The plot languages need only a handful of directives, and they need reals
// written the way the devices read them: no exponent, at most the requested
// fraction digits with trailing zeros and a bare point removed, the integer
// part clamped to 2147483647 and a value that rounds to zero never signed.
// The kit allocates nothing and does not know the capacity of `out`: callers
// size their buffers from the limits given on each function.
#pragma once

#include <cstddef>
#include <cstdint>

namespace drv {

// One argument of formatText, tagged with its kind so that a directive can
// never read an argument as the wrong type.
struct FormatArg {
    enum class Kind : std::uint8_t { None, Int, Real, Text };

    constexpr FormatArg() : kind(Kind::None), i(0) {}
    constexpr FormatArg(std::int32_t value) : kind(Kind::Int), i(value) {}
    constexpr FormatArg(double value) : kind(Kind::Real), d(value) {}
    constexpr FormatArg(const char *value) : kind(Kind::Text), s(value) {}

    Kind kind;
    union {
        std::int32_t i;
        double d;
        const char *s;
    };
};

// Walks `format` and writes the text it describes to `out`, then a NUL.
// Directives: "%%", "%c" (int: its low byte, a 0 byte included), "%d" (int),
// "%s" (string; null writes nothing), "%f" (real, 6 digits) and "%.Nf" (real,
// N digits, N above 19 acting as 19). "%" followed by any other byte drops
// both bytes and consumes no argument; a lone "%" at the end is dropped.
// Returns the bytes written, NUL not counted, as a 16-bit count: callers keep
// one call within 32767 bytes. A precision not followed by "f" stops the
// walk: a NUL is written at the current position and -1 returned.
// Arguments are consumed in order; a directive whose argument is missing or
// of another kind consumes it (if present) and writes nothing.
std::int16_t formatTextArgs(char *out, const char *format, const FormatArg *args,
                            std::size_t argCount);

template <typename... Args>
std::int16_t formatText(char *out, const char *format, const Args &...args) {
    const FormatArg list[] = {FormatArg(args)..., FormatArg()};
    return formatTextArgs(out, format, list, sizeof...(Args));
}

// Decimal text of `value` and a NUL: at most 11 characters plus the NUL.
// Returns the characters written (NUL not counted).
int formatInt(char *out, std::int32_t value);

// Fixed-point text of `value` with at most `precision` fraction digits
// (negative acts as 0, above 19 as 19), rounded half away from zero at the
// last digit, trailing zeros and a bare point removed, "-0" written as "0".
// The integer part saturates at 2147483647 (infinities included); NaN is
// written as "0". At most 31 characters plus the NUL. Returns the characters
// written (NUL not counted).
int formatReal(char *out, std::int16_t precision, double value);

// Nearest integer, halves away from zero, computed in double precision.
// Values beyond the 32-bit range saturate; NaN gives 0.
std::int32_t roundToInt(float value);

}  // namespace drv
