#include "game/notation.h"

// The notation writer comes with the game record; until then the texts are
// left empty.
void FormatWxfMove(Move, char* out, char, PieceIndex, int) { out[0] = '\0'; }
