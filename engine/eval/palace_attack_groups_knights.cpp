// The palace attack's knight rules: attacking knights against a king that
// has left the palace centre, knights beside the palace and against the
// elephants (with the wing code they leave), and the attack-strength group
// that the knight rules open. Squares are named as red attacking the black
// palace sees them (palace_attack_groups.h).
#include <cstdint>

#include "engine/eval/palace_attack_groups.h"

namespace palace_attack {

namespace {

// The knights against a king that stands off its home square, on a corner
// of the palace. Kept out of line: the king is mostly at home, and then the
// caller's test is all it costs.
template <uint32_t kSide>
[[gnu::noinline]] void KnightsAgainstMovedKing(FullEvalState& s) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);
  const int32_t advisers = P::DefCount(kAdviser);
  const int32_t chariots = P::AttCount(kChariot);
  const Square king = P::DefKing();
  // With both advisers, or the only one on the palace centre, only the
  // knight-beside-the-king tests run.
  const bool thinCover = advisers == 0 || (advisers == 1 && !P::DefOn(kAdviser, 4, 1));

  if (thinCover) {
    // King in a back corner, knight two files away on the palace front.
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (king != P::Sq(f(5), 0) || !P::AttOn(kKnight, f(3), 2)) continue;
      const bool pawnInCentre = P::AttOn(kPawn, 4, 1) && advisers == 0;
      total += (pawnInCentre ? P::kCornerKingPawnBonus : 50) + 50 * chariots;
    }
    // King on a front corner of the palace.
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (king != P::Sq(f(5), 2)) continue;
      if (P::AttOn(kKnight, f(3), 0)) {
        if (P::AttOn(kPawn, f(6), 3) || P::AttOn(kPawn, 4, 3)) total += 200;
        if (P::AttOn(kPawn, f(6), 4) || P::AttOn(kPawn, 4, 4) || P::AttOn(kPawn, f(7), 3) ||
            P::AttOn(kPawn, f(3), 3))
          total += advisers == 0 ? 100 : 50;
        total += 50 + 50 * chariots;
        if (advisers <= 1) {
          for (const uint32_t c : {8u, 9u})
            if (P::PalaceZone(P::AttSquare(c)) != 0) total += advisers == 0 ? 200 : 100;
        }
        if (P::Empty(4, 0) && P::Empty(f(3), 1)) {
          P::Landing(s, P::Sq(f(5), 1));
          P::Landing(s, P::Sq(4, 2));
        }
      }
      // A knight behind an empty square on file 3 (for black with the king
      // on (3, 2): file 5).
      const int knightFile = wing == 0 ? 3 : P::kSideKingKnightFile;
      if (P::AttOn(kKnight, knightFile, 4) && P::Empty(knightFile, 3)) total += 50;
    }
  }

  // King on a front corner with an attacking knight beside it.
  for (int wing = 0; wing < 2; ++wing) {
    const auto f = [wing](int file) { return WingFile(wing, file); };
    if (king != P::Sq(f(3), 2) || !P::AttOn(kKnight, f(2), 3)) continue;
    if (P::Empty(f(3), 3) || P::HoldsDef(4, 2)) total += 50;
    if (P::Empty(f(2), 2)) total += 50;
    if (chariots > 0 || P::AttCount(kCannon) == 2) {
      const uint32_t wingCode = wing == 0 ? 3 : 1;
      total += 50 + 50 * chariots;
      for (const uint32_t c : {8u, 9u})
        if (P::WingZone(P::AttSquare(c)) == wingCode) total += 75;
      for (const uint32_t c : {10u, 11u})
        if (P::WingZone(P::AttSquare(c)) == wingCode) total += P::OnFile(c, f(0)) ? 75 : 50;
      if (P::AttOn(kCannon, f(3), 7) || P::AttOn(kCannon, f(3), 8) || P::AttOn(kCannon, f(3), 9))
        total += 100;
    } else {
      total += 50;
    }
    if (P::ZoneKnights(s) == 2) total += 150;
  }
}

}  // namespace

