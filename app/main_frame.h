// The main window: the board view below the toolbar band, the menu bar of
// the current language, the commands by id, the one-second timer, the
// settings of every subsystem (read at creation, written at closing) and the
// autosaved game.
//
// CMainFrame is implemented by several files, one topic each:
//   main_frame.cpp      creation, timer, closing, refreshes, commands table
//   frame_settings.cpp  the options read at creation and written at closing
//   board_layout.cpp    square size, board picture, frame size, piece sets
//   board_paint.cpp     square geometry, the painter, the computing moves
// Mouse input, animation, set-up mode and the commands come with their own
// files.
#pragma once

#include <QImage>
#include <QMainWindow>
#include <cstdint>
#include <memory>

#include "engine/position/types.h"
#include "platform/command_target.h"
#include "platform/device_context.h"
#include "platform/dib_bitmap.h"
#include "platform/menu.h"
#include "windows/about_dlg.h"

class QCloseEvent;
class QKeyEvent;
class QTimerEvent;
class CBoardView;
class CToolBar;
class CSettingsStore;

// The frame title and message-box caption: the program's name and version.
inline constexpr const char* kProgramTitle = kProgramVersionText;

// Cursor ids of the frame: the arrow, or the hourglass while the engine
// works.
inline constexpr int IDC_ARROW = 32512;
inline constexpr int IDC_WAIT = 32514;
inline int32_t cursorId = IDC_ARROW;

// Height of the band above the board that holds the visible toolbars, 30
// pixels per toolbar (both at start).
inline int32_t toolbarBandHeight = 60;
inline constexpr int32_t kToolbarRowHeight = 30;

// 1: player names in the name strip are shown in pinyin.
inline int32_t translateNamesToPinyin = 1;
// 1: the engine's current best line is drawn as arrows while it thinks.
inline int32_t showComputingMoves = 1;

// The off-screen picture the board is composed in before it is shown:
// max(screen width, 672) by max(screen height, 728), made at creation.
extern QImage* backBuffer;

// Plain board colours (0x00BBGGRR) of board styles 0..5.
inline constexpr COLORREF plainBoardColours[6] = {0xB4C4AB, 0xBAD2D2, 0xBEB4A0,
                                                  0xD2D2D2, 0xBEC8DC, 0xFFFFFF};
inline constexpr int kBoardStyleCount = 22;  // styles 0..21
inline constexpr int kPieceSetCount = 4;     // sets 1..4
inline constexpr int kCoordinateKindCount = 5;

// Memory of the computing-moves overlay: the moves whose arrows were drawn
// last (0 none).
inline Move drawnBestMove = 0;
inline Move drawnBestReply = 0;
inline Move drawnPonderMove = 0;

// Which side windows are open (or, at start, are to be opened).
struct SideWindowsOpen {
  bool clock = false;
  bool miniClock = false;
  bool moveList = false;
  bool gameStatus = false;
  bool comments = false;
};

class CMainFrame : public QMainWindow, public CCmdTarget {
  Q_OBJECT

 public:
  // Creates the frame: OnCreate runs from the constructor. `commandTail` is
  // the path of a game file to open instead of the autosaved game ("" none).
  // The frame is shown with the side windows OnCreate opened, and is then
  // the active window, the keys going to its board.
  explicit CMainFrame(const char* commandTail = "");
  ~CMainFrame() override;

  bool OnCmdMsg(int id) override;
  void OnUpdateCmdUI(CCmdUI& ui) override;

  // ---- Frame core (main_frame.cpp) ----
  // Builds everything; returns 0 (or -1 when the window cannot be created).
  int OnCreate(const char* commandTail);
  // The one-second tick: the game clock, the clock windows, automatic replay.
  void OnTimer();
  // After a game was loaded: re-layout, texts, side windows.
  void RefreshAfterLoad();
  // Loads the menu bar of currentLanguage, re-titles the open side windows
  // and sets the frame's title.
  void RefreshFrameTexts();
  // Shows the cursor named by cursorId.
  void OnSetCursor();
  // The update pass of both toolbars' buttons.
  void UpdateToolbars();
  // The re-layout at the current size index (with the piece set reloaded
  // when `reloadPieces`).
  void Relayout(int reloadPieces = 1);
  // Writes every option of the "Options" section (frame_settings.cpp).
  void WriteOptions(CSettingsStore& store);
  // Reads every option at creation (frame_settings.cpp); values out of
  // their range give their defaults.
  void ReadOptions(CSettingsStore& store);

