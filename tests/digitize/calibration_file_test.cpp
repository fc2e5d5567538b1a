// The calibration file: what is written reads back, and a damaged or
// foreign file is refused with the place and the problem.
#include <gtest/gtest.h>

#include "host/calibration/calibration_file.h"

namespace {

using namespace drv::host;

Calibration sample() {
    Calibration c;
    c.model = "belvane";
    c.format = 2;
    c.transform = {0.025, 0.0004, -12.5, -0.0004, 0.025, -30.25};
    c.points = {
        {{0, 0}, {500, 1210}, 0.01}, {{200, 0}, {8500, 1200}, 0.02}, {{0, 150}, {510, 7210}, 0}};
    c.worst = 0.02;
    c.maxError = 0.5;
    return c;
}

TEST(CalibrationFile, WhatIsWrittenReadsBack) {
    const Calibration c = sample();
    Calibration back;
    std::string error;
    ASSERT_TRUE(parseCalibration(calibrationText(c), "t.cal", back, error)) << error;
    EXPECT_EQ(back.model, c.model);
    EXPECT_EQ(back.format, c.format);
    EXPECT_EQ(back.transform.a, c.transform.a);
    EXPECT_EQ(back.transform.f, c.transform.f);
    ASSERT_EQ(back.points.size(), 3u);
    EXPECT_EQ(back.points[1].tablet, c.points[1].tablet);
    EXPECT_EQ(back.points[1].residual, c.points[1].residual);
    EXPECT_EQ(back.worst, c.worst);
    EXPECT_EQ(back.maxError, c.maxError);
}

TEST(CalibrationFile, RefusesWhatIsNoCalibration) {
    const std::string good = R"({"drvhost_calibration": 1, "model": "ambrel", "format": 1,
 "transform": {"x_mm": [1, 0, 0], "y_mm": [0, 1, 0]}})";
    struct Case {
        int line;
        std::string text;
        std::string message;
    };
    const Case cases[] = {
        {__LINE__, "", "t.cal:1:1: "},
        {__LINE__, "{\n  \"model\": ambrel\n}", "t.cal:2:12: syntax error"},
        {__LINE__, "[1, 2]", "t.cal: not a drvhost calibration"},
        {__LINE__, R"({"drvhost_calibration": 2})", "t.cal: calibration version 2 is not one"},
        {__LINE__, R"({"drvhost_calibration": 1, "format": 1})", "\"model\" must be"},
        {__LINE__, R"({"drvhost_calibration": 1, "model": "a", "format": "1"})",
         "\"format\" must be"},
        {__LINE__,
         R"({"drvhost_calibration": 1, "model": "a", "format": 1, "transform": {"x_mm": [1, 0]}})",
         "\"transform\" must hold"},
        {__LINE__,
         R"({"drvhost_calibration": 1, "model": "a", "format": 1, "transform": {"x_mm": [1, 2, 0], "y_mm": [2, 4, 0]}})",
         "the transform is singular"},
        {__LINE__, good.substr(0, good.size() - 1) + R"(, "points": [{"tablet": [1, 2]}]})",
         "point 1 must hold"},
        {__LINE__, good.substr(0, good.size() - 1) + R"(, "max_error_mm": "big"})",
         "must be numbers"},
        {__LINE__, R"({"drvhost_calibration": 1, "transform": {"x_mm": [1e803, 0, 0]}})",
         "t.cal: number overflow parsing '1e803'"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(::testing::Message() << "line " << c.line);
        Calibration out;
        std::string error;
        EXPECT_FALSE(parseCalibration(c.text, "t.cal", out, error));
        EXPECT_NE(error.find(c.message), std::string::npos) << error;
    }
    Calibration out;
    std::string error;
    EXPECT_TRUE(parseCalibration(good, "t.cal", out, error)) << error;
}

} // namespace
