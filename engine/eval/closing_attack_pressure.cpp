// Closing attack terms once the defender has lost advisers: the attack
// strength, the two-chariot bonus, the defender without advisers, chariots
// at the palace and pawns next to the king. Runs only when the defender has
// at most one adviser and the attack strength is at least 7; the last three
// steps only when the defender has no adviser. The medium evaluator's rule
// set rates a second chariot higher against a palace without advisers, and
// the attacking knights and cannons higher when the chariots stand off the
// palace lines.
#include "engine/eval/side_view.h"

namespace {

// Where black's rules are not the exact mirror of red's.
template <uint32_t kSide>
struct PressureTwin {
  // With one chariot, the knight squares around the chariot on the palace
  // centre are scored when the attacker has a knight (red) or has zone
  // knights (black).
  static constexpr bool kOneChariotByZoneKnights = kSide == kBlack;
  // King at home: with pawns on both second-rank adviser-file squares the
  // further 200 asks for a pawn on the third rank of the other file; red's
  // second rule pairs file 5 of rank 1 with file 3 of rank 2, black's pairs
  // file 3 of rank 1 with file 5 of rank 2 (as red counts the squares).
  static constexpr int kHomePawnFile = kSide == kRed ? 5 : 3;
};

// Both chariots, while the defender has at most one adviser.
template <uint32_t kSide, RuleSet kRules>
void TwoChariotBonus(FullEvalState& s) {
  using V = SideView<kSide>;
  constexpr bool kMedium = kRules == RuleSet::kMedium;
  int32_t& total = V::Total(s);
  const int32_t advisers = V::DefCount(kAdviser);
  const Square c8 = V::AttSquare(8);
  const Square c9 = V::AttSquare(9);
  if (V::OnPalaceLines(c8) && V::OnPalaceLines(c9)) {
    total += 200 + 100 * V::ZoneKnights(s) - 100 * advisers;
    const Square king = V::AttKing();
    for (const uint32_t chariot : {8u, 9u})
      if (FileOf(V::AttSquare(chariot)) == FileOf(king) && V::Reaches(chariot, king)) total += 100;
    if (V::Rank(c8) <= 2 && V::Rank(c9) <= 2) {
      const int32_t d = 100 * (4 - V::DefCount(kElephant) - advisers);
      // Without advisers the medium rule set rates the pair 100 higher.
      if (advisers > 0)
        total += 50 + d;
      else
        total +=
            (V::AttOn(kChariot, V::Sq(4, 1)) ? V::AtMove(400, 200) : 100) + (kMedium ? 100 : 0) + d;
    }
  } else {
    const int32_t minors = V::AttCount(kKnight) + V::AttCount(kCannon);
    if constexpr (kMedium)
      total += 50 + 100 * minors / 8 + 100 * (2 - advisers) / 2;
    else
      total += 25 + 100 * minors / 16 + 100 * (2 - advisers) / 3;
  }
  if (V::DefCount(kElephant) <= 1) total += 50;
}

// One chariot on the palace centre with knights around it.
template <uint32_t kSide>
void OneChariot(FullEvalState& s) {
  using V = SideView<kSide>;
  int32_t& total = V::Total(s);
  const bool knights = PressureTwin<kSide>::kOneChariotByZoneKnights ? V::ZoneKnights(s) != 0
                                                                     : V::AttCount(kKnight) > 0;
  if (!knights) {
    total += 12;
    return;
  }
  if (!V::AttOn(kChariot, V::Sq(4, 1))) {
    total += 24;
    return;
  }
  total += 300;
  const auto knight = [](int file, int rank) { return V::AttOn(kKnight, V::Sq(file, rank)); };
  const Square king = V::DefKing();
  if (knight(8, 3) || knight(5, 2) || knight(4, 3) || (knight(6, 3) && king == V::Sq(5, 0)))
    total += 100;
  if (knight(0, 3) || knight(3, 2) || knight(4, 3) || (knight(2, 3) && king == V::Sq(3, 0)))
    total += 100;
}

template <uint32_t kSide, RuleSet kRules>
void AttackStrength(FullEvalState& s) {
  using V = SideView<kSide>;
  int32_t& total = V::Total(s);
  total += 35 * V::ZonePawns(s);
  if (V::AttCount(kKnight) > 0) {
    const int32_t zoneKnights = V::ZoneKnights(s);
    total += zoneKnights != 0 ? 50 * zoneKnights : 30 * V::AttCount(kKnight);
  }
  const int32_t chariots = V::AttCount(kChariot);
  if (chariots == 2)
    TwoChariotBonus<kSide, kRules>(s);
  else if (chariots == 1)
    OneChariot<kSide>(s);
  if (chariots == 0) return;
  // A pawn on one adviser-file square and a chariot on the other.
  for (const int file : {3, 5}) {
    const Square chariotSquare = V::Sq(file, 1);
    if (!V::AttOn(kPawn, V::Sq(8 - file, 1)) || !V::AttOn(kChariot, chariotSquare)) continue;
    if (V::KingLineTo(chariotSquare)) total += 100;
    if (V::Unattacked(V::Sq(file, 0))) total += 100;
    if (chariots == 2) total += 100;
  }
}

template <uint32_t kSide>
void NoAdviserDefence(FullEvalState& s) {
  using V = SideView<kSide>;
  int32_t& total = V::Total(s);
  const int32_t chariots = V::AttCount(kChariot);
  const int32_t zoneKnights = V::ZoneKnights(s);
  if (zoneKnights != 0 && chariots > 0) {
    if (!V::OnPalaceLines(V::AttSquare(8)) && !V::OnPalaceLines(V::AttSquare(9))) {
      total += 50;
    } else {
      if (V::DefCount(kElephant) == 0)
        total += V::OnFile(8, 4) || V::OnFile(9, 4) ? V::AtMove(300, 150) : 100;
      total += zoneKnights == 2 ? V::AtMove(600, 300) : V::AtMove(400, 200);
      total += 100 * (kSide == kRed ? CountPalaceZonePawnsRed() : CountPalaceZonePawnsBlack());
      if (V::AttAttackers() < V::DefAttackers())
        total -= 100 * (V::DefAttackers() - V::AttAttackers());
    }
  }

  const int32_t pawns = V::AttCount(kPawn);
  if (pawns < 2 && !(pawns == 1 && chariots > 0)) return;
  const int32_t useful = kSide == kRed ? CountUsefulPawnsRed(1) : CountUsefulPawnsBlack(1);
  if (useful == 0) return;
  total += 33 * useful;
  if (V::AttAttackers() == 0 || V::DefAttackers() > V::AttAttackers() + 1) return;
  total += 66 * (kSide == kRed ? CountPalaceZonePawnsRed() : CountPalaceZonePawnsBlack());
  if (useful < 2 && chariots == 0) return;
  int32_t right = 0, centre = 0, left = 0;
  if (kSide == kRed)
    CountCrossedPawnWingsRed(&right, &centre, &left);
  else
    CountCrossedPawnWingsBlack(&right, &centre, &left);
  if (right == 0 || left == 0) return;
  const auto advanced = [](int32_t n) {
    return (kSide == kRed ? FindAdvancedPawnRed(n) : FindAdvancedPawnBlack(n)) != 0;
  };
  if (advanced(5)) total += 50;
  if (advanced(4)) total += 50;
}

// A chariot dropping onto the back-rank square of its own file.
template <uint32_t kSide>
int32_t BackRankEntry(uint32_t chariot) {
  using V = SideView<kSide>;
  const int file = FileOf(V::AttSquare(chariot));
  if (file == 4) return 50;
  const Square t = V::Sq(file, 0);
  bool enters;
  if (file == 3 || file == 5)
    enters = V::CanGo(chariot, t) && V::Unattacked(t);
  else if (file == 2 || file == 6)
    enters = V::Reaches(chariot, t) && V::Unattacked(t);
  else
    enters = V::Reaches(chariot, t) && !V::Guarded(t);
  return enters ? 300 : 50;
}

template <uint32_t kSide>
void ChariotsAtPalace(FullEvalState& s) {
  using V = SideView<kSide>;
  const int32_t chariots = V::AttCount(kChariot);
  const int32_t zonePawns = V::ZonePawns(s);
  if (!((zonePawns > 0 && chariots > 0) || chariots == 2)) return;
  int32_t& total = V::Total(s);
  const Square centre = V::Sq(4, 1);
  const Square king = V::AttKing();
  bool marked[2] = {false, false};
  for (const uint32_t chariot : {8u, 9u}) {
    const Square c = V::AttSquare(chariot);
    if (c == 0) continue;
    if (V::Rank(c) == 1 && V::Reaches(chariot, centre)) {
      marked[chariot - 8] = true;
      total += 50;
    }
    if (FileOf(c) == FileOf(king) && V::Reaches(chariot, king) && V::DefCount(kChariot) < 2)
      total += 100;
  }
  if (zonePawns > 0 && (marked[0] || marked[1])) {
    const auto pawn = [](int file, int rank) { return V::AttOn(kPawn, V::Sq(file, rank)); };
    if (pawn(5, 1) || pawn(3, 1) || pawn(4, 2)) {
      for (const uint32_t chariot : {8u, 9u})
        if (V::AttSquare(chariot) != 0) total += BackRankEntry<kSide>(chariot);
    }
    const bool fewDefenders = V::DefAttackers() <= 2;
    if (pawn(5, 2) || pawn(6, 1)) total += fewDefenders ? 200 : 150;
    if (pawn(6, 2) || pawn(7, 1)) total += fewDefenders ? 150 : 100;
    if (pawn(3, 2) || pawn(2, 1)) total += fewDefenders ? 200 : 150;
    if (pawn(2, 2) || pawn(1, 1)) total += fewDefenders ? 150 : 100;
  }
  if (marked[0] && marked[1]) total += V::Unattacked(centre) ? 300 : 100;
  total += 75;
}

template <uint32_t kSide>
void PawnsNextToKing(FullEvalState& s) {
  using V = SideView<kSide>;
  if (V::ZonePawns(s) < 2) return;
  int32_t& total = V::Total(s);
  const auto pawn = [](int file, int rank) { return V::AttOn(kPawn, V::Sq(file, rank)); };
  const Square king = V::DefKing();
  if (king == V::Sq(5, 0)) {
    if (pawn(4, 1) && (pawn(5, 2) || pawn(3, 0))) total += 400;
  } else if (king == V::Sq(3, 0)) {
    if (pawn(4, 1) && (pawn(3, 2) || pawn(5, 0))) total += 400;
  } else if (king == V::Sq(4, 0)) {
    constexpr int a = PressureTwin<kSide>::kHomePawnFile;
    constexpr int b = 8 - a;
    if (pawn(5, 1) && pawn(3, 1))
      total += 300;
    else if (pawn(a, 1) && pawn(b, 2))
      total += 200;
    if (pawn(b, 1) && pawn(a, 2)) total += 200;
  }
  const int32_t defChariots = V::DefCount(kChariot);
  if ((defChariots == 0 || V::AttCount(kChariot) > defChariots) &&
      V::DefAttackers() <= V::AttAttackers() + 1)
    total += 150;
}

}  // namespace

template <uint32_t kSide, RuleSet kRules>
void ClosingPressureSteps(FullEvalState& s) {
  AttackStrength<kSide, kRules>(s);
  if (SideView<kSide>::DefCount(kAdviser) != 0) return;
  NoAdviserDefence<kSide>(s);
  ChariotsAtPalace<kSide>(s);
  PawnsNextToKing<kSide>(s);
}

template void ClosingPressureSteps<kRed, RuleSet::kFull>(FullEvalState& s);
template void ClosingPressureSteps<kBlack, RuleSet::kFull>(FullEvalState& s);
template void ClosingPressureSteps<kRed, RuleSet::kMedium>(FullEvalState& s);
template void ClosingPressureSteps<kBlack, RuleSet::kMedium>(FullEvalState& s);
