// The language the player reads, as the desktop says it (private to the framework).
#pragma once

#include <string>
#include <vector>

struct TLanguageSettings {
  std::string Language;  // LANGUAGE: a colon-separated list of preferences
  std::string All;       // LC_ALL
  std::string Messages;  // LC_MESSAGES
  std::string Lang;      // LANG
};

// The settings the program was started with, read from its environment.
TLanguageSettings CurrentLanguageSettings();

// The catalogue names to look for, best first, in the order gettext uses: LANGUAGE, unless
// the messages' locale (the first of LC_ALL, LC_MESSAGES and LANG that is set) is C or
// POSIX, else that locale. Each language comes with its territory, then without it
// ("de_AT.UTF-8" gives "de_AT", "de"). English, C and POSIX end the list: the program's
// own texts are English.
std::vector<std::string> CatalogueNames(const TLanguageSettings& settings);

class QTranslator;

// Installs Qt's own translations (its dialogs' and buttons' texts) for the first of names
// Qt has a catalogue for: the translator, owned by the application, or null when none was
// installed.
QTranslator* InstallQtTranslations(const std::vector<std::string>& names);
