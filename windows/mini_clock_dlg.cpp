#include "windows/mini_clock_dlg.h"

#include <QIcon>
#include <QMenu>
#include <QMouseEvent>

#include "game/game_clock.h"
#include "platform/menu.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "windows/clock_menu.h"
#include "windows/clock_set_dlg.h"
#include "windows/digital_clock_wnd.h"
#include "windows/side_windows.h"

namespace {

constexpr const char* kPlacementName = "MiniClockWindow";
constexpr int kDefaultX = 390;
constexpr int kDefaultY = 0;

struct ClockLine {
  int name, clock, move;
};
constexpr ClockLine kTopLine = {kCtlMiniTopName, kCtlMiniTopClock, kCtlMiniTopMove};
constexpr ClockLine kBottomLine = {kCtlMiniBottomName, kCtlMiniBottomClock, kCtlMiniBottomMove};

const CommandMapEntry<CMiniClockDlg> kClockCommands[] = {
    {kClockMenuSetTime, &CMiniClockDlg::OnSetTime, nullptr},
    {kClockMenuPause, &CMiniClockDlg::OnClockPause, &CMiniClockDlg::OnUpdateClockPause},
};

}  // namespace

CMiniClockDlg::CMiniClockDlg(QWidget* parent) : CDialog(kDialogMiniClock, parent) {}

CMiniClockDlg::~CMiniClockDlg() {
  // Also when the owner window destroys it without a close.
  if (miniClockDlg == this) {
    miniClockDlg = nullptr;
    SavePlacement();
  }
}

void CMiniClockDlg::CreateAndShow(QWidget* parent) {
  if (miniClockDlg != nullptr) return;
  auto* dialog = new CMiniClockDlg(parent);
  dialog->setAttribute(Qt::WA_DeleteOnClose);
  dialog->Create(parent);
  dialog->setWindowIcon(QIcon(QStringLiteral(":/icons/31235")));
  miniClockDlg = dialog;
  ShowSideWindow(dialog, kPlacementName, QPoint(kDefaultX, kDefaultY));
}

bool CMiniClockDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetTitle();
  return true;
}

void CMiniClockDlg::SetTitle() { SetWindowText(TrText(kTextMiniClockCaption)); }

void CMiniClockDlg::Refresh(int flipped) {
  // Side 0 is red, side 1 black.
  const int topSide = flipped != 0 ? 0 : 1;
  for (const int side : {topSide, 1 - topSide}) {
    const ClockLine& line = side == topSide ? kTopLine : kBottomLine;
    char text[kClockTextSize];
    SetDlgItemText(line.name, TrText(side == 0 ? kTextRed : kTextBlack));
    gameClock.FormatSideTime(side, text);
    SetDlgItemText(line.clock, QString::fromLatin1(text));
    gameClock.FormatMoveTime(side, text, 0);
    SetDlgItemText(line.move, QString::fromLatin1(text));
  }
  SetDlgItemText(kCtlMiniMovesLeft, QStringLiteral("Moves = %1").arg(gameClock.GetMovesLeft()));
}

void CMiniClockDlg::SavePlacement() { SaveWindowPlacement(this, kPlacementName); }

void CMiniClockDlg::OnClose() {
  if (miniClockDlg == this) miniClockDlg = nullptr;
  SavePlacement();
}

void CMiniClockDlg::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::RightButton) return CDialog::mousePressEvent(event);
  const QPoint p = event->position().toPoint();
  OnRButtonDown(p.x(), p.y());
}

// The pop-up menu, centred horizontally on the click.
void CMiniClockDlg::OnRButtonDown(int x, int y) { ShowClockPopupMenu(this, this, x, y); }

bool CMiniClockDlg::OnCmdMsg(int id) { return DispatchCommand(this, kClockCommands, id); }

void CMiniClockDlg::OnUpdateCmdUI(CCmdUI& ui) { DispatchUpdate(this, kClockCommands, ui); }

// The mark is read from the game clock each time, so both clock windows
// agree.
void CMiniClockDlg::OnUpdateClockPause(CCmdUI* ui) { ui->SetCheck(gameClock.paused != 0 ? 1 : 0); }

void CMiniClockDlg::OnClockPause() { ToggleClockPause(); }

void CMiniClockDlg::OnSetTime() {
  RunClockSetDialog(this, 0, [this](int flipped) { Refresh(flipped); });
}
