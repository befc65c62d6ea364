// A board in a created, shown window, for tests that look at pixels or send input.
#pragma once

#include <QCoreApplication>

#include "board_fixture.h"
#include "framework/windows/window_impl.h"

struct TShownBoard {
  TRecordingParent Parent;
  TPuzzle* Board;

  TShownBoard(int columns, int rows, int width, int height, TGameType type = TGameType::Sliding)
      : Board(new TPuzzle(columns, rows, &Parent)) {
    Parent.Attr.W = width + 40;
    Parent.Attr.H = height + 40;
    Board->GameType = type;
    Parent.Create();
    Parent.ShowWindow(SW_SHOW);
    Board->MoveWindow(0, 0, width, height);
    QCoreApplication::processEvents();
    Board->SetSize(columns, rows);
    Board->UpdateWindow();
  }

  COLORREF At(int x, int y) const {
    const QRgb c = Board->Impl()->Backing.pixel(x, y);
    return RGB(static_cast<BYTE>(qRed(c)), static_cast<BYTE>(qGreen(c)),
               static_cast<BYTE>(qBlue(c)));
  }

  // Pixels of one colour inside a rectangle.
  int Count(const TRect& r, COLORREF colour) const {
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y) {
      for (int x = r.left; x < r.right; ++x) n += At(x, y) == colour ? 1 : 0;
    }
    return n;
  }

  void GivePicture(int width, int height, COLORREF colour) {
    auto picture = std::make_unique<TBitmap>(width, height);
    {
      TMemoryDC dc(*picture);
      dc.FillRect(TRect(0, 0, width, height), TBrush(colour));
    }
    Board->Picture = std::move(picture);
  }
};

constexpr COLORREF Background = 0x808080;
constexpr COLORREF Light = 0xE0E0E0;
constexpr COLORREF Shadow = 0x404040;
constexpr COLORREF Tile = 0xC0C0C0;
constexpr COLORREF LabelBlue = 0xFF0000;
