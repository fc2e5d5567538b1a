// The demo's tablet part: for each model and report format, a stream of
// reports made by the suite's encoder from known points, sent through the
// model's library the way `drvhost tablet` reads a tablet, and compared.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "digitizers/encoder/tablet_encoder.h"
#include "drvsuite/digitizer.h"
#include "host/tablet/tablet_stream.h"

namespace drv::host {

struct TabletRoundTrip {
    std::string model;
    int format = 0;
    TabletFormat info{};
    std::vector<TabletSample> sent;    // the known points, in order
    std::vector<std::uint8_t> stream;  // what the "tablet" sent
    std::vector<TabletSample> decoded; // what came back
    TabletCounts counts;
    const char *framingSource = "";
    // Every point came back, in order, and only the damage was dropped.
    bool matched() const;
};

// The stream for one format: line noise, four reports, and between them a
// fifth that lost a byte, so that the framer has to drop two pieces.
std::vector<std::uint8_t> demoTabletStream(const std::string &model, int format,
                                           std::vector<TabletSample> &sent);

// Sets up the library as `drvhost tablet` does (both format selectors set to
// `format`) and decodes the demo stream for that format.
TabletRoundTrip runTabletRoundTrip(DgdbinFunction entry, const std::string &model, int format);

// Pieces of every demo stream that are meant to be dropped.
constexpr std::size_t kDemoDamagedPieces = 2;

} // namespace drv::host
