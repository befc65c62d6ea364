// sndPlaySoundA: the recording seam, what is turned away before anything plays, the
// system-sound lookup, and real playback where an audio output exists.
#include "platform/sound.h"

#include "platform/sound_test_hooks.h"
#include "platform/wave_builder.h"
#include "platform/wave_image.h"
#include "platform/winconst.h"

#include <QAudioDevice>
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMediaDevices>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

using namespace wave_builder;

namespace {

// Restores playback however a test ends.
struct TRecorderGuard {
  explicit TRecorderGuard(TSoundRecorder recorder) { SetSoundRecorder(std::move(recorder)); }
  ~TRecorderGuard() { SetSoundRecorder(nullptr); }
  TRecorderGuard(const TRecorderGuard&) = delete;
  TRecorderGuard& operator=(const TRecorderGuard&) = delete;
};

struct TThemeGuard {
  explicit TThemeGuard(const QString& root) {
    SetSoundThemeRoot(QFile::encodeName(root).toStdString());
  }
  ~TThemeGuard() { SetSoundThemeRoot(""); }
  TThemeGuard(const TThemeGuard&) = delete;
  TThemeGuard& operator=(const TThemeGuard&) = delete;
};

bool WriteFile(const QString& path, const TBytes& bytes) {
  QDir().mkpath(QFileInfo(path).path());
  QFile file(path);
  return file.open(QIODevice::WriteOnly) &&
         file.write(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<qint64>(bytes.size())) == static_cast<qint64>(bytes.size());
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

}  // namespace

TEST(SoundRecorder, ReceivesEveryCallInsteadOfPlaying) {
  std::vector<std::pair<const char*, UINT>> calls;
  bool answer = true;
  TRecorderGuard guard([&](const char* sound, UINT flags) {
    calls.emplace_back(sound, flags);
    return answer;
  });
  const TBytes tone = ToneWave(8000, 500);
  const char* image = reinterpret_cast<const char*>(tone.data());

  EXPECT_EQ(sndPlaySoundA(image, SND_ASYNC | SND_MEMORY), 1);
  EXPECT_FALSE(IsSoundPlaying());
  answer = false;
  EXPECT_EQ(sndPlaySoundA("SystemStart", SND_ASYNC | SND_ALIAS), 0);
  EXPECT_EQ(sndPlaySoundA(nullptr, 0), 0);

  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].first, image);
  EXPECT_EQ(calls[0].second, SND_ASYNC | SND_MEMORY);
  EXPECT_STREQ(calls[1].first, "SystemStart");
  EXPECT_EQ(calls[1].second, SND_ASYNC | SND_ALIAS);
  EXPECT_EQ(calls[2].first, nullptr);
}

