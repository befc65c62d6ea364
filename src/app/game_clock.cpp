// The time of play, counted only while a game runs and the frame is active.
#include "app/game_clock.h"

#include <algorithm>

#include "media/saved_game_format.h"

void TGameClock::Advance(DWORD now) {
  if (IsCounting()) PlayedMs += static_cast<DWORD>(now - LookedAt);
  LookedAt = now;
}

void TGameClock::Start(DWORD now, int seconds) {
  PlayedMs = static_cast<std::uint64_t>(std::clamp(seconds, 0, MaxElapsedSeconds)) * 1000U;
  LookedAt = now;
  Running = true;
}

void TGameClock::Stop(DWORD now) {
  Advance(now);
  Running = false;
}

void TGameClock::SetActive(DWORD now, bool active) {
  Advance(now);
  Active = active;
}

int TGameClock::Seconds(DWORD now) {
  Advance(now);
  return static_cast<int>(std::min<std::uint64_t>(PlayedMs / 1000U, MaxElapsedSeconds));
}
