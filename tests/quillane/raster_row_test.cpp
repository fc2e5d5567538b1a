#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "pcl_decoder.h"
#include "raster_support.h"

namespace {

using quillane_test::Bytes;
using quillane_test::bytes;
using quillane_test::ColorRowDevice;
using quillane_test::HeapGuard;
using quillane_test::paletteRecord;
using quillane_test::PlotSession;
using quillane_test::receivePlanes;
using quillane_test::Rgb16;

std::string str(const Bytes &b) { return std::string(b.begin(), b.end()); }

std::string transfer(char method, const Bytes &data, char terminator = 'W') {
    return "\x1b*b" + std::string(1, method) + "m" + std::to_string(data.size()) +
           std::string(1, terminator) + str(data);
}

// Deterministic pseudo-random bytes.
struct Lcg {
    std::uint32_t state;
    std::uint8_t next() {
        state = state * 1664525u + 1013904223u;
        return static_cast<std::uint8_t>(state >> 24);
    }
};

// A 16-entry palette whose entry i is (16i + 1, 16i + 2, 16i + 3).
Bytes sixteenColours() {
    std::vector<Rgb16> entries;
    for (std::uint16_t i = 0; i < 16; ++i) {
        entries.push_back({static_cast<std::uint16_t>((16 * i + 1) << 8),
                           static_cast<std::uint16_t>((16 * i + 2) << 8 | 0xFF),
                           static_cast<std::uint16_t>((16 * i + 3) << 8)});
    }
    return paletteRecord(15, entries);
}

// A job with an image begun: bit planes, direct colour, or expanded through
// `record` (sixteenColours() when none is given).
PlotSession withImage(std::int32_t depth, std::int32_t flags, std::size_t outCapacity = 1 << 16,
                      const Bytes &record = sixteenColours()) {
    PlotSession session(pldbin, outCapacity);
    session.call(OpBeginJob, {0, 0, 1, 1, 1});
    session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, depth}, record.data(), flags);
    return session;
}

// One row through the entry point; checks that nothing is written after the
// row's last byte.
std::string row(PlotSession &session, std::int32_t width, std::int32_t depth, const Bytes &pixels,
                std::int32_t flags = 0) {
    const std::string out =
        session.call(OpRasterRow, {width, depth}, pixels.empty() ? nullptr : pixels.data(), flags);
    EXPECT_TRUE(session.untouchedAfter(out.empty() ? 1 : 0));
    return out;
}

struct PlaneCase {
    int line;
    std::int32_t width;
    std::int32_t depth;
    std::int32_t flags;
    Bytes pixels;
    std::string expected;
};

