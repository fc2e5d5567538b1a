// One configured tablet: its profile record and the driver calls on it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "drvsuite/digitizer.h"
#include "host/tablet/tablet_framer.h"

namespace drv::host {

struct TabletProfileSettings {
    std::int16_t format = 1;    // reportFormat
    std::int16_t auxFormat = 1; // auxFormat (read by one model in place of the format)
    std::string setupA;         // at most 39 bytes each
    std::string setupB;
    std::uint8_t frameByte = 0;    // what the profile holds before set-up; a
    std::uint8_t reportLength = 0; // driver that declares no framing keeps it
};

// The longest set-up text a profile holds.
constexpr std::size_t kMaxSetupText = DGD_SETUP_TEXT_SIZE - 1;

class TabletDecoder {
public:
    enum class Outcome {
        Decoded,   // the request holds the report's button and point
        Rejected,  // the driver answered -9
        TurnedAway // the driver answered 0 but wrote nothing: the model's
                   // checks refused the report, or the format has no decoder
    };

    TabletDecoder(DgdbinFunction entry, const TabletProfileSettings &settings);

    // Calls the set-up operation and returns the text to send to the tablet
    // (the bytes before the NUL). The profile then holds the framing.
    std::string setup();

    const DigitizerProfile &profile() const { return profile_; }

    // Decodes one report: the bytes are copied to the start of a zero-filled
    // buffer of at least DGD_MIN_BUFFER_SIZE bytes (every offset a decoder
    // reads lies inside it) and handed to the driver.
    Outcome decode(std::span<const std::uint8_t> report, DigitizerRequest &result);

private:
    DgdbinFunction entry_;
    DigitizerProfile profile_{};
};

} // namespace drv::host
