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
inline uint32_t ColouredType(uint32_t side, uint32_t type) { return type + 7 * side; }
inline bool HoldsRed(Square s) { return board[s] > 0 && board[s] <= 16; }
inline bool HoldsBlack(Square s) { return board[s] > 16; }

// The side's knights, cannons and chariots per wing zone.
using WingCounts = int32_t[2][7];

// One wing block: the attacker's pieces on one wing of the enemy half
// against the defender's pieces there and the defender's king cover. Told
// for red against black's files 5..8; the other blocks see the board rank-
// mirrored (black attacking) and/or file-mirrored (files 0..3 wing).
struct WingBlock {
  uint32_t attacker;
  bool leftWing;              // files 0..3 of the enemy half
  int32_t crowdedNearSquare;  // the occupied first near square, defenders there
};

class BlockView {
 public:
  explicit BlockView(const WingBlock& b) : b_(b) {}
  // Square of (file, rank) as seen by the block's attacker on its own right.
  Square At(int file, int rank) const {
    return MakeSquare(b_.leftWing ? 8 - file : file, b_.attacker == kRed ? rank : 9 - rank);
  }
  int FileOfSquare(Square s) const { return b_.leftWing ? 8 - FileOf(s) : FileOf(s); }

 private:
  const WingBlock& b_;
};

int32_t ScoreWingBlock(const WingBlock& b, const WingCounts& wing, int32_t nearPawns) {
  const BlockView v(b);
  const uint32_t att = b.attacker;
  const uint32_t def = 1 - att;
  const uint32_t zone = att == kRed ? (b.leftWing ? 3 : 1) : (b.leftWing ? 6 : 4);
  const uint32_t centreZone = att == kRed ? 2 : 5;
  const int32_t n = wing[att][zone];
  const int32_t c = wing[att][centreZone];
  const int32_t m = wing[def][zone];
  const Square king = def == kBlack ? *blackKingSquarePtr : *redKingSquarePtr;
  const int kingFile = v.FileOfSquare(king);
  const int32_t defAdvisers = Count(def, kAdviser);
  const int32_t defElephants = Count(def, kElephant);
  const uint32_t defAdviser = ColouredType(def, kAdviser);
  const uint32_t defElephant = ColouredType(def, kElephant);
  const Square nearFirst = v.At(5, 0);
  const Square nearSecond = v.At(6, 0);

  // Defence state of the wing: 0 the king is away, 1 partly covered, 2 open.
  int s;
  if (kingFile < 4) {
    s = 0;
  } else if (!(defAdvisers == 2 && defElephants == 2 &&
               (board[nearFirst] != 0 || board[nearSecond] != 0))) {
    s = 2;
  } else if (kingFile == 5 || king == v.At(4, 1) || king == v.At(4, 2)) {
    s = 2;
  } else if (typeBoard[v.At(4, 1)] != defAdviser) {
    s = 1;
  } else if (typeBoard[v.At(3, 0)] == defAdviser) {
    s = 2;
  } else if (typeBoard[v.At(5, 0)] == defAdviser && typeBoard[v.At(6, 0)] == defElephant &&
             typeBoard[v.At(4, 2)] == defElephant) {
    s = board[v.At(5, 1)] != 0 ? 1 : 0;
  } else {
    s = 1;
  }

  int32_t chariots = 0;
  for (uint32_t i : kChariotIndex[att]) chariots += wingZone[posPiece[i]] == zone ? 1 : 0;
  bool knight = false;
  for (uint32_t i : kKnightIndex[att]) knight |= wingZone[posPiece[i]] == zone;
  bool cornerCannon = false;
  for (uint32_t i : kCannonIndex[att]) cornerCannon |= cornerZone[posPiece[i]] == zone;

  int32_t total = 0;
  if (n >= 3) total += chariots > 0 ? 50 : 25;
  if (s == 0) {
    if (n >= 2) {
      if (n == m + 1) total += 25;
      else if (n == m + 2) total += 75;
      else if (n > m + 2) total += 150;
    }
    return total;
  }

  if (nearPawns != 0 && n >= 2) total += 25 * n;
  const int32_t t = n + c;
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
      total += m > 0 ? b.crowdedNearSquare : b.crowdedNearSquare + 18;
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

  *redTotal += ScoreWingBlock({kRed, false, 200}, wing, redNearPawns);
  *blackTotal += ScoreWingBlock({kBlack, false, 100}, wing, blackNearPawns);
  *redTotal += ScoreWingBlock({kRed, true, 100}, wing, redNearPawns);
  *blackTotal += ScoreWingBlock({kBlack, true, 100}, wing, blackNearPawns);

  // The two wings of red's test look at different blocking squares: (2,2)
  // beside the chariot on the left, (6,3) in front of it on the right.
  if (blackAttackers >= 2 && Count(kRed, kChariot) > 0) {
    *redTotal -= StrandedChariotPenalty(kRed, wing, 3, MakeSquare(2, 1), MakeSquare(2, 2),
                                        MakeSquare(2, 2));
    *redTotal -= StrandedChariotPenalty(kRed, wing, 1, MakeSquare(6, 1), MakeSquare(6, 2),
                                        MakeSquare(6, 3));
  }
  if (redAttackers >= 2 && Count(kBlack, kChariot) > 0) {
    *blackTotal -= StrandedChariotPenalty(kBlack, wing, 4, MakeSquare(6, 7), MakeSquare(6, 8),
                                          MakeSquare(6, 6));
    *blackTotal -= StrandedChariotPenalty(kBlack, wing, 6, MakeSquare(2, 7), MakeSquare(2, 8),
                                          MakeSquare(2, 6));
  }

  if (redAttackers < 5)
    *redTotal -= LoneAttackerPenalty(kRed, wing, 3) + LoneAttackerPenalty(kRed, wing, 1);
  if (blackAttackers < 5)
    *blackTotal -= LoneAttackerPenalty(kBlack, wing, 4) + LoneAttackerPenalty(kBlack, wing, 6);
}
