// The root of the search: the one-ply scoring of the root moves before the
// first iteration, the ordering of the root list between passes, and the
// root search of one iteration and window.
#include <cstring>

#include "engine/bridge.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_internal.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "engine/search/tt.h"

using namespace search_detail;

namespace {

// Root penalties and the mate that ends an iteration early.
constexpr int32_t kRootPenaltyBand = 3094744;

// The entry's expected continuation := row 1 of the PV from its first move,
// at most seven moves, 0-terminated.
void KeepChildLine(RootMoveEntry& entry) {
  int length = pvLength[1] - 1;
  if (length < 0) length = 0;
  if (length > kRootLineWords - 1) length = kRootLineWords - 1;
  for (int i = 0; i < length; ++i) entry.line[i] = principalVariation[1][1 + i];
  entry.line[length] = 0;
}

bool IsLogLine(const IterationLogRecord& r) {
  return r.lineLength > 0 && r.score != kMarkerFailHigh && r.score != kMarkerFailLow &&
         r.score != kMarkerIterationDone;
}

// The newest log line of depth 3 or more that starts with a's or b's move
// decides their order: +1 when it starts with b's (b goes first), -1 with
// a's, 0 when no line decides.
int LogPreference(Move a, Move b) {
  const int count = iterationLogCount < kIterationLogSize ? iterationLogCount : kIterationLogSize;
  for (int i = count - 1; i >= 0; --i) {
    const IterationLogRecord& r = iterationLog[i];
    if (!IsLogLine(r) || r.depthOrScore < 3) continue;
    if (r.line[0] == b) return 1;
    if (r.line[0] == a) return -1;
  }
  return 0;
}

bool ShouldSwap(const RootMoveEntry& a, const RootMoveEntry& b) {
  if (b.lastScore > a.lastScore + 33) return true;
  if (a.lastScore <= b.lastScore) {
    const int preference = LogPreference(a.move, b.move);
    if (preference != 0) return preference > 0;
  }
  return a.lastScore < b.lastScore || (a.lastScore == b.lastScore && a.score < b.score);
}

void SwapEntries(int i, int j) {
  const RootMoveEntry t = rootMoves[i];
  rootMoves[i] = rootMoves[j];
  rootMoves[j] = t;
}

}  // namespace

void ScoreRootMoves(RootMoveEntry* entries, int32_t count) {
  for (int32_t i = 0; i < count; ++i) {
    entries[i].score = 0;
    entries[i].lastScore = 0;
    entries[i].scoredReply = 0;
  }
  checkExtensionLimit = 96;
  rootDepth16 = 16;
  quiescenceBasePly = 1;
  historyBase[historyPly].extension = 0;
  historyBase[historyPly].extended = 0;
  searchFlags = 0;

  // Each move is scored with the stop flag cleared, so that the scores are
  // complete even when a request arrives meanwhile; a stop raised during the
  // scoring is kept for the search that follows.
  int32_t stopSeen = stopRequested;
  const auto inCheck = static_cast<int32_t>(CheckerOfSideToMove());
  for (int32_t i = 0; i < count; ++i) {
    RootMoveEntry& entry = entries[i];
    if (entry.move == 0) continue;
    if (MakeMove(entry.move, inCheck) == 0) {
      entry.score = -kMateScore;
      continue;
    }
    std::memset(entry.line, 0, sizeof entry.line);
    const uint32_t captured = historyBase[historyPly - 1].captured;
    if (captured == 1 || captured == 17) {
      entry.score = entry.lastScore = kMateScore;
    } else {
      int32_t score = 0;
      for (int attempt = 0; attempt < 2; ++attempt) {
        stopRequested = 0;
        score = -SearchNode(-kMateScore, kMateScore, 16, 0, kNoEval, 0, 0);
        if (stopRequested == 0) break;
        stopSeen = 1;  // interrupted: score the move once more
      }
      entry.score = entry.lastScore = score;
      entry.scoredReply = pvLength[1] > 1 ? principalVariation[1][1] : 0;
    }
    UnmakeMove();
    if (entry.score >= 3199997) break;
  }
  stopRequested = stopSeen;
}

void ReorderRootMoves() {
  // The first moves of the three newest logged lines go to the front.
  int k = 0;
  int linesSeen = 0;
  const int logCount = iterationLogCount < kIterationLogSize ? iterationLogCount : kIterationLogSize;
  for (int i = logCount - 1; i >= 0 && linesSeen < 3; --i) {
    const IterationLogRecord& r = iterationLog[i];
    if (!IsLogLine(r)) continue;
    ++linesSeen;
    for (int j = k; j < rootMoveCount; ++j) {
      if (rootMoves[j].move == r.line[0]) {
        SwapEntries(j, k);
        ++k;
        break;
      }
    }
  }
  // The rest by adjacent swaps until a pass changes nothing. The comparison
  // mixes score margins with the log, so the passes are bounded.
  const int maxPasses = 2 * rootMoveCount + 2;
  for (int pass = 0; pass < maxPasses; ++pass) {
    bool swapped = false;
    for (int i = k; i + 1 < rootMoveCount; ++i) {
      if (ShouldSwap(rootMoves[i], rootMoves[i + 1])) {
        SwapEntries(i, i + 1);
        swapped = true;
      }
    }
    if (!swapped) break;
  }
}