  // ---- Board layout (board_layout.cpp) ----
  void SetBoardSize(int32_t size, int32_t reloadPieces);
  void SetBigBoardSize(int32_t reloadPieces);
  // The finished board picture, or null when its texture cannot be made.
  std::unique_ptr<CDibBitmap> BuildBoardBitmap(CDC& dc, int32_t size, COLORREF colour,
                                               int32_t textureId);
  int32_t BoardStyleBitmapId() const;
  COLORREF GetBoardColor() const;
  void DrawPointMarks(CDC& dc, int32_t size, int32_t column, int32_t rowFromBottom,
                      int32_t left, int32_t right);
  void DrawCoordinateLabels(CDC& dc);
  void LoadPieceSet(int32_t set);
  // The design toolbar's drop-down button of `command` was pressed.
  void OnToolbarDropDown(int command);
  // The area below the band that the painter draws in: the 10 x 11 squares
  // (13 x 12 in set-up mode), wider where the lit side-to-move disc and its
  // shadow reach past them and taller where the file letters do.
  CSize BoardAreaSize() const;
  // Sizes the frame so that its client holds the band and the board area
  // (never narrower than its menu bar's one-row width).
  void FitWindowToBoard();

  // ---- Painting (board_paint.cpp) ----
  void SquareToPixel(int32_t column, int32_t row, int32_t& x, int32_t& y) const;
  // `clip` in client coordinates, null for the whole client area.
  void RenderBoard(CDC& dc, const CRect* clip, int32_t noIndicators);
  void DrawPieceAt(CDC& dc, int32_t piece, int32_t column, int32_t row, int32_t inWindow,
                   const CRect* clip);
  void DrawSquareMarker(CDC& dc, int32_t column, int32_t row, int32_t inWindow, int32_t large);
  void DrawSideToMoveMarks(CDC& dc);
  void DrawComputingMoves();
  // Renders `paintRect` (client coordinates) into the view's surface.
  void OnPaint(const CRect& paintRect);
  // The last move shown by the marks (0 none): the move of the current ply,
  // or while pondering the one before it.
  Move LastShownMove() const;

  // Refreshes the move list, game information and comments windows, each
  // when open.
  void RefreshGameWindows();
  // Writes the side windows' and the frame's placements and every option.
  void SaveOptionsAndPlacements();
  // The game the program starts with: the file named in `commandTail`, else
  // (or when that file cannot be read) the autosave, else a new game; what
  // could not be read is said.
  void LoadStartGame(const char* commandTail);
  // After a game file was loaded: says how many of its characters read as
  // "?" (a UTF-8 file's characters GBK lacks), when any did.
  void TellLackingCharacters(const QString& file);
  // After a game file was loaded: names its texts that were longer than the
  // program keeps and were stored cut, with what was kept, when any were
  // (file_commands.cpp).
  void TellCutTexts(const QString& file);

  // ---- Game and engine commands, keyboard (game_commands.cpp) ----
  // A new game (deferred while the engine works).
  void NewGame();
  void OnNewGame();
  // (game-command declarations)
  // Take back and replay: deferred with their request while the engine
  // works; the one-move steps slide the piece.
  void OnTakeBackOneMove();
  void OnTakeBackAll();
  void OnReplayOneMove();
  void OnReplayAll();
  // Asks for a move number and shows the position after that many moves.
  void OnGotoMove();
  // The engine takes the side to move and plays.
  void OnPlayCurrentPosition();
  // The last move is taken back and the engine plays another one.
  void OnNextBestMove();
  void OnNoComputerMode();
  void OnPonder();
  void OnShowComputingMoves();
  // Automatic replay on or off (Shift: ask for the seconds per move first).
  void OnAutomove();
  // Command 40069 and the H key: the hint (OnHint), then whatever a command
  // asked for while the hint's search ran. A move made meanwhile has been
  // made and answered when the hint's search returns, with what followed it.
  void OnHintCommand();
  void OnUpdateTakeBack(CCmdUI* ui);
  void OnUpdateReplay(CCmdUI* ui);
  void OnUpdateGotoMove(CCmdUI* ui);
  void OnUpdatePlayCurrentPosition(CCmdUI* ui);
  void OnUpdateNextBestMove(CCmdUI* ui);
  void OnUpdateNoComputerMode(CCmdUI* ui);
  void OnUpdatePonder(CCmdUI* ui);
  void OnUpdateShowComputingMoves(CCmdUI* ui);
  void OnUpdateAutomove(CCmdUI* ui);
  void OnUpdateHint(CCmdUI* ui);
  void OnUpdateEngineIdle(CCmdUI* ui);
  // The frame's keys: stepping through the game, hint, automatic replay
  // speed, play now.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  // One of the four take-back and replay commands, by its request code.
  void StepThroughGame(int32_t request);
  // The board, the move list and the commands' state after the game moved.
  void ShowChangedGame();
  // A request posted while the hint's search ran (other than a user's move,
  // which its completion makes) is carried out here once it returned.
  void CarryOutRequestAfterHint(int32_t request);

