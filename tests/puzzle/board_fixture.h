// Helpers for board tests: a parent that records the board's notifications, a recorder
// for the sounds asked for, and boards written as small text pictures ("1 2 3 / 4 _ 6").
#pragma once

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "framework/windows/window.h"
#include "platform/sound_test_hooks.h"
#include "puzzle/puzzle.h"
#include "resources/rcdata.h"

class TRecordingParent : public TWindow {
 public:
  TRecordingParent() : TWindow(nullptr, "parent") {}
  std::vector<UINT> Notes;
  std::vector<UINT> Keys;

 protected:
  TResult WindowProc(UINT msg, TParam1 p1, TParam2 p2) override {
    if (msg == WM_PUZZLEMOVED || msg == WM_PUZZLESOLVED) Notes.push_back(msg);
    if (msg == WM_KEYDOWN) Keys.push_back(static_cast<UINT>(p1));
    return TWindow::WindowProc(msg, p1, p2);
  }
};

// Records the clicks (by resource number) and names asked for instead of playing them.
class TSoundLog {
 public:
  TSoundLog() {
    SetSoundRecorder([this](const char* sound, UINT flags) {
      if (sound == nullptr) {
        ++Stops;
      } else if ((flags & SND_MEMORY) != 0) {
        for (int id : {WAVE_SWAP, WAVE_SLIDE, WAVE_CHIME}) {
          if (reinterpret_cast<const BYTE*>(sound) == FindRcData(id).Data) Played.push_back(id);
        }
      } else {
        Names.push_back(sound);
      }
      return true;
    });
  }
  TSoundLog(const TSoundLog&) = delete;
  TSoundLog& operator=(const TSoundLog&) = delete;
  ~TSoundLog() { SetSoundRecorder(nullptr); }
  std::vector<int> Played;
  std::vector<std::string> Names;
  int Stops = 0;
};

// A board owned by a recording parent; the board is a child the parent deletes.
struct TBoardRig {
  TRecordingParent Parent;
  TPuzzle* Board;
  TBoardRig(int columns, int rows, TGameType type = TGameType::Sliding)
      : Board(new TPuzzle(columns, rows, &Parent)) {
    Board->GameType = type;
    Board->SetSize(columns, rows);
  }
};

// "1 2 3 / 4 _ 6 / 7 8 9": the numbers row by row, _ for the empty space.
inline std::string BoardText(const TPuzzle& board) {
  std::string text;
  for (int y = 0; y < board.Rows; ++y) {
    if (y > 0) text += " / ";
    for (int x = 0; x < board.Columns; ++x) {
      if (x > 0) text += ' ';
      const int n = board.Pieces[y][x]->Number;
      text += n == 0 ? std::string("_") : std::to_string(n);
    }
  }
  return text;
}

// Puts numbers on the board as the text shows them, with homes that agree, and the active
// cell on the empty space (sliding) or nowhere (jigsaw). The game is in play.
inline void SetBoard(TPuzzle& board, const std::string& text) {
  std::istringstream in(text);
  std::string token;
  int cell = 0;
  while (in >> token) {
    if (token == "/") continue;
    const int x = cell % board.Columns;
    const int y = cell / board.Columns;
    TTombol& piece = *board.Pieces[y][x];
    const int number = token == "_" ? 0 : std::stoi(token);
    piece.Number = number;
    piece.Visible = number != 0;
    if (number != 0) {
      piece.HomeX = (number - 1) % board.Columns;
      piece.HomeY = (number - 1) / board.Columns;
    } else if (board.GameType == TGameType::Sliding) {
      board.ActiveX = x;
      board.ActiveY = y;
    }
    ++cell;
  }
  if (board.GameType == TGameType::Jigsaw) board.ActiveX = board.ActiveY = -1;
  board.Idle = false;
}

// A saved game loaded into board: its picture and time, or none when the load failed.
struct TLoadedGame {
  std::optional<std::string> Picture;
  int Seconds = -1;
};
inline std::optional<TLoadedGame> LoadSaved(TPuzzle& board, const std::string& path) {
  TLoadedGame game;
  if (!board.LoadGame(path.c_str(), game.Picture, game.Seconds)) return std::nullopt;
  return game;
}
