// What the driver would take but not draw as the job asks: warnings, and
// errors under --strict.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/host/build_job.h"

namespace {

using namespace drv::host;
using drv::test::build;

struct NoteCase {
    int line;
    const char *driver;
    std::string source;
    int noteLine;
    const char *message; // the whole warning
};

const std::string kLongLabel(31000, 'x');

const NoteCase kNotes[] = {
    {__LINE__, "quillane",
     "BeginJob page_width=16000 page_height=11000 pens=2\nSelectPen pen=99\nEndJob", 2,
     "SelectPen pen 99 is not one of the 2 pens the job begun on line 1 declares"},
    {__LINE__, "quillane",
     "BeginJob page_width=16000 page_height=11000 pens=2\nPenColor pen=-1 r=0 g=0 b=0\nEndJob",
     2, "PenColor pen -1 is not one of the 2 pens the job begun on line 1 declares"},
    {__LINE__, "quillane",
     "BeginJob page_width=1000 page_height=500 pens=2\nPlot x=1200 y=5\nEndJob", 2,
     "Plot at (1200, 5) reaches off the 1000 x 500 page of the job begun on line 1"},
    {__LINE__, "drevant", "BeginJob page_width=1000 page_height=500\nPlot x=10 y=-1\nEndJob", 2,
     "Plot at (10, -1) reaches off the 1000 x 500 page of the job begun on line 1"},
    {__LINE__, "quillane",
     "BeginJob page_width=1000 page_height=500 pens=2\nCircle cx=100 cy=250 r=101\nEndJob", 2,
     "Circle at (100, 250) with radius 101 reaches off the 1000 x 500 page of the job begun on "
     "line 1"},
    {__LINE__, "quillane",
     "BeginJob page_width=1000 page_height=500 pens=2\n"
     "Arc cx=500 cy=250 sx=600 sy=250 ex=500 ey=900 sweep=90\nEndJob",
     2, "Arc at (500, 900) reaches off the 1000 x 500 page of the job begun on line 1"},
    // What drevant leaves out, summed up once, at the first request it
    // leaves out.
    {__LINE__, "drevant",
     "BeginJob\nPlot x=1 y=1\nPolygonBegin x=0 y=0\nPolygonFill\nPolygonBegin x=0 y=0\n"
     "PolygonFill\nRasterBegin x=0 y=0 width_mm=1 height_mm=1 columns=1 rows=1 depth=1\n"
     "RasterRow hex=00\nRasterEnd\nPolygonBegin x=5 y=5\nPolygonFill\nEndJob",
     3, "drevant draws no polygon fill and no raster: 3 polygons and 1 image left out"},
    {__LINE__, "drevant", "BeginJob\nImage file=two.png x=0 y=0\nEndJob", 2,
     "drevant draws no raster: 1 image left out"},
    {__LINE__, "drevant",
     "BeginJob\nTextStyle height_units=9 width_units=9\nLabel x=0 y=0 text=\"" + kLongLabel +
         "\"\nEndJob",
     3, "drevant draws at most 77 characters of a label: 1 label cut short, 30923 characters "
        "left out"},
};

TEST(JobNotes, WarnsAboutWhatTheDeviceWillNotDrawAsAsked) {
    for (const NoteCase &c : kNotes) {
        SCOPED_TRACE(c.line);
        std::vector<SourceError> errors;
        std::vector<SourceError> warnings;
        const auto calls = build(c.source, c.driver, errors, {.warnings = &warnings});
        EXPECT_TRUE(errors.empty()) << errors[0].message;
        EXPECT_FALSE(calls.empty());
        ASSERT_EQ(warnings.size(), 1u);
        EXPECT_EQ(warnings[0].pos.line, c.noteLine);
        EXPECT_EQ(warnings[0].message, c.message);

        // --strict: the same words, as the one error of the job.
        errors.clear();
        warnings.clear();
        EXPECT_TRUE(build(c.source, c.driver, errors, {.strict = true, .warnings = &warnings})
                        .empty());
        EXPECT_TRUE(warnings.empty());
        ASSERT_EQ(errors.size(), 1u);
        EXPECT_EQ(errors[0].pos.line, c.noteLine);
        EXPECT_EQ(errors[0].message, c.message);
    }
}

TEST(JobNotes, CountsPointsOffThePageAfterTheFirstFew) {
    std::string script = "BeginJob page_width=100 page_height=100 pens=1\n";
    for (int i = 0; i < 12; ++i) {
        script += "Plot x=200 y=" + std::to_string(i) + "\n";
    }
    script += "EndJob\n";
    std::vector<SourceError> errors;
    std::vector<SourceError> warnings;
    build(script, "quillane", errors, {.warnings = &warnings});
    ASSERT_EQ(warnings.size(), 6u);
    EXPECT_EQ(warnings[4].pos.line, 6);
    EXPECT_EQ(warnings[5].message, "7 more requests reach off the page");
}

TEST(JobNotes, SaysNothingWhereTheJobDeclaresNothingOrTheDriverDrawsAll) {
    const char *quiet[] = {
        // no pens and no page declared: nothing to hold the job to
        "BeginJob\nSelectPen pen=40\nPlot x=-5 y=-5\nEndJob",
        // pen 0 puts the pen away
        "BeginJob page_width=10 page_height=10 pens=1\nSelectPen pen=0\nEndJob",
    };
    for (const char *source : quiet) {
        SCOPED_TRACE(source);
        std::vector<SourceError> errors;
        std::vector<SourceError> warnings;
        build(source, "drevant", errors, {.warnings = &warnings});
        EXPECT_TRUE(errors.empty());
        EXPECT_TRUE(warnings.empty()) << warnings[0].message;
    }
    std::vector<SourceError> errors;
    std::vector<SourceError> warnings;
    build("BeginJob page_width=99 page_height=99 pens=1\nPolygonBegin x=0 y=0\nPolygonFill\n"
          "Label x=1 y=1 text=\"" + kLongLabel + "\"\nEndJob",
          "quillane", errors, {.warnings = &warnings});
    EXPECT_TRUE(errors.empty());
    EXPECT_TRUE(warnings.empty()) << warnings[0].message;
}

} // namespace
