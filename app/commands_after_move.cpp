#include "app/commands_after_move.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <deque>

#include "app/bridge_window.h"
#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "res/menus.h"

namespace {

enum class Kind { kCommand, kKey, kClose };

struct KeptInput {
  Kind kind;
  int value;  // the command id or the key
  bool keypad;
};

std::deque<KeptInput> kept;
bool running = false;

bool Keep(const KeptInput& input) {
  if (!UserMoveWaiting() || pMainFrame == nullptr) return false;
  kept.push_back(input);
  return true;
}

// Runs one kept input as the user's own at this moment. Returns false when
// it closed the frame.
bool RunKept(const KeptInput& input) {
  switch (input.kind) {
    case Kind::kCommand:
      pMainFrame->OnCmdMsg(input.value);
      return true;
    case Kind::kKey: {
      QKeyEvent press(QEvent::KeyPress, input.value,
                      input.keypad ? Qt::KeypadModifier : Qt::NoModifier);
      QCoreApplication::sendEvent(pMainFrame, &press);
      return true;
    }
    case Kind::kClose:
      return !pMainFrame->close();
  }
  return true;
}

bool EnginePlays(uint32_t side) {
  return side == kRed ? enginePlaysSide0 == 1 : enginePlaysSide1 == 1;
}

// Whether `next` starts once the commands have run: the engine answers the
// move when they left the game as it was and it plays the side to move; an
// analysis goes on whatever they did to the game.
bool NextGoesOn(int32_t next, const ShownGameSnapshot& before) {
  if (next == 0 || engineState != kEngineIdle || pMainFrame == nullptr ||
      pMainFrame->setupMode != 0)
    return false;
  if (next == kThinkAnalysis) return true;
  return SameShownGame(before) && EnginePlays(shownSideToMove);
}

// Stop thinking is for the engine's think on the move: given before that
// think began, it and everything after it wait for the think's first
// message pumping.
bool WaitsForThink(const KeptInput& input) {
  return input.kind == Kind::kCommand && input.value == kCmdStopThinking;
}

}  // namespace

bool KeepCommandWhileMoveWaits(int commandId) {
  return Keep({Kind::kCommand, commandId, false});
}

bool KeepKeyWhileMoveWaits(int key, bool keypad) { return Keep({Kind::kKey, key, keypad}); }

bool KeepCloseWhileMoveWaits() { return Keep({Kind::kClose, 0, false}); }

int WindowRunCommandsAfterMove(int32_t next) {
  if (kept.empty() || pMainFrame == nullptr) {
    kept.clear();
    return 0;
  }
  const ShownGameSnapshot before = TakeShownGameSnapshot();
  running = true;
  while (!kept.empty()) {
    if (WaitsForThink(kept.front()) && NextGoesOn(next, before)) break;
    const KeptInput input = kept.front();
    kept.pop_front();
    if (!RunKept(input)) {
      // The program ends: nothing after the close runs.
      kept.clear();
      running = false;
      return 1;
    }
  }
  running = false;
  ShowGameAfterCommands();
  // What waits for the think runs at its first message pumping.
  if (NextGoesOn(next, before)) Think(next, 0);
  return 1;
}

void RunCommandsForThink() {
  if (running || kept.empty() || UserMoveWaiting() || pMainFrame == nullptr) return;
  running = true;
  while (!kept.empty()) {
    const KeptInput input = kept.front();
    kept.pop_front();
    if (!RunKept(input)) kept.clear();
  }
  running = false;
}
