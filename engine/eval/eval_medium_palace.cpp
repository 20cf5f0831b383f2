// The medium evaluator's palace-attack rules about the defender's own
// pieces: defending knights and chariots hemmed in, and defending knights
// and pawns crowding the palace. They are the full evaluator's groups 0 and
// 2 (palace_attack_groups_defenders.cpp) with a few bonuses graded by who
// controls a nearby square instead of flat amounts, and the defending
// chariots' mobility counted on their first five ranks only. Squares are
// named as red attacking the black palace sees them (palace_attack_groups.h).
#include <cstdint>

#include "engine/eval/eval_medium.h"
#include "engine/eval/palace_attack_groups.h"

namespace medium_eval {

using palace_attack::Attack;
using palace_attack::WingFile;

namespace {

// Where black's rules are not the exact mirror of red's.
template <uint32_t kSide>
struct MediumTwin {
  // The edge square beside the attacker's knight and elephant: red scores
  // the counts unless a defending piece stands there; black scores them
  // only when its own piece stands there.
  static constexpr bool kEdgeCountsWhenEmpty = kSide == kRed;
  // A pawn-against-knight row on the left wing (files 1 to 3) that is
  // blocked: red 75, black 100 (the right wing gives 100 for both).
  static constexpr int32_t kLeftBlockedBonus = kSide == kRed ? 75 : 100;
};

template <uint32_t kSide>
int32_t OwnAttackCount(Square s) {
  return static_cast<int32_t>(kSide == kRed ? RedAttackCount(s) : BlackAttackCount(s));
}

// The attacker bears on s more often than the defender, and at all.
template <uint32_t kSide>
bool AttackerWins(Square s) {
  const int32_t own = OwnAttackCount<kSide>(s);
  return own != 0 && own > Attack<kSide>::DefAttackCount(s);
}

// The attacker's knight beside its own elephant, graded by the edge square
// two files further out.
template <uint32_t kSide>
int32_t GradedEdgeSquare(Square g) {
  using P = Attack<kSide>;
  const bool graded =
      MediumTwin<kSide>::kEdgeCountsWhenEmpty ? !P::HoldsDefOn(g) : P::HoldsAttOn(g);
  if (!graded) return 75;
  return AttackerWins<kSide>(g) ? 100 : 50;
}

// One pawn-against-knight row: blocked rows score a fixed amount, the
// others by who controls the square c in front of the pawn.
template <uint32_t kSide>
int32_t GradedPawnRow(bool blocked, int32_t blockedBonus, Square c, int32_t wonBonus) {
  if (blocked) return blockedBonus;
  return AttackerWins<kSide>(c) ? wonBonus : 100;
}

}  // namespace

template <uint32_t kSide>
void HemmedDefendersGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);

  // A defending knight that crossed the river stuck beside an attacking
  // elephant; with the attacker's knight beside the elephant the bonus
  // depends on the edge square two files further out.
  if (P::DefCount(kKnight) > 0 && P::AttCount(kElephant) > 0) {
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::IsDef(kKnight, f(7), 5) || !P::IsAtt(kElephant, f(6), 5)) continue;
      total += P::IsAtt(kKnight, f(5), 5) ? GradedEdgeSquare<kSide>(P::Sq(f(8), 3)) : 33;
      if (P::DefCount(kChariot) == 0) total += 50;
    }
  }

  // The defending elephants tied up in the central formation.
  if (P::DefCount(kElephant) == 2 && P::IsDef(kElephant, 4, 2)) {
    if ((P::Occupied(5, 1) && P::IsDef(kElephant, 6, 0)) ||
        (P::Occupied(3, 1) && P::IsDef(kElephant, 2, 0))) {
      const bool knightNear =
          P::ZoneKnights(s) != 0 && (P::IsAtt(kKnight, 6, 3) || P::IsAtt(kKnight, 2, 3) ||
                                     P::IsAtt(kKnight, 3, 4) || P::IsAtt(kKnight, 5, 4));
      total += knightNear ? 91 : 25;
    }
  }

  // A defending chariot stuck in its corner behind an attacking piece.
  if (P::AttCount(kChariot) > 0 && P::AttCount(kCannon) > 0 && P::DefCount(kChariot) > 0) {
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      const bool cornered = P::IsDef(kChariot, f(1), 0) || P::IsDef(kChariot, f(0), 0) ||
                            P::IsDef(kChariot, f(1), 1) || P::IsDef(kChariot, f(1), 2);
      if (!cornered || !P::HoldsAtt(f(1), 3)) continue;
      total += 33;
      if (P::IsAtt(kChariot, f(3), 3)) total += 25;
      if (P::IsAtt(kChariot, f(2), 3) && P::IsDef(kKnight, f(2), 2)) total += 33;
    }
  }

  // Defending chariot mobility on its own half and the river rank: pieces
  // right in front of it; and the central file, which always counts both
  // file-distance terms.
  for (const uint32_t piece : {P::DefPiece(8), P::DefPiece(9)}) {
    const Square c = posPiece[piece];
    if (c == 0) continue;
    if (P::Rank(c) <= 4) {
      if (P::OccupiedOn(P::TowardAttacker(c, 1))) total += 33;
      if (P::OccupiedOn(P::TowardAttacker(c, 2))) total += 25;
      if (P::OccupiedOn(P::TowardAttacker(c, 3))) total += 20;
    }
    if (fileSide[c] == 3) {
      if (wingZone[c + 16] != 0 || wingZone[c - 16] != 0) total += 33;
      if (wingZone[c + 32] != 0 || wingZone[c - 32] != 0) total += 25;
    }
    const int file = FileOf(c);
    if (file <= 1 && P::OccupiedOn(c + 16)) total += 20;
    if (file >= 7 && P::OccupiedOn(c - 16)) total += 20;
  }
}

