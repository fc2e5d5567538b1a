// A DXF drawing as read, before blocks are expanded: the layers, the block
// definitions and model space, each a list of items in drawing units
// (y up) in the order the file holds them.
#pragma once

#include <map>
#include <string>
#include <variant>
#include <vector>

#include "host/drawing/model/drawing.h"

namespace drv::drawing::dxf {

// ACI colour numbers with a meaning of their own.
constexpr int kByBlock = 0;
constexpr int kByLayer = 256;

struct DxfStyle {
    std::string layer = "0";
    int colour = kByLayer; // ACI 1..255, or by block / by layer
    int trueColour = -1;   // 0xRRGGBB, or -1
};

struct DxfShape {
    std::vector<Subpath> paths;
    DxfStyle style;
    int line = 0;
};

struct DxfText {
    std::string text;
    Point anchor;
    Point baseline; // as long as the text is high
    Point up;
    DxfStyle style;
    int line = 0;
};

struct DxfInsert {
    std::string block;
    Point at;
    double scaleX = 1;
    double scaleY = 1;
    double angleDegrees = 0;
    int columns = 1;
    int rows = 1;
    double columnSpacing = 0;
    double rowSpacing = 0;
    DxfStyle style;
    int line = 0;
};

using DxfItem = std::variant<DxfShape, DxfText, DxfInsert>;

struct DxfBlock {
    Point base;
    std::vector<DxfItem> items;
    int line = 0;
};

struct DxfLayer {
    int colour = 7;
    int trueColour = -1;
    bool hidden = false; // off or frozen
};

struct DxfDocument {
    int units = 0; // $INSUNITS
    std::map<std::string, DxfLayer> layers;
    std::map<std::string, DxfBlock> blocks;
    DxfBlock model;
    std::size_t paperSpaceEntities = 0;
    std::vector<std::string> warnings;
};

} // namespace drv::drawing::dxf
