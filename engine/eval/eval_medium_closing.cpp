// The medium evaluator's closing attack terms, the last group of its palace
// attack: the full evaluator's group (closing_attack.cpp) with the medium
// amounts of the two-chariot bonus (eval_medium_pressure.cpp), fixed target
// squares for a chariot dropping onto the back rank on the left wing, and
// without the thin-defence rules. Written once for both sides
// (back_rank_closing_view.h).
#include "engine/eval/back_rank_closing_view.h"
#include "engine/eval/eval_medium.h"

namespace {

using back_rank_closing::View;
using back_rank_closing::Wing;

// Where black's rules are not the exact mirror of red's.
template <uint32_t kSide>
struct ClosingTwin {
  // The knight beside the palace that sharpens the back-rank entry is the
  // defender's in red's attack and the attacker's own in black's.
  static constexpr bool kEntryKnightIsAttacker = kSide == kBlack;
};

// Both chariots on the outer files of the wing where the king has stepped.
template <uint32_t kSide, bool kLeft>
void SideFileChariots(FullEvalState& s) {
  using G = Wing<kSide, kLeft>;
  const Square c8 = G::AttSquare(8);
  const Square c9 = G::AttSquare(9);
  const auto outer = [](Square c) { return c != 0 && (kLeft ? FileOf(c) <= 2 : FileOf(c) >= 6); };
  if (!outer(c8) || !outer(c9)) return;
  int32_t& total = G::Total(s);
  total += 50;
  const bool near8 = G::WingZone(c8) == G::kNearZone;
  const bool near9 = G::WingZone(c9) == G::kNearZone;
  if (FileOf(c8) == FileOf(c9)) {
    total += near8 && near9 ? 200 : 100;
  } else {
    // From its own half a chariot bears through an open file to the corner.
    const auto bearsFromHome = [](uint32_t chariot, Square c) {
      return G::WingZone(c) == G::kFarZone &&
             (G::Reaches(chariot, G::At(7, 0)) || G::Reaches(chariot, G::At(8, 0)) ||
              G::Reaches(chariot, G::At(6, 0)));
    };
    if ((near8 && near9) || (near8 && bearsFromHome(9, c9)) || (near9 && bearsFromHome(8, c8))) {
      total += G::DefKing() == G::At(5, 1) ? 400 : 200;
      if (G::Rank(c8) == 1 || G::Rank(c9) == 1) total += 300;
      if (!G::DefOn(kElephant, G::At(4, 2)) && !G::DefOn(kElephant, G::At(8, 2))) total += 100;
    }
  }
  if (G::WingZone(G::AttSquare(10)) == G::kNearZone &&
      G::WingZone(G::AttSquare(11)) == G::kNearZone)
    total += 300;
}

template <uint32_t kSide>
void MaterialAndHomeSquare(FullEvalState& s) {
  using V = View<kSide>;
  int32_t& total = V::Total(s);
  if (V::AttCount(kChariot) == 2) {
    const int kingFile = FileOf(V::DefKing());
    if (kingFile == 5) SideFileChariots<kSide, false>(s);
    if (kingFile == 3) SideFileChariots<kSide, true>(s);
  }
  // A defending piece on the attacker's own king square.
  const Square home = V::Sq(4, 9);
  if (V::HoldsDef(home) && V::AttCount(kAdviser) == 2) {
    if (V::DefOn(kChariot, home)) total += 150;
    if (V::DefOn(kKnight, home)) total += 100;
  }
  // One chariot with both cannons on one wing.
  if (V::AttCount(kChariot) == 1 && V::AttCount(kCannon) == 2 && V::AttCount(kKnight) == 0) {
    const uint32_t a = V::WingZone(V::AttSquare(10));
    const uint32_t b = V::WingZone(V::AttSquare(11));
    if ((a == 1 && b == 1) || (a == 3 && b == 3)) total += 50;
  }
}

// Chariots on both second-rank adviser-file squares with the king at home.
template <uint32_t kSide>
void ChariotsOnAdviserFiles(FullEvalState& s) {
  using V = View<kSide>;
  if (V::AttCount(kChariot) != 2 || (V::AttAttackers() > 4 && V::DefAttackers() > 4)) return;
  if (V::DefKing() != V::Sq(4, 0)) return;
  if (!V::OnPalaceLines(V::AttSquare(8)) || !V::OnPalaceLines(V::AttSquare(9))) return;
  if (!V::AttOn(kChariot, V::Sq(3, 1)) || !V::AttOn(kChariot, V::Sq(5, 1))) return;
  int32_t& total = V::Total(s);
  if (V::DefCount(kAdviser) == 2) {
    for (const uint32_t adviser : {2u, 3u}) {
      const Square a = V::DefSquare(adviser);
      if (a == 0 || V::Guarded(a)) continue;
      if (V::AttAttackCount(a) > (a == V::Sq(4, 1) ? 2 : 1)) total += 150;
    }
    return;
  }
  const Square king = V::AttKing();
  if (!V::Reaches(8, king) && !V::Reaches(9, king)) {
    total += 200;
  } else if (V::Unattacked(V::Sq(5, 0)) || V::Unattacked(V::Sq(3, 0))) {
    total += V::AtMove(800, 300);
  } else {
    total += V::AtMove(300, 250);
  }
}

// The parts of the back-rank entry common to both wings, entered by a pawn
// on the wing's second-rank adviser-file square: a pawn on the other
// adviser-file square too, and a defending adviser on the other adviser
// square with knights about.
template <uint32_t kSide, bool kLeft>
void EntryPawnAndAdviser(FullEvalState& s) {
  using G = Wing<kSide, kLeft>;
  int32_t& total = G::Total(s);
  if (G::AttOn(kPawn, G::At(3, 1))) total += 100;
  if (G::DefOn(kAdviser, G::At(3, 0))) {
    const auto knightOn = [](Square sq) {
      return ClosingTwin<kSide>::kEntryKnightIsAttacker ? G::AttOn(kKnight, sq)
                                                        : G::DefOn(kKnight, sq);
    };
    const bool knight = knightOn(G::At(3, 3)) || knightOn(G::At(1, 3)) ||
                        (knightOn(G::At(2, 1)) && G::ZoneKnights(s) != 0);
    total += knight ? 150 : 50;
  }
}

// The back-rank entry's closing bonus, by how often the defender covers the
// wing's adviser square.
template <uint32_t kSide>
int32_t EntryClosingBonus(Square adviserSquare) {
  using V = View<kSide>;
  return V::DefAttackCount(adviserSquare) <= 2 ? V::AtMove(700, 400) : V::AtMove(400, 200);
}

// Right wing (files 5..8): a chariot on the wing scores the back-rank
// squares from which it would bear on the king.
template <uint32_t kSide>
void RightWingEntry(FullEvalState& s) {
  using G = Wing<kSide, false>;
  int32_t& total = G::Total(s);
  EntryPawnAndAdviser<kSide, false>(s);
  for (const uint32_t chariot : {8u, 9u}) {
    if (fileSide[G::AttSquare(chariot)] != G::kFileSide) continue;
    Square squares[2] = {0, 0};
    FindLineAttackSquares(G::Att(chariot), G::Def(1), &squares[0], &squares[1]);
    for (const Square t : squares) {
      if (G::BackRankWing(t) != G::kBackRank) continue;
      total += 50;
      if (!G::Guarded(t)) {
        total += EntryClosingBonus<kSide>(G::At(5, 0));
        return;
      }
    }
  }
}

// Left wing (files 0..3): with the pawn alone on the adviser files and the
// other adviser square free of a defending adviser, a chariot on the wing
// scores the three outer back-rank squares it reaches, while the adviser
// square (3, 0) is empty and the square (2, 0) beside it is empty or
// unattacked.
template <uint32_t kSide>
void LeftWingEntry(FullEvalState& s) {
  using V = View<kSide>;
  int32_t& total = V::Total(s);
  EntryPawnAndAdviser<kSide, true>(s);
  if (V::AttOn(kPawn, V::Sq(5, 1)) || V::DefOn(kAdviser, V::Sq(5, 0))) return;
  const Square adviserSquare = V::Sq(3, 0);
  const Square inner = V::Sq(2, 0);
  if (V::Occupied(adviserSquare) || (V::Occupied(inner) && !V::Unattacked(inner))) return;
  // The corner squares count as open when no defending knight, chariot,
  // cannon or pawn covers them; the square beside the adviser square when
  // no defending piece at all does.
  const struct {
    Square target;
    bool anyDefender;
  } targets[3] = {{V::Sq(0, 0), false}, {V::Sq(1, 0), false}, {inner, true}};
  for (const uint32_t chariot : {8u, 9u}) {
    if (fileSide[V::AttSquare(chariot)] != 2) continue;
    for (const auto& t : targets) {
      if (!V::Reaches(chariot, t.target)) continue;
      total += 50;
      const bool open = t.anyDefender ? V::Unattacked(t.target) : !V::Guarded(t.target);
      if (open) {
        total += EntryClosingBonus<kSide>(adviserSquare);
        return;
      }
    }
  }
}

}  // namespace

