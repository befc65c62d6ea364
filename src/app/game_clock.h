// The time of play: what a game's clock counts, kept apart from the window so that it holds
// for any order in which the desktop reports activation, deactivation and commands.
#pragma once

#include <cstdint>

#include "platform/wintypes.h"

class TGameClock {
 public:
  // A game starts from zero or a saved game continues from its seconds; it is counted from
  // now on while the frame is active, else from the frame's next activation.
  void Start(DWORD now, int seconds);
  // The game is solved: the time stands. Reset: no game, no time.
  void Stop(DWORD now);
  void Reset() {
    PlayedMs = 0;
    Running = false;
  }
  // The frame gained or lost the focus. Telling it what it already knows changes nothing,
  // so a resume with no pause before it, or a second pause, adds no time.
  void SetActive(DWORD now, bool active);

  bool IsRunning() const { return Running; }
  bool IsCounting() const { return Running && Active; }
  // Whole seconds played up to now, at most the longest time a saved game can hold.
  int Seconds(DWORD now);

 private:
  // Adds the time since the last look while counting. Only differences of ticks read in
  // order are taken, each folded into 64 bits at once, so no subtraction can wrap into a
  // huge time and the total never exceeds the time that passed.
  void Advance(DWORD now);

  std::uint64_t PlayedMs = 0;
  DWORD LookedAt = 0;
  bool Running = false;
  bool Active = false;
};
