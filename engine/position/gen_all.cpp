// Full pseudo-legal move generator: every move of the side to move, captures
// and quiet moves together, each with its ordering score, written into the
// picker record of the current ply. Used for the root move list and perft.
//
// The code is written out per side and per piece index: each helper below is
// a template over the side and the step, forced inline, so every piece and
// every direction becomes its own straight-line block with constant offsets.
// The emitted order (pieces, then targets per piece) is fixed: the search's
// root move order depends on it.
#include "engine/position/position.h"
#include "engine/search/search_tables.h"

namespace {

#define GEN_INLINE [[gnu::always_inline]] inline

// The record can never overflow: the most entries one side can produce is
// the sum of the candidate targets of its sixteen pieces (a chariot or cannon
// reaches at most 9 squares on its file and 8 on its rank, a knight has 8
// targets, a pawn 3, an elephant, an adviser and the king 4 each).
constexpr int kMostEntries = 2 * 17 + 2 * 8 + 2 * 17 + 5 * 3 + 2 * 4 + 2 * 4 + 4;
static_assert(kMostEntries <= kMaxPickerEntries, "picker record too small for a full move list");

// A capture scores above every quiet move's history value.
constexpr int32_t kCaptureBonus = 10000;

template <uint32_t Side>
GEN_INLINE bool IsEnemy(int piece) {
  if constexpr (Side == kRed) return piece > 16;
  else return piece != 0 && piece <= 16;
}

// Whether a square reached by repeated steps of Step is still on the board:
// rank steps keep the low nibble within 2..11, file steps the high nibble
// within 0x20..0xA0.
template <int Step>
GEN_INLINE bool InPlay(Square t) {
  if constexpr (Step == 1) return (t & 15) <= 11;
  else if constexpr (Step == -1) return (t & 15) >= 2;
  else if constexpr (Step == 16) return (t & 0xF0) <= 0xA0;
  else return (t & 0xF0) >= 0x20;
}

// One generated move into the list: a quiet move scores its history value
// (hist points at the mover's history row for its from-square), a capture
// the victim's value plus the bonus; a square of the mover's side yields
// nothing.
template <uint32_t Side>
GEN_INLINE void AddTarget(MoveEntry*& out, Move code, Square to, const uint32_t* hist) {
  const int victim = board[to];
  if (victim == 0) {
    *out++ = {code | to, static_cast<int32_t>(hist[to])};
  } else if (IsEnemy<Side>(victim)) {
    *out++ = {code | to, pieceOrderValue[victim] + kCaptureBonus};
  }
}

GEN_INLINE const uint32_t* HistoryRow(PieceIndex piece, Square from) {
  return historyTable[colouredTypeOf[piece]] + 172 * from;
}

template <uint32_t Side, int Step>
GEN_INLINE void ChariotRay(MoveEntry*& out, Square from, const uint32_t* hist) {
  const Move code = from << 16;
  Square t = from + Step;
  while (InPlay<Step>(t) && board[t] == 0) {
    *out++ = {code | t, static_cast<int32_t>(hist[t])};
    t += Step;
  }
  if (InPlay<Step>(t) && IsEnemy<Side>(board[t])) {
    *out++ = {code | t, pieceOrderValue[board[t]] + kCaptureBonus};
  }
}

template <uint32_t Side, int Step>
GEN_INLINE void CannonRay(MoveEntry*& out, Square from, const uint32_t* hist) {
  const Move code = from << 16;
  Square t = from + Step;
  while (InPlay<Step>(t) && board[t] == 0) {
    *out++ = {code | t, static_cast<int32_t>(hist[t])};
    t += Step;
  }
  if (!InPlay<Step>(t)) return;  // no screen on this ray
  t += Step;
  while (InPlay<Step>(t) && board[t] == 0) t += Step;
  if (InPlay<Step>(t) && IsEnemy<Side>(board[t])) {
    *out++ = {code | t, pieceOrderValue[board[t]] + kCaptureBonus};
  }
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Chariot(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  ChariotRay<Side, 1>(out, s, hist);
  ChariotRay<Side, -1>(out, s, hist);
  ChariotRay<Side, -16>(out, s, hist);
  ChariotRay<Side, 16>(out, s, hist);
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Cannon(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  CannonRay<Side, 1>(out, s, hist);
  CannonRay<Side, -1>(out, s, hist);
  CannonRay<Side, 16>(out, s, hist);
  CannonRay<Side, -16>(out, s, hist);
}

// The two knight targets over one leg square.
template <uint32_t Side, int Leg, int First, int Second>
GEN_INLINE void KnightLeg(MoveEntry*& out, Square from, const uint32_t* hist) {
  if (board[from + Leg] != 0) return;
  const Move code = from << 16;
  if (onBoard[from + First]) AddTarget<Side>(out, code, from + First, hist);
  if (onBoard[from + Second]) AddTarget<Side>(out, code, from + Second, hist);
}

// Each side starts with its forward leg and ends with its backward one.
template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Knight(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  if constexpr (Side == kRed) {
    KnightLeg<Side, -1, -18, 14>(out, s, hist);
    KnightLeg<Side, -16, -31, -33>(out, s, hist);
    KnightLeg<Side, 16, 31, 33>(out, s, hist);
    KnightLeg<Side, 1, 18, -14>(out, s, hist);
  } else {
    KnightLeg<Side, 1, 18, -14>(out, s, hist);
    KnightLeg<Side, -16, -31, -33>(out, s, hist);
    KnightLeg<Side, 16, 31, 33>(out, s, hist);
    KnightLeg<Side, -1, -18, 14>(out, s, hist);
  }
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Pawn(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  const Move code = s << 16;
  const Square rankNibble = s & 15;  // rank + 2
  const Square fileNibble = s & 0xF0;  // 16 * (file + 2)
  constexpr int kForward = Side == kRed ? -1 : 1;
  // Before the river (red ranks 5..9, black ranks 0..4) only forward.
  const bool crossed = Side == kRed ? rankNibble <= 6 : rankNibble >= 7;
  if (!crossed) {
    AddTarget<Side>(out, code, s + kForward, hist);
    return;
  }
  if (fileNibble < 0xA0) AddTarget<Side>(out, code, s + 16, hist);
  if (fileNibble > 0x20) AddTarget<Side>(out, code, s - 16, hist);
  const bool farRank = Side == kRed ? rankNibble == 2 : rankNibble == 11;
  if (!farRank) AddTarget<Side>(out, code, s + kForward, hist);
}

template <uint32_t Side, int Eye>
GEN_INLINE void ElephantStep(MoveEntry*& out, Square from, const uint32_t* hist) {
  constexpr const auto& kPoints = Side == kRed ? redElephantSquare : blackElephantSquare;
  if (kPoints[from + 2 * Eye] && board[from + Eye] == 0) {
    AddTarget<Side>(out, from << 16, from + 2 * Eye, hist);
  }
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Elephant(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  ElephantStep<Side, -17>(out, s, hist);
  ElephantStep<Side, -15>(out, s, hist);
  ElephantStep<Side, 17>(out, s, hist);
  ElephantStep<Side, 15>(out, s, hist);
}

// An adviser stands only on the five diagonal points of its palace: from the
// centre it reaches the four corners, from a corner only the centre.
template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Adviser(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  const Move code = s << 16;
  constexpr Square kCentre = Side == kRed ? kRedPalaceCentre : kBlackPalaceCentre;
  if (s != kCentre) {
    AddTarget<Side>(out, code, kCentre, hist);
  } else if constexpr (Side == kRed) {
    AddTarget<Side>(out, code, s - 15, hist);
    AddTarget<Side>(out, code, s + 17, hist);
    AddTarget<Side>(out, code, s + 15, hist);
    AddTarget<Side>(out, code, s - 17, hist);
  } else {
    AddTarget<Side>(out, code, s + 15, hist);
    AddTarget<Side>(out, code, s - 17, hist);
    AddTarget<Side>(out, code, s + 17, hist);
    AddTarget<Side>(out, code, s - 15, hist);
  }
}

template <uint32_t Side, int Step>
GEN_INLINE void KingStep(MoveEntry*& out, Square from, const uint32_t* hist) {
  constexpr const auto& kPalace = Side == kRed ? redPalace : blackPalace;
  if (kPalace[from + Step]) AddTarget<Side>(out, from << 16, from + Step, hist);
}

template <uint32_t Side>
GEN_INLINE void King(MoveEntry*& out) {
  constexpr PieceIndex kPiece = Side == kRed ? 1 : 17;
  const Square s = posPiece[kPiece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(kPiece, s);
  KingStep<Side, -16>(out, s, hist);
  KingStep<Side, 16>(out, s, hist);
  KingStep<Side, -1>(out, s, hist);
  KingStep<Side, 1>(out, s, hist);
}

// Chariots, knights, cannons, pawns, elephants, advisers, king.
template <uint32_t Side>
MoveEntry* GenerateAllFor(MoveEntry* out) {
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
  Elephant<Side, b + 4>(out);
  Elephant<Side, b + 5>(out);
  Adviser<Side, b + 2>(out);
  Adviser<Side, b + 3>(out);
  King<Side>(out);
  return out;
}

}  // namespace

void GenerateAllMoves() {
  MovePicker& r = movePickers[historyPly];
  MoveEntry* const first = r.entries;
  MoveEntry* const end = sideToMove == kRed ? GenerateAllFor<kRed>(first) : GenerateAllFor<kBlack>(first);
  r.count = static_cast<int32_t>(end - first);
}
