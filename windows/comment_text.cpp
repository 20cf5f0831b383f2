#include "windows/comment_text.h"

#include <QPlainTextEdit>
#include <QTextCursor>
#include <algorithm>

#include "game/binary_files.h"
#include "game/comments.h"
#include "platform/dialog.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "windows/header_fields.h"

namespace {

bool IsSlot(int ply) { return ply >= 0 && ply < kCommentSlots; }

}  // namespace

QString CommentString(int ply) {
  if (!IsSlot(ply) || moveComments[ply].text == nullptr) return QString();
  return DecodeText(moveComments[ply].text, TextPageCodePage(moveComments[ply].page));
}

TextStore EncodeTypedComment(const QString& text, uint8_t currentPage, QByteArray* bytes,
                             uint8_t* page) {
  QByteArray encoded;
  uint8_t encodedPage = kHeaderTextsUnknown;
  if (IsAsciiText(text)) {
    encoded = text.toLatin1();
  } else {
    bool kept = false;
    for (CodePage candidate : TypedTextPages(currentPage)) {
      if (EncodeTextExactly(text, candidate, &encoded)) {
        encodedPage = TextPageOf(candidate);
        kept = true;
        break;
      }
    }
    if (!kept) {
      return HasCharacterNoPageHolds(text) ? TextStore::kNoCodePage : TextStore::kNotStorable;
    }
  }
  // The game files keep a comment of at most kBinaryLongTextCap bytes: a
  // longer one would be cut when saved (inside a character, even).
  if (encoded.size() > kBinaryLongTextCap) return TextStore::kTooLong;
  *bytes = encoded;
  *page = encodedPage;
  return TextStore::kStored;
}

QString CommentNotStoredMessage(TextStore why) {
  if (why == TextStore::kTooLong) return TrText(kTextCommentTooLong);
  return TrText(why == TextStore::kNoCodePage ? kTextCommentNoCodePage : kTextCommentNotStored);
}

void ShownComment::Show(CDialog& dialog, int control, int ply) {
  ply_ = ply;
  const bool slot = IsSlot(ply) && moveComments[ply].text != nullptr;
  bytes_ = QByteArray(slot ? moveComments[ply].text : "");
  page_ = slot ? moveComments[ply].page : uint8_t{kHeaderTextsUnknown};
  dialog.SetDlgItemText(control, CommentString(ply));
  // As the edit gives it back (its line breaks).
  text_ = dialog.GetDlgItemText(control);
}

TextStore ShownComment::Encode(const QString& text, QByteArray* bytes, uint8_t* page) const {
  if (text == text_) {
    *bytes = bytes_;
    *page = page_;
    return TextStore::kStored;
  }
  return EncodeTypedComment(text, page_, bytes, page);
}

TextStore ShownComment::Store(const QString& text) const {
  QByteArray bytes;
  uint8_t page = kHeaderTextsUnknown;
  const TextStore stored = Encode(text, &bytes, &page);
  if (stored == TextStore::kStored) SetComment(ply_, bytes.constData(), page);
  return stored;
}

void ShownComment::ShowAgain(CDialog& dialog, int control) {
  auto* edit = qobject_cast<QPlainTextEdit*>(dialog.GetDlgItem(control));
  const int caret = edit != nullptr ? edit->textCursor().position() : 0;
  Show(dialog, control, ply_);
  if (edit == nullptr) return;
  QTextCursor cursor = edit->textCursor();
  cursor.setPosition(std::min(caret, static_cast<int>(edit->toPlainText().size())));
  edit->setTextCursor(cursor);
}
