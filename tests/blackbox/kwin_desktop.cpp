// Starting and driving the headless KWin.
#include "kwin_desktop.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDBusPendingReply>
#include <QDBusUnixFileDescriptor>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLibraryInfo>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTimer>

#include <fcntl.h>
#include <linux/input-event-codes.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <map>

namespace {

constexpr char SocketName[] = "wayland-kavro";
constexpr char ProbeService[] = "org.kavro.KwinProbe";
constexpr int Width = 1600;  // logical pixels, at every scale
constexpr int Height = 1200;

struct TStroke {
  unsigned Code = 0;
  bool Shift = false;
};

// A character on a US keyboard, the layout KWin starts with.
std::optional<TStroke> CharacterKey(QChar c) {
  static const std::map<char16_t, TStroke> keys = [] {
    std::map<char16_t, TStroke> k;
    const auto row = [&k](const char* letters, unsigned first) {
      for (unsigned i = 0; letters[i] != 0; ++i) {
        const auto letter = static_cast<char16_t>(letters[i]);
        k[letter] = {first + i, false};
        k[QChar(letter).toUpper().unicode()] = {first + i, true};
      }
    };
    row("qwertyuiop", KEY_Q);
    row("asdfghjkl", KEY_A);
    row("zxcvbnm", KEY_Z);
    const char* plain = "1234567890-=[]\\;',./`";
    const char* shifted = "!@#$%^&*()_+{}|:\"<>?~";
    const unsigned codes[] = {
        KEY_1,         KEY_2,          KEY_3,         KEY_4,         KEY_5,          KEY_6,
        KEY_7,         KEY_8,          KEY_9,         KEY_0,         KEY_MINUS,      KEY_EQUAL,
        KEY_LEFTBRACE, KEY_RIGHTBRACE, KEY_BACKSLASH, KEY_SEMICOLON, KEY_APOSTROPHE, KEY_COMMA,
        KEY_DOT,       KEY_SLASH,      KEY_GRAVE};
    for (unsigned i = 0; plain[i] != 0; ++i) {
      k[static_cast<char16_t>(plain[i])] = {codes[i], false};
      k[static_cast<char16_t>(shifted[i])] = {codes[i], true};
    }
    k[u' '] = {KEY_SPACE, false};
    k[u'\n'] = {KEY_ENTER, false};
    k[u'\t'] = {KEY_TAB, false};
    return k;
  }();
  const auto key = keys.find(c.unicode());
  if (key == keys.end()) return std::nullopt;
  return key->second;
}

// A key by its xdotool (X keysym) name, or a single character.
std::optional<TStroke> NamedKey(const QString& name) {
  static const std::map<QString, TStroke> keys = {
      {"F1", {KEY_F1}},
      {"F2", {KEY_F2}},
      {"F3", {KEY_F3}},
      {"F4", {KEY_F4}},
      {"F5", {KEY_F5}},
      {"F6", {KEY_F6}},
      {"F7", {KEY_F7}},
      {"F8", {KEY_F8}},
      {"F9", {KEY_F9}},
      {"F10", {KEY_F10}},
      {"F11", {KEY_F11}},
      {"F12", {KEY_F12}},
      {"Left", {KEY_LEFT}},
      {"Right", {KEY_RIGHT}},
      {"Up", {KEY_UP}},
      {"Down", {KEY_DOWN}},
      {"Home", {KEY_HOME}},
      {"End", {KEY_END}},
      {"Prior", {KEY_PAGEUP}},
      {"Page_Up", {KEY_PAGEUP}},
      {"Next", {KEY_PAGEDOWN}},
      {"Page_Down", {KEY_PAGEDOWN}},
      {"Insert", {KEY_INSERT}},
      {"Delete", {KEY_DELETE}},
      {"BackSpace", {KEY_BACKSPACE}},
      {"Return", {KEY_ENTER}},
      {"KP_Enter", {KEY_KPENTER}},
      {"Escape", {KEY_ESC}},
      {"Tab", {KEY_TAB}},
      {"space", {KEY_SPACE}},
      {"Menu", {KEY_COMPOSE}},
      {"alt", {KEY_LEFTALT}},
      {"Alt_L", {KEY_LEFTALT}},
      {"ctrl", {KEY_LEFTCTRL}},
      {"Control_L", {KEY_LEFTCTRL}},
      {"shift", {KEY_LEFTSHIFT}},
      {"Shift_L", {KEY_LEFTSHIFT}},
      {"super", {KEY_LEFTMETA}},
      {"Super_L", {KEY_LEFTMETA}},
      {"minus", {KEY_MINUS}},
      {"equal", {KEY_EQUAL}},
      {"bracketleft", {KEY_LEFTBRACE}},
      {"bracketright", {KEY_RIGHTBRACE}},
      {"backslash", {KEY_BACKSLASH}},
      {"semicolon", {KEY_SEMICOLON}},
      {"apostrophe", {KEY_APOSTROPHE}},
      {"grave", {KEY_GRAVE}},
      {"comma", {KEY_COMMA}},
      {"period", {KEY_DOT}},
      {"slash", {KEY_SLASH}},
      {"exclam", {KEY_1, true}},
      {"at", {KEY_2, true}},
      {"numbersign", {KEY_3, true}},
      {"dollar", {KEY_4, true}},
      {"percent", {KEY_5, true}},
      {"asciicircum", {KEY_6, true}},
      {"ampersand", {KEY_7, true}},
      {"asterisk", {KEY_8, true}},
      {"parenleft", {KEY_9, true}},
      {"parenright", {KEY_0, true}},
      {"underscore", {KEY_MINUS, true}},
      {"plus", {KEY_EQUAL, true}},
      {"braceleft", {KEY_LEFTBRACE, true}},
      {"braceright", {KEY_RIGHTBRACE, true}},
      {"bar", {KEY_BACKSLASH, true}},
      {"colon", {KEY_SEMICOLON, true}},
      {"quotedbl", {KEY_APOSTROPHE, true}},
      {"asciitilde", {KEY_GRAVE, true}},
      {"less", {KEY_COMMA, true}},
      {"greater", {KEY_DOT, true}},
      {"question", {KEY_SLASH, true}},
  };
  const auto key = keys.find(name);
  if (key != keys.end()) return key->second;
  if (name.size() == 1) return CharacterKey(name[0]);
  return std::nullopt;
}

// KWin 5.27 is a Qt 5 program: its decoration plugins live beside Qt 5's.
bool HasBreeze() {
  const QStringList arches = QDir("/usr/lib").entryList(QDir::Dirs | QDir::NoDotAndDotDot);
  return std::any_of(arches.begin(), arches.end(), [](const QString& arch) {
    return QFile::exists("/usr/lib/" + arch +
                         "/qt5/plugins/org.kde.kdecoration2/breezedecoration.so");
  });
}

QRect Scaled(const QJsonArray& r, double scale) {
  const auto at = [&](int i) { return static_cast<int>(std::lround(r.at(i).toDouble() * scale)); };
  return {at(0), at(1), at(2), at(3)};
}

// Walks KWin's windows and sends the program's toplevels back, oldest first, in logical
// pixels, with the area a maximized window takes. KWin 5.27 gives scripts no client
// geometry; with server-side decorations the buffer is exactly the client's area.
constexpr char ProbeScript[] = R"(
(function () {
  var windows = [];
  var list = workspace.clientList();
  for (var i = 0; i < list.length; ++i) {
    var w = list[i];
    if (w.pid !== %1 || w.popupWindow) continue;
    var f = w.frameGeometry, c = w.bufferGeometry;
    windows.push({caption: w.caption, active: w.active, maximizable: w.maximizable,
                  frame: [f.x, f.y, f.width, f.height], client: [c.x, c.y, c.width, c.height]});
  }
  var a = workspace.clientArea(KWin.MaximizeArea, workspace.activeScreen, workspace.currentDesktop);
  callDBus("%2", "/", "%2", "Report", "%3",
           JSON.stringify({windows: windows, area: [a.x, a.y, a.width, a.height]}));
})();
)";

}  // namespace

