// A headless Wayland desktop of a kind players run (GNOME Shell, KWin), with the real
// program as its native client: the flows every such desktop must pass are written once
// against this interface and run on each desktop at each scale.
#pragma once

#include <QImage>
#include <QPoint>
#include <QProcess>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

class TCompositor {
 public:
  // One of the program's windows as the compositor shows it. Rectangles are in screenshot
  // pixels (device pixels): Frame is all the window takes on the screen, title bar and
  // border included whoever draws them; Content is what the program's widget draws.
  struct TWindow {
    QString Title;
    QRect Frame;
    QRect Content;
    bool Focused = false;
    bool Maximizable = true;  // whether the desktop offers to maximize it
  };

  virtual ~TCompositor() = default;

  // Empty when the desktop runs; otherwise what is missing or what failed.
  const QString& Problem() const { return Trouble; }
  // The desktop's scale: device pixels a logical pixel.
  virtual double Scale() const = 0;
  // The whole screen, and the part of it a maximized window may take (below GNOME's top
  // bar), in screenshot pixels.
  virtual QRect Screen() = 0;
  virtual QRect WorkArea() = 0;

  // Copies the program into dir and starts it there as a native Wayland client with a
  // fresh home; waits until its main window ("Kavro") is shown and has the focus.
  virtual bool StartProgram(const QString& dir) = 0;
  virtual std::optional<int> WaitForExit(int milliseconds = 15000) = 0;
  // The end of what the program wrote to its standard output and error.
  virtual QString ProgramOutput() const = 0;

  // Keys in xdotool's names, chords joined by '+', strokes separated by spaces:
  // "F2", "alt+g e", "ctrl+l", "Return".
  virtual void Key(const QString& keys) = 0;
  virtual void Type(const QString& text) = 0;
  // A left click at a screenshot pixel.
  virtual void Click(QPoint at) = 0;
  // Offers a file's contents on the clipboard as the given MIME type, as another program
  // would; whether the clipboard still offers something.
  virtual bool Copy(const QString& path, const QString& type) = 0;
  virtual bool ClipboardOffers(const QString& type) = 0;

  virtual QImage Screenshot() = 0;
  // The program's mapped windows, oldest first.
  virtual std::vector<TWindow> Windows() = 0;

  // Waits until count windows have this exact title; until none has it.
  bool WaitForWindows(const QString& title, int count, int milliseconds = 10000);
  bool WaitForGone(const QString& title, int milliseconds = 10000);
  // The newest window of this title, if one is shown.
  std::optional<TWindow> Find(const QString& title);
  static void Pause(int milliseconds);

 protected:
  // After the program was started: waits until its main window is shown with the keys
  // and has painted; otherwise says why in Trouble.
  bool WaitForMainWindow(const QProcess& program);

  QString Trouble;
};

// A desktop to run the shared flows on: its name in the test's name and how to start it.
struct TDesktopCase {
  const char* Name;
  std::function<std::unique_ptr<TCompositor>()> Start;
};
inline void PrintTo(const TDesktopCase& c, std::ostream* out) {
  *out << c.Name;
}

// The shared flows' fixture; each desktop instantiates it with its cases, named
// by TDesktopCase::Name.
class OnDesktop : public testing::TestWithParam<TDesktopCase> {};
inline std::string DesktopCaseName(const testing::TestParamInfo<TDesktopCase>& info) {
  return info.param.Name;
}

// The desktops: GNOME Shell at scale 1 and at 2 in its default layout mode; KWin at
// scale 1 and 2. Each returns a desktop whose Problem() says why it did not start.
std::unique_ptr<TCompositor> StartGnome(double scale);
std::unique_ptr<TCompositor> StartKwin(double scale);
