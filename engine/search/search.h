// The alpha-beta search below iterative deepening: the one-ply scoring of
// the root moves, the root search of one iteration, the recursive
// principal-variation search of the inner nodes and the quiescence search
// below the horizon. Depths are in sixteenths of a ply (16 = one ply);
// scores are from the side to move's view, mate = 3,200,000 minus the
// distance in plies.
#pragma once

#include <cstdint>

#include "engine/position/types.h"

// ---------------------------------------------------------------------------
// Score landmarks
// ---------------------------------------------------------------------------
constexpr int32_t kMateScore = 3200000;      // also the full window bound
constexpr int32_t kMateScoreBound = 3199745;  // |score| above it: a mate score
constexpr int32_t kDecidedBound = 3099744;    // |score| above it: decided
constexpr int32_t kNoEval = -268435457;       // no static evaluation known yet
// principalVariation[0][0] when no move has been chosen.
constexpr Move kNoRootMove = 255;

// ---------------------------------------------------------------------------
// Root move list
// ---------------------------------------------------------------------------
constexpr int kMaxRootMoves = 200;
constexpr int kRootLineWords = 8;  // at most 7 moves, 0-terminated

struct RootMoveEntry {
  Move move;                   // 0 = excluded or empty
  Move line[kRootLineWords];   // expected continuation below the move
  int32_t score;               // choice among root moves; -3,200,000 = illegal
  int32_t lastScore;           // score in the latest search; ordering key
  // The opponent's best reply to the move in the root scoring (0 none): the
  // reply a think predicts when it stops before its line has one.
  Move scoredReply;
};

extern RootMoveEntry rootMoves[kMaxRootMoves];
extern int32_t rootMoveCount;

// ---------------------------------------------------------------------------
// Search results and per-search state
// ---------------------------------------------------------------------------
// Triangular PV table: row p holds the line of ply p from index p on;
// pvLength[p] is one past its last move. Row 0 index 0 is the move to play.
extern Move principalVariation[kMaxSearchPly][kMaxSearchPly];
extern int32_t pvLength[kMaxSearchPly];
extern int32_t bestScore;   // score of the newest best root line
extern int32_t rootForced;  // set when the root has at most one playable move
// The root move being searched and its index in rootMoves, for the display.
extern Move searchedRootMove;
extern int32_t searchedRootIndex;

// Per record index: a null-move search at shallow depth showed a threat.
extern uint8_t threatFlags[kHistorySize];
// Bit 0 set while a null-move search runs below the current node.
extern uint8_t searchFlags;
// Highest ply at which a check still earns an extension.
extern int32_t checkExtensionLimit;
extern int32_t rootDepth16;         // root depth in sixteenths
extern int32_t quiescenceBasePly;   // ply at which the quiescence search began
extern int32_t rootBalance;         // materialBalance at the start of SearchRoot

// Selective search ("UseSelection", 1 by default): the history reduction,
// which reads moveTriedScore and moveCutScore (search_tables.h).
extern int32_t useSelection;

// ---------------------------------------------------------------------------
// Node counting and polling
// ---------------------------------------------------------------------------
// nodeCount, nodeCountHigh and pollBaseCount: time_control.h.
// Counts one node and runs CheckSearchTime once pollInterval nodes have
// passed since the last poll.
void CountNodeAndPoll();

// ---------------------------------------------------------------------------
// The searches
// ---------------------------------------------------------------------------
// One-ply score of every root entry before the first iteration.
void ScoreRootMoves(RootMoveEntry* entries, int32_t count);
// Orders rootMoves from the iteration log and the entries' scores.
void ReorderRootMoves();
// Searches the root list for one iteration and window; leaves the best line
// in principalVariation row 0 and bestScore, updates the entries' scores
// and sets rootForced.
int32_t SearchRoot(int32_t alpha, int32_t beta, int32_t depth16);
// Principal-variation search of an inner node (fail-soft). parentEval is
// kNoEval or the parent's static evaluation from the parent's view, whose
// totals come with it.
int32_t SearchNode(int32_t alpha, int32_t beta, int32_t depth16, int32_t nullAllowed,
                   int32_t parentEval, int32_t redTotal, int32_t blackTotal);
// Captures (and near the horizon checks) until quiet; all evasions in check.
int32_t QuiescenceSearch(int32_t alpha, int32_t beta, int32_t parentEval);
