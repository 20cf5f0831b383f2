// The game header's controls, shared by the modal header editor and the
// game information window: which edit holds which header text, the labels,
// the result list and the game comment edit's length limit.
#pragma once

#include <QString>
#include <iterator>

#include "game/header.h"
#include "res/dialogs.h"
#include "res/text_rows.h"

class CDialog;
class QPlainTextEdit;

using HeaderText = char (GameHeader::*)[kHeaderTextSize];

struct HeaderEdit {
  int control;
  HeaderText field;
};

// The ten header texts, in the order they are filled and stored.
inline constexpr HeaderEdit kHeaderEdits[] = {
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
inline constexpr int kHeaderEditCount = static_cast<int>(std::size(kHeaderEdits));

// The most characters the game comment edit takes from typing.
inline constexpr int kGameCommentEditLimit = 10240;
// Result list items "*", "1-0", "0-1", "½-½": item index = result code.
inline constexpr int kResultCodes = 4;

// A header text in the header's code page (HeaderCodePage: GBK for a
// header read from a GBK file, else the current language's), for display.
// A field filled to the last byte without a NUL shows its own bytes only.
QString HeaderFieldString(const GameHeader& header, HeaderText field);
// Stores what the user typed into a header field, in the header's code
// page, cut to 127 bytes on a character boundary; a text equal to what the
// field shows keeps the field's bytes. Returns true when the text had to be
// cut.
bool StoreHeaderField(GameHeader& header, HeaderText field, const QString& text);
// The eleven labels get their texts in the current language.
void SetHeaderLabels(CDialog& dialog);
// Fills the result list with its four items (once) and selects `result`;
// a code outside 0..3 selects "*".
void ShowResult(CDialog& dialog, int result);
// The selected result code, 0 when nothing is selected.
int SelectedResult(const CDialog& dialog);
// Cuts the edit's text to `limit` characters when typing made it longer;
// the caret goes to the end.
void LimitPlainText(QPlainTextEdit* edit, int limit);
