// Time and depth limits of a search, the node counter and its periodic poll,
// and the iteration log that the thinking display reads.
#pragma once

#include <cstdint>

#include "engine/position/types.h"

// How the engine spends its time.
enum LevelMode : int32_t {
  kLevelTimePerMove = 1,  // fixed time per move (thinkingTime)
  kLevelSearchDepth = 2,  // search level searchDepth (-2..8)
  kLevelGameClock = 3,    // the game clock's remaining time
  kLevelMovesInTime = 4,  // tournament periods of the game clock
};

// The values the levels hold: the search levels of mode 2, and the longest
// time per move of mode 1 (milliseconds).
constexpr int32_t kLowestSearchLevel = -2;
constexpr int32_t kHighestSearchLevel = 8;
constexpr int32_t kMaxThinkingTimeMs = 1 << 30;

extern int32_t levelMode;       // LevelMode; default 1
extern int32_t thinkingTime;    // milliseconds per move in level mode 1; default 2000
extern int32_t exactTime;       // 1: level mode 1 keeps to thinkingTime; default 1
extern int32_t searchDepth;     // the level in mode 2; 127 during a think in 1, 3, 4
extern uint32_t moveTimeLimitMs;  // the level-mode-1 limit of the running search
extern uint32_t clockBudgetMs;    // the level-mode-3 and -4 budget of the running search

// Nodes between two polls: 1500, 150 while the user holds a piece.
extern int32_t pollInterval;
constexpr int32_t kPollIntervalNormal = 1500;
constexpr int32_t kPollIntervalPieceHeld = 150;

// Node count of the running search, folded at 90,000,000 into
// nodeCountHigh (total = nodeCountHigh x 90,000,000 + nodeCount);
// pollBaseCount is the count at the last poll.
extern uint32_t nodeCount;
extern uint32_t nodeCountHigh;
extern uint32_t pollBaseCount;
constexpr uint32_t kNodeCountFold = 90000000;
// Tick (milliseconds) at the start of the running search.
extern uint32_t searchStartTick;
// Every search stops at the first poll after this many milliseconds.
constexpr uint32_t kSearchTimeCapMs = 20186;

// Score values of the log records that mark aspiration events.
enum IterationMarker : int32_t {
  kMarkerFailHigh = 9999997,
  kMarkerFailLow = 9999998,
  kMarkerIterationDone = 9999999,
};

constexpr int kIterationLineMax = 128;
struct IterationLogRecord {
  int32_t score;         // the line's score, or an IterationMarker
  uint32_t nodes;        // nodeCount at the time
  uint32_t extraCount;   // logExtraCount at the time
  uint32_t nodesHigh;    // nodeCountHigh at the time
  int32_t depthOrScore;  // a line's depth in plies; a marker's root score
  float seconds;         // elapsed seconds since searchStartTick
  uint16_t lineLength;   // moves in line, 0 for markers
  Move line[kIterationLineMax];
};

constexpr int kIterationLogSize = 512;
extern IterationLogRecord iterationLog[kIterationLogSize];
extern int32_t iterationLogCount;  // emptied by Think
extern uint32_t logExtraCount;     // set to 0 by Think at the start of each search
// The first two moves of the newest logged line; cleared by Think.
extern Move analysisBestMove;
extern Move analysisReply;

// The periodic poll of a search: ticks the game clock, raises stopRequested
// when the time or depth limit of the level mode is reached, then pumps the
// window messages.
void CheckSearchTime();
// Logs a new best line (depth in plies, score; the line is principal
// variation row 0) or a marker (root score, IterationMarker), then tells
// the thinking display. Nothing is logged once the log is full.
void RecordIteration(int32_t depthOrScore, int32_t score);
