// What the engine is doing, the requests that commands post while it
// searches, and the think driver that starts every search and carries the
// requests out once the search has unwound.
#pragma once

#include <cstdint>

#include "engine/position/types.h"
#include "engine/search/game_files_hooks.h"

// Think's first argument; it becomes engineState for the search.
enum ThinkMode : int32_t {
  kThinkPlay = 1,         // play a move, opening books first
  kThinkPonder = 2,       // ponder on ponderMove
  kThinkMateSearch = 3,   // look for a forced mate
  kThinkPlayNoBook = 4,   // play a move without the books (budgets as 1)
  kThinkAnalysis = 5,     // analyse the position until stopped
};

// engineState values.
enum EngineState : int32_t {
  kEngineIdle = 0,
  kEngineThinking = 1,
  kEnginePondering = 2,
  kEngineMateSearch = 3,
  kEngineThinkingNoBook = 4,
  kEngineAnalysing = 5,  // also while HintSearch runs
};

// pendingRequest codes: what the completion does once the search unwinds.
enum PendingRequest : int32_t {
  kRequestNone = 0,               // a plain stop; stops pondering
  kRequestNewGame = 1,
  kRequestUserMoveInstead = 3,    // pendingUserMove differs from ponderMove
  kRequestPlayNow = 4,            // play now, or play pendingUserMove (analysis)
  kRequestTakeBackOne = 5,
  kRequestReplayOne = 6,
  kRequestTakeBackAll = 7,
  kRequestReplayAll = 8,
  kRequestClose = 10,             // save the current game and end the program
  kRequestNextBestMove = 11,
  kRequestLoadGame = 12,
  kRequestLoadDatabaseGame = 13,
  kRequestSaveGame = 14,
  kRequestPlayAnalysedMove = 16,  // play analysisBestMove
  kRequestStopThenCommand = 17,   // stop pondering for a command kept by the interface
};

extern int32_t engineState;      // EngineState
extern int32_t stopRequested;    // 1 makes every search level return at once
extern int32_t pendingRequest;   // PendingRequest, cleared at the start of a think
extern Move pendingUserMove;     // the user's move of requests 3 and 4
extern int32_t shownInCheck;     // the side to move of the shown position is in check
extern Move thinkExcludedMove;   // the move the running think skips (next best move), 0 none

// Engine-side options (settings "Ponder", "Save on each move"; the engine
// answers for side 0 / side 1 when the flag is 1).
extern int32_t Ponder;
extern int32_t saveOnEachMove;
extern int32_t enginePlaysSide0;
extern int32_t enginePlaysSide1;

// Alpha and beta of the running root search, for the thinking display.
struct RootWindow {
  int32_t alpha;
  int32_t beta;
};
extern RootWindow rootWindow;

// The game record as it stood when the running think began (history[1..]).
// The search writes its records over the game beyond gamePly; completions
// that need the stored game intact write this copy back.
extern HistoryRecord gameRecordBackup[kHistorySize];
void BackupGameRecord();
void RestoreGameRecord();

// Sets pendingRequest and stopRequested. A close asked for stays the
// pending request (closeRequested) until the program ends. A user's move
// waiting for the search (UserMoveWaiting) stays the pending request: the
// window keeps what the user gives after it until the move is made
// (RunCommandsAfterMove), so no later request replaces it.
void RequestStop(int32_t code);
// Hands the user's move to the running ponder search, analysis or hint's
// search (request 3, or 4 in engineState 5): the search unwinds and its
// completion makes the move.
void HandUserMoveToSearch(Move move);
// Whether a user's move waits for the search to unwind. It holds from the
// hand-over until the completion has made (or refused) the move, whatever
// the search does with stopRequested meanwhile (the root scoring clears
// it while it pumps messages).
bool UserMoveWaiting();
extern int32_t userMoveWaiting;
// Whether a command's request (anything but a plain stop) waits for the
// running ponder search, analysis or hint's search to unwind: the board is
// about to change under a move dropped now, so the window refuses it. Space
// during the hint's search (request 16) only ends it early, as a plain stop.
bool CommandWaitsForSearch();
// 1 once the main window asked to close while the engine worked; no later
// request and no later search drops it.
extern int32_t closeRequested;
// How many requests RequestStop has posted in this run.
extern uint32_t requestsPosted;

// Runs one search of the given ThinkMode and its completion; returns when the
// engine is idle again (a completion may chain further searches: a ponder
// after the engine's move, a think after the user's move; they run from the
// outermost call, one after the other). excludedMove (0 = none) is skipped by
// the books and at the root.
void Think(int32_t mode, Move excludedMove);
// Whether the running search was asked to stop: by a request posted since it
// began (which the root scoring may not show in stopRequested yet) or by
// its own time.
bool ThinkAskedToStop();
// Suggests a move for the side to move in ponderMove (0 = none). A user's
// move handed to its search (HandUserMoveToSearch) stops it, and its
// completion (CompleteHint) makes the move as after a ponder: the
// suggestion, for the position before the move, is dropped, and HintSearch
// returns false once the engine has answered the move. True otherwise.
bool HintSearch();
// Whether the hint's search runs: from its start until it has unwound, its
// completion excluded.
bool HintSearchRunning();
// The root choices of the lowest levels (0, and -1/-2) from the root scores.
void ChooseRootMoveLevel0();
void ChooseRootMoveLevelMinus();

// Completions of a search, by the state it ran in.
void CompleteThink(int32_t state, int32_t rootForced, int32_t cleanIteration);
void CompletePonder();
void CompleteAnalysis();
// After the hint's search: the user's move that waits for it is made and
// answered by the engine when it plays the side then to move, and what the
// user gave meanwhile runs in its order after the move (RunCommandsAfterMove).
// Returns false, and does nothing, when no move waits or a close came first.
bool CompleteHint();
// The opponent's expected reply to the move just played, 0 when none or when
// the books know the position after it.
Move ExpectedReply();
// AutoSaveCurrentGame: engine/search/game_files_hooks.h.

// ---------------------------------------------------------------------------
// Steps the driver and its completions share
// ---------------------------------------------------------------------------
// The game record holds kMaxGameMoves moves: once gamePly reaches that, no
// move is added to the game (the user's, the engine's, a predicted one) and
// no search starts, since a search writes its records behind gamePly + 1.
bool GameRecordFull();
// Makes move on the engine position with its record written at game record
// gamePly + 1 (never over a stored move of the shown game). Returns 0, and
// the position is unchanged, when the game record is full, the move fails
// IsValidMove or MakeMove refuses it.
int MakeMoveAfterShownPly(Move move);
// After MakeMoveAfterShownPly: the move becomes game move gamePly + 1, the
// game ends there (gameLength := gamePly) and the record gets its four
// notation texts. The record's engine fields are cleared (a user's move),
// and so are the comment and the mark of the ply (they belonged to the move
// that stood there before).
void RecordMadeMove();
// displayBoard and shownSideToMove follow the engine position, the clock
// runs for the side to move; the board is redrawn unless a piece is held
// and the side windows are refreshed.
void ShowGamePosition();
// The game clock runs for shownSideToMove (when it runs at all): the time
// spent so far is charged to the side whose clock ran.
void ClockFollowsShownSide();

// The time budget clockBudgetMs of a think of the given ThinkMode under the
// current levelMode, from the side's clock time and the moves left in the
// clock's period. Raises *level to 128 when pondering in level mode 2;
// *fromClock tells whether the budget came from the clock's time.
uint32_t ThinkBudgetMs(int32_t mode, uint32_t sideTimeMs, int32_t movesLeft, int32_t* level,
                       int32_t* fromClock);
