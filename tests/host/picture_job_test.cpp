// A photograph placed at every depth, through the picture path (palette
// chosen by median cut, every pixel mapped to its nearest entry, rows
// packed) and the quillane driver: the packed rows and the device stream
// are pinned by their hashes, so that a faster rewrite of any stage has to
// give the same bytes.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "host/io/byte_sink.h"
#include "host/picture/raster_image.h"
#include "host/plot/plot_runner.h"
#include "host/script/script_job.h"
#include "tests/support/built_driver.h"
#include "tests/support/photo_picture.h"

namespace {

using namespace drv::host;

// FNV-1a, 64 bits.
struct Hash {
    std::uint64_t value = 0xCBF29CE484222325ull;
    void add(const std::uint8_t *data, std::size_t size) {
        for (std::size_t i = 0; i < size; ++i) {
            value = (value ^ data[i]) * 0x100000001B3ull;
        }
    }
};

const RgbImage &photo() {
    static const RgbImage image = [] {
        RgbImage made;
        made.width = 400;
        made.height = 300;
        made.pixels = drv::testing::photoPicture(made.width, made.height);
        return made;
    }();
    return image;
}

bool loadPhoto(const std::string &, RgbImage &image, std::string &) {
    image = photo();
    return true;
}

struct DepthCase {
    int line;
    std::int32_t depth;
    std::uint64_t rows;    // palette and packed rows
    std::uint64_t device;  // the whole job's output
    std::size_t deviceBytes;
};

const DepthCase kDepths[] = {
    {__LINE__, 1, 0x4886CAD4D9E027F7ull, 0x0F192564FD74F4F1ull, 5451},
    {__LINE__, 2, 0x7F95E4EF89072A3Aull, 0xA233E2645E49AA34ull, 11746},
    {__LINE__, 4, 0x934FC332F2A1E9C3ull, 0x5BFBE49B20F606A7ull, 39036},
    {__LINE__, 8, 0x31A80B04523D202Dull, 0x852AE63381ECE1B2ull, 134234},
    {__LINE__, 16, 0xD7616D553D4F7622ull, 0xD53CFA0B436967A3ull, 206878},
    {__LINE__, 32, 0x5A6632CAAE7CE028ull, 0xEB9AFE6186BD4663ull, 363130},
};

TEST(PictureJob, EveryDepthGivesTheSameBytes) {
    std::string error;
    const auto library = drv::test::openBuiltDriver("quillane", error);
    ASSERT_NE(library, nullptr) << error;
    for (const DepthCase &c : kDepths) {
        SCOPED_TRACE(c.line);
        const RasterRows packed = packImage(photo(), c.depth);
        Hash rows;
        for (const Rgb &entry : packed.palette) {
            const std::uint8_t rgb[] = {entry.red, entry.green, entry.blue};
            rows.add(rgb, sizeof rgb);
        }
        for (const std::vector<std::uint8_t> &row : packed.rows) {
            rows.add(row.data(), row.size());
        }

        std::vector<SourceError> errors;
        const std::string script =
            "BeginJob page_width=11880 page_height=8400 pens=1\nImage file=photo.png x=100 y=200 width_mm=200 depth=" +
            std::to_string(c.depth) + "\nEndJob\n";
        const auto statements = parseScript(script, errors);
        const PlotterTraits &traits = plotterTraits("quillane");
        const auto job = buildPlotJob(statements, traits, "", loadPhoto, errors);
        ASSERT_TRUE(errors.empty()) << errors.front().message;
        MemorySink sink;
        PlotRunStats stats;
        ASSERT_TRUE(
            runPlotJob(library->pldbin(), job, traits.stateSize, sink, nullptr, stats, error))
            << error;
        Hash device;
        device.add(sink.bytes.data(), sink.bytes.size());
        EXPECT_EQ(rows.value, c.rows);
        EXPECT_EQ(device.value, c.device);
        EXPECT_EQ(sink.bytes.size(), c.deviceBytes);
    }
}

}  // namespace
