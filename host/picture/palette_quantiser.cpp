#include "host/picture/palette_quantiser.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <memory>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace drv::host {
namespace {

// A colour and its pixel count in one word: the count above bit 24, red,
// green and blue in the bytes below.
using ColourCount = std::uint64_t;
std::uint8_t channelOf(ColourCount c, std::size_t channel) {
    return static_cast<std::uint8_t>(c >> (16 - 8 * channel));
}
std::uint64_t countOf(ColourCount c) { return c >> 24; }

// A box of the median cut: a run of the colour table, with the channel of
// its widest range (worked out once, when the box is made).
struct Box {
    std::size_t begin;
    std::size_t end;
    int range;
    int channel;
};

// The lowest and highest red, green and blue of a run of colour words, as
// two words holding them in the colours' places.
struct Extent {
    ColourCount low;
    ColourCount high;
};

Extent extentOf(const ColourCount *colours, std::size_t count) {
#if defined(__SSE2__)
    // Bytewise minimums and maximums of two words at a time; the two
    // halves are folded together at the end.
    __m128i low = _mm_set1_epi8(-1);
    __m128i high = _mm_setzero_si128();
    std::size_t i = 0;
    for (; i + 2 <= count; i += 2) {
        const __m128i pair = _mm_loadu_si128(reinterpret_cast<const __m128i *>(colours + i));
        low = _mm_min_epu8(low, pair);
        high = _mm_max_epu8(high, pair);
    }
    if (i < count) {
        const __m128i last = _mm_loadl_epi64(reinterpret_cast<const __m128i *>(colours + i));
        low = _mm_min_epu8(low, _mm_unpacklo_epi64(last, last));
        high = _mm_max_epu8(high, _mm_unpacklo_epi64(last, last));
    }
    low = _mm_min_epu8(low, _mm_unpackhi_epi64(low, low));
    high = _mm_max_epu8(high, _mm_unpackhi_epi64(high, high));
    Extent extent;
    _mm_storel_epi64(reinterpret_cast<__m128i *>(&extent.low), low);
    _mm_storel_epi64(reinterpret_cast<__m128i *>(&extent.high), high);
    return extent;
#else
    std::array<std::uint8_t, 3> low{255, 255, 255};
    std::array<std::uint8_t, 3> high{};
    for (std::size_t i = 0; i < count; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], channelOf(colours[i], c));
            high[c] = std::max(high[c], channelOf(colours[i], c));
        }
    }
    const auto word = [](const std::array<std::uint8_t, 3> &rgb) {
        return ColourCount{rgb[0]} << 16 | ColourCount{rgb[1]} << 8 | rgb[2];
    };
    return {word(low), word(high)};
#endif
}

Box makeBox(const std::vector<ColourCount> &colours, std::size_t begin, std::size_t end) {
    const Extent extent = extentOf(colours.data() + begin, end - begin);
    // The widest channel; the first of equally wide ones.
    Box box{begin, end, -1, 0};
    for (std::size_t c = 0; c < 3; ++c) {
        const int range = channelOf(extent.high, c) - channelOf(extent.low, c);
        if (range > box.range) {
            box.range = range;
            box.channel = static_cast<int>(c);
        }
    }
    return box;
}

