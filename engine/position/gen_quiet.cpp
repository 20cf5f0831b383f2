// Quiet-move generator of the staged pickers: every pseudo-legal move of the
// side to move onto an empty square, scored by its history value, written
// into the picker record of the current ply.
//
// Written out per side and per piece index through forced-inline templates;
// chariots and cannons walk their rays square by square, since every empty
// square of a ray is a move. The emitted order is fixed: the sort of the
// picker does not keep it among equal scores, so it decides which of them the
// search tries first.
#include "engine/position/position.h"
#include "engine/search/search_tables.h"

namespace {

#define GEN_INLINE [[gnu::always_inline]] inline

// A chariot or cannon reaches at most 17 empty squares, a knight 8, a pawn 3,
// an elephant, an adviser and the king 4 each.
constexpr int kMostEntries = 2 * 17 + 2 * 8 + 2 * 17 + 5 * 3 + 2 * 4 + 2 * 4 + 4;
static_assert(kMostEntries <= kMaxPickerEntries, "picker record too small for the quiet moves");

// Rank steps keep the low nibble within 2..11, file steps the high nibble
// within 0x20..0xA0.
template <int Step>
GEN_INLINE bool InPlay(Square t) {
  if constexpr (Step == 1) return (t & 15) <= 11;
  else if constexpr (Step == -1) return (t & 15) >= 2;
  else if constexpr (Step == 16) return (t & 0xF0) <= 0xA0;
  else return (t & 0xF0) >= 0x20;
}

GEN_INLINE const uint32_t* HistoryRow(PieceIndex piece, Square from) {
  return historyTable[colouredTypeOf[piece]] + 172 * from;
}

// Appends the move to `to` when that square is empty. Callers make sure `to`
// is a playing square (frame squares read as empty).
GEN_INLINE void AddQuiet(MoveEntry*& out, Move code, Square to, const uint32_t* hist) {
  if (board[to] == 0) *out++ = {code | to, static_cast<int32_t>(hist[to])};
}

template <int Step>
GEN_INLINE void Ray(MoveEntry*& out, Square from, const uint32_t* hist) {
  const Move code = from << 16;
  for (Square t = from + Step; InPlay<Step>(t) && board[t] == 0; t += Step) {
    *out++ = {code | t, static_cast<int32_t>(hist[t])};
  }
}

template <PieceIndex Piece>
GEN_INLINE void Chariot(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  Ray<1>(out, s, hist);
  Ray<-1>(out, s, hist);
  Ray<-16>(out, s, hist);
  Ray<16>(out, s, hist);
}

// A quiet cannon move never passes the screen: the same walk as the
// chariot's, with the file rays in the opposite order.
template <PieceIndex Piece>
GEN_INLINE void Cannon(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  Ray<1>(out, s, hist);
  Ray<-1>(out, s, hist);
  Ray<16>(out, s, hist);
  Ray<-16>(out, s, hist);
}

template <int Leg, int First, int Second>
GEN_INLINE void KnightLeg(MoveEntry*& out, Square from, const uint32_t* hist) {
  if (board[from + Leg] != 0) return;
  if (onBoard[from + First]) AddQuiet(out, from << 16, from + First, hist);
  if (onBoard[from + Second]) AddQuiet(out, from << 16, from + Second, hist);
}

// Each side starts with its forward leg and ends with its backward one.
template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Knight(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  if constexpr (Side == kRed) {
    KnightLeg<-1, -18, 14>(out, s, hist);
    KnightLeg<-16, -31, -33>(out, s, hist);
    KnightLeg<16, 31, 33>(out, s, hist);
    KnightLeg<1, 18, -14>(out, s, hist);
  } else {
    KnightLeg<1, 18, -14>(out, s, hist);
    KnightLeg<-16, -31, -33>(out, s, hist);
    KnightLeg<16, 31, 33>(out, s, hist);
    KnightLeg<-1, -18, 14>(out, s, hist);
  }
}

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Pawn(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  const Move code = s << 16;
  const Square rankNibble = s & 15;    // rank + 2
  const Square fileNibble = s & 0xF0;  // 16 * (file + 2)
  constexpr int kForward = Side == kRed ? -1 : 1;
  const bool crossed = Side == kRed ? rankNibble <= 6 : rankNibble >= 7;
  if (!crossed) {
    AddQuiet(out, code, s + kForward, hist);
    return;
  }
  if (fileNibble < 0xA0) AddQuiet(out, code, s + 16, hist);
  if (fileNibble > 0x20) AddQuiet(out, code, s - 16, hist);
  const bool farRank = Side == kRed ? rankNibble == 2 : rankNibble == 11;
  if (!farRank) AddQuiet(out, code, s + kForward, hist);
}

template <uint32_t Side, int Eye>
GEN_INLINE void ElephantStep(MoveEntry*& out, Square from, const uint32_t* hist) {
  constexpr const auto& kPoints = Side == kRed ? redElephantSquare : blackElephantSquare;
  if (kPoints[from + 2 * Eye] && board[from + Eye] == 0) AddQuiet(out, from << 16, from + 2 * Eye, hist);
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

template <uint32_t Side, PieceIndex Piece>
GEN_INLINE void Adviser(MoveEntry*& out) {
  const Square s = posPiece[Piece];
  if (s == 0) return;
  const uint32_t* hist = HistoryRow(Piece, s);
  const Move code = s << 16;
  constexpr Square kCentre = Side == kRed ? kRedPalaceCentre : kBlackPalaceCentre;
  if (s != kCentre) {
    AddQuiet(out, code, kCentre, hist);
  } else if constexpr (Side == kRed) {
    AddQuiet(out, code, s + 17, hist);
    AddQuiet(out, code, s - 15, hist);
    AddQuiet(out, code, s - 17, hist);
    AddQuiet(out, code, s + 15, hist);
  } else {
    AddQuiet(out, code, s + 15, hist);
    AddQuiet(out, code, s - 17, hist);
    AddQuiet(out, code, s + 17, hist);
    AddQuiet(out, code, s - 15, hist);
  }
}

template <uint32_t Side, int Step>
GEN_INLINE void KingStep(MoveEntry*& out, Square from, const uint32_t* hist) {
  constexpr const auto& kPalace = Side == kRed ? redPalace : blackPalace;
  if (kPalace[from + Step]) AddQuiet(out, from << 16, from + Step, hist);
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
MoveEntry* GenerateQuietFor(MoveEntry* out) {
  constexpr PieceIndex b = Side == kRed ? 0 : 16;
  Chariot<b + 8>(out);
  Chariot<b + 9>(out);
  Knight<Side, b + 6>(out);
  Knight<Side, b + 7>(out);
  Cannon<b + 10>(out);
  Cannon<b + 11>(out);
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

void GenerateQuietMoves() {
  MovePicker& r = movePickers[historyPly];
  MoveEntry* const first = r.entries;
  MoveEntry* const end = sideToMove == kRed ? GenerateQuietFor<kRed>(first) : GenerateQuietFor<kBlack>(first);
  r.count = static_cast<int32_t>(end - first);
}
