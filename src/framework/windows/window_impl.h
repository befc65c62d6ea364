// The Qt side of a TWindow (private to the framework and its tests).
#pragma once

#include <QEvent>
#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

#include "framework/graphics/dc.h"
#include "framework/windows/accessible_grid.h"
#include "framework/windows/window.h"

// The widget that stands for a created TWindow: it forwards Qt's events to the window's
// messages and shows the window's backing image.
class TWindowWidget : public QWidget {
 public:
  TWindowWidget(TWindow* owner, QWidget* parent);
  // Cut the tie to the window object when the window is destroyed.
  void Detach() { Owner = nullptr; }
  TWindow* GetOwner() const { return Owner; }

  // Posted window messages travel as this event.
  class TPostedMessage : public QEvent {
   public:
    TPostedMessage(UINT msg, TParam1 p1, TParam2 p2)
        : QEvent(EventType()), Msg(msg), P1(p1), P2(p2) {}
    static QEvent::Type EventType();
    UINT Msg;
    TParam1 P1;
    TParam2 P2;
  };

 protected:
  bool event(QEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void keyReleaseEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void timerEvent(QTimerEvent* e) override;
  void focusInEvent(QFocusEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  // Sends the message; true when a handler took it (not only default processing).
  bool Forward(UINT msg, TParam1 p1, TParam2 p2);
  TWindow* Owner;
};

// The window around a client area (a frame with its menu bar, a floating bar's tool
// window): the close box asks the window, and a new size places the client area again.
class TOuterWidget : public QWidget {
 public:
  TOuterWidget(TWindowWidget* client, QWidget* parent, Qt::WindowFlags flags);
  void SetClient(TWindowWidget* client) { Client = client; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  QPointer<TWindowWidget> Client;
};

// The window a dialog or an owned frame of owner stands over; null without one.
inline QWidget* OwnerWindow(const TWindow* owner);

struct TWindow::TImpl {
  TWindowWidget* Widget = nullptr;  // the client area; owned through Qt's parent chain
  // A window around the client area (a frame with its menu bar, a dialog, a floating
  // bar's tool window); owns Widget. Null when the client area is the whole window.
  QWidget* Outer = nullptr;
  // Places the client area inside Outer at once (Qt would wait for the first show).
  std::function<void()> PlaceClient;
  QPointer<QWidget> Dying;            // destroyed but maybe not yet deleted by Qt
  bool Transparent = false;           // shows its parent through (a control's holder)
  std::unique_ptr<QMenu> SystemMenu;  // made when first asked for
  bool InPaintEvent = false;          // the paint event shows what it painted itself
  // The client area as drawn (Format_RGB32) at the screen's device-pixel ratio, or none.
  QImage Backing;
  QSize BackingSize;  // its size in logical pixels
  QRegion Invalid;    // waiting for Paint
  bool EraseInvalid = false;
  bool Captured = false;       // the mouse is captured (where the platform cannot grab it)
  std::map<int, UINT> Timers;  // Qt timer id -> window timer id
  const TAccessibleGrid* Grid = nullptr;  // told to screen readers as a table

  // The message being handled, for DefaultProcessing.
  struct TCurrentMessage {
    UINT Msg = 0;
    TParam1 P1 = 0;
    TParam2 P2 = 0;
    bool DefaultRan = false;
  };
  TCurrentMessage Current;
  bool LastDefaultRan = false;  // the last message went only to default processing

  // The widget that is the whole window.
  QWidget* Top() const { return Outer != nullptr ? static_cast<QWidget*>(Outer) : Widget; }
  // Runs WM_PAINT when something is invalid.
  void PaintPending(TWindow& window);
  // Makes the backing image at the client area's size, all background, when there is
  // none yet: made on first use, it costs nothing for a window that never shows or is
  // always covered, nor for the sizes a window passes through before it first paints.
  // Until then the whole client area is invalid. A backing image made for another ratio
  // (the window went to another screen, or the screen's scale changed) is made again and
  // the whole client area becomes invalid.
  void MakeBacking(COLORREF background);
  // The backing image at the widget's size and ratio, filled with the background; null
  // when the memory cannot be had.
  QImage NewBacking(COLORREF background);
  // Asks the screen to show these pixels of the backing image again.
  void Show(const QRect& area);
  // The widget's area to update for these logical pixels: at a ratio between whole
  // numbers Qt may round a pixel's device edges otherwise than we do.
  QRect UpdateArea(const QRect& area) const;
};

inline QWidget* OwnerWindow(const TWindow* owner) {
  return owner != nullptr && owner->Impl()->Widget != nullptr ? owner->Impl()->Widget->window()
                                                              : nullptr;
}

// The context Paint draws with: the window's backing image, clipped to the update region.
class TPaintDC : public TDC {
 public:
  TPaintDC(TWindow& window, const QRegion& clip);
};
