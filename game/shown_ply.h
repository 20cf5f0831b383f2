// The game as the user sees it: the position on the board and the stored
// moves around it. Every window reads the game through these, never through
// the engine position: the windows are also refreshed from inside a search
// (its message pumping), where sideToMove and the records beyond gamePly
// belong to the node being searched.
#pragma once

#include <cstdint>

#include "engine/position/types.h"

struct ShownGame {
  int32_t ply;     // moves played up to the position on the board
  int32_t length;  // moves of the stored game, at least ply
  uint32_t side;   // the side to move on the board (shownSideToMove)
  Move lastMove;   // the move that led to the board's position, 0 at the start
};

// Outside a search the shown game follows the game record: its ply is
// gamePly, except while the newest ply is the engine's predicted reply that
// the board does not show (yet): the record's side to move then differs
// from the board's, and the shown ply is gamePly - 1. While a search runs
// it is the copy kept when the search began.
ShownGame CurrentShownGame();
// CurrentShownGame().ply.
int ShownPly();
// Game move `ply` (1 ..) as stored: while a search runs, from the copy of
// the game record that the search began with; a ply outside the record
// gives an empty record.
const HistoryRecord& ShownGameRecord(int ply);

// For the search drivers. A search keeps the shown game from before its
// first message pumping until it has unwound; the game record's backup
// must already be taken. Holds nest: only the outermost one keeps a copy.
void HoldShownGame();
void ReleaseShownGame();
// The user played the predicted move while the engine ponders: the board
// now shows the game's next recorded move.
void ShownGameAdvance();

// Keeps the shown game for the lifetime of the object.
class ShownGameHold {
 public:
  ShownGameHold() { HoldShownGame(); }
  ~ShownGameHold() { ReleaseShownGame(); }
  ShownGameHold(const ShownGameHold&) = delete;
  ShownGameHold& operator=(const ShownGameHold&) = delete;
};