int32_t SearchRoot(int32_t alpha, int32_t beta, int32_t depth) {
  if (searchTrace.rootSearches < SearchTrace::kWindows)
    searchTrace.rootWindows[searchTrace.rootSearches] = {alpha, beta, depth};
  ++searchTrace.rootSearches;
  rootBalance = materialBalance;
  CountNodeAndPoll();
  if (stopRequested) return 0;

  const int ply = historyPly;
  pvLength[ply] = ply;
  const auto inCheck = static_cast<int32_t>(CheckerOfSideToMove());
  rootDepth16 = depth;
  HistoryRecord& root = historyBase[ply];
  root.extension = 0;
  root.extended = 0;
  const int n = RecordIndex();
  threatFlags[n + 1] = 0;
  checkExtensionLimit = depth * 8 / 6 + 80;
  quiescenceBasePly = depth / 16;
  MovePicker& picker = movePickers[ply];
  picker.returnedPv = picker.returnedTt = picker.returnedKiller1 = picker.returnedKiller2 = 0;
  ReorderRootMoves();
  searchFlags = 0;

  const int32_t alphaGiven = alpha;
  int legalMoves = 0;
  int playable = 0;
  if (rootMoveCount == 0) rootForced = 1;

  for (int i = 0; i < rootMoveCount; ++i) {
    RootMoveEntry& entry = rootMoves[i];
    const Move move = entry.move;
    if (move == 0 || MakeMove(move, inCheck) == 0) continue;
    ++legalMoves;
    searchedRootMove = move;
    searchedRootIndex = i;
    if (depth > 64) NotifyEngineEvent(kEventNothing);
    if (followPv == 0 && entry.line[0] != 0) {
      followPv = 1;
      for (int p = 1; p <= 7; ++p) movePickers[p].pvMove = entry.line[p - 1];
      movePickers[8].pvMove = kNoRootMove;
    }

    int32_t score;
    if (entry.lastScore >= -kMateScoreBound) {
      if (depth <= 16 && alpha >= -kMateScoreBound + 1) {
        score = -SearchNode(-kMateScore, kMateScore, depth - 16, 0, kNoEval, 0, 0);
        entry.lastScore = score;
        KeepChildLine(entry);
      } else {
        score = -SearchNode(-beta, -alpha, depth - 16, 0, kNoEval, 0, 0);
      }
    } else {
      // A move already known to lose by mate keeps its score unsearched; it
      // has no line below it.
      score = entry.lastScore;
      pvLength[1] = 1;
    }
    UnmakeMove();

    if (playable < 2 && score >= -kMateScoreBound + 1) ++playable;
    if (playable == 2 || score < -kMateScoreBound) root.extended = 1;

    if (inCheck == 0 && score > alpha && score < beta) {
      score = BackAndForthPenalty(ply, move, score, kRootPenaltyBand);
      int lineMoves = 0;
      if (!IsDecided(score) && score > alpha && score < beta &&
          ReplyTakesMovedPiece(ply, move, &lineMoves))
        score -= lineMoves == 1 ? 50 : 33;
    }

    if (stopRequested) break;
    if (score <= alpha) {
      if (score < entry.lastScore) entry.lastScore = score;
      entry.line[0] = pvLength[1] > 1 ? principalVariation[1][1] : 0;
      entry.line[1] = 0;
      continue;
    }

    // A new best line.
    const Square to = MoveTo(move);
    if (board[to] == 0 && depth >= 16)
      AddHistoryScore(typeBoard[MoveFrom(move)], move, depth / 16);
    TakeChildLine(0, move);
    pvLength[0] = pvLength[1] > 1 ? pvLength[1] : 1;
    bestScore = score;
    KeepChildLine(entry);
    RecordIteration(depth / 16, score);
    if (score >= beta) {
      if (stopRequested == 0) StoreHashTable(depth / 16, score, move, alpha, beta, 0);
      if (score > entry.score) entry.score = score;
      if (score > entry.lastScore) entry.lastScore = score;
      return score;
    }
    entry.score = entry.lastScore = score;
    if (score >= kMateInOneBase - iterationDepth) {
      // A mate inside this iteration cannot be bettered.
      StoreHashTable(depth / 16, score, move, score, beta, 0);
      return score;
    }
    alpha = score;
  }

  if (playable < 2) rootForced = 1;

  // A position repeated from four plies back by the side to move's own move.
  if (n >= 4 && reversibleMoves >= 4 && history[n - 3].lock == positionLock) {
    const int piece = board[MoveFrom(history[n - 3].move)];
    const bool ours = sideToMove == kRed ? (piece >= 1 && piece <= 16) : piece >= 17;
    if (ours && alpha == 2999) rootForced = 1;
  }

  if (stopRequested == 0 && legalMoves == 0) {
    bestScore = ply - kMateScore;
    return bestScore;
  }
  if (stopRequested != 0 || alpha == alphaGiven) return alpha;
  StoreHashTable(depth / 16, alpha, principalVariation[0][0], alphaGiven, beta, 0);
  return alpha;
}