void TKwinProbe::Report(const QString& token, const QString& json) {
  if (token != Token) return;  // a late answer to an earlier probe
  Answer = json;
  emit Reported();
}

std::unique_ptr<TCompositor> StartKwin(double scale) {
  return std::make_unique<TKwinDesktop>(scale);
}

TKwinDesktop::TKwinDesktop(double scale) : Factor(scale) {
#ifndef KAVRO_FAKE_INPUT
  Trouble = "built without KWin's fake input (plasma-wayland-protocols, libwayland-dev)";
  return;
#endif
  for (const char* tool : {"dbus-run-session", "dbus-daemon", "setpriv", "wl-copy", "wl-paste"}) {
    if (QStandardPaths::findExecutable(tool).isEmpty()) {
      Trouble = QStringLiteral("%1 is not installed").arg(tool);
      return;
    }
  }
  if (!QFile::exists("/usr/bin/kwin_wayland")) {
    Trouble = "kwin-wayland is not installed";
    return;
  }
  // Without Breeze, KWin draws no title bars and the frames are the programs' own.
  if (!HasBreeze()) {
    Trouble = "kwin-style-breeze is not installed";
    return;
  }
  if (!QFile::exists(QLibraryInfo::path(QLibraryInfo::PluginsPath) +
                     "/platforms/libqwayland-generic.so")) {
    Trouble = "qt6-wayland is not installed";
    return;
  }
  if (!Runtime.isValid()) {
    Trouble = "no runtime folder";
    return;
  }
  QFile::setPermissions(Runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  StartKwin();
}

TKwinDesktop::~TKwinDesktop() {
  Input.reset();
  Stop(Clipboard);
  Stop(Program);
  if (Bus != nullptr) {
    Bus.reset();
    QDBusConnection::disconnectFromBus(BusName);
  }
  // KWin first: the bus session reaps it and ends its bus daemon. Whatever is left shares
  // the process group set up at start.
  if (Kwin.state() != QProcess::NotRunning) {
    const pid_t group = static_cast<pid_t>(Kwin.processId());
    QFile pid(Runtime.filePath("kwin.pid"));
    const pid_t kwin = pid.open(QIODevice::ReadOnly) ? pid.readAll().trimmed().toInt() : 0;
    kill(kwin > 0 ? kwin : -group, SIGTERM);
    if (!Kwin.waitForFinished(5000)) {
      kill(-group, SIGKILL);
      Kwin.waitForFinished(3000);
    }
    kill(-group, SIGKILL);
  }
}

void TKwinDesktop::Stop(QProcess& process) {
  if (process.state() == QProcess::NotRunning) return;
  process.terminate();
  if (!process.waitForFinished(3000)) process.kill();
  process.waitForFinished(3000);
}

QString TKwinDesktop::LogTail(const QString& name, int characters) const {
  QFile log(Runtime.filePath(name));
  return log.open(QIODevice::ReadOnly) ? QString::fromLocal8Bit(log.readAll().right(characters))
                                       : QString();
}

bool TKwinDesktop::StartKwin() {
  // The packaged binary carries a file capability a container may not grant: a plain copy
  // runs everywhere.
  const QString binary = Runtime.filePath("kwin_wayland");
  if (!QFile::copy("/usr/bin/kwin_wayland", binary)) {
    Trouble = "cannot copy kwin_wayland";
    return false;
  }
  // No window animations: a window shown or closed is drawn whole at once.
  QDir(Runtime.path()).mkpath("home/.config");
  QFile globals(Runtime.filePath("home/.config/kdeglobals"));
  if (!globals.open(QIODevice::WriteOnly) ||
      globals.write("[KDE]\nAnimationDurationFactor=0\n") < 0) {
    Trouble = "cannot write KWin's settings";
    return false;
  }
  globals.close();
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name :
       {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "XDG_CONFIG_HOME", "XDG_DATA_HOME",
        "XDG_CACHE_HOME", "DBUS_SESSION_BUS_ADDRESS", "QT_SCALE_FACTOR", "QT_PLUGIN_PATH"}) {
    env.remove(name);
  }
  env.insert("HOME", Runtime.filePath("home"));
  env.insert("XDG_RUNTIME_DIR", Runtime.path());
  env.insert("KWIN_SCREENSHOT_NO_PERMISSION_CHECKS", "1");
  env.insert("KWIN_WAYLAND_NO_PERMISSION_CHECKS", "1");
  Kwin.setProcessEnvironment(env);
  Kwin.setWorkingDirectory(Runtime.path());
  Kwin.setProcessChannelMode(QProcess::MergedChannels);
  Kwin.setStandardOutputFile(Runtime.filePath("kwin.log"));
  // A group of its own, so that the teardown ends the bus daemon with KWin. Should this
  // process die without a teardown (a test's time limit), each process of the desktop ends
  // with its parent: the bus session with this process, KWin and the bus daemon with it.
  Kwin.setChildProcessModifier([] {
    setsid();
    prctl(PR_SET_PDEATHSIG, SIGTERM);
  });
  const QString daemon = Runtime.filePath("dbus-daemon");
  QFile wrapper(daemon);
  if (!wrapper.open(QIODevice::WriteOnly) ||
      wrapper.write("#!/bin/sh\nexec setpriv --pdeathsig TERM dbus-daemon \"$@\"\n") < 0 ||
      !wrapper.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner)) {
    Trouble = "cannot write the bus daemon's wrapper";
    return false;
  }
  wrapper.close();
  const QString command =
      QStringLiteral(
          "echo $$ > kwin.pid && echo \"$DBUS_SESSION_BUS_ADDRESS\" > bus.address && "
          "exec ./kwin_wayland --virtual "
          "--width %1 --height %2 --scale %3 --socket %4 --no-lockscreen "
          "--no-global-shortcuts --no-kactivities")
          .arg(Width)
          .arg(Height)
          .arg(Factor)
          .arg(SocketName);
  Kwin.start("dbus-run-session", {"--dbus-daemon=" + daemon, "--", "setpriv", "--pdeathsig", "TERM",
                                  "sh", "-c", command});
  if (!Kwin.waitForStarted()) {
    Trouble = "dbus-run-session did not start";
    return false;
  }

  QElapsedTimer waited;
  waited.start();
  const QString socket = Runtime.filePath(SocketName);
  while (waited.elapsed() < 60000) {
    Pause(100);
    if (Kwin.state() == QProcess::NotRunning) {
      Trouble = "KWin ended at start: " + LogTail("kwin.log", 1500);
      return false;
    }
    if (Bus == nullptr) {
      QFile file(Runtime.filePath("bus.address"));
      const QString address =
          file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()).trimmed() : QString();
      if (address.isEmpty()) continue;
      BusName = "kwin-" + Runtime.path();
      Bus = std::make_unique<QDBusConnection>(QDBusConnection::connectToBus(address, BusName));
      if (!Bus->isConnected()) {
        Trouble = "no connection to KWin's bus: " + Bus->lastError().message();
        return false;
      }
      if (!Bus->registerService(ProbeService) ||
          !Bus->registerObject("/", &Receiver, QDBusConnection::ExportAllSlots)) {
        Trouble = "cannot serve the window list on KWin's bus";
        return false;
      }
    }
    if (!Bus->interface()->isServiceRegistered("org.kde.KWin") || !QFile::exists(socket)) continue;
    if (Input == nullptr) {
      Input = std::make_unique<TFakeInput>();
      const QString failed = Input->Connect(socket);
      if (!failed.isEmpty()) {
        Trouble = failed;
        return false;
      }
    }
    // Ready once its scripts run.
    if (Probe()) return true;
  }
  Trouble = "KWin did not get ready: " + LogTail("kwin.log", 1500);
  return false;
}

