// PE, polyline encoded: after "PE", flags and numbers up to ";".
//
//   ':'  the next number is a pen to select
//   '<'  the next coordinate pair is a pen-up move
//   '>'  the next number is a count of fractional bits for the pairs after it
//   '='  the next coordinate pair is absolute; others are relative to the pen
//   '7'  numbers are in base 32 (7-bit form) instead of base 64
//
// A number is its sign folded into the lowest bit (2a, or 2|a| + 1 when
// negative), written least significant digit first, each digit d as the
// byte d + 63; the last digit is marked by adding 32 in base 32 (bytes 95
// to 126) or 128 in base 64 (bytes 191 to 254). Pairs without '<' are drawn.
#include "host/decode/hpgl2_pe.h"

#include <algorithm>
#include <cmath>

namespace drv::decode {
namespace {

// Base 32 carries 5 bits a digit and base 64 six; no number of the language
// needs more than 32 bits before its sign is taken off.
constexpr int kMaxBits = 36;

enum class Digit { Continue, Last, Other };

// Digit bytes: 63 up to `lastContinue` continue a number, `firstLast` up to
// `firstLast` + base - 1 end it.
struct Base {
    int lastContinue;
    int firstLast;
    int base;
};
constexpr Base kBase64{126, 191, 64};
constexpr Base kBase32{94, 95, 32};

Digit classify(int byte, bool sevenBit, int &value) {
    const Base &b = sevenBit ? kBase32 : kBase64;
    if (byte >= 63 && byte <= b.lastContinue) {
        value = byte - 63;
        return Digit::Continue;
    }
    if (byte >= b.firstLast && byte < b.firstLast + b.base) {
        value = byte - b.firstLast;
        return Digit::Last;
    }
    return Digit::Other;
}

} // namespace

void readPolylineEncoded(ByteCursor &in, Hpgl2Machine &machine) {
    bool sevenBit = false;
    bool penUpNext = false;
    bool absoluteNext = false;
    enum class Want { Pair, Pen, Fraction } want = Want::Pair;
    int fractionBits = 0;
    bool haveX = false;
    double x = 0;
    std::uint64_t folded = 0;
    int bits = 0;
    std::size_t numberStart = in.offset();

    while (!in.atEnd()) {
        const int byte = in.peek();
        if (byte == ';' || byte == 0x1B) {
            if (bits > 0) {
                machine.log().problem(numberStart, "PE number not ended");
            }
            if (haveX) {
                machine.log().problem(in.offset(), "PE ends with half a coordinate pair");
            }
            if (byte == ';') {
                in.next();
            }
            return;
        }
        const std::size_t offset = in.offset();
        in.next();
        int digit = 0;
        const Digit kind = classify(byte, sevenBit, digit);
        if (kind == Digit::Other) {
            if (bits > 0) {
                machine.log().problem(offset, "PE flag inside a number");
                bits = 0;
                folded = 0;
            }
            switch (byte) {
            case ':': want = Want::Pen; break;
            case '<': penUpNext = true; break;
            case '>': want = Want::Fraction; break;
            case '=': absoluteNext = true; break;
            case '7': sevenBit = true; break;
            default:
                if (byte > ' ') {
                    machine.log().problem(offset, "byte " + std::to_string(byte) + " is not PE data");
                }
                break;
            }
            continue;
        }
        if (bits == 0) {
            numberStart = offset;
        }
        if (bits <= kMaxBits) {
            folded |= static_cast<std::uint64_t>(digit) << bits;
        }
        bits += sevenBit ? 5 : 6;
        if (kind == Digit::Continue) {
            continue;
        }
        if (bits > kMaxBits + 6) {
            machine.log().problem(numberStart, "PE number too long");
            folded = 0;
        }
        const double magnitude = static_cast<double>(folded >> 1);
        const double value = (folded & 1) ? -magnitude : magnitude;
        bits = 0;
        folded = 0;
        switch (want) {
        case Want::Pen:
            machine.selectPen(static_cast<int>(std::clamp(value, -1.0, 32767.0)));
            want = Want::Pair;
            continue;
        case Want::Fraction:
            fractionBits = static_cast<int>(std::fmod(std::fabs(value), 32.0));
            want = Want::Pair;
            continue;
        case Want::Pair: break;
        }
        const double scaled = std::ldexp(value, -fractionBits);
        if (!haveX) {
            x = scaled;
            haveX = true;
            continue;
        }
        haveX = false;
        const Point at = machine.position();
        const Point to = absoluteNext ? Point{x, scaled} : Point{at.x + x, at.y + scaled};
        machine.moveTo(to, !penUpNext);
        penUpNext = false;
        absoluteNext = false;
    }
    machine.log().problem(in.offset(), "input ends inside PE");
}

} // namespace drv::decode
