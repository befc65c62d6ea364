// The device contexts on a window: they draw on its backing image, which the window shows.
#include "framework/windows/window_dc.h"

#include "framework/graphics/dc_impl.h"
#include "framework/windows/window_impl.h"

namespace {

std::unique_ptr<TDC::TImpl> WindowImpl(TWindow& window, bool showAtOnce) {
  auto impl = std::make_unique<TDC::TImpl>();
  TWindow::TImpl* w = window.Impl();
  if (w != nullptr && w->Widget != nullptr) {
    w->MakeBacking(window.GetBkgndColor());
    impl->Target = &w->Backing;
  }
  if (showAtOnce) {
    // Looked up when the drawing ends: the window may have lost its widget by then.
    impl->ShowDrawn = [&window](const QRect& drawn) {
      if (TWindow::TImpl* shown = window.Impl(); shown != nullptr) shown->Show(drawn);
    };
  }
  return impl;
}

}  // namespace

TClientDC::TClientDC(TWindow& window) : TDC(WindowImpl(window, true)) {}

TPaintDC::TPaintDC(TWindow& window, const QRegion& clip) : TDC(WindowImpl(window, false)) {
  Impl().Clip = DeviceRegion(clip, Impl().Ratio());
}
