#include "host/picture/palette_quantiser.h"

#include <algorithm>
#include <array>

namespace drv::host {
namespace {

std::uint32_t packRgb(Rgb c) {
    return static_cast<std::uint32_t>(c.red) << 16 | static_cast<std::uint32_t>(c.green) << 8 |
           c.blue;
}

struct ColourCount {
    std::array<std::uint8_t, 3> channel;
    std::uint64_t count;
};

// A box of the median cut: a run of the colour table.
struct Box {
    std::size_t begin;
    std::size_t end;
};

int widestChannel(const std::vector<ColourCount> &colours, Box box, int &range) {
    int best = 0;
    range = -1;
    for (int c = 0; c < 3; ++c) {
        int low = 255;
        int high = 0;
        for (std::size_t i = box.begin; i < box.end; ++i) {
            low = std::min<int>(low, colours[i].channel[static_cast<std::size_t>(c)]);
            high = std::max<int>(high, colours[i].channel[static_cast<std::size_t>(c)]);
        }
        if (high - low > range) {
            range = high - low;
            best = c;
        }
    }
    return best;
}

// Splits the box with the widest channel range at its count-weighted median.
bool splitOnce(std::vector<ColourCount> &colours, std::vector<Box> &boxes) {
    std::size_t chosen = boxes.size();
    int chosenRange = 0;
    int chosenChannel = 0;
    for (std::size_t b = 0; b < boxes.size(); ++b) {
        if (boxes[b].end - boxes[b].begin < 2) {
            continue;
        }
        int range = 0;
        const int channel = widestChannel(colours, boxes[b], range);
        if (range > chosenRange) {
            chosen = b;
            chosenRange = range;
            chosenChannel = channel;
        }
    }
    if (chosen == boxes.size()) {
        return false;
    }
    const Box box = boxes[chosen];
    const auto c = static_cast<std::size_t>(chosenChannel);
    std::sort(
        colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
        colours.begin() + static_cast<std::ptrdiff_t>(box.end),
        [c](const ColourCount &a, const ColourCount &b) { return a.channel[c] < b.channel[c]; });
    std::uint64_t total = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        total += colours[i].count;
    }
    std::uint64_t running = 0;
    std::size_t cut = box.begin + 1;
    for (std::size_t i = box.begin; i + 1 < box.end; ++i) {
        running += colours[i].count;
        cut = i + 1;
        if (running * 2 >= total) {
            break;
        }
    }
    boxes[chosen] = {box.begin, cut};
    boxes.push_back({cut, box.end});
    return true;
}

Rgb boxMean(const std::vector<ColourCount> &colours, Box box) {
    std::array<std::uint64_t, 3> sum{};
    std::uint64_t total = 0;
    for (std::size_t i = box.begin; i < box.end; ++i) {
        for (std::size_t c = 0; c < 3; ++c) {
            sum[c] += colours[i].channel[c] * colours[i].count;
        }
        total += colours[i].count;
    }
    const auto mean = [&](std::size_t c) {
        return static_cast<std::uint8_t>((sum[c] + total / 2) / total);
    };
    return {mean(0), mean(1), mean(2)};
}

} // namespace

std::vector<Rgb> choosePalette(const RgbImage &image, std::size_t maxColours) {
    std::unordered_map<std::uint32_t, std::size_t> slot;
    std::vector<ColourCount> colours;
    for (std::size_t y = 0; y < image.height; ++y) {
        for (std::size_t x = 0; x < image.width; ++x) {
            const Rgb c = image.at(x, y);
            const auto [it, added] = slot.try_emplace(packRgb(c), colours.size());
            if (added) {
                colours.push_back({{c.red, c.green, c.blue}, 0});
            }
            ++colours[it->second].count;
        }
    }
    std::vector<Rgb> palette;
    if (colours.size() <= maxColours) {
        for (const ColourCount &c : colours) {
            palette.push_back({c.channel[0], c.channel[1], c.channel[2]});
        }
        return palette;
    }
    std::vector<Box> boxes{{0, colours.size()}};
    while (boxes.size() < maxColours && splitOnce(colours, boxes)) {
    }
    for (const Box &box : boxes) {
        palette.push_back(boxMean(colours, box));
    }
    return palette;
}

std::uint8_t PaletteMapper::indexOf(Rgb colour) {
    const std::uint32_t key = packRgb(colour);
    if (const auto it = cache_.find(key); it != cache_.end()) {
        return it->second;
    }
    std::size_t best = 0;
    int bestDistance = -1;
    for (std::size_t i = 0; i < palette_.size(); ++i) {
        const int dr = colour.red - palette_[i].red;
        const int dg = colour.green - palette_[i].green;
        const int db = colour.blue - palette_[i].blue;
        const int distance = dr * dr + dg * dg + db * db;
        if (bestDistance < 0 || distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    const auto index = static_cast<std::uint8_t>(best);
    cache_.emplace(key, index);
    return index;
}

} // namespace drv::host
