// The choice of the child search for one move of an inner node: pruned
// nodes look at forcing moves only, a node in check searches its evasions
// one ply at least, quiet moves that rarely cut off are reduced, and the
// horizon hands over to the quiescence search.
#include "engine/eval/evaluate.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_internal.h"
#include "engine/search/search_node.h"
#include "engine/search/search_tables.h"

namespace search_detail {

namespace {

bool GivesCheck() { return CheckerOfSideToMove() != 0; }

// The position after the move stood four plies back.
bool RepeatsFourPliesBack() {
  const int k = RecordIndex() + 1 - 4;
  return k >= 1 && history[k].lock == positionLock;
}

int32_t Quiescence(int32_t alpha, int32_t beta, int32_t parentEval) {
  SetQuiescenceBaseForPly(historyPly);
  return -QuiescenceSearch(-beta, -alpha, parentEval);
}

int32_t OnePly(int32_t alpha, int32_t beta) {
  return -SearchNode(-beta, -alpha, 16, 0, kNoEval, 0, 0);
}

// d <= 16: quiescence; 17..24: a one-ply full-window search.
int32_t HorizonRule(int32_t d, int32_t alpha, int32_t beta) {
  return d <= 16 ? Quiescence(alpha, beta, kNoEval) : OnePly(alpha, beta);
}

// A null window once a move has been searched, widened when it lands inside
// the window; the first move gets the full window.
int32_t PrincipalVariation(const NodeState& node, int32_t d, int32_t alpha, int32_t beta) {
  if (node.searched > 0 && alpha > -kMateScoreBound) {
    const int32_t score = -SearchNode(-alpha - 1, -alpha, d - 16, 1, kNoEval, 0, 0);
    if (score <= alpha || score >= beta || stopRequested) return score;
    const int32_t full = historyBase[node.ply].extension + node.depth - 16;
    return -SearchNode(-beta, -alpha, full, 1, kNoEval, 0, 0);
  }
  return -SearchNode(-beta, -alpha, d - 16, 1, kNoEval, 0, 0);
}

// The child's static evaluation from the node's view, with its totals.
int32_t ChildStaticScore(int32_t beta, int32_t* redTotal, int32_t* blackTotal) {
  return -evaluator(-beta, redTotal, blackTotal);
}

int32_t PrunedMove(NodeState& node, int32_t d, int32_t alpha, int32_t beta) {
  const bool early = node.searched == 0 || movePickers[node.ply].stage < kStageGenQuiet;
  if (early)
    return d <= 24 ? HorizonRule(d, alpha, beta) : PrincipalVariation(node, d, alpha, beta);
  // Only the later moves ask whether the move is forcing (the check test
  // is the costly part).
  const bool forcing = historyBase[node.ply].captured != 0 || GivesCheck() || RepeatsFourPliesBack();
  int32_t redTotal = 0;
  int32_t blackTotal = 0;
  if (d <= 24) {
    if (forcing) return Quiescence(alpha, beta, kNoEval);
    const int32_t moverTotal = sideToMove == kBlack ? node.redTotal : node.blackTotal;
    if (searchFlags != 0 && alpha >= node.eval + 200 && moverTotal <= 200) return node.eval - 1;
    const int32_t s = ChildStaticScore(beta, &redTotal, &blackTotal);
    return s > alpha ? Quiescence(alpha, beta, s) : s;
  }
  if (forcing) return -SearchNode(-beta, -alpha, d - 16, 0, kNoEval, 0, 0);
  const int32_t s = ChildStaticScore(beta, &redTotal, &blackTotal);
  return s > alpha ? -SearchNode(-beta, -alpha, d - 16, 0, s, redTotal, blackTotal) : s;
}

// Whether a quiet move of the selective search is reduced by a ply: it has
// been tried often without cutting off, and it does not give check.
bool ReduceByHistory(const NodeState& node, Move move, int32_t alpha) {
  if (useSelection == 0 || followPv != 0 || iterationDepth < 5) return false;
  if (movePickers[node.ply].stage < kStageGenQuiet) return false;
  if (!((node.evalKnown && node.eval < alpha + 100) || node.searched >= 2)) return false;
  if (node.depth < (searchFlags != 0 ? 32 : 16) || alpha >= kMateScoreBound) return false;
  if (history[node.n].extended != 0) return false;
  const uint32_t type = typeBoard[MoveTo(move)];
  const uint64_t tried = moveTriedScore[type][OrderingIndex(move)];
  const uint64_t cut = moveCutScore[type][OrderingIndex(move)];
  const uint64_t needed = node.depth > 80 ? 1200 : 600;
  return tried >= needed && tried > cut && !GivesCheck();
}

}  // namespace

void EnsureEval(NodeState& node, int32_t alpha) {
  if (node.evalKnown) return;
  node.eval = evaluator(alpha, &node.redTotal, &node.blackTotal);
  node.evalKnown = true;
}

int32_t SearchMadeMove(NodeState& node, Move move, int32_t alpha, int32_t beta,
                       int32_t* reduction) {
  HistoryRecord& record = historyBase[node.ply];
  const int32_t d = record.extension + node.depth;
  *reduction = 0;
  if (node.pruneMode) return PrunedMove(node, d, alpha, beta);
  if (node.inCheck != 0) return d <= 24 ? OnePly(alpha, beta) : PrincipalVariation(node, d, alpha, beta);

  const int32_t r = ReduceByHistory(node, move, alpha) ? 16 : 0;
  record.extension -= r;
  int32_t score = d - r <= 24 ? HorizonRule(d - r, alpha, beta)
                              : PrincipalVariation(node, d - r, alpha, beta);
  record.extension += r;
  if (r == 0 || stopRequested) {
    *reduction = r;
    return score;
  }
  if (score > alpha && !IsDecided(score)) {
    // The reduced move looks good after all: search it to the full depth.
    score = -SearchNode(-alpha - 1, -alpha, d - 16, 1, kNoEval, 0, 0);
    if (score > alpha && score < beta && stopRequested == 0)
      score = -SearchNode(-beta, -alpha, d - 16, 1, kNoEval, 0, 0);
    return score;
  }
  *reduction = r;
  return score;
}

}  // namespace search_detail
