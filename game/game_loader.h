// Staging of a game read from a file. Every reader fills a LoadedGame while
// it reads; the moves are checked on the engine position as they are staged
// (inside a staging session that saves the user's game first and puts it
// back exactly afterwards). Only when the whole file was read and checked
// does CommitLoadedGame replace the user's game, so a file that fails to
// load leaves the game as it was.
//
// Typical reader:
//   LoadedGame game;
//   game.fileName = path;
//   StagingSession session(game);            // saves the user's game
//   ... StageStartFen(game, fen) ...         // optional set-up position
//   ... if (StageMove(game, move) != kStageAccepted) ... // per move
//   session.End();                           // user's game back as it was
//   if (ok) CommitLoadedGame(game, header, fullReset);
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/position/types.h"
#include "game/comments.h"
#include "game/header.h"

// Result codes of LoadGameFile and the readers. The failure codes 1 to 4
// leave the game on the board as it was (except 4, found after a load).
// kLoadPartial is no failure: the file was read up to an error (logged), and
// the game holds what was read before it; callers keep that game and tell
// the user that the file was not read to its end.
enum LoadResult : int {
  kLoadOk = 0,
  kLoadFailed = 1,        // no extension, unreadable file, a move that could not be made
  kLoadInvalidMove = 2,   // a move that is not valid, or a second move that could not be made
  kLoadEmpty = 3,         // an empty file, or nothing in it the reader recognises
  kLoadBadBoard = 4,      // the board check failed
  kLoadPartial = 5,       // read in part: the game holds the moves before an error
};

// True for the results after which the file's game is on the board.
inline bool GameWasLoaded(int result) { return result == kLoadOk || result == kLoadPartial; }

// Logs one line "Loading <path>: <what>" (printf format) through
// AppendLogLine; the path and the whole line are bounded.
void LogLoadProblem(const char* path, const char* format, ...)
    __attribute__((format(printf, 2, 3)));
// A line of a file as it can be shown in a log line: at most 64 bytes,
// control bytes other than the tab as "?".
std::string LoggableText(const std::string& text);

// One staged move with the engine data stored with it.
struct LoadedMove {
  Move move = 0;
  int32_t engineScore = 0;
  int32_t engineDepth = 0;
  uint8_t engineMove = 0;  // 1 when the engine played the move
};

// LoadedComment::page of a comment whose reader does not say: it is in the
// code page of the header texts (the text formats are written in one page).
inline constexpr uint8_t kCommentPageOfHeader = 0xFF;

// One comment slot: the comment after move `ply` (slot 0: the whole game).
struct LoadedComment {
  uint8_t mark = kMarkNone;  // Annotation
  bool hasText = false;      // a stored text, even an empty one
  uint8_t page = kCommentPageOfHeader;  // HeaderTextPage of text
  std::string text;
};

// A text of a file longer than the program keeps of it, stored cut
// (game/loaded_texts.h fills and tells them).
struct CutText {
  bool comment = false;              // a comment, else a header text
  HeaderField field = kHeaderEvent;  // the header text
  int ply = 0;                       // the comment's slot (0: the game comment)
  size_t length = 0;                 // bytes in the file, as its reader counts them
  size_t kept = 0;                   // bytes kept
  // The text holds a NUL byte (a damaged file) where `kept` ends: it is not
  // longer than the program keeps, but the rest of it is not read.
  bool atNul = false;
};

struct LoadedGame {
  GameHeader header = emptyGameHeader;  // hasInfo as the reader found it
  // Comment slots 0..kCommentSlots - 1; slots beyond the vector's size are
  // empty. Use SetLoadedComment / SetLoadedMark to fill it.
  std::vector<LoadedComment> comments;
  // Start position: the standard one unless customStart is set, in which
  // case startBoard/startPieces hold board and posPiece (fill them with
  // StageStartFen or StageStartBoard, which check them).
  bool customStart = false;
  int8_t startBoard[kBoardSize] = {};
  uint32_t startPieces[33] = {};
  uint32_t startSide = 0;  // 0 red, 1 black
  std::vector<LoadedMove> moves;
  // The ply to show after loading; -1 (or anything beyond the moves) shows
  // the last move, values below 0 other than -1 show the start position.
  int32_t shownPly = -1;
  // Copied into gameFileName on commit (an empty name leaves it empty).
  std::string fileName;
  // Whether the commit asks FindOpeningName after each move.
  bool findOpening = true;
  // The texts stored cut, in the order they were read; the commit logs them.
  std::vector<CutText> cutTexts;
};

// Fills comment slot ply (0..kCommentSlots - 1, others ignored) with a copy
// of text (null = an empty text), keeping its mark.
void SetLoadedComment(LoadedGame& game, int ply, const char* text);
// Sets the mark of slot ply (0..kCommentSlots - 1, others ignored).
void SetLoadedMark(LoadedGame& game, int ply, uint8_t mark);

