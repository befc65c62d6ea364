// The game clock with a hand-driven tick count: start, ticks, pause and resume, the
// counter's wrap-around, and the solved message.
#include "dialogs/seven_gadget.h"
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

TEST_F(MainWindowTest, SolvedGameIsCongratulatedWithTheShownTime) {
  Start();
  Board().SoundOn = false;
  struct TCase {
    int Seconds;
    const char* Text;
  };
  const TCase cases[] = {
      {3661, "Congratulations. You solved the puzzle in  1 hour  1 minute  1 second."},
      {720, "Congratulations. You solved the puzzle in 12 minutes "},
      {0, "Congratulations. You solved the puzzle in "},
      {7322, "Congratulations. You solved the puzzle in  2 hours  2 minutes  2 seconds."},
  };
  for (const TCase& c : cases) {
    Now = 10000;
    Command(CM_SCRAMBLE);
    Tick(*Frame, 10000 + static_cast<DWORD>(c.Seconds) * 1000 + 400);
    Asked.clear();
    // The board solves itself: one move back into place.
    Board().Reset();
    Board().Idle = false;
    Board().CheckSolved();
    ASSERT_EQ(Asked.size(), 1u);
    EXPECT_EQ(Asked[0].Text, c.Text);
    EXPECT_EQ(Asked[0].Flags, MB_OK | MB_ICONINFORMATION);
    EXPECT_EQ(Asked[0].Caption, "Kavro");
    EXPECT_EQ(Frame->ShownSeconds, c.Seconds) << "the clock keeps the final time";
    EXPECT_TRUE(Board().Idle);
    EXPECT_FALSE(Enabled(CM_SAVEGAME));
  }
}
