#include "windows/header_fields.h"

#include <QByteArray>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QSignalBlocker>
#include <QTextCursor>
#include <algorithm>
#include <array>
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

bool IsAsciiText(const QString& text) {
  for (QChar c : text) {
    if (c.unicode() >= 0x80) return false;
  }
  return true;
}

bool HasCharacterNoPageHolds(const QString& text) {
  QByteArray bytes;
  for (const char32_t c : text.toUcs4()) {
    const QString one = QString::fromUcs4(&c, 1);
    if (!EncodeTextExactly(one, CodePage::kWindows1252, &bytes) &&
        !EncodeTextExactly(one, CodePage::kGbk, &bytes)) {
      return true;
    }
  }
  return false;
}

uint8_t TextPageOf(CodePage page) {
  return page == CodePage::kGbk ? kHeaderTextsGbk : kHeaderTextsLatin;
}

std::array<CodePage, 2> TypedTextPages(uint8_t textPage) {
  const bool chinese = textPage == kHeaderTextsUnknown
                           ? CodePageForLanguage(currentLanguage) != CodePage::kWindows1252
                           : textPage == kHeaderTextsGbk;
  if (chinese) return {CodePage::kGbk, CodePage::kWindows1252};
  return {CodePage::kWindows1252, CodePage::kGbk};
}

namespace {

// Every header text but `skip` in `to` (the bytes as they are when the
// header's page is `to` already); false when one cannot be held there.
bool ConvertOtherTexts(GameHeader& header, HeaderText skip, CodePage to) {
  const CodePage from = HeaderCodePage(header);
  if (from == to) return true;
  GameHeader converted = header;
  for (const HeaderEdit& edit : kHeaderEdits) {
    if (edit.field == skip) continue;
    const char* text = header.*edit.field;
    const size_t length = strnlen(text, kHeaderTextSize);
    const QString shown = DecodeText(text, length, from);
    QByteArray bytes;
    // A byte the old page has no character for cannot be carried over, nor
    // a text that the new page makes longer than its field.
    if (shown.contains(QChar(QChar::ReplacementCharacter)) ||
        !EncodeTextExactly(shown, to, &bytes) || bytes.size() >= kHeaderTextSize) {
      return false;
    }
    SetHeaderText(converted.*edit.field, bytes.constData());
  }
  header = converted;
  return true;
}

}  // namespace

TextStore StoreHeaderField(GameHeader& header, HeaderText field, const QString& text) {
  if (text == HeaderFieldString(header, field)) return TextStore::kStored;
  GameHeader stored = header;
  QByteArray bytes;
  if (IsAsciiText(text)) {
    // The same bytes in every code page the files know.
    bytes = text.toLatin1();
  } else {
    // The header's own page first; a text of unknown page is marked, so
    // that it no longer changes with the interface language.
    bool kept = false;
    for (CodePage page : TypedTextPages(header.textPage)) {
      stored = header;
      if (!EncodeTextExactly(text, page, &bytes) || !ConvertOtherTexts(stored, field, page)) {
        continue;
      }
      stored.textPage = TextPageOf(page);
      kept = true;
      break;
    }
    if (!kept) {
      // Only the other texts stand in its way when a page holds it alone.
      for (CodePage page : TypedTextPages(header.textPage)) {
        if (EncodeTextExactly(text, page, &bytes)) return TextStore::kNotStorable;
      }
      return TextStore::kNoCodePage;
    }
  }
  // The field keeps 127 bytes: a longer text would be cut.
  if (bytes.size() >= kHeaderTextSize) return TextStore::kTooLong;
  SetHeaderText(stored.*field, bytes.constData());
  header = stored;
  return TextStore::kStored;
}

QString HeaderNotStoredMessage(const HeaderEdit& edit, TextStore why) {
  const TextRow& row = why == TextStore::kTooLong      ? kTextHeaderTextTooLong
                       : why == TextStore::kNoCodePage ? kTextHeaderTextNoCodePage
                                                       : kTextHeaderTextNotStored;
  return TrText(row).arg(TrText(*edit.label));
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

QString OneLineText(const QString& text) {
  QString line;
  line.reserve(text.size());
  for (qsizetype i = 0; i < text.size(); ++i) {
    const QChar c = text[i];
    // CR LF is one break: its LF gives the blank.
    if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') continue;
    const bool lineBreak =
        c == u'\r' || c == u'\n' || c == QChar::LineSeparator || c == QChar::ParagraphSeparator;
    line += lineBreak ? QChar(u' ') : c;
  }
  return line;
}

void KeepTypedTextOnOneLine(QLineEdit* edit) {
  if (edit == nullptr) return;
  // textEdited comes only from the user's typing and pasting.
  QObject::connect(edit, &QLineEdit::textEdited, edit, [edit](const QString& text) {
    const QString line = OneLineText(text);
    if (line == text) return;
    const qsizetype caret = OneLineText(text.left(edit->cursorPosition())).size();
    edit->setText(line);
    edit->setCursorPosition(static_cast<int>(caret));
  });
}

void LimitPlainText(QPlainTextEdit* edit, int limit) {
  if (edit == nullptr) return;
  const QString text = edit->toPlainText();
  if (text.size() <= limit) return;
  const QSignalBlocker blocker(edit);
  edit->setPlainText(text.left(limit));
  edit->moveCursor(QTextCursor::End);
}
