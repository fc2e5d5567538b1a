// The checked groups rewritten into the stream the DXF library reads: only
// what the plotter draws (layers, blocks, the entities it knows and the
// drawing units), every entity led by a comment carrying its line in the
// file, and vertex, knot and control point counts that match the groups
// that follow them, so that the library never indexes past what it holds.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "host/drawing/dxf/group_reader.h"

namespace drv::drawing::dxf {

// The comment text that carries a line number: "drvline 123".
constexpr std::string_view kLineComment = "drvline ";

struct FilteredGroups {
    std::string text;                        // for the library
    std::map<std::string, int> skipped;      // entity name -> how many were left out
    std::size_t entities = 0;                // entities passed on
};

// Entities whose points one entity may hold at most.
constexpr std::size_t kMaxPointsPerEntity = 1u << 22;

bool filterGroups(const std::vector<Group> &groups, FilteredGroups &out, SourceError &error);

} // namespace drv::drawing::dxf
