#include "windows/game_info_dlg.h"

#include <QComboBox>
#include <QDate>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <algorithm>
#include <cstring>

#include "game/comments.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"

namespace {

using HeaderText = char (GameHeader::*)[kHeaderTextSize];

struct HeaderEdit {
  int control;
  HeaderText field;
};

constexpr HeaderEdit kHeaderEdits[] = {
    {kCtlHeaderEvent, &GameHeader::event},
    {kCtlHeaderSite, &GameHeader::site},
    {kCtlHeaderDate, &GameHeader::date},
    {kCtlHeaderRound, &GameHeader::round},
    {kCtlHeaderRedName, &GameHeader::redName},
    {kCtlHeaderRedElo, &GameHeader::redElo},
    {kCtlHeaderBlackName, &GameHeader::blackName},
    {kCtlHeaderBlackElo, &GameHeader::blackElo},
    {kCtlHeaderAuthor, &GameHeader::author},
    {kCtlHeaderTimeControl, &GameHeader::timeControl},
};

struct Label {
  int control;
  const TextRow* row;
};

constexpr Label kLabels[] = {
    {kCtlLabelEvent, &kTextEvent},   {kCtlLabelSite, &kTextSite},
    {kCtlLabelDate, &kTextDate},     {kCtlLabelRound, &kTextRound},
    {kCtlLabelRed, &kTextRed},       {kCtlLabelRedElo, &kTextRedElo},
    {kCtlLabelBlack, &kTextBlack},   {kCtlLabelBlackElo, &kTextBlackElo},
    {kCtlLabelAuthor, &kTextAuthor}, {kCtlLabelTimeControl, &kTextTimeControl},
    {kCtlLabelResult, &kTextResult},
};

constexpr int kResultCodes = 4;

QString HeaderString(const char (&field)[kHeaderTextSize]) {
  // A field filled to the last byte without a NUL shows its own bytes only.
  return DecodeText(field, strnlen(field, kHeaderTextSize), CodePageForLanguage(currentLanguage));
}

}  // namespace

CGameInfoDlg::CGameInfoDlg(GameHeader& edited, QWidget* parent)
    : CDialog(kDialogGameInfo, parent), header(&edited) {
  if (auto* comment = qobject_cast<QPlainTextEdit*>(GetDlgItem(kCtlHeaderComment))) {
    connect(comment, &QPlainTextEdit::textChanged, this, [this] { LimitComment(); });
  }
}

bool CGameInfoDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  for (const HeaderEdit& edit : kHeaderEdits) {
    SetDlgItemText(edit.control, HeaderString(header->*edit.field));
  }
  if (header->date[0] == '\0') {
    const QDate today = QDate::currentDate();
    SetDlgItemText(
        kCtlHeaderDate,
        QStringLiteral("%1-%2-%3").arg(today.day()).arg(today.month()).arg(today.year()));
  }
  const char* comment = moveComments[0].text;
  const QString commentText = DecodeLanguageText(comment, currentLanguage);
  commentLimit_ = std::max<int>(kGameCommentEditLimit, static_cast<int>(commentText.size()));
  SetDlgItemText(kCtlHeaderComment, commentText);
  if (auto* result = qobject_cast<QComboBox*>(GetDlgItem(kCtlHeaderResult))) {
    result->clear();
    for (int code = 0; code < kResultCodes; ++code) {
      result->addItem(DecodeText(GameResultText(code), CodePage::kWindows1252));
    }
    const int code = header->result;
    result->setCurrentIndex(code >= 0 && code < kResultCodes ? code : 0);
  }
  for (const Label& label : kLabels) SetDlgItemText(label.control, TrText(*label.row));
  return true;
}

void CGameInfoDlg::OnOK() {
  for (const HeaderEdit& edit : kHeaderEdits) {
    const QByteArray text = EncodeLanguageText(GetDlgItemText(edit.control), currentLanguage);
    // Cut to the field's 127 bytes, never inside a double-byte character.
    SetHeaderText(header->*edit.field, text.constData());
  }
  SetComment(0, EncodeLanguageText(GetDlgItemText(kCtlHeaderComment), currentLanguage).constData());
  if (auto* result = qobject_cast<QComboBox*>(GetDlgItem(kCtlHeaderResult))) {
    header->result = static_cast<int8_t>(std::max(result->currentIndex(), 0));
  }
  CDialog::OnOK();
}

void CGameInfoDlg::LimitComment() {
  auto* edit = qobject_cast<QPlainTextEdit*>(GetDlgItem(kCtlHeaderComment));
  if (edit == nullptr) return;
  const QString text = edit->toPlainText();
  if (text.size() <= commentLimit_) return;
  const QSignalBlocker blocker(edit);
  edit->setPlainText(text.left(commentLimit_));
  edit->moveCursor(QTextCursor::End);
}
