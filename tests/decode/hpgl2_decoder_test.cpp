// HP-GL/2 commands, one case each, decoded into JSON lines.
#include <string>

#include <gtest/gtest.h>

#include "tests/decode/decode_cases.h"
#include "host/decode/hpgl2_decoder.h"

namespace {

using namespace drv;
using test::peNumber;

// The ink of pen 1 as a device starts.
const std::string kPen1 = R"("pen":1,"width_mm":0.35,"color":"#000000")";

std::string stroke(const std::string &points, const std::string &ink = kPen1) {
    return R"({"type":"stroke",)" + ink + R"(,"points":)" + points + "}\n";
}

struct Case {
    int line;
    std::string input;
    std::string elements;
    std::string problems; // a piece of the problem lines, or empty for none
};

std::string pe32(std::initializer_list<long> values) {
    std::string s;
    for (long v : values) {
        s += peNumber(v, true);
    }
    return s;
}
std::string pe64(std::initializer_list<long> values) {
    std::string s;
    for (long v : values) {
        s += peNumber(v, false);
    }
    return s;
}

const Case kCases[] = {
    // absolute and relative coordinate lists, PU and PD
    {__LINE__, "IN;PU100,100;PD200,100,200,200;", stroke("[[100,100],[200,100],[200,200]]"), ""},
    {__LINE__, "IN;PU10,10;PR;PD5,0,0,5;PA;PD0,0;", stroke("[[10,10],[15,10],[15,15],[0,0]]"), ""},
    {__LINE__, "in;pu100 100;pd 200 100;", stroke("[[100,100],[200,100]]"), ""},
    {__LINE__, "IN;PU7,7;PD7,7;PU;", stroke("[[7,7]]"), ""},
    {__LINE__, "IN;PU7,7;PD;PU;", "", ""},
    {__LINE__, "IN;PD1,2,3;", stroke("[[0,0],[1,2]]"), "odd number of coordinates"},
    {__LINE__, "IN;PD1.5,-2.25;", stroke("[[0,0],[1.5,-2.25]]"), ""},
    // pens: palette size, colours, widths; a pen change ends the stroke
    {__LINE__, "IN;NP8;PC2,10,20,30;PW0.5,2;SP2;PD0,0,1,1;",
     stroke("[[0,0],[1,1]]", R"("pen":2,"width_mm":0.5,"color":"#0a141e")"), ""},
    {__LINE__, "IN;PW0.7;SP3;PD0,0,5,0;SP1;PD5,5;",
     stroke("[[0,0],[5,0]]", R"("pen":3,"width_mm":0.7,"color":"#00ff00")") +
         stroke("[[5,0],[5,5]]", R"("pen":1,"width_mm":0.7,"color":"#000000")"),
     ""},
    {__LINE__, "IN;NP3;SP3;PD1,1;", stroke("[[0,0],[1,1]]", R"("pen":3,"width_mm":0.35,"color":"#00ff00")"), ""},
    {__LINE__, "IN;NP2;SP3;PD1,1;", stroke("[[0,0],[1,1]]", R"("pen":3,"width_mm":0.35,"color":"#000000")"), ""},
    {__LINE__, "IN;NP2;PC5,1,2,3;", "", "PC for pen 5 outside the palette of 2"},
    // circles and arcs
    {__LINE__, "IN;PU50,60;CI25,10;",
     R"({"type":"circle",)" + kPen1 + R"(,"center":[50,60],"radius":25,"chord_deg":10})" "\n", ""},
    {__LINE__, "IN;PU100,0;PD;AA0,0,90,5;PD0,50;",
     R"({"type":"arc",)" + kPen1 + R"(,"center":[0,0],"start":[100,0],"end":[0,100],"sweep_deg":90,"chord_deg":5})" "\n" +
         stroke("[[0,100],[0,50]]"),
     ""},
    {__LINE__, "IN;PU100,0;PD;AR-100,0,-180;",
     R"({"type":"arc",)" + kPen1 + R"(,"center":[0,0],"start":[100,0],"end":[-100,0],"sweep_deg":-180,"chord_deg":5})" "\n", ""},
    {__LINE__, "IN;PU100,0;AA0,0,90;PD0,50;", stroke("[[0,100],[0,50]]"), ""},
    // labels: size, direction, slant, terminator, font
    {__LINE__, "IN;SI0.2,0.3;DI0,1;SL0.5;SD1,277,7,4148;SS;PU10,20;LBab\x03PD0,0;",
     R"({"type":"label",)" + kPen1 +
         R"(,"at":[10,20],"text":"ab","size_mm":[3,3],"direction":[0,1],"slant":0.5,"symbol_set":277,"typeface":4148})" "\n" +
         stroke("[[10,260],[0,0]]"),
     ""},
    {__LINE__, "IN;DT*,1;SI0.1,0.1;LBxy*",
     R"({"type":"label",)" + kPen1 + R"(,"at":[0,0],"text":"xy","size_mm":[1.5,1],"direction":[1,0],"slant":0})" "\n", ""},
    {__LINE__, "IN;SI0.1,0.1;LBxy", R"({"type":"label",)" + kPen1 + R"(,"at":[0,0],"text":"xy","size_mm":[1.5,1],"direction":[1,0],"slant":0})" "\n",
     "label not ended"},
    // polygons: subpolygons, fill types, edges, rectangles
    {__LINE__, "IN;FT10,30;PU0,0;PM0;PD10,0,10,10;PM1;PU2,2;PD4,2,4,4;PM2;FP;",
     R"({"type":"polygon",)" + kPen1 +
         R"(,"fill":{"type":10,"level":30},"rings":[[[0,0],[10,0],[10,10]],[[2,2],[4,2],[4,4]]]})" "\n",
     ""},
    {__LINE__, "IN;PU0,0;PM0;PD10,0,10,10;PM2;EP;", stroke("[[0,0],[10,0],[10,10],[0,0]]"), ""},
    {__LINE__, "IN;FT1;PU1,1;RA5,6;",
     R"({"type":"polygon",)" + kPen1 + R"(,"fill":{"type":1,"level":0},"rings":[[[1,1],[5,1],[5,6],[1,6]]]})" "\n", ""},
    {__LINE__, "IN;PU0,0;PM0;PD10,0;", "", "input ends in polygon mode"},
    // pages
    {__LINE__, "PS2000,1000;RO90;PG;RP2;",
     R"({"type":"page","event":"setup","size":[2000,1000],"rotation":0})" "\n"
     R"({"type":"page","event":"setup","size":[2000,1000],"rotation":90})" "\n"
     R"({"type":"page","event":"feed","copies":3})" "\n",
     ""},
    // read with a note, or not read
    {__LINE__, "IN;LT1,2;ZZ1,2;PD1,1;", stroke("[[0,0],[1,1]]"), ""},
    {__LINE__, "IN;PD1,.;", "", "malformed number"},
    {__LINE__, "IN;5;PD1,1;", stroke("[[0,0],[1,1]]"), "byte 53 outside a command"},
    // job control around the vectors
    {__LINE__, "\x1B%-12345X@PJL ENTER LANGUAGE=HPGL2\r\n\x1B" "EIN;PD1,1;\x1B%-12345X",
     stroke("[[0,0],[1,1]]"), ""},
    // PE: base 32 with its flags, pen select, relative pairs
    {__LINE__, "PE7=:" + pe32({1}) + "<" + pe32({100, 200}) + pe32({50, 0}) + pe32({0, -240}) + ";",
     stroke("[[100,200],[150,200],[150,-40]]"), ""},
    // base 64, and a pen-up pair inside an open instruction
    {__LINE__, "PE=" + pe64({1000, -1000}) + "<" + pe64({5, 5}) + pe64({-5, 0}) + ";",
     stroke("[[0,0],[1000,-1000]]") + stroke("[[1005,-995],[1000,-995]]"), ""},
    // '=' waits for the next pair, past a pen select
    {__LINE__, "PU50,50;PE=:" + pe64({2}) + pe64({10, 10}) + ";",
     stroke("[[50,50],[10,10]]", R"("pen":2,"width_mm":0.35,"color":"#ff0000")"), ""},
    // fractional bits
    {__LINE__, "PE>" + pe64({1}) + pe64({3, 1}) + ";", stroke("[[0,0],[1.5,0.5]]"), ""},
    // long numbers: the largest differences a coordinate may take
    {__LINE__, "PE7=<" + pe32({1073741823, -1073741823}) + pe32({-1073741823, 1073741823}) + ";",
     stroke("[[1073741823,-1073741823],[0,0]]"), ""},
    {__LINE__, "PE7" + pe32({1}) + "\x7F" + pe32({1}) + ";", stroke("[[0,0],[1,1]]"), "byte 127 is not PE data"},
    {__LINE__, "PE" + pe64({4}), "", "input ends inside PE"},
    {__LINE__, "PE" + pe64({4}) + ";", "", "half a coordinate pair"},
    {__LINE__, "PE7??????????_;", "", "PE number too long"},
};

TEST(Hpgl2Decoder, EachCommand) {
    for (const Case &c : kCases) {
        SCOPED_TRACE("line " + std::to_string(c.line));
        const decode::Drawing drawing = decode::decodeHpgl2(test::toBytes(c.input));
        EXPECT_EQ(test::elementLines(drawing), c.elements);
        test::expectProblems(drawing, c.problems);
    }
}

TEST(Hpgl2Decoder, NotesCountWhatIsReadButNotDrawn) {
    const decode::Drawing drawing = decode::decodeHpgl2(test::toBytes("IN;LT1;LT2;ZZ;"));
    ASSERT_EQ(drawing.notes.size(), 2u);
    EXPECT_EQ(drawing.notes[0].message, "LT read but not applied to the preview (2 times)");
    EXPECT_EQ(drawing.notes[1].message, "ZZ is not known to the decoder and was skipped");
    EXPECT_EQ(drawing.notes[1].offset, 11u);
}

// Garbage of any length leaves a bounded report.
TEST(Hpgl2Decoder, ProblemsAreBounded) {
    const decode::Drawing drawing = decode::decodeHpgl2(test::Bytes(100000, '5'));
    EXPECT_LE(drawing.problems.size(), 201u);
    EXPECT_EQ(drawing.problems.back().message, std::to_string(100000 - 200) + " more problems not listed");
}

} // namespace
