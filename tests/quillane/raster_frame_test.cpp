#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/quillane/plot_session.h"

namespace {

using quillane_test::Bytes;
using quillane_test::bytes;
using quillane_test::HeapGuard;
using quillane_test::paletteRecord;
using quillane_test::PlotSession;
using quillane_test::Rgb16;

const std::string kPenAtOrigin = "PE7<=" + bytes({95, 95}) + ";";
const std::string kEnterPcl = "TR1;\x1b%1A\x1b*p0P\x1b&a0N\x1b*v6W";
const std::string kStart = "\x1b*r3A";
const std::string kEnd = "\x1b*rC\x1b*p1P\x1b%0BTR0;";
const std::string kDirect = bytes({0, 3, 8, 8, 8, 8});

std::string paletteCommand(int r, int g, int b, int index) {
    return "\x1b*v" + std::to_string(r) + "a" + std::to_string(g) + "b" + std::to_string(b) + "c" +
           std::to_string(index) + "I";
}

PlotSession begunJob() {
    PlotSession session;
    session.call(OpBeginJob, {0, 0, 1, 1, 1});
    return session;
}

TEST(RasterBegin, IndexedByPlaneProgramsThePalette) {
    HeapGuard heap;
    const auto record = paletteRecord(1, {{0x12FF, 0xFFFF, 0x0000}, {0x0100, 0x8000, 0x00FF}});
    const std::string expected =
        "PE7<=" + bytes({97, 98}) + ";" + kEnterPcl + bytes({0, 0, 4, 8, 8, 8}) +
        "\x1b*r10S\x1b*r20T\x1b*t2835H\x1b*t1417V" + paletteCommand(18, 255, 0, 0) +
        paletteCommand(1, 128, 0, 1) + kStart;
    PlotSession session = begunJob();
    EXPECT_EQ(session.call(OpRasterBegin, {1, -1, 100.0f, 50.0f, 10, 20, 4}, record.data()),
              expected);
    EXPECT_EQ(session.byteAfter(), 0);
    EXPECT_TRUE(session.untouchedAfter(1));
    EXPECT_EQ(session.state().palette, nullptr);
    EXPECT_EQ(session.state().seedRow, nullptr);
    EXPECT_EQ(session.state().penUp, 1);
    EXPECT_EQ(session.state().peOpen, 0);
    EXPECT_EQ(heap.held(), 0);

    // The C declaration a host compiles against lays the record out alike.
    RasterPalette declared;
    std::memset(&declared, 0x5A, sizeof declared);
    declared.lastIndex = 1;
    declared.entries[0] = {{0, 0}, 0x12FF, 0xFFFF, 0x0000};
    declared.entries[1] = {{0, 0}, 0x0100, 0x8000, 0x00FF};
    PlotSession host = begunJob();
    EXPECT_EQ(host.call(OpRasterBegin, {1, -1, 100.0f, 50.0f, 10, 20, 4}, &declared), expected);
}

TEST(RasterBegin, PixelEncodingFollowsDepthAndFlag) {
    const struct {
        int line;
        std::int32_t flags, depth;
        std::string payload;
        bool paletteCommands, table;
    } cases[] = {
        {__LINE__, 0, 4, bytes({0, 0, 4, 8, 8, 8}), true, false},
        {__LINE__, 0, 1, bytes({0, 0, 1, 8, 8, 8}), true, false},
        {__LINE__, FlagExpandPalette, 8, kDirect, false, true},
        {__LINE__, 0, 16, kDirect, false, false},
        {__LINE__, FlagExpandPalette, 32, kDirect, false, false},
        {__LINE__, 0, 15, bytes({0, 0, 15, 8, 8, 8}), true, false},
        // Signed comparison with 16; only the low byte reaches the device.
        {__LINE__, 0, -1, bytes({0, 0, 0xFF, 8, 8, 8}), true, false},
        {__LINE__, 0, 0x104, kDirect, false, false},
        {__LINE__, FlagExpandPalette, -256, kDirect, false, true},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session = begunJob();
        const auto record = paletteRecord(0, {{0xAB00, 0xCD00, 0xEF00}});
        EXPECT_EQ(
            session.call(OpRasterBegin, {0, 0, 0.0f, 0.0f, 3, 4, c.depth}, record.data(), c.flags),
            kPenAtOrigin + kEnterPcl + c.payload + "\x1b*r3S\x1b*r4T\x1b*t0H\x1b*t0V" +
                (c.paletteCommands ? paletteCommand(0xAB, 0xCD, 0xEF, 0) : "") + kStart);
        ASSERT_EQ(session.state().palette != nullptr, c.table);
        if (c.table) {
            EXPECT_EQ(Bytes(session.state().palette, session.state().palette + 4),
                      Bytes({0xAB, 0xCD, 0xEF, 0}));
        }
        session.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
    // Direct colour never reads the record: a null one is fine.
    PlotSession direct = begunJob();
    EXPECT_EQ(direct.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 32}, nullptr),
              kPenAtOrigin + kEnterPcl + kDirect + "\x1b*r1S\x1b*r1T\x1b*t28H\x1b*t28V" + kStart);
}

