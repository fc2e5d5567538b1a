// PCL inside an HP-GL/2 job: from "\e%#A" to "\e%#B". Reads escape
// sequences, keeps the image configuration and the palette the way the
// device keeps them, decodes raster rows (methods 0, 1, 2 and 3, seed row
// per plane) and hands each finished image to the drawing.
//
// Placement, as a plotter's raster interpreter does it: the first pixel of
// the image lies at the PCL cursor where raster graphics start (the HP-GL/2
// pen position when PCL was entered with "\e%1A"); a row runs along the
// device's +y axis and successive rows advance along +x. The HP-GL/2 RO
// command turns the job's coordinate system on the media, the image stays
// fixed to the device: in the job's coordinates it turns the other way.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "host/decode/byte_cursor.h"
#include "host/decode/drawing.h"
#include "host/decode/problem_log.h"

namespace drv::decode {

// The image configuration ("\e*v#W") and raster settings; they last until
// the device is reset.
struct PclState {
    int colorSpace = 0;  // 0 RGB, 1 CMY
    int encoding = 0;    // 0 indexed by plane, 1 indexed by pixel, 2 direct by plane, 3 direct by pixel
    int bitsPerIndex = 1;
    int bitsPerPrimary[3] = {8, 8, 8};
    bool configured = false; // a CID was given; otherwise black and white
    int sourceWidth = 0;  // 0: not set
    int sourceHeight = 0; // 0: not set
    double destWidthDp = 0;  // decipoints, 0: not set
    double destHeightDp = 0;
    int resolution = 75; // dots per inch, for unscaled raster
    int method = 0;
};

// What a PCL stretch sees of the device around it.
struct PclContext {
    std::vector<Rgb> &palette;
    std::vector<std::vector<Rgb>> &paletteStack;
    Point cursor;     // PCL cursor, in the job's plotter units
    int rotation = 0; // degrees of the HP-GL/2 coordinate system (RO)
    std::vector<Element> &out;
    ProblemLog &log;
    // Pixels the drawing's images may still hold: a row of no data can
    // repeat a wide seed row, so the input's size does not bound them.
    std::size_t &pixelsLeft;
    bool reset = false; // "\eE" was seen: the caller resets HP-GL/2 too
};

// Runs PCL from the cursor (just after "\e%#A") up to and including
// "\e%#B", or to the end of the input. Returns the B command's value (0:
// pen where it was, 1: pen at the PCL cursor), or -1 at the end of input.
int runPcl(ByteCursor &in, PclState &state, PclContext &context);

// A parameterised escape sequence's parts, for the HP-GL/2 side, which
// meets them between commands: "\e" then `kind`, `group`, value, `letter`.
struct PclEscape {
    int kind = 0;   // '%', '*', '&', '(' ...; or the letter of a two-byte escape
    int group = 0;  // lower-case group letter, 0 for none
    double value = 0;
    int letter = 0; // parameter letter, upper case
    bool more = false; // a lower-case letter: another parameter follows
    bool twoByte = false;
};

// Reads one escape sequence after its "\e" (or, with `continued`, the next
// parameter of a combined one). False when the bytes are not one.
bool readEscape(ByteCursor &in, PclEscape &escape, bool continued);

// Pixels all the images of one drawing may hold together.
constexpr std::size_t kMaxDrawingPixels = std::size_t{1} << 26;

// Decipoints (1/720 inch) in plotter units.
constexpr double kUnitsPerDecipoint = 1016.0 / 720.0;

// Default colours of a palette the image configuration creates: with one
// bit per index white and black, otherwise the corners of the RGB cube
// (black, red, green, yellow, blue, magenta, cyan, white) then black.
std::vector<Rgb> defaultImagePalette(int bitsPerIndex);

} // namespace drv::decode
