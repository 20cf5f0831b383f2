// Setting up a position by hand: the piece palette, the set-up buttons and
// the set-up commands of the board's pop-up menu.
#include <QMenu>
#include <cstring>
#include <iterator>

#include "app/board_view.h"
#include "app/bridge_window.h"
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/search_tables.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "platform/keyboard.h"
#include "platform/menu.h"
#include "platform/message_box.h"
#include "platform/services.h"
#include "platform/sound.h"
#include "platform/text_codec.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "windows/game_status_dlg.h"
#include "windows/side_to_move_dlg.h"
#include "windows/side_windows.h"

namespace {

constexpr int kVkControl = 0x11;

// One add command: the piece indices of its kind, its home squares in the
// order they are tried as (file, rank) with rank 0 black's back rank, and
// whether any free square will do when they are all taken.
struct AddRule {
  int command;
  PieceIndex first, last;
  int homeCount;
  int homes[7][2];
  bool anywhere;
};

// Advisers and elephants only ever go to their own points.
constexpr AddRule kAddRules[] = {
    {kCmdAddRedPawn, 12, 16, 5, {{0, 6}, {2, 6}, {4, 6}, {6, 6}, {8, 6}}, true},
    {kCmdAddRedAdviser, 2, 3, 5, {{3, 9}, {5, 9}, {4, 8}, {3, 7}, {5, 7}}, false},
    {kCmdAddRedElephant, 4, 5, 7, {{2, 9}, {6, 9}, {4, 7}, {0, 7}, {8, 7}, {2, 5}, {6, 5}}, false},
    {kCmdAddRedHorse, 6, 7, 2, {{1, 9}, {7, 9}}, true},
    {kCmdAddRedCannon, 10, 11, 2, {{1, 7}, {7, 7}}, true},
    {kCmdAddRedChariot, 8, 9, 2, {{0, 9}, {8, 9}}, true},
    {kCmdAddBlackPawn, 28, 32, 5, {{0, 3}, {2, 3}, {4, 3}, {6, 3}, {8, 3}}, true},
    {kCmdAddBlackAdviser, 18, 19, 5, {{3, 0}, {5, 0}, {4, 1}, {3, 2}, {5, 2}}, false},
    {kCmdAddBlackElephant,
     20,
     21,
     7,
     {{2, 0}, {6, 0}, {0, 2}, {4, 2}, {8, 2}, {2, 4}, {6, 4}},
     false},
    {kCmdAddBlackHorse, 22, 23, 2, {{1, 0}, {7, 0}}, true},
    {kCmdAddBlackCannon, 26, 27, 2, {{1, 2}, {7, 2}}, true},
    {kCmdAddBlackChariot, 24, 25, 2, {{0, 0}, {8, 0}}, true},
};

const AddRule* FindAddRule(int command) {
  for (const AddRule& rule : kAddRules)
    if (rule.command == command) return &rule;
  return nullptr;
}

// The first piece of the rule's kind that is off the board, 0 when none.
PieceIndex PieceOffBoard(const AddRule& rule) {
  for (PieceIndex i = rule.first; i <= rule.last; ++i)
    if (posPiece[i] == 0) return i;
  return 0;
}

void AddSetupPiece(CMainFrame* frame, int command) {
  const AddRule* rule = FindAddRule(command);
  if (frame->setupMode == 0 || rule == nullptr) return;
  // With every piece of the kind on the board there is nothing to add.
  const PieceIndex piece = PieceOffBoard(*rule);
  if (piece == 0) return;
  Square square = 0;
  for (int i = 0; i < rule->homeCount && square == 0; ++i) {
    const Square home = MakeSquare(rule->homes[i][0], rule->homes[i][1]);
    if (board[home] == 0) square = home;
  }
  if (square == 0 && rule->anywhere) square = CMainFrame::FindFreeSquare();
  frame->PlaceSetupPiece(piece, square);
}

// The sprite cell of a piece: red 7 - type, black 14 - type.
int32_t PieceCell(int32_t piece) {
  const int32_t type = static_cast<int32_t>(pieceTypeOf[piece]);
  return piece <= 16 ? 7 - type : 14 - type;
}

bool Inside(int32_t x, int32_t y, int32_t left, int32_t top, int32_t size) {
  return x >= left && x < left + size && y >= top && y < top + size;
}

Square SquareAt(int32_t column, int32_t row) {
  return static_cast<Square>(171 - 16 * column - row);
}

// Ending set-up with OK: the game record starts afresh at the set-up position.
void StartGameRecordHere(CMainFrame* frame) {
  // The comments, marks, result and file of the old game's moves do not
  // belong to a game that starts from the set-up position. The names,
  // event and other header texts stay: they often still describe the
  // players and the occasion.
  ClearComment(-1);
  ClockFollowsShownSide();
  currentGameHeader.result = kResultUnknown;
  ClearGameFileName();
  frame->RefreshGameWindows();
  if (gameStatusDlg != nullptr) gameStatusDlg->SetTexts();  // its caption names the file
}

}  // namespace

