// HP-GL/2 of known jobs (the demo, and a portrait page turned with RO90)
// read by an independent interpreter, hp2xx (Debian package hp2xx), which
// writes what it plots as plain absolute HP-GL: every
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

struct Job {
    int line;
    const char *name;
    std::string script;
    // hp2xx writes a job turned by RO90 on the device's media: (x, y) of the
    // job is (turn - y, x) there, `turn` being the plot size's second value.
    double turn;
};

const Job kJobs[] = {
    {__LINE__, "the demo", std::string(host::demoDrawingScript()), 0},
    {__LINE__, "a portrait page, turned, in base-64 numbers",
     R"(BeginJob flags=PeBase64 page_width=11000 page_height=16000 pens=4
SelectPen pen=1
Plot x=1000 y=1000
PenDown
Plot x=10000 y=1000
Plot x=10000 y=15000
PenUp
SelectPen pen=2
Circle cx=5000 cy=8000 r=3000 chord=5
Arc cx=5000 cy=8000 sx=9000 sy=8000 ex=5000 ey=12000 sweep=90 chord=10
TextStyle height_mm=10 width_mm=8 dir_x=0.8 dir_y=0.6 slant=0
Label x=2000 y=3000 text="TURNED"
EndJob
)",
     16000},
};

Point unturned(Point p, double turn) { return turn == 0 ? p : Point{p.y, turn - p.x}; }

void compareWithHp2xx(const std::string &hp2xx, const Job &job) {
    const test::RanJob ran = test::runPlotScript("quillane", job.script);
    ASSERT_EQ(ran.error, "");
    const std::string name = std::to_string(job.line);
    const fs::path dir = fs::temp_directory_path() / ("hp2xx-agreement-" + std::to_string(::getpid()) + "-" + name);
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
    std::vector<Segment> theirs = readPlainHpgl(text.str());
    for (Segment &s : theirs) {
        s.a = unturned(s.a, job.turn);
        s.b = unturned(s.b, job.turn);
    }
    ASSERT_GT(theirs.size(), 20u);

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


TEST(Hp2xxAgreement, TheSameStrokesInTheSamePlaces) {
    const std::string hp2xx = findProgram("hp2xx");
    if (hp2xx.empty()) {
        GTEST_SKIP() << "hp2xx is not installed (Debian package hp2xx, in tools/bootstrap.sh): "
                        "the comparison with an independent HP-GL/2 interpreter did not run";
    }
    for (const Job &job : kJobs) {
        SCOPED_TRACE(std::string(job.name) + " (line " + std::to_string(job.line) + ")");
        compareWithHp2xx(hp2xx, job);
    }
}


} // namespace
