// A headless KWin (5.27, Breeze decorations) at a given scale, with the real program as its
// native client: keys and clicks through KWin's fake-input protocol, screenshots and the
// window list over KWin's own session bus (its screenshot interface and a script that
// reports back), the clipboard through wl-copy and wl-paste.
#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <memory>

#include "compositor.h"
#include "fake_input.h"

// What a KWin script sends back over D-Bus: the window list as JSON.
class TKwinProbe : public QObject {
  Q_OBJECT
  Q_CLASSINFO("D-Bus Interface", "org.kavro.KwinProbe")

 public:
  QString Token;
  QString Answer;

 public slots:
  void Report(const QString& token, const QString& json);

 signals:
  void Reported();
};

class TKwinDesktop : public TCompositor {
 public:
  explicit TKwinDesktop(double scale);
  ~TKwinDesktop() override;
  TKwinDesktop(const TKwinDesktop&) = delete;
  TKwinDesktop& operator=(const TKwinDesktop&) = delete;

  double Scale() const override { return Factor; }
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

 private:
  struct TState {
    std::vector<TWindow> Windows;
    QRect WorkArea;
  };
  bool StartKwin();
  // Runs the window-list script once; nothing when KWin did not answer.
  std::optional<TState> Probe();
  // One screenshot through KWin's screenshot interface.
  QImage Capture();
  QProcessEnvironment ClientEnvironment() const;
  QString LogTail(const QString& name, int characters) const;
  void Stop(QProcess& process);

  double Factor;
  QTemporaryDir Runtime;
  QString BusName;
  std::unique_ptr<QDBusConnection> Bus;
  TKwinProbe Receiver;
  int Probes = 0;
  QProcess Kwin;
  QProcess Program;
  QProcess Clipboard;
  std::unique_ptr<TFakeInput> Input;
};
