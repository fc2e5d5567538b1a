#include "host/demo/demo_tablets.h"

#include "host/tablet/tablet_decoder.h"
#include "host/tablet/tablet_defaults.h"

namespace drv::host {
namespace {

// Before the first report: bytes of no report at all. Line formats get a
// garbled line; binary ones bytes without mark bits.
constexpr std::uint8_t kLineNoise[] = {0x01, 0x7F, 0xFF, 0x0D};
constexpr std::uint8_t kBinaryNoise[] = {0x01, 0x02};

std::vector<TabletSample> samplesFor(const std::string &model, int format,
                                     const TabletFormat &info) {
    const std::vector<std::int16_t> buttons = tabletButtons(model, format);
    const auto button = [&buttons](std::size_t i) {
        return buttons.empty() ? std::int16_t{0} : buttons[i % buttons.size()];
    };
    const std::size_t last = buttons.empty() ? 0 : buttons.size() - 1;
    return {
        {button(0), 0, 0},
        {button(last), info.maxX, info.maxY},
        {button(last / 2), info.maxX / 3, info.maxY / 2},
        {button(1), 12345 % (info.maxX + 1), 6789 % (info.maxY + 1)},
    };
}

} // namespace

bool TabletRoundTrip::matched() const {
    return !sent.empty() && decoded == sent && counts.rejected == 0 && counts.turnedAway == 0 &&
           counts.unframed == kDemoDamagedPieces;
}

std::vector<std::uint8_t> demoTabletStream(const std::string &model, int format,
                                           std::vector<TabletSample> &sent) {
    const std::optional<TabletFormat> info = tabletFormat(model, format);
    std::vector<std::uint8_t> stream;
    sent.clear();
    if (!info) {
        return stream;
    }
    if (info->kind == TabletReportKind::Ascii) {
        stream.assign(std::begin(kLineNoise), std::end(kLineNoise));
    } else {
        stream.assign(std::begin(kBinaryNoise), std::end(kBinaryNoise));
    }
    std::vector<std::uint8_t> report;
    const std::vector<TabletSample> samples = samplesFor(model, format, *info);
    for (std::size_t i = 0; i < samples.size(); ++i) {
        if (!encodeTabletReport(model, format, samples[i], report)) {
            continue;
        }
        if (i == 2) {
            // The same report once more, with a byte lost on the line.
            std::vector<std::uint8_t> damaged = report;
            damaged.erase(damaged.begin() + static_cast<std::ptrdiff_t>(damaged.size() / 2));
            stream.insert(stream.end(), damaged.begin(), damaged.end());
        }
        stream.insert(stream.end(), report.begin(), report.end());
        sent.push_back(samples[i]);
    }
    return stream;
}

TabletRoundTrip runTabletRoundTrip(DgdbinFunction entry, const std::string &model, int format) {
    TabletRoundTrip trip;
    trip.model = model;
    trip.format = format;
    trip.info = tabletFormat(model, format).value_or(TabletFormat{});
    trip.stream = demoTabletStream(model, format, trip.sent);

    TabletProfileSettings settings;
    settings.format = static_cast<std::int16_t>(format);
    settings.auxFormat = settings.format;
    settings.setupA = "\x1B"
                      "A";
    settings.setupB = "\x1B"
                      "B";
    TabletDecoder decoder(entry, settings);
    decoder.setup();
    const FramingChoice choice =
        chooseFraming(decoder.profile().frameByte, decoder.profile().reportLength, model, format,
                      std::nullopt, std::nullopt);
    trip.framingSource = choice.source;
    TabletStream stream(decoder, choice.framing, [&trip](const DigitizerRequest &point) {
        trip.decoded.push_back({point.button, point.x, point.y});
    });
    stream.feed(trip.stream);
    stream.finish();
    trip.counts = stream.counts();
    return trip;
}

} // namespace drv::host
