// The modal game header editor run before a game is saved: the ten header
// texts, the result and the game comment, written back only on OK.
#pragma once

#include <QString>

#include "game/header.h"
#include "platform/dialog.h"
#include "windows/comment_text.h"
#include "windows/header_fields.h"

class CGameInfoDlg : public CDialog {
  Q_OBJECT

 public:
  // Edits `header` (the caller passes currentGameHeader) and comment slot 0.
  explicit CGameInfoDlg(GameHeader& header, QWidget* parent = nullptr);

  // Fills the controls from the header; an empty date shows today's date.
  bool OnInitDialog() override;
  // Stores every edit the user changed (a text left alone keeps its bytes),
  // the result and the comment, then ends with IDOK. A text no code page of
  // the files can keep is refused with a message naming its field (or the
  // comment), and the dialog stays open on it. A line break typed or pasted
  // into a header edit became a blank as it came in.
  void OnOK() override;

  GameHeader* header;

 private:
  // Keeps the comment edit within its limit, or within the length of a
  // longer comment it was opened with, so that opening never cuts a stored
  // comment.
  void LimitComment();

  // What OnInitDialog showed of each header text (an empty date before
  // today's date was offered).
  QString shownTexts_[kHeaderEditCount];
  int commentLimit_ = kGameCommentEditLimit;
  ShownComment shownComment_;
};
