// Which device language a stream of bytes is in, where the bytes tell.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

#include "host/decode/drawing.h"
#include "host/decode/pci_framing.h"

namespace drv::decode {

enum class Language { Hpgl2, Pci };

// "hpgl2" or "pci"; nothing for another name.
std::optional<Language> languageNamed(std::string_view name);
const char *languageName(Language language);

// PCI when the stream opens with the device-control preamble or holds a
// job's first record (its fixed closing codes after any bias); HP-GL/2 when
// it opens, after blanks, with an escape sequence or two letters; nothing
// when neither shows.
std::optional<Language> detectLanguage(std::span<const std::uint8_t> bytes);

// Decodes `bytes` in `language`, or in the language found from them;
// bytes in neither are read as HP-GL/2, with a note saying so. `framing` is
// used for PCI.
Drawing decodeDevice(std::span<const std::uint8_t> bytes, std::optional<Language> language,
                     const PciFramingOptions &framing);

} // namespace drv::decode