// ------------------------------------------------------------ mode on, off

// A ponder search is stopped for the set-up; only a think on the engine's
// own move refuses it.
void CMainFrame::OnUpdateSetupPosition(CCmdUI* ui) {
  ui->Enable(setupMode == 0 && EngineIdleOrPondering());
}

void CMainFrame::OnUpdateInSetupMode(CCmdUI* ui) { ui->Enable(setupMode != 0); }

void CMainFrame::OnSetupPosition() {
  if (setupMode != 0 || DeferUntilPonderStops(kCmdSetupPosition) || engineState != kEngineIdle)
    return;
  setupMode = 1;
  savedInputMode = inputMode;
  inputMode = 1;
  heldPiece = -1;
  SaveSetupSnapshot();
  Relayout(0);
}

void CMainFrame::SaveSetupSnapshot() {
  std::memcpy(setupSnapshot.board, board, sizeof setupSnapshot.board);
  std::memcpy(setupSnapshot.pieces, posPiece, sizeof setupSnapshot.pieces);
  setupSnapshot.gamePly = gamePly;
  setupSnapshot.gameLength = gameLength;
  setupSnapshot.startSide = startSideToMove;
  setupSnapshot.side = sideToMove;
  setupSnapshot.shownSide = shownSideToMove;
}

void CMainFrame::RestoreSetupBackup() {
  std::memcpy(board, setupSnapshot.board, sizeof board);
  std::memcpy(displayBoard, board, sizeof displayBoard);
  std::memcpy(posPiece, setupSnapshot.pieces, sizeof posPiece);
  gamePly = setupSnapshot.gamePly;
  gameLength = setupSnapshot.gameLength;
  startSideToMove = setupSnapshot.startSide;
  sideToMove = setupSnapshot.side;
  shownSideToMove = setupSnapshot.shownSide;
  ComputePositionKeys(&positionLock, &positionKey, posPiece);
  // The edits may have rebuilt the piece types and line masks of the
  // edited position; the game's own position needs its own.
  PrepareEvaluation();
}

void CMainFrame::CancelSetup() {
  RestoreSetupBackup();
  setupMode = 0;
  inputMode = savedInputMode;
  heldPiece = -1;
  sourceColumn = -1;
  targetColumn = -1;
  Relayout(0);
}

bool CMainFrame::IsPlayableSetup(uint32_t side) {
  // The staging session replaces the engine position while it is open: the
  // position to check is copied first.
  int8_t cells[kBoardSize];
  uint32_t pieces[33];
  std::memcpy(cells, board, sizeof cells);
  std::memcpy(pieces, posPiece, sizeof pieces);
  LoadedGame scratch;
  StagingSession session(scratch);
  return session.open() && StageStartBoard(scratch, cells, pieces, side) != 0;
}

void CMainFrame::OnEndSetupPosition() {
  if (setupMode == 0) return;
  CSideToMoveDlg dialog(this);
  if (dialog.DoModal() == IDOK) {
    const uint32_t side = dialog.redToMove != 0 ? kRed : kBlack;
    // A position without a king, with the kings facing, with the side not
    // to move in check or with an adviser, elephant or pawn where it can
    // never stand breaks the search: it never becomes a game.
    if (!IsPlayableSetup(side)) {
      ShowMessageBox(this, TrText(kTextSetupNotPlayable));
    } else {
      setupMode = 0;
      startSideToMove = shownSideToMove = sideToMove = side;
      gamePly = 0;
      gameLength = 0;
      reversibleMoves = 0;
      historyBase = &history[1];
      historyPly = 0;
      history[1].reversibleMoves = 0;
      ponderMove = 0;
      // The edits leave piece types, counts and line masks behind.
      PrepareEvaluation();
      ComputePositionKeys(&positionLock, &positionKey, posPiece);
      std::memcpy(displayBoard, board, sizeof displayBoard);
      StartGameRecordHere(this);
    }
  }
  Relayout(0);
  inputMode = savedInputMode;
  heldPiece = -1;
  sourceColumn = -1;
  targetColumn = -1;
}

// ------------------------------------------------------------ edits

