#include "host/drawing/dxf/block_expander.h"

#include <set>

#include "host/drawing/dxf/aci_colours.h"

namespace drv::drawing::dxf {
namespace {

Colour fromTrueColour(int rgb) {
    return {static_cast<std::uint8_t>((rgb >> 16) & 0xFF), static_cast<std::uint8_t>((rgb >> 8) & 0xFF),
            static_cast<std::uint8_t>(rgb & 0xFF)};
}

// What an insert hands down to the entities of its block: the layer that
// entities on layer 0 take, and the colour BYBLOCK means.
struct Inherited {
    std::string layer = "0";
    int colour = 7;
    int trueColour = -1;
};

class Expander {
public:
    Expander(const DxfDocument &document, const DxfLimits &limits, Drawing &out, SourceError &error)
        : document_(document), limits_(limits), out_(out), error_(error) {}

    bool block(const DxfBlock &block, const Affine &map, const Inherited &from, int depth) {
        for (const DxfItem &item : block.items) {
            if (++count_ > limits_.maxItems) {
                return fail(block.line, "the drawing expands to more than " +
                                            std::to_string(limits_.maxItems) + " entities");
            }
            if (const auto *shape = std::get_if<DxfShape>(&item)) {
                PenKey pen;
                if (penFor(shape->style, from, pen)) {
                    Shape out{shape->paths, pen, true, std::nullopt, shape->line};
                    for (Subpath &path : out.subpaths) {
                        transform(path, map);
                        if (!withinMagnitude(path, kMaxDrawingMm)) {
                            return fail(shape->line, "the entity lies more than a kilometre from the origin");
                        }
                    }
                    out_.shapes.push_back(std::move(out));
                }
            } else if (const auto *text = std::get_if<DxfText>(&item)) {
                PenKey pen;
                if (penFor(text->style, from, pen)) {
                    Text placed{text->text, map.apply(text->anchor), map.applyVector(text->baseline),
                                map.applyVector(text->up), pen, text->line};
                    const Subpath probe{placed.anchor, {Segment::line(placed.anchor + placed.baseline + placed.up)}};
                    if (!withinMagnitude(probe, kMaxDrawingMm)) {
                        return fail(text->line, "the text lies more than a kilometre from the origin");
                    }
                    out_.texts.push_back(std::move(placed));
                }
            } else if (!insert(std::get<DxfInsert>(item), map, from, depth)) {
                return false;
            }
        }
        return true;
    }

private:
    std::string layerOf(const DxfStyle &style, const Inherited &from) const {
        return style.layer == "0" ? from.layer : style.layer;
    }

    // False when the entity's layer is switched off or frozen.
    bool penFor(const DxfStyle &style, const Inherited &from, PenKey &pen) const {
        pen.layer = layerOf(style, from);
        const auto layer = document_.layers.find(pen.layer);
        const DxfLayer defaults;
        const DxfLayer &info = layer == document_.layers.end() ? defaults : layer->second;
        if (info.hidden) {
            return false;
        }
        if (style.trueColour >= 0) {
            pen.colour = fromTrueColour(style.trueColour);
        } else if (style.colour == kByBlock) {
            pen.colour = from.trueColour >= 0 ? fromTrueColour(from.trueColour) : aciColour(from.colour);
        } else if (style.colour == kByLayer || style.colour < 0 || style.colour > 255) {
            pen.colour = info.trueColour >= 0 ? fromTrueColour(info.trueColour) : aciColour(info.colour);
        } else {
            pen.colour = aciColour(style.colour);
        }
        return true;
    }

    bool insert(const DxfInsert &insert, const Affine &map, const Inherited &from, int depth) {
        const auto found = document_.blocks.find(insert.block);
        if (found == document_.blocks.end()) {
            return fail(insert.line, "INSERT of block '" + insert.block + "', which the file does not define");
        }
        if (depth >= limits_.maxBlockDepth) {
            return fail(insert.line, "blocks nest deeper than " + std::to_string(limits_.maxBlockDepth));
        }
        if (!active_.insert(insert.block).second) {
            return fail(insert.line, "block '" + insert.block + "' inserts itself");
        }
        if (static_cast<std::size_t>(insert.rows) * static_cast<std::size_t>(insert.columns) > limits_.maxItems) {
            return fail(insert.line, "INSERT repeats its block " + std::to_string(insert.rows) + " x " +
                                         std::to_string(insert.columns) + " times");
        }
        PenKey pen;
        Inherited inner;
        if (penFor(insert.style, from, pen)) {
            inner.layer = pen.layer;
            if (insert.style.colour == kByBlock) {
                inner.colour = from.colour;
                inner.trueColour = from.trueColour;
            } else {
                inner.trueColour = (pen.colour->red << 16) | (pen.colour->green << 8) | pen.colour->blue;
            }
            const DxfBlock &content = found->second;
            const Affine rotate = Affine::rotate(insert.angleDegrees);
            const Affine shape = Affine::translate(-content.base.x, -content.base.y)
                                     .then(Affine::scale(insert.scaleX, insert.scaleY))
                                     .then(rotate);
            for (int row = 0; row < insert.rows; ++row) {
                for (int column = 0; column < insert.columns; ++column) {
                    const Point offset = rotate.applyVector({column * insert.columnSpacing, row * insert.rowSpacing});
                    const Affine place = shape.then(Affine::translate(insert.at.x + offset.x, insert.at.y + offset.y));
                    if (!block(content, place.then(map), inner, depth + 1)) {
                        active_.erase(insert.block);
                        return false;
                    }
                }
            }
        }
        active_.erase(insert.block);
        return true;
    }

    bool fail(int line, std::string message) {
        error_ = {line, std::move(message)};
        return false;
    }

    const DxfDocument &document_;
    const DxfLimits &limits_;
    Drawing &out_;
    SourceError &error_;
    std::set<std::string> active_;
    std::size_t count_ = 0;
};

} // namespace

bool expandBlocks(const DxfDocument &document, const Affine &map, const DxfLimits &limits, Drawing &out,
                  SourceError &error) {
    return Expander(document, limits, out, error).block(document.model, map, Inherited{}, 0);
}

} // namespace drv::drawing::dxf
