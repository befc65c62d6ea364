#include "framework/text/player_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>
#include <memory>
#include <sstream>

namespace {

std::string Variable(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

// "de_AT.UTF-8@euro" without its codeset and modifier: "de_AT".
std::string WithoutCodeset(const std::string& locale) {
  return locale.substr(0, locale.find_first_of(".@"));
}

bool Untranslated(const std::string& name) {
  return name.empty() || name == "C" || name == "POSIX" || name == "en" ||
         name.rfind("en_", 0) == 0;
}

}  // namespace

TLanguageSettings CurrentLanguageSettings() {
  return {Variable("LANGUAGE"), Variable("LC_ALL"), Variable("LC_MESSAGES"), Variable("LANG")};
}

std::vector<std::string> CatalogueNames(const TLanguageSettings& settings) {
  std::string locale = settings.All;
  if (locale.empty()) locale = settings.Messages;
  if (locale.empty()) locale = settings.Lang;
  locale = WithoutCodeset(locale);
  // gettext reads LANGUAGE only when the messages' locale is not C.
  if (locale.empty() || locale == "C" || locale == "POSIX") return {};
  std::vector<std::string> names;
  std::istringstream preferences(settings.Language.empty() ? locale : settings.Language);
  for (std::string entry; std::getline(preferences, entry, ':');) {
    const std::string name = WithoutCodeset(entry);
    if (Untranslated(name)) break;
    names.push_back(name);
    if (const auto territory = name.find('_'); territory != std::string::npos) {
      names.push_back(name.substr(0, territory));
    }
  }
  return names;
}

QTranslator* InstallQtTranslations(const std::vector<std::string>& names) {
  // One for the program's life, owned by the application object.
  auto* app = QCoreApplication::instance();
  if (app == nullptr) return nullptr;
  const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
  for (const std::string& name : names) {
    auto translator = std::make_unique<QTranslator>(app);
    if (translator->load(QStringLiteral("qtbase_") + QString::fromStdString(name), folder)) {
      QCoreApplication::installTranslator(translator.get());
      return translator.release();
    }
  }
  return nullptr;
}
