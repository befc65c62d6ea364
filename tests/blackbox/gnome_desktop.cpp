// Starting and driving the headless GNOME Shell.
#include "gnome_desktop.h"

#include <QCoreApplication>
#include <QDBusObjectPath>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <sys/prctl.h>
#include <unistd.h>

#include <csignal>
#include <map>

namespace {

constexpr char Uuid[] = "kavro-test@kavro.invalid";
constexpr char Socket[] = "wayland-kavro";
constexpr char RemoteDesktop[] = "org.gnome.Mutter.RemoteDesktop";
constexpr char RemoteSession[] = "org.gnome.Mutter.RemoteDesktop.Session";
constexpr int LeftButton = 0x110;  // BTN_LEFT
int Runs = 0;

// The extension's files are kept beside this source file.
QString ExtensionSource() {
  return QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/gnome_extension";
}

// Run in the shell's new namespaces. The image's stale /run/systemd makes the shell take a
// login manager for granted and there is no system bus: both are replaced by empty ones.
// mutter makes the X sockets' folder without the others' write bit when there is none, and
// then refuses it. No key repeat: a key released late on a busy machine types once.
// Animations off put a window where it ends at once; banners off keep the notice
// about a session run as root from covering windows.
constexpr char Script[] = R"(
mount -t tmpfs none /run/systemd && mount -t tmpfs none /run/dbus || exit 1
dbus-daemon --system --fork || exit 1
dbus-daemon --session --address="$DBUS_SESSION_BUS_ADDRESS" --fork || exit 1
gsettings set org.gnome.desktop.interface enable-hot-corners false
gsettings set org.gnome.desktop.interface enable-animations false
gsettings set org.gnome.desktop.notifications show-banners false
gsettings set org.gnome.desktop.peripherals.keyboard repeat false
gsettings set org.gnome.shell welcome-dialog-last-shown-version 999
gsettings set org.gnome.shell disable-user-extensions false
gsettings set org.gnome.shell enabled-extensions "['$1']" || exit 1
mkdir -p /tmp/.X11-unix && chmod 1777 /tmp/.X11-unix || exit 1
exec gnome-shell --headless --wayland --wayland-display="$2" --virtual-monitor "$3"
)";

quint32 CharacterKeysym(char32_t c) {
  if ((c >= 0x20 && c <= 0x7E) || (c >= 0xA0 && c <= 0xFF)) return c;
  return c == '\n' ? 0xFF0D : 0x1000000 + c;
}

// xdotool's key names as X keysyms; 0 for a name not known here.
quint32 KeysymOf(const QString& name) {
  static const std::map<QString, quint32> named = {
      {"Return", 0xFF0D}, {"Escape", 0xFF1B},    {"Tab", 0xFF09},     {"BackSpace", 0xFF08},
      {"Delete", 0xFFFF}, {"Home", 0xFF50},      {"End", 0xFF57},     {"Left", 0xFF51},
      {"Up", 0xFF52},     {"Right", 0xFF53},     {"Down", 0xFF54},    {"Prior", 0xFF55},
      {"Next", 0xFF56},   {"space", ' '},        {"slash", '/'},      {"period", '.'},
      {"comma", ','},     {"minus", '-'},        {"colon", ':'},      {"underscore", '_'},
      {"alt", 0xFFE9},    {"ctrl", 0xFFE3},      {"shift", 0xFFE1},   {"super", 0xFFEB},
      {"Alt_L", 0xFFE9},  {"Control_L", 0xFFE3}, {"Shift_L", 0xFFE1}, {"Super_L", 0xFFEB}};
  if (const auto found = named.find(name); found != named.end()) return found->second;
  bool number = false;
  const int f = name.mid(1).toInt(&number);
  if (name.startsWith('F') && number && f >= 1 && f <= 12) return 0xFFBE + f - 1;
  const QList<uint> characters = name.toUcs4();
  return characters.size() == 1 ? CharacterKeysym(characters[0]) : 0;
}

QRect RectOf(const QJsonValue& value, double pixel) {
  const QJsonObject r = value.toObject();
  return {qRound(r.value("x").toDouble() * pixel), qRound(r.value("y").toDouble() * pixel),
          qRound(r.value("width").toDouble() * pixel),
          qRound(r.value("height").toDouble() * pixel)};
}

}  // namespace

