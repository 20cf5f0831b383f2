#include "windows/timing_sheet.h"

#include <QLineEdit>

#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

// The radio of each mode 1..4 and the controls it enables.
struct ModeControls {
  int32_t mode;
  int radio;
  int controls[6];  // 0 ends a shorter list
};
constexpr ModeControls kModes[] = {
    {kTimingSecondsPerMove, kCtlTimingModePerMove, {kCtlTimingSecondsPerMove, kCtlTimingExact}},
    {kTimingFixedDepth, kCtlTimingModeDepth, {kCtlTimingDepth}},
    {kTimingGameTime, kCtlTimingModeGame, {kCtlTimingGameMinutes, kCtlTimingGameSeconds}},
    {kTimingPeriods,
     kCtlTimingModePeriods,
     {kCtlTimingPeriod1Moves, kCtlTimingPeriod1Seconds, kCtlTimingPeriod2Moves,
      kCtlTimingPeriod2Seconds, kCtlTimingPeriod3Moves, kCtlTimingPeriod3Seconds}},
};

// Editing one of these marks the page changed; the others leave Apply as
// it is.
constexpr int kChangeMarkingEdits[] = {kCtlTimingGameMinutes, kCtlTimingGameSeconds,
                                       kCtlTimingDepth};

}  // namespace

CTimingPage::CTimingPage() : CPropertyPage(kDialogTiming) {
  for (int id : kChangeMarkingEdits) {
    if (auto* edit = qobject_cast<QLineEdit*>(GetDlgItem(id))) {
      // Only the user's edits count, not the page filling its fields.
      connect(edit, &QLineEdit::textEdited, this, [this] { SetModified(true); });
    }
  }
}

void CTimingPage::DoDataExchange(CDataExchange* dx) {
  DDX_Text(dx, kCtlTimingGameMinutes, gameMinutes);
  DDX_Text(dx, kCtlTimingGameSeconds, gameSeconds);
  DDX_Text(dx, kCtlTimingSecondsPerMove, secondsPerMove);
  DDX_Text(dx, kCtlTimingDepth, level);
  DDX_Text(dx, kCtlTimingPeriod1Moves, period1.moves);
  DDX_Text(dx, kCtlTimingPeriod2Moves, period2.moves);
  DDX_Text(dx, kCtlTimingPeriod3Moves, period3.moves);
  DDX_Text(dx, kCtlTimingPeriod1Seconds, period1.seconds);
  DDX_Text(dx, kCtlTimingPeriod2Seconds, period2.seconds);
  DDX_Text(dx, kCtlTimingPeriod3Seconds, period3.seconds);
  DDX_Check(dx, kCtlTimingExact, exactTime);
}

bool CTimingPage::OnInitDialog() {
  CPropertyPage::OnInitDialog();
  SetDlgItemText(kCtlTimingSecondsPerGameLabel, TrText(kTextSecondsPerGame));
  SetDlgItemText(kCtlTimingSecondsPerMoveLabel, TrText(kTextSecondsPerMove));
  SetDlgItemText(kCtlTimingMinutesLabel, TrText(kTextMinutes));
  SetDlgItemText(kCtlTimingDepthLabel, TrText(kTextFixedDepth));
  for (int id : {kCtlTimingPeriod1MovesLabel, kCtlTimingPeriod2MovesLabel,
                 kCtlTimingPeriod3MovesLabel}) {
    SetDlgItemText(id, TrText(kTextMoves));
  }
  for (int id : {kCtlTimingPeriod1SecondsLabel, kCtlTimingPeriod2SecondsLabel,
                 kCtlTimingPeriod3SecondsLabel}) {
    SetDlgItemText(id, TrText(kTextSeconds));
  }
  SetDlgItemText(kCtlTimingExact, TrText(kTextExact));
  UpdateControls();
  return true;
}

void CTimingPage::OnCommand(int id) {
  for (const ModeControls& m : kModes) {
    if (m.radio == id) {
      mode = m.mode;
      UpdateControls();
      return;
    }
  }
  CPropertyPage::OnCommand(id);
}

void CTimingPage::UpdateControls() {
  for (const ModeControls& m : kModes) {
    const bool chosen = m.mode == mode;
    CheckDlgButton(m.radio, chosen ? 1 : 0);
    for (int id : m.controls) {
      if (id == 0) break;
      if (QWidget* item = GetDlgItem(id)) item->setEnabled(chosen);
    }
  }
}

CTimingSheet::CTimingSheet(QWidget* parent) : CPropertySheet(QStringLiteral("Properties"), parent) {
  AddPage(&page);
}

CTimingSheet::~CTimingSheet() = default;

void CTimingSheet::OnApplyNow() {
  if (!page.IsCreated() || !page.UpdateData(true)) return;
  if (applyTiming) applyTiming(*this);
  page.SetModified(false);
}
