// New-game reset, handicaps and the knight two-step tables.
#include "engine/search/new_game.h"

#include <cstring>

#include "engine/bridge.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/learning.h"
#include "engine/search/opening_names.h"
#include "engine/search/search_tables.h"
#include "engine/search/tt.h"
#include "game/comments.h"
#include "game/game_clock.h"
#include "game/header.h"

int32_t Handicap;

namespace {

constexpr int kKnightOffsets[8] = {-18, 14, 31, 33, 18, -14, -31, -33};
// Diagonal neighbour of the square a knight step starts from, paired with
// each knight offset: the leg as seen from the other end of the step.
constexpr int kDiagonalOffsets[8] = {-17, 15, 15, 17, 17, -15, -15, -17};
// Orthogonal leg of each pair of knight offsets.
constexpr int kOrthogonalOffsets[4] = {-1, 16, 1, -16};

bool IsPlaying(int s) { return s >= 0 && s < kBoardSize && onBoard[s] != 0; }

bool twoStepTablesBuilt = false;

}  // namespace

void InitTwoStepTables() {
  if (twoStepTablesBuilt) return;
  twoStepTablesBuilt = true;
  std::memset(knightCheckMove1, 0, sizeof knightCheckMove1);
  std::memset(knightCheckLeg1, 0, sizeof knightCheckLeg1);
  std::memset(knightStepLeg1, 0, sizeof knightStepLeg1);
  std::memset(knightCheckMove2, 0, sizeof knightCheckMove2);
  std::memset(knightCheckLeg2, 0, sizeof knightCheckLeg2);
  std::memset(knightStepLeg2, 0, sizeof knightStepLeg2);
  std::memset(knightLeg, 0, sizeof knightLeg);
  for (int s = kFirstSquare; s <= static_cast<int>(kLastSquare); ++s) {
    if (!IsPlaying(s)) continue;
    for (int k = 0; k < 8; ++k) {
      const int m = s + kKnightOffsets[k];
      if (!IsPlaying(m)) continue;
      knightLeg[s][m] = static_cast<uint8_t>(s + kOrthogonalOffsets[k / 2]);
      // s is the king square, m the square a knight checks it from, t the
      // square the knight comes from.
      for (int j = 0; j < 8; ++j) {
        const int t = m + kKnightOffsets[j];
        if (!IsPlaying(t) || t == s) continue;
        const uint32_t move = static_cast<uint32_t>(t) << 16 | static_cast<uint32_t>(m);
        const auto checkLeg = static_cast<uint8_t>(s + kDiagonalOffsets[k]);
        const auto stepLeg = static_cast<uint8_t>(m + kDiagonalOffsets[j]);
        if (knightCheckMove1[s][t] == 0) {
          knightCheckMove1[s][t] = move;
          knightCheckLeg1[s][t] = checkLeg;
          knightStepLeg1[s][t] = stepLeg;
        } else {
          knightCheckMove2[s][t] = move;
          knightCheckLeg2[s][t] = checkLeg;
          knightStepLeg2[s][t] = stepLeg;
        }
      }
    }
  }
}

void ApplyHandicap() {
  static constexpr uint8_t kRemoved[10][3] = {
      {0, 0, 0}, {13, 15, 0}, {6, 0, 0},  {11, 0, 0}, {6, 7, 0},
      {10, 7, 0}, {8, 0, 0},  {9, 6, 0},  {10, 9, 0}, {8, 10, 7}};
  if (Handicap < 0 || Handicap > 9) return;
  for (uint8_t piece : kRemoved[Handicap]) {
    if (piece == 0 || posPiece[piece] == 0) continue;
    board[posPiece[piece]] = 0;
    posPiece[piece] = 0;
  }
}

void ResetGameState(int full) {
  currentOpening = 0;
  InitTwoStepTables();
  ClearCommentStore();
  historyBase = &history[1];
  history[1].reversibleMoves = 0;
  reversibleMoves = 0;
  std::memset(board, 0, sizeof board);
  std::memset(typeBoard, 0, sizeof typeBoard);
  for (uint32_t i = 1; i <= 32; ++i) {
    const uint32_t s = startSquareOf[i];
    board[s] = static_cast<int8_t>(i);
    posPiece[i] = s;
    typeBoard[s] = static_cast<uint8_t>(colouredTypeOf[i]);
  }
  if (full) {
    for (int i = 1; i < kHistorySize; ++i) {
      history[i].extension = 0;
      history[i].extended = 0;
    }
  }
  ApplyHandicap();
  PrepareEvaluation();
  if (full) std::memcpy(displayBoard, board, sizeof displayBoard);
  shownSideToMove = 0;
  startSideToMove = 0;
  sideToMove = 0;
  gamePly = 0;
  gameLength = 0;
  historyPly = 0;
  if (full) ClearHashTables();
  ponderMove = 0;
  ComputePositionKeys(&positionLock, &positionKey, posPiece);
  engineState = kEngineIdle;
  SetBusyCursor(0);
  if (full) {
    ClearHistoryTables();
    gameClock.Reset();
    OpenLearningFiles();
  }
  ClearGameFileName();
  ResetGameHeaderAndComments();
  InitLineTables();
}
