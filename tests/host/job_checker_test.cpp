#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/job/output_capacity.h"
#include "tests/host/build_job.h"

namespace {

using namespace drv::host;
using drv::test::build;
using drv::test::buildOk;
using drv::test::kJobHead;

// `rest` after a job head both drivers take (line 1).
std::string job(const std::string &rest) {
    return std::string(kJobHead) + rest;
}

struct OrderCase {
    int line;
    const char *driver;
    std::string source;
    int errorLine;
    const char *message;
};

const OrderCase kBadJobs[] = {
    {__LINE__, "quillane", "", 1, "the script holds no job: start one with BeginJob"},
    {__LINE__, "quillane", "Plot x=1 y=1", 1, "Plot outside a job"},
    {__LINE__, "quillane", job("EndJob\nPenUp"), 3, "PenUp outside a job"},
    {__LINE__, "quillane", job("BeginJob"), 2, "inside the job begun on line 1"},
    {__LINE__, "quillane", job("PenUp"), 2,
     "the script ends inside the job begun on line 1: end it with EndJob"},
    {__LINE__, "quillane", job("RasterRow hex=00"), 2, "outside a raster image"},
    {__LINE__, "quillane", job("RasterEnd"), 2, "outside a raster image"},
    {__LINE__, "quillane", job("RasterBegin x=0 y=0 width_mm=8 height_mm=1 columns=8 rows=1 depth=1\nPenUp"), 3,
     "inside the raster image begun on line 2"},
    {__LINE__, "quillane", job("RasterBegin x=0 y=0 width_mm=8 height_mm=1 columns=8 rows=1 depth=1\nEndJob"), 3,
     "inside the raster image"},
    {__LINE__, "quillane",
     job("RasterBegin x=0 y=0 width_mm=8 height_mm=1 columns=8 rows=1 depth=1\nRasterRow hex=00\nRasterEnd"), 4,
     "ends inside the job"},
    // A short image is one fault: its RasterEnd still ends it, so the
    // EndJob after it is in order.
    {__LINE__, "quillane",
     job("RasterBegin x=0 y=0 width_mm=8 height_mm=1 columns=8 rows=4 depth=1\nRasterRow hex=00\n"
         "RasterEnd\nEndJob"),
     4, "declares 4 rows; 1 were sent"},
    {__LINE__, "quillane",
     job("RasterBegin x=0 y=0 width_mm=8 height_mm=1 columns=8 rows=1 depth=1\nRasterRow hex=00\n"
         "RasterRow hex=00"),
     4, "more rows than the 1"},
    {__LINE__, "quillane", job("RasterBegin x=0 y=0 width_mm=8 height_mm=1 columns=8 rows=1 depth=24"), 2,
     "must be 1, 2, 4, 8, 16 or 32"},
    {__LINE__, "quillane",
     job("RasterBegin x=0 y=0 width_mm=8 height_mm=1 columns=10 rows=1 depth=4\nRasterRow hex=0000"), 3,
     "row holds 2 bytes; 10 pixels at depth 4 take 5"},
    {__LINE__, "quillane",
     job("RasterBegin x=0 y=0 width_mm=8 height_mm=1 columns=2 rows=1 depth=16\nRasterRow hex=000000"), 3,
     "take 4"},
    {__LINE__, "quillane",
     job("RasterBegin x=0 y=0 width_mm=8 height_mm=1 columns=8 rows=1 depth=1\nRasterRow depth=2 hex=0000"), 3,
     "image's columns 8 and depth 1"},
    {__LINE__, "quillane",
     job("RasterBegin x=0 y=0 width_mm=8 height_mm=1 columns=8 rows=1 depth=1\n"
         "RasterRow hex=00 flags=ExpandPalette"),
     3, "ExpandPalette changed"},
    {__LINE__, "quillane", job("Image file=none.png x=0 y=0"), 2, "none.png: no such picture"},
    {__LINE__, "quillane", "Image file=two.png x=0 y=0", 1, "RasterBegin outside a job"},
    {__LINE__, "quillane", job("Plot x=536870912 y=0"), 2, "x = 536870912 is outside this "
                                                           "driver's coordinate range +-536870911"},
    // Polygons: opened by PolygonBegin, closed by PolygonFill, nothing but
    // their outline inside.
    {__LINE__, "quillane", job("PolygonFill"), 2,
     "PolygonFill outside a polygon: start one with PolygonBegin"},
    {__LINE__, "quillane", job("PolygonNext x=1 y=1"), 2, "PolygonNext outside a polygon"},
    {__LINE__, "quillane", job("PolygonBegin x=0 y=0\nPlot x=9 y=0\nEndJob"), 4,
     "EndJob inside the polygon begun on line 2: end it with PolygonFill first"},
    {__LINE__, "quillane", job("PolygonBegin x=0 y=0\nPolygonBegin x=1 y=1"), 3,
     "PolygonBegin inside the polygon begun on line 2"},
    {__LINE__, "quillane", job("PolygonBegin x=0 y=0\nLabel x=0 y=0"), 3, "Label inside the polygon"},
    {__LINE__, "quillane", job("PolygonBegin x=0 y=0\nPlot x=9 y=9"), 3,
     "the script ends inside the polygon begun on line 2: end it with PolygonFill"},
    {__LINE__, "drevant", job("PolygonBegin x=0 y=0\nEndJob"), 3, "inside the polygon"},
    // Every cell the driver reads is given or has a default.
    {__LINE__, "quillane", "BeginJob\nEndJob", 1,
     "BeginJob needs page_width (p2), page_height (p3), pens (p4): quillane reads them"},
    {__LINE__, "quillane", job("Plot x=100"), 2, "Plot needs y (p1): quillane reads it"},
    {__LINE__, "quillane", job("SelectPen"), 2, "SelectPen needs pen (p0)"},
    {__LINE__, "quillane", job("Arc cx=0 cy=0 sx=1 sy=0 ex=0 ey=1"), 2, "Arc needs sweep (p7)"},
    {__LINE__, "drevant", job("Arc cx=0 cy=0 sx=1 sy=0 sweep=90"), 2,
     "Arc needs ex (p4), ey (p5): drevant reads them"},
    {__LINE__, "quillane", job("TextStyle height_units=10 width_units=10"), 2,
     "TextStyle needs height_mm (p2), width_mm (p3)"},
    {__LINE__, "drevant", job("Velocity pen=1 speed=40"), 2, "Velocity needs p5: drevant reads it"},
    {__LINE__, "drevant", job("Velocity pen=1 speed=40 p5=1"), 2, "Velocity needs p6"},
    {__LINE__, "quillane", job("EndJob copy_switch=1"), 2, "EndJob needs copies (p1)"},
    {__LINE__, "quillane", job("Font typeface_on=1"), 2, "Font needs typeface (p2)"},
    {__LINE__, "quillane", job("RasterBegin columns=8 rows=1 depth=1"), 2,
     "RasterBegin needs x (p0), y (p1), width_mm (p2), height_mm (p3)"},
    // The record-framing driver: its framing bytes, label rules and shorter reach.
    {__LINE__, "drevant", job("Plot x=262144 y=0"), 2, "coordinate range +-262143"},
    {__LINE__, "drevant", "BeginJob radix=1", 1, "radix (p6) must be 2..127"},
    {__LINE__, "drevant", "BeginJob bias=0", 1, "must not be 0"},
    {__LINE__, "drevant", "BeginJob sync_count=1 sync=0", 1, "must not be 0"},
    {__LINE__, "drevant", "BeginJob radix=200", 1, "radix (p6) must be 2..127"},
    {__LINE__, "drevant", "BeginJob sync_count=128", 1, "sync_count (p7) must be 0..127"},
    {__LINE__, "drevant", job("Label x=0 y=0 text=\"A\""), 2, "Label before any TextStyle"},
    {__LINE__, "drevant", job("TextStyle height_units=0 width_units=0"), 2,
     "non-zero character height"},
    {__LINE__, "drevant",
     "BeginJob text=\"0123456789012345678901234567890123456789012345678901234567890123456789"
     "0123456789012345678901234567890123456789\"\nEndJob",
     1, "BeginJob text is 110 bytes; this driver takes at most 100"},
    // A driver the host does not know gets the strictest rules, and must be
    // given what every driver reads.
    {__LINE__, "", "BeginJob\nLabel x=0 y=0", 2, "Label before any TextStyle"},
    {__LINE__, "", "BeginJob\nPlot y=1", 2, "Plot needs x (p0)\n"},
};

TEST(PlotJob, RefusesWhatADriverCannotTake) {
    for (const OrderCase &c : kBadJobs) {
        SCOPED_TRACE(c.line);
        std::vector<SourceError> errors;
        const std::vector<PlotCall> calls = build(c.source, c.driver, errors);
        EXPECT_TRUE(calls.empty());
        ASSERT_EQ(errors.size(), 1u) << errors[1].message;
        EXPECT_EQ(errors[0].pos.line, c.errorLine);
        const std::string message(c.message);
        if (message.back() == '\n') { // the whole message
            EXPECT_EQ(errors[0].message + "\n", message);
        } else {
            EXPECT_NE(errors[0].message.find(message), std::string::npos) << errors[0].message;
        }
    }
}

TEST(PlotJob, AcceptsWhatTheOtherDriverRefuses) {
    EXPECT_EQ(buildOk(job("Plot x=300000 y=0\nLabel x=0 y=0 text=\"A\"\nEndJob")).size(), 4u);
    EXPECT_EQ(buildOk("BeginJob\nTextStyle height_units=10 width_units=10\nLabel x=0 y=0\nEndJob",
                      "drevant")
                  .size(),
              4u);
}

struct DefaultCase {
    int line;
    const char *driver;
    const char *request; // after the job head, the one request checked
    int cell;
    double value; // an integer cell compares as an integer
};

// What a job may leave out, and what the driver is given instead.
const DefaultCase kDefaults[] = {
    {__LINE__, "drevant", "EndJob", 0, 0},            // copies switched off
    {__LINE__, "quillane", "EndJob copies=3", 0, 1},  // a value given switches on
    {__LINE__, "quillane", "Velocity pen=1 speed=40", 1, 1},
    {__LINE__, "quillane", "Velocity pen=1", 1, 0},
    {__LINE__, "drevant", "Velocity pen=1 speed=40 p5=0", 1, 1},
    {__LINE__, "quillane", "Circle cx=0 cy=0 r=10", 3, 5.0},
    {__LINE__, "quillane", "Arc cx=0 cy=0 sx=1 sy=0 sweep=90", 8, 5.0},
    {__LINE__, "quillane", "TextStyle height_mm=3 width_mm=2", 7, 1.0},
    {__LINE__, "quillane", "TextStyle height_mm=3 width_mm=2", 6, 0.0},
    {__LINE__, "quillane", "Label x=0 y=0", 2, 3}, // ETX
    {__LINE__, "quillane", "Font symbol_set=277", 1, 1},
    {__LINE__, "quillane", "Font symbol_set=277", 0, 0},
};

TEST(PlotJob, GivesTheDocumentedDefaults) {
    for (const DefaultCase &c : kDefaults) {
        SCOPED_TRACE(c.line);
        const std::string head = std::string(c.driver) == "drevant"
                                     ? "BeginJob\nTextStyle height_units=9 width_units=9\n"
                                     : std::string(kJobHead);
        const std::string request(c.request);
        const bool ends = request.starts_with("EndJob");
        const std::vector<PlotCall> calls =
            buildOk(head + request + (ends ? "" : "\nEndJob"), c.driver);
        ASSERT_GE(calls.size(), 2u);
        const PlotCall &call = calls[calls.size() - (ends ? 1 : 2)];
        const OpInfo &op = *findOp(call.request.op);
        if (op.cells[static_cast<std::size_t>(c.cell)] == CellType::Float) {
            EXPECT_FLOAT_EQ(call.request.param[c.cell].f, static_cast<float>(c.value));
        } else {
            EXPECT_EQ(call.request.param[c.cell].i, static_cast<std::int32_t>(c.value));
        }
    }
    // The record framing a drevant job may leave out entirely.
    const PlotRequest begin = buildOk("BeginJob\nEndJob", "drevant")[0].request;
    const std::int32_t framing[] = {0x20, 32, 0, '!', '\r', 0};
    for (int cell = 5; cell <= 10; ++cell) {
        EXPECT_EQ(begin.param[cell].i, framing[cell - 5]) << "p" << cell;
    }
}

TEST(PlotJob, PassesEmptyStringsNotNullForTexts) {
    const std::vector<PlotCall> calls = buildOk(job("Label x=0 y=0\nEndJob text=\"bye\""));
    ASSERT_EQ(calls.size(), 3u);
    EXPECT_EQ(calls[0].text, std::vector<std::uint8_t>{0});
    EXPECT_EQ(calls[1].text, std::vector<std::uint8_t>{0});
    EXPECT_EQ(calls[2].text, (std::vector<std::uint8_t>{'b', 'y', 'e', 0}));
}

struct RowCase {
    int line;
    int columns;
    int depth;
    const char *hex;
    std::vector<std::uint8_t> passed; // padded to what the driver reads
};

// Bit-plane rows are read in whole groups of 8 pixels per plane.
const RowCase kRows[] = {
    {__LINE__, 10, 1, "FFC0", {0xFF, 0xC0}},
    {__LINE__, 10, 2, "E4E4E0", {0xE4, 0xE4, 0xE0, 0x00}},
    {__LINE__, 3, 8, "010203", {1, 2, 3, 0, 0, 0, 0, 0}},
    {__LINE__, 9, 4, "0123456789", {0x01, 0x23, 0x45, 0x67, 0x89, 0, 0, 0}},
    {__LINE__, 2, 16, "FF7F2104", {0xFF, 0x7F, 0x21, 0x04}},
    {__LINE__, 1, 32, "00112233", {0x00, 0x11, 0x22, 0x33}},
    {__LINE__, 0, 1, "", {0x00}}, // still a valid pointer
};

TEST(PlotJob, PadsRowsToWhatTheDriverReads) {
    for (const RowCase &c : kRows) {
        SCOPED_TRACE(c.line);
        const std::string size =
            " columns=" + std::to_string(c.columns) + " depth=" + std::to_string(c.depth);
        const std::string hex = *c.hex != '\0' ? std::string(" hex=") + c.hex : std::string();
        const std::vector<PlotCall> calls =
            buildOk(job("RasterBegin x=0 y=0 width_mm=1 height_mm=1 rows=1" + size +
                        "\nRasterRow" + hex + "\nRasterEnd\nEndJob"));
        ASSERT_EQ(calls.size(), 5u);
        EXPECT_EQ(calls[2].text, c.passed);
        // Width and depth come from the image when the row leaves them out.
        EXPECT_EQ(calls[2].request.param[0].i, c.columns);
        EXPECT_EQ(calls[2].request.param[1].i, c.depth);
    }
}

TEST(PlotJob, ExpandsAnImageIntoARasterBracket) {
    const std::vector<PlotCall> calls =
        buildOk("BeginJob page_width=1 page_height=1 pens=1 flags=ExpandPalette\n"
                "Image file=two.png x=0 y=0 width_mm=30 depth=1\nEndJob");
    ASSERT_EQ(calls.size(), 1u + 1 + 2 + 1 + 1);
    const PlotRequest &begin = calls[1].request;
    EXPECT_EQ(begin.op, OpRasterBegin);
    EXPECT_EQ(begin.flags, FlagExpandPalette);
    EXPECT_FLOAT_EQ(begin.param[2].f, 30.0f);
    EXPECT_FLOAT_EQ(begin.param[3].f, 20.0f); // the picture's proportions
    EXPECT_EQ(begin.param[4].i, 3);
    EXPECT_EQ(begin.param[5].i, 2);
    EXPECT_EQ(begin.param[6].i, 1);
    RasterPalette palette{};
    ASSERT_EQ(calls[1].text.size(), 8u + 2 * 8u);
    std::memcpy(&palette, calls[1].text.data(), calls[1].text.size());
    EXPECT_EQ(palette.lastIndex, 1);
    EXPECT_EQ(palette.entries[0].red, 0); // black comes first in the picture
    EXPECT_EQ(palette.entries[1].red, 0xFFFF);
    // Black is index 0: row 0 is black, white, white; row 1 white, black, white.
    EXPECT_EQ(calls[2].text, std::vector<std::uint8_t>{0x60});
    EXPECT_EQ(calls[3].text, std::vector<std::uint8_t>{0xA0});
    EXPECT_EQ(calls[4].request.op, OpRasterEnd);
    for (std::size_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(calls[i].pos.line, 2);
    }
}

TEST(PlotJob, SizesTheOutputForTheLargestRow) {
    PlotCall row;
    row.request.op = OpRasterRow;
    row.request.param[0].i = 1000;
    row.request.param[1].i = 32;
    // 3 bytes per pixel and the command, whatever the compression.
    EXPECT_GT(outputCapacity(row), 3000u + 16u);
    row.request.param[1].i = 8;
    EXPECT_GT(outputCapacity(row), 8u * (125u + 16u));
}

} // namespace
