#include "host/decode/pci_decoder.h"

#include "host/decode/pci_bodies.h"
#include "host/decode/pci_framing.h"
#include "host/decode/problem_log.h"

namespace drv::decode {
namespace {

// Whether the body ends with the job-start codes; their start if so.
std::optional<std::size_t> jobStart(std::span<const std::uint8_t> body, int bias) {
    if (body.size() < 8) {
        return std::nullopt;
    }
    const std::size_t from = body.size() - 8;
    for (std::size_t k = 0; k < 8; ++k) {
        if (((body[from + k] - bias) & 0xFF) != kPciJobStartCodes[k]) {
            return std::nullopt;
        }
    }
    return from;
}

} // namespace

Drawing decodePci(std::span<const std::uint8_t> bytes, const PciFramingOptions &options) {
    Drawing drawing;
    drawing.language = "pci";
    drawing.bytes = bytes.size();
    ProblemLog log;
    std::string found;
    const PciFraming framing = resolvePciFraming(bytes, options, found);
    if (!found.empty()) {
        log.note(0, found);
    }
    if (!options.radix) {
        log.note(0, "radix not given: 32 assumed");
    }
    const std::size_t preamble = pciPreambleLength(bytes);
    if (preamble > 0) {
        log.note(0, "device-control preamble skipped");
    }
    if (framing.radix < 2 || framing.radix > 127) {
        log.problem(0, "radix " + std::to_string(framing.radix) + " outside 2..127: nothing decoded");
        log.finish(drawing);
        return drawing;
    }
    const std::vector<PciRecord> records = splitPciRecords(bytes, preamble, framing, log);
    PciBodyReader reader(drawing, log, framing);
    for (std::size_t i = 0; i < records.size(); ++i) {
        const PciRecord &r = records[i];
        std::span<const std::uint8_t> body = r.body;
        std::size_t skipped = 0;
        if (const auto start = i == 0 ? jobStart(body, framing.bias) : std::nullopt) {
            skipped = *start; // the job header text
            body = body.subspan(*start);
        }
        // A record's drawing counts only when the whole record reads; the
        // last one may end in the job's trailer text.
        const PciBodyReader::Mark mark = reader.mark();
        std::size_t fault = 0;
        if (!reader.record(body, fault)) {
            const std::size_t offset = r.bodyOffset + skipped + fault;
            if (i + 1 == records.size()) {
                log.note(offset, "job trailer text after the last command");
            } else {
                reader.rollBack(mark);
                log.problem(offset,
                            "record " + std::to_string(r.number) + ": malformed body at offset " +
                                std::to_string(offset) + "; record skipped",
                            r.number);
            }
        }
    }
    reader.finish();
    log.finish(drawing);
    return drawing;
}

} // namespace drv::decode
