// The shipped library, loaded and driven the way a host does.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "driver_library.h"
#include "drvsuite/plotter.h"

namespace {

TEST(Library, RunsAJobThroughItsOnlyEntry) {
    std::string error;
    const auto library =
        drv::DriverLibrary::open(std::string(DRV_LIBRARY_DIR) + "/" + drv::driverFileName("drevant"), error);
    ASSERT_NE(library, nullptr) << error;
    const PldbinFunction pldbin = library->pldbin();
    ASSERT_NE(pldbin, nullptr);
    EXPECT_EQ(library->dgdbin(), nullptr);

    alignas(PLOTTER_STATE_ALIGN) unsigned char block[DREVANT_STATE_SIZE];
    std::memset(block, 0xA5, sizeof block);  // hosts need not clear it
    unsigned char out[600];
    std::vector<std::vector<std::uint8_t>> outputs;
    auto call = [&](PlotRequest request, const char *text) {
        EXPECT_EQ(pldbin(&request, text, out, block), 0);
        EXPECT_EQ(std::strlen(reinterpret_cast<const char *>(out)),
                  static_cast<std::size_t>(request.outLength));
        outputs.emplace_back(out, out + request.outLength);
    };

    PlotRequest begin{};
    begin.op = OpBeginJob;
    const std::int32_t framing[] = {0x20, 32, 2, 0x21, 0x0D, 1};  // param[5]..param[10]
    std::memcpy(&begin.param[5], framing, sizeof framing);
    call(begin, "");
    PlotRequest plotTo{};
    plotTo.op = OpPlot;
    const std::int32_t point[] = {100, 200};
    std::memcpy(&plotTo.param[0], point, sizeof point);
    call(plotTo, nullptr);
    PlotRequest width{};
    width.op = OpPenWidth;
    call(width, nullptr);
    PlotRequest end{};
    end.op = OpEndJob;
    call(end, "");

    using Bytes = std::vector<std::uint8_t>;
    ASSERT_EQ(outputs.size(), 4u);
    EXPECT_EQ(outputs[0], (Bytes{0x21, 0x21, 0x20, 0x2B, 0x20, 0x29, 0x2B, 0x27, 0x21, 0x2D, 0x21,
                                 0x4B, 0x0D, 0x0D, 0x0D}));
    EXPECT_TRUE(outputs[1].empty());
    EXPECT_TRUE(outputs[2].empty());
    // code 0, step (100, 200): 20 3 4 6 8; summed bytes 233, remainder 9
    EXPECT_EQ(outputs[3],
              (Bytes{0x21, 0x21, 0x20, 0x34, 0x23, 0x24, 0x26, 0x28, 0x57, 0x0D, 0x0D, 0x0D}));
}

}  // namespace
