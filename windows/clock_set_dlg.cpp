#include "windows/clock_set_dlg.h"

#include <QLineEdit>
#include <cstdint>

#include "game/game_clock.h"
#include "platform/data_exchange.h"
#include "platform/number_text.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

constexpr int kTimeEdits[2] = {kCtlClockSetRedTime, kCtlClockSetBlackTime};

// The longest time the clock holds, as "h:mm:ss".
QString LongestClockText() {
  constexpr int32_t kSeconds = kMaxClockMs / 1000;
  return QStringLiteral("%1:%2:%3")
      .arg(kSeconds / 3600)
      .arg(kSeconds / 60 % 60, 2, 10, QChar(u'0'))
      .arg(kSeconds % 60, 2, 10, QChar(u'0'));
}

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
  // Both texts are checked before either side's time changes; a refusal
  // says why, as the property pages do, and keeps the dialog open on it.
  for (int side = 0; side < 2; ++side) {
    const QByteArray text = GetDlgItemText(kTimeEdits[side]).left(kClockSetTextLimit).toLatin1();
    const ClockTextCheck check =
        CheckClockSetText(text.constData(), &hms[side][0], &hms[side][1], &hms[side][2]);
    if (check == ClockTextCheck::kRead) continue;
    CDataExchange dx(this, true);
    if (check == ClockTextCheck::kTooLong) {
      dx.Fail(kTimeEdits[side], TrText(kTextEnterClockTimeAtMost).arg(LongestClockText()));
    } else {
      dx.Fail(kTimeEdits[side], kTextEnterClockTime);
    }
    return;
  }
  for (int side = 0; side < 2; ++side) {
    gameClock.SetSideTimeHms(side, hms[side][0], hms[side][1], hms[side][2]);
  }
  gameClock.Tick();
  CDialog::OnOK();
}