TEST(SoundRecorder, ClearingItRestoresPlayback) {
  const TBytes notWave = {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '};
  const char* image = reinterpret_cast<const char*>(notWave.data());
  {
    TRecorderGuard guard([](const char*, UINT) { return true; });
    EXPECT_EQ(sndPlaySoundA(image, SND_ASYNC | SND_MEMORY), 1);
  }
  EXPECT_EQ(sndPlaySoundA(image, SND_ASYNC | SND_MEMORY), 0);
}

TEST(SoundRejects, AHeaderClaimingMoreThanTheLimitWithoutReadingOn) {
  // Only the twelve header bytes exist: a reader that trusted the size would overrun.
  auto header = std::make_unique<std::uint8_t[]>(12);
  TBytes bytes = {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'A', 'V', 'E'};
  Put32(bytes, 4, 0x7FFFFFF0);
  std::copy(bytes.begin(), bytes.end(), header.get());
  EXPECT_EQ(sndPlaySoundA(reinterpret_cast<const char*>(header.get()), SND_ASYNC | SND_MEMORY), 0);
}

TEST(SoundRejects, StoppingWithNothingPlayingSucceeds) {
  EXPECT_EQ(sndPlaySoundA(nullptr, 0), 1);
  EXPECT_FALSE(IsSoundPlaying());
}

class SystemSound : public testing::Test {
 protected:
  void SetUp() override { ASSERT_TRUE(root.isValid()); }
  void Add(const QString& relative) {
    ASSERT_TRUE(WriteFile(root.filePath(relative), ToneWave(8000, 10)));
  }
  std::string Found(const char* alias) {
    TThemeGuard guard(root.path());
    const std::string path = FindSystemSoundFile(alias);
    return path.empty()
               ? path
               : QDir(root.path()).relativeFilePath(QFile::decodeName(path.c_str())).toStdString();
  }

  QTemporaryDir root;
};

TEST_F(SystemSound, PrefersTheFreedesktopLoginSound) {
  Add("aaa/stereo/desktop-login.wav");
  Add("freedesktop/stereo/desktop-login.wav");
  Add("freedesktop/stereo/service-login.wav");
  EXPECT_EQ(Found("SystemStart"), "freedesktop/stereo/service-login.wav");
}

TEST_F(SystemSound, FindsALoginSoundOfAnyThemeBeforeAStartSound) {
  Add("alpha/stereo/system-startup.wav");
  Add("ocean/stereo/Desktop_Login.WAV");
  Add("ocean/stereo/bell.wav");
  EXPECT_EQ(Found("SystemStart"), "ocean/stereo/Desktop_Login.WAV");
  EXPECT_EQ(Found("systemstart"), "ocean/stereo/Desktop_Login.WAV");
}

TEST_F(SystemSound, FallsBackToAStartSound) {
  Add("ocean/stereo/system-startup.wav");
  Add("ocean/stereo/bell.wav");
  EXPECT_EQ(Found("SystemStart"), "ocean/stereo/system-startup.wav");
}

TEST_F(SystemSound, FindsNothingWithoutASuitableWave) {
  Add("ocean/stereo/system-restart.wav");
  Add("ocean/stereo/loginsound.wav");
  ASSERT_TRUE(WriteFile(root.filePath("freedesktop/stereo/service-login.oga"), {1, 2, 3}));
  EXPECT_EQ(Found("SystemStart"), "");
}

TEST_F(SystemSound, KnowsNoOtherAlias) {
  Add("freedesktop/stereo/service-login.wav");
  EXPECT_EQ(Found("SystemExit"), "");
  EXPECT_EQ(Found(nullptr), "");
}

TEST_F(SystemSound, IsSilentWhenTheThemeHasNone) {
  TThemeGuard guard(root.path());
  EXPECT_EQ(sndPlaySoundA("SystemStart", SND_ASYNC | SND_ALIAS), 0);
  EXPECT_FALSE(IsSoundPlaying());
}

// Points the player module lookup at a file of the test's own, and back to the usual places.
struct TModuleGuard {
  explicit TModuleGuard(const QString& file) {
    SetSoundModuleFile(QFile::encodeName(file).toStdString());
  }
  ~TModuleGuard() { SetSoundModuleFile(""); }
  TModuleGuard(const TModuleGuard&) = delete;
  TModuleGuard& operator=(const TModuleGuard&) = delete;
};

// Playback is a module loaded on the first sound; one that is missing or will not load is
// silence, never a crash, synchronous or not.
TEST(SoundModule, AMissingOrBrokenModuleMeansSilence) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString broken = dir.filePath("libkavro_sound_player.so");
  ASSERT_TRUE(WriteFile(broken, {0x7f, 'E', 'L', 'F', 2, 1, 1, 0}));
  const TBytes tone = ToneWave(8000, 200);
  const char* image = reinterpret_cast<const char*>(tone.data());
  for (const QString& file : {dir.filePath("missing.so"), broken}) {
    SCOPED_TRACE(file.toStdString());
    TModuleGuard guard(file);
    EXPECT_EQ(sndPlaySoundA(image, SND_ASYNC | SND_MEMORY), 0);
    EXPECT_EQ(sndPlaySoundA(image, SND_MEMORY), 0);
    EXPECT_FALSE(IsSoundPlaying());
    EXPECT_EQ(sndPlaySoundA(nullptr, 0), 1);
  }
}

