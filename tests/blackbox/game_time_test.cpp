// The game's time on a real desktop: only time with the main window active counts, whatever
// windows come between, in the order the window manager really sends its focus changes.
#include <QElapsedTimer>

#include "blackbox_fixture.h"

namespace {

// The most whole seconds a clock can have counted in a stretch of wall time from which
// away milliseconds did not count: a loaded machine makes every step slower, so the bound
// comes from the time that really passed.
int MostCounted(const QElapsedTimer& wall, int away) {
  return static_cast<int>((wall.elapsed() - away) / 1000) + 1;
}

}  // namespace

TEST_F(BlackBox, TimeInDialogsOtherProgramsAndAMinimizedWindowDoesNotCount) {
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  QElapsedTimer wall;
  wall.start();
  Desktop.Key("F2");
  Desktop.Pause(1000);
  // The About box and the save dialog, each held open for three seconds.
  Desktop.Key("alt+h");
  Desktop.Key("a");
  ASSERT_TRUE(Desktop.WaitForWindow("About"));
  Desktop.Pause(3000);
  Desktop.Key("Return");
  ASSERT_TRUE(Desktop.WaitForGone("About"));
  const QString first = Dir.path() + "/first.KVR";
  ChooseFile("ctrl+s", "Save Game", first, 3000);
  const int played = SavedSeconds(first);
  EXPECT_GE(played, 1);
  EXPECT_LE(played, MostCounted(wall, 6000)) << "six seconds in dialogs do not count";

  wall.restart();
  // Another program for four seconds, minimized for three, the exit question for two.
  Desktop.ActivateOtherProgram();
  Desktop.Pause(4000);
  Desktop.Activate();
  Desktop.Minimize();
  Desktop.Pause(3000);
  Desktop.Activate();
  Desktop.Key("alt+F4");
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2)) << "the exit question";
  Desktop.Pause(2000);
  Desktop.Key("n");
  Desktop.Pause(1000);
  const QString second = Dir.path() + "/second.KVR";
  ChooseFile("ctrl+s", "Save Game", second);
  EXPECT_GE(SavedSeconds(second), played + 1);
  EXPECT_LE(SavedSeconds(second), played + MostCounted(wall, 9000))
      << "nine seconds away do not count";
  ExitWithYes();
}

TEST_F(BlackBox, AGameScrambledOnTheFloatingToolbarCountsFromTheMainWindowsActivation) {
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  Desktop.Key("alt+v");
  Desktop.Key("t");
  Desktop.Key("f");
  ASSERT_TRUE(Desktop.WaitForWindows("Kavro", 2)) << "the floating toolbar";
  // The toolbar is the smaller window; Scramble is its first button.
  QRect toolbar;
  for (const QString& window : Desktop.Windows("Kavro")) {
    const QRect r = Desktop.ClientRect(window);
    if (toolbar.isNull() || r.width() * r.height() < toolbar.width() * toolbar.height()) {
      toolbar = r;
    }
  }
  ASSERT_GT(toolbar.width(), 100);
  Desktop.ActivateOtherProgram();
  QElapsedTimer wall;
  wall.start();
  Desktop.Click(toolbar.left() + 14, toolbar.top() + 16);
  Desktop.Pause(3000);
  Desktop.Activate();
  Desktop.Pause(1000);
  const QString game = Dir.path() + "/toolbar.KVR";
  ChooseFile("ctrl+s", "Save Game", game);  // offered only for a game in play
  EXPECT_GE(SavedSeconds(game), 1);
  EXPECT_LE(SavedSeconds(game), MostCounted(wall, 3000))
      << "only the time since the main window was activated";
  ExitWithYes();
}
