// The dialogs in English and in every shipped language: each label's and button's text whole
// in its control, and each control inside the dialog; English at the template's own size.
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include <sstream>
#include <string>

#include <gtest/gtest.h>

#include "dialogs/about_dialog.h"
#include "dialogs/best_dialog.h"
#include "dialogs/empty_dialog.h"
#include "framework/dialogs/input_dialog.h"
#include "framework/text/translation.h"
#include "framework/windows/responder.h"
#include "resources/game_resources.h"
#include "score_fixture.h"

namespace {

class TranslatedDialogs : public ScoreFilesTest {
 protected:
  void TearDown() override {
    UseCatalogueFile("", "");
    ScoreFilesTest::TearDown();
  }

  // What does not fit in the dialog shown, one line each.
  static std::string Cut(const QWidget& dialog) {
    std::ostringstream cut;
    const QRect inside = dialog.rect();
    for (const QWidget* control : dialog.findChildren<QWidget*>()) {
      const auto* label = qobject_cast<const QLabel*>(control);
      const auto* button = qobject_cast<const QPushButton*>(control);
      const auto* frame = qobject_cast<const QGroupBox*>(control);
      QString text;
      bool fits = true;
      if (label != nullptr && label->pixmap().isNull() &&
          !label->property("kavroPathEllipsis").toBool()) {
        text = label->text();
        fits = label->wordWrap()
                   ? label->heightForWidth(label->width()) <= label->height()
                   : label->fontMetrics().horizontalAdvance(text) <= label->contentsRect().width();
      } else if (button != nullptr) {
        // The text and a few pixels of the button's own on either side.
        text = QString(button->text()).remove('&');
        fits = button->fontMetrics().horizontalAdvance(text) + 6 <= button->width();
      } else if (frame != nullptr) {
        text = frame->title();
        fits = frame->fontMetrics().horizontalAdvance(text) < frame->width();
      } else {
        continue;
      }
      const QRect at(control->mapTo(&dialog, QPoint(0, 0)), control->size());
      if (!fits || !inside.contains(at)) cut << "\"" << text.toStdString() << "\"; ";
    }
    return cut.str();
  }
};

TEST_F(TranslatedDialogs, ShowEveryTextWholeInEveryLanguage) {
  AddGameResources();
  std::string language;
  TScopedModalResponder responder([&](const TModalRequest& request) {
    const QWidget& dialog = *reinterpret_cast<QWidget*>(request.Window->GetHandle())->window();
    EXPECT_EQ(Cut(dialog), "") << (language.empty() ? "English" : language) << ": "
                               << request.Caption;
    return TModalAnswer(IDCANCEL);
  });
  std::istringstream shipped(std::string(":") + KAVRO_LANGUAGES);
  for (; std::getline(shipped, language, ':');) {
    const std::string catalogue =
        std::string(KAVRO_CATALOGUE_DIR) + "/" + language + "/LC_MESSAGES/kavro.mo";
    ASSERT_EQ(UseCatalogueFile(language.empty() ? "" : catalogue, language), !language.empty());
    TAboutDialog(nullptr).Execute();
    TBestDialog(nullptr, "Alphabet", TGameType::Sliding).Execute();
    TEmptyDialog(nullptr, IDD_EMPTYSPACE, 2, 2, 20, 20, nullptr, TEmptyMode::Pieces).Execute();
    TEmptyDialog(nullptr, IDD_EMPTYSPACE, 2, 2, 3, 3, nullptr, TEmptyMode::EmptySpace).Execute();
    char name[32] = "";
    TInputDialog(nullptr, "Kavro", N_(" You have the best times. Please enter your name:"), name,
                 sizeof name)
        .Execute();
  }
}

}  // namespace
