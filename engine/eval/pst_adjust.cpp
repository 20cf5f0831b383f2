// Position-dependent corrections of the piece-square banks, applied once
// before a search: small bonuses and penalties that depend on where the
// defenders, knights, cannons, chariots and pawns stand at the root.
//
// Every rule is written from red's point of view (rank 9 is red's back rank)
// and runs once for each side: for black the ranks are mirrored (r becomes
// 9 - r), the colours and the banks are exchanged. Every step only adds to
// bank entries and reads none, so the order of the additions does not
// matter.
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace {

template <uint32_t Side>
struct View {
  static constexpr uint32_t kEnemySide = Side == kRed ? kBlack : kRed;
  static constexpr PieceIndex kFirstOwnCannon = Side == kRed ? 10 : 26;
  static constexpr PieceIndex kFirstEnemyCannon = Side == kRed ? 26 : 10;

  static constexpr int R(int rank) { return Side == kRed ? rank : 9 - rank; }
  static Square Sq(int file, int rank) { return MakeSquare(file, R(rank)); }

  static bool Own(int file, int rank, uint32_t type) {
    return typeBoard[Sq(file, rank)] == (Side == kRed ? type : type + 7);
  }
  static bool Enemy(int file, int rank, uint32_t type) {
    return typeBoard[Sq(file, rank)] == (Side == kRed ? type + 7 : type);
  }
  static bool OwnPiece(int file, int rank) {
    const int v = board[Sq(file, rank)];
    return Side == kRed ? v >= 1 && v <= 16 : v >= 17 && v <= 32;
  }
  static bool Empty(int file, int rank) { return board[Sq(file, rank)] == 0; }

  static void AddOwn(uint32_t type, int file, int rank, int32_t delta) {
    (Side == kRed ? pieceSquareRed : pieceSquareBlack)[type][Sq(file, rank)] += delta;
  }
  static void AddEnemy(uint32_t type, int file, int rank, int32_t delta) {
    (Side == kRed ? pieceSquareBlack : pieceSquareRed)[type][Sq(file, rank)] += delta;
  }
  static void AddOwnRank(uint32_t type, int rank, int32_t delta) {
    for (int f = 0; f < 9; ++f) AddOwn(type, f, rank, delta);
  }

  // An enemy cannon on the enemy half, on files 5..8 (right) or 0..3 (left).
  // A captured cannon stands nowhere.
  static bool EnemyCannonOnWing(bool right) {
    for (PieceIndex p = kFirstEnemyCannon; p < kFirstEnemyCannon + 2; ++p) {
      const Square s = posPiece[p];
      if (s == 0) continue;
      const int file = FileOf(s);
      const bool enemyHalf = Side == kRed ? RankOf(s) <= 4 : RankOf(s) >= 5;
      if (enemyHalf && (right ? file >= 5 : file <= 3)) return true;
    }
    return false;
  }
};

template <uint32_t Side>
void AdjustForElephantFormations() {
  using V = View<Side>;
  if (V::Own(4, 7, kElephant)) {
    if (V::Own(6, 9, kElephant)) {
      V::AddOwn(kKnight, 8, 7, 5);
      V::AddOwn(kCannon, 8, 7, 5);
    }
    if (V::Own(2, 9, kElephant)) {
      V::AddOwn(kKnight, 0, 7, 5);
      V::AddOwn(kCannon, 0, 7, 5);
    }
  }
}

template <uint32_t Side>
void AdjustForPalaceCentrePiece() {
  using V = View<Side>;
  if (!V::OwnPiece(4, 8)) return;
  V::AddOwn(kKnight, 3, 8, -6);
  V::AddOwn(kKnight, 5, 8, -6);
  V::AddOwnRank(kChariot, 8, -5);
}

template <uint32_t Side>
void AdjustPawnsForElephantKnight() {
  using V = View<Side>;
  if (V::Own(6, 9, kElephant) && (V::Own(7, 9, kKnight) || V::Own(6, 7, kKnight)))
    V::AddEnemy(kPawn, 6, 4, 12);
  if (V::Own(2, 9, kElephant) && (V::Own(1, 9, kKnight) || V::Own(2, 7, kKnight)))
    V::AddEnemy(kPawn, 2, 4, 12);
}

template <uint32_t Side>
void AdjustForKnightPositions() {
  using V = View<Side>;
  const bool enemyCentralCannon = V::Enemy(4, 2, kCannon);
  if (V::Own(8, 7, kKnight)) {
    V::AddOwn(kPawn, 8, 6, -15);
    V::AddEnemy(kPawn, 8, 4, 15);
  }
  if (!enemyCentralCannon && V::Own(6, 7, kKnight)) {
    V::AddOwn(kPawn, 6, 6, -15);
    V::AddEnemy(kPawn, 6, 4, 15);
  }
  if (V::Own(4, 7, kKnight)) {
    V::AddOwn(kPawn, 4, 6, -15);
    V::AddEnemy(kPawn, 4, 4, 15);
  }
  if (!enemyCentralCannon && V::Own(2, 7, kKnight)) {
    V::AddOwn(kPawn, 2, 6, -7);
    V::AddEnemy(kPawn, 2, 4, 7);
  }
  if (V::Own(0, 7, kKnight)) {
    V::AddOwn(kPawn, 0, 6, -15);
    V::AddEnemy(kPawn, 0, 4, 15);
  }
  // A knight on (6,7) with no cannon of its own on the third rank of the other wing.
  if (!V::Own(3, 7, kCannon) && !V::Own(2, 7, kCannon) && !V::Own(1, 7, kCannon) &&
      !V::Own(0, 7, kCannon) && V::Own(6, 7, kKnight))
    V::AddOwn(kPawn, 6, 6, -20);
  if (!V::EnemyCannonOnWing(true)) {
    V::AddOwn(kPawn, 6, 6, -20);
    V::AddOwn(kPawn, 6, 5, 10);
    if (!V::Enemy(6, 4, kPawn) && !V::Enemy(6, 5, kPawn)) V::AddOwn(kKnight, 6, 7, 10);
  }
  if (!V::Own(5, 7, kCannon) && !V::Own(6, 7, kCannon) && !V::Own(7, 7, kCannon) &&
      !V::Own(8, 7, kCannon) && V::Own(2, 7, kKnight))
    V::AddOwn(kPawn, 2, 6, -20);
  if (!V::EnemyCannonOnWing(false)) {
    V::AddOwn(kPawn, 2, 6, -20);
    V::AddOwn(kPawn, 2, 5, 10);
    if (!V::Enemy(2, 4, kPawn) && !V::Enemy(2, 5, kPawn)) V::AddOwn(kKnight, 2, 7, 10);
  }
}

template <uint32_t Side>
void AdjustChariotsForOpenPalaceFiles() {
  using V = View<Side>;
  for (const int file : {5, 3}) {
    if (!V::Empty(file, 9)) continue;
    for (int r = 0; r < 10; ++r) V::AddOwn(kChariot, file, r, 10);
  }
}

template <uint32_t Side>
void AdjustPawnsForKnightSupport() {
  using V = View<Side>;
  const bool centreKnight = V::Own(4, 6, kKnight);
  if ((V::Own(3, 7, kKnight) || centreKnight) && V::Own(2, 6, kPawn) && V::Enemy(2, 4, kPawn))
    V::AddOwn(kPawn, 2, 5, 20);
  if ((V::Own(5, 7, kKnight) || centreKnight) && V::Own(6, 6, kPawn) && V::Enemy(6, 4, kPawn))
    V::AddOwn(kPawn, 6, 5, 20);
}

template <uint32_t Side>
void AdjustChariotsForFacingPawns() {
  using V = View<Side>;
  int32_t n = 0;
  for (const int file : {0, 2, 4, 6, 8})
    if (V::Enemy(file, 4, kPawn) && V::Own(file, 6, kPawn)) ++n;
  V::AddOwnRank(kChariot, 5, 100 * n / 8);
}

// A wing's chariot is shut in: on the corner, on the knight's home square
// with a piece in front of it on the knight's file, or on the adviser square.
template <uint32_t Side>
bool ChariotBlocked(bool right) {
  using V = View<Side>;
  const int corner = right ? 8 : 0;
  const int knightFile = right ? 7 : 1;
  const int adviserFile = right ? 5 : 3;
  if (V::Own(corner, 9, kChariot) || V::Own(adviserFile, 9, kChariot)) return true;
  if (!V::Own(knightFile, 9, kChariot)) return false;
  for (int r = 5; r <= 8; ++r)
    if (!V::Empty(knightFile, r)) return true;
  return false;
}

template <uint32_t Side>
void AdjustElephantsForBlockedChariots() {
  using V = View<Side>;
  if (V::Empty(3, 7) && V::Empty(3, 8) && ChariotBlocked<Side>(false))
    V::AddOwn(kElephant, 2, 9, -10);
  if (V::Empty(5, 8) && V::Empty(5, 7) && ChariotBlocked<Side>(true))
    V::AddOwn(kElephant, 6, 9, -10);
}

template <uint32_t Side>
void AdjustAdvisersForBlockedChariots() {
  using V = View<Side>;
  if (ChariotBlocked<Side>(false)) V::AddOwn(kAdviser, 3, 9, -10);
  if (ChariotBlocked<Side>(true)) V::AddOwn(kAdviser, 5, 9, -10);
}

// With few pieces and no chariots left a cannon belongs on its own second
// rank: +50 there, 0 on the back and third ranks, -50 everywhere else.
template <uint32_t Side>
void AdjustCannonsForChariotlessEnding() {
  using V = View<Side>;
  const uint32_t* own = pieceCount[Side];
  const uint32_t* enemy = pieceCount[V::kEnemySide];
  if (own[kKnight - 1] >= 2 || own[kChariot - 1] != 0 || own[kCannon - 1] >= 2 ||
      enemy[kChariot - 1] != 0 || enemy[kKnight - 1] >= 2)
    return;
  int32_t* cannon = (Side == kRed ? pieceSquareRed : pieceSquareBlack)[kCannon];
  for (Square s = kFirstSquare; s <= kLastSquare; ++s) cannon[s] -= 50;
  V::AddOwnRank(kCannon, 8, 100);
  V::AddOwnRank(kCannon, 9, 50);
  V::AddOwnRank(kCannon, 7, 50);
}

}  // namespace

