// drvhost plot as a new user meets it: outputs it must refuse, messages
// that must name what is wrong, warnings and --strict, the dry run, and
// the commands that say what the tool and its drivers can do.
#include <cstring>
#include <regex>
#include <string>

#include <gtest/gtest.h>

#include "host/picture/png_file.h"
#include "tests/host/cli_fixture.h"

namespace {

using drv::test::DrvhostCli;
using drv::test::ProcessResult;
namespace fs = std::filesystem;

const char kJob[] = "BeginJob page_width=16000 page_height=11000 pens=2\n"
                    "SelectPen pen=1\nPlot x=10 y=10\nPenDown\nPlot x=4010 y=10\nEndJob\n";

struct RefusedOutput {
    int line;
    const char *output;
    const char *error; // the whole of standard error
};

// Outputs that are no output: each refused with what is wrong, exit 1,
// and no file of that name made.
const RefusedOutput kRefused[] = {
    {__LINE__, "tcp:127.0.0.1", "drvhost: tcp:127.0.0.1: no port: write tcp:HOST:PORT\n"},
    {__LINE__, "tcp::9100", "drvhost: tcp::9100: no host: write tcp:HOST:PORT\n"},
    {__LINE__, "tcp:127.0.0.1:99999",
     "drvhost: tcp:127.0.0.1:99999: port '99999' is not a number from 1 to 65535\n"},
};

TEST_F(DrvhostCli, RefusesMalformedTcpTargets) {
    const std::string script = file("job.plt", kJob);
    for (const RefusedOutput &c : kRefused) {
        SCOPED_TRACE(c.line);
        const ProcessResult r = drvhost({"plot", "--driver", "quillane", script, "-o", c.output});
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, c.error);
        EXPECT_FALSE(fs::exists(c.output));
        EXPECT_EQ(std::distance(fs::directory_iterator(dir_), fs::directory_iterator()), 1);
    }
}

TEST_F(DrvhostCli, RefusesToOverwriteTheJobsOwnInputs) {
    const std::string script = file("job.plt", kJob);
    ProcessResult r = drvhost({"plot", "--driver", "quillane", script, "-o", script});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "drvhost: the output " + script +
                         " is the job's script: plotting would overwrite it\n");
    EXPECT_EQ(read(script), kJob);

    // A picture the job places, named another way.
    drv::host::RgbImage picture;
    picture.width = 2;
    picture.height = 1;
    picture.pixels = {0, 0, 0, 255, 255, 255};
    std::string error;
    ASSERT_TRUE(drv::host::writePng(path("pic.png"), picture, error)) << error;
    const std::string placing =
        file("image.plt", std::string(kJob).insert(std::strlen(kJob) - 7,
                                                   "Image file=pic.png x=0 y=0 depth=8\n"));
    const std::string before = read(path("pic.png"));
    r = drvhost({"plot", "--driver", "quillane", placing, "-o", dir_.string() + "/./pic.png"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "drvhost: the output " + dir_.string() +
                         "/./pic.png is the picture placed on line 6: plotting would overwrite it\n");
    EXPECT_TRUE(read(path("pic.png")) == before);
}

TEST_F(DrvhostCli, NamesWhatIsWrongWithTheInputAndTheOutput) {
    // A folder given as the script.
    ProcessResult r = drvhost({"plot", "--driver", "quillane", dir_.string(), "-o", path("x")});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "drvhost: " + dir_.string() + ": is a folder, not a file\n");
    // A file in a folder that takes no new files.
    r = drvhost({"plot", "--driver", "quillane", file("job.plt", kJob), "-o", "/proc/version"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err.rfind("drvhost: /proc/version: the folder /proc takes no new file", 0), 0u)
        << r.err;
}

