// The mini clock: a small modeless window that shows both sides' clocks and
// their time on the current move as text, and the moves left in the current
// period. While it is open the program-wide pointer miniClockDlg
// (side_windows.h) points at it; it clears the pointer itself when it
// closes.
#pragma once

#include "platform/command_target.h"
#include "platform/dialog.h"

class QMouseEvent;

class CMiniClockDlg : public CDialog, public CCmdTarget {
  Q_OBJECT

 public:
  explicit CMiniClockDlg(QWidget* parent = nullptr);
  ~CMiniClockDlg() override;

  // Opens the window unless it is open already: restores the placement
  // stored under "MiniClockWindow" or else puts it at (390, 0), and shows
  // it. The texts appear at the next Refresh. The window deletes itself
  // when it closes.
  static void CreateAndShow(QWidget* parent);

  // Caption := the "Mini clock" text of the current language.
  bool OnInitDialog() override;
  void SetTitle();
  // Shows the clocks with red on top when `flipped` (the frame's rotation
  // flag) is non-zero, black on top when it is 0: each side's name, clock
  // and time on the current move, then the moves left in the period.
  void Refresh(int flipped);
  void SavePlacement();

  // The clock pop-up menu, shared with the digital clock: "Pause" toggles
  // the game clock's pause, "Set time" runs the clock setting dialog and
  // then redraws both clock windows whatever its result.
  void OnRButtonDown(int x, int y);
  void OnClockPause();
  void OnSetTime();
  void OnUpdateClockPause(CCmdUI* ui);
  bool OnCmdMsg(int id) override;
  void OnUpdateCmdUI(CCmdUI& ui) override;

 protected:
  void OnClose() override;
  void mousePressEvent(QMouseEvent* event) override;
};
