// DXF files through the group reader, the filter and the DXF library: a
// file is read or refused with a message naming a line inside it; nothing
// read lies beyond a kilometre.
#include <cstdint>
#include <string_view>

#include "fuzz_check.h"
#include "host/drawing/dxf/dxf_reader.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    using namespace drv::drawing;
    const std::string_view text(reinterpret_cast<const char *>(data), size);
    dxf::DxfLimits limits;
    limits.maxItems = 20000;
    limits.maxBlockDepth = 16;
    Drawing drawing;
    SourceError error;
    if (!dxf::readDxf(text, 0.5, drawing, error, limits)) {
        FUZZ_CHECK(!error.message.empty());
        FUZZ_CHECK(error.line >= 0 && static_cast<std::size_t>(error.line) <= size + 1);
        return 0;
    }
    for (const Shape &shape : drawing.shapes) {
        for (const Subpath &path : shape.subpaths) {
            FUZZ_CHECK(withinMagnitude(path, kMaxDrawingMm));
        }
    }
    return 0;
}