void CMainFrame::OnEmptyBoard() {
  if (setupMode == 0) return;
  for (PieceIndex i = 2; i <= 32; ++i)
    if (i != 17) RemovePiece(i);
  std::memcpy(displayBoard, board, sizeof displayBoard);
  if (boardView_ != nullptr) boardView_->Invalidate();
}

void CMainFrame::OnRevertColors() {
  if (setupMode == 0) return;
  SwapColours();
  shownSideToMove = sideToMove;
  if (boardView_ != nullptr) boardView_->Invalidate();
}

void CMainFrame::OnLeftRightSymmetry() {
  // Outside set-up the position belongs to the game record.
  if (setupMode == 0) return;
  MirrorPositionLeftRight();
  if (boardView_ != nullptr) boardView_->Invalidate();
}

void CMainFrame::OnAddRedPawn() { AddSetupPiece(this, kCmdAddRedPawn); }
void CMainFrame::OnAddRedAdviser() { AddSetupPiece(this, kCmdAddRedAdviser); }
void CMainFrame::OnAddRedElephant() { AddSetupPiece(this, kCmdAddRedElephant); }
void CMainFrame::OnAddRedHorse() { AddSetupPiece(this, kCmdAddRedHorse); }
void CMainFrame::OnAddRedCannon() { AddSetupPiece(this, kCmdAddRedCannon); }
void CMainFrame::OnAddRedChariot() { AddSetupPiece(this, kCmdAddRedChariot); }
void CMainFrame::OnAddBlackPawn() { AddSetupPiece(this, kCmdAddBlackPawn); }
void CMainFrame::OnAddBlackAdviser() { AddSetupPiece(this, kCmdAddBlackAdviser); }
void CMainFrame::OnAddBlackElephant() { AddSetupPiece(this, kCmdAddBlackElephant); }
void CMainFrame::OnAddBlackHorse() { AddSetupPiece(this, kCmdAddBlackHorse); }
void CMainFrame::OnAddBlackCannon() { AddSetupPiece(this, kCmdAddBlackCannon); }
void CMainFrame::OnAddBlackChariot() { AddSetupPiece(this, kCmdAddBlackChariot); }

void CMainFrame::OnUpdateAddPiece(CCmdUI* ui) {
  const AddRule* rule = FindAddRule(ui->GetId());
  ui->Enable(setupMode != 0 && engineState != kEngineThinkingNoBook && rule != nullptr &&
             PieceOffBoard(*rule) != 0);
}

Square CMainFrame::FindFreeSquare() {
  for (int file = 8; file >= 0; --file)
    for (int rank = 9; rank >= 0; --rank)
      if (board[MakeSquare(file, rank)] == 0) return MakeSquare(file, rank);
  return 0;
}

void CMainFrame::PlaceSetupPiece(int32_t piece, Square square) {
  if (square == 0 || piece < 1 || piece > 32) return;
  posPiece[piece] = square;
  board[square] = static_cast<int8_t>(piece);
  std::memcpy(displayBoard, board, sizeof displayBoard);
  if (boardView_ != nullptr) boardView_->Invalidate();
}

// ------------------------------------------------------------ mouse

bool CMainFrame::PickFromSetupPalette(int32_t x, int32_t y) {
  const int32_t s = squareSize, h = s / 2, t = toolbarBandHeight + coordinateBand;
  heldCell = -1;
  heldPiece = -1;
  uint32_t captured[14];
  ListCapturedPieces(captured);
  // Boxes 0..5: chariot, cannon, knight, elephant, adviser, pawn; red's
  // column first. Box 6 holds no piece.
  for (int black = 0; black <= 1; ++black) {
    const int32_t left = black != 0 ? 11 * s + h + 8 : 10 * s + h + 4;
    for (int box = 0; box < 6; ++box) {
      const int32_t top = box * (s + 5) + h + t;
      const int32_t piece = static_cast<int32_t>(captured[(black != 0 ? 13 : 6) - box]);
      if (piece == 0 || !Inside(x, y, left, top, s)) continue;
      heldPiece = piece;
      heldCell = PieceCell(piece);
      sourceColumn = -1;  // from the palette
      if (pieceStrip != nullptr && boardView_ != nullptr) {
        boardView_->PaintPending();
        CDC dc = boardView_->GetClientDC();
        pieceStrip->SaveBackground(dc, left, top, heldCell);
      }
      return true;
    }
  }
  if (Inside(x, y, 10 * s + h + 4, 7 * s + h + t + 35, s)) {
    OnEndSetupPosition();
    return true;
  }
  if (Inside(x, y, 11 * s + h + 4, 7 * s + h + t + 35, s)) {
    CancelSetup();
    return true;
  }
  if (Inside(x, y, 10 * s + h + 4, 6 * s + h + t + 30, s)) {
    OnEmptyBoard();
    return true;
  }
  return false;
}