TEST(RasterBegin, PaletteSizeLimits) {
    const struct {
        int line;
        std::int16_t lastIndex;
        std::size_t entries;  // given, and palette commands sent
        int tableEntries;     // filled in the expansion table
    } cases[] = {
        {__LINE__, 1, 2, 2},       {__LINE__, -1, 0, 0},      {__LINE__, -32768, 0, 0},
        {__LINE__, 255, 256, 256}, {__LINE__, 300, 301, 256},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        std::vector<Rgb16> entries;
        std::string commands;
        for (std::size_t i = 0; i < c.entries; ++i) {
            const int v = static_cast<int>(i % 255 + 1);
            entries.push_back({static_cast<std::uint16_t>(v << 8),
                               static_cast<std::uint16_t>(v << 8 | 0xFF), 0x42});
            commands += paletteCommand(v, v, 0, static_cast<int>(i));
        }
        const auto record = paletteRecord(c.lastIndex, entries);
        PlotSession planes = begunJob();
        EXPECT_EQ(planes.call(OpRasterBegin, {0, 0, 0.0f, 0.0f, 1, 1, 8}, record.data()),
                  kPenAtOrigin + kEnterPcl + bytes({0, 0, 8, 8, 8, 8}) +
                      "\x1b*r1S\x1b*r1T\x1b*t0H\x1b*t0V" + commands + kStart);

        PlotSession expanded = begunJob();
        expanded.call(OpRasterBegin, {0, 0, 0.0f, 0.0f, 1, 1, 8}, record.data(), FlagExpandPalette);
        const std::uint8_t *table = expanded.state().palette;
        ASSERT_NE(table, nullptr);
        for (int i = 0; i < 256; ++i) {
            const int v = i < c.tableEntries ? i % 255 + 1 : 0;
            ASSERT_EQ(Bytes(table + 3 * i, table + 3 * i + 3),
                      Bytes({std::uint8_t(v), std::uint8_t(v), 0}))
                << i;
        }
        expanded.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
}

TEST(RasterBegin, DestinationSizeInDecipoints) {
    const struct {
        int line;
        float millimetres;
        const char *decipoints;
    } cases[] = {
        {__LINE__, 100.0f, "2835"}, {__LINE__, 25.4f, "720"},     {__LINE__, 0.0176f, "0"},
        {__LINE__, 0.0177f, "1"},   {__LINE__, -100.0f, "-2835"}, {__LINE__, 1e9f, "2147483647"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        PlotSession session = begunJob();
        const std::string out = session.call(OpRasterBegin, {0, 0, c.millimetres, 1.0f, 1, 1, 24});
        EXPECT_NE(out.find(std::string("\x1b*t") + c.decipoints + "H\x1b*t28V"), std::string::npos)
            << out;
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
    EXPECT_EQ(session.call(OpPlot, {0, 0}), kPenAtOrigin.substr(0, 7));
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
    EXPECT_EQ(
        starved.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 8, 8, 8}, record.data(), FlagExpandPalette),
        expected);
    EXPECT_EQ(starved.state().palette, nullptr);
    EXPECT_EQ(heap.held(), 0);
}

// Begun again before it ended, an image hands its buffers back first; an
// end with nothing held releases nothing and writes the same bytes.
TEST(RasterEnd, ReleasesBuffersOnceWhateverTheOrder) {
    HeapGuard heap;
    PlotSession session = begunJob();
    const auto record = paletteRecord(-1, {});
    for (int image = 0; image < 3; ++image) {
        session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 8}, record.data(), FlagExpandPalette);
        EXPECT_EQ(heap.held(), 1);
    }
    for (int repeat = 0; repeat < 2; ++repeat) {
        EXPECT_EQ(session.call(OpRasterEnd), kEnd);
        EXPECT_EQ(session.byteAfter(), 0);
        EXPECT_EQ(session.state().palette, nullptr);
        EXPECT_EQ(session.state().seedRow, nullptr);
        EXPECT_EQ(session.state().vectorsHalted, 0);
        EXPECT_EQ(heap.held(), 0);
    }
}

