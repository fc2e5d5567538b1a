// Chooses at most N colours for a picture and maps each pixel to one.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "host/picture/rgb_image.h"
#include "host/util/rgb.h"

namespace drv::host {

// The distinct colours of a picture (0xRRGGBB) in order of first
// appearance, how many pixels have each, and a table of the whole 24-bit
// colour space that gives each colour's ordinal, through which each pixel
// is counted and later mapped. Only the parts of the table a picture uses
// cost: the system zeroes its pages on first touch. The table is laid out
// in Morton order (the bits of red, green and blue interleaved), so that
// similar colours, as neighbouring pixels have, share cache lines and
// pages: a photograph's 800,000 colours in a 64 MB table are looked up
// twelve million times each way.
struct ColourCensus {
    struct Free {
        void operator()(void *block) const { std::free(block); }
    };

    std::vector<std::uint32_t> colours;
    std::vector<std::uint64_t> counts;
    // Per colour, at slotOf: 0 when the picture has none, else ordinal + 1.
    std::unique_ptr<std::uint32_t[], Free> ordinalOf;

    static std::uint32_t keyOf(const std::uint8_t *rgb) {
        return std::uint32_t{rgb[0]} << 16 | std::uint32_t{rgb[1]} << 8 | rgb[2];
    }
    static std::uint32_t slotOf(const std::uint8_t *rgb) {
        return kSpread[rgb[0]] << 2 | kSpread[rgb[1]] << 1 | kSpread[rgb[2]];
    }
    // The ordinal of a colour of the picture, given as red, green, blue.
    std::uint32_t ordinal(const std::uint8_t *rgb) const { return ordinalOf[slotOf(rgb)] - 1; }

private:
    // Bit i of a byte moved to bit 3i.
    static constexpr std::array<std::uint32_t, 256> kSpread = [] {
        std::array<std::uint32_t, 256> spread{};
        for (std::uint32_t v = 0; v < 256; ++v) {
            for (std::uint32_t bit = 0; bit < 8; ++bit) {
                spread[v] |= (v >> bit & 1u) << (3 * bit);
            }
        }
        return spread;
    }();
};
ColourCensus takeCensus(const RgbImage &image);

// At most `maxColours` (1..256) colours for the census: its own distinct
// colours, in order of first appearance, when there are few enough;
// otherwise the count-weighted means of median-cut boxes (each split at
// the count-weighted median of its widest channel, colours that share a
// value kept in census order).
std::vector<Rgb> choosePalette(const ColourCensus &census, std::size_t maxColours);

// The palette entry (PaletteMapper::indexOf) of each colour of the census,
// in the census' order.
std::vector<std::uint8_t> mapCensus(const ColourCensus &census, const std::vector<Rgb> &palette);

// At most `maxColours` (1..256) colours for `image`: its own distinct
// colours, in order of first appearance, when there are few enough;
// otherwise the count-weighted means of median-cut boxes.
std::vector<Rgb> choosePalette(const RgbImage &image, std::size_t maxColours);

// Nearest palette entry by squared RGB distance (the lowest index among
// equally near ones). The colour space is cut into cells of 8 x 8 x 8
// colours. The first colour looked up in a cell lists the entries that can
// be nearest to some colour of the cell: every colour of the cell is within
// D of the entry whose farthest point of the cell is nearest (D that
// distance), so an entry farther than D from the whole cell never wins nor
// ties. Later lookups in the cell measure only the listed entries, in index
// order.
class PaletteMapper {
public:
    explicit PaletteMapper(const std::vector<Rgb> &palette);
    std::uint8_t indexOf(Rgb colour);

private:
    // The list of the cell of `colour`: its length, then the entries.
    const std::uint16_t *listOf(Rgb colour);

    std::vector<Rgb> palette_;
    std::vector<std::uint32_t> listStart_;  // per cell: 0 when not listed yet, else start + 1
    std::vector<std::uint16_t> lists_;
};

} // namespace drv::host
