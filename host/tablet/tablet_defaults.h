// Exact framing for the tablet models the suite knows.
//
// A driver declares a frame byte and a length; the suite's report encoder
// knows more: the length of every report the model's format makes, the
// byte past the declared length included where the decoder reads it, and
// a frame byte for the models that declare none. Framed by that exact
// length, a report that lost a byte is always recognised.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "host/tablet/tablet_framer.h"

namespace drv::host {

// The exact framing of format `format` of `model` (slack 0): CR- or
// LF-ended lines of the format's character count, or reports of the
// format's byte count whose first byte carries the mark bits. Nothing when
// the model or format has no decoder in the suite.
std::optional<TabletFraming> knownFraming(std::string_view model, int format);

struct FramingChoice {
    TabletFraming framing;
    const char *source; // why this framing, for the person watching
};

// The framing a host uses for format `format` of `model` after set-up left
// `frameByte` and `reportLength` in the profile: the user's framing when
// given (either override, the other taken from the profile); else the
// exact one of a model the suite knows, unless the driver declared reports
// of another kind; else what the driver declared; else lines of any length.
FramingChoice chooseFraming(std::uint8_t frameByte, std::uint8_t reportLength,
                            std::string_view model, int format,
                            std::optional<std::uint8_t> frameOverride,
                            std::optional<std::uint8_t> lengthOverride);

} // namespace drv::host
