// Windows: message order, response tables, timers, painting through the backing image,
// lifetime of children, and windows that were never created.
#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "framework/graphics/dc.h"
#include "framework/gui_helpers.h"
#include "framework/windows/responder.h"
#include "framework/windows/window.h"
#include "framework/windows/window_dc.h"
#include "framework/windows/window_impl.h"

namespace {

constexpr UINT WM_FIRST = WM_USER + 10;
constexpr UINT WM_SECOND = WM_USER + 11;
constexpr UINT CM_PING = 301;
constexpr UINT CM_UNHANDLED = 302;

// Records the messages it handles, in order.
class TLogWindow : public TWindow {
 public:
  explicit TLogWindow(TWindow* parent = nullptr) : TWindow(parent, "log") {}
  std::vector<std::string> Log;
  bool AllowClose = true;
  int Destroyed = 0;
  UINT OwnKey = VK_LEFT;

  TResult EvFirst(TParam1, TParam2 p2) {
    Log.push_back("first begin");
    PostMessage(WM_SECOND, 0, 0);
    SendMessage(WM_SECOND, 1, 0);
    Log.push_back("first end");
    return p2 * 2;
  }
  TResult EvSecond(TParam1 p1, TParam2) {
    Log.push_back(p1 == 0 ? "second posted" : "second sent");
    return 0;
  }
  TResult EvTimer(TParam1 id, TParam2) {
    Log.push_back("timer " + std::to_string(id));
    return 0;
  }
  TResult EvKeyDown(TParam1 key, TParam2) {
    if (key != OwnKey) return DefaultProcessing();
    Log.push_back("key " + std::to_string(key));
    return 0;
  }
  TResult EvDestroy(TParam1, TParam2) {
    ++Destroyed;
    return 0;
  }
  void CmPing() { Log.push_back("ping"); }
  void CePing(TCommandEnabler& ce) { ce.Enable(false); }
  bool CanClose() override { return AllowClose; }

