// Whole SVG documents, then the import as far as plot requests: a document
// is read or refused with a message; nothing read lies beyond a kilometre,
// and the job made from it starts with BeginJob and ends with EndJob.
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "host/drawing/import/drawing_import.h"
#include "host/drawing/svg/svg_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drv::drawing;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    svg::SvgLimits limits;
    limits.maxElements = 20000;
    limits.maxDepth = 64;
    Drawing drawing;
    SourceError error;
    if (!svg::readSvg(text, drawing, error, limits)) {
        FUZZ_CHECK(!error.message.empty());
        return 0;
    }
    for (const Shape &shape : drawing.shapes) {
        for (const Subpath &path : shape.subpaths) {
            FUZZ_CHECK(withinMagnitude(path, kMaxDrawingMm));
        }
    }
    if (drawing.shapes.size() > 200) {
        return 0; // the reader is what this target is about
    }
    ImportOptions options;
    options.sheet.toleranceMm = 0.5;
    options.placement.page = PageSize{420, 297};
    options.sheet.clip = true;
    ImportResult result;
    if (importDrawing(text, InputFormat::Svg, options, result, error)) {
        FUZZ_CHECK(result.calls.size() >= 2);
        FUZZ_CHECK(result.calls.front().request.op == OpBeginJob);
        FUZZ_CHECK(result.calls.back().request.op == OpEndJob);
    } else {
        FUZZ_CHECK(!error.message.empty());
    }
    return 0;
}
