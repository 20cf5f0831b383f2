// Evaluation preparation before every search and at every game reset:
// recounts the material, prices pawns, knights and cannons for the material
// left, builds the two piece-square banks from the constant base tables,
// applies the fixed and position-dependent corrections, chooses the
// evaluator and recomputes materialBalance. The banks then stay fixed for the
// whole search; making and unmaking moves only add and subtract entries.
#include "engine/eval/prepare.h"

#include <array>
#include <cstring>

#include "engine/bridge.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"
#include "engine/search/search_tables.h"

int32_t pieceValueTable[12] = {100, 185, 195, 550, 570, 1280, 100, 185, 195, 550, 570, 1280};
int32_t middleKnowledge = 5;
int32_t pieceSquareRed[8][176];
int32_t pieceSquareBlack[8][176];

namespace {

// ---------------------------------------------------------------------------
// Base square bonuses, from red's side (rank 9 is red's back rank). Rows are
// ranks 0..9, columns files 0..8; every table is left-right symmetric.
// ---------------------------------------------------------------------------
using RankRows = int16_t[10][9];
using BaseTable = std::array<int16_t, kBoardSize>;

constexpr BaseTable FromRanks(const RankRows& rows) {
  BaseTable t{};
  for (int r = 0; r < 10; ++r)
    for (int f = 0; f < 9; ++f) t[MakeSquare(f, r)] = rows[r][f];
  return t;
}

// clang-format off
constexpr RankRows kChariotRows = {
    {   5,   11,    9,   38,   45,   38,    9,   11,    5},  // rank 0
    {  10,   30,   10,   70,   85,   70,   10,   30,   10},  // rank 1
    {   3,   20,    5,   15,   25,   15,    5,   20,    3},  // rank 2
    {   5,   40,   40,   65,   10,   65,   40,   40,    5},  // rank 3
    {   6,   20,    3,   30,    8,   30,    3,   20,    6},  // rank 4
    {  22,   50,   16,   65,   16,   65,   16,   50,   22},  // rank 5
    { -15,   -8,  -10,  -25,   10,  -25,  -10,   -8,  -15},  // rank 6
    { -82,  -25,  -40,  -15,  -80,  -15,  -40,  -25,  -82},  // rank 7
    { -50,  -46,  -50,   -5,  -85,   -5,  -50,  -46,  -50},  // rank 8
    { -80,  -20,  -60,   15,  -80,   15,  -60,  -20,  -80},  // rank 9
};
constexpr RankRows kKnightRows = {
    { -37,  -30,  -15,  -20,  -25,  -20,  -15,  -30,  -37},  // rank 0
    { -25,   -5,   85,    0,  -10,    0,   85,   -5,  -25},  // rank 1
    {   0,   30,   55,   65,   80,   65,   55,   30,    0},  // rank 2
    { -20,   70,   45,   70,   47,   70,   45,   70,  -20},  // rank 3
    { -17,   35,   35,   50,   31,   50,   35,   35,  -17},  // rank 4
    { -10,   30,   55,   45,   10,   45,   55,   30,  -10},  // rank 5
    { -19,   32,  -15,  -20,   40,  -20,  -15,   32,  -19},  // rank 6
    { -19,  -15,   -5,   43,  -30,   43,   -5,  -15,  -19},  // rank 7
    {-100,  -18,  -32,  -20, -170,  -20,  -32,  -18, -100},  // rank 8
    {-110,  -65,  -40,  -68, -120,  -68,  -40,  -65, -110},  // rank 9
};
// Shared by advisers and elephants.
constexpr RankRows kDefenderRows = {
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 0
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 1
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 2
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 3
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 4
    {   0,    0,  -28,    0,    0,    0,  -28,    0,    0},  // rank 5
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 6
    {  -5,    0,    0,  -30,   60,  -30,    0,    0,   -5},  // rank 7
    {   0,    0,    0,    0,   20,    0,    0,    0,    0},  // rank 8
    {   0,    0,   25,    0,    0,    0,   25,    0,    0},  // rank 9
};
constexpr RankRows kKingRows = {
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 0
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 1
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 2
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 3
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 4
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 5
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 6
    {   0,    0,    0, -220, -200, -220,    0,    0,    0},  // rank 7
    {   0,    0,    0, -160, -125, -160,    0,    0,    0},  // rank 8
    {   0,    0,    0,  -50,   20,  -50,    0,    0,    0},  // rank 9
};
constexpr RankRows kPawnRows = {
    {-120, -110, -100,   25,   10,   25, -100, -110, -120},  // rank 0
    {  70,  110,  200,  265,  300,  265,  200,  110,   70},  // rank 1
    { 145,  180,  210,  220,  260,  220,  210,  180,  145},  // rank 2
    { 140,  165,  190,  195,  185,  195,  190,  165,  140},  // rank 3
    { 130,  140,  165,  185,  180,  185,  165,  140,  130},  // rank 4
    {  10,    0,   50,    0,   70,    0,   50,    0,   10},  // rank 5
    {   0,    0,   25,    0,   55,    0,   25,    0,    0},  // rank 6
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 7
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 8
    {   0,    0,    0,    0,    0,    0,    0,    0,    0},  // rank 9
};
constexpr RankRows kCannonRows = {
    {  37,   35,   -5,  -25,  -90,  -25,   -5,   35,   37},  // rank 0
    {  15,   16,    0,  -20,  -60,  -20,    0,   16,   15},  // rank 1
    { -10,  -25,  -20,  -45,   10,  -45,  -20,  -25,  -10},  // rank 2
    {   8,    5,    0,  -15,   75,  -15,    0,    5,    8},  // rank 3
    { -11,  -20,  -25,    4,   65,    4,  -25,  -20,  -11},  // rank 4
    { -32,  -27,  -15,    3,   60,    3,  -15,  -27,  -32},  // rank 5
    {   1,  -35,    1,  -10,   30,  -10,    1,  -35,    1},  // rank 6
    {  20,  -20,   25,   45,   50,   45,   25,  -20,   20},  // rank 7
    { -15,  -20,    0,  -12,  -50,  -12,    0,  -20,  -15},  // rank 8
    { -42,  -35,  -25,  -15,  -25,  -15,  -25,  -35,  -42},  // rank 9
};
// clang-format on

constexpr BaseTable kChariotBase = FromRanks(kChariotRows);
constexpr BaseTable kKnightBase = FromRanks(kKnightRows);
constexpr BaseTable kDefenderBase = FromRanks(kDefenderRows);
constexpr BaseTable kKingBase = FromRanks(kKingRows);
constexpr BaseTable kPawnBase = FromRanks(kPawnRows);
constexpr BaseTable kCannonBase = FromRanks(kCannonRows);

// Base table of each colourless PieceType.
constexpr const BaseTable* kBaseOfType[8] = {
    nullptr,      &kPawnBase,   &kDefenderBase, &kDefenderBase,
    &kKnightBase, &kCannonBase, &kChariotBase,  &kKingBase,
};

struct SymmetryCheck {
  const BaseTable* table;
  const char* error;
};
constexpr SymmetryCheck kSymmetryChecks[6] = {
    {&kChariotBase, "***** Chariot symetry error\r\n"},
    {&kKnightBase, "***** Knight symetry error\r\n"},
    {&kDefenderBase, "***** Elephant symetry error\r\n"},
    {&kKingBase, "***** King symetry error\r\n"},
    {&kPawnBase, "***** Pawn symetry error\r\n"},
    {&kCannonBase, "***** Canon symetry error\r\n"},
};

// Logs every entry of a base table that differs from its left-right mirror.
void CheckBaseTableSymmetry() {
  for (int s = 0; s < kBoardSize; ++s)
    for (const SymmetryCheck& check : kSymmetryChecks)
      if ((*check.table)[s] != (*check.table)[mirrorSquare[s]]) AppendLogLine(check.error);
}

int32_t Count(uint32_t side, uint32_t type) {
  return static_cast<int32_t>(pieceCount[side][type - 1]);
}

// Counts the pieces on the board (kings excluded) and rebuilds typeBoard.
void RecountMaterial() {
  std::memset(pieceCount, 0, sizeof pieceCount);
  std::memset(typeBoard, 0, sizeof typeBoard);
  for (Square s = kFirstSquare; s <= 176; ++s) {
    const int piece = board[s];
    if (piece < 1 || piece > 32) continue;
    if (piece != 1 && piece != 17) ++pieceCount[piece > 16][pieceTypeOf[piece] - 1];
    typeBoard[s] = static_cast<uint8_t>(colouredTypeOf[piece]);
  }
  for (uint32_t side = kRed; side <= kBlack; ++side)
    attackerCount[side] = pieceCount[side][kKnight - 1] + pieceCount[side][kCannon - 1] +
                          pieceCount[side][kChariot - 1];
}

// Piece values for this search, [side][colourless type]: pawns lose worth as
// attacking pieces remain, knights as pieces and pawns remain, and the
// cannon is priced against the knight.
void ComputeDynamicValues(int32_t values[2][8]) {
  const int32_t a = static_cast<int32_t>(attackerCount[kRed]);
  const int32_t b = static_cast<int32_t>(attackerCount[kBlack]);
  const int32_t pawns = Count(kRed, kPawn) + Count(kBlack, kPawn);
  for (uint32_t side = kRed; side <= kBlack; ++side) {
    const int32_t* table = &pieceValueTable[6 * side];
    const int32_t own = side == kRed ? a : b;
    int32_t knight = table[3] + 76 - 3 * (a + b) - 4 * pawns;
    if (knight > 585) knight = 585;
    int32_t cannon = table[4] + 550 - knight;
    if (cannon < 540) cannon = 540;
    values[side][0] = 0;
    values[side][kPawn] = table[0] + 84 - 18 * own;
    values[side][kAdviser] = table[1];
    values[side][kElephant] = table[2];
    values[side][kKnight] = knight;
    values[side][kCannon] = cannon;
    values[side][kChariot] = table[5];
    values[side][kKing] = 0;
  }
}

void FillBanks(const int32_t values[2][8]) {
  for (uint32_t type = kPawn; type <= kKing; ++type) {
    const BaseTable& base = *kBaseOfType[type];
    for (Square s = kFirstSquare; s < 176; ++s) {
      pieceSquareRed[type][s] = base[s] + values[kRed][type];
      pieceSquareBlack[type][s] = base[RankMirror(s)] + values[kBlack][type];
    }
  }
}

void AddRed(uint32_t type, int file, int rank, int32_t delta) {
  pieceSquareRed[type][MakeSquare(file, rank)] += delta;
}
void AddBlack(uint32_t type, int file, int rank, int32_t delta) {
  pieceSquareBlack[type][MakeSquare(file, rank)] += delta;
}
bool PieceOn(PieceIndex piece, int file, int rank) {
  return posPiece[piece] == MakeSquare(file, rank);
}

// The fixed corrections that depend on the material only (and, for the
// central pawns, on the enemy knights' development).
void ApplyFixedCorrections() {
  const int32_t a = static_cast<int32_t>(attackerCount[kRed]);
  const int32_t b = static_cast<int32_t>(attackerCount[kBlack]);

  // Many attacking pieces: corner chariots and undeveloped knights are poor,
  // and the centre pawn is worth pushing while the enemy centre pawn stands.
  if (a + b > 5) {
    const int32_t v = a + b;
    AddRed(kChariot, 8, 9, -8 * v);
    AddRed(kChariot, 7, 9, -5 * v);
    AddRed(kChariot, 1, 9, -5 * v);
    AddRed(kChariot, 0, 9, -9 * v);
    AddRed(kChariot, 8, 7, -25);
    AddRed(kChariot, 8, 8, -15);
    AddRed(kChariot, 0, 7, -25);
    AddRed(kChariot, 0, 8, -15);
    AddRed(kChariot, 7, 6, -25);
    AddRed(kChariot, 1, 6, -25);
    AddRed(kKnight, 7, 9, -4 * v);
    AddRed(kKnight, 1, 9, -4 * v);
    if (posPiece[30] != 0 && !(PieceOn(22, 6, 2) && PieceOn(23, 2, 2))) AddRed(kPawn, 4, 6, 50);

    AddBlack(kChariot, 8, 0, -8 * v);
    AddBlack(kChariot, 0, 0, -8 * v);
    AddBlack(kChariot, 7, 0, -5 * v);
    AddBlack(kChariot, 1, 0, -5 * v);
    AddBlack(kChariot, 8, 2, -25);
    AddBlack(kChariot, 8, 1, -15);
    AddBlack(kChariot, 0, 2, -25);
    AddBlack(kChariot, 0, 1, -15);
    AddBlack(kChariot, 7, 3, -25);
    AddBlack(kChariot, 1, 3, -25);
    AddBlack(kKnight, 7, 0, -4 * v);
    AddBlack(kKnight, 1, 0, -4 * v);
    if (posPiece[14] != 0 && !(PieceOn(6, 6, 7) && PieceOn(7, 2, 7))) AddBlack(kPawn, 4, 3, 50);
  }

  // A king without advisers facing at most one attacking piece may as well
  // stay home.
  if (Count(kRed, kAdviser) == 0 && b <= 1) {
    for (int f = 3; f <= 5; ++f)
      for (int r = 7; r <= 9; ++r) pieceSquareRed[kKing][MakeSquare(f, r)] = 0;
    pieceSquareRed[kKing][MakeSquare(4, 9)] = 1;
  }
  if (Count(kBlack, kAdviser) == 0 && a <= 1) {
    for (int f = 3; f <= 5; ++f)
      for (int r = 0; r <= 2; ++r) pieceSquareBlack[kKing][MakeSquare(f, r)] = 0;
    pieceSquareBlack[kKing][MakeSquare(4, 0)] = 1;
  }

  // Squares the enemy elephants cover.
  if (Count(kBlack, kElephant) >= 1) {
    const int32_t chariotKnight[4] = {-20, -20, -12, -12};
    const int32_t cannon[4] = {-16, -16, -12, -12};
    const int squares[4][2] = {{6, 4}, {2, 4}, {8, 2}, {0, 2}};
    for (int i = 0; i < 4; ++i) {
      AddRed(kChariot, squares[i][0], squares[i][1], chariotKnight[i]);
      AddRed(kKnight, squares[i][0], squares[i][1], chariotKnight[i]);
      AddRed(kCannon, squares[i][0], squares[i][1], cannon[i]);
    }
  }
  if (Count(kRed, kElephant) >= 1) {
    const int32_t chariotKnight[4] = {-20, -20, -12, -12};
    const int32_t cannon[4] = {-16, -16, -12, -12};
    const int squares[4][2] = {{6, 5}, {2, 5}, {8, 7}, {0, 7}};
    for (int i = 0; i < 4; ++i) {
      AddBlack(kChariot, squares[i][0], squares[i][1], chariotKnight[i]);
      AddBlack(kKnight, squares[i][0], squares[i][1], chariotKnight[i]);
      AddBlack(kCannon, squares[i][0], squares[i][1], cannon[i]);
    }
  }

  // A lone knight belongs in the centre, not on its own side's flanks.
  if (Count(kBlack, kKnight) == 1 && Count(kBlack, kCannon) == 0 && Count(kBlack, kChariot) == 0) {
    AddBlack(kKnight, 6, 8, -50);
    AddBlack(kKnight, 2, 8, -50);
    AddBlack(kKnight, 4, 5, 50);
    AddBlack(kKnight, 5, 5, 50);
    AddBlack(kKnight, 3, 5, 50);
    AddBlack(kKnight, 4, 4, 50);
  }
  if (Count(kRed, kKnight) == 1 && Count(kRed, kCannon) == 0 && Count(kRed, kChariot) == 0) {
    AddRed(kKnight, 6, 1, -50);
    AddRed(kKnight, 2, 1, -50);
    AddRed(kKnight, 4, 4, 50);
    AddRed(kKnight, 5, 4, 50);
    AddRed(kKnight, 3, 4, 50);
    AddRed(kKnight, 4, 5, 50);
  }
}

// With little material left a cheaper evaluator knows enough. Only a choice
// of the full evaluator is lowered; the lazy margin stays the user level's.
void LowerEvaluatorForMaterial() {
  if (evaluator != EvaluateFull) return;
  const uint32_t a = attackerCount[kRed];
  const uint32_t b = attackerCount[kBlack];
  const bool noChariots = Count(kRed, kChariot) == 0 && Count(kBlack, kChariot) == 0;
  const bool fewMinors = Count(kRed, kKnight) + Count(kRed, kCannon) <= 3 &&
                         Count(kBlack, kKnight) + Count(kBlack, kCannon) <= 3;
  if ((a <= 2 && b <= 2) || (noChariots && fewMinors)) evaluator = EvaluatorForLevel(2);
  if (a <= 1 && b <= 1) evaluator = EvaluatorForLevel(1);
}

}  // namespace

