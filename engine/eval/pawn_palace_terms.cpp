// Small measurements of the pawns, the palace defence and the chariots'
// threat to the enemy back rank, shared by the evaluators and the endgame
// knowledge. Each comes as a red/black twin; none changes the position.
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace {

constexpr PieceIndex kFirstRedPawn = 12;
constexpr PieceIndex kFirstBlackPawn = 28;
constexpr uint32_t kBlackOffset = 7;  // coloured type of black = red + 7

bool Holds(int file, int rank, uint32_t colouredType) {
  return typeBoard[MakeSquare(file, rank)] == colouredType;
}

// Side-relative view of a square: the rules below are written for red with
// rank r; black's twin reads rank 9 - r.
template <uint32_t Side>
constexpr int R(int rank) {
  return Side == kRed ? rank : 9 - rank;
}

template <uint32_t Side>
constexpr uint32_t Own(uint32_t type) {
  return Side == kRed ? type : type + kBlackOffset;
}

template <uint32_t Side>
constexpr uint32_t Enemy(uint32_t type) {
  return Side == kRed ? type + kBlackOffset : type;
}

template <uint32_t Side>
uint32_t RankCode(Square s) {
  return Side == kRed ? pawnRankCodeRed[s] : pawnRankCodeBlack[s];
}

template <uint32_t Side>
constexpr PieceIndex FirstPawn() {
  return Side == kRed ? kFirstRedPawn : kFirstBlackPawn;
}

template <uint32_t Side>
int32_t CountCrossedPawns() {
  int32_t n = 0;
  for (PieceIndex p = FirstPawn<Side>(); p < FirstPawn<Side>() + 5; ++p) {
    const uint32_t code = RankCode<Side>(posPiece[p]);
    if (posPiece[p] != 0 && code >= 1 && code <= 5) ++n;
  }
  return n;
}

// Crossed pawns by wing of the enemy half: files 5..8, file 4, files 0..3.
template <uint32_t Side>
void CountWings(int32_t* right, int32_t* centre, int32_t* left) {
  *right = *centre = *left = 0;
  for (PieceIndex p = FirstPawn<Side>(); p < FirstPawn<Side>() + 5; ++p) {
    const Square s = posPiece[p];
    if (s == 0) continue;
    const int rank = RankOf(s);
    const bool enemyHalf = Side == kRed ? rank <= 4 : rank >= 5;
    if (!enemyHalf) continue;
    const int file = FileOf(s);
    if (file >= 5)
      ++*right;
    else if (file == 4)
      ++*centre;
    else
      ++*left;
  }
}

template <uint32_t Side>
PieceIndex FindAdvancedPawn(int32_t n) {
  for (PieceIndex p = FirstPawn<Side>(); p < FirstPawn<Side>() + 5; ++p)
    if (posPiece[p] != 0 && static_cast<int32_t>(RankCode<Side>(posPiece[p])) < n) return p;
  return 0;
}

template <uint32_t Side>
PieceIndex FindPawnNotBeyond(int32_t n) {
  for (PieceIndex p = FirstPawn<Side>(); p < FirstPawn<Side>() + 5; ++p)
    if (posPiece[p] != 0 && static_cast<int32_t>(RankCode<Side>(posPiece[p])) > n) return p;
  return 0;
}

// Pawns still able to advance (code above n), less one for each blocked
// formation: an own pawn on the own side of the river facing an enemy pawn
// across it, or an enemy elephant guarding the pawn's crossing square.
template <uint32_t Side>
int32_t CountUsefulPawns(int32_t n) {
  int32_t c = 0;
  for (PieceIndex p = FirstPawn<Side>(); p < FirstPawn<Side>() + 5; ++p)
    if (posPiece[p] != 0 && static_cast<int32_t>(RankCode<Side>(posPiece[p])) > n) ++c;

  const uint32_t ownPawn = Own<Side>(kPawn);
  const uint32_t enemyPawn = Enemy<Side>(kPawn);
  const uint32_t enemyElephant = Enemy<Side>(kElephant);
  auto ownAt = [&](int f) {
    return Holds(f, R<Side>(5), ownPawn) || Holds(f, R<Side>(6), ownPawn);
  };
  auto enemyAt = [&](int f) {
    return Holds(f, R<Side>(3), enemyPawn) || Holds(f, R<Side>(4), enemyPawn);
  };
  auto elephantOn = [&](int f) { return Holds(f, R<Side>(2), enemyElephant); };

  if (ownAt(8) && enemyAt(8)) --c;
  bool centralElephantUsed = false;
  if (ownAt(6)) {
    if (enemyAt(6) || elephantOn(8)) {
      --c;
    } else if (elephantOn(4)) {
      --c;
      centralElephantUsed = true;
    }
  }
  if (ownAt(4) && enemyAt(4)) --c;
  if (ownAt(2) && (enemyAt(2) || elephantOn(0) || (elephantOn(4) && !centralElephantUsed))) --c;
  if (ownAt(0) && enemyAt(0)) --c;
  return c;
}

template <uint32_t Side>
int32_t CountPalaceZonePawns() {
  int32_t n = 0;
  for (PieceIndex p = FirstPawn<Side>(); p < FirstPawn<Side>() + 5; ++p) {
    const Square s = posPiece[p];
    if (s == 0) continue;
    if ((Side == kRed ? palaceFrontZoneBlack[s] : palaceFrontZoneRed[s]) != 0) ++n;
  }
  return n;
}

template <uint32_t Side>
int32_t IsFullDefenceSetup() {
  const uint32_t* count = pieceCount[Side];
  if (count[kElephant - 1] != 2 || count[kAdviser - 1] != 2) return 0;
  const Square king = Side == kRed ? *redKingSquarePtr : *blackKingSquarePtr;
  if (king != MakeSquare(4, R<Side>(9))) return 0;
  const uint32_t elephant = Own<Side>(kElephant);
  if (!Holds(4, R<Side>(8), Own<Side>(kAdviser)) || !Holds(4, R<Side>(7), elephant)) return 0;
  return Holds(6, R<Side>(9), elephant) || Holds(2, R<Side>(9), elephant) ? 1 : 0;
}

// Threat of Side's chariots to the enemy king through the wing squares of
// the enemy back rank.
template <uint32_t Side>
int32_t ChariotPalaceThreat() {
  constexpr PieceIndex kFirstChariot = Side == kRed ? 8 : 24;
  constexpr PieceIndex kEnemyKing = Side == kRed ? 17 : 1;
  constexpr uint8_t kEnemyWings = Side == kRed ? (1 | 2) : (4 | 8);
  const int32_t unguardedBonus = sideToMove == Side ? 250 : 100;
  int32_t t = 0;
  for (PieceIndex chariot = kFirstChariot; chariot < kFirstChariot + 2; ++chariot) {
    if (posPiece[chariot] == 0) continue;
    Square squares[2] = {0, 0};
    FindLineAttackSquares(chariot, kEnemyKing, &squares[0], &squares[1]);
    for (const Square s : squares) {
      if ((backRankWingFlags[s] & kEnemyWings) == 0) continue;
      t += 50;
      const uint32_t guard = Side == kRed ? BlackStrongAttackerOf(s) : RedStrongAttackerOf(s);
      if (guard == 0) {
        t += unguardedBonus;
        break;
      }
    }
  }
  if (t != 0) {
    const uint32_t enemyAdvisers = pieceCount[Side == kRed ? kBlack : kRed][kAdviser - 1];
    if (enemyAdvisers == 0)
      t += 100;
    else if (enemyAdvisers == 1)
      t += 50;
  }
  return t;
}

}  // namespace

