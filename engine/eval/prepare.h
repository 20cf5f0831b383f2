// Evaluation data that move making and the position read: the piece values,
// the per-search piece-square banks and their preparation.
#pragma once

#include <cstdint>

// Red pawn, adviser, elephant, knight, cannon, chariot, then black.
extern int32_t pieceValueTable[12];
// The largest magnitude of a piece value (pieceValueTable, either sign).
// The search's values derive from these (a cannon is priced against the
// knight, so it reaches about twice one); with every value within it the
// material of both sides with its square bonuses stays far below the mate
// scores and the 32-bit range.
constexpr int32_t kMaxPieceValue = 50000;
// Knowledge level 0..12 (0 material only, 1 light, 2 medium, 3+ full).
extern int32_t middleKnowledge;
// Piece value plus square bonus, [colourless PieceType][Square].
extern int32_t pieceSquareRed[8][176];
extern int32_t pieceSquareBlack[8][176];

// Before every search and at every game reset: recounts the material,
// rebuilds typeBoard and the line masks, builds the piece-square banks with
// their corrections, sets the attack weights, chooses the evaluator (lowered
// for little material) and recomputes materialBalance.
void PrepareEvaluation();
// Sum of the bank entries of red's pieces minus black's.
int32_t RecomputeBalance();
