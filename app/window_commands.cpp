// The view and window commands of the frame: the side windows of the
// "&Windows" menu. Each opens its window, or brings an open one to the
// front; the check mark shows whether it is open.
#include <QWidget>

#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "res/menus.h"
#include "windows/move_list_wnd.h"
#include "windows/side_windows.h"

namespace {

// Shows an open side window in its normal state, in front.
void BringToFront(QWidget* window) {
  window->showNormal();
  window->raise();
  window->activateWindow();
}

const CommandMapEntry<CMainFrame> kWindowCommands[] = {
    {kCmdGameList, &CMainFrame::OnGameList, &CMainFrame::OnUpdateGameList},
};

}  // namespace

void CMainFrame::OnGameList() {
  if (moveListWnd != nullptr) {
    BringToFront(moveListWnd);
  } else {
    CMoveListWnd::CreateList(this);
  }
}

void CMainFrame::OnUpdateGameList(CCmdUI* ui) { ui->SetCheck(moveListWnd != nullptr ? 1 : 0); }

bool RunWindowCommand(CMainFrame* frame, int id) {
  return DispatchCommand(frame, kWindowCommands, id);
}

bool UpdateWindowCommand(CMainFrame* frame, CCmdUI& ui) {
  return DispatchUpdateIfListed(frame, kWindowCommands, ui);
}
