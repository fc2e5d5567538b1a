#include "digitizers/setup_text.h"

#include <algorithm>

namespace drv::digitizer {

std::size_t copySetupText(unsigned char *buffer, const char *text, std::size_t limit) {
    std::size_t n = 0;
    for (; n < limit && text[n] != '\0'; ++n) {
        buffer[n] = static_cast<unsigned char>(text[n]);
    }
    buffer[n] = '\0';
    return n + 1;
}

std::size_t writeSetup(const Format &format, DigitizerProfile &profile, unsigned char *buffer) {
    if (format.framing.write) {
        profile.frameByte = format.framing.frameByte;
        profile.reportLength = format.framing.reportLength;
    }
    constexpr std::size_t kLongestText = DGD_SETUP_TEXT_SIZE - 1;
    switch (format.text) {
    case TextSource::Empty:
        break;
    case TextSource::SetupA:
        return copySetupText(buffer, profile.setupA, kLongestText);
    case TextSource::SetupB:
        return copySetupText(buffer, profile.setupB, kLongestText);
    case TextSource::Fixed:
        return copySetupText(buffer, format.fixedText.data(),
                             std::min(format.fixedText.size(), kLongestText));
    }
    buffer[0] = '\0';
    return 1;
}

}  // namespace drv::digitizer
