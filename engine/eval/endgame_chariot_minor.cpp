// A chariot against a side whose only attacking piece is one cannon or one
// knight: a known win for the chariot graded by the defender's remaining
// advisers and elephants, or a fortress in which the defender cannot lose.
//
// Each rule is written once for the chariot side A, from A's point of view:
// squares are (file, rank) with rank 0 the defender's back rank and rank 9
// A's own. For black as A the board is read upside down (rank r becomes
// 9 - r), which makes the red and black evaluators exact mirrors.
#include "engine/eval/endgame.h"
#include "engine/eval/endgame_view.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace {

template <uint32_t A>
struct View : EndgameView<A> {
  static constexpr uint32_t kDefender = A ^ 1u;
  // A piece of the defender on the square.
  static bool DefenderPieceOn(int file, int rank) {
    const int piece = board[EndgameView<A>::At(file, rank)];
    return kDefender == kRed ? piece >= 1 && piece <= 16 : piece >= 17;
  }
};

constexpr PieceIndex kFirstRedKnight = 6;
constexpr PieceIndex kFirstRedCannon = 10;

// Win values of a chariot against a lone knight without pawns, by the
// defender's advisers (rows) and elephants (columns 2, 1, 0).
constexpr int32_t kChariotVsKnightWin[3][3] = {
    {196500, 197000, 197500},
    {195000, 195500, 196000},
    {192000, 193000, 194000},
};

template <uint32_t A>
void ChariotVsCannon(EndgameVerdict* v) {
  using V = View<A>;
  constexpr uint32_t D = V::kDefender;
  ClearVerdict(v);
  if (V::Count(D, kPawn) != 0) return;
  const uint32_t advisers = V::Count(D, kAdviser);
  const uint32_t elephants = V::Count(D, kElephant);
  const int32_t cannonPenalty = V::Count(D, kCannon) != 0 ? 500 : 0;
  if (advisers == 0 && elephants <= 1) {
    SetWinsVerdict(A, 199500 - 500 * static_cast<int32_t>(elephants) - cannonPenalty, v);
    return;
  }
  if (advisers == 1 && elephants == 0) {
    SetWinsVerdict(A, 199000 - cannonPenalty, v);
    return;
  }
  // Both advisers with one in the palace centre, and the king or the cannon
  // covering the corner the other adviser leaves open.
  if (attackerCount[A] != 1 || V::Count(A, kPawn) != 0 || advisers != 2 ||
      !V::Holds(D, kAdviser, 4, 1))
    return;
  if (V::Holds(D, kAdviser, 5, 0) && (V::Holds(D, kCannon, 3, 2) || V::KingOn(D, 4, 0) ||
                                      V::KingOn(D, 3, 0) || V::KingOn(D, 3, 1))) {
    SetCannotLoseVerdict(D, v);
    return;
  }
  if (V::Holds(D, kAdviser, 3, 0) && (V::Holds(D, kCannon, 5, 2) || V::KingOn(D, 4, 0) ||
                                      V::KingOn(D, 5, 0) || V::KingOn(D, 5, 1)))
    SetCannotLoseVerdict(D, v);
}

template <uint32_t A>
void ChariotVsKnight(EndgameVerdict* v) {
  using V = View<A>;
  constexpr uint32_t D = V::kDefender;
  ClearVerdict(v);
  if (V::Count(D, kPawn) != 0) return;
  // A bare chariot against the knight in front of both home advisers.
  if (V::Count(A, kPawn) == 0 && V::Count(A, kCannon) == 0 && V::Count(A, kKnight) == 0 &&
      attackerCount[A] == 1 && V::Holds(D, kAdviser, 3, 0) && V::Holds(D, kAdviser, 5, 0) &&
      V::KingOn(D, 4, 0)) {
    const PieceIndex knight = V::FirstLive(D, kFirstRedKnight);
    if (knight != 0 && V::Rank(posPiece[knight]) <= 4) {
      const PieceIndex first = V::First(D, kFirstRedKnight);
      for (PieceIndex k = first; k < first + 2; ++k) {
        if (posPiece[k] != 0 && FileOf(posPiece[k]) != 4) {
          SetCannotLoseVerdict(D, v);
          return;
        }
      }
    }
  }
  const uint32_t elephants = V::Count(D, kElephant);
  if (elephants != 0 && V::Count(A, kCannon) == 0 && V::Count(A, kKnight) == 0 &&
      V::Count(A, kChariot) != 2)
    return;
  const uint32_t advisers = V::Count(D, kAdviser);
  if (advisers > 2 || elephants > 2) return;
  SetWinsVerdict(A, kChariotVsKnightWin[advisers][2 - elephants], v);
}

