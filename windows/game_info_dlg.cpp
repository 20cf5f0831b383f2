#include "windows/game_info_dlg.h"

#include <QDate>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <algorithm>

#include "game/comments.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "windows/comment_text.h"

CGameInfoDlg::CGameInfoDlg(GameHeader& edited, QWidget* parent)
    : CDialog(kDialogGameInfo, parent), header(&edited) {
  for (const HeaderEdit& edit : kHeaderEdits) {
    KeepTypedTextOnOneLine(qobject_cast<QLineEdit*>(GetDlgItem(edit.control)));
  }
  if (auto* comment = qobject_cast<QPlainTextEdit*>(GetDlgItem(kCtlHeaderComment))) {
    connect(comment, &QPlainTextEdit::textChanged, this, [this] { LimitComment(); });
  }
}

bool CGameInfoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  for (int i = 0; i < kHeaderEditCount; ++i) {
    SetDlgItemText(kHeaderEdits[i].control, HeaderFieldString(*header, kHeaderEdits[i].field));
    shownTexts_[i] = GetDlgItemText(kHeaderEdits[i].control);
  }
  // Today's date is offered for an empty one: OK stores it.
  if (header->date[0] == '\0') {
    const QDate today = QDate::currentDate();
    SetDlgItemText(
        kCtlHeaderDate,
        QStringLiteral("%1-%2-%3").arg(today.day()).arg(today.month()).arg(today.year()));
  }
  commentLimit_ = std::max<int>(kGameCommentEditLimit, static_cast<int>(CommentString(0).size()));
  shownComment_.Show(*this, kCtlHeaderComment, 0);
  ShowResult(*this, header->result);
  SetHeaderLabels(*this);
  return true;
}

void CGameInfoDlg::OnOK() {
  // Nothing is written unless every text can be kept.
  // An untouched text keeps its bytes: the edit may show it otherwise (a
  // line break as the widget's LF, a byte its code page lacks).
  GameHeader edited = *header;
  for (int i = 0; i < kHeaderEditCount; ++i) {
    const HeaderEdit& edit = kHeaderEdits[i];
    const QString text = GetDlgItemText(edit.control);
    if (text == shownTexts_[i]) continue;
    const TextStore stored = StoreHeaderField(edited, edit.field, text);
    if (stored != TextStore::kStored) {
      ShowMessageBox(this, HeaderNotStoredMessage(edit, stored));
      if (QWidget* item = GetDlgItem(edit.control)) item->setFocus();
      return;
    }
  }
  QByteArray comment;
  uint8_t commentPage = kHeaderTextsUnknown;
  const TextStore stored =
      shownComment_.Encode(GetDlgItemText(kCtlHeaderComment), &comment, &commentPage);
  if (stored != TextStore::kStored) {
    ShowMessageBox(this, CommentNotStoredMessage(stored));
    if (QWidget* item = GetDlgItem(kCtlHeaderComment)) item->setFocus();
    return;
  }
  *header = edited;
  SetComment(0, comment.constData(), commentPage);
  header->result = static_cast<int8_t>(SelectedResult(*this));
  CDialog::OnOK();
}

void CGameInfoDlg::LimitComment() {
  LimitPlainText(qobject_cast<QPlainTextEdit*>(GetDlgItem(kCtlHeaderComment)), commentLimit_);
}
