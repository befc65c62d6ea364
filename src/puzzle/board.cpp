// The board model: size, numbering in solved order, content kind and picture split.
#include <algorithm>

#include "puzzle/puzzle.h"

TPuzzle::TPuzzle(int columns, int rows, TWindow* parent)
    : TWindow(parent, nullptr),
      Columns(columns < 3 ? 3 : (columns > MaxSide ? MaxSide : columns)),
      Rows(rows < 3 ? 3 : (rows > MaxSide ? MaxSide : rows)),
      ShadowPen(std::make_unique<TPen>(0x404040)),
      LightPen(std::make_unique<TPen>(0xE0E0E0)),
      LabelFont(std::make_unique<TFont>("Arial", 0, 0, 0, 0, FW_NORMAL)) {
  ActiveX = EmptyX = Columns - 1;
  ActiveY = EmptyY = Rows - 1;
  SetBkgndColor(0x808080);
  PaletteDevice = (TScreenDC().GetDeviceCaps(RASTERCAPS) & RC_PALETTE) != 0;
  if (PaletteDevice) HalftonePalette = std::make_unique<THalftonePalette>();
  PieceStore.reserve(static_cast<std::size_t>(MaxSide) * MaxSide);
  for (int y = 0; y < MaxSide; ++y) {
    for (int x = 0; x < MaxSide; ++x) {
      Pieces[y][x] = &PieceStore.emplace_back(this, 0, 0, 0, 0, 0, x, y);
    }
  }
  SetAccessibleGrid(*this, this);
}

TPuzzle::~TPuzzle() {
  // A screen reader must not ask a board that is going.
  SetAccessibleGrid(*this, nullptr);
}

bool TPuzzle::SetSize(int columns, int rows) {
  if (columns < 3 || columns > MaxSide) columns = 3;
  if (rows < 3 || rows > MaxSide) rows = 3;
  const COLORREF tile = Pieces[0][0]->Color;
  Idle = true;
  // An empty space at the bottom-right corner stays at the corner of the new size.
  if (EmptyX == Columns - 1 && EmptyY == Rows - 1) {
    EmptyX = columns - 1;
    EmptyY = rows - 1;
  }
  Columns = columns;
  Rows = rows;
  CursorX = std::min(CursorX, Columns - 1);
  CursorY = std::min(CursorY, Rows - 1);
  if (EmptyX < 0 || EmptyX >= Columns) EmptyX = Columns - 1;
  if (EmptyY < 0 || EmptyY >= Rows) EmptyY = Rows - 1;
  BoardRect = Picture ? TRect(0, 0, Picture->Width(), Picture->Height()) : GetClientRect();
  Layout();
  RedrawingWholeBoard = true;
  int number = 1;
  for (int y = 0; y < MaxSide; ++y) {
    for (int x = 0; x < MaxSide; ++x) {
      TTombol& piece = *Pieces[y][x];
      piece.Color = tile;
      piece.HomeX = x;
      piece.HomeY = y;
      const bool inside = x < Columns && y < Rows;
      piece.Visible = inside;
      if (inside) piece.SetNumber(number++, false);
    }
  }
  if (GameType == TGameType::Sliding) {
    Pieces[EmptyY][EmptyX]->SetNumber(0, true);
    ActiveX = EmptyX;
    ActiveY = EmptyY;
  } else {
    ActiveX = ActiveY = -1;
  }
  SplitPicture();
  RedrawingWholeBoard = false;
  TellGridChanged(*this);
  return true;
}

void TPuzzle::Reset() {
  Idle = true;
  if (GameType == TGameType::Sliding) {
    ActiveX = EmptyX;
    ActiveY = EmptyY;
  } else {
    ActiveX = ActiveY = -1;
  }
  RedrawingWholeBoard = true;
  int number = 1;
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) {
      TTombol& piece = *Pieces[y][x];
      // Home first, so the piece is not drawn with a stale misplaced mark.
      piece.HomeX = x;
      piece.HomeY = y;
      piece.SetNumber(number++, true);
    }
  }
  if (GameType == TGameType::Sliding) Pieces[EmptyY][EmptyX]->SetNumber(0, true);
  RedrawingWholeBoard = false;
  TellGridChanged(*this);
}

void TPuzzle::SplitPicture() {
  if (!Picture) return;
  const int pw = Picture->Width() / Columns;
  const int ph = Picture->Height() / Rows;
  ContentKind = TContentKind::Picture;
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) {
      TTombol& piece = *Pieces[y][x];
      piece.Source = TRect(x * pw, y * ph, x * pw + pw, y * ph + ph);
      piece.HomeX = x;
      piece.HomeY = y;
    }
  }
}

void TPuzzle::SetGameType(TGameType type) {
  GameType = type;
  Reset();
  SplitPicture();
}

void TPuzzle::SetContentKind(TContentKind kind) {
  ContentKind = kind;
  Invalidate(true);
  DropPicture();
}

void TPuzzle::DropPicture() {
  Shown.Forget();
  Picture.reset();
  ReleasePalette();
}

void TPuzzle::Set3D(bool on) {
  Effect3D = on;
  RedrawAll();
}

void TPuzzle::SetShowFalse(bool on) {
  ShowFalse = on;
  RedrawAll();
}

void TPuzzle::RedrawAll() {
  RedrawingWholeBoard = true;
  for (int y = 0; y < Rows; ++y) {
    for (int x = 0; x < Columns; ++x) Pieces[y][x]->SetNumber(Pieces[y][x]->Number, true);
  }
  RedrawingWholeBoard = false;
  TellGridChanged(*this);
}

void TPuzzle::SetOwnedPalette(std::unique_ptr<TPalette> palette) {
  OwnedPalette = std::move(palette);
  Palette = OwnedPalette.get();
}

void TPuzzle::UseHalftonePalette() {
  OwnedPalette.reset();
  Palette = HalftonePalette.get();
}

void TPuzzle::ReleasePalette() {
  OwnedPalette.reset();
  Palette = nullptr;
}
