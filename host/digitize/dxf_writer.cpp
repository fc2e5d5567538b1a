#include "host/digitize/dxf_writer.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include <dxflib/dl_dxf.h>

namespace drv::host {
namespace {

// libdxflib writes to a named file: a private temporary one, read back and
// removed, so that the caller puts the bytes where they belong the way it
// puts every output (atomically, or to standard output).
class TemporaryFile {
public:
    TemporaryFile() {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "drvhost-dxf-XXXXXX").string();
        const int fd = ::mkstemp(pattern.data());
        if (fd >= 0) {
            ::close(fd);
            path_ = pattern;
        }
    }
    ~TemporaryFile() {
        if (!path_.empty()) {
            ::unlink(path_.c_str());
        }
    }
    TemporaryFile(const TemporaryFile &) = delete;
    TemporaryFile &operator=(const TemporaryFile &) = delete;
    const std::string &path() const { return path_; }

private:
    std::string path_;
};

// The tables, blocks and objects a DXF 2000 reader expects around the
// entities, with one layer "0" and the continuous line type.
void writeTables(DL_Dxf &dxf, DL_WriterA &dw) {
    dw.sectionTables();
    dxf.writeVPort(dw);
    dw.tableLinetypes(3);
    dxf.writeLinetype(dw, DL_LinetypeData("BYBLOCK", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("BYLAYER", "", 0, 0, 0.0));
    dxf.writeLinetype(dw, DL_LinetypeData("CONTINUOUS", "Continuous", 0, 0, 0.0));
    dw.tableEnd();
    dw.tableLayers(1);
    dxf.writeLayer(dw, DL_LayerData("0", 0),
                   DL_Attributes("", DL_Codes::black, 100, "CONTINUOUS", 1.0));
    dw.tableEnd();
    dw.tableStyle(1);
    dxf.writeStyle(dw, DL_StyleData("Standard", 0, 0.0, 1.0, 0.0, 0, 2.5, "txt", ""));
    dw.tableEnd();
    dxf.writeView(dw);
    dxf.writeUcs(dw);
    dw.tableAppid(1);
    dxf.writeAppid(dw, "ACAD");
    dw.tableEnd();
    dxf.writeDimStyle(dw, 2.5, 0.625, 0.625, 0.625, 2.5);
    dxf.writeBlockRecord(dw);
    dw.tableEnd();
    dw.sectionEnd();
    dw.sectionBlocks();
    for (const char *space : {"*Model_Space", "*Paper_Space", "*Paper_Space0"}) {
        dxf.writeBlock(dw, DL_BlockData(space, 0, 0.0, 0.0, 0.0));
        dxf.writeEndBlock(dw, space);
    }
    dw.sectionEnd();
}

void writeEntities(DL_Dxf &dxf, DL_WriterA &dw, const Drawing &drawing) {
    const DL_Attributes attributes("0", DL_Codes::bylayer, -1, "BYLAYER", 1.0);
    dw.sectionEntities();
    for (const Polyline &line : drawing.polylines) {
        dxf.writePolyline(
            dw, DL_PolylineData(static_cast<int>(line.points.size()), 0, 0, line.closed ? 1 : 0),
            attributes);
        for (const PlanePoint &p : line.points) {
            dxf.writeVertex(dw, DL_VertexData(p.x, p.y, 0.0, 0.0));
        }
        dxf.writePolylineEnd(dw);
    }
    dw.sectionEnd();
}

} // namespace

bool dxfBytes(const Drawing &drawing, std::string &bytes, std::string &error) {
    const TemporaryFile file;
    if (file.path().empty()) {
        error = std::string("cannot make a temporary file for the DXF: ") + std::strerror(errno);
        return false;
    }
    {
        DL_Dxf dxf;
        const std::unique_ptr<DL_WriterA> dw(dxf.out(file.path().c_str(), DL_Codes::AC1015));
        if (!dw || dw->openFailed()) {
            error = file.path() + ": cannot be written";
            return false;
        }
        dxf.writeHeader(*dw);
        dw->dxfString(9, "$INSUNITS");
        dw->dxfInt(70, drawing.millimetres ? kDxfMillimetres : kDxfUnitless);
        dw->sectionEnd();
        writeTables(dxf, *dw);
        writeEntities(dxf, *dw, drawing);
        dxf.writeObjects(*dw);
        dxf.writeObjectsEnd(*dw);
        dw->dxfEOF();
        dw->close();
    }
    std::ifstream in(file.path(), std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    // Every DXF ends with the EOF marker: a file without it was cut short.
    const std::string_view end = "EOF\n";
    if (!in || bytes.size() < end.size() ||
        bytes.compare(bytes.size() - end.size(), end.size(), end) != 0) {
        error = "the DXF could not be written whole (" + file.path() + ")";
        return false;
    }
    return true;
}

} // namespace drv::host
