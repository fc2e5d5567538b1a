// The calibration file reader on arbitrary text: it never crashes, a file
// it takes has a usable transform, and what it took writes back into a
// file that reads the same.
#include <cmath>
#include <cstdint>
#include <string>

#include "fuzz/fuzz_check.h"
#include "host/calibration/calibration_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drv::host;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    Calibration calibration;
    std::string error;
    if (!parseCalibration(text, "fuzz.cal", calibration, error)) {
        FUZZ_CHECK(error.rfind("fuzz.cal:", 0) == 0);
        return 0;
    }
    const Affine &m = calibration.transform;
    FUZZ_CHECK(std::isfinite(m.a) && std::isfinite(m.f) && m.a * m.e - m.b * m.d != 0);
    FUZZ_CHECK(calibration.points.size() <= kMaxCalibrationPoints);
    Calibration again;
    FUZZ_CHECK(parseCalibration(calibrationText(calibration), "again.cal", again, error));
    FUZZ_CHECK(again.model == calibration.model && again.format == calibration.format);
    FUZZ_CHECK(again.transform.a == m.a && again.transform.f == m.f);
    FUZZ_CHECK(again.points.size() == calibration.points.size());
    return 0;
}
