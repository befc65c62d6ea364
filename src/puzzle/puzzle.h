// The board: one TPuzzle window holding MaxSide x MaxSide TTombol pieces. It is the game's
// model (size, content, rules of play) and the main window's client that draws itself
// and takes the player's pointer and keys. The model runs without a created window.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "framework/graphics/dc.h"
#include "framework/graphics/gdi.h"
#include "framework/graphics/geometry.h"
#include "framework/windows/accessible_grid.h"
#include "framework/windows/window.h"
#include "platform/winconst.h"
#include "puzzle/shown_picture.h"

constexpr int MaxSide = 20;

enum class TContentKind : BYTE { Alphabet = 1, Numeric = 2, Picture = 3 };
enum class TGameType : BYTE { Sliding = 1, Jigsaw = 2 };

// Posted by the board to itself on button-up; lParam is the clicked TTombol.
constexpr UINT WM_PIECECLICKED = WM_USER + 1;
// Sent to the parent after every tested move.
constexpr UINT WM_PUZZLEMOVED = WM_USER + 2;
// Sent to the parent when the board is solved, after WM_PUZZLEMOVED.
constexpr UINT WM_PUZZLESOLVED = WM_USER + 3;

// Sound resources of the two clicks.
constexpr int WAVE_SWAP = 10;
constexpr int WAVE_SLIDE = 11;

class TClipboard;
class TPuzzle;

// A picture read whole, before it becomes the board's: a reader that fails leaves the
// board as it was.
struct TLoadedPicture {
  std::unique_ptr<TBitmap> Bitmap;
  std::unique_ptr<TPalette> Palette;  // none: the halftone palette
};

// One cell of the board. The object stays in its cell; its content (Source, Number,
// HomeX, HomeY) travels from piece to piece as the player moves.
class TTombol {
 public:
  TTombol(TPuzzle* puzzle, int number, int left, int top, int width, int height, int x, int y);

  // Sets the content number; with redraw a piece with a number is drawn at once and the
  // empty space (0) is erased to the background.
  void SetNumber(int number, bool redraw);
  // The piece, and the keyboard cursor when it is on it.
  void Draw(TDC& dc, bool pressed, bool fill);

  // The piece's rectangle in client pixels, right and bottom exclusive.
  TRect GetRect() const { return TRect(Left, Top, Left + Width, Top + Height); }
  bool IsCorrect() const { return HomeX == X && HomeY == Y; }

  TPuzzle* Puzzle;
  TRect Source;  // picture pixels of the content (picture boards only)
  int Number;    // 1-based row-major home of the content; 0 is the empty space
  int HomeX;
  int HomeY;
  int X;  // this object's own cell, fixed
  int Y;
  int Left;
  int Top;
  int Width;
  int Height;
  bool Visible;
  COLORREF Color;

 private:
  void DrawFace(TDC& dc, bool pressed, bool fill);
  void DrawCursor(TDC& dc) const;
};

// The board is told to screen readers as a table of its places.
class TPuzzle : public TWindow, private TAccessibleGrid {
 public:
  // Columns and rows below 3 become 3; the board is numbered by the first SetSize.
  TPuzzle(int columns, int rows, TWindow* parent);
  ~TPuzzle() override;

  // Board model.
  bool SetSize(int columns, int rows);
  void Reset();
  void SplitPicture();
  void SetGameType(TGameType type);
  void SetContentKind(TContentKind kind);
  void Set3D(bool on);
  void SetShowFalse(bool on);
  void RedrawAll();

  // Rules of play.
  bool MoveEmptyLeft(bool redraw);
  bool MoveEmptyRight(bool redraw);
  bool MoveEmptyUp(bool redraw);
  bool MoveEmptyDown(bool redraw);
  void ClickPiece(TTombol* piece);
  void Scramble();
  int CountFalse() const;
  void CheckSolved();
  // A piece was drawn again: a screen reader hears of it, unless the whole board is.
  void TellPieceChanged(const TTombol& piece);

  // View.
  void Zoom(int direction);
  void SetFitInWindow(bool on);
  void SetPiecesColor(COLORREF color);
  void SetLabelFont(const LOGFONT& logFont, COLORREF color);
  void Paint(TDC& dc, bool erase, TRect& rect) override;