namespace medium_eval {

template <uint32_t kSide>
void ClosingAttack(FullEvalState& s) {
  using V = View<kSide>;
  MaterialAndHomeSquare<kSide>(s);
  ChariotsOnAdviserFiles<kSide>(s);
  if (V::DefCount(kAdviser) <= 1 && V::Strength(s) >= 7) ClosingPressureSteps<kSide>(s);

  const int32_t zonePawns = V::ZonePawns(s);
  if (zonePawns == 0) return;
  if (V::DefKing() == V::Sq(4, 0)) {
    if (V::AttOn(kPawn, V::Sq(5, 1))) RightWingEntry<kSide>(s);
    if (V::AttOn(kPawn, V::Sq(3, 1))) LeftWingEntry<kSide>(s);
  }
  // The full evaluator's thin-defence rules are not part of this group.
  if (V::AttCount(kChariot) == 0) return;
  if (s.middlegameLevel == 0 && V::DefCount(kElephant) == 0 && V::DefCount(kAdviser) <= 1 &&
      V::AttOn(kPawn, V::Sq(4, 2)))
    V::Total(s) += V::DefCount(kChariot) == 0 ? 300 : 100;
}

template void ClosingAttack<kRed>(FullEvalState&);
template void ClosingAttack<kBlack>(FullEvalState&);

}  // namespace medium_eval
