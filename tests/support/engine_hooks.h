// Points the engine's host hooks (the tick, the message pump and the event
// notice) at a test's doubles, and back to the system's own behaviour.
#pragma once

#include <cstdint>

#include "engine/bridge.h"

namespace testing_support {

inline void SetEngineHooks(uint32_t (*tick)(), void (*pump)(), void (*notify)(int code)) {
  tickSource = tick;
  pumpMessagesHook = pump;
  notifyEventHook = notify;
}

inline void ClearEngineHooks() { SetEngineHooks(nullptr, nullptr, nullptr); }

}  // namespace testing_support
