// The palace attack's rules about the defender's own pieces: defending
// knights and chariots hemmed in on the wings or in the corners, and knights
// and pawns crowding the palace. The medium evaluator's rule set grades a
// few flat bonuses by who controls a nearby square and counts the defending
// chariots' mobility on their first five ranks only. Squares are named as
// red attacking the black palace sees them (palace_attack_groups.h).
#include <array>
#include <cstdint>

#include "engine/eval/palace_attack_groups.h"

namespace palace_attack {

namespace {

// Where black's medium rules are not the exact mirror of red's.
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

// The attacker bears on s more often than the defender, and at all.
template <uint32_t kSide>
bool AttackerWins(Square s) {
  using P = Attack<kSide>;
  const int32_t own = P::AttAttackCount(s);
  return own != 0 && own > P::DefAttackCount(s);
}

// Medium rule set: the attacker's knight beside its own elephant, graded by
// the edge square two files further out.
template <uint32_t kSide>
int32_t GradedEdgeSquare(Square g) {
  using P = Attack<kSide>;
  const bool graded = MediumTwin<kSide>::kEdgeCountsWhenEmpty ? !P::HoldsDef(g) : P::HoldsAtt(g);
  if (!graded) return 75;
  return AttackerWins<kSide>(g) ? 100 : 50;
}

// Medium rule set: one pawn-against-knight row. Blocked rows score a fixed
// amount, the others by who controls the square c in front of the pawn.
template <uint32_t kSide>
int32_t GradedPawnRow(bool blocked, int32_t blockedBonus, Square c, int32_t wonBonus) {
  if (blocked) return blockedBonus;
  return AttackerWins<kSide>(c) ? wonBonus : 100;
}

// What a defending knight's square asks of DefendingKnightsGroup, as bits:
// the rules against a knight beside an occupied palace centre, (3, 1) and
// (5, 1); those against a knight in a back corner, (1, 0) and (7, 0); and
// the squares of the pawns-against-knights block, those four with the edge
// squares beside the corners (0, 1) and (8, 1) and the edge elephant squares
// (0, 2) and (8, 2). Every rule of a block asks for a defending knight on
// one of its squares, so a block whose bit neither knight's square carries
// has nothing to score; the two knights' squares are read once for all
// three. Indexed by board square, 0 (a captured knight) carries none.
enum DefendingKnightSquare : uint8_t {
  kKnightBesideCentre = 1,
  kKnightInBackCorner = 2,
  kKnightOnPawnRuleSquare = 4,
};
template <uint32_t kSide>
inline constexpr std::array<uint8_t, kBoardSize> defendingKnightSquares = [] {
  std::array<uint8_t, kBoardSize> t{};
  constexpr int kSquares[][2] = {{1, 0}, {7, 0}, {0, 1}, {8, 1}, {0, 2}, {8, 2}, {3, 1}, {5, 1}};
  for (const auto& [file, rank] : kSquares)
    t[SideView<kSide>::Sq(file, rank)] = kKnightOnPawnRuleSquare;
  for (const int file : {3, 5}) t[SideView<kSide>::Sq(file, 1)] |= kKnightBesideCentre;
  for (const int file : {1, 7}) t[SideView<kSide>::Sq(file, 0)] |= kKnightInBackCorner;
  return t;
}();

// The bits of defendingKnightSquares on the two defending knights' squares.
template <uint32_t kSide>
uint32_t DefendingKnightsOn() {
  using P = Attack<kSide>;
  const auto& on = defendingKnightSquares<kSide>;
  return on[P::DefSquare(6)] | on[P::DefSquare(7)];
}

// The squares on which an attacking pawn takes part in a rule of the same
// block: beside the back corners (1, 1), (1, 2), (2, 2), (7, 1), (7, 2),
// (6, 2) and down the edge files (0, 3)..(0, 5), (8, 3)..(8, 5). Indexed by
// board square, 0 (a captured pawn) not set.
template <uint32_t kSide>
inline constexpr std::array<uint8_t, kBoardSize> pawnRulePawnSquares = [] {
  std::array<uint8_t, kBoardSize> t{};
  constexpr int kSquares[][2] = {{1, 1}, {1, 2}, {2, 2}, {7, 1}, {7, 2}, {6, 2},
                                 {0, 3}, {0, 4}, {0, 5}, {8, 3}, {8, 4}, {8, 5}};
  for (const auto& [file, rank] : kSquares) t[SideView<kSide>::Sq(file, rank)] = 1;
  return t;
}();

// An attacking pawn (red's PieceIndex 12 to 16) stands on one of those
// squares. Every rule of the block asks for one as well.
template <uint32_t kSide>
bool PawnOnPawnRuleSquare() {
  using P = Attack<kSide>;
  const auto& on = pawnRulePawnSquares<kSide>;
  return (on[P::AttSquare(12)] | on[P::AttSquare(13)] | on[P::AttSquare(14)] |
          on[P::AttSquare(15)] | on[P::AttSquare(16)]) != 0;
}

// The squares from which an attacking knight is ready beside a defending
// pawn on the knight-file: (1, 4), (3, 4), (5, 4) and (7, 4). Indexed by
// board square, 0 (a captured knight) not set.
template <uint32_t kSide>
inline constexpr std::array<uint8_t, kBoardSize> readyKnightSquares = [] {
  std::array<uint8_t, kBoardSize> t{};
  for (const int file : {1, 3, 5, 7}) t[SideView<kSide>::Sq(file, 4)] = 1;
  return t;
}();

// The wings on whose squares (2, 3) and (3, 3) an attacking chariot on
// square s stands, as the corner-chariot rules of HemmedDefendersGroup ask:
// bit 0 the first wing, bit 1 its mirror (6, 3) and (5, 3). Indexed by board
// square, 0 (a captured chariot) on neither.
template <uint32_t kSide>
inline constexpr std::array<uint8_t, kBoardSize> rankThreeChariotWings = [] {
  std::array<uint8_t, kBoardSize> t{};
  for (int wing = 0; wing < 2; ++wing)
    for (const int file : {2, 3}) t[SideView<kSide>::Sq(WingFile(wing, file), 3)] = 1 << wing;
  return t;
}();

// Three squares in a row on one file, scored by which are occupied: indexed
// by their fileOccupancy bits shifted down to the lowest of them, the square
// of bit 0 brings w0, bit 1 w1, bit 2 w2; every entry raised by `extra`.
constexpr std::array<int32_t, 8> ThreeSquareScores(int32_t w0, int32_t w1, int32_t w2,
                                                   int32_t extra) {
  std::array<int32_t, 8> t{};
  for (uint32_t bits = 0; bits < 8; ++bits)
    t[bits] = extra + (bits & 1 ? w0 : 0) + (bits & 2 ? w1 : 0) + (bits & 4 ? w2 : 0);
  return t;
}

// What the defending chariot's mobility rules ask of the square it stands
// on, worked out once per square instead of from its rank and file on every
// call: the run of three squares along its file that scores by occupancy
// (in front of it on its own half, the medium rule set counting the river
// rank too and nothing beyond; behind it deep in the attacker's half), the
// central file's bonus, and the square beside it on the inner side when it
// stands next to the edge.
template <uint32_t kSide, RuleSet kRules>
struct ChariotMobility {
  static constexpr bool kMedium = kRules == RuleSet::kMedium;
  // Board ranks grow toward black's half; red attacks black.
  static constexpr bool kAheadUp = kSide == kRed;
  static constexpr int32_t kCentreBonus = 33 + 25;
  // The rows of scores: no run, the run in front (33, 25, 20 nearest first)
  // and the run behind (16, 12, 10); then the same three on the central file.
  enum Row : uint8_t { kNone, kAhead, kBehind };
  static constexpr std::array<std::array<int32_t, 8>, 6> kScores = {
      ThreeSquareScores(0, 0, 0, 0),
      kAheadUp ? ThreeSquareScores(33, 25, 20, 0) : ThreeSquareScores(20, 25, 33, 0),
      kAheadUp ? ThreeSquareScores(10, 12, 16, 0) : ThreeSquareScores(16, 12, 10, 0),
      ThreeSquareScores(0, 0, 0, kCentreBonus),
      kAheadUp ? ThreeSquareScores(33, 25, 20, kCentreBonus)
               : ThreeSquareScores(20, 25, 33, kCentreBonus),
      kAheadUp ? ThreeSquareScores(10, 12, 16, kCentreBonus)
               : ThreeSquareScores(16, 12, 10, kCentreBonus),
  };

