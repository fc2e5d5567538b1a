#include "host/decode/detect_language.h"

#include <algorithm>
#include <cctype>
#include <string>

#include "host/decode/hpgl2_decoder.h"
#include "host/decode/pci_decoder.h"
#include "host/decode/pci_framing.h"

namespace drv::decode {

std::optional<Language> languageNamed(std::string_view name) {
    if (name == "hpgl2") {
        return Language::Hpgl2;
    }
    if (name == "pci") {
        return Language::Pci;
    }
    return std::nullopt;
}

const char *languageName(Language language) { return language == Language::Pci ? "pci" : "hpgl2"; }

std::optional<Language> detectLanguage(std::span<const std::uint8_t> bytes) {
    // A PCI job's first record closes with the same eight codes whatever
    // its framing; HP-GL/2 text or PCL would hold them only by chance, and
    // never within its first bytes, where the record sits.
    constexpr std::size_t kLookAhead = 512;
    const std::span<const std::uint8_t> head = bytes.first(std::min(bytes.size(), kLookAhead));
    std::string found;
    if (pciPreambleLength(bytes) > 0) {
        return Language::Pci;
    }
    resolvePciFraming(head, {}, found);
    if (!found.empty()) {
        return Language::Pci;
    }
    std::size_t i = 0;
    while (i < head.size() && std::isspace(head[i])) {
        ++i;
    }
    if (i < head.size() && head[i] == 0x1B) {
        return Language::Hpgl2;
    }
    if (i + 1 < head.size() && std::isalpha(head[i]) && std::isalpha(head[i + 1])) {
        return Language::Hpgl2;
    }
    return std::nullopt;
}

Drawing decodeDevice(std::span<const std::uint8_t> bytes, std::optional<Language> language,
                     const PciFramingOptions &framing) {
    const std::optional<Language> found = language ? language : detectLanguage(bytes);
    if (found == Language::Pci) {
        return decodePci(bytes, framing);
    }
    Drawing drawing = decodeHpgl2(bytes);
    if (!found) {
        drawing.notes.insert(drawing.notes.begin(),
                             {0, 0, "the bytes show no device language: read as HP-GL/2"});
    }
    return drawing;
}

} // namespace drv::decode
