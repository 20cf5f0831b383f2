// The shared verdict writers of the endgame evaluators and the trivial draw
// evaluator. Scores are from the side to move's view; B is materialBalance
// (red's view) and every division truncates toward zero.
#include "engine/eval/endgame.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

// Files 0 and 8. Rows are files 0..8 of the 16-wide board (ranks 0..9 at
// columns 2..11), with two frame rows before and after.
const uint8_t edgeFileSquare[kBoardSize] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // frame
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // frame
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,  // file 0
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 1
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 2
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 3
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 4
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 5
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 6
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // file 7
    0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,  // file 8
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // frame
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // frame
};

namespace {

void Write(EndgameVerdict* verdict, int32_t score, int32_t flag) {
  verdict->score = score;
  verdict->flag = flag;
}

}  // namespace

// A dead draw: the draw value of the side to move, nudged by a sixteenth of
// the material.
void SetDrawVerdict(EndgameVerdict* verdict) {
  const int32_t b = materialBalance;
  if (sideToMove == kRed)
    Write(verdict, contemptRed + b / 16, kVerdictExact);
  else
    Write(verdict, contemptBlack - b / 16, kVerdictExact);
}

// No knight, cannon, chariot or pawn on either side: nobody can win.
void EvalNoAttackersDraw(EndgameVerdict* verdict) {
  const int32_t b = materialBalance;
  if (sideToMove == kRed)
    Write(verdict, contemptRed + b / 8, kVerdictExact);
  else
    Write(verdict, contemptBlack - b / 8, kVerdictExact);
}

// Red holds at least the draw. Both sides to move take red's draw value.
void SetRedCannotLoseVerdict(EndgameVerdict* verdict) {
  const int32_t b = materialBalance;
  if (sideToMove == kRed)
    Write(verdict, contemptRed + b / 8, kVerdictAtLeast);
  else
    Write(verdict, contemptRed - b / 8, kVerdictAtMost);
}

// Black holds at least the draw. Both sides to move take black's draw value.
void SetBlackCannotLoseVerdict(EndgameVerdict* verdict) {
  const int32_t b = materialBalance;
  if (sideToMove == kRed)
    Write(verdict, contemptBlack + b / 8, kVerdictAtMost);
  else
    Write(verdict, contemptBlack - b / 8, kVerdictAtLeast);
}

// A known red win worth x on top of half the material.
void SetRedWinsVerdict(int32_t x, EndgameVerdict* verdict) {
  const int32_t b = materialBalance;
  if (sideToMove == kRed)
    Write(verdict, b / 2 + x, kVerdictAtLeast);
  else
    Write(verdict, (-b) / 2 - x, kVerdictAtMost);
}

// A known black win worth x on top of half the material.
void SetBlackWinsVerdict(int32_t x, EndgameVerdict* verdict) {
  const int32_t b = materialBalance;
  if (sideToMove == kRed)
    Write(verdict, b / 2 - x, kVerdictAtMost);
  else
    Write(verdict, (-b) / 2 + x, kVerdictAtLeast);
}

void ClearVerdict(EndgameVerdict* verdict) { Write(verdict, 0, kVerdictNone); }

void SetWinsVerdict(uint32_t side, int32_t x, EndgameVerdict* verdict) {
  if (side == kRed)
    SetRedWinsVerdict(x, verdict);
  else
    SetBlackWinsVerdict(x, verdict);
}

void SetCannotLoseVerdict(uint32_t side, EndgameVerdict* verdict) {
  if (side == kRed)
    SetRedCannotLoseVerdict(verdict);
  else
    SetBlackCannotLoseVerdict(verdict);
}
