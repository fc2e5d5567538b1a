// Known scripts through the real plotter libraries, loaded as drvhost loads
// them: every byte of the device stream is checked.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/host/test_bytes.h"

#include "host/picture/png_file.h"
#include "host/plot/plot_runner.h"
#include "host/script/script_job.h"
#include "tests/support/built_driver.h"

namespace {

using namespace drv::host;
using drv::test::Bytes;
using drv::test::bytes;
using drv::test::join;

Bytes runScript(const std::string &driver, const std::string &script) {
    std::string error;
    const auto library = drv::test::openBuiltDriver(driver, error);
    EXPECT_NE(library, nullptr) << error;
    if (!library) {
        return {};
    }
    std::vector<SourceError> errors;
    const auto statements = parseScript(script, errors);
    const PlotterTraits &traits = plotterTraits(driver);
    const auto job = buildPlotJob(statements, traits, "", readPng, errors);
    for (const SourceError &e : errors) {
        ADD_FAILURE() << formatSourceError(driver, e);
    }
    MemorySink sink;
    PlotRunStats stats;
    EXPECT_TRUE(runPlotJob(library->pldbin(), job, traits.stateSize, sink, nullptr, stats, error))
        << error;
    EXPECT_EQ(stats.calls, job.size());
    EXPECT_EQ(stats.bytes, sink.bytes.size());
    return sink.bytes;
}

TEST(PlotterJobs, HpglJobComesOutByteForByte) {
    const Bytes out = runScript("quillane", R"(
BeginJob page_width=16000 page_height=11000 pens=8
SelectPen pen=1
Plot x=100 y=200
PenDown
Plot x=150 y=200
Plot x=150 y=-40
PenWidth pen=2 width=0.35
PenColor pen=2 red=65535 green=32768 blue=0
Velocity pen=1 on=1 speed=25.0
Velocity pen=1 on=0
Circle cx=1000 cy=1000 r=400 chord=5.0
TextStyle height_mm=3.0 width_mm=3.0 dir_y=0 dir_x=1 slant=0
Font typeface_on=1 symbol_set_on=1 typeface=4148 symbol_set=277
RasterBegin x=0 y=0 width_mm=100 height_mm=50 columns=10 rows=1 depth=1 palette=#FFFFFF,#000000
RasterRow hex=FFC0
RasterEnd
Label x=0 y=0 text="Hi"
EndJob copy_switch=1 copies=3 text="\e%-12345X"
)");
    const Bytes expected = join({
        bytes("PS16000,11000;NP8;LA1,4,2,6;TR0;"),
        bytes("PE7=:"),
        {97},
        bytes("<"),
        {71, 101, 79, 107},
        {67, 98, 95},
        {95, 64, 110},
        bytes(";PW0.35,2"),
        bytes("PC2,255,128,0"),
        bytes("VS2.5,1"),
        bytes("PE7<="),
        {79, 93, 96, 79, 93, 96},
        bytes(";CI400,5"),
        bytes("DI1,0SI0.2,0.3SL0"),
        bytes("SD7,4148SD1,277SS;"),
        // the image: pen-up move, PCL set-up with six raw bytes, palette, row
        bytes("PE7<="),
        {95, 95},
        bytes(";TR1;\x1B%1A\x1B*p0P\x1B&a0N\x1B*v6W"),
        {0, 0, 1, 8, 8, 8},
        bytes("\x1B*r10S\x1B*r1T\x1B*t2835H\x1B*t1417V\x1B*v255a255b255c0I\x1B*v0a0b0c1I\x1B*r3A"),
        bytes("\x1B*b0m2W"),
        {0xFF, 0xC0},
        bytes("\x1B*rC\x1B*p1P\x1B%0BTR0;"),
        bytes("PE7<="),
        {95, 95},
        bytes(";LBHi"),
        {3},
        bytes("PUSP0PG;RP2;\x1B%-12345X"),
    });
    EXPECT_EQ(out, expected);
}

TEST(PlotterJobs, PciJobComesOutAsFramedRecords) {
    const Bytes out = runScript("drevant", R"(
BeginJob bias=0x20 radix=32 sync_count=2 sync='!' terminator='\r' checksum=1
Plot x=100 y=200
PenWidth pen=2 width=0.35
SelectPen pen=2
EndJob text="E"
)");
    const Bytes expected = {
        // the job's first record, delivered by BeginJob
        0x21,
        0x21,
        0x20,
        0x2B,
        0x20,
        0x29,
        0x2B,
        0x27,
        0x21,
        0x2D,
        0x21,
        0x4B,
        0x0D,
        0x0D,
        0x0D,
        // the last: the move (20, 3, 4, 6, 8), the pen (4, 2), the trailer,
        // checksum 96 - (372 mod 32) = 0x4C; PenWidth adds nothing
        0x21,
        0x21,
        0x20,
        0x34,
        0x23,
        0x24,
        0x26,
        0x28,
        0x24,
        0x22,
        'E',
        0x4C,
        0x0D,
        0x0D,
        0x0D,
    };
    EXPECT_EQ(out, expected);
}

} // namespace
