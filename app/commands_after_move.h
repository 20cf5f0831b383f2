// What the user gives while a move of theirs waits for the ponder search
// (or the hint's search, or analysis) to unwind: the frame's commands, keys
// and the close box are kept in one queue, in their order, and run once the
// search's completion has made the move, so that each acts on the game with
// the move.
#pragma once

#include <cstdint>

// Keeps a command (a menu or toolbar command id), a key press or a close
// when a user's move waits; returns false, and keeps nothing, otherwise.
bool KeepCommandWhileMoveWaits(int commandId);
bool KeepKeyWhileMoveWaits(int key, bool keypad);
bool KeepCloseWhileMoveWaits();

// The completion's hand-over (RunCommandsAfterMove of the bridge).
int WindowRunCommandsAfterMove(int32_t next);
// Runs what waits in the queue for the engine's think on the move (the
// commands from Stop thinking on); called at every message pumping.
void RunCommandsForThink();
