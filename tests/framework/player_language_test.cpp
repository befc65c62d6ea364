// The player's language, read from the desktop's settings in the order gettext reads them,
// and Qt's own texts in it.
#include <QCoreApplication>
#include <QTranslator>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/player_language.h"

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