TGnomeDesktop::TGnomeDesktop(double scale)
    : Connection(QStringLiteral("kavro-gnome-%1").arg(reinterpret_cast<quintptr>(this))) {
  if (StartShell(scale) && ChangeScale(scale)) StartInput();
}

TGnomeDesktop::~TGnomeDesktop() {
  if (Program.state() != QProcess::NotRunning) {
    Program.terminate();
    if (!Program.waitForFinished(3000)) Program.kill();
    Program.waitForFinished(3000);
  }
  QDBusConnection::disconnectFromBus(Connection);
  // KAVRO_DESKTOP_LOGS=FOLDER keeps the logs of a run to look into (WAYLAND_DEBUG=client
  // puts the program's Wayland requests and events in its log).
  if (const QString logs = qEnvironmentVariable("KAVRO_DESKTOP_LOGS"); !logs.isEmpty()) {
    const QString run = logs + "/gnome-" + QString::number(QCoreApplication::applicationPid()) +
                        "-" + QString::number(++Runs);
    QDir().mkpath(run);
    for (const char* log : {"/shell.log", "/kavro.log"})
      QFile::copy(RuntimeFolder() + log, run + log);
  }
  if (Shell.state() == QProcess::NotRunning) {
    ForgetXDisplays();
    return;
  }
  // The first process of the shell's PID namespace: the kernel ends every other process of
  // the namespace with it, and unshare returns once they are all gone.
  const QString pid = QString::number(Shell.processId());
  QFile children("/proc/" + pid + "/task/" + pid + "/children");
  if (children.open(QIODevice::ReadOnly)) {
    for (const QByteArray& child : children.readAll().split(' ')) {
      if (child.trimmed().toInt() > 0) ::kill(child.trimmed().toInt(), SIGKILL);
    }
  }
  if (!Shell.waitForFinished(30000)) Shell.kill();  // unshare then kills its child
  Shell.waitForFinished(5000);
  ForgetXDisplays();
}

void TGnomeDesktop::ForgetXDisplays() const {
  // Xwayland, killed with the shell, leaves its displays' lock files and sockets behind; a
  // later X server would skip those displays, and after fifty of them give up.
  static const QRegularExpression used("display :(\\d+), \\(using :(\\d+)");
  QFile log(RuntimeFolder() + "/shell.log");
  if (!log.open(QIODevice::ReadOnly)) return;
  const QRegularExpressionMatch match = used.match(QString::fromLocal8Bit(log.readAll()));
  if (!match.hasMatch()) return;
  for (const QString& number : {match.captured(1), match.captured(2)}) {
    QFile::remove("/tmp/.X" + number + "-lock");
    QFile::remove("/tmp/.X11-unix/X" + number);
  }
}

