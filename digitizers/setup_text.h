// The set-up step: the text a tablet needs before use and its report framing.
#pragma once

#include <cstddef>

#include "digitizers/digitizer_model.h"
#include "drvsuite/digitizer.h"

namespace drv::digitizer {

// Writes `format`'s framing bytes into the profile (unless the format
// leaves them as they are) and its set-up text, NUL included, into
// `buffer`. A profile text is cut at 39 characters when its 40 bytes hold
// no NUL, so nothing past its field is read. Returns the bytes written to
// the buffer, the NUL counted: at most DGD_SETUP_TEXT_SIZE.
std::size_t writeSetup(const Format &format, DigitizerProfile &profile, unsigned char *buffer);

// Copies `text` up to its NUL or `limit` characters, whichever comes first,
// then a NUL. Returns the bytes written, the NUL counted (at most limit + 1).
std::size_t copySetupText(unsigned char *buffer, const char *text, std::size_t limit);

}  // namespace drv::digitizer
