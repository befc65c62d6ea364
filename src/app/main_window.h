// TMyWindow: the main frame. The board is its client; a harbor at the top holds the
// toolbar and the timer bar with the clock; a status bar at the bottom shows the picture,
// the board size and the misplaced pieces. Its handlers live in files by concern:
// main_window.cpp (make, set up, close), commands.cpp (menu commands and their state),
// view_commands.cpp (zoom, bars, colours, font, switches), clock.cpp (clock, status
// texts, solved board), settings.cpp (settings file, recent files) and
// file_commands.cpp (open, load, save).
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "app/game_clock.h"
#include "framework/frames/decorated_frame.h"
#include "framework/text/translation.h"
#include "platform/ticks.h"
#include "platform/wintypes.h"
#include "puzzle/puzzle.h"

class TButtonGadget;
class TDockableControlBar;
class THarbor;
class TOrgWindow;
class TSevenGadget;
class TStatusBar;
class TTextGadget;

constexpr UINT CLOCK_TIMER_ID = 1028;
constexpr UINT CLOCK_PERIOD = 250;

// The pseudo name of a picture pasted from the clipboard.
inline constexpr const char* ClipboardName = "[clipboard]";

// The help page kept next to the program.
std::string HelpFilePath();

// The congratulation for a game solved in the given time.
std::string SolvedMessage(int hours, int minutes, int seconds);

// The name the save dialog proposes: the saved game, else the picture with ".KVR" for its
// extension, else the board's kind; empty for none.
std::string DefaultSaveName(const std::optional<std::string>& gameFile,
                            const std::optional<std::string>& currentFile, TContentKind kind);

// The status bar's two counts, in the player's language.
inline constexpr const char* PiecesPattern = N_("Puzzle pieces: %1 x %2");
inline constexpr const char* FalsePattern = N_("Incorrect pieces: %1");

class TMyWindow : public TDecoratedFrame {
 public:
  TMyWindow(TWindow* parent, const char* title, TPuzzle* client);
  ~TMyWindow() override;

  // Shared operations of the commands.
  // The board takes the picture and a new game begins; a picture that does not open
  // changes nothing.
  bool OpenPicture(const char* name);
  // OpenPicture for a file the player chose: it becomes the current file.
  bool OpenPictureFile(const std::string& path);
  void UpdatePiecesMenu();
  void UpdateTypeMenu();
  void SelectContentKind(TContentKind kind);
  // Hands the thumbnail, when it is shown, the board's picture as it is now.
  void UpdateThumbnail();

  // Clock and status bar.
  void StartClock();
  void ResetClock();
  void UpdateStatusBar();

  // Settings and recent files. The settings file lies in the game's directory.
  static std::string SettingsPath();
  void ReadSettings(const char* path);
  void WriteSettings(const char* path);
  void AddRecentFile(const char* path);
  void SetRecentEntry(int index, const char* text);
  // The path of a recent entry (its menu text less "&n "), or none.
  std::optional<std::string> RecentPath(int index) const;
  // The lowest entry holding path, byte for byte, or -1.
  int RecentIndex(std::string_view path) const;

  bool CanClose() override;

  TPuzzle* Puzzle;
  std::optional<std::string> CurrentFile;
  std::optional<std::string> GameFile;
  std::optional<std::string> Recent[4];
  // The time played; the clock face shows its whole seconds.
  TGameClock PlayTime;
  int ShownSeconds = 0;
  THarbor* Harbor = nullptr;
  TDockableControlBar* Toolbar = nullptr;
  TDockableControlBar* TimerBar = nullptr;
  TButtonGadget* ThumbnailButton = nullptr;
  TButtonGadget* FalsePiecesButton = nullptr;
  TButtonGadget* AlphabetButton = nullptr;
  TButtonGadget* NumericButton = nullptr;
  TButtonGadget* SlidingButton = nullptr;
  TButtonGadget* JigsawButton = nullptr;
  TStatusBar* StatusBar = nullptr;
  TTextGadget* PiecesText = nullptr;
  TTextGadget* FalseText = nullptr;
  TSevenGadget* Clock = nullptr;
  // The thumbnail while it is shown.
  std::unique_ptr<TOrgWindow> Thumbnail;

  // Where the clock reads the time; tests drive it by hand.
  DWORD (*TickCount)() = GetTickCount;

 protected:
  void SetupWindow() override;

  // Window messages.
  TResult EvDestroy(TParam1, TParam2);
  TResult EvTimer(TParam1 id, TParam2);
  TResult EvSetFocus(TParam1, TParam2);
  TResult EvKillFocus(TParam1, TParam2);
  TResult EvKeyDown(TParam1 key, TParam2);
  TResult EvPuzzleSolved(TParam1, TParam2);
  TResult EvPuzzleMoved(TParam1, TParam2);

  // Commands.
  void CmScramble();
  void CmUnscramble();
  void OnOpenImage();
  void OnLoadGame();
  void OnSaveGame();
  void OnPaste();
  void CmBestTimes();
  void OnRecentFile(UINT id);
  void CmPieces(UINT id);
  void CmCustomPieces();
  void CmEmptySpace();
  void CmFalsePieces();
  void CmSliding();
  void CmJigsaw();
  void CmAlphabet();
  void CmNumeric();
  void CmNormal();
  void CmFitInWindow();
  void CmZoomIn();
  void CmZoomOut();
  void CmToolbarLeft();
  void CmToolbarTop();
  void CmToolbarFloat();
  void CmThumbnail();
  void CmPiecesColor();
  void CmBkColor();
  void Cm3DEffect();
  void CmFont();
  void CmSound();
  void CmGrid();
  void CmHelp();
  void CmWebSite();
  void CmAbout();

  // Enablers.
  void CePaste(TCommandEnabler& ce);
  void CeSaveGame(TCommandEnabler& ce);
  void CeBestTimes(TCommandEnabler& ce);
  void CeHasFile(TCommandEnabler& ce);
  void CeFitInWindow(TCommandEnabler& ce);
  void CeEmptySpace(TCommandEnabler& ce);
  void CeNotPicture(TCommandEnabler& ce);

 private:
  bool IsPasted() const { return CurrentFile && *CurrentFile == ClipboardName; }
  // The best-times list of the board: its kind, or the picture's path.
  std::string ListName() const;
  // The board was relaid out: the board lays itself out again at normal zoom.
  void ZoomNormalAndRelayout();
  // A new board size: the game ends, the board is laid out anew and the menu follows.
  void ResizeBoard(int columns, int rows);
  void Relayout();
  void CheckItem(UINT id, bool on);
  // The clock: the game's time stops where it stands; a game continues from the given
  // seconds; the clock face shows seconds; the timer runs exactly while the time counts.
  void StopClock();
  void ContinueClock(int seconds);
  void ShowClock(int seconds);
  void FollowPlayTime();
  void ShowWaitCursor(bool wait);
  // The picture file the player chooses, or none on Cancel.
  std::optional<std::string> AskPictureFile(bool withStartDirectory);
  void LoadSavedGame(const std::string& path);
  // Puts a recent entry's item in its place among the others; takes an entry away.
  void InsertRecentItem(int index);
  void ClearRecentEntry(int index);
  // Entry index takes the entry above it; a gap above moves down.
  void MoveRecentDown(int index);

  DECLARE_RESPONSE_TABLE(TMyWindow);
};
