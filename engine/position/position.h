// The one engine position: program-wide variables and constant tables, and
// every routine of the position and move generation. All routines work on
// these variables directly and take no position argument.
#pragma once

#include <cstdint>
#include <string>

#include "engine/position/square_tables.h"
#include "engine/position/types.h"

// ---------------------------------------------------------------------------
// Position variables
// ---------------------------------------------------------------------------
extern int8_t board[kBoardSize];        // PieceIndex per square, 0 empty
extern uint8_t typeBoard[kBoardSize];   // coloured PieceType per square
extern uint32_t posPiece[33];           // Square per PieceIndex, 0 absent
extern int8_t displayBoard[kBoardSize];  // the board shown to the user
extern uint32_t* const redKingSquarePtr;    // &posPiece[1]
extern uint32_t* const blackKingSquarePtr;  // &posPiece[17]
extern uint16_t rankOccupancy[10];  // bit (1 << file) per occupied square
extern uint16_t fileOccupancy[9];   // bit (1 << rank) per occupied square
extern uint32_t sideToMove;
extern uint32_t startSideToMove;
extern uint32_t shownSideToMove;
extern int32_t gamePly;
extern int32_t gameLength;
extern HistoryRecord history[kHistorySize];
extern HistoryRecord* historyBase;
extern int32_t historyPly;
extern uint32_t reversibleMoves;
extern uint64_t positionLock;
extern uint64_t positionKey;
extern int32_t materialBalance;
extern uint32_t pieceCount[2][6];  // pawn, adviser, elephant, knight, cannon, chariot
extern uint32_t attackerCount[2];  // knights + cannons + chariots
extern int32_t attackWeight[2];    // 5 knights + 5 cannons + 10 chariots
extern uint32_t redIronPawn;
extern uint32_t blackIronPawn;
// Draw values of each side. They are added to evaluations and search
// scores, so they stay within +-kContemptLimit: far from the mate scores and
// from the ends of the 32-bit range.
extern int32_t contemptRed;
extern int32_t contemptBlack;
constexpr int32_t kContemptLimit = 100000;

// ---------------------------------------------------------------------------
// Constant tables: onBoard, blackPalace, redPalace, blackElephantSquare,
// redElephantSquare, mirrorSquare, pieceTypeOf, colouredTypeOf, startSquareOf
// (square_tables.h)
// ---------------------------------------------------------------------------

// Two-step tables built once by InitTwoStepTables (engine/search/new_game).
// knightLeg[s][t]: the leg square a knight on s needs empty to reach t, 0
// when t is not a knight step from s. Sized over the whole board so that any
// square pair can be looked up.
extern uint8_t knightLeg[kBoardSize][kBoardSize];
// For a king on K and a knight on N: up to two moves N -> T that give check,
// with the check's leg square (next to K) and the move's own leg square.
extern uint32_t knightCheckMove1[172][172];
extern uint8_t knightCheckLeg1[172][172];
extern uint8_t knightStepLeg1[172][172];
extern uint32_t knightCheckMove2[172][172];
extern uint8_t knightCheckLeg2[172][172];
extern uint8_t knightStepLeg2[172][172];

// ---------------------------------------------------------------------------
// Position keys (keys.cpp)
// ---------------------------------------------------------------------------
extern uint64_t lockTable[15][kBoardSize];
extern uint64_t keyTable[15][kBoardSize];
uint32_t NextRandom32();
uint64_t NextRandom64();
// Fills lockTable and keyTable from the generator. Only the first call of the
// process draws: later calls leave the tables (and the generator) as they are,
// so every caller that needs the keys may call it.
void InitKeyTables();
// Hashes a piece list shaped like posPiece (entry i the square of piece i, 0
// absent). Either output may be null; entries that are no square are skipped.
void ComputePositionKeys(uint64_t* lockOut, uint64_t* keyOut, const uint32_t pieces[33]);
void ComputeMirroredPositionKeys(uint64_t* lockOut, uint64_t* keyOut, const uint32_t pieces[33]);

// ---------------------------------------------------------------------------
// Making and unmaking moves (make_move.cpp)
// ---------------------------------------------------------------------------
int MakeMove(Move move, int32_t checker);
void UnmakeMove();
void MakeNullMove();
int IsLegalByTrial(Square from, Square to);
uint32_t FindChecker(uint32_t side);

// ---------------------------------------------------------------------------
// Game stepping (stepping.cpp)
// ---------------------------------------------------------------------------
int TakeBackOne();
void TakeBackAll();
int ReplayOne();
void ReplayAll();

// ---------------------------------------------------------------------------
// Move rules (move_rules.cpp)
// ---------------------------------------------------------------------------
int IsValidMove(Move move);
int CheckUserMove(Move move, const int8_t* board, uint32_t side, int verbose);

