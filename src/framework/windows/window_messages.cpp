// A window's messages: sending, posting and default processing, and what the desktop
// answers with messages: timers, mouse capture, focus and the cursor; message boxes.
#include "framework/windows/window.h"

#include <QApplication>

#include <algorithm>
#include <utility>

#include "framework/graphics/dc.h"
#include "framework/graphics/dc_impl.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/windows/message_box.h"
#include "framework/windows/messages.h"
#include "framework/windows/program.h"
#include "framework/windows/window_impl.h"

// --- Messages ----------------------------------------------------------------------------

TResult TWindow::HandleMessage(UINT msg, TParam1 p1, TParam2 p2) {
  const TImpl::TCurrentMessage saved = std::exchange(Pimpl->Current, {msg, p1, p2, false});
  const TResult result = WindowProc(msg, p1, p2);
  Pimpl->LastDefaultRan = Pimpl->Current.DefaultRan;
  Pimpl->Current = saved;
  return result;
}

TResult TWindow::SendMessage(UINT msg, TParam1 p1, TParam2 p2) {
  return HandleMessage(msg, p1, p2);
}

bool TWindow::PostMessage(UINT msg, TParam1 p1, TParam2 p2) {
  if (Pimpl->Widget == nullptr) return false;
  // Qt owns a posted event and deletes it after delivery.
  QCoreApplication::postEvent(Pimpl->Widget, new TWindowWidget::TPostedMessage(msg, p1, p2));
  return true;
}

TResult TWindow::WindowProc(UINT msg, TParam1 p1, TParam2 p2) {
  Pimpl->Current.DefaultRan = true;
  return DefWindowProc(msg, p1, p2);
}

TResult TWindow::DefaultProcessing() {
  Pimpl->Current.DefaultRan = true;
  return DefWindowProc(Pimpl->Current.Msg, Pimpl->Current.P1, Pimpl->Current.P2);
}

TResult TWindow::DefWindowProc(UINT msg, TParam1 p1, TParam2 p2) {
  switch (msg) {
    case WM_PAINT: {
      Pimpl->MakeBacking(BkgndColor);
      QRegion region = std::exchange(Pimpl->Invalid, QRegion());
      const bool erase = std::exchange(Pimpl->EraseInvalid, false);
      region &= QRect(QPoint(0, 0), Pimpl->BackingSize);
      if (region.isEmpty() || Pimpl->Widget == nullptr) return 0;
      {
        TPaintDC dc(*this, region);
        // Paint learns whether the background still needs erasing, as Windows tells it.
        bool needsErase = false;
        if (erase) {
          needsErase = HandleMessage(WM_ERASEBKGND,
                                     reinterpret_cast<WPARAM>(static_cast<TDC*>(&dc)), 0) == 0;
        }
        TRect rect = ToTRect(region.boundingRect());
        Paint(dc, needsErase, rect);
      }
      Pimpl->Show(region.boundingRect());
      return 0;
    }
    case WM_ERASEBKGND: {
      auto* dc = reinterpret_cast<TDC*>(p1);
      if (dc == nullptr) return 0;
      dc->FillRect(GetClientRect(), TBrush(BkgndColor));
      return 1;
    }
    case WM_CLOSE:
      CloseWindow();
      return 0;
    case WM_COMMAND:
    case WM_COMMAND_ENABLE:
    case WM_SETHINTCOMMAND:
      // Commands nobody took travel up to the frame; Exit closes the main window.
      if (Parent != nullptr) return Parent->HandleMessage(msg, p1, p2);
      if (msg == WM_COMMAND && LOWORD(p1) == CM_EXIT) {
        if (TWindow* main = ProgramMainWindow(); main != nullptr) {
          main->CloseWindow();
        } else {
          CloseWindow();
        }
      }
      return 0;
    default:
      return 0;
  }
}

bool TWindow::TranslateAccelerator(UINT, bool, bool, bool) {
  return false;
}

bool TWindow::IdleAction(long idleCount) {
  bool more = false;
  // A child may go away while it runs: walk a copy and skip the departed.
  const std::vector<TWindow*> children = Children;
  for (TWindow* child : children) {
    if (std::find(Children.begin(), Children.end(), child) != Children.end()) {
      more = child->IdleAction(idleCount) || more;
    }
  }
  return more;
}

// --- Timers, mouse, focus, cursor ---------------------------------------------------------

bool TWindow::SetTimer(UINT id, UINT milliseconds) {
  if (Pimpl->Widget == nullptr) return false;
  KillTimer(id);  // a timer with the same id is replaced
  const int qtId = Pimpl->Widget->startTimer(static_cast<int>(milliseconds), Qt::PreciseTimer);
  if (qtId == 0) return false;
  Pimpl->Timers[qtId] = id;
  return true;
}

bool TWindow::KillTimer(UINT id) {
  for (auto it = Pimpl->Timers.begin(); it != Pimpl->Timers.end(); ++it) {
    if (it->second != id) continue;
    if (Pimpl->Widget != nullptr) Pimpl->Widget->killTimer(it->first);
    Pimpl->Timers.erase(it);
    return true;
  }
  return false;
}

// Wayland lets a program grab the mouse only for a pop-up, and gives the window a button
// was pressed in the pointer until its release anyway: there capture is only noted.
namespace {
bool GrabsForCapture() {
  return QGuiApplication::platformName() != QLatin1String("wayland");
}
}  // namespace

void TWindow::SetCapture() {
  if (Pimpl->Widget == nullptr) return;
  Pimpl->Captured = true;
  if (GrabsForCapture()) Pimpl->Widget->grabMouse();
}

void TWindow::ReleaseCapture() {
  if (Pimpl->Widget == nullptr || !HasCapture()) return;
  Pimpl->Captured = false;
  if (GrabsForCapture()) Pimpl->Widget->releaseMouse();
}

bool TWindow::HasCapture() const {
  if (Pimpl->Widget == nullptr) return false;
  return GrabsForCapture() ? QWidget::mouseGrabber() == Pimpl->Widget : Pimpl->Captured;
}

void TWindow::SetFocus() {
  if (Pimpl->Widget != nullptr) Pimpl->Widget->setFocus();
}

void TWindow::SetCursor(TModule*, int cursorId) {
  QWidget* top = Pimpl->Top();
  if (top == nullptr) return;
  switch (cursorId) {
    case IDC_WAIT:
      top->setCursor(Qt::WaitCursor);
      break;
    case IDC_IBEAM:
      top->setCursor(Qt::IBeamCursor);
      break;
    case IDC_CROSS:
      top->setCursor(Qt::CrossCursor);
      break;
    default:
      top->setCursor(Qt::ArrowCursor);
      break;
  }
}

// --- Message boxes -------------------------------------------------------------------------

int TWindow::MessageBox(const char* text, const char* caption, UINT type) {
  return ShowMessageBox(GetHandle(), text, caption, type);
}
