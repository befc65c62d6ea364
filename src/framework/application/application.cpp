#include "framework/application/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>
#include <QTimer>

#include <string>

#include "framework/application/desktop_platform.h"
#include "framework/text/translation.h"
#include "framework/windows/key_map.h"
#include "framework/windows/program.h"
#include "framework/windows/window.h"
#include "framework/windows/window_impl.h"

namespace {
TApplication* CurrentApplication = nullptr;
}  // namespace

namespace {

// Whether window is top, or a window top owns (a thumbnail, a floating bar): their keys
// are the main window's keys too.
bool OwnedBy(const QWidget* window, const QWidget* top) {
  for (; window != nullptr;
       window = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
    if (window == top) return true;
  }
  return false;
}

// Lets the main window's accelerators see keys before the focused window does.
class TAcceleratorFilter : public QObject {
 public:
  explicit TAcceleratorFilter(TApplication& app) : App(app) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::KeyPress) return false;
    TWindow* main = App.GetMainWindow();
    auto* widget = qobject_cast<QWidget*>(watched);
    if (main == nullptr || widget == nullptr || main->Impl()->Widget == nullptr) return false;
    // A key travels up from the focus widget through its parents: translate it once, at
    // its first receiver.
    QWidget* focus = QApplication::focusWidget();
    if (widget != (focus != nullptr ? focus : widget->window())) return false;
    if (QApplication::activeModalWidget() != nullptr) return false;
    if (!OwnedBy(widget->window(), main->Impl()->Widget->window())) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    const UINT vk = VirtualKeyFromQt(key->key(), key->modifiers());
    if (vk == 0) return false;
    const Qt::KeyboardModifiers mods = key->modifiers();
    return main->TranslateAccelerator(vk, mods.testFlag(Qt::ControlModifier),
                                      mods.testFlag(Qt::ShiftModifier),
                                      mods.testFlag(Qt::AltModifier));
  }

 private:
  TApplication& App;
};

// A click on a window that a modal dialog blocks brings the dialog back to the front with
// the keyboard, as on Windows; desktops that leave the click's activation with the blocked
// window (GNOME and KWin on Wayland) would otherwise leave the dialog without its keys.
class TModalKeeper : public QObject {
 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() != QEvent::WindowActivate) return false;
    auto* window = qobject_cast<QWidget*>(watched);
    QWidget* modal = QApplication::activeModalWidget();
    if (window == nullptr || modal == nullptr || !window->isWindow() || window == modal ||
        modal->isAncestorOf(window)) {
      return false;
    }
    const QPointer<QWidget> dialog(modal);
    // After the desktop has finished activating the window clicked.
    QTimer::singleShot(0, modal, [dialog] {
      if (dialog == nullptr || QApplication::activeModalWidget() != dialog) return;
      dialog->raise();
      dialog->activateWindow();
    });
    return false;
  }
};

}  // namespace

struct TApplication::TImpl {
  // Qt wants argc and argv to outlive its application object.
  int Argc = 1;
  char ProgramName[8] = "kavro";
  char PlatformOption[16] = "-platform";
  std::string Platform;
  char* Argv[4] = {ProgramName, nullptr, nullptr, nullptr};
  std::unique_ptr<QApplication> OwnApp;  // only when nobody made one before us
  std::unique_ptr<TAcceleratorFilter> Filter;
  TModalKeeper ModalKeeper;
  QMetaObject::Connection IdleConnection;
  bool InIdle = false;
  long IdleCount = 0;
};

TApplication::TApplication(const char* name) : TModule(name), Pimpl(std::make_unique<TImpl>()) {
  if (QCoreApplication::instance() == nullptr) {
    Pimpl->Platform = PlatformFor(CurrentSession());
    if (!Pimpl->Platform.empty()) {
      Pimpl->Argv[Pimpl->Argc++] = Pimpl->PlatformOption;
      Pimpl->Argv[Pimpl->Argc++] = Pimpl->Platform.data();
    }
    Pimpl->OwnApp = std::make_unique<QApplication>(Pimpl->Argc, Pimpl->Argv);
    UsePlayersLanguage();
  }
  if (name != nullptr) QCoreApplication::setApplicationName(QString::fromUtf8(name));
  CurrentApplication = this;
  LinkProgram({[this] { return GetMainWindow(); }, [this](int exitCode) { Quit(exitCode); }});
  Pimpl->Filter = std::make_unique<TAcceleratorFilter>(*this);
  QCoreApplication::instance()->installEventFilter(Pimpl->Filter.get());
  QCoreApplication::instance()->installEventFilter(&Pimpl->ModalKeeper);
  // The loop is idle when its dispatcher is about to wait for events.
  if (auto* dispatcher = QAbstractEventDispatcher::instance()) {
    Pimpl->IdleConnection =
        QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock, [this] {
          if (Pimpl->InIdle) return;
          Pimpl->InIdle = true;
          IdleAction(Pimpl->IdleCount++);
          Pimpl->InIdle = false;
        });
  }
}

TApplication::~TApplication() {
  QObject::disconnect(Pimpl->IdleConnection);
  if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::instance()->removeEventFilter(Pimpl->Filter.get());
    QCoreApplication::instance()->removeEventFilter(&Pimpl->ModalKeeper);
  }
  MainWindow.reset();
  if (CurrentApplication == this) {
    CurrentApplication = nullptr;
    LinkProgram({});
  }
}

TApplication* TApplication::Current() {
  return CurrentApplication;
}

void TApplication::InitMainWindow() {}

void TApplication::SetMainWindow(std::unique_ptr<TWindow> window) {
  MainWindow = std::move(window);
}

bool TApplication::IdleAction(long idleCount) {
  return MainWindow != nullptr && MainWindow->IsWindow() && MainWindow->IdleAction(idleCount);
}

void TApplication::Quit(int exitCode) {
  QCoreApplication::exit(exitCode);
}

int TApplication::Run() {
  InitMainWindow();
  if (MainWindow == nullptr || !MainWindow->Create()) return -1;
  MainWindow->ShowWindow(nCmdShow);
  const int exitCode = QCoreApplication::exec();
  MainWindow.reset();
  return exitCode;
}
