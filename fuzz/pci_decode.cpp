// The PCI decoder on arbitrary bytes, once with the framing found from the
// stream and once with a framing taken from the input's first four bytes
// (bias, radix 2 to 127, sync count 0 to 3 and checksum switch, terminator):
// it never reads outside them and always gives a drawing that passes
// decode_checks.h.
#include <cstddef>
#include <cstdint>
#include <span>

#include "decode_checks.h"
#include "host/decode/pci_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    const std::span<const std::uint8_t> bytes(data, size);
    fuzz_decode::checkDrawing(drv::decode::decodePci(bytes), size);
    if (size >= 4) {
        drv::decode::PciFramingOptions framing;
        framing.bias = data[0];
        framing.radix = 2 + data[1] % 126;
        framing.syncCount = data[2] & 3;
        framing.checksum = (data[2] & 4) != 0;
        framing.syncChar = data[2] >> 3;
        framing.terminator = data[3];
        const std::span<const std::uint8_t> rest = bytes.subspan(4);
        fuzz_decode::checkDrawing(drv::decode::decodePci(rest, framing), rest.size());
    }
    return 0;
}
