// A demo frame built the way the game builds its main window: a menu and accelerators
// from tables, a harbor with a toolbar and a second bar, a status bar with a text gadget.
// Menus, hints, enabling, docking and floating, gadget layout and painting.
#include <QApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "framework/application/application.h"
#include "framework/bars/button_gadget.h"
#include "framework/bars/status_bar.h"
#include "framework/frames/decorated_frame.h"
#include "framework/frames/harbor.h"
#include "framework/graphics/dc.h"
#include "framework/graphics/sys_colors.h"
#include "framework/gui_helpers.h"
#include "framework/menus/menu.h"
#include "framework/menus/menu_impl.h"
#include "framework/resources/resources.h"
#include "framework/windows/message_box.h"
#include "framework/windows/messages.h"

namespace {

constexpr int DemoMenu = 900;
constexpr int DemoAccel = 900;
constexpr UINT CM_GO = 901;
constexpr UINT CM_PASTE = 902;
constexpr UINT CM_SLIDE = 903;
constexpr UINT CM_SWAP = 904;
constexpr UINT CM_ALPHA = 905;
constexpr UINT CM_MARK = 906;
constexpr UINT CM_LEFT = 907;
constexpr UINT CM_TOP = 908;
constexpr COLORREF Ink = 0x0000FF;
constexpr COLORREF BoxColour = 0x00FF00;

void AddDemoResources() {
  TResources::AddMenu(
      DemoMenu,
      {MenuPopup("&Game", {MenuItem("&Go\tF2", CM_GO), MenuSeparator(),
                           MenuItem("&Paste", CM_PASTE), MenuItem("E&xit\tAlt+F4", CM_EXIT)}),
       MenuPopup("&View",
                 {MenuPopup("&Toolbar", {MenuItem("&Left", CM_LEFT), MenuItem("&Top", CM_TOP)}),
                  MenuItem("&Status bar", StatusBarId)})});
  TResources::AddAccelerators(DemoAccel,
                              {{FVIRTKEY, VK_F2, CM_GO}, {FVIRTKEY | FCONTROL, 'V', CM_PASTE}});
  TResources::AddString(CM_GO, "Go ahead");
  TResources::AddString(CM_PASTE, "Paste it");
  TResources::AddString(StatusBarId, "Show or hide the bar");
  for (int id = 931; id <= 936; ++id)
    TResources::AddBitmap(id, GlyphDib(24, RGBQUAD{0, 0, 0xFF, 0}));
}

// A gadget that fills its inner rectangle, or paints nothing at all.
class TBoxGadget : public TGadget {
 public:
  TBoxGadget() : TGadget(7, Recessed) {}
  void GetDesiredSize(TSize& size) override {
    TGadget::GetDesiredSize(size);
    size = TSize(40, 20);
  }
  void Paint(TDC& dc) override {
    ++Paints;
    if (!Fill) return;
    TRect inner;
    GetInnerRect(inner);
    dc.FillRect(inner, TBrush(BoxColour));
  }
  int Paints = 0;
  bool Fill = true;
};

class TDemoFrame : public TDecoratedFrame {
 public:
  TDemoFrame() : TDecoratedFrame(nullptr, "Demo", new TWindow(nullptr, "client"), true) {
    AssignMenu(DemoMenu);
    SetAcceleratorTable(DemoAccel);
    GetClientWindow()->SetBkgndColor(0x404040);
    Harbor = new THarbor(*this);
    Toolbar = new TDockableControlBar(this);
    Toolbar->SetCaption("Tools");
    Go = Toolbar->Insert(std::make_unique<TButtonGadget>(931, CM_GO));
    Toolbar->Insert(std::make_unique<TSeparatorGadget>(6));
    Paste = Toolbar->Insert(std::make_unique<TButtonGadget>(932, CM_PASTE));
    Toolbar->Insert(std::make_unique<TSeparatorGadget>(6));
    Slide =
        Toolbar->Insert(std::make_unique<TButtonGadget>(933, CM_SLIDE, TButtonGadget::Exclusive));
    Swap = Toolbar->Insert(std::make_unique<TButtonGadget>(934, CM_SWAP, TButtonGadget::Exclusive));
    Toolbar->Insert(std::make_unique<TSeparatorGadget>(6));
    Alpha =
        Toolbar->Insert(std::make_unique<TButtonGadget>(935, CM_ALPHA, TButtonGadget::Exclusive));
    Mark =
        Toolbar->Insert(std::make_unique<TButtonGadget>(936, CM_MARK, TButtonGadget::NonExclusive));
    Toolbar->SetHintMode(TGadgetWindow::HintOnEnter);
    Timer = new TDockableControlBar(this, TGadgetWindow::Horizontal,
                                    std::make_unique<TGadgetWindowFont>(10));
    Timer->SetCaption("Timer");
    Box = Timer->Insert(std::make_unique<TBoxGadget>());
    Harbor->Insert(*Toolbar, DockTop);
    Harbor->Insert(*Timer, DockTop);
    Insert(*Harbor, TEdge::Top);
    Status = new TStatusBar(this, TGadget::Recessed, 0);
    Pieces =
        Status->Insert(std::make_unique<TTextGadget>(0, TGadget::Recessed, TTextGadget::Left, 10));
    Insert(*Status, TEdge::Bottom);
    Attr.X = 0;
    Attr.Y = 0;
    Attr.W = 640;
    Attr.H = 480;
  }

