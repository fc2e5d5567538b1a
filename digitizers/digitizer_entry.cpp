#include "digitizers/digitizer_entry.h"

#include "digitizers/ascii_decoder.h"
#include "digitizers/binary_decoder.h"
#include "digitizers/setup_text.h"

namespace drv::digitizer {

const Format *selectedFormat(const DigitizerModel &model, const DigitizerProfile &profile) {
    std::int16_t selector = 1;
    switch (model.selector) {
    case Selector::ReportFormat:
        selector = profile.reportFormat;
        break;
    case Selector::AuxFormat:
        selector = profile.auxFormat;
        break;
    case Selector::None:
        break;
    }
    const Format *format = selector == 1 ? &model.format1 : selector == 2 ? &model.format2 : nullptr;
    return format != nullptr && format->kind != FormatKind::Absent ? format : nullptr;
}

Decoded decodeReport(const Format &format, unsigned char *report) {
    switch (format.kind) {
    case FormatKind::Ascii:
        return decodeAscii(format.ascii, report);
    case FormatKind::Binary:
        return decodeBinary(format.binary, report);
    case FormatKind::Absent:
    case FormatKind::NoDecoder:
        break;
    }
    return {};
}

std::int32_t runDigitizer(const DigitizerModel &model, DigitizerProfile *profile,
                          DigitizerRequest *request, unsigned char *buffer) {
    switch (request->op) {
    case DgdOpSetup: {
        buffer[0] = 0;
        if (const Format *format = selectedFormat(model, *profile)) {
            writeSetup(*format, *profile, buffer);
        }
        return 0;
    }
    case DgdOpDecode: {
        const Format *format = selectedFormat(model, *profile);
        if (format == nullptr) {
            return 0;
        }
        const Decoded decoded = decodeReport(*format, buffer);
        if (decoded.reading) {
            request->button = decoded.reading->button;
            request->x = decoded.reading->x;
            request->y = decoded.reading->y;
            request->z = 0;
        }
        return decoded.status;
    }
    default:
        buffer[0] = 0;
        return 0;
    }
}

}  // namespace drv::digitizer
