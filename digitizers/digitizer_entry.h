// The one entry point behind every tablet library's `dgdbin`.
#pragma once

#include <cstdint>

#include "digitizers/decoded_report.h"
#include "digitizers/digitizer_model.h"
#include "drvsuite/digitizer.h"

namespace drv::digitizer {

// Serves one call for `model`. Op 1 clears buffer[0], then for a valid
// selector writes the framing and the set-up text (at most 40 bytes); op 3
// decodes the report in the buffer (reading at most offset 20) and fills
// the request only on success; every other op clears buffer[0]. Returns 0,
// or -9 when the decoder's check so says. All three pointers must be valid.
std::int32_t runDigitizer(const DigitizerModel &model, DigitizerProfile *profile,
                          DigitizerRequest *request, unsigned char *buffer);

// The format the profile's selector picks, or null when the selector holds
// neither 1 nor 2 or the model has no such format.
const Format *selectedFormat(const DigitizerModel &model, const DigitizerProfile &profile);

// Runs `format`'s decoder over `report`; formats without a decoder yield no
// reading and status 0.
Decoded decodeReport(const Format &format, unsigned char *report);

}  // namespace drv::digitizer
