// The game and engine commands of the frame: new game, stepping through the
// game, goto move, play now, next best move, the engine's options, the hint,
// automatic replay, and the frame's keyboard. A command that must not act
// while the engine works posts its request with RequestStop and returns; the
// search's completion carries it out once the search has unwound.
#include <QKeyEvent>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/board_view.h"
#include "app/bridge_window.h"
#include "app/commands_after_move.h"
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/game_files_hooks.h"
#include "engine/search/new_game.h"
#include "engine/search/opening_names.h"
#include "engine/search/search_tables.h"
#include "engine/search/time_control.h"
#include "game/shown_ply.h"
#include "platform/keyboard.h"
#include "platform/sound.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "windows/input_dlg.h"
#include "windows/move_list_wnd.h"
#include "windows/side_windows.h"

namespace {

// The number at the start of an input text as atoi reads it, kept within
// [-limit, limit] so that no later arithmetic can overflow.
long ReadBoundedInt(const char* text, long limit) {
  const long value = std::strtol(text, nullptr, 10);
  if (value > limit) return limit;
  if (value < -limit) return -limit;
  return value;
}

// Shows the one-line input dialog; true on OK with the typed text in
// dialog.text.
bool AskLine(QWidget* parent, const char* caption, const char* prompt, const char* initial,
             char (&typed)[kInputFieldSize]) {
  CInputDlg dialog(parent);
  std::snprintf(dialog.caption, sizeof dialog.caption, "%s", caption);
  std::snprintf(dialog.prompt, sizeof dialog.prompt, "%s", prompt);
  std::snprintf(dialog.text, sizeof dialog.text, "%s", initial);
  if (dialog.DoModal() != IDOK) return false;
  std::memcpy(typed, dialog.text, sizeof typed);
  typed[kInputFieldSize - 1] = '\0';
  return true;
}

bool EngineIdle() { return engineState == kEngineIdle; }

}  // namespace

void CMainFrame::NewGame() {
  if (engineState >= 1 && engineState <= 6) {
    // The completion of the search starts the new game.
    RequestStop(kRequestNewGame);
    return;
  }
  pollInterval = 1500;
  ResetGameState(1);
  historyPly = 0;
  RefreshGameWindows();
  Relayout(1);
  if (boardView_ != nullptr) boardView_->Invalidate();
  UpdateToolbars();
  PlaySoundResource(kSoundNewGame);
}

void CMainFrame::OnNewGame() {
  NewGame();
  RefreshFrameTexts();
}

void CMainFrame::ShowChangedGame() {
  // The clock is the side to move's, wherever the command left the game.
  ClockFollowsShownSide();
  const int32_t opening = FindOpeningName(displayBoard);
  if (opening != 0) currentOpening = opening;
  if (boardView_ != nullptr) boardView_->Invalidate();
  RefreshGameWindows();
  UpdateToolbars();
}

// ---------------------------------------------------------------------------
// Take back, replay, goto move
// ---------------------------------------------------------------------------

void CMainFrame::StepThroughGame(int32_t request) {
  if (setupMode) return;
  // A step with nothing to step over changes nothing, not even the hint,
  // and stops no search: the shown game is at its start or at its end.
  const ShownGame shown = CurrentShownGame();
  const bool back = request == kRequestTakeBackOne || request == kRequestTakeBackAll;
  if (back ? shown.ply < 1 : shown.ply >= shown.length) return;
  ponderMove = 0;
  if (engineState != kEngineIdle) {
    RequestStop(request);
    return;
  }
  switch (request) {
    case kRequestTakeBackOne:
      if (TakeBackOne()) {
        // The piece now on the from-square slides back from the to-square.
        const Move m = history[gamePly + 1].move;
        AnimateEngineMove(static_cast<PieceIndex>(board[MoveFrom(m)]), MoveTo(m), MoveFrom(m));
      }
      break;
    case kRequestReplayOne:
      if (ReplayOne()) {
        const Move m = history[gamePly].move;
        AnimateEngineMove(static_cast<PieceIndex>(board[MoveTo(m)]), MoveFrom(m), MoveTo(m));
      }
      break;
    case kRequestTakeBackAll:
      TakeBackAll();
      break;
    case kRequestReplayAll:
      ReplayAll();
      break;
    default:
      return;
  }
  ShowChangedGame();
}