std::optional<TKwinDesktop::TState> TKwinDesktop::Probe() {
  if (Bus == nullptr) return std::nullopt;
  const QString token = QString::number(++Probes);
  const QString name = "kavro-probe-" + token;
  const QString path = Runtime.filePath(name + ".js");
  {
    QFile script(path);
    const qint64 pid = Program.state() == QProcess::NotRunning ? -1 : Program.processId();
    if (!script.open(QIODevice::WriteOnly) ||
        script.write(QString::fromLatin1(ProbeScript).arg(pid).arg(ProbeService, token).toUtf8()) <
            0) {
      return std::nullopt;
    }
  }
  Receiver.Token = token;
  Receiver.Answer.clear();
  const auto scripting = [&](const char* method, const QVariantList& arguments) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.kde.KWin", "/Scripting",
                                                       "org.kde.kwin.Scripting", method);
    call.setArguments(arguments);
    return Bus->call(call, QDBus::Block, 5000);
  };
  const QDBusMessage loaded = scripting("loadScript", {path, name});
  if (loaded.type() == QDBusMessage::ReplyMessage && loaded.arguments().value(0).toInt() >= 0) {
    // The answer comes as a call to this process: wait in an event loop.
    QEventLoop loop;
    QTimer timeout;
    timeout.setSingleShot(true);
    QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&Receiver, &TKwinProbe::Reported, &loop, &QEventLoop::quit);
    timeout.start(5000);
    scripting("start", {});
    if (Receiver.Answer.isEmpty()) loop.exec();
  }
  scripting("unloadScript", {name});
  QFile::remove(path);
  if (Receiver.Answer.isEmpty()) return std::nullopt;

  const QJsonObject answer = QJsonDocument::fromJson(Receiver.Answer.toUtf8()).object();
  TState state;
  state.WorkArea = Scaled(answer.value("area").toArray(), Factor);
  for (const QJsonValue value : answer.value("windows").toArray()) {
    const QJsonObject w = value.toObject();
    // The title the program gave, without the " <2>" KWin shows after a second window's
    // title when two are alike (the frame and its message boxes are all "Kavro").
    static const QRegularExpression suffix(" <\\d+>$");
    state.Windows.push_back({w.value("caption").toString().remove(suffix),
                             Scaled(w.value("frame").toArray(), Factor),
                             Scaled(w.value("client").toArray(), Factor),
                             w.value("active").toBool(), w.value("maximizable").toBool()});
  }
  return state;
}

