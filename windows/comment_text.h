// Comments as the user sees and types them: shown in the code page their
// slot is marked with, stored in a code page that holds what was typed
// (the rule of the typed header texts, header_fields.h), so that a comment
// shows alike in every interface language and an edit under another
// language changes only what the user touched.
#pragma once

#include <QByteArray>
#include <QString>
#include <cstdint>

#include "windows/header_fields.h"

class CDialog;

// The comment of slot ply as typed; empty for none or a slot outside the
// store.
QString CommentString(int ply);

// A typed comment in the form it is stored: ASCII as it stands (page
// unknown: the same bytes in every page), any other text in the first code
// page of TypedTextPages(currentPage) that holds every character of it.
// kNotStorable when neither does (kNoCodePage when a character of it is in
// neither page), kTooLong when that form is longer than
// the game files keep of a comment (kBinaryLongTextCap bytes).
TextStore EncodeTypedComment(const QString& text, uint8_t currentPage, QByteArray* bytes,
                             uint8_t* page);

// The message refusing a typed comment the game files cannot keep.
QString CommentNotStoredMessage(TextStore why);

// What a window last showed of one comment slot in one of its edits, so
// that a text the user has not touched is written back as the bytes it was
// shown from, whatever the interface language could show of them.
class ShownComment {
 public:
  // Shows slot ply (as typed) in the edit `control` of `dialog` and takes
  // it as the shown text.
  void Show(CDialog& dialog, int control, int ply);
  // The ply last shown.
  int ply() const { return ply_; }
  // Whether `text` (the edit's text now) can be stored: into *bytes and
  // *page in the form Store writes.
  TextStore Encode(const QString& text, QByteArray* bytes, uint8_t* page) const;
  // Stores `text` into the slot shown; anything but kStored leaves the
  // slot unchanged.
  TextStore Store(const QString& text) const;
  // After a refused Store: shows the slot again as it is stored, the caret
  // where it was (or at the end of the text).
  void ShowAgain(CDialog& dialog, int control);

 private:
  int ply_ = 0;
  QByteArray bytes_;
  uint8_t page_ = 0;
  QString text_;
};
