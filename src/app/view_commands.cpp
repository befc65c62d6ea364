// Commands that change how the board looks, where the bars stand, and the switches; none
// of them disturbs a game in progress.
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <system_error>

#include "app/main_window.h"
#include "dialogs/seven_gadget.h"
#include "framework/bars/button_gadget.h"
#include "framework/common_dialogs/color_dialog.h"
#include "framework/common_dialogs/font_dialog.h"
#include "framework/frames/harbor.h"
#include "framework/text/translation.h"
#include "platform/files.h"
#include "platform/shell.h"
#include "resources/command_ids.h"
#include "resources/product.h"

namespace {

// The custom colours of the colour dialogs, kept for the whole run.
COLORREF CustomColors[16] = {0x000000, 0x800000, 0x008000, 0x000080, 0x800080, 0x008080,
                             0x808000, 0x808080, 0x000000, 0xFF0000, 0x00FF00, 0x0000FF,
                             0xFF00FF, 0x00FFFF, 0xFFFF00, 0xFFFFFF};

// The colour the player picks, starting from current; none on Cancel.
std::optional<COLORREF> ChooseColor(TWindow* parent, COLORREF current) {
  TChooseColorDialog::TData data;
  data.Flags = CC_RGBINIT;
  data.Color = current;
  data.CustColors = CustomColors;
  if (TChooseColorDialog(parent, data).Execute() != IDOK) return std::nullopt;
  return data.Color;
}

// Floats bar with its window's right edge at right and its top at top (screen pixels).
void FloatRightAligned(THarbor& harbor, TDockableControlBar& bar, int right, int top) {
  TSize size;
  bar.GetDesiredSize(size);
  TPoint at(right - size.cx, top);
  harbor.Move(bar, DockNone, &at);
  // The window may be wider than the bar, for its caption, and has its frame around it.
  at.x = right - bar.GetWindowRect().Width();
  harbor.Move(bar, DockNone, &at);
}

}  // namespace

std::string HelpFilePath() {
  // The page in the player's language ("kavro.de.html"), the territory's before the
  // language's; English where there is none.
  const std::string folder = ProgramDirectory();
  const std::string& language = PlayersLanguage();
  for (const std::string& name : {language, language.substr(0, language.find('_'))}) {
    const std::string page = folder + "kavro." + name + ".html";
    std::error_code error;
    if (!name.empty() && std::filesystem::is_regular_file(page, error)) return page;
  }
  return folder + "kavro.html";
}

void TMyWindow::CmFalsePieces() {
  Puzzle->SetShowFalse(!Puzzle->ShowFalse);
  CheckItem(CM_FALSEPIECES, Puzzle->ShowFalse);
  FalsePiecesButton->SetButtonState(Puzzle->ShowFalse ? TButtonGadget::Down : TButtonGadget::Up);
}

void TMyWindow::CmNormal() {
  if (Puzzle->FitInWindow) {
    CmFitInWindow();
  } else {
    Puzzle->Zoom(0);
  }
}

void TMyWindow::CmFitInWindow() {
  Puzzle->SetFitInWindow(!Puzzle->FitInWindow);
  CheckItem(CM_FITINWINDOW, Puzzle->FitInWindow);
}

void TMyWindow::CmZoomIn() {
  if (Puzzle->FitInWindow) Puzzle->SetFitInWindow(false);
  Puzzle->Zoom(+1);
  CheckItem(CM_FITINWINDOW, false);
}

void TMyWindow::CmZoomOut() {
  if (Puzzle->FitInWindow) Puzzle->SetFitInWindow(false);
  Puzzle->Zoom(-1);
  CheckItem(CM_FITINWINDOW, false);
}

void TMyWindow::CmToolbarLeft() {
  const TPoint origin(0, 0);
  Harbor->Move(*Toolbar, DockLeft, &origin);
  // Its window, wide enough for its caption, stays on the screen.
  FloatRightAligned(*Harbor, *TimerBar, GetWindowRect().right - 20, 50);
}

void TMyWindow::CmToolbarTop() {
  const TPoint origin(0, 0);
  Harbor->Move(*Toolbar, DockTop, &origin);
  TSize clock;
  Clock->GetDesiredSize(clock);
  // At the right end of the same edge, in the frame's client coordinates.
  const TPoint where(GetWindowRect().Width() - clock.cx - 15, 0);
  Harbor->Move(*TimerBar, DockTop, &where);
}

void TMyWindow::CmToolbarFloat() {
  const TRect frame = GetWindowRect();
  TPoint corner(frame.right, frame.top);
  ClientToScreen(corner);
  Harbor->Move(*TimerBar, DockNone);
  Harbor->Move(*Toolbar, DockNone);
  FloatRightAligned(*Harbor, *TimerBar, corner.x - 20, corner.y);
  // The timer window's height is its frame's, caption and borders as the desktop drew
  // them: the toolbar's caption never lands on the clock.
  const TRect timerFrame = TimerBar->GetWindowRect();
  FloatRightAligned(*Harbor, *Toolbar, corner.x - 20, timerFrame.top + timerFrame.Height() + 22);
}

void TMyWindow::CmPiecesColor() {
  if (const auto color = ChooseColor(this, Puzzle->Pieces[0][0]->Color))
    Puzzle->SetPiecesColor(*color);
}

void TMyWindow::CmBkColor() {
  if (const auto color = ChooseColor(this, Puzzle->GetBkgndColor())) {
    Puzzle->SetBkgndColor(*color);
    Puzzle->Invalidate(true);
  }
}

void TMyWindow::Cm3DEffect() {
  Puzzle->Set3D(!Puzzle->Effect3D);
  CheckItem(CM_3DEFFECT, Puzzle->Effect3D);
}

void TMyWindow::CmFont() {
  TChooseFontDialog::TData data;
  data.Flags = CF_TTONLY | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT | CF_SCREENFONTS;
  data.LogFont = Puzzle->LabelFont->GetLogFont();
  data.Color = Puzzle->LabelColor;
  if (TChooseFontDialog(this, data).Execute() == IDOK)
    Puzzle->SetLabelFont(data.LogFont, data.Color);
}

void TMyWindow::CmSound() {
  Puzzle->SoundOn = !Puzzle->SoundOn;
  CheckItem(CM_SOUND, Puzzle->SoundOn);
}

void TMyWindow::CmGrid() {
  Puzzle->ShowGrid = !Puzzle->ShowGrid;
  Relayout();
  CheckItem(CM_GRID, Puzzle->ShowGrid);
}

void TMyWindow::CmHelp() {
  const std::string path = HelpFilePath();
  // A missing help file or no program to show it must not pass for an opened page.
  if (WinHelpA(GetHandle(), path.c_str(), HELP_FINDER, 0) == 0) {
    const std::string text = Fill(Translate(N_("Unable to open the help file %1.")), {path});
    MessageBox(text.c_str(), "Kavro", MB_ICONSTOP | MB_OK);
  }
}

void TMyWindow::CmWebSite() {
  ShowWindow(SW_MINIMIZE);
  const auto opened = reinterpret_cast<std::uintptr_t>(
      ShellExecuteA(nullptr, nullptr, ProductWebPage, nullptr, nullptr, SW_SHOWNORMAL));
  // Without a browser the player would be left with a minimized game and no page.
  if (opened <= 32) {
    ShowWindow(SW_RESTORE);
    const std::string text = Fill(Translate(N_("Unable to open %1.")), {ProductWebPage});
    MessageBox(text.c_str(), "Kavro", MB_ICONSTOP | MB_OK);
  }
}
