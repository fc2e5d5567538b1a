// SVG path data: the parser either reads the whole text or names a fault
// inside it; what it reads is finite and flattens into a bounded number of
// chords that start and end where the path does.
#include <cmath>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz_check.h"
#include "host/drawing/geometry/bounds.h"
#include "host/drawing/geometry/flatten.h"
#include "host/drawing/svg/path_data.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drv::drawing;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    std::vector<Subpath> paths;
    svg::PathDataError error;
    if (!svg::parsePathData(text, paths, error)) {
        FUZZ_CHECK(error.offset <= size);
        FUZZ_CHECK(!error.message.empty());
        FUZZ_CHECK(paths.empty());
        return 0;
    }
    for (const Subpath &path : paths) {
        FUZZ_CHECK(!path.segments.empty());
        Bounds box;
        addBounds(box, path);
        if (!withinMagnitude(path, 1e5)) {
            continue; // finite but far beyond a sheet: not flattened here
        }
        std::vector<Point> points;
        flatten(path, 0.5, points);
        FUZZ_CHECK(points.front() == path.start);
        FUZZ_CHECK(points.size() <= 1 + path.segments.size() * kMaxChordsPerSegment + 1);
        for (const Point p : points) {
            FUZZ_CHECK(std::isfinite(p.x) && std::isfinite(p.y));
            // chords lie within the exact extent (and the tolerance)
            FUZZ_CHECK(p.x >= box.minX - 0.5 && p.x <= box.maxX + 0.5 && p.y >= box.minY - 0.5 && p.y <= box.maxY + 0.5);
        }
    }
    return 0;
}