// Playback through the default audio output; CI provides one with a PulseAudio null sink.
class SoundPlayback : public testing::Test {
 protected:
  void SetUp() override {
    if (QMediaDevices::audioOutputs().isEmpty()) {
      GTEST_SKIP() << "no audio output device (start a PulseAudio server, e.g. with a null sink)";
    }
  }
  void TearDown() override { sndPlaySoundA(nullptr, 0); }
};

TEST_F(SoundPlayback, PlaysAGeneratedWaveFromMemoryToTheEnd) {
  constexpr int kLengthMs = 300;
  {
    // The image goes away at once: the player must keep its own copy of the samples.
    const TBytes tone = ToneWave(22050, kLengthMs);
    ASSERT_EQ(sndPlaySoundA(reinterpret_cast<const char*>(tone.data()), SND_ASYNC | SND_MEMORY), 1);
  }
  EXPECT_TRUE(IsSoundPlaying());
  ASSERT_TRUE(PumpUntil([] { return !IsSoundPlaying(); }, 10000)) << "the sound never finished";
}

TEST_F(SoundPlayback, ANewSoundReplacesTheOldAndNullStops) {
  const TBytes longTone = ToneWave(22050, 3000);
  const TBytes shortTone = PcmWave(2, 8000, 8, TBytes(8000, 0x80));
  const char* first = reinterpret_cast<const char*>(longTone.data());
  const char* second = reinterpret_cast<const char*>(shortTone.data());

  ASSERT_EQ(sndPlaySoundA(first, SND_ASYNC | SND_MEMORY), 1);
  EXPECT_EQ(sndPlaySoundA(second, SND_ASYNC | SND_MEMORY | SND_NOSTOP), 0);
  EXPECT_TRUE(IsSoundPlaying());
  EXPECT_EQ(sndPlaySoundA(second, SND_ASYNC | SND_MEMORY), 1);
  EXPECT_TRUE(IsSoundPlaying());
  EXPECT_EQ(sndPlaySoundA(nullptr, 0), 1);
  EXPECT_FALSE(IsSoundPlaying());
}

TEST_F(SoundPlayback, SynchronousPlayReturnsWhenTheSoundHasEnded) {
  constexpr int kLengthMs = 200;
  const TBytes tone = ToneWave(16000, kLengthMs);
  ASSERT_EQ(sndPlaySoundA(reinterpret_cast<const char*>(tone.data()), SND_MEMORY), 1);
  EXPECT_FALSE(IsSoundPlaying());
}

TEST_F(SoundPlayback, PlaysAFileButNotOneOverTheSizeLimit) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString path = dir.filePath("click.wav");
  ASSERT_TRUE(WriteFile(path, ToneWave(8000, 1000)));
  const QByteArray name = QFile::encodeName(path);
  EXPECT_EQ(sndPlaySoundA(name.constData(), SND_ASYNC | SND_FILENAME), 1);
  EXPECT_TRUE(IsSoundPlaying());
  sndPlaySoundA(nullptr, 0);

  // The same sound with bytes after its RIFF end is still good, until the file is too big.
  QFile file(path);
  ASSERT_TRUE(file.resize(static_cast<qint64>(kMaxWaveImageBytes)));
  EXPECT_EQ(sndPlaySoundA(name.constData(), SND_ASYNC), 1);
  sndPlaySoundA(nullptr, 0);
  ASSERT_TRUE(file.resize(static_cast<qint64>(kMaxWaveImageBytes) + 1));
  EXPECT_EQ(sndPlaySoundA(name.constData(), SND_ASYNC), 0);
  EXPECT_FALSE(IsSoundPlaying());
}

