// Concentration of attacking pieces on the wings of the enemy half, weighed
// against the defenders there and the state of the enemy king's cover, and
// the penalties for chariots and lone attackers stranded on a wing.
#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

// Wing of each square: black's half (ranks 0..4) 1 for files 5..8, 2 for file
// 4, 3 for files 0..3; red's half (ranks 5..9) 4, 5, 6 likewise.
const uint8_t wingZone[kBoardSize] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 3, 3, 3, 3, 3, 6, 6, 6, 6, 6, 0, 0, 0, 0,  // file 0
    0, 0, 3, 3, 3, 3, 3, 6, 6, 6, 6, 6, 0, 0, 0, 0,  // file 1
    0, 0, 3, 3, 3, 3, 3, 6, 6, 6, 6, 6, 0, 0, 0, 0,  // file 2
    0, 0, 3, 3, 3, 3, 3, 6, 6, 6, 6, 6, 0, 0, 0, 0,  // file 3
    0, 0, 2, 2, 2, 2, 2, 5, 5, 5, 5, 5, 0, 0, 0, 0,  // file 4
    0, 0, 1, 1, 1, 1, 1, 4, 4, 4, 4, 4, 0, 0, 0, 0,  // file 5
    0, 0, 1, 1, 1, 1, 1, 4, 4, 4, 4, 4, 0, 0, 0, 0,  // file 6
    0, 0, 1, 1, 1, 1, 1, 4, 4, 4, 4, 4, 0, 0, 0, 0,  // file 7
    0, 0, 1, 1, 1, 1, 1, 4, 4, 4, 4, 4, 0, 0, 0, 0,  // file 8
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

// The two-file corners of each camp: files 7..8 / 0..1 on ranks 0..2 give 1 / 3,
// on ranks 7..9 give 4 / 6.
const uint8_t cornerZone[kBoardSize] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 3, 3, 3, 0, 0, 0, 0, 6, 6, 6, 0, 0, 0, 0,  // file 0
    0, 0, 3, 3, 3, 0, 0, 0, 0, 6, 6, 6, 0, 0, 0, 0,  // file 1
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 2
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 3
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 4
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 5
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 6
    0, 0, 1, 1, 1, 0, 0, 0, 0, 4, 4, 4, 0, 0, 0, 0,  // file 7
    0, 0, 1, 1, 1, 0, 0, 0, 0, 4, 4, 4, 0, 0, 0, 0,  // file 8
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

namespace {

constexpr uint32_t kKnightIndex[2][2] = {{6, 7}, {22, 23}};
constexpr uint32_t kChariotIndex[2][2] = {{8, 9}, {24, 25}};
constexpr uint32_t kCannonIndex[2][2] = {{10, 11}, {26, 27}};

inline int32_t Count(uint32_t side, uint32_t type) {
  return static_cast<int32_t>(pieceCount[side][type - 1]);
}
constexpr uint32_t ColouredType(uint32_t side, uint32_t type) { return type + 7 * side; }
inline bool HoldsRed(Square s) { return board[s] > 0 && board[s] <= 16; }
inline bool HoldsBlack(Square s) { return board[s] > 16; }

// The side's knights, cannons and chariots per wing zone.
using WingCounts = int32_t[2][7];

// One wing block: the attacker's pieces on one wing of the enemy half
// against the defender's pieces there and the defender's king cover. Told
// for red against black's files 5..8; the other blocks see the board rank-
// mirrored (black attacking) and/or file-mirrored (files 0..3 wing). The
// block is a template so that every square it reads is a constant.
template <uint32_t kAtt, bool kLeftWing>
class WingBlock {
 public:
  // Square of (file, rank) as seen by the block's attacker on its own right.
  static constexpr Square At(int file, int rank) {
    return MakeSquare(kLeftWing ? 8 - file : file, kAtt == kRed ? rank : 9 - rank);
  }
  static int FileOfSquare(Square s) { return kLeftWing ? 8 - FileOf(s) : FileOf(s); }

  static constexpr uint32_t kDef = 1 - kAtt;
  static constexpr uint32_t kZone = kAtt == kRed ? (kLeftWing ? 3 : 1) : (kLeftWing ? 6 : 4);
  static constexpr uint32_t kCentreZone = kAtt == kRed ? 2 : 5;

  // crowdedNearSquare: the score of the occupied first near square,
  // defenders there.
  static int32_t Score(int32_t crowdedNearSquare, const WingCounts& wing, int32_t nearPawns) {
    const int32_t n = wing[kAtt][kZone];
    const int32_t m = wing[kDef][kZone];
    // With under two attackers on the wing and no more attackers than
    // defenders, every rule adds nothing: the common case, tested inline
    // and laid out as the straight path.
    if (n < 2 && n + wing[kAtt][kCentreZone] <= m) [[likely]]
      return 0;
    return Attack(crowdedNearSquare, wing, nearPawns);
  }

