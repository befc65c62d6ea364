#include "framework/application.h"

#include <QAbstractEventDispatcher>
#include <QApplication>
#include <QKeyEvent>
#include <QPointer>

#include "framework/key_map.h"
#include "framework/window.h"
#include "framework/window_impl.h"

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

}  // namespace

struct TApplication::TImpl {
  // Qt wants argc and argv to outlive its application object.
  int Argc = 1;
  char ProgramName[8] = "kavro";
  char* Argv[2] = {ProgramName, nullptr};
  std::unique_ptr<QApplication> OwnApp;  // only when nobody made one before us
  std::unique_ptr<TAcceleratorFilter> Filter;
  QMetaObject::Connection IdleConnection;
  bool InIdle = false;
  long IdleCount = 0;
};

TApplication::TApplication(const char* name) : TModule(name), Pimpl(std::make_unique<TImpl>()) {
  if (QCoreApplication::instance() == nullptr) {
    Pimpl->OwnApp = std::make_unique<QApplication>(Pimpl->Argc, Pimpl->Argv);
  }
  if (name != nullptr) QCoreApplication::setApplicationName(QString::fromUtf8(name));
  CurrentApplication = this;
  Pimpl->Filter = std::make_unique<TAcceleratorFilter>(*this);
  QCoreApplication::instance()->installEventFilter(Pimpl->Filter.get());
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
  }
  MainWindow.reset();
  if (CurrentApplication == this) CurrentApplication = nullptr;
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
