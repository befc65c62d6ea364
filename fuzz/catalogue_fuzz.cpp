// Fuzz target for the catalogue reader: any bytes give a catalogue or none, never a read
// outside them, and never more texts than the tables hold.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string_view>

#include "framework/text/catalogue.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::optional<TCatalogue> catalogue = TCatalogue::Read(bytes);
  // Each text takes two 8-byte entries in the tables.
  if (catalogue && catalogue->Size() * 16 > size) {
    std::fprintf(stderr, "catalogue_fuzz: more texts than the tables hold\n");
    std::abort();
  }
  return 0;
}
