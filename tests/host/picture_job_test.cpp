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
    {__LINE__, 1, 0x4886CAD4D9E027F7ull, 0x4E995FDDC0EA742Eull, 5444},
    {__LINE__, 2, 0x7F95E4EF89072A3Aull, 0x96CA8EB1EE1CD19Dull, 11739},
    {__LINE__, 4, 0x934FC332F2A1E9C3ull, 0xECCACD4DFB92298Eull, 39029},
    {__LINE__, 8, 0x31A80B04523D202Dull, 0x3C0C17FAB7232A47ull, 134227},
    {__LINE__, 16, 0xD7616D553D4F7622ull, 0x06487FFDECB2CF7Eull, 206871},
    {__LINE__, 32, 0x5A6632CAAE7CE028ull, 0xA399489101FF30A2ull, 363123},
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
            "BeginJob\nImage file=photo.png x=100 y=200 width_mm=200 depth=" +
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
