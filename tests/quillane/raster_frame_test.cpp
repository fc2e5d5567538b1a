#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "raster_support.h"

namespace {

using quillane_test::bytes;
using quillane_test::HeapGuard;
using quillane_test::paletteRecord;
using quillane_test::PlotSession;
using quillane_test::Rgb16;

const std::string kEnterPcl = "TR1;\x1b%1A\x1b*p0P\x1b&a0N\x1b*v6W";
const std::string kStart = "\x1b*r3A";
const std::string kEnd = "\x1b*rC\x1b*p1P\x1b%0BTR0;";

std::string paletteCommand(int r, int g, int b, int index) {
    return "\x1b*v" + std::to_string(r) + "a" + std::to_string(g) + "b" + std::to_string(b) + "c" +
           std::to_string(index) + "I";
}

// A session with a job begun (base 32, nothing open).
PlotSession begunJob() {
    PlotSession session(pldbin);
    session.call(OpBeginJob, {0, 0, 1, 1, 1});
    return session;
}

TEST(RasterBegin, IndexedByPlaneProgramsThePalette) {
    HeapGuard heap;
    PlotSession session = begunJob();
    const auto record = paletteRecord(1, {{0x12FF, 0xFFFF, 0x0000}, {0x0100, 0x8000, 0x00FF}});
    const std::string out =
        session.call(OpRasterBegin, {1, -1, 100.0f, 50.0f, 10, 20, 4}, record.data());
    const std::string expected = "PE7<=" + bytes({97, 98}) + ";" + kEnterPcl + bytes({0, 0, 4, 8, 8, 8}) +
                                 "\x1b*r10S\x1b*r20T\x1b*t2835H\x1b*t1417V" +
                                 paletteCommand(18, 255, 0, 0) + paletteCommand(1, 128, 0, 1) + kStart;
    EXPECT_EQ(out, expected);
    EXPECT_EQ(session.lastLength(), static_cast<std::int32_t>(expected.size()));
    EXPECT_EQ(session.byteAfter(), 0);
    EXPECT_EQ(session.state().palette, nullptr);
    EXPECT_EQ(session.state().seedRow, nullptr);
    EXPECT_EQ(session.state().penUp, 1);
    EXPECT_EQ(session.state().peOpen, 0);
    EXPECT_EQ(heap.held(), 0);
}

// The C declaration a host compiles against lays the record out the same
// way as the byte-by-byte builder.
TEST(RasterBegin, ReadsTheHostsDeclaredRecord) {
    RasterPalette declared;
    std::memset(&declared, 0x5A, sizeof declared);
    declared.lastIndex = 1;
    declared.entries[0].red = 0x12FF;
    declared.entries[0].green = 0xFFFF;
    declared.entries[0].blue = 0;
    declared.entries[1].red = 0x0100;
    declared.entries[1].green = 0x8000;
    declared.entries[1].blue = 0x00FF;
    const auto record = paletteRecord(1, {{0x12FF, 0xFFFF, 0x0000}, {0x0100, 0x8000, 0x00FF}});
    PlotSession a = begunJob();
    PlotSession b = begunJob();
    EXPECT_EQ(a.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 2}, &declared),
              b.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 2}, record.data()));
}

struct ModeCase {
    int line;
    std::int32_t flags;
    std::int32_t depth;
    std::string payload;
    bool paletteCommands;
    bool table;
};

const ModeCase kModeCases[] = {
    {__LINE__, 0, 4, bytes({0, 0, 4, 8, 8, 8}), true, false},
    {__LINE__, 0, 1, bytes({0, 0, 1, 8, 8, 8}), true, false},
    {__LINE__, FlagExpandPalette, 8, bytes({0, 3, 8, 8, 8, 8}), false, true},
    {__LINE__, FlagExpandPalette, 1, bytes({0, 3, 8, 8, 8, 8}), false, true},
    {__LINE__, 0, 16, bytes({0, 3, 8, 8, 8, 8}), false, false},
    {__LINE__, FlagExpandPalette, 32, bytes({0, 3, 8, 8, 8, 8}), false, false},
    {__LINE__, 0, 15, bytes({0, 0, 15, 8, 8, 8}), true, false},
    // Signed comparison with 16; only the low byte reaches the device.
    {__LINE__, 0, -1, bytes({0, 0, 0xFF, 8, 8, 8}), true, false},
    {__LINE__, 0, 0x104, bytes({0, 3, 8, 8, 8, 8}), false, false},
    {__LINE__, FlagExpandPalette, -256, bytes({0, 3, 8, 8, 8, 8}), false, true},
};

