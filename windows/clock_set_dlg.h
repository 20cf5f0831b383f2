// The clock setting dialog: corrects both sides' clock times, entered as
// "hours:minutes:seconds". Both clock windows open it from "Set time".
#pragma once

#include <cstdint>

#include "platform/dialog.h"

// Longest clock text the dialog reads ("hhh:mm:ss").
inline constexpr int kClockSetTextLimit = 9;

class CClockSetDlg : public CDialog {
  Q_OBJECT

 public:
  explicit CClockSetDlg(QWidget* parent = nullptr);

  // Caption and labels in the current language; each edit shows its side's
  // clock as the clock windows show it.
  bool OnInitDialog() override;
  // Sets both sides' times from the edits and ticks the game clock once.
  // A text that ReadClockSetText refuses (not "h:m:s" with exactly two
  // colons, a part that is not a whole number, a time beyond the clock's
  // range) is refused with a message that says why: nothing changes and
  // the dialog stays open on that edit.
  void OnOK() override;
};