// ---------------------------------------------------------------------------
// Position and move text, set-up edits (fen.cpp, setup_edits.cpp)
// ---------------------------------------------------------------------------
// WriteFen needs at most 90 + 9 + 2 + 1 bytes; callers pass kFenBufferSize.
constexpr int kFenBufferSize = 128;
void WriteFen(const int8_t* board, char* out, int withSide, int mirrored, int letterSet);
int ParseFen(const char* text, int8_t* board, uint32_t* pieces, uint32_t* sideOut);
// Reads the placement and side of a FEN text into a cleared board and piece
// list as ParseFen does, without touching the engine position or the game.
void ReadFenBoard(const char* text, int8_t* board, uint32_t* pieces, uint32_t* sideOut);
// Checks the text of a FEN before it is read: ten ranks of nine squares,
// only piece letters (either letter set) and digits in them, no more pieces
// of a kind than a side owns, then a side letter "w", "r" or "b" standing
// alone. Fails with the first fault in *error, named as the user would
// look for it ("rank 4 from the top has 8 squares, not nine", "6 red pawns,
// a side has at most 5", "no side to move"). ReadFenBoard itself reads any
// text.
bool CheckFenText(const char* fen, std::string* error);
Move ParseCoordMove(const char* text);
Move MirrorMove(Move move);
// Writes the four-character coordinate text of a move ("h2e2") and a NUL;
// a square off the board is written "--".
void FormatCoordMove(Move move, char out[5]);
void ListCapturedPieces(uint32_t out[14]);
// The same for any piece list shaped like posPiece (entry i non-zero while
// piece i is on the board).
void ListCapturedPiecesOf(const uint32_t pieces[33], uint32_t out[14]);
void SwapColours();
void MirrorPositionLeftRight();
// 1 when board and posPiece agree and each side has its king inside its
// palace; otherwise logs the first fault and returns 0.
int ValidateBoard();
void RemovePiece(PieceIndex piece);

// ---------------------------------------------------------------------------
// Line masks and line tables (line_tables.cpp)
// ---------------------------------------------------------------------------
extern uint16_t rankMaskBit[kBoardSize];
extern uint16_t fileMaskBit[kBoardSize];
extern uint16_t chariotReach[1024][10];
extern uint16_t cannonReach[1024][10];
extern uint16_t firstBlockerAbove[1024][10];
extern uint16_t firstBlockerBelow[1024][10];
extern uint16_t secondBlockerAbove[1024][10];
extern uint16_t secondBlockerBelow[1024][10];
extern uint8_t chariotFileTargets[kBoardSize][1024][3];
extern uint8_t chariotRankTargets[kBoardSize][1024][3];
void RebuildLineMasks();
void InitLineTables();

// ---------------------------------------------------------------------------
// Repetition rulings (repetition.cpp)
// ---------------------------------------------------------------------------
int AdjudicateRepetition(int cycle, int n, uint32_t inCheck, int32_t* score);
int RepetitionDrawFourCycle(int n, int32_t* score);
uint32_t PieceAttacksTarget(PieceIndex piece, Square from, Square target);

// ---------------------------------------------------------------------------
// Move lists, generators and pickers
// ---------------------------------------------------------------------------
extern MovePicker movePickers[kMaxSearchPly];
Move NextMove();                            // picker.cpp
void PickBestWithTieBreak(MovePicker& r);   // picker.cpp
void PickBest(MovePicker& r);               // picker.cpp
void SortByScore(MovePicker& r);            // picker.cpp
void GenerateAllMoves();                    // gen_all.cpp
void GenerateCaptures();                    // gen_captures.cpp
void GenerateQuietMoves();                  // gen_quiet.cpp
int HasLegalMove();                         // legal.cpp
Move NextCaptureQ();                        // qpickers.cpp
Move NextCaptureOrCheckQ();                 // qpickers.cpp
Move NextCaptureOrCheckQExtended();         // qpickers.cpp
Move NextEvasion();                         // qpickers.cpp
void GenerateQuietChecks(uint32_t extra);   // quiet_checks.cpp
void GenerateFileInterpositions(uint32_t fileCode);  // interpositions.cpp
void GenerateRankInterpositions(uint32_t rankCode);  // interpositions.cpp

// ---------------------------------------------------------------------------
// Attack and check tests (attacks*.cpp). Arguments and results are 32-bit
// unsigned; a PieceIndex result is 0 when nothing is found; excluded is a
// PieceIndex to skip (any value outside 1..32 skips nothing).
// ---------------------------------------------------------------------------
uint32_t KnightAttacksSquare(uint32_t piece, uint32_t square);
uint32_t CannonAttacksSquare(uint32_t piece, uint32_t square);
uint32_t ChariotAttacksSquare(uint32_t piece, uint32_t square);
uint32_t IsAttackedByRedStrong(uint32_t square);
uint32_t FindCheckerOfBlackKing();
uint32_t FindCheckerOfRedKing();
uint32_t KingsFace();
uint32_t BlackKingAttacker();
uint32_t RedKingAttacker();
uint32_t RedAttackerOf(uint32_t square, uint32_t excluded);
uint32_t BlackAttackerOf(uint32_t square, uint32_t excluded);
uint32_t RedAttackerOfByScan(uint32_t square, uint32_t excluded);
uint32_t BlackAttackerOfByScan(uint32_t square, uint32_t excluded);
uint32_t RedStrongAttackerOf(uint32_t square);
uint32_t BlackStrongAttackerOf(uint32_t square);
uint32_t RedStrongAttackerByScan(uint32_t square);
uint32_t BlackStrongAttackerByScan(uint32_t square);
uint32_t RedAttackCount(uint32_t square);
uint32_t BlackAttackCount(uint32_t square);
uint32_t RedStrongAttackCount(uint32_t square);
uint32_t BlackStrongAttackCount(uint32_t square);
uint32_t BlackChariotMoveUnpinned(uint32_t piece, uint32_t square);
uint32_t RedChariotMoveUnpinned(uint32_t piece, uint32_t square);

// ---------------------------------------------------------------------------
// Debug consistency check (position.cpp): compares board, posPiece,
// typeBoard, masks, keys and counters (not materialBalance: a take-back
// after a search restores a balance of the banks of the previous search).
// Returns 1 when consistent. Called
// after every make and unmake in builds with VORELK_POSITION_CHECKS.
// ---------------------------------------------------------------------------
int CheckPositionConsistency();
