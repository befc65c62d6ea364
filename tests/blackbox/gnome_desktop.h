// A headless GNOME Shell 43 for the shared desktop flows, the program started as a GNOME
// session starts it (it picks GNOME's X server there). As root on a machine without a
// login manager or system bus, the shell runs in namespaces of its own (mount and PID) with
// its own system and session buses; ending the namespace's first process ends them all.
// Keys and the pointer go through mutter's RemoteDesktop API, screenshots through the
// shell's Screenshot API, and a small extension of the test (gnome_extension/) tells the
// windows, the work area, the pointer and the clipboard, which the shell keeps to itself.
#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <QVariantList>

#include "compositor.h"

class TGnomeDesktop : public TCompositor {
 public:
  explicit TGnomeDesktop(double scale);
  ~TGnomeDesktop() override;
  TGnomeDesktop(const TGnomeDesktop&) = delete;
  TGnomeDesktop& operator=(const TGnomeDesktop&) = delete;

  double Scale() const override { return DesktopScale; }
  QRect Screen() override;
  QRect WorkArea() override;

  bool StartProgram(const QString& dir) override;
  std::optional<int> WaitForExit(int milliseconds = 15000) override;
  QString ProgramOutput() const override;

  void Key(const QString& keys) override;
  void Type(const QString& text) override;
  void Click(QPoint at) override;
  bool Copy(const QString& path, const QString& type) override;
  bool ClipboardOffers(const QString& type) override;

  QImage Screenshot() override;
  std::vector<TWindow> Windows() override;

  // The desktop's XDG_RUNTIME_DIR: its sockets, session bus, and the shell's and the
  // program's logs.
  QString RuntimeFolder() const { return Root.filePath("run"); }

 private:
  bool StartShell(double scale);
  bool ChangeScale(double scale);
  bool ScaleX11(double scale);
  bool StartInput();
  QString ShellLog() const;
  void ForgetXDisplays() const;
  // The extension's account of the screen: stage size, scale, work area, overview.
  QJsonObject State();
  QDBusMessage Call(const QString& service, const QString& path, const QString& interface,
                    const QString& method, const QVariantList& arguments = {},
                    int milliseconds = 10000);
  QDBusMessage Test(const QString& method, const QVariantList& arguments = {});
  void Keysym(quint32 keysym, bool pressed);
  QPoint Pointer();

  QTemporaryDir Root;
  QString Bus;
  QString Connection;
  QString Session;     // the RemoteDesktop session's object path
  QString X11Display;  // GNOME's X server (Xwayland), and its key
  QString X11Authority;
  double DesktopScale = 1;
  // Screenshot pixels a pixel of the shell's stage: 1 in GNOME's default layout mode, where
  // the stage is in device pixels; the scale where it is in logical pixels.
  double StagePixel = 1;
  QSize Device;
  QProcess Shell;
  QProcess Program;
};