bool TGnomeDesktop::StartShell(double scale) {
  if (geteuid() != 0) {
    Trouble = "the GNOME desktop runs as root only: the shell needs namespaces of its own";
    return false;
  }
  for (const char* tool : {"gnome-shell", "unshare", "dbus-daemon", "gsettings", "mount", "xrdb"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
      Trouble = QStringLiteral("%1 is not installed").arg(tool);
      return false;
    }
  }
  if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                     "/platforms/libqwayland-generic.so")) {
    Trouble = "qt6-wayland is not installed";
    return false;
  }
  const QString extension = "home/.local/share/gnome-shell/extensions/" + QString(Uuid);
  const QDir root(Root.path());
  if (!Root.isValid() || !root.mkpath(extension) || !root.mkpath("run") ||
      !QFile::setPermissions(RuntimeFolder(),
                             QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
    Trouble = "no folder for the desktop";
    return false;
  }
  for (const char* file : {"metadata.json", "extension.js"}) {
    if (!QFile::copy(ExtensionSource() + "/" + file, root.filePath(extension + "/" + file))) {
      Trouble = "the test's shell extension is missing: " + ExtensionSource();
      return false;
    }
  }
  Device = scale == 2 ? QSize(3200, 2400) : QSize(1600, 1200);
  Bus = "unix:path=" + RuntimeFolder() + "/bus";
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
                           "XDG_CACHE_HOME", "DBUS_SYSTEM_BUS_ADDRESS"}) {
    env.remove(name);
  }
  env.insert("HOME", root.filePath("home"));
  env.insert("XDG_RUNTIME_DIR", RuntimeFolder());
  env.insert("XDG_SESSION_TYPE", "wayland");
  env.insert("XDG_CURRENT_DESKTOP", "GNOME");
  env.insert("DBUS_SESSION_BUS_ADDRESS", Bus);
  Shell.setProcessEnvironment(env);
  Shell.setProcessChannelMode(QProcess::MergedChannels);
  Shell.setStandardOutputFile(RuntimeFolder() + "/shell.log");
  // --kill-child: the namespace ends with unshare, should this process die first.
  // Should this process die without a teardown (a test's time limit), unshare ends with it,
  // and with unshare the whole namespace.
  Shell.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGKILL); });
  Shell.start("unshare", {"--mount", "--pid", "--fork", "--kill-child", "--mount-proc", "sh", "-c",
                          Script, "sh", Uuid, Socket,
                          QStringLiteral("%1x%2").arg(Device.width()).arg(Device.height())});

  // Ready once the extension answers and the shell has finished starting up.
  QElapsedTimer waited;
  waited.start();
  bool connected = false;
  for (;;) {
    if (Shell.state() == QProcess::NotRunning) {
      Trouble = "gnome-shell ended: " + ShellLog();
      return false;
    }
    if (waited.elapsed() > 120000) {
      Trouble = connected ? "the test's shell extension does not answer: " + ShellLog()
                          : "gnome-shell started no session bus: " + ShellLog();
      return false;
    }
    if (!connected && QFile::exists(RuntimeFolder() + "/bus")) {
      connected = QDBusConnection::connectToBus(Bus, Connection).isConnected();
      if (!connected) QDBusConnection::disconnectFromBus(Connection);
    }
    if (connected) {
      const QJsonObject state = State();
      if (!state.isEmpty() && !state.value("startingUp").toBool()) return true;
    }
    Pause(200);
  }
}

bool TGnomeDesktop::ChangeScale(double scale) {
  if (scale != 1) {
    const QDBusMessage reply = Test("SetScale", {scale});
    if (reply.type() != QDBusMessage::ReplyMessage) {
      Trouble = "the monitor's scale was refused: " + reply.errorMessage();
      return false;
    }
  }
  for (int tries = 0; tries < 100; ++tries) {
    const QJsonObject state = State();
    const int stage = state.value("stage").toObject().value("width").toInt();
    if (state.value("scale").toDouble() == scale && stage > 0) {
      DesktopScale = scale;
      StagePixel = static_cast<double>(Device.width()) / stage;
      X11Display = state.value("display").toString();
      X11Authority = state.value("xauthority").toString();
      return ScaleX11(scale);
    }
    Pause(100);
  }
  Trouble = QStringLiteral("the monitor did not take scale %1").arg(scale);
  return false;
}

bool TGnomeDesktop::ScaleX11(double scale) {
  if (X11Display.isEmpty()) {
    Trouble = "gnome-shell started no X server (Xwayland): " + ShellLog();
    return false;
  }
  // A GNOME session's settings daemon tells X11 programs the scale as Xft.dpi; the headless
  // shell runs none.
  QProcess xrdb;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert("DISPLAY", X11Display);
  env.insert("XAUTHORITY", X11Authority);
  xrdb.setProcessEnvironment(env);
  xrdb.start("xrdb", {"-merge"});
  xrdb.write(QStringLiteral("Xft.dpi: %1\n").arg(qRound(96 * scale)).toUtf8());
  xrdb.closeWriteChannel();
  if (!xrdb.waitForFinished(20000) || xrdb.exitStatus() != QProcess::NormalExit ||
      xrdb.exitCode() != 0) {
    Trouble = "xrdb cannot set the X server's scale: " +
              QString::fromLocal8Bit(xrdb.readAllStandardError());
    return false;
  }
  return true;
}

