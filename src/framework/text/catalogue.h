// One language's texts from a compiled gettext catalogue (a .mo file), by their English
// (private to the framework).
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

class TCatalogue {
 public:
  // The texts of a .mo file's bytes, of either byte order; nothing when the bytes are not
  // a whole catalogue. Entries with contexts or plurals are left out: the program asks
  // for neither.
  static std::optional<TCatalogue> Read(std::string_view bytes);
  static std::optional<TCatalogue> Load(const std::string& path);

  // The translation of english, or null.
  const std::string* Find(std::string_view english) const;
  std::size_t Size() const { return Texts.size(); }

 private:
  std::unordered_map<std::string, std::string> Texts;
};
