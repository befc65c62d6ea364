// Starting and driving the virtual desktop.
#include "desktop.h"

#include <QDir>
#include <QFile>
#include <QStandardPaths>
#include <QThread>

TDesktop::TDesktop() {
  for (const char* tool : {"Xvfb", "openbox", "xdotool", "xwd", "xprop", "xwininfo", "xmessage"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
      Trouble = QStringLiteral("%1 is not installed").arg(tool);
      return;
    }
  }
  if (!QFile::exists("/usr/bin/convert")) {
    Trouble = "ImageMagick is not installed";
    return;
  }
  QFile::setPermissions(Runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  // Xvfb picks a free display and names it on the descriptor given.
  Server.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1280x800x24", "-nolisten", "tcp"});
  if (!Server.waitForStarted() || !Server.waitForReadyRead(10000)) {
    Trouble = "Xvfb did not start";
    return;
  }
  Display = ":" + QString::fromLatin1(Server.readLine()).trimmed();
  WindowManager.setProcessEnvironment(Environment());
  WindowManager.setProcessChannelMode(QProcess::MergedChannels);
  WindowManager.setStandardOutputFile(Runtime.filePath("openbox.log"));
  // A window mapped before the window manager is ready stays unmanaged: no focus, no keys.
  // On a loaded machine openbox now and then gives up at start; it gets a second chance.
  for (int start = 0; start < 2; ++start) {
    WindowManager.start("openbox", {"--sm-disable"});
    if (!WindowManager.waitForStarted()) break;
    for (int waited = 0; waited < 20000 && WindowManager.state() == QProcess::Running;
         waited += 100) {
      if (Run("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id")) return;
      Pause(100);
    }
    WindowManager.kill();
    WindowManager.waitForFinished(3000);
  }
  QFile log(Runtime.filePath("openbox.log"));
  Trouble = "openbox did not get ready: " + (log.open(QIODevice::ReadOnly)
                                                 ? QString::fromLocal8Bit(log.readAll().right(1000))
                                                 : QString());
}

TDesktop::~TDesktop() {
  for (QProcess* p : {&Program, &Other, &WindowManager, &Server}) {
    if (p->state() == QProcess::NotRunning) continue;
    p->terminate();
    if (!p->waitForFinished(3000)) p->kill();
    p->waitForFinished(3000);
  }
}

QProcessEnvironment TDesktop::Environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", Display);
  env.insert("QT_QPA_PLATFORM", "xcb");
  env.insert("XDG_RUNTIME_DIR", Runtime.path());
  env.insert("HOME", Runtime.path());
  env.remove("XDG_CONFIG_HOME");
  for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES"}) env.remove(name);
  env.insert("LANG", Language);
  return env;
}

QString TDesktop::Run(const QString& program, const QStringList& arguments, int milliseconds) {
  QProcess p;
  p.setProcessEnvironment(Environment());
  p.start(program, arguments);
  if (!p.waitForFinished(milliseconds)) {
    p.kill();
    p.waitForFinished();
    return {};
  }
  return QString::fromLocal8Bit(p.readAllStandardOutput());
}

bool TDesktop::StartProgram(const QString& dir) {
  const QString copy = dir + "/kavro";
  QFile::remove(copy);
  if (!QFile::copy(KAVRO_PROGRAM, copy)) return false;
  // The catalogues go where the program looks for them beside itself.
  const QDir catalogues(KAVRO_CATALOGUE_DIR);
  for (const QString& language : catalogues.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
    const QString folder = dir + "/locale/" + language + "/LC_MESSAGES";
    QDir().mkpath(folder);
    QFile::remove(folder + "/kavro.mo");
    QFile::copy(catalogues.filePath(language + "/LC_MESSAGES/kavro.mo"), folder + "/kavro.mo");
  }
  Program.setProcessEnvironment(Environment());
  // A file, not a pipe nobody reads: a pipe that fills would stop the program.
  Program.setProcessChannelMode(QProcess::MergedChannels);
  Program.setStandardOutputFile(Runtime.filePath("kavro.log"), QIODevice::Append);
  Program.setWorkingDirectory(Runtime.path());
  Program.start(copy, {});
  if (!Program.waitForStarted()) return false;
  // A loaded machine (tests run side by side) can take a while.
  for (int tries = 0; tries < 300; ++tries) {
    if (Program.state() == QProcess::NotRunning) {
      Trouble = "the program ended at start: " + ProgramOutput();
      return false;
    }
    const QStringList windows = Run("xdotool", {"search", "--onlyvisible", "--name", "^Kavro$"})
                                    .split('\n', Qt::SkipEmptyParts);
    if (!windows.isEmpty()) {
      Window = windows.first();
      Pause(800);  // the first paint and the window manager's maximizing
      Activate();
      return true;
    }
    Pause(100);
  }
  Trouble = "no main window appeared: " + ProgramOutput();
  return false;
}

