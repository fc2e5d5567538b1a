// Byte strings for the host's tests.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <vector>

namespace drv::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes bytes(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// The parts one after the other.
inline Bytes join(std::initializer_list<Bytes> parts) {
    Bytes out;
    for (const Bytes &p : parts) {
        out.insert(out.end(), p.begin(), p.end());
    }
    return out;
}

} // namespace drv::test
