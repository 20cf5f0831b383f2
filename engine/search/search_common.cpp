// The search's program-wide state, the node count with its poll, and the
// tests shared by the root, inner-node and quiescence searches.
#include <cstring>

#include "engine/search/engine_state.h"
#include "engine/search/learning.h"
#include "engine/search/search_internal.h"
#include "engine/search/time_control.h"
#include "engine/search/tt.h"

RootMoveEntry rootMoves[kMaxRootMoves];
int32_t rootMoveCount;
Move principalVariation[kMaxSearchPly][kMaxSearchPly];
int32_t pvLength[kMaxSearchPly];
int32_t bestScore;
int32_t rootForced;
Move searchedRootMove;
int32_t searchedRootIndex;
uint8_t threatFlags[kHistorySize];
uint8_t searchFlags;
int32_t checkExtensionLimit;
int32_t rootDepth16;
int32_t quiescenceBasePly;
int32_t rootBalance;
int32_t useSelection = 1;
SearchTrace searchTrace;

void CountNodeAndPoll() {
  const uint32_t count = nodeCount + 1;
  if (count > pollBaseCount + static_cast<uint32_t>(pollInterval)) {
    if (count < kNodeCountFold + 1) {
      nodeCount = count;
      pollBaseCount = count;
    } else {
      ++nodeCountHigh;
      nodeCount = count - kNodeCountFold;
      pollBaseCount -= kNodeCountFold;
    }
    CheckSearchTime();
  } else {
    nodeCount = count;
  }
}

namespace search_detail {

void TakeChildLine(int ply, Move move) {
  Move* row = principalVariation[ply];
  row[ply] = move;
  int end = pvLength[ply + 1];
  if (end > kMaxSearchPly) end = kMaxSearchPly;
  for (int i = ply + 1; i < end; ++i) row[i] = principalVariation[ply + 1][i];
  pvLength[ply] = end > ply + 1 ? end : ply + 1;
}

int RepetitionCycles(uint32_t inCheck, int32_t* score) {
  const int n = RecordIndex();
  if (n < 3 || history[n].move == 0 || history[n - 1].move == 0 || history[n - 2].move == 0)
    return 0;
  for (int cycle = 4; cycle <= 10; cycle += 2) {
    // The position `cycle` plies back stood before move n + 1 - cycle.
    const int k = n + 1 - cycle;
    if (k < 1) break;
    if (history[k].lock == positionLock && AdjudicateRepetition(cycle, n, inCheck, score) != 0)
      return 1;
  }
  return 0;
}

int32_t BackAndForthPenalty(int ply, Move move, int32_t score, int32_t band) {
  if (score < -band || score > band) return score;
  const Move* line = principalVariation[ply + 1];
  if (pvLength[ply + 1] - (ply + 1) < 3 || ply + 3 >= kMaxSearchPly) return score;
  const Move reply = line[ply + 1];
  if (line[ply + 2] != ReverseMove(move) || line[ply + 3] != ReverseMove(reply)) return score;
  if (board[MoveTo(move)] != 0) return score;  // the move captures
  if (MakeMove(move, static_cast<int32_t>(CheckerOfSideToMove())) == 0) return score;
  if (board[MoveTo(reply)] == 0) {  // the reply does not capture either
    if (CheckerOfSideToMove() != 0) {
      score -= 2500;
    } else if (score >= -49 && score <= 49) {
      score = sideToMove == kBlack ? contemptBlack : contemptRed;
    } else {
      score -= 500;
    }
  }
  UnmakeMove();
  return score;
}

bool ReplyTakesMovedPiece(int ply, Move move, int* lineMoves) {
  const int length = pvLength[ply + 1] - (ply + 1);
  *lineMoves = length > 0 ? length : 0;
  if (length < 1) return false;
  const Square target = MoveTo(move);
  const Move* line = principalVariation[ply + 1];
  if (MoveTo(line[ply + 1]) != target || board[target] != 0) return false;
  return length < 2 || MoveTo(line[ply + 2]) != target;
}

int ProbeLearningEntries(int ply, bool quiescence, int32_t depth16, int32_t* score) {
  if (const LearningMateEntry* mate = ProbeLearningMate()) {
    principalVariation[ply][ply] = mate->move;
    // The inner nodes take a lost mate closer by the ply, the quiescence
    // search any negative score.
    const bool lost = quiescence ? mate->score < 0 : mate->score < -kMateScoreBound;
    *score = lost ? mate->score + ply : mate->score - ply;
    return 1;
  }
  if (attackerCount[kRed] > 2 && attackerCount[kBlack] > 2 && RecordIndex() < 80) {
    const LearningRecord* learnt = ProbeLearning();
    if (learnt != nullptr &&
        (quiescence || static_cast<int32_t>(learnt->depth) * 16 >= depth16)) {
      principalVariation[ply][ply] = learnt->move;
      *score = HashScoreAtPly(learnt->score, ply);
      return 1;
    }
  }
  return 0;
}

}  // namespace search_detail
