// The HP-GL/2 side of the decoder: what the device remembers between
// commands (pen, position, palette, label and fill settings, polygon mode,
// page) and how each drawing command changes it. The byte-level reading of
// commands is in hpgl2_decoder.cpp and hpgl2_pe.cpp; the PCL raster side is
// in pcl_raster.h.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

#include "host/decode/drawing.h"
#include "host/decode/pcl_raster.h"
#include "host/decode/pen_trace.h"
#include "host/decode/problem_log.h"

namespace drv::decode {

struct LabelStyle {
    double cellWidthMm = 2.85; // advance per character
    double heightMm = 2.7;
    Point direction{1, 0};
    double slant = 0;
    int terminator = 3; // ETX
    bool terminatorPrinted = true;
    int symbolSet = -1;
    int typeface = -1;
};

class Hpgl2Machine {
public:
    explicit Hpgl2Machine(Drawing &drawing);

    // IN: every setting back to its default, the pen up at the origin.
    void initialise();

    // One command with its numeric parameters; `offset` is where its
    // mnemonic starts. Returns false for a mnemonic the decoder does not
    // know (the caller notes it).
    bool command(const std::string &mnemonic, const std::vector<double> &params, std::size_t offset);
    // LB: text up to the terminator, drawn at the pen.
    void label(const std::string &text);

    // Moves of PE and of PU/PD/PA/PR: `to` in plotter units.
    void moveTo(Point to, bool penDown);
    void selectPen(int pen);
    void setPenDown(bool down) { penDown_ = down; }
    Point position() const { return position_; }

    LabelStyle &labelStyle() { return label_; }
    ProblemLog &log() { return log_; }
    PclContext pclContext();
    void pclReturned(const PclContext &context, int mode);

    // Ends what is open at the end of the input.
    void finish();

private:
    Ink ink() const;
    int paletteIndex(int pen) const;
    void resetPens(std::size_t count);
    void setPage(double length, double width);
    void setRotation(int degrees);
    void emitPage();
    void circle(double radius, double chord);
    void arc(Point center, double sweep, double chord);
    void polygonMode(int mode, std::size_t offset);
    void fillPolygon();
    void edgePolygon();
    void rectangle(Point corner, bool fill);
    void coordinateList(const std::vector<double> &params, bool penDown, bool absolute,
                        std::size_t offset);

    Drawing &drawing_;
    PenTrace trace_;
    ProblemLog log_;

    Point position_;
    bool penDown_ = false;
    bool absolute_ = true;
    int pen_ = 1;
    std::vector<Rgb> palette_;
    std::vector<std::vector<Rgb>> paletteStack_;
    std::vector<double> widthsMm_;
    LabelStyle label_;
    Fill fill_;

    bool polygonMode_ = false;
    bool ringClosed_ = false;
    std::vector<std::vector<Point>> rings_;

    double pageLength_ = 0;
    double pageWidth_ = 0;
    int rotation_ = 0;
    Point pclCursor_;
    std::size_t pixelsLeft_ = kMaxDrawingPixels;
};

} // namespace drv::decode
