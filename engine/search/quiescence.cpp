// The quiescence search below the horizon of the main search: captures, and
// near the horizon checking moves too, until the position is quiet; a side
// in check searches every evasion and may not stand pat.
#include "engine/eval/evaluate.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_internal.h"
#include "engine/search/search_tables.h"
#include "engine/search/tt.h"

using namespace search_detail;

namespace {

using Picker = Move (*)();

// The picker of a node not in check: the further the ply lies beyond both
// the iteration depth and the ply where the quiescence search began, the
// fewer quiet checks are tried.
Picker ChoosePicker(int ply) {
  const int I = iterationDepth;
  const int B = quiescenceBasePly;
  if (ply <= I + 1 || ply <= B + 1) return NextCaptureOrCheckQExtended;
  if (ply > I + 2 && ply > B + 2) return NextCaptureQ;
  const int n = RecordIndex();
  const bool madeOutOfCheck = n >= 1 && history[n].checker != 0;
  if (followPv == 0 && !madeOutOfCheck) return NextCaptureOrCheckQ;
  return NextCaptureOrCheckQExtended;
}

}  // namespace

int32_t QuiescenceSearch(int32_t alpha, int32_t beta, int32_t parentEval) {
  const int ply = historyPly;
  CountNode();
  pvLength[ply] = ply;
  int32_t redTotal = 0;
  int32_t blackTotal = 0;
  if (ply >= kMaxSearchPly - 1) return EvaluateFull(alpha, &redTotal, &blackTotal);
  if (stopRequested) return 0;

  // Mate distance: no score here can beat a mate at this ply.
  {
    int32_t cut;
    if (MateDistanceCut(ply, &alpha, &beta, &cut)) return cut;
  }

  const uint32_t inCheck = CheckerOfSideToMove();
  const int n = RecordIndex();
  historyBase[ply].extended = 0;

  int32_t score;
  if (RepetitionRuling(inCheck, &score)) return score;

  if (const HashEntry* entry = ProbeHashTable(); entry != nullptr && entry->depth >= 1) {
    const int bound = entry->bound & ~kBoundExtended;
    if (bound == kBoundExact) {
      principalVariation[ply][ply] = entry->move;
      pvLength[ply] = ply + 1;
      return HashScoreAtPly(entry->score, ply);
    }
    if (bound == kBoundLower && entry->score > alpha) alpha = entry->score;
    if (bound == kBoundUpper && entry->score < beta) beta = entry->score;
    if (alpha >= beta) {
      // A mate bound stored at another ply never beats a mate at this one.
      principalVariation[ply][ply] = entry->move;
      return alpha < kMateInOneBase - ply ? alpha : kMateInOneBase - ply;
    }
  }

  if (ProbeLearningTables(ply, true, 0, &score)) return score;

  if (attackerCount[kRed] <= 3 && attackerCount[kBlack] <= 3 && inCheck == 0) {
    if (const EndgameEvaluatorFn endgame = SelectEndgameEvaluator()) {
      EndgameVerdict verdict{0, kVerdictNone};
      endgame(&verdict);
      if (verdict.flag == kVerdictExact) return verdict.score;
      if (verdict.flag == kVerdictAtLeast && verdict.score > alpha) alpha = verdict.score;
      if (alpha >= beta) return alpha;
    }
  }

  MovePicker& picker = movePickers[ply];
  Picker next;
  int32_t eval = 0;
  int32_t best;
  if (inCheck != 0) {
    next = NextEvasion;
    picker.checker = inCheck;
    if (ply <= iterationDepth && n >= 2 && history[n - 1].extended != 0) quiescenceBasePly = ply;
    best = -kMateScore;
  } else {
    eval = parentEval != kNoEval ? -parentEval : evaluator(alpha, &redTotal, &blackTotal);
    if (eval >= beta && HasLegalMove()) return eval;
    if (eval > alpha) alpha = eval;
    best = eval;
    next = ChoosePicker(ply);
  }
  const int32_t alphaBeforeMoves = alpha;

  picker.stage = (followPv != 0 || inCheck != 0) ? kStagePv : kStageGenCaptures;
  bool moveMade = false;
  // Once the captures are generated, the slots of all of them start loading,
  // so that each is in the cache by the time its turn comes.
  bool prefetchedRest = false;
  while (const Move move = next()) {
    if (!prefetchedRest && picker.stage == kStageCaptures) {
      prefetchedRest = true;
      for (int i = picker.next; i < picker.count; ++i) PrefetchChildSlot(picker.entries[i].move);
    }
    PrefetchChildSlot(move);
    if (MakeMove(move, static_cast<int32_t>(inCheck)) == 0) continue;
    moveMade = true;
    score = -QuiescenceSearch(-beta, -alpha, kNoEval);
    UnmakeMove();
    if (stopRequested) return beta;
    if (score > alpha) {
      TakeChildLine(ply, move);
      if (score >= beta) {
        if (inCheck != 0) StoreHashTable(1, score, move, alphaBeforeMoves, beta, 0);
        return score;
      }
      alpha = score;
    }
    if (score > best) best = score;
  }

  if (stopRequested) return beta;
  if (moveMade) return best;
  if (inCheck != 0) return ply - kMateScore;
  // Not in check and nothing searched: a side without any legal move has
  // lost (stalemate loses in xiangqi), any other side keeps its stand pat.
  return HasLegalMove() ? eval : ply - kMateScore;
}
