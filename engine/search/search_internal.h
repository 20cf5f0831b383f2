// Helpers shared by the root search, the inner-node search and the
// quiescence search. Not part of the search's interface.
#pragma once

#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/position/position.h"
#include "engine/search/learning.h"
#include "engine/search/search.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "engine/search/tt.h"

// How often the search took its selective steps, and the windows of the
// first root searches: written by the search (a counter increment each),
// read only by the tests. Zeroed by whoever reads it, never by the search.
struct SearchTrace {
  uint32_t prunedNodes;            // nodes the futility test put in prune mode
  uint32_t internalDeepenings;     // internal iterative deepening searches
  uint32_t threatReSearches;       // moves of a threat node searched again, extended
  uint32_t recaptureExtensions;    // nodes extended as a recapture
  uint32_t singleReplyReSearches;  // move loops run again for a single reply
  uint32_t rootSearches;           // SearchRoot calls
  static constexpr int kWindows = 64;
  struct {
    int32_t alpha, beta, depth16;
  } rootWindows[kWindows];  // of the first kWindows root searches
};
extern SearchTrace searchTrace;

namespace search_detail {

// Bounds of the window and of the mate-distance pruning.
constexpr int32_t kMatedAtPlyBase = 3199998;  // ply - 3,199,998: best a mated side can hope for
constexpr int32_t kMateInOneBase = 3199999;   // 3,199,999 - ply: best score at ply
// Scores beyond this band are not touched by the repetition penalty.
constexpr int32_t kNodePenaltyBand = 3194744;

inline bool IsDecided(int32_t score) { return score < -kDecidedBound || score > kDecidedBound; }

// Index of the record of the last move made (0 before the first move).
inline int RecordIndex() { return static_cast<int>(historyBase - history) + historyPly - 1; }

// The record at index i, or nullptr outside the record array.
inline HistoryRecord* RecordAt(int i) {
  return i >= 0 && i < kHistorySize ? &history[i] : nullptr;
}

// The enemy piece giving check to the side to move, 0 when none.
inline uint32_t CheckerOfSideToMove() {
  return sideToMove == kRed ? RedKingAttacker() : BlackKingAttacker();
}

// Starts loading the hash slot and the evaluation memory entry of the
// position after `move`, not made yet, so that the memory accesses overlap
// the making of the move and the child's first tests instead of stalling its
// probe and its evaluation.
inline void PrefetchChildSlot(Move move) {
  const Square from = MoveFrom(move);
  const Square to = MoveTo(move);
  const uint32_t mover = typeBoard[from];
  uint64_t key = positionKey ^ keyTable[mover][from] ^ keyTable[mover][to];
  if (typeBoard[to] != 0) key ^= keyTable[typeBoard[to]][to];
  PrefetchHashSlot(1 - sideToMove, key);
  PrefetchEvalMemo(key);
}

inline Move ReverseMove(Move m) { return MakeMoveCode(MoveTo(m), MoveFrom(m)); }

// historyTable / moveTriedScore index of a move of the piece now on `from`.
inline uint32_t OrderingIndex(Move m) { return 172 * MoveFrom(m) + MoveTo(m); }

// The quiescence search entered at the current ply starts its picker
// choice from here (later plies beyond the iteration depth count half).
inline void SetQuiescenceBaseForPly(int ply) {
  quiescenceBasePly = ply > iterationDepth ? ply + (ply - iterationDepth) / 2 : ply;
}

// Row `ply` of the PV := move followed by the line of row ply + 1.
void TakeChildLine(int ply, Move move);

// Counts one node like CountNodeAndPoll, with the common case (no poll due)
// inline in the searches; a due poll goes through CountNodeAndPoll, which
// repeats the same test.
inline void CountNode() {
  const uint32_t count = nodeCount + 1;
  if (count > pollBaseCount + static_cast<uint32_t>(pollInterval))
    CountNodeAndPoll();
  else
    nodeCount = count;
}

// The cycles of RepetitionRuling, once fewer than four reversible moves
// have been ruled out.
int RepetitionCycles(uint32_t inCheck, int32_t* score);

// The repetition test of an inner node: a cycle of 4, 6, 8 or 10 plies back
// to the current position that the rulings judge. Returns 1 with the
// ruling's score. The usual case, an irreversible move among the last four,
// is answered inline.
inline int RepetitionRuling(uint32_t inCheck, int32_t* score) {
  if (reversibleMoves < 4) return 0;
  return RepetitionCycles(inCheck, score);
}

// Mate-distance bounds of a node at this ply: nothing here scores better
// than mating at this ply or worse than being mated at the next one (or at
// this one when the side has no legal move). Narrows alpha and beta; returns
// 1 with *score set when the window closes. Inline so that the window stays
// in registers: the bounds rarely move.
inline int MateDistanceCut(int ply, int32_t* alpha, int32_t* beta, int32_t* score) {
  if (ply - kMatedAtPlyBase > *alpha) {
    const int32_t bound = HasLegalMove() ? ply - kMatedAtPlyBase : ply - kMateScore;
    if (bound > *alpha) *alpha = bound;
    if (*alpha >= *beta) {
      *score = *alpha;
      return 1;
    }
  }
  if (kMateInOneBase - ply < *beta) {
    *beta = kMateInOneBase - ply;
    if (*beta <= *alpha) {
      *score = *beta;
      return 1;
    }
  }
  return 0;
}

// The penalty for a move that only runs back and forth (M, R, M', R') on a
// score inside (alpha, beta): the child line is row ply + 1. Makes and takes
// back `move` when the line qualifies. Returns the adjusted score.
int32_t BackAndForthPenalty(int ply, Move move, int32_t score, int32_t band);

// Whether the reply in row ply + 1 takes the moved piece on a square that
// was empty before the move, with the engine not taking back there.
// *lineMoves receives the number of moves in the child line.
bool ReplyTakesMovedPiece(int ply, Move move, int* lineMoves);

// ProbeLearningTables past the test that learning is on.
int ProbeLearningEntries(int ply, bool quiescence, int32_t depth16, int32_t* score);

// Learning-table probes of a node. Returns 1 with the learnt score made
// relative to the current ply and the learnt move in the PV row. In the
// main search the position probe requires a learnt depth of at least
// depth16 sixteenths; the quiescence search takes any learnt depth.
inline int ProbeLearningTables(int ply, bool quiescence, int32_t depth16, int32_t* score) {
  if (useLearning == 0) return 0;  // the usual case, answered without a call
  return ProbeLearningEntries(ply, quiescence, depth16, score);
}

}  // namespace search_detail
