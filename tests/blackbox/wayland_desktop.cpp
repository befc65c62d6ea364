// Starting and driving the virtual Wayland desktop.
#include "wayland_desktop.h"

#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLibraryInfo>
#include <QStandardPaths>
#include <QThread>

#include <pwd.h>
#include <unistd.h>

namespace {

constexpr char UserName[] = "kavro-wayland";

// Every view in the tree, tiled or floating.
void CollectViews(const QJsonObject& node, const QString& title, std::vector<QJsonObject>& out) {
  if (node.contains("pid") && node.value("name").toString() == title) out.push_back(node);
  for (const char* children : {"nodes", "floating_nodes"}) {
    for (const QJsonValue child : node.value(children).toArray()) {
      CollectViews(child.toObject(), title, out);
    }
  }
}

}  // namespace

TWaylandDesktop::TWaylandDesktop() {
  for (const char* tool : {"sway", "swaymsg", "wtype", "grim", "wl-copy"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
      Trouble = QStringLiteral("%1 is not installed").arg(tool);
      return;
    }
  }
  const QString plugin =
      QLibraryInfo::path(QLibraryInfo::PluginsPath) + "/platforms/libqwayland-generic.so";
  if (!QFile::exists(plugin)) {
    Trouble = "qt6-wayland is not installed";
    return;
  }
  if (geteuid() == 0 && !FindUser()) return;
  QFile::setPermissions(Runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  if (!Hand(Runtime.path())) {
    Trouble = "the runtime folder cannot be given to the desktop's user";
    return;
  }
  const QString config = Runtime.filePath("sway.conf");
  QFile file(config);
  if (!file.open(QIODevice::WriteOnly) ||
      file.write("output HEADLESS-1 resolution 1600x1000\nxwayland disable\n") < 0) {
    Trouble = "no compositor configuration";
    return;
  }
  file.close();

  QProcessEnvironment env = Environment();
  env.insert("WLR_BACKENDS", "headless");
  env.insert("WLR_RENDERER", "pixman");
  env.insert("WLR_LIBINPUT_NO_DEVICES", "1");
  Compositor.setProcessEnvironment(env);
  Compositor.setStandardOutputFile(Runtime.filePath("sway.log"));
  Compositor.setStandardErrorFile(Runtime.filePath("sway.log"));
  StartAs(Compositor, "sway", {"-c", config});
  // sway names its sockets in the runtime folder once it is ready for clients.
  const QDir runtime(Runtime.path());
  for (int tries = 0; tries < 100 && (Socket.isEmpty() || SwaySocket.isEmpty()); ++tries) {
    Pause(100);
    if (Compositor.state() == QProcess::NotRunning) break;
    const QStringList sockets = runtime.entryList({"wayland-*"}, QDir::System);
    for (const QString& name : sockets) {
      if (!name.endsWith(".lock")) Socket = name;
    }
    const QStringList ipc = runtime.entryList({"sway-ipc.*.sock"}, QDir::System);
    if (!ipc.isEmpty()) SwaySocket = runtime.filePath(ipc.first());
  }
  if (Socket.isEmpty() || SwaySocket.isEmpty()) {
    QFile log(Runtime.filePath("sway.log"));
    Trouble = "sway did not start: " + (log.open(QIODevice::ReadOnly)
                                            ? QString::fromLocal8Bit(log.readAll().right(1000))
                                            : QString());
  }
}

TWaylandDesktop::~TWaylandDesktop() {
  for (QProcess* p : {&Program, &Compositor}) {
    if (p->state() == QProcess::NotRunning) continue;
    p->terminate();
    if (!p->waitForFinished(3000)) p->kill();
    p->waitForFinished(3000);
  }
}

bool TWaylandDesktop::FindUser() {
  // Two test programs may start at once: the second useradd can find the files locked.
  for (int tries = 0; tries < 20; ++tries) {
    if (const passwd* user = getpwnam(UserName)) {
      User = user->pw_uid;
      Group = user->pw_gid;
      AsOtherUser = true;
      return true;
    }
    QProcess::execute("useradd", {"--system", "--user-group", "--no-create-home", "--shell",
                                  "/usr/sbin/nologin", UserName});
    Pause(200);
  }
  Trouble = QStringLiteral("no user %1 to run sway as (sway refuses root)").arg(UserName);
  return false;
}

bool TWaylandDesktop::Hand(const QString& path) const {
  return !AsOtherUser || chown(QFile::encodeName(path).constData(), User, Group) == 0;
}

QProcessEnvironment TWaylandDesktop::Environment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.remove("DISPLAY");
  env.remove("XDG_CONFIG_HOME");
  env.insert("XDG_RUNTIME_DIR", Runtime.path());
  env.insert("HOME", Runtime.path());
  env.insert("QT_QPA_PLATFORM", "wayland");
  // Shared-memory buffers only, as the pixman compositor draws them. Qt otherwise sets up
  // EGL for every window (an unknown integration name leaves it out, with a warning), and
  // the Mesa driver that loads leaks what a sanitizer build's leak check reports.
  env.insert("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "none");
  if (!Socket.isEmpty()) env.insert("WAYLAND_DISPLAY", Socket);
  if (!SwaySocket.isEmpty()) env.insert("SWAYSOCK", SwaySocket);
  return env;
}

void TWaylandDesktop::StartAs(QProcess& process, const QString& program,
                              const QStringList& arguments) const {
  if (!AsOtherUser) {
    process.start(program, arguments);
    return;
  }
  // setpriv ends in exec: the process started is the program itself.
  process.start("setpriv",
                QStringList{"--reuid=" + QString::number(User), "--regid=" + QString::number(Group),
                            "--clear-groups", "--", program} +
                    arguments);
}

QString TWaylandDesktop::Run(const QString& program, const QStringList& arguments,
                             int milliseconds) {
  QProcess p;
  p.setProcessEnvironment(Environment());
  StartAs(p, program, arguments);
  if (!p.waitForFinished(milliseconds)) {
    p.kill();
    p.waitForFinished();
    return {};
  }
  return QString::fromLocal8Bit(p.readAllStandardOutput());
}

bool TWaylandDesktop::StartProgram(const QString& dir) {
  const QString copy = dir + "/kavro";
  QFile::remove(copy);
  if (!QFile::copy(KAVRO_PROGRAM, copy) || !Hand(dir)) return false;
  Program.setProcessEnvironment(Environment());
  // A file, not a pipe nobody reads: a pipe that fills would stop the program.
  Program.setProcessChannelMode(QProcess::MergedChannels);
  Program.setStandardOutputFile(Runtime.filePath("kavro.log"), QIODevice::Append);
  Program.setWorkingDirectory(dir);
  StartAs(Program, copy, {});
  if (!Program.waitForStarted()) return false;
  for (int tries = 0; tries < 300; ++tries) {
    if (Program.state() == QProcess::NotRunning) {
      Trouble = "the program ended at start: " + ProgramOutput();
      return false;
    }
    if (!Windows("Kavro").empty()) {
      Pause(800);  // the first paint
      return true;
    }
    Pause(100);
  }
  Trouble = "no main window appeared: " + ProgramOutput();
  return false;
}

std::optional<int> TWaylandDesktop::WaitForExit(int milliseconds) {
  if (!Program.waitForFinished(milliseconds)) return std::nullopt;
  return Program.exitCode();
}

QString TWaylandDesktop::ProgramOutput() const {
  QFile log(Runtime.filePath("kavro.log"));
  return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll().right(2000))
                                       : QString();
}