// Splits the box with the widest channel range at its count-weighted median:
// its colours are ordered by that channel, keeping the order of colours that
// share a value (a counting sort: 256 values, one pass each way), and cut
// just after the first colour where the pixels so far reach half of the
// box's, leaving at least one colour above the cut.
bool splitOnce(std::vector<ColourCount> &colours, std::vector<Box> &boxes,
               std::vector<ColourCount> &scratch) {
    std::size_t chosen = boxes.size();
    int chosenRange = 0;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        if (boxes[b].end - boxes[b].begin >= 2 && boxes[b].range > chosenRange) {
            chosen = b;
            chosenRange = boxes[b].range;
        }
    }
    if (chosen == boxes.size()) {
        return false;
    }
    const Box box = boxes[chosen];
    const auto channel = static_cast<std::size_t>(box.channel);
    // Colours and pixels per value of the channel.
    std::array<std::size_t, 257> start{};
    std::array<std::uint64_t, 256> pixels{};
    std::uint64_t total = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        const std::uint8_t value = channelOf(colours[i], channel);
        ++start[value + 1u];
        pixels[value] += countOf(colours[i]);
        total += countOf(colours[i]);
    }
    start[0] = box.begin;
    for (std::size_t v = 1; v < start.size(); ++v) {
        start[v] += start[v - 1];
    }
    // The first value whose colours take the pixels to half of the box's.
    std::size_t median = 0;
    std::uint64_t running = 0;
    while (2 * (running + pixels[median]) < total) {
        running += pixels[median++];
    }
    const std::size_t medianStart = start[median];
    for (std::size_t i = box.begin; i < box.end; ++i) {
        scratch[start[channelOf(colours[i], channel)]++] = colours[i];
    }
    std::copy(scratch.begin() + static_cast<std::ptrdiff_t>(box.begin),
              scratch.begin() + static_cast<std::ptrdiff_t>(box.end),
              colours.begin() + static_cast<std::ptrdiff_t>(box.begin));
    std::size_t cut = medianStart;
    while (2 * (running += countOf(colours[cut])) < total) {
        ++cut;
    }
    cut = std::min(cut + 1, box.end - 1);
    boxes[chosen] = makeBox(colours, box.begin, cut);
    boxes.push_back(makeBox(colours, cut, box.end));
    return true;
}

Rgb boxMean(const std::vector<ColourCount> &colours, const Box &box) {
    std::array<std::uint64_t, 3> sum{};
    std::uint64_t total = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            sum[c] += channelOf(colours[i], c) * countOf(colours[i]);
        }
        total += countOf(colours[i]);
    }
    const auto mean = [&](std::size_t c) {
        return static_cast<std::uint8_t>((sum[c] + total / 2) / total);
    };
    return {mean(0), mean(1), mean(2)};
}

} // namespace

ColourCensus takeCensus(const RgbImage &image) {
    ColourCensus census;
    census.ordinalOf.reset(
        static_cast<std::uint32_t *>(std::calloc(std::size_t{1} << 24, sizeof(std::uint32_t))));
    if (!census.ordinalOf) {
        throw std::bad_alloc();
    }
    // First each colour's pixels are counted in its slot, a colour being
    // new where its count was 0 (32 bits count any picture readPng takes);
    // then the slots take the ordinals.
    std::uint32_t *const table = census.ordinalOf.get();
    const std::size_t pixels = image.width * image.height;
    const std::uint8_t *p = image.pixels.data();
    for (std::size_t n = 0; n < pixels; ++n, p += 3) {
        if (table[ColourCensus::slotOf(p)]++ == 0) {
            census.colours.push_back(ColourCensus::keyOf(p));
        }
    }
    census.counts.resize(census.colours.size());
    for (std::size_t i = 0; i < census.colours.size(); ++i) {
        const std::uint32_t key = census.colours[i];
        const std::uint8_t rgb[] = {static_cast<std::uint8_t>(key >> 16),
                                    static_cast<std::uint8_t>(key >> 8),
                                    static_cast<std::uint8_t>(key)};
        std::uint32_t &slot = table[ColourCensus::slotOf(rgb)];
        census.counts[i] = slot;
        slot = static_cast<std::uint32_t>(i + 1);
    }
    return census;
}

