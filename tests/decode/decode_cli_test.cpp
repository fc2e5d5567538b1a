// drvhost decode, preview and plot --preview as a person runs them.
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/demo/demo_drawing.h"
#include "tests/support/drvhost_test.h"

namespace {

namespace fs = std::filesystem;
using drv::test::ProcessResult;

class DecodeCli : public drv::test::DrvhostTest {
protected:
    void SetUp() override {
        ::setenv("DRV_PATH", DRV_LIBRARY_DIR, 1);
        makeFolder("decode_cli_");
        // The demo's pictures come with `drvhost demo`; this drawing leaves
        // out the Image lines.
        std::string plain;
        std::istringstream lines{std::string(drv::host::demoDrawingScript())};
        for (std::string line; std::getline(lines, line);) {
            if (line.rfind("Image ", 0) != 0) {
                plain += line + "\n";
            }
        }
        script_ = file("drawing.plt", plain);
    }
    // The device bytes of the drawing through `driver`.
    std::string plot(const std::string &driver) const {
        const std::string out = path(driver + ".bin");
        const ProcessResult r = drvhost({"plot", "--driver", driver, script_, "-o", out});
        EXPECT_EQ(r.status, 0) << r.err;
        return out;
    }

    std::string script_;
};

TEST_F(DecodeCli, DecodePrintsOneLinePerElementAndWritesTheImages) {
    const ProcessResult r = drvhost({"decode", plot("quillane"), "--images", path("images")});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find(R"({"type":"page","event":"setup","size":[11880,8400],"rotation":0})"), std::string::npos);
    EXPECT_NE(r.out.find(R"("file":"image-1.png")"), std::string::npos) << r.out;
    EXPECT_TRUE(fs::exists(path("images/image-1.png")));
    EXPECT_NE(r.out.find(R"({"type":"summary","language":"hpgl2")"), std::string::npos);
    EXPECT_NE(r.out.find(R"("problems":[])"), std::string::npos);
}

TEST_F(DecodeCli, DecodeTakesThePciFramingOrFindsIt) {
    const std::string pci = plot("drevant");
    for (const std::vector<std::string> &options :
         {std::vector<std::string>{}, {"--radix", "32"},
          {"--language", "pci", "--bias", "0x20", "--radix", "32", "--sync", "'!'", "--sync-count", "2",
           "--terminator", "13", "--checksum", "1"}}) {
        std::vector<std::string> args = {"decode", pci};
        args.insert(args.end(), options.begin(), options.end());
        const ProcessResult r = drvhost(args);
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_NE(r.out.find(R"("counts":{"arc":1,"circle":1,"label":2,"stroke":1})"), std::string::npos) << r.out;
    }
}

TEST_F(DecodeCli, ProblemsArePrintedWithTheirPlaceAndSetTheStatus) {
    std::string bytes = read(plot("drevant"));
    bytes[20] = static_cast<char>(bytes[20] ^ 1); // inside the second record
    const std::string broken = file("broken.pci", bytes);
    const ProcessResult r = drvhost({"decode", broken, "--radix", "32"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find(broken + ": offset "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(", record 2: "), std::string::npos) << r.err;
    EXPECT_NE(r.out.find(R"({"type":"summary")"), std::string::npos);
}

TEST_F(DecodeCli, BadOptionsAndInputs) {
    struct Case {
        int line;
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case kCases[] = {
        {__LINE__, {"decode", "none.bin"}, 1, "none.bin: cannot read the device bytes"},
        {__LINE__, {"decode", "-", "--radix", "1"}, 2, "--radix: "},
        {__LINE__, {"decode", "-", "--language", "pcl"}, 2, "--language"},
        {__LINE__, {"preview", "-", "-o", "out.gif"}, 2, "a preview is .svg, .png or .pdf"},
        {__LINE__, {"preview", "-", "-o", "out.png", "--sheet", "3"}, 1, "page 3 asked for; the drawing has 1"},
        {__LINE__, {"preview", "-", "-o", "out.png", "--radix", "200"}, 2, "--radix: "},
        {__LINE__, {"preview", "-", "--driver", "quillane", "-o", "out.png"}, 1, "<stdin>:"},
    };
    for (const Case &c : kCases) {
        SCOPED_TRACE("line " + std::to_string(c.line));
        std::vector<std::string> args = c.args;
        for (std::string &a : args) {
            a = a.rfind("out.", 0) == 0 ? path(a) : a;
        }
        args.insert(args.begin(), DRVHOST_EXE);
        const ProcessResult r = drv::test::runProcess(args, "PD1,1;Plot x=1\n");
        EXPECT_EQ(r.status, c.status) << r.err;
        EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
    }
    EXPECT_FALSE(fs::exists(path("out.gif")));
    EXPECT_FALSE(fs::exists(path("out.png")));
}

TEST_F(DecodeCli, PreviewOfBytesOfAScriptAndOfWhatPlotSends) {
    const std::string hpgl = plot("quillane");
    for (const char *ext : {"svg", "png", "pdf"}) {
        SCOPED_TRACE(ext);
        const std::string out = path(std::string("bytes.") + ext);
        const ProcessResult r = drvhost({"preview", hpgl, "-o", out, "--dpi", "50"});
        EXPECT_EQ(r.status, 0) << r.err;
        EXPECT_GT(fs::file_size(out), 1000u);
    }
    const ProcessResult fromScript = drvhost({"preview", script_, "--driver", "drevant", "-o", path("script.png")});
    EXPECT_EQ(fromScript.status, 0) << fromScript.err;
    EXPECT_GT(fs::file_size(path("script.png")), 1000u);

    // A drawing goes through the driver as `plot` takes it.
    const std::string svg = file("line.svg", R"(<svg xmlns="http://www.w3.org/2000/svg" width="100mm" height="50mm">)"
                                             R"(<path d="M10 10 L90 40" stroke="#ff0000" fill="none"/></svg>)");
    const ProcessResult fromDrawing =
        drvhost({"preview", svg, "--driver", "quillane", "-o", path("drawing.svg"), "--page", "A4"});
    EXPECT_EQ(fromDrawing.status, 0) << fromDrawing.err;
    EXPECT_NE(read(path("drawing.svg")).find("rgb(100%,0%,0%)"), std::string::npos);

    // plot --preview sends the same bytes as plot, and pictures them.
    const ProcessResult plotted =
        drvhost({"plot", "--driver", "quillane", script_, "-o", path("sent.hpgl"), "--preview", path("sent.svg")});
    EXPECT_EQ(plotted.status, 0) << plotted.err;
    EXPECT_EQ(read(path("sent.hpgl")), read(hpgl));
    EXPECT_EQ(drvhost({"preview", hpgl, "-o", path("again.svg")}).status, 0);
    EXPECT_EQ(read(path("sent.svg")), read(path("again.svg")));
}

} // namespace