  void CmAny(UINT id) { Commands.push_back(id); }
  void CePaste(TCommandEnabler& ce) { ce.Enable(Pasteable); }

  // A child's rectangle in the frame's client coordinates.
  TRect Place(const TWindow& child) const {
    const TRect r = child.GetWindowRect();
    TPoint topLeft(r.left, r.top);
    ScreenToClient(topLeft);
    return TRect(topLeft, r.Size());
  }

  std::vector<UINT> Commands;
  bool Pasteable = false;
  THarbor* Harbor;
  TDockableControlBar* Toolbar;
  TDockableControlBar* Timer;
  TStatusBar* Status;
  TButtonGadget* Go;
  TButtonGadget* Paste;
  TButtonGadget* Slide;
  TButtonGadget* Swap;
  TButtonGadget* Alpha;
  TButtonGadget* Mark;
  TBoxGadget* Box;
  TTextGadget* Pieces;

  DECLARE_RESPONSE_TABLE(TDemoFrame);
};

// clang-format off
DEFINE_RESPONSE_TABLE1(TDemoFrame, TDecoratedFrame)
  EV_COMMAND_WITH_ID(CM_GO, &TDemoFrame::CmAny),
  EV_COMMAND_WITH_ID(CM_PASTE, &TDemoFrame::CmAny),
  EV_COMMAND_WITH_ID(CM_SLIDE, &TDemoFrame::CmAny),
  EV_COMMAND_WITH_ID(CM_SWAP, &TDemoFrame::CmAny),
  EV_COMMAND_WITH_ID(CM_ALPHA, &TDemoFrame::CmAny),
  EV_COMMAND_WITH_ID(CM_MARK, &TDemoFrame::CmAny),
  EV_COMMAND_WITH_ID(951, &TDemoFrame::CmAny),
  EV_COMMAND_ENABLE(CM_PASTE, &TDemoFrame::CePaste),
END_RESPONSE_TABLE;
// clang-format on

class FrameTest : public testing::Test {
 protected:
  void SetUp() override {
    AddDemoResources();
    App = std::make_unique<TApplication>();
    auto frame = std::make_unique<TDemoFrame>();
    Frame = frame.get();
    App->SetMainWindow(std::move(frame));
    ASSERT_TRUE(Frame->Create());
    Frame->ShowWindow(SW_SHOW);
    Settle();
  }
  void TearDown() override {
    App.reset();
    Settle();
  }

  QMenu* Popup(int position) const {
    return qobject_cast<QMenu*>(MenuWidget(TMenu(Frame->GetMenu()).GetSubMenu(position)));
  }
  QWidget* BarWidget(TWindow& bar) const { return bar.Impl()->Widget; }
  static QPoint Centre(const TGadget& g) {
    const TRect b = g.GetBounds();
    return QPoint((b.left + b.right) / 2, (b.top + b.bottom) / 2);
  }
  void Click(TGadget& g) {
    QTest::mouseClick(BarWidget(*g.GetGadgetWindow()), Qt::LeftButton, {}, Centre(g));
    Settle();
  }

