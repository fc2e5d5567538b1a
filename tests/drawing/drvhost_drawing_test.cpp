// drvhost plot and convert with drawings, as a person runs them: the
// binary, the real plotter libraries and files in a scratch folder.
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/drvhost_test.h"

namespace {

namespace fs = std::filesystem;
using drv::test::ProcessResult;

const char kSvg[] = R"(<?xml version="1.0"?>
<svg xmlns="http://www.w3.org/2000/svg" width="80mm" height="60mm" viewBox="0 0 80 60">
  <path d="M 10,10 H 70 A 20,20 0 0 1 30,50 Z" stroke="#ff0000" fill="none"/>
  <circle cx="40" cy="30" r="8" stroke="#0000ff" fill="#0000ff"/>
  <text x="10" y="55" font-size="5">hi</text>
</svg>
)";

const char kDxf[] = "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\nA\n10\n0\n20\n0\n11\n50\n21\n20\n"
                    "0\nCIRCLE\n8\nB\n10\n20\n20\n20\n40\n5\n0\nENDSEC\n0\nEOF\n";

class DrvhostDrawing : public drv::test::DrvhostTest {
protected:
    void SetUp() override {
        ::setenv("DRV_PATH", DRV_LIBRARY_DIR, 1);
        makeFolder("drvhost_drawing_");
    }
};

TEST_F(DrvhostDrawing, PlotsDrawingsAndTheirConvertedScriptsAlike) {
    struct Case {
        const char *name;
        const char *content;
        const char *driver;
        std::vector<std::string> options;
    };
    const Case cases[] = {
        {"art.svg", kSvg, "quillane", {}},
        {"art.svg", kSvg, "drevant", {"--page", "A4", "--landscape", "--fit"}},
        {"art.svg", kSvg, "quillane", {"--fill", "--rotate", "90", "--keep-order"}},
        {"part.dxf", kDxf, "drevant", {"--pen-map", "layer:B=3", "--speed", "25"}},
        {"part.dxf", kDxf, "quillane", {"--scale", "2", "--offset", "5,5", "--clip"}},
        {"part.dxf", kDxf, "quillane", {"--pe-base", "64"}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string(c.name) + " " + c.driver);
        const std::string input = file(c.name, c.content);
        std::vector<std::string> plot = {"plot", "--driver", c.driver, input, "-o", path("direct.out")};
        plot.insert(plot.end(), c.options.begin(), c.options.end());
        const ProcessResult direct = drvhost(plot);
        ASSERT_EQ(direct.status, 0) << direct.err;
        EXPECT_NE(direct.err.find(" paths, pen down "), std::string::npos) << direct.err;
        EXPECT_NE(direct.err.find("before planning"), std::string::npos);

        std::vector<std::string> convert = {"convert", "--driver", c.driver, input, "-o", path("job.plt")};
        convert.insert(convert.end(), c.options.begin(), c.options.end());
        ASSERT_EQ(drvhost(convert).status, 0);
        const ProcessResult replay = drvhost({"plot", "--driver", c.driver, path("job.plt"), "-o", path("replay.out")});
        ASSERT_EQ(replay.status, 0) << replay.err;
        EXPECT_EQ(read(path("replay.out")), read(path("direct.out")));
        EXPECT_FALSE(read(path("direct.out")).empty());
    }
}

TEST_F(DrvhostDrawing, StandardInputAndOutputWork) {
    const std::string input = file("art.svg", kSvg);
    ASSERT_EQ(drvhost({"plot", "--driver", "quillane", input, "-o", path("file.out")}).status, 0);
    // content that opens with an XML declaration is an SVG, even unnamed
    const ProcessResult piped = drvhost({"plot", "--driver", "quillane", "-", "-o", "-"}, kSvg);
    ASSERT_EQ(piped.status, 0) << piped.err;
    EXPECT_EQ(piped.out, read(path("file.out")));
    const ProcessResult dxf = drvhost({"convert", "--driver", "drevant", "--input-format", "dxf", "-", "-o", "-"}, kDxf);
    ASSERT_EQ(dxf.status, 0) << dxf.err;
    EXPECT_EQ(dxf.out.rfind("# plot job of <stdin> for drevant\n", 0), 0u);
    EXPECT_NE(dxf.out.find("\nCircle cx=800 cy=800 r=200 chord="), std::string::npos) << dxf.out;
}

