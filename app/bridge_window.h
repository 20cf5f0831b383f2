// The window side of the engine's bridge: what the engine's calls do while
// the program's windows exist, and the frame's commands that wait for a
// search to unwind.
#pragma once

#include <cstdint>

#include "engine/position/types.h"
#include "game/shown_ply.h"

// Installs the window side's table (engine/bridge.h); RemoveWindowBridge
// returns the bridge to its headless behaviour.
void InstallWindowBridge();
void RemoveWindowBridge();

// Whether a command that waits for a ponder search may be chosen now: the
// engine is idle, or it ponders (or runs the hint's search) and can be
// stopped for the command. A think on the engine's own move (or a mate
// search) refuses it.
bool EngineIdleOrPondering();
// While the engine ponders or runs the hint's search: keeps the command and
// stops the search, whose completion (or the hint command, once the hint's
// search has returned) runs the command; true then. Otherwise false, and
// the caller acts (or refuses) now.
bool DeferUntilPonderStops(int commandId);
// Whether a command that stops a ponder or a think on the engine's own move
// may be chosen now: the engine is idle, ponders, thinks on its move or
// runs the hint's search.
bool EngineIdlePonderingOrThinking();
// As DeferUntilPonderStops, and also during a think on the engine's own
// move: the think stops, the command runs, and the think starts again when
// the command left the game as it was (a cancelled dialog, the options
// sheet), so that the command acts the same whenever it comes.
bool DeferUntilSearchStops(int commandId);
// The load (kRequestLoadGame) or save (kRequestSaveGame) command while the
// engine searches: posts its request. Once the completion has run the
// command again, the board and the game windows show the game as it then
// stands, and a think on the engine's own move that the command interrupted
// goes on when the command left its position as it was.
void DeferFileCommand(int32_t request);

// The game as shown now, to tell afterwards whether commands changed it.
struct ShownGameSnapshot {
  ShownGame game{};
  int8_t board[kBoardSize] = {};
};
ShownGameSnapshot TakeShownGameSnapshot();
bool SameShownGame(const ShownGameSnapshot& snapshot);
// After commands the window side ran for the engine: the board and the game
// windows show the game as it now stands, the toolbars follow.
void ShowGameAfterCommands();