const PlaneCase kPlaneCases[] = {
    // Bits after the 10th pixel are cleared; PackBits would not be shorter.
    {__LINE__, 10, 1, 0, {0xFF, 0xFF}, "\x1b*b0m2W" + bytes({0xFF, 0xC0})},
    {__LINE__, 64, 1, 0, Bytes(8, 0), "\x1b*b2m2W" + bytes({0xF9, 0x00})},
    {__LINE__, 64, 1, FlagPlanesUncompressed, Bytes(8, 0), "\x1b*b0m8W" + std::string(8, '\0')},
    // A run of 2 is not fewer bytes than the plane.
    {__LINE__, 16, 1, 0, {0x00, 0x00}, "\x1b*b0m2W" + bytes({0x00, 0x00})},
    {__LINE__, 8, 2, 0, {0xE4, 0x00}, "\x1b*b0m1V" + bytes({0xA0}) + "\x1b*b0m1W" + bytes({0xC0})},
    // Pixels 1..8 at depth 4; plane i is bit i of each.
    {__LINE__, 8, 4, 0, {0x12, 0x34, 0x56, 0x78},
     "\x1b*b0m1V" + bytes({0xAA}) + "\x1b*b0m1V" + bytes({0x66}) + "\x1b*b0m1V" + bytes({0x1E}) +
         "\x1b*b0m1W" + bytes({0x01})},
    // A row is read in groups of 8 pixels; all but the first lie beyond the
    // width.
    {__LINE__, 1, 4, 0, {0x9F, 0xFF, 0xFF, 0xFF},
     "\x1b*b0m1V" + bytes({0x80}) + "\x1b*b0m1V" + bytes({0x00}) + "\x1b*b0m1V" + bytes({0x00}) +
         "\x1b*b0m1W" + bytes({0x80})},
    {__LINE__, 8, 8, 0, {1, 2, 4, 8, 16, 32, 64, 128},
     "\x1b*b0m1V" + bytes({0x80}) + "\x1b*b0m1V" + bytes({0x40}) + "\x1b*b0m1V" + bytes({0x20}) +
         "\x1b*b0m1V" + bytes({0x10}) + "\x1b*b0m1V" + bytes({0x08}) + "\x1b*b0m1V" + bytes({0x04}) +
         "\x1b*b0m1V" + bytes({0x02}) + "\x1b*b0m1W" + bytes({0x01})},
    {__LINE__, 0, 1, 0, {}, "\x1b*b0m0W"},
    {__LINE__, 0, 3, 0, {}, "\x1b*b0m0V\x1b*b0m0V\x1b*b0m0W"},
    {__LINE__, -1, 1, 0, {0xFF}, ""},
    {__LINE__, -8, 2, 0, {0xFF, 0xFF}, ""},
    {__LINE__, 8, 0, 0, {0xFF}, ""},
    {__LINE__, 8, -3, 0, {0xFF}, ""},
};

TEST(PlaneRow, DeviceExamples) {
    for (const PlaneCase &c : kPlaneCases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session = withImage(c.depth, 0);
        EXPECT_EQ(row(session, c.width, c.depth, c.pixels, c.flags), c.expected);
        EXPECT_EQ(heap.held(), 0);
    }
}

// Packs pixel values `depth` bits each, most significant bit first, and pads
// the row to whole groups of 8 pixels with set bits the driver must clear.
Bytes packRow(const std::vector<std::uint32_t> &pixels, unsigned depth) {
    const std::size_t groups = (pixels.size() + 7) / 8;
    std::vector<bool> bits(groups * 8 * depth, true);
    for (std::size_t p = 0; p < pixels.size(); ++p) {
        for (unsigned b = 0; b < depth; ++b) {
            bits[p * depth + b] = ((pixels[p] >> (depth - 1 - b)) & 1u) != 0;
        }
    }
    Bytes row(groups * depth, 0);
    for (std::size_t i = 0; i < bits.size(); ++i) {
        if (bits[i]) {
            row[i / 8] = static_cast<std::uint8_t>(row[i / 8] | 0x80 >> (i % 8));
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
            for (auto &p : pixels) {
                // Runs as well as noise, so that PackBits is taken sometimes.
                p = random.next() < 96 ? 0 : (random.next() | random.next() << 8) & ((1u << depth) - 1);
            }
            const std::size_t planeLength = (pixels.size() + 7) / 8;
            std::vector<Bytes> expected(static_cast<std::size_t>(depth), Bytes(planeLength, 0));
            for (std::size_t p = 0; p < pixels.size(); ++p) {
                for (std::size_t i = 0; i < expected.size(); ++i) {
                    if ((pixels[p] >> i & 1u) != 0) {
                        expected[i][p / 8] = static_cast<std::uint8_t>(expected[i][p / 8] | 0x80 >> (p % 8));
                    }
                }
            }
            for (std::int32_t flags : {0, static_cast<std::int32_t>(FlagPlanesUncompressed)}) {
                HeapGuard heap;
                PlotSession session = withImage(depth, 0);
                const std::string out = row(session, width, depth, packRow(pixels, static_cast<unsigned>(depth)), flags);
                const auto planes = receivePlanes(out, static_cast<std::size_t>(depth), planeLength);
                ASSERT_TRUE(planes.has_value()) << "flags " << flags;
                EXPECT_EQ(*planes, expected) << "flags " << flags;
                if (flags != 0) {
                    EXPECT_EQ(out.find("\x1b*b2"), std::string::npos);
                }
                EXPECT_LE(out.size(), static_cast<std::size_t>(depth) * (16 + planeLength));
                EXPECT_EQ(heap.held(), 0);
            }
        }
    }
}