  struct Rule {
    uint8_t file = 0;     // fileOccupancy index
    uint8_t row = kNone;  // kScores row
    uint8_t shift = 0;    // down to the run's lowest square
    int8_t beside = 0;    // offset of the inner square beside it, 0 none
  };
  // Indexed by board square; square 0 (a captured chariot) asks nothing.
  static constexpr std::array<Rule, kBoardSize> kSquareRules = [] {
    std::array<Rule, kBoardSize> t{};
    for (int file = 0; file < 9; ++file) {
      for (int boardRank = 0; boardRank < 10; ++boardRank) {
        Rule& r = t[MakeSquare(file, boardRank)];
        const int rank = SideView<kSide>::Rank(MakeSquare(file, boardRank));
        r.file = static_cast<uint8_t>(file);
        if (rank <= (kMedium ? 4 : 3)) {
          r.row = kAhead;
          r.shift = static_cast<uint8_t>(kAheadUp ? boardRank + 1 : boardRank - 3);
        } else if (!kMedium && rank >= 6) {
          r.row = kBehind;
          r.shift = static_cast<uint8_t>(kAheadUp ? boardRank - 3 : boardRank + 1);
        }
        if (file == 4) r.row = static_cast<uint8_t>(r.row + 3);
        r.beside = static_cast<int8_t>(file <= 1 ? 16 : file >= 7 ? -16 : 0);
      }
    }
    return t;
  }();