 public:

  // ---- Mouse input (board_input.cpp) ----
  // (input declarations)
  // The left button went down / up at client point (x, y). In click and
  // click the second click acts as the release.
  void OnLButtonDown(uint32_t flags, int32_t x, int32_t y);
  void OnLButtonUp(uint32_t flags, int32_t x, int32_t y);
  // A double click on the board does nothing.
  void OnLButtonDblClk(uint32_t flags, int32_t x, int32_t y);
  // Drags the held piece with the mouse (drag and drop).
  void OnMouseMove(uint32_t flags, int32_t x, int32_t y);
  // The display square of client point (x, y); false when off the board
  // (column and row are set in every case).
  bool PointToSquare(int32_t x, int32_t y, int32_t& column, int32_t& row) const;
  // The user's move on the idle engine: made, recorded, shown, then the
  // engine's reply. Returns false when the move is refused.
  bool PlayUserMove(Move move);
  // Clears the selection, repaints and plays the refusal sound.
  void RefuseUserMove();

  // ---- Hint display, animation, ponder hit (board_animation.cpp) ----
  // (animation declarations)
  // Slides the piece hinted at to its target and back (command 40069).
  // Returns false when the hint's search gave way to a move the user made
  // meanwhile (HintSearch): no hint is shown then.
  bool OnHint();
  // Animates `piece` between two squares in display coordinates.
  void SlidePiece(int32_t piece, int32_t fromColumn, int32_t fromRow, int32_t toColumn,
                  int32_t toRow);
  // Moves sprite `cell` of the piece strip from one client point to another.
  void AnimateSlide(int32_t cell, CPoint from, CPoint to);
  // Restores a square's board picture; 0 when it lies outside the drawable
  // area, 1 otherwise (also without a board picture).
  int32_t DrawEmptySquare(int32_t column, int32_t row);
  // Redraws a square with its piece of the shown board, or empty.
  void RedrawSquare(int32_t column, int32_t row);
  // The user played the move the engine ponders on: the running search
  // becomes the search for the engine's reply.
  void PlayPredictedMove();
  // The pixel step of the slide under way.
  static inline int32_t slideStep = 0;
  // When set, replaces the hint's pause with the piece on its target (the
  // argument is the pause in milliseconds); tests look at the board there.
  static inline void (*hintPauseHook)(int32_t ms) = nullptr;

  // ---- File and clipboard commands (file_commands.cpp) ----
  // (file-command declarations)
  // Load and save through the file dialogs (deferred while the engine
  // works; the engine's completions run them again).
  void OnLoadGame();
  void OnSaveGame();
  void OnUpdateLoadSave(CCmdUI* ui);
  // The shown position as FEN text on the clipboard (Shift: mirrored).
  void OnCopyFenPosition();
  void OnCopyCcFenPosition();
  void CopyFenPosition(int letterSet);
  // A FEN text of the clipboard becomes the start of a new game, when it
  // is a playable position; only while the engine is idle, not in set-up.
  void OnPasteFenPosition();
  void OnUpdatePasteFenPosition(CCmdUI* ui);

  // ---- Game option commands (option_commands.cpp) ----
  // (option-command declarations)
  // Stores the handicap code and starts a new game with it (deferred while
  // the engine works).
  void SetHandicap(int32_t code);
  // Gives the program the priority `level` (-1 low, 0 normal); when the
  // system refuses, priorityLevel keeps the level in force and the user is
  // told once.
  void SetPriority(int32_t level);

