// The ply of the position the board shows.
#pragma once

// gamePly, except while the engine ponders on its predicted reply: the
// search has then made that move on the game record (gamePly counts it)
// while the board still shows the position before it, so the shown ply is
// gamePly - 1. Once the board shows the predicted move (the user played
// it) or the move is taken back, the shown ply is gamePly again.
int ShownPly();
