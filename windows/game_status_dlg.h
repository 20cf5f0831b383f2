// The game information window: a modeless tool window that shows the header
// of the game on the board and the game comment, and writes every change the
// user makes into them at once. While it is open the program-wide pointer
// gameStatusDlg (side_windows.h) points at it; it clears the pointer itself
// when it closes.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "game/header.h"
#include "platform/dialog.h"
#include "windows/comment_text.h"
#include "windows/header_fields.h"

class QResizeEvent;

class CGameStatusDlg : public CDialog {
  Q_OBJECT

 public:
  explicit CGameStatusDlg(QWidget* parent = nullptr);
  ~CGameStatusDlg() override;

  // Opens the window unless it is open already: restores the placement
  // stored under "Game status" or else puts it at (390, 0) keeping its
  // size, sets the texts, fills the controls and shows it. The window
  // deletes itself when it closes.
  static void CreateAndShow(QWidget* parent);

  // The smallest size the user can give the window is its initial size;
  // fills the result list.
  bool OnInitDialog() override;
  // Caption "Game information > <last game file>" (the text alone while
  // there is no file name) and the labels, in the current language.
  void SetTexts();
  // Shows currentGameHeader and the game comment; the controls' change
  // notifications do not write back meanwhile.
  void Refresh();
  // Closing by the main frame: clears gameStatusDlg, saves the placement
  // and closes (which deletes the window).
  void DestroyWindow();
  void SavePlacement();

  // Run after a change in the window was written into currentGameHeader or
  // the game comment, so that what shows them (the names on the board) can
  // follow. Set by the main frame; null = nothing to do.
  static inline void (*onGameInfoEdited)() = nullptr;

  int commentArea = 1;  // the comment edit is shown and follows the size
  bool refreshing = false;
  int32_t minTrackWidth = 150;
  int32_t minTrackHeight = 100;

 protected:
  void OnClose() override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  // A header edit or the result list changed: every field, the comment and
  // the result are written back (a line break typed or pasted into a header
  // edit became a blank as it came in). A typed text no code page of the files
  // can keep is refused with a message naming its field; its edit goes
  // back to what the header holds.
  void OnFieldChange();
  // The comment edit changed: comment slot 0 is written back.
  void OnCommentChange();
  // Writes the game comment back as typed; a text no code page of the
  // files holds is refused with a message and the edit shows the stored
  // comment again.
  void StoreComment();
  // Saves the placement and clears gameStatusDlg, once.
  void Detach();

  // What the last Refresh showed and the bytes it came from: a text the
  // user has not touched is written back as those bytes, so that a text
  // the current code page cannot show whole is never rewritten lossily.
  GameHeader shownHeader_{};
  QString shownTexts_[kHeaderEditCount];
  ShownComment shownComment_;
  int commentLimit_ = kGameCommentEditLimit;
};
