// A board as the child of a shown top-level window with a client area of the given size:
// what a player's paints draw on.
#pragma once

#include <QCoreApplication>

#include "framework/windows/window.h"
#include "puzzle/puzzle.h"

struct TShownBoard {
  TWindow Frame{nullptr, "bench"};
  TPuzzle* Board;  // owned by Frame

  TShownBoard(int side, int width, int height) : Board(new TPuzzle(side, side, &Frame)) {
    Frame.Attr.W = width + 40;
    Frame.Attr.H = height + 40;
    Frame.Create();
    Frame.ShowWindow(SW_SHOW);
    Board->MoveWindow(0, 0, width, height);
    QCoreApplication::processEvents();
  }

  // Whether the window came up as asked: one that could not be made draws nothing, and
  // quickly.
  bool Shown(int width, int height) const {
    const TRect client = Board->GetClientRect();
    return Board->IsWindow() && client.Width() == width && client.Height() == height;
  }
};
