// The timing sheet: one page that edits the time control (seconds per move,
// a fixed depth, a game time, or three tournament periods). The caller
// fills the page's members, runs the sheet, and after OK applies the
// members; Apply hands them to applyTiming while the sheet stays open.
#pragma once

#include <cstdint>
#include <functional>

#include "game/game_clock.h"
#include "platform/property_sheet.h"

// The time-control modes of the page, as the level modes number them.
enum TimingMode : int32_t {
  kTimingSecondsPerMove = 1,
  kTimingFixedDepth = 2,
  kTimingGameTime = 3,
  kTimingPeriods = 4,
};

class CTimingPage : public CPropertyPage {
  Q_OBJECT

 public:
  CTimingPage();

  // The edits and the check box, exchanged with the members below. Reading
  // back refuses a field that is not a whole number, and a field of the
  // chosen mode outside what the clock or the level holds (a game time of
  // 0..kMaxGameMinutes minutes and 0..59 seconds, 1 second or more per
  // move, a search level, periods of at least one move).
  void DoDataExchange(CDataExchange* dx) override;
  // Fills the controls, sets the labels of the current language and
  // enables the controls of the current mode.
  bool OnInitDialog() override;
  // The mode radios choose the mode.
  void OnCommand(int id) override;
  // Enables only the controls of the current mode and checks its radio;
  // a mode outside 1..4 disables them all and checks no radio.
  void UpdateControls();

  int32_t gameMinutes = 5;     // game time (mode 3)
  int32_t gameSeconds = 0;
  int32_t secondsPerMove = 5;  // mode 1
  int32_t level = 5;           // search depth (mode 2)
  int32_t exactTime = 0;       // mode 1: spend the time per move exactly
  int32_t mode = kTimingSecondsPerMove;
  // Mode 4: moves and seconds of each period; the entered flags are not
  // shown and come back as they were given.
  TimePeriod period1 = {};
  TimePeriod period2 = {};
  TimePeriod period3 = {};
};

class CTimingSheet : public CPropertySheet {
  Q_OBJECT

 public:
  explicit CTimingSheet(QWidget* parent = nullptr);
  ~CTimingSheet() override;

  // Apply: reads the page back (a refused field keeps the sheet as it is),
  // calls applyTiming and clears the page's changed mark, which disables
  // Apply again.
  void OnApplyNow() override;

  CTimingPage page;
  // Applies the page's members at once; the window that runs the sheet
  // sets it.
  std::function<void(CTimingSheet&)> applyTiming;
};