struct ColorCase {
    int line;
    std::int32_t width;
    std::int32_t depth;
    Bytes pixels;
    std::string expected;
};

const ColorCase kColorCases[] = {
    {__LINE__, 3, 16, {0xFF, 0x7F, 0x21, 0x04, 0x00, 0x80},
     transfer('0', {255, 255, 255, 8, 8, 8, 0, 0, 0})},
    // Red, green and blue fields land in their own bytes.
    {__LINE__, 3, 16, {0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00},
     transfer('0', {255, 0, 0, 0, 255, 0, 0, 0, 255})},
    {__LINE__, 1, 32, {0x11, 0x22, 0x33, 0x44}, transfer('0', {0x22, 0x33, 0x44})},
    {__LINE__, 0, 32, {}, "\x1b*b0m0W"},
    {__LINE__, 0, 16, {}, "\x1b*b0m0W"},
    {__LINE__, 1, 24, {1, 2, 3}, ""},
    {__LINE__, 1, 17, {1, 2, 3, 4}, ""},
    {__LINE__, 1, 0x10000 + 32, {1, 2, 3, 4}, ""},
    {__LINE__, -1, 32, {1, 2, 3, 4}, ""},
    {__LINE__, 0x7FFFFFFF, 32, {1, 2, 3, 4}, ""},  // more RGB bytes than a count can hold
    {__LINE__, 4, 32, {}, ""},                     // no row at all
};

TEST(DirectRow, ConvertsEachDepth) {
    for (const ColorCase &c : kColorCases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session = withImage(c.depth, 0);
        EXPECT_EQ(row(session, c.width, c.depth, c.pixels), c.expected);
        session.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
}

// Rows of 4 pixels at depth 32 and what the device rebuilds from them.
Bytes rgbOf(const Bytes &argb) {
    Bytes rgb;
    for (std::size_t p = 0; p + 3 < argb.size(); p += 4) {
        rgb.insert(rgb.end(), argb.begin() + static_cast<std::ptrdiff_t>(p + 1),
                   argb.begin() + static_cast<std::ptrdiff_t>(p + 4));
    }
    return rgb;
}

const Bytes kRowA = {0, 1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12};
const Bytes kRowB = {0, 1, 2, 3, 0, 4, 5, 0x66, 0, 7, 8, 9, 0, 10, 11, 12};
const Bytes kRowC = {0, 0xC1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 0xCC};

struct SeedStep {
    int line;
    const Bytes *pixels;
    std::int32_t flags;
    std::string expected;
};

// The seed is the row the device decoded last; the driver compares with it
// only while its copy is known to match.
const std::vector<SeedStep> kSeedSteps = {
    {__LINE__, &kRowA, 0, transfer('0', rgbOf(kRowA))},
    {__LINE__, &kRowA, 0, "\x1b*b3m0W"},
    {__LINE__, &kRowB, 0, transfer('3', {0x05, 0x66})},
    // Sent whole; the device's seed is now C, the driver's copy still B.
    {__LINE__, &kRowC, FlagColorUncompressed, transfer('0', rgbOf(kRowC))},
    // Compared with the stale copy, B would go out as "no change" and the
    // device would draw C again.
    {__LINE__, &kRowB, 0, transfer('0', rgbOf(kRowB))},
    {__LINE__, &kRowB, 0, "\x1b*b3m0W"},
    {__LINE__, &kRowC, 0, transfer('3', {0x00, 0xC1, 0x04, 0x06, 0x05, 0xCC})},
};

TEST(DirectRow, DeltaRowsOnlyAgainstTheDevicesSeed) {
    HeapGuard heap;
    PlotSession session = withImage(32, 0);
    ColorRowDevice device(12);
    for (const SeedStep &s : kSeedSteps) {
        SCOPED_TRACE(s.line);
        const std::string out = row(session, 4, 32, *s.pixels, s.flags);
        EXPECT_EQ(out, s.expected);
        EXPECT_EQ(device.receive(out), rgbOf(*s.pixels));
    }
    session.call(OpRasterEnd);
    EXPECT_EQ(heap.held(), 0);
}

// With flags 0x04 from the first row on, rows go out whole and the seed
// block is never filled.
TEST(DirectRow, UncompressedFlagNeverKeepsASeed) {
    HeapGuard heap;
    PlotSession session = withImage(32, 0);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(row(session, 4, 32, kRowA, FlagColorUncompressed), transfer('0', rgbOf(kRowA)));
        EXPECT_EQ(heap.held(), 0);
    }
    // The first row without the flag is the first the seed can hold.
    EXPECT_EQ(row(session, 4, 32, kRowA), transfer('0', rgbOf(kRowA)));
    EXPECT_EQ(row(session, 4, 32, kRowA), "\x1b*b3m0W");
    session.call(OpRasterEnd);
    EXPECT_EQ(heap.held(), 0);
}

