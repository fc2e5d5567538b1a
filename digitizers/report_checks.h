// The checks that turn a report away before anything is decoded.
//
// Shared by the decoders and by the report encoder of the host tool, which
// must produce reports the tablet's driver accepts.
#pragma once

#include "digitizers/digitizer_model.h"
#include "digitizers/report_bytes.h"

namespace drv::digitizer {

// True when an ASCII report passes the model's guard. RequireDigits looks
// at the span in ascending order and stops at the first non-digit.
constexpr bool asciiGuardPasses(const AsciiGuard &guard, const unsigned char *report) {
    switch (guard.kind) {
    case AsciiGuardKind::None:
        return true;
    case AsciiGuardKind::RequireDigits:
        for (std::size_t i = guard.span.first; i <= guard.span.last; ++i) {
            const std::int32_t c = signedByte(report, i);
            if (c < '0' || c > '9') {
                return false;
            }
        }
        return true;
    case AsciiGuardKind::RequireChar:
        return signedByte(report, guard.span.first) == guard.character;
    case AsciiGuardKind::RejectChar:
        return signedByte(report, guard.span.first) != guard.character;
    }
    return true;
}

// True when a binary report passes the model's test (or it has none).
constexpr bool binaryTestPasses(const BinaryTest &test, const unsigned char *report) {
    return test.mask == 0 || (signedByte(report, test.at) & test.mask) == 0;
}

}  // namespace drv::digitizer
