#include "app/bridge_window.h"

#include <QCoreApplication>

#include "app/board_view.h"
#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/search/engine_state.h"
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
      if (pMainFrame != nullptr) pMainFrame->OnCmdMsg(kCmdLoadGame);
      break;
    case kEventSaveGame:
      if (pMainFrame != nullptr) pMainFrame->OnCmdMsg(kCmdSaveGame);
      break;
    case kEventAutosaveFailed:
      WindowShowMessage(Tr(kTextAutosaveFailed));
      break;
    default:
      break;
  }
}

// Every waiting event (posted commands, timers, painting, input) is handled
// here, on top of the search's stack.
void WindowPumpMessages() {
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
    WindowEndProgramAfterClose,
};

}  // namespace

void InstallWindowBridge() { windowBridge = &kWindowBridge; }

void RemoveWindowBridge() { windowBridge = nullptr; }
