// The HP-GL/2 commands the decoder acts on, by mnemonic. Commands that set
// up the device without changing the drawing (speeds, transparency, line
// attributes) are accepted silently; those that would change it in ways the
// preview does not follow are accepted with a note.
#include <algorithm>
#include <cmath>

#include "host/decode/default_pens.h"
#include "host/decode/hpgl2_machine.h"

namespace drv::decode {
namespace {

constexpr int code(const char *m) { return m[0] << 8 | m[1]; }

int toInt(double v) { return static_cast<int>(std::clamp(std::round(v), -1e9, 1e9)); }

std::uint8_t channel(double v) { return static_cast<std::uint8_t>(std::clamp(std::round(v), 0.0, 255.0)); }

} // namespace

bool Hpgl2Machine::command(const std::string &mnemonic, const std::vector<double> &p,
                           std::size_t offset) {
    const auto has = [&](std::size_t n) { return p.size() >= n; };
    const auto at = [&](std::size_t i, double fallback) { return i < p.size() ? p[i] : fallback; };
    switch (code(mnemonic.c_str())) {
    case code("IN"):
    case code("DF"):
        initialise();
        break;
    case code("PS"):
        if (has(1)) {
            setPage(p[0], at(1, p[0]));
        }
        break;
    case code("RO"): setRotation(toInt(at(0, 0))); break;
    case code("NP"):
        trace_.end();
        resetPens(static_cast<std::size_t>(std::clamp(toInt(at(0, 8)), 2, 256)));
        break;
    case code("PC"): {
        trace_.end();
        const int pen = toInt(at(0, -1));
        if (pen < 0) {
            resetPens(palette_.size());
        } else if (static_cast<std::size_t>(pen) < palette_.size()) {
            palette_[static_cast<std::size_t>(pen)] =
                has(4) ? Rgb{channel(p[1]), channel(p[2]), channel(p[3])} : defaultPenColor(pen);
        } else {
            log_.problem(offset, "PC for pen " + std::to_string(pen) + " outside the palette of " +
                                     std::to_string(palette_.size()));
        }
        break;
    }
    case code("PW"): {
        trace_.end();
        const double width = std::max(at(0, kDefaultPenWidthMm), 0.0);
        if (has(2)) {
            const int pen = toInt(p[1]);
            if (pen >= 0 && static_cast<std::size_t>(pen) < widthsMm_.size()) {
                widthsMm_[static_cast<std::size_t>(pen)] = width;
            }
        } else {
            std::fill(widthsMm_.begin(), widthsMm_.end(), width);
        }
        break;
    }
    case code("SP"): selectPen(toInt(at(0, 0))); break;
    case code("PU"):
        coordinateList(p, false, absolute_, offset);
        break;
    case code("PD"):
        coordinateList(p, true, absolute_, offset);
        break;
    case code("PA"):
        absolute_ = true;
        coordinateList(p, penDown_, true, offset);
        break;
    case code("PR"):
        absolute_ = false;
        coordinateList(p, penDown_, false, offset);
        break;
    case code("CI"):
        if (has(1)) {
            circle(std::fabs(p[0]), at(1, 5));
        }
        break;
    case code("AA"):
    case code("AR"):
        if (has(3)) {
            const Point center = mnemonic[1] == 'A'
                                     ? Point{p[0], p[1]}
                                     : Point{position_.x + p[0], position_.y + p[1]};
            arc(center, p[2], at(3, 5));
        }
        break;
    case code("DI"):
        label_.direction = has(2) && (p[0] != 0 || p[1] != 0) ? Point{p[0], p[1]} : Point{1, 0};
        break;
    case code("SI"):
        if (has(2)) {
            // SI gives the character's width and height in centimetres; its
            // cell, the advance, is half as wide again.
            label_.cellWidthMm = p[0] * 10 * 1.5;
            label_.heightMm = p[1] * 10;
        } else {
            label_.cellWidthMm = LabelStyle{}.cellWidthMm;
            label_.heightMm = LabelStyle{}.heightMm;
        }
        break;
    case code("SL"): label_.slant = at(0, 0); break;
    case code("SD"):
        for (std::size_t i = 0; i + 1 < p.size(); i += 2) {
            if (toInt(p[i]) == 1) {
                label_.symbolSet = toInt(p[i + 1]);
            } else if (toInt(p[i]) == 7) {
                label_.typeface = toInt(p[i + 1]);
            }
        }
        break;
    case code("FT"):
        fill_.type = toInt(at(0, 1));
        fill_.level = fill_.type == 10 ? std::clamp(at(1, 0), 0.0, 100.0) : 0;
        break;
    case code("PM"): polygonMode(toInt(at(0, 0)), offset); break;
    case code("FP"): fillPolygon(); break;
    case code("EP"): edgePolygon(); break;
    case code("RA"):
    case code("RR"):
    case code("EA"):
    case code("ER"):
        if (has(2)) {
            const bool relative = mnemonic[1] == 'R';
            const Point corner = relative ? Point{position_.x + p[0], position_.y + p[1]}
                                          : Point{p[0], p[1]};
            rectangle(corner, mnemonic[0] == 'R');
        }
        break;
    case code("PG"):
    case code("FR"): {
        trace_.end();
        Page feed;
        feed.event = Page::Event::Feed;
        drawing_.elements.emplace_back(feed);
        break;
    }
    case code("RP"):
        if (!drawing_.elements.empty()) {
            if (auto *page = std::get_if<Page>(&drawing_.elements.back());
                page != nullptr && page->event == Page::Event::Feed) {
                page->copies += std::max(toInt(at(0, 1)), 0);
            }
        }
        break;
    // Set-up that draws nothing.
    case code("LA"):
    case code("TR"):
    case code("VS"):
    case code("BP"):
    case code("CO"):
    case code("WU"):
    case code("SS"):
    case code("SA"):
    case code("CP"):
        break;
    case code("LT"):
    case code("IP"):
    case code("SC"):
    case code("IW"):
    case code("LO"):
    case code("DR"):
    case code("SR"):
    case code("CR"):
    case code("UL"):
    case code("MC"):
    case code("SM"):
        log_.note(offset, mnemonic + " read but not applied to the preview");
        break;
    default: return false;
    }
    return true;
}

} // namespace drv::decode