QRect TKwinDesktop::Screen() {
  return {0, 0, static_cast<int>(std::lround(Width * Factor)),
          static_cast<int>(std::lround(Height * Factor))};
}

QRect TKwinDesktop::WorkArea() {
  const std::optional<TState> state = Probe();
  return state ? state->WorkArea : QRect();
}

std::vector<TCompositor::TWindow> TKwinDesktop::Windows() {
  std::optional<TState> state = Probe();
  return state ? std::move(state->Windows) : std::vector<TWindow>();
}

QProcessEnvironment TKwinDesktop::ClientEnvironment() const {
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME",
                           "QT_SCALE_FACTOR", "QT_SCREEN_SCALE_FACTORS", "QT_PLUGIN_PATH"}) {
    env.remove(name);
  }
  env.insert("HOME", Runtime.filePath("home"));
  env.insert("XDG_RUNTIME_DIR", Runtime.path());
  env.insert("WAYLAND_DISPLAY", SocketName);
  env.insert("QT_QPA_PLATFORM", "wayland");
  // Shared-memory buffers only: EGL in every window is slow on a software renderer, and the
  // Mesa driver it loads leaks what a sanitizer build's leak check reports.
  env.insert("QT_WAYLAND_CLIENT_BUFFER_INTEGRATION", "none");
  QFile address(Runtime.filePath("bus.address"));
  if (address.open(QIODevice::ReadOnly)) {
    env.insert("DBUS_SESSION_BUS_ADDRESS", QString::fromUtf8(address.readAll()).trimmed());
  }
  return env;
}

