// The recursive principal-variation search of the inner nodes: repetition
// rulings, mate-distance bounds, extensions, the hash table, the learning
// tables, endgame verdicts, the null move, futility, internal iterative
// deepening, the move loop and the store of the result.
#include <cstdlib>

#include "engine/eval/evaluate.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_internal.h"
#include "engine/search/search_node.h"
#include "engine/search/search_tables.h"
#include "engine/search/tt.h"

using namespace search_detail;

namespace {

const HistoryRecord kNoRecord{};

// The record at index i, or an empty one outside the array.
const HistoryRecord& Record(int i) { return i >= 0 && i < kHistorySize ? history[i] : kNoRecord; }

// Extension for a recapture on the principal variation: a capture
// answering a capture of about the same value, with the material balance
// still near where the root found it.
int32_t RecaptureExtension(const NodeState& node) {
  const HistoryRecord& last = Record(node.n);
  const HistoryRecord& before = Record(node.n - 1);
  if (last.captured == 0 || node.ply * 16 > rootDepth16) return 0;
  if (std::abs(rootBalance - materialBalance) > 200 || node.ply < 2) return 0;
  if (before.captured == 0 || before.move == 0) return 0;
  const int32_t v1 = pieceOrderValue[last.captured];
  const int32_t v2 = pieceOrderValue[before.captured];
  if (std::abs(v1 - v2) >= 100) return 0;
  if (v1 < 550 && v2 < 550) return 4;
  return node.ply <= iterationDepth * 3 / 4 ? 12 : 8;
}

// The futility margin for the effective depth d.
int32_t FutilityMargin(int32_t d, bool nullAllowed) {
  const bool many = attackerCount[kRed] >= 4 && attackerCount[kBlack] >= 4;
  if (d <= 16) return nullAllowed ? 33 : 75;
  if (!many) {
    if (d <= 32) return nullAllowed ? 75 : 100;
    if (d <= 48) return nullAllowed ? 400 : 600;
    return 1000;
  }
  if (d <= 24) return 75;
  if (d <= 32) return nullAllowed ? 75 : 100;
  if (d <= 40) return 100;
  if (d <= 48) return nullAllowed ? 400 : 600;
  if (d <= 56) return 600;
  return 1000;
}

// Whether the futility decision is skipped for this node.
bool SkipFutility(const NodeState& node, int32_t ext, int32_t alpha, int32_t beta) {
  const int32_t depth = node.depth;
  if (ext + depth >= 33 && (followPv != 0 || searchFlags != 0 || depth > 48)) return true;
  if (historyBase[node.ply].extended != 0 || Record(node.n).extended != 0) return true;
  if (beta >= kMateScoreBound || alpha < -kMateScoreBound + 1) return true;
  if (depth >= 33 && (Record(node.n - 1).extended != 0 || Record(node.n - 2).extended != 0))
    return true;
  if (node.n == 0) return true;
  const int32_t checker = Record(node.n).checker;
  return checker != 0 && node.n >= 3 && checker == Record(node.n - 2).checker;
}

// Null-move reduction for the effective depth d.
int32_t NullMoveReduction(int32_t d) {
  if (d >= 208) return 72;
  if (d >= 160) return 64;
  const uint32_t us = sideToMove;
  const uint32_t own = attackerCount[us];
  if (own >= 5 || (own == 4 && own >= attackerCount[1 - us])) return 64;
  return 56;
}

void ClearReturnedSlots(MovePicker& picker) {
  picker.returnedPv = picker.returnedTt = picker.returnedKiller1 = picker.returnedKiller2 = 0;
}

// Orders later searches: the cut-off move gains, the quiet moves listed
// before it in the picker's quiet list are counted as tried in vain.
void CountSelection(const NodeState& node, Move cutMove) {
  const uint32_t type = typeBoard[MoveFrom(cutMove)];
  AddCutScore(type, cutMove, 100);
  if (node.inCheck != 0 || followPv != 0) return;
  const MovePicker& picker = movePickers[node.ply];
  if (picker.stage != kStageQuiet) return;  // the list holds no quiet moves of this node
  for (int i = 0; i + 1 < picker.next; ++i) {
    const Move m = picker.entries[i].move;
    if (m == cutMove) continue;
    AddTriedScore(typeBoard[MoveFrom(m)], m, 60);
  }
}

}  // namespace

