#include "game/shown_ply.h"

#include "engine/position/position.h"
#include "engine/search/engine_state.h"

namespace {

int holds = 0;
ShownGame kept{};

bool InRecord(int ply) { return ply >= 1 && ply < kHistorySize; }

// From the game record; only sound while no search has moved the engine
// position away from the game's end.
ShownGame FromGameRecord() {
  ShownGame g{};
  g.ply = gamePly;
  // The predicted move is on the record but not on the board exactly when
  // the record's side to move and the board's differ (also while the
  // engine's own move slides onto the board, and while a completion takes
  // the predicted move back).
  if (gamePly > 0 && sideToMove != shownSideToMove) --g.ply;
  g.length = gameLength > g.ply ? gameLength : g.ply;
  g.side = shownSideToMove;
  g.lastMove = InRecord(g.ply) ? history[g.ply].move : 0;
  return g;
}

}  // namespace

ShownGame CurrentShownGame() {
  if (holds == 0) return FromGameRecord();
  ShownGame g = kept;
  g.side = shownSideToMove;
  return g;
}

int ShownPly() { return CurrentShownGame().ply; }

const HistoryRecord& ShownGameRecord(int ply) {
  static const HistoryRecord kNone{};
  if (!InRecord(ply)) return kNone;
  return holds == 0 ? history[ply] : gameRecordBackup[ply];
}

void HoldShownGame() {
  if (holds++ == 0) kept = FromGameRecord();
}

void ReleaseShownGame() {
  if (holds > 0) --holds;
}

void ShownGameAdvance() {
  if (holds == 0 || !InRecord(kept.ply + 1)) return;
  ++kept.ply;
  if (kept.length < kept.ply) kept.length = kept.ply;
  kept.lastMove = gameRecordBackup[kept.ply].move;
}
