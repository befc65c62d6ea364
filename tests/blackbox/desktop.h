// A virtual desktop for black-box tests: Xvfb with openbox, the real program started in a
// program directory of its own, keys and clicks through xdotool, screenshots as images.
#pragma once

#include <QImage>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>
#include <optional>

class TDesktop {
 public:
  TDesktop();
  ~TDesktop();
  TDesktop(const TDesktop&) = delete;
  TDesktop& operator=(const TDesktop&) = delete;

  // Empty when the desktop runs; otherwise what is missing.
  const QString& Problem() const { return Trouble; }

  // Copies the program and its catalogues into dir and starts it there; waits for its main
  // window.
  bool StartProgram(const QString& dir);
  // The program's language setting (LANG) from its next start; English by default, whatever
  // the test's own session says.
  void SetLanguage(const QString& lang) { Language = lang; }
  // Waits for the program to end; its exit code, or none when it did not end.
  std::optional<int> WaitForExit(int milliseconds = 15000);

  // Brings the program's main window to the front with the keyboard focus.
  void Activate();
  // xdotool with these arguments, on this desktop.
  bool Xdo(const QStringList& arguments);
  void Key(const QString& keys);
  // Types text into the window that has the focus.
  void Type(const QString& text);
  // Waits for a visible window with this exact name.
  bool WaitForWindow(const QString& name, int milliseconds = 10000);
  // Waits until count visible windows have this exact name (a box captioned like the
  // main window).
  bool WaitForWindows(const QString& name, int count, int milliseconds = 10000);
  // Waits until no visible window has this name.
  bool WaitForGone(const QString& name, int milliseconds = 10000);
  void Click(int x, int y);
  // The visible windows with this exact name, oldest first, and a window's client area on
  // the screen.
  QStringList Windows(const QString& name);
  QRect ClientRect(const QString& window);
  // Another program's window takes the focus; the main window is minimized.
  void ActivateOtherProgram();
  void Minimize();
  void Pause(int milliseconds);
  QImage Screenshot();
  // What a window shows, by its id; the standard output of a tool run on this desktop.
  QImage WindowShot(const QString& window);
  QString Output(const QString& program, const QStringList& arguments);
  // The program's main window, as xdotool names it.
  const QString& MainWindow() const { return Window; }
  // What xprop says of a property of the program's main window.
  QString WindowProperty(const QString& name) { return Run("xprop", {"-id", Window, name}); }
  // The end of what the program wrote to its standard output and error.
  QString ProgramOutput() const;

 private:
  QProcessEnvironment Environment() const;
  QString Run(const QString& program, const QStringList& arguments, int milliseconds = 10000);

  QString Trouble;
  QString Display;
  QTemporaryDir Runtime;
  QProcess Server;
  QProcess WindowManager;
  QProcess Program;
  QProcess Other;
  QString Window;
  QString Language = "C.UTF-8";
};
