// Reads a DXF back through libdxflib, for checking what the digitizer
// wrote: its polylines (with their closed flag) and $INSUNITS.
#pragma once

#include <sstream>
#include <string>

#include <dxflib/dl_creationadapter.h>
#include <dxflib/dl_dxf.h>

#include "host/digitize/drawing.h"

namespace drv::test {

struct ReadDxf {
    bool read = false;
    int insunits = -1;
    std::vector<drv::host::Polyline> polylines;
};

class DxfCollector : public DL_CreationAdapter {
public:
    explicit DxfCollector(ReadDxf &out) : out_(out) {}
    void addPolyline(const DL_PolylineData &data) override {
        out_.polylines.push_back({});
        out_.polylines.back().closed = (data.flags & 1) != 0;
    }
    void addVertex(const DL_VertexData &data) override {
        if (!out_.polylines.empty()) {
            out_.polylines.back().points.push_back({data.x, data.y});
        }
    }
    void setVariableInt(const std::string &key, int value, int) override {
        if (key == "$INSUNITS") {
            out_.insunits = value;
        }
    }

private:
    ReadDxf &out_;
};

inline ReadDxf readDxf(const std::string &bytes) {
    ReadDxf out;
    DxfCollector collector(out);
    std::istringstream in(bytes);
    DL_Dxf dxf;
    out.read = dxf.in(in, &collector);
    return out;
}

} // namespace drv::test
