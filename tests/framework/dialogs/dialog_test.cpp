// Dialogs from templates: controls placed from dialog units, control objects bound by id,
// list boxes with sorting and tab columns, modal runs answered by the responder or by
// keys, and the framework's input dialog.
#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/dialogs/controls.h"
#include "framework/dialogs/dialog.h"
#include "framework/dialogs/dialog_impl.h"
#include "framework/dialogs/input_dialog.h"
#include "framework/graphics/dc.h"
#include "framework/graphics/qt_bridge.h"
#include "framework/gui_helpers.h"
#include "framework/resources/resources.h"
#include "framework/windows/messages.h"
#include "framework/windows/window_dc.h"

namespace {

constexpr int ScoresDialog = 991;
constexpr int PickDialog = 992;
constexpr int BareDialog = 993;
constexpr int CM_RESET = 107;

void AddDialogs() {
  TDialogResource scores;
  scores.X = 13;
  scores.Y = 9;
  scores.W = 249;
  scores.H = 153;
  scores.Caption = "Scores";
  scores.Items = {
      {TControlClass::Button, IDOK, 52, 132, 58, 14, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {TControlClass::Button, CM_RESET, 140, 132, 64, 14, "&Reset", BS_PUSHBUTTON | WS_TABSTOP, 0},
      {TControlClass::Static, 120, 7, 4, 236, 8, "File &name :", SS_CENTER, 0},
      {TControlClass::Static, -1, 12, 20, 60, 8, "Pieces", SS_LEFT, 0},
      {TControlClass::ListBox, 102, 10, 32, 228, 100, "",
       LBS_SORT | LBS_USETABSTOPS | LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0},
  };
  TResources::AddDialog(ScoresDialog, scores);

  TDialogResource pick;
  pick.X = 22;
  pick.Y = 30;
  pick.W = 282;
  pick.H = 130;
  pick.Caption = "Pick";
  pick.Items = {
      {TControlClass::Button, IDOK, 68, 108, 64, 14, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 0},
      {TControlClass::Button, IDCANCEL, 140, 108, 64, 14, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 0},
      {TControlClass::ListBox, 102, 40, 16, 28, 80, "",
       LBS_NOTIFY | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 0},
      {TControlClass::Button, 104, 168, 4, 108, 96, " Preview ", BS_GROUPBOX, 0},
  };
  TResources::AddDialog(PickDialog, pick);

  TDialogResource bare;
  bare.W = 100;
  bare.H = 40;
  bare.Caption = "Bare";
  bare.Items = {{TControlClass::Static, -1, 4, 4, 90, 8, "Nothing to press", SS_LEFT, 0}};
  TResources::AddDialog(BareDialog, bare);
}

// The base units the template font should give: the desktop's sans-serif at 8 points.
TSize ExpectedBaseUnits() {
  QFont font = QFontDatabase::systemFont(QFontDatabase::GeneralFont);
  font.setPixelSize(11);
  const QFontMetrics m(font);
  const int letters =
      m.horizontalAdvance(QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  return TSize((letters / 26 + 1) / 2, m.height());
}

int Scale(int units, int base, int per) {
  return (units * base + per / 2) / per;
}

// Position and size are scaled each on its own.
QRect PixelsOf(int x, int y, int w, int h) {
  const TSize b = ExpectedBaseUnits();
  return QRect(Scale(x, b.cx, 4), Scale(y, b.cy, 8), Scale(w, b.cx, 4), Scale(h, b.cy, 8));
}

// The Qt control a template item became, whether an object is bound to it or not.
QWidget* ControlWidget(const TDialog& dialog, int id) {
  const auto& controls = dialog.DialogImpl().Controls;
  const auto it = controls.find(id);
  return it != controls.end() ? it->second.data() : nullptr;
}

// Where a control stands in its dialog's client area.
QRect ControlPlace(const TDialog& dialog, int id) {
  const QWidget* control = ControlWidget(dialog, id);
  if (control == nullptr) return QRect();
  return QRect(control->mapTo(dialog.Impl()->Widget, QPoint(0, 0)), control->size());
}

class TScoresDialog : public TDialog {
 public:
  explicit TScoresDialog(TWindow* parent = nullptr) : TDialog(parent, ScoresDialog) {
    List = new TListBox(this, 102);
    Name = new TStatic(this, 120);
  }
  void SetupWindow() override {
    TDialog::SetupWindow();
    ++Setups;
    for (const char* line : Lines) List->AddString(line);
  }
  void CmReset() { List->Clear(); }
  void ListNote(UINT code) {
    Notes.push_back(code);
    if (code == LBN_SELCHANGE) SelectedAtChange.push_back(List->GetSelection());
  }

  std::vector<const char*> Lines;
  std::vector<UINT> Notes;
  std::vector<int> SelectedAtChange;  // what the list reports as each change is told
  int Setups = 0;
  TListBox* List;
  TStatic* Name;

  DECLARE_RESPONSE_TABLE(TScoresDialog);
};

// clang-format off
DEFINE_RESPONSE_TABLE1(TScoresDialog, TDialog)
  EV_COMMAND(CM_RESET, &TScoresDialog::CmReset),
  EV_CONTROL_ANY(102, &TScoresDialog::ListNote),
END_RESPONSE_TABLE;
// clang-format on

// Hears id 102 three ways, to tell commands from controls' notifications.
class TRouteWindow : public TWindow {
 public:
  TRouteWindow() : TWindow(nullptr) {}
  void CmCommand() { Heard.push_back("command"); }
  void LbDoubleClick() { Heard.push_back("double click"); }
  void CmNumbered(UINT id) { Heard.push_back("command " + std::to_string(id)); }
  std::vector<std::string> Heard;
  DECLARE_RESPONSE_TABLE(TRouteWindow);
};

// clang-format off
DEFINE_RESPONSE_TABLE1(TRouteWindow, TWindow)
  EV_CONTROL(102, LBN_DBLCLK, &TRouteWindow::LbDoubleClick),
  EV_COMMAND(102, &TRouteWindow::CmCommand),
  EV_COMMAND_WITH_ID(103, &TRouteWindow::CmNumbered),
END_RESPONSE_TABLE;
// clang-format on

TEST(ResponseTables, ControlNotificationsAreNoCommandsButAButtonsClickIs) {
  TRouteWindow w;
  int control = 0;  // any non-null sender stands for a control
  const auto from = reinterpret_cast<TParam2>(&control);
  w.SendMessage(WM_COMMAND, MAKEWPARAM(102, LBN_SELCHANGE), from);
  EXPECT_TRUE(w.Heard.empty());
  w.SendMessage(WM_COMMAND, MAKEWPARAM(102, LBN_DBLCLK), from);
  w.SendMessage(WM_COMMAND, MAKEWPARAM(102, BN_CLICKED), from);
  w.SendMessage(WM_COMMAND, MAKEWPARAM(102, 1), 0);  // an accelerator
  w.SendMessage(WM_COMMAND, 103, 0);
  EXPECT_EQ(w.Heard,
            (std::vector<std::string>{"double click", "command", "command", "command 103"}));
}

class DialogTest : public testing::Test {
 protected:
  void SetUp() override { AddDialogs(); }
  void TearDown() override { Settle(); }
};

// Answers the next modal dialog: the key goes to the focused control or to the dialog.
void PressKeyInNextDialog(Qt::Key key) {
  WhenModal(std::function<void(QWidget&)>([key](QWidget& box) {
    QWidget* focus = QApplication::focusWidget();
    QTest::keyClick(focus != nullptr && box.isAncestorOf(focus) ? focus : &box, key);
  }));
}

// --- Templates ---------------------------------------------------------------------------------

TEST_F(DialogTest, TemplateFontIsTheDesktopSansSerifAtEightPoints) {
  TScoresDialog dialog;
  ASSERT_TRUE(dialog.Create());
  EXPECT_EQ(dialog.GetBaseUnits(), ExpectedBaseUnits());
  const QFont font = dialog.Impl()->Outer->font();
  EXPECT_EQ(font.pixelSize(), 11);
  EXPECT_EQ(font.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
  EXPECT_EQ(ControlWidget(dialog, 102)->font().pixelSize(), 11);
}

TEST_F(DialogTest, ControlsStandWhereTheirDialogUnitsSay) {
  TScoresDialog dialog;
  ASSERT_TRUE(dialog.Create());
  const QRect client = PixelsOf(0, 0, 249, 153);
  EXPECT_EQ(dialog.GetClientRect(), TRect(0, 0, client.width(), client.height()));
  EXPECT_EQ(ControlPlace(dialog, 102), PixelsOf(10, 32, 228, 100));
  EXPECT_EQ(ToQRect(dialog.List->GetPlacement()), PixelsOf(10, 32, 228, 100));
  EXPECT_EQ(ControlPlace(dialog, IDOK), PixelsOf(52, 132, 58, 14));
  EXPECT_EQ(ControlPlace(dialog, CM_RESET), PixelsOf(140, 132, 64, 14));
  EXPECT_EQ(ControlPlace(dialog, 120), PixelsOf(7, 4, 236, 8));
  EXPECT_EQ(ToQRect(dialog.Name->GetPlacement()), PixelsOf(7, 4, 236, 8));
  // MapDialogRect scales each edge.
  const TSize b = ExpectedBaseUnits();
  TRect mapped(168, 4, 168 + 108, 4 + 96);
  dialog.MapDialogRect(mapped);
  EXPECT_EQ(mapped, TRect(Scale(168, b.cx, 4), Scale(4, b.cy, 8), Scale(276, b.cx, 4),
                          Scale(100, b.cy, 8)));
}

TEST_F(DialogTest, DialogStandsAtItsTemplatePlaceInItsOwnersClientArea) {
  TWindow owner(nullptr, "owner");
  owner.Attr.X = 100;
  owner.Attr.Y = 80;
  owner.Attr.W = 600;
  owner.Attr.H = 400;
  ASSERT_TRUE(owner.Create());
  owner.ShowWindow(SW_SHOW);
  Settle();
  auto* dialog = new TScoresDialog(&owner);  // the owner deletes it
  ASSERT_TRUE(dialog->Create());
  TPoint origin(0, 0);
  owner.ClientToScreen(origin);
  const QRect at = PixelsOf(13, 9, 1, 1);
  EXPECT_EQ(dialog->Impl()->Outer->pos(), QPoint(origin.x + at.left(), origin.y + at.top()));
}

TEST_F(DialogTest, TextsShowAsGivenAndStaticsHideTheirMnemonicMarks) {
  TScoresDialog dialog;
  ASSERT_TRUE(dialog.Create());
  EXPECT_EQ(dialog.GetCaption(), "Scores");
  EXPECT_EQ(dialog.Name->GetText(), "File &name :");
  EXPECT_EQ(qobject_cast<QLabel*>(ControlWidget(dialog, 120))->text(), QString("File name :"));
  char text[32];
  EXPECT_EQ(dialog.GetDlgItemText(CM_RESET, text, sizeof text), 6);
  EXPECT_STREQ(text, "&Reset");
  dialog.Name->SetText("File name: C:\\a.bmp");
  EXPECT_EQ(dialog.Name->GetText(), "File name: C:\\a.bmp");
  EXPECT_EQ(dialog.Name->GetTextLen(), 19);
}

// --- List boxes ----------------------------------------------------------------------------------

TEST_F(DialogTest, SortedListKeepsLinesInOrderIgnoringCaseWithPaddedNumbersFirst) {
  TScoresDialog dialog;
  dialog.Lines = {"10 x 10 (100 pieces)\tBo\t00:10:00",
                  " 4 x  4 (16 pieces)\tAl\t00:01:00",
                  " 4 x 10 (40 pieces)\tCy\t00:02:00",
                  "beta",
                  "Alpha",
                  "alpha"};
  ASSERT_TRUE(dialog.Create());
  TListBox& list = *dialog.List;
  ASSERT_EQ(list.GetCount(), 6);
  EXPECT_EQ(list.GetString(0), " 4 x  4 (16 pieces)\tAl\t00:01:00");
  EXPECT_EQ(list.GetString(1), " 4 x 10 (40 pieces)\tCy\t00:02:00");
  EXPECT_EQ(list.GetString(2), "10 x 10 (100 pieces)\tBo\t00:10:00");
  EXPECT_EQ(list.GetString(3), "Alpha");
  EXPECT_EQ(list.GetString(4), "alpha");  // equal lines keep their order of arrival
  EXPECT_EQ(list.GetString(5), "beta");
  EXPECT_EQ(list.GetStringLen(3), 5);
  char line[8];
  EXPECT_EQ(list.GetString(line, 5), 4);
  EXPECT_STREQ(line, "beta");
  EXPECT_EQ(list.GetString(line, 6), LB_ERR);
  EXPECT_EQ(list.GetStringLen(-1), LB_ERR);
  EXPECT_EQ(list.AddString("Zeta"), 6);
  EXPECT_EQ(list.DeleteString(6), 6);
  list.Clear();
  EXPECT_EQ(list.GetCount(), 0);
}

TEST_F(DialogTest, SelectionIsSetQuietlyByTheProgramAndNotifiedWhenThePlayerChooses) {
  TScoresDialog dialog;
  dialog.Lines = {"a", "b", "c"};
  ASSERT_TRUE(dialog.Create());
  dialog.ShowWindow(SW_SHOW);
  Settle();
  TListBox& list = *dialog.List;
  EXPECT_EQ(list.GetSelection(), LB_ERR);
  EXPECT_EQ(list.SetSelection(1), 1);
  EXPECT_EQ(list.GetSelection(), 1);
  EXPECT_EQ(list.SetSelection(-1), LB_ERR);
  EXPECT_EQ(list.GetSelection(), LB_ERR);
  EXPECT_TRUE(std::find(dialog.Notes.begin(), dialog.Notes.end(), LBN_SELCHANGE) ==
              dialog.Notes.end());

  auto* widget = qobject_cast<QListWidget*>(ControlWidget(dialog, 102));
  const QRect third = widget->visualItemRect(widget->item(2));
  QTest::mouseClick(widget->viewport(), Qt::LeftButton, {}, third.center());
  EXPECT_EQ(list.GetSelection(), 2);
  widget->setFocus();
  QTest::keyClick(widget, Qt::Key_Up);
  // Told once each, with the new line already selected, whether clicked or keyed.
  EXPECT_EQ(dialog.SelectedAtChange, (std::vector<int>{2, 1}));
  QTest::mouseDClick(widget->viewport(), Qt::LeftButton, {}, third.center());
  EXPECT_TRUE(std::find(dialog.Notes.begin(), dialog.Notes.end(), LBN_DBLCLK) !=
              dialog.Notes.end());
  dialog.Destroy();
}

// The x of every dark column start in a row of an image: where each glyph run begins.
std::vector<int> RunStarts(const QImage& image, const QRect& row) {
  std::vector<int> starts;
  bool inRun = false;
  for (int x = row.left(); x <= row.right(); ++x) {
    bool dark = false;
    for (int y = row.top(); y <= row.bottom(); ++y) dark = dark || qGray(image.pixel(x, y)) < 110;
    if (dark && !inRun) starts.push_back(x);
    inRun = dark;
  }
  return starts;
}

TEST_F(DialogTest, TabStopsPutTheColumnsOfEveryLineUnderEachOther) {
  TScoresDialog dialog;
  dialog.Lines = {"I\tI\tI", "IIIIIIII\tI\tI"};
  ASSERT_TRUE(dialog.Create());
  const int stops[] = {75, 185};
  ASSERT_TRUE(dialog.List->SetTabStops(2, stops));
  dialog.ShowWindow(SW_SHOW);
  Settle();
  auto* widget = qobject_cast<QListWidget*>(ControlWidget(dialog, 102));
  const QImage shot = widget->viewport()->grab().toImage();
  const std::vector<int> first = RunStarts(shot, widget->visualItemRect(widget->item(0)));
  const std::vector<int> second = RunStarts(shot, widget->visualItemRect(widget->item(1)));
  ASSERT_EQ(first.size(), 3u);
  ASSERT_GE(second.size(), 3u);
  const TSize units = dialog.GetBaseUnits();
  // Each column starts a tab stop away from the first, in both lines.
  EXPECT_EQ(first[1] - first[0], Scale(75, units.cx, 4));
  EXPECT_EQ(first[2] - first[0], Scale(185, units.cx, 4));
  EXPECT_EQ(second[second.size() - 2], first[1]);
  EXPECT_EQ(second.back(), first[2]);
  dialog.Destroy();
}

// --- Modal runs
// ------------------------------------------------------------------------------------

TEST_F(DialogTest, ResponderSeesTheSetUpDialogAndPressesButtonsUntilItCloses) {
  TScoresDialog dialog;
  dialog.Lines = {"b\t1", "a\t2"};
  std::vector<TModalRequest> seen;
  TScopedModalResponder responder([&](const TModalRequest& request) {
    seen.push_back(request);
    return TModalAnswer(seen.size() == 1 ? CM_RESET : IDOK);
  });
  EXPECT_EQ(dialog.Execute(), IDOK);
  ASSERT_EQ(seen.size(), 2u);
  EXPECT_EQ(seen[0].Kind, TModalRequest::Dialog);
  EXPECT_EQ(seen[0].ResourceId, ScoresDialog);
  EXPECT_EQ(seen[0].Caption, "Scores");
  EXPECT_EQ(seen[0].Window, &dialog);
  EXPECT_EQ(seen[0].ListItems[102], (std::vector<std::string>{"a\t2", "b\t1"}));
  EXPECT_EQ(seen[0].ListSelections[102], -1);
  EXPECT_EQ(seen[0].ControlTexts[120], "File &name :");
  EXPECT_TRUE(seen[1].ListItems[102].empty());  // the reset button cleared the list
  EXPECT_EQ(dialog.Setups, 1);
  EXPECT_FALSE(dialog.IsWindow());
}

TEST_F(DialogTest, ResponderChoosesLinesAsThePlayerWouldAndCancelEndsTheRun) {
  TScoresDialog dialog;
  dialog.Lines = {"a", "b"};
  TScopedModalResponder responder([&](const TModalRequest&) {
    TModalAnswer answer(IDCANCEL);
    answer.ListSelections[102] = 1;
    return answer;
  });
  EXPECT_EQ(dialog.Execute(), IDCANCEL);
  EXPECT_EQ(dialog.Notes, std::vector<UINT>{LBN_SELCHANGE});
}

TEST_F(DialogTest, EnterPressesTheDefaultButtonAndEscapeCancels) {
  const TRealModals real;
  TScoresDialog ok;
  PressKeyInNextDialog(Qt::Key_Return);
  EXPECT_EQ(ok.Execute(), IDOK);
  TScoresDialog cancel;
  PressKeyInNextDialog(Qt::Key_Escape);
  EXPECT_EQ(cancel.Execute(), IDCANCEL);
  // Without a button Enter still means OK.
  TDialog bare(nullptr, BareDialog);
  PressKeyInNextDialog(Qt::Key_Enter);
  EXPECT_EQ(bare.Execute(), IDOK);
}

TEST_F(DialogTest, CloseBoxCancelsAndAMissingTemplateFails) {
  const TRealModals real;
  TScoresDialog dialog;
  WhenModal(std::function<void(QWidget&)>([](QWidget& box) { box.close(); }));
  EXPECT_EQ(dialog.Execute(), IDCANCEL);
  TDialog missing(nullptr, 4711);
  EXPECT_EQ(missing.Execute(), -1);
}

TEST_F(DialogTest, GroupBoxLetsTheDialogsOwnDrawingShowThrough) {
  TDialog dialog(nullptr, PickDialog);
  auto* preview = new TGroupBox(&dialog, 104);  // the dialog deletes it
  ASSERT_TRUE(dialog.Create());
  dialog.ShowWindow(SW_SHOW);
  Settle();
  const TRect box = preview->GetPlacement();
  EXPECT_EQ(ToQRect(box), PixelsOf(168, 4, 108, 96));
  {
    TClientDC dc(dialog);
    dc.FillRect(TRect(box.left + 15, box.top + 20, box.right - 15, box.bottom - 15),
                TBrush(0x0000FF));
  }
  Settle();
  QImage shot(dialog.Impl()->Outer->size(), QImage::Format_RGB32);
  dialog.Impl()->Outer->render(&shot);
  const QPoint centre((box.left + box.right) / 2, (box.top + box.bottom) / 2);
  EXPECT_EQ(shot.pixel(centre) & 0xFFFFFF, 0xFF0000u);  // red in Qt's 0xRRGGBB
  EXPECT_EQ(preview->GetText(), " Preview ");
  dialog.Destroy();
}

// --- The input dialog
// --------------------------------------------------------------------------------

TEST_F(DialogTest, InputDialogOffersTheBufferAndCopiesBackAtMostItsSizeLessOne) {
  char name[5] = "Ann";
  TModalRequest seen;
  TScopedModalResponder responder([&](const TModalRequest& request) {
    seen = request;
    return TModalAnswer(IDOK, "Bernadette");
  });
  TInputDialog input(nullptr, "Kavro", " Your name:", name, sizeof name);
  EXPECT_EQ(input.Execute(), IDOK);
  EXPECT_EQ(seen.Kind, TModalRequest::Input);
  EXPECT_EQ(seen.Caption, "Kavro");
  EXPECT_EQ(seen.Text, " Your name:");
  EXPECT_EQ(seen.MaxLength, 4);
  EXPECT_EQ(seen.ControlTexts[ID_INPUT], "Ann");
  EXPECT_EQ(seen.ControlTexts[ID_PROMPT], " Your name:");
  EXPECT_STREQ(name, "Bern");
}

TEST_F(DialogTest, InputDialogCancelLeavesTheBufferAlone) {
  char name[29] = "Ann";
  TScopedModalResponder responder(
      [](const TModalRequest&) { return TModalAnswer(IDCANCEL, "Bo"); });
  TInputDialog input(nullptr, "Kavro", "Name:", name, sizeof name);
  EXPECT_EQ(input.Execute(), IDCANCEL);
  EXPECT_STREQ(name, "Ann");
}

TEST_F(DialogTest, InputDialogFieldTakesNoMoreKeysThanTheLimit) {
  const TRealModals real;
  char name[5] = "";
  WhenModal(std::function<void(QWidget&)>([](QWidget& box) {
    auto* field = box.findChild<QLineEdit*>();
    if (field == nullptr) return;
    QTest::keyClicks(field, "Christopher");
    QTest::keyClick(field, Qt::Key_Return);
  }));
  TInputDialog input(nullptr, "Kavro", "Name:", name, sizeof name);
  EXPECT_EQ(input.Execute(), IDOK);
  EXPECT_STREQ(name, "Chri");
}

// The limit counts characters, and what comes back never ends in half of one.
TEST_F(DialogTest, InputDialogCountsCharactersNotBytes) {
  const std::string a = "\xC3\x84";  // Ä, two bytes
  auto times = [](const std::string& text, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += text;
    return out;
  };
  const struct {
    std::size_t Size;
    int MaxChars;
    std::string Typed;
    std::string Kept;
  } cases[] = {
      {113, 28, times(a, 20), times(a, 20)},
      {113, 28, times(a, 30), times(a, 28)},
      {113, 28, times("\xF0\x9F\x98\x80", 29), times("\xF0\x9F\x98\x80", 28)},
      {6, 5, times(a, 4), times(a, 2)},
  };
  for (const auto& c : cases) {
    std::vector<char> buffer(c.Size, '\0');
    TScopedModalResponder responder(
        [&c](const TModalRequest&) { return TModalAnswer(IDOK, c.Typed); });
    TInputDialog input(nullptr, "Kavro", "Name:", buffer.data(), static_cast<int>(c.Size));
    input.SetMaxChars(c.MaxChars);
    EXPECT_EQ(input.Execute(), IDOK);
    EXPECT_EQ(std::string(buffer.data()), c.Kept) << c.Typed;
  }

  const TRealModals real;
  char name[113] = "";
  WhenModal(std::function<void(QWidget&)>([](QWidget& box) {
    auto* field = box.findChild<QLineEdit*>();
    if (field == nullptr) return;
    QTest::keyClicks(field, QString(30, QChar(0xC4)));
    QTest::keyClick(field, Qt::Key_Return);
  }));
  TInputDialog typed(nullptr, "Kavro", "Name:", name, sizeof name);
  typed.SetMaxChars(28);
  EXPECT_EQ(typed.Execute(), IDOK);
  EXPECT_EQ(std::string(name), times(a, 28));
}

TEST_F(DialogTest, InputDialogUsesTheFrameworksOwnTemplate) {
  char name[8] = "x";
  TInputDialog input(nullptr, "Kavro", "Prompt", name, sizeof name);
  ASSERT_TRUE(input.Create());
  const TDialogResource* t = TResources::FindDialog(IDD_INPUTDIALOG);
  ASSERT_NE(t, nullptr);
  for (const TDialogItemResource& item : t->Items) {
    EXPECT_EQ(ControlPlace(input, item.Id), PixelsOf(item.X, item.Y, item.W, item.H));
  }
  EXPECT_NE(qobject_cast<QLineEdit*>(ControlWidget(input, ID_INPUT)), nullptr);
  EXPECT_EQ(input.GetCaption(), "Kavro");
  input.Destroy();
}

}  // namespace

namespace {
// The WCAG contrast ratio of two colours: (lighter + 0.05) / (darker + 0.05) of their
// relative luminance.
double Contrast(QRgb a, QRgb b) {
  const auto luminance = [](QRgb c) {
    const auto linear = [](int v) {
      const double s = v / 255.0;
      return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(c)) + 0.7152 * linear(qGreen(c)) + 0.0722 * linear(qBlue(c));
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}
}  // namespace

// Under a high-contrast theme a dialog's own area takes the theme's colours, so its labels,
// which Qt draws in the theme's text colour, stay readable.
TEST_F(DialogTest, ADialogsLabelsKeepTheirContrastUnderAHighContrastTheme) {
  const TRealModals real;
  const QPalette before = QApplication::palette();
  QPalette dark(Qt::white, Qt::black);  // white text on black
  QApplication::setPalette(dark);
  double contrast = 0;
  WhenModal(std::function<void(QWidget&)>([&contrast](QWidget& box) {
    const QImage shot = box.grab().toImage();
    const QLabel* prompt = box.findChild<QLabel*>();
    if (prompt == nullptr) return;
    const QRect at(prompt->mapTo(&box, QPoint(0, 0)), prompt->size());
    const QRgb background = shot.pixel(at.left() - 1, at.top() - 1);
    for (int y = at.top(); y <= at.bottom(); ++y) {
      for (int x = at.left(); x <= at.right(); ++x) {
        contrast = std::max(contrast, Contrast(shot.pixel(x, y), background));
      }
    }
    QTest::keyClick(&box, Qt::Key_Escape);
  }));
  char name[29] = "Ann";
  TInputDialog input(nullptr, "Kavro", "Your name:", name, sizeof name);
  input.Execute();
  QApplication::setPalette(before);
  EXPECT_GE(contrast, 4.5);
}
