// The driver side of the plotter call contract: typed access to the request
// record's cells. Cells are 32-bit slots that the host fills as int32 or
// float depending on the operation; reading them through memcpy keeps the
// driver free of union type punning.
#pragma once

#include <cstdint>
#include <cstring>

#include "drvsuite/plotter.h"

namespace drv {

inline std::int32_t cellInt(const PlotRequest &request, int index) {
    std::int32_t value;
    std::memcpy(&value, &request.param[index], sizeof value);
    return value;
}

inline float cellFloat(const PlotRequest &request, int index) {
    float value;
    std::memcpy(&value, &request.param[index], sizeof value);
    return value;
}

// A cell read as a byte: the low 8 bits of its integer.
inline std::uint8_t cellByte(const PlotRequest &request, int index) {
    return static_cast<std::uint8_t>(cellInt(request, index) & 0xFF);
}

inline bool hasFlag(const PlotRequest &request, int flag) { return (request.flags & flag) != 0; }

}  // namespace drv
