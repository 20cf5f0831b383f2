// The palace attack's rules about the defender's own pieces: defending
// knights and chariots hemmed in on the wings or in the corners, knights and
// pawns crowding the palace, and defenders pinned on the back rank by an
// attacking cannon. Squares are named as red attacking the black palace sees
// them (palace_attack_groups.h).
#include <cstdint>

#include "engine/eval/palace_attack_groups.h"

namespace palace_attack {

template <uint32_t kSide>
void HemmedDefendersGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);

  // A defending knight that crossed the river stuck beside an attacking
  // elephant.
  if (P::DefCount(kKnight) > 0 && P::AttCount(kElephant) > 0) {
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::IsDef(kKnight, f(7), 5) || !P::IsAtt(kElephant, f(6), 5)) continue;
      total += P::IsAtt(kKnight, f(5), 5) ? 50 : 33;
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

  // Defending chariot mobility: pieces right in front of it, and the central
  // file, which always counts both file-distance terms.
  for (const uint32_t piece : {P::DefPiece(8), P::DefPiece(9)}) {
    const Square c = posPiece[piece];
    if (c == 0) continue;
    const int rank = P::Rank(c);
    if (rank <= 3) {
      if (P::OccupiedOn(P::TowardAttacker(c, 1))) total += 33;
      if (P::OccupiedOn(P::TowardAttacker(c, 2))) total += 25;
      if (P::OccupiedOn(P::TowardAttacker(c, 3))) total += 20;
    } else if (rank >= 6) {
      if (P::OccupiedOn(P::TowardDefender(c, 1))) total += 16;
      if (P::OccupiedOn(P::TowardDefender(c, 2))) total += 12;
      if (P::OccupiedOn(P::TowardDefender(c, 3))) total += 10;
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
      } else if (P::IsAttOn(kPawn, front)) {
        total += P::OccupiedOn(side) ? 250 : 150;
      } else {
        total += P::OccupiedOn(side) ? 150 : 100;
      }
    }
  }

  // Attacking pawns against defending knights on the edges and in the
  // palace.
  if (P::AttCount(kPawn) > 0 && P::DefCount(kKnight) > 0) {
    if (P::IsDef(kAdviser, 4, 1)) {
      if (P::IsAtt(kPawn, 1, 2) && P::IsDef(kKnight, 1, 0)) total += 100;
      if (P::IsDef(kKnight, 3, 1) && (P::IsAtt(kPawn, 1, 1) || P::IsAtt(kPawn, 2, 2))) total += 100;
      if (P::IsAtt(kPawn, 7, 2) && P::IsDef(kKnight, 7, 0)) total += 100;
      if (P::IsDef(kKnight, 5, 1) && (P::IsAtt(kPawn, 7, 1) || P::IsAtt(kPawn, 6, 2))) total += 100;
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

namespace {

// Group 3's score of the defending piece on a back-rank square in line
// with an attacking cannon: a cannon v, a chariot 3v/2, and on black's right
// wing a knight v.
template <uint32_t kSide>
int32_t PinnedPieceValue(Square sq, int32_t v, bool rightWing) {
  using P = Attack<kSide>;
  if (P::IsDefOn(kCannon, sq)) return v;
  if (P::IsDefOn(kChariot, sq)) return 3 * v / 2;
  if (P::kRightPinScoresKnight && rightWing && P::IsDefOn(kKnight, sq)) return v;
  return 0;
}

}  // namespace

template <uint32_t kSide>
void BackRankPinsGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  int32_t& total = P::Total(s);

  // An attacking cannon on the back rank bearing on the adviser square; the
  // wings are valued differently.
  if (P::DefCount(kAdviser) > 0 && P::AttCount(kCannon) > 0 && P::DefAttackers() > 0) {
    const Square king = P::DefKing();
    for (int wing = 0; wing < 2; ++wing) {
      const bool right = wing == 1;
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::Occupied(f(3), 0) || !(P::IsAtt(kCannon, f(0), 0) || P::IsAtt(kCannon, f(1), 0)))
        continue;
      int32_t v = 0;
      if (P::Empty(4, 1)) {
        v = 100 * P::AttCount(kChariot);
      } else if (king == P::Sq(4, 0)) {
        v = right ? 75 : 150;
      } else if (king == P::Sq(f(5), 0)) {
        v = right ? 50 : 75;
      }
      if (P::DefCount(kElephant) == 0) v = right ? 3 * v / 2 : 6 * v;
      if (v == 0) continue;
      const auto score = [&](int file) {
        total += PinnedPieceValue<kSide>(P::Sq(file, 0), v, right);
      };
      if (P::IsAtt(kCannon, f(0), 0)) {
        if (P::Empty(f(1), 0) && P::Occupied(f(2), 0)) score(f(2));
        if (P::Empty(f(2), 0) && P::Occupied(f(1), 0)) score(f(1));
        score(f(3));
      }
      if (P::IsAtt(kCannon, f(1), 0)) {
        if (P::Occupied(f(2), 0)) score(f(2));
        if (P::Occupied(f(3), 0)) score(f(3));
      }
    }
  }

  // The defending chariot, cannon and knight tangled in the corner.
  if (P::DefCount(kChariot) > 0 && P::DefCount(kKnight) > 0 && P::AttCount(kCannon) > 0) {
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (P::IsDef(kCannon, f(1), 0) && P::IsDef(kChariot, f(0), 0))
        total += P::IsDef(kKnight, f(0), 1) ? 100 : 50;
      if (P::IsDef(kKnight, f(0), 1) && P::IsAtt(kCannon, f(1), 1) && P::IsDef(kChariot, f(1), 0))
        total += P::HoldsDef(f(0), 0) ? 100 : 50;
    }
  }

  // A defending chariot shut in on the edge over its own pawn, and one in the
  // attacker's corner behind the attacker's elephants.
  if (P::DefCount(kChariot) > 0) {
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::IsDef(kChariot, f(8), 2) || !P::IsDef(kPawn, f(8), 3)) continue;
      if (P::Occupied(f(7), 2))
        total += P::Occupied(f(6), 2) ? 75 : 50;
      else if (P::Occupied(f(6), 2))
        total += 25;
    }
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (P::IsAtt(kElephant, f(8), 7) && P::IsAtt(kElephant, f(6), 9) &&
          P::IsDef(kChariot, f(8), 9))
        total += 100;
    }
  }
}

template void HemmedDefendersGroup<kRed>(FullEvalState&);
template void HemmedDefendersGroup<kBlack>(FullEvalState&);
template void DefendingKnightsGroup<kRed>(FullEvalState&);
template void DefendingKnightsGroup<kBlack>(FullEvalState&);
template void BackRankPinsGroup<kRed>(FullEvalState&);
template void BackRankPinsGroup<kBlack>(FullEvalState&);

}  // namespace palace_attack