  std::unique_ptr<TApplication> App;
  TDemoFrame* Frame = nullptr;
};

// --- Menus ------------------------------------------------------------------------------------

TEST_F(FrameTest, MenuBarHoldsTheTableWithItsTextsAsGiven) {
  TMenu bar(Frame->GetMenu());
  ASSERT_TRUE(bar.IsOK());
  ASSERT_EQ(bar.GetMenuItemCount(), 2);
  char text[64];
  bar.GetMenuString(0, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&Game");
  EXPECT_EQ(bar.GetMenuItemID(0), MenuItemNotFound);
  EXPECT_EQ(bar.GetMenuState(0, MF_BYPOSITION), MF_POPUP | (4u << 8));

  TMenu game(bar.GetSubMenu(0));
  ASSERT_EQ(game.GetMenuItemCount(), 4);
  EXPECT_EQ(game.GetMenuItemID(0), CM_GO);
  EXPECT_EQ(game.GetMenuItemID(1), 0u);
  EXPECT_EQ(game.GetMenuState(1, MF_BYPOSITION), MF_SEPARATOR);
  EXPECT_EQ(game.GetMenuString(CM_GO, text, sizeof text, MF_BYCOMMAND), 6);
  EXPECT_STREQ(text, "&Go\tF2");
  // By command, an item is found in nested pop-ups too.
  EXPECT_GT(bar.GetMenuString(CM_LEFT, text, sizeof text, MF_BYCOMMAND), 0);
  EXPECT_STREQ(text, "&Left");
  // A short buffer gets what fits.
  EXPECT_EQ(game.GetMenuString(CM_GO, text, 3, MF_BYCOMMAND), 2);
  EXPECT_STREQ(text, "&G");
}

TEST_F(FrameTest, ShortcutTextAfterTheTabIsShownAtTheRightOfItsItem) {
  QMenu* game = Popup(0);
  ASSERT_NE(game, nullptr);
  game->popup(QPoint(20, 20));
  Settle();
  const QImage shot = game->grab().toImage();
  auto inkAtRight = [&](int position) {
    const QRect row = game->actionGeometry(game->actions()[position]);
    int dark = 0;
    for (int y = row.top(); y <= row.bottom(); ++y) {
      for (int x = row.left() + row.width() * 2 / 3; x < row.right(); ++x) {
        if (qGray(shot.pixel(x, y)) < 100) ++dark;
      }
    }
    return dark;
  };
  EXPECT_GT(inkAtRight(0), 0);  // "&Go\tF2": the F2 stands at the right
  EXPECT_EQ(inkAtRight(2), 0);  // "&Paste" has no shortcut
  game->hide();
  Settle();
}

TEST_F(FrameTest, MenuItemsAreCheckedAppendedModifiedInsertedAndDeleted) {
  TMenu bar(Frame->GetMenu());
  EXPECT_EQ(bar.CheckMenuItem(CM_LEFT, MF_BYCOMMAND | MF_CHECKED), MF_UNCHECKED);
  EXPECT_EQ(bar.GetMenuState(CM_LEFT, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(bar.CheckMenuItem(CM_LEFT, MF_BYCOMMAND | MF_UNCHECKED), MF_CHECKED);
  EXPECT_EQ(bar.GetMenuState(CM_LEFT, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(bar.CheckMenuItem(4242, MF_BYCOMMAND | MF_CHECKED), MenuItemNotFound);

  TMenu game(bar.GetSubMenu(0));
  ASSERT_TRUE(game.AppendMenu(MF_SEPARATOR));
  ASSERT_TRUE(game.AppendMenu(MF_STRING, 950, "&1 C:\\a.bmp"));
  ASSERT_EQ(game.GetMenuItemCount(), 6);
  ASSERT_TRUE(game.ModifyMenu(950, MF_BYCOMMAND | MF_STRING, 951, "&1 D:\\b.jpg"));
  EXPECT_EQ(game.GetMenuItemID(5), 951u);
  char text[64];
  game.GetMenuString(5, text, sizeof text, MF_BYPOSITION);
  EXPECT_STREQ(text, "&1 D:\\b.jpg");
  // The new item sends its command like the ones from the table.
  MenuWidget(game.GetHandle())->actions()[5]->trigger();
  Settle();
  EXPECT_EQ(Frame->Commands, std::vector<UINT>{951});

  ASSERT_TRUE(game.InsertMenu(0, MF_BYPOSITION | MF_STRING, 960, "First"));
  EXPECT_EQ(game.GetMenuItemID(0), 960u);
  EXPECT_EQ(game.GetMenuItemID(1), CM_GO);
  EXPECT_TRUE(game.DeleteMenu(960, MF_BYCOMMAND));
  EXPECT_TRUE(game.DeleteMenu(5, MF_BYPOSITION));
  EXPECT_TRUE(game.DeleteMenu(4, MF_BYPOSITION));
  EXPECT_FALSE(game.DeleteMenu(4, MF_BYPOSITION));
  EXPECT_EQ(game.GetMenuItemCount(), 4);
  EXPECT_EQ(game.GetMenuItemID(3), CM_EXIT);
}

TEST_F(FrameTest, SystemMenuLosesItemsByPositionAndKeepsTheLoss) {
  TSystemMenu system(*Frame);
  ASSERT_EQ(system.GetMenuItemCount(), 7);
  EXPECT_EQ(system.GetMenuItemID(1), SC_MOVE);
  EXPECT_TRUE(system.DeleteMenu(1, MF_BYPOSITION));
  EXPECT_TRUE(system.DeleteMenu(1, MF_BYPOSITION));
  TSystemMenu again(*Frame);
  ASSERT_EQ(again.GetMenuItemCount(), 5);
  EXPECT_EQ(again.GetMenuItemID(0), SC_RESTORE);
  EXPECT_EQ(again.GetMenuItemID(1), SC_MINIMIZE);
  EXPECT_EQ(again.GetMenuItemID(4), SC_CLOSE);
  EXPECT_EQ(TSystemMenu(*Frame, true).GetMenuItemCount(), 7);
}

TEST_F(FrameTest, HighlightedMenuItemShowsItsHintAndTheOldTextReturns) {
  Frame->Status->SetText("Ready");
  QMenu* game = Popup(0);
  game->popup(QPoint(20, 20));
  Settle();
  QTest::keyClick(game, Qt::Key_Down);
  Settle();
  EXPECT_STREQ(Frame->Status->GetShownText(), "Go ahead");
  EXPECT_STREQ(Frame->Status->GetText(), "Ready");
  // The message area shows the hint on the screen too.
  TGadget& area = (*Frame->Status)[0];
  const TRect b = area.GetBounds();
  auto darkPixels = [&] {
    int dark = 0;
    for (int y = b.top + 1; y < b.bottom - 1; ++y) {
      for (int x = b.left + 1; x < b.right - 1; ++x)
        dark += IsInk(ShownPixel(*Frame->Status, x, y));
    }
    return dark;
  };
  const int withHint = darkPixels();
  EXPECT_GT(withHint, 0);
  QTest::keyClick(game, Qt::Key_Escape);
  Settle();
  EXPECT_STREQ(Frame->Status->GetShownText(), "Ready");
  EXPECT_NE(darkPixels(), withHint);
}

TEST_F(FrameTest, ALongItemShowsShortenedInItsMiddleAndWholeInItsHint) {
  const std::string path = "/home/player/" + std::string(230, 'd') + "/cat.jpg";
  QMenu* game = Popup(0);
  TMenu(MenuHandle(game)).AppendMenu(MF_STRING, 9999, ("&1 " + path).c_str());
  const QAction* item = game->actions().last();
  const QFontMetrics metrics(item->font());
  EXPECT_LE(metrics.horizontalAdvance(item->text()), 61 * metrics.averageCharWidth());
  EXPECT_TRUE(item->text().startsWith("&1 /home/player/")) << item->text().toStdString();
  EXPECT_TRUE(item->text().endsWith("/cat.jpg")) << item->text().toStdString();
  char text[400] = "";
  TMenu(MenuHandle(game)).GetMenuString(9999, text, sizeof text, MF_BYCOMMAND);
  EXPECT_EQ(text, "&1 " + path);

  game->popup(QPoint(20, 20));
  Settle();
  game->setActiveAction(game->actions().last());
  Settle();
  EXPECT_EQ(Frame->Status->GetShownText(), path);
  QTest::keyClick(game, Qt::Key_Escape);
  Settle();
}

TEST_F(FrameTest, AcceleratorsSendTheirCommandsUnlessTheCommandIsGreyed) {
  QWidget* client = Frame->GetClientWindow()->Impl()->Widget;
  QTest::keyClick(client, Qt::Key_F2);
  EXPECT_EQ(Frame->Commands, std::vector<UINT>{CM_GO});
  QTest::keyClick(client, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Frame->Commands, std::vector<UINT>{CM_GO});
  Frame->Pasteable = true;
  QTest::keyClick(client, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Frame->Commands, (std::vector<UINT>{CM_GO, CM_PASTE}));
  // Without Ctrl the key is no accelerator.
  QTest::keyClick(client, Qt::Key_V);
  EXPECT_EQ(Frame->Commands.size(), 2u);
  // A window the frame owns passes its keys on as well; a window of its own does not.
  auto* owned = new TFrameWindow(Frame, "Thumbnail");  // the frame deletes it
  TFrameWindow stranger(nullptr, "Other");
  for (TFrameWindow* w : {owned, &stranger}) {
    ASSERT_TRUE(w->Create());
    w->ShowWindow(SW_SHOWNORMAL);
    QWidget* widget = w->Impl()->Widget;
    widget->activateWindow();
    widget->setFocus();
    Settle();
    QTest::keyClick(widget, Qt::Key_F2);
  }
  EXPECT_EQ(Frame->Commands, (std::vector<UINT>{CM_GO, CM_PASTE, CM_GO}));
}

TEST_F(FrameTest, IconComesFromTheIconResource) {
  EXPECT_FALSE(Frame->SetIcon(nullptr, 4242));
  EXPECT_TRUE(Frame->Impl()->Outer->windowIcon().isNull());
  TResources::AddIcon(939, GlyphDib(32, RGBQUAD{0xFF, 0, 0, 0}));
  EXPECT_TRUE(Frame->SetIcon(nullptr, 939));
  const QImage icon = Frame->Impl()->Outer->windowIcon().pixmap(32, 32).toImage();
  EXPECT_EQ(icon.pixel(16, 16) & 0xFFFFFF, 0x0000FFu);  // blue in Qt's 0xRRGGBB
}

TEST_F(FrameTest, ABoxWithoutAnOwnerShowsTheMainWindowsIcon) {
  TResources::AddIcon(941, GlyphDib(32, RGBQUAD{0, 0xFF, 0, 0}));
  ASSERT_TRUE(Frame->SetIcon(nullptr, 941));
  Frame->ShowWindow(SW_HIDE);  // nothing active: a reader's message at start-up
  Settle();
  const TRealModals real;
  QImage shown;
  WhenModal<QMessageBox>(std::function<void(QMessageBox&)>([&](QMessageBox& box) {
    shown = box.windowIcon().pixmap(32, 32).toImage();
    box.accept();
  }));
  ShowMessageBox(nullptr, "Not a JPEG file", "JPEG Library Error", MB_ICONSTOP | MB_OK);
  ASSERT_FALSE(shown.isNull());
  EXPECT_EQ(shown.pixel(16, 16) & 0xFFFFFF, 0x00FF00u);
}

// A square 32-bit image of one colour whose top-left pixel is transparent.
TDib ArgbIconImage(int size, BYTE red) {
  TDib dib = SquareDib(size, 32);
  if (!dib.IsOK()) return dib;
  for (int y = 0; y < size; ++y) {
    BYTE* row = dib.ScanLine(y);
    for (int x = 0; x < size; ++x) {
      const bool corner = x == 0 && y == size - 1;  // rows run bottom up
      row[4 * x + 2] = red;
      row[4 * x + 3] = corner ? 0 : 0xFF;
    }
  }
  return dib;
}

TEST_F(FrameTest, IconKeepsOneImageOfEachSizeAndTheWindowGetsThemAllWithAlpha) {
  TResources::AddIcon(940, ArgbIconImage(48, 0x30));
  TResources::AddIcon(940, ArgbIconImage(16, 0x10));
  TResources::AddIcon(940, ArgbIconImage(24, 0x20));
  TResources::AddIcon(940, ArgbIconImage(16, 0x11));  // replaces the first 16
  TResources::AddIcon(940, TDib());                   // adds nothing
  const std::vector<TDib>* images = TResources::FindIconImages(940);
  ASSERT_NE(images, nullptr);
  std::vector<int> widths;
  for (const TDib& image : *images) widths.push_back(image.Width());
  EXPECT_EQ(widths, (std::vector<int>{16, 24, 48}));
  EXPECT_EQ(images->front().ScanLine(0)[2], 0x11);
  // Nearest width; a tie (20 between 16 and 24) goes to the larger.
  for (const auto& [asked, found] : {std::pair{32, 24}, {20, 24}, {17, 16}, {40, 48}, {999, 48}}) {
    ASSERT_NE(TResources::FindIcon(940, asked), nullptr);
    EXPECT_EQ(TResources::FindIcon(940, asked)->Width(), found) << asked;
  }

  ASSERT_TRUE(Frame->SetIcon(nullptr, 940));
  const QIcon icon = Frame->Impl()->Outer->windowIcon();
  std::vector<int> sizes;
  for (const QSize& size : icon.availableSizes()) sizes.push_back(size.width());
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<int>{16, 24, 48}));
  const QImage small = icon.pixmap(16, 16).toImage().convertToFormat(QImage::Format_ARGB32);
  EXPECT_EQ(qAlpha(small.pixel(0, 0)), 0);
  EXPECT_EQ(small.pixel(8, 8), 0xFF110000u);
}

TEST_F(FrameTest, OwnedFrameIsATopLevelWindowThatKeepsItsPlaceWhenResized) {
  auto* owned = new TFrameWindow(Frame, "Thumbnail");  // the frame deletes it
  owned->Attr.X = 50;
  owned->Attr.Y = 60;
  owned->Attr.W = 100;
  owned->Attr.H = 80;
  ASSERT_TRUE(owned->Create());
  owned->ShowWindow(SW_SHOWNORMAL);
  Settle();
  EXPECT_TRUE(owned->Impl()->Outer->isWindow());
  EXPECT_EQ(owned->Impl()->Outer->parentWidget(), Frame->Impl()->Outer);
  EXPECT_EQ(owned->GetCaption(), "Thumbnail");
  const TPoint before = owned->GetWindowRect().TopLeft();
  owned->SetWindowPos(0, 0, 160, 120, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  Settle();
  EXPECT_EQ(owned->GetWindowRect().TopLeft(), before);
  EXPECT_EQ(owned->GetClientRect().Size(), TSize(160, 120));
  delete owned;
  EXPECT_EQ(std::count(Frame->GetChildren().begin(), Frame->GetChildren().end(), owned), 0);
}

// --- Command enabling -----------------------------------------------------------------------

TEST_F(FrameTest, OneEnablerGreysTheMenuItemAndTheButton) {
  EXPECT_FALSE(Frame->Go->GetEnabled());  // buttons start disabled
  App->IdleAction(0);
  TMenu bar(Frame->GetMenu());
  EXPECT_TRUE(Frame->Go->GetEnabled());  // no enabler: always enabled
  EXPECT_EQ(bar.GetMenuState(CM_GO, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_FALSE(Frame->Paste->GetEnabled());
  EXPECT_EQ(bar.GetMenuState(CM_PASTE, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  // The greyed glyph has no ink left.
  const QPoint centre = Centre(*Frame->Paste);
  EXPECT_NE(ShownPixel(*Frame->Toolbar, centre.x(), centre.y()), Ink);
  EXPECT_EQ(ShownPixel(*Frame->Toolbar, Centre(*Frame->Go).x(), Centre(*Frame->Go).y()), Ink);
  // It is engraved instead: the ink's square in shadow, lit one pixel below and to the
  // right, face round it.
  TRect shadow(centre.x(), centre.y(), centre.x(), centre.y());
  for (int y = centre.y() - 12; y < centre.y() + 12; ++y) {
    for (int x = centre.x() - 12; x < centre.x() + 12; ++x) {
      if (ShownPixel(*Frame->Toolbar, x, y) != ColorShadow()) continue;
      shadow = shadow | TRect(x, y, x + 1, y + 1);
    }
  }
  ASSERT_EQ(shadow.Size(), TSize(12, 12));
  for (int y = shadow.top - 1; y <= shadow.bottom + 1; ++y) {
    for (int x = shadow.left - 1; x <= shadow.right + 1; ++x) {
      const bool inked = shadow.Contains(TPoint(x, y));
      const bool lit = TRect(shadow.left + 1, shadow.top + 1, shadow.right + 1, shadow.bottom + 1)
                           .Contains(TPoint(x, y));
      EXPECT_EQ(ShownPixel(*Frame->Toolbar, x, y),
                inked ? ColorShadow() : (lit ? ColorHighlight() : ColorFace()))
          << x << "," << y;
    }
  }

  Frame->Pasteable = true;
  App->IdleAction(1);
  EXPECT_TRUE(Frame->Paste->GetEnabled());
  EXPECT_EQ(bar.GetMenuState(CM_PASTE, MF_BYCOMMAND) & MF_GRAYED, 0u);
  EXPECT_EQ(ShownPixel(*Frame->Toolbar, centre.x(), centre.y()), Ink);

  // A pop-up asks the enablers as it opens, before any idle time.
  Frame->Pasteable = false;
  QMenu* game = Popup(0);
  game->popup(QPoint(20, 20));
  Settle(1);
  EXPECT_EQ(bar.GetMenuState(CM_PASTE, MF_BYCOMMAND) & MF_GRAYED, MF_GRAYED);
  game->hide();
  Settle();
}

TEST_F(FrameTest, TheLoopRunsTheEnablersWhenItGoesIdle) {
  Frame->Pasteable = true;
  QEventLoop loop;
  QTimer::singleShot(30, &loop, &QEventLoop::quit);
  loop.exec();
  EXPECT_TRUE(Frame->Paste->GetEnabled());
  EXPECT_EQ(TMenu(Frame->GetMenu()).GetMenuState(CM_PASTE, MF_BYCOMMAND) & MF_GRAYED, 0u);
}

// --- Decorations ------------------------------------------------------------------------------

TEST_F(FrameTest, DecorationsSurroundTheClientAndTheStatusBarCommandTogglesIt) {
  const TRect client = Frame->GetClientRect();
  const TRect harbor = Frame->Place(*Frame->Harbor);
  const TRect status = Frame->Place(*Frame->Status);
  const TRect inside = Frame->Place(*Frame->GetClientWindow());
  TSize toolbar;
  Frame->Toolbar->GetDesiredSize(toolbar);
  EXPECT_EQ(harbor, TRect(0, 0, client.Width(), toolbar.cy));
  TSize statusSize;
  Frame->Status->GetDesiredSize(statusSize);
  EXPECT_EQ(status, TRect(0, client.bottom - statusSize.cy, client.Width(), client.bottom));
  EXPECT_EQ(inside, TRect(0, harbor.bottom, client.Width(), status.top));

  App->IdleAction(0);
  TMenu bar(Frame->GetMenu());
  EXPECT_EQ(bar.GetMenuState(StatusBarId, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  Frame->SendMessage(WM_COMMAND, StatusBarId);
  Settle();
  App->IdleAction(1);
  EXPECT_FALSE(Frame->Status->IsWindowVisible());
  EXPECT_EQ(bar.GetMenuState(StatusBarId, MF_BYCOMMAND) & MF_CHECKED, 0u);
  EXPECT_EQ(Frame->Place(*Frame->GetClientWindow()).bottom, client.bottom);
  Frame->SendMessage(WM_COMMAND, StatusBarId);
  Settle();
  App->IdleAction(2);
  EXPECT_TRUE(Frame->Status->IsWindowVisible());
  EXPECT_EQ(bar.GetMenuState(StatusBarId, MF_BYCOMMAND) & MF_CHECKED, MF_CHECKED);
  EXPECT_EQ(Frame->Place(*Frame->GetClientWindow()).bottom, status.top);
}

TEST_F(FrameTest, BarsDockLeftFloatWithTheirCaptionAndDockBackAtAPoint) {
  const TPoint origin(0, 0);
  Frame->Harbor->Move(*Frame->Toolbar, DockLeft, &origin);
  Settle();
  EXPECT_EQ(Frame->Toolbar->GetLocation(), DockLeft);
  EXPECT_EQ(Frame->Toolbar->GetDirection(), TGadgetWindow::Vertical);
  const TRect docked = Frame->Place(*Frame->Toolbar);
  EXPECT_GT(docked.Height(), docked.Width());
  EXPECT_EQ(docked.left, 0);
  EXPECT_EQ(Frame->Place(*Frame->GetClientWindow()).left, docked.Width());
  // The timer bar alone decides the top edge now.
  TSize timer;
  Frame->Timer->GetDesiredSize(timer);
  EXPECT_EQ(Frame->Place(*Frame->Harbor).Height(), timer.cy);
  EXPECT_EQ(Frame->Place(*Frame->Timer).left, 0);

  const TPoint screen(300, 200);
  Frame->Harbor->Move(*Frame->Toolbar, DockNone, &screen);
  Settle();
  EXPECT_TRUE(Frame->Toolbar->IsFloating());
  EXPECT_EQ(Frame->Toolbar->GetDirection(), TGadgetWindow::Horizontal);
  QWidget* floating = BarWidget(*Frame->Toolbar)->window();
  ASSERT_NE(floating, Frame->Impl()->Outer);
  EXPECT_EQ(floating->windowTitle(), QString("Tools"));
  EXPECT_TRUE(floating->windowFlags().testFlag(Qt::Tool));
  EXPECT_EQ(Frame->Toolbar->GetWindowRect().TopLeft(), screen);
  TSize floatingSize;
  Frame->Toolbar->GetDesiredSize(floatingSize);
  EXPECT_EQ(Frame->Toolbar->GetClientRect().Size(), floatingSize);
  EXPECT_EQ(Frame->Place(*Frame->GetClientWindow()).left, 0);
  // A floating bar's buttons still reach the frame.
  App->IdleAction(0);
  Click(*Frame->Go);
  EXPECT_EQ(Frame->Commands, std::vector<UINT>{CM_GO});

  const TPoint along(200, 0);
  Frame->Harbor->Move(*Frame->Toolbar, DockTop, &along);
  Settle();
  EXPECT_FALSE(Frame->Toolbar->IsFloating());
  EXPECT_EQ(BarWidget(*Frame->Toolbar)->window(), Frame->Impl()->Outer);
  EXPECT_EQ(Frame->Place(*Frame->Toolbar).left, 200);
  EXPECT_EQ(Frame->Place(*Frame->Timer).left, 0);
}

TEST_F(FrameTest, BarDockedPastTheEndStaysWholeAtTheRightEdge) {
  const int width = Frame->GetClientRect().Width();
  TSize timer;
  Frame->Timer->GetDesiredSize(timer);
  const TPoint nearEnd(width - timer.cx - 15, 0);
  Frame->Harbor->Move(*Frame->Timer, DockTop, &nearEnd);
  Settle();
  EXPECT_EQ(Frame->Place(*Frame->Timer).left, width - timer.cx - 15);
  const TPoint beyond(width - 5, 0);
  Frame->Harbor->Move(*Frame->Timer, DockTop, &beyond);
  Settle();
  EXPECT_EQ(Frame->Place(*Frame->Timer).right, width);
}

// --- Gadgets ---------------------------------------------------------------------------------

TEST_F(FrameTest, StatusBarGadgetsLayOutInARowWithTheMessageAreaTakingTheRest) {
  TStatusBar& status = *Frame->Status;
  const TRect client = status.GetClientRect();
  const TSize chars = status.GetFontCharSize();
  const TRect pieces = Frame->Pieces->GetBounds();
  // Ten average characters, text margins of 2 and a border of 1 on each side.
  EXPECT_EQ(pieces.Width(), 10 * chars.cx + 2 * 2 + 2 * 1);
  EXPECT_EQ(pieces.right, client.right - 2);
  const TRect message = status[0].GetBounds();
  EXPECT_EQ(message.left, 2);
  EXPECT_EQ(message.right + 2, pieces.left);
  EXPECT_EQ(message.top, pieces.top);
  EXPECT_EQ(message.bottom, pieces.bottom);
  EXPECT_EQ(&status[1], Frame->Pieces);
  // A recessed border: dark above and left, light below and right.
  EXPECT_EQ(ShownPixel(status, pieces.left, pieces.top), ColorShadow());
  EXPECT_EQ(ShownPixel(status, pieces.left, pieces.bottom - 2), ColorShadow());
  EXPECT_EQ(ShownPixel(status, pieces.right - 1, pieces.bottom - 1), ColorHighlight());
}

TEST_F(FrameTest, TextGadgetsPaintTheirTextAndRepaintWhenItChanges) {
  TStatusBar& status = *Frame->Status;
  const TRect b = Frame->Pieces->GetBounds();
  auto ink = [&] {
    int dark = 0;
    for (int y = b.top + 1; y < b.bottom - 1; ++y) {
      for (int x = b.left + 1; x < b.right - 1; ++x) dark += IsInk(ShownPixel(status, x, y));
    }
    return dark;
  };
  EXPECT_EQ(ink(), 0);
  Frame->Pieces->SetText("Pieces: 3 x 3");
  EXPECT_STREQ(Frame->Pieces->GetText(), "Pieces: 3 x 3");
  const int longer = ink();
  EXPECT_GT(longer, 0);
  Frame->Pieces->SetText("3");
  EXPECT_GT(ink(), 0);
  EXPECT_LT(ink(), longer);
}

TEST_F(FrameTest, GadgetsPaintInTheirOwnCoordinatesAndEraseOnlyWhenAsked) {
  TDockableControlBar& timer = *Frame->Timer;
  TBoxGadget& box = *Frame->Box;
  const TRect b = box.GetBounds();
  EXPECT_EQ(b.Size(), TSize(40, 20));
  TRect inner;
  box.GetInnerRect(inner);
  EXPECT_EQ(inner, TRect(1, 1, 39, 19));
  EXPECT_EQ(ShownPixel(timer, b.left + 1, b.top + 1), BoxColour);
  EXPECT_EQ(ShownPixel(timer, b.left + 38, b.top + 18), BoxColour);
  EXPECT_EQ(ShownPixel(timer, b.left, b.top), ColorShadow());

  box.Fill = false;
  const int paints = box.Paints;
  box.Invalidate(false);
  EXPECT_EQ(ShownPixel(timer, b.left + 5, b.top + 5), BoxColour);  // nothing erased
  EXPECT_EQ(box.Paints, paints + 1);
  box.Invalidate(true);
  EXPECT_EQ(ShownPixel(timer, b.left + 5, b.top + 5), ColorFace());
}

TEST_F(FrameTest, HintsFollowThePointerInEnterModeAndThePressInPressMode) {
  Frame->Status->SetText("Ready");
  QWidget* toolbar = BarWidget(*Frame->Toolbar);
  QTest::mouseMove(toolbar, Centre(*Frame->Go));
  Settle();
  EXPECT_STREQ(Frame->Status->GetShownText(), "Go ahead");
  QTest::mouseMove(toolbar, Centre(*Frame->Paste));  // greyed buttons have hints too
  Settle();
  EXPECT_STREQ(Frame->Status->GetShownText(), "Paste it");
  Frame->Toolbar->SendMessage(WM_MOUSELEAVE);
  EXPECT_STREQ(Frame->Status->GetShownText(), "Ready");
  // A button used: its command runs and the text comes back, the pointer still on it.
  QTest::mouseMove(toolbar, Centre(*Frame->Go));
  Settle();
  EXPECT_STREQ(Frame->Status->GetShownText(), "Go ahead");
  App->IdleAction(0);
  Click(*Frame->Go);
  EXPECT_STREQ(Frame->Status->GetShownText(), "Ready");
  EXPECT_EQ(Frame->Commands, std::vector<UINT>{CM_GO});

  Frame->Toolbar->SetHintMode(TGadgetWindow::HintOnPress);
  App->IdleAction(0);
  QTest::mouseMove(toolbar, Centre(*Frame->Go) + QPoint(1, 1));
  Settle();
  EXPECT_STREQ(Frame->Status->GetShownText(), "Ready");
  QTest::mousePress(toolbar, Qt::LeftButton, {}, Centre(*Frame->Go));
  EXPECT_STREQ(Frame->Status->GetShownText(), "Go ahead");
  QTest::mouseRelease(toolbar, Qt::LeftButton, {}, Centre(*Frame->Go));
  EXPECT_STREQ(Frame->Status->GetShownText(), "Ready");
}

TEST_F(FrameTest, ButtonsClickAsTheirKindSaysAndExclusiveNeighboursFormAGroup) {
  App->IdleAction(0);
  Click(*Frame->Slide);
  EXPECT_EQ(Frame->Slide->GetButtonState(), TButtonGadget::Down);
  Frame->Alpha->SetButtonState(TButtonGadget::Down);
  Click(*Frame->Swap);
  EXPECT_EQ(Frame->Swap->GetButtonState(), TButtonGadget::Down);
  EXPECT_EQ(Frame->Slide->GetButtonState(), TButtonGadget::Up);
  EXPECT_EQ(Frame->Alpha->GetButtonState(), TButtonGadget::Down);  // behind a separator
  // The game sets states too; down on one puts its neighbour up.
  Frame->Slide->SetButtonState(TButtonGadget::Down);
  EXPECT_EQ(Frame->Swap->GetButtonState(), TButtonGadget::Up);
  Frame->Slide->SetButtonState(TButtonGadget::Up);
  EXPECT_EQ(Frame->Swap->GetButtonState(), TButtonGadget::Up);

  Click(*Frame->Mark);
  EXPECT_EQ(Frame->Mark->GetButtonState(), TButtonGadget::Down);
  Click(*Frame->Mark);
  EXPECT_EQ(Frame->Mark->GetButtonState(), TButtonGadget::Up);
  Click(*Frame->Paste);  // greyed: nothing happens
  Click(*Frame->Go);
  EXPECT_EQ(Frame->Commands, (std::vector<UINT>{CM_SLIDE, CM_SWAP, CM_MARK, CM_MARK, CM_GO}));
}

TEST_F(FrameTest, AButtonLooksPressedWhileHeldAndClicksOnlyWhenReleasedOverIt) {
  App->IdleAction(0);
  QWidget* toolbar = BarWidget(*Frame->Toolbar);
  const TRect b = Frame->Go->GetBounds();
  EXPECT_EQ(ShownPixel(*Frame->Toolbar, b.left, b.top), ColorHighlight());
  QTest::mousePress(toolbar, Qt::LeftButton, {}, Centre(*Frame->Go));
  EXPECT_TRUE(Frame->Go->IsPressed());
  EXPECT_EQ(ShownPixel(*Frame->Toolbar, b.left, b.top), ColorDarkShadow());
  // Dragged off and let go elsewhere: no command.
  QTest::mouseMove(toolbar, QPoint(b.right + 40, b.top + 2));
  EXPECT_FALSE(Frame->Go->IsPressed());
  QTest::mouseRelease(toolbar, Qt::LeftButton, {}, QPoint(b.right + 40, b.top + 2));
  Settle();
  EXPECT_TRUE(Frame->Commands.empty());
  EXPECT_EQ(ShownPixel(*Frame->Toolbar, b.left, b.top), ColorHighlight());
}

}  // namespace
