#include "host/preview/sheet.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace drv::preview {
namespace {

using namespace drv::decode;

struct Box {
    double x0 = std::numeric_limits<double>::infinity();
    double y0 = std::numeric_limits<double>::infinity();
    double x1 = -std::numeric_limits<double>::infinity();
    double y1 = -std::numeric_limits<double>::infinity();
    void add(Point p, double pad = 0) {
        x0 = std::min(x0, p.x - pad);
        y0 = std::min(y0, p.y - pad);
        x1 = std::max(x1, p.x + pad);
        y1 = std::max(y1, p.y + pad);
    }
    bool empty() const { return !(x0 <= x1 && y0 <= y1); }
};

Point offset(Point p, Point step, double times) { return {p.x + step.x * times, p.y + step.y * times}; }

struct Bounds {
    Box &box;
    void operator()(const Stroke &e) const {
        for (const Point &p : e.points) {
            box.add(p, e.ink.widthMm * kUnitsPerMm / 2);
        }
    }
    void operator()(const Circle &e) const { box.add(e.center, e.radius); }
    void operator()(const Arc &e) const {
        box.add(e.center, std::hypot(e.start.x - e.center.x, e.start.y - e.center.y));
    }
    void operator()(const Polygon &e) const {
        for (const auto &ring : e.rings) {
            for (const Point &p : ring) {
                box.add(p);
            }
        }
    }
    void operator()(const Label &e) const {
        const double length = std::hypot(e.direction.x, e.direction.y);
        const double run = static_cast<double>(e.text.size()) * e.sizeMm[0] * kUnitsPerMm;
        const double height = e.sizeMm[1] * kUnitsPerMm;
        box.add(e.at, height);
        if (length > 0) {
            box.add({e.at.x + run * e.direction.x / length, e.at.y + run * e.direction.y / length}, height);
        }
    }
    void operator()(const Image &e) const {
        box.add(e.at);
        box.add(offset(e.at, e.pixelStep, e.columns));
        box.add(offset(e.at, e.rowStep, e.rows));
        box.add(offset(offset(e.at, e.pixelStep, e.columns), e.rowStep, e.rows));
    }
    void operator()(const Page &) const {}
};

} // namespace

std::vector<Sheet> layOutSheets(const Drawing &drawing) {
    std::vector<Sheet> sheets;
    const Page *setup = nullptr;
    std::size_t first = 0;
    const auto close = [&](std::size_t end) {
        Sheet sheet;
        sheet.first = first;
        sheet.end = end;
        Box box;
        for (std::size_t i = first; i < end; ++i) {
            std::visit(Bounds{box}, drawing.elements[i]);
        }
        const bool paper = setup != nullptr && setup->width > 0 && setup->height > 0;
        if (paper) {
            sheet.paper = true;
            sheet.paperWidth = setup->width;
            sheet.paperHeight = setup->height;
        }
        if (paper && (box.empty() || (box.x0 >= 0 && box.y0 >= 0 && box.x1 <= setup->width &&
                                      box.y1 <= setup->height))) {
            sheet.width = setup->width;
            sheet.height = setup->height;
        } else {
            // The box around what is drawn (and the paper, when what is drawn
            // leaves it), with a margin of a twentieth, at least 1 mm.
            if (box.empty()) {
                box = {0, 0, 1016, 1016};
            }
            if (paper) {
                box.add({0, 0});
                box.add({setup->width, setup->height});
            }
            const double margin = std::max(std::max(box.x1 - box.x0, box.y1 - box.y0) / 20, kUnitsPerMm);
            sheet.left = box.x0 - margin;
            sheet.bottom = box.y0 - margin;
            sheet.width = box.x1 - box.x0 + 2 * margin;
            sheet.height = box.y1 - box.y0 + 2 * margin;
        }
        sheets.push_back(sheet);
        first = end;
    };
    for (std::size_t i = 0; i < drawing.elements.size(); ++i) {
        const auto *page = std::get_if<Page>(&drawing.elements[i]);
        if (page == nullptr) {
            continue;
        }
        if (page->event == Page::Event::Setup) {
            setup = page;
        } else {
            close(i + 1);
        }
    }
    if (sheets.empty() || first < drawing.elements.size()) {
        // Whatever follows the last feed, unless it is only set-up.
        bool draws = sheets.empty();
        for (std::size_t i = first; i < drawing.elements.size(); ++i) {
            draws = draws || !std::holds_alternative<Page>(drawing.elements[i]);
        }
        if (draws) {
            close(drawing.elements.size());
        }
    }
    return sheets;
}

} // namespace drv::preview
