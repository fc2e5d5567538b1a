#include "host/drawing/sheet/label_text.h"

namespace drv::drawing {

std::string deviceText(std::string_view utf8, bool &replaced) {
    std::string out;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto c = static_cast<unsigned char>(utf8[i]);
        if (c >= 0x20 && c < 0x7F) {
            out.push_back(static_cast<char>(c));
        } else if (c >= 0xC0) {
            // the lead byte of a multi-byte character: one '?' for all of it
            out.push_back('?');
            replaced = true;
            while (i + 1 < utf8.size() && (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
                ++i;
            }
        } else if (c >= 0x80) {
            out.push_back('?');
            replaced = true;
        } else if (c == '\t') {
            out.push_back(' ');
        }
    }
    return out;
}

} // namespace drv::drawing
