// Drawings printed to the queues: SVG, DXF and PDF (through Poppler) arrive
// exactly as drvhost plot makes them of the same drawing with the options
// the job asked for.
#include <cups/cups.h>

#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

#include "loopback_listener.h"
#include "queue_fixture.h"
#include "run_process.h"
#include "test_pdf.h"

namespace {

using namespace std::chrono_literals;
using drv::test::LoopbackListener;
using drv::test::ProcessResult;
using drv::test::QueueTest;
using drv::test::runProcess;

constexpr const char *kSvg = R"(<?xml version="1.0" encoding="UTF-8"?>
<svg xmlns="http://www.w3.org/2000/svg" width="120mm" height="80mm" viewBox="0 0 120 80">
  <g stroke="#d00000" fill="none" stroke-width="0.5">
    <path d="M 10 10 L 110 10 L 110 70 Z"/>
    <circle cx="60" cy="40" r="15"/>
  </g>
  <polyline points="5,75 30,60 55,75 80,60" stroke="#0000c0" fill="none"/>
</svg>
)";

constexpr const char *kDxf = "  0\nSECTION\n  2\nHEADER\n  9\n$INSUNITS\n 70\n4\n  0\nENDSEC\n"
                             "  0\nSECTION\n  2\nENTITIES\n"
                             "  0\nLINE\n  8\nOutline\n 10\n0.0\n 20\n0.0\n 30\n0.0\n"
                             " 11\n100.0\n 21\n50.0\n 31\n0.0\n"
                             "  0\nCIRCLE\n  8\nHoles\n 10\n50.0\n 20\n25.0\n 30\n0.0\n 40\n10.0\n"
                             "  0\nENDSEC\n  0\nEOF\n";

class DrawingQueueTest : public QueueTest {
protected:
    // Submits `path` to a fresh queue for `driver` with `options` and
    // checks that the plotter gets `expected`.
    void plotsAs(const std::string &driver, const std::string &path,
                 const std::vector<std::string> &options, const std::string &expected) {
        ASSERT_FALSE(expected.empty());
        LoopbackListener plotter;
        const std::string queue = driver + std::to_string(++queues_);
        addQueue(queue, driver, plotter.uri());
        const int job = submit(queue, path, options);
        const std::vector<std::string> jobs = plotter.waitForJobs(1, 30s);
        ASSERT_EQ(jobs.size(), 1U) << log();
        EXPECT_TRUE(jobs[0] == expected)
            << jobs[0].size() << " bytes arrived, drvhost made " << expected.size();
        EXPECT_TRUE(waitForJobState(job, IPP_JSTATE_COMPLETED, 10s)) << log();
    }
    int queues_ = 0;
};

// The queue's defaults: its PPD's sheet (A4), 8 pens, 0.05 mm.
const std::vector<std::string> kDefaults{"--page", "210x297", "--pens", "8", "--merge-pens",
                                         "--tolerance", "0.05"};

std::vector<std::string> with(const std::vector<std::string> &head,
                              const std::vector<std::string> &tail) {
    std::vector<std::string> all = head;
    all.insert(all.end(), tail.begin(), tail.end());
    return all;
}

TEST_F(DrawingQueueTest, SvgThroughBothDrivers) {
    const std::string svg = file("drawing.svg", kSvg);
    for (const std::string driver : {"quillane", "drevant"}) {
        SCOPED_TRACE(driver);
        plotsAs(driver, svg, {},
                drvhostPlot(with({"--driver", driver, "--input-format", "svg"},
                                 with(kDefaults, {svg}))));
    }
}

TEST_F(DrawingQueueTest, DxfWithTheJobsOptions) {
    const std::string dxf = file("part.dxf", kDxf);
    plotsAs("quillane", dxf,
            {"PageSize=A3", "landscape", "fit-to-page", "drvsuitePens=4", "drvsuiteTolerance=0.1",
             "drvsuiteKeepOrder=True"},
            drvhostPlot({"--driver", "quillane", "--input-format", "dxf", "--page", "297x420",
                         "--landscape", "--fit", "--pens", "4", "--merge-pens", "--tolerance", "0.1",
                         "--keep-order", dxf}));
}

// Each page of a PDF is a sheet: Poppler's SVG of the page, plotted.
TEST_F(DrawingQueueTest, PdfPageByPage) {
    const std::string pdf = file(
        "print.pdf", drv::test::makePdf({"1 0 0 RG 2 w 100 100 m 400 700 l S BT /F1 24 Tf 100 400 "
                                         "Td (Plot) Tj ET",
                                         "0 0 1 RG 50 50 200 100 re S 0 g 300 300 m 500 300 l S"}));
    std::string expected;
    for (int page = 1; page <= 2; ++page) {
        const std::string svg = pdf + "-" + std::to_string(page) + ".svg";
        const ProcessResult r = runProcess({"/usr/bin/pdftocairo", "-svg", "-f", std::to_string(page),
                                            "-l", std::to_string(page), pdf, svg});
        ASSERT_EQ(r.status, 0) << r.err;
        if (page == 1) {
            // Poppler draws text as glyph outlines, which the plotter draws.
            std::ifstream in(svg);
            const std::string text((std::istreambuf_iterator<char>(in)), {});
            EXPECT_NE(text.find("<symbol"), std::string::npos) << "no glyph outlines";
        }
        expected += drvhostPlot(
            with({"--driver", "drevant", "--input-format", "svg"}, with(kDefaults, {svg})));
    }
    plotsAs("drevant", pdf, {}, expected);
}

} // namespace
