// The comments window: a modeless tool window that shows the move that led
// to the position on the board, with its annotation mark, and edits that
// move's comment (the game comment at the start position). Typing stores
// the comment at once; the right button opens a menu of the marks and
// "Reset comments". While it is open the program-wide pointer commentsDlg
// (side_windows.h) points at it; it clears the pointer itself when it
// closes.
#pragma once

#include <cstdint>

#include "platform/command_target.h"
#include "platform/dialog.h"
#include "windows/comment_text.h"

class QMouseEvent;
class QResizeEvent;

class CCommentsDlg : public CDialog, public CCmdTarget {
  Q_OBJECT

 public:
  explicit CCommentsDlg(QWidget* parent = nullptr);
  ~CCommentsDlg() override;

  // Opens the window unless it is open already: restores the placement
  // stored under "Comment" or else puts it at (390, 0) keeping its size,
  // sets the caption, fills it and shows it. The window deletes itself
  // when it closes.
  static void CreateAndShow(QWidget* parent);

  // The smallest size the user can give the window: its initial size.
  bool OnInitDialog() override;
  // Caption := the "Comments" text of the current language.
  void SetTitle();
  // Shows the comment, the move line and the mark of the ply on the board.
  void Refresh();
  void SavePlacement();
  // Clears commentsDlg, saves the placement and deletes the window (the
  // main frame's close).
  void DestroyWindow();

  // The ply whose comment the edit holds: the shown ply of the last refresh.
  int EditedPly() const { return editedPly_; }

  // The pop-up menu's commands: the marks 0..5 (ids 100..105, only past the
  // start position) and "Reset comments" (106).
  bool OnCmdMsg(int id) override;
  void OnUpdateCmdUI(CCmdUI& ui) override;

  int32_t minTrackWidth = 150;
  int32_t minTrackHeight = 100;

 protected:
  void OnClose() override;
  void mousePressEvent(QMouseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // The edit's text becomes the comment of the edited ply, kept as typed;
  // a text no code page of the files holds is refused with a message and
  // the edit shows the stored comment again.
  void OnCommentChanged();
  // Fills the edit with the edited ply's comment, storing nothing.
  void ShowComment();
  // Pops up the menu of marks centred on `globalPos`.
  void ShowPopupMenu(const QPoint& globalPos);

  int editedPly_ = 0;
  ShownComment shown_;
  bool refreshing_ = false;
};
