// A stand-in tablet driver for the host's tests.
//
// Format 1: line reports of 12 characters ended by CR: "BXXXXX,YYYYY"
// (button digit, two 5-digit fields). Format 2: 6-byte reports marked by
// bit 7 of the first byte: b0 = 0x80 | button << 2, x = b1 * 128 + b2,
// y = b4 * 128 + b5. A binary report with b0 bit 6 set is rejected (-9);
// one with b3 other than 0, or a line report starting with '#', is turned
// away with 0 and the request left alone. Set-up text: setupA.
#include <cstring>

#include "drvsuite/digitizer.h"

namespace {

int field(const unsigned char *buffer, int from, int count) {
    int value = 0;
    for (int i = from; i < from + count; ++i) {
        value = value * 10 + (buffer[i] - '0');
    }
    return value;
}

} // namespace

extern "C" DRV_ENTRY int32_t DRV_CALL dgdbin(DigitizerProfile *profile, DigitizerRequest *request,
                                             unsigned char *buffer) {
    const bool lines = profile->reportFormat == 1;
    if (request->op != DgdOpDecode) {
        buffer[0] = 0;
        if (request->op == DgdOpSetup) {
            profile->frameByte = lines ? 0x0D : 0x80;
            profile->reportLength = lines ? 12 : 6;
            std::strcpy(reinterpret_cast<char *>(buffer), profile->setupA);
        }
        return 0;
    }
    if (lines) {
        if (buffer[0] == '#') {
            return 0;
        }
        request->button = static_cast<int16_t>(buffer[0] - '0');
        request->x = field(buffer, 1, 5);
        request->y = field(buffer, 7, 5);
    } else {
        if ((buffer[0] & 0x40) != 0) {
            return DGD_REJECTED;
        }
        if (buffer[3] != 0) {
            return 0;
        }
        request->button = static_cast<int16_t>((buffer[0] >> 2) & 0x0F);
        request->x = buffer[1] * 128 + buffer[2];
        request->y = buffer[4] * 128 + buffer[5];
    }
    request->z = 0;
    return 0;
}
