#include "host/tablet/tablet_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <vector>

namespace drv::host {
namespace {

void copyText(char (&field)[DGD_SETUP_TEXT_SIZE], const std::string &text) {
    const std::size_t n = std::min(text.size(), kMaxSetupText);
    std::memcpy(field, text.data(), n);
    field[n] = '\0';
}

// A decode that succeeds always writes z = 0, so a request whose z still
// holds this afterwards was left alone.
constexpr std::int32_t kUntouched = std::numeric_limits<std::int32_t>::min();

} // namespace

TabletDecoder::TabletDecoder(DgdbinFunction entry, const TabletProfileSettings &settings)
    : entry_(entry) {
    profile_.reportFormat = settings.format;
    profile_.auxFormat = settings.auxFormat;
    copyText(profile_.setupA, settings.setupA);
    copyText(profile_.setupB, settings.setupB);
    profile_.frameByte = settings.frameByte;
    profile_.reportLength = settings.reportLength;
}

std::string TabletDecoder::setup() {
    std::array<unsigned char, DGD_MIN_BUFFER_SIZE + 1> buffer{};
    DigitizerRequest request{};
    request.op = DgdOpSetup;
    entry_(&profile_, &request, buffer.data());
    // The driver writes at most 39 characters and a NUL; the extra zero
    // byte stops the scan even if it did not.
    return std::string(reinterpret_cast<const char *>(buffer.data()));
}

TabletDecoder::Outcome TabletDecoder::decode(std::span<const std::uint8_t> report,
                                             DigitizerRequest &result) {
    std::vector<unsigned char> buffer(std::max<std::size_t>(DGD_MIN_BUFFER_SIZE, report.size() + 1),
                                      0);
    std::copy(report.begin(), report.end(), buffer.begin());
    DigitizerRequest request{};
    request.op = DgdOpDecode;
    request.z = kUntouched;
    const std::int32_t status = entry_(&profile_, &request, buffer.data());
    if (status == DGD_REJECTED) {
        return Outcome::Rejected;
    }
    if (request.z == kUntouched) {
        return Outcome::TurnedAway;
    }
    result = request;
    return Outcome::Decoded;
}

} // namespace drv::host
