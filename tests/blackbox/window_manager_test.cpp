// The frame as the window manager (openbox) keeps it: full size, never maximized or
// restored from its caption, never moved.
#include "blackbox_fixture.h"

TEST_F(BlackBox, TheFrameCanNeitherBeMaximizedNorMoved) {
  ASSERT_TRUE(Desktop.StartProgram(Dir.path())) << Desktop.Problem().toStdString();
  const QString allowed = Desktop.WindowProperty("_NET_WM_ALLOWED_ACTIONS");
  for (const char* action : {"_NET_WM_ACTION_CLOSE", "_NET_WM_ACTION_MINIMIZE"}) {
    EXPECT_TRUE(allowed.contains(action)) << allowed.toStdString();
  }
  for (const char* action : {"_NET_WM_ACTION_MAXIMIZE_HORZ", "_NET_WM_ACTION_MAXIMIZE_VERT",
                             "_NET_WM_ACTION_MOVE", "_NET_WM_ACTION_RESIZE"}) {
    EXPECT_FALSE(allowed.contains(action)) << allowed.toStdString();
  }

  // The frame fills the screen and no more: the board's window (its background shows
  // around the board) ends above a status bar that is on the screen.
  QImage shot = Desktop.Screenshot();
  const TBoard board = TBoard::Find(shot, Teal);
  ASSERT_TRUE(board.Found());
  EXPECT_GT(board.Right - board.Left, shot.width() * 9 / 10) << "the frame fills the screen";
  EXPECT_LT(board.Bottom, shot.height() - 16) << "the status bar is on the screen";

  // Dragging the caption and double-clicking it (openbox's maximize toggle) change nothing.
  const QPoint caption(shot.width() / 2, 8);
  Desktop.Xdo({"mousemove", QString::number(caption.x()), QString::number(caption.y()), "mousedown",
               "1", "mousemove", "--sync", QString::number(caption.x() + 200),
               QString::number(caption.y() + 200), "mouseup", "1"});
  Desktop.Pause(500);
  Desktop.Xdo({"mousemove", QString::number(caption.x()), QString::number(caption.y()), "click",
               "--repeat", "2", "1"});
  Desktop.Pause(800);
  shot = Desktop.Screenshot();
  const TBoard after = TBoard::Find(shot, Teal);
  EXPECT_EQ(QRect(QPoint(after.Left, after.Top), QPoint(after.Right, after.Bottom)),
            QRect(QPoint(board.Left, board.Top), QPoint(board.Right, board.Bottom)));
  ExitWithYes();
}