// A job may end with an image still open (the host never sent
// OpRasterEnd): the end of the job hands back the palette table and the
// seed row, so neither the next job on the block nor the host's discarding
// it loses them. The job's closing bytes stay as they are.
TEST(EndJob, ReleasesTheBuffersOfAnImageLeftOpen) {
    const Bytes row32(4 * 4, 0x40);
    const Bytes row8(4, 0x01);
    const struct {
        int line;
        std::int32_t depth, flags;
        const Bytes *row;  // sent twice, or none
        int heldBeforeEnd;
    } cases[] = {
        {__LINE__, 8, FlagExpandPalette, nullptr, 1},  // the table only
        {__LINE__, 8, FlagExpandPalette, &row8, 2},    // table and seed row
        {__LINE__, 32, 0, &row32, 1},                  // the seed row only
        {__LINE__, 32, FlagHaltAfterRaster, &row32, 1},
        {__LINE__, 4, 0, &row8, 0},                    // planes keep nothing
    };
    const auto record = paletteRecord(1, {{0xFF00, 0, 0}, {0, 0xFF00, 0}});
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session;
        for (int job = 0; job < 2; ++job) {
            session.call(OpBeginJob, {0, 0, 1, 1, 1});
            session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 4, 2, c.depth}, record.data(),
                         c.flags);
            for (int r = 0; c.row != nullptr && r < 2; ++r) {
                session.call(OpRasterRow, {4, c.depth}, c.row->data(), c.flags);
            }
            EXPECT_EQ(heap.held(), c.heldBeforeEnd);
            EXPECT_EQ(session.call(OpEndJob), "PUSP0PG;");
            EXPECT_EQ(session.state().palette, nullptr);
            EXPECT_EQ(session.state().seedRow, nullptr);
            EXPECT_EQ(heap.held(), 0);
        }
        // An end with nothing held releases nothing and writes the same.
        EXPECT_EQ(session.call(OpEndJob), "PUSP0PG;");
        EXPECT_EQ(heap.held(), 0);
    }
}

TEST(RasterEnd, HaltStopsEverythingButTheJobFrame) {
    HeapGuard heap;
    PlotSession session = begunJob();
    session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 32});
    EXPECT_EQ(session.call(OpRasterEnd, {}, nullptr, FlagHaltAfterRaster), kEnd);
    EXPECT_EQ(session.state().vectorsHalted, 1);

    const drv::quillane::PlotterState before = session.state();
    const auto record = paletteRecord(-1, {});
    for (std::int32_t op = OpSelectPen; op <= OpRasterRow; ++op) {
        SCOPED_TRACE(op);
        const void *text = op == OpRasterBegin ? static_cast<const void *>(record.data()) : "\xFF";
        EXPECT_EQ(session.call(op, {1, 8, 1.0f, 1.0f, 1, 1, 8}, text, FlagExpandPalette), "");
        EXPECT_EQ(session.firstByte(), 0);
        EXPECT_EQ(std::memcmp(&before, &session.state(), sizeof before), 0);
    }
    EXPECT_EQ(heap.held(), 0);
    EXPECT_EQ(session.call(OpEndJob, {1, 2}, "bye"), "PUSP0PG;RP1;bye");
    EXPECT_EQ(session.state().vectorsHalted, 1);
    EXPECT_EQ(session.call(OpBeginJob, {0, 0, 1, 1, 1}), "PS1,1;NP1;LA1,4,2,6;TR0;");
    EXPECT_EQ(session.call(OpPlot, {0, 0}), kPenAtOrigin.substr(0, 7));
}

}  // namespace
