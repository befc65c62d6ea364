// The About box as the player sees it: its texts and icon, and the keys that close it.
#include "dialogs/about_dialog.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/windows/responder.h"
#include "resources/game_resources.h"

namespace {

// The dialog's own window, from the handle of its client area.
QWidget* DialogWidget(const TModalRequest& request) {
  return reinterpret_cast<QWidget*>(request.Window->GetHandle())->window();
}

TEST(AboutDialog, ShowsNameVersionPageAcknowledgementAndIcon) {
  AddGameResources();
  std::vector<std::string> texts;
  int icons = 0;
  TModalRequest shown;
  TScopedModalResponder responder([&](const TModalRequest& request) {
    shown = request;
    for (const QLabel* label : DialogWidget(request)->findChildren<QLabel*>()) {
      if (!label->text().isEmpty()) texts.push_back(label->text().toStdString());
      if (label->pixmap().width() >= 16) ++icons;
    }
    for (const QPushButton* push : DialogWidget(request)->findChildren<QPushButton*>())
      texts.push_back(push->text().toStdString() + (push->isDefault() ? " (default)" : ""));
    return TModalAnswer(IDOK);
  });
  EXPECT_EQ(TAboutDialog(nullptr).Execute(), IDOK);
  EXPECT_EQ(shown.ResourceId, 4);
  EXPECT_EQ(shown.Caption, "About");
  EXPECT_EQ(icons, 1);
  ASSERT_EQ(texts.size(), 5U);
  EXPECT_EQ(texts[0].rfind("Kavro for ", 0), 0U);
#if defined(__linux__)
  EXPECT_EQ(texts[0], sizeof(void*) == 8 ? "Kavro for Linux (64 bit)" : "Kavro for Linux (32 bit)");
#endif
  EXPECT_EQ(texts[1], "Version 2.0");
  EXPECT_EQ(texts[2], "http://www.kavro.org/kavro.html");
  EXPECT_EQ(texts[3], "This software is based in part on the work of the Independent JPEG Group.");
  EXPECT_EQ(texts[4], "Thank you (default)");
}

TEST(AboutDialog, EnterAndEscapeCloseIt) {
  AddGameResources();
  for (const auto& keyAndResult : {std::pair{Qt::Key_Return, IDOK}, std::pair{Qt::Key_Enter, IDOK},
                                   std::pair{Qt::Key_Escape, IDCANCEL}}) {
    // Named copies, not a structured binding: clang 14 lets no lambda capture one.
    const Qt::Key key = keyAndResult.first;
    const int result = keyAndResult.second;
    int rounds = 0;
    TScopedModalResponder responder([&](const TModalRequest& request) {
      ++rounds;
      QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
      QCoreApplication::sendEvent(DialogWidget(request), &press);
      return TModalAnswer(999);  // a button the box lacks: only the key can have closed it
    });
    EXPECT_EQ(TAboutDialog(nullptr).Execute(), result) << key;
    EXPECT_EQ(rounds, 1) << key;
  }
}

}  // namespace