TEST_F(DrvhostCli, WarnsAboutWhatTheDriverLeavesOutAndRefusesItWhenStrict) {
    const std::string script =
        file("fill.plt", "BeginJob\nPolygonBegin x=0 y=0\nPlot x=9 y=9\nPolygonFill\n"
                         "PolygonBegin x=0 y=0\nPolygonFill\nPolygonBegin x=1 y=1\nPolygonFill\n"
                         "RasterBegin x=0 y=0 width_mm=1 height_mm=1 columns=8 rows=1 depth=1\n"
                         "RasterRow hex=0F\nRasterEnd\nEndJob\n");
    const std::string warning =
        script + ":2:1: warning: drevant draws no polygon fill and no raster: 3 polygons and 1 "
                 "image left out\n";
    ProcessResult r = drvhost({"plot", "--driver", "drevant", script, "-o", path("fill.pci")});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err.substr(0, r.err.find('\n') + 1), warning);
    EXPECT_TRUE(fs::exists(path("fill.pci")));

    r = drvhost({"plot", "--driver", "drevant", script, "-o", path("strict.pci"), "--strict"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, script + ":2:1: drevant draws no polygon fill and no raster: 3 polygons and "
                              "1 image left out\n");
    EXPECT_FALSE(fs::exists(path("strict.pci")));

    // A label longer than one record takes, said the same way.
    const std::string label = file(
        "label.plt", "BeginJob\nTextStyle height_units=9 width_units=9\nLabel x=0 y=0 text=\"" +
                         std::string(31000, 'L') + "\"\nEndJob\n");
    r = drvhost({"plot", "--driver", "drevant", label, "-o", path("label.pci"), "--strict"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, label + ":3:1: drevant draws at most 77 characters of a label: 1 label cut "
                             "short, 30923 characters left out\n");
}

TEST_F(DrvhostCli, DryRunChecksEverythingAndWritesNothing) {
    const std::string out = path("never.hpgl");
    ProcessResult r =
        drvhost({"plot", "--driver", "quillane", file("job.plt", kJob), "-o", out, "--dry-run"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists(out));
    // 4000 units of pen-down drawing at 0.025 mm is 0.10 m.
    EXPECT_TRUE(std::regex_match(
        r.err, std::regex("drvhost: dry run: 6 requests, [0-9]+ bytes for quillane; pen down "
                          "0\\.10 m, pen up 0\\.00 m, 1 pen change; about 0 s at the job's "
                          "speeds \\(400 mm/s where it sets none\\); nothing written\n")))
        << r.err;
    // No output needed; a serial line says how long sending takes.
    r = drvhost({"plot", "--driver", "drevant", path("job.plt"), "--dry-run", "--device",
                 "/dev/null", "--baud", "300"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("; sending takes "), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" at 300 baud; nothing written"), std::string::npos) << r.err;
    // The job is checked as for real.
    r = drvhost({"plot", "--driver", "quillane", file("bad.plt", "BeginJob\n"), "--dry-run"});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("BeginJob needs page_width (p2)"), std::string::npos) << r.err;
}

TEST_F(DrvhostCli, SaysItsVersion) {
    const ProcessResult r = drvhost({"--version"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "drvhost " DRVHOST_VERSION "\n");
}

TEST_F(DrvhostCli, ListsEveryOperationWithItsCells) {
    ProcessResult r = drvhost({"ops"});
    EXPECT_EQ(r.status, 0) << r.err;
    // One heading per operation, in code order.
    const std::regex heading("(?:^|\n)([0-9]+) ([A-Za-z]+): ");
    std::size_t count = 0;
    for (auto it = std::sregex_iterator(r.out.begin(), r.out.end(), heading);
         it != std::sregex_iterator(); ++it) {
        EXPECT_EQ(std::stoi((*it)[1]), static_cast<int>(++count));
    }
    EXPECT_EQ(count, 21u);
    EXPECT_NE(r.out.find("  p2  page_width   int    quillane"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  p6  radix        byte   drevant           default 32"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("  p1  red, r       int    quillane          0..65535"),
              std::string::npos)
        << r.out;

    // One driver's view: only what it handles and reads.
    r = drvhost({"ops", "--driver", "drevant"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("PenWidth"), std::string::npos);
    EXPECT_EQ(r.out.find("page_width"), std::string::npos);
    EXPECT_NE(r.out.find("3 SelectPen: "), std::string::npos);
    EXPECT_EQ(drvhost({"ops", "--driver", "nosuch"}).status, 2);
}

TEST_F(DrvhostCli, ListsWhatEachDriverCanDo) {
    const ProcessResult r = drvhost({"list", "--long"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\nquillane +pldbin +[^\n]+/libquillane.so\n"
                                                    "    HP-GL/2 vectors[^\n]+\n"
                                                    "    21 of 21 operations; polygon fill, "
                                                    "raster images of 1, 2, 4, 8, 16 and 32 bits")))
        << r.out;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\ndrevant +pldbin [^\n]+\n    binary-coded[^\n]+\n"
                                                    "    12 of 21 operations; no polygon fill, no "
                                                    "raster; labels of up to 77 characters")))
        << r.out;
    EXPECT_TRUE(std::regex_search(r.out, std::regex("\nambrel +dgdbin [^\n]+\n    format 1: ")))
        << r.out;
}

} // namespace
