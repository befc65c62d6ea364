// The player's language, read from the desktop's settings in the order gettext reads them;
// its catalogue, read from bytes that may be anything; Qt's own texts in it.
#include <QCoreApplication>
#include <QTranslator>

#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/text/catalogue.h"
#include "framework/text/player_language.h"
#include "framework/text/translation.h"

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

TEST(PlayerLanguage, ItsCatalogueIsReadWholeOrNotAtAll) {
  std::ifstream file(std::string(KAVRO_CATALOGUE_DIR) + "/de/LC_MESSAGES/kavro.mo",
                     std::ios::binary);
  const std::string good((std::istreambuf_iterator<char>(file)), {});
  ASSERT_GT(good.size(), 1000U);
  const auto with = [&](std::size_t at, char byte) {
    std::string bytes = good;
    bytes[at] = byte;
    return bytes;
  };
  const struct {
    const char* Case;
    std::string Bytes;
    bool Read;
  } cases[] = {
      {"whole", good, true},
      {"empty", "", false},
      {"cut in the header", good.substr(0, 17), false},
      {"cut in the texts", good.substr(0, good.size() - 20), false},
      {"a text's offset far past the end", with(28 + 8 + 7, '\x7F'), false},
      {"more texts than the tables hold", with(8 + 3, '\x7F'), false},
      {"an unknown revision", with(4 + 3, '\x01'), false},
  };
  for (const auto& c : cases) {
    const std::optional<TCatalogue> catalogue = TCatalogue::Read(c.Bytes);
    ASSERT_EQ(catalogue.has_value(), c.Read) << c.Case;
    if (!catalogue) continue;
    ASSERT_NE(catalogue->Find("&Game"), nullptr);
    EXPECT_EQ(*catalogue->Find("&Game"), "&Spiel");
    EXPECT_EQ(catalogue->Find("not one of the program's texts"), nullptr);
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
