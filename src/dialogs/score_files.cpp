// Score file and section names. Section names must read back as written and stay apart:
// two lists that shared a section would mix their times.
#include "dialogs/score_files.h"

#include <string>

#include "platform/game_directory.h"
#include "platform/profile.h"

namespace {

// The length of the UTF-8 character that starts text; 0 when none does, or when it is a
// control character.
std::size_t CharacterLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text[0]);
  std::size_t length = 0;
  if (lead >= 0x20 && lead < 0x7F) length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (length > text.size()) return 0;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 0;
  }
  return length;
}

std::string FileLetter(std::string_view listName) {
  std::size_t separator = listName.rfind('/');
  if (separator == std::string_view::npos) separator = listName.rfind('\\');
  if (separator == std::string_view::npos || separator + 1 == listName.size()) return {};
  const std::string_view rest = listName.substr(separator + 1);
  return std::string(rest.substr(0, CharacterLength(rest)));
}

// Bytes the profile functions would lose or misread in a section name.
bool Unsafe(unsigned char c, bool atEnd) {
  return c < 0x20 || c == 0x7F || c == ']' || (atEnd && c == ' ');
}

}  // namespace

std::string ScoreDirectory() {
  return std::string(GameDirectory()) + "Scores/";
}

std::string ScoreFilePath(std::string_view listName, TGameType type) {
  return ScoreDirectory() + (type == TGameType::Jigsaw ? "Timej" : "Times") + FileLetter(listName) +
         ".ini";
}

std::string ScoreSectionName(std::string_view listName) {
  // Only escaped names start with "%", so no plain name can equal one.
  bool plain = listName.empty() || listName.front() != '%';
  for (std::size_t i = 0; plain && i < listName.size(); ++i) {
    const bool atEnd = i == 0 || i + 1 == listName.size();
    plain = !Unsafe(static_cast<unsigned char>(listName[i]), atEnd);
  }
  if (plain) return std::string(listName);

  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string section = "%";
  for (std::size_t i = 0; i < listName.size(); ++i) {
    const auto c = static_cast<unsigned char>(listName[i]);
    if (c == '%' || Unsafe(c, i == 0 || i + 1 == listName.size())) {
      section += '%';
      section += kHex[c >> 4];
      section += kHex[c & 0xF];
    } else {
      section += static_cast<char>(c);
    }
  }
  return section;
}

TSectionMatch ScoreSectionMatch(std::string_view listName) {
  return listName == "Alphabet" || listName == "Numeric" ? TSectionMatch::IgnoreCase
                                                         : TSectionMatch::Exact;
}

bool WriteScoreRecord(TGameType type, const char* listName, const char* record, int key) {
  if (listName == nullptr || record == nullptr || key < 0) return false;
  return WritePrivateProfileStringA(ScoreSectionName(listName).c_str(), std::to_string(key).c_str(),
                                    record, ScoreFilePath(listName, type).c_str(),
                                    ScoreSectionMatch(listName)) != 0;
}
