// Capture generator of the staged pickers: every pseudo-legal capture of the
// side to move, scored by the value of the captured piece, written into the
// picker record of the current ply.
//
// Chariot and cannon captures come from the line tables (one or two reads
// per line, whatever the length of the line); the other pieces test their
// few target squares directly. The code is written out per side and per
// piece index through forced-inline templates; the emitted order is fixed,
// as the tie-break among equal captures depends on it.
#include "engine/position/position.h"
#include "engine/search/search_tables.h"

namespace {

#define GEN_INLINE [[gnu::always_inline]] inline

// At most two captures per line for a chariot or cannon, 8 for a knight,
// 3 for a pawn and 4 for an elephant, an adviser or the king.
constexpr int kMostEntries = 2 * 4 + 2 * 8 + 2 * 4 + 5 * 3 + 2 * 4 + 2 * 4 + 4;
static_assert(kMostEntries <= kMaxPickerEntries, "picker record too small for the captures");

// Appends the capture of the piece on `to` when it belongs to the enemy.
// Frame squares hold 0, so a target off the board is never taken.
// Red pieces are 1..16, black ones 17..32. The red range is tested with one
// unsigned comparison (0 and negative values wrap above 15).
template <uint32_t Side>
GEN_INLINE bool IsEnemy(int piece) {
  return Side == kRed ? piece > 16 : static_cast<unsigned>(piece - 1) < 16u;
}

// The move code is built only for a capture found, as most targets hold none.
template <uint32_t Side>
GEN_INLINE void AddCapture(MoveEntry*& out, Square from, Square to) {
  const int victim = board[to];
  if (IsEnemy<Side>(victim)) *out++ = {(from << 16) | to, pieceOrderValue[victim]};
}

// Chariot: the nearest piece on its file towards rank 9, then towards rank
// 0, then on its rank towards file 0, then towards file 8.
template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Chariot(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint8_t* onFile = chariotFileTargets[s][fileOccupancy[FileOf(s)]];
  if (onFile[2] != 0) {
    AddCapture<Side>(out, s, onFile[0]);
    if (onFile[2] > 1) AddCapture<Side>(out, s, onFile[1]);
  }
  const uint8_t* onRank = chariotRankTargets[s][rankOccupancy[RankOf(s)]];
  if (onRank[2] != 0) {
    AddCapture<Side>(out, s, onRank[0]);
    if (onRank[2] > 1) AddCapture<Side>(out, s, onRank[1]);
  }
}

// Cannon: the second piece on each way of its file (towards rank 9, then
// rank 0) and of its rank (towards file 8, then file 0).
template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Cannon(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const int file = FileOf(s);
  const int rank = RankOf(s);
  const uint32_t filePattern = fileOccupancy[file];
  const uint32_t rankPattern = rankOccupancy[rank];
  if (const Square d = secondBlockerAbove[filePattern][rank]) AddCapture<Side>(out, s, s + d);
  if (const Square d = secondBlockerBelow[filePattern][rank]) AddCapture<Side>(out, s, s - d);
  if (const Square d = secondBlockerAbove[rankPattern][file]) AddCapture<Side>(out, s, s + 16 * d);
  if (const Square d = secondBlockerBelow[rankPattern][file]) AddCapture<Side>(out, s, s - 16 * d);
}

// The two knight targets over one leg square.
template <uint32_t Side, int Leg, int First, int Second>
GEN_INLINE void KnightLeg(MoveEntry*& out, Square from) {
  if (board[from + Leg] != 0) return;
  AddCapture<Side>(out, from, from + First);
  AddCapture<Side>(out, from, from + Second);
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Knight(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  KnightLeg<Side, 1, 18, -14>(out, s);
  KnightLeg<Side, -1, -18, 14>(out, s);
  KnightLeg<Side, -16, -31, -33>(out, s);
  KnightLeg<Side, 16, 31, 33>(out, s);
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Pawn(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const Square rankNibble = s & 15;    // rank + 2
  const Square fileNibble = s & 0xF0;  // 16 * (file + 2)
  constexpr int kForward = Side == kRed ? -1 : 1;
  const bool crossed = Side == kRed ? rankNibble <= 6 : rankNibble >= 7;
  if (!crossed) {
    AddCapture<Side>(out, s, s + kForward);
    return;
  }
  if (fileNibble < 0xA0) AddCapture<Side>(out, s, s + 16);
  if (fileNibble > 0x20) AddCapture<Side>(out, s, s - 16);
  const bool farRank = Side == kRed ? rankNibble == 2 : rankNibble == 11;
  if (!farRank) AddCapture<Side>(out, s, s + kForward);
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Adviser(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  constexpr Square kCentre = Side == kRed ? kRedPalaceCentre : kBlackPalaceCentre;
  if (s != kCentre) {
    AddCapture<Side>(out, s, kCentre);
    return;
  }
  AddCapture<Side>(out, s, s + 15);
  AddCapture<Side>(out, s, s + 17);
  AddCapture<Side>(out, s, s - 17);
  AddCapture<Side>(out, s, s - 15);
}

// Steppers test the target for an enemy first: that is the rarest of the
// conditions, so most steps end after one read. All reads stay inside the
// board array, as every piece stands on a playing square.
template <uint32_t Side, int Eye>
GEN_INLINE void ElephantStep(MoveEntry*& out, Square from) {
  constexpr const auto& kPoints = Side == kRed ? redElephantSquare : blackElephantSquare;
  const Square to = from + 2 * Eye;
  const int victim = board[to];
  if (IsEnemy<Side>(victim) && kPoints[to] && board[from + Eye] == 0)
    *out++ = {(from << 16) | to, pieceOrderValue[victim]};
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Elephant(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  ElephantStep<Side, -17>(out, s);
  ElephantStep<Side, -15>(out, s);
  ElephantStep<Side, 17>(out, s);
  ElephantStep<Side, 15>(out, s);
}

template <uint32_t Side, int Step>
GEN_INLINE void KingStep(MoveEntry*& out, Square from) {
  constexpr const auto& kPalace = Side == kRed ? redPalace : blackPalace;
  const Square to = from + Step;
  const int victim = board[to];
  if (IsEnemy<Side>(victim) && kPalace[to]) *out++ = {(from << 16) | to, pieceOrderValue[victim]};
}

template <uint32_t Side>
GEN_INLINE void King(MoveEntry*& out) {
  const Square s = posPiece[Side == kRed ? 1 : 17];
  if (s == 0) return;
  KingStep<Side, -16>(out, s);
  KingStep<Side, 16>(out, s);
  KingStep<Side, -1>(out, s);
  KingStep<Side, 1>(out, s);
}

// Chariots, knights, cannons, pawns, advisers, elephants, king.
template <uint32_t Side>
MoveEntry* GenerateCapturesFor(MoveEntry* out) {
  constexpr PieceIndex b = Side == kRed ? 0 : 16;
  Chariot<Side, b + 8>(out);
  Chariot<Side, b + 9>(out);
  Knight<Side, b + 6>(out);
  Knight<Side, b + 7>(out);
  Cannon<Side, b + 10>(out);
  Cannon<Side, b + 11>(out);
  Pawn<Side, b + 12>(out);
  Pawn<Side, b + 13>(out);
  Pawn<Side, b + 14>(out);
  Pawn<Side, b + 15>(out);
  Pawn<Side, b + 16>(out);
  Adviser<Side, b + 2>(out);
  Adviser<Side, b + 3>(out);
  Elephant<Side, b + 4>(out);
  Elephant<Side, b + 5>(out);
  King<Side>(out);
  return out;
}

}  // namespace

void GenerateCaptures() {
  MovePicker& r = movePickers[historyPly];
  MoveEntry* const first = r.entries;
  MoveEntry* const end =
      sideToMove == kRed ? GenerateCapturesFor<kRed>(first) : GenerateCapturesFor<kBlack>(first);
  r.count = static_cast<int32_t>(end - first);
}