 private:
  // The wing's score when the test in Score does not rule it out; kept out
  // of line so that the caller's common path stays short.
  [[gnu::noinline]] static int32_t Attack(int32_t crowdedNearSquare, const WingCounts& wing,
                                          int32_t nearPawns);

  // Defence state of the wing: 0 the king is away, 1 partly covered, 2 open.
  static int DefenceState(Square king, int kingFile);
};

template <uint32_t kAtt, bool kLeftWing>
int WingBlock<kAtt, kLeftWing>::DefenceState(Square king, int kingFile) {
  constexpr uint32_t defAdviser = ColouredType(kDef, kAdviser);
  constexpr uint32_t defElephant = ColouredType(kDef, kElephant);
  if (kingFile < 4) return 0;
  if (!(Count(kDef, kAdviser) == 2 && Count(kDef, kElephant) == 2 &&
        (board[At(5, 0)] != 0 || board[At(6, 0)] != 0)))
    return 2;
  if (kingFile == 5 || king == At(4, 1) || king == At(4, 2)) return 2;
  if (typeBoard[At(4, 1)] != defAdviser) return 1;
  if (typeBoard[At(3, 0)] == defAdviser) return 2;
  if (typeBoard[At(5, 0)] == defAdviser && typeBoard[At(6, 0)] == defElephant &&
      typeBoard[At(4, 2)] == defElephant)
    return board[At(5, 1)] != 0 ? 1 : 0;
  return 1;
}

template <uint32_t kAtt, bool kLeftWing>
int32_t WingBlock<kAtt, kLeftWing>::Attack(int32_t crowdedNearSquare, const WingCounts& wing,
                                           int32_t nearPawns) {
  constexpr uint32_t att = kAtt;
  constexpr uint32_t zone = kZone;
  const int32_t n = wing[att][zone];
  const int32_t c = wing[att][kCentreZone];
  const int32_t m = wing[kDef][zone];
  const int32_t t = n + c;

  int32_t chariots = 0;
  for (uint32_t i : kChariotIndex[att]) chariots += wingZone[posPiece[i]] == zone ? 1 : 0;
  int32_t total = 0;
  if (n >= 3) total += chariots > 0 ? 50 : 25;
  // No more attackers than defenders: only the bonus for pawns near the
  // palace could still follow.
  if (t <= m && nearPawns == 0) return total;

  const Square king = kDef == kBlack ? *blackKingSquarePtr : *redKingSquarePtr;
  const int kingFile = FileOfSquare(king);
  const int s = DefenceState(king, kingFile);
  if (s == 0) {
    if (n >= 2) {
      if (n == m + 1) total += 25;
      else if (n == m + 2) total += 75;
      else if (n > m + 2) total += 150;
    }
    return total;
  }

  if (nearPawns != 0 && n >= 2) total += 25 * n;
  const int32_t defAdvisers = Count(kDef, kAdviser);
  const int32_t defElephants = Count(kDef, kElephant);
  constexpr Square nearFirst = At(5, 0);
  constexpr Square nearSecond = At(6, 0);
  bool knight = false;
  for (uint32_t i : kKnightIndex[att]) knight |= wingZone[posPiece[i]] == zone;
  bool cornerCannon = false;
  for (uint32_t i : kCannonIndex[att]) cornerCannon |= cornerZone[posPiece[i]] == zone;
  const bool kingOnCentreFileOpenWing = FileOf(king) == 4 && board[nearSecond] == 0;
  const bool nearFirstFree = board[nearFirst] == 0 || king == nearFirst;
  const bool kingOnWingFile = kingFile == 5;
  const bool fullAttack = n >= 3 && knight && chariots > 0 && cornerCannon;

  if (t == m + 1) {
    if (s == 2 && chariots > 0 && n >= 2) total += 33 * n;
    if (!kingOnCentreFileOpenWing && defElephants >= 2 && defAdvisers >= 1 && !kingOnWingFile)
      return total + 25;
    total += nearFirstFree ? 50 : 33;
  } else if (t == m + 2) {
    if (n >= 3) total += s == 2 && chariots > 0 ? 133 : 50;
    if (!kingOnCentreFileOpenWing && defElephants >= 2 && defAdvisers >= 1 && !kingOnWingFile)
      total += 33;
    else
      total += nearFirstFree ? 75 : 50;
    if (m == 0) total += 33;
    if (kingOnWingFile && knight) total += 33 + 75 * chariots;
    if (fullAttack) total += s == 2 ? 75 : 25;
  } else if (t > m + 2) {
    if (n >= 3) total += s == 2 && chariots > 0 ? 200 : 100;
    if (!kingOnCentreFileOpenWing && defElephants >= 2 && defAdvisers >= 2 && !kingOnWingFile)
      total += m > 0 ? 66 : 141;
    else if (nearFirstFree)
      total += m > 0 ? 200 : 275;
    else
      total += m > 0 ? crowdedNearSquare : crowdedNearSquare + 18;
    if (kingOnWingFile && knight) total += 75 + 100 * chariots;
    if (chariots > 0) total += 75;
    if (fullAttack) total += s == 2 ? 100 : 33;
  }
  return total;
}

// A lone chariot of `side` gone deep on one wing, with one of its own
// attacking pieces there: penalised, more when an enemy man blocks it.
int32_t StrandedChariotPenalty(uint32_t side, const WingCounts& wing, uint32_t zone, Square a,
                               Square b, Square blocker) {
  const uint32_t chariot = ColouredType(side, kChariot);
  if (wing[side][zone] != 1 || (typeBoard[a] != chariot && typeBoard[b] != chariot)) return 0;
  const bool blocked = side == kRed ? HoldsBlack(blocker) : HoldsRed(blocker);
  return blocked ? 75 : 33;
}

// One attacking piece alone on a wing, and no knight among them.
int32_t LoneAttackerPenalty(uint32_t side, const WingCounts& wing, uint32_t zone) {
  if (wing[side][zone] != 1) return 0;
  for (uint32_t i : kKnightIndex[side])
    if (wingZone[posPiece[i]] == zone) return 0;
  return 20;
}

}  // namespace

