// The Qt side of a TWindow (private to the framework and its tests).
#pragma once

#include <QEvent>
#include <QImage>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <map>

#include "framework/window.h"

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

 private:
  // Sends the message; true when a handler took it (not only default processing).
  bool Forward(UINT msg, TParam1 p1, TParam2 p2);
  TWindow* Owner;
};

struct TWindow::TImpl {
  TWindowWidget* Widget = nullptr;  // owned through Qt's parent chain or by the window
  QPointer<TWindowWidget> Dying;    // destroyed but maybe not yet deleted by Qt
  bool InPaintEvent = false;        // the paint event shows what it painted itself
  QImage Backing;                   // the client area as drawn (Format_RGB32)
  QRegion Invalid;                  // waiting for Paint
  bool EraseInvalid = false;
  std::map<int, UINT> Timers;  // Qt timer id -> window timer id

  // The message being handled, for DefaultProcessing.
  struct TCurrentMessage {
    UINT Msg = 0;
    TParam1 P1 = 0;
    TParam2 P2 = 0;
    bool DefaultRan = false;
  };
  TCurrentMessage Current;
  bool LastDefaultRan = false;  // the last message went only to default processing

  // Runs WM_PAINT when something is invalid.
  void PaintPending(TWindow& window);
  // Asks the screen to show these pixels of the backing image again.
  void Show(const QRect& area);
};
