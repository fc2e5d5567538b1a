// The host's tablet path on arbitrary device bytes, for every model: the
// framer, the stream that decodes through the model's entry, and the reader
// loop over a pipe, as `drvhost tablet` runs them.
//
// Checks: every report the framer delivers fits its framing (a line report
// ends at its line end with a length the framing allows, a marked report
// starts with every mark bit and is no longer than the framing allows);
// every delivered report is counted once as decoded, rejected or turned
// away; the points do not depend on how the bytes were split into reads;
// a stream limited to N reports gives exactly the first N points; the
// reader over a pipe gives the same points as feeding the bytes directly.
//
// Input: model index, format, framing choice, frame byte, report length,
// split seed, then the device's bytes.
#include <fcntl.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

#include "digitizers/digitizer_entry.h"
#include "digitizers/models/all_models.h"
#include "fuzz/fuzz_check.h"
#include "host/tablet/tablet_defaults.h"
#include "host/tablet/tablet_reader.h"
#include "host/tablet/tablet_stream.h"

namespace {

namespace dg = drv::digitizer;
using namespace drv::host;

constexpr std::size_t kHeader = 6;

// The entry point of each model as a host sees it: a plain function.
template <std::size_t I>
std::int32_t DRV_CALL modelEntry(DigitizerProfile *profile, DigitizerRequest *request,
                                 unsigned char *buffer) {
    return dg::runDigitizer(*dg::kAllModels[I].model, profile, request, buffer);
}

template <std::size_t... I>
constexpr std::array<DgdbinFunction, sizeof...(I)> entries(std::index_sequence<I...>) {
    return {&modelEntry<I>...};
}

constexpr auto kEntries = entries(std::make_index_sequence<dg::kAllModels.size()>{});

struct Point {
    std::int16_t button;
    std::int32_t x;
    std::int32_t y;
    bool operator==(const Point &) const = default;
};

struct Run {
    std::vector<Point> points;
    TabletCounts counts;
};

bool isLineEnd(std::uint8_t b) {
    return b == 0x0D || b == 0x0A;
}

void checkReport(const TabletFraming &framing, std::span<const std::uint8_t> report) {
    FUZZ_CHECK(!report.empty());
    // A marked report of no declared length still has its start byte.
    const std::size_t length = framing.kind == TabletFraming::Kind::Marked
                                   ? std::max<std::size_t>(framing.length, 1)
                                   : framing.length;
    const std::size_t longest = length + framing.slack;
    if (framing.kind == TabletFraming::Kind::Lines) {
        FUZZ_CHECK(report.size() <= kMaxReportBytes && isLineEnd(report.back()));
        const std::size_t characters = report.size() - 1;
        FUZZ_CHECK(framing.length == 0 || (characters >= framing.length && characters <= longest));
        for (std::size_t i = 0; i < characters; ++i) {
            FUZZ_CHECK(report[i] >= 0x20 && report[i] <= 0x7E);
        }
    } else {
        FUZZ_CHECK((report[0] & framing.mark) == framing.mark);
        FUZZ_CHECK(report.size() >= length && report.size() <= longest);
    }
}

// Feeds `bytes` in pieces whose sizes come from `seed` (0: whole).
Run feedInPieces(TabletDecoder &decoder, const TabletFraming &framing,
                 std::span<const std::uint8_t> bytes, std::uint8_t seed, std::size_t limit) {
    Run run;
    TabletStream stream(decoder, framing, [&run](const DigitizerRequest &r) {
        FUZZ_CHECK(r.z == 0);
        run.points.push_back({r.button, r.x, r.y});
    });
    stream.limit(limit);
    std::size_t at = 0;
    std::uint32_t state = seed;
    while (at < bytes.size()) {
        state = state * 1103515245u + 12345u;
        const std::size_t piece = seed == 0 ? bytes.size() : 1 + (state >> 16) % 9;
        const std::size_t n = std::min(piece, bytes.size() - at);
        stream.feed(bytes.subspan(at, n));
        at += n;
    }
    stream.finish();
    run.counts = stream.counts();
    return run;
}

Run readThroughPipe(TabletDecoder &decoder, const TabletFraming &framing,
                    std::span<const std::uint8_t> bytes) {
    Run run;
    int ends[2];
    FUZZ_CHECK(::pipe2(ends, O_CLOEXEC) == 0);
    // Fuzz inputs stay far below a pipe's capacity: written whole up front.
    FUZZ_CHECK(::write(ends[1], bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()));
    ::close(ends[1]);
    TabletStream stream(decoder, framing, [&run](const DigitizerRequest &r) {
        run.points.push_back({r.button, r.x, r.y});
    });
    const TabletReadEnd end = readTablet(ends[0], stream);
    ::close(ends[0]);
    FUZZ_CHECK(end.why == TabletReadEnd::Why::EndOfInput);
    stream.finish();
    run.counts = stream.counts();
    return run;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size) {
    if (size < kHeader || size > 4096) {
        return 0;
    }
    const std::size_t index = data[0] % dg::kAllModels.size();
    const auto format = static_cast<std::int16_t>(data[1] % 4); // 1 and 2 real, 0 and 3 not
    const std::uint8_t choice = data[2] % 4;                    // the model's framing, or overrides
    const std::uint8_t frameByte = data[3];
    const std::uint8_t reportLength = data[4];
    const std::uint8_t seed = data[5];
    const std::span<const std::uint8_t> bytes(data + kHeader, size - kHeader);

    TabletProfileSettings settings;
    settings.format = settings.auxFormat = format;
    settings.setupA = "A";
    settings.setupB = "B";
    TabletDecoder decoder(kEntries[index], settings);
    decoder.setup();
    const std::optional<std::uint8_t> frameOverride =
        (choice & 1) != 0 && frameByte != 0 ? std::optional<std::uint8_t>(frameByte) : std::nullopt;
    const std::optional<std::uint8_t> lengthOverride =
        (choice & 2) != 0 && reportLength != 0 ? std::optional<std::uint8_t>(reportLength)
                                               : std::nullopt;
    const TabletFraming framing =
        chooseFraming(decoder.profile().frameByte, decoder.profile().reportLength,
                      dg::kAllModels[index].name, format, frameOverride, lengthOverride)
            .framing;

    // The framer alone: every report fits the framing.
    std::size_t delivered = 0;
    ReportFramer framer(framing, [&](std::span<const std::uint8_t> report) {
        checkReport(framing, report);
        ++delivered;
    });
    framer.feed(bytes);
    framer.finish();

    const Run whole = feedInPieces(decoder, framing, bytes, 0, 0);
    FUZZ_CHECK(whole.counts.decoded + whole.counts.rejected + whole.counts.turnedAway == delivered);
    FUZZ_CHECK(whole.counts.unframed == framer.unframed());
    FUZZ_CHECK(whole.points.size() == whole.counts.decoded);

    const Run pieces = feedInPieces(decoder, framing, bytes, seed | 1, 0);
    FUZZ_CHECK(pieces.points == whole.points);

    const std::size_t limit = 1 + seed % 4;
    const Run limited = feedInPieces(decoder, framing, bytes, seed, limit);
    const std::size_t expected = std::min(limit, whole.points.size());
    FUZZ_CHECK(limited.points.size() == expected);
    FUZZ_CHECK(std::equal(limited.points.begin(), limited.points.end(), whole.points.begin()));

    const Run piped = readThroughPipe(decoder, framing, bytes);
    FUZZ_CHECK(piped.points == whole.points);
    return 0;
}
