// A virtual Wayland desktop for black-box tests: a headless sway, the real program as a
// native client, keys through wtype, screenshots through grim, the clipboard through
// wl-copy and windows read from sway's tree. sway refuses to run as root: started as root,
// the desktop runs sway, the program and the tools as an unprivileged user it creates.
#pragma once

#include <QImage>
#include <QJsonObject>
#include <QProcess>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <sys/types.h>

#include <optional>
#include <vector>

class TWaylandDesktop {
 public:
  TWaylandDesktop();
  ~TWaylandDesktop();
  TWaylandDesktop(const TWaylandDesktop&) = delete;
  TWaylandDesktop& operator=(const TWaylandDesktop&) = delete;

  // Empty when the desktop runs; otherwise what is missing.
  const QString& Problem() const { return Trouble; }
  // Gives a folder to the user the programs run as.
  bool Hand(const QString& path) const;

  // Copies the program into dir and starts it there; waits for its main window.
  bool StartProgram(const QString& dir);
  std::optional<int> WaitForExit(int milliseconds = 15000);
  QString ProgramOutput() const;

  // Keys as "F2", "Left" or "alt+g e", one run of wtype: each run is a new virtual
  // keyboard, and its arrival closes an open menu. A short pause first lets the client bind
  // the keyboard, or the first key is lost.
  void Key(const QString& keys);
  void Type(const QString& text);
  // Offers a file's contents on the clipboard as the given type.
  bool Copy(const QString& path, const QString& type);
  // Compositor commands: focus or close (as the close box does) the window of this title.
  bool Command(const QString& criteria, const QString& command);

  // The windows of this exact title in sway's tree (views only).
  std::vector<QJsonObject> Windows(const QString& title);
  bool WaitForWindows(const QString& title, int count, int milliseconds = 10000);
  bool WaitForGone(const QString& title, int milliseconds = 10000);
  // The screen area a window's own contents take.
  static QRect ContentRect(const QJsonObject& window);

  QImage Screenshot();
  void Pause(int milliseconds);

 private:
  QProcessEnvironment Environment() const;
  // Starts a program as the desktop's user.
  void StartAs(QProcess& process, const QString& program, const QStringList& arguments) const;
  QString Run(const QString& program, const QStringList& arguments, int milliseconds = 10000);
  bool FindUser();

  QString Trouble;
  bool AsOtherUser = false;
  uid_t User = 0;
  gid_t Group = 0;
  QTemporaryDir Runtime;
  QString Socket;
  QString SwaySocket;
  QProcess Compositor;
  QProcess Program;
};