template <uint32_t kSide>
void DefendingKnightsGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  using Twin = MediumTwin<kSide>;
  int32_t& total = P::Total(s);

  // Defending knights beside an occupied palace centre.
  if (P::DefCount(kKnight) > 0 && P::Occupied(4, 1)) {
    if (P::IsDef(kKnight, 5, 1)) total += 25;
    if (P::IsDef(kKnight, 3, 1)) total += 25;
  }

  // A defending knight in the back corner with its way out blocked.
  if (P::AttAttackers() > 0) {
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::IsDef(kKnight, f(7), 0) || !P::Occupied(f(7), 1)) continue;
      const Square front = P::Sq(f(7), 1);
      const Square side = P::Sq(f(6), 0);
      if (P::IsAttOn(kKnight, front) || P::IsAttOn(kCannon, front)) {
        if (!P::OccupiedOn(side)) {
          total += 33;
          continue;
        }
        if (P::IsDefOn(kElephant, side))
          total += P::IsDef(kElephant, 4, 2) ? 75 : 50;
        else
          total += 33;
        if (P::DefCount(kChariot) == 0) total += 50;
        if (P::AttCount(kCannon) > 0) total += 50;
      } else {
        total += P::IsAttOn(kPawn, front) ? 200 : 100;
      }
    }
  }

  // Attacking pawns against defending knights on the edges and in the
  // palace.
  if (P::AttCount(kPawn) > 0 && P::DefCount(kKnight) > 0) {
    if (P::IsDef(kAdviser, 4, 1)) {
      // A knight in a back corner or beside the palace centre, attacked by a
      // pawn: graded by whether the knight's escape is blocked and by who
      // controls the square in front of the pawn.
      const int32_t left = Twin::kLeftBlockedBonus;
      if (P::IsAtt(kPawn, 1, 2) && P::IsDef(kKnight, 1, 0))
        total +=
            GradedPawnRow<kSide>(P::Occupied(1, 1) || P::Occupied(2, 1), left, P::Sq(2, 3), 200);
      if (P::IsDef(kKnight, 3, 1) && (P::IsAtt(kPawn, 1, 1) || P::IsAtt(kPawn, 2, 2)))
        total += GradedPawnRow<kSide>(P::Occupied(2, 1) || P::Guarded(P::Sq(2, 1)), left,
                                      P::Sq(2, 3), 250);
      if (P::IsAtt(kPawn, 7, 2) && P::IsDef(kKnight, 7, 0))
        total +=
            GradedPawnRow<kSide>(P::Occupied(7, 1) || P::Occupied(6, 1), 100, P::Sq(6, 3), 200);
      if (P::IsDef(kKnight, 5, 1) && (P::IsAtt(kPawn, 7, 1) || P::IsAtt(kPawn, 6, 2)))
        total += GradedPawnRow<kSide>(P::Occupied(6, 1) || P::Guarded(P::Sq(6, 1)), 100,
                                      P::Sq(6, 3), 250);
    }
    // Edge files, file 8 first: a knight on the elephant square met by an
    // attacking pawn coming down the file, then a pawn beside the corner.
    for (int wing = 0; wing < 2; ++wing) {
      const int edge = wing == 0 ? 8 : 0;
      const int inner = wing == 0 ? 7 : 1;
      if (P::IsDef(kKnight, edge, 2) && !P::IsDef(kPawn, edge, 3) &&
          (P::IsAtt(kPawn, edge, 4) || (P::IsAtt(kPawn, edge, 5) && !P::IsDef(kPawn, edge, 4))))
        total += P::IsAtt(kChariot, inner, 3) ? 150 : 75;
      if (P::IsAtt(kPawn, edge, 3) && (P::IsDef(kKnight, inner, 0) || P::IsDef(kKnight, edge, 1)))
        total += 75;
    }
    if (P::IsDef(kKnight, 1, 0) && P::IsAtt(kPawn, 1, 2) && P::IsDef(kAdviser, 4, 1) &&
        P::IsDef(kAdviser, 3, 2))
      total += 150;
    if (P::IsDef(kKnight, 7, 0) && P::IsAtt(kPawn, 7, 2) && P::IsDef(kAdviser, 4, 1) &&
        P::IsDef(kAdviser, 5, 2))
      total += 150;
    if (P::IsDef(kKnight, 0, 2) && P::IsAtt(kPawn, 1, 2) && P::Occupied(0, 3) &&
        (P::Occupied(2, 0) || (P::Occupied(4, 1) && P::Occupied(3, 2))))
      total += 150;
    if (P::IsDef(kKnight, 8, 2) && P::IsAtt(kPawn, 7, 2) && P::Occupied(8, 3) &&
        (P::Occupied(6, 0) || (P::Occupied(4, 1) && P::Occupied(5, 2))))
      total += 150;
  }

  // A defending knight behind its own pawn, with an attacking knight ready
  // beside the pawn.
  if (P::AttCount(kKnight) > 0 && P::DefCount(kKnight) > 0) {
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::IsDef(kPawn, f(6), 3) || !P::IsDef(kKnight, f(6), 2)) continue;
      if (P::Empty(f(5), 3) && P::IsAtt(kKnight, f(5), 4)) total += 33;
      if (P::Empty(f(7), 3) && P::IsAtt(kKnight, f(7), 4)) total += 25;
    }
  }

  // A defending cannon on the edge file over its own pawn, with attacking
  // pawns coming down the file and beside it.
  if (P::DefCount(kCannon) > 0 && P::AttCount(kPawn) > 0) {
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::IsDef(kCannon, f(8), 4) || !P::IsDef(kPawn, f(8), 3) ||
          !(P::IsAtt(kPawn, f(8), 6) || P::IsAtt(kPawn, f(8), 5)))
        continue;
      if (P::IsAtt(kPawn, f(7), 4) || P::IsAtt(kChariot, f(7), 4)) total += 300;
      if (!P::Occupied(f(6), 4)) continue;
      if (P::IsAtt(kPawn, f(6), 4)) {
        total += P::AtMove(300, 100);
      } else {
        const Square beside = P::Sq(f(7), 4);
        if (P::AttStrongAttacks(beside) && !P::Guarded(beside))
          total += P::IsAtt(kPawn, f(8), 5) ? P::AtMove(300, 200) : 150;
      }
    }
  }
}

template void HemmedDefendersGroup<kRed>(FullEvalState&);
template void HemmedDefendersGroup<kBlack>(FullEvalState&);
template void DefendingKnightsGroup<kRed>(FullEvalState&);
template void DefendingKnightsGroup<kBlack>(FullEvalState&);

}  // namespace medium_eval