TEST_F(DrvhostDrawing, FaultsAreReportedAndNothingIsWritten) {
    struct Case {
        const char *name;
        std::string content;
        std::vector<std::string> options;
        int status;
        std::string message;
    };
    const Case cases[] = {
        {"bad.svg", "<svg width=\"10mm\" height=\"10mm\">\n<path d=\"M 0 0 L 5 x\" stroke=\"red\"/>\n</svg>", {}, 1,
         "bad.svg:2: <path> d: expected a number, found 'x' at character 11\n"},
        {"bad.dxf", "0\nSECTION\n2\nENTITIES\n0\nLINE\n10\nwide\n", {}, 1,
         "bad.dxf:8: group 10 needs a number, found 'wide'\n"},
        {"empty.svg", "<svg width=\"10mm\" height=\"10mm\"></svg>", {}, 1,
         "empty.svg: the drawing is empty: nothing in it would reach the paper\n"},
        {"art.svg", kSvg, {"--pens", "1"}, 1,
         "art.svg: the drawing needs more than the 1 pens of --pens (colour #0000ff has none left): use "
         "--merge-pens, --pens or --pen-map\n"},
        {"art.svg", kSvg, {"--input-format", "pdf"}, 2, "drvhost: --input-format takes script, svg or dxf\n"},
        {"art.svg", kSvg, {"--fit", "--scale", "2"}, 2,
         "drvhost: --fit and --scale do not go together: --fit chooses the scale\n"},
        {"art.svg", kSvg, {"--rotate", "45"}, 2, "drvhost: --rotate takes 0, 90, 180 or 270\n"},
        {"art.svg", kSvg, {"--tolerance", "0"}, 2, "drvhost: --tolerance must be above 0\n"},
        {"art.svg", kSvg, {"--pe-base", "48"}, 2, "drvhost: --pe-base takes 32 or 64\n"},
        {"art.svg", kSvg, {"--page", "B7"}, 2,
         "drvhost: --page B7: give A4, A3, A2, A1, A0, letter, legal, tabloid, WxH (mm) or WxHin\n"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string input = file(c.name, c.content);
        for (const char *command : {"plot", "convert"}) {
            std::vector<std::string> args = {command, "--driver", "quillane", input, "-o", path("never.out")};
            args.insert(args.end(), c.options.begin(), c.options.end());
            const ProcessResult result = drvhost(args);
            EXPECT_EQ(result.status, c.status);
            const std::string expected = c.message.rfind("drvhost:", 0) == 0 ? c.message : dir_.string() + "/" + c.message;
            EXPECT_EQ(result.err, expected);
            EXPECT_FALSE(fs::exists(path("never.out")));
        }
    }
}

// Base 32 PE numbers ("PE7") go down any line; base 64 needs 8 data bits
// and is asked for. The PCI driver reads the same flag bit as something
// else, so the option is refused there rather than passed on.
TEST_F(DrvhostDrawing, PeBaseIsChosenForTheDriverThatHasOne) {
    const std::string input = file("art.svg", kSvg);
    const ProcessResult base32 = drvhost({"plot", "--driver", "quillane", input, "-o", "-"});
    const ProcessResult base64 = drvhost({"plot", "--driver", "quillane", input, "-o", "-", "--pe-base", "64"});
    ASSERT_EQ(base32.status, 0) << base32.err;
    ASSERT_EQ(base64.status, 0) << base64.err;
    EXPECT_NE(base32.out.find("PE7"), std::string::npos);
    EXPECT_EQ(base64.out.find("PE7"), std::string::npos);
    EXPECT_NE(base64.out.find("PE"), std::string::npos);
    const ProcessResult script = drvhost({"convert", "--driver", "quillane", input, "-o", "-", "--pe-base", "64"});
    EXPECT_NE(script.out.find("BeginJob flags=1 "), std::string::npos) << script.out;
    const ProcessResult drevant = drvhost({"plot", "--driver", "drevant", input, "-o", path("never.out"), "--pe-base", "32"});
    EXPECT_EQ(drevant.status, 2);
    EXPECT_EQ(drevant.err,
              "drvhost: --pe-base is for a driver that writes polyline-encoded numbers; drevant does not\n");
    EXPECT_FALSE(fs::exists(path("never.out")));
}

// A plot script goes as it is: options that shape drawings are named as
// unused rather than silently dropped, and the bytes are the script's own.
TEST_F(DrvhostDrawing, ShapingOptionsGivenWithAScriptAreNamed) {
    const std::string script = file("job.plt", "BeginJob page_width=400 page_height=400 pens=1\nSelectPen pen=1\n"
                                               "Plot x=10 y=10\nEndJob\n");
    const ProcessResult plain = drvhost({"plot", "--driver", "quillane", script, "-o", "-"});
    const ProcessResult shaped =
        drvhost({"plot", "--driver", "quillane", script, "-o", "-", "--fit", "--pens", "2"});
    ASSERT_EQ(shaped.status, 0) << shaped.err;
    EXPECT_EQ(shaped.out, plain.out);
    EXPECT_NE(shaped.err.find(script + ": warning: a plot script is sent as it is; --fit, --pens only shape "
                                       "drawings (SVG, DXF)\n"),
              std::string::npos)
        << shaped.err;
    EXPECT_EQ(plain.err.find("warning"), std::string::npos) << plain.err;
}

TEST_F(DrvhostDrawing, WarnsOfWhatLeavesTheSheet) {
    const std::string input = file("art.svg", kSvg);
    const ProcessResult off = drvhost({"plot", "--driver", "quillane", input, "-o", path("a.out"), "--offset", "30,0"});
    ASSERT_EQ(off.status, 0);
    EXPECT_NE(off.err.find("warning: the drawing reaches 28.3 mm beyond the sheet's edge"), std::string::npos) << off.err;
    const ProcessResult clipped =
        drvhost({"plot", "--driver", "quillane", input, "-o", path("b.out"), "--offset", "30,0", "--clip"});
    EXPECT_NE(clipped.err.find("28.3 mm beyond the sheet's edge: clipped there"), std::string::npos) << clipped.err;
    EXPECT_LT(read(path("b.out")).size(), read(path("a.out")).size());
}

} // namespace
