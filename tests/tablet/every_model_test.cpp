// Every tablet model and format through calibrate and digitize: a known
// drawing traced on a known sheet placement comes out of the DXF within
// the calibration's residual of the drawing's points.
#include <cmath>

#include "host/calibration/calibration_file.h"
#include "tests/digitize/dxf_reader.h"
#include "tests/digitize/synthetic_tablet.h"
#include "tests/tablet/cli_fixture.h"

namespace {

using drv::host::PlanePoint;
using drv::test::StreamMaker;
using drv::test::TabletCli;

const std::string kPoints = "0,0 200,0 200,150 0,150 100,75 50,120";
const std::vector<PlanePoint> kPointList = {{0, 0},   {200, 0},  {200, 150},
                                            {0, 150}, {100, 75}, {50, 120}};
// Two polylines: a triangle and a zigzag.
const std::vector<std::vector<PlanePoint>> kDrawing = {
    {{20, 20}, {120, 30}, {60, 110}},
    {{140, 20}, {160, 80}, {180, 30}, {195, 140}},
};

TEST_F(TabletCli, EveryModelAndFormatDigitizesWithinTheCalibrationResidual) {
    std::size_t formats = 0;
    for (const std::string_view name : drv::tabletModelNames()) {
        const std::string model(name);
        for (int format : {1, 2}) {
            const auto info = drv::tabletFormat(model, format);
            if (!info) {
                continue;
            }
            SCOPED_TRACE(model + " format " + std::to_string(format));
            ++formats;
            const auto sheet = drv::test::knownSheet(info->maxX, info->maxY);
            const std::vector<std::int16_t> codes = drv::test::pressCodes(model, format);
            ASSERT_FALSE(codes.empty());
            // Pressing a reference point by eye is rougher than the sensor:
            // three counts of noise there; the traced points carry only the
            // tablet's rounding to whole counts.
            StreamMaker calibrating(model, format, sheet, 3.0);
            for (const PlanePoint &p : kPointList) {
                calibrating.press(codes[0], p);
            }
            StreamMaker tracing(model, format, sheet, 0.0);
            // A model with one button cannot end a polyline: its drawing is
            // one polyline through every point.
            const bool ends = codes.size() > 1;
            for (const auto &line : kDrawing) {
                for (const PlanePoint &p : line) {
                    tracing.press(codes[0], p);
                }
                if (ends) {
                    tracing.press(codes[1], {0, 0});
                }
            }
            ASSERT_TRUE(calibrating.ok() && tracing.ok());

            const std::vector<std::string> tablet = {"--driver", model, "--format",
                                                     std::to_string(format)};
            auto args = tablet;
            args.insert(args.begin(), "calibrate");
            args.insert(args.end(), {"--points", kPoints, "--input",
                                     file("cal.bin", calibrating.stream()), "-o", path("t.cal")});
            const auto cal = drvhost(args);
            ASSERT_EQ(cal.status, 0) << cal.err;
            drv::host::Calibration calibration;
            std::string error;
            ASSERT_TRUE(drv::host::readCalibration(path("t.cal"), calibration, error)) << error;

            args = tablet;
            args.insert(args.begin(), "digitize");
            args.insert(args.end(), {"--input", file("draw.bin", tracing.stream()), "--calibration",
                                     path("t.cal"), "-o", path("d.dxf")});
            if (ends) {
                args.insert(args.end(), {"--buttons", "end=" + std::to_string(codes[1])});
            }
            const auto dig = drvhost(args);
            ASSERT_EQ(dig.status, 0) << dig.err;

            const auto dxf = drv::test::readDxf(read(path("d.dxf")));
            ASSERT_TRUE(dxf.read);
            std::vector<PlanePoint> want;
            for (const auto &line : kDrawing) {
                want.insert(want.end(), line.begin(), line.end());
            }
            std::vector<PlanePoint> got;
            for (const auto &line : dxf.polylines) {
                got.insert(got.end(), line.points.begin(), line.points.end());
            }
            EXPECT_EQ(dxf.polylines.size(), ends ? kDrawing.size() : 1u);
            ASSERT_EQ(got.size(), want.size());
            for (std::size_t i = 0; i < want.size(); ++i) {
                EXPECT_LE(std::hypot(got[i].x - want[i].x, got[i].y - want[i].y), calibration.worst)
                    << "vertex " << i + 1;
            }
        }
    }
    EXPECT_EQ(formats, 20u * 2 + 2 + 5);
}

} // namespace
