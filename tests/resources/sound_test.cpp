// The game's sounds as the platform is asked for them (recorded, nothing plays), and the
// two clicks played for real where there is an audio output.
#include "media/sound.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QMediaDevices>
#include <QProcess>
#include <QStandardPaths>
#include <QString>
#include <QThread>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/sound_test_hooks.h"
#include "platform/winconst.h"
#include "puzzle/puzzle.h"
#include "resources/rcdata.h"

namespace {

// The flags as the game's contract states them, spelt out so that a wrong constant
// cannot hide behind itself.
constexpr UINT kAsyncNoDefaultMemory = 0x7;
constexpr UINT kAsyncNoDefault = 0x3;

struct TCall {
  bool Stop = false;            // a null sound
  std::string Name;             // a sound asked for by name
  const void* Image = nullptr;  // a sound asked for from memory
  UINT Flags = 0;
};

// Records every sndPlaySoundA call. Images and stops succeed; a name succeeds only when
// the test says there is a sound behind it.
class TCallLog {
 public:
  explicit TCallLog(bool namesHaveSound = true) {
    SetSoundRecorder([this, namesHaveSound](const char* sound, UINT flags) {
      TCall call;
      call.Flags = flags;
      if (sound == nullptr) {
        call.Stop = true;
      } else if ((flags & SND_MEMORY) != 0) {
        call.Image = sound;
      } else {
        call.Name = sound;
      }
      Calls.push_back(call);
      return call.Name.empty() || namesHaveSound;
    });
  }
  ~TCallLog() { SetSoundRecorder(nullptr); }
  TCallLog(const TCallLog&) = delete;
  TCallLog& operator=(const TCallLog&) = delete;

  std::vector<TCall> Calls;
};

TEST(PlayWaveResource, StopsWhatPlaysThenStartsTheClickFromMemory) {
  for (int id : {WAVE_SLIDE, WAVE_SWAP}) {
    SCOPED_TRACE(id);
    TCallLog log;
    PlayWaveResource(nullptr, id);
    ASSERT_EQ(log.Calls.size(), 2u);
    EXPECT_TRUE(log.Calls[0].Stop);
    EXPECT_EQ(log.Calls[0].Flags, 0u);
    EXPECT_EQ(log.Calls[1].Image, FindRcData(id).Data);
    EXPECT_EQ(log.Calls[1].Flags, kAsyncNoDefaultMemory);
  }
}

TEST(PlayWaveResource, AnUnknownResourceNeitherStopsNorPlays) {
  TCallLog log;
  for (int id : {-1, 0, 9, 13, 1000}) PlayWaveResource(nullptr, id);
  EXPECT_TRUE(log.Calls.empty());
}

TEST(PlaySoundName, SystemStartIsTheSystemSoundWhenThereIsOne) {
  TCallLog log(true);
  PlaySoundName("SystemStart");
  ASSERT_EQ(log.Calls.size(), 1u);
  EXPECT_EQ(log.Calls[0].Name, "SystemStart");
  EXPECT_EQ(log.Calls[0].Flags, kAsyncNoDefault);
}

TEST(PlaySoundName, SystemStartFallsBackToOurChimeWithoutStoppingFirst) {
  TCallLog log(false);
  PlaySoundName("SystemStart");
  ASSERT_EQ(log.Calls.size(), 2u);
  EXPECT_EQ(log.Calls[0].Name, "SystemStart");
  EXPECT_EQ(log.Calls[0].Flags, kAsyncNoDefault);
  EXPECT_EQ(log.Calls[1].Image, FindRcData(WAVE_CHIME).Data);
  EXPECT_EQ(log.Calls[1].Flags, kAsyncNoDefaultMemory);
}

TEST(PlaySoundName, ANameWithNothingBehindItPlaysNothingElse) {
  for (const char* name : {"/no/such/folder/sound.wav", "SystemExit"}) {
    SCOPED_TRACE(name);
    TCallLog log(false);
    PlaySoundName(name);
    ASSERT_EQ(log.Calls.size(), 1u);
    EXPECT_EQ(log.Calls[0].Name, name);
    EXPECT_EQ(log.Calls[0].Flags, kAsyncNoDefault);
  }
}

// Runs the event loop until done() or the time is up; true when done() came first.
bool PumpUntil(const std::function<bool()>& done, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  while (!done()) {
    if (clock.elapsed() > timeoutMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    QThread::msleep(5);
  }
  return true;
}

// The playback streams of this process that the sound server holds, as pactl lists
// them; -1 when pactl cannot tell. The event loop does not run meanwhile, so no sound of
// ours ends or starts while the server is asked.
int ServerStreamsOfThisProcess() {
  const QString pactl = QStandardPaths::findExecutable(QStringLiteral("pactl"));
  if (pactl.isEmpty()) return -1;
  QProcess process;
  process.start(pactl, {QStringLiteral("list"), QStringLiteral("sink-inputs")});
  if (!process.waitForFinished(10000) || process.exitStatus() != QProcess::NormalExit ||
      process.exitCode() != 0) {
    return -1;
  }
  const QString ours =
      QStringLiteral("application.process.id = \"%1\"").arg(QCoreApplication::applicationPid());
  return static_cast<int>(QString::fromUtf8(process.readAllStandardOutput()).count(ours));
}

// Real playback through the default output; CI provides one with a PulseAudio null sink.
TEST(ClickPlayback, EachClickPlaysToItsEndAndANewOneCutsTheOldShort) {
  if (QMediaDevices::audioOutputs().isEmpty()) {
    GTEST_SKIP() << "no audio output device (start a PulseAudio server, e.g. with a null sink)";
  }
  constexpr int kBoundMs = 15000;  // far beyond a click and an output's wake-up
  for (int id : {WAVE_SLIDE, WAVE_SWAP}) {
    SCOPED_TRACE(id);
    PlayWaveResource(nullptr, id);
    EXPECT_TRUE(IsSoundPlaying()) << "the click did not start";
    EXPECT_TRUE(PumpUntil([] { return !IsSoundPlaying(); }, kBoundMs)) << "it never ended";
  }

  // The swap, then at once a slide: the slide stops the swap before it starts, so the
  // server never holds two streams of ours.
  PlayWaveResource(nullptr, WAVE_SWAP);
  ASSERT_TRUE(IsSoundPlaying());
  const int whileSwapping = ServerStreamsOfThisProcess();
  PlayWaveResource(nullptr, WAVE_SLIDE);
  EXPECT_TRUE(IsSoundPlaying());
  const int afterSlide = ServerStreamsOfThisProcess();
  EXPECT_TRUE(PumpUntil([] { return !IsSoundPlaying(); }, kBoundMs)) << "the slide never ended";

  if (whileSwapping < 0) GTEST_SKIP() << "pactl cannot list the server's streams";
  // The server must see a playing click, or counting streams proves nothing.
  EXPECT_EQ(whileSwapping, 1);
  EXPECT_LE(afterSlide, 1) << "the swap went on playing under the slide";
}

}  // namespace
