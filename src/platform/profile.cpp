// The profile (INI file) functions: lookups over the lines of the file, and writes that
// change only the lines they must and replace the file through a temporary beside it.
#include "platform/profile.h"

#include "platform/replace_file.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
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

struct Line {
  std::string text;    // the bytes before the line ending
  std::string ending;  // "\n" or "\r\n"; empty only for a last line without one
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

std::vector<Line> SplitLines(const std::string& content) {
  std::vector<Line> lines;
  std::size_t pos = 0;
  while (pos < content.size()) {
    const std::size_t newline = content.find('\n', pos);
    if (newline == std::string::npos) {
      lines.push_back({content.substr(pos), {}});
      break;
    }
    std::size_t textEnd = newline;
    if (textEnd > pos && content[textEnd - 1] == '\r') --textEnd;
    lines.push_back(
        {content.substr(pos, textEnd - pos), content.substr(textEnd, newline + 1 - textEnd)});
    pos = newline + 1;
  }
  return lines;
}

std::string JoinLines(const std::vector<Line>& lines) {
  std::string out;
  for (const Line& line : lines) {
    out += line.text;
    out += line.ending;
  }
  return out;
}

enum class ReadStatus { kOk, kMissing, kFailed };

ReadStatus ReadWholeFile(const char* fileName, std::string& content) {
  content.clear();
  std::FILE* file = std::fopen(fileName, "rb");
  if (file == nullptr) return errno == ENOENT ? ReadStatus::kMissing : ReadStatus::kFailed;
  char chunk[16384];
  std::size_t got = 0;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) content.append(chunk, got);
  const bool failed = std::ferror(file) != 0;
  std::fclose(file);
  return failed ? ReadStatus::kFailed : ReadStatus::kOk;
}

// Reads see an unreadable file as a missing one: the caller gets its defaults.
std::vector<Line> LoadLines(const char* fileName) {
  std::string content;
  if (fileName == nullptr || ReadWholeFile(fileName, content) != ReadStatus::kOk) return {};
  return SplitLines(content);
}

constexpr std::size_t kNone = static_cast<std::size_t>(-1);

// Only the first section of a name counts, for reads and writes alike.
std::size_t FindSection(const std::vector<Line>& lines, std::string_view name, TSectionMatch match,
                        std::size_t from = 0) {
  for (std::size_t i = from; i < lines.size(); ++i) {
    const Entry entry = Classify(lines[i].text);
    if (entry.kind == Entry::kSection && SameSection(entry.name, name, match)) return i;
  }
  return kNone;
}

std::size_t SectionEnd(const std::vector<Line>& lines, std::size_t header) {
  std::size_t i = header + 1;
  while (i < lines.size() && Classify(lines[i].text).kind != Entry::kSection) ++i;
  return i;
}

std::optional<std::string> LookupValue(const std::vector<Line>& lines, std::string_view section,
                                       std::string_view key, TSectionMatch match) {
  const std::size_t header = FindSection(lines, section, match);
  if (header == kNone) return std::nullopt;
  const std::size_t end = SectionEnd(lines, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const Entry entry = Classify(lines[i].text);
    if (entry.kind == Entry::kKey && SameName(entry.name, key)) {
      return std::string(Unquote(entry.value));
    }
  }
  return std::nullopt;
}

void AddUniqueName(std::vector<std::string>& names, std::string_view name) {
  // An empty name would read as the end of the list.
  if (name.empty()) return;
  for (const std::string& known : names) {
    if (SameName(known, name)) return;
  }
  names.emplace_back(name);
}

std::vector<std::string> SectionNames(const std::vector<Line>& lines) {
  std::vector<std::string> names;
  for (const Line& line : lines) {
    const Entry entry = Classify(line.text);
    if (entry.kind == Entry::kSection) AddUniqueName(names, entry.name);
  }
  return names;
}

