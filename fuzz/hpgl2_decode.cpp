// The HP-GL/2 + PCL decoder on arbitrary bytes: it never reads outside
// them and always gives a drawing that passes decode_checks.h.
#include <cstddef>
#include <cstdint>
#include <span>

#include "decode_checks.h"
#include "host/decode/hpgl2_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    fuzz_decode::checkDrawing(drv::decode::decodeHpgl2(bytes), size);
    return 0;
}
