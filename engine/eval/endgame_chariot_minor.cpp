// A chariot against a side whose only attacking piece is one cannon or one
// knight: a known win for the chariot graded by the defender's remaining
// advisers and elephants, or a fortress in which the defender cannot lose.
//
// Each rule is written once for the chariot side A, from A's point of view:
// squares are (file, rank) with rank 0 the defender's back rank and rank 9
// A's own. For black as A the board is read upside down (rank r becomes
// 9 - r), which makes the red and black evaluators exact mirrors.
#include "engine/eval/endgame.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace {

constexpr uint32_t kBlackTypeOffset = 7;  // coloured type of black = red + 7

template <uint32_t A>
struct View {
  static constexpr uint32_t kDefender = A ^ 1u;

  static Square At(int file, int rank) { return MakeSquare(file, A == kRed ? rank : 9 - rank); }
  static int Rank(Square s) { return A == kRed ? RankOf(s) : 9 - RankOf(s); }
  static bool Holds(uint32_t side, uint32_t type, int file, int rank) {
    return typeBoard[At(file, rank)] == type + (side == kBlack ? kBlackTypeOffset : 0);
  }
  // A piece of the defender on the square.
  static bool DefenderPieceOn(int file, int rank) {
    const int piece = board[At(file, rank)];
    return kDefender == kRed ? piece >= 1 && piece <= 16 : piece >= 17;
  }
  static bool DefenderKingOn(int file, int rank) {
    return *(kDefender == kRed ? redKingSquarePtr : blackKingSquarePtr) == At(file, rank);
  }
  static uint32_t Count(uint32_t side, uint32_t type) { return pieceCount[side][type - 1]; }
  // The first piece of the defender's pair of this kind still on the board.
  static PieceIndex FirstDefenderPiece(PieceIndex redFirst) {
    const PieceIndex first = redFirst + (kDefender == kBlack ? 16 : 0);
    if (posPiece[first] != 0) return first;
    return posPiece[first + 1] != 0 ? first + 1 : 0;
  }

  static void ChariotSideWins(int32_t x, EndgameVerdict* v) {
    if (A == kRed)
      SetRedWinsVerdict(x, v);
    else
      SetBlackWinsVerdict(x, v);
  }
  static void DefenderCannotLose(EndgameVerdict* v) {
    if (kDefender == kRed)
      SetRedCannotLoseVerdict(v);
    else
      SetBlackCannotLoseVerdict(v);
  }
};

void NoKnowledge(EndgameVerdict* v) {
  v->score = 0;
  v->flag = kVerdictNone;
}

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
  NoKnowledge(v);
  if (V::Count(D, kPawn) != 0) return;
  const uint32_t advisers = V::Count(D, kAdviser);
  const uint32_t elephants = V::Count(D, kElephant);
  const int32_t cannonPenalty = V::Count(D, kCannon) != 0 ? 500 : 0;
  if (advisers == 0 && elephants <= 1) {
    V::ChariotSideWins(199500 - 500 * static_cast<int32_t>(elephants) - cannonPenalty, v);
    return;
  }
  if (advisers == 1 && elephants == 0) {
    V::ChariotSideWins(199000 - cannonPenalty, v);
    return;
  }
  // Both advisers with one in the palace centre, and the king or the cannon
  // covering the corner the other adviser leaves open.
  if (attackerCount[A] != 1 || V::Count(A, kPawn) != 0 || advisers != 2 ||
      !V::Holds(D, kAdviser, 4, 1))
    return;
  if (V::Holds(D, kAdviser, 5, 0) && (V::Holds(D, kCannon, 3, 2) || V::DefenderKingOn(4, 0) ||
                                      V::DefenderKingOn(3, 0) || V::DefenderKingOn(3, 1))) {
    V::DefenderCannotLose(v);
    return;
  }
  if (V::Holds(D, kAdviser, 3, 0) && (V::Holds(D, kCannon, 5, 2) || V::DefenderKingOn(4, 0) ||
                                      V::DefenderKingOn(5, 0) || V::DefenderKingOn(5, 1)))
    V::DefenderCannotLose(v);
}

