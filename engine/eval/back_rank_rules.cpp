// Back-rank cannon and chariot rules of the palace attack, run while the
// defending king stands on its home square: attacking cannons aimed along
// the defender's back rank, chariots on the files beside the king's file,
// the two-cannon and cannon-and-chariot corner patterns, and the pawns that
// support them. Written once for both sides (see side_view.h);
// each wing is written once for the right wing and read with files f and
// 8 - f exchanged for the left.
#include <array>
#include <cstdint>

#include "engine/eval/side_view.h"
#include "engine/position/position.h"

namespace {

// Where black's rules are not the exact mirror of red's.
template <uint32_t kSide>
struct BackRankTwin {
  // Two cannons, or the inner back-rank chariot with a chariot on the
  // adviser file's second rank, when the adviser square is occupied:
  // attacker to move (the defender to move always scores 200).
  static constexpr int32_t kOccupiedOnMove = kSide == kRed ? 400 : 500;
  // The corner battery over a defending piece loses its 50 to a defending
  // elephant on the palace-front centre only when the defender has both
  // elephants (red's attack) or always (black's).
  static constexpr bool kCentreElephantNeedsPair = kSide == kRed;
};

// The attacking king stands on the wing's adviser file and nothing stands
// between it and the chariot.
template <class G>
bool KingBacks(uint32_t chariot) {
  const Square king = G::AttKing();
  return king != 0 && FileOf(king) == G::F(5) && G::KingLineTo(G::AttSquare(chariot));
}

// An attacking piece other than a pawn stands on s.
template <class G>
bool AttNonPawn(Square s) {
  return G::HoldsAtt(s) && !G::AttOn(kPawn, s);
}

// Nothing stands between a on the file of t and t: the file-occupancy
// look-up that Reaches makes, done here without its call since CornerCase
// asks it of every cannon on the wing's outer files.
inline bool FileClear(Square a, Square t) {
  return (fileMaskBit[t] & chariotReach[fileOccupancy[FileOf(t)]][RankOf(a)]) != 0;
}

// Where the attacking cannons stand: 1 a cannon on the corner squares with
// the rank open to the king (or a chariot in front), 2 a cannon able to drop
// onto an empty, unguarded corner square, 3 a corner cannon behind a piece
// of its own; 0 none of these.
template <class G>
int CornerCase() {
  const bool openToKing =
      (G::Empty(G::At(5, 0)) && G::Empty(G::At(6, 0))) || G::AttOn(kChariot, G::At(6, 0));
  const bool cornerCannon =
      G::AttOn(kCannon, G::At(7, 0)) || (G::AttOn(kCannon, G::At(8, 0)) && G::Empty(G::At(7, 0)));
  if (openToKing && cornerCannon) return 1;
  for (const uint32_t cannon : {10u, 11u}) {
    const Square s = G::AttSquare(cannon);
    if (fileSide[s] != G::kFileSide) continue;
    for (const int file : {8, 7}) {
      const Square t = G::At(file, 0);
      if (FileOf(s) == G::F(file) && G::Empty(t) && FileClear(s, t) && !G::Guarded(t))
        return 2;
    }
  }
  if (G::AttOn(kCannon, G::At(8, 0))) {
    const Square a = G::At(7, 0);
    const Square b = G::At(6, 0);
    if ((G::Empty(a) && AttNonPawn<G>(b)) || (G::Empty(b) && AttNonPawn<G>(a))) return 3;
  }
  return 0;
}

// How firmly the attacking chariots hold the adviser file: 0 not at all,
// 1 one chariot on the second rank or able to go to the adviser square,
// 2 such a chariot backed by the other chariot or by its own king, 3 when
// besides both chariots are doubled on the file.
template <class G>
int AdviserFileCount() {
  const int file = G::F(5);
  const Square second = G::At(5, 1);
  const Square adviser = G::At(5, 0);
  const Square s8 = G::AttSquare(8);
  const Square s9 = G::AttSquare(9);
  const bool on8 = G::OnFile(8, file);
  const bool on9 = G::OnFile(9, file);
  int n = 0;
  if (on8) {
    if (s8 == second || G::CanGo(8, adviser)) {
      n = KingBacks<G>(8) ? 2 : 1;
    } else if (s9 == second || (on9 && G::CanGo(9, adviser))) {
      n = G::Reaches(8, s9) || KingBacks<G>(9) ? 2 : 1;
    }
  }
  if (on9) {
    if (n > 0) {
      if (G::Reaches(9, s8)) ++n;
    } else if (s9 == second || G::CanGo(9, adviser)) {
      n = KingBacks<G>(9) ? 2 : 1;
    }
  }
  return n;
}

// A chariot stands on the back-rank square of `file`, or stands on that
// file and reaches it (for the outer square only while no own cannon stands
// there).
template <class G>
bool BackRankFlag(int file, bool cannonBlocks) {
  const Square t = G::At(file, 0);
  if (G::AttOn(kChariot, t)) return true;
  if (cannonBlocks && G::AttOn(kCannon, t)) return false;
  for (const uint32_t chariot : {8u, 9u})
    if (G::OnFile(chariot, G::F(file)) && G::Reaches(chariot, t)) return true;
  return false;
}

// The chariots of the wing, once a corner case is known. Out of line: corner
// cases are rare, and without this body the caller needs fewer registers.
template <uint32_t kSide, class G>
[[gnu::noinline]] void WingChariots(FullEvalState& s, int k) {
  using Twin = BackRankTwin<kSide>;
  int32_t& total = G::Total(s);
  const int n = AdviserFileCount<G>();
  const bool inner = BackRankFlag<G>(6, false);
  const bool outer = BackRankFlag<G>(7, true);
  const bool held = n != 0 || inner || outer;

  if (k == 2 && held) total -= 50;
  const int32_t flagBonus = G::AttAttackers() >= 4 ? G::AtMove(200, 150) : G::AtMove(150, 100);
  if (inner) total += flagBonus;
  if (outer) total += flagBonus;

  if (k == 1 && G::HoldsDef(G::At(4, 1)) && n > 0) {
    if (n >= 2)
      total += G::AtMove(300, 100);
    else if (G::AttCount(kChariot) == 2)
      total += 100;
    const Square king = G::AttKing();
    if (king != 0 && FileOf(king) == G::F(5) && G::DefOn(kAdviser, G::At(4, 1)))
      total += G::AtMove(300, 50);
    const bool chariotOnSecond = G::AttOn(kChariot, G::At(5, 1));
    if (inner)
      total += chariotOnSecond ? G::AtMove(Twin::kOccupiedOnMove, 200) : G::AtMove(300, 100);
    if (outer) total += chariotOnSecond ? G::AtMove(400, 200) : G::AtMove(300, 100);
  }

  if (G::ZonePawns(s) != 0) {
    if (G::AttOn(kPawn, G::At(5, 1))) total += held ? 200 : 75;
    if (G::AttOn(kPawn, G::At(5, 2)) || G::AttOn(kPawn, G::At(6, 1))) total += held ? 100 : 50;
    if (G::AttOn(kPawn, G::At(6, 2)) || G::AttOn(kPawn, G::At(4, 2))) total += held ? 50 : 25;
  }

  if (G::WingZone(G::AttSquare(6)) == G::kNearZone || G::WingZone(G::AttSquare(7)) == G::kNearZone)
    total += 50;
  total += 75;
}

// One cannon in the corner with the other cannon able to drop beside it
// while a chariot holds the second rank.
template <class G>
bool CannonPairMates(uint32_t cannon, uint32_t other) {
  const Square s = G::AttSquare(cannon);
  const Square inner = G::At(6, 0);
  const Square outer = G::At(7, 0);
  const auto dropsOn = [other](Square t) { return G::Empty(t) && G::Reaches(other, t); };
  if (s == G::At(8, 0)) {
    if (G::Guarded(s)) return false;
    if (G::AttOn(kChariot, G::At(5, 1))) return dropsOn(outer) || dropsOn(inner);
    if (G::AttOn(kChariot, G::At(6, 1))) return dropsOn(outer);
    if (G::AttOn(kChariot, G::At(7, 1))) return dropsOn(inner);
    return false;
  }
  if (s == outer) return !G::Guarded(s) && G::AttOn(kChariot, G::At(5, 1)) && dropsOn(inner);
  return false;
}

// The wings whose two outer files hold a cannon on square s: bit 0 files 7
// and 8, bit 1 files 0 and 1. Files are never mirrored, so one table serves
// both sides; square 0 (a captured cannon) is on neither.
inline constexpr std::array<uint8_t, kBoardSize> outerFileWings = [] {
  std::array<uint8_t, kBoardSize> t{};
  for (int rank = 0; rank < 10; ++rank) {
    t[MakeSquare(7, rank)] = t[MakeSquare(8, rank)] = 1;
    t[MakeSquare(0, rank)] = t[MakeSquare(1, rank)] = 2;
  }
  return t;
}();

template <uint32_t kSide, bool kLeft>
void WingRules(FullEvalState& s) {
  using G = WingView<kSide, kLeft>;
  using Twin = BackRankTwin<kSide>;
  int32_t& total = G::Total(s);

  const int k = CornerCase<G>();
  if (k != 0) {
    if (fileSide[G::AttSquare(8)] == G::kFileSide || fileSide[G::AttSquare(9)] == G::kFileSide)
      WingChariots<kSide, G>(s, k);
    if (G::AttCount(kCannon) == 2) {
      const int32_t pair =
          G::Empty(G::At(5, 0)) ? G::AtMove(600, 300) : G::AtMove(Twin::kOccupiedOnMove, 200);
      if (CannonPairMates<G>(10, 11)) total += pair;
      if (CannonPairMates<G>(11, 10)) total += pair;
    }
  }

  // Cannon and chariot in the corner with a pawn or chariot in front of the
  // adviser square.
  if (G::AttChariotOrPawn(G::At(5, 1))) {
    if (G::AttOn(kCannon, G::At(8, 0)) && G::AttOn(kChariot, G::At(7, 0))) {
      const Square t = G::At(6, 0);
      if (G::Empty(t) || (G::HoldsAtt(t) && !G::AttOn(kKnight, t)) ||
          ((G::HoldsDef(t) || G::AttOn(kKnight, t)) && G::Unattacked(t)))
        total += G::AtMove(1000, 500);
    }
    if (G::AttOn(kCannon, G::At(7, 0)) && G::AttOn(kChariot, G::At(6, 0)))
      total += G::AtMove(1000, 500);
  }
}

// Corner cannon and chariot with a defending piece, not a chariot, between
// the chariot and the adviser square, while the palace centre is occupied.
template <uint32_t kSide, bool kLeft>
void CornerBattery(FullEvalState& s) {
  using G = WingView<kSide, kLeft>;
  const Square between = G::At(6, 0);
  if (!G::AttOn(kCannon, G::At(8, 0)) || !G::AttOn(kChariot, G::At(7, 0)) ||
      !G::HoldsDef(between) || G::DefOn(kChariot, between))
    return;
  int32_t& total = G::Total(s);
  const bool centreElephant =
      G::DefOn(kElephant, G::At(4, 2)) &&
      (!BackRankTwin<kSide>::kCentreElephantNeedsPair || G::DefCount(kElephant) == 2);
  if (!centreElephant) total += 50;
  if (G::Occupied(G::At(5, 1))) total += 100;
  if (G::Unattacked(between)) {
    total += G::AtMove(600, 300);
    if (G::Occupied(G::At(3, 0))) total += 100;
  }
}

template <uint32_t kSide>
void BackRankRules(FullEvalState& s) {
  using V = SideView<kSide>;
  if (V::DefKing() != V::Sq(4, 0) || V::AttCount(kChariot) == 0) return;
  // Every rule of a wing asks for an attacking cannon on one of its two
  // outer files (a corner case, or a cannon on the back-rank squares of
  // those files), so a wing without one has nothing to score. The gates
  // only read the position; this one, the most often shut, goes before the
  // count of attackers.
  const uint32_t cannonWings = outerFileWings[V::AttSquare(10)] | outerFileWings[V::AttSquare(11)];
  if (cannonWings == 0) return;
  if (V::AttAttackers() < (V::AttCount(kPawn) > 0 ? 2 : 3)) return;
  const bool centreOccupied = V::Occupied(V::Sq(4, 1));
  if (cannonWings & 1) {
    WingRules<kSide, false>(s);
    if (centreOccupied) CornerBattery<kSide, false>(s);
  }
  if (cannonWings & 2) {
    WingRules<kSide, true>(s);
    if (centreOccupied) CornerBattery<kSide, true>(s);
  }
}

}  // namespace

void BackRankRulesRed(FullEvalState& s) { BackRankRules<kRed>(s); }
void BackRankRulesBlack(FullEvalState& s) { BackRankRules<kBlack>(s); }
