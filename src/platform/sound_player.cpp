// The sound player module: one sound at a time through the default audio output with Qt
// Multimedia, loaded by the program on its first sound (see sound_player_module.h).
#include "platform/sound_player_module.h"

#include <QAudio>
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QMediaDevices>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <utility>
#include <vector>

namespace {

// After its own length a sound gets this long to be reported finished before it is
// given up on, so a stalled output never holds the player. Outputs may take a couple of
// seconds to wake up (a PulseAudio null sink does), which must not cut a sound short.
constexpr qint64 kEndGraceMs = 5000;
// Time left for the output to sound the last samples once all were handed over.
constexpr qint64 kOutputLatencyMs = 150;
// The longest a synchronous call waits; a longer sound goes on playing afterwards.
constexpr qint64 kMaxSyncWaitMs = 30000;
// How long the sound server's answers to a closed stream may take to arrive. Qt 6.4's
// PulseAudio connection is torn down at exit without holding its own lock, so traffic
// still arriving then can crash the program on its way out; the player's last act is to
// let that traffic settle.
constexpr qint64 kServerSettleMs = 250;

// Qt Multimedia warns on the console when there is no sound server or a stream cannot
// open. For a game, no sound is silence, not an error to report: its debug, info and
// warning messages are dropped while we call into it.
class TQuietMultimedia {
 public:
  TQuietMultimedia() {
    if (depth++ == 0) outer = qInstallMessageHandler(&Filter);
  }
  ~TQuietMultimedia() {
    if (--depth == 0) qInstallMessageHandler(outer);
  }
  TQuietMultimedia(const TQuietMultimedia&) = delete;
  TQuietMultimedia& operator=(const TQuietMultimedia&) = delete;

 private:
  static void Filter(QtMsgType type, const QMessageLogContext& context, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg || type == QtWarningMsg) return;
    if (outer != nullptr) {
      outer(type, context, text);
    } else {
      std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
    }
  }

  static inline int depth = 0;
  static inline QtMessageHandler outer = nullptr;
};

int TimerMs(qint64 ms) {
  return static_cast<int>(std::clamp<qint64>(ms, 0, qint64{24} * 3600 * 1000));
}

// Owns the one sound that plays. A finished or replaced sink is stopped at once and
// deleted later: a sink's destructor runs the event loop, which must not happen inside
// its own signal or a caller's event handler. Retired objects are not the player's
// children, since that nested event loop could delete a sibling while Qt deletes the
// children in turn; the player deletes what is left of them itself.
class TSoundPlayer : public QObject {
 public:
  explicit TSoundPlayer(QObject* parent) : QObject(parent) {
    endTimer.setSingleShot(true);
    connect(&endTimer, &QTimer::timeout, this, [this] { Finish(); });
  }
  ~TSoundPlayer() override {
    Finish();
    // A sink's destructor runs the event loop, which would deliver the sink's own pending
    // deletion to it a second time, and may delete other retired objects first.
    const std::vector<QPointer<QObject>> doomed = std::move(retired);
    for (const QPointer<QObject>& object : doomed) {
      if (object.isNull()) continue;
      QCoreApplication::removePostedEvents(object.data(), QEvent::DeferredDelete);
      delete object.data();
    }
    if (lastStop.isValid() && lastStop.elapsed() < kServerSettleMs) {
      QThread::msleep(static_cast<unsigned long>(kServerSettleMs - lastStop.elapsed()));
    }
  }

  TSoundPlayer(const TSoundPlayer&) = delete;
  TSoundPlayer& operator=(const TSoundPlayer&) = delete;

  bool Play(const TSoundSamples& wave, bool wait);
  void Stop() { Finish(); }
  bool IsPlaying() const { return sink != nullptr; }

 private:
  bool Start(const TSoundSamples& wave);
  void OnStateChanged(QAudio::State state);
  void WaitForEnd();
  void Finish();
  void Retire(QObject* object);

  QAudioSink* sink = nullptr;
  QBuffer* source = nullptr;
  QTimer endTimer;
  QElapsedTimer clock;
  QElapsedTimer lastStop;
  qint64 lengthMs = 0;
  std::vector<QEventLoop*> waiting;
  std::vector<QPointer<QObject>> retired;
};

bool TSoundPlayer::Play(const TSoundSamples& wave, bool wait) {
  Finish();
  if (wave.sampleBytes == 0) return true;  // nothing to hear, nothing went wrong
  bool started = false;
  {
    TQuietMultimedia quiet;
    started = Start(wave);
  }
  // The game's own events run while a synchronous call waits, so the quiet scope ends
  // before it.
  if (started && wait) WaitForEnd();
  return started;
}

