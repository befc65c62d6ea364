// A floating bar's holder inside its frame (private to the framework). A Wayland program
// can neither place its windows nor keep the desktop from maximizing, minimizing or
// retitling them, so there a floating bar floats over the frame's own area instead: placed
// where it was asked to float, under a caption of ours by which the player drags it.
#pragma once

#include <QPoint>

#include "framework/windows/window_impl.h"

// Whether floating bars float inside their frame on this platform.
bool FloatsInFrame();

class TFloatingPanel : public TOuterWidget {
 public:
  TFloatingPanel(TWindowWidget* client, QWidget* frame);

  // The caption's height, above the client.
  int CaptionHeight() const;
  // Puts the panel's top left at a point of the frame, kept inside the frame.
  void MoveInFrame(QPoint at);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;

 private:
  QPoint Grab;  // where the caption was taken, in the panel; (-1, -1) when not held
};
