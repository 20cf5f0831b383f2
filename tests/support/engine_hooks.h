// Points the engine's host hooks (the tick, the message pump and the event
// notice) at a test's doubles, and back to the system's own behaviour; and a
// real think followed by its ponder search, with a hook in its message pump.
#pragma once

#include <cstdint>
#include <functional>

#include "engine/bridge.h"
#include "engine/search/books.h"
#include "engine/search/engine_state.h"
#include "engine/search/time_control.h"

namespace testing_support {

inline void SetEngineHooks(uint32_t (*tick)(), void (*pump)(), void (*notify)(int code)) {
  tickSource = tick;
  pumpMessagesHook = pump;
  notifyEventHook = notify;
}

inline void ClearEngineHooks() { SetEngineHooks(nullptr, nullptr, nullptr); }

// The engine thinks on the position on the board (a search of depth 3, no
// books), plays its move and ponders on the predicted reply. At each of the
// first `polls` message pumpings of the ponder search `atPonderPoll` runs
// (it may stop the search itself); then the ponder search is stopped, which
// takes the predicted move back. Returns how many times atPonderPoll ran.
// The searches pump every 150 nodes, so that the pumpings come long before
// the time cap of a ponder search on any machine.
inline int ThinkAndPonder(int polls, const std::function<void()>& atPonderPoll) {
  static std::function<void()> act;
  static int left = 0, ran = 0;
  act = atPonderPoll;
  left = polls;
  ran = 0;
  const int32_t savedPonder = Ponder, savedLevelMode = levelMode, savedDepth = searchDepth;
  const int32_t savedBook1 = bookMode1, savedBook2 = bookMode2, savedPoll = pollInterval;
  pollInterval = 150;
  Ponder = 1;
  levelMode = kLevelSearchDepth;
  searchDepth = 3;
  bookMode1 = bookMode2 = kBookOff;
  void (*const savedPump)() = pumpMessagesHook;
  pumpMessagesHook = [] {
    if (engineState != kEnginePondering || stopRequested != 0) return;
    if (left-- <= 0) {
      RequestStop(kRequestNone);
      return;
    }
    ++ran;
    act();
  };
  Think(kThinkPlay, 0);
  pumpMessagesHook = savedPump;
  Ponder = savedPonder;
  levelMode = savedLevelMode;
  searchDepth = savedDepth;
  bookMode1 = savedBook1;
  bookMode2 = savedBook2;
  pollInterval = savedPoll;
  return ran;
}

}  // namespace testing_support
