/* Host-facing interface of the plotter drivers (quillane, drevant).
 *
 * A host loads a plotter library, looks up `pldbin` and calls it once per
 * drawing operation with the same state block for the whole job. Every record
 * here crosses the boundary between separately built modules, so its layout
 * is fixed (little-endian, no padding between members) and checked below.
 * This header is plain C11 and C++; it declares nothing but types, constants
 * and the entry prototype.
 */
#ifndef DRVSUITE_PLOTTER_H
#define DRVSUITE_PLOTTER_H

#include <stddef.h>
#include <stdint.h>

#include "drvsuite/export.h"

#ifdef __cplusplus
extern "C" {
#endif

/* One parameter cell: a signed 32-bit integer or a single-precision float,
 * depending on the operation. A cell read "as a byte" uses the low 8 bits of
 * the integer. */
typedef union PlotParam {
    int32_t i;
    float f;
} PlotParam;

enum { PLOT_PARAM_COUNT = 11 };

/* The request record, 56 bytes. The host fills `op`, `flags` and the cells;
 * the driver writes `outLength` (the number of bytes placed in the output
 * buffer) and never reads it. Bytes a host keeps after param[10] are never
 * touched. */
typedef struct PlotRequest {
    int32_t op;
    int32_t outLength;
    int32_t flags;
    PlotParam param[PLOT_PARAM_COUNT];
} PlotRequest;

/* Operation codes. Codes outside 1..21, and codes a driver does not handle,
 * produce no output.
 *
 * The cells each driver reads, by operation. "int" is a signed 32-bit cell
 * (PlotParam.i), "real" a single-precision one (PlotParam.f), "byte" the
 * low 8 bits of an int cell; "-" means the driver does not handle the
 * operation. A driver reads no other cell. Coordinates and distances are
 * plotter units of 0.025 mm; pens are numbered from 1 (0 puts the pen away).
 *
 * OpBeginJob     text: the job header string
 *   quillane     flags 0x01, 0x10; param[2], param[3] int: page width and
 *                height (a page higher than wide is turned unless 0x10);
 *                param[4] int: number of pens
 *   drevant      flags 0x01; param[5] bias, param[6] radix (2..127),
 *                param[7] sync count (0..127), param[8] sync character,
 *                param[9] terminator, param[10] checksum switch: bytes;
 *                bias, terminator and, with syncs, the sync character
 *                must not be 0
 * OpEndJob       text: the job trailer string
 *   quillane     param[0] int: copies switch; param[1] int: number of
 *                copies, read while param[0] is not 0
 *   drevant      nothing but text
 * OpSelectPen    both: param[0] int: pen; drevant also flags 0x02
 * OpPenWidth     quillane: param[0] int pen, param[1] real width in mm; drevant -
 * OpPenColor     quillane: param[0] int pen; param[1..3] int red, green,
 *                blue, 0..65535 (the high byte is sent); drevant -
 * OpVelocity     quillane: param[0] int pen; param[1] int switch;
 *                param[2] real speed in mm/s, read while param[1] is not 0
 *   drevant      param[0] int pen; param[1], param[5] int switches;
 *                param[2] real speed in mm/s and param[6] real, read while
 *                both switches are not 0
 * OpPenUp, OpPenDown   both: nothing
 * OpPlot         both: param[0], param[1] int: the point
 * OpCircle       both: param[0], param[1] int centre; param[2] int radius;
 *                quillane also param[3] real: chord angle in degrees
 * OpArc          both: param[0], param[1] int centre; param[2], param[3]
 *                int start point
 *   quillane     param[7] real sweep in degrees (counterclockwise when
 *                positive); param[8] real chord angle in degrees
 *   drevant      param[4], param[5] int: end point (counterclockwise)
 * OpTextStyle    both: param[6], param[7] real: direction, its y and x
 *                (-1..1); param[8] real: slant
 *   quillane     param[2], param[3] real: character height and width, mm
 *   drevant      param[0], param[1] int: character height (not 0) and
 *                width in plotter units; needed before the first OpLabel
 * OpLabel        text: the label string; both: param[0], param[1] int:
 *                where it starts
 *   quillane     param[2] int: the label terminator character (0..255)
 *   drevant      cuts a label to its first 77 characters
 * OpPolygonBegin, OpPolygonNext   quillane: param[0], param[1] int: the
 *                (sub)polygon's first point; drevant -
 * OpPolygonFill  quillane: nothing; drevant -
 * OpFillType     quillane: param[0] int: shading level; drevant -
 * OpFont         quillane: param[0], param[1] int switches; param[2] int
 *                typeface, read while param[0] is not 0; param[3] int
 *                symbol set, read while param[1] is not 0
 *   drevant      param[1] int switch; param[3] int symbol set, read while
 *                param[1] is not 0
 * OpRasterBegin  text: the RasterPalette; quillane: flags 0x20;
 *                param[0], param[1] int corner; param[2], param[3] real
 *                width and height in mm; param[4], param[5] int columns
 *                and rows; param[6] int bits per pixel (1, 2, 4, 8, 16,
 *                32); drevant -
 * OpRasterEnd    quillane: flags 0x08; drevant -
 * OpRasterRow    text: the row's packed pixels; quillane: flags 0x02,
 *                0x04, 0x20; param[0] int pixels in the row, param[1] int
 *                bits per pixel, both the image's; drevant -
 */
enum PlotOp {
    OpBeginJob = 1,
    OpEndJob = 2,
    OpSelectPen = 3,
    OpPenWidth = 4,
    OpPenColor = 5,
    OpVelocity = 6,
    OpPenUp = 7,
    OpPenDown = 8,
    OpPlot = 9,
    OpCircle = 10,
    OpArc = 11,
    OpTextStyle = 12,
    OpLabel = 13,
    OpPolygonBegin = 14,
    OpPolygonNext = 15,
    OpPolygonFill = 16,
    OpFillType = 17,
    OpFont = 18,
    OpRasterBegin = 19,
    OpRasterEnd = 20,
    OpRasterRow = 21
};

/* Job option bits of PlotRequest.flags. The two drivers give the low bits
 * different meanings, hence two names for the same bit. Unlisted bits are
 * ignored. */
enum PlotFlag {
    /* quillane: polyline-encoded numbers in base 64 (read at OpBeginJob). */
    FlagPeBase64 = 0x01,
    /* drevant: OpBeginJob writes the device-control preamble. */
    FlagDevicePreamble = 0x01,
    /* quillane: bit-plane raster rows go out uncompressed. */
    FlagPlanesUncompressed = 0x02,
    /* drevant: OpSelectPen uses the three-digit pen-select body. */
    FlagAltPenSelect = 0x02,
    /* quillane: colour raster rows go out uncompressed; no seed row kept. */
    FlagColorUncompressed = 0x04,
    /* quillane: OpRasterEnd halts vector output until the next OpBeginJob. */
    FlagHaltAfterRaster = 0x08,
    /* quillane: OpBeginJob never rotates a portrait page. */
    FlagNoRotation = 0x10,
    /* quillane: indexed images are expanded to RGB by the driver. */
    FlagExpandPalette = 0x20
};

/* One palette entry of a raster image, 8 bytes. Only the high byte of each
 * intensity reaches the device. */
typedef struct RasterPaletteEntry {
    uint8_t hostPrivate[2];
    uint16_t red;
    uint16_t green;
    uint16_t blue;
} RasterPaletteEntry;

/* The palette record passed as `text` with OpRasterBegin. It holds
 * lastIndex + 1 entries (none when lastIndex is negative). This declaration
 * has room for 256 entries, the most a table can use; a host that programs
 * more allocates RASTER_PALETTE_SIZE(n) bytes and lays the entries out the
 * same way. */
typedef struct RasterPalette {
    uint8_t hostPrivate[6];
    int16_t lastIndex;
    RasterPaletteEntry entries[256];
} RasterPalette;

#define RASTER_PALETTE_SIZE(entryCount) (8u + 8u * (entryCount))

/* Bytes of state block a host must allocate for each plotter driver, for the
 * pointer size of the host's own build (the block holds driver-owned
 * pointers). PLOTTER_STATE_SIZE_MAX fits every plotter driver of the suite on
 * every supported target; a host that does not know which driver it loads
 * allocates that. The block need not be cleared before OpBeginJob. */
#define QUILLANE_STATE_SIZE (sizeof(void *) == 8 ? 40u : 24u)
#define DREVANT_STATE_SIZE (sizeof(void *) == 8 ? 40u : 36u)
#define PLOTTER_STATE_SIZE_MAX 64u

/* The most bytes quillane's OpRasterRow writes for one row of `width`
 * pixels at `depth` with job `flags`, for sizing the output buffer. A row
 * goes out in the form the driver sends, which may be larger than the row
 * the host packed: palette-expanded and direct-colour rows are three bytes
 * per pixel after one transfer command; bit-plane rows are one command plus
 * (width + 7) / 8 bytes per plane. Compression never makes a row longer:
 * a row that does not shrink goes out uncompressed. The arithmetic is
 * unsigned; `width` must lie in 0..2^30 and each argument is evaluated more
 * than once. */
#define QUILLANE_ROW_COMMAND_MAX 16u
#define QUILLANE_ROW_OUTPUT_MAX(width, depth, flags)                                   \
    (((depth) >= 16 || ((flags) & FlagExpandPalette) != 0)                             \
         ? 3u * (width) + QUILLANE_ROW_COMMAND_MAX                                     \
         : ((depth) < 1 ? 0u                                                           \
                        : ((depth) + 0u) * (((width) + 7u) / 8u + QUILLANE_ROW_COMMAND_MAX)))

/* The host must make the state block suitably aligned for a pointer. */
#define PLOTTER_STATE_ALIGN (sizeof(void *))

/* The entry point: one request in, its output bytes and their count out.
 *   request  read; outLength written
 *   text     job header/trailer or label (NUL-terminated), the RasterPalette
 *            with OpRasterBegin, the row's pixels with OpRasterRow; may be null
 *            for every other operation
 *   out      the host's output buffer, sized for the largest output the
 *            request can produce
 *   state    the job's state block
 * Always returns 0. */
typedef int32_t(DRV_CALL *PldbinFunction)(PlotRequest *request, const void *text,
                                          unsigned char *out, void *state);

DRV_ENTRY int32_t DRV_CALL pldbin(PlotRequest *request, const void *text,
                                  unsigned char *out, void *state);

DRV_STATIC_ASSERT(sizeof(PlotParam) == 4, "a cell is 32 bits");
DRV_STATIC_ASSERT(offsetof(PlotRequest, op) == 0, "PlotRequest.op");
DRV_STATIC_ASSERT(offsetof(PlotRequest, outLength) == 4, "PlotRequest.outLength");
DRV_STATIC_ASSERT(offsetof(PlotRequest, flags) == 8, "PlotRequest.flags");
DRV_STATIC_ASSERT(offsetof(PlotRequest, param) == 12, "PlotRequest.param");
DRV_STATIC_ASSERT(sizeof(PlotRequest) == 56, "PlotRequest is 56 bytes");
DRV_STATIC_ASSERT(offsetof(RasterPaletteEntry, red) == 2, "entry red");
DRV_STATIC_ASSERT(offsetof(RasterPaletteEntry, green) == 4, "entry green");
DRV_STATIC_ASSERT(offsetof(RasterPaletteEntry, blue) == 6, "entry blue");
DRV_STATIC_ASSERT(sizeof(RasterPaletteEntry) == 8, "entry is 8 bytes");
DRV_STATIC_ASSERT(offsetof(RasterPalette, lastIndex) == 6, "palette lastIndex");
DRV_STATIC_ASSERT(offsetof(RasterPalette, entries) == 8, "palette entries");
DRV_STATIC_ASSERT(sizeof(RasterPalette) == RASTER_PALETTE_SIZE(256), "palette size");

#ifdef __cplusplus
}
#endif

#endif /* DRVSUITE_PLOTTER_H */
