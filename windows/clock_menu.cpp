#include "windows/clock_menu.h"

#include <QMenu>
#include <QWidget>

#include "game/game_clock.h"
#include "platform/menu.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "windows/clock_set_dlg.h"
#include "windows/digital_clock_wnd.h"
#include "windows/mini_clock_dlg.h"
#include "windows/side_windows.h"

void ShowClockPopupMenu(QWidget* window, CCmdTarget* target, int x, int y) {
  const MenuNodeList list = ClockPopupMenu();
  QMenu* menu =
      BuildPopupMenu(list.nodes, list.nodeCount, kLanguageEnglish, target, window, window);
  // The menu goes once it has closed and its command was posted.
  QObject::connect(menu, &QMenu::aboutToHide, menu, &QObject::deleteLater);
  UpdateMenuItems(menu, target);
  const QPoint at = window->mapToGlobal(QPoint(x, y));
  menu->popup(at - QPoint(menu->sizeHint().width() / 2, 0));
  if (!menu->isVisible()) menu->deleteLater();
}

void ToggleClockPause() {
  if (gameClock.paused != 0) {
    gameClock.Resume();
  } else {
    gameClock.Pause();
  }
}

void RunClockSetDialog(QWidget* parent, int fallbackFlipped,
                       const std::function<void(int flipped)>& refreshParent) {
  CClockSetDlg dialog(parent);
  dialog.DoModal();
  const int flipped =
      clockFrameLinks.boardFlipped != nullptr ? clockFrameLinks.boardFlipped() : fallbackFlipped;
  refreshParent(flipped);
  if (digitalClockWnd != nullptr && digitalClockWnd != parent) {
    digitalClockWnd->Refresh(1, flipped);
  }
  if (miniClockDlg != nullptr && miniClockDlg != parent) miniClockDlg->Refresh(flipped);
}