  // Pictures and saved games. A picture or game that fails to load changes nothing.
  bool LoadPicture(const char* name, bool relayout);
  // The picture in a file, or none after the player was told why.
  std::optional<TLoadedPicture> ReadPicture(const char* name);
  void TakePicture(TLoadedPicture picture);
  void ReportOpenFailure(const char* name);
  bool SaveGame(const char* path, const char* pictureName, int elapsedSeconds);
  // The bytes SaveGame writes; none after a failure the player was told of.
  std::optional<std::vector<std::uint8_t>> SavedGameBytes(const char* pictureName,
                                                          int elapsedSeconds);
  // Takes the game saved in path: pictureName is its picture (none for letters or
  // numbers). False, with the board and both out values as they were, after a failure the
  // player was told of.
  bool LoadGame(const char* path, std::optional<std::string>& pictureName, int& elapsedSeconds);
  // LoadGame on a file's bytes.
  bool LoadGameBytes(std::span<const std::uint8_t> bytes, std::optional<std::string>& pictureName,
                     int& elapsedSeconds);

  // The clipboard's picture (it must be open) becomes the board's; false after a failure
  // the player was told of.
  bool PasteFromClipboard(TClipboard& clipboard);

  // The picture's pieces as the board shows them on dc: filtered to the board's size once,
  // then copied piece by piece. Null when that copy cannot be made.
  TBitmap* ShownPicture(TDC& dc);
  // Where a point of the picture lies in that copy.
  TPoint ShownAt(const TPoint& inPicture) const { return Shown.Where(inPicture); }

  // Palette ownership: the board owns Palette unless it is HalftonePalette.
  void SetOwnedPalette(std::unique_ptr<TPalette> palette);
  void UseHalftonePalette();
  void ReleasePalette();

  // Every piece, in one block: the board makes all of them at once and none ever moves.
  std::vector<TTombol> PieceStore;
  TTombol* Pieces[MaxSide][MaxSide] = {};  // [row][column], into PieceStore
  TTombol* PressedPiece = nullptr;
  // The keyboard's cell, a view state never saved, and whether it is drawn: from a key on
  // the board until a mouse press on it.
  int CursorX = 0;
  int CursorY = 0;
  bool CursorShown = false;
  int ActiveX;
  int ActiveY;
  int EmptyX;
  int EmptyY;
  int Columns;
  int Rows;
  TContentKind ContentKind = TContentKind::Alphabet;
  TGameType GameType = TGameType::Sliding;
  bool ShowFalse = false;
  bool Effect3D = true;
  bool Idle = true;
  bool SoundOn = true;
  bool ShowGrid = true;
  bool FitInWindow = false;
  int ZoomStep = 1;
  std::unique_ptr<TPen> ShadowPen;
  std::unique_ptr<TPen> LightPen;
  std::unique_ptr<TFont> LabelFont;
  COLORREF LabelColor = 0xFF0000;
  std::unique_ptr<TBitmap> Picture;
  TPalette* Palette = nullptr;
  bool PaletteDevice;
  std::unique_ptr<THalftonePalette> HalftonePalette;
  TRect BoardRect;

 protected:
  TResult EvSize(TParam1 p1, TParam2 p2);
  TResult EvLButtonDown(TParam1 p1, TParam2 p2);
  TResult EvLButtonUp(TParam1 p1, TParam2 p2);
  TResult EvKeyDown(TParam1 p1, TParam2 p2);
  TResult EvPieceClicked(TParam1 p1, TParam2 p2);
  TResult EvQueryNewPalette(TParam1 p1, TParam2 p2);
  TResult EvPaletteChanged(TParam1 p1, TParam2 p2);

 private:
  // Places the board and every piece in the client area (the size handler's work).
  void Layout();
  bool MoveEmpty(int dx, int dy, bool redraw);
  void PlayClick(int resource);
  TTombol* HitTest(const TPoint& p);
  // Keys in a swap board: the arrows move the cursor, Space and Return choose its piece.
  TResult SwapKey(TParam1 key);
  // The cursor to this cell (kept on the board), drawn and told to a screen reader.
  void MoveCursorTo(int x, int y);
  void HideCursor();
  // The piece in this cell drawn again as it stands.
  void RedrawCell(int x, int y);
  // While every piece is drawn again, a screen reader hears of it once, as a new board.
  bool RedrawingWholeBoard = false;

  int GridColumns() const override;
  int GridRows() const override;
  std::string GridName() const override;
  std::string CellName(int column, int row) const override;
  bool CellSelected(int column, int row) const override;
  TRect CellRect(int column, int row) const override;
  TPoint CursorCell() const override;

  // The picture, its copy and its palette go.
  void DropPicture();

  std::unique_ptr<TPalette> OwnedPalette;
  TShownPicture Shown;

  DECLARE_RESPONSE_TABLE(TPuzzle);
};
