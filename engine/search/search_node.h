// The state of one inner node of the main search shared by SearchNode and
// the choice of the child search for each of its moves.
#pragma once

#include <cstdint>

#include "engine/position/types.h"

namespace search_detail {

struct NodeState {
  int ply;           // historyPly of the node
  int n;             // index of the record of the move that led here
  uint32_t inCheck;  // the piece giving check to the side to move, 0 none
  int32_t depth;     // remaining depth in sixteenths, without the extension
  bool evalKnown;
  int32_t eval;      // static evaluation from the side to move's view
  int32_t redTotal;
  int32_t blackTotal;
  bool pruneMode;    // the futility decision found the node hopeless
  int searched;      // moves searched so far, capped at 3
};

// The static evaluation of the node, computed on first use with the alpha
// of that moment.
void EnsureEval(NodeState& node, int32_t alpha);

// The score of `move`, already made, from the node's view: picks the child
// search by prune mode, check, the selective reduction, the horizon and the
// principal-variation rule. *reduction receives the reduction (sixteenths)
// the final search ran with.
int32_t SearchMadeMove(NodeState& node, Move move, int32_t alpha, int32_t beta,
                       int32_t* reduction);

}  // namespace search_detail