int32_t CountCrossedPawnsRed() { return CountCrossedPawns<kRed>(); }
int32_t CountCrossedPawnsBlack() { return CountCrossedPawns<kBlack>(); }

void CountCrossedPawnWingsRed(int32_t* right, int32_t* centre, int32_t* left) {
  CountWings<kRed>(right, centre, left);
}
void CountCrossedPawnWingsBlack(int32_t* right, int32_t* centre, int32_t* left) {
  CountWings<kBlack>(right, centre, left);
}
void CountPawnWingsRed(int32_t* right, int32_t* centre, int32_t* left) {
  CountWings<kRed>(right, centre, left);
}
void CountPawnWingsBlack(int32_t* right, int32_t* centre, int32_t* left) {
  CountWings<kBlack>(right, centre, left);
}

PieceIndex FindAdvancedPawnRed(int32_t n) { return FindAdvancedPawn<kRed>(n); }
PieceIndex FindAdvancedPawnBlack(int32_t n) { return FindAdvancedPawn<kBlack>(n); }
PieceIndex FindPawnNotBeyondRed(int32_t n) { return FindPawnNotBeyond<kRed>(n); }
PieceIndex FindPawnNotBeyondBlack(int32_t n) { return FindPawnNotBeyond<kBlack>(n); }

int32_t CountUsefulPawnsRed(int32_t n) { return CountUsefulPawns<kRed>(n); }
int32_t CountUsefulPawnsBlack(int32_t n) { return CountUsefulPawns<kBlack>(n); }

int32_t CountPalaceZonePawnsRed() { return CountPalaceZonePawns<kRed>(); }
int32_t CountPalaceZonePawnsBlack() { return CountPalaceZonePawns<kBlack>(); }

int32_t IsFullDefenceSetupRed() { return IsFullDefenceSetup<kRed>(); }
int32_t IsFullDefenceSetupBlack() { return IsFullDefenceSetup<kBlack>(); }

int32_t ChariotPalaceThreatRed() { return ChariotPalaceThreat<kRed>(); }
int32_t ChariotPalaceThreatBlack() { return ChariotPalaceThreat<kBlack>(); }
