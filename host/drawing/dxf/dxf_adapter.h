// Receives the entities the DXF library finds and keeps them as a
// DxfDocument: layers, block definitions and model space, curves exact.
#pragma once

#include <dxflib/dl_creationadapter.h>

#include <optional>

#include "host/drawing/dxf/dxf_document.h"
#include "host/drawing/dxf/entity_geometry.h"
#include "host/drawing/geometry/bspline.h"

namespace drv::drawing::dxf {

class DxfAdapter : public DL_CreationAdapter {
public:
    // Curves that cannot stay exact (rational or high-degree splines) are
    // cut into chords within `tolerance` drawing units.
    DxfAdapter(DxfDocument &document, double tolerance) : document_(document), tolerance_(tolerance) {}

    // The first fault found, if any.
    const std::optional<SourceError> &error() const { return error_; }

    void addComment(const std::string &comment) override;
    void setVariableInt(const std::string &key, int value, int code) override;
    void addLayer(const DL_LayerData &data) override;
    void addBlock(const DL_BlockData &data) override;
    void endBlock() override;
    void addPoint(const DL_PointData &data) override;
    void addLine(const DL_LineData &data) override;
    void addArc(const DL_ArcData &data) override;
    void addCircle(const DL_CircleData &data) override;
    void addEllipse(const DL_EllipseData &data) override;
    void addPolyline(const DL_PolylineData &data) override;
    void addVertex(const DL_VertexData &data) override;
    void addSpline(const DL_SplineData &data) override;
    void addControlPoint(const DL_ControlPointData &data) override;
    void addFitPoint(const DL_FitPointData &data) override;
    void addKnot(const DL_KnotData &data) override;
    void endEntity() override;
    void addInsert(const DL_InsertData &data) override;
    void addText(const DL_TextData &data) override;
    void addMTextChunk(const std::string &text) override;
    void addMText(const DL_MTextData &data) override;

private:
    enum class Pending { None, Polyline, Spline };

    bool accept(); // false for entities of paper space
    DxfStyle style();
    void add(DxfItem item);
    void addShape(Subpath path);
    void addLabel(const std::string &text, Point anchor, double height, double angle, int line);
    void finishSpline();
    void fail(int line, std::string message);

    DxfDocument &document_;
    double tolerance_;
    DxfBlock *block_ = nullptr; // the block being defined, or null for model space
    std::optional<SourceError> error_;
    int line_ = 0;     // of the entity the library is adding
    int nextLine_ = 0; // of the one it reads now
    Pending pending_ = Pending::None;
    int pendingLine_ = 0;
    bool pendingClosed_ = false;
    std::vector<BulgeVertex> vertices_;
    BSpline spline_;
    std::vector<Point> fitPoints_;
    std::string mtext_;
};

} // namespace drv::drawing::dxf
