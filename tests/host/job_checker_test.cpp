#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/job/output_capacity.h"
#include "host/script/script_job.h"

namespace {

using namespace drv::host;

// Pictures for Image lines, without a file system: "two.png" is 3 x 2
// pixels, white with a black diagonal; any other name fails to load.
bool fakePicture(const std::string &path, RgbImage &image, std::string &error) {
    if (path != "pics/two.png") {
        error = "no such picture";
        return false;
    }
    image.width = 3;
    image.height = 2;
    image.pixels.assign(3 * 2 * 3, 0xFF);
    for (std::size_t i : {std::size_t{0}, std::size_t{4}}) {
        std::memset(&image.pixels[i * 3], 0, 3);
    }
    return true;
}

std::vector<PlotCall> build(const std::string &source, std::string_view driver,
                            std::vector<SourceError> &errors) {
    const std::vector<ScriptStatement> statements = parseScript(source, errors);
    EXPECT_TRUE(errors.empty()) << errors[0].message;
    return buildPlotJob(statements, plotterTraits(driver), "pics", fakePicture, errors);
}

std::vector<PlotCall> buildOk(const std::string &source, std::string_view driver = "quillane") {
    std::vector<SourceError> errors;
    std::vector<PlotCall> job = build(source, driver, errors);
    for (const SourceError &e : errors) {
        ADD_FAILURE() << formatSourceError("job", e);
    }
    return job;
}

struct OrderCase {
    int line;
    const char *driver;
    const char *source;
    int errorLine;
    const char *message;
};

const OrderCase kBadJobs[] = {
    {__LINE__, "quillane", "", 1, "holds no job"},
    {__LINE__, "quillane", "Plot x=1", 1, "Plot outside a job"},
    {__LINE__, "quillane", "BeginJob\nEndJob\nPenUp", 3, "PenUp outside a job"},
    {__LINE__, "quillane", "BeginJob\nBeginJob", 2, "inside the job begun on line 1"},
    {__LINE__, "quillane", "BeginJob\nPlot", 2, "ends inside the job begun on line 1"},
    {__LINE__, "quillane", "BeginJob\nRasterRow hex=00", 2, "outside a raster image"},
    {__LINE__, "quillane", "BeginJob\nRasterEnd", 2, "outside a raster image"},
    {__LINE__, "quillane", "BeginJob\nRasterBegin columns=8 rows=1 depth=1\nPlot", 3,
     "inside the raster image begun on line 2"},
    {__LINE__, "quillane", "BeginJob\nRasterBegin columns=8 rows=1 depth=1\nEndJob", 3,
     "inside the raster image"},
    {__LINE__, "quillane",
     "BeginJob\nRasterBegin columns=8 rows=1 depth=1\nRasterRow hex=00\nRasterEnd", 4,
     "ends inside the job"},
    {__LINE__, "quillane",
     "BeginJob\nRasterBegin columns=8 rows=2 depth=1\nRasterRow hex=00\nRasterEnd", 4,
     "declares 2 rows; 1 were sent"},
    {__LINE__, "quillane",
     "BeginJob\nRasterBegin columns=8 rows=1 depth=1\nRasterRow hex=00\nRasterRow hex=00", 4,
     "more rows than the 1"},
    {__LINE__, "quillane", "BeginJob\nRasterBegin depth=24", 2, "must be 1, 2, 4, 8, 16 or 32"},
    {__LINE__, "quillane", "BeginJob\nRasterBegin columns=10 rows=1 depth=4\nRasterRow hex=0000", 3,
     "row holds 2 bytes; 10 pixels at depth 4 take 5"},
    {__LINE__, "quillane", "BeginJob\nRasterBegin columns=2 rows=1 depth=16\nRasterRow hex=000000",
     3, "take 4"},
    {__LINE__, "quillane",
     "BeginJob\nRasterBegin columns=8 rows=1 depth=1\nRasterRow depth=2 hex=0000", 3,
     "image's columns 8 and depth 1"},
    {__LINE__, "quillane",
     "BeginJob\nRasterBegin columns=8 rows=1 depth=1\nRasterRow hex=00 flags=ExpandPalette", 3,
     "ExpandPalette changed"},
    {__LINE__, "quillane", "BeginJob\nImage file=none.png", 2, "none.png: no such picture"},
    {__LINE__, "quillane", "Image file=two.png", 1, "RasterBegin outside a job"},
    {__LINE__, "quillane", "BeginJob\nPlot x=536870912", 2, "coordinate range +-536870911"},
    // The record-framing driver: its framing bytes, label rules and shorter reach.
    {__LINE__, "drevant", "BeginJob radix=32 bias=32 terminator=13\nPlot x=262144", 2,
     "coordinate range +-262143"},
    {__LINE__, "drevant", "BeginJob radix=1", 1, "radix (p6) must be 2..127"},
    {__LINE__, "drevant", "BeginJob radix=32 terminator=13", 1, "must not be 0"},
    {__LINE__, "drevant", "BeginJob radix=32 bias=32 terminator=13 sync_count=1", 1,
     "must not be 0"},
    {__LINE__, "drevant", "BeginJob radix=200", 1, "radix (p6) must be 2..127"},
    {__LINE__, "drevant", "BeginJob radix=32 bias=32 terminator=13 sync_count=128", 1,
     "sync_count (p7) must be 0..127"},
    {__LINE__, "drevant", "BeginJob radix=32 bias=32 terminator=13\nLabel text=\"A\"", 2,
     "Label before any TextStyle"},
    {__LINE__, "drevant", "BeginJob radix=32 bias=32 terminator=13\nTextStyle height_units=0", 2,
     "non-zero character height"},
    {__LINE__, "drevant",
     "BeginJob radix=32 bias=32 terminator=13 "
     "text=\"0123456789012345678901234567890123456789012345678901234567890123456789"
     "0123456789012345678901234567890123456789\"\nPlot\nEndJob",
     1, "BeginJob text is 110 bytes; this driver takes at most 100"},
    // A driver the host does not know gets the strictest rules.
    {__LINE__, "", "BeginJob radix=32 bias=32 terminator=13\nLabel", 2,
     "Label before any TextStyle"},
};

TEST(PlotJob, RefusesWhatADriverCannotTake) {
    for (const OrderCase &c : kBadJobs) {
        SCOPED_TRACE(c.line);
        std::vector<SourceError> errors;
        const std::vector<PlotCall> job = build(c.source, c.driver, errors);
        EXPECT_TRUE(job.empty());
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].pos.line, c.errorLine);
        EXPECT_NE(errors[0].message.find(c.message), std::string::npos) << errors[0].message;
    }
}