void CMainFrame::OnTakeBackOneMove() { StepThroughGame(kRequestTakeBackOne); }
void CMainFrame::OnTakeBackAll() { StepThroughGame(kRequestTakeBackAll); }
void CMainFrame::OnReplayOneMove() { StepThroughGame(kRequestReplayOne); }
void CMainFrame::OnReplayAll() { StepThroughGame(kRequestReplayAll); }

void CMainFrame::OnGotoMove() {
  if (setupMode) return;
  // A ponder search is stopped first; a think on the engine's own move
  // refuses the command (greyed then, but a command posted before the
  // engine started must not move the game under the search).
  if (DeferUntilPonderStops(kCmdGotoMove) || !EngineIdle()) return;
  char typed[kInputFieldSize];
  // A caption of its own: an empty one would leave the window manager to
  // show the program's file name.
  if (!AskLine(this, Tr(kTextGotoMoveCaption), Tr(kTextEnterMoveNumber), "0", typed)) return;
  if (!EngineIdle()) return;  // the engine started while the dialog was open
  const long moves = ReadBoundedInt(typed, kHistorySize);
  ponderMove = 0;  // a hint of the old position
  TakeBackAll();
  for (long ply = 0; ply < 2 * moves && ReplayOne(); ++ply) {
  }
  ShowChangedGame();
}

// ---------------------------------------------------------------------------
// The engine's moves and options
// ---------------------------------------------------------------------------

void CMainFrame::OnPlayCurrentPosition() {
  if (setupMode) return;
  if (engineState == kEnginePondering) {
    RequestStop(kRequestPlayNow);
    return;
  }
  if (!EngineIdle()) return;
  // The engine's think is timed on the clock of the side it plays.
  ClockFollowsShownSide();
  Think(kThinkPlay, 0);
  std::memcpy(displayBoard, board, sizeof displayBoard);
  shownSideToMove = sideToMove;
  ShowChangedGame();
}

void CMainFrame::OnNextBestMove() {
  if (engineState != kEngineIdle) {
    RequestStop(kRequestNextBestMove);
    return;
  }
  if (setupMode || gamePly < 1) return;
  const Move last = history[gamePly].move;
  OnTakeBackOneMove();
  Think(kThinkPlay, last);
  ShowChangedGame();
}

void CMainFrame::OnNoComputerMode() {
  if (setupMode || !EngineIdle()) return;
  const int32_t on = enginePlaysSide0 == 0 && enginePlaysSide1 == 0 ? 1 : 0;
  enginePlaysSide0 = on;
  enginePlaysSide1 = on;
  UpdateToolbars();
}

void CMainFrame::OnPonder() {
  Ponder = Ponder ? 0 : 1;
  if (Ponder == 0 && engineState == kEnginePondering) RequestStop(kRequestNone);
  UpdateToolbars();
}

void CMainFrame::OnShowComputingMoves() {
  showComputingMoves = showComputingMoves ? 0 : 1;
  if (showComputingMoves) {
    DrawComputingMoves();
  } else if (boardView_ != nullptr) {
    boardView_->Invalidate();
  }
  UpdateToolbars();
}

void CMainFrame::OnAutomove() {
  if (automoveOn == 1) {
    automoveOn = 0;
  } else {
    if (IsKeyDown(VK_SHIFT)) {
      char current[kInputFieldSize];
      std::snprintf(current, sizeof current, "%d", automoveSeconds);
      char typed[kInputFieldSize];
      const char* title = Tr(kTextSecondsPerMove);
      if (AskLine(this, title, title, current, typed)) {
        const long seconds = ReadBoundedInt(typed, 1000);
        automoveSeconds = seconds < 0 ? 1 : seconds > 30 ? 30 : static_cast<int32_t>(seconds);
      }
    }
    automoveOn = 1;
  }
  automoveTicks = 0;
  UpdateToolbars();
}