  // ---- View commands (view_commands.cpp) ----
  // (view-command declarations)
  // Board style `style`, then the re-layout with the pieces reloaded.
  void SetBoardStyle(int32_t style);
  // Interface language `language`: menu bar, titles, design toolbar, layout.
  void SetLanguage(int32_t language);
  // Move notation `kind`: the move list and comments show it.
  void SetNotation(int32_t kind);
  // Board coordinates `kind` (0 and 1 also set the same-numbered notation).
  void SetBoardCoordinates(int32_t kind);
  // Shows a hidden toolbar or hides a visible one.
  void ToggleToolbar(CToolBar* bar);
  // The band holds one row per visible toolbar: the rows are stacked from
  // the top and the board is laid out below them.
  void UpdateToolbarBand();

  // ---- Set-up mode (board_setup.cpp) ----
  // (setup declarations)
  // Set-up mode on: the board view widens by the palette, moves are off.
  void OnSetupPosition();
  void OnUpdateSetupPosition(CCmdUI* ui);
  // Asks for the side to move; a playable position becomes the start of a
  // new, empty game record and set-up mode ends. Otherwise set-up goes on.
  void OnEndSetupPosition();
  void OnUpdateInSetupMode(CCmdUI* ui);
  // Takes every piece off the board but the two kings.
  void OnEmptyBoard();
  void OnRevertColors();
  void OnLeftRightSymmetry();
  // Each puts a piece of its kind that is off the board on the first free
  // square of the kind's home squares (pawns, horses, cannons and chariots:
  // else on any free square).
  void OnAddRedPawn();
  void OnAddRedAdviser();
  void OnAddRedElephant();
  void OnAddRedHorse();
  void OnAddRedCannon();
  void OnAddRedChariot();
  void OnAddBlackPawn();
  void OnAddBlackAdviser();
  void OnAddBlackElephant();
  void OnAddBlackHorse();
  void OnAddBlackCannon();
  void OnAddBlackChariot();
  void OnUpdateAddPiece(CCmdUI* ui);
  void SaveSetupSnapshot();
  // The position and game record as they were when set-up began.
  void RestoreSetupBackup();
  // The palette's cancel button: the position back and set-up mode off.
  void CancelSetup();
  // The first empty square from file 8, rank 9 backwards; 0 when full.
  static Square FindFreeSquare();
  void PlaceSetupPiece(int32_t piece, Square square);
  // The mouse went down at (x, y) in set-up mode: a palette box or button
  // was hit (true), or nothing of the palette (false).
  bool PickFromSetupPalette(int32_t x, int32_t y);
  // The held piece is let go at (x, y) in set-up mode.
  void DropSetupPiece(int32_t x, int32_t y);
  // The right button: Ctrl copies the shown position's FEN, then the
  // board's pop-up menu opens at the point.
  void OnRButtonDown(uint32_t flags, int32_t x, int32_t y);
  // Whether the engine position may be played with `side` to move: each
  // king in its palace, the kings not facing, the side not to move not in
  // check. The position is left as it is.
  static bool IsPlayableSetup(uint32_t side);
  struct SetupSnapshot {
    int8_t board[kBoardSize] = {};
    uint32_t pieces[33] = {};
    int32_t gamePly = 0, gameLength = 0;
    uint32_t startSide = 0, side = 0, shownSide = 0;
  };
  SetupSnapshot setupSnapshot;
  int32_t savedInputMode = 1;

  // ---- Move-list and board copies, printing (copy_print.cpp) ----
  // (copy-print declarations)
  // The board picture (board size, no side-to-move marks) or the move list
  // as text on the clipboard.
  void OnCopyChessboard();
  void OnCopyMoveList();
  // The move list printed in two-move rows, or with the game's header and a
  // piece picture before every move.
  void OnPrintMoveList();
  void OnPrintGraphicalMoveList();
  // The printed picture of a piece letter ("K".."P" red, lower case black)
  // as a size x size square at (x, y).
  void DrawPrintedPiece(CDC& dc, int32_t x, int32_t y, char letter, int32_t size);

