#include "host/drawing/svg/path_data.h"

#include <cctype>
#include <cstring>

#include "host/drawing/geometry/svg_arc.h"
#include "host/drawing/svg/number_scanner.h"

namespace drv::drawing::svg {
namespace {

// Numbers each command takes per repeat.
int argumentCount(char command) {
    switch (std::toupper(static_cast<unsigned char>(command))) {
    case 'M':
    case 'L':
    case 'T':
        return 2;
    case 'H':
    case 'V':
        return 1;
    case 'S':
    case 'Q':
        return 4;
    case 'C':
        return 6;
    case 'A':
        return 7;
    default:
        return 0; // Z
    }
}

class PathBuilder {
public:
    explicit PathBuilder(std::vector<Subpath> &out) : out_(out) {}

    void moveTo(Point p) {
        finishSubpath();
        current_ = Subpath{p, {}, false};
        point_ = p;
        open_ = true;
        lastControl_ = p;
        lastKind_ = 'M';
    }

    void close() {
        if (open_) {
            current_.closed = true;
            const Point start = current_.start;
            finishSubpath();
            // Drawing on after Z starts from where the subpath began.
            current_ = Subpath{start, {}, false};
            point_ = start;
            open_ = true;
        }
        lastControl_ = point_;
        lastKind_ = 'Z';
    }

    // Each drawing command; `kind` is the upper-case command letter.
    void lineTo(Point p, char kind) {
        current_.segments.push_back(Segment::line(p));
        setPoint(p, p, kind);
    }

    void cubicTo(Point c1, Point c2, Point p, char kind) {
        current_.segments.push_back(Segment::cubic(c1, c2, p));
        setPoint(p, c2, kind);
    }

    void quadTo(Point c, Point p, char kind) {
        current_.segments.push_back(quadraticAsCubic(point_, c, p));
        setPoint(p, c, kind);
    }

    void arcTo(const EndpointArc &arc) {
        EllipticArc centred;
        switch (centreArc(arc, centred)) {
        case ArcShape::Omitted:
            break;
        case ArcShape::Line:
            current_.segments.push_back(Segment::line(arc.to));
            break;
        case ArcShape::Arc: {
            Segment segment = Segment::ellipse(centred);
            segment.to = arc.to;
            current_.segments.push_back(segment);
            break;
        }
        }
        setPoint(arc.to, arc.to, 'A');
    }

    Point point() const { return point_; }

    // The control point a smooth curve reflects: the previous curve's last
    // one when it was of the same family, else the current point.
    Point reflected(bool cubicFamily) const {
        const bool matches = cubicFamily ? (lastKind_ == 'C' || lastKind_ == 'S')
                                         : (lastKind_ == 'Q' || lastKind_ == 'T');
        return matches ? point_ * 2 - lastControl_ : point_;
    }

    void finishSubpath() {
        if (open_ && !current_.segments.empty()) {
            out_.push_back(std::move(current_));
        }
        current_ = Subpath{};
        open_ = false;
    }

private:
    void setPoint(Point p, Point control, char kind) {
        point_ = p;
        lastControl_ = control;
        lastKind_ = kind;
    }

    std::vector<Subpath> &out_;
    Subpath current_;
    Point point_;
    Point lastControl_;
    char lastKind_ = 0;
    bool open_ = false;
};

class PathParser {
public:
    PathParser(std::string_view data, std::vector<Subpath> &out, PathDataError &error)
        : data_(data), scan_(data), builder_(out), error_(error) {}