bool TKwinDesktop::StartProgram(const QString& dir) {
  if (!Trouble.isEmpty()) return false;
  const QString copy = dir + "/kavro";
  QFile::remove(copy);
  if (!QFile::copy(KAVRO_PROGRAM, copy)) {
    Trouble = "cannot copy the program into " + dir;
    return false;
  }
  Program.setProcessEnvironment(ClientEnvironment());
  // A file, not a pipe nobody reads: a pipe that fills would stop the program.
  Program.setProcessChannelMode(QProcess::MergedChannels);
  Program.setStandardOutputFile(Runtime.filePath("kavro.log"), QIODevice::Append);
  Program.setWorkingDirectory(dir);
  Program.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
  Program.start(copy, {});
  if (!Program.waitForStarted()) {
    Trouble = "the program did not start";
    return false;
  }
  return WaitForMainWindow(Program);
}

std::optional<int> TKwinDesktop::WaitForExit(int milliseconds) {
  if (!Program.waitForFinished(milliseconds)) return std::nullopt;
  return Program.exitCode();
}

QString TKwinDesktop::ProgramOutput() const {
  // Less what Qt says of the buffer integration this driver turns off.
  static const QRegularExpression ours(
      "qt\\.qpa\\.wayland: [^\\n]*client buffer integration[^\\n]*\\n");
  return LogTail("kavro.log", 2000).remove(ours);
}

