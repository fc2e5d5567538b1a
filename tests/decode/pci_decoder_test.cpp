// PCI: each command body, long moves, framing found from the stream, and
// records that are wrong: reported, left out, and decoding goes on.
#include <string>

#include <gtest/gtest.h>

#include "tests/decode/decode_cases.h"
#include "host/decode/pci_decoder.h"

namespace {

using namespace drv;

constexpr int kBias = 0x20;

std::string codes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values) {
        s.push_back(static_cast<char>(kBias + v));
    }
    return s;
}

// A record: code 0, the body, the checksum character when asked, three CRs.
std::string record(const std::string &body, bool checksum = false, const std::string &syncs = "") {
    std::string r = codes({0}) + body;
    if (checksum) {
        long sum = 0;
        for (const char c : r) {
            sum += static_cast<signed char>(c);
        }
        r.push_back(static_cast<char>(96 - (sum >= 0 ? sum & 31 : -((-sum) & 31))));
    }
    return syncs + r + "\r\r\r";
}

const std::string kStart = record(codes({11, 0, 9, 11, 7, 1, 13, 1}));
const std::string kPen1 = R"("pen":1,"width_mm":0.35,"color":"#000000")";

std::string stroke(const std::string &points, const std::string &ink = kPen1) {
    return R"({"type":"stroke",)" + ink + R"(,"points":)" + points + "}\n";
}

struct Case {
    int line;
    std::string records; // after the job's first record
    std::string elements;
    std::string problems; // a piece of the problem lines, or empty for none
};

const std::string kStyle = codes({11, 5, 15, 32, 6, 8, 30, 31, 31, 31, 36, 12, 60, 1, 0, 12});