  // ---- Side-window commands (window_commands.cpp) ----
  void OnGameList();
  void OnUpdateGameList(CCmdUI* ui);
  void OnClock();
  void OnUpdateClock(CCmdUI* ui);
  void OnMiniClock();
  void OnUpdateMiniClock(CCmdUI* ui);
  void OnGameStatus();
  void OnUpdateGameStatus(CCmdUI* ui);
  void OnComments();
  void OnUpdateComments(CCmdUI* ui);

  // ---- Commands ----
  void OnExit();
  void OnStopThinking();
  void OnAbout();

  CBoardView* BoardView() const { return boardView_; }
  CToolBar* GameToolBar() const { return gameToolBar_; }
  CToolBar* DesignToolBar() const { return designToolBar_; }
  const CMenu& LanguageMenu() const { return languageMenu_; }
  // Whether the frame's close waits for the engine's search to unwind.
  bool ClosePending() const { return closePending_; }

  // Fields of the frame (values as read from the settings at creation).
  int32_t displayBitsPerPixel = 32;
  int32_t squareSize = 37;  // until the first layout
  int32_t pieceSet = 2;
  int32_t boardStyle = 7;
  int32_t automoveSeconds = 2;
  int32_t automoveTicks = 0;
  int32_t automoveOn = 0;
  int32_t alphaFactor = 128;
  int32_t inputMode = 1;  // 1 drag and drop, 0 click and click
  int32_t disableDoubleClick = 0;
  int32_t heldCell = 0;
  int32_t ignoreButtonUp = 0;
  int32_t coordinateBand = 20;
  int32_t boardSizeIndex = 1;
  int32_t sourceColumn = -1, sourceRow = 0;
  int32_t targetColumn = -1, targetRow = 0;
  int32_t setupMode = 0;
  int32_t heldPiece = -1;  // PieceIndex held by the mouse, -1 none
  int32_t animationSpeed = 2;  // 0 none, 1 slow, 2 fast
  int32_t rotation = 0;
  int32_t mirror = 0;
  int32_t priorityLevel = 0;
  int32_t coordinateKind = 0;
  // The side windows the settings asked to open at start.
  SideWindowsOpen openAtStart;
  // A table size as stored (megabytes, 0 for automatic) and the size in
  // force it gave at start.
  struct StoredTableSize {
    int32_t stored = 0;
    int32_t atStart = 0;
    // What the settings keep: the stored choice while the size in force is
    // still the one it gave, else (an automatic size, a size chosen in the
    // options since) the size in force.
    int32_t ToStore(int32_t inForce) const {
      return stored != 0 && inForce == atStart ? stored : inForce;
    }
  };
  StoredTableSize hashSize, learningSize;
  // The side windows open now.
  SideWindowsOpen SideWindowsOpenNow() const;

  // Pictures of the board view.
  std::unique_ptr<CDibBitmap> boardBitmap;
  std::unique_ptr<CSpriteStrip> pieceStrip;
  std::unique_ptr<CSpriteStrip> printPieceStrip;
  std::unique_ptr<CDibBitmap> paletteBitmap;  // bitmap 111
  // Markers: 54- and 36-pixel buttons, the side-to-move discs, iron pawn.
  std::unique_ptr<CSpriteStrip> endSetupBig, endSetupSmall;
  std::unique_ptr<CSpriteStrip> cancelSetupBig, cancelSetupSmall;
  std::unique_ptr<CSpriteStrip> emptyBoardBig, emptyBoardSmall;
  std::unique_ptr<CSpriteStrip> redDisc, blackDisc, ironPawnMarker;
  std::unique_ptr<CSpriteStrip> riverBig, riverSmall;

 protected:
  void closeEvent(QCloseEvent* event) override;
  void timerEvent(QTimerEvent* event) override;

 private:
  CMenu languageMenu_;
  CBoardView* boardView_ = nullptr;
  CToolBar* gameToolBar_ = nullptr;
  CToolBar* designToolBar_ = nullptr;
  int timerId_ = 0;
  bool closePending_ = false;
  // A press on a piece while the engine thinks, and its square.
  bool pressedWhileThinking_ = false;
  int32_t pressColumn_ = -1;
  int32_t pressRow_ = -1;
  bool optionsWritten_ = false;
};

// The frame, null before it exists and after it is gone.
extern CMainFrame* pMainFrame;
