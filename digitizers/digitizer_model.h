// The record that describes one tablet model completely.
//
// Every tablet library runs the same entry point, set-up step and decoders;
// what differs between models is only this record. Its members follow the
// order in which a model is checked: which profile member selects the
// format, then per format its kind, framing and set-up text, then the
// decoder's fields, button rule and guard or rejection test.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "digitizers/binary_layouts.h"

namespace drv::digitizer {

// Which profile member picks format 1 or 2.
enum class Selector : std::uint8_t {
    ReportFormat,  // the usual selector
    AuxFormat,     // a model whose two formats hang on the second selector
    None,          // single-format model: always its format 1, whatever the profile holds
};

enum class FormatKind : std::uint8_t {
    Absent,     // the model has no such format: set-up and decode do nothing
    Ascii,      // decimal fields, ended by a terminator character
    Binary,     // packed bit groups, first byte marked
    NoDecoder,  // set-up works, decode leaves the request alone and returns 0
};

// Where the set-up text comes from.
enum class TextSource : std::uint8_t {
    Empty,   // the buffer comes back holding only the cleared first byte
    SetupA,  // the profile's setupA, cut at 39 characters
    SetupB,  // the profile's setupB, likewise
    Fixed,   // a constant of the model (Format::fixedText)
};

// The two profile bytes written at set-up, or none when `write` is false.
struct Framing {
    bool write = false;
    std::uint8_t frameByte = 0;     // terminator (ASCII) or first-byte mark mask (binary)
    std::uint8_t reportLength = 0;  // declared report length in bytes
};

constexpr Framing framed(std::uint8_t frameByte, std::uint8_t reportLength) {
    return {true, frameByte, reportLength};
}
inline constexpr Framing kFramingNone{};

// Inclusive offsets of a run of report bytes.
struct Span {
    std::uint8_t first = 0;
    std::uint8_t last = 0;
};

enum class AsciiButtonRule : std::uint8_t {
    Character,  // the byte at `at`, signed; 0 when it is `noButton`
    Digit,      // the byte at `at` minus '0'
    TwoDigit,   // 10 x (byte at `at` - '0') + (byte at `at`+1 - '0')
    Threshold,  // 49 when byte `at` is not '-' and byte `at`+1 is above '2', else 0
};

struct AsciiButton {
    AsciiButtonRule rule = AsciiButtonRule::Character;
    std::uint8_t at = 0;
    char noButton = '0';  // Character rule only
};

// A check that may turn an ASCII report away before anything is decoded.
enum class AsciiGuardKind : std::uint8_t {
    None,
    RequireDigits,  // every byte of `span` must be '0'..'9'
    RequireChar,    // the byte at span.first must be `character`
    RejectChar,     // the byte at span.first must not be `character`
};

struct AsciiGuard {
    AsciiGuardKind kind = AsciiGuardKind::None;
    Span span{};
    char character = 0;
    std::int32_t result = 0;  // the call's result when the guard turns a report away
};

struct AsciiDecoder {
    Span x{};
    Span y{};
    AsciiButton button{};
    AsciiGuard guard{};
    // Bytes of `gap` move one place up before any field is read and
    // gap.first receives a space; the buffer stays rewritten.
    std::optional<Span> gap{};
};

enum class BinaryButtonRule : std::uint8_t {
    Bits2To6OfB0,     // (b0 & 0x7C) / 4
    Bits2To5OfB0,     // (b0 & 0x3C) / 4
    Bits2To5IfBit6,   // (b0 & 0x3C) / 4 when b0 & 0x40, else 0
    Bits0To2OfB0,     // b0 & 0x07
    Bits0To4OfB1,     // b1 & 0x1F
    StatusRuleA,      // 49 when b6 & 0x40 is clear and b6 > 20, else 0
    StatusRuleB,      // 49 when b6 & 0x20, else 0
};

// Turns a binary report away when (byte `at` & mask) != 0; mask 0 means no test.
struct BinaryTest {
    std::uint8_t at = 0;
    std::uint8_t mask = 0;
    std::int32_t result = 0;
};

struct BinaryDecoder {
    Layout layout = Layout::Bin6;
    BinaryButtonRule button = BinaryButtonRule::Bits2To6OfB0;
    BinaryTest test{};
};

struct Format {
    FormatKind kind = FormatKind::Absent;
    Framing framing{};
    TextSource text = TextSource::Empty;
    std::string_view fixedText{};     // TextSource::Fixed only
    AsciiDecoder ascii{};             // FormatKind::Ascii only
    BinaryDecoder binary{};           // FormatKind::Binary only
    // The highest report offset the decoder may read; checked against the
    // fields at compile time and kept within the host's 21-byte minimum.
    std::uint8_t highestOffset = 0;
};

struct DigitizerModel {
    Selector selector = Selector::ReportFormat;
    Format format1{};
    Format format2{};
};

}  // namespace drv::digitizer