void AdjustPieceSquareTables() {
  AdjustForElephantFormations<kRed>();
  AdjustForElephantFormations<kBlack>();
  AdjustForPalaceCentrePiece<kRed>();
  AdjustForPalaceCentrePiece<kBlack>();
  AdjustPawnsForElephantKnight<kRed>();
  AdjustPawnsForElephantKnight<kBlack>();
  AdjustForKnightPositions<kRed>();
  AdjustForKnightPositions<kBlack>();
  AdjustChariotsForOpenPalaceFiles<kRed>();
  AdjustChariotsForOpenPalaceFiles<kBlack>();
  AdjustPawnsForKnightSupport<kRed>();
  AdjustPawnsForKnightSupport<kBlack>();
  AdjustChariotsForFacingPawns<kRed>();
  AdjustChariotsForFacingPawns<kBlack>();
  if (attackerCount[kRed] >= 4 && attackerCount[kBlack] >= 4) {
    AdjustElephantsForBlockedChariots<kRed>();
    AdjustElephantsForBlockedChariots<kBlack>();
  }
  AdjustAdvisersForBlockedChariots<kRed>();
  AdjustAdvisersForBlockedChariots<kBlack>();
  AdjustCannonsForChariotlessEnding<kRed>();
  AdjustCannonsForChariotlessEnding<kBlack>();
}
