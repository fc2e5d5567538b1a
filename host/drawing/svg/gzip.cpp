#include "host/drawing/svg/gzip.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace drv::drawing::svg {

bool isGzip(std::string_view bytes) {
    return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0x1F &&
           static_cast<unsigned char>(bytes[1]) == 0x8B;
}

bool gunzip(std::string_view bytes, std::size_t limit, std::string &out, std::string &error) {
    z_stream stream{};
    // 16 + MAX_WBITS: a gzip header and trailer around the deflate data.
    if (inflateInit2(&stream, 16 + MAX_WBITS) != Z_OK) {
        error = "cannot start decompressing";
        return false;
    }
    out.clear();
    std::size_t consumed = 0;
    int status = Z_OK;
    char chunk[1 << 16];
    while (true) {
        const std::size_t feed = std::min<std::size_t>(bytes.size() - consumed, UINT_MAX);
        stream.next_in = reinterpret_cast<Bytef *>(const_cast<char *>(bytes.data() + consumed));
        stream.avail_in = static_cast<uInt>(feed);
        stream.next_out = reinterpret_cast<Bytef *>(chunk);
        stream.avail_out = sizeof chunk;
        status = inflate(&stream, Z_NO_FLUSH);
        const std::size_t taken = feed - stream.avail_in;
        consumed += taken;
        const std::size_t produced = sizeof chunk - stream.avail_out;
        if (out.size() + produced > limit) {
            inflateEnd(&stream);
            error = "decompresses to more than " + std::to_string(limit >> 20) + " MiB";
            return false;
        }
        out.append(chunk, produced);
        if (status == Z_STREAM_END) {
            if (consumed == bytes.size()) {
                break;
            }
            inflateReset(&stream); // another gzip member follows
            continue;
        }
        if (status != Z_OK && status != Z_BUF_ERROR) {
            inflateEnd(&stream);
            error = std::string("damaged gzip data") + (stream.msg ? std::string(": ") + stream.msg : "");
            return false;
        }
        if (produced == 0 && taken == 0) {
            inflateEnd(&stream);
            error = consumed == bytes.size() ? "the gzip data ends early" : "damaged gzip data";
            return false;
        }
    }
    inflateEnd(&stream);
    return true;
}

} // namespace drv::drawing::svg
