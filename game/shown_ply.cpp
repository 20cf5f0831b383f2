#include "game/shown_ply.h"

#include "engine/position/position.h"
#include "engine/search/engine_state.h"

int ShownPly() {
  // The predicted move is on the record but not on the board exactly when
  // the side to move of the record and of the board differ; comparing the
  // two also holds while a completion has taken the move back but the
  // engine is still marked as pondering.
  if (engineState == kEnginePondering && sideToMove != shownSideToMove && gamePly > 0) {
    return gamePly - 1;
  }
  return gamePly;
}
