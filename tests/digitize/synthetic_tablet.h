// Tablet streams of known drawings for the calibration and digitizing
// tests: points in mm taken through a known affine transform into a
// model's tablet counts, with noise, and encoded as the model's reports.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "digitizers/encoder/tablet_encoder.h"
#include "host/calibration/affine_fit.h"

namespace drv::test {

using drv::host::Affine;
using drv::host::PlanePoint;

inline Affine inverse(const Affine &m) {
    const double det = m.a * m.e - m.b * m.d;
    Affine inv;
    inv.a = m.e / det;
    inv.b = -m.b / det;
    inv.d = -m.d / det;
    inv.e = m.a / det;
    inv.c = -(inv.a * m.c + inv.b * m.f);
    inv.f = -(inv.d * m.c + inv.e * m.f);
    return inv;
}

// A sheet taped to the tablet a little turned and off the corner: mm on
// the drawing (0..220 x 0..170 with room around) into counts that fill
// most of the format's range.
struct KnownSheet {
    Affine mmToCounts;
    Affine countsToMm;
    double countsPerMm;
};

inline KnownSheet knownSheet(std::int32_t maxX, std::int32_t maxY, double degrees = 1.5) {
    const double s = std::min(0.8 * maxX / 240.0, 0.8 * maxY / 190.0);
    const double r = degrees * 3.14159265358979 / 180;
    Affine m;
    m.a = s * std::cos(r);
    m.b = -s * std::sin(r);
    m.d = s * std::sin(r);
    m.e = s * std::cos(r) * 1.002; // the axes not quite the same scale
    m.c = 0.1 * maxX + 10 * s;
    m.f = 0.1 * maxY;
    return {m, inverse(m), s};
}

// A report stream being built: the encoder's reports for the model.
class StreamMaker {
public:
    StreamMaker(std::string model, int format, KnownSheet sheet, double noiseCounts,
                unsigned seed = 7)
        : model_(std::move(model)), format_(format), sheet_(sheet), noise_(noiseCounts),
          engine_(seed) {}

    // One report at `mm` with `button` held, the counts rounded with noise.
    void report(std::int16_t button, PlanePoint mm) {
        const PlanePoint c = sheet_.mmToCounts.apply(mm);
        std::uniform_real_distribution<double> jitter(-noise_, noise_);
        TabletSample sample{button, static_cast<std::int32_t>(std::lround(c.x + jitter(engine_))),
                            static_cast<std::int32_t>(std::lround(c.y + jitter(engine_)))};
        std::vector<std::uint8_t> bytes;
        ok_ = encodeTabletReport(model_, format_, sample, bytes) && ok_;
        stream_.append(bytes.begin(), bytes.end());
    }

    // A press as a stream-mode tablet sends it: the button held for
    // `held` reports, then released.
    void press(std::int16_t button, PlanePoint mm, int held = 3) {
        for (int i = 0; i < held; ++i) {
            report(button, mm);
        }
        report(0, mm);
    }

    const std::string &stream() const { return stream_; }
    bool ok() const { return ok_; } // every sample could be encoded

private:
    std::string model_;
    int format_;
    KnownSheet sheet_;
    double noise_;
    std::mt19937 engine_;
    std::string stream_;
    bool ok_ = true;
};

// The buttons other than 0 that `format` of `model` can send, in the
// order a person would use them: 1, 2, 3 ... or '1', '2', '3' ... first.
inline std::vector<std::int16_t> pressCodes(const std::string &model, int format) {
    std::vector<std::int16_t> codes;
    const std::vector<std::int16_t> all = tabletButtons(model, format);
    for (const int preferred : {1, 2, 3, 4, int{'1'}, int{'2'}, int{'3'}, int{'4'}}) {
        if (std::find(all.begin(), all.end(), preferred) != all.end()) {
            codes.push_back(preferred);
        }
    }
    for (const std::int16_t code : all) {
        if (code != 0 && std::find(codes.begin(), codes.end(), code) == codes.end()) {
            codes.push_back(code);
        }
    }
    return codes;
}

} // namespace drv::test