// ---------------------------------------------------------------------------
// The hint's search
// ---------------------------------------------------------------------------

void CMainFrame::CarryOutRequestAfterHint(int32_t request) {
  switch (request) {
    case kRequestNewGame:
      NewGame();
      break;
    case kRequestTakeBackOne:
    case kRequestTakeBackAll:
    case kRequestReplayOne:
    case kRequestReplayAll:
      StepThroughGame(request);
      break;
    case kRequestNextBestMove:
      OnNextBestMove();
      break;
    case kRequestClose:
      AutoSaveCurrentGame();
      EndProgramAfterClose();
      break;
    case kRequestLoadGame:
      LoadGameRequested();
      break;
    case kRequestLoadDatabaseGame:
      LoadDatabaseGameRequested();
      RefreshAfterLoad();
      break;
    case kRequestSaveGame:
      SaveGameRequested();
      break;
    case kRequestStopThenCommand:
      // A command the search was stopped for (the options sheet, a paste):
      // it runs now.
      NotifyEngineEvent(kEventRunDeferredCommand);
      break;
    default:
      // A plain stop, or Space's "play the analysed move", which has no
      // meaning for a hint: the hint ends early. (A user's move is made by
      // the hint's completion.)
      break;
  }
}

void CMainFrame::OnHintCommand() {
  // A command that arrives through the message pumping of the hint's
  // search (engineState 5) stops it with its request, which is carried out
  // here once the search has returned. A user's move stops it too, but the
  // search's completion makes it, and the engine answers it, before the
  // search returns: what the user gave after the move has run then.
  const bool searches = engineState == kEngineIdle && ponderMove == 0 && !setupMode;
  const uint32_t postedBefore = requestsPosted;
  const bool gaveWayToMove = !setupMode && !OnHint();
  UpdateToolbars();
  if (gaveWayToMove) return;
  if (searches && requestsPosted != postedBefore && engineState == kEngineIdle) {
    const int32_t request = pendingRequest;
    pendingRequest = kRequestNone;
    // Last: the closing request ends the frame.
    CarryOutRequestAfterHint(request);
  }
}

// ---------------------------------------------------------------------------
// Update handlers
// ---------------------------------------------------------------------------

void CMainFrame::OnUpdateTakeBack(CCmdUI* ui) {
  ui->Enable(gamePly > 0 && !setupMode && engineState != kEngineThinkingNoBook);
}

void CMainFrame::OnUpdateReplay(CCmdUI* ui) {
  ui->Enable(gamePly < gameLength && !setupMode && engineState != kEngineThinkingNoBook);
}

void CMainFrame::OnUpdateGotoMove(CCmdUI* ui) {
  const ShownGame shown = CurrentShownGame();
  ui->Enable(EngineIdleOrPondering() && !setupMode && (shown.ply > 0 || shown.ply < shown.length));
}

void CMainFrame::OnUpdatePlayCurrentPosition(CCmdUI* ui) {
  ui->Enable(EngineIdle() && !setupMode && automoveOn == 0 && !GameRecordFull());
}

void CMainFrame::OnUpdateNextBestMove(CCmdUI* ui) {
  ui->Enable(!setupMode && gamePly > 0 &&
             (engineState == kEngineIdle || engineState == kEnginePondering) && automoveOn == 0);
}

void CMainFrame::OnUpdateNoComputerMode(CCmdUI* ui) {
  ui->Enable(EngineIdle() && !setupMode);
  ui->SetCheck(enginePlaysSide0 == 0 && enginePlaysSide1 == 0);
}

void CMainFrame::OnUpdatePonder(CCmdUI* ui) {
  ui->Enable(engineState != kEngineThinkingNoBook);
  ui->SetCheck(Ponder != 0);
}

void CMainFrame::OnUpdateShowComputingMoves(CCmdUI* ui) { ui->SetCheck(showComputingMoves != 0); }