TEST_F(SoundPlayback, SystemStartPlaysTheThemeSoundWhenItIsUsable) {
  QTemporaryDir theme;
  ASSERT_TRUE(theme.isValid());
  const QString login = theme.filePath("freedesktop/stereo/service-login.wav");
  ASSERT_TRUE(WriteFile(login, ToneWave(8000, 1000)));
  TThemeGuard guard(theme.path());

  // Without a flag the name is looked up as a system sound first, as with SND_ALIAS; with
  // SND_FILENAME it is only a file name, and there is no such file.
  EXPECT_EQ(sndPlaySoundA("SystemStart", SND_ASYNC | SND_NODEFAULT), 1);
  EXPECT_TRUE(IsSoundPlaying());
  EXPECT_EQ(sndPlaySoundA("SystemStart", SND_ASYNC | SND_ALIAS), 1);
  EXPECT_TRUE(IsSoundPlaying());
  sndPlaySoundA(nullptr, 0);
  EXPECT_EQ(sndPlaySoundA("SystemStart", SND_ASYNC | SND_FILENAME), 0);
  EXPECT_FALSE(IsSoundPlaying());

  ASSERT_TRUE(
      WriteFile(login, RiffImage({{"fmt ", FormatBody(3, 1, 8000, 32)}, {"data", {0, 0, 0, 0}}})));
  EXPECT_EQ(sndPlaySoundA("SystemStart", SND_ASYNC | SND_ALIAS), 0);
  EXPECT_FALSE(IsSoundPlaying());
}

TEST_F(SoundPlayback, TurnsAwayMalformedMemoryImages) {
  const TBytes good = ToneWave(8000, 200);
  ASSERT_EQ(sndPlaySoundA(reinterpret_cast<const char*>(good.data()), SND_ASYNC | SND_MEMORY), 1);
  sndPlaySoundA(nullptr, 0);

  const std::vector<TBytes> images = {
      RiffImage({{"fmt ", FormatBody(3, 1, 8000, 32)}, {"data", {0, 0, 0, 0}}}),
      RiffImage({{"fmt ", FormatBody(1, 0, 8000, 8)}, {"data", {0, 0}}}),
      RiffImage({{"data", {1, 2}}}),
  };
  for (const TBytes& image : images) {
    EXPECT_EQ(sndPlaySoundA(reinterpret_cast<const char*>(image.data()), SND_ASYNC | SND_MEMORY),
              0);
  }
  EXPECT_FALSE(IsSoundPlaying());
}

TEST_F(SoundPlayback, TurnsAwayFilesThatAreMissingOrNotSound) {
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  const QString good = dir.filePath("good.wav");
  ASSERT_TRUE(WriteFile(good, ToneWave(8000, 200)));
  ASSERT_EQ(sndPlaySoundA(QFile::encodeName(good).constData(), SND_ASYNC | SND_FILENAME), 1);
  sndPlaySoundA(nullptr, 0);

  const QString text = dir.filePath("notes.wav");
  ASSERT_TRUE(WriteFile(text, {'h', 'e', 'l', 'l', 'o'}));
  const QString empty = dir.filePath("empty.wav");
  ASSERT_TRUE(WriteFile(empty, {}));
  EXPECT_EQ(sndPlaySoundA(QFile::encodeName(dir.filePath("missing.wav")).constData(), SND_ASYNC),
            0);
  EXPECT_EQ(sndPlaySoundA(QFile::encodeName(text).constData(), SND_ASYNC | SND_FILENAME), 0);
  EXPECT_EQ(sndPlaySoundA(QFile::encodeName(empty).constData(), SND_ASYNC | SND_FILENAME), 0);
  EXPECT_EQ(sndPlaySoundA(QFile::encodeName(dir.path()).constData(), SND_ASYNC | SND_FILENAME), 0);
  EXPECT_FALSE(IsSoundPlaying());
}
