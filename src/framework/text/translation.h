// The program's own texts in the player's language. Texts are written in English in the
// code and looked up, by their English, in a gettext catalogue of the player's language;
// a text the catalogue does not hold is shown as it is.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

// Marks a text for the catalogue without translating it where it stands: tables of texts
// the framework translates where it shows them.
#define N_(text) text

// The player's language's text for one of the program's own, or text itself. The
// framework calls it wherever it shows a text (captions, menus, dialogs, message boxes,
// the status bar); code that builds a text from parts translates the pattern first.
const char* Translate(const char* text);

// pattern with "%1", "%2"... replaced by the values in turn: numbers and names go into
// translated patterns, where a language may put them in another order.
std::string Fill(std::string_view pattern, std::initializer_list<std::string_view> values);

// Reads the player's catalogue (the first of the desktop's languages that Kavro has one
// for, in gettext's order) and Qt's own translations for that language. Returns the
// language chosen, or empty for English. Called once, when the application starts.
std::string UsePlayersLanguage();

// The catalogue's name UsePlayersLanguage chose ("de", "fr_CA"), or empty for English.
const std::string& PlayersLanguage();

// Reads the catalogue at path as language's; English again, and false, when it cannot be
// read. Qt's own translations are left as they are.
bool UseCatalogueFile(const std::string& path, const std::string& language);