void CMainFrame::OnUpdateAutomove(CCmdUI* ui) {
  ui->Enable(gamePly < gameLength && !setupMode && engineState != kEngineThinkingNoBook);
  ui->SetCheck(automoveOn != 0);
}

void CMainFrame::OnUpdateHint(CCmdUI* ui) {
  ui->Enable(engineState != kEngineThinking && engineState != kEngineThinkingNoBook && !setupMode &&
             !HintSearchRunning());
}

void CMainFrame::OnUpdateEngineIdle(CCmdUI* ui) { ui->Enable(EngineIdle()); }

// ---------------------------------------------------------------------------
// Keyboard
// ---------------------------------------------------------------------------

void CMainFrame::keyPressEvent(QKeyEvent* event) {
  QMainWindow::keyPressEvent(event);
  const bool keypad = event->modifiers().testFlag(Qt::KeypadModifier);
  // Behind a move that waits for the search, a key acts once the move is
  // made (Space then makes no ponder hit).
  if (KeepKeyWhileMoveWaits(event->key(), keypad)) {
    event->accept();
    return;
  }
  switch (event->key()) {
    case Qt::Key_Space:
      if (engineState == kEngineAnalysing) {
        RequestStop(kRequestPlayAnalysedMove);
      } else if (engineState == kEnginePondering && ponderMove != 0) {
        PlayPredictedMove();
      }
      break;
    case Qt::Key_PageUp:
      OnReplayAll();
      break;
    case Qt::Key_PageDown:
      OnTakeBackAll();
      break;
    case Qt::Key_Left:
      OnTakeBackOneMove();
      break;
    case Qt::Key_Right:
      OnReplayOneMove();
      break;
    case Qt::Key_H:
      OnHintCommand();
      break;
    case Qt::Key_Plus:
      if (!keypad) return;
      if (automoveSeconds > 1) automoveSeconds -= automoveSeconds > 5 ? 2 : 1;
      break;
    case Qt::Key_Minus:
      if (!keypad) return;
      if (automoveSeconds < 10) automoveSeconds += automoveSeconds < 5 ? 1 : 2;
      break;
    case Qt::Key_F5:
      OnPlayCurrentPosition();
      break;
    default:
      return;
  }
  event->accept();
}

// ---------------------------------------------------------------------------
// The command table
// ---------------------------------------------------------------------------

namespace {

using F = CMainFrame;
const CommandMapEntry<CMainFrame> kGameCommands[] = {
    {kCmdNewGame, &F::OnNewGame, nullptr},
    {kCmdTakeBackOneMove, &F::OnTakeBackOneMove, &F::OnUpdateTakeBack},
    {kCmdTakeBackAll, &F::OnTakeBackAll, &F::OnUpdateTakeBack},
    {kCmdReplayOneMove, &F::OnReplayOneMove, &F::OnUpdateReplay},
    {kCmdReplayAll, &F::OnReplayAll, &F::OnUpdateReplay},
    {kCmdGotoMove, &F::OnGotoMove, &F::OnUpdateGotoMove},
    {kCmdPlayCurrentPosition, &F::OnPlayCurrentPosition, &F::OnUpdatePlayCurrentPosition},
    {kCmdNextBestMove, &F::OnNextBestMove, &F::OnUpdateNextBestMove},
    {kCmdNoComputerMode, &F::OnNoComputerMode, &F::OnUpdateNoComputerMode},
    {kCmdPonder, &F::OnPonder, &F::OnUpdatePonder},
    {kCmdShowComputingMoves, &F::OnShowComputingMoves, &F::OnUpdateShowComputingMoves},
    {kCmdAutomove, &F::OnAutomove, &F::OnUpdateAutomove},
    {kCmdHint, &F::OnHintCommand, &F::OnUpdateHint},
    {kCmdEngineIdle, nullptr, &F::OnUpdateEngineIdle},
};

}  // namespace

bool RunGameCommand(CMainFrame* frame, int id) { return DispatchCommand(frame, kGameCommands, id); }

bool UpdateGameCommand(CMainFrame* frame, CCmdUI& ui) {
  return DispatchUpdateIfListed(frame, kGameCommands, ui);
}
