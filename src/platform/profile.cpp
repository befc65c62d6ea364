// The profile (INI file) functions: lookups over the lines of the file, and writes that
// change only the lines they must and replace the file through a temporary beside it.
#include "platform/profile.h"

#include "platform/profile_storage.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Blanks around names and values. A stray carriage return counts too, so that a last line
// ending in a lone CR reads the same before and after a newline is added behind it.
constexpr bool IsBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r';
}

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimRight(std::string_view s) {
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

std::string_view Trim(std::string_view s) {
  return TrimRight(TrimLeft(s));
}

constexpr char LowerAscii(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (LowerAscii(a[i]) != LowerAscii(b[i])) return false;
  }
  return true;
}

bool SameSection(std::string_view a, std::string_view b, TSectionMatch match) {
  return match == TSectionMatch::Exact ? a == b : SameName(a, b);
}

std::string_view Unquote(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

// One line of a file, as views into the text it was read from.
struct Line {
  std::string_view text;    // the bytes before the line ending
  std::string_view ending;  // "\n" or "\r\n"; empty only for a last line without one

  // The line with its ending, which follows the text directly.
  std::string_view Whole() const { return {text.data(), text.size() + ending.size()}; }
};

// Walks the lines of a file's content without copying them.
class LineReader {
 public:
  explicit LineReader(std::string_view content) : rest_(content) {}

  bool Next(Line& line) {
    if (rest_.empty()) return false;
    const std::size_t newline = rest_.find('\n');
    if (newline == std::string_view::npos) {
      line = {rest_, rest_.substr(rest_.size())};
      rest_ = rest_.substr(rest_.size());
      return true;
    }
    std::size_t textEnd = newline;
    if (textEnd > 0 && rest_[textEnd - 1] == '\r') --textEnd;
    line = {rest_.substr(0, textEnd), rest_.substr(textEnd, newline + 1 - textEnd)};
    rest_.remove_prefix(newline + 1);
    return true;
  }

 private:
  std::string_view rest_;
};

// What a line means. Views point into the line's text.
struct Entry {
  enum Kind { kOther, kSection, kKey };
  Kind kind = kOther;
  std::string_view name;        // trimmed section or key name
  std::string_view value;       // trimmed value, quotes still on
  std::size_t valueOffset = 0;  // where the value starts in the line, for replacing it
};

Entry Classify(std::string_view text) {
  // Anything after a NUL byte is ignored, so that names and values stay C strings.
  text = text.substr(0, text.find('\0'));
  const std::string_view body = TrimLeft(text);
  if (body.empty() || body.front() == ';') return {};
  if (body.front() == '[') {
    // The last ']' closes the name: picture paths used as section names may hold one.
    const std::size_t close = body.rfind(']');
    if (close == std::string_view::npos) return {};
    return {Entry::kSection, Trim(body.substr(1, close - 1)), {}, 0};
  }
  const std::size_t equals = text.find('=');
  if (equals == std::string_view::npos) return {};
  const std::string_view name = Trim(text.substr(0, equals));
  if (name.empty()) return {};
  std::size_t valueOffset = equals + 1;
  while (valueOffset < text.size() && IsBlank(text[valueOffset])) ++valueOffset;
  return {Entry::kKey, name, TrimRight(text.substr(valueOffset)), valueOffset};
}

// Reads see an unreadable file as a missing one: the caller gets its defaults.
std::string LoadContent(const char* fileName) {
  std::string content;
  if (fileName == nullptr || ProfileStorage().Read(fileName, content) != TReadStatus::Ok) {
    content.clear();
  }
  return content;
}

// Calls visit with each key line of the first section of the name, until it returns true.
// Only the first section of a name counts, for reads and writes alike.
template <typename Visit>
void VisitSection(std::string_view content, std::string_view section, TSectionMatch match,
                  Visit visit) {
  LineReader reader(content);
  Line line;
  bool inside = false;
  while (reader.Next(line)) {
    const Entry entry = Classify(line.text);
    if (entry.kind == Entry::kSection) {
      if (inside) return;
      inside = SameSection(entry.name, section, match);
    } else if (inside && entry.kind == Entry::kKey && visit(entry)) {
      return;
    }
  }
}

std::optional<std::string_view> LookupValue(std::string_view content, std::string_view section,
                                            std::string_view key, TSectionMatch match) {
  std::optional<std::string_view> value;
  VisitSection(content, section, match, [&](const Entry& entry) {
    if (!SameName(entry.name, key)) return false;
    value = Unquote(entry.value);
    return true;
  });
  return value;
}

void AddUniqueName(std::vector<std::string_view>& names, std::string_view name) {
  // An empty name would read as the end of the list.
  if (name.empty()) return;
  for (const std::string_view known : names) {
    if (SameName(known, name)) return;
  }
  names.push_back(name);
}

std::vector<std::string_view> SectionNames(std::string_view content) {
  std::vector<std::string_view> names;
  LineReader reader(content);
  Line line;
  while (reader.Next(line)) {
    const Entry entry = Classify(line.text);
    if (entry.kind == Entry::kSection) AddUniqueName(names, entry.name);
  }
  return names;
}

std::vector<std::string_view> KeyNames(std::string_view content, std::string_view section,
                                       TSectionMatch match) {
  std::vector<std::string_view> names;
  VisitSection(content, section, match, [&](const Entry& entry) {
    AddUniqueName(names, entry.name);
    return false;
  });
  return names;
}

DWORD CopyString(std::string_view text, char* buffer, DWORD size) {
  const std::size_t count = Utf8CutLength(text, std::size_t{size} - 1);
  std::memcpy(buffer, text.data(), count);
  buffer[count] = '\0';
  return static_cast<DWORD>(count);
}

// Names each followed by a terminator, then one more. A list that does not fit is cut to
// size - 2 characters and closed with two terminators.
DWORD CopyList(const std::vector<std::string_view>& names, char* buffer, DWORD size) {
  std::size_t length = 0;
  for (const std::string_view name : names) length += name.size() + 1;
  const bool fits = length + 1 <= size;
  if (!fits && size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  const std::size_t count = fits ? length : std::size_t{size} - 2;
  std::size_t at = 0;
  for (const std::string_view name : names) {
    if (at == count) break;
    const std::size_t part = std::min(name.size(), count - at);
    std::memcpy(buffer + at, name.data(), part);
    at += part;
    if (at < count) buffer[at++] = '\0';
  }
  buffer[count] = '\0';
  if (count + 1 < size && (!fits || count == 0)) buffer[count + 1] = '\0';
  return static_cast<DWORD>(count);
}

UINT ParseUint(std::string_view text) {
  text = TrimLeft(text);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  UINT value = 0;  // unsigned, so overflow wraps at 32 bits
  auto hexDigit = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    c = LowerAscii(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
  };
  if (text.size() > 2 && text[0] == '0' && LowerAscii(text[1]) == 'x' && hexDigit(text[2]) >= 0) {
    for (std::size_t i = 2; i < text.size() && hexDigit(text[i]) >= 0; ++i) {
      value = value * 16u + static_cast<UINT>(hexDigit(text[i]));
    }
  } else {
    for (std::size_t i = 0; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
      value = value * 10u + static_cast<UINT>(text[i] - '0');
    }
  }
  return negative ? 0u - value : value;
}

bool HasLineBreak(std::string_view s) {
  return s.find_first_of("\r\n") != std::string_view::npos;
}

// Names and values that would not read back as written are refused rather than written.
bool WritableSection(std::string_view name) {
  return !HasLineBreak(name);
}

bool WritableKey(std::string_view name) {
  return !name.empty() && name.front() != '[' && name.front() != ';' &&
         name.find('=') == std::string_view::npos && !HasLineBreak(name);
}

// The line ending new lines get: the file's own, else a plain newline.
std::string_view LineEndingOf(std::string_view content) {
  const std::size_t newline = content.find('\n');
  if (newline == std::string_view::npos) return "\n";
  return newline > 0 && content[newline - 1] == '\r' ? "\r\n" : "\n";
}

std::size_t OffsetIn(std::string_view content, std::string_view part) {
  return static_cast<std::size_t>(part.data() - content.data());
}

// Each change builds the new content in out and returns whether it changed anything. New
// lines that follow a last line without an ending give it one and go without, as it did.
bool SetValue(std::string_view content, std::string_view section, std::string_view key,
              std::string_view value, TSectionMatch match, std::string& out) {
  const std::string_view ending = LineEndingOf(content);
  LineReader reader(content);
  Line line;
  bool inside = false;
  std::size_t insertAt = std::string_view::npos;  // behind the section's last key or header
  bool unended = false;
  while (reader.Next(line)) {
    const Entry entry = Classify(line.text);
    if (entry.kind == Entry::kSection) {
      if (inside) break;
      inside = SameSection(entry.name, section, match);
    } else if (!inside || entry.kind != Entry::kKey) {
      continue;
    } else if (SameName(entry.name, key)) {
      // Keep the key as spelled and any blanks after '='; only the value changes. A value
      // that brings its own leading blanks replaces the old ones, or every rewrite of the
      // same value would add to them.
      std::string_view kept = line.text.substr(0, entry.valueOffset);
      if (!value.empty() && IsBlank(value.front())) kept = TrimRight(kept);
      const std::size_t start = OffsetIn(content, line.text);
      out.reserve(content.size() + value.size());
      out.append(content.substr(0, start)).append(kept).append(value);
      out.append(content.substr(start + line.text.size()));
      return true;
    }
    if (inside) {
      insertAt = OffsetIn(content, line.Whole()) + line.Whole().size();
      unended = line.ending.empty();
    }
  }
  out.reserve(content.size() + section.size() + key.size() + value.size() + 8);
  if (insertAt == std::string_view::npos) {
    insertAt = content.size();
    unended = !content.empty() && content.back() != '\n';
  }
  out.append(content.substr(0, insertAt));
  if (unended) out.append(ending);
  if (!inside) out.append(1, '[').append(section).append(1, ']').append(ending);
  out.append(key).append(1, '=').append(value);
  if (!unended) out.append(ending);
  out.append(content.substr(insertAt));
  return true;
}

bool DeleteKey(std::string_view content, std::string_view section, std::string_view key,
               TSectionMatch match, std::string& out) {
  enum { kBefore, kInside, kAfter } place = kBefore;
  bool changed = false;
  out.reserve(content.size());
  LineReader reader(content);
  Line line;
  while (reader.Next(line)) {
    const Entry entry = Classify(line.text);
    if (entry.kind == Entry::kSection && place != kAfter) {
      place = place == kInside                          ? kAfter
              : SameSection(entry.name, section, match) ? kInside
                                                        : kBefore;
    } else if (place == kInside && entry.kind == Entry::kKey && SameName(entry.name, key)) {
      changed = true;
      continue;
    }
    out.append(line.Whole());
  }
  return changed;
}

// Every section of the name goes, so that no later copy of it becomes visible.
bool DeleteSection(std::string_view content, std::string_view section, TSectionMatch match,
                   std::string& out) {
  bool changed = false;
  bool dropping = false;
  out.reserve(content.size());
  LineReader reader(content);
  Line line;
  while (reader.Next(line)) {
    const Entry entry = Classify(line.text);
    if (entry.kind == Entry::kSection) {
      dropping = SameSection(entry.name, section, match);
      changed = changed || dropping;
    }
    if (!dropping) out.append(line.Whole());
  }
  return changed;
}

}  // namespace

UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                           const char* fileName) {
  const UINT fallback = static_cast<UINT>(defaultValue);
  if (section == nullptr || key == nullptr) return fallback;
  const std::string content = LoadContent(fileName);
  const std::optional<std::string_view> value =
      LookupValue(content, Trim(section), Trim(key), TSectionMatch::IgnoreCase);
  return value ? ParseUint(*value) : fallback;
}

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName,
                               TSectionMatch match) {
  if (buffer == nullptr || size == 0) return 0;
  const std::string content = LoadContent(fileName);
  if (section == nullptr) return CopyList(SectionNames(content), buffer, size);
  if (key == nullptr) return CopyList(KeyNames(content, Trim(section), match), buffer, size);
  const std::optional<std::string_view> value =
      LookupValue(content, Trim(section), Trim(key), match);
  if (value) return CopyString(*value, buffer, size);
  // Trailing blanks of the default are dropped, as they would be from a stored value.
  return CopyString(TrimRight(defaultValue != nullptr ? defaultValue : ""), buffer, size);
}

BOOL WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName, TSectionMatch match) {
  if (section == nullptr || fileName == nullptr) return 0;
  const std::string_view sectionName = Trim(section);
  const std::string_view keyName = key != nullptr ? Trim(key) : std::string_view();
  if (!WritableSection(sectionName)) return 0;
  if (key != nullptr && !WritableKey(keyName)) return 0;
  if (value != nullptr && HasLineBreak(value)) return 0;

  std::string content;
  const TReadStatus status = ProfileStorage().Read(fileName, content);
  // Never overwrite a file whose content we could not read.
  if (status == TReadStatus::Failed) return 0;
  const bool deleting = key == nullptr || value == nullptr;
  if (status == TReadStatus::Missing && deleting) return 1;

  std::string replacement;
  bool changed = false;
  if (key == nullptr) {
    changed = DeleteSection(content, sectionName, match, replacement);
  } else if (value == nullptr) {
    changed = DeleteKey(content, sectionName, keyName, match, replacement);
  } else {
    changed = SetValue(content, sectionName, keyName, value, match, replacement);
  }
  if (!changed) return 1;
  // Readers see the old file or the new one, never half of one.
  return ProfileStorage().Replace(fileName, replacement) ? 1 : 0;
}
