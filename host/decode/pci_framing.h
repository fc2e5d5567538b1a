// PCI records: `syncCount` copies of the sync character, code 0 (the bias
// character), the bodies, an optional checksum character and the
// terminator three times. A code v is the byte (bias + v) mod 256.
//
// The checksum character is 96 - R, where R is the sum of the record's
// bytes from code 0 to the last body byte, each taken as a signed byte,
// modulo 32 with the sign of the sum.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "host/decode/problem_log.h"

namespace drv::decode {

struct PciFraming {
    int bias = 0x20;
    int radix = 32;
    int syncCount = 0;
    int syncChar = 0x21;
    int terminator = 0x0D;
    bool checksum = false;
};

// What the user gave on the command line; the rest is found in the stream.
struct PciFramingOptions {
    std::optional<int> bias;
    std::optional<int> radix;
    std::optional<int> syncCount;
    std::optional<int> syncChar;
    std::optional<int> terminator;
    std::optional<bool> checksum;
};

// The checksum character of `summed` (code 0 to the last body byte).
std::uint8_t pciChecksum(std::span<const std::uint8_t> summed);

// Length of the plain-text preamble lines a job may open with ("&&&&..."
// up to the line opening with "^^^^"), or 0.
std::size_t pciPreambleLength(std::span<const std::uint8_t> bytes);

// Finds the framing from the job's first record, which ends with the same
// eight codes in every job (symbol set 1, then codes 13, 1): they give the
// bias, what follows them the checksum switch and the terminator, and the
// bytes before code 0 the sync characters. The radix shows nowhere; it is
// taken from `options` or is 32. Values in `options` win. `found` tells
// what came from the stream, for the notes.
PciFraming resolvePciFraming(std::span<const std::uint8_t> bytes, const PciFramingOptions &options,
                             std::string &found);

struct PciRecord {
    std::size_t number = 0;     // from 1
    std::size_t offset = 0;     // of its first byte
    std::size_t bodyOffset = 0; // of its first body byte
    std::span<const std::uint8_t> body;
};

// Cuts `bytes` (after any preamble) into records. A record whose checksum
// is wrong, or that has no terminators, is reported with its number and
// offset and left out; bytes between records are reported and skipped.
std::vector<PciRecord> splitPciRecords(std::span<const std::uint8_t> bytes, std::size_t start,
                                       const PciFraming &framing, ProblemLog &log);

// The codes that end the first record of every job.
constexpr int kPciJobStartCodes[8] = {11, 0, 9, 11, 7, 1, 13, 1};

} // namespace drv::decode