bool TSoundPlayer::Start(const TSoundSamples& wave) {
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) return false;
  QAudioFormat format;
  format.setSampleRate(static_cast<int>(wave.sampleRate));
  format.setChannelCount(static_cast<int>(wave.channels));
  format.setSampleFormat(wave.bitsPerSample == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
  if (!device.isFormatSupported(format)) return false;

  // The sink reads its own copy, so the caller's image may go once this returns.
  source = new QBuffer;
  source->setData(reinterpret_cast<const char*>(wave.samples),
                  static_cast<qsizetype>(wave.sampleBytes));
  source->open(QIODevice::ReadOnly);
  sink = new QAudioSink(device, format);
  connect(sink, &QAudioSink::stateChanged, this,
          [this](QAudio::State state) { OnStateChanged(state); });
  lengthMs = static_cast<qint64>(wave.durationMs);
  clock.start();
  sink->start(source);
  // A sink that cannot open reports it during start and has been finished already.
  if (sink == nullptr || sink->error() != QAudio::NoError) {
    Finish();
    return false;
  }
  endTimer.start(TimerMs(lengthMs + kEndGraceMs));
  return true;
}

void TSoundPlayer::OnStateChanged(QAudio::State state) {
  if (sink == nullptr) return;
  if (state == QAudio::StoppedState) {
    Finish();
  } else if (state == QAudio::IdleState) {
    // Idle means every sample was handed over, not that it was heard: the output still
    // holds up to the rest of the sound.
    const qint64 left = std::max<qint64>(0, lengthMs - clock.elapsed());
    endTimer.start(TimerMs(left + kOutputLatencyMs));
  }
}

void TSoundPlayer::WaitForEnd() {
  if (sink == nullptr) return;
  QEventLoop loop;
  waiting.push_back(&loop);
  QTimer::singleShot(TimerMs(std::min(lengthMs + kEndGraceMs, kMaxSyncWaitMs)), &loop,
                     &QEventLoop::quit);
  loop.exec();
  waiting.pop_back();
}

void TSoundPlayer::Finish() {
  endTimer.stop();
  if (sink != nullptr) {
    TQuietMultimedia quiet;
    sink->disconnect(this);
    sink->stop();
    lastStop.start();
    Retire(std::exchange(sink, nullptr));
  }
  if (source != nullptr) Retire(std::exchange(source, nullptr));
  // Every waiting call ends with its sound, also one that a newer sound cut short.
  for (QEventLoop* loop : waiting) loop->quit();
}

void TSoundPlayer::Retire(QObject* object) {
  retired.erase(std::remove(retired.begin(), retired.end(), nullptr), retired.end());
  retired.emplace_back(object);
  object->deleteLater();
}

QPointer<TSoundPlayer>& PlayerSlot() {
  static QPointer<TSoundPlayer> player;
  return player;
}

// Runs at the start of the application object's destruction, while Qt Multimedia is
// still whole; the player is the application's child only as a last resort.
void DestroyPlayer() {
  TSoundPlayer* player = PlayerSlot().data();
  PlayerSlot().clear();
  delete player;
}

// The player of the running application, made on first use; none without an application
// object or off its thread.
TSoundPlayer* Player() {
  QCoreApplication* app = QCoreApplication::instance();
  if (app == nullptr || QThread::currentThread() != app->thread()) return nullptr;
  QPointer<TSoundPlayer>& player = PlayerSlot();
  if (player.isNull()) {
    player = new TSoundPlayer(app);
    qAddPostRoutine(&DestroyPlayer);
  }
  return player.data();
}

int PlaySound(const TSoundSamples* sound, int wait) {
  TSoundPlayer* player = Player();
  return player != nullptr && sound != nullptr && player->Play(*sound, wait != 0) ? 1 : 0;
}

void StopSound() {
  if (TSoundPlayer* player = Player()) player->Stop();
}

int IsPlaying() {
  const QPointer<TSoundPlayer>& player = PlayerSlot();
  return !player.isNull() && player->IsPlaying() ? 1 : 0;
}

}  // namespace

extern "C" Q_DECL_EXPORT const TSoundPlayerTable* KavroSoundPlayerTable() {
  static constexpr TSoundPlayerTable kTable = {kSoundPlayerVersion, &PlaySound, &StopSound,
                                               &IsPlaying};
  return &kTable;
}