  static int32_t Score(Square c) {
    const Rule& r = kSquareRules[c];
    int32_t score = kScores[r.row][(fileOccupancy[r.file] >> r.shift) & 7];
    if (r.beside != 0 && board[c + r.beside] != 0) score += 20;
    return score;
  }
};

}  // namespace

template <uint32_t kSide, RuleSet kRules>
void HemmedDefendersGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  constexpr bool kMedium = kRules == RuleSet::kMedium;
  int32_t& total = P::Total(s);

  // A defending knight that crossed the river stuck beside an attacking
  // elephant; with the attacker's knight beside the elephant the medium
  // rule set grades the bonus by the edge square two files further out.
  // The knight's square, rarely held, is read before the piece counts.
  for (int wing = 0; wing < 2; ++wing) {
    const auto f = [wing](int file) { return WingFile(wing, file); };
    if (!P::DefOn(kKnight, f(7), 5) || !P::AttOn(kElephant, f(6), 5) || P::DefCount(kKnight) == 0 ||
        P::AttCount(kElephant) == 0)
      continue;
    if (!P::AttOn(kKnight, f(5), 5))
      total += 33;
    else
      total += kMedium ? GradedEdgeSquare<kSide>(P::Sq(f(8), 3)) : 50;
    if (P::DefCount(kChariot) == 0) total += 50;
  }

  // The defending elephants tied up in the central formation.
  if (P::DefCount(kElephant) == 2 && P::DefOn(kElephant, 4, 2)) {
    if ((P::Occupied(5, 1) && P::DefOn(kElephant, 6, 0)) ||
        (P::Occupied(3, 1) && P::DefOn(kElephant, 2, 0))) {
      const bool knightNear =
          P::ZoneKnights(s) != 0 && (P::AttOn(kKnight, 6, 3) || P::AttOn(kKnight, 2, 3) ||
                                     P::AttOn(kKnight, 3, 4) || P::AttOn(kKnight, 5, 4));
      total += knightNear ? 91 : 25;
    }
  }

  // A defending chariot stuck in its corner: an attacking piece in front of
  // it, an attacking chariot on the square beyond the adviser file, and an
  // attacking chariot beside the square in front of a defending knight each
  // score by themselves. The three attacking squares are rarely held, so
  // they are read before the piece counts and the corner; the two chariot
  // squares of both wings from the attacking chariots' squares at once.
  const auto& rank3 = rankThreeChariotWings<kSide>;
  const uint32_t chariotWings = rank3[P::AttSquare(8)] | rank3[P::AttSquare(9)];
  for (int wing = 0; wing < 2; ++wing) {
    const auto f = [wing](int file) { return WingFile(wing, file); };
    const bool inFront = P::HoldsAtt(f(1), 3);
    if (!inFront && (chariotWings & (1u << wing)) == 0) continue;
    const bool beyond = P::AttOn(kChariot, f(3), 3);
    const bool besideKnight = P::AttOn(kChariot, f(2), 3) && P::DefOn(kKnight, f(2), 2);
    if (P::AttCount(kChariot) == 0 || P::AttCount(kCannon) == 0 || P::DefCount(kChariot) == 0)
      continue;
    const bool cornered = P::DefOn(kChariot, f(1), 0) || P::DefOn(kChariot, f(0), 0) ||
                          P::DefOn(kChariot, f(1), 1) || P::DefOn(kChariot, f(1), 2);
    if (!cornered) continue;
    if (inFront) total += 33;
    if (beyond) total += 25;
    if (besideKnight) total += 33;
  }

