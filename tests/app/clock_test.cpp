// The game clock with a hand-driven tick count: start, ticks, pause and resume in any order,
// the counter's wrap-around, and the solved message.
#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QImage>

#include <sstream>
#include <string>
#include <vector>

#include "dialogs/seven_gadget.h"
#include "framework/resources/resources.h"
#include "main_window_fixture.h"

namespace {

void Tick(TMyWindow& frame, DWORD now) {
  MainWindowTest::Now = now;
  frame.HandleMessage(WM_TIMER, CLOCK_TIMER_ID, 0);
}

}  // namespace

// Each script is what the frame meets, in the order a desktop may deliver it: "s" and "k"
// the frame's activation and deactivation, "F" Scramble, "U" Unscramble, "L" Load game
// through its dialog (a game saved at 5 s), "t" a clock tick with the seconds then shown;
// each at its tick count.
TEST_F(MainWindowTest, ClockCountsOnlyTheTimePlayedWhateverTheOrderOfFocusAndCommands) {
  const std::string saved = Dir() + "five.KVR";
  {
    TPuzzle board(3, 3, nullptr);
    board.SetSize(3, 3);
    board.MoveEmptyLeft(true);
    board.Idle = false;
    ASSERT_TRUE(board.SaveGame(saved.c_str(), nullptr, 5));
  }
  const char* scripts[] = {
      // Activation after the command returned, as Qt delivers it after a modal dialog.
      "s0 k1000 L8000 t8500=5 s8600 t9600=6 t13600=10",
      // A dialog that never deactivated the frame: a resume with no pause adds nothing.
      "s0 L8000 s8100 t9100=6",
      // Scramble while another window of the program is active: counts from activation.
      "s0 k100 F5000 t9000=0 s10000 t11000=1",
      // A second pause or resume changes nothing.
      "s0 F0 k1000 k5000 s9000 s9500 t10000=2",
      // Ten minutes in another program, or a dialog held open, do not count.
      "s0 F0 t2000=2 k2500 s602500 t603000=3 t4261000=3661",
      // Across the tick counter's wrap-around.
      "s4294963296 F4294963296 t4294964296=1 k4294966296 s5000 t6000=4",
      // After Unscramble the clock stays at zero whatever the focus does.
      "s0 F0 t3000=3 U3000 t3000=0 k4000 s9000 t10000=0",
  };
  for (const char* script : scripts) {
    SCOPED_TRACE(script);
    Start();
    TScopedModalResponder loadDialog(
        [&](const TModalRequest&) { return TModalAnswer(IDOK, saved); });
    std::istringstream steps(script);
    std::string step;
    int expected = 0;  // the seconds the ticks so far make
    while (steps >> step) {
      Now = static_cast<DWORD>(std::stoul(step.substr(1)));
      switch (step[0]) {
        case 's':
          Frame->HandleMessage(WM_SETFOCUS, 0, 0);
          break;
        case 'k':
          Frame->HandleMessage(WM_KILLFOCUS, 0, 0);
          break;
        case 'F':
          Command(CM_SCRAMBLE);
          break;
        case 'U':
          Command(CM_UNSCRAMBLE);
          break;
        case 'L':
          Command(CM_LOADGAME);
          break;
        case 't':
          Frame->HandleMessage(WM_TIMER, CLOCK_TIMER_ID, 0);
          expected = std::stoi(step.substr(step.find('=') + 1));
          EXPECT_EQ(Frame->ShownSeconds, expected) << step;
          break;
      }
    }
    Frame->HandleMessage(WM_TIMER, CLOCK_TIMER_ID + 1, 0);
    // Other timers are not the clock, and the face shows the time the ticks made.
    EXPECT_EQ(Frame->ShownSeconds, expected);
    EXPECT_EQ(std::vector<int>({Frame->Clock->Hours, Frame->Clock->Minutes, Frame->Clock->Seconds}),
              std::vector<int>({expected / 3600, expected % 3600 / 60, expected % 60}));
    Frame->Destroy();
  }
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
