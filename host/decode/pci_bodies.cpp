#include "host/decode/pci_bodies.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace drv::decode {
namespace {

constexpr std::int64_t kSplit = 4096;
// Positions and sizes beyond this many plotter units (27 km) are held at it.
constexpr std::int64_t kMaxValue = std::int64_t{1} << 40;

std::int64_t held(std::int64_t v) { return std::clamp(v, -kMaxValue, kMaxValue); }

Point at(std::int64_t x, std::int64_t y) { return {static_cast<double>(x), static_cast<double>(y)}; }

} // namespace

PciBodyReader::Mark PciBodyReader::mark() const {
    Mark m{s_, drawing_.elements.size(), 0, trace_.isOpen()};
    if (!drawing_.elements.empty()) {
        if (const auto *stroke = std::get_if<Stroke>(&drawing_.elements.back())) {
            m.strokePoints = stroke->points.size();
        }
    }
    return m;
}

void PciBodyReader::rollBack(const Mark &m) {
    s_ = m.state;
    drawing_.elements.resize(m.elements);
    if (m.elements > 0) {
        if (auto *stroke = std::get_if<Stroke>(&drawing_.elements.back())) {
            stroke->points.resize(m.strokePoints);
        }
    }
    trace_.setOpen(m.strokeOpen);
}


void PciBodyReader::move(const Step &step) {
    const Point from = at(s_.x, s_.y);
    s_.x = held(s_.x + step.dx);
    s_.y = held(s_.y + step.dy);
    trace_.move(from, at(s_.x, s_.y), s_.penDown, ink());
}

bool PciBodyReader::style(ByteCursor &in) {
    const auto a = readPair(in, f_.bias, f_.radix);
    const auto b = a ? readPair(in, f_.bias, f_.radix) : std::nullopt;
    const auto c = b ? readPair(in, f_.bias, f_.radix) : std::nullopt;
    const auto d = c ? readPair(in, f_.bias, f_.radix) : std::nullopt;
    if (!d) {
        return false;
    }
    // Held to what the language can carry, so that the label advance below
    // cannot overflow.
    s_.height = std::clamp<std::int64_t>(a->dy, -kMaxValue, kMaxValue);
    s_.dirX = std::clamp<std::int64_t>(b->dx, -65535, 65535);
    s_.dirY = std::clamp<std::int64_t>(b->dy, -65535, 65535);
    s_.ratio = std::clamp<std::int64_t>(c->dy, -65535, 65535);
    s_.slant = std::clamp<std::int64_t>(d->dx, -65535, 65535);
    s_.styled = true;
    return true;
}

bool PciBodyReader::circleOrArc(ByteCursor &in) {
    const int kind = code(in);
    const auto pair = [&] { return readPair(in, f_.bias, f_.radix); };
    trace_.end();
    if (kind == 5 || kind == 13) {
        const auto first = pair();
        const auto rest = first && kind == 13 ? pair() : first;
        if (!rest) {
            return false;
        }
        const std::int64_t r = kind == 5 ? first->dx : first->dx * kSplit + rest->dx;
        drawing_.elements.emplace_back(
            Circle{ink(), at(s_.x + r, s_.y), static_cast<double>(r < 0 ? -r : r), -1});
        return true;
    }
    if (kind != 11) {
        return false;
    }
    Step parts[4];
    for (Step &p : parts) {
        const auto s = pair();
        if (!s) {
            return false;
        }
        p = *s;
    }
    const std::int64_t cx = s_.x + parts[0].dx * kSplit + parts[1].dx;
    const std::int64_t cy = s_.y + parts[0].dy * kSplit + parts[1].dy;
    const std::int64_t ex = cx + parts[2].dx * kSplit + parts[3].dx;
    const std::int64_t ey = cy + parts[2].dy * kSplit + parts[3].dy;
    const double a0 = std::atan2(static_cast<double>(s_.y - cy), static_cast<double>(s_.x - cx));
    const double a1 = std::atan2(static_cast<double>(ey - cy), static_cast<double>(ex - cx));
    double sweep = (a1 - a0) * 180.0 / std::numbers::pi;
    while (sweep <= 1e-9) {
        sweep += 360.0;
    }
    drawing_.elements.emplace_back(Arc{ink(), at(cx, cy), at(s_.x, s_.y), at(ex, ey), sweep, -1});
    s_.x = held(ex);
    s_.y = held(ey);
    return true;
}

bool PciBodyReader::command(ByteCursor &in) {
    const int first = (in.peek() - f_.bias) & 0xFF;
    if (isStepCode(first)) {
        const auto step = readPair(in, f_.bias, f_.radix);
        if (!step) {
            return false;
        }
        move(*step);
        return true;
    }
    in.next();
    switch (first) {
    case 2: s_.penDown = true; return true;
    case 3:
        s_.penDown = false;
        trace_.end();
        return true;
    case 4: {
        const int p = code(in);
        if (p < 0) {
            return false;
        }
        trace_.end();
        s_.pen = p;
        return true;
    }
    case 14: {
        if (code(in) != 32) {
            return false;
        }
        const int h = code(in);
        const int m = code(in);
        const int l = code(in);
        if (l < 0) {
            return false;
        }
        trace_.end();
        s_.pen = (h * f_.radix + m) * f_.radix + l;
        return true;
    }
    case 5: {
        const int n = code(in);
        if (n < 0 || static_cast<std::size_t>(n) > in.left()) {
            return false;
        }
        const auto text = in.take(static_cast<std::size_t>(n));
        if (!s_.styled) {
            log_.note(in.offset(), "label before any label style");
        }
        trace_.end();
        const double heightMm = static_cast<double>(s_.height) / kUnitsPerMm;
        Label label{ink(), at(s_.x, s_.y), std::string(text.begin(), text.end()),
                    {heightMm * static_cast<double>(s_.ratio) / 16.0, heightMm},
                    {static_cast<double>(s_.dirX) / 32767.0, static_cast<double>(s_.dirY) / 32767.0},
                    static_cast<double>(s_.slant) / 128.0, s_.symbolSet, -1};
        drawing_.elements.emplace_back(std::move(label));
        const std::int64_t w = s_.height * s_.ratio / 16;
        s_.x = held(s_.x + n * (s_.dirX * w / 32768));
        s_.y = held(s_.y + n * (s_.dirY * w / 32768));
        return true;
    }
    case 11: {
        const int second = code(in);
        if (second == 5) {
            return code(in) == 15 && style(in);
        }
        if (second != 0) {
            return false;
        }
        const int third = code(in);
        if (third == 5) {
            // speed: 11, pen, v, 11, hi, lo
            return code(in) == 11 && code(in) >= 0 && code(in) >= 0 && code(in) == 11 &&
                   code(in) >= 0 && code(in) >= 0;
        }
        if (third == 9 && expect(in, {11, 7})) {
            s_.symbolSet = code(in);
            return s_.symbolSet >= 0;
        }
        return false;
    }
    case 12: return circleOrArc(in);
    case 13: return code(in) >= 0;
    default: return false;
    }
}

bool PciBodyReader::record(std::span<const std::uint8_t> body, std::size_t &fault) {
    ByteCursor in(body);
    while (!in.atEnd()) {
        const std::size_t start = in.position();
        if (!command(in)) {
            fault = start;
            return false;
        }
    }
    return true;
}

} // namespace drv::decode