int32_t SearchNode(int32_t alpha, int32_t beta, int32_t depth, int32_t nullAllowed,
                   int32_t parentEval, int32_t redTotal, int32_t blackTotal) {
  NodeState node{};
  node.ply = historyPly;
  node.depth = depth;
  if (parentEval != kNoEval) {
    node.evalKnown = true;
    node.eval = -parentEval;
    node.redTotal = redTotal;
    node.blackTotal = blackTotal;
  }
  const int ply = node.ply;
  pvLength[ply] = ply;
  CountNode();
  if (stopRequested) return beta;
  if (ply >= kMaxSearchPly - 1) {
    int32_t rt = 0;
    int32_t bt = 0;
    return EvaluateMaterial(alpha, &rt, &bt);
  }

  node.inCheck = CheckerOfSideToMove();
  node.n = RecordIndex();
  HistoryRecord& record = historyBase[ply];
  record.extension = 0;
  record.extended = 0;
  threatFlags[node.n + 1] = 0;

  int32_t score;
  if (RepetitionRuling(node.inCheck, &score)) return score;

  // Mate distance: nothing here beats being mated at the next ply or
  // mating at this one.
  if (MateDistanceCut(ply, &alpha, &beta, &score)) return score;

  // Extensions.
  int32_t& ext = record.extension;
  if (node.inCheck != 0 && ply <= checkExtensionLimit) ext += 16;
  if (followPv != 0 && ext <= 8) {
    const int32_t recapture = RecaptureExtension(node);
    searchTrace.recaptureExtensions += recapture != 0 ? 1 : 0;
    ext += recapture;
  }
  if (ext > 32) ext = 32;
  if (followPv == 0 && ply >= 2) {
    // Capturing the checking piece back on the square of the last capture
    // in a position that stays below alpha is searched a ply shallower.
    const HistoryRecord& last = Record(node.n);
    if (last.captured != 0 && static_cast<int32_t>(last.captured) == last.checker &&
        record.extended == 0 && last.extension >= 0 &&
        MoveTo(last.move) == MoveTo(Record(node.n - 1).move)) {
      EnsureEval(node, alpha);
      if (node.eval + 105 < alpha) ext -= 16;
    }
  }

  // Hash table.
  Move hashMove = 0;
  if (const HashEntry* entry = ProbeHashTable()) {
    const int bound = entry->bound & ~kBoundExtended;
    const int32_t stored16 = static_cast<int32_t>(entry->depth) * 16;
    if (stored16 >= depth + ext) {
      if (bound == kBoundExact) {
        pvLength[ply] = ply + 1;
        principalVariation[ply][ply] = entry->move;
        return HashScoreAtPly(entry->score, ply);
      }
      if (bound == kBoundLower && entry->score > alpha) alpha = entry->score;
      if (bound == kBoundUpper && entry->score < beta) {
        beta = entry->score;
        nullAllowed = 0;
      }
      if (alpha >= beta) {
        // A mate bound is stored as found at its own ply; from here no
        // score can beat a mate at this ply.
        principalVariation[ply][ply] = entry->move;
        return alpha < kMateInOneBase - ply ? alpha : kMateInOneBase - ply;
      }
    } else if (stored16 + 32 >= depth + ext && (bound == kBoundExact || bound == kBoundUpper) &&
               entry->score < beta) {
      nullAllowed = 0;
    }
    if ((entry->bound & kBoundExtended) != 0) {
      if (ext < 16) ext += 16;
      record.extended = 1;
      nullAllowed = 0;
    }
    hashMove = entry->move;
  }

  if (ProbeLearningTables(ply, false, depth + ext, &score)) return score;

  // Endgame knowledge.
  if ((attackerCount[kRed] < 3 || attackerCount[kBlack] < 3) && node.inCheck == 0 && depth < 49) {
    if (const EndgameEvaluatorFn endgame = SelectEndgameEvaluator()) {
      EndgameVerdict verdict{0, kVerdictNone};
      endgame(&verdict);
      if (verdict.flag == kVerdictExact) return verdict.score;
      if (verdict.flag == kVerdictAtLeast && verdict.score > alpha) alpha = verdict.score;
      if (alpha >= beta) return beta;
    }
  }

  // Null move.
  bool threatNode = false;
  const HistoryRecord& last = Record(node.n);
  const bool ownMoveWasNull = node.n - 1 >= 1 && Record(node.n - 1).move == 0;
  if (nullAllowed != 0 && !ownMoveWasNull && node.inCheck == 0 && followPv == 0 && ext == 0 &&
      last.extended == 0 && Record(node.n - 1).extended == 0 && last.checker == 0 &&
      beta >= -1999 && alpha < 2000 && attackerCount[sideToMove] > 2) {
    // The null move keeps the key: the child's slot is this key's in the
    // other side's table.
    PrefetchHashSlot(1 - sideToMove, positionKey);
    EnsureEval(node, alpha);
    const int32_t opponentTotal = sideToMove == kRed ? node.blackTotal : node.redTotal;
    if (node.eval >= beta && opponentTotal < 550) {
      const int32_t d = depth + ext;
      const int32_t reduction = NullMoveReduction(d);
      const uint32_t savedFollowPv = followPv;
      MakeNullMove();
      if (d <= reduction) {
        SetQuiescenceBaseForPly(historyPly);
        score = -QuiescenceSearch(-beta, 1 - beta, kNoEval);
      } else {
        const uint8_t savedFlags = searchFlags;
        searchFlags |= 1;
        score = -SearchNode(-beta, 1 - beta, d - reduction, 0, kNoEval, 0, 0);
        searchFlags = savedFlags;
      }
      sideToMove = 1 - sideToMove;
      --historyPly;
      followPv = savedFollowPv;
      if (stopRequested) return beta;
      if (score >= beta) {
        TakeChildLine(ply, 0);
        return score;
      }
      if (score < -kMateScoreBound && ply * 16 + depth < checkExtensionLimit) {
        // Passing gets us mated: a mate threat.
        if (ext < 16) ext += 16;
        record.extended = 1;
        nullAllowed = 0;
      } else if (d < 81 && node.eval > score + 180) {
        threatFlags[node.n + 1] = 1;
        if (node.n - 1 >= 0 && threatFlags[node.n - 1] != 0) threatNode = true;
      }
    }
  }

  // Futility: a node far below alpha only looks at forcing moves.
  if (node.inCheck == 0 && !SkipFutility(node, ext, alpha, beta)) {
    EnsureEval(node, alpha);
    if (node.eval < alpha && alpha > node.eval + FutilityMargin(depth + ext, nullAllowed != 0)) {
      node.pruneMode = true;
      ++searchTrace.prunedNodes;
    }
  }

  // Internal iterative deepening for a node without a move to try first.
  if (!node.pruneMode && followPv == 0 && hashMove == 0 && depth + ext >= 65) {
    const int32_t savedExt = ext;
    const uint32_t savedExtended = record.extended;
    const uint8_t savedThreat = threatFlags[node.n + 1];
    principalVariation[ply][ply] = 0;
    ++searchTrace.internalDeepenings;
    score = SearchNode(alpha, beta, depth + ext - 64, 0, kNoEval, 0, 0);
    ext = savedExt;
    record.extended = savedExtended;
    threatFlags[node.n + 1] = savedThreat;
    if (stopRequested) return beta;
    if (principalVariation[ply][ply] != 0) hashMove = principalVariation[ply][ply];
    if (score >= kMateScoreBound || score < -kMateScoreBound + 1) return score;
    for (int p = ply; p < pvLength[ply] && p < kMaxSearchPly; ++p)
      movePickers[p].pvMove = principalVariation[ply][p];
    if (pvLength[ply] < kMaxSearchPly) movePickers[pvLength[ply]].pvMove = 0;
    followPv = 1;
  }

  // The move loop; a node left with a single reply runs it again deeper.
  const int32_t alphaAtLoopStart = alpha;
  MovePicker& picker = movePickers[ply];
  Move cutMove = 0;
  int32_t cutReduction = 0;
  int32_t best = -kMateScore;
  for (;;) {
    ClearReturnedSlots(picker);
    if (followPv != 0) {
      picker.stage = kStagePv;
    } else if (hashMove != 0) {
      picker.ttMove = hashMove;
      picker.stage = kStageTt;
    } else {
      picker.stage = kStageGenCaptures;
    }
    principalVariation[ply][ply] = 0;
    if (stopRequested) return beta;
    alpha = alphaAtLoopStart;
    best = -kMateScore;
    node.searched = 0;
    int playable = 0;
    bool firstPick = true;

    while (const Move move = NextMove()) {
      firstPick = false;
      const bool quiet = board[MoveTo(move)] == 0;
      PrefetchChildSlot(move);
      if (MakeMove(move, static_cast<int32_t>(node.inCheck)) == 0) continue;
      int32_t reduction = 0;
      score = SearchMadeMove(node, move, alpha, beta, &reduction);
      UnmakeMove();
      if (threatNode && score > alpha && ext <= 0 && stopRequested == 0) {
        ext += 8;
        ++searchTrace.threatReSearches;
        MakeMove(move, static_cast<int32_t>(node.inCheck));
        score = SearchMadeMove(node, move, alpha, beta, &reduction);
        UnmakeMove();
      }
      if (node.searched < 3) ++node.searched;
      if (playable < 8 && score >= -kDecidedBound) ++playable;
      if (node.inCheck == 0 && score > alpha && score < beta)
        score = BackAndForthPenalty(ply, move, score, kNodePenaltyBand);
      if (stopRequested) return beta;
      if (score > best) best = score;
      if (score <= alpha) continue;

      if (!IsDecided(score) && score < beta) {
        int lineMoves = 0;
        if (ReplyTakesMovedPiece(ply, move, &lineMoves) && lineMoves >= 2) {
          score -= 20;
          if (score <= alpha) continue;
        }
      }
      if (quiet && depth >= 16)
        AddHistoryScore(typeBoard[MoveFrom(move)], move, depth / 16);
      TakeChildLine(ply, move);
      if (quiet && move != picker.killer1) {
        picker.killer2 = picker.killer1;
        picker.killer1 = move;
      }
      if (score >= beta) {
        cutMove = move;
        cutReduction = reduction;
        break;
      }
      alpha = score;
    }

    if (stopRequested) return beta;
    if (cutMove != 0) break;
    if (firstPick || node.searched == 0) return ply - kMateScore;
    if (playable > 1) break;
    // A single reply: extend it, once or twice, and search again.
    record.extended = 1;
    if (ply < checkExtensionLimit && beta >= -kMateScoreBound + 1 && ext <= 16 &&
        !IsDecided(alpha)) {
      ext += 16;
      ++searchTrace.singleReplyReSearches;
      continue;
    }
    break;
  }

  if (cutMove != 0) {
    if (depth + ext - cutReduction > 0)
      StoreHashTable((depth + ext - cutReduction) / 16, score, cutMove, alpha, beta,
                     static_cast<int32_t>(record.extended));
    if (useSelection != 0 && board[MoveTo(cutMove)] == 0) CountSelection(node, cutMove);
    return score;
  }
  if (depth + ext > 16 && principalVariation[ply][ply] != 0)
    StoreHashTable((depth + ext) / 16, best, principalVariation[ply][ply], alphaAtLoopStart,
                   beta, static_cast<int32_t>(record.extended));
  return best;
}
