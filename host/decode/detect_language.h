// Which device language a stream of bytes is in, where the bytes tell.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

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

} // namespace drv::decode