TEST(DirectRow, WidthZeroRowsStayUncompressed) {
    PlotSession session = withImage(16, 0);
    EXPECT_EQ(row(session, 0, 16, {}), "\x1b*b0m0W");
    EXPECT_EQ(row(session, 0, 16, {}), "\x1b*b0m0W");
    session.call(OpRasterEnd);
}

// A host that changes the width mid-image gets whole rows, never a seed of
// the wrong length read or written past its end.
TEST(DirectRow, WidthChangeStartsANewSeed) {
    HeapGuard heap;
    PlotSession session = withImage(32, 0);
    Bytes wide = kRowA;
    wide.insert(wide.end(), kRowB.begin(), kRowB.end());
    EXPECT_EQ(row(session, 4, 32, kRowA), transfer('0', rgbOf(kRowA)));
    EXPECT_EQ(row(session, 8, 32, wide), transfer('0', rgbOf(wide)));
    EXPECT_EQ(row(session, 8, 32, wide), "\x1b*b3m0W");
    EXPECT_EQ(row(session, 4, 32, kRowA), transfer('0', rgbOf(kRowA)));
    EXPECT_EQ(heap.held(), 1);
    session.call(OpRasterEnd);
    EXPECT_EQ(heap.held(), 0);
}

struct PaletteCase {
    int line;
    std::int32_t width;
    std::int32_t depth;
    Bytes pixels;  // exactly the bytes that hold the pixels
    std::vector<int> indexes;
};

const PaletteCase kPaletteCases[] = {
    {__LINE__, 3, 1, {0xA0}, {1, 0, 1}},
    {__LINE__, 9, 1, {0x80, 0x80}, {1, 0, 0, 0, 0, 0, 0, 0, 1}},
    {__LINE__, 4, 2, {0xE4}, {3, 2, 1, 0}},
    {__LINE__, 5, 2, {0x1B, 0x40}, {0, 1, 2, 3, 1}},
    {__LINE__, 3, 4, {0x12, 0x30}, {1, 2, 3}},
    {__LINE__, 2, 8, {5, 15}, {5, 15}},
    // Entries past the palette's last index are black.
    {__LINE__, 2, 8, {16, 255}, {-1, -1}},
    // In-between depths read the same bit stream.
    {__LINE__, 3, 3, {0x29, 0x80}, {1, 2, 3}},
    {__LINE__, 1, 12, {0x10, 0x50}, {5}},  // 0x105: its low 8 bits
    {__LINE__, 2, 0, {}, {0, 0}},
    {__LINE__, 2, -5, {}, {0, 0}},
    {__LINE__, 0, 8, {}, {}},
};

