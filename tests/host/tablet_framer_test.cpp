#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/host/test_bytes.h"

#include "host/tablet/tablet_defaults.h"
#include "host/tablet/tablet_framer.h"

namespace {

using namespace drv::host;
using drv::test::Bytes;
using drv::test::bytes;
using drv::test::join;

struct FramingCase {
    int line;
    TabletFraming framing;
    Bytes stream;
    std::vector<Bytes> reports;
    std::size_t unframed;
};

constexpr TabletFraming kCrLines{TabletFraming::Kind::Lines, 0, 11, 1};
constexpr TabletFraming kExactLines{TabletFraming::Kind::Lines, 0, 11, 0};
constexpr TabletFraming kAnyLines{TabletFraming::Kind::Lines, 0, 0, 1};
constexpr TabletFraming kBit7{TabletFraming::Kind::Marked, 0x80, 6, 1};
constexpr TabletFraming kExactBit7{TabletFraming::Kind::Marked, 0x80, 6, 0};
constexpr TabletFraming kMaskB0{TabletFraming::Kind::Marked, 0xB0, 7, 1};

const Bytes kR1{0x80, 0x01, 0x02, 0x03, 0x04, 0x05};
const Bytes kR2{0x84, 0x11, 0x12, 0x13, 0x14, 0x15};

const FramingCase kCases[] = {
    {__LINE__, kCrLines, bytes("ABCDEFGHIJK\r"), {bytes("ABCDEFGHIJK\r")}, 0},
    {__LINE__,
     kCrLines,
     bytes("ABCDEFGHIJK\r\nLMNOPQRSTUV\r\n"),
     {bytes("ABCDEFGHIJK\r"), bytes("LMNOPQRSTUV\r")},
     0},
    {__LINE__, kCrLines, bytes("\n\nABCDEFGHIJK\n"), {bytes("ABCDEFGHIJK\n")}, 0},
    // a lost character would shift every field: dropped
    {__LINE__, kCrLines, bytes("ABCDEFGHIJ\rABCDEFGHIJK\r"), {bytes("ABCDEFGHIJK\r")}, 1},
    // one character past the declared length is delivered, two are not
    {__LINE__, kCrLines, bytes("ABCDEFGHIJKL\rABCDEFGHIJKLM\r"), {bytes("ABCDEFGHIJKL\r")}, 1},
    {__LINE__, kExactLines, bytes("ABCDEFGHIJKL\rABCDEFGHIJK\r"), {bytes("ABCDEFGHIJK\r")}, 1},
    // line noise: a byte outside printable ASCII spoils its line only
    {__LINE__,
     kCrLines,
     bytes("AB\x01"
           "DEFGHIJK\rABCDEFGHIJK\r"),
     {bytes("ABCDEFGHIJK\r")},
     1},
    {__LINE__,
     kCrLines,
     join({Bytes{0xFF}, bytes("\rABCDEFGHIJK\r")}),
     {bytes("ABCDEFGHIJK\r")},
     1},
    // the stream ends before the terminator
    {__LINE__, kCrLines, bytes("ABCDEFGHIJK\rABC"), {bytes("ABCDEFGHIJK\r")}, 1},
    {__LINE__, kAnyLines, bytes("1\r\n22\r\n"), {bytes("1\r"), bytes("22\r")}, 0},
    {__LINE__, kAnyLines, join({Bytes(70, 'A'), bytes("\rB\r")}), {bytes("B\r")}, 1},

    {__LINE__, kBit7, join({kR1, kR2}), {kR1, kR2}, 0},
    // noise before the first report start
    {__LINE__, kBit7, join({Bytes{0x7F, 0x01}, kR1}), {kR1}, 1},
    // a lost byte inside a report drops that report, the next one is whole
    {__LINE__, kBit7, join({Bytes(kR1.begin(), kR1.end() - 1), kR2}), {kR2}, 1},
    // a lost start byte turns the rest of its report into noise
    {__LINE__, kBit7, join({Bytes(kR1.begin() + 1, kR1.end()), kR2}), {kR2}, 1},
    // a stray byte carrying the mark starts a report that comes out short
    {__LINE__, kBit7, join({kR1, Bytes{0xFF}, kR2}), {kR1, kR2}, 1},
    // a tablet that sends one byte more than declared gets it delivered
    {__LINE__, kBit7, join({kR1, Bytes{0x06}, kR2}), {join({kR1, Bytes{0x06}}), kR2}, 0},
    {__LINE__, kBit7, join({kR1, Bytes{0x06, 0x07}, kR2}), {join({kR1, Bytes{0x06}}), kR2}, 1},
    // with the exact length known, a surplus byte is noise
    {__LINE__, kExactBit7, join({kR1, Bytes{0x06}, kR2}), {kR1, kR2}, 1},
    // every mark bit must be set: 0x90 continues a report under mask 0xB0
    {__LINE__,
     kMaskB0,
     Bytes{0xB4, 0x90, 0x01, 0x02, 0x03, 0x04, 0x05, 0xB0, 1, 2, 3, 4, 5, 6},
     {Bytes{0xB4, 0x90, 0x01, 0x02, 0x03, 0x04, 0x05}, Bytes{0xB0, 1, 2, 3, 4, 5, 6}},
     0},
};

TEST(ReportFramer, CutsStreamsIntoReports) {
    for (const FramingCase &c : kCases) {
        SCOPED_TRACE(c.line);
        std::vector<Bytes> delivered;
        ReportFramer framer(c.framing, [&](std::span<const std::uint8_t> r) {
            delivered.emplace_back(r.begin(), r.end());
        });
        framer.feed(c.stream);
        framer.finish();
        EXPECT_EQ(delivered, c.reports);
        EXPECT_EQ(framer.unframed(), c.unframed);
    }
}

TEST(ReportFramer, SameResultWhateverTheChunking) {
    const Bytes stream = join({Bytes{0x01}, kR1, Bytes{0x06}, kR2, Bytes{0x80, 0x01}, kR1});
    std::vector<Bytes> whole;
    ReportFramer once(
        kBit7, [&](std::span<const std::uint8_t> r) { whole.emplace_back(r.begin(), r.end()); });
    once.feed(stream);
    once.finish();
    std::vector<Bytes> pieces;
    ReportFramer split(
        kBit7, [&](std::span<const std::uint8_t> r) { pieces.emplace_back(r.begin(), r.end()); });
    for (const std::uint8_t b : stream) {
        split.feed(std::span(&b, 1));
    }
    split.finish();
    EXPECT_EQ(pieces, whole);
    EXPECT_EQ(split.unframed(), once.unframed());
    EXPECT_EQ(whole.size(), 3u);
}

TEST(ReportFramer, AQuietLineCompletesAReportOfTheDeclaredLength) {
    std::vector<Bytes> delivered;
    ReportFramer framer(kBit7, [&](std::span<const std::uint8_t> r) {
        delivered.emplace_back(r.begin(), r.end());
    });
    framer.feed(Bytes(kR1.begin(), kR1.end() - 1));
    framer.idle();
    EXPECT_TRUE(delivered.empty()); // still short: the last byte may come
    framer.feed(Bytes{kR1.back()});
    framer.idle();
    EXPECT_EQ(delivered, std::vector<Bytes>{kR1});
}

struct ProfileCase {
    int line;
    std::uint8_t frameByte;
    std::uint8_t reportLength;
    TabletFraming framing;
    bool declared;
};

const ProfileCase kProfiles[] = {
    {__LINE__, 0x0A, 20, {TabletFraming::Kind::Lines, 0, 20, 1}, true},
    {__LINE__, 0x0D, 12, {TabletFraming::Kind::Lines, 0, 12, 1}, true},
    {__LINE__, 0xB0, 7, {TabletFraming::Kind::Marked, 0xB0, 7, 1}, true},
    {__LINE__, 0x40, 8, {TabletFraming::Kind::Marked, 0x40, 8, 1}, true},
    {__LINE__, 0x00, 0, {TabletFraming::Kind::Lines, 0, 0, 1}, false},
};

struct KnownCase {
    int line;
    const char *model;
    int format;
    std::optional<TabletFraming> framing;
};

// The exact lengths of the models the suite knows, including those whose
// drivers declare nothing and those that send a byte past the declared length.
const KnownCase kKnown[] = {
    {__LINE__, "zolmar", 1, TabletFraming{TabletFraming::Kind::Marked, 0x80, 6, 0}},
    {__LINE__, "fennick", 1, TabletFraming{TabletFraming::Kind::Lines, 0, 12, 0}},
    {__LINE__, "dastrel", 2, TabletFraming{TabletFraming::Kind::Marked, 0x80, 7, 0}},
    {__LINE__, "wendral", 1, TabletFraming{TabletFraming::Kind::Lines, 0, 14, 0}},
    {__LINE__, "ambrel", 2, TabletFraming{TabletFraming::Kind::Marked, 0xB0, 7, 0}},
    {__LINE__, "tavrel", 2, std::nullopt}, // no decoder
    {__LINE__, "nosuch", 1, std::nullopt},
};

TEST(ReportFramer, KnowsTheExactFramingOfTheSuitesModels) {
    for (const KnownCase &c : kKnown) {
        SCOPED_TRACE(c.line);
        EXPECT_EQ(knownFraming(c.model, c.format), c.framing);
    }
}

TEST(ReportFramer, ReadsTheDeclaredFraming) {
    for (const ProfileCase &c : kProfiles) {
        SCOPED_TRACE(c.line);
        bool declared = !c.declared;
        EXPECT_EQ(framingFromProfile(c.frameByte, c.reportLength, declared), c.framing);
        EXPECT_EQ(declared, c.declared);
    }
}

} // namespace
