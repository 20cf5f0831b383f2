#include "app/bridge_window.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstring>

#include "app/board_view.h"
#include "app/commands_after_move.h"
#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "game/shown_ply.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "platform/text_codec.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "windows/comments_dlg.h"
#include "windows/logs_dlg.h"
#include "windows/move_list_wnd.h"
#include "windows/side_windows.h"

namespace {

int WindowShowMessage(const char* text);

// The command that waits for the ponder search to stop, 0 when none.
int commandAfterPonder = 0;

// A command deferred while the engine searched (a load, a save, or one
// that waited for a ponder search) and the think that goes on once the
// command has run, when the command left the game as it was: the think on
// the engine's own move that the command interrupted (kThinkPlay or
// kThinkPlayNoBook) with the game it was thinking on, as the board showed
// it (the engine position belongs to the search then). mode is 0 when no
// think goes on.
struct InterruptedThink {
  int32_t mode = 0;
  ShownGameSnapshot game{};
};
InterruptedThink interruptedThink;

// Notes the think that goes on after the deferred command.
void NoteInterruptedThink() {
  interruptedThink = {};
  if (engineState == kEngineThinking || engineState == kEngineThinkingNoBook) {
    interruptedThink.mode = engineState;
    interruptedThink.game = TakeShownGameSnapshot();
  }
}

// Runs the command that the completion hands back. Whatever the user chose,
// the board and the game windows show the game as it now stands; the think
// noted for the command goes on when the game is still the one it was for
// (a save, a cancelled load, a file that did not load, a cancelled dialog)
// and the frame is not setting up a position. Called from the completion,
// the think runs once the completion has returned.
void RunDeferredCommand(int command) {
  const InterruptedThink interrupted = interruptedThink;
  interruptedThink = {};
  if (command == 0 || pMainFrame == nullptr) return;
  pMainFrame->OnCmdMsg(command);
  ShowGameAfterCommands();
  if (interrupted.mode != 0 && engineState == kEngineIdle && pMainFrame->setupMode == 0 &&
      SameShownGame(interrupted.game))
    Think(interrupted.mode, 0);
}

void WindowNotifyEngineEvent(int code) {
  switch (code) {
    case kEventDrawComputingMoves:
      // Nothing is drawn once a stop was requested.
      if (stopRequested == 0 && pMainFrame != nullptr) pMainFrame->DrawComputingMoves();
      break;
    case kEventCheckSound:
      PlaySoundResource(kSoundCheck);
      break;
    case kEventUserMoveRefused:
      PlaySoundResource(kSoundRefusedMove);
      break;
    case kEventNextBestMove:
      if (pMainFrame != nullptr) pMainFrame->OnCmdMsg(kCmdNextBestMove);
      break;
    case kEventRefreshAfterLoad:
      if (pMainFrame != nullptr) pMainFrame->RefreshAfterLoad();
      break;
    case kEventLoadGame:
      RunDeferredCommand(kCmdLoadGame);
      break;
    case kEventSaveGame:
      RunDeferredCommand(kCmdSaveGame);
      break;
    case kEventRunDeferredCommand: {
      const int command = commandAfterPonder;
      commandAfterPonder = 0;
      RunDeferredCommand(command);
      break;
    }
    case kEventAutosaveFailed:
      WindowShowMessage(Tr(kTextAutosaveFailed));
      break;
    default:
      break;
  }
}

// Every waiting event (posted commands, timers, painting, input) is handled
// here, on top of the search's stack. What the user gave behind a move that
// waited for the search, and that is for the engine's think on the move
// (Stop thinking and what followed it), comes first.
void WindowPumpMessages() {
  RunCommandsForThink();
  if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
}

// The move list and then the comments window, each when open.
void WindowRefreshSideWindows() {
  if (moveListWnd != nullptr) moveListWnd->Refresh();
  if (commentsDlg != nullptr) commentsDlg->Refresh();
}

void WindowAppendLogLine(const char* text) {
  if (logsDlg != nullptr && text != nullptr) logsDlg->AppendLine(text);
}

void WindowSetBusyCursor(int busy) {
  cursorId = busy != 0 ? IDC_WAIT : IDC_ARROW;
  if (pMainFrame == nullptr) return;
  pMainFrame->OnSetCursor();
  pMainFrame->UpdateToolbars();
}

int WindowShowMessage(const char* text) {
  if (pMainFrame == nullptr) return 0;
  return ShowMessageBox(pMainFrame, DecodeLanguageText(text, currentLanguage));
}

void WindowReportLostOnTime(int side) {
  // The board is painted as it stands before the message holds the user.
  if (pMainFrame != nullptr && pMainFrame->BoardView() != nullptr)
    pMainFrame->BoardView()->PaintPending();
  PlaySoundResource(kSoundLostOnTime);
  WindowShowMessage(Tr(side == 0 ? kTextRedHasLost : kTextBlackHasLost));
}

void WindowRedrawBoardIfNoPieceHeld() {
  if (pMainFrame != nullptr && pMainFrame->heldPiece == -1 && pMainFrame->BoardView() != nullptr)
    pMainFrame->BoardView()->Invalidate();
}

void WindowAnimateEngineMove(PieceIndex piece, Square from, Square to) {
  // The piece slides from its from-square to its to-square (display
  // coordinates) unless animation is off; the move sound plays in every case.
  if (pMainFrame != nullptr && pMainFrame->animationSpeed > 0) {
    pMainFrame->SlidePiece(static_cast<int32_t>(piece), 8 - FileOf(from), 9 - RankOf(from),
                           8 - FileOf(to), 9 - RankOf(to));
  }
  if (pMainFrame != nullptr && pMainFrame->BoardView() != nullptr)
    pMainFrame->BoardView()->Invalidate();
  PlaySoundResource(kSoundMove);
}

// The closing request's game was saved after the search unwound: the frame
// closes now (its options were written when the user closed it).
void WindowEndProgramAfterClose() {
  engineState = kEngineIdle;
  SetBusyCursor(0);
  if (pMainFrame != nullptr) {
    pMainFrame->close();
  } else if (QCoreApplication::instance() != nullptr) {
    QCoreApplication::quit();
  }
}

const WindowBridge kWindowBridge = {
    WindowNotifyEngineEvent,   WindowPumpMessages,     WindowRefreshSideWindows,
    WindowAppendLogLine,       WindowSetBusyCursor,    WindowReportLostOnTime,
    WindowShowMessage,         WindowRedrawBoardIfNoPieceHeld, WindowAnimateEngineMove,
    WindowEndProgramAfterClose, WindowRunCommandsAfterMove,
};

}  // namespace

