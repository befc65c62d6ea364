// Test entry: a QApplication without a display, and no modal window that waits for a
// player: one that no test answers fails the test and is cancelled.
#include <QApplication>

#include <gtest/gtest.h>

#include "framework/windows/responder.h"
#include "headless.h"
#include "platform/winconst.h"

int main(int argc, char** argv) {
  const THeadless headless;
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  const TScopedModalResponder unanswered([](const TModalRequest& request) {
    ADD_FAILURE() << "a modal window no test answers (kind " << request.Kind << "), \""
                  << request.Caption << "\": " << request.Text;
    return TModalAnswer(IDCANCEL);
  });
  return RUN_ALL_TESTS();
}
