// The demo's HP-GL/2 read by an independent interpreter, hp2xx (Debian
// package hp2xx), which writes what it plots as plain absolute HP-GL: every
// line it draws must be one the decoder found (a stroke's segment, a piece
// of a circle or arc, a label's glyph inside the label's box, a fill line
// ending on the polygon's edges), and every stroke the decoder found must
// be drawn by it, segment for segment, with the same pen.
//
// hp2xx knows no PCL, so the images are not part of this comparison.
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "host/demo/demo_drawing.h"
#include "host/decode/hpgl2_decoder.h"
#include "tests/decode/plot_jobs.h"

namespace {

using namespace drv;
using decode::Point;
namespace fs = std::filesystem;

struct Segment {
    int pen;
    Point a;
    Point b;
};

std::string findProgram(const std::string &name) {
    const char *path = std::getenv("PATH");
    std::istringstream dirs(path != nullptr ? path : "");
    for (std::string dir; std::getline(dirs, dir, ':');) {
        const fs::path candidate = fs::path(dir) / name;
        if (::access(candidate.c_str(), X_OK) == 0) {
            return candidate.string();
        }
    }
    return {};
}

// SPn; PA; PU x,y; PD x,y; ... as hp2xx writes them.
std::vector<Segment> readPlainHpgl(const std::string &text) {
    std::vector<Segment> segments;
    std::istringstream commands(text);
    int pen = 0;
    Point at;
    for (std::string c; std::getline(commands, c, ';');) {
        if (c.size() < 2) {
            continue;
        }
        const std::string op = c.substr(0, 2);
        if (op == "SP") {
            pen = std::atoi(c.c_str() + 2);
        } else if (op == "PU" || op == "PD") {
            Point to = at;
            if (std::sscanf(c.c_str() + 2, "%lf,%lf", &to.x, &to.y) == 2) {
                if (op == "PD") {
                    segments.push_back({pen, at, to});
                }
                at = to;
            }
        }
    }
    return segments;
}

double distance(Point a, Point b) { return std::hypot(a.x - b.x, a.y - b.y); }

double distanceToSegment(Point p, Point a, Point b) {
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    const double length = dx * dx + dy * dy;
    const double t = length > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / length, 0.0, 1.0) : 0;
    return distance(p, {a.x + t * dx, a.y + t * dy});
}

// Whether `s` is a piece of `e`, and what it counts towards.
struct Explains {
    const Segment &s;

    bool operator()(const decode::Stroke &e) const {
        for (std::size_t i = 0; i + 1 < e.points.size(); ++i) {
            if (distance(s.a, e.points[i]) < 0.01 && distance(s.b, e.points[i + 1]) < 0.01) {
                return true;
            }
        }
        return false;
    }
    bool onCircle(Point center, double radius) const {
        return std::fabs(distance(s.a, center) - radius) < 0.5 && std::fabs(distance(s.b, center) - radius) < 0.5;
    }
    bool operator()(const decode::Circle &e) const { return onCircle(e.center, e.radius); }
    bool operator()(const decode::Arc &e) const {
        const double radius = distance(e.start, e.center);
        const double from = std::atan2(e.start.y - e.center.y, e.start.x - e.center.x);
        const auto within = [&](Point p) {
            double turn = (std::atan2(p.y - e.center.y, p.x - e.center.x) - from) * 180 / std::numbers::pi;
            turn = std::remainder(turn * (e.sweepDeg < 0 ? -1 : 1), 360.0);
            return turn >= -0.5 && turn <= std::fabs(e.sweepDeg) + 0.5;
        };
        return onCircle(e.center, radius) && within(s.a) && within(s.b);
    }
    bool operator()(const decode::Polygon &e) const {
        const auto onEdge = [&](Point p) {
            for (const auto &ring : e.rings) {
                for (std::size_t i = 0; i < ring.size(); ++i) {
                    if (distanceToSegment(p, ring[i], ring[(i + 1) % ring.size()]) < 1.0) {
                        return true;
                    }
                }
            }
            return false;
        };
        return onEdge(s.a) && onEdge(s.b);
    }
    bool operator()(const decode::Label &e) const {
        const double length = std::hypot(e.direction.x, e.direction.y);
        const Point along{e.direction.x / length, e.direction.y / length};
        const double cell = e.sizeMm[0] * decode::kUnitsPerMm;
        const double height = e.sizeMm[1] * decode::kUnitsPerMm;
        const double run = static_cast<double>(e.text.size()) * cell;
        const double lean = std::fabs(e.slant) * height * 1.5;
        const auto inBox = [&](Point p) {
            const double u = (p.x - e.at.x) * along.x + (p.y - e.at.y) * along.y;
            const double v = -(p.x - e.at.x) * along.y + (p.y - e.at.y) * along.x;
            return u >= -lean - 0.2 * cell && u <= run + lean + 0.2 * cell && v >= -0.6 * height && v <= 1.6 * height;
        };
        return inBox(s.a) && inBox(s.b);
    }
    bool operator()(const decode::Image &) const { return false; }
    bool operator()(const decode::Page &) const { return false; }
};