QString TDesktop::ProgramOutput() const {
  QFile log(Runtime.filePath("kavro.log"));
  return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll().right(2000))
                                       : QString();
}

std::optional<int> TDesktop::WaitForExit(int milliseconds) {
  if (!Program.waitForFinished(milliseconds)) return std::nullopt;
  return Program.exitCode();
}

void TDesktop::Activate() {
  Run("xdotool", {"windowactivate", "--sync", Window});
  Pause(200);
}

bool TDesktop::Xdo(const QStringList& arguments) {
  QProcess p;
  p.setProcessEnvironment(Environment());
  p.start("xdotool", arguments);
  return p.waitForFinished(10000) && p.exitCode() == 0;
}

void TDesktop::Key(const QString& keys) {
  Xdo({"key", keys});
  Pause(300);
}

void TDesktop::Type(const QString& text) {
  Xdo({"type", "--delay", "20", text});
  Pause(300);
}

bool TDesktop::WaitForWindow(const QString& name, int milliseconds) {
  return WaitForWindows(name, 1, milliseconds);
}

bool TDesktop::WaitForWindows(const QString& name, int count, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 100) {
    if (Windows(name).size() >= count) {
      Pause(300);  // mapped; let it take the focus and paint
      return true;
    }
    Pause(100);
  }
  return false;
}

bool TDesktop::WaitForGone(const QString& name, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 100) {
    if (Windows(name).isEmpty()) {
      Pause(300);  // the window below repaints
      return true;
    }
    Pause(100);
  }
  return false;
}

void TDesktop::Click(int x, int y) {
  Xdo({"mousemove", "--sync", QString::number(x), QString::number(y)});
  Xdo({"click", "1"});
  Pause(400);
}

void TDesktop::Pause(int milliseconds) {
  QThread::msleep(static_cast<unsigned long>(milliseconds));
}

QImage TDesktop::Screenshot() {
  return WindowShot("root");
}

QString TDesktop::Output(const QString& program, const QStringList& arguments) {
  return Run(program, arguments);
}

QImage TDesktop::WindowShot(const QString& window) {
  QProcess xwd;
  QProcess convert;
  xwd.setProcessEnvironment(Environment());
  xwd.setStandardOutputProcess(&convert);
  xwd.start("xwd", window == "root" ? QStringList{"-root", "-silent"}
                                    : QStringList{"-id", window, "-silent"});
  convert.start("/usr/bin/convert", {"xwd:-", "png:-"});
  xwd.waitForFinished(10000);
  convert.waitForFinished(10000);
  return QImage::fromData(convert.readAllStandardOutput(), "PNG");
}

QStringList TDesktop::Windows(const QString& name) {
  return Run("xdotool", {"search", "--onlyvisible", "--name", "^" + name + "$"})
      .split('\n', Qt::SkipEmptyParts);
}

QRect TDesktop::ClientRect(const QString& window) {
  // xwininfo, not xdotool: under a reparenting window manager it gives the client's place.
  const QString info = Run("xwininfo", {"-id", window});
  const auto field = [&](const QString& label) {
    const int at = info.indexOf(label);
    return at < 0 ? -1 : info.mid(at + label.size()).section('\n', 0, 0).trimmed().toInt();
  };
  return {field("Absolute upper-left X:"), field("Absolute upper-left Y:"), field("Width:"),
          field("Height:")};
}

void TDesktop::ActivateOtherProgram() {
  if (Other.state() == QProcess::NotRunning) {
    Other.setProcessEnvironment(Environment());
    Other.start("xmessage", {"-name", "other", "another program"});
    Other.waitForStarted();
  }
  for (int waited = 0; waited < 10000; waited += 100) {
    const QStringList others = Windows("other");
    if (!others.isEmpty()) {
      Run("xdotool", {"windowactivate", "--sync", others.first()});
      Pause(300);
      return;
    }
    Pause(100);
  }
}

void TDesktop::Minimize() {
  Run("xdotool", {"windowminimize", "--sync", Window});
  Pause(300);
}
