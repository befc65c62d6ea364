// What every headless desktop shares: waiting for its windows.
#include "compositor.h"

#include <QElapsedTimer>
#include <QThread>

#include <algorithm>

bool TCompositor::WaitForWindows(const QString& title, int count, int milliseconds) {
  QElapsedTimer waited;
  waited.start();
  for (;;) {
    const std::vector<TWindow> windows = Windows();
    const auto shown = std::count_if(windows.begin(), windows.end(),
                                     [&](const TWindow& w) { return w.Title == title; });
    if (shown == count) {
      Pause(400);  // mapped or gone: let the program take the focus and paint
      return true;
    }
    if (waited.elapsed() > milliseconds) return false;
    Pause(100);
  }
}

bool TCompositor::WaitForGone(const QString& title, int milliseconds) {
  return WaitForWindows(title, 0, milliseconds);
}

std::optional<TCompositor::TWindow> TCompositor::Find(const QString& title) {
  const std::vector<TWindow> windows = Windows();
  const auto newest = std::find_if(windows.rbegin(), windows.rend(),
                                   [&](const TWindow& w) { return w.Title == title; });
  if (newest == windows.rend()) return std::nullopt;
  return *newest;
}

void TCompositor::Pause(int milliseconds) {
  QThread::msleep(static_cast<unsigned long>(milliseconds));
}

bool TCompositor::WaitForMainWindow(const QProcess& program) {
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 30000) {
    if (program.state() == QProcess::NotRunning) {
      Trouble = "the program ended at start: " + ProgramOutput();
      return false;
    }
    const std::optional<TWindow> main = Find("Kavro");
    if (main && main->Focused) {
      Pause(800);  // the first paint
      return true;
    }
    Pause(100);
  }
  Trouble = "no focused main window appeared: " + ProgramOutput();
  return false;
}
