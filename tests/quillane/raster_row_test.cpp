#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/quillane/pcl_decoder.h"
#include "tests/quillane/plot_session.h"

namespace {

using quillane_test::Bytes;
using quillane_test::ColorRowDevice;
using quillane_test::HeapGuard;
using quillane_test::paletteRecord;
using quillane_test::PlotSession;
using quillane_test::receivePlanes;
using quillane_test::Rgb16;

std::string transfer(char method, const Bytes &data, char terminator = 'W') {
    return "\x1b*b" + std::string(1, method) + "m" + std::to_string(data.size()) +
           std::string(1, terminator) + std::string(data.begin(), data.end());
}

const std::string kNoChange = "\x1b*b3m0W";

// Deterministic pseudo-random bytes.
struct Lcg {
    std::uint32_t state;
    std::uint8_t next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(state >> 24);
    }
};

// Entry i of this 16-entry palette is (16i + 1, 16i + 2, 16i + 3).
Bytes sixteenColours() {
    std::vector<Rgb16> entries;
    for (int i = 0; i < 16; ++i) {
        entries.push_back({static_cast<std::uint16_t>((16 * i + 1) << 8),
                           static_cast<std::uint16_t>((16 * i + 2) << 8 | 0xFF),
                           static_cast<std::uint16_t>((16 * i + 3) << 8)});
    }
    return paletteRecord(15, entries);
}

PlotSession withImage(std::int32_t depth, std::int32_t flags,
                      const Bytes &record = sixteenColours()) {
    PlotSession session;
    session.call(OpBeginJob, {0, 0, 1, 1, 1});
    session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, depth}, record.data(), flags);
    return session;
}

// One row through the entry point. Nothing may follow the row's last byte:
// the host sizes its buffer for commands and data only.
std::string row(PlotSession &session, std::int32_t width, std::int32_t depth, const Bytes &pixels,
                std::int32_t flags = 0) {
    const std::string out =
        session.call(OpRasterRow, {width, depth}, pixels.empty() ? nullptr : pixels.data(), flags);
    EXPECT_TRUE(session.untouchedAfter(out.empty() ? 1 : 0));
    return out;
}

