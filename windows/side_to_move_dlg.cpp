#include "windows/side_to_move_dlg.h"

#include "platform/text_codec.h"
#include "res/text_rows.h"

CSideToMoveDlg::CSideToMoveDlg(QWidget* parent) : CDialog(kDialogSideToMove, parent) {}

bool CSideToMoveDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  if (QWidget* owner = parentWidget()) {
    QRect frame = geometry();
    frame.moveCenter(owner->frameGeometry().center());
    move(frame.topLeft());
  }
  CheckDlgButton(kCtlSideRed, 1);
  CheckDlgButton(kCtlSideBlack, 0);
  redToMove = 1;
  SetDlgItemText(kCtlSideToMoveLabel, TrText(kTextColorToMove));
  SetDlgItemText(kCtlSideRed, TrText(kTextRed));
  SetDlgItemText(kCtlSideBlack, TrText(kTextBlack));
  return true;
}

void CSideToMoveDlg::OnCommand(int id) {
  if (id == kCtlSideRed) {
    redToMove = 1;
  } else if (id == kCtlSideBlack) {
    redToMove = 0;
  } else {
    CDialog::OnCommand(id);
  }
}