  // Defending chariot mobility: pieces right in front of it on its own half
  // or right behind it deep in the attacker's half, the central file, and a
  // piece beside it on the inner side when it stands next to the edge.
  total += ChariotMobility<kSide, kRules>::Score(P::DefSquare(8)) +
           ChariotMobility<kSide, kRules>::Score(P::DefSquare(9));
}

template <uint32_t kSide, RuleSet kRules>
void DefendingKnightsGroup(FullEvalState& s) {
  using P = Attack<kSide>;
  constexpr bool kMedium = kRules == RuleSet::kMedium;
  int32_t& total = P::Total(s);

  const uint32_t knightsOn = DefendingKnightsOn<kSide>();

  // Defending knights beside an occupied palace centre.
  if ((knightsOn & kKnightBesideCentre) != 0 && P::Occupied(4, 1)) {
    if (P::DefOn(kKnight, 5, 1)) total += 25;
    if (P::DefOn(kKnight, 3, 1)) total += 25;
  }

  // A defending knight in the back corner with its way out blocked; the
  // medium rule set scores a piece in front of it other than a knight or
  // cannon without looking beside the knight.
  if ((knightsOn & kKnightInBackCorner) != 0 && P::AttAttackers() > 0) {
    for (int wing = 0; wing < 2; ++wing) {
      const auto f = [wing](int file) { return WingFile(wing, file); };
      if (!P::DefOn(kKnight, f(7), 0) || !P::Occupied(f(7), 1)) continue;
      const Square front = P::Sq(f(7), 1);
      const Square side = P::Sq(f(6), 0);
      if (P::AttOn(kKnight, front) || P::AttOn(kCannon, front)) {
        if (!P::Occupied(side)) {
          total += 33;
          continue;
        }
        if (P::DefOn(kElephant, side))
          total += P::DefOn(kElephant, 4, 2) ? 75 : 50;
        else
          total += 33;
        if (P::DefCount(kChariot) == 0) total += 50;
        if (P::AttCount(kCannon) > 0) total += 50;
      } else if (kMedium) {
        total += P::AttOn(kPawn, front) ? 200 : 100;
      } else if (P::AttOn(kPawn, front)) {
        total += P::Occupied(side) ? 250 : 150;
      } else {
        total += P::Occupied(side) ? 150 : 100;
      }
    }
  }

  // Attacking pawns against defending knights on the edges and in the
  // palace.
  if ((knightsOn & kKnightOnPawnRuleSquare) != 0 && P::AttCount(kPawn) > 0 &&
      P::DefCount(kKnight) > 0 && PawnOnPawnRuleSquare<kSide>()) {
    // A knight in a back corner or beside the palace centre, attacked by a
    // pawn. The medium rule set grades each row by whether the knight's
    // escape is blocked and by who controls the square in front of the pawn.
    if (P::DefOn(kAdviser, 4, 1)) {
      const int32_t left = MediumTwin<kSide>::kLeftBlockedBonus;
      if (P::AttOn(kPawn, 1, 2) && P::DefOn(kKnight, 1, 0))
        total += !kMedium ? 100
                          : GradedPawnRow<kSide>(P::Occupied(1, 1) || P::Occupied(2, 1), left,
                                                 P::Sq(2, 3), 200);
      if (P::DefOn(kKnight, 3, 1) && (P::AttOn(kPawn, 1, 1) || P::AttOn(kPawn, 2, 2)))
        total += !kMedium ? 100
                          : GradedPawnRow<kSide>(P::Occupied(2, 1) || P::Guarded(P::Sq(2, 1)), left,
                                                 P::Sq(2, 3), 250);
      if (P::AttOn(kPawn, 7, 2) && P::DefOn(kKnight, 7, 0))
        total += !kMedium ? 100
                          : GradedPawnRow<kSide>(P::Occupied(7, 1) || P::Occupied(6, 1), 100,
                                                 P::Sq(6, 3), 200);
      if (P::DefOn(kKnight, 5, 1) && (P::AttOn(kPawn, 7, 1) || P::AttOn(kPawn, 6, 2)))
        total += !kMedium ? 100
                          : GradedPawnRow<kSide>(P::Occupied(6, 1) || P::Guarded(P::Sq(6, 1)), 100,
                                                 P::Sq(6, 3), 250);
    }
    // Edge files, file 8 first: a knight on the elephant square met by an
    // attacking pawn coming down the file, then a pawn beside the corner.
    for (int wing = 0; wing < 2; ++wing) {
      const int edge = wing == 0 ? 8 : 0;
      const int inner = wing == 0 ? 7 : 1;
      if (P::DefOn(kKnight, edge, 2) && !P::DefOn(kPawn, edge, 3) &&
          (P::AttOn(kPawn, edge, 4) || (P::AttOn(kPawn, edge, 5) && !P::DefOn(kPawn, edge, 4))))
        total += P::AttOn(kChariot, inner, 3) ? 150 : 75;
      if (P::AttOn(kPawn, edge, 3) && (P::DefOn(kKnight, inner, 0) || P::DefOn(kKnight, edge, 1)))
        total += 75;
    }
    if (P::DefOn(kKnight, 1, 0) && P::AttOn(kPawn, 1, 2) && P::DefOn(kAdviser, 4, 1) &&
        P::DefOn(kAdviser, 3, 2))
      total += 150;
    if (P::DefOn(kKnight, 7, 0) && P::AttOn(kPawn, 7, 2) && P::DefOn(kAdviser, 4, 1) &&
        P::DefOn(kAdviser, 5, 2))
      total += 150;
    if (P::DefOn(kKnight, 0, 2) && P::AttOn(kPawn, 1, 2) && P::Occupied(0, 3) &&
        (P::Occupied(2, 0) || (P::Occupied(4, 1) && P::Occupied(3, 2))))
      total += 150;
    if (P::DefOn(kKnight, 8, 2) && P::AttOn(kPawn, 7, 2) && P::Occupied(8, 3) &&
        (P::Occupied(6, 0) || (P::Occupied(4, 1) && P::Occupied(5, 2))))
      total += 150;
  }

  // A defending knight behind its own pawn, with an attacking knight ready
  // beside the pawn. The attacking knight's squares are the rarely held ones,
  // so they are read first, from the two knights' squares.
  const auto& ready = readyKnightSquares<kSide>;
  const bool knightReady = (ready[P::AttSquare(6)] | ready[P::AttSquare(7)]) != 0;
  for (int wing = 0; knightReady && wing < 2; ++wing) {
    const auto f = [wing](int file) { return WingFile(wing, file); };
    const auto knightBehindPawn = [&f] {
      return P::AttCount(kKnight) > 0 && P::DefCount(kKnight) > 0 && P::DefOn(kPawn, f(6), 3) &&
             P::DefOn(kKnight, f(6), 2);
    };
    if (P::AttOn(kKnight, f(5), 4) && P::Empty(f(5), 3) && knightBehindPawn()) total += 33;
    if (P::AttOn(kKnight, f(7), 4) && P::Empty(f(7), 3) && knightBehindPawn()) total += 25;
  }

  // A defending cannon on the edge file over its own pawn, with attacking
  // pawns coming down the file and beside it; the rarely held cannon square
  // first.
  for (int wing = 0; wing < 2; ++wing) {
    const auto f = [wing](int file) { return WingFile(wing, file); };
    if (!P::DefOn(kCannon, f(8), 4) || P::DefCount(kCannon) == 0 || P::AttCount(kPawn) == 0 ||
        !P::DefOn(kPawn, f(8), 3) || !(P::AttOn(kPawn, f(8), 6) || P::AttOn(kPawn, f(8), 5)))
      continue;
    if (P::AttOn(kPawn, f(7), 4) || P::AttOn(kChariot, f(7), 4)) total += 300;
    if (!P::Occupied(f(6), 4)) continue;
    if (P::AttOn(kPawn, f(6), 4)) {
      total += P::AtMove(300, 100);
    } else {
      const Square beside = P::Sq(f(7), 4);
      if (P::AttStrongAttacks(beside) && !P::Guarded(beside))
        total += P::AttOn(kPawn, f(8), 5) ? P::AtMove(300, 200) : 150;
    }
  }
}

template void HemmedDefendersGroup<kRed, RuleSet::kFull>(FullEvalState&);
template void HemmedDefendersGroup<kBlack, RuleSet::kFull>(FullEvalState&);
template void HemmedDefendersGroup<kRed, RuleSet::kMedium>(FullEvalState&);
template void HemmedDefendersGroup<kBlack, RuleSet::kMedium>(FullEvalState&);
template void DefendingKnightsGroup<kRed, RuleSet::kFull>(FullEvalState&);
template void DefendingKnightsGroup<kBlack, RuleSet::kFull>(FullEvalState&);
template void DefendingKnightsGroup<kRed, RuleSet::kMedium>(FullEvalState&);
template void DefendingKnightsGroup<kBlack, RuleSet::kMedium>(FullEvalState&);

}  // namespace palace_attack