int penOf(const decode::Element &e) {
    return std::visit(
        [](const auto &x) -> int {
            if constexpr (requires { x.ink; }) {
                return x.ink.pen;
            } else {
                return -1;
            }
        },
        e);
}

TEST(Hp2xxAgreement, DemoVectorsAreTheSameStrokesInTheSamePlaces) {
    const std::string hp2xx = findProgram("hp2xx");
    if (hp2xx.empty()) {
        GTEST_SKIP() << "hp2xx is not installed (Debian package hp2xx, in tools/bootstrap.sh): "
                        "the comparison with an independent HP-GL/2 interpreter did not run";
    }
    const test::RanJob ran = test::runPlotScript("quillane", std::string(host::demoDrawingScript()));
    ASSERT_EQ(ran.error, "");
    const fs::path dir = fs::temp_directory_path() / ("hp2xx-agreement-" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path in = dir / "demo.hpgl";
    const fs::path out = dir / "plain.hpgl";
    std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char *>(ran.bytes.data()),
                                              static_cast<std::streamsize>(ran.bytes.size()));
    // -t: the job's own coordinates, unscaled.
    const std::string command = "'" + hp2xx + "' -q -t -m hpgl -f '" + out.string() + "' '" + in.string() +
                                "' </dev/null >/dev/null 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    std::ostringstream text;
    text << std::ifstream(out).rdbuf();
    fs::remove_all(dir);
    const std::vector<Segment> theirs = readPlainHpgl(text.str());
    ASSERT_GT(theirs.size(), 100u);

    const decode::Drawing ours = decode::decodeHpgl2(ran.bytes);
    std::vector<std::size_t> pieces(ours.elements.size(), 0);
    std::size_t unexplained = 0;
    for (const Segment &s : theirs) {
        bool found = false;
        for (std::size_t i = 0; i < ours.elements.size() && !found; ++i) {
            if (penOf(ours.elements[i]) == s.pen && std::visit(Explains{s}, ours.elements[i])) {
                ++pieces[i];
                found = true;
            }
        }
        if (!found && ++unexplained <= 5) {
            ADD_FAILURE() << "hp2xx draws pen " << s.pen << " from (" << s.a.x << ", " << s.a.y << ") to ("
                          << s.b.x << ", " << s.b.y << "), which the decoder has nowhere";
        }
    }
    EXPECT_EQ(unexplained, 0u);
    for (std::size_t i = 0; i < ours.elements.size(); ++i) {
        const decode::Element &e = ours.elements[i];
        SCOPED_TRACE("element " + std::to_string(i) + ": " + decode::elementTypeName(e));
        if (const auto *stroke = std::get_if<decode::Stroke>(&e)) {
            // hp2xx keeps every segment of a polyline.
            EXPECT_EQ(pieces[i], stroke->points.size() - 1);
        } else if (const auto *circle = std::get_if<decode::Circle>(&e)) {
            EXPECT_GE(pieces[i], static_cast<std::size_t>(360 / circle->chordDeg));
        } else if (const auto *arc = std::get_if<decode::Arc>(&e)) {
            EXPECT_GE(pieces[i], static_cast<std::size_t>(std::fabs(arc->sweepDeg) / arc->chordDeg));
        } else if (const auto *label = std::get_if<decode::Label>(&e)) {
            EXPECT_GE(pieces[i], label->text.size());
        } else if (std::holds_alternative<decode::Polygon>(e)) {
            EXPECT_GT(pieces[i], 0u);
        }
    }
}

} // namespace
