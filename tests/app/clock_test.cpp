// The game clock with a hand-driven tick count: start, ticks, pause and resume, the
// counter's wrap-around, and the solved message.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include "dialogs/seven_gadget.h"
#include "framework/resources.h"
#include "main_window_fixture.h"

namespace {

void Tick(TMyWindow& frame, DWORD now) {
  MainWindowTest::Now = now;
  frame.HandleMessage(WM_TIMER, CLOCK_TIMER_ID, 0);
}

}  // namespace

TEST_F(MainWindowTest, ClockCountsPausesAndResumes) {
  Start();
  for (DWORD start : {DWORD{5000}, DWORD{0xFFFFF000}}) {
    SCOPED_TRACE(start);
    Now = start;
    Command(CM_SCRAMBLE);
    EXPECT_FALSE(Board().Idle);
    Tick(*Frame, start + 999);
    EXPECT_EQ(Frame->Clock->Seconds, 0);
    Tick(*Frame, start + 1000);  // past the counter's wrap for the second start
    EXPECT_EQ(Frame->Clock->Seconds, 1);
    Frame->HandleMessage(WM_TIMER, CLOCK_TIMER_ID + 1, 0);
    EXPECT_EQ(Frame->ShownSeconds, 1) << "other timers are not the clock";

    // Ten minutes in another program do not count.
    Now = start + 2500;
    Frame->HandleMessage(WM_KILLFOCUS, 0, 0);
    Now = start + 2500 + 600000;
    Frame->HandleMessage(WM_SETFOCUS, 0, 0);
    Tick(*Frame, start + 603600);
    EXPECT_EQ(Frame->ShownSeconds, 3);
    Tick(*Frame, start + 600000 + 3661000);
    EXPECT_EQ(Frame->Clock->Hours, 1);
    EXPECT_EQ(Frame->Clock->Minutes, 1);
    EXPECT_EQ(Frame->Clock->Seconds, 1);
  }

  // Idle boards ignore focus changes; Unscramble stops the clock at zero.
  Command(CM_UNSCRAMBLE);
  EXPECT_TRUE(Board().Idle);
  EXPECT_EQ(Frame->ShownSeconds, 0);
  const DWORD before = Frame->StartTick;
  Frame->HandleMessage(WM_KILLFOCUS, 0, 0);
  Now += 5000;
  Frame->HandleMessage(WM_SETFOCUS, 0, 0);
  EXPECT_EQ(Frame->StartTick, before);
}

TEST_F(MainWindowTest, SolvedGameAsksForANameOnlyForABestTime) {
  Start();
  Board().SoundOn = false;
  QImage pasted(40, 30, QImage::Format_RGB32);
  pasted.fill(qRgb(9, 9, 9));
  // Each game: its time, whether a picture is pasted first, the name typed (none:
  // Cancel), and what the player is shown.
  struct TCase {
    int Seconds;
    bool Pasted;
    const char* Name;
    std::vector<TModalRequest::TKind> Shown;
    const char* Text;  // the input's starting text, or the message
  };
  using K = TModalRequest;
  const TCase cases[] = {
      {3661, false, "Ann", {K::Input, K::Dialog}, ""},
      {3661,
       false,
       nullptr,
       {K::MessageBox},
       "Congratulations. You solved the puzzle in  1 hour  1 minute  1 second."},
      {720, false, nullptr, {K::Input}, "Ann"},
      {720, false, nullptr, {K::Input}, "Ann"},
      {0, false, "Bob", {K::Input, K::Dialog}, "Ann"},
      {7322,
       true,
       nullptr,
       {K::MessageBox},
       "Congratulations. You solved the puzzle in  2 hours  2 minutes  2 seconds."},
      {720,
       true,
       nullptr,
       {K::MessageBox},
       "Congratulations. You solved the puzzle in 12 minutes "},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Seconds);
    if (c.Pasted) {
      QGuiApplication::clipboard()->setImage(pasted);
      Command(CM_PASTE);
    }
    Now = 10000;
    Command(CM_SCRAMBLE);
    Tick(*Frame, 10000 + static_cast<DWORD>(c.Seconds) * 1000 + 400);
    std::vector<TModalRequest> shown;
    TScopedModalResponder answer([&](const TModalRequest& r) {
      shown.push_back(r);
      if (r.Kind == K::Input)
        return c.Name != nullptr ? TModalAnswer(IDOK, c.Name) : TModalAnswer(IDCANCEL);
      return TModalAnswer(IDOK);
    });
    // The board solves itself: every piece back in place.
    Board().Reset();
    Board().Idle = false;
    Board().CheckSolved();
    ASSERT_EQ(shown.size(), c.Shown.size());
    for (std::size_t i = 0; i < shown.size(); ++i) EXPECT_EQ(shown[i].Kind, c.Shown[i]);
    EXPECT_EQ(shown[0].Caption, "Kavro");
    if (shown[0].Kind == K::Input) {
      EXPECT_EQ(shown[0].Text, " You have the best times. Please enter your name:");
      EXPECT_EQ(shown[0].ControlTexts[ID_INPUT], c.Text) << "the last name is offered";
      EXPECT_EQ(shown[0].MaxLength, 28);
    } else {
      EXPECT_EQ(shown[0].Text, c.Text);
    }
    if (shown.size() > 1) {
      EXPECT_EQ(shown[1].ResourceId, 5);
    }
    EXPECT_EQ(Frame->ShownSeconds, c.Seconds) << "the clock keeps the final time";
    EXPECT_FALSE(Enabled(CM_SAVEGAME));
  }
  QFile scores(QString::fromStdString(Dir() + "Scores/Times.ini"));
  ASSERT_TRUE(scores.open(QIODevice::ReadOnly));
  EXPECT_EQ(scores.readAll().toStdString(), "[Alphabet]\n0= 3~ 3~Bob~0\n");
}