std::vector<Rgb> choosePalette(const ColourCensus &census, std::size_t maxColours) {
    std::vector<Rgb> palette;
    if (census.colours.size() <= maxColours) {
        for (std::uint32_t key : census.colours) {
            palette.push_back({static_cast<std::uint8_t>(key >> 16),
                               static_cast<std::uint8_t>(key >> 8),
                               static_cast<std::uint8_t>(key)});
        }
        return palette;
    }
    std::vector<ColourCount> colours(census.colours.size());
    for (std::size_t i = 0; i < colours.size(); ++i) {
        colours[i] = census.counts[i] << 24 | census.colours[i];
    }
    std::vector<Box> boxes{makeBox(colours, 0, colours.size())};
    std::vector<ColourCount> scratch(colours.size());
    while (boxes.size() < maxColours && splitOnce(colours, boxes, scratch)) {
    }
    for (const Box &box : boxes) {
        palette.push_back(boxMean(colours, box));
    }
    return palette;
}

std::vector<Rgb> choosePalette(const RgbImage &image, std::size_t maxColours) {
    return choosePalette(takeCensus(image), maxColours);
}

std::vector<std::uint8_t> mapCensus(const ColourCensus &census, const std::vector<Rgb> &palette) {
    PaletteMapper mapper(palette);
    std::vector<std::uint8_t> entries(census.colours.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint32_t key = census.colours[i];
        entries[i] = mapper.indexOf({static_cast<std::uint8_t>(key >> 16),
                                     static_cast<std::uint8_t>(key >> 8),
                                     static_cast<std::uint8_t>(key)});
    }
    return entries;
}

namespace {

constexpr int kCellBits = 3;  // 8 values of each channel a cell
constexpr int kCellSide = 1 << kCellBits;
constexpr std::size_t kCells = std::size_t{1} << (3 * (8 - kCellBits));

int squared(int d) { return d * d; }

} // namespace

PaletteMapper::PaletteMapper(const std::vector<Rgb> &palette)
    : palette_(palette), listStart_(kCells, 0) {}

const std::uint16_t *PaletteMapper::listOf(Rgb colour) {
    const std::size_t cell = std::size_t{colour.red} >> kCellBits << (2 * (8 - kCellBits)) |
                             std::size_t{colour.green} >> kCellBits << (8 - kCellBits) |
                             std::size_t{colour.blue} >> kCellBits;
    if (listStart_[cell] == 0) {
        const int low[3] = {colour.red & ~(kCellSide - 1), colour.green & ~(kCellSide - 1),
                            colour.blue & ~(kCellSide - 1)};
        // Per entry and channel: the distance to the cell's nearest and
        // farthest value of that channel.
        const auto reach = [&](const Rgb &entry, bool farthest) {
            const int value[3] = {entry.red, entry.green, entry.blue};
            int sum = 0;
            for (int c = 0; c < 3; ++c) {
                const int below = low[c] - value[c];
                const int above = value[c] - (low[c] + kCellSide - 1);
                sum += farthest ? squared(std::max(std::abs(below), std::abs(above)))
                                : squared(std::max({below, above, 0}));
            }
            return sum;
        };
        int bound = 3 * 255 * 255;
        for (const Rgb &entry : palette_) {
            bound = std::min(bound, reach(entry, true));
        }
        const std::size_t start = lists_.size();
        lists_.push_back(0);
        for (std::size_t i = 0; i < palette_.size(); ++i) {
            if (reach(palette_[i], false) <= bound) {
                lists_.push_back(static_cast<std::uint16_t>(i));
            }
        }
        lists_[start] = static_cast<std::uint16_t>(lists_.size() - start - 1);
        listStart_[cell] = static_cast<std::uint32_t>(start + 1);
    }
    return &lists_[listStart_[cell] - 1];
}

std::uint8_t PaletteMapper::indexOf(Rgb colour) {
    const std::uint16_t *list = listOf(colour);
    std::uint16_t best = 0;
    int bestDistance = 3 * 255 * 255 + 1;
    for (std::uint16_t k = 1; k <= list[0]; ++k) {
        const Rgb &entry = palette_[list[k]];
        const int distance = squared(colour.red - entry.red) +
                             squared(colour.green - entry.green) +
                             squared(colour.blue - entry.blue);
        if (distance < bestDistance) {
            best = list[k];
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

} // namespace drv::host
