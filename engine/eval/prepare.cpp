// Evaluation preparation: recounts the material on the board and builds the
// piece-square banks. The banks hold the plain piece values for now; the
// square bonuses come with the full evaluator.
#include "engine/eval/prepare.h"

#include <cstring>

#include "engine/position/position.h"
#include "engine/search/search_tables.h"

int32_t pieceValueTable[12] = {100, 185, 195, 550, 570, 1280, 100, 185, 195, 550, 570, 1280};
int32_t middleKnowledge = 5;
int32_t pieceSquareRed[8][176];
int32_t pieceSquareBlack[8][176];

namespace {

void RecountMaterial() {
  std::memset(typeBoard, 0, sizeof typeBoard);
  std::memset(pieceCount, 0, sizeof pieceCount);
  for (uint32_t i = 1; i <= 32; ++i) {
    const uint32_t s = posPiece[i];
    if (s == 0) continue;
    typeBoard[s] = static_cast<uint8_t>(colouredTypeOf[i]);
    if (pieceTypeOf[i] != kKing) ++pieceCount[i > 16][pieceTypeOf[i] - 1];
  }
  for (int side = 0; side < 2; ++side) {
    const uint32_t knights = pieceCount[side][kKnight - 1];
    const uint32_t cannons = pieceCount[side][kCannon - 1];
    const uint32_t chariots = pieceCount[side][kChariot - 1];
    attackerCount[side] = knights + cannons + chariots;
    attackWeight[side] = static_cast<int32_t>(5 * knights + 5 * cannons + 10 * chariots);
  }
}

void FillPlainBanks() {
  std::memset(pieceSquareRed, 0, sizeof pieceSquareRed);
  std::memset(pieceSquareBlack, 0, sizeof pieceSquareBlack);
  for (int type = kPawn; type <= kChariot; ++type) {
    for (int s = 0; s < 176; ++s) {
      pieceSquareRed[type][s] = pieceValueTable[type - 1];
      pieceSquareBlack[type][s] = pieceValueTable[6 + type - 1];
    }
  }
}

}  // namespace

void PrepareEvaluation() {
  RecountMaterial();
  RebuildLineMasks();
  FillPlainBanks();
  ClearHistoryTables();
  materialBalance = RecomputeBalance();
}

int32_t RecomputeBalance() {
  int32_t balance = 0;
  for (uint32_t i = 1; i <= 16; ++i)
    if (posPiece[i] != 0) balance += pieceSquareRed[pieceTypeOf[i]][posPiece[i]];
  for (uint32_t i = 17; i <= 32; ++i)
    if (posPiece[i] != 0) balance -= pieceSquareBlack[pieceTypeOf[i]][posPiece[i]];
  return balance;
}
