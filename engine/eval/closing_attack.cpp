// Closing attack terms, the last group of the palace attack: two chariots
// beside a king on a side file, an intruder on the attacker's own king
// square, chariots on both adviser squares, the attack once the defender has
// lost advisers (closing_attack_pressure.cpp), chariots dropping onto the
// back rank beside a king at home, and the thin defence left when advisers
// and elephants are gone. Written once for both sides (side_view.h). The
// medium evaluator's rule set takes fixed target squares for the back-rank
// entry on the left wing and leaves out the thin-defence rules.
#include "engine/eval/side_view.h"

namespace {

// Where black's rules are not the exact mirror of red's.
template <uint32_t kSide>
struct ClosingTwin {
  // The knight beside the palace that sharpens the back-rank entry is the
  // defender's in red's attack and the attacker's own in black's.
  static constexpr bool kEntryKnightIsAttacker = kSide == kBlack;
};

// Both chariots on the outer files of the wing where the king has stepped.
// Kept out of line: the king seldom stands on a side file, and inlined the
// rule would cost every call of MaterialAndHomeSquare its register saves.
template <uint32_t kSide, bool kLeft>
[[gnu::noinline]] void SideFileChariots(FullEvalState& s) {
  using G = WingView<kSide, kLeft>;
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

// The attacker has both chariots and the defending king stands on a side
// file (3 or 5): the case SideFileChariots looks at.
template <uint32_t kSide>
bool KingOnSideFileWithBothChariots() {
  using V = SideView<kSide>;
  if (V::AttCount(kChariot) != 2) return false;
  const int kingFile = FileOf(V::DefKing());
  return kingFile == 5 || kingFile == 3;
}

// A defending piece on the attacker's own king square, and one chariot with
// both cannons on one wing.
template <uint32_t kSide>
void IntruderAndCannonPair(FullEvalState& s) {
  using V = SideView<kSide>;
  int32_t& total = V::Total(s);
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

template <uint32_t kSide>
void MaterialAndHomeSquare(FullEvalState& s) {
  using V = SideView<kSide>;
  if (KingOnSideFileWithBothChariots<kSide>()) {
    const int kingFile = FileOf(V::DefKing());
    if (kingFile == 5) SideFileChariots<kSide, false>(s);
    if (kingFile == 3) SideFileChariots<kSide, true>(s);
  }
  IntruderAndCannonPair<kSide>(s);
}

// Chariots on both second-rank adviser-file squares with the king at home.
template <uint32_t kSide>
void ChariotsOnAdviserFiles(FullEvalState& s) {
  using V = SideView<kSide>;
  // The gates only read the position, so the rarest goes first.
  if (!V::AttOn(kChariot, V::Sq(3, 1)) || !V::AttOn(kChariot, V::Sq(5, 1))) return;
  if (V::AttCount(kChariot) != 2 || (V::AttAttackers() > 4 && V::DefAttackers() > 4)) return;
  if (V::DefKing() != V::Sq(4, 0)) return;
  if (!V::OnPalaceLines(V::AttSquare(8)) || !V::OnPalaceLines(V::AttSquare(9))) return;
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

// The back-rank entry's closing bonus, by how often the defender covers the
// wing's adviser square.
template <uint32_t kSide>
int32_t EntryClosingBonus(Square adviserSquare) {
  using V = SideView<kSide>;
  return V::DefAttackCount(adviserSquare) <= 2 ? V::AtMove(700, 400) : V::AtMove(400, 200);
}

// Medium rule set, left wing (files 0..3): with the pawn alone on the
// adviser files and the other adviser square free of a defending adviser,
// a chariot on the wing scores the three outer back-rank squares it reaches,
// while the adviser square (3, 0) is empty and the square (2, 0) beside it
// is empty or unattacked.
template <uint32_t kSide>
void LeftWingFixedTargets(FullEvalState& s) {
  using V = SideView<kSide>;
  int32_t& total = V::Total(s);
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

// One wing of the back-rank entry, entered by a pawn on the wing's
// second-rank adviser-file square.
template <uint32_t kSide, bool kLeft, RuleSet kRules>
void BackRankEntryWing(FullEvalState& s) {
  using G = WingView<kSide, kLeft>;
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
  if constexpr (kLeft && kRules == RuleSet::kMedium) {
    LeftWingFixedTargets<kSide>(s);
    return;
  }
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

// Both second-rank adviser-file squares held: the wing's back-rank square
// taken, or the adviser square opened onto the king.
template <uint32_t kSide, bool kLeft>
void HeldSecondRankWing(FullEvalState& s) {
  using G = WingView<kSide, kLeft>;
  int32_t& total = G::Total(s);
  if (G::AttChariotOrPawn(G::At(6, 0))) {
    total += 400;
  } else {
    // Lifted from board only: typeBoard and the masks keep the piece, and
    // the by-scan test reads board alone.
    const Square adviserSquare = G::At(5, 0);
    const int8_t saved = board[adviserSquare];
    board[adviserSquare] = 0;
    if (G::AttStrongAttacksByScan(G::DefKing())) total += 500;
    board[adviserSquare] = saved;
  }
  if (G::DefCount(kAdviser) == 0) total += 100;
}

template <uint32_t kSide>
void ThinDefence(FullEvalState& s) {
  using V = SideView<kSide>;
  int32_t& total = V::Total(s);
  if (V::DefCount(kElephant) <= 1 && V::DefCount(kAdviser) <= 1) {
    if (V::DefCount(kAdviser) == 1) {
      total += 50;
    } else {
      const Square king = V::DefKing();
      if (V::AttOn(kPawn, V::TowardAttacker(king + 16, 1)) ||
          V::AttOn(kPawn, V::TowardAttacker(king - 16, 1)))
        total += V::AttOn(kPawn, V::Sq(4, 1)) ? 400 : 100;
      if (V::DefCount(kElephant) == 0) total += 50;
    }
  }
  if (V::AttChariotOrPawn(V::Sq(5, 1)) && V::AttChariotOrPawn(V::Sq(3, 1))) {
    HeldSecondRankWing<kSide, false>(s);
    HeldSecondRankWing<kSide, true>(s);
  }
  if (V::AttOn(kPawn, V::Sq(5, 1)) || V::AttOn(kPawn, V::Sq(3, 1))) {
    const Square centre = V::Sq(4, 1);
    for (const uint32_t chariot : {8u, 9u}) {
      if (!V::OnFile(chariot, 4) || !V::Reaches(chariot, centre)) continue;
      const uint32_t other = chariot == 8 ? 9 : 8;
      const Square o = V::AttSquare(other);
      total += o != 0 && V::Rank(o) == 1 && V::Reaches(other, centre) ? V::AtMove(600, 300) : 100;
    }
    if (V::DefCount(kAdviser) == 0) total += 100;
  }
}

// Every rule of the closing attack, in order.
template <uint32_t kSide, RuleSet kRules>
[[gnu::noinline]] void AllClosingRules(FullEvalState& s) {
  using V = SideView<kSide>;
  MaterialAndHomeSquare<kSide>(s);
  ChariotsOnAdviserFiles<kSide>(s);
  if (V::DefCount(kAdviser) <= 1 && V::Strength(s) >= 7) ClosingPressureSteps<kSide, kRules>(s);

  const int32_t zonePawns = V::ZonePawns(s);
  if (zonePawns == 0) return;
  if (V::DefKing() == V::Sq(4, 0)) {
    if (V::AttOn(kPawn, V::Sq(5, 1))) BackRankEntryWing<kSide, false, kRules>(s);
    if (V::AttOn(kPawn, V::Sq(3, 1))) BackRankEntryWing<kSide, true, kRules>(s);
  }
  if (V::AttCount(kChariot) == 0) return;
  if constexpr (kRules == RuleSet::kFull) ThinDefence<kSide>(s);
  if (s.middlegameLevel == 0 && V::DefCount(kElephant) == 0 && V::DefCount(kAdviser) <= 1 &&
      V::AttOn(kPawn, V::Sq(4, 2)))
    V::Total(s) += V::DefCount(kChariot) == 0 ? 300 : 100;
}

}  // namespace

// Without the king on a side file facing both chariots, both chariots on the
// second-rank adviser-file squares, the pressure steps' gate or a zone pawn,
// only the intruder and cannon-pair rules can score: they are scored here,
// and the usual case makes no call and saves no registers.
template <uint32_t kSide, RuleSet kRules>
void ClosingAttack(FullEvalState& s) {
  using V = SideView<kSide>;
  if (V::ZonePawns(s) != 0 || (V::DefCount(kAdviser) <= 1 && V::Strength(s) >= 7) ||
      (V::AttOn(kChariot, V::Sq(3, 1)) && V::AttOn(kChariot, V::Sq(5, 1))) ||
      KingOnSideFileWithBothChariots<kSide>()) {
    AllClosingRules<kSide, kRules>(s);
    return;
  }
  IntruderAndCannonPair<kSide>(s);
}

template void ClosingAttack<kRed, RuleSet::kFull>(FullEvalState&);
template void ClosingAttack<kBlack, RuleSet::kFull>(FullEvalState&);
template void ClosingAttack<kRed, RuleSet::kMedium>(FullEvalState&);
template void ClosingAttack<kBlack, RuleSet::kMedium>(FullEvalState&);