TEST(PlaneRow, DeviceExamples) {
    const struct {
        int line;
        std::int32_t width, depth, flags;
        Bytes pixels;
        std::string expected;
    } cases[] = {
        // Bits after the 10th pixel are cleared; PackBits would not be shorter.
        {__LINE__, 10, 1, 0, {0xFF, 0xFF}, transfer('0', {0xFF, 0xC0})},
        {__LINE__, 64, 1, 0, Bytes(8, 0), transfer('2', {0xF9, 0x00})},
        {__LINE__, 64, 1, FlagPlanesUncompressed, Bytes(8, 0), transfer('0', Bytes(8, 0))},
        {__LINE__, 16, 1, 0, {0x00, 0x00}, transfer('0', {0x00, 0x00})},  // a run of 2 gains
                                                                          // nothing
        {__LINE__, 8, 2, 0, {0xE4, 0x00}, transfer('0', {0xA0}, 'V') + transfer('0', {0xC0})},
        // Pixels 1..8; plane i holds bit i of each.
        {__LINE__,
         8,
         4,
         0,
         {0x12, 0x34, 0x56, 0x78},
         transfer('0', {0xAA}, 'V') + transfer('0', {0x66}, 'V') + transfer('0', {0x1E}, 'V') +
             transfer('0', {0x01})},
        // Read in groups of 8 pixels; all but the first lie beyond the width.
        {__LINE__,
         1,
         4,
         0,
         {0x9F, 0xFF, 0xFF, 0xFF},
         transfer('0', {0x80}, 'V') + transfer('0', {0x00}, 'V') + transfer('0', {0x00}, 'V') +
             transfer('0', {0x80})},
        {__LINE__,
         8,
         8,
         0,
         {1, 2, 4, 8, 16, 32, 64, 128},
         transfer('0', {0x80}, 'V') + transfer('0', {0x40}, 'V') + transfer('0', {0x20}, 'V') +
             transfer('0', {0x10}, 'V') + transfer('0', {0x08}, 'V') + transfer('0', {0x04}, 'V') +
             transfer('0', {0x02}, 'V') + transfer('0', {0x01})},
        {__LINE__, 0, 1, 0, {}, transfer('0', {})},
        {__LINE__,
         0,
         3,
         0,
         {},
         transfer('0', {}, 'V') + transfer('0', {}, 'V') + transfer('0', {})},
        {__LINE__, -1, 1, 0, {0xFF}, ""},
        {__LINE__, -8, 2, 0, {0xFF, 0xFF}, ""},
        {__LINE__, 8, 0, 0, {0xFF}, ""},
        {__LINE__, 8, -3, 0, {0xFF}, ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session = withImage(c.depth, 0);
        EXPECT_EQ(row(session, c.width, c.depth, c.pixels, c.flags), c.expected);
        EXPECT_EQ(heap.held(), 0);
    }
}

// Packs pixel values `depth` bits each, most significant bit first, padded to
// whole groups of 8 pixels with set bits that the driver must clear.
Bytes packRow(const std::vector<std::uint32_t> &pixels, unsigned depth) {
    const std::size_t bits = (pixels.size() + 7) / 8 * 8 * depth;
    Bytes row(bits / 8, 0xFF);
    for (std::size_t i = 0; i < pixels.size() * depth; ++i) {
        if ((pixels[i / depth] >> (depth - 1 - i % depth) & 1u) == 0) {
            row[i / 8] = static_cast<std::uint8_t>(row[i / 8] & ~(0x80u >> (i % 8)));
        }
    }
    return row;
}

TEST(PlaneRow, EveryPlaneCarriesItsBitOfEachPixel) {
    Lcg random{7};
    for (std::int32_t depth = 1; depth <= 15; ++depth) {
        for (std::int32_t width : {1, 7, 8, 9, 17, 64, 203}) {
            SCOPED_TRACE(testing::Message() << "depth " << depth << " width " << width);
            std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width));
            for (auto &p : pixels) {  // runs as well as noise, so PackBits is taken sometimes
                p = random.next() < 96 ? 0
                                       : (random.next() | random.next() << 8) & ((1u << depth) - 1);
            }
            const std::size_t planeLength = (pixels.size() + 7) / 8;
            std::vector<Bytes> expected(static_cast<std::size_t>(depth), Bytes(planeLength, 0));
            for (std::size_t p = 0; p < pixels.size(); ++p) {
                for (std::size_t i = 0; i < expected.size(); ++i) {
                    expected[i][p / 8] = static_cast<std::uint8_t>(
                        expected[i][p / 8] | (pixels[p] >> i & 1u) << (7 - p % 8));
                }
            }
            for (std::int32_t flags : {0, static_cast<std::int32_t>(FlagPlanesUncompressed)}) {
                HeapGuard heap;
                PlotSession session = withImage(depth, 0);
                const std::string out = row(session, width, depth,
                                            packRow(pixels, static_cast<unsigned>(depth)), flags);
                EXPECT_EQ(receivePlanes(out, static_cast<std::size_t>(depth), planeLength),
                          expected)
                    << flags;
                EXPECT_TRUE(flags == 0 || out.find("\x1b*b2") == std::string::npos);
                EXPECT_LE(out.size(), static_cast<std::size_t>(depth) * (16 + planeLength));
                EXPECT_EQ(heap.held(), 0);
            }
        }
    }
}