void TKwinDesktop::Key(const QString& keys) {
  if (Input == nullptr) return;
  for (const QString& chord : keys.split(' ', Qt::SkipEmptyParts)) {
    std::vector<unsigned> held;
    for (const QString& name : chord.split('+')) {
      const std::optional<TStroke> stroke = NamedKey(name);
      if (!stroke) {
        ADD_FAILURE() << "no key named " << name.toStdString();
        continue;
      }
      if (stroke->Shift) held.push_back(KEY_LEFTSHIFT);
      held.push_back(stroke->Code);
    }
    for (const unsigned code : held) Input->Key(code, true);
    for (auto code = held.rbegin(); code != held.rend(); ++code) Input->Key(*code, false);
    Pause(150);  // a menu the chord opened is shown before the next key
  }
  Pause(150);
}

void TKwinDesktop::Type(const QString& text) {
  if (Input == nullptr) return;
  for (const QChar c : text) {
    const std::optional<TStroke> stroke = CharacterKey(c);
    if (!stroke) {
      ADD_FAILURE() << "no key types " << QString(c).toStdString();
      continue;
    }
    if (stroke->Shift) Input->Key(KEY_LEFTSHIFT, true);
    Input->Key(stroke->Code, true);
    Input->Key(stroke->Code, false);
    if (stroke->Shift) Input->Key(KEY_LEFTSHIFT, false);
  }
  Pause(300);
}

void TKwinDesktop::Click(QPoint at) {
  if (Input == nullptr) return;
  // Fake input takes logical coordinates: aim at the middle of the device pixel.
  Input->MoveTo(QPointF((at.x() + 0.5) / Factor, (at.y() + 0.5) / Factor));
  Pause(50);
  Input->Button(BTN_LEFT, true);
  Input->Button(BTN_LEFT, false);
  Pause(300);
}

