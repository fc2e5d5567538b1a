// .svgz: a gzip stream holding the SVG text.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace drv::drawing::svg {

// Whether `bytes` begin with the gzip signature.
bool isGzip(std::string_view bytes);

// Inflates a whole gzip stream (members one after another included) into
// `out`, refusing to grow past `limit` bytes. False with the reason on a
// damaged or truncated stream.
bool gunzip(std::string_view bytes, std::size_t limit, std::string &out, std::string &error);

} // namespace drv::drawing::svg