TEST(DirectRow, ConvertsEachDepth) {
    const struct {
        int line;
        std::int32_t width, depth;
        Bytes pixels;
        std::string expected;
    } cases[] = {
        {__LINE__,
         3,
         16,
         {0xFF, 0x7F, 0x21, 0x04, 0x00, 0x80},
         transfer('0', {255, 255, 255, 8, 8, 8, 0, 0, 0})},
        {__LINE__,
         3,
         16,
         {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00},
         transfer('0', {255, 0, 0, 0, 255, 0, 0, 0, 255})},
        {__LINE__, 1, 32, {0x11, 0x22, 0x33, 0x44}, transfer('0', {0x22, 0x33, 0x44})},
        {__LINE__, 0, 32, {}, transfer('0', {})},
        {__LINE__, 1, 24, {1, 2, 3}, ""},
        {__LINE__, 1, 17, {1, 2, 3, 4}, ""},
        {__LINE__, 1, 0x10000 + 32, {1, 2, 3, 4}, ""},
        {__LINE__, -1, 32, {1, 2, 3, 4}, ""},
        {__LINE__, 0x7FFFFFFF, 32, {1, 2, 3, 4}, ""},  // more RGB bytes than a count holds
        {__LINE__, 4, 32, {}, ""},                     // no row at all
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session = withImage(c.depth, 0);
        EXPECT_EQ(row(session, c.width, c.depth, c.pixels), c.expected);
        // Width 0 rows never compress: 0 bytes are not fewer than 0.
        EXPECT_EQ(row(session, c.width, c.depth, c.pixels), c.width == 0         ? c.expected
                                                            : c.expected.empty() ? ""
                                                                                 : kNoChange);
        session.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
}

// Rows of 4 pixels at depth 32, and their RGB bytes.
const Bytes kRowA = {0, 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12};
const Bytes kRowB = {0, 1, 2, 3, 0, 4, 5, 0x66, 0, 7, 8, 9, 0, 10, 11, 12};
const Bytes kRowC = {0, 0xC1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 0xCC};
const Bytes kRowD = {0, 0xD1, 0xD2, 0xD3, 0, 0xD4, 0xD5, 0xD6,
                     0, 0xD7, 0xD8, 0xD9, 0, 0xDA, 0xDB, 0xDC};

Bytes rgbOf(const Bytes &argb) {
    Bytes rgb;
    for (std::size_t p = 0; p + 3 < argb.size(); p += 4) {
        rgb.insert(rgb.end(), {argb[p + 1], argb[p + 2], argb[p + 3]});
    }
    return rgb;
}

// The seed is the row the device decoded last; the driver compares with its
// copy only while the copy is known to match.
TEST(DirectRow, DeltaRowsOnlyAgainstTheDevicesSeed) {
    const struct {
        int line;
        const Bytes &pixels;
        std::int32_t flags;
        std::string expected;
    } steps[] = {
        {__LINE__, kRowA, 0, transfer('0', rgbOf(kRowA))},  // the first row is always whole
        {__LINE__, kRowA, 0, kNoChange},
        {__LINE__, kRowB, 0, transfer('3', {0x05, 0x66})},
        // Sent whole: the device's seed is now C, the driver's copy still B.
        {__LINE__, kRowC, FlagColorUncompressed, transfer('0', rgbOf(kRowC))},
        // Against the stale copy B would go out as "no change" and the
        // device would draw C again.
        {__LINE__, kRowB, 0, transfer('0', rgbOf(kRowB))},
        {__LINE__, kRowB, 0, kNoChange},
        {__LINE__, kRowC, 0, transfer('3', {0x00, 0xC1, 0x04, 0x06, 0x05, 0xCC})},
        // Every byte differs: the delta row would be longer, so whole.
        {__LINE__, kRowD, 0, transfer('0', rgbOf(kRowD))},
    };
    HeapGuard heap;
    PlotSession session = withImage(32, 0);
    ColorRowDevice device(12);
    for (const auto &s : steps) {
        SCOPED_TRACE(s.line);
        const std::string out = row(session, 4, 32, s.pixels, s.flags);
        EXPECT_EQ(out, s.expected);
        EXPECT_EQ(device.receive(out), rgbOf(s.pixels));
    }
    session.call(OpRasterEnd);
    EXPECT_EQ(heap.held(), 0);
}

// Flag 0x04 from the first row on: rows go out whole and no seed block is
// made; a width change mid-image starts a new seed instead of reading or
// writing the old one past its end.
TEST(DirectRow, SeedFollowsFlagAndWidth) {
    HeapGuard heap;
    PlotSession session = withImage(32, 0);
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(row(session, 4, 32, kRowA, FlagColorUncompressed), transfer('0', rgbOf(kRowA)));
        EXPECT_EQ(heap.held(), 0);
    }
    EXPECT_EQ(row(session, 4, 32, kRowA), transfer('0', rgbOf(kRowA)));
    EXPECT_EQ(row(session, 4, 32, kRowA), kNoChange);
    Bytes wide = kRowA;
    wide.insert(wide.end(), kRowB.begin(), kRowB.end());
    EXPECT_EQ(row(session, 8, 32, wide), transfer('0', rgbOf(wide)));
    EXPECT_EQ(row(session, 8, 32, wide), kNoChange);
    EXPECT_EQ(row(session, 4, 32, kRowA), transfer('0', rgbOf(kRowA)));
    EXPECT_EQ(heap.held(), 1);
    session.call(OpRasterEnd);
    EXPECT_EQ(heap.held(), 0);
}