TEST(RasterBegin, PixelEncodingFollowsDepthAndFlag) {
    for (const ModeCase &c : kModeCases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session = begunJob();
        const auto record = paletteRecord(0, {{0xAB00, 0xCD00, 0xEF00}});
        const std::string out =
            session.call(OpRasterBegin, {0, 0, 0.0f, 0.0f, 3, 4, c.depth}, record.data(), c.flags);
        const std::string expected = "PE7<=" + bytes({95, 95}) + ";" + kEnterPcl + c.payload +
                                     "\x1b*r3S\x1b*r4T\x1b*t0H\x1b*t0V" +
                                     (c.paletteCommands ? paletteCommand(0xAB, 0xCD, 0xEF, 0) : "") +
                                     kStart;
        EXPECT_EQ(out, expected);
        EXPECT_EQ(session.state().palette != nullptr, c.table);
        EXPECT_EQ(heap.held(), c.table ? 1 : 0);
        if (c.table) {
            const std::uint8_t *table = session.state().palette;
            EXPECT_EQ(table[0], 0xAB);
            EXPECT_EQ(table[1], 0xCD);
            EXPECT_EQ(table[2], 0xEF);
        }
        session.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
}

// Direct colour never reads the record: a null one is fine.
TEST(RasterBegin, DirectColourIgnoresTheRecord) {
    PlotSession session = begunJob();
    EXPECT_EQ(session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 32}, nullptr),
              "PE7<=" + bytes({95, 95}) + ";" + kEnterPcl + bytes({0, 3, 8, 8, 8, 8}) +
                  "\x1b*r1S\x1b*r1T\x1b*t28H\x1b*t28V" + kStart);
}

struct TableCase {
    int line;
    std::int16_t lastIndex;
    std::size_t entriesGiven;
    std::size_t commands;  // with flag 0x20 clear
    int filledEntries;     // in the table with flag 0x20 set
};

const TableCase kTableCases[] = {
    {__LINE__, 1, 2, 2, 2},
    {__LINE__, -1, 0, 0, 0},
    {__LINE__, -32768, 0, 0, 0},
    {__LINE__, 0, 1, 1, 1},
    {__LINE__, 255, 256, 256, 256},
    {__LINE__, 300, 301, 301, 256},
};

TEST(RasterBegin, PaletteSizeLimits) {
    for (const TableCase &c : kTableCases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        std::vector<Rgb16> entries;
        for (std::size_t i = 0; i < c.entriesGiven; ++i) {
            const auto v = static_cast<std::uint16_t>((i % 255 + 1) << 8);
            entries.push_back({v, static_cast<std::uint16_t>(v | 0xFF), 0x0042});
        }
        const auto record = paletteRecord(c.lastIndex, entries);

        PlotSession planes = begunJob();
        const std::string out = planes.call(OpRasterBegin, {0, 0, 0.0f, 0.0f, 1, 1, 8}, record.data());
        std::string commands;
        for (std::size_t i = 0; i < c.commands; ++i) {
            const int v = static_cast<int>(i % 255 + 1);
            commands += paletteCommand(v, v, 0, static_cast<int>(i));
        }
        const std::string head = "PE7<=" + bytes({95, 95}) + ";" + kEnterPcl + bytes({0, 0, 8, 8, 8, 8}) +
                                 "\x1b*r1S\x1b*r1T\x1b*t0H\x1b*t0V";
        EXPECT_EQ(out, head + commands + kStart);

        PlotSession expanded = begunJob();
        expanded.call(OpRasterBegin, {0, 0, 0.0f, 0.0f, 1, 1, 8}, record.data(), FlagExpandPalette);
        const std::uint8_t *table = expanded.state().palette;
        ASSERT_NE(table, nullptr);
        for (int i = 0; i < 256; ++i) {
            const int v = i < c.filledEntries ? i % 255 + 1 : 0;
            ASSERT_EQ(table[3 * i], v) << i;
            ASSERT_EQ(table[3 * i + 1], v) << i;
            ASSERT_EQ(table[3 * i + 2], 0) << i;
        }
        expanded.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
}

struct SizeCase {
    int line;
    float millimetres;
    const char *decipoints;
};

const SizeCase kSizeCases[] = {
    {__LINE__, 100.0f, "2835"},
    {__LINE__, 25.4f, "720"},
    {__LINE__, 0.0176f, "0"},  // 0.499 decipoints
    {__LINE__, 0.0177f, "1"},  // 0.502 decipoints
    {__LINE__, -100.0f, "-2835"},
    {__LINE__, 1e9f, "2147483647"},
};

TEST(RasterBegin, DestinationSizeInDecipoints) {
    for (const SizeCase &c : kSizeCases) {
        SCOPED_TRACE(c.line);
        PlotSession session = begunJob();
        const std::string out = session.call(OpRasterBegin, {0, 0, c.millimetres, 1.0f, 1, 1, 24});
        const std::string expected = std::string("\x1b*t") + c.decipoints + "H\x1b*t28V";
        EXPECT_NE(out.find(expected), std::string::npos) << out;
    }
}

TEST(RasterBegin, OpenInstructionGetsRelativePenUpPair) {
    PlotSession session = begunJob();
    session.call(OpPenDown);
    EXPECT_EQ(session.call(OpPlot, {10, 10}), "PE7=" + bytes({115, 115}));
    const std::string out = session.call(OpRasterBegin, {11, 8, 0.0f, 0.0f, 1, 1, 16});
    EXPECT_EQ(out.substr(0, 4 + kEnterPcl.size()), "<" + bytes({97, 100}) + ";" + kEnterPcl);
    // The pen stays up for the vectors after the image.
    session.call(OpRasterEnd);
    EXPECT_EQ(session.call(OpPlot, {0, 0}), "PE7<=" + bytes({95, 95}));
}

TEST(RasterBegin, TableThatCannotBeObtainedLeavesOutputUnchanged) {
    HeapGuard heap;
    const auto record = paletteRecord(0, {{0xFF00, 0, 0}});
    PlotSession normal = begunJob();
    const std::string expected =
        normal.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 8, 8, 8}, record.data(), FlagExpandPalette);
    normal.call(OpRasterEnd);

    PlotSession starved = begunJob();
    drv::testing::failNthAllocation(1);
    EXPECT_EQ(starved.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 8, 8, 8}, record.data(), FlagExpandPalette),
              expected);
    EXPECT_EQ(starved.state().palette, nullptr);
    EXPECT_EQ(heap.held(), 0);
}

