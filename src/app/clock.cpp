// The game clock on the timer bar, the three status texts, and the solved board.
#include <cstdio>
#include <string>

#include "app/main_window.h"
#include "dialogs/best_time_entry.h"
#include "dialogs/best_times.h"
#include "dialogs/seven_gadget.h"
#include "framework/bars/status_bar.h"
#include "framework/frames/dockable_bar.h"
#include "framework/text/translation.h"
#include "media/sound.h"

namespace {

// "%1 hour " and the like, for the parts that are not zero; the number two wide.
void AppendPart(std::string& text, int value, const char* one, const char* many) {
  if (value == 0) return;
  char number[16];
  std::snprintf(number, sizeof number, "%2d", value);
  text += Fill(Translate(value == 1 ? one : many), {number});
}

}  // namespace

std::string SolvedMessage(int hours, int minutes, int seconds) {
  std::string text = Translate(N_("Congratulations. You solved the puzzle in "));
  AppendPart(text, hours, N_("%1 hour "), N_("%1 hours "));
  AppendPart(text, minutes, N_("%1 minute "), N_("%1 minutes "));
  AppendPart(text, seconds, N_("%1 second."), N_("%1 seconds."));
  return text;
}

void TMyWindow::StartClock() {
  ShowClock(0);
  UpdateStatusBar();
  PlayTime.Start(TickCount(), 0);
  FollowPlayTime();
}

void TMyWindow::ResetClock() {
  PlayTime.Reset();
  FollowPlayTime();
  ShowClock(0);
}

void TMyWindow::StopClock() {
  PlayTime.Stop(TickCount());
  FollowPlayTime();
}

void TMyWindow::ContinueClock(int seconds) {
  ShowClock(seconds);
  PlayTime.Start(TickCount(), seconds);
  FollowPlayTime();
}

void TMyWindow::ShowClock(int seconds) {
  Clock->SetTime(seconds);
  ShownSeconds = seconds;
  TimerBar->Invalidate(false);
}

void TMyWindow::FollowPlayTime() {
  if (PlayTime.IsCounting()) {
    SetTimer(CLOCK_TIMER_ID, CLOCK_PERIOD);
  } else {
    KillTimer(CLOCK_TIMER_ID);
  }
}

TResult TMyWindow::EvTimer(TParam1 id, TParam2) {
  const DWORD now = TickCount();
  // A tick still queued when the time stopped has nothing to show.
  if (id != CLOCK_TIMER_ID || !PlayTime.IsCounting()) return 0;
  const int seconds = PlayTime.Seconds(now);
  if (seconds == ShownSeconds) return 0;
  Clock->SetTime(seconds);
  ShownSeconds = seconds;
  return 0;
}

// Focus changes reach the clock whenever they come: after a dialog the frame is activated
// only once the command that opened it has returned, and a game started meanwhile waits
// for that activation to count.
TResult TMyWindow::EvKillFocus(TParam1, TParam2) {
  PlayTime.SetActive(TickCount(), false);
  FollowPlayTime();
  return 0;
}

TResult TMyWindow::EvSetFocus(TParam1, TParam2) {
  PlayTime.SetActive(TickCount(), true);
  FollowPlayTime();
  // The board takes the keys; it hands on what it does not play.
  Puzzle->SetFocus();
  return 0;
}

void TMyWindow::UpdateStatusBar() {
  StatusBar->SetText(CurrentFile ? CurrentFile->c_str() : " ");
  PiecesText->SetText(Fill(Translate(PiecesPattern),
                           {std::to_string(Puzzle->Rows), std::to_string(Puzzle->Columns)})
                          .c_str());
  FalseText->SetText(Fill(Translate(FalsePattern), {std::to_string(Puzzle->CountFalse())}).c_str());
}

TResult TMyWindow::EvPuzzleMoved(TParam1, TParam2) {
  UpdateStatusBar();
  return 0;
}

TResult TMyWindow::EvPuzzleSolved(TParam1, TParam2) {
  if (Puzzle->SoundOn) PlaySoundName("SystemStart");
  StopClock();
  // The time of the game is the one the clock shows.
  const int hours = Clock->Hours;
  const int minutes = Clock->Minutes;
  const int seconds = Clock->Seconds;
  const std::string list = ListName();
  // A pasted picture has no list of its own.
  const bool canEnter =
      Puzzle->ContentKind != TContentKind::Picture || (CurrentFile && !IsPasted());
  if (canEnter && TBestTimes(list.c_str(), Puzzle->GameType)
                      .IsBestTime(Puzzle->Columns, Puzzle->Rows, hours, minutes, seconds)) {
    AskNameAndRecord(this, list.c_str(), Puzzle->GameType, Puzzle->Columns, Puzzle->Rows,
                     hours * 3600 + minutes * 60 + seconds, SolvedMessage(hours, minutes, seconds));
  } else {
    MessageBox(SolvedMessage(hours, minutes, seconds).c_str(), "Kavro", MB_OK | MB_ICONINFORMATION);
  }
  return 0;
}