TEST(PaletteRow, ExpandsThroughTheTable) {
    const struct {
        int line;
        std::int32_t width, depth;
        Bytes pixels;  // exactly the bytes that hold the pixels
        std::vector<int> indexes;
    } cases[] = {
        {__LINE__, 3, 1, {0xA0}, {1, 0, 1}},
        {__LINE__, 9, 1, {0x80, 0x80}, {1, 0, 0, 0, 0, 0, 0, 0, 1}},
        {__LINE__, 4, 2, {0xE4}, {3, 2, 1, 0}},
        {__LINE__, 5, 2, {0x1B, 0x40}, {0, 1, 2, 3, 1}},
        {__LINE__, 3, 4, {0x12, 0x30}, {1, 2, 3}},
        {__LINE__, 2, 8, {5, 15}, {5, 15}},
        {__LINE__, 2, 8, {16, 255}, {-1, -1}},  // past the palette's last entry: black
        // In-between depths read the same bit stream.
        {__LINE__, 3, 3, {0x29, 0x80}, {1, 2, 3}},
        {__LINE__, 1, 12, {0x10, 0x50}, {5}},  // 0x105: its low 8 bits
        {__LINE__, 2, 0, {}, {0, 0}},
        {__LINE__, 2, -5, {}, {0, 0}},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session = withImage(c.depth, FlagExpandPalette);
        Bytes rgb;
        for (int index : c.indexes) {
            for (int k = 1; k <= 3; ++k) {
                rgb.push_back(static_cast<std::uint8_t>(index < 0 ? 0 : 16 * index + k));
            }
        }
        // The row vector holds exactly the pixel bytes: the sanitizer build
        // catches any read beyond them.
        EXPECT_EQ(row(session, c.width, c.depth, c.pixels, FlagExpandPalette), transfer('0', rgb));
        EXPECT_EQ(row(session, c.width, c.depth, c.pixels, FlagExpandPalette), kNoChange);
        session.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
}

// Which request is refused, counted from the row's first: for a colour row
// the seed block (first row only), the RGB buffer, then the compressed
// buffer (only when a delta row is tried); for bit planes the plane buffer,
// then one scratch buffer per plane.
TEST(RowFailures, RefusedBuffers) {
    const Bytes zeros(16, 0);
    Bytes entryZero;
    for (int i = 0; i < 16; ++i) {
        entryZero.insert(entryZero.end(), {1, 2, 3});
    }
    const std::string packedPlanes = transfer('2', {0xF9, 0}, 'V') + transfer('2', {0xF9, 0});
    const struct {
        int line;
        std::int32_t depth, flags;
        int rowsBefore;  // rows sent before the refusal
        int refuse;
        std::string failed;  // the row that meets the refusal
        std::string next;    // the same row again
    } cases[] = {
        {__LINE__, 32, 0, 0, 1, "", transfer('0', Bytes(12, 0))},
        // The seed block was made but never filled: no delta against it.
        {__LINE__, 32, 0, 0, 2, "", transfer('0', Bytes(12, 0))},
        {__LINE__, 32, 0, 1, 1, "", kNoChange},
        {__LINE__, 32, 0, 1, 2, "", kNoChange},
        {__LINE__, 32, FlagColorUncompressed, 0, 1, "", transfer('0', Bytes(12, 0))},
        {__LINE__, 8, FlagExpandPalette, 0, 1, "", transfer('0', entryZero)},
        {__LINE__, 8, FlagExpandPalette, 1, 2, "", kNoChange},
        // A plane without scratch goes out whole.
        {__LINE__, 2, 0, 0, 1, "", packedPlanes},
        {__LINE__, 2, 0, 0, 2, transfer('0', Bytes(8, 0), 'V') + transfer('2', {0xF9, 0}),
         packedPlanes},
        {__LINE__, 2, 0, 0, 3, transfer('2', {0xF9, 0}, 'V') + transfer('0', Bytes(8, 0)),
         packedPlanes},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session = withImage(c.depth, c.flags);
        const std::int32_t width = 128 / c.depth;  // 16 row bytes
        for (int i = 0; i < c.rowsBefore; ++i) {
            row(session, width, c.depth, zeros, c.flags);
        }
        drv::testing::failNthAllocation(c.refuse);
        EXPECT_EQ(row(session, width, c.depth, zeros, c.flags), c.failed);
        drv::testing::resetAllocationFailures();
        EXPECT_EQ(row(session, width, c.depth, zeros, c.flags), c.next);
        session.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
    // Without the palette table expanded rows have nothing to look up.
    PlotSession session;
    session.call(OpBeginJob, {0, 0, 1, 1, 1});
    HeapGuard heap;
    drv::testing::failNthAllocation(1);
    session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 8}, sixteenColours().data(),
                 FlagExpandPalette);
    EXPECT_EQ(row(session, 2, 8, {1, 2}, FlagExpandPalette), "");
    EXPECT_EQ(heap.held(), 0);
}