TEST(PaletteRow, ExpandsThroughTheTable) {
    for (const PaletteCase &c : kPaletteCases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session = withImage(c.depth, FlagExpandPalette);
        ASSERT_NE(session.state().palette, nullptr);
        Bytes rgb;
        for (int index : c.indexes) {
            for (int k = 1; k <= 3; ++k) {
                rgb.push_back(static_cast<std::uint8_t>(index < 0 ? 0 : 16 * index + k));
            }
        }
        // A row of exactly the bytes that hold the pixels: the sanitizer
        // build catches any read beyond them.
        const std::string out = row(session, c.width, c.depth, c.pixels, FlagExpandPalette);
        EXPECT_EQ(out, transfer('0', rgb));
        // The same row again is a delta row of nothing.
        EXPECT_EQ(row(session, c.width, c.depth, c.pixels, FlagExpandPalette),
                  c.width > 0 ? "\x1b*b3m0W" : "\x1b*b0m0W");
        session.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
}

TEST(PaletteRow, WithoutTableProducesNothing) {
    HeapGuard heap;
    PlotSession session(pldbin);
    session.call(OpBeginJob, {0, 0, 1, 1, 1});
    const auto record = paletteRecord(-1, {});
    drv::testing::failNthAllocation(1);
    session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, 1, 1, 8}, record.data(), FlagExpandPalette);
    ASSERT_EQ(session.state().palette, nullptr);
    EXPECT_EQ(row(session, 2, 8, {1, 2}, FlagExpandPalette), "");
    EXPECT_EQ(heap.held(), 0);
}

// Which request to refuse, counted from the row's first: for a colour row
// the seed block (first row only), the RGB buffer, then the compressed
// buffer (only when a delta row is tried); for a bit-plane row the plane
// buffer, then one scratch buffer per plane.
struct FailureCase {
    int line;
    std::int32_t depth;
    std::int32_t flags;
    int rowsBefore;  // rows of `pixels` sent before the refusal
    int refuse;
    std::string failed;  // output of the row that meets the refusal
    std::string next;    // output of the same row sent again
};

const Bytes kZeros16(16, 0);

// Sixteen pixels of index 0 through sixteenColours().
Bytes entryZeroRow() {
    Bytes rgb;
    for (int i = 0; i < 16; ++i) {
        rgb.insert(rgb.end(), {1, 2, 3});
    }
    return rgb;
}
const Bytes kEntryZeroRow = entryZeroRow();

const std::vector<FailureCase> kFailureCases = {
    {__LINE__, 32, 0, 0, 1, "", transfer('0', Bytes(12, 0))},
    {__LINE__, 32, 0, 0, 2, "", transfer('0', Bytes(12, 0))},
    {__LINE__, 32, 0, 1, 1, "", "\x1b*b3m0W"},
    {__LINE__, 32, 0, 1, 2, "", "\x1b*b3m0W"},
    {__LINE__, 32, FlagColorUncompressed, 0, 1, "", transfer('0', Bytes(12, 0))},
    {__LINE__, 8, FlagExpandPalette, 0, 1, "", transfer('0', kEntryZeroRow)},
    {__LINE__, 8, FlagExpandPalette, 1, 2, "", "\x1b*b3m0W"},
    // Bit planes: width 64, depth 2; a plane without scratch goes out whole.
    {__LINE__, 2, 0, 0, 1, "", "\x1b*b2m2V" + bytes({0xF9, 0}) + "\x1b*b2m2W" + bytes({0xF9, 0})},
    {__LINE__, 2, 0, 0, 3, "\x1b*b2m2V" + bytes({0xF9, 0}) + transfer('0', Bytes(8, 0)),
     "\x1b*b2m2V" + bytes({0xF9, 0}) + "\x1b*b2m2W" + bytes({0xF9, 0})},
    {__LINE__, 2, 0, 0, 2, transfer('0', Bytes(8, 0), 'V') + "\x1b*b2m2W" + bytes({0xF9, 0}),
     "\x1b*b2m2V" + bytes({0xF9, 0}) + "\x1b*b2m2W" + bytes({0xF9, 0})},
};