template <uint32_t kSide>
void OffCentreKingGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  if (P::AttCount(kKnight) == 0) return;

  // A defending knight in front of the attacker's palace, its chariot beside
  // an attacking elephant and knight.
  if (P::DefOn(kKnight, 4, 7)) {
    int32_t& total = P::Total(s);
    if (P::DefOn(kChariot, 5, 8) && P::AttOn(kElephant, 6, 9) && P::AttOn(kKnight, 3, 7))
      total += 200;
    if (P::DefOn(kChariot, 3, 8) && P::AttOn(kElephant, 2, 9) && P::AttOn(kKnight, 5, 7))
      total += 200;
  }

  // Every rule below asks for the king on a palace corner, never at home.
  if (P::ZoneKnights(s) == 0 || P::Strength(s) < 7 || P::DefKing() == P::Sq(4, 0)) return;
  KnightsAgainstMovedKing<kSide>(s);
}

namespace {

// An attacking knight on (3, 1)'s wing square (2, 1), or its mirror.
template <uint32_t kSide>
void KnightBlock(FullEvalState& s, int wing) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);
  const auto f = [wing](int file) { return WingFile(wing, file); };
  const Square front = P::Sq(f(3), 1);
  if (!P::Occupied(front)) {
    total += s.middlegameLevel == 0 ? 33 : 50;
  } else {
    total += P::DefOn(kChariot, front) && P::AttOn(kPawn, f(2), 2) ? 100 : 25;
    if (P::AttOn(kPawn, front)) {
      if (P::AttOn(kCannon, f(1), 1)) total += 50;
    } else if (P::AttOn(kChariot, front)) {
      total += P::AtMove(200, 100);
    }
  }
  if (P::DefKing() != P::Sq(4, 0)) return;
  if (P::DefOn(kChariot, front)) {
    total += 50 * P::AttAttackers() - 50;
  } else if (P::DefOn(kCannon, front)) {
    const int32_t lead = P::AttAttackers() - P::DefAttackers();
    total += (P::DefCount(kChariot) == 0 ? 150 : 100) + 50 * lead;
  }
  if (P::DefOn(kAdviser, 3, 0) && P::DefOn(kAdviser, 5, 0) && P::DefOn(kKnight, 4, 1)) total += 100;
}

// The knight patterns against the king at home: a knight near the palace
// front on the wing whose elephant-side square is not guarded. Returns
// whether the pattern matched.
template <uint32_t kSide>
bool HomeKingPattern(FullEvalState& s, int wing) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);
  const auto f = [wing](int file) { return WingFile(wing, file); };
  const bool knightNear =
      (P::Empty(f(3), 2) && (P::AttOn(kKnight, f(3), 3) || P::AttOn(kKnight, 4, 2))) ||
      (P::Empty(f(1), 2) && (P::AttOn(kKnight, f(1), 3) || P::AttOn(kKnight, f(0), 2)));
  if (!knightNear || P::Guarded(P::Sq(f(2), 1))) return false;
  // Black's attack weighs these by whether red's strong pieces bear on the
  // adviser-file square.
  const Square adviserFile = P::Sq(f(3), 1);
  if (P::DefOn(kAdviser, 4, 1) && P::DefOn(kAdviser, f(3), 0) && P::HoldsDef(f(5), 0)) {
    if (!P::kHomeKingPatternsAskRedStrong)
      total += P::AtMove(350, 150);
    else
      total += IsAttackedByRedStrong(adviserFile) != 0 ? 100 : P::AtMove(500, 200);
  }
  if (P::AttOn(kChariot, f(5), 1)) {
    if (!P::kHomeKingPatternsAskRedStrong)
      total += P::AtMove(350, 150);
    else
      total += IsAttackedByRedStrong(adviserFile) != 0 ? 150 : P::AtMove(500, 200);
  }
  if (P::DefOn(kAdviser, 5, 0) && P::DefOn(kAdviser, 3, 0) && P::DefOn(kKnight, 4, 1)) total += 50;
  return true;
}

}  // namespace

template <uint32_t kSide>
int32_t KnightWingGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);
  if (P::ZoneKnights(s) == 0) return 0;

  // Attacking knights against the elephants, left wing first.
  if (P::AttCount(kChariot) > 0) {
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      const bool elephantOnFile = P::DefOn(kElephant, f(2), 4) || P::DefOn(kElephant, f(2), 0);
      if (elephantOnFile && !(P::HoldsAtt(f(1), 1) && P::Empty(f(1), 2))) continue;
      if (!P::DefOn(kElephant, f(0), 2) && P::AttOn(kKnight, f(2), 3)) total += 33;
      if (P::AttOn(kKnight, f(0), 2)) total += wing == 0 ? 50 : P::kRightEdgeKnightBonus;
    }
  }

  // Knights on the wing squares of the adviser rank; the left one decides
  // the wing when both stand there.
  const Square king = P::DefKing();
  if (king != P::Sq(5, 1) && king != P::Sq(3, 1)) {
    int32_t w = 0;
    if (P::AttOn(kKnight, 6, 1)) {
      KnightBlock<kSide>(s, 1);
      w = 1;
    }
    if (P::AttOn(kKnight, 2, 1)) {
      KnightBlock<kSide>(s, 0);
      w = 2;
    }
    if (w != 0) return w;
  }

  if (king != P::Sq(4, 0)) return 0;
  if (HomeKingPattern<kSide>(s, 0)) return 2;
  if (HomeKingPattern<kSide>(s, 1)) return 1;
  return 0;
}