// Several images of every colour kind in one job, rows with random flags and
// small changes: the device rebuilds every row as a whole send of it would
// give, and nothing stays allocated.
TEST(RasterJob, DeviceRebuildsEveryRowOfSeveralImages) {
    HeapGuard heap;
    Lcg random{2024};
    PlotSession session;
    session.call(OpBeginJob, {0, 0, 1, 1, 1});
    const Bytes record = sixteenColours();
    constexpr std::int32_t kWidth = 37;
    for (const std::int32_t depth : {32, 16, 2, 32}) {
        SCOPED_TRACE(depth);
        const std::int32_t flags = depth < 16 ? FlagExpandPalette : 0;
        session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, kWidth, 20, depth}, record.data(), flags);
        ColorRowDevice device(3 * kWidth);
        Bytes pixels((kWidth * static_cast<std::size_t>(depth) + 7) / 8, 0);
        for (int r = 0; r < 20; ++r) {
            for (int k = random.next() % 4; k > 0; --k) {
                pixels[random.next() % pixels.size()] = random.next();
            }
            const std::int32_t rowFlags = flags | (random.next() < 64 ? FlagColorUncompressed : 0);
            const auto rebuilt = device.receive(row(session, kWidth, depth, pixels, rowFlags));
            PlotSession fresh = withImage(depth, flags, record);
            EXPECT_EQ(rebuilt,
                      ColorRowDevice(3 * kWidth).receive(row(fresh, kWidth, depth, pixels, flags)))
                << "row " << r;
            fresh.call(OpRasterEnd);
        }
        session.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
}

}  // namespace
