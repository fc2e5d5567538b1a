// What the PCL row compressors share.
//
// Each compressor writes into a destination exactly as long as the row and
// gives up when its output would not be shorter (PackBits) or would not fit
// (delta row). The raster row encoder then sends the row uncompressed.
#pragma once

#include <cstdint>

namespace drv::quillane {

// The result that means "the compressed form did not fit". It is also the
// largest count a 16-bit field of the raster command may carry. A row longer
// than 32767 bytes whose compressed form is exactly 32767 bytes long returns
// this same value; callers treat it as "gave up" and send the row raw, which
// costs nothing but the saving.
constexpr std::int32_t kCompressGaveUp = 0x7FFF;

}  // namespace drv::quillane
