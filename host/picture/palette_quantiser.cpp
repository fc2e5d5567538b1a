#include "host/picture/palette_quantiser.h"

#include <algorithm>
#include <array>
#include <new>

namespace drv::host {
namespace {

constexpr std::size_t kColourSpace = std::size_t{1} << 24;

std::uint32_t packRgb(Rgb c) {
    return static_cast<std::uint32_t>(c.red) << 16 | static_cast<std::uint32_t>(c.green) << 8 |
           c.blue;
}

// A zero-filled table of the colour space. calloc hands out pages the
// system zeroes on first touch, so only the colours a picture uses cost.
template <typename T> std::unique_ptr<T[], void (*)(void *)> colourTable() {
    auto *block = static_cast<T *>(std::calloc(kColourSpace, sizeof(T)));
    if (block == nullptr) {
        throw std::bad_alloc();
    }
    return {block, std::free};
}

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

Box makeBox(const std::vector<ColourCount> &colours, std::size_t begin, std::size_t end) {
    Box box{begin, end, -1, 0};
    for (int c = 0; c < 3; ++c) {
        int low = 255;
        int high = 0;
        for (std::size_t i = begin; i < end; ++i) {
            low = std::min<int>(low, channelOf(colours[i], static_cast<std::size_t>(c)));
            high = std::max<int>(high, channelOf(colours[i], static_cast<std::size_t>(c)));
        }
        if (high - low > box.range) {
            box.range = high - low;
            box.channel = c;
        }
    }
    return box;
}

// Orders the box's colours by one channel, keeping the order of colours
// that share its value (a counting sort: 256 values, one pass each way).
void sortByChannel(std::vector<ColourCount> &colours, const Box &box, std::size_t channel,
                   std::vector<ColourCount> &scratch) {
    std::array<std::size_t, 257> start{};
    for (std::size_t i = box.begin; i < box.end; ++i) {
        ++start[channelOf(colours[i], channel) + 1u];
    }
    for (std::size_t v = 1; v < start.size(); ++v) {
        start[v] += start[v - 1];
    }
    scratch.resize(box.end - box.begin);
    for (std::size_t i = box.begin; i < box.end; ++i) {
        scratch[start[channelOf(colours[i], channel)]++] = colours[i];
    }
    std::copy(scratch.begin(), scratch.end(),
              colours.begin() + static_cast<std::ptrdiff_t>(box.begin));
}

// Splits the box with the widest channel range at its count-weighted median.
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
    sortByChannel(colours, box, static_cast<std::size_t>(box.channel), scratch);
    std::uint64_t total = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        total += countOf(colours[i]);
    }
    std::uint64_t running = 0;
    std::size_t cut = box.begin + 1;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
        running += countOf(colours[i]);
        cut = i + 1;
        if (running * 2 >= total) {
            break;
        }
    }
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
    // Per 24-bit colour: 0 when not seen yet, otherwise ordinal + 1.
    const auto seen = colourTable<std::uint32_t>();
    const std::size_t pixels = image.width * image.height;
    census.ordinals.resize(pixels);
    const std::uint8_t *p = image.pixels.data();
    for (std::size_t n = 0; n < pixels; ++n, p += 3) {
        const std::uint32_t key = std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
        std::uint32_t &slot = seen[key];
        if (slot == 0) {
            census.colours.push_back(key);
            census.counts.push_back(0);
            slot = static_cast<std::uint32_t>(census.colours.size());
        }
        ++census.counts[slot - 1];
        census.ordinals[n] = slot - 1;
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
    std::vector<ColourCount> scratch;
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
    const PaletteMapper mapper(palette);
    std::vector<std::uint8_t> entries(census.colours.size());
    // Colours in order of first appearance are mostly neighbours in the
    // picture: the previous colour's entry is a good first guess.
    std::size_t guess = palette.size();
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::uint32_t key = census.colours[i];
        entries[i] = mapper.nearest({static_cast<std::uint8_t>(key >> 16),
                                     static_cast<std::uint8_t>(key >> 8),
                                     static_cast<std::uint8_t>(key)},
                                    guess);
        guess = entries[i];
    }
    return entries;
}

namespace {

std::uint8_t channel(Rgb c, int axis) { return axis == 0 ? c.red : axis == 1 ? c.green : c.blue; }

} // namespace

PaletteMapper::PaletteMapper(const std::vector<Rgb> &palette) : palette_(palette) {
    // The walk goes along the channel the palette spreads widest over, where
    // one channel's difference rules out the most entries.
    int widest = -1;
    for (int axis = 0; axis < 3; ++axis) {
        int low = 255;
        int high = 0;
        for (const Rgb &c : palette) {
            low = std::min<int>(low, channel(c, axis));
            high = std::max<int>(high, channel(c, axis));
        }
        if (high - low > widest) {
            widest = high - low;
            axis_ = axis;
        }
    }
    for (std::size_t i = 0; i < palette.size(); ++i) {
        byAxis_.push_back(static_cast<std::uint16_t>(i));
    }
    std::stable_sort(byAxis_.begin(), byAxis_.end(), [&](std::uint16_t a, std::uint16_t b) {
        return channel(palette[a], axis_) < channel(palette[b], axis_);
    });
}

std::uint8_t PaletteMapper::nearest(Rgb colour, std::size_t guess) const {
    std::size_t best = 0;
    int bestDistance = -1;
    const auto consider = [&](std::uint16_t i) {
        const int dr = colour.red - palette_[i].red;
        const int dg = colour.green - palette_[i].green;
        const int db = colour.blue - palette_[i].blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance || (distance == bestDistance && i < best)) {
            best = i;
            bestDistance = distance;
        }
    };
    // A first guess (the entry of a similar colour) narrows the walk; the
    // rules below still find the nearest entry, lowest index first.
    if (guess < palette_.size()) {
        consider(static_cast<std::uint16_t>(guess));
    }
    // Outwards from the colour's value on the axis in both directions; a
    // side is done once that difference alone exceeds the best distance
    // (equal ones may still win on their index).
    const int own = channel(colour, axis_);
    const auto start = static_cast<std::size_t>(
        std::lower_bound(byAxis_.begin(), byAxis_.end(), own,
                         [&](std::uint16_t i, int value) {
                             return channel(palette_[i], axis_) < value;
                         }) -
        byAxis_.begin());
    std::size_t up = start;
    std::size_t down = start;
    while (true) {
        bool moved = false;
        if (up < byAxis_.size()) {
            const int d = channel(palette_[byAxis_[up]], axis_) - own;
            if (bestDistance < 0 || d * d <= bestDistance) {
                consider(byAxis_[up++]);
                moved = true;
            } else {
                up = byAxis_.size();
            }
        }
        if (down > 0) {
            const int d = own - channel(palette_[byAxis_[down - 1]], axis_);
            if (bestDistance < 0 || d * d <= bestDistance) {
                consider(byAxis_[--down]);
                moved = true;
            } else {
                down = 0;
            }
        }
        if (!moved) {
            return static_cast<std::uint8_t>(best);
        }
    }
}

std::uint8_t PaletteMapper::indexOf(Rgb colour) {
    if (!known_) {
        known_.reset(colourTable<std::uint16_t>().release());
    }
    std::uint16_t &slot = known_[packRgb(colour)];
    if (slot == 0) {
        slot = static_cast<std::uint16_t>(nearest(colour) + 1);
    }
    return static_cast<std::uint8_t>(slot - 1);
}

} // namespace drv::host
