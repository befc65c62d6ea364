// The player's language, read from the desktop's settings in the order gettext reads them;
// its catalogue, read from bytes that may be anything; Qt's own texts in it.
#include <QCoreApplication>
#include <QTranslator>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/catalogue.h"
#include "framework/player_language.h"
#include "framework/translation.h"

namespace {

using TNames = std::vector<std::string>;

TEST(PlayerLanguage, FollowsTheDesktopAsGettextDoes) {
  const struct {
    TLanguageSettings Settings;  // LANGUAGE, LC_ALL, LC_MESSAGES, LANG
    TNames Names;
  } cases[] = {
      {{"", "", "", "de_DE.UTF-8"}, {"de_DE", "de"}},
      {{"", "", "", "fr_CA.UTF-8@euro"}, {"fr_CA", "fr"}},
      {{"", "", "es_ES.UTF-8", "de_DE.UTF-8"}, {"es_ES", "es"}},
      {{"", "fr_FR.UTF-8", "es_ES.UTF-8", "de_DE.UTF-8"}, {"fr_FR", "fr"}},
      // LANGUAGE's list comes first, up to English, which is the program's own.
      {{"fr:de", "", "", "de_DE.UTF-8"}, {"fr", "de"}},
      {{"es_MX:en:de", "", "", "de_DE.UTF-8"}, {"es_MX", "es"}},
      // In the C locale gettext leaves LANGUAGE aside: English throughout.
      {{"fr", "", "", "C.UTF-8"}, {}},
      {{"fr", "POSIX", "", "de_DE.UTF-8"}, {}},
      {{"de", "", "", ""}, {}},
      {{"", "", "", "en_GB.UTF-8"}, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(CatalogueNames(c.Settings), c.Names)
        << c.Settings.Language << "|" << c.Settings.All << "|" << c.Settings.Messages << "|"
        << c.Settings.Lang;
  }
}

// A .mo file of the pairs given (the header first, as msgfmt writes it), in either byte order.
std::string MoFile(const std::vector<std::pair<std::string, std::string>>& pairs, bool bigEndian) {
  std::string out;
  const auto word = [&](std::uint32_t value) {
    for (int i = 0; i < 4; ++i) {
      out += static_cast<char>(value >> (bigEndian ? 8 * (3 - i) : 8 * i));
    }
  };
  const auto count = static_cast<std::uint32_t>(pairs.size());
  std::uint32_t text = 28 + 16 * count;
  word(0x950412DE);
  word(0);
  word(count);
  word(28);
  word(28 + 8 * count);
  word(0);
  word(0);
  std::string strings;
  for (const bool translations : {false, true}) {
    for (const auto& [english, translated] : pairs) {
      const std::string& s = translations ? translated : english;
      word(static_cast<std::uint32_t>(s.size()));
      word(text);
      text += static_cast<std::uint32_t>(s.size()) + 1;
      strings += s + '\0';
    }
  }
  return out + strings;
}

TEST(PlayerLanguage, ItsCatalogueIsReadWhole) {
  const std::vector<std::pair<std::string, std::string>> pairs = {
      {"", "Content-Type: text/plain; charset=UTF-8\n"},
      {"&Game", "&Spiel"},
      {"Incorrect pieces: %1", "Falsche Teile: %1"},
      {std::string("ctx\x04Name"), "Kontext"},
      {"Untranslated", ""}};
  const std::string good = MoFile(pairs, false);
  std::string beyond = good;
  beyond[28 + 8 + 7] = '\x7F';  // the first text's offset far past the end
  std::string huge = good;
  huge[8] = '\xFF';  // more texts than the file holds
  const struct {
    const char* Case;
    std::string Bytes;
    std::optional<std::size_t> Texts;  // none: not a catalogue
  } cases[] = {
      {"little-endian", good, 2},
      {"big-endian", MoFile(pairs, true), 2},
      {"empty", "", std::nullopt},
      {"cut in the header", good.substr(0, 17), std::nullopt},
      {"cut in the texts", good.substr(0, good.size() - 20), std::nullopt},
      {"an offset beyond the end", beyond, std::nullopt},
      {"a count beyond the tables", huge, std::nullopt},
      {"not a catalogue", std::string(64, 'x'), std::nullopt},
  };
  for (const auto& c : cases) {
    const std::optional<TCatalogue> catalogue = TCatalogue::Read(c.Bytes);
    ASSERT_EQ(catalogue.has_value(), c.Texts.has_value()) << c.Case;
    if (!catalogue) continue;
    EXPECT_EQ(catalogue->Size(), *c.Texts) << c.Case;
    ASSERT_NE(catalogue->Find("&Game"), nullptr) << c.Case;
    EXPECT_EQ(*catalogue->Find("&Game"), "&Spiel") << c.Case;
    EXPECT_EQ(catalogue->Find("Untranslated"), nullptr) << c.Case;
    EXPECT_EQ(catalogue->Find("Name"), nullptr) << c.Case;
  }
}

TEST(PlayerLanguage, PatternsTakeTheirValuesInTheLanguagesOrder) {
  EXPECT_EQ(Fill("Puzzle pieces: %1 x %2", {"3", "4"}), "Puzzle pieces: 3 x 4");
  EXPECT_EQ(Fill("%2 x %1 : pièces", {"3", "4"}), "4 x 3 : pièces");
  // A value is never read as a pattern, and a marker without its value stays.
  EXPECT_EQ(Fill("%1 and %3 at 100%", {"%2", "x"}), "%2 and %3 at 100%");
  // Without a catalogue every text is the program's own, the same pointer.
  const char* text = "&Game";
  EXPECT_EQ(Translate(text), text);
}

TEST(PlayerLanguage, QtsOwnButtonsSpeakIt) {
  const auto yes = [] { return QCoreApplication::translate("QPlatformTheme", "&Yes"); };
  EXPECT_EQ(InstallQtTranslations({}), nullptr);
  EXPECT_EQ(yes(), "&Yes");
  for (const auto& [name, word] :
       {std::pair("de", "&Ja"), std::pair("fr", "&Oui"), std::pair("es", "&Sí")}) {
    // A territory Qt has no catalogue for falls back to the language's.
    const std::unique_ptr<QTranslator> installed(
        InstallQtTranslations({std::string(name) + "_XX", name}));
    ASSERT_NE(installed, nullptr) << name;
    EXPECT_EQ(yes(), QString::fromUtf8(word)) << name;
    QCoreApplication::removeTranslator(installed.get());
  }
  EXPECT_EQ(yes(), "&Yes");
}

}  // namespace