// A lone chariot against a cannon with both elephants: the elephants hold
// while the centre elephant and one home elephant stand connected.
template <uint32_t A>
void ChariotVsCannonElephants(EndgameVerdict* v) {
  using V = View<A>;
  constexpr uint32_t D = V::kDefender;
  ClearVerdict(v);
  if (!V::Holds(D, kElephant, 4, 2)) return;
  const bool rightWing = V::Holds(D, kElephant, 6, 0) && !V::DefenderPieceOn(5, 1);
  const bool leftWing = V::Holds(D, kElephant, 2, 0) && !V::DefenderPieceOn(3, 1);
  if (!rightWing && !leftWing) return;
  const PieceIndex cannon = V::FirstLive(D, kFirstRedCannon);
  if (cannon == 0) return;
  const int rank = V::Rank(posPiece[cannon]);
  if (rank >= 2 && rank <= 7) SetCannotLoseVerdict(D, v);
}

// A lone chariot against a knight with both elephants and one adviser.
template <uint32_t A>
void ChariotVsKnightElephants(EndgameVerdict* v) {
  using V = View<A>;
  constexpr uint32_t D = V::kDefender;
  ClearVerdict(v);
  if (!V::Holds(D, kElephant, 4, 2)) return;
  const bool kingOnBackRank = V::KingOn(D, 5, 0) || V::KingOn(D, 4, 0) || V::KingOn(D, 3, 0);
  const int chariotKingFile = FileOf(V::KingOf(A));
  // Knight guarding the centre elephant from the right, elephant home left.
  if (V::Holds(D, kAdviser, 4, 1) && (V::Holds(D, kKnight, 6, 0) || V::Holds(D, kKnight, 5, 2)) &&
      V::Holds(D, kElephant, 2, 0) && kingOnBackRank) {
    SetCannotLoseVerdict(D, v);
    return;
  }
  if (V::Holds(D, kAdviser, 4, 1) && (V::Holds(D, kKnight, 2, 0) || V::Holds(D, kKnight, 3, 2)) &&
      V::Holds(D, kElephant, 6, 0) && kingOnBackRank) {
    SetCannotLoseVerdict(D, v);
    return;
  }
  // Knight on the elephant's forward point, or one rank further out with a
  // pawn in front of it on the edge file.
  if ((V::Holds(D, kKnight, 6, 4) || (V::Holds(D, kKnight, 8, 5) && V::Holds(D, kPawn, 8, 4))) &&
      V::Holds(D, kElephant, 2, 0) &&
      (V::Holds(D, kAdviser, 4, 1) || V::Holds(D, kAdviser, 5, 0)) &&
      (V::KingOn(D, 4, 0) || V::KingOn(D, 3, 0)) && chariotKingFile != 5) {
    SetCannotLoseVerdict(D, v);
    return;
  }
  if ((V::Holds(D, kKnight, 2, 4) || (V::Holds(D, kKnight, 0, 5) && V::Holds(D, kPawn, 0, 4))) &&
      V::Holds(D, kElephant, 6, 0) &&
      (V::Holds(D, kAdviser, 4, 1) || V::Holds(D, kAdviser, 3, 0)) &&
      (V::KingOn(D, 4, 0) || V::KingOn(D, 5, 0)) && chariotKingFile != 3)
    SetCannotLoseVerdict(D, v);
}

}  // namespace

void EvalChariotVsCannonRed(EndgameVerdict* verdict) { ChariotVsCannon<kRed>(verdict); }
void EvalChariotVsCannonBlack(EndgameVerdict* verdict) { ChariotVsCannon<kBlack>(verdict); }
void EvalChariotVsKnightRed(EndgameVerdict* verdict) { ChariotVsKnight<kRed>(verdict); }
void EvalChariotVsKnightBlack(EndgameVerdict* verdict) { ChariotVsKnight<kBlack>(verdict); }
void EvalChariotVsCannonElephantsRed(EndgameVerdict* verdict) {
  ChariotVsCannonElephants<kRed>(verdict);
}
void EvalChariotVsCannonElephantsBlack(EndgameVerdict* verdict) {
  ChariotVsCannonElephants<kBlack>(verdict);
}
void EvalChariotVsKnightElephantsRed(EndgameVerdict* verdict) {
  ChariotVsKnightElephants<kRed>(verdict);
}
void EvalChariotVsKnightElephantsBlack(EndgameVerdict* verdict) {
  ChariotVsKnightElephants<kBlack>(verdict);
}