TEST(RowFailures, RefusedBuffers) {
    for (const FailureCase &c : kFailureCases) {
        SCOPED_TRACE(c.line);
        HeapGuard heap;
        PlotSession session = withImage(c.depth, c.flags);
        const std::int32_t width = c.depth == 32 ? 4 : c.depth == 8 ? 16 : 64;
        const std::int32_t flags = c.flags;
        for (int i = 0; i < c.rowsBefore; ++i) {
            row(session, width, c.depth, kZeros16, flags);
        }
        drv::testing::failNthAllocation(c.refuse);
        EXPECT_EQ(row(session, width, c.depth, kZeros16, flags), c.failed);
        drv::testing::resetAllocationFailures();
        EXPECT_EQ(row(session, width, c.depth, kZeros16, flags), c.next);
        session.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
}

// Long rows are sent whole when compression gives up, and as delta rows of
// nothing when they repeat.
TEST(DirectRow, LongRows) {
    HeapGuard heap;
    constexpr std::int32_t kWidth = 20000;
    PlotSession session = withImage(32, 0, 4 * kWidth);
    Lcg random{99};
    Bytes noise(4 * kWidth);
    for (auto &b : noise) {
        b = random.next();
    }
    const std::string first = row(session, kWidth, 32, noise);
    EXPECT_EQ(first, transfer('0', rgbOf(noise)));
    EXPECT_EQ(row(session, kWidth, 32, noise), "\x1b*b3m0W");
    Bytes other = noise;
    for (std::size_t i = 0; i < other.size(); ++i) {
        other[i] ^= 0xFF;
    }
    EXPECT_EQ(row(session, kWidth, 32, other), transfer('0', rgbOf(other)));
    session.call(OpRasterEnd);
    EXPECT_EQ(heap.held(), 0);
}

// Several images of every kind in one job, rows sent with random flags and
// small changes: the device rebuilds every row, nothing is left allocated.
TEST(RasterJob, DeviceRebuildsEveryRowOfSeveralImages) {
    HeapGuard heap;
    Lcg random{2024};
    PlotSession session(pldbin);
    session.call(OpBeginJob, {0, 0, 1, 1, 1});
    const auto record = paletteRecord(3, {{0x1000, 0x2000, 0x3000}, {0x4000, 0x5000, 0x6000},
                                          {0x7000, 0x8000, 0x9000}, {0xA000, 0xB000, 0xC000}});
    struct Image {
        std::int32_t depth;
        std::int32_t flags;
    };
    for (const Image image : {Image{32, 0}, Image{16, 0}, Image{2, FlagExpandPalette}, Image{32, 0}}) {
        SCOPED_TRACE(image.depth);
        constexpr std::int32_t kWidth = 37;
        session.call(OpRasterBegin, {0, 0, 1.0f, 1.0f, kWidth, 20, image.depth}, record.data(), image.flags);
        ColorRowDevice device(3 * kWidth);
        const std::size_t rowBytes = image.depth == 2 ? (kWidth * 2 + 7) / 8 : kWidth * static_cast<std::size_t>(image.depth) / 8;
        Bytes pixels(rowBytes, 0);
        for (int r = 0; r < 20; ++r) {
            for (int k = random.next() % 4; k > 0; --k) {
                pixels[random.next() % rowBytes] = random.next();
            }
            const std::int32_t flags = image.flags | (random.next() < 64 ? FlagColorUncompressed : 0);
            const std::string out = row(session, kWidth, image.depth, pixels, flags);
            const auto rebuilt = device.receive(out);
            ASSERT_TRUE(rebuilt.has_value()) << "row " << r;
            // The device's row is what an uncompressed send of the same row
            // gives in a fresh image.
            PlotSession reference = withImage(image.depth, image.flags, 1 << 16, record);
            ColorRowDevice fresh(3 * kWidth);
            EXPECT_EQ(*rebuilt, fresh.receive(row(reference, kWidth, image.depth, pixels, image.flags)))
                << "row " << r;
            reference.call(OpRasterEnd);
        }
        session.call(OpRasterEnd);
        EXPECT_EQ(heap.held(), 0);
    }
}

}  // namespace
