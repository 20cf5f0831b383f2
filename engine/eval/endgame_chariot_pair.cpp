// Fortresses of a side with a single chariot: a lone chariot with its full
// defence against two chariots, and a lone chariot that ties down the
// opponent's second piece. These evaluators never declare a win; without a
// fortress they leave flag None and the ordinary evaluation decides.
//
// Each rule is written once from the point of view of one side S (named in
// each routine): squares are (file, rank) with rank 9 S's back rank. For
// black as S the board is read upside down (rank r becomes 9 - r), which
// makes the red and black evaluators exact mirrors.

#include "engine/eval/endgame.h"
#include "engine/eval/endgame_view.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace {

constexpr PieceIndex kFirstRedChariot = 8;
constexpr PieceIndex kFirstRedCannon = 10;

template <uint32_t S>
struct View : EndgameView<S> {
  // Some chariot of the side reaches the square along a clear line.
  static bool ChariotReaches(uint32_t side, Square square) {
    const PieceIndex first = EndgameView<S>::First(side, kFirstRedChariot);
    return ChariotAttacksSquare(first, square) != 0 || ChariotAttacksSquare(first + 1, square) != 0;
  }
};

constexpr uint32_t kExcludeNothing = 0;

// S defends with one chariot, both advisers and both elephants against two
// chariots: the king at home and the centre elephant connected to a home
// elephant, with the chariot covering the elephant's eye or both elephant
// squares safe.
template <uint32_t S>
void ChariotVsTwoChariots(EndgameVerdict* v) {
  using V = View<S>;
  constexpr uint32_t O = V::kOther;
  ClearVerdict(v);
  if (!V::KingOn(S, 4, 9) || !V::Holds(S, kElephant, 4, 7)) return;
  // Safe: no enemy knight, chariot or cannon on it, or defended by S.
  auto safe = [](int file, int rank) {
    const Square s = V::At(file, rank);
    const uint32_t enemy = O == kRed ? RedStrongAttackerOf(s) : BlackStrongAttackerOf(s);
    if (enemy == 0) return true;
    return (S == kRed ? RedAttackerOf(s, kExcludeNothing) : BlackAttackerOf(s, kExcludeNothing)) !=
           0;
  };
  if (V::Holds(S, kElephant, 6, 9) &&
      (V::ChariotReaches(S, V::At(5, 8)) || (safe(6, 9) && safe(4, 7)))) {
    SetCannotLoseVerdict(S, v);
    return;
  }
  if (V::Holds(S, kElephant, 2, 9) &&
      (V::ChariotReaches(S, V::At(3, 8)) || (safe(2, 9) && safe(4, 7))))
    SetCannotLoseVerdict(S, v);
}

// S attacks with a chariot and a cannon against a lone chariot: S's cannon
// and chariot stuck together on the enemy back rank on one wing, the cannon
// attacked and only held by the chariot, the enemy advisers closing that
// wing.
template <uint32_t S>
void ChariotCannonVsChariot(EndgameVerdict* v) {
  using V = View<S>;
  constexpr uint32_t O = V::kOther;
  ClearVerdict(v);
  const PieceIndex cannon = V::FirstLive(S, kFirstRedCannon);
  const PieceIndex chariot = V::FirstLive(S, kFirstRedChariot);
  if (cannon == 0 || chariot == 0) return;
  const Square cannonSquare = posPiece[cannon];
  const Square chariotSquare = posPiece[chariot];
  if (V::Rank(cannonSquare) != 0 || V::Rank(chariotSquare) != 0) return;
  if (!V::ChariotReaches(O, cannonSquare) || ChariotAttacksSquare(chariot, cannonSquare) == 0)
    return;
  const uint8_t wing = fileSide[cannonSquare];
  if (fileSide[chariotSquare] != wing || !V::Holds(O, kAdviser, 4, 1)) return;
  if ((wing == 1 && V::Holds(O, kAdviser, 5, 0)) || (wing == 2 && V::Holds(O, kAdviser, 3, 0)))
    SetCannotLoseVerdict(O, v);
}

// S attacks with a chariot and a knight against a lone chariot: the knight
// pinned on S's palace centre by the enemy chariot on the centre file.
template <uint32_t S>
void ChariotKnightVsChariot(EndgameVerdict* v) {
  using V = View<S>;
  constexpr uint32_t O = V::kOther;
  ClearVerdict(v);
  if (!V::KingOn(S, 4, 9) || !V::Holds(S, kKnight, 4, 8) || !V::Holds(S, kAdviser, 3, 9) ||
      !V::Holds(S, kAdviser, 5, 9) || pieceCount[S][kElephant - 1] != 0)
    return;
  const PieceIndex chariot = V::FirstLive(O, kFirstRedChariot);
  if (chariot == 0 || FileOf(posPiece[chariot]) != 4) return;
  if (ChariotAttacksSquare(chariot, V::At(4, 8)) != 0) SetCannotLoseVerdict(O, v);
}

}  // namespace

void EvalChariotVsTwoChariotsRed(EndgameVerdict* verdict) { ChariotVsTwoChariots<kRed>(verdict); }
void EvalChariotVsTwoChariotsBlack(EndgameVerdict* verdict) {
  ChariotVsTwoChariots<kBlack>(verdict);
}
void EvalChariotCannonVsChariotRed(EndgameVerdict* verdict) {
  ChariotCannonVsChariot<kRed>(verdict);
}
void EvalChariotCannonVsChariotBlack(EndgameVerdict* verdict) {
  ChariotCannonVsChariot<kBlack>(verdict);
}
void EvalChariotKnightVsChariotRed(EndgameVerdict* verdict) {
  ChariotKnightVsChariot<kRed>(verdict);
}
void EvalChariotKnightVsChariotBlack(EndgameVerdict* verdict) {
  ChariotKnightVsChariot<kBlack>(verdict);
}