bool TGnomeDesktop::StartInput() {
  const QDBusMessage created =
      Call(RemoteDesktop, "/org/gnome/Mutter/RemoteDesktop", RemoteDesktop, "CreateSession");
  Session = created.arguments().value(0).value<QDBusObjectPath>().path();
  if (Session.isEmpty() ||
      Call(RemoteDesktop, Session, RemoteSession, "Start").type() != QDBusMessage::ReplyMessage) {
    Trouble = "no remote-desktop session for input: " + created.errorMessage();
    return false;
  }
  // The shell lets only its own screenshot tool take screenshots: this connection takes
  // that tool's name on the desktop's private bus.
  if (!QDBusConnection(Connection).registerService("org.gnome.Screenshot")) {
    Trouble = "the screenshot tool's bus name is taken";
    return false;
  }
  // Mutter makes the session's keyboard and pointer at their first events, and a client
  // that binds them later than a key loses the key: made now, before any program starts.
  Keysym(0xFFE1, true);  // Shift_L
  Keysym(0xFFE1, false);
  Call(RemoteDesktop, Session, RemoteSession, "NotifyPointerMotionRelative",
       {-100000.0, -100000.0});
  // The shell starts in the Activities overview; Escape leaves it, as a player would.
  for (int tries = 0; tries < 10; ++tries) {
    if (!State().value("overview").toBool()) return true;
    Key("Escape");
    Pause(500);
  }
  Trouble = "Escape does not leave the Activities overview: no keys reach the shell";
  return false;
}

QString TGnomeDesktop::ShellLog() const {
  QFile log(RuntimeFolder() + "/shell.log");
  return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll().right(1500))
                                       : QString();
}

QDBusMessage TGnomeDesktop::Call(const QString& service, const QString& path,
                                 const QString& interface, const QString& method,
                                 const QVariantList& arguments, int milliseconds) {
  QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
  message.setArguments(arguments);
  return QDBusConnection(Connection).call(message, QDBus::Block, milliseconds);
}

QDBusMessage TGnomeDesktop::Test(const QString& method, const QVariantList& arguments) {
  return Call("org.gnome.Shell", "/org/kavro/TestDesktop", "org.kavro.TestDesktop", method,
              arguments);
}

QJsonObject TGnomeDesktop::State() {
  const QDBusMessage reply = Test("Screen");
  if (reply.type() != QDBusMessage::ReplyMessage) return {};
  return QJsonDocument::fromJson(reply.arguments().value(0).toString().toUtf8()).object();
}

QRect TGnomeDesktop::Screen() {
  return {QPoint(0, 0), Device};
}

QRect TGnomeDesktop::WorkArea() {
  return RectOf(State().value("workArea"), StagePixel);
}

bool TGnomeDesktop::StartProgram(const QString& dir) {
  const QString copy = dir + "/kavro";
  QFile::remove(copy);
  if (!QFile::copy(KAVRO_PROGRAM, copy)) {
    Trouble = "the program cannot be copied into " + dir;
    return false;
  }
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME", "QT_SCALE_FACTOR",
                           "DBUS_SYSTEM_BUS_ADDRESS"}) {
    env.remove(name);
  }
  env.insert("HOME", Root.filePath("home"));
  env.insert("XDG_RUNTIME_DIR", RuntimeFolder());
  env.insert("XDG_SESSION_TYPE", "wayland");
  env.insert("XDG_CURRENT_DESKTOP", "GNOME");
  env.insert("DBUS_SESSION_BUS_ADDRESS", Bus);
  // As a GNOME session starts programs: its Wayland display and its X server, and no
  // platform chosen, so that the program chooses as it does for players.
  env.remove("QT_QPA_PLATFORM");
  env.insert("WAYLAND_DISPLAY", Socket);
  env.insert("DISPLAY", X11Display);
  env.insert("XAUTHORITY", X11Authority);
  Program.setProcessEnvironment(env);
  // A file, not a pipe nobody reads: a pipe that fills would stop the program.
  Program.setProcessChannelMode(QProcess::MergedChannels);
  Program.setStandardOutputFile(RuntimeFolder() + "/kavro.log", QIODevice::Append);
  Program.setWorkingDirectory(dir);
  Program.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
  Program.start(copy, {});
  if (!Program.waitForStarted()) {
    Trouble = "the program did not start";
    return false;
  }
  return WaitForMainWindow(Program);
}

std::optional<int> TGnomeDesktop::WaitForExit(int milliseconds) {
  if (!Program.waitForFinished(milliseconds)) return std::nullopt;
  return Program.exitCode();
}

QString TGnomeDesktop::ProgramOutput() const {
  QFile log(RuntimeFolder() + "/kavro.log");
  return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll().right(2000))
                                       : QString();
}

void TGnomeDesktop::Keysym(quint32 keysym, bool pressed) {
  Call(RemoteDesktop, Session, RemoteSession, "NotifyKeyboardKeysym", {keysym, pressed});
}

