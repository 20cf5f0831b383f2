#include "windows/header_fields.h"

#include <QComboBox>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <algorithm>
#include <cstring>

#include "platform/dialog.h"
#include "platform/text_codec.h"

namespace {

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

}  // namespace

QString HeaderFieldString(const GameHeader& header, HeaderText field) {
  const char* text = header.*field;
  return DecodeText(text, strnlen(text, kHeaderTextSize), HeaderCodePage(header));
}

bool StoreHeaderField(GameHeader& header, HeaderText field, const QString& text) {
  if (text == HeaderFieldString(header, field)) return false;
  const QByteArray bytes = EncodeText(text, HeaderCodePage(header));
  // SetHeaderText never splits a double-byte character.
  SetHeaderText(header.*field, bytes.constData());
  return bytes.size() >= kHeaderTextSize;
}

void SetHeaderLabels(CDialog& dialog) {
  for (const Label& label : kLabels) dialog.SetDlgItemText(label.control, TrText(*label.row));
}

void ShowResult(CDialog& dialog, int result) {
  auto* list = qobject_cast<QComboBox*>(dialog.GetDlgItem(kCtlHeaderResult));
  if (list == nullptr) return;
  if (list->count() != kResultCodes) {
    list->clear();
    for (int code = 0; code < kResultCodes; ++code) {
      list->addItem(DecodeText(GameResultText(code), CodePage::kWindows1252));
    }
  }
  list->setCurrentIndex(result >= 0 && result < kResultCodes ? result : 0);
}

int SelectedResult(const CDialog& dialog) {
  auto* list = qobject_cast<QComboBox*>(dialog.GetDlgItem(kCtlHeaderResult));
  return list == nullptr ? 0 : std::max(list->currentIndex(), 0);
}

void LimitPlainText(QPlainTextEdit* edit, int limit) {
  if (edit == nullptr) return;
  const QString text = edit->toPlainText();
  if (text.size() <= limit) return;
  const QSignalBlocker blocker(edit);
  edit->setPlainText(text.left(limit));
  edit->moveCursor(QTextCursor::End);
}
