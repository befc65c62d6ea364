// Every catalogue Kavro ships, against the texts the program shows: each translated, with
// its placeholders, mnemonic, shortcut and edge spaces kept, and mnemonics unique in each
// menu of the translated menu bar.
#include <QRegularExpression>
#include <QString>

#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "dialogs/about_dialog_ids.h"
#include "dialogs/empty_dialog_ids.h"
#include "framework/resources/resources.h"
#include "framework/text/catalogue.h"
#include "resources/best_dialog_resource.h"
#include "resources/command_ids.h"
#include "resources/game_resources.h"

namespace {

// The English texts of the template, one msgid a line as the extraction writes them.
std::vector<std::string> TemplateTexts() {
  std::ifstream pot(KAVRO_TEMPLATE);
  std::vector<std::string> texts;
  for (std::string line; std::getline(pot, line);) {
    if (line.rfind("msgid \"", 0) != 0 || line == "msgid \"\"") continue;
    std::string text;
    for (std::size_t i = 7; i + 1 < line.size(); ++i) {
      if (line[i] == '\\' && i + 2 < line.size()) {
        const char escaped = line[++i];
        text += escaped == 't' ? '\t' : escaped == 'n' ? '\n' : escaped;
      } else {
        text += line[i];
      }
    }
    texts.push_back(text);
  }
  return texts;
}

int Count(const std::string& text, const std::string& part) {
  int count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

// The marks a translation must keep from its English.
std::string Markers(const std::string& text) {
  std::ostringstream out;
  out << Count(text, "%1") << Count(text, "%2") << Count(text, "&") << Count(text, "\t")
      << (text.front() == ' ') << (text.back() == ' ') << (text.back() == '.');
  return out.str();
}

// The mnemonic's character, folded, or empty.
QString Mnemonic(const std::string& text) {
  const QString shown = QString::fromStdString(text);
  const qsizetype at = shown.indexOf('&');
  return at >= 0 && at + 1 < shown.size() ? shown.mid(at + 1, 1).toCaseFolded() : QString();
}

// Every menu's translated items have mnemonics of their own; the menu bar is a menu too.
void ExpectUniqueMnemonics(const TCatalogue& catalogue, const TMenuResource& menu,
                           const std::string& where) {
  std::map<QString, std::string> taken;
  for (const TMenuItemResource& item : menu) {
    if (item.Kind == TMenuItemResource::Separator) continue;
    const std::string* translated = catalogue.Find(item.Text);
    if (translated == nullptr) continue;  // reported with the template's texts
    const QString key = Mnemonic(*translated);
    EXPECT_FALSE(key.isEmpty()) << where << ": no mnemonic in " << *translated;
    const auto [other, fresh] = taken.emplace(key, *translated);
    EXPECT_TRUE(fresh) << where << ": \"" << *translated << "\" and \"" << other->second
                       << "\" share their mnemonic";
    if (item.Kind == TMenuItemResource::Popup) {
      ExpectUniqueMnemonics(catalogue, item.Items, where + " > " + *translated);
    }
  }
}

// The texts the program's own resources show: menus, hints and dialogs.
void CollectResourceTexts(const TMenuResource& menu, std::set<std::string>& texts) {
  for (const TMenuItemResource& item : menu) {
    if (item.Kind == TMenuItemResource::Separator) continue;
    texts.insert(item.Text);
    if (const std::string* hint = TResources::FindString(item.Id); hint && item.Id != 0) {
      texts.insert(*hint);
    }
    CollectResourceTexts(item.Items, texts);
  }
}

TEST(ShippedCatalogues, TranslateEveryTextKeepingItsMarksAndMnemonicsUnique) {
  AddGameResources();
  const TMenuResource* menu = TResources::FindMenu(IDM_MAIN);
  ASSERT_NE(menu, nullptr);
  const std::vector<std::string> english = TemplateTexts();
  ASSERT_GT(english.size(), 100U) << KAVRO_TEMPLATE;

  // The template holds whatever the resources show: nothing was left out of extraction.
  std::set<std::string> shown;
  CollectResourceTexts(*menu, shown);
  for (const int id : {IDD_ABOUT, IDD_BESTTIMES, IDD_EMPTYSPACE}) {
    const TDialogResource* dialog = TResources::FindDialog(id);
    ASSERT_NE(dialog, nullptr) << id;
    shown.insert(dialog->Caption);
    for (const auto& item : dialog->Items) {
      // Words, not an address.
      const QString text = QString::fromStdString(item.Text);
      if (text.contains(QRegularExpression("[a-z]{2}")) && !text.contains("://")) {
        shown.insert(item.Text);
      }
    }
  }
  const std::set<std::string> extracted(english.begin(), english.end());
  for (const std::string& text : shown) {
    EXPECT_EQ(extracted.count(text), 1U) << "not in the template: " << text;
  }

  std::istringstream languages(KAVRO_LANGUAGES);
  int checked = 0;
  for (std::string language; std::getline(languages, language, ':'); ++checked) {
    const std::string path =
        std::string(KAVRO_CATALOGUE_DIR) + "/" + language + "/LC_MESSAGES/kavro.mo";
    const std::optional<TCatalogue> catalogue = TCatalogue::Load(path);
    ASSERT_TRUE(catalogue.has_value()) << path;
    for (const std::string& text : english) {
      const std::string* translated = catalogue->Find(text);
      if (translated == nullptr) {
        ADD_FAILURE() << language << ": untranslated \"" << text << "\"";
        continue;
      }
      EXPECT_EQ(Markers(*translated), Markers(text))
          << language << ": \"" << text << "\" -> \"" << *translated << "\"";
    }
    ExpectUniqueMnemonics(*catalogue, *menu, language);
  }
  EXPECT_GE(checked, 3) << "German, French and Spanish at least";
}

}  // namespace
