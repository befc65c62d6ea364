// Helpers of the framework's window tests: settling the event loop, reading back what a
// window drew, and small pictures for bitmap resources.
#pragma once

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QTimer>

#include <QElapsedTimer>
#include <QEvent>
#include <functional>

#include <gtest/gtest.h>

#include "framework/graphics/dib.h"
#include "framework/windows/responder.h"
#include "framework/windows/window.h"
#include "framework/windows/window_impl.h"

// Lets Qt deliver what is pending (posted messages, resizes, deferred deletes).
inline void Settle(int rounds = 5) {
  for (int i = 0; i < rounds; ++i) {
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
}

// Waits from the event loop for the next modal dialog (of type T) and hands it to act.
// It looks again every few milliseconds, for a slow first dialog, and gives up after a
// few seconds.
template <class T = QWidget>
void WhenModal(std::function<void(T&)> act, int triesLeft = 500) {
  QTimer::singleShot(10, [act, triesLeft] {
    if (auto* box = qobject_cast<T*>(QApplication::activeModalWidget());
        box != nullptr && box->isVisible()) {
      act(*box);
    } else if (triesLeft > 0) {
      WhenModal<T>(act, triesLeft - 1);
    }
  });
}

// For a test that answers Qt's own modal windows itself: no responder while it lives, and
// a watchdog that fails the test and ends any modal window still open after a while, so a
// test whose answer never comes fails instead of waiting.
class TRealModals {
 public:
  TRealModals() {
    Watchdog.setInterval(10000);
    QObject::connect(&Watchdog, &QTimer::timeout, [] {
      if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
        ADD_FAILURE() << "a modal window nobody answered: " << dialog->windowTitle().toStdString();
        dialog->done(QDialog::Rejected);
      }
    });
    Watchdog.start();
  }

 private:
  TScopedModalResponder NoResponder{TModalResponder()};
  QTimer Watchdog;
};

// A pixel of what the window shows (its backing image, painted up to date first).
inline COLORREF ShownPixel(TWindow& w, int x, int y) {
  w.UpdateWindow();
  const QImage& image = w.Impl()->Backing;
  if (!image.valid(x, y)) return 0xFFFFFFFF;
  const QRgb c = image.pixel(x, y);
  return RGB(static_cast<BYTE>(qRed(c)), static_cast<BYTE>(qGreen(c)), static_cast<BYTE>(qBlue(c)));
}

// Dark enough to be part of drawn text (glyph edges are smoothed).
inline bool IsInk(COLORREF c) {
  return GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11 < 100 * 100;
}

// An empty square DIB of the given bit count, all bytes zero.
inline TDib SquareDib(int size, WORD bits) {
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = size;
  header.biHeight = size;
  header.biPlanes = 1;
  header.biBitCount = bits;
  TDib dib;
  dib.CreateFromHeader(header);
  return dib;
}

// A 4-bit picture of the given size: light grey with a solid square of colour index 1.
inline TDib GlyphDib(int size, RGBQUAD ink) {
  TDib dib = SquareDib(size, 4);
  if (!dib.IsOK()) return dib;
  RGBQUAD* colours = dib.GetColors();
  colours[0] = RGBQUAD{0xC0, 0xC0, 0xC0, 0};
  colours[1] = ink;
  for (int y = 0; y < size; ++y) {
    BYTE* row = dib.ScanLine(y);
    for (int x = 0; x < size; ++x) {
      const bool inside = x >= size / 4 && x < size * 3 / 4 && y >= size / 4 && y < size * 3 / 4;
      if (inside) row[x / 2] |= static_cast<BYTE>(x % 2 == 0 ? 0x10 : 0x01);
    }
  }
  return dib;
}