void KingAreaAttack(int32_t* redTotal, int32_t* blackTotal, int32_t redNearPawns,
                    int32_t blackNearPawns) {
  const int32_t redAttackers = static_cast<int32_t>(attackerCount[kRed]);
  const int32_t blackAttackers = static_cast<int32_t>(attackerCount[kBlack]);
  if (Count(kRed, kChariot) == 0 && Count(kBlack, kChariot) == 0 && redAttackers < 3 &&
      blackAttackers < 3)
    return;

  WingCounts wing = {};
  for (uint32_t side = kRed; side <= kBlack; ++side) {
    for (uint32_t i : kKnightIndex[side]) ++wing[side][wingZone[posPiece[i]]];
    for (uint32_t i : kCannonIndex[side]) ++wing[side][wingZone[posPiece[i]]];
    for (uint32_t i : kChariotIndex[side]) ++wing[side][wingZone[posPiece[i]]];
  }

  // Summed locally and added once: a store through the totals could alias
  // the piece counts read below.
  int32_t red = WingBlock<kRed, false>::Score(200, wing, redNearPawns);
  int32_t black = WingBlock<kBlack, false>::Score(100, wing, blackNearPawns);
  red += WingBlock<kRed, true>::Score(100, wing, redNearPawns);
  black += WingBlock<kBlack, true>::Score(100, wing, blackNearPawns);

  // The two wings of red's test look at different blocking squares: (2,2)
  // beside the chariot on the left, (6,3) in front of it on the right.
  if (blackAttackers >= 2 && Count(kRed, kChariot) > 0) {
    red -=
        StrandedChariotPenalty(kRed, wing, 3, MakeSquare(2, 1), MakeSquare(2, 2), MakeSquare(2, 2));
    red -=
        StrandedChariotPenalty(kRed, wing, 1, MakeSquare(6, 1), MakeSquare(6, 2), MakeSquare(6, 3));
  }
  if (redAttackers >= 2 && Count(kBlack, kChariot) > 0) {
    black -= StrandedChariotPenalty(kBlack, wing, 4, MakeSquare(6, 7), MakeSquare(6, 8),
                                    MakeSquare(6, 6));
    black -= StrandedChariotPenalty(kBlack, wing, 6, MakeSquare(2, 7), MakeSquare(2, 8),
                                    MakeSquare(2, 6));
  }

  if (redAttackers < 5)
    red -= LoneAttackerPenalty(kRed, wing, 3) + LoneAttackerPenalty(kRed, wing, 1);
  if (blackAttackers < 5)
    black -= LoneAttackerPenalty(kBlack, wing, 4) + LoneAttackerPenalty(kBlack, wing, 6);
  *redTotal += red;
  *blackTotal += black;
}