std::vector<std::string> KeyNames(const std::vector<Line>& lines, std::string_view section,
                                  TSectionMatch match) {
  std::vector<std::string> names;
  const std::size_t header = FindSection(lines, section, match);
  if (header == kNone) return names;
  const std::size_t end = SectionEnd(lines, header);
  for (std::size_t i = header + 1; i < end; ++i) {
    const Entry entry = Classify(lines[i].text);
    if (entry.kind == Entry::kKey) AddUniqueName(names, entry.name);
  }
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
DWORD CopyList(const std::vector<std::string>& names, char* buffer, DWORD size) {
  std::string list;
  for (const std::string& name : names) {
    list += name;
    list += '\0';
  }
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    if (list.empty() && size >= 2) buffer[1] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  const std::size_t count = std::size_t{size} - 2;
  std::memcpy(buffer, list.data(), count);
  buffer[count] = '\0';
  buffer[count + 1] = '\0';
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
std::string LineEndingOf(const std::vector<Line>& lines) {
  for (const Line& line : lines) {
    if (!line.ending.empty()) return line.ending;
  }
  return "\n";
}

// Inserts lines at index. When they follow a last line that has no ending, that line gets
// one and the new last line goes without, as the file did.
void InsertLines(std::vector<Line>& lines, std::size_t index, std::vector<Line> added) {
  if (added.empty()) return;
  if (index > 0 && lines[index - 1].ending.empty()) {
    lines[index - 1].ending = LineEndingOf(lines);
    added.back().ending.clear();
  }
  lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(index), added.begin(), added.end());
}

// Each change returns whether it changed anything.
bool SetValue(std::vector<Line>& lines, std::string_view section, std::string_view key,
              std::string_view value, TSectionMatch match) {
  const std::string ending = LineEndingOf(lines);
  std::string keyLine = std::string(key) + "=" + std::string(value);
  const std::size_t header = FindSection(lines, section, match);
  if (header == kNone) {
    // Built by appending: GCC 12 at -O3 wrongly warns of overlap in the + chain.
    std::string headerLine(1, '[');
    headerLine.append(section).append(1, ']');
    InsertLines(lines, lines.size(),
                {{std::move(headerLine), ending}, {std::move(keyLine), ending}});
    return true;
  }
  const std::size_t end = SectionEnd(lines, header);
  std::size_t lastKey = header;
  for (std::size_t i = header + 1; i < end; ++i) {
    const Entry entry = Classify(lines[i].text);
    if (entry.kind != Entry::kKey) continue;
    if (SameName(entry.name, key)) {
      // Keep the key as spelled and any blanks after '='; only the value changes. A value
      // that brings its own leading blanks replaces the old ones, or every rewrite of the
      // same value would add to them.
      std::string_view kept = std::string_view(lines[i].text).substr(0, entry.valueOffset);
      if (!value.empty() && IsBlank(value.front())) kept = TrimRight(kept);
      lines[i].text = std::string(kept) + std::string(value);
      return true;
    }
    lastKey = i;
  }
  InsertLines(lines, lastKey + 1, {{std::move(keyLine), ending}});
  return true;
}

bool DeleteKey(std::vector<Line>& lines, std::string_view section, std::string_view key,
               TSectionMatch match) {
  const std::size_t header = FindSection(lines, section, match);
  if (header == kNone) return false;
  const std::size_t end = SectionEnd(lines, header);
  bool changed = false;
  std::size_t kept = header + 1;
  for (std::size_t i = header + 1; i < end; ++i) {
    const Entry entry = Classify(lines[i].text);
    if (entry.kind == Entry::kKey && SameName(entry.name, key)) {
      changed = true;
      continue;
    }
    if (kept != i) lines[kept] = std::move(lines[i]);
    ++kept;
  }
  lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(kept),
              lines.begin() + static_cast<std::ptrdiff_t>(end));
  return changed;
}

// Every section of the name goes, so that no later copy of it becomes visible.
bool DeleteSection(std::vector<Line>& lines, std::string_view section, TSectionMatch match) {
  bool changed = false;
  std::size_t header = FindSection(lines, section, match);
  while (header != kNone) {
    const std::size_t end = SectionEnd(lines, header);
    lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(header),
                lines.begin() + static_cast<std::ptrdiff_t>(end));
    changed = true;
    header = FindSection(lines, section, match, header);
  }
  return changed;
}

}  // namespace

UINT GetPrivateProfileIntA(const char* section, const char* key, int defaultValue,
                           const char* fileName) {
  const UINT fallback = static_cast<UINT>(defaultValue);
  if (section == nullptr || key == nullptr) return fallback;
  const std::optional<std::string> value =
      LookupValue(LoadLines(fileName), Trim(section), Trim(key), TSectionMatch::IgnoreCase);
  return value ? ParseUint(*value) : fallback;
}

DWORD GetPrivateProfileStringA(const char* section, const char* key, const char* defaultValue,
                               char* buffer, DWORD size, const char* fileName,
                               TSectionMatch match) {
  if (buffer == nullptr || size == 0) return 0;
  const std::vector<Line> lines = LoadLines(fileName);
  if (section == nullptr) return CopyList(SectionNames(lines), buffer, size);
  if (key == nullptr) return CopyList(KeyNames(lines, Trim(section), match), buffer, size);
  const std::optional<std::string> value = LookupValue(lines, Trim(section), Trim(key), match);
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
  const ReadStatus status = ReadWholeFile(fileName, content);
  // Never overwrite a file whose content we could not read.
  if (status == ReadStatus::kFailed) return 0;
  const bool deleting = key == nullptr || value == nullptr;
  if (status == ReadStatus::kMissing && deleting) return 1;

  std::vector<Line> lines = SplitLines(content);
  bool changed = false;
  if (key == nullptr) {
    changed = DeleteSection(lines, sectionName, match);
  } else if (value == nullptr) {
    changed = DeleteKey(lines, sectionName, keyName, match);
  } else {
    changed = SetValue(lines, sectionName, keyName, value, match);
  }
  if (!changed) return 1;
  // Readers see the old file or the new one, never half of one.
  const std::string replacement = JoinLines(lines);
  return ReplaceFileContents(fileName, reinterpret_cast<const std::uint8_t*>(replacement.data()),
                             replacement.size()) == TReplaceResult::Replaced
             ? 1
             : 0;
}
