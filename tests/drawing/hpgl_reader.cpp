#include "tests/drawing/hpgl_reader.h"

#include "tests/drawing/curve_sampling.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

namespace drv::drawing::testing {
namespace {

class Reader {
public:
    explicit Reader(const std::vector<std::uint8_t> &bytes) : b_(bytes) {}

    HpglPlot run() {
        while (i_ < b_.size() && plot_.error.empty()) {
            if (upper(0) && upper(1)) {
                const std::string command{static_cast<char>(b_[i_]), static_cast<char>(b_[i_ + 1])};
                i_ += 2;
                handle(command);
            } else if (b_[i_] == ';' || b_[i_] == 0x1B) {
                ++i_;
            } else {
                plot_.error = "unexpected byte " + std::to_string(b_[i_]) + " at " + std::to_string(i_);
            }
        }
        finishStroke();
        return std::move(plot_);
    }

private:
    bool upper(std::size_t ahead) const {
        return i_ + ahead < b_.size() && std::isupper(b_[i_ + ahead]) != 0;
    }

    std::vector<double> numbers() {
        std::vector<double> out;
        std::string current;
        while (i_ < b_.size() && (std::isdigit(b_[i_]) || b_[i_] == '.' || b_[i_] == '-' || b_[i_] == '+' || b_[i_] == ',')) {
            if (b_[i_] == ',') {
                out.push_back(std::atof(current.c_str()));
                current.clear();
            } else {
                current.push_back(static_cast<char>(b_[i_]));
            }
            ++i_;
        }
        if (!current.empty()) {
            out.push_back(std::atof(current.c_str()));
        }
        return out;
    }

    void handle(const std::string &command) {
        if (command == "PE") {
            polylineEncoded();
        } else if (command == "CI") {
            const std::vector<double> v = numbers();
            if (!polygon_ && !v.empty()) {
                finishStroke();
                trace(at_ + Point{v[0], 0}, at_, 360);
                finishStroke();
            }
        } else if (command == "AA") {
            const std::vector<double> v = numbers();
            if (v.size() >= 3) {
                finishStroke();
                const Point end = trace(at_, {v[0], v[1]}, v[2]);
                finishStroke();
                at_ = end;
            }
        } else if (command == "LB") {
            std::string text;
            while (i_ < b_.size() && b_[i_] != 3) {
                text.push_back(static_cast<char>(b_[i_++]));
            }
            ++i_;
            plot_.labels.push_back(text);
        } else if (command == "PM") {
            const std::vector<double> v = numbers();
            polygon_ = v.empty() || v[0] != 2;
            finishStroke();
        } else {
            numbers(); // PS, NP, PW, PC, VS, DI, SI, SL, SP, PU, PD, FP, PG...
        }
    }

    // Points of the arc around `centre` from `from` through `sweep`
    // degrees (counter-clockwise when positive), appended as a stroke.
    Point trace(Point from, Point centre, double sweepDegrees) {
        return traceArc(centre, from, sweepDegrees, current_);
    }

    void finishStroke() {
        if (current_.size() >= 2 && !polygon_) {
            plot_.strokes.push_back(current_);
        }
        current_.clear();
    }

    // One number of a PE instruction, in base 32 or 64.
    bool peNumber(std::int64_t &value) {
        std::int64_t folded = 0;
        std::int64_t scale = 1;
        while (i_ < b_.size()) {
            const int c = b_[i_++];
            const int terminalBase = base32_ ? 95 : 191;
            const bool terminal = c >= terminalBase && c < terminalBase + (base32_ ? 32 : 64);
            const bool more = c >= 63 && c < 63 + (base32_ ? 32 : 64);
            if (!terminal && !more) {
                plot_.error = "bad PE digit " + std::to_string(c);
                return false;
            }
            folded += (c - (terminal ? terminalBase : 63)) * scale;
            scale *= base32_ ? 32 : 64;
            if (terminal) {
                value = folded % 2 == 0 ? folded / 2 : -(folded / 2);
                return true;
            }
        }
        plot_.error = "PE number cut short";
        return false;
    }

    void polylineEncoded() {
        bool penUp = false;
        bool absolute = false;
        while (i_ < b_.size() && b_[i_] != ';') {
            const int c = b_[i_];
            if (c == '7') {
                base32_ = true;
                ++i_;
            } else if (c == '<') {
                penUp = true;
                ++i_;
            } else if (c == '=') {
                absolute = true;
                ++i_;
            } else if (c == ':') {
                ++i_;
                std::int64_t pen = 0;
                if (!peNumber(pen)) {
                    return;
                }
                finishStroke();
            } else {
                std::int64_t x = 0;
                std::int64_t y = 0;
                if (!peNumber(x) || !peNumber(y)) {
                    return;
                }
                const Point to = absolute ? Point{static_cast<double>(x), static_cast<double>(y)}
                                          : at_ + Point{static_cast<double>(x), static_cast<double>(y)};
                if (penUp) {
                    finishStroke();
                } else {
                    if (current_.empty()) {
                        current_.push_back(at_);
                    }
                    current_.push_back(to);
                }
                at_ = to;
                penUp = false;
                absolute = false;
            }
        }
        base32_ = false;
        ++i_;
    }

    const std::vector<std::uint8_t> &b_;
    std::size_t i_ = 0;
    HpglPlot plot_;
    Stroke current_;
    Point at_;
    bool base32_ = false;
    bool polygon_ = false;
};

} // namespace

HpglPlot readHpgl(const std::vector<std::uint8_t> &bytes) {
    return Reader(bytes).run();
}

} // namespace drv::drawing::testing
