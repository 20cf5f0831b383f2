// Quiet-check generator of the quiescence search: non-capturing moves of the
// side to move that put the enemy king in check with the moving piece itself.
//
// Knights use the two-step check tables (every knight square N against every
// king square K holds up to two moves N -> T from which the knight attacks
// K); pawns are tried only near the enemy palace; chariots and, within the
// iteration depth, cannons are tried on request (extra) at the two corner
// squares where their own file or rank crosses the king's rank or file.
// Discovered checks and moves along a line that already holds the king are
// not generated. The moves are pseudo-legal.
#include "engine/position/attack_rules.h"
#include "engine/position/position.h"
#include "engine/search/search_tables.h"

namespace {

// Appends one move with its history score; the record is never overrun.
inline void Append(MovePicker& r, int& n, uint32_t piece, Square from, Square to) {
  if (n >= kMaxPickerEntries) return;
  MoveEntry& e = r.entries[n++];
  e.move = MakeMoveCode(from, to);
  e.score = static_cast<int32_t>(historyTable[colouredTypeOf[piece]][172 * from + to]);
}

inline bool IsEmpty(Square s) { return board[s] == 0; }

void KnightChecks(MovePicker& r, int& n, uint32_t firstKnight, Square king) {
  for (uint32_t piece = firstKnight; piece <= firstKnight + 1; ++piece) {
    const Square from = posPiece[piece];
    if (from == 0) continue;
    const Move first = knightCheckMove1[king][from];
    if (first == 0) continue;
    // The target square itself is not looked at: a move onto an occupied
    // square is left for the picker to skip.
    if (IsEmpty(knightCheckLeg1[king][from]) && IsEmpty(knightStepLeg1[king][from]))
      Append(r, n, piece, from, MoveTo(first));
    const Move second = knightCheckMove2[king][from];
    if (second != 0 && IsEmpty(knightCheckLeg2[king][from]) && IsEmpty(knightStepLeg2[king][from]))
      Append(r, n, piece, from, MoveTo(second));
  }
}

inline void PawnStep(MovePicker& r, int& n, uint32_t piece, Square from, Square to) {
  if (IsEmpty(to)) Append(r, n, piece, from, to);
}

// Red pawns on files 2..6, ranks 0..3 that step onto a square from which they
// attack the black king on k (k + 1 in front of it, k - 16 and k + 16 beside
// it).
void RedPawnChecks(MovePicker& r, int& n, Square k) {
  for (uint32_t piece = 12; piece <= 16; ++piece) {
    const Square p = posPiece[piece];
    if (p == 0) continue;
    const int file = FileOf(p), rank = RankOf(p);
    if (file < 2 || file > 6 || rank > 3) continue;
    if (p == k + 17) {
      PawnStep(r, n, piece, p, p - 16);
      PawnStep(r, n, piece, p, p - 1);
    } else if (p == k - 15) {
      PawnStep(r, n, piece, p, p + 16);
      PawnStep(r, n, piece, p, p - 1);
    } else if (p == k + 2) {
      PawnStep(r, n, piece, p, p - 1);
    } else if (p == k - 32) {
      PawnStep(r, n, piece, p, p + 16);
    } else if (p == k + 32) {
      PawnStep(r, n, piece, p, p - 16);
    }
  }
}

// The twin for black pawns on files 2..6, ranks 6..9 against the red king.
void BlackPawnChecks(MovePicker& r, int& n, Square k) {
  for (uint32_t piece = 28; piece <= 32; ++piece) {
    const Square p = posPiece[piece];
    if (p == 0) continue;
    const int file = FileOf(p), rank = RankOf(p);
    if (file < 2 || file > 6 || rank < 6) continue;
    if (p == k + 15) {
      PawnStep(r, n, piece, p, p - 16);
      PawnStep(r, n, piece, p, p + 1);
    } else if (p == k - 17) {
      PawnStep(r, n, piece, p, p + 16);
      PawnStep(r, n, piece, p, p + 1);
    } else if (p == k - 2) {
      PawnStep(r, n, piece, p, p + 1);
    } else if (p == k - 32) {
      PawnStep(r, n, piece, p, p + 16);
    } else if (p == k + 32) {
      PawnStep(r, n, piece, p, p - 16);
    }
  }
}

// Whether a pawn of the side stands on one of the five squares from which a
// step can check the enemy king on k (k + 17, k - 15, k + 2, k - 32, k + 32
// for red; the mirrored squares for black). The pawn loops make moves only
// from these squares, so without such a pawn they are skipped: five board
// reads instead of walking the pawn list. k is a playing square, so every
// square read lies inside the board array.
template <uint32_t kSide>
inline bool PawnNearKing(Square k) {
  constexpr uint32_t kFirstPawn = kSide == kRed ? 12 : 28;
  constexpr int kBeside = kSide == kRed ? 1 : -1;  // one rank towards the pawn's home
  const auto isPawn = [](Square s) { return static_cast<uint32_t>(board[s]) - kFirstPawn <= 4; };
  return isPawn(k + 16 + kBeside) | isPawn(k - 16 + kBeside) | isPawn(k + 2 * kBeside) |
         isPawn(k - 32) | isPawn(k + 32);
}

// Chariots (cannon = false) or cannons (cannon = true) firstPiece and
// firstPiece + 1 that move by a plain slide to a corner square X where their
// line crosses the king's, and from X attack the king: a clear line for a
// chariot, exactly one screen for a cannon. The king's line test borrows the
// chariot and cannon rules from the king's own square (k, 0 when the enemy
// king is off the board). Inlined into its two calls, each with a constant
// piece kind, which spares the call and the test of the kind.
[[gnu::always_inline]] inline void LineChecks(MovePicker& r, int& n, uint32_t firstPiece,
                                              bool cannon, Square k) {
  for (uint32_t piece = firstPiece; piece <= firstPiece + 1; ++piece) {
    const Square c = posPiece[piece];
    if (c == 0) continue;
    if ((c & 0xF0) == (k & 0xF0) || (c & 0x0F) == (k & 0x0F)) continue;
    const Square corners[2] = {(c & 0xF0) | (k & 0x0F), (k & 0xF0) | (c & 0x0F)};
    for (Square x : corners) {
      if (!IsEmpty(x) || !attack_rules::ChariotReaches(c, x)) continue;
      const bool fromKing = k != 0 && (cannon ? attack_rules::CannonReaches(k, x)
                                              : attack_rules::ChariotReaches(k, x));
      if (fromKing) Append(r, n, piece, c, x);
    }
  }
}

}  // namespace

void GenerateQuietChecks(uint32_t extra) {
  MovePicker& r = movePickers[historyPly];
  int n = 0;
  const uint32_t side = sideToMove;
  const uint32_t base = side == kRed ? 0 : 16;  // own pieces: red index + base
  const Square k = side == kRed ? posPiece[17] : posPiece[1];

  KnightChecks(r, n, 6 + base, k);
  if (k != 0) {
    if (side == kRed) {
      if (PawnNearKing<kRed>(k)) RedPawnChecks(r, n, k);
    } else {
      if (PawnNearKing<kBlack>(k)) BlackPawnChecks(r, n, k);
    }
  }
  if (extra != 0) {
    if (pieceCount[side][kChariot - 1] != 0) LineChecks(r, n, 8 + base, false, k);
    if (historyPly <= iterationDepth && pieceCount[side][kCannon - 1] != 0)
      LineChecks(r, n, 10 + base, true, k);
  }
  r.count = n;
}