const Case kCases[] = {
    {__LINE__, record(codes({2, 20, 3, 4, 6, 8})), stroke("[[0,0],[100,200]]"), ""},
    {__LINE__, record(codes({3, 20, 3, 4, 6, 8, 2, 38, 5})), stroke("[[100,200],[105,200]]"), ""},
    {__LINE__, record(codes({2, 24, 0, 0})), stroke("[[0,0]]"), ""},
    // pens, in both forms
    {__LINE__, record(codes({4, 2, 2, 36, 5})), stroke("[[0,0],[0,5]]", R"("pen":2,"width_mm":0.35,"color":"#ff0000")"), ""},
    {__LINE__, record(codes({14, 32, 0, 1, 1, 2, 39, 5})),
     stroke("[[0,0],[0,-5]]", R"("pen":33,"width_mm":0.35,"color":"#0000ff")"), ""},
    // long moves: the cut of one move reads as that move, equal moves do not
    {__LINE__, record(codes({2, 30, 16, 0, 0, 30, 16, 0, 0})), stroke("[[0,0],[32768,0]]"), ""},
    {__LINE__, record(codes({2, 50, 19, 15, 14, 3, 7, 50, 19, 15, 14, 3, 6})), stroke("[[0,0],[39900,-205]]"), ""},
    {__LINE__, record(codes({2, 44, 2, 24, 13, 8, 44, 2, 24, 13, 8, 44, 2, 24, 13, 8, 45, 1, 24, 13, 8})),
     stroke("[[0,0],[5,100000]]"), ""},
    {__LINE__, record(codes({2, 20, 3, 4, 6, 8, 20, 3, 4, 6, 8})), stroke("[[0,0],[100,200],[200,400]]"), ""},
    // circles, small and large, and an arc
    {__LINE__, record(codes({2, 12, 5, 34, 15, 20})),
     R"({"type":"circle",)" + kPen1 + R"(,"center":[500,0],"radius":500})" "\n", ""},
    {__LINE__, record(codes({2, 12, 13, 38, 9, 30, 3, 2, 0})),
     R"({"type":"circle",)" + kPen1 + R"(,"center":[40000,0],"radius":40000})" "\n", ""},
    {__LINE__, record(codes({3, 34, 3, 4, 12, 11, 24, 0, 0, 33, 3, 4, 24, 0, 0, 32, 3, 4, 2, 38, 1})),
     R"({"type":"arc",)" + kPen1 + R"(,"center":[0,0],"start":[100,0],"end":[0,100],"sweep_deg":90})" "\n" +
         stroke("[[0,100],[1,100]]"),
     ""},
    // label style, font and a label; the pen ends after the text
    {__LINE__, record(kStyle + codes({11, 0, 9, 11, 7, 5, 24, 0, 0, 5, 5}) + "Hello" + codes({2, 24, 0, 0})),
     R"({"type":"label",)" + kPen1 +
         R"(,"at":[0,0],"text":"Hello","size_mm":[3.75,5],"direction":[1,0],"slant":0.25,"symbol_set":5})" "\n" +
         stroke("[[745,0]]"),
     ""},
    // a speed changes nothing drawn
    {__LINE__, record(codes({11, 0, 5, 11, 3, 5, 11, 1, 9, 2, 38, 1})), stroke("[[0,0],[1,0]]"), ""},
    // a malformed body: its record is left out, the next one counts
    {__LINE__, record(codes({2, 38, 1})) + record(codes({38, 5, 9})) + record(codes({38, 2})) + record(codes({3})),
     stroke("[[0,0],[1,0],[3,0]]"), "record 3: malformed body at offset"},
    {__LINE__, record(codes({2, 38, 40})) + record(codes({3})), "", "record 2: malformed body"},
    // noise between records, and a record that never ends
    {__LINE__, record(codes({2, 38, 1})) + "xyz" + record(codes({3})), stroke("[[0,0],[1,0]]"), "3 bytes outside any record"},
    {__LINE__, record(codes({2, 38, 1})) + codes({0, 2, 38, 1}), stroke("[[0,0],[1,0]]"), "record 3 has no terminators"},
};

TEST(PciDecoder, EachBody) {
    decode::PciFramingOptions framing;
    framing.bias = kBias;
    framing.radix = 32;
    framing.syncCount = 0;
    framing.terminator = '\r';
    framing.checksum = false;
    for (const Case &c : kCases) {
        SCOPED_TRACE("line " + std::to_string(c.line));
        const decode::Drawing drawing = decode::decodePci(test::toBytes(kStart + c.records), framing);
        EXPECT_EQ(test::elementLines(drawing), c.elements);
        test::expectProblems(drawing, c.problems);
    }
}

// Sync characters, checksums and terminator from the job's first record;
// a record whose checksum is wrong is reported with its number and where
// its checksum is, and left out.
TEST(PciDecoder, FramingFromTheStreamAndABadChecksum) {
    const std::string syncs = "!!";
    const std::string preamble = "&&&&FIRST LINE\nSECOND\n^^^^LAST\n";
    const std::string first = record(codes({11, 0, 9, 11, 7, 1, 13, 1}), true, syncs);
    const std::string second = record(codes({2, 38, 1}), true, syncs);
    std::string bad = record(codes({2, 38, 7}), true, syncs);
    bad[bad.size() - 4] = static_cast<char>(bad[bad.size() - 4] + 1);
    const std::size_t checksumAt = preamble.size() + first.size() + second.size() + bad.size() - 4;
    const std::string job = preamble + first + second + bad + record(codes({38, 2}), true, syncs) +
                            record(codes({3}) + "bye", true, syncs);
    const decode::Drawing drawing = decode::decodePci(test::toBytes(job));
    EXPECT_EQ(test::elementLines(drawing), stroke("[[0,0],[1,0],[3,0]]"));
    ASSERT_EQ(drawing.problems.size(), 1u) << test::problemLines(drawing.problems);
    EXPECT_EQ(drawing.problems[0].record, 3u);
    EXPECT_EQ(drawing.problems[0].offset, checksumAt);
    EXPECT_NE(drawing.problems[0].message.find("record 3: checksum"), std::string::npos);
    const std::string notes = test::problemLines(drawing.notes);
    EXPECT_NE(notes.find("found from the job's first record"), std::string::npos) << notes;
    EXPECT_NE(notes.find("preamble skipped"), std::string::npos) << notes;
    EXPECT_NE(notes.find("job trailer text"), std::string::npos) << notes;
}

TEST(PciDecoder, RadixOutsideTheLanguageDecodesNothing) {
    decode::PciFramingOptions framing;
    framing.radix = 1;
    const decode::Drawing drawing = decode::decodePci(test::toBytes(kStart), framing);
    EXPECT_TRUE(drawing.elements.empty());
    EXPECT_NE(test::problemLines(drawing.problems).find("radix 1 outside 2..127"), std::string::npos);
}

} // namespace
