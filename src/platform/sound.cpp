// Sound playback in the manner of sndPlaySoundA: one sound at a time through the default
// audio output, silence whenever anything is missing.
#include "platform/sound.h"

#include "platform/sound_module.h"
#include "platform/sound_test_hooks.h"
#include "platform/wave_image.h"
#include "platform/winconst.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QString>
#include <QStringList>
#include <QThread>

#include <cstdint>
#include <utility>

namespace {

// Sounds play on the application's thread only, and only while there is an application.
bool OnApplicationThread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app != nullptr && QThread::currentThread() == app->thread();
}

// The most WAV files looked at when searching a sound theme.
constexpr int kMaxThemeFiles = 5000;

TSoundRecorder& Recorder() {
  static TSoundRecorder recorder;
  return recorder;
}

QString& ThemeRoot() {
  static QString root;
  return root;
}

// Whether a theme file's name says it is the log-in sound, or failing that a start one.
enum class TThemeMatch { kNone, kStart, kLogin };

TThemeMatch MatchThemeName(const QString& baseName) {
  static const QRegularExpression kSeparators(QStringLiteral("[^a-z0-9]+"));
  TThemeMatch match = TThemeMatch::kNone;
  for (const QString& word : baseName.toLower().split(kSeparators, Qt::SkipEmptyParts)) {
    if (word == QLatin1String("login") || word == QLatin1String("logon"))
      return TThemeMatch::kLogin;
    if (word == QLatin1String("start") || word == QLatin1String("startup")) {
      match = TThemeMatch::kStart;
    }
  }
  return match;
}

// The system sounds the desktop theme can stand in for; names are not case-sensitive.
bool IsSystemSoundAlias(const char* name) {
  return name != nullptr &&
         QString::fromUtf8(name).compare(QLatin1String("SystemStart"), Qt::CaseInsensitive) == 0;
}

// Where the desktop theme has no usable sound for alias. Nothing of our own to play yet,
// so the call is silent and says so.
BOOL PlayWithoutThemeSound(const char* /*alias*/, UINT /*flags*/) {
  return 0;
}

bool ReadWaveFile(const char* path, QByteArray& image) {
  const QString name = QFile::decodeName(path);
  // Only plain files: a device or a pipe could block or never end.
  if (!QFileInfo(name).isFile()) return false;
  QFile file(name);
  if (!file.open(QIODevice::ReadOnly)) return false;
  image = file.read(static_cast<qint64>(kMaxWaveImageBytes) + 1);
  return !image.isEmpty() && static_cast<std::size_t>(image.size()) <= kMaxWaveImageBytes;
}

}  // namespace

void SetSoundRecorder(TSoundRecorder recorder) {
  Recorder() = std::move(recorder);
}

bool IsSoundPlaying() {
  const TSoundPlayerTable* player = LoadedSoundPlayer();
  return player != nullptr && player->isPlaying() != 0;
}

void SetSoundThemeRoot(const std::string& folder) {
  ThemeRoot() = QFile::decodeName(folder.c_str());
}

std::string FindSystemSoundFile(const char* alias) {
  if (!IsSystemSoundAlias(alias)) return {};
  const QString root = ThemeRoot().isEmpty() ? QStringLiteral("/usr/share/sounds") : ThemeRoot();
  // The freedesktop theme's own names first, then any theme's file named for log-in or
  // start, in a fixed order so the same sound plays every time.
  static const char* const kKnownNames[] = {"freedesktop/stereo/service-login.wav",
                                            "freedesktop/stereo/desktop-login.wav"};
  for (const char* known : kKnownNames) {
    const QString path = root + QLatin1Char('/') + QLatin1String(known);
    if (QFileInfo(path).isFile()) return QFile::encodeName(path).toStdString();
  }
  QStringList login;
  QStringList start;
  QDirIterator files(root, {QStringLiteral("*.wav")}, QDir::Files, QDirIterator::Subdirectories);
  for (int seen = 0; seen < kMaxThemeFiles && files.hasNext(); ++seen) {
    const QFileInfo file(files.next());
    switch (MatchThemeName(file.completeBaseName())) {
      case TThemeMatch::kLogin:
        login.append(file.filePath());
        break;
      case TThemeMatch::kStart:
        start.append(file.filePath());
        break;
      case TThemeMatch::kNone:
        break;
    }
  }
  QStringList& found = login.isEmpty() ? start : login;
  if (found.isEmpty()) return {};
  found.sort();
  return QFile::encodeName(found.first()).toStdString();
}

BOOL sndPlaySoundA(const char* sound, UINT flags) {
  if (Recorder()) return Recorder()(sound, flags) ? 1 : 0;

  // Until a sound has played there is none to stop, so the player is not loaded for it.
  const bool onThread = OnApplicationThread();
  if (sound == nullptr) {
    const TSoundPlayerTable* player = LoadedSoundPlayer();
    if (onThread && player != nullptr) player->stop();
    return 1;
  }
  if ((flags & SND_NOSTOP) != 0 && onThread && IsSoundPlaying()) return 0;

  // SND_LOOP is not honoured: every sound of ours plays once.
  TWaveImage wave;
  QByteArray fileImage;  // a file's bytes, alive while wave points into them
  if ((flags & SND_MEMORY) != 0) {
    // The caller vouches for the whole image; its own header says how long it is.
    const std::size_t size = WaveImageExtent(sound);
    if (size == 0 || !ParseWaveImage(sound, size, wave)) return 0;
  } else {
    // Without SND_ALIAS or SND_FILENAME a known system sound's name is taken as one and
    // anything else as a file, as Windows looks up its sound aliases first.
    const bool alias =
        (flags & SND_ALIAS) != 0 || ((flags & SND_FILENAME) == 0 && IsSystemSoundAlias(sound));
    const std::string path = alias ? FindSystemSoundFile(sound) : std::string(sound);
    const bool read =
        !path.empty() && ReadWaveFile(path.c_str(), fileImage) &&
        ParseWaveImage(fileImage.constData(), static_cast<std::size_t>(fileImage.size()), wave);
    if (!read) return alias ? PlayWithoutThemeSound(sound, flags) : 0;
  }
  if (!onThread) return 0;
  // An empty sound only cuts the last one short, and before the first there is none.
  if (wave.sampleBytes == 0 && LoadedSoundPlayer() == nullptr) return 1;
  const TSoundPlayerTable* player = SoundPlayer();
  if (player == nullptr) return 0;
  const TSoundSamples samples = {wave.channels, wave.sampleRate,  wave.bitsPerSample,
                                 wave.samples,  wave.sampleBytes, wave.DurationMs()};
  return player->play(&samples, (flags & SND_ASYNC) == 0 ? 1 : 0) != 0 ? 1 : 0;
}
