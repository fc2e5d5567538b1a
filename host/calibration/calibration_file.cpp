#include "host/calibration/calibration_file.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>

#include <nlohmann/json.hpp>

namespace drv::host {
namespace {

using nlohmann::json;

constexpr int kVersion = 1;

json pair(PlanePoint p) {
    return json::array({p.x, p.y});
}

// Where byte `offset` of `text` stands, as "LINE:COLUMN".
std::string lineAndColumn(std::string_view text, std::size_t offset) {
    offset = std::min(offset, text.size());
    std::size_t line = 1;
    std::size_t column = 1;
    for (std::size_t i = 0; i < offset; ++i) {
        if (text[i] == '\n') {
            ++line;
            column = 1;
        } else {
            ++column;
        }
    }
    return std::to_string(line) + ":" + std::to_string(column);
}

// The library's reason without its own prefix and position.
std::string reasonOf(const json::parse_error &e) {
    const std::string what = e.what();
    const std::size_t column = what.find("column ");
    const std::size_t colon = what.find(": ", column == std::string::npos ? 0 : column);
    return colon == std::string::npos ? what : what.substr(colon + 2);
}

bool finiteNumber(const json &value, double &out) {
    if (!value.is_number()) {
        return false;
    }
    out = value.get<double>();
    return std::isfinite(out);
}

// [x, y], two finite numbers.
bool readPair(const json &value, PlanePoint &out) {
    return value.is_array() && value.size() == 2 && finiteNumber(value[0], out.x) &&
           finiteNumber(value[1], out.y);
}

bool readRow(const json &value, double &p, double &q, double &r) {
    return value.is_array() && value.size() == 3 && finiteNumber(value[0], p) &&
           finiteNumber(value[1], q) && finiteNumber(value[2], r);
}

// The checks on a parsed document; the reason in `problem`.
bool readDocument(const json &doc, Calibration &out, std::string &problem) {
    if (!doc.is_object() || !doc.contains("drvhost_calibration")) {
        problem = "not a drvhost calibration (no \"drvhost_calibration\" member)";
        return false;
    }
    if (doc["drvhost_calibration"] != kVersion) {
        problem = "calibration version " + doc["drvhost_calibration"].dump() +
                  " is not one this drvhost reads (" + std::to_string(kVersion) + ")";
        return false;
    }
    if (!doc.contains("model") || !doc["model"].is_string() ||
        doc["model"].get<std::string>().empty()) {
        problem = "\"model\" must be the tablet model's name";
        return false;
    }
    out.model = doc["model"].get<std::string>();
    if (!doc.contains("format") || !doc["format"].is_number_integer() ||
        doc["format"].get<std::int64_t>() < INT16_MIN ||
        doc["format"].get<std::int64_t>() > INT16_MAX) {
        problem = "\"format\" must be the report format's number";
        return false;
    }
    out.format = static_cast<int>(doc["format"].get<std::int64_t>());
    const json *transform = doc.contains("transform") ? &doc["transform"] : nullptr;
    Affine &m = out.transform;
    if (transform == nullptr || !transform->is_object() || !transform->contains("x_mm") ||
        !transform->contains("y_mm") || !readRow((*transform)["x_mm"], m.a, m.b, m.c) ||
        !readRow((*transform)["y_mm"], m.d, m.e, m.f)) {
        problem = "\"transform\" must hold \"x_mm\" and \"y_mm\", three numbers each";
        return false;
    }
    const double det = m.a * m.e - m.b * m.d;
    if (!(std::fabs(det) > 0) || !std::isfinite(det)) {
        problem = "the transform is singular: it takes the tablet onto a line";
        return false;
    }
    out.points.clear();
    if (doc.contains("points")) {
        const json &points = doc["points"];
        if (!points.is_array() || points.size() > kMaxCalibrationPoints) {
            problem = "\"points\" must be a list of at most " +
                      std::to_string(kMaxCalibrationPoints) + " points";
            return false;
        }
        for (std::size_t i = 0; i < points.size(); ++i) {
            CalibrationPoint point;
            const json &p = points[i];
            if (!p.is_object() || !p.contains("drawing_mm") || !p.contains("tablet") ||
                !readPair(p["drawing_mm"], point.drawing) || !readPair(p["tablet"], point.tablet) ||
                (p.contains("residual_mm") && !finiteNumber(p["residual_mm"], point.residual))) {
                problem = "point " + std::to_string(i + 1) +
                          " must hold \"drawing_mm\" and \"tablet\", two numbers each";
                return false;
            }
            out.points.push_back(point);
        }
    }
    out.worst = 0;
    out.maxError = 0;
    if ((doc.contains("worst_residual_mm") && !finiteNumber(doc["worst_residual_mm"], out.worst)) ||
        (doc.contains("max_error_mm") && !finiteNumber(doc["max_error_mm"], out.maxError))) {
        problem = "\"worst_residual_mm\" and \"max_error_mm\" must be numbers";
        return false;
    }
    return true;
}

} // namespace

std::string calibrationText(const Calibration &c) {
    json points = json::array();
    for (const CalibrationPoint &p : c.points) {
        points.push_back({{"drawing_mm", pair(p.drawing)},
                          {"tablet", pair(p.tablet)},
                          {"residual_mm", p.residual}});
    }
    const Affine &m = c.transform;
    const json doc = {
        {"drvhost_calibration", kVersion},
        {"model", c.model},
        {"format", c.format},
        {"transform", {{"x_mm", {m.a, m.b, m.c}}, {"y_mm", {m.d, m.e, m.f}}}},
        {"points", points},
        {"worst_residual_mm", c.worst},
        {"max_error_mm", c.maxError},
    };
    return doc.dump(2) + "\n";
}

bool parseCalibration(std::string_view text, const std::string &name, Calibration &calibration,
                      std::string &error) {
    json doc;
    try {
        doc = json::parse(text.begin(), text.end());
    } catch (const json::parse_error &e) {
        error = name + ":" + lineAndColumn(text, e.byte == 0 ? 0 : e.byte - 1) + ": " + reasonOf(e);
        return false;
    } catch (const json::exception &e) {
        // A number beyond a double ("1e400") is refused while parsing, with
        // no place in the text: the reason alone, less the library's tag.
        const std::string what = e.what();
        const std::size_t tag = what.find("] ");
        error = name + ": " + (tag == std::string::npos ? what : what.substr(tag + 2));
        return false;
    }
    std::string problem;
    if (!readDocument(doc, calibration, problem)) {
        error = name + ": " + problem;
        return false;
    }
    return true;
}

bool readCalibration(const std::string &path, Calibration &calibration, std::string &error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    std::string text;
    char buffer[4096];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
        if (text.size() > kMaxCalibrationBytes) {
            error = path + ": larger than " + std::to_string(kMaxCalibrationBytes) +
                    " bytes: not a calibration";
            return false;
        }
    }
    if (in.bad()) {
        error = path + ": " + std::strerror(errno);
        return false;
    }
    return parseCalibration(text, path, calibration, error);
}

} // namespace drv::host