void TWaylandDesktop::Key(const QString& keys) {
  QStringList arguments{"-s", "200"};
  for (const QString& chord : keys.split(' ', Qt::SkipEmptyParts)) {
    const QStringList parts = chord.split('+');
    for (qsizetype i = 0; i + 1 < parts.size(); ++i) arguments << "-M" << parts[i];
    arguments << "-k" << parts.last();
    for (qsizetype i = parts.size() - 2; i >= 0; --i) arguments << "-m" << parts[i];
    arguments << "-s"
              << "150";
  }
  Run("wtype", arguments);
  Pause(300);
}

void TWaylandDesktop::Type(const QString& text) {
  Run("wtype", {"-s", "200", "-d", "20", "--", text});
  Pause(300);
}

bool TWaylandDesktop::Copy(const QString& path, const QString& type) {
  QProcess p;
  p.setProcessEnvironment(Environment());
  p.setStandardInputFile(path);
  // wl-copy stays in the background to serve the clipboard until it is replaced.
  StartAs(p, "wl-copy", {"--type", type});
  return p.waitForFinished(10000) && p.exitCode() == 0;
}

bool TWaylandDesktop::Command(const QString& criteria, const QString& command) {
  const QString answer = Run("swaymsg", {criteria + " " + command});
  Pause(300);
  return answer.contains("\"success\": true");
}

std::vector<QJsonObject> TWaylandDesktop::Windows(const QString& title) {
  std::vector<QJsonObject> views;
  const QJsonDocument tree =
      QJsonDocument::fromJson(Run("swaymsg", {"-r", "-t", "get_tree"}).toUtf8());
  CollectViews(tree.object(), title, views);
  return views;
}

bool TWaylandDesktop::WaitForWindows(const QString& title, int count, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 100) {
    if (static_cast<int>(Windows(title).size()) >= count) {
      Pause(400);  // mapped; let it take the focus and paint
      return true;
    }
    Pause(100);
  }
  return false;
}

bool TWaylandDesktop::WaitForGone(const QString& title, int milliseconds) {
  for (int waited = 0; waited < milliseconds; waited += 100) {
    if (Windows(title).empty()) {
      Pause(300);  // the window below repaints
      return true;
    }
    Pause(100);
  }
  return false;
}

QRect TWaylandDesktop::ContentRect(const QJsonObject& window) {
  const QJsonObject outer = window.value("rect").toObject();
  const QJsonObject inner = window.value("window_rect").toObject();
  return {outer.value("x").toInt() + inner.value("x").toInt(),
          outer.value("y").toInt() + inner.value("y").toInt(), inner.value("width").toInt(),
          inner.value("height").toInt()};
}

QImage TWaylandDesktop::Screenshot() {
  QProcess grim;
  grim.setProcessEnvironment(Environment());
  StartAs(grim, "grim", {"-"});
  grim.waitForFinished(10000);
  return QImage::fromData(grim.readAllStandardOutput(), "PNG")
      .convertToFormat(QImage::Format_RGB32);
}

void TWaylandDesktop::Pause(int milliseconds) {
  QThread::msleep(static_cast<unsigned long>(milliseconds));
}
