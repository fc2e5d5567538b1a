#include "tests/digitizers/digitizer_cases.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "digitizers/digitizer_entry.h"
#include "digitizers/models/all_models.h"

namespace drv::digitizer::test {
namespace {

std::vector<unsigned char> ascii(std::string_view text) { return {text.begin(), text.end()}; }
std::vector<unsigned char> bin(std::initializer_list<unsigned char> bytes) { return bytes; }
Reading got(std::int16_t button, std::int32_t x, std::int32_t y) { return {button, x, y}; }
constexpr std::int32_t kRejected = DGD_REJECTED;
constexpr std::optional<Reading> kUnchanged = std::nullopt;

constexpr char kTextA[] = "alpha set-up A";
constexpr char kTextB[] = "beta set-up B";
constexpr unsigned char kFree = 0xCC;  // buffer bytes no call may touch
constexpr std::uint8_t kOldFrameByte = 0xEE;
constexpr std::uint8_t kOldReportLength = 0xDD;

constexpr SetupExpect none{Text::Empty, -1, -1};

const SetupRow kSetupRows[] = {
    // line, model, single, {format 1}, {format 2}
    {__LINE__, "ambrel", false, {Text::B, 0x0A, 20}, {Text::A, 0xB0, 7}},
    {__LINE__, "belvane", false, {Text::B, 0x0D, 12}, {Text::A, 0x80, 6}},
    {__LINE__, "corvish", false, {Text::B, 0x0D, 12}, {Text::A, 0x80, 6}},
    {__LINE__, "dastrel", false, {Text::B, 0x0D, 14}, {Text::A, 0x80, 6}},
    {__LINE__, "elmoray", false, {Text::B, 0x0A, 17}, {Text::A, 0x80, 7}},
    {__LINE__, "fennick", true, {Text::B, -1, -1}, none},
    {__LINE__, "galvorn", false, {Text::B, 0x0D, 14}, {Text::A, 0x80, 6}},
    {__LINE__, "halvesk", false, {Text::B, 0x0A, 13}, {Text::A, 0x80, 5}},
    {__LINE__, "istrane", false, {Text::A, 0x40, 8}, {Text::B, 0x80, 5}},
    {__LINE__, "jorvel", false, {Text::Empty, 0x0A, 13}, {Text::Empty, 0x40, 5}},
    {__LINE__, "kestavin", false, {Text::B, 0x0A, 16}, {Text::A, 0x80, 6}},
    {__LINE__, "lunmore", false, {Text::Empty, 0x0A, 15}, {Text::Empty, 0x80, 6}},
    {__LINE__, "marvask", false, {Text::Empty, 0x0A, 13}, {Text::Empty, 0x40, 5}},
    {__LINE__, "nolvery", false, {Text::B, 0x0A, 20}, {Text::A, 0x40, 8}},
    {__LINE__, "ostrevan", false, {Text::B, 0x0A, 13}, {Text::A, 0x40, 5}},
    {__LINE__, "pellick", false, {Text::B, 0x0A, 18}, {Text::A, 0x80, 6}},
    {__LINE__, "quistral", false, {Text::B, 0x0A, 15}, {Text::A, 0x80, 6}},
    {__LINE__, "rondavin", false, {Text::B, 0x0A, 14}, {Text::A, 0x80, 6}},
    {__LINE__, "sorvane", false, {Text::B, 0x0A, 20}, {Text::A, 0x40, 8}},
    {__LINE__, "tavrel", false, {Text::B, -1, -1}, {Text::A, -1, -1}},
    {__LINE__, "ulmestra", true, {Text::B, -1, -1}, none},
    {__LINE__, "varnock", false, {Text::Empty, 0x0A, 15}, {Text::Empty, 0x80, 6}},
    {__LINE__, "wendral", false, {Text::Fixed, 0x0A, 13}, {Text::Fixed, 0x80, 5}},
    {__LINE__, "yarvish", false, {Text::B, 0x0A, 15}, {Text::A, 0x80, 6}},
    {__LINE__, "zolmar", true, {Text::Empty, -1, -1}, none},
    {__LINE__, "abbrinet", true, {Text::Empty, -1, -1}, none},
};

const DecodeCase kDecodeCases[] = {
    // ASCII reports. A field byte counts as its code minus '0', so a leading
    // space is -16 in the top digit position; a non-'0' threshold byte or a
    // no-button character other than the model's own is a pressed button.
    {__LINE__, "ambrel", 1, ascii("T, 12345,06789, 3\n"), 0, got(49, 12345, 6789)},
    {__LINE__, "ambrel", 1, ascii("T, 12345,06789,-9\n"), 0, got(0, 12345, 6789)},
    {__LINE__, "ambrel", 1, ascii("T, 12345,06789, 2\n"), 0, got(0, 12345, 6789)},
    {__LINE__, "ambrel", 1, ascii("T,  2345,00000, 3\n"), 0, got(49, -157655, 0)},
    {__LINE__, "ambrel", 0, ascii("T, 12345,06789, 3\n"), 0, kUnchanged},
    {__LINE__, "ambrel", 3, ascii("T, 12345,06789, 3\n"), 0, kUnchanged},
    {__LINE__, "belvane", 1, ascii("*11234598765\r"), 0, got(49, 12345, 98765)},
    {__LINE__, "belvane", 1, ascii("* 1234598765\r"), 0, got(0, 12345, 98765)},
    {__LINE__, "corvish", 1, ascii("*11234598765\r"), 0, got(49, 12345, 98765)},
    {__LINE__, "corvish", 1, ascii("*01234598765\r"), 0, got(0, 12345, 98765)},
    {__LINE__, "corvish", 1, ascii("* 1234598765\r"), 0, got(32, 12345, 98765)},
    {__LINE__, "dastrel", 1, ascii("D,,11234598765\r"), 0, got(49, 12345, 98765)},
    {__LINE__, "dastrel", 1, ascii("D,,01234598765\r"), 0, got(0, 12345, 98765)},
    {__LINE__, "dastrel", 1, ascii("D,,1123459.765\r"), 0, kUnchanged},
    {__LINE__, "dastrel", 1, ascii("D,,1 234598765\r"), 0, kUnchanged},
    {__LINE__, "dastrel", 1, ascii("D,,112345987 5\r"), 0, kUnchanged},
    {__LINE__, "galvorn", 1, ascii("D,,1123459.765\r"), 0, got(49, 12345, 88765)},
    {__LINE__, "elmoray", 1, ascii("E, 12345,54321,01\n"), 0, got(49, 12345, 54321)},
    {__LINE__, "elmoray", 1, ascii("E, 12345,54321,00\n"), 0, got(0, 12345, 54321)},
    {__LINE__, "elmoray", 1, ascii("E, 12345,54321,11\n"), 0, kUnchanged},
    {__LINE__, "fennick", 1, ascii("F,1234,56782\r"), 0, got(50, 1234, 5678)},
    {__LINE__, "fennick", 2, ascii("F,1234,56780\r"), 0, got(0, 1234, 5678)},
    {__LINE__, "fennick", 0, ascii("F,1234,56782\r"), 0, got(50, 1234, 5678)},
    {__LINE__, "halvesk", 1, ascii("H1234,5678,A\n"), 0, got(17, 1234, 5678)},
    {__LINE__, "halvesk", 1, ascii("H1234,5678,3\n"), 0, got(3, 1234, 5678)},
    {__LINE__, "jorvel", 1, ascii("J1234,5678,0\n"), 0, got(0, 1234, 5678)},
    {__LINE__, "jorvel", 1, ascii("J1234,5678,2\n"), 0, got(50, 1234, 5678)},
    // Bytes from 0x80 up are negative: -128 - '0' in a digit position, and a
    // button character widened with its sign.
    {__LINE__, "jorvel", 1, ascii("J\x80" "234,5678,0\n"), 0, got(0, -175766, 5678)},
    {__LINE__, "jorvel", 1, ascii("J1234,5678,\xB0\n"), 0, got(-80, 1234, 5678)},
    {__LINE__, "kestavin", 1, ascii("KU,12345,,54321\n"), 0, got(0, 12345, 54321)},
    {__LINE__, "kestavin", 1, ascii("K2,12345,,54321\n"), 0, got(50, 12345, 54321)},
    {__LINE__, "lunmore", 1, ascii("L12345,54321, \n"), 0, got(0, 12345, 54321)},
    {__LINE__, "lunmore", 1, ascii("L12345,54321,A\n"), 0, got(65, 12345, 54321)},
    {__LINE__, "varnock", 1, ascii("L12345,54321, \n"), 0, got(0, 12345, 54321)},
    {__LINE__, "varnock", 1, ascii("L12345,54321,0\n"), 0, got(48, 12345, 54321)},
    {__LINE__, "marvask", 1, ascii("M1234,5678,9\n"), kRejected, kUnchanged},
    {__LINE__, "marvask", 1, ascii("M1234,5678,1\n"), 0, got(49, 1234, 5678)},
    {__LINE__, "marvask", 1, ascii("M1234,5678,0\n"), 0, got(0, 1234, 5678)},
    {__LINE__, "nolvery", 1, ascii("N,12345,,54321,12\n"), 0, got(12, 12345, 54321)},
    {__LINE__, "nolvery", 1, ascii("N,12345,,54321,  \n"), 0, got(-176, 12345, 54321)},
    {__LINE__, "ostrevan", 1, ascii("O1234,5678,1\n"), 0, got(49, 1234, 5678)},
    {__LINE__, "pellick", 1, ascii("PU,123456,,654321\n"), 0, got(0, 123456, 654321)},
    {__LINE__, "pellick", 1, ascii("P1,999999,,000000\n"), 0, got(49, 999999, 0)},
    {__LINE__, "quistral", 1, ascii("Q12345,54321,0\n"), 0, got(0, 12345, 54321)},
    {__LINE__, "quistral", 1, ascii("Q12345,54321,1\n"), 0, got(49, 12345, 54321)},
    {__LINE__, "rondavin", 1, ascii("R012345,54321\n"), 0, got(0, 12345, 54321)},
    {__LINE__, "rondavin", 1, ascii("R312345,54321\n"), 0, got(51, 12345, 54321)},
    {__LINE__, "sorvane", 1, ascii("S,1234567,,7654321,31\n"), 0, got(31, 1234567, 7654321)},
    {__LINE__, "sorvane", 1, ascii("S,       ,,9999999,99\n"), 0, got(99, -17777776, 9999999)},
    {__LINE__, "tavrel", 1, ascii("T,5,123456,654321\r"), 0, got(5, 123456, 654321)},
    {__LINE__, "tavrel", 2, ascii("T,5,123456,654321\r"), 0, kUnchanged},
    {__LINE__, "tavrel", 2, bin({0x83, 0x7F, 0x7F, 0x03, 0x7F, 0x7F}), 0, kUnchanged},
    {__LINE__, "ulmestra", 1, ascii("U,12345,54321,,7\r"), 0, got(55, 12345, 54321)},
    {__LINE__, "ulmestra", 2, ascii("U,12345,54321,,0\r"), 0, got(0, 12345, 54321)},
    {__LINE__, "wendral", 1, ascii("W12345,54321,4\n"), 0, got(4, 12345, 54321)},
    {__LINE__, "yarvish", 1, ascii("Y12345,54321,1\n"), 0, got(49, 12345, 54321)},

    // Binary reports. A masked byte never turns negative; a whole byte from
    // 0x80 up adds (value - 256) times its weight.
    {__LINE__, "ambrel", 2, bin({0xB1, 0x05, 0x06, 0x02, 0x07, 0x08, 21}), 0, got(49, 17030, 33672)},
    {__LINE__, "ambrel", 2, bin({0xB0, 0, 0, 0, 0, 0, 20}), 0, got(0, 0, 0)},
    {__LINE__, "ambrel", 2, bin({0xB0, 0, 0, 0, 0, 0, 0x55}), 0, got(0, 0, 0)},
    {__LINE__, "ambrel", 2, bin({0xB0, 0, 0, 0, 0, 0, 0x95}), 0, got(0, 0, 0)},
    {__LINE__, "ambrel", 2, bin({0xB0, 0, 0, 0x08, 0, 0, 21}), 0, kUnchanged},
    {__LINE__, "ambrel", 2, bin({0xB0, 0, 0, 0x43, 0, 0, 21}), 0, kUnchanged},
    {__LINE__, "belvane", 2, bin({0x83, 0x7F, 0x7F, 0x03, 0x7F, 0x7F}), 0, got(0, 0xFFFF, 0xFFFF)},
    {__LINE__, "belvane", 2, bin({0x80, 0x80, 0, 0, 0, 0}), 0, got(0, -0x4000, 0)},
    {__LINE__, "belvane", 2, bin({0x80, 0, 0x80, 0, 0xFF, 0}), 0, got(0, -128, -128)},
    {__LINE__, "belvane", 2, bin({0xFC, 0, 0, 0, 0, 0}), 0, got(31, 0, 0)},
    {__LINE__, "corvish", 2, bin({0xC0, 0x01, 0x01, 0, 0, 0}), kRejected, kUnchanged},
    {__LINE__, "corvish", 2, bin({0x8C, 0x01, 0x01, 0, 0, 0}), 0, got(3, 129, 0)},
    {__LINE__, "dastrel", 2, bin({0x80, 0, 0, 0, 0x08, 0, 0}), 0, got(0, 0x10000, 0)},
    {__LINE__, "dastrel", 2, bin({0xFC, 0, 0, 0, 0, 0, 0}), 0, got(31, 0, 0)},
    {__LINE__, "dastrel", 2, bin({0x80, 0x03, 0x7F, 0x7F, 0x0F, 0x7F, 0x7F}), 0, got(0, 0x1FFFF, 0x1FFFF)},
    {__LINE__, "quistral", 2, bin({0x84, 0x01, 0, 0, 0x01, 0, 0x80}), 0, got(1, 0x4000, 0x4000 - 128)},
    {__LINE__, "elmoray", 2, bin({0x80, 0, 0, 0, 0, 0, 0x20}), 0, got(49, 0, 0)},
    {__LINE__, "elmoray", 2, bin({0x80, 0, 0, 0, 0, 0, 0x1F}), 0, got(0, 0, 0)},
    {__LINE__, "galvorn", 2, bin({0x80, 0, 0, 0x08, 0, 0}), 0, got(0, 0x10000, 0)},
    {__LINE__, "galvorn", 2, bin({0x80, 0, 0, 0x10, 0, 0}), 0, got(0, 0x20000, 0)},
    {__LINE__, "galvorn", 2, bin({0x80, 0, 0, 0x04, 0, 0}), 0, got(0, 0, 0x10000)},
    {__LINE__, "halvesk", 2, bin({0x85, 0xFF, 0, 0, 0}), 0, got(5, 127, 0)},
    {__LINE__, "halvesk", 2, bin({0x80, 0, 0x80, 0, 0x01}), 0, got(0, -0x4000, 128)},
    {__LINE__, "halvesk", 2, bin({0xC0, 0, 0, 0, 0}), kRejected, kUnchanged},
    {__LINE__, "istrane", 1, bin({0x40, 0x1F, 0x3F, 0x3F, 0x0F, 0x01, 0x02, 0x03}), 0, got(31, 0xFFFF, 12417)},
    {__LINE__, "istrane", 1, bin({0x40, 0, 0, 0x80, 0xFF, 0, 0, 0}), 0, got(0, 0xF000 - 0x2000, 0)},
    {__LINE__, "istrane", 1, bin({0x41, 0x1F, 0, 0, 0, 0, 0, 0}), kRejected, kUnchanged},
    {__LINE__, "istrane", 2, bin({0x85, 0x01, 0x02, 0x03, 0x04}), 0, got(5, 257, 515)},
    {__LINE__, "istrane", 2, bin({0xC5, 0x01, 0x02, 0x03, 0x04}), kRejected, kUnchanged},
    {__LINE__, "jorvel", 2, bin({0x40, 0x40, 0, 0, 0}), 0, got(0, 0, 0)},
    {__LINE__, "jorvel", 2, bin({0x7C, 0x3F, 0x3F, 0x3F, 0x3F}), 0, got(15, 4095, 4095)},
    {__LINE__, "ostrevan", 2, bin({0x40, 0x40, 0, 0, 0}), 0, got(0, 64, 0)},
    {__LINE__, "ostrevan", 2, bin({0x44, 0x80, 0, 0xFF, 0}), 0, got(1, -128, -1)},
    {__LINE__, "kestavin", 2, bin({0x8C, 0, 0, 0, 0, 0}), 0, got(0, 0, 0)},
    {__LINE__, "kestavin", 2, bin({0xCC, 0, 0, 0, 0, 0}), 0, got(3, 0, 0)},
    {__LINE__, "pellick", 2, bin({0x8C, 0, 0, 0, 0, 0}), 0, got(0, 0, 0)},
    {__LINE__, "pellick", 2, bin({0xCC, 0, 0, 0, 0, 0}), 0, got(3, 0, 0)},
    {__LINE__, "abbrinet", 0, bin({0x8C, 0, 0, 0, 0, 0}), 0, got(0, 0, 0)},
    {__LINE__, "abbrinet", 2, bin({0xCC, 0, 0, 0, 0, 0}), 0, got(3, 0, 0)},
    {__LINE__, "lunmore", 2, bin({0xFC, 0x01, 0x02, 0x03, 0x04, 0x05}), 0, got(15, 0x82, 0xC205)},
    {__LINE__, "varnock", 2, bin({0xFC, 0x01, 0x02, 0x03, 0x04, 0x05}), 0, got(31, 0x82, 0xC205)},
    {__LINE__, "marvask", 2, bin({0x41, 0, 0, 0, 0}), kRejected, kUnchanged},
    {__LINE__, "marvask", 2, bin({0x7C, 1, 2, 3, 4}), 0, got(15, 129, 259)},
    {__LINE__, "nolvery", 2, bin({0x40, 0x05, 1, 2, 3, 4, 5, 6}), 0, got(5, 12417, 24900)},
    {__LINE__, "nolvery", 2, bin({0x41, 0x05, 1, 2, 3, 4, 5, 6}), kRejected, kUnchanged},
    // sorvane's own mark 0x40 in b0 is no reason to turn a report away.
    {__LINE__, "sorvane", 2, bin({0x40, 0x1F, 1, 2, 3, 4, 5, 6}), 0, got(31, 12417, 24900)},
    {__LINE__, "sorvane", 2, bin({0x41, 0x1F, 1, 2, 3, 4, 5, 6}), kRejected, kUnchanged},
    {__LINE__, "rondavin", 2, bin({0xFC, 0, 0x05, 0, 0, 0x06}), 0, got(31, 5, 6)},
    {__LINE__, "yarvish", 2, bin({0x84, 0, 0x05, 0, 0, 0x06}), 0, got(1, 5, 6)},
    {__LINE__, "wendral", 2, bin({0x87, 0x7F, 0x7F, 0, 0}), 0, got(7, 0x3FFF, 0)},
    {__LINE__, "zolmar", 1, bin({0xFC, 0, 0, 0, 0, 0x01}), 0, got(15, 0, 1)},
    {__LINE__, "zolmar", 2, bin({0xFC, 0, 0, 0, 0, 0x01}), 0, got(15, 0, 1)},
    {__LINE__, "zolmar", -1, bin({0x84, 0, 0, 0, 0, 0x01}), 0, got(1, 0, 1)},
};

std::string expectedText(Text text) {
    switch (text) {
    case Text::A:
        return kTextA;
    case Text::B:
        return kTextB;
    case Text::Fixed:
        return "iR@";
    case Text::Empty:
        break;
    }
    return "";
}

DigitizerProfile sentinelProfile(std::int16_t selector) {
    DigitizerProfile profile;
    std::memset(&profile, 0x5A, sizeof profile);
    profile.auxFormat = selector;
    profile.reportFormat = selector;
    std::memcpy(profile.setupA, kTextA, sizeof kTextA);
    std::memcpy(profile.setupB, kTextB, sizeof kTextB);
    profile.frameByte = kOldFrameByte;
    profile.reportLength = kOldReportLength;
    return profile;
}

bool sameBytes(const void *a, const void *b, std::size_t n) { return std::memcmp(a, b, n) == 0; }

// One op-1 call with `selector`; `expect` empty means the call must do
// nothing beyond clearing the buffer's first byte.
void checkOneSetup(const Entry &entry, std::int16_t selector, std::optional<SetupExpect> expect) {
    SCOPED_TRACE(testing::Message() << "selector " << selector);
    DigitizerProfile profile = sentinelProfile(selector);
    DigitizerProfile expectedProfile = profile;
    DigitizerRequest request = sentinelRequest();
    request.op = DgdOpSetup;
    const DigitizerRequest expectedRequest = request;
    std::vector<unsigned char> buffer(DGD_MIN_BUFFER_SIZE + 8, kFree);

    EXPECT_EQ(entry(&profile, &request, buffer.data()), 0);

    const std::string text = expect ? expectedText(expect->text) : "";
    EXPECT_EQ(std::string(reinterpret_cast<const char *>(buffer.data())), text);
    EXPECT_TRUE(std::all_of(buffer.begin() + static_cast<std::ptrdiff_t>(text.size() + 1),
                            buffer.end(), [](unsigned char b) { return b == kFree; }))
        << "set-up wrote past its text";
    if (expect && expect->frameByte >= 0) {
        expectedProfile.frameByte = static_cast<std::uint8_t>(expect->frameByte);
        expectedProfile.reportLength = static_cast<std::uint8_t>(expect->reportLength);
    }
    EXPECT_EQ(profile.frameByte, expectedProfile.frameByte);
    EXPECT_EQ(profile.reportLength, expectedProfile.reportLength);
    EXPECT_TRUE(sameBytes(&profile, &expectedProfile, sizeof profile)) << "profile bytes changed";
    EXPECT_TRUE(sameBytes(&request, &expectedRequest, sizeof request)) << "request changed";
}

}  // namespace

const DigitizerModel &modelNamed(std::string_view model) {
    const auto it = std::find_if(kAllModels.begin(), kAllModels.end(),
                                 [model](const NamedModel &m) { return m.name == model; });
    if (it == kAllModels.end()) {
        ADD_FAILURE() << "no model " << model;
        return *kAllModels.front().model;
    }
    return *it->model;
}

Entry sharedEntry(std::string_view model) {
    const DigitizerModel *record = &modelNamed(model);
    return [record](DigitizerProfile *p, DigitizerRequest *r, unsigned char *b) {
        return runDigitizer(*record, p, r, b);
    };
}

std::span<const SetupRow> setupRows() { return kSetupRows; }
std::span<const DecodeCase> decodeCases() { return kDecodeCases; }

DigitizerRequest sentinelRequest() {
    DigitizerRequest request{};
    request.op = DgdOpDecode;
    request.button = 0x1111;
    request.x = 0x22222222;
    request.y = 0x33333333;
    request.z = 0x44444444;
    return request;
}

void checkSetup(const Entry &entry, const SetupRow &row) {
    SCOPED_TRACE(testing::Message() << row.model << " (row at line " << row.line << ")");
    for (const std::int16_t selector : {1, 2, 0, 3, -1, 0x101}) {
        std::optional<SetupExpect> expect;
        if (row.singleFormat || selector == 1) {
            expect = row.format1;
        } else if (selector == 2) {
            expect = row.format2;
        }
        checkOneSetup(entry, selector, expect);
    }
}

void checkOtherOps(const Entry &entry) {
    for (const std::int16_t op : {2, 0, 4, -1, 0x7FFF, -0x8000, 0x103}) {
        SCOPED_TRACE(testing::Message() << "op " << op);
        DigitizerProfile profile = sentinelProfile(1);
        const DigitizerProfile expectedProfile = profile;
        DigitizerRequest request = sentinelRequest();
        request.op = op;
        const DigitizerRequest expectedRequest = request;
        std::vector<unsigned char> buffer(DGD_MIN_BUFFER_SIZE, kFree);

        EXPECT_EQ(entry(&profile, &request, buffer.data()), 0);
        EXPECT_EQ(buffer[0], 0);
        EXPECT_TRUE(std::all_of(buffer.begin() + 1, buffer.end(),
                                [](unsigned char b) { return b == kFree; }));
        EXPECT_TRUE(sameBytes(&profile, &expectedProfile, sizeof profile));
        EXPECT_TRUE(sameBytes(&request, &expectedRequest, sizeof request));
    }
}

DigitizerRequest decodeWith(const Entry &entry, int format, std::vector<unsigned char> report,
                            std::int32_t &status) {
    report.resize(std::max<std::size_t>(report.size(), DGD_MIN_REPORT_BUFFER));
    DigitizerProfile profile{};
    profile.reportFormat = static_cast<std::int16_t>(format);
    profile.auxFormat = static_cast<std::int16_t>(format);
    DigitizerRequest request = sentinelRequest();
    status = entry(&profile, &request, report.data());
    return request;
}

void checkDecode(const Entry &entry, const DecodeCase &c) {
    SCOPED_TRACE(testing::Message() << c.model << " selector " << c.selector << " (case at line "
                                    << c.line << ")");
    DigitizerProfile profile = sentinelProfile(c.selector);
    const DigitizerProfile expectedProfile = profile;
    DigitizerRequest request = sentinelRequest();
    std::vector<unsigned char> buffer(std::max<std::size_t>(DGD_MIN_REPORT_BUFFER, c.report.size()));
    std::copy(c.report.begin(), c.report.end(), buffer.begin());
    const std::vector<unsigned char> sent = buffer;

    EXPECT_EQ(entry(&profile, &request, buffer.data()), c.status);

    const DigitizerRequest old = sentinelRequest();
    EXPECT_EQ(request.op, old.op);
    if (c.reading) {
        EXPECT_EQ(request.button, c.reading->button);
        EXPECT_EQ(request.x, c.reading->x);
        EXPECT_EQ(request.y, c.reading->y);
        EXPECT_EQ(request.z, 0);
    } else {
        EXPECT_EQ(request.button, old.button);
        EXPECT_EQ(request.x, old.x);
        EXPECT_EQ(request.y, old.y);
        EXPECT_EQ(request.z, old.z);
    }
    EXPECT_TRUE(sameBytes(&profile, &expectedProfile, sizeof profile)) << "profile changed";
    const bool rewrites = (c.model == "belvane" || c.model == "corvish") && c.selector == 1;
    if (!rewrites) {
        EXPECT_EQ(buffer, sent) << "decode changed the report";
    }
}

}  // namespace drv::digitizer::test
