// Conversion between the 8-bit texts of the interface and Qt's strings.
// The language tables and menus keep their texts in the code page of each
// language (Windows-1252 for French, English, Spanish and German, GBK for
// Simplified and Big5 for Traditional Chinese); everything shown on screen
// goes through here, and texts the user types are stored back in the
// 8-bit form of the current language.
//
// The conversions never fail: a byte sequence that is not valid in its code
// page shows as U+FFFD, a character that the code page cannot hold is
// stored as '?', and a null text is empty. EncodeTextExactly is for texts
// that must be kept as typed: it refuses instead.
#pragma once

#include <QByteArray>
#include <QString>

#include "game/header.h"
#include "res/menus.h"
#include "res/text_rows.h"

// The code page of a language's texts; a value outside 0..5 gives
// Windows-1252.
CodePage CodePageForLanguage(int language);

// The code page of the move texts of a notation (GameMoveText): GBK for
// the two Chinese notations, whatever the interface language, else
// Windows-1252.
CodePage MoveTextCodePage(int notationKind);

// The code page a text marked with `textPage` (HeaderTextPage) is in: the
// marked one, else (unknown) the current language's.
CodePage TextPageCodePage(uint8_t textPage);
// The code page of a game header's texts: the one the header is marked
// with (GameHeader::textPage), else the current language's.
CodePage HeaderCodePage(const GameHeader& header);
// A text of the header (or one made of its texts) in its code page.
QString DecodeHeaderText(const GameHeader& header, const char* text);

// An 8-bit text in the given code page as a QString.
QString DecodeText(const char* text, CodePage page);
// The same for a text of known length (embedded NULs are kept).
QString DecodeText(const char* text, size_t length, CodePage page);
// A text written in a language's code page.
QString DecodeLanguageText(const char* text, int language);

// The entry of a text row shown in the current language (see Tr).
QString TrText(const TextRow& row);
// A menu text of a language, in the code page that text is stored in;
// empty for an id or language outside the tables.
QString MenuTextString(MenuTextId text, int language);

// A QString as 8-bit bytes in the given code page (no terminating NUL in
// the size; QByteArray keeps one after the data).
QByteArray EncodeText(const QString& text, CodePage page);
QByteArray EncodeLanguageText(const QString& text, int language);
// The same without any replacement: false (and *bytes unchanged) when the
// code page cannot hold every character of `text`.
bool EncodeTextExactly(const QString& text, CodePage page, QByteArray* bytes);
