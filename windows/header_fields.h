// The game header's controls, shared by the modal header editor and the
// game information window: which edit holds which header text, the labels,
// the result list and the game comment edit's length limit.
#pragma once

#include <QString>
#include <array>
#include <cstdint>
#include <iterator>

#include "game/header.h"
#include "platform/text_codec.h"
#include "res/dialogs.h"
#include "res/text_rows.h"

class CDialog;
class QLineEdit;
class QPlainTextEdit;

using HeaderText = char (GameHeader::*)[kHeaderTextSize];

struct HeaderEdit {
  int control;
  HeaderText field;
  const TextRow* label;  // names the field in messages
};

// The ten header texts, in the order they are filled and stored.
inline constexpr HeaderEdit kHeaderEdits[] = {
    {kCtlHeaderEvent, &GameHeader::event, &kTextEvent},
    {kCtlHeaderSite, &GameHeader::site, &kTextSite},
    {kCtlHeaderDate, &GameHeader::date, &kTextDate},
    {kCtlHeaderRound, &GameHeader::round, &kTextRound},
    {kCtlHeaderRedName, &GameHeader::redName, &kTextRed},
    {kCtlHeaderRedElo, &GameHeader::redElo, &kTextRedElo},
    {kCtlHeaderBlackName, &GameHeader::blackName, &kTextBlack},
    {kCtlHeaderBlackElo, &GameHeader::blackElo, &kTextBlackElo},
    {kCtlHeaderAuthor, &GameHeader::author, &kTextAuthor},
    {kCtlHeaderTimeControl, &GameHeader::timeControl, &kTextTimeControl},
};
inline constexpr int kHeaderEditCount = static_cast<int>(std::size(kHeaderEdits));

// The most characters the game comment edit takes from typing.
inline constexpr int kGameCommentEditLimit = 10240;
// Result list items "*", "1-0", "0-1", "½-½": item index = result code.
inline constexpr int kResultCodes = 4;

// A header text in the header's code page (HeaderCodePage: GBK for a
// header read from a GBK file, else the current language's), for display.
// A field filled to the last byte without a NUL shows its own bytes only.
QString HeaderFieldString(const GameHeader& header, HeaderText field);
// True when every character of text is ASCII: the same bytes in every code
// page the files know.
bool IsAsciiText(const QString& text);
// The HeaderTextPage mark of a code page the files keep texts in.
uint8_t TextPageOf(CodePage page);
// The code pages a typed text that is not ASCII is tried in, in order: the
// page it is marked with (textPage) first, else the interface language's;
// then the other one (Windows-1252, GBK).
std::array<CodePage, 2> TypedTextPages(uint8_t textPage);

// What became of a typed header text or comment.
enum class TextStore {
  kStored,
  kTooLong,      // longer, in the code page it would be stored in, than the files keep
  kNotStorable,  // no code page of the files holds it with the other texts
  kNoCodePage,   // no code page of the files holds it even on its own
};
// True when some character of `text` is in no code page the files keep
// texts in (an emoji, Arabic).
bool HasCharacterNoPageHolds(const QString& text);
// Stores what the user typed into a header field, kept as typed: a text
// equal to what the field shows keeps the field's bytes, ASCII is stored
// as it stands, and any other text in a code page that holds it together
// with the header's other texts (each of them whole in its field), the
// header's own first, then Windows-1252 or GBK (GBK first under a Chinese
// interface). The header is then marked with that page (other texts
// converted to it), so that it shows alike in every language. A text of
// more than 127 bytes in that page is kTooLong. Anything but kStored
// leaves the header unchanged; a text that no page holds whole, whatever
// the other texts, is kNoCodePage.
TextStore StoreHeaderField(GameHeader& header, HeaderText field, const QString& text);
// The message refusing a text of `edit` that StoreHeaderField did not take.
QString HeaderNotStoredMessage(const HeaderEdit& edit, TextStore why);
// The eleven labels get their texts in the current language.
void SetHeaderLabels(CDialog& dialog);
// Fills the result list with its four items (once) and selects `result`;
// a code outside 0..3 selects "*".
void ShowResult(CDialog& dialog, int result);
// The selected result code, 0 when nothing is selected.
int SelectedResult(const CDialog& dialog);
// The text with each line break (CR LF, CR, LF, a line or paragraph
// separator) turned into one blank: a header text holds one line, and the
// one-line edits show a line break as a blank.
QString OneLineText(const QString& text);
// What is typed or pasted into the one-line edit becomes one line
// (OneLineText) as it comes in, the caret staying after it, so that the
// edit shows the text the header will hold. Texts the program puts in stay
// as they are: an untouched text keeps its bytes.
void KeepTypedTextOnOneLine(QLineEdit* edit);
// Cuts the edit's text to `limit` characters when typing made it longer;
// the caret goes to the end.
void LimitPlainText(QPlainTextEdit* edit, int limit);
