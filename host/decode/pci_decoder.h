// The PCI binary-coded plot language, decoded into the drawing it makes.
#pragma once

#include <cstdint>
#include <span>

#include "host/decode/drawing.h"
#include "host/decode/pci_framing.h"

namespace drv::decode {

// Decodes a whole PCI job: the framing comes from `options` where given,
// otherwise from the job's first record (pci_framing.h). A record with a
// wrong checksum or a malformed body is reported in the problems with its
// number and offset and left out (a device rejects it whole); decoding goes
// on with the next record. The last record may end in the job's trailer
// text, which is noted, not drawn.
Drawing decodePci(std::span<const std::uint8_t> bytes, const PciFramingOptions &options = {});

} // namespace drv::decode
