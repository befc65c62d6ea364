#include "framework/text/translation.h"

#include <optional>

#include "framework/text/catalogue.h"
#include "framework/text/player_language.h"
#include "platform/files.h"

namespace {

std::optional<TCatalogue>& PlayersCatalogue() {
  static std::optional<TCatalogue> catalogue;
  return catalogue;
}

std::string& ChosenLanguage() {
  static std::string name;
  return name;
}

// Where catalogues are, from the program's directory: beside it in the build tree, and
// share/locale of the installed layouts (<prefix>/lib/kavro and /usr/lib/games/kavro).
constexpr const char* CatalogueFolders[] = {"locale/", "../../share/locale/",
                                            "../../../share/locale/"};

}  // namespace

const char* Translate(const char* text) {
  const std::optional<TCatalogue>& catalogue = PlayersCatalogue();
  if (!catalogue || text == nullptr || *text == '\0') return text;
  const std::string* found = catalogue->Find(text);
  return found != nullptr ? found->c_str() : text;
}

std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values) {
  std::string filled;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    const auto index = static_cast<std::size_t>(next - '1');
    if (pattern[i] == '%' && next >= '1' && next <= '9' && index < values.size()) {
      filled += values.begin()[index];
      ++i;
    } else {
      filled += pattern[i];
    }
  }
  return filled;
}

std::string UsePlayersLanguage() {
  const std::string folder = ProgramDirectory();
  for (const std::string& name : CatalogueNames(CurrentLanguageSettings())) {
    for (const char* place : CatalogueFolders) {
      if (!UseCatalogueFile(folder + place + name + "/LC_MESSAGES/kavro.mo", name)) continue;
      // Qt's dialogs and buttons in the same language: the territory's, else the language's.
      InstallQtTranslations({name, name.substr(0, name.find('_'))});
      return name;
    }
  }
  return {};
}

bool UseCatalogueFile(const std::string& path, const std::string& language) {
  PlayersCatalogue() = TCatalogue::Load(path);
  ChosenLanguage() = PlayersCatalogue() ? language : std::string();
  return PlayersCatalogue().has_value();
}

const std::string& PlayersLanguage() {
  return ChosenLanguage();
}
