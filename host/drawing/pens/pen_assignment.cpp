#include "host/drawing/pens/pen_assignment.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <map>
#include <set>

namespace drv::drawing {
namespace {

std::string colourName(const Colour &c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.red, c.green, c.blue);
    return text;
}

int colourDistance(const Colour &a, const Colour &b) {
    const int dr = a.red - b.red;
    const int dg = a.green - b.green;
    const int db = a.blue - b.blue;
    return dr * dr + dg * dg + db * db;
}

class Assigner {
public:
    Assigner(const Drawing &drawing, const PenOptions &options) : drawing_(drawing), options_(options) {}

    bool run(PenAssignment &out, std::string &error) {
        // In the order the pen meets them: a shape's fill, its outline,
        // then the texts.
        std::vector<PenKey> fillKeys;
        fillKeys.reserve(drawing_.shapes.size());
        std::vector<const PenKey *> keys;
        std::vector<int *> targets;
        out.shapePens.assign(drawing_.shapes.size(), 0);
        out.fillPens.assign(drawing_.shapes.size(), 0);
        out.textPens.assign(drawing_.texts.size(), 0);
        for (std::size_t i = 0; i < drawing_.shapes.size(); ++i) {
            const Shape &shape = drawing_.shapes[i];
            if (options_.fills && shape.fill) {
                fillKeys.push_back({shape.fill, shape.pen.layer, shape.pen.layerPen, 0});
                keys.push_back(&fillKeys.back());
                targets.push_back(&out.fillPens[i]);
            }
            keys.push_back(&shape.pen);
            targets.push_back(&out.shapePens[i]);
        }
        for (std::size_t i = 0; i < drawing_.texts.size(); ++i) {
            keys.push_back(&drawing_.texts[i].pen);
            targets.push_back(&out.textPens[i]);
        }
        // Pens named by the map and by layers are taken first, so that
        // the automatic numbering goes round them.
        for (const PenKey *key : keys) {
            if (const int pen = explicitPen(*key); pen > 0) {
                if (pen > options_.pens) {
                    error = describe(*key) + " goes to pen " + std::to_string(pen) + ", but --pens is " +
                            std::to_string(options_.pens);
                    return false;
                }
                taken_.insert(pen);
            }
        }
        for (std::size_t k = 0; k < keys.size(); ++k) {
            int pen = explicitPen(*keys[k]);
            if (pen == 0 && !automaticPen(*keys[k], pen, error)) {
                return false;
            }
            *targets[k] = pen;
            note(pen, *keys[k]);
        }
        out.pens.clear();
        for (const auto &[number, info] : info_) {
            out.pens.push_back(info);
        }
        return true;
    }

private:
    std::string describe(const PenKey &key) const {
        if (drawing_.pensByLayer || key.layerPen > 0) {
            return "layer '" + key.layer + "'";
        }
        return key.colour ? "colour " + colourName(*key.colour) : "the drawing";
    }

    int explicitPen(const PenKey &key) const {
        for (const PenMapEntry &entry : options_.map) {
            if (!entry.colour && entry.layer == key.layer && !key.layer.empty()) {
                return entry.pen;
            }
        }
        for (const PenMapEntry &entry : options_.map) {
            if (entry.colour && key.colour && *entry.colour == *key.colour) {
                return entry.pen;
            }
        }
        return drawing_.pensByLayer ? 0 : key.layerPen;
    }

    std::string automaticKey(const PenKey &key) const {
        return drawing_.pensByLayer ? "L" + key.layer : "C" + (key.colour ? colourName(*key.colour) : "");
    }

    bool automaticPen(const PenKey &key, int &pen, std::string &error) {
        const std::string name = automaticKey(key);
        if (const auto found = automatic_.find(name); found != automatic_.end()) {
            pen = found->second;
            return true;
        }
        while (next_ <= options_.pens && taken_.count(next_) != 0) {
            ++next_;
        }
        if (next_ <= options_.pens) {
            pen = next_++;
            taken_.insert(pen);
        } else if (!options_.merge) {
            error = "the drawing needs more than the " + std::to_string(options_.pens) + " pens of --pens (" +
                    describe(key) + " has none left): use --merge-pens, --pens or --pen-map";
            return false;
        } else {
            pen = mergedPen(key);
        }
        automatic_[name] = pen;
        return true;
    }

    // The pen whose colour is nearest, or the pens in turn for layers.
    int mergedPen(const PenKey &key) {
        int best = 0;
        int bestDistance = std::numeric_limits<int>::max();
        if (!drawing_.pensByLayer && key.colour) {
            for (const auto &[number, info] : info_) {
                if (info.colour && colourDistance(*info.colour, *key.colour) < bestDistance) {
                    bestDistance = colourDistance(*info.colour, *key.colour);
                    best = number;
                }
            }
        }
        if (best == 0) {
            best = 1 + (merged_++ % options_.pens);
        }
        return best;
    }

    void note(int pen, const PenKey &key) {
        PenInfo &info = info_[pen];
        info.number = pen;
        if (!info.colour) {
            info.colour = key.colour;
        }
        if (info.widthMm == 0) {
            info.widthMm = key.widthMm;
        }
    }

    const Drawing &drawing_;
    const PenOptions &options_;
    std::set<int> taken_;
    std::map<std::string, int> automatic_;
    std::map<int, PenInfo> info_;
    int next_ = 1;
    int merged_ = 0;
};

} // namespace

bool assignPens(const Drawing &drawing, const PenOptions &options, PenAssignment &out, std::string &error) {
    if (options.pens < 1 || options.pens > kMaxPens) {
        error = "--pens must be 1 to " + std::to_string(kMaxPens);
        return false;
    }
    for (const PenMapEntry &entry : options.map) {
        if (entry.pen > options.pens) {
            error = "--pen-map sends to pen " + std::to_string(entry.pen) + ", but --pens is " +
                    std::to_string(options.pens);
            return false;
        }
    }
    return Assigner(drawing, options).run(out, error);
}

} // namespace drv::drawing
