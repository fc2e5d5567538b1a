// The host's report encoder: its formats, its refusals, and reports that
// every decoder turns back into the encoded sample.
#include <algorithm>
#include <numeric>
#include <string>

#include <gtest/gtest.h>

#include "digitizers/encoder/tablet_encoder.h"
#include "tests/digitizers/digitizer_cases.h"

namespace drv::digitizer::test {
namespace {

using drv::TabletFormat;
using drv::TabletReportKind;
using drv::TabletSample;
using drv::TabletSelector;

std::vector<std::uint8_t> bytesOf(std::string_view text) { return {text.begin(), text.end()}; }

TEST(TabletEncoder, FormatFacts) {
    struct Case {
        int line;
        std::string_view model;
        int format;
        TabletReportKind kind;
        TabletSelector selector;
        bool declares;
        std::uint8_t frameByte;
        std::uint8_t reportLength;
        std::size_t encodedLength;
        std::int32_t maxX, maxY;
    };
    using K = TabletReportKind;
    using S = TabletSelector;
    const Case cases[] = {
        {__LINE__, "ambrel", 1, K::Ascii, S::ReportFormat, true, 0x0A, 20, 21, 99999, 99999},
        {__LINE__, "ambrel", 2, K::Binary, S::ReportFormat, true, 0xB0, 7, 7, 0xFFFF, 0xFFFF},
        // The gap moves y one place up: as sent, the report ends at offset 11.
        {__LINE__, "belvane", 1, K::Ascii, S::ReportFormat, true, 0x0D, 12, 13, 99999, 99999},
        // Decoders that read past the declared length get longer reports.
        {__LINE__, "dastrel", 2, K::Binary, S::ReportFormat, true, 0x80, 6, 7, 0x1FFFF, 0x1FFFF},
        {__LINE__, "sorvane", 1, K::Ascii, S::ReportFormat, true, 0x0A, 20, 22, 9999999, 9999999},
        {__LINE__, "wendral", 1, K::Ascii, S::ReportFormat, true, 0x0A, 13, 15, 99999, 99999},
        {__LINE__, "galvorn", 2, K::Binary, S::ReportFormat, true, 0x80, 6, 6, 0x3FFFF, 0x1FFFF},
        {__LINE__, "halvesk", 2, K::Binary, S::ReportFormat, true, 0x80, 5, 5, 0x3FFF, 0x3FFF},
        // With mark 0x40 every later byte carries six bits.
        {__LINE__, "jorvel", 2, K::Binary, S::ReportFormat, true, 0x40, 5, 5, 0xFFF, 0xFFF},
        {__LINE__, "istrane", 1, K::Binary, S::AuxFormat, true, 0x40, 8, 8, 0xFFFF, 0xFFFF},
        {__LINE__, "fennick", 1, K::Ascii, S::None, false, 0x0D, 0, 13, 9999, 9999},
        {__LINE__, "zolmar", 1, K::Binary, S::None, false, 0x80, 0, 6, 0xFFFF, 0xFFFF},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        const std::optional<TabletFormat> f = drv::tabletFormat(c.model, c.format);
        ASSERT_TRUE(f);
        EXPECT_EQ(f->kind, c.kind);
        EXPECT_EQ(f->selector, c.selector);
        EXPECT_EQ(f->declaresFraming, c.declares);
        EXPECT_EQ(f->frameByte, c.frameByte);
        EXPECT_EQ(f->reportLength, c.reportLength);
        EXPECT_EQ(f->encodedLength, c.encodedLength);
        EXPECT_EQ(f->maxX, c.maxX);
        EXPECT_EQ(f->maxY, c.maxY);
    }
}

TEST(TabletEncoder, NoFormatWithoutDecoder) {
    const std::pair<std::string_view, int> cases[] = {
        {"tavrel", 2}, {"fennick", 2}, {"abbrinet", 2}, {"ambrel", 0}, {"ambrel", 3}, {"nonesuch", 1},
    };
    for (const auto &[model, format] : cases) {
        SCOPED_TRACE(testing::Message() << model << " " << format);
        EXPECT_FALSE(drv::tabletFormat(model, format));
        EXPECT_TRUE(drv::tabletButtons(model, format).empty());
        std::vector<std::uint8_t> report{1, 2, 3};
        EXPECT_FALSE(drv::encodeTabletReport(model, format, {}, report));
        EXPECT_TRUE(report.empty());
    }
}

TEST(TabletEncoder, ExactReports) {
    struct Case {
        int line;
        std::string_view model;
        int format;
        TabletSample sample;
        std::vector<std::uint8_t> expected;
    };
    const Case cases[] = {
        // Sent before the gap opens: y stands at 7-11.
        {__LINE__, "belvane", 1, {49, 12345, 98765}, bytesOf(",11234598765\r")},
        {__LINE__, "sorvane", 1, {31, 1234567, 7654321}, bytesOf(",,1234567,,7654321,31\n")},
        {__LINE__, "fennick", 1, {50, 1234, 5678}, bytesOf(",,1234,56782\r")},
        {__LINE__, "elmoray", 1, {0, 12345, 54321}, bytesOf(",,,12345,54321,00\n")},
        {__LINE__, "dastrel", 1, {0, 0, 7}, bytesOf(",,,00000000007\r")},
        {__LINE__, "ambrel", 1, {49, 1, 2}, bytesOf(",,,00001,00002, 9,,,\n")},
        {__LINE__, "ambrel", 2, {49, 17030, 33672}, {0xB1, 5, 6, 2, 7, 8, 21}},
        {__LINE__, "elmoray", 2, {49, 0, 0}, {0x80, 0, 0, 0, 0, 0, 0x20}},
        {__LINE__, "kestavin", 2, {3, 0, 0}, {0xCC, 0, 0, 0, 0, 0}},
        {__LINE__, "kestavin", 2, {0, 0, 0}, {0x80, 0, 0, 0, 0, 0}},
        {__LINE__, "galvorn", 2, {0, 0x34000, 0x10000}, {0x81, 0, 0, 0x1C, 0, 0}},
        {__LINE__, "dastrel", 2, {31, 0x1FFFF, 0}, {0xFC, 0x03, 0x7F, 0x7F, 0x08, 0, 0}},
        {__LINE__, "istrane", 1, {31, 0xFFFF, 12417}, {0x40, 0x1F, 0x3F, 0x3F, 0x0F, 1, 2, 3}},
        {__LINE__, "istrane", 2, {5, 257, 515}, {0x85, 1, 2, 3, 4}},
        {__LINE__, "ostrevan", 2, {1, 4095, 64}, {0x44, 0x3F, 0x3F, 0, 1}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::uint8_t> report;
        ASSERT_TRUE(drv::encodeTabletReport(c.model, c.format, c.sample, report));
        EXPECT_EQ(report, c.expected);
    }
}

TEST(TabletEncoder, RefusesWhatTheFormatCannotCarry) {
    struct Case {
        int line;
        std::string_view model;
        int format;
        TabletSample sample;
    };
    const Case cases[] = {
        {__LINE__, "jorvel", 1, {0, 10000, 0}},
        {__LINE__, "jorvel", 1, {0, 0, -1}},
        {__LINE__, "jorvel", 1, {'0', 0, 0}},     // '0' means no button
        {__LINE__, "jorvel", 1, {0x7F, 0, 0}},    // not printable
        {__LINE__, "marvask", 1, {'9', 0, 0}},    // the tablet's refusal mark
        {__LINE__, "kestavin", 1, {'U', 0, 0}},
        {__LINE__, "nolvery", 1, {100, 0, 0}},
        {__LINE__, "halvesk", 1, {79, 0, 0}},
        {__LINE__, "ambrel", 1, {1, 0, 0}},
        {__LINE__, "ambrel", 2, {48, 0, 0}},
        {__LINE__, "wendral", 2, {8, 0, 0}},
        {__LINE__, "lunmore", 2, {16, 0, 0}},
        {__LINE__, "varnock", 2, {-1, 0, 0}},
        {__LINE__, "belvane", 2, {0, 0x10000, 0}},
        {__LINE__, "jorvel", 2, {0, 0x1000, 0}},
        {__LINE__, "nolvery", 2, {0, 0, 0x10000}},
        {__LINE__, "galvorn", 2, {0, 0, 0x20000}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        std::vector<std::uint8_t> report;
        EXPECT_FALSE(drv::encodeTabletReport(c.model, c.format, c.sample, report));
        EXPECT_TRUE(report.empty());
    }
}

std::vector<std::int16_t> range(int first, int last) {
    std::vector<std::int16_t> values(static_cast<std::size_t>(last - first + 1));
    std::iota(values.begin(), values.end(), static_cast<std::int16_t>(first));
    return values;
}

TEST(TabletEncoder, ButtonSets) {
    std::vector<std::int16_t> printable{0};
    for (const std::int16_t c : range(0x20, 0x7E)) {
        if (c != '0') {
            printable.push_back(c);
        }
    }
    std::vector<std::int16_t> printableBut9 = printable;
    std::erase(printableBut9, std::int16_t{'9'});
    std::sort(printable.begin(), printable.end());
    std::sort(printableBut9.begin(), printableBut9.end());

    struct Case {
        int line;
        std::string_view model;
        int format;
        std::vector<std::int16_t> expected;
    };
    const Case cases[] = {
        {__LINE__, "ambrel", 1, {0, 49}},
        {__LINE__, "ambrel", 2, {0, 49}},
        {__LINE__, "elmoray", 2, {0, 49}},
        {__LINE__, "wendral", 2, range(0, 7)},
        {__LINE__, "lunmore", 2, range(0, 15)},
        {__LINE__, "abbrinet", 1, range(0, 15)},
        {__LINE__, "varnock", 2, range(0, 31)},
        {__LINE__, "sorvane", 2, range(0, 31)},
        {__LINE__, "nolvery", 1, range(0, 99)},
        {__LINE__, "halvesk", 1, range(-16, 78)},
        {__LINE__, "jorvel", 1, printable},
        {__LINE__, "marvask", 1, printableBut9},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(drv::tabletButtons(c.model, c.format), c.expected);
    }
}

// Every model and format: encode a grid of samples (every button, the
// coordinate extremes and bit-group boundaries), check the report's framing
// and decode it with the shared code.
TEST(TabletEncoder, RoundTripThroughEveryDecoder) {
    std::size_t formats = 0;
    for (std::string_view model : drv::tabletModelNames()) {
        const Entry entry = sharedEntry(model);
        for (const int format : {1, 2}) {
            const std::optional<TabletFormat> info = drv::tabletFormat(model, format);
            if (!info) {
                continue;
            }
            ++formats;
            SCOPED_TRACE(testing::Message() << model << " format " << format);
            const auto coordinates = [](std::int32_t max) {
                return std::vector<std::int32_t>{0, 1, 63, 64, 127, 128, max / 2, max - 1, max};
            };
            for (const std::int16_t button : drv::tabletButtons(model, format)) {
                for (const std::int32_t x : coordinates(info->maxX)) {
                    for (const std::int32_t y : coordinates(info->maxY)) {
                        const TabletSample sample{button, x, y};
                        std::vector<std::uint8_t> report;
                        ASSERT_TRUE(drv::encodeTabletReport(model, format, sample, report))
                            << button << " " << x << " " << y;
                        ASSERT_EQ(report.size(), info->encodedLength);
                        if (info->kind == TabletReportKind::Ascii) {
                            ASSERT_EQ(report.back(), info->frameByte);
                            ASSERT_TRUE(std::all_of(report.begin(), report.end() - 1, [](auto b) {
                                return b >= 0x20 && b <= 0x7E;
                            }));
                        } else {
                            ASSERT_EQ(report[0] & info->frameByte, info->frameByte);
                        }
                        std::int32_t status = -1;
                        const DigitizerRequest request = decodeWith(entry, format, report, status);
                        ASSERT_EQ(status, 0);
                        ASSERT_EQ((TabletSample{request.button, request.x, request.y}), sample);
                    }
                }
            }
        }
    }
    // 20 two-format models, istrane's two binary formats, tavrel's one
    // decodable format and four single-format models.
    EXPECT_EQ(formats, 20u * 2 + 2 + 1 + 4);
}

}  // namespace
}  // namespace drv::digitizer::test
