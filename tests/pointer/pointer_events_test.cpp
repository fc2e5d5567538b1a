// Decoded reports into input events, and the uinput device where the
// machine has one.
#include <linux/input-event-codes.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "host/pointer/pointer_events.h"
#include "host/pointer/uinput_device.h"

namespace {

using namespace drv::host;
using Events = std::vector<InputEvent>;

constexpr InputEvent kSyn{EV_SYN, SYN_REPORT, 0};

InputEvent key(std::uint16_t code, std::int32_t value) {
    return {EV_KEY, code, value};
}
InputEvent abs(std::uint16_t code, std::int32_t value) {
    return {EV_ABS, code, value};
}

TEST(PointerEvents, ReportsBecomeTheEventsThatChanged) {
    struct Step {
        int line;
        std::int16_t button;
        std::int32_t x, y;
        Events events;
    };
    // Raw counts 0..1000: Y is turned over.
    const Step steps[] = {
        {__LINE__, 0, 100, 200, {key(BTN_TOOL_PEN, 1), abs(ABS_X, 100), abs(ABS_Y, 800), kSyn}},
        {__LINE__, 0, 100, 200, {}}, // nothing changed: nothing sent
        {__LINE__, 1, 100, 200, {key(BTN_TOUCH, 1), kSyn}},
        {__LINE__, 1, 150, 200, {abs(ABS_X, 150), kSyn}},
        // the side button straight from the tip
        {__LINE__, '2', 150, 200, {key(BTN_TOUCH, 0), key(BTN_STYLUS, 1), kSyn}},
        {__LINE__, 3, 150, 200, {key(BTN_STYLUS, 0), key(BTN_STYLUS2, 1), kSyn}},
        // any other code is the tip; outside the range is its edge
        {__LINE__,
         17,
         -5,
         2000,
         {abs(ABS_X, 0), abs(ABS_Y, 0), key(BTN_TOUCH, 1), key(BTN_STYLUS2, 0), kSyn}},
        {__LINE__, 0, 5000, -1, {abs(ABS_X, 1000), abs(ABS_Y, 1000), key(BTN_TOUCH, 0), kSyn}},
    };
    PointerMapper mapper(declaredSetup(1000, 1000));
    for (const Step &s : steps) {
        SCOPED_TRACE(::testing::Message() << "line " << s.line);
        EXPECT_EQ(mapper.report(s.button, s.x, s.y), s.events);
    }
    EXPECT_EQ(mapper.leave(), (Events{key(BTN_TOOL_PEN, 0), kSyn}));
    EXPECT_EQ(mapper.leave(), Events{});
}

TEST(PointerEvents, ButtonsGivenReplaceTheDefaults) {
    PointerSetup setup = declaredSetup(100, 100);
    setup.buttons = {{8, PenButton::Side}};
    PointerMapper mapper(setup);
    mapper.report(0, 0, 0);
    EXPECT_EQ(mapper.report(8, 0, 0), (Events{key(BTN_STYLUS, 1), kSyn}));
    // 2 is no longer the side button: unassigned codes press the tip
    EXPECT_EQ(mapper.report(2, 0, 0), (Events{key(BTN_TOUCH, 1), key(BTN_STYLUS, 0), kSyn}));
}

TEST(PointerEvents, ACalibratedTabletSpansItsReferencePointsInHundredthsOfAMm) {
    // 40 counts a mm, the sheet's origin at counts (1000, 2000).
    const Affine toMm{0.025, 0, -25, 0, 0.025, -50};
    const auto setup = calibratedSetup(toMm, {{0, 0}, {200, 0}, {200, 150}, {0, 150}});
    ASSERT_TRUE(setup);
    EXPECT_EQ(setup->x.max, 20000);
    EXPECT_EQ(setup->y.max, 15000);
    EXPECT_EQ(setup->x.resolution, 100);
    PointerMapper mapper(*setup);
    // (50 mm, 30 mm) on the drawing: 3000 counts up from the bottom edge.
    EXPECT_EQ(mapper.report(0, 1000 + 2000, 2000 + 1200),
              (Events{key(BTN_TOOL_PEN, 1), abs(ABS_X, 5000), abs(ABS_Y, 12000), kSyn}));
    EXPECT_FALSE(calibratedSetup(toMm, {{0, 0}, {200, 0}}));
}

TEST(UinputDevice, IsCreatedWhereTheMachineHasUinput) {
    if (::access(kUinputNode, W_OK) != 0) {
        GTEST_SKIP() << "no writable " << kUinputNode
                     << " on this machine: creating the input device is not tried";
    }
    std::string error;
    const PointerSetup setup = declaredSetup(65535, 65535);
    const auto device = UinputDevice::create("drvhost test tablet", setup, error);
    ASSERT_NE(device, nullptr) << error;
    PointerMapper mapper(setup);
    EXPECT_TRUE(device->send(mapper.report(1, 100, 200), error)) << error;
    EXPECT_TRUE(device->send(mapper.leave(), error)) << error;
}

} // namespace