void PrepareEvaluation() {
  // The tables change: evaluations remembered so far no longer hold.
  StopEvalMemo();
  std::memset(pieceSquareRed, 0, sizeof pieceSquareRed);
  std::memset(pieceSquareBlack, 0, sizeof pieceSquareBlack);
  CheckBaseTableSymmetry();
  RecountMaterial();
  RebuildLineMasks();

  int32_t values[2][8];
  ComputeDynamicValues(values);
  FillBanks(values);
  ApplyFixedCorrections();
  AdjustPieceSquareTables();

  for (uint32_t side = kRed; side <= kBlack; ++side)
    attackWeight[side] =
        5 * Count(side, kKnight) + 10 * Count(side, kChariot) + 5 * Count(side, kCannon);

  SelectEvaluator();
  LowerEvaluatorForMaterial();
  materialBalance = RecomputeBalance();
  ClearHistoryTables();
  if (!ValidateBoard()) AppendLogLine("***** Invalid Board !\r\n");
}

int32_t RecomputeBalance() {
  int32_t red = pieceSquareRed[kKing][*redKingSquarePtr];
  for (PieceIndex i = 2; i <= 16; ++i)
    if (posPiece[i] != 0) red += pieceSquareRed[pieceTypeOf[i]][posPiece[i]];
  int32_t black = pieceSquareBlack[kKing][*blackKingSquarePtr];
  for (PieceIndex i = 18; i <= 32; ++i)
    if (posPiece[i] != 0) black += pieceSquareBlack[pieceTypeOf[i]][posPiece[i]];
  return red - black;
}
