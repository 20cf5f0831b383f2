// Endings in which one side's only attacking piece is one cannon or one
// knight: a cannon against a knight with pawns, a lone minor piece against
// pawns, a knight against two knights, a cannon against two cannons, and a
// knight with pawns against a side without advisers.
//
// Each rule is written once from the point of view of one side S (named in
// each routine): squares are (file, rank) with rank 9 S's back rank and rank
// 0 the other side's. For black as S the board is read upside down (rank r
// becomes 9 - r), which makes the red and black evaluators exact mirrors.
#include "engine/eval/endgame.h"
#include "engine/eval/endgame_view.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace {

constexpr PieceIndex kFirstRedCannon = 10;
constexpr PieceIndex kFirstRedPawn = 12;

// S holds a lone cannon without advisers and pawns; the other side has a
// knight and pawns.
template <uint32_t S>
void CannonVsKnightPawns(EndgameVerdict* v) {
  using V = EndgameView<S>;
  constexpr uint32_t O = V::kOther;
  ClearVerdict(v);
  const int32_t c = V::UsefulPawns(O, 1);
  if (c <= 0) {
    SetCannotLoseVerdict(S, v);
    return;
  }
  if (c != 1 || V::Count(S, kElephant) != 0) return;
  // The single pawn still has S's king in front of it.
  const int kingRank = V::Rank(V::KingOf(S));
  const PieceIndex first = V::First(O, kFirstRedPawn);
  for (PieceIndex p = first; p < first + 5; ++p) {
    if (posPiece[p] != 0 && V::Rank(posPiece[p]) < kingRank) {
      SetWinsVerdict(O, 197500, v);
      return;
    }
  }
}

// L holds a lone cannon or knight without advisers and pawns; P has pawns
// (and a cannon against the cannon). The squares are read from P's side.
template <uint32_t P>
void LoneMinorVsPawns(EndgameVerdict* v) {
  using V = EndgameView<P>;
  constexpr uint32_t L = V::kOther;
  ClearVerdict(v);
  if (V::UsefulPawns(P, 1) < 2) {
    SetCannotLoseVerdict(L, v);
    return;
  }
  int32_t k = V::Count(P, kCannon) != 0 ? 23 : 24;
  if (FileOf(V::KingOf(P)) == 4) --k;
  if (V::Empty(4, 7)) --k;
  if (V::Empty(4, 8) && V::Empty(5, 7) && V::Empty(3, 7)) --k;
  SetWinsVerdict(P, 200000 - 500 * k, v);
}

// S holds a lone knight against two knights with pawns.
template <uint32_t S>
void KnightVsTwoKnights(EndgameVerdict* v) {
  using V = EndgameView<S>;
  ClearVerdict(v);
  if (V::Count(S, kAdviser) != 0 || V::Count(S, kElephant) != 0) return;
  SetWinsVerdict(V::kOther, 188000, v);
}

// L holds a lone cannon against T's two cannons, neither side with pawns.
// The squares are read from T's side: rank 0 is L's back rank.
template <uint32_t T>
void CannonVsTwoCannons(EndgameVerdict* v) {
  using V = EndgameView<T>;
  constexpr uint32_t L = V::kOther;
  ClearVerdict(v);
  // L's king on its palace file in front of its own cannon on the back
  // rank, with no enemy cannon on that file to use the screen.
  if (V::Count(T, kAdviser) == 0) {
    const PieceIndex firstT = V::First(T, kFirstRedCannon);
    for (int file = 5; file >= 3; --file) {
      if (!V::KingOn(L, file, 2) && !V::KingOn(L, file, 1)) continue;
      if (!V::Holds(L, kCannon, file, 0)) continue;
      bool enemyOnFile = false;
      for (PieceIndex c = firstT; c < firstT + 2; ++c)
        if (posPiece[c] != 0 && FileOf(posPiece[c]) == file) enemyOnFile = true;
      if (!enemyOnFile) {
        SetCannotLoseVerdict(L, v);
        return;
      }
    }
  }
  // Drawishness v: 12 and above is a plain damped draw; every step below
  // hands 100 back to the evaluation.
  int32_t drawishness = 12;
  if (V::KingOn(T, 4, 7))
    drawishness = 10;
  else if (V::KingOn(T, 4, 8) && V::Empty(4, 7))
    drawishness = 11;
  const PieceIndex firstT = V::First(T, kFirstRedCannon);
  int homeRanks[2] = {0, 0};
  int home = 0;
  for (PieceIndex c = firstT; c < firstT + 2; ++c) {
    const Square s = posPiece[c];
    if (s == 0) continue;
    const int file = FileOf(s);
    const int rank = V::Rank(s);
    if (file >= 3 && file <= 5 && rank >= 8) homeRanks[home++] = rank;
  }
  drawishness -= home;
  if (home == 2 && homeRanks[0] != homeRanks[1]) --drawishness;
  if (V::Rank(V::KingOf(L)) != 0) {
    const PieceIndex firstL = V::First(L, kFirstRedCannon);
    for (PieceIndex c = firstL; c < firstL + 2; ++c) {
      if (posPiece[c] != 0 && V::Rank(posPiece[c]) == 0) {
        ++drawishness;
        break;
      }
    }
  }
  v->flag = kVerdictDrawish;
  v->score = drawishness >= 12 ? 0 : 1300 - 100 * drawishness;
}

}  // namespace

void EvalCannonVsKnightPawnsRed(EndgameVerdict* verdict) { CannonVsKnightPawns<kRed>(verdict); }
void EvalCannonVsKnightPawnsBlack(EndgameVerdict* verdict) { CannonVsKnightPawns<kBlack>(verdict); }
// Red holds the lone piece, so black's pawns are measured.
void EvalLoneMinorVsPawnsRed(EndgameVerdict* verdict) { LoneMinorVsPawns<kBlack>(verdict); }
void EvalLoneMinorVsPawnsBlack(EndgameVerdict* verdict) { LoneMinorVsPawns<kRed>(verdict); }
void EvalKnightVsTwoKnightsRed(EndgameVerdict* verdict) { KnightVsTwoKnights<kRed>(verdict); }
void EvalKnightVsTwoKnightsBlack(EndgameVerdict* verdict) { KnightVsTwoKnights<kBlack>(verdict); }
// Black holds the lone cannon, so the squares are read from red's side.
void EvalCannonVsTwoCannonsBlack(EndgameVerdict* verdict) { CannonVsTwoCannons<kRed>(verdict); }
void EvalCannonVsTwoCannonsRed(EndgameVerdict* verdict) { CannonVsTwoCannons<kBlack>(verdict); }

// A knight with pawns against a side without attackers and advisers: the
// knight wins unless the enemy keeps more useful pawns than red has
// advisers to stop them.
void EvalKnightPawnsVsNoAdvisersRed(EndgameVerdict* verdict) {
  ClearVerdict(verdict);
  const int32_t c = CountUsefulPawnsBlack(1);
  if (c > static_cast<int32_t>(pieceCount[kRed][kAdviser - 1])) return;
  const bool pawnInCentre = typeBoard[MakeSquare(4, 1)] == kPawn;
  const Square blackKing = *blackKingSquarePtr;
  const bool kingInCorner = blackKing == MakeSquare(3, 0) || blackKing == MakeSquare(5, 0);
  SetRedWinsVerdict(pawnInCentre && kingInCorner ? 195500 : 195000, verdict);
}
