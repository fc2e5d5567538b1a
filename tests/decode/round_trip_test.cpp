// Known plot jobs through each built plotter library, decoded back from the
// bytes: the drawing must be exactly what the requests ask of the device.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/demo/demo_drawing.h"
#include "tests/decode/drawing_compare.h"
#include "tests/decode/expected_drawing.h"
#include "host/decode/detect_language.h"
#include "host/decode/hpgl2_decoder.h"
#include "host/decode/pci_decoder.h"
#include "tests/decode/plot_jobs.h"

namespace {

using namespace drv;

struct Job {
    int line;
    const char *name;
    std::string script;
};

const std::vector<Job> &jobs() {
    static const std::vector<Job> kJobs = {
        {__LINE__, "demo", std::string(host::demoDrawingScript())},
        {__LINE__, "every vector operation",
         R"(BeginJob page_width=16000 page_height=11000 pens=8 bias=0x20 radix=32 sync_count=2 sync='!' terminator='\r' checksum=1
SelectPen pen=1
Plot x=100 y=200
PenDown
Plot x=150 y=200
Plot x=150 y=-40
PenWidth pen=2 width=0.35
PenColor pen=2 red=65535 green=32768 blue=0
Velocity pen=1 on=1 speed=25.0 p5=1 p6=0.5
Velocity pen=1 on=0
SelectPen pen=2
Circle cx=1000 cy=1000 r=400 chord=5.0
TextStyle height_units=120 width_units=90 height_mm=3.0 width_mm=3.0 dir_y=0 dir_x=1 slant=0
Font typeface_on=1 symbol_set_on=1 typeface=4148 symbol_set=14
Label x=0 y=0 text="Hi"
PenDown
Plot x=-300 y=-300
Plot x=-300 y=-300
Arc cx=0 cy=0 sx=-300 sy=-300 ex=300 ey=-300 sweep=90 chord=2
EndJob copy_switch=1 copies=3 text="\e%-12345X"
)"},
        {__LINE__, "base-64 numbers on a portrait page, turned",
         R"(BeginJob flags=PeBase64 page_width=11000 page_height=16000 pens=4 bias=0x30 radix=64 sync_count=1 sync='%' terminator='\n' checksum=0
SelectPen pen=3
PenDown
Plot x=5000 y=5000
Plot x=-20000 y=90000
Plot x=150000 y=-120000
Plot x=150000 y=-120000
PenUp
Plot x=0 y=0
PenDown
Plot x=0 y=0
PenUp
Circle cx=100 cy=100 r=40000 chord=10
TextStyle height_units=800 width_units=600 height_mm=20 width_mm=15 dir_y=0.6 dir_x=0.8 slant=-0.5
Label x=1000 y=2000 text="a label longer than seventy-seven characters, which the binary-coded plotter cuts to fit"
RasterBegin x=2000 y=3000 width_mm=8 height_mm=4 columns=8 rows=4 depth=2 palette=#FFFFFF,#FF0000,#00FF00,#0000FF
RasterRow hex=1B00
RasterRow hex=E400
RasterRow hex=0000
RasterRow hex=FFFF
RasterEnd
EndJob
)"},
        {__LINE__, "portrait page kept upright",
         R"(BeginJob flags=NoRotation page_width=8400 page_height=11880 pens=2 bias=0x20 radix=32 terminator=13
SelectPen pen=1 flags=AltPenSelect
PenDown
Plot x=100 y=100
Plot x=8300 y=100
RasterBegin x=1000 y=1000 width_mm=20 height_mm=10 columns=20 rows=2 depth=1 palette=#FFFFFF,#102030
RasterRow hex=F0F0F0
RasterRow hex=0F0F0F
RasterEnd
EndJob
)"},
        {__LINE__, "every raster form",
         R"(BeginJob page_width=16000 page_height=11000 pens=8 bias=0x20 radix=32 terminator=13
RasterBegin x=100 y=100 width_mm=10 height_mm=10 columns=10 rows=3 depth=4 palette=#000000,#FF0000,#00FF00,#0000FF,#FFFF00
RasterRow hex=0123401234
RasterRow hex=4321043210
RasterRow hex=0000000000
RasterEnd
RasterBegin x=900 y=100 width_mm=10 height_mm=10 columns=9 rows=2 depth=8 palette=#000000,#808080,#FFFFFF flags=PlanesUncompressed
RasterRow hex=000102000102000102
RasterRow hex=020202020202020202
RasterEnd
RasterBegin x=1700 y=100 width_mm=10 height_mm=10 columns=9 rows=3 depth=8 palette=#000000,#808080,#FFFFFF flags=ExpandPalette
RasterRow hex=000102000102000102
RasterRow hex=000102000102000102
RasterRow hex=020202020202020205
RasterEnd
RasterBegin x=2500 y=100 width_mm=10 height_mm=5 columns=2 rows=2 depth=16 flags=ColorUncompressed
RasterRow hex=FF7F2104
RasterRow hex=00800000
RasterEnd
RasterBegin x=3300 y=100 width_mm=10 height_mm=5 columns=2 rows=3 depth=32 flags=0
RasterRow hex=0011223300445566
RasterRow hex=0011223300445566
RasterRow hex=00112233FF445567
RasterEnd
Plot x=5000 y=5000
RasterBegin x=4100 y=100 width_mm=10 height_mm=5 columns=3 rows=1 depth=1 palette=#FFFFFF,#000000
RasterRow hex=A0
RasterEnd flags=HaltAfterRaster
Plot x=9000 y=9000
TextStyle height_units=100 width_units=100 height_mm=2.5 width_mm=2.5 dir_x=1 dir_y=0 slant=0
Label x=0 y=0 text="halted"
EndJob flags=0
)"},
    };
    return kJobs;
}

struct Language {
    const char *driver;
    decode::Drawing (*expected)(const std::vector<host::PlotCall> &);
    decode::Drawing (*decode)(std::span<const std::uint8_t>, const std::vector<host::PlotCall> &);
};

decode::Drawing decodeHpgl2(std::span<const std::uint8_t> bytes, const std::vector<host::PlotCall> &) {
    return decode::decodeHpgl2(bytes);
}

// Everything but the radix is found in the stream; the radix is what the
// user would give on the command line.
decode::Drawing decodePci(std::span<const std::uint8_t> bytes, const std::vector<host::PlotCall> &calls) {
    decode::PciFramingOptions options;
    options.radix = calls.front().request.param[6].i;
    return decode::decodePci(bytes, options);
}

constexpr Language kLanguages[] = {
    {"quillane", test::expectedHpgl2, decodeHpgl2},
    {"drevant", test::expectedPci, decodePci},
};

TEST(RoundTrip, EveryKnownJobDecodesToItsRequests) {
    for (const Language &language : kLanguages) {
        for (const Job &job : jobs()) {
            SCOPED_TRACE(std::string(language.driver) + ": " + job.name + " (line " +
                         std::to_string(job.line) + ")");
            const test::RanJob ran = test::runPlotScript(language.driver, job.script);
            ASSERT_EQ(ran.error, "");
            const decode::Drawing decoded = language.decode(ran.bytes, ran.calls);
            EXPECT_EQ(test::compareDrawings(language.expected(ran.calls), decoded), "");
            for (const decode::Problem &p : decoded.problems) {
                ADD_FAILURE() << "offset " << p.offset << ": " << p.message;
            }
        }
    }
}

TEST(RoundTrip, EveryKnownJobIsFoundInItsLanguage) {
    for (const Job &job : jobs()) {
        SCOPED_TRACE(std::string(job.name) + " (line " + std::to_string(job.line) + ")");
        EXPECT_EQ(decode::detectLanguage(test::runPlotScript("quillane", job.script).bytes), decode::Language::Hpgl2);
        EXPECT_EQ(decode::detectLanguage(test::runPlotScript("drevant", job.script).bytes), decode::Language::Pci);
    }
    const auto detect = [](const std::string &s) {
        return decode::detectLanguage(std::vector<std::uint8_t>(s.begin(), s.end()));
    };
    EXPECT_EQ(detect("  IN;PA0,0;"), decode::Language::Hpgl2);
    EXPECT_EQ(detect("\x1B%-12345X@PJL\r\n"), decode::Language::Hpgl2);
    EXPECT_EQ(detect("&&&&A\nB\n^^^^C\n"), decode::Language::Pci);
    EXPECT_EQ(detect("\x01\x02\x03"), std::nullopt);
    EXPECT_EQ(detect(""), std::nullopt);
}

// The radix shows nowhere in a PCI stream; given, it must be the one used.
TEST(RoundTrip, PciWithEveryFramingGiven) {
    const test::RanJob ran = test::runPlotScript("drevant", jobs()[2].script);
    ASSERT_EQ(ran.error, "");
    decode::PciFramingOptions options;
    options.bias = 0x30;
    options.radix = 64;
    options.syncCount = 1;
    options.syncChar = '%';
    options.terminator = '\n';
    options.checksum = false;
    const decode::Drawing decoded = decode::decodePci(ran.bytes, options);
    EXPECT_EQ(test::compareDrawings(test::expectedPci(ran.calls), decoded), "");
    EXPECT_TRUE(decoded.problems.empty());
}

} // namespace
