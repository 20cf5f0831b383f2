#include "windows/timing_sheet.h"

#include <QLineEdit>

#include "engine/search/time_control.h"
#include "game/game_clock.h"
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
  // Each edit with its member, the mode that uses it and the values the
  // clock and the level hold. The fields of the chosen mode must lie in
  // their range; the others only need to be whole numbers, as the mode's
  // apply never reads them.
  const struct {
    int id;
    int32_t* member;
    int32_t mode;
    int32_t minValue, maxValue;
  } fields[] = {
      {kCtlTimingGameMinutes, &gameMinutes, kTimingGameTime, 0, kMaxGameMinutes},
      {kCtlTimingGameSeconds, &gameSeconds, kTimingGameTime, 0, 59},
      {kCtlTimingSecondsPerMove, &secondsPerMove, kTimingSecondsPerMove, 1,
       kMaxThinkingTimeMs / 1000},
      {kCtlTimingDepth, &level, kTimingFixedDepth, kLowestSearchLevel, kHighestSearchLevel},
      {kCtlTimingPeriod1Moves, &period1.moves, kTimingPeriods, 1, kMaxPeriodMoves},
      {kCtlTimingPeriod2Moves, &period2.moves, kTimingPeriods, 1, kMaxPeriodMoves},
      {kCtlTimingPeriod3Moves, &period3.moves, kTimingPeriods, 1, kMaxPeriodMoves},
      {kCtlTimingPeriod1Seconds, &period1.seconds, kTimingPeriods, 0, kMaxPeriodSeconds},
      {kCtlTimingPeriod2Seconds, &period2.seconds, kTimingPeriods, 0, kMaxPeriodSeconds},
      {kCtlTimingPeriod3Seconds, &period3.seconds, kTimingPeriods, 0, kMaxPeriodSeconds},
  };
  for (const auto& f : fields) {
    if (f.mode == mode) {
      DDX_Text(dx, f.id, *f.member, f.minValue, f.maxValue);
    } else {
      DDX_Text(dx, f.id, *f.member);
    }
  }
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