void TGnomeDesktop::Key(const QString& keys) {
  for (const QString& chord : keys.split(' ', Qt::SkipEmptyParts)) {
    std::vector<quint32> held;
    for (const QString& name : chord.split('+')) {
      const quint32 keysym = KeysymOf(name);
      if (keysym == 0) {
        ADD_FAILURE() << "no keysym for the key " << name.toStdString();
        continue;
      }
      Keysym(keysym, true);
      held.push_back(keysym);
    }
    for (auto key = held.rbegin(); key != held.rend(); ++key) Keysym(*key, false);
    Pause(200);  // a menu a key opens is shown before the next key
  }
  Pause(300);
}

void TGnomeDesktop::Type(const QString& text) {
  for (const char32_t c : text.toUcs4()) {
    Keysym(CharacterKeysym(c), true);
    Keysym(CharacterKeysym(c), false);
    Pause(20);
  }
  Pause(300);
}

QPoint TGnomeDesktop::Pointer() {
  const QList<QVariant> at = Test("Pointer").arguments();
  return {at.value(0).toInt(), at.value(1).toInt()};
}

void TGnomeDesktop::Click(QPoint at) {
  const QPoint target(qRound(at.x() / StagePixel), qRound(at.y() / StagePixel));
  // Absolute motion needs a screen-cast stream, and so PipeWire: the pointer goes to the
  // top-left corner, then the rest of the way, measured again where it lands. Relative
  // motion is in logical pixels.
  auto move = [&](double dx, double dy) {
    Call(RemoteDesktop, Session, RemoteSession, "NotifyPointerMotionRelative", {dx, dy});
    Pause(100);  // mutter moves the pointer in its input thread
  };
  const double unit = DesktopScale / StagePixel;
  move(-100000, -100000);
  for (int tries = 0; tries < 4; ++tries) {
    const QPoint now = Pointer();
    if (now == target) break;
    move((target.x() - now.x()) / unit, (target.y() - now.y()) / unit);
  }
  EXPECT_EQ(Pointer(), target) << "the pointer reached the point to click";
  Call(RemoteDesktop, Session, RemoteSession, "NotifyPointerButton", {LeftButton, true});
  Call(RemoteDesktop, Session, RemoteSession, "NotifyPointerButton", {LeftButton, false});
  Pause(300);
}

bool TGnomeDesktop::Copy(const QString& path, const QString& type) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return false;
  const QDBusMessage reply = Test("SetClipboard", {type, file.readAll()});
  return reply.type() == QDBusMessage::ReplyMessage && ClipboardOffers(type);
}

bool TGnomeDesktop::ClipboardOffers(const QString& type) {
  return Test("ClipboardTypes").arguments().value(0).toStringList().contains(type);
}

QImage TGnomeDesktop::Screenshot() {
  const QString file = RuntimeFolder() + "/screenshot.png";
  QFile::remove(file);
  const QDBusMessage reply =
      Call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot",
           "org.gnome.Shell.Screenshot", "Screenshot", {false, false, file}, 60000);
  if (reply.type() != QDBusMessage::ReplyMessage || !reply.arguments().value(0).toBool()) {
    ADD_FAILURE() << "no screenshot: " << reply.errorMessage().toStdString();
    return {};
  }
  return QImage(file).convertToFormat(QImage::Format_RGB32);
}

std::vector<TCompositor::TWindow> TGnomeDesktop::Windows() {
  std::vector<TWindow> windows;
  const QDBusMessage reply = Test("Windows");
  const QJsonArray list =
      QJsonDocument::fromJson(reply.arguments().value(0).toString().toUtf8()).array();
  for (const QJsonValue& value : list) {
    const QJsonObject w = value.toObject();
    windows.push_back({w.value("title").toString(), RectOf(w.value("frame"), StagePixel),
                       RectOf(w.value("client"), StagePixel), w.value("focused").toBool(),
                       w.value("maximizable").toBool()});
  }
  return windows;
}

std::unique_ptr<TCompositor> StartGnome(double scale) {
  return std::make_unique<TGnomeDesktop>(scale);
}

INSTANTIATE_TEST_SUITE_P(Gnome, OnDesktop,
                         testing::Values(TDesktopCase{"Scale1", [] { return StartGnome(1); }},
                                         TDesktopCase{"Scale2", [] { return StartGnome(2); }}),
                         DesktopCaseName);
