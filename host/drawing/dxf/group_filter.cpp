#include "host/drawing/dxf/group_filter.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace drv::drawing::dxf {
namespace {

// Entities drawn, and what the library needs around them.
constexpr std::string_view kDrawn[] = {"LINE",   "LWPOLYLINE", "POLYLINE", "VERTEX",
                                       "SEQEND", "CIRCLE",     "ARC",      "ELLIPSE",
                                       "SPLINE", "POINT",      "TEXT",     "MTEXT",
                                       "INSERT", "BLOCK",      "ENDBLK"};

// Records of the ENTITIES and BLOCKS sections that are structure, not
// drawing, and never worth a warning.
constexpr std::string_view kQuiet[] = {"SECTION", "ENDSEC", "EOF", "ATTDEF"};

template <std::size_t N>
bool among(std::string_view name, const std::string_view (&names)[N]) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

class Writer {
public:
    explicit Writer(std::string &text) : text_(text) {}

    void group(int code, std::string_view value) {
        text_ += std::to_string(code);
        text_ += '\n';
        text_ += value;
        text_ += '\n';
    }

    void entityStart(const Group &start) {
        group(999, std::string(kLineComment) + std::to_string(start.line));
        group(0, start.value);
    }

private:
    std::string &text_;
};

std::size_t countCode(const Group *first, const Group *last, int code) {
    return static_cast<std::size_t>(std::count_if(first, last, [code](const Group &g) { return g.code == code; }));
}

} // namespace

bool filterGroups(const std::vector<Group> &groups, FilteredGroups &out, SourceError &error) {
    Writer writer(out.text);
    // Makes the library's idea of its own version (which decides how it
    // reads MTEXT angles) a known one instead of whatever memory held.
    writer.group(999, "dxflib 3.26.4.0");
    std::string_view section;
    std::size_t i = 0;
    while (i < groups.size()) {
        // One record: a 0 group and the groups up to the next one.
        std::size_t end = i + 1;
        while (end < groups.size() && groups[end].code != 0) {
            ++end;
        }
        const Group &start = groups[i];
        const Group *body = groups.data() + i + 1;
        const Group *bodyEnd = groups.data() + end;
        if (start.code != 0) {
            // Groups before the first record: nothing to attach them to.
            i = end;
            continue;
        }
        if (start.value == "SECTION") {
            section = end > i + 1 && body->code == 2 ? body->value : std::string_view();
        } else if (start.value == "ENDSEC") {
            section = {};
        }
        if (section == "HEADER" && start.value == "SECTION") {
            // Only the drawing units matter here.
            for (const Group *g = body; g < bodyEnd; ++g) {
                if (g->code == 9 && g->value == "$INSUNITS" && g + 1 < bodyEnd && g[1].code == 70) {
                    writer.group(9, "$INSUNITS");
                    writer.group(70, g[1].value);
                }
            }
        } else if (section == "TABLES" && start.value == "LAYER") {
            writer.entityStart(start);
            for (const Group *g = body; g < bodyEnd; ++g) {
                if (g->code == 2 || g->code == 62 || g->code == 70 || g->code == 420) {
                    writer.group(g->code, g->value);
                }
            }
        } else if (section == "ENTITIES" || section == "BLOCKS") {
            if (!among(start.value, kDrawn)) {
                if (!among(start.value, kQuiet)) {
                    ++out.skipped[std::string(start.value)];
                }
                i = end;
                continue;
            }
            // A spline-fit polyline carries its frame's control points as
            // vertices too; only the fitted ones are the line.
            if (start.value == "VERTEX" &&
                std::any_of(body, bodyEnd, [](const Group &g) {
                    return g.code == 70 && (std::atoi(std::string(g.value).c_str()) & 16) != 0;
                })) {
                i = end;
                continue;
            }
            const bool lwpolyline = start.value == "LWPOLYLINE";
            const bool spline = start.value == "SPLINE";
            const std::size_t points = countCode(body, bodyEnd, 10) + countCode(body, bodyEnd, 11);
            if (points > kMaxPointsPerEntity) {
                error = {start.line, std::string(start.value) + " holds more than " +
                                         std::to_string(kMaxPointsPerEntity) + " points"};
                return false;
            }
            writer.entityStart(start);
            ++out.entities;
            // The library sizes its arrays from these counts and then
            // trusts them: they are given as what truly follows.
            if (lwpolyline) {
                writer.group(90, std::to_string(countCode(body, bodyEnd, 10)));
            } else if (spline) {
                writer.group(72, std::to_string(countCode(body, bodyEnd, 40)));
                writer.group(73, std::to_string(countCode(body, bodyEnd, 10)));
                writer.group(74, std::to_string(countCode(body, bodyEnd, 11)));
            }
            bool seenVertex = false;
            for (const Group *g = body; g < bodyEnd; ++g) {
                if (g->code >= 999) {
                    continue; // comments and extended data
                }
                if ((lwpolyline && g->code == 90) || (spline && g->code >= 72 && g->code <= 74)) {
                    continue;
                }
                seenVertex = seenVertex || g->code == 10;
                if (lwpolyline && g->code == 42 && !seenVertex) {
                    continue; // a bulge before any vertex belongs to none
                }
                writer.group(g->code, g->value);
            }
        }
        i = end;
    }
    writer.group(999, std::string(kLineComment) + std::to_string(groups.empty() ? 0 : groups.back().line));
    writer.group(0, "EOF");
    return true;
}

} // namespace drv::drawing::dxf
