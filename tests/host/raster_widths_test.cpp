// Raster rows of every depth and form, at widths around every size step,
// through the real quillane library with output buffers sized as the host
// sizes them. A row can leave the driver larger than the host packed it
// (palette expansion and direct colour send three bytes a pixel), so these
// catch a buffer sized from the packed row: under the sanitizers as a heap
// overflow, everywhere as the runner's guard stretch being written.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/job/row_layout.h"
#include "host/picture/rgb_image.h"
#include "host/plot/plot_runner.h"
#include "host/script/script_job.h"
#include "tests/support/built_driver.h"

namespace {

using namespace drv::host;

constexpr std::int32_t kWidths[] = {1, 7, 8, 9, 799, 800, 801, 4096, 21600};

struct RowForm {
    int line;
    std::int32_t depth;
    std::int32_t flags;
};

// Every way the driver sends a row: bit planes (compressed or not), indexed
// pixels expanded to RGB (delta row or not), direct colour (delta row or not).
constexpr RowForm kForms[] = {
    {__LINE__, 1, 0},
    {__LINE__, 1, FlagPlanesUncompressed},
    {__LINE__, 1, FlagExpandPalette},
    {__LINE__, 1, FlagExpandPalette | FlagColorUncompressed},
    {__LINE__, 2, 0},
    {__LINE__, 2, FlagExpandPalette},
    {__LINE__, 4, FlagPlanesUncompressed},
    {__LINE__, 4, FlagExpandPalette},
    {__LINE__, 8, 0},
    {__LINE__, 8, FlagExpandPalette},
    {__LINE__, 8, FlagExpandPalette | FlagColorUncompressed},
    {__LINE__, 16, 0},
    {__LINE__, 16, FlagColorUncompressed},
    {__LINE__, 32, 0},
    {__LINE__, 32, FlagColorUncompressed},
};

// Noise: nothing compresses, so every row goes out at its largest.
std::vector<std::uint8_t> noise(std::size_t size, std::uint32_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::uint8_t &b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(seed >> 24);
    }
    return bytes;
}

std::string hex(const std::vector<std::uint8_t> &bytes) {
    std::string text;
    text.reserve(2 * bytes.size());
    for (std::uint8_t b : bytes) {
        char pair[3];
        std::snprintf(pair, sizeof pair, "%02x", b);
        text += pair;
    }
    return text;
}

std::string palette(std::int32_t depth) {
    const int entries = depth >= 8 ? 256 : 1 << depth;
    std::string text = "palette=";
    for (int i = 0; i < entries; ++i) {
        char colour[16];
        std::snprintf(colour, sizeof colour, "#%02x%02x%02x", i, 255 - i, (i * 37) & 0xFF);
        text += (i > 0 ? "," : "") + std::string(colour);
    }
    return text;
}

// Keeps the size of every write, one per call that produced bytes.
class WriteSizes final : public ByteSink {
public:
    bool write(const std::uint8_t *, std::size_t size, std::string &) override {
        sizes.push_back(size);
        return true;
    }
    bool commit(std::string &) override { return true; }
    std::vector<std::size_t> sizes;
};

constexpr int kRows = 2;

// Runs the job and returns the size of each row's output.
std::vector<std::size_t> rowOutputs(const drv::DriverLibrary &library, const std::string &script,
                                    const PictureLoader loader = nullptr) {
    std::vector<SourceError> errors;
    const auto statements = parseScript(script, errors);
    const PlotterTraits &traits = plotterTraits("quillane");
    const auto job = buildPlotJob(statements, traits, "", loader, errors);
    for (const SourceError &e : errors) {
        ADD_FAILURE() << formatSourceError("job", e);
    }
    WriteSizes sink;
    PlotRunStats stats;
    std::string error;
    EXPECT_TRUE(runPlotJob(library.pldbin(), job, traits.stateSize, sink, nullptr, stats, error))
        << error;
    // BeginJob, RasterBegin, the rows, RasterEnd, EndJob: each writes.
    if (sink.sizes.size() != kRows + 4) {
        ADD_FAILURE() << "expected " << kRows + 4 << " writes, got " << sink.sizes.size();
        return {};
    }
    return {sink.sizes.begin() + 2, sink.sizes.end() - 2};
}

TEST(RasterWidths, EveryFormAndWidthFitsTheHostsBuffer) {
    std::string error;
    const auto library = drv::test::openBuiltDriver("quillane", error);
    ASSERT_NE(library, nullptr) << error;
    for (const RowForm &form : kForms) {
        for (const std::int32_t width : kWidths) {
            SCOPED_TRACE("line " + std::to_string(form.line) + ", width " + std::to_string(width));
            const auto w = static_cast<std::size_t>(width);
            const std::size_t packed = packedRowBytes(w, form.depth);
            std::string script = "BeginJob page_width=11880 page_height=8400 pens=2 flags=" +
                                 std::to_string(form.flags) + "\n";
            script += "RasterBegin x=100 y=100 width_mm=50 height_mm=5 columns=" +
                      std::to_string(width) + " rows=" + std::to_string(kRows) +
                      " depth=" + std::to_string(form.depth) +
                      (form.depth < 16 ? " " + palette(form.depth) : std::string()) + "\n";
            for (int row = 0; row < kRows; ++row) {
                script += "RasterRow hex=" + hex(noise(packed, width * 31u + row)) + "\n";
            }
            script += "RasterEnd\nEndJob\n";

            const auto rows = rowOutputs(*library, script);
            const bool rgb = form.depth >= 16 || (form.flags & FlagExpandPalette) != 0;
            // Rows sent whole carry every pixel's bytes plus the commands,
            // which is what the bound must hold.
            const bool whole = (form.flags & (rgb ? FlagColorUncompressed
                                                  : FlagPlanesUncompressed)) != 0;
            const std::size_t payload =
                rgb ? 3 * w : static_cast<std::size_t>(form.depth) * ((w + 7) / 8);
            for (const std::size_t size : rows) {
                EXPECT_LE(size, QUILLANE_ROW_OUTPUT_MAX(w, form.depth, form.flags));
                if (whole) {
                    EXPECT_GT(size, payload);
                }
            }
        }
    }
}

// An Image line at an indexed depth with palette expansion: the host
// quantises and packs a picture much wider than the sizes above.
TEST(RasterWidths, WideIndexedPicturesExpandedByTheDriver) {
    std::string error;
    const auto library = drv::test::openBuiltDriver("quillane", error);
    ASSERT_NE(library, nullptr) << error;
    const PictureLoader wide = [](const std::string &, RgbImage &image, std::string &) {
        image.width = 4096;
        image.height = kRows;
        image.pixels = noise(3 * image.width * image.height, 7);
        return true;
    };
    for (const std::int32_t depth : {1, 2, 4, 8}) {
        SCOPED_TRACE("depth " + std::to_string(depth));
        const std::string script = "BeginJob page_width=11880 page_height=8400 pens=2\n"
                                   "Image file=wide.png x=0 y=0 width_mm=200 depth=" +
                                   std::to_string(depth) +
                                   " flags=ExpandPalette\n"
                                   "EndJob\n";
        for (const std::size_t size : rowOutputs(*library, script, wide)) {
            EXPECT_LE(size, QUILLANE_ROW_OUTPUT_MAX(4096u, depth, FlagExpandPalette));
        }
    }
}

} // namespace