TEST(RasterEnd, ReleasesBuffersAndRepeatsSafely) {
    HeapGuard heap;
    PlotSession session = begunJob();
    const auto record = paletteRecord(-1, {});
    session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 8}, record.data(), FlagExpandPalette);
    EXPECT_EQ(heap.held(), 1);
    for (int repeat = 0; repeat < 2; ++repeat) {
        EXPECT_EQ(session.call(OpRasterEnd), kEnd);
        EXPECT_EQ(session.byteAfter(), 0);
        EXPECT_EQ(session.state().palette, nullptr);
        EXPECT_EQ(session.state().seedRow, nullptr);
        EXPECT_EQ(session.state().vectorsHalted, 0);
        EXPECT_EQ(heap.held(), 0);
    }
}

// An image begun again before it ended hands its buffers back first.
TEST(RasterBegin, UnendedImageIsNotLeaked) {
    HeapGuard heap;
    PlotSession session = begunJob();
    const auto record = paletteRecord(-1, {});
    for (int image = 0; image < 3; ++image) {
        session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 8}, record.data(), FlagExpandPalette);
        EXPECT_EQ(heap.held(), 1);
    }
    session.call(OpRasterEnd);
    EXPECT_EQ(heap.held(), 0);
}

TEST(RasterEnd, HaltStopsEverythingButTheJobFrame) {
    HeapGuard heap;
    PlotSession session = begunJob();
    session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 32});
    EXPECT_EQ(session.call(OpRasterEnd, {}, nullptr, FlagHaltAfterRaster), kEnd);
    EXPECT_EQ(session.state().vectorsHalted, 1);

    const drv::quillane::PlotterState before = session.state();
    const auto record = paletteRecord(-1, {});
    const struct {
        std::int32_t op;
        const void *text;
    } halted[] = {{OpPlot, nullptr}, {OpLabel, "text"}, {OpRasterBegin, record.data()},
                  {OpRasterRow, "\xFF"}, {OpRasterEnd, nullptr}, {OpSelectPen, nullptr}};
    for (const auto &h : halted) {
        SCOPED_TRACE(h.op);
        EXPECT_EQ(session.call(h.op, {1, 8, 1.0f, 1.0f, 1, 1, 8}, h.text, FlagExpandPalette), "");
        EXPECT_EQ(std::memcmp(&before, &session.state(), sizeof before), 0);
    }
    EXPECT_EQ(heap.held(), 0);
    EXPECT_EQ(session.call(OpEndJob, {0, 0}, "bye"), "PUSP0PG;bye");
    EXPECT_EQ(session.call(OpBeginJob, {0, 0, 1, 1, 1}), "PS1,1;NP1;LA1,4,2,6;TR0;");
    EXPECT_EQ(session.state().vectorsHalted, 0);
    EXPECT_EQ(session.call(OpPlot, {0, 0}), "PE7<=" + bytes({95, 95}));
}

}  // namespace