    bool run() {
        scan_.skipSpaces();
        if (scan_.atEnd()) {
            return true; // an empty path draws nothing
        }
        const char first = scan_.peek();
        if (first != 'M' && first != 'm') {
            return fail(scan_.position(), "path data must begin with a moveto (M or m)");
        }
        while (true) {
            scan_.skipSpaces();
            if (scan_.atEnd()) {
                break;
            }
            const std::size_t at = scan_.position();
            const char command = scan_.peek();
            if (std::strchr("MmLlHhVvCcSsQqTtAaZz", command) == nullptr || command == '\0') {
                return fail(at, "expected a path command");
            }
            scan_.advance();
            if (!runCommand(command)) {
                return false;
            }
        }
        builder_.finishSubpath();
        return true;
    }

private:
    bool runCommand(char command) {
        const int count = argumentCount(command);
        if (count == 0) {
            builder_.close();
            return true;
        }
        char effective = command;
        bool first = true;
        do {
            scan_.skipSpaces();
            double v[7] = {};
            if (!arguments(effective, count, v, first)) {
                return false;
            }
            apply(effective, v);
            // Pairs after a moveto are linetos of the same case.
            if (effective == 'M') {
                effective = 'L';
            } else if (effective == 'm') {
                effective = 'l';
            }
            first = false;
            scan_.skipSeparator();
        } while (scan_.atNumber());
        return true;
    }

    bool arguments(char command, int count, double *v, bool first) {
        const bool arc = command == 'A' || command == 'a';
        for (int i = 0; i < count; ++i) {
            if (i > 0) {
                scan_.skipSeparator();
            }
            if (arc && (i == 3 || i == 4)) {
                bool flag = false;
                if (!scan_.flag(flag)) {
                    return fail(scan_.position(), "expected an arc flag, 0 or 1");
                }
                v[i] = flag ? 1 : 0;
                continue;
            }
            if (!scan_.number(v[i])) {
                if (scan_.overflowed()) {
                    return fail(scan_.position(), "number out of range");
                }
                if (first && i == 0) {
                    return fail(scan_.position(), std::string("expected a number after '") +
                                                      command + "'");
                }
                return fail(scan_.position(), "expected a number");
            }
        }
        return true;
    }

    void apply(char command, const double *v) {
        const bool relative = std::islower(static_cast<unsigned char>(command)) != 0;
        const Point base = relative ? builder_.point() : Point{};
        const auto at = [&](int i) { return base + Point{v[i], v[i + 1]}; };
        const Point here = builder_.point();
        switch (std::toupper(static_cast<unsigned char>(command))) {
        case 'M':
            builder_.moveTo(at(0));
            break;
        case 'L':
            builder_.lineTo(at(0), 'L');
            break;
        case 'H':
            builder_.lineTo({relative ? here.x + v[0] : v[0], here.y}, 'L');
            break;
        case 'V':
            builder_.lineTo({here.x, relative ? here.y + v[0] : v[0]}, 'L');
            break;
        case 'C':
            builder_.cubicTo(at(0), at(2), at(4), 'C');
            break;
        case 'S':
            builder_.cubicTo(builder_.reflected(true), at(0), at(2), 'S');
            break;
        case 'Q':
            builder_.quadTo(at(0), at(2), 'Q');
            break;
        case 'T':
            builder_.quadTo(builder_.reflected(false), at(0), 'T');
            break;
        default: // 'A'
            builder_.arcTo({here, v[0], v[1], v[2], v[3] != 0, v[4] != 0, at(5)});
            break;
        }
    }

    bool fail(std::size_t offset, std::string message) {
        error_.offset = offset;
        if (offset < data_.size()) {
            const unsigned char c = static_cast<unsigned char>(data_[offset]);
            message += std::isprint(c) ? std::string(", found '") + static_cast<char>(c) + "'"
                                       : ", found byte " + std::to_string(c);
        } else {
            message += ", found the end of the data";
        }
        error_.message = std::move(message);
        return false;
    }

    std::string_view data_;
    NumberScanner scan_;
    PathBuilder builder_;
    PathDataError &error_;
};

} // namespace

bool parsePathData(std::string_view data, std::vector<Subpath> &out, PathDataError &error) {
    std::vector<Subpath> paths;
    if (!PathParser(data, paths, error).run()) {
        return false;
    }
    out.insert(out.end(), std::make_move_iterator(paths.begin()),
               std::make_move_iterator(paths.end()));
    return true;
}

} // namespace drv::drawing::svg