  DECLARE_RESPONSE_TABLE(TLogWindow);
};

// clang-format off
DEFINE_RESPONSE_TABLE1(TLogWindow, TWindow)
  EV_MESSAGE(WM_FIRST, &TLogWindow::EvFirst),
  EV_MESSAGE(WM_SECOND, &TLogWindow::EvSecond),
  EV_MESSAGE(WM_TIMER, &TLogWindow::EvTimer),
  EV_MESSAGE(WM_KEYDOWN, &TLogWindow::EvKeyDown),
  EV_MESSAGE(WM_DESTROY, &TLogWindow::EvDestroy),
  EV_COMMAND(CM_PING, &TLogWindow::CmPing),
  EV_COMMAND_ENABLE(CM_PING, &TLogWindow::CePing),
END_RESPONSE_TABLE;
// clang-format on

// A class on top of another keeps its base's table for what it does not handle itself.
class TDerivedWindow : public TLogWindow {
 public:
  TResult EvSecond(TParam1, TParam2) {
    Log.push_back("derived second");
    return 0;
  }
  DECLARE_RESPONSE_TABLE(TDerivedWindow);
};

// clang-format off
DEFINE_RESPONSE_TABLE1(TDerivedWindow, TLogWindow)
  EV_MESSAGE(WM_SECOND, &TDerivedWindow::EvSecond),
END_RESPONSE_TABLE;
// clang-format on

// Paints a fixed colour and records each paint's erase flag and rectangle.
class TPaintWindow : public TWindow {
 public:
  TPaintWindow() : TWindow(nullptr, "paint") {
    Attr.W = 40;
    Attr.H = 30;
  }
  std::vector<TRect> Painted;
  COLORREF Ink = 0x0000FF;
  void Paint(TDC& dc, bool, TRect& rect) override {
    Painted.push_back(rect);
    // Paint everything; only the invalid part may change.
    dc.FillRect(TRect(0, 0, 10, 10), TBrush(Ink));
  }
};

COLORREF BackingPixel(const TWindow& w, int x, int y) {
  const QRgb c = w.Impl()->Backing.pixel(x, y);
  return RGB(static_cast<BYTE>(qRed(c)), static_cast<BYTE>(qGreen(c)), static_cast<BYTE>(qBlue(c)));
}

void ProcessEventsFor(int ms) {
  QElapsedTimer clock;
  clock.start();
  while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

TEST(WindowMessages, SendRunsNowAndPostRunsAfterTheCurrentHandler) {
  TLogWindow w;
  ASSERT_TRUE(w.Create());
  EXPECT_EQ(w.SendMessage(WM_FIRST, 0, 21), 42);
  EXPECT_EQ(w.Log, (std::vector<std::string>{"first begin", "second sent", "first end"}));
  QCoreApplication::processEvents();
  EXPECT_EQ(w.Log.back(), "second posted");
  EXPECT_EQ(w.Log.size(), 4u);
}

TEST(WindowMessages, CommandsAndEnablersReachTheirHandlers) {
  TLogWindow w;
  w.SendMessage(WM_COMMAND, CM_PING, 0);
  w.SendMessage(WM_COMMAND, CM_UNHANDLED, 0);
  EXPECT_EQ(w.Log, (std::vector<std::string>{"ping"}));
  TCommandEnabler ping(CM_PING);
  w.SendMessage(WM_COMMAND_ENABLE, CM_PING, reinterpret_cast<TParam2>(&ping));
  EXPECT_TRUE(ping.WasHandled());
  EXPECT_FALSE(ping.IsEnabled());
  TCommandEnabler other(CM_UNHANDLED);
  w.SendMessage(WM_COMMAND_ENABLE, CM_UNHANDLED, reinterpret_cast<TParam2>(&other));
  EXPECT_FALSE(other.WasHandled());
}

TEST(WindowMessages, ChildCommandsTravelToTheParent) {
  TLogWindow parent;
  auto* child = new TWindow(&parent);  // owned by the parent
  child->SendMessage(WM_COMMAND, CM_PING, 0);
  EXPECT_EQ(parent.Log, (std::vector<std::string>{"ping"}));
}

TEST(WindowMessages, DerivedTableOverridesAndFallsBackToBase) {
  TDerivedWindow w;
  w.SendMessage(WM_SECOND, 1, 0);
  w.SendMessage(WM_COMMAND, CM_PING, 0);
  EXPECT_EQ(w.Log, (std::vector<std::string>{"derived second", "ping"}));
}

TEST(WindowMessages, UnhandledKeysGoToDefaultProcessingAndOnToTheParentWidget) {
  TLogWindow parent;
  parent.OwnKey = VK_UP;
  auto* child = new TLogWindow(&parent);
  ASSERT_TRUE(parent.Create());
  parent.ShowWindow(SW_SHOW);
  QTest::keyClick(child->Impl()->Widget, Qt::Key_Left);
  QTest::keyClick(child->Impl()->Widget, Qt::Key_Up);
  // The child took the left arrow; the up arrow went only to default processing, so it
  // went on to the parent.
  EXPECT_EQ(child->Log, (std::vector<std::string>{"key 37"}));
  EXPECT_EQ(parent.Log, (std::vector<std::string>{"key 38"}));
}

TEST(WindowTimers, DeliverTheirIdsUntilKilled) {
  TLogWindow w;
  ASSERT_TRUE(w.Create());
  ASSERT_TRUE(w.SetTimer(1028, 5));
  ASSERT_TRUE(w.SetTimer(7, 5));
  ProcessEventsFor(60);
  EXPECT_TRUE(std::count(w.Log.begin(), w.Log.end(), "timer 1028") > 0);
  EXPECT_TRUE(std::count(w.Log.begin(), w.Log.end(), "timer 7") > 0);
  EXPECT_TRUE(w.KillTimer(1028));
  EXPECT_FALSE(w.KillTimer(1028));
  QCoreApplication::processEvents();
  w.Log.clear();
  ProcessEventsFor(40);
  EXPECT_EQ(std::count(w.Log.begin(), w.Log.end(), "timer 1028"), 0);
  EXPECT_GT(std::count(w.Log.begin(), w.Log.end(), "timer 7"), 0);
}

TEST(WindowTimers, NeedACreatedWindow) {
  TLogWindow w;
  EXPECT_FALSE(w.SetTimer(1, 10));
  EXPECT_FALSE(w.PostMessage(WM_SECOND));
}

TEST(WindowLifetime, UncreatedWindowIsHarmless) {
  TPaintWindow w;
  EXPECT_FALSE(w.IsWindow());
  EXPECT_TRUE(w.GetClientRect().IsEmpty());
  w.Invalidate(true);
  w.InvalidateRect(TRect(0, 0, 5, 5), false);
  w.UpdateWindow();
  w.SetCapture();
  w.ReleaseCapture();
  w.SetCursor(nullptr, IDC_WAIT);
  TClientDC dc(w);
  EXPECT_TRUE(dc.IsNull());
  EXPECT_TRUE(dc.LineTo(10, 10));
  dc.FillRect(TRect(0, 0, 5, 5), TBrush(0));
  EXPECT_TRUE(w.Painted.empty());
  w.Destroy();
}

TEST(WindowLifetime, ParentDeletesItsChildrenAndDestroyReachesThem) {
  auto parent = std::make_unique<TLogWindow>();
  auto* child = new TLogWindow(parent.get());
  ASSERT_TRUE(parent->Create());
  EXPECT_TRUE(child->IsWindow());  // creating the parent created the child
  parent->Destroy();
  EXPECT_EQ(child->Destroyed, 1);
  EXPECT_EQ(parent->Destroyed, 1);
  EXPECT_FALSE(child->IsWindow());
  // Deleting a child first unhooks it from the parent.
  auto* second = new TLogWindow(parent.get());
  EXPECT_EQ(parent->GetChildren().size(), 2u);
  delete second;
  EXPECT_EQ(parent->GetChildren().size(), 1u);
  parent.reset();  // deletes the remaining child; sanitizers catch a double delete
}

TEST(WindowLifetime, CloseQueryCanKeepTheWindowOpen) {
  TLogWindow w;
  ASSERT_TRUE(w.Create());
  w.AllowClose = false;
  w.SendMessage(WM_CLOSE);
  EXPECT_TRUE(w.IsWindow());
  w.AllowClose = true;
  w.SendMessage(WM_CLOSE);
  EXPECT_FALSE(w.IsWindow());
}

TEST(WindowPainting, EraseFillsBackgroundBeforePaintAndPaintIsClipped) {
  TPaintWindow w;
  w.SetBkgndColor(0x00FF00);
  ASSERT_TRUE(w.Create());
  w.UpdateWindow();
  EXPECT_EQ(BackingPixel(w, 5, 5), 0x0000FFu);
  EXPECT_EQ(BackingPixel(w, 20, 20), 0x00FF00u);

  // Invalidating part of the painted square without erase: Paint runs, draws the new
  // colour only inside the invalid part.
  w.Painted.clear();
  w.Ink = 0xFF0000;
  w.InvalidateRect(TRect(0, 0, 5, 5), false);
  w.UpdateWindow();
  ASSERT_EQ(w.Painted.size(), 1u);
  EXPECT_EQ(w.Painted[0], TRect(0, 0, 5, 5));
  EXPECT_EQ(BackingPixel(w, 2, 2), 0xFF0000u);
  EXPECT_EQ(BackingPixel(w, 7, 7), 0x0000FFu);

  // With erase the background colour comes first: outside Paint's square it shows.
  w.SetBkgndColor(0x808080);
  w.Ink = 0x00FFFF;
  w.InvalidateRect(TRect(5, 5, 20, 20), true);
  w.UpdateWindow();
  EXPECT_EQ(BackingPixel(w, 7, 7), 0x00FFFFu);
  EXPECT_EQ(BackingPixel(w, 15, 15), 0x808080u);
  EXPECT_EQ(BackingPixel(w, 25, 25), 0x00FF00u);  // not invalid: untouched

  // Nothing invalid: no paint at all.
  w.Painted.clear();
  w.UpdateWindow();
  EXPECT_TRUE(w.Painted.empty());
}

TEST(WindowPainting, ClientDrawingLandsAtOnceWithoutPaint) {
  TPaintWindow w;
  ASSERT_TRUE(w.Create());
  w.UpdateWindow();
  w.Painted.clear();
  {
    TClientDC dc(w);
    dc.FillRect(TRect(20, 20, 22, 22), TBrush(0x123456));
  }
  EXPECT_EQ(BackingPixel(w, 21, 21), 0x123456u);
  EXPECT_TRUE(w.Painted.empty());
}

TEST(WindowPainting, ResizeKeepsPixelsAndSendsSize) {
  class TSizeWindow : public TPaintWindow {
   public:
    std::vector<std::pair<int, int>> Sizes;
    TResult WindowProc(UINT msg, TParam1 p1, TParam2 p2) override {
      if (msg == WM_SIZE) Sizes.emplace_back(LOWORD(p2), HIWORD(p2));
      return TPaintWindow::WindowProc(msg, p1, p2);
    }
  } w;
  ASSERT_TRUE(w.Create());
  w.ShowWindow(SW_SHOW);
  w.UpdateWindow();
  w.MoveWindow(0, 0, 60, 50);
  QCoreApplication::processEvents();
  ASSERT_FALSE(w.Sizes.empty());
  EXPECT_EQ(w.Sizes.back(), std::make_pair(60, 50));
  EXPECT_EQ(w.GetClientRect(), TRect(0, 0, 60, 50));
  EXPECT_EQ(w.Impl()->Backing.size(), QSize(60, 50));
}

TEST(WindowPainting, TheBackingImageIsMadeByTheFirstPaintAndKeptThroughResizes) {
  TPaintWindow w;
  ASSERT_TRUE(w.Create());
  EXPECT_TRUE(w.Impl()->Backing.isNull());  // nothing painted, nothing shown: no image yet
  w.ShowWindow(SW_SHOW);
  w.MoveWindow(0, 0, 80, 70, false);
  QCoreApplication::processEvents();
  ASSERT_EQ(w.Impl()->Backing.size(), QSize(80, 70));
  ASSERT_FALSE(w.Painted.empty());
  EXPECT_EQ(w.Painted.back(), TRect(0, 0, 80, 70));
  {
    TClientDC dc(w);
    dc.SetPixel(50, 40, 0x123456);
  }
  // The same size again paints nothing; a larger one keeps what was drawn.
  for (const auto& [width, height] : {std::pair{80, 70}, std::pair{100, 90}}) {
    w.Painted.clear();
    w.MoveWindow(0, 0, width, height, false);
    QCoreApplication::processEvents();
    EXPECT_EQ(w.Impl()->Backing.size(), QSize(width, height));
    EXPECT_EQ(BackingPixel(w, 50, 40), 0x123456u) << width;
    EXPECT_EQ(w.Painted.empty(), width == 80) << width;
  }
}

TEST(WindowMessageBox, GoesThroughTheResponder) {
  TModalRequest seen;
  TScopedModalResponder responder([&](const TModalRequest& request) {
    seen = request;
    return TModalAnswer{IDNO, {}, 0};
  });
  TLogWindow w;  // never created: the box still works
  EXPECT_EQ(w.MessageBox("Do you really want to?", "Kavro", MB_YESNO | MB_ICONQUESTION), IDNO);
  EXPECT_EQ(seen.Kind, TModalRequest::MessageBox);
  EXPECT_EQ(seen.Caption, "Kavro");
  EXPECT_EQ(seen.Text, "Do you really want to?");
  EXPECT_EQ(seen.Flags, MB_YESNO | MB_ICONQUESTION);
}

TEST(WindowMessageBox, RealBoxAnswersWithTheButtonPressed) {
  const TRealModals real;
  TLogWindow w;
  ASSERT_TRUE(w.Create());
  // Answer the real box the way a player would.
  QTimer::singleShot(50, [] {
    if (QWidget* box = QApplication::activeModalWidget()) {
      QTest::keyClick(box, Qt::Key_Escape);
    }
  });
  EXPECT_EQ(w.MessageBox("Save?", "Kavro", MB_YESNOCANCEL), IDCANCEL);
}

}  // namespace
