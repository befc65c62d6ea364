#include "framework/text/catalogue.h"

#include <cstdint>
#include <fstream>

namespace {

constexpr std::uint32_t Magic = 0x950412DE;
constexpr std::uint32_t SwappedMagic = 0xDE120495;
constexpr std::size_t MaxBytes = 16u << 20;  // far above any catalogue of this program

class TWords {
 public:
  TWords(std::string_view bytes, bool swapped) : Bytes(bytes), Swapped(swapped) {}

  std::optional<std::uint32_t> At(std::uint64_t offset) const {
    if (offset + 4 > Bytes.size()) return std::nullopt;
    std::uint32_t word = 0;
    for (int i = 0; i < 4; ++i) {
      const auto byte = static_cast<std::uint8_t>(Bytes[offset + static_cast<unsigned>(i)]);
      word |= std::uint32_t{byte} << (Swapped ? 8 * (3 - i) : 8 * i);
    }
    return word;
  }

  // The string described by the (length, offset) pair at entry.
  std::optional<std::string_view> String(std::uint64_t entry) const {
    const auto length = At(entry);
    const auto offset = At(entry + 4);
    if (!length || !offset || std::uint64_t{*offset} + *length > Bytes.size()) {
      return std::nullopt;
    }
    return Bytes.substr(*offset, *length);
  }

 private:
  std::string_view Bytes;
  bool Swapped;
};

}  // namespace

std::optional<TCatalogue> TCatalogue::Read(std::string_view bytes) {
  const auto magic = TWords(bytes, false).At(0);
  if (!magic || (*magic != Magic && *magic != SwappedMagic)) return std::nullopt;
  const TWords words(bytes, *magic == SwappedMagic);
  const auto revision = words.At(4);
  const auto count = words.At(8);
  const auto originals = words.At(12);
  const auto translations = words.At(16);
  if (!revision || (*revision >> 16) != 0 || !count || !originals || !translations) {
    return std::nullopt;
  }
  TCatalogue catalogue;
  for (std::uint64_t i = 0; i < *count; ++i) {
    const auto english = words.String(*originals + 8 * i);
    const auto translated = words.String(*translations + 8 * i);
    if (!english || !translated) return std::nullopt;
    // The header (empty English), contexts (after a 4) and plurals (after a 0) are not ours.
    if (english->empty() ||
        english->find_first_of(std::string_view("\x04\0", 2)) != std::string_view::npos) {
      continue;
    }
    if (translated->empty()) continue;
    catalogue.Texts.emplace(*english, *translated);
  }
  return catalogue;
}

std::optional<TCatalogue> TCatalogue::Load(const std::string& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return std::nullopt;
  std::string bytes;
  file.seekg(0, std::ios::end);
  const std::streamoff size = file.tellg();
  if (size <= 0 || static_cast<std::uint64_t>(size) > MaxBytes) return std::nullopt;
  bytes.resize(static_cast<std::size_t>(size));
  file.seekg(0);
  if (!file.read(bytes.data(), size)) return std::nullopt;
  return Read(bytes);
}

const std::string* TCatalogue::Find(std::string_view english) const {
  const auto found = Texts.find(std::string(english));
  return found != Texts.end() ? &found->second : nullptr;
}