// Reads a FEN text (either letter set, the side after the placement: "w" or
// "r" red, anything else black) into a board and piece list without touching
// the engine position. Pieces beyond the number a side owns of a kind are
// dropped as ParseFen drops them.
void ReadFenToBoard(const char* text, int8_t cells[kBoardSize], uint32_t pieces[33],
                    uint32_t* side);
// 1 when cells and pieces describe each other, every piece stands on a
// playing square, each side has its king inside its palace, and every
// adviser, elephant and pawn stands on a square it can reach (advisers on
// their five palace points, elephants on their seven points, pawns on their
// own side only on the start files of their start rank and the next); 0
// otherwise (the fault is logged). Does not touch the engine position. Every
// start position goes through it: set-up, pasted FEN texts and every reader.
int IsSoundStartPosition(const int8_t cells[kBoardSize], const uint32_t pieces[33]);

// ---------------------------------------------------------------------------
// Staging session. While it is open the engine position is the staged game's
// position (board, pieces, side to move, gamePly = number of staged moves),
// so move texts can be parsed against it (ParseWxfMove, FindPieceFile). The
// session saves every variable of the engine position and the game record
// that staging changes and puts them back when it ends; the header, the
// comment store, gameFileName and currentOpening are never touched.
// ---------------------------------------------------------------------------
// Opens the session and sets up game's start position with its moves so
// far. Returns 0 (and opens nothing) when a session is already open, the
// start position is not sound or one of the moves cannot be made.
int BeginStaging(const LoadedGame& game);
// Puts the user's game back exactly as it was at BeginStaging.
void EndStaging();
int StagingActive();

// Outcome of staging one move.
enum StageResult : int {
  kStageAccepted = 0,
  kStageInvalid = 1,  // refused by CheckUserMove (not a move of the side to move)
  kStageIllegal = 2,  // refused by MakeMove (own king attacked, kings facing)
  kStageFull = 3,     // the game record holds no more moves, or no session
};
// Checks move on the staged position with CheckUserMove (no messages) and
// MakeMove; when accepted the move is appended to game.moves (engine data
// zero) and stays made. A refused move changes nothing.
StageResult StageMove(LoadedGame& game, Move move);
// Takes the last staged move back (engine position and game.moves).
void UnstageMove(LoadedGame& game);
// Sets a set-up start position from a FEN text (game.startSide from it),
// drops the moves staged so far and sets the staged position to it. Returns
// 0 and leaves game unchanged when the position is not sound.
int StageStartFen(LoadedGame& game, const char* fen);
// The start position a game file gives as a FEN text, checked as every
// reader checks it: the text itself (CheckFenText), then the position
// (IsSoundStartPosition, the side not to move not in check). A refused one
// is logged once, "Loading <path>: the <what> is not read: <cause>" (what:
// "FEN tag", "FEN line"...), and game is left unchanged. Returns 1 when
// the position was staged as StageStartFen stages it.
int StageFileStartFen(LoadedGame& game, const char* fen, const char* what);
// The same with a board and piece list.
int StageStartBoard(LoadedGame& game, const int8_t cells[kBoardSize],
                    const uint32_t pieces[33], uint32_t side);

// Saves and ends a session on scope exit.
class StagingSession {
 public:
  explicit StagingSession(const LoadedGame& game) : open_(BeginStaging(game) != 0) {}
  ~StagingSession() { End(); }
  StagingSession(const StagingSession&) = delete;
  StagingSession& operator=(const StagingSession&) = delete;
  bool open() const { return open_; }
  void End() {
    if (open_) EndStaging();
    open_ = false;
  }

 private:
  bool open_;
};

// ---------------------------------------------------------------------------
// Commit
// ---------------------------------------------------------------------------
// Replaces the user's game by game: sets the handicap to 0, ResetGameState
// (fullReset), copies game.header into header, sets the start position,
// replays every move (each checked with CheckUserMove without messages and
// MakeMove; the four notation texts, engine score, depth and flag of each
// record written), stores the comments and marks, the file name, makes
// game.cutTexts the committed cut texts (loaded_texts.h), and shows
// the ply game.shownPly (clamped to the moves replayed). gameLength is the
// number of moves replayed. Returns 1 when every move was replayed, 0 when
// the start position was not sound (the game is then the reset one) or a
// move was refused (the game ends before it). Must not be called inside a
// staging session.
int CommitLoadedGame(const LoadedGame& game, GameHeader& header = currentGameHeader,
                     int fullReset = 0);

// The current game as a LoadedGame (start position, moves with engine data,
// comments, marks, header copy, file name, shown ply): what a writer needs.
// Leaves the game as it is.
void CaptureCurrentGame(LoadedGame& game, const GameHeader& header = currentGameHeader);
