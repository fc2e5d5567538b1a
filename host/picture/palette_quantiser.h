// Chooses at most N colours for a picture and maps each pixel to one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <vector>

#include "host/picture/rgb_image.h"
#include "host/util/rgb.h"

namespace drv::host {

// Every pixel of a picture as the ordinal of its colour among the picture's
// distinct colours (in order of first appearance), with those colours
// (0xRRGGBB) and how many pixels have each. Colours are found through a
// table of the whole 24-bit colour space (zero pages cost nothing until a
// colour is seen), so a 12-megapixel photograph takes tens of milliseconds.
struct ColourCensus {
    std::vector<std::uint32_t> colours;
    std::vector<std::uint64_t> counts;
    std::vector<std::uint32_t> ordinals;  // one per pixel, rows top to bottom
};
ColourCensus takeCensus(const RgbImage &image);

// At most `maxColours` (1..256) colours for the census: its own distinct
// colours, in order of first appearance, when there are few enough;
// otherwise the count-weighted means of median-cut boxes (each split at
// the count-weighted median of its widest channel, colours that share a
// value kept in census order).
std::vector<Rgb> choosePalette(const ColourCensus &census, std::size_t maxColours);

// The palette entry (as PaletteMapper chooses it) of each colour of the
// census, in the census' order.
std::vector<std::uint8_t> mapCensus(const ColourCensus &census, const std::vector<Rgb> &palette);

// At most `maxColours` (1..256) colours for `image`: its own distinct
// colours, in order of first appearance, when there are few enough;
// otherwise the count-weighted means of median-cut boxes.
std::vector<Rgb> choosePalette(const RgbImage &image, std::size_t maxColours);

// Nearest palette entry by squared RGB distance (the lowest index among
// equally near ones), remembered per colour in a table of the colour space.
// The search walks the entries along the channel the palette spreads
// widest over, outwards from the colour's own value, and stops where that
// channel alone is farther than the best found.
class PaletteMapper {
public:
    explicit PaletteMapper(const std::vector<Rgb> &palette);
    std::uint8_t indexOf(Rgb colour);
    // The same without remembering it; `guess`, when a valid index, is an
    // entry to measure first (it speeds the search, never changes it).
    std::uint8_t nearest(Rgb colour, std::size_t guess = SIZE_MAX) const;

private:
    struct Free {
        void operator()(void *block) const { std::free(block); }
    };

    const std::vector<Rgb> &palette_;
    int axis_ = 0;                       // channel the walk goes along
    std::vector<std::uint16_t> byAxis_;  // entry indexes, in order of that channel
    // Per 24-bit colour: 0 when not looked up yet, otherwise index + 1.
    std::unique_ptr<std::uint16_t[], Free> known_;
};

} // namespace drv::host
