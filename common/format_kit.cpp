#include "common/format_kit.h"

#include <cmath>

namespace drv {
namespace {

constexpr std::int16_t kMaxPrecision = 19;
constexpr std::int16_t kDefaultPrecision = 6;
constexpr double kIntegerClamp = 2147483647.0;

// Copies a NUL-terminated string without its NUL; returns its length.
int copyText(char *out, const char *text) {
    int n = 0;
    while (text[n] != '\0') {
        out[n] = text[n];
        ++n;
    }
    return n;
}

// Cuts toward zero, saturating at the int32 range; NaN gives 0.
std::int32_t truncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= 2147483647.0) {
        return INT32_MAX;
    }
    if (value <= -2147483648.0) {
        return INT32_MIN;
    }
    return static_cast<std::int32_t>(value);
}

}  // namespace

int formatInt(char *out, std::int32_t value) {
    // The magnitude is taken in 64 bits so that INT32_MIN has one too.
    std::int64_t magnitude = value;
    int n = 0;
    if (magnitude < 0) {
        out[n++] = '-';
        magnitude = -magnitude;
    }
    char digits[10];
    int count = 0;
    do {
        digits[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    while (count > 0) {
        out[n++] = digits[--count];
    }
    out[n] = '\0';
    return n;
}

int formatReal(char *out, std::int16_t precision, double value) {
    if (precision > kMaxPrecision) {
        precision = kMaxPrecision;
    }
    if (precision < 0) {
        precision = 0;
    }
    if (std::isnan(value)) {
        out[0] = '0';
        out[1] = '\0';
        return 1;
    }

    // The digits are built in a local buffer and trimmed there, so that the
    // caller's buffer receives only the final text: sign, ten integer
    // digits, point and nineteen fraction digits fit in 32 bytes.
    char text[32];
    int n = 0;
    double magnitude = value;
    if (value < 0.0) {
        text[n++] = '-';
        magnitude = -value;
    }

    // Adding half a unit of the last digit and then cutting every digit
    // rounds the magnitude half away from zero, so the sign never depends on
    // the rounding direction.
    double rounding = 0.5;
    for (int i = 0; i < precision; ++i) {
        rounding /= 10.0;
    }
    double sum = magnitude + rounding;
    if (sum > kIntegerClamp) {
        sum = kIntegerClamp;
    }
    const std::int32_t whole = static_cast<std::int32_t>(sum);
    n += formatInt(text + n, whole);
    text[n++] = '.';

    double fraction = sum - whole;
    for (int i = 0; i < precision; ++i) {
        fraction *= 10.0;
        const int digit = static_cast<int>(fraction);
        fraction -= digit;
        text[n++] = static_cast<char>('0' + digit);
    }

    // Trailing zeros go, then a bare point; the integer digits stay.
    while (text[n - 1] == '0') {
        --n;
    }
    if (text[n - 1] == '.') {
        --n;
    }
    if (n == 2 && text[0] == '-' && text[1] == '0') {
        text[0] = '0';
        n = 1;
    }
    for (int i = 0; i < n; ++i) {
        out[i] = text[i];
    }
    out[n] = '\0';
    return n;
}

std::int32_t roundToInt(float value) {
    const double widened = value;
    return truncateToInt(widened < 0.0 ? widened - 0.5 : widened + 0.5);
}

std::int16_t formatTextArgs(char *out, const char *format, const FormatArg *args,
                            std::size_t argCount) {
    std::size_t nextArg = 0;
    // Hands out the next argument if it has the wanted kind; a missing or
    // mismatched argument yields nothing (a mismatched one is still used up).
    auto take = [&](FormatArg::Kind kind) -> const FormatArg * {
        if (nextArg >= argCount) {
            return nullptr;
        }
        const FormatArg *arg = &args[nextArg++];
        return arg->kind == kind ? arg : nullptr;
    };

    int n = 0;
    const char *p = format;
    while (*p != '\0') {
        if (*p != '%') {
            out[n++] = *p++;
            continue;
        }
        ++p;
        const char directive = *p;
        if (directive == '\0') {
            break;
        }
        ++p;
        switch (directive) {
        case '%':
            out[n++] = '%';
            break;
        case 'c':
            if (const FormatArg *arg = take(FormatArg::Kind::Int)) {
                out[n++] = static_cast<char>(arg->i & 0xFF);
            }
            break;
        case 'd':
            if (const FormatArg *arg = take(FormatArg::Kind::Int)) {
                n += formatInt(out + n, arg->i);
            }
            break;
        case 's':
            if (const FormatArg *arg = take(FormatArg::Kind::Text)) {
                if (arg->s != nullptr) {
                    n += copyText(out + n, arg->s);
                }
            }
            break;
        case 'f':
            if (const FormatArg *arg = take(FormatArg::Kind::Real)) {
                n += formatReal(out + n, kDefaultPrecision, arg->d);
            }
            break;
        case '.': {
            // The precision is accumulated in a 16-bit counter, as the
            // devices' original formatter did: a count that wraps negative
            // acts as 0 (formatReal clamps it).
            std::int16_t precision = 0;
            while (*p >= '0' && *p <= '9') {
                precision = static_cast<std::int16_t>(precision * 10 + (*p - '0'));
                ++p;
            }
            if (*p != 'f') {
                out[n] = '\0';
                return -1;
            }
            ++p;
            if (const FormatArg *arg = take(FormatArg::Kind::Real)) {
                n += formatReal(out + n, precision, arg->d);
            }
            break;
        }
        default:
            // Unsupported directive (widths, flags, other letters): both
            // bytes are dropped and no argument is consumed.
            break;
        }
    }
    out[n] = '\0';
    return static_cast<std::int16_t>(n);
}

}  // namespace drv
