// The About box as the player sees it: its texts, the icon, and the keys that close it.
#include "dialogs/about_dialog.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/responder.h"
#include "resources/game_resources.h"

namespace {

// The dialog's own window, from the handle of its client area.
QWidget* DialogWidget(const TWindow& dialog) {
  return reinterpret_cast<QWidget*>(dialog.GetHandle())->window();
}

std::vector<std::string> LabelTexts(QWidget* dialog) {
  std::vector<std::string> texts;
  for (const QLabel* label : dialog->findChildren<QLabel*>()) {
    if (!label->text().isEmpty()) texts.push_back(label->text().toStdString());
  }
  return texts;
}

class AboutDialogTest : public testing::Test {
 protected:
  void SetUp() override { AddGameResources(); }
};

TEST_F(AboutDialogTest, ShowsNameVersionPageAcknowledgementAndIcon) {
  TModalRequest shown;
  std::vector<std::string> texts;
  int icons = 0;
  std::string button;
  bool isDefault = false;
  TScopedModalResponder responder([&](const TModalRequest& request) {
    shown = request;
    QWidget* dialog = DialogWidget(*request.Window);
    texts = LabelTexts(dialog);
    for (const QLabel* label : dialog->findChildren<QLabel*>()) {
      if (!label->pixmap().isNull() && label->pixmap().width() >= 16) ++icons;
    }
    for (const QPushButton* push : dialog->findChildren<QPushButton*>()) {
      button = push->text().toStdString();
      isDefault = push->isDefault();
    }
    return TModalAnswer(IDOK);
  });
  TAboutDialog about(nullptr);
  EXPECT_EQ(about.Execute(), IDOK);

  EXPECT_EQ(shown.Kind, TModalRequest::Dialog);
  EXPECT_EQ(shown.ResourceId, 4);
  EXPECT_EQ(shown.Caption, "About");
  ASSERT_EQ(texts.size(), 4U);
#if defined(__linux__)
  EXPECT_EQ(texts[0], sizeof(void*) == 8 ? "Kavro for Linux (64 bit)" : "Kavro for Linux (32 bit)");
#endif
  EXPECT_EQ(texts[0].rfind("Kavro for ", 0), 0U);
  EXPECT_EQ(texts[1], "Version 2.0");
  EXPECT_EQ(texts[2], "http://www.kavro.org/kavro.html");
  EXPECT_EQ(texts[3], "This software is based in part on the work of the Independent JPEG Group.");
  EXPECT_EQ(icons, 1);
  EXPECT_EQ(button, "Thank you");
  EXPECT_TRUE(isDefault);
}

TEST_F(AboutDialogTest, EnterAndEscapeCloseIt) {
  struct TCase {
    int Key;
    int Result;
  };
  for (const TCase c :
       {TCase{Qt::Key_Return, IDOK}, TCase{Qt::Key_Enter, IDOK}, TCase{Qt::Key_Escape, IDCANCEL}}) {
    int rounds = 0;
    TScopedModalResponder responder([&](const TModalRequest& request) {
      ++rounds;
      QKeyEvent press(QEvent::KeyPress, c.Key, Qt::NoModifier);
      QCoreApplication::sendEvent(DialogWidget(*request.Window), &press);
      // A button the box does not have: only the key can have closed it.
      return TModalAnswer(999);
    });
    TAboutDialog about(nullptr);
    EXPECT_EQ(about.Execute(), c.Result) << c.Key;
    EXPECT_EQ(rounds, 1) << c.Key;
  }
}

}  // namespace
