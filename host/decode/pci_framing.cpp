#include "host/decode/pci_framing.h"

#include <algorithm>

namespace drv::decode {
namespace {

bool startsWith(std::span<const std::uint8_t> bytes, std::size_t at, const char *text) {
    for (std::size_t i = 0; text[i] != '\0'; ++i) {
        if (at + i >= bytes.size() || bytes[at + i] != static_cast<std::uint8_t>(text[i])) {
            return false;
        }
    }
    return true;
}

std::uint8_t code(int bias, int value) { return static_cast<std::uint8_t>((bias + value) & 0xFF); }

// Where the job-start codes sit: the index of their first byte, and the
// bias they imply.
std::optional<std::size_t> findJobStart(std::span<const std::uint8_t> bytes, std::size_t from,
                                        int &bias) {
    for (std::size_t i = from; i + 8 <= bytes.size(); ++i) {
        const int b = bytes[i + 1]; // code 0 is the second of the eight
        bool match = true;
        for (std::size_t k = 0; k < 8 && match; ++k) {
            match = bytes[i + k] == code(b, kPciJobStartCodes[k]);
        }
        if (match) {
            bias = b;
            return i;
        }
    }
    return std::nullopt;
}

bool runOfThree(std::span<const std::uint8_t> bytes, std::size_t at) {
    return at + 3 <= bytes.size() && bytes[at] == bytes[at + 1] && bytes[at] == bytes[at + 2];
}

} // namespace

std::uint8_t pciChecksum(std::span<const std::uint8_t> summed) {
    long sum = 0;
    for (const std::uint8_t byte : summed) {
        sum += static_cast<std::int8_t>(byte);
    }
    const long remainder = sum >= 0 ? (sum & 31) : -((-sum) & 31);
    return static_cast<std::uint8_t>(96 - remainder);
}

std::size_t pciPreambleLength(std::span<const std::uint8_t> bytes) {
    if (!startsWith(bytes, 0, "&&&&")) {
        return 0;
    }
    constexpr std::size_t kMaxLines = 8;
    std::size_t at = 0;
    for (std::size_t line = 0; line < kMaxLines && at < bytes.size(); ++line) {
        const bool last = startsWith(bytes, at, "^^^^");
        while (at < bytes.size() && bytes[at] != '\n') {
            ++at;
        }
        at = std::min(at + 1, bytes.size());
        if (last) {
            return at;
        }
    }
    return 0;
}

PciFraming resolvePciFraming(std::span<const std::uint8_t> bytes, const PciFramingOptions &options,
                             std::string &found) {
    PciFraming f;
    found.clear();
    const std::size_t start = pciPreambleLength(bytes);
    int bias = 0;
    const auto at = findJobStart(bytes, start, bias);
    if (at) {
        const std::size_t after = *at + 8;
        // Checksum character then terminators, or terminators at once.
        const std::size_t code0 = [&] {
            // The sync characters run from the start up to code 0.
            std::size_t k = start;
            while (k < *at && bytes[k] == bytes[start] && bytes[k] != bias) {
                ++k;
            }
            return k;
        }();
        f.bias = bias;
        f.syncCount = static_cast<int>(std::min<std::size_t>(code0 - start, 127));
        f.syncChar = f.syncCount > 0 ? bytes[start] : f.syncChar;
        if (runOfThree(bytes, after + 1) && code0 < bytes.size() &&
            bytes[after] == pciChecksum(bytes.subspan(code0, after - code0))) {
            f.checksum = true;
            f.terminator = bytes[after + 1];
        } else if (runOfThree(bytes, after)) {
            f.checksum = false;
            f.terminator = bytes[after];
        }
        found = "bias, sync characters, checksum and terminator found from the job's first record";
    }
    f.bias = options.bias.value_or(f.bias);
    f.radix = options.radix.value_or(f.radix);
    f.syncCount = options.syncCount.value_or(f.syncCount);
    f.syncChar = options.syncChar.value_or(f.syncChar);
    f.terminator = options.terminator.value_or(f.terminator);
    f.checksum = options.checksum.value_or(f.checksum);
    return f;
}

std::vector<PciRecord> splitPciRecords(std::span<const std::uint8_t> bytes, std::size_t start,
                                       const PciFraming &f, ProblemLog &log) {
    std::vector<PciRecord> records;
    const auto opensAt = [&](std::size_t i) {
        const auto syncs = static_cast<std::size_t>(std::max(f.syncCount, 0));
        if (i + syncs >= bytes.size()) {
            return false;
        }
        for (std::size_t k = 0; k < syncs; ++k) {
            if (bytes[i + k] != f.syncChar) {
                return false;
            }
        }
        return bytes[i + syncs] == code(f.bias, 0);
    };
    const auto term = static_cast<std::uint8_t>(f.terminator);
    std::size_t number = 0;
    std::size_t i = start;
    while (i < bytes.size()) {
        std::size_t open = i;
        while (open < bytes.size() && !opensAt(open)) {
            ++open;
        }
        if (open > i) {
            // Line ends between records are what a terminal adds; not noise.
            const bool blank = std::all_of(bytes.begin() + static_cast<std::ptrdiff_t>(i),
                                           bytes.begin() + static_cast<std::ptrdiff_t>(open),
                                           [](std::uint8_t b) { return b == '\r' || b == '\n'; });
            if (!blank) {
                log.problem(i, std::to_string(open - i) + " bytes outside any record skipped",
                            number + 1);
            }
        }
        if (open >= bytes.size()) {
            break;
        }
        ++number;
        const std::size_t code0 = open + static_cast<std::size_t>(std::max(f.syncCount, 0));
        std::size_t end = code0 + 1;
        while (end < bytes.size() && !(bytes[end] == term && runOfThree(bytes, end))) {
            ++end;
        }
        if (end >= bytes.size()) {
            log.problem(open, "record " + std::to_string(number) + " has no terminators", number);
            break;
        }
        while (end + 3 < bytes.size() && bytes[end + 3] == term) {
            ++end; // a checksum character equal to the terminator
        }
        std::size_t bodyEnd = end;
        if (f.checksum) {
            if (bodyEnd <= code0 + 1) {
                log.problem(open, "record " + std::to_string(number) + " has no checksum character",
                            number);
                i = end + 3;
                continue;
            }
            --bodyEnd;
            const std::uint8_t want = pciChecksum(bytes.subspan(code0, bodyEnd - code0));
            if (bytes[bodyEnd] != want) {
                log.problem(bodyEnd,
                            "record " + std::to_string(number) + ": checksum " +
                                std::to_string(bytes[bodyEnd]) + " where the record sums to " +
                                std::to_string(want) + "; record skipped",
                            number);
                i = end + 3;
                continue;
            }
        }
        records.push_back({number, open, code0 + 1, bytes.subspan(code0 + 1, bodyEnd - code0 - 1)});
        i = end + 3;
    }
    return records;
}

} // namespace drv::decode