template <uint32_t A>
void ChariotVsKnight(EndgameVerdict* v) {
  using V = View<A>;
  constexpr uint32_t D = V::kDefender;
  NoKnowledge(v);
  if (V::Count(D, kPawn) != 0) return;
  // A bare chariot against the knight in front of both home advisers.
  if (V::Count(A, kPawn) == 0 && V::Count(A, kCannon) == 0 && V::Count(A, kKnight) == 0 &&
      attackerCount[A] == 1 && V::Holds(D, kAdviser, 3, 0) && V::Holds(D, kAdviser, 5, 0) &&
      V::DefenderKingOn(4, 0)) {
    const PieceIndex knight = V::FirstDefenderPiece(kFirstRedKnight);
    if (knight != 0 && V::Rank(posPiece[knight]) <= 4) {
      const PieceIndex first = kFirstRedKnight + (D == kBlack ? 16 : 0);
      for (PieceIndex k = first; k < first + 2; ++k) {
        if (posPiece[k] != 0 && FileOf(posPiece[k]) != 4) {
          V::DefenderCannotLose(v);
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
  V::ChariotSideWins(kChariotVsKnightWin[advisers][2 - elephants], v);
}

// A lone chariot against a cannon with both elephants: the elephants hold
// while the centre elephant and one home elephant stand connected.
template <uint32_t A>
void ChariotVsCannonElephants(EndgameVerdict* v) {
  using V = View<A>;
  constexpr uint32_t D = V::kDefender;
  NoKnowledge(v);
  if (!V::Holds(D, kElephant, 4, 2)) return;
  const bool rightWing = V::Holds(D, kElephant, 6, 0) && !V::DefenderPieceOn(5, 1);
  const bool leftWing = V::Holds(D, kElephant, 2, 0) && !V::DefenderPieceOn(3, 1);
  if (!rightWing && !leftWing) return;
  const PieceIndex cannon = V::FirstDefenderPiece(kFirstRedCannon);
  if (cannon == 0) return;
  const int rank = V::Rank(posPiece[cannon]);
  if (rank >= 2 && rank <= 7) V::DefenderCannotLose(v);
}

// A lone chariot against a knight with both elephants and one adviser.
template <uint32_t A>
void ChariotVsKnightElephants(EndgameVerdict* v) {
  using V = View<A>;
  constexpr uint32_t D = V::kDefender;
  NoKnowledge(v);
  if (!V::Holds(D, kElephant, 4, 2)) return;
  const bool kingOnBackRank =
      V::DefenderKingOn(5, 0) || V::DefenderKingOn(4, 0) || V::DefenderKingOn(3, 0);
  const int chariotKingFile = FileOf(*(A == kRed ? redKingSquarePtr : blackKingSquarePtr));
  // Knight guarding the centre elephant from the right, elephant home left.
  if (V::Holds(D, kAdviser, 4, 1) && (V::Holds(D, kKnight, 6, 0) || V::Holds(D, kKnight, 5, 2)) &&
      V::Holds(D, kElephant, 2, 0) && kingOnBackRank) {
    V::DefenderCannotLose(v);
    return;
  }
  if (V::Holds(D, kAdviser, 4, 1) && (V::Holds(D, kKnight, 2, 0) || V::Holds(D, kKnight, 3, 2)) &&
      V::Holds(D, kElephant, 6, 0) && kingOnBackRank) {
    V::DefenderCannotLose(v);
    return;
  }
  // Knight on the elephant's forward point, or one rank further out with a
  // pawn in front of it on the edge file.
  if ((V::Holds(D, kKnight, 6, 4) || (V::Holds(D, kKnight, 8, 5) && V::Holds(D, kPawn, 8, 4))) &&
      V::Holds(D, kElephant, 2, 0) &&
      (V::Holds(D, kAdviser, 4, 1) || V::Holds(D, kAdviser, 5, 0)) &&
      (V::DefenderKingOn(4, 0) || V::DefenderKingOn(3, 0)) && chariotKingFile != 5) {
    V::DefenderCannotLose(v);
    return;
  }
  if ((V::Holds(D, kKnight, 2, 4) || (V::Holds(D, kKnight, 0, 5) && V::Holds(D, kPawn, 0, 4))) &&
      V::Holds(D, kElephant, 6, 0) &&
      (V::Holds(D, kAdviser, 4, 1) || V::Holds(D, kAdviser, 3, 0)) &&
      (V::DefenderKingOn(4, 0) || V::DefenderKingOn(5, 0)) && chariotKingFile != 3)
    V::DefenderCannotLose(v);
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