bool TKwinDesktop::Copy(const QString& path, const QString& type) {
  Stop(Clipboard);
  Clipboard.setProcessEnvironment(ClientEnvironment());
  Clipboard.setStandardInputFile(path);
  Clipboard.setStandardOutputFile(QProcess::nullDevice());
  Clipboard.setStandardErrorFile(Runtime.filePath("wl-copy.log"), QIODevice::Append);
  // In the foreground, so that it is this desktop's to end.
  Clipboard.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
  Clipboard.start("wl-copy", {"--foreground", "--type", type});
  if (!Clipboard.waitForStarted()) return false;
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 10000) {
    if (Clipboard.state() == QProcess::NotRunning) return false;
    if (ClipboardOffers(type)) return true;
    Pause(100);
  }
  return false;
}

bool TKwinDesktop::ClipboardOffers(const QString& type) {
  QProcess paste;
  paste.setProcessEnvironment(ClientEnvironment());
  paste.start("wl-paste", {"--list-types"});
  // With no selection at all KWin 5.27 never tells a data-control client so, and wl-paste
  // waits for ever: no answer means nothing is offered.
  if (!paste.waitForFinished(3000)) {
    paste.kill();
    paste.waitForFinished();
    return false;
  }
  const QStringList types =
      QString::fromUtf8(paste.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
  return types.contains(type);
}

QImage TKwinDesktop::Screenshot() {
  // The screen once it has settled: the program may still be painting what a key asked for.
  QImage shot = Capture();
  for (int tries = 0; tries < 20 && !shot.isNull(); ++tries) {
    Pause(100);
    QImage again = Capture();
    if (again == shot) break;
    shot = std::move(again);
  }
  return shot;
}

QImage TKwinDesktop::Capture() {
  if (Bus == nullptr) return {};
  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return {};
  QDBusPendingCall pending = [&] {
    QDBusMessage call =
        QDBusMessage::createMethodCall("org.kde.KWin", "/org/kde/KWin/ScreenShot2",
                                       "org.kde.KWin.ScreenShot2", "CaptureWorkspace");
    const QVariantMap options = {{"native-resolution", true}, {"include-cursor", false}};
    call.setArguments({options, QVariant::fromValue(QDBusUnixFileDescriptor(fds[1]))});
    return Bus->asyncCall(call, 10000);
  }();
  close(fds[1]);  // the bus holds its own copy until KWin has it

  // KWin answers with the format and writes the pixels after: read until the end of the
  // pipe or until the answer's size has come.
  QByteArray data;
  qsizetype expected = -1;
  QElapsedTimer waited;
  waited.start();
  while (waited.elapsed() < 15000) {
    if (expected < 0 && pending.isFinished()) {
      if (pending.isError()) break;
      const QVariantMap results = QDBusPendingReply<QVariantMap>(pending).value();
      expected = results.value("stride").toLongLong() * results.value("height").toLongLong();
    }
    if (expected >= 0 && data.size() >= expected) break;
    pollfd wait = {fds[0], POLLIN, 0};
    if (poll(&wait, 1, 50) <= 0) continue;
    char buffer[65536];
    const ssize_t got = read(fds[0], buffer, sizeof buffer);
    if (got <= 0) {
      if (expected >= 0 || pending.isFinished()) break;
      continue;
    }
    data.append(buffer, got);
  }
  close(fds[0]);
  pending.waitForFinished();
  if (pending.isError()) return {};
  const QVariantMap results = QDBusPendingReply<QVariantMap>(pending).value();
  const int width = results.value("width").toInt();
  const int height = results.value("height").toInt();
  const int stride = results.value("stride").toInt();
  const auto format = static_cast<QImage::Format>(results.value("format").toInt());
  if (width <= 0 || height <= 0 || data.size() < qsizetype(stride) * height) return {};
  return QImage(reinterpret_cast<const uchar*>(data.constData()), width, height, stride, format)
      .convertToFormat(QImage::Format_RGB32);
}

INSTANTIATE_TEST_SUITE_P(Kwin, OnDesktop,
                         testing::Values(TDesktopCase{"Scale1", [] { return StartKwin(1); }},
                                         TDesktopCase{"Scale2", [] { return StartKwin(2); }}),
                         DesktopCaseName);