void CMainFrame::DropSetupPiece(int32_t x, int32_t y) {
  const int32_t piece = heldPiece;
  heldPiece = -1;
  ignoreButtonUp = 0;  // the release is the drop, in either input mode
  int32_t column, row;
  const bool onBoard = PointToSquare(x, y, column, row);
  if (piece >= 1 && piece <= 32) {
    const Square from = static_cast<Square>(posPiece[piece]);
    if (onBoard) {
      const Square to = SquareAt(column, row);
      const int32_t covered = board[to];
      // A king is never covered; a piece let go on its own square stays.
      if (covered != 1 && covered != 17 && covered != piece) {
        if (covered > 0) posPiece[covered] = 0;
        if (from != 0) board[from] = 0;
        board[to] = static_cast<int8_t>(piece);
        posPiece[piece] = to;
      }
    } else {
      // Off the board: a piece of the board goes, a king stays; a palette
      // piece is let go.
      if (from != 0 && piece != 1 && piece != 17) RemovePiece(piece);
      PlaySoundResource(kSoundRefusedMove);
    }
    std::memcpy(displayBoard, board, sizeof displayBoard);
    shownSideToMove = sideToMove;
  }
  sourceColumn = -1;
  targetColumn = -1;
  if (boardView_ != nullptr) boardView_->Invalidate();
}

void CMainFrame::OnRButtonDown(uint32_t, int32_t x, int32_t y) {
  if (IsKeyDown(kVkControl)) {
    CopyFenPosition(1);
    ShowMessageBox(this, QString::fromLatin1(GetClipboardText(kFenBufferSize).c_str()),
                   kMessageBoxOk, "board");
  }
  if (boardView_ == nullptr) return;
  const MenuNodeList list = BoardPopupMenu(setupMode != 0);
  QMenu* menu = BuildPopupMenu(list.nodes, list.nodeCount, currentLanguage, this, this, this);
  // The menu goes once it has closed and its command was posted.
  connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
  UpdateMenuItems(menu, this);
  const QPoint at = boardView_->mapToGlobal(QPoint(x, y));
  menu->popup(at - QPoint(menu->sizeHint().width() / 2, 0));
  if (!menu->isVisible()) menu->deleteLater();
}

namespace {

const CommandMapEntry<CMainFrame> kSetupCommands[] = {
    {kCmdSetupPosition, &CMainFrame::OnSetupPosition, &CMainFrame::OnUpdateSetupPosition},
    {kCmdEndSetupPosition, &CMainFrame::OnEndSetupPosition, &CMainFrame::OnUpdateInSetupMode},
    {kCmdEmptyBoard, &CMainFrame::OnEmptyBoard, &CMainFrame::OnUpdateInSetupMode},
    {kCmdRevertColors, &CMainFrame::OnRevertColors, &CMainFrame::OnUpdateInSetupMode},
    {kCmdLeftRightSymmetry, &CMainFrame::OnLeftRightSymmetry, &CMainFrame::OnUpdateInSetupMode},
    {kCmdAddRedPawn, &CMainFrame::OnAddRedPawn, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddRedAdviser, &CMainFrame::OnAddRedAdviser, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddRedElephant, &CMainFrame::OnAddRedElephant, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddRedHorse, &CMainFrame::OnAddRedHorse, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddRedCannon, &CMainFrame::OnAddRedCannon, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddRedChariot, &CMainFrame::OnAddRedChariot, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddBlackPawn, &CMainFrame::OnAddBlackPawn, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddBlackAdviser, &CMainFrame::OnAddBlackAdviser, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddBlackElephant, &CMainFrame::OnAddBlackElephant, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddBlackHorse, &CMainFrame::OnAddBlackHorse, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddBlackCannon, &CMainFrame::OnAddBlackCannon, &CMainFrame::OnUpdateAddPiece},
    {kCmdAddBlackChariot, &CMainFrame::OnAddBlackChariot, &CMainFrame::OnUpdateAddPiece},
};

}  // namespace

bool RunSetupCommand(CMainFrame* frame, int id) {
  return id != 0 && DispatchCommand(frame, kSetupCommands, id);
}

bool UpdateSetupCommand(CMainFrame* frame, CCmdUI& ui) {
  return ui.GetId() != 0 && DispatchUpdateIfListed(frame, kSetupCommands, ui);
}
