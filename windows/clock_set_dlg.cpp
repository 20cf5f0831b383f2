#include "windows/clock_set_dlg.h"

#include <QApplication>
#include <QLineEdit>
#include <cstdint>

#include "game/game_clock.h"
#include "platform/number_text.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

constexpr int kTimeEdits[2] = {kCtlClockSetRedTime, kCtlClockSetBlackTime};

}  // namespace

CClockSetDlg::CClockSetDlg(QWidget* parent) : CDialog(kDialogClockSet, parent) {}

bool CClockSetDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  SetWindowText(TrText(kTextClockSetCaption));
  SetDlgItemText(kCtlClockSetRedLabel, TrText(kTextRed));
  SetDlgItemText(kCtlClockSetBlackLabel, TrText(kTextBlack));
  for (int side = 0; side < 2; ++side) {
    char text[kClockTextSize];
    gameClock.FormatSideTime(side, text);
    if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(kTimeEdits[side]))) {
      edit->setMaxLength(kClockSetTextLimit);
    }
    SetDlgItemText(kTimeEdits[side], QString::fromLatin1(text));
  }
  return true;
}

void CClockSetDlg::OnOK() {
  int32_t hms[2][3];
  // Both texts are checked before either side's time changes.
  for (int side = 0; side < 2; ++side) {
    const QByteArray text = GetDlgItemText(kTimeEdits[side]).left(kClockSetTextLimit).toLatin1();
    if (!ReadClockSetText(text.constData(), &hms[side][0], &hms[side][1], &hms[side][2])) {
      QApplication::beep();
      if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(kTimeEdits[side]))) {
        edit->setFocus();
        edit->selectAll();
      }
      return;
    }
  }
  for (int side = 0; side < 2; ++side) {
    gameClock.SetSideTimeHms(side, hms[side][0], hms[side][1], hms[side][2]);
  }
  gameClock.Tick();
  CDialog::OnOK();
}
