// The main frame: its bars and gadgets, start-up from the settings, the exit question
// and the settings saved on the way out.
#include "app/main_window.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <string_view>

#include "dialogs/old_scores.h"
#include "dialogs/org_window.h"
#include "dialogs/seven_gadget.h"
#include "framework/bars/button_gadget.h"
#include "framework/bars/status_bar.h"
#include "framework/frames/harbor.h"
#include "framework/menus/menu.h"
#include "framework/windows/system_metrics.h"
#include "platform/files.h"
#include "platform/game_directory.h"
#include "platform/shell.h"
#include "platform/utf8.h"
#include "resources/command_ids.h"

namespace {

// Room in the status bar for a count's longest text, and at least the 24 characters the
// English has; a longer language widens the field rather than cutting the count.
UINT CountChars(const char* pattern, std::initializer_list<std::string_view> widest) {
  const std::size_t chars = Utf8CharCount(Fill(Translate(pattern), widest)) + 1;
  return static_cast<UINT>(std::max<std::size_t>(24, chars));
}

// The toolbar, left to right: bitmap, command and kind of each button; 0 is a separator.
struct TToolButton {
  int Bitmap;
  UINT Command;
  TButtonGadget::TType Type;
};
constexpr TToolButton ToolButtons[] = {
    {31, CM_SCRAMBLE, TButtonGadget::Command},
    {33, CM_OPENIMAGE, TButtonGadget::Command},
    {0, 0, TButtonGadget::Command},
    {44, CM_LOADGAME, TButtonGadget::Command},
    {45, CM_SAVEGAME, TButtonGadget::Command},
    {0, 0, TButtonGadget::Command},
    {39, CM_BESTTIMES, TButtonGadget::Command},
    {0, 0, TButtonGadget::Command},
    {42, CM_CUSTOMPIECES, TButtonGadget::Command},
    {0, 0, TButtonGadget::Command},
    {49, CM_SLIDING, TButtonGadget::Exclusive},
    {50, CM_JIGSAW, TButtonGadget::Exclusive},
    {0, 0, TButtonGadget::Command},
    {46, CM_ALPHABET, TButtonGadget::Exclusive},
    {47, CM_NUMERIC, TButtonGadget::Exclusive},
    {0, 0, TButtonGadget::Command},
    {36, CM_FALSEPIECES, TButtonGadget::NonExclusive},
    {37, CM_THUMBNAIL, TButtonGadget::NonExclusive},
    {0, 0, TButtonGadget::Command},
    {32, CM_HELP, TButtonGadget::Command},
    {43, CM_EXIT, TButtonGadget::Command},
};

}  // namespace

TMyWindow::TMyWindow(TWindow* parent, const char* title, TPuzzle* client)
    : TDecoratedFrame(parent, title, client, true), Puzzle(client) {
  AssignMenu(IDM_MAIN);
  SetAcceleratorTable(IDA_MAIN);
  Attr.Style &= ~WS_MAXIMIZEBOX;

  // Bars and gadgets are owned by the windows they are inserted into.
  Harbor = new THarbor(*this);
  Toolbar = new TDockableControlBar(this, TGadgetWindow::Horizontal,
                                    std::make_unique<TGadgetWindowFont>(10, false, false));
  Toolbar->SetCaption("Kavro");
  for (const TToolButton& b : ToolButtons) {
    if (b.Bitmap == 0) {
      Toolbar->Insert(std::make_unique<TSeparatorGadget>(6));
      continue;
    }
    TButtonGadget* button = Toolbar->Insert(
        std::make_unique<TButtonGadget>(b.Bitmap, static_cast<int>(b.Command), b.Type));
    switch (b.Command) {
      case CM_SLIDING:
        SlidingButton = button;
        break;
      case CM_JIGSAW:
        JigsawButton = button;
        break;
      case CM_ALPHABET:
        AlphabetButton = button;
        break;
      case CM_NUMERIC:
        NumericButton = button;
        break;
      case CM_FALSEPIECES:
        FalsePiecesButton = button;
        break;
      case CM_THUMBNAIL:
        ThumbnailButton = button;
        break;
      default:
        break;
    }
  }
  Toolbar->SetHintMode(TGadgetWindow::HintOnEnter);

  TimerBar = new TDockableControlBar(this, TGadgetWindow::Horizontal,
                                     std::make_unique<TGadgetWindowFont>(10, false, false));
  TimerBar->SetCaption("Timer");
  auto clock = std::make_unique<TSevenGadget>(0, TGadget::None, 0);
  clock->SegmentWidth = 3;
  clock->SegmentGap = 1;
  clock->SetBorderStyle(TGadget::Recessed);
  Clock = TimerBar->Insert(std::move(clock));
  TimerBar->SetHintMode(TGadgetWindow::HintOnEnter);

  Harbor->Insert(*Toolbar, DockTop);
  Harbor->Insert(*TimerBar, DockTop);
  Insert(*Harbor, TEdge::Top);

  StatusBar = new TStatusBar(this, TGadget::Recessed, 0);
  PiecesText = StatusBar->Insert(std::make_unique<TTextGadget>(
      0, TGadget::Recessed, TTextGadget::Left, CountChars(PiecesPattern, {"20", "20"}), ""));
  FalseText = StatusBar->Insert(std::make_unique<TTextGadget>(
      0, TGadget::Recessed, TTextGadget::Left, CountChars(FalsePattern, {"400"}), ""));
  StatusBar->Attr.Id = StatusBarId;
  Insert(*StatusBar, TEdge::Bottom);

  // The size it has until the desktop maximizes it: never more than the desktop leaves
  // free for windows, or the status bar would lie below the screen's edge.
  const TRect workArea = GetWorkArea();
  Attr.X = workArea.left;
  Attr.Y = workArea.top;
  Attr.W = workArea.Width();
  Attr.H = workArea.Height();
}

TMyWindow::~TMyWindow() {
  KillTimer(CLOCK_TIMER_ID);
  // Before the frame's own windows go: the thumbnail takes itself off its owner's list.
  Thumbnail.reset();
}

void TMyWindow::SetupWindow() {
  TDecoratedFrame::SetupWindow();
  // The frame stays where it is shown: no Move and no Size in its system menu, which the
  // framework passes on to the window manager when the frame is first shown.
  TSystemMenu systemMenu(*this);
  systemMenu.DeleteMenu(1, MF_BYPOSITION);
  systemMenu.DeleteMenu(1, MF_BYPOSITION);

  MakeScoreDirectory();
  const std::string settings = SettingsPath();
  CheckScoreFormatChange(settings.c_str(), this);
  ImportOldScores(settings.c_str(), this);
  ReadSettings(settings.c_str());
  UpdatePiecesMenu();
  UpdateTypeMenu();
  CmToolbarTop();
  Toolbar->Relayout();
  Puzzle->Zoom(0);
  UpdateStatusBar();
}

bool TMyWindow::CanClose() {
  return MessageBox("Do you really want to exit Kavro?", "Kavro", MB_YESNO | MB_ICONQUESTION) ==
         IDYES;
}

TResult TMyWindow::EvDestroy(TParam1, TParam2) {
  WriteSettings(SettingsPath().c_str());
  WinHelpA(GetHandle(), HelpFilePath().c_str(), HELP_QUIT, 0);
  KillTimer(CLOCK_TIMER_ID);
  return DefaultProcessing();
}

TResult TMyWindow::EvKeyDown(TParam1 key, TParam2) {
  // Keys that reach the frame still play the board.
  Puzzle->SendMessage(WM_KEYDOWN, key, 0);
  return 0;
}
