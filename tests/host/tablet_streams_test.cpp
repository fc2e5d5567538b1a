// Every tablet library, loaded as drvhost loads it, reading a stream made
// from known points with line noise and a report that lost a byte.
#include <string>

#include <gtest/gtest.h>

#include "host/demo/demo_tablets.h"
#include "host/tablet/tablet_defaults.h"
#include "tests/support/built_driver.h"

namespace {

using namespace drv::host;

TEST(TabletStreams, EveryModelGivesItsPointsBackThroughNoiseAndLoss) {
    std::size_t formats = 0;
    for (const std::string_view name : drv::tabletModelNames()) {
        const std::string model(name);
        std::string error;
        const auto library = drv::test::openBuiltDriver(model, error);
        ASSERT_NE(library, nullptr) << error;
        for (int format : {1, 2}) {
            if (!drv::tabletFormat(model, format)) {
                continue;
            }
            SCOPED_TRACE(model + " format " + std::to_string(format));
            ++formats;
            const TabletRoundTrip trip = runTabletRoundTrip(library->dgdbin(), model, format);
            EXPECT_EQ(trip.sent.size(), 4u);
            EXPECT_EQ(trip.decoded, trip.sent);
            EXPECT_EQ(trip.counts.decoded, 4u);
            EXPECT_EQ(trip.counts.rejected, 0u);
            EXPECT_EQ(trip.counts.turnedAway, 0u);
            EXPECT_EQ(trip.counts.unframed, kDemoDamagedPieces);
            EXPECT_TRUE(trip.matched());
        }
    }
    // 20 models with two formats, one with two binary ones, five with one.
    EXPECT_EQ(formats, 20u * 2 + 2 + 5);
}

TEST(TabletStreams, ARejectingModelIsCountedNotPrinted) {
    // corvish turns binary reports with bit 6 of the first byte away with -9.
    std::string error;
    const auto library = drv::test::openBuiltDriver("corvish", error);
    ASSERT_NE(library, nullptr) << error;
    TabletProfileSettings settings;
    settings.format = settings.auxFormat = 2;
    TabletDecoder decoder(library->dgdbin(), settings);
    decoder.setup();
    std::size_t points = 0;
    TabletStream stream(decoder, *knownFraming("corvish", 2),
                        [&points](const DigitizerRequest &) { ++points; });
    const std::uint8_t reports[] = {0xC0, 0, 0, 0, 0, 0, 0x8C, 0, 1, 0, 0, 2};
    stream.feed(reports);
    stream.finish();
    EXPECT_EQ(points, 1u);
    EXPECT_EQ(stream.counts().rejected, 1u);
}

} // namespace