TEST(PlotJob, AcceptsWhatTheOtherDriverRefuses) {
    EXPECT_EQ(buildOk("BeginJob\nPlot x=300000\nLabel text=\"A\"\nEndJob").size(), 4u);
    EXPECT_EQ(
        buildOk("BeginJob radix=32 bias=32 terminator=13\nTextStyle height_units=10\nLabel\nEndJob",
                "drevant")
            .size(),
        4u);
}

TEST(PlotJob, PassesEmptyStringsNotNullForTexts) {
    const std::vector<PlotCall> job = buildOk("BeginJob\nLabel\nEndJob text=\"bye\"");
    ASSERT_EQ(job.size(), 3u);
    EXPECT_EQ(job[0].text, std::vector<std::uint8_t>{0});
    EXPECT_EQ(job[1].text, std::vector<std::uint8_t>{0});
    EXPECT_EQ(job[2].text, (std::vector<std::uint8_t>{'b', 'y', 'e', 0}));
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
        const std::vector<PlotCall> job = buildOk("BeginJob\nRasterBegin rows=1" + size +
                                                  "\nRasterRow" + hex + "\nRasterEnd\nEndJob");
        ASSERT_EQ(job.size(), 5u);
        EXPECT_EQ(job[2].text, c.passed);
        // Width and depth come from the image when the row leaves them out.
        EXPECT_EQ(job[2].request.param[0].i, c.columns);
        EXPECT_EQ(job[2].request.param[1].i, c.depth);
    }
}

TEST(PlotJob, ExpandsAnImageIntoARasterBracket) {
    const std::vector<PlotCall> job = buildOk(
        "BeginJob flags=ExpandPalette\nImage file=two.png x=7 y=9 width_mm=30 depth=1\nEndJob");
    ASSERT_EQ(job.size(), 1u + 1 + 2 + 1 + 1);
    const PlotRequest &begin = job[1].request;
    EXPECT_EQ(begin.op, OpRasterBegin);
    EXPECT_EQ(begin.flags, FlagExpandPalette);
    EXPECT_EQ(begin.param[0].i, 7);
    EXPECT_EQ(begin.param[1].i, 9);
    EXPECT_FLOAT_EQ(begin.param[2].f, 30.0f);
    EXPECT_FLOAT_EQ(begin.param[3].f, 20.0f); // the picture's proportions
    EXPECT_EQ(begin.param[4].i, 3);
    EXPECT_EQ(begin.param[5].i, 2);
    EXPECT_EQ(begin.param[6].i, 1);
    RasterPalette palette{};
    ASSERT_EQ(job[1].text.size(), 8u + 2 * 8u);
    std::memcpy(&palette, job[1].text.data(), job[1].text.size());
    EXPECT_EQ(palette.lastIndex, 1);
    EXPECT_EQ(palette.entries[0].red, 0); // black comes first in the picture
    EXPECT_EQ(palette.entries[1].red, 0xFFFF);
    // Black is index 0: row 0 is black, white, white; row 1 white, black, white.
    EXPECT_EQ(job[2].text, std::vector<std::uint8_t>{0x60});
    EXPECT_EQ(job[3].text, std::vector<std::uint8_t>{0xA0});
    EXPECT_EQ(job[4].request.op, OpRasterEnd);
    for (std::size_t i = 1; i <= 4; ++i) {
        EXPECT_EQ(job[i].pos.line, 2);
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
