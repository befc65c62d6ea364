// The interface of the sound player module. Playback needs Qt Multimedia and the score of
// libraries it brings, which the program loads only when its first sound plays; plain C,
// so the program and the module need agree on nothing else.
#pragma once

#include <cstddef>
#include <cstdint>

// Changes whenever anything below does, so a module left over from another build is
// turned away rather than called wrongly.
constexpr unsigned kSoundPlayerVersion = 1;

extern "C" {

// Plain PCM samples; the player copies them before play returns.
struct TSoundSamples {
  unsigned channels;       // 1 or 2, interleaved
  unsigned sampleRate;     // frames per second
  unsigned bitsPerSample;  // 8 (unsigned) or 16 (signed, little-endian)
  const std::uint8_t* samples;
  std::size_t sampleBytes;  // whole frames only
  std::uint64_t durationMs;
};

// Every call belongs on the application's thread; elsewhere, or without an application
// object, nothing plays.
struct TSoundPlayerTable {
  unsigned version;  // kSoundPlayerVersion
  // Cuts any sound short and starts this one; with wait nonzero returns when it has
  // ended. Nonzero when it started (or there was nothing to hear).
  int (*play)(const TSoundSamples* sound, int wait);
  void (*stop)();
  int (*isPlaying)();
};

using TSoundPlayerEntry = const TSoundPlayerTable* (*)();

}  // extern "C"

// The name under which the module exports its TSoundPlayerEntry.
inline constexpr char kSoundPlayerEntryName[] = "KavroSoundPlayerTable";