void InstallWindowBridge() { windowBridge = &kWindowBridge; }

void RemoveWindowBridge() { windowBridge = nullptr; }

ShownGameSnapshot TakeShownGameSnapshot() {
  ShownGameSnapshot s;
  s.game = CurrentShownGame();
  std::memcpy(s.board, displayBoard, sizeof s.board);
  return s;
}

bool SameShownGame(const ShownGameSnapshot& s) {
  const ShownGame now = CurrentShownGame();
  return now.ply == s.game.ply && now.length == s.game.length && now.side == s.game.side &&
         std::memcmp(displayBoard, s.board, sizeof s.board) == 0;
}

void ShowGameAfterCommands() {
  if (pMainFrame == nullptr) return;
  if (pMainFrame->BoardView() != nullptr) pMainFrame->BoardView()->Invalidate();
  pMainFrame->RefreshGameWindows();
  pMainFrame->UpdateToolbars();
}

bool EngineIdleOrPondering() {
  return engineState == kEngineIdle || engineState == kEnginePondering || HintSearchRunning();
}

namespace {

bool ThinkingOnOwnMove() {
  return engineState == kEngineThinking || engineState == kEngineThinkingNoBook;
}

void DeferCommand(int commandId) {
  commandAfterPonder = commandId;
  NoteInterruptedThink();
  RequestStop(kRequestStopThenCommand);
}

}  // namespace

bool DeferUntilPonderStops(int commandId) {
  // The hint's search stops for the command as a ponder does.
  if (engineState != kEnginePondering && !HintSearchRunning()) return false;
  DeferCommand(commandId);
  return true;
}

bool EngineIdlePonderingOrThinking() { return EngineIdleOrPondering() || ThinkingOnOwnMove(); }

bool DeferUntilSearchStops(int commandId) {
  if (engineState != kEnginePondering && !ThinkingOnOwnMove() && !HintSearchRunning()) return false;
  if (ThinkingOnOwnMove() && ThinkAskedToStop() &&
      (pendingRequest == kRequestNone || pendingRequest == kRequestPlayNow)) {
    // The think already ends with the engine's move (Stop thinking, Play
    // now, its time): the command comes after that move, as it would a
    // moment later, instead of replacing the stop.
    QTimer::singleShot(0, pMainFrame, [commandId] {
      if (pMainFrame != nullptr) pMainFrame->OnCmdMsg(commandId);
    });
    return true;
  }
  DeferCommand(commandId);
  return true;
}

void DeferFileCommand(int32_t request) {
  NoteInterruptedThink();
  RequestStop(request);
}
