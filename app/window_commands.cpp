// The view and window commands of the frame: the side windows of the
// "&Windows" menu. Each opens its window, or brings an open one to the
// front; the check mark shows whether it is open.
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "res/menus.h"
#include "windows/comments_dlg.h"
#include "windows/digital_clock_wnd.h"
#include "windows/game_status_dlg.h"
#include "windows/mini_clock_dlg.h"
#include "windows/move_list_wnd.h"
#include "windows/side_windows.h"

namespace {

const CommandMapEntry<CMainFrame> kWindowCommands[] = {
    {kCmdClock, &CMainFrame::OnClock, &CMainFrame::OnUpdateClock},
    {kCmdMiniClock, &CMainFrame::OnMiniClock, &CMainFrame::OnUpdateMiniClock},
    {kCmdGameList, &CMainFrame::OnGameList, &CMainFrame::OnUpdateGameList},
    {kCmdGameStatus, &CMainFrame::OnGameStatus, &CMainFrame::OnUpdateGameStatus},
    {kCmdComments, &CMainFrame::OnComments, &CMainFrame::OnUpdateComments},
};

}  // namespace

void CMainFrame::OnGameList() {
  if (moveListWnd != nullptr) {
    BringSideWindowToFront(moveListWnd);
  } else {
    CMoveListWnd::CreateList(this);
  }
}

void CMainFrame::OnUpdateGameList(CCmdUI* ui) { ui->SetCheck(moveListWnd != nullptr ? 1 : 0); }

void CMainFrame::OnClock() {
  if (digitalClockWnd != nullptr) {
    BringSideWindowToFront(digitalClockWnd);
  } else {
    CDigitalClockWnd::CreateClock(this);
  }
}

void CMainFrame::OnUpdateClock(CCmdUI* ui) { ui->SetCheck(digitalClockWnd != nullptr ? 1 : 0); }

void CMainFrame::OnMiniClock() {
  if (miniClockDlg != nullptr) {
    BringSideWindowToFront(miniClockDlg);
  } else {
    CMiniClockDlg::CreateAndShow(this);
  }
}

void CMainFrame::OnUpdateMiniClock(CCmdUI* ui) { ui->SetCheck(miniClockDlg != nullptr ? 1 : 0); }

void CMainFrame::OnGameStatus() {
  if (gameStatusDlg != nullptr) {
    BringSideWindowToFront(gameStatusDlg);
  } else {
    CGameStatusDlg::CreateAndShow(this);
  }
}

void CMainFrame::OnUpdateGameStatus(CCmdUI* ui) { ui->SetCheck(gameStatusDlg != nullptr ? 1 : 0); }

void CMainFrame::OnComments() {
  if (commentsDlg != nullptr) {
    BringSideWindowToFront(commentsDlg);
  } else {
    CCommentsDlg::CreateAndShow(this);
  }
}

void CMainFrame::OnUpdateComments(CCmdUI* ui) { ui->SetCheck(commentsDlg != nullptr ? 1 : 0); }

bool RunWindowCommand(CMainFrame* frame, int id) {
  return DispatchCommand(frame, kWindowCommands, id);
}

bool UpdateWindowCommand(CMainFrame* frame, CCmdUI& ui) {
  return DispatchUpdateIfListed(frame, kWindowCommands, ui);
}