template <uint32_t kSide>
void AttackStrengthGroup(FullEvalState& s, int32_t w) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);
  const int32_t strength = P::Strength(s);
  if (strength < 7) return;
  const Square king = P::DefKing();
  if (P::ZonePawns(s) != 0 && king == P::Sq(4, 0) &&
      ((w == 1 && P::AttOn(kPawn, 3, 1)) || (w == 2 && P::AttOn(kPawn, 5, 1))))
    total += P::AtMove(400, 100);
  if (strength < 11) return;
  total += (P::AttCount(kChariot) > 0 ? 3 : 1) * strength;

  const auto cannonBehind = [](int file) {
    return P::AttOn(kCannon, file, 7) || P::AttOn(kCannon, file, 8) || P::AttOn(kCannon, file, 9);
  };
  const auto chariotInFront = [](int file) {
    for (int rank = 3; rank <= 6; ++rank)
      if (P::AttOn(kChariot, file, rank)) return true;
    return false;
  };

  if (king == P::Sq(4, 0)) {
    // Chariot onto the empty palace centre between both advisers, unless a
    // defending cannon covers the wing's adviser-file square.
    if (P::Empty(4, 1) && P::AttCount(kChariot) > 0 && P::DefOn(kAdviser, 5, 0) &&
        P::DefOn(kAdviser, 3, 0)) {
      const bool covered =
          (w == 1 && P::Occupied(5, 1) && (P::DefOn(kCannon, 8, 1) || P::DefOn(kCannon, 7, 1))) ||
          (w == 2 && P::Occupied(3, 1) && (P::DefOn(kCannon, 1, 1) || P::DefOn(kCannon, 0, 1)));
      const Square centre = P::Sq(4, 1);
      if (!covered && (P::Reaches(8, centre) || P::Reaches(9, centre)))
        total += P::AtMove(200, 100);
    }
    if (!P::HoldsDef(4, 1)) return;
    if (P::DefOn(kAdviser, 5, 0) && P::DefOn(kAdviser, 3, 0)) total += 50;
    // The file beside the king whose adviser has left: file 3 when the
    // adviser stands on (5, 0), file 5 when it stands on (3, 0).
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::DefOn(kAdviser, f(5), 0)) continue;
      if (cannonBehind(f(3))) total += 100;
      if (chariotInFront(f(3)))
        total += wing == 0 ? P::AtMove(P::kFile3ChariotOnMove, P::kFile3ChariotOffMove)
                           : P::AtMove(100, 50);
      if (P::AttOn(kChariot, f(3), 1)) total += P::AtMove(200, 100);
    }
    return;
  }

  // King in a back corner: the attack along its file.
  for (int wing = 0; wing < 2; ++wing) {
    const int file = WingFile(wing, 3);
    if (king != P::Sq(file, 0)) continue;
    if (P::AttCount(kCannon) > 0) {
      if (cannonBehind(file)) total += 150;
      for (const uint32_t c : {10u, 11u})
        if (P::OnFile(c, file)) total += 50;
    }
    if (P::OnFile(8, file) || P::OnFile(9, file)) {
      total += 50;
      if (chariotInFront(file) && cannonBehind(file)) total += 150;
    }
  }
}

template void OffCentreKingGroup<kRed>(FullEvalState&);
template void OffCentreKingGroup<kBlack>(FullEvalState&);
template int32_t KnightWingGroup<kRed>(FullEvalState&);
template int32_t KnightWingGroup<kBlack>(FullEvalState&);
template void AttackStrengthGroup<kRed>(FullEvalState&, int32_t);
template void AttackStrengthGroup<kBlack>(FullEvalState&, int32_t);

}  // namespace palace_attack
