// From a queue's PPD and a job's options to drvhost plot's arguments.
#include "host/cups/filter/job_settings.h"
#include "host/cups/filter/ppd_settings.h"

#include <algorithm>

#include <gtest/gtest.h>

namespace {

using drv::cups::drvhostPlotArguments;
using drv::cups::InputKind;
using drv::cups::inputKindOf;
using drv::cups::JobSettings;
using drv::cups::millimetres;
using drv::cups::Orientation;
using drv::cups::resolveJobSettings;

const std::string kQuillane = DRV_PPD_DIR "/quillane.ppd";
const std::string kDrevant = DRV_PPD_DIR "/drevant.ppd";

// What a job asks for with the PPD's defaults and the job's options.
TEST(JobSettings, PpdDefaultsAndJobOptionsResolveAsCupsMarksThem) {
    struct Case {
        int line;
        std::string ppd;
        std::string options;
        double width;
        double height;
        Orientation orientation;
        bool fit;
        double scale;
        int pens;
        double tolerance;
        bool keepOrder;
    };
    const auto o = Orientation::Auto;
    const Case cases[] = {
        {__LINE__, kQuillane, "", 210, 297, o, false, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "PageSize=A3", 297, 420, o, false, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "media=iso_a2_420x594mm", 420, 594, o, false, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "media=na_c_17x22in", 431.8, 558.8, o, false, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "PageSize=A0", 841, 1189, o, false, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "PageSize=ARCHE", 914.4, 1219.2, o, false, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "PageSize=Custom.610x2000mm", 610, 2000, o, false, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "orientation-requested=4", 210, 297, Orientation::Landscape, false, 1,
         8, 0.05, false},
        {__LINE__, kQuillane, "landscape", 210, 297, Orientation::Landscape, false, 1, 8, 0.05,
         false},
        {__LINE__, kQuillane, "drvsuiteOrientation=ReversePortrait", 210, 297,
         Orientation::ReversePortrait, false, 1, 8, 0.05, false},
        // The job's IPP attribute wins over the queue's PPD option.
        {__LINE__, kQuillane, "orientation-requested=3 drvsuiteOrientation=Landscape", 210, 297,
         Orientation::Portrait, false, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "orientation-requested=5", 210, 297, Orientation::ReverseLandscape,
         false, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "fit-to-page", 210, 297, o, true, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "print-scaling=fit", 210, 297, o, true, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "drvsuiteFit=True print-scaling=none", 210, 297, o, false, 1, 8, 0.05,
         false},
        {__LINE__, kQuillane, "drvsuiteFit=True", 210, 297, o, true, 1, 8, 0.05, false},
        {__LINE__, kQuillane, "drvsuiteScale=200", 210, 297, o, false, 2, 8, 0.05, false},
        {__LINE__, kQuillane, "drvsuiteScale=Custom.37.5", 210, 297, o, false, 0.375, 8, 0.05, false},
        {__LINE__, kQuillane, "scaling=250 drvsuiteScale=50", 210, 297, o, false, 2.5, 8, 0.05, false},
        {__LINE__, kQuillane, "drvsuitePens=4 drvsuiteTolerance=0.2 drvsuiteKeepOrder=True", 210,
         297, o, false, 1, 4, 0.2, true},
        {__LINE__, kDrevant, "PageSize=Tabloid", 279.4, 431.8, o, false, 1, 8,
         0.05, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(testing::Message() << "line " << c.line << ": " << c.options);
        JobSettings s;
        std::string error;
        ASSERT_TRUE(resolveJobSettings(c.ppd, c.options, "", s, error)) << error;
        EXPECT_EQ(s.driver, c.ppd == kQuillane ? "quillane" : "drevant");
        EXPECT_NEAR(s.sheetWidthMm, c.width, 0.005);
        EXPECT_NEAR(s.sheetHeightMm, c.height, 0.005);
        EXPECT_EQ(s.orientation, c.orientation);
        EXPECT_EQ(s.fit, c.fit);
        EXPECT_DOUBLE_EQ(s.scale, c.scale);
        EXPECT_EQ(s.pens, c.pens);
        EXPECT_DOUBLE_EQ(s.toleranceMm, c.tolerance);
        EXPECT_EQ(s.keepOrder, c.keepOrder);
    }
}

TEST(JobSettings, BadSettingsAreReported) {
    JobSettings s;
    std::string error;
    EXPECT_FALSE(resolveJobSettings(kQuillane, "scaling=big", "", s, error));
    EXPECT_NE(error.find("scaling=big is not a percentage"), std::string::npos) << error;
    EXPECT_FALSE(resolveJobSettings("/nonexistent/q.ppd", "", "", s, error));
    EXPECT_NE(error.find("/nonexistent/q.ppd"), std::string::npos) << error;
}

TEST(JobSettings, DocumentTypes) {
    EXPECT_EQ(inputKindOf("application/vnd.drvsuite-plot"), InputKind::Script);
    EXPECT_EQ(inputKindOf("image/svg+xml"), InputKind::Svg);
    EXPECT_EQ(inputKindOf("image/vnd.dxf"), InputKind::Dxf);
    EXPECT_EQ(inputKindOf("application/pdf"), InputKind::Pdf);
    EXPECT_FALSE(inputKindOf("text/plain"));
}

TEST(JobSettings, DrvhostArguments) {
    JobSettings s;
    s.driver = "quillane";
    s.sheetWidthMm = 215.9;
    s.sheetHeightMm = 279.4;
    EXPECT_EQ(drvhostPlotArguments(s, InputKind::Script, "/t/a.plt"),
              (std::vector<std::string>{"--driver", "quillane", "--input-format", "script",
                                        "/t/a.plt", "-o", "-"}));
    s.orientation = Orientation::ReverseLandscape;
    s.fit = true;
    s.scale = 0.375;
    s.pens = 4;
    s.toleranceMm = 0.1;
    s.keepOrder = true;
    EXPECT_EQ(drvhostPlotArguments(s, InputKind::Script, "a.plt"),
              (std::vector<std::string>{"--driver", "quillane", "--input-format", "script",
                                        "a.plt", "-o", "-"}));
    EXPECT_EQ(drvhostPlotArguments(s, InputKind::Dxf, "a.dxf"),
              (std::vector<std::string>{"--driver", "quillane", "--input-format", "dxf", "--page", "215.9x279.4",
                                        "--landscape", "--rotate", "180", "--fit", "--pens",
                                        "4", "--merge-pens", "--tolerance", "0.1",
                                        "--keep-order", "a.dxf", "-o", "-"}));
    s.fit = false;
    s.orientation = Orientation::Portrait;
    const std::vector<std::string> svg = drvhostPlotArguments(s, InputKind::Svg, "a.svg");
    const std::vector<std::string> placed{"--page", "215.9x279.4", "--portrait", "--scale", "0.375"};
    EXPECT_NE(std::search(svg.begin(), svg.end(), placed.begin(), placed.end()), svg.end());
}

// The coordinate encoding is quillane's alone: its PPD offers it (base 32
// unless the job asks for 64), drevant's has no such option, and only a
// drawing is told it (a plot script says it in its BeginJob).
TEST(JobSettings, PeBaseWhereThePlotterHasOne) {
    const struct {
        int line;
        std::string ppd;
        const char *options;
        int peBase;
    } cases[] = {
        {__LINE__, kQuillane, "", 32},
        {__LINE__, kQuillane, "drvsuitePEBase=64", 64},
        {__LINE__, kDrevant, "drvsuitePEBase=64", 0},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.line);
        JobSettings s;
        std::string error;
        ASSERT_TRUE(resolveJobSettings(c.ppd, c.options, "", s, error)) << error;
        EXPECT_EQ(s.peBase, c.peBase);
    }
    JobSettings s;
    s.driver = "quillane";
    s.peBase = 64;
    const std::vector<std::string> base{"--pe-base", "64"};
    const std::vector<std::string> svg = drvhostPlotArguments(s, InputKind::Svg, "a.svg");
    EXPECT_NE(std::search(svg.begin(), svg.end(), base.begin(), base.end()), svg.end());
    const std::vector<std::string> script = drvhostPlotArguments(s, InputKind::Script, "a.plt");
    EXPECT_EQ(std::search(script.begin(), script.end(), base.begin(), base.end()), script.end());
}

TEST(JobSettings, Millimetres) {
    EXPECT_EQ(millimetres(210), "210");
    EXPECT_EQ(millimetres(215.9), "215.9");
    EXPECT_EQ(millimetres(431.8), "431.8");
    EXPECT_EQ(millimetres(609.996), "610");
    EXPECT_EQ(millimetres(0.004), "0");
}

} // namespace
