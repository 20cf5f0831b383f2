// The file and clipboard commands of the frame: loading and saving games
// through the file dialogs, and the FEN texts on the clipboard.
#include <QFile>
#include <QStringList>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "app/board_view.h"
#include "app/bridge_window.h"
#include "app/frame_commands.h"
#include "app/main_frame.h"
#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "game/fen_paste.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/keyword_files.h"
#include "game/load_game.h"
#include "platform/file_dialog.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/services.h"
#include "platform/text_codec.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "windows/game_info_dlg.h"
#include "windows/game_status_dlg.h"
#include "windows/move_list_wnd.h"
#include "windows/side_windows.h"

namespace {

const FileDialogFilter kLoadFilters[] = {
    {"*.egf;*.vgf;*.vbf;*.vzd;*.txt;*.xqn;*.mxq;*.wxf;*.axf;*.ccf;*.htm",
     "*.egf;*.vgf;*.vbf;*.vzd;*.txt;*.xqn;*.mxq;*.wxf;*.axf;*.ccf;*.htm*;*.pgn;"},
    {"(*.EGF) Vorelk Extended Binary Format ", "*.egf;"},
    {"(*.VGF) Vorelk Binary Format ", "*.vgf;"},
    {"(*.VBF) Vorelk old Binary Format", "*.vbf;"},
    {"(*.VZD) Vorelk's database", "*.vzd;"},
    {"Coord text file (*.txt)", "*.txt;"},
    {"Xqn Format (*.xqn)", "*.xqn;"},
    {"CCF Format (*.ccf)", "*.ccf;"},
    {"WXF Format (*.wxf)", "*.wxf;"},
    {"AXF Format (*.axf)", "*.axf;"},
    {"HTML Format club xiang qi (*.htm)", "*.htm;"},
    {"Portable game Format (*.pgn)", "*.pgn;"},
    {"MoveSky Format (*.mxq)", "*.mxq"},
};

const FileDialogFilter kSaveFilters[] = {
    {"(*.EGF) EGF Vorelk Extended Binary Format", "*.egf;"},
    {"(*.VGF) VGF Vorelk Binary Format", "*.vgf;"},
    {"(*.VBF) VBF Vorelk Old Binary Format", "*.vbf;"},
    {"(*.CCF) CCF Chinese Chess File", "*.ccf;"},
    {"(*.WXF) WXF Chinese Chess File", "*.wxf;"},
    {"(*.AXF) AXF Chinese Chess File", "*.axf;"},
    {"(*.txt) Coord only in ascii format (*.txt)", "*.txt"},
};

// The extension of a name typed under a save filter without a single one
// (every filter has one now): the first filter's, a format that is written
// with everything in the game and read back.
constexpr const char* kSaveDefaultExtension = ".egf";

// The formats that store the game information: the editor runs before them.
bool StoresGameInformation(const std::string& extension) {
  return extension == "egf" || extension == "vgf" || extension == "ccf" || extension == "wxf" ||
         extension == "axf";
}

// The saves SaveGameFile refuses before anything is written: the message
// (%1 the extension, %2 the formats that would do) and those formats.
struct SaveRefusal {
  int code;
  const TextRow* text;
  const char* (*formats)();
};

const SaveRefusal kSaveRefusals[] = {
    {kSaveFormatNotWritten, &kTextSaveFormatNotWritten, WrittenGameFileExtensions},
    {kSaveStartNotKept, &kTextSaveStartNotKept, StartKeepingGameFileExtensions},
    {kSaveTextsNotKept, &kTextSaveTextsNotKept, TextKeepingGameFileExtensions},
    {kSaveCommentsNotKept, &kTextSaveCommentsNotKept, CommentKeepingGameFileExtensions},
    {kSaveTextsTooLong, &kTextSaveTextsTooLong, TextKeepingGameFileExtensions},
    {kSaveCommentsTooLong, &kTextSaveCommentsTooLong, CommentKeepingGameFileExtensions},
    {kSaveTextsNotOneLine, &kTextSaveTextsNotOneLine, TextKeepingGameFileExtensions},
    {kSaveRatingsNotKept, &kTextSaveRatingsNotKept, TextKeepingGameFileExtensions},
};

const SaveRefusal* RefusalOf(int saved) {
  for (const SaveRefusal& refusal : kSaveRefusals) {
    if (refusal.code == saved) return &refusal;
  }
  return nullptr;
}

QString FileText(const std::string& path) { return QFile::decodeName(path.c_str()); }

// A message of the text table in the current language.
QString LanguageText(const TextRow& row) { return DecodeLanguageText(Tr(row), currentLanguage); }

// A rating shown in a message: line breaks and tabs as blanks, and a long
// one cut (a header text holds up to 127 bytes).
constexpr qsizetype kShownRatingLength = 40;

QString ShownRating(const char* text) {
  QString shown = DecodeHeaderText(currentGameHeader, text);
  for (QChar& c : shown) {
    if (c.unicode() < 0x20) c = QLatin1Char(' ');
  }
  if (shown.size() > kShownRatingLength) shown = shown.left(kShownRatingLength) + QChar(0x2026);
  return shown;
}

// The message of a refused save. A rating a keyword file does not keep is
// named (%3 the label of its field, %4 its text).
QString RefusalMessage(const SaveRefusal& refusal, const std::string& path) {
  const QString extension = QString::fromStdString(GameFileExtension(path.c_str()));
  const QString formats = QString::fromLatin1(refusal.formats());
  const QString text = LanguageText(*refusal.text);
  if (refusal.code != kSaveRatingsNotKept) return text.arg(extension, formats);
  const bool red = KeywordRatingNotKept(currentGameHeader) != RatingNotKept::kBlack;
  return text.arg(extension, formats, LanguageText(red ? kTextRedElo : kTextBlackElo),
                  ShownRating(red ? currentGameHeader.redElo : currentGameHeader.blackElo));
}

// The labels of the header fields, as the game information window names
// them, in HeaderField order.
const TextRow* const kHeaderFieldLabels[kHeaderFieldCount] = {
    &kTextEvent,  &kTextSite,  &kTextDate,     &kTextRound,  &kTextRed,
    &kTextRedElo, &kTextBlack, &kTextBlackElo, &kTextAuthor, &kTextTimeControl,
};

// A message names this many cut texts at most, then how many more there are.
constexpr size_t kCutTextsNamed = 5;

QString CutTextName(const CutText& cut) {
  if (!cut.comment)
    return LanguageText(*kHeaderFieldLabels[cut.field < kHeaderFieldCount ? cut.field : 0]);
  if (cut.ply == 0) return LanguageText(kTextGameCommentCut);
  return LanguageText(kTextPlyCommentCut).arg(cut.ply);
}

}  // namespace

void CMainFrame::TellCutTexts(const QString& file) {
  const std::vector<CutText>& cuts = LastLoadCutTexts();
  if (cuts.empty()) return;
  QStringList named;
  for (size_t i = 0; i < cuts.size() && i < kCutTextsNamed; ++i) {
    named << LanguageText(kTextCutTextKept)
                 .arg(CutTextName(cuts[i]), QString::number(cuts[i].kept),
                      QString::number(cuts[i].length));
  }
  if (cuts.size() > kCutTextsNamed)
    named << LanguageText(kTextMoreTextsCut).arg(cuts.size() - kCutTextsNamed);
  ShowMessageBox(this, LanguageText(kTextFileTextsCut).arg(file, named.join(QStringLiteral("; "))));
}

void CMainFrame::OnUpdateLoadSave(CCmdUI* ui) { ui->Enable(setupMode == 0); }

void CMainFrame::OnLoadGame() {
  if (setupMode != 0) return;
  if (engineState != kEngineIdle) {
    DeferFileCommand(kRequestLoadGame);
    return;
  }
  std::string path;
  if (!RunFileDialog(this, false, kLoadFilters, std::size(kLoadFilters), nullptr, QString(),
                     &path)) {
    return;
  }
  // A file that does not load leaves the game on the board as it was.
  const int result = LoadGameFile(path.c_str(), &currentGameHeader, 1);
  RefreshAfterLoad();
  automoveOn = 0;
  if (GameWasLoaded(result)) {
    TellLackingCharacters(FileText(path));
    TellCutTexts(FileText(path));
  }
  if (result == kLoadPartial) {
    ShowMessageBox(this, LanguageText(kTextFileReadInPart).arg(FileText(path)));
  } else if (!GameWasLoaded(result)) {
    const TextRow& text = result == kLoadNotAGameFile ? kTextNotAGameFile : kTextFileNotLoaded;
    ShowMessageBox(this, LanguageText(text).arg(FileText(path)));
  }
}

void CMainFrame::OnSaveGame() {
  automoveOn = 0;
  if (setupMode != 0) return;
  if (engineState != kEngineIdle) {
    DeferFileCommand(kRequestSaveGame);
    return;
  }
  QString initialName;
  if (currentGameHeader.redName[0] != '\0' && currentGameHeader.blackName[0] != '\0') {
    initialName = DecodeHeaderText(currentGameHeader, currentGameHeader.redName) + " - " +
                  DecodeHeaderText(currentGameHeader, currentGameHeader.blackName);
  }
  std::string path;
  if (!RunFileDialog(this, true, kSaveFilters, std::size(kSaveFilters), kSaveDefaultExtension,
                     initialName, &path)) {
    return;
  }
  bool write = true;
  if (StoresGameInformation(GameFileExtension(path.c_str()))) {
    CGameInfoDlg dialog(currentGameHeader, this);
    write = dialog.DoModal() == IDOK;
  }
  // The writer of the typed extension; anything unknown is coordinate text.
  const int saved = write ? SaveGameFile(path.c_str(), currentGameHeader) : 0;
  if (const SaveRefusal* refusal = RefusalOf(saved)) {
    // Refused before anything was written: the reason and the formats that
    // would do.
    ShowMessageBox(this, RefusalMessage(*refusal, path));
  } else if (saved != 0) {
    ShowMessageBox(this, LanguageText(kTextGameNotSaved).arg(FileText(path)));
  }
  Relayout(0);  // the name strip shows the names typed in the editor
  if (gameStatusDlg != nullptr) {
    gameStatusDlg->SetTexts();  // the caption names the saved file
    gameStatusDlg->Refresh();
  }
  RefreshFrameTexts();
}

void CMainFrame::CopyFenPosition(int letterSet) {
  // The position and side shown on the board, not the one a search (a
  // ponder, an analysis) is looking at.
  char text[kFenBufferSize + 4];
  WriteFen(displayBoard, text, 0, IsKeyDown(VK_SHIFT) ? 1 : 0, letterSet);
  const size_t end = std::strlen(text);
  text[end] = ' ';
  text[end + 1] = shownSideToMove != kRed ? 'b' : (letterSet != 0 ? 'w' : 'r');
  text[end + 2] = '\0';
  SetClipboardText(this, text);
}

void CMainFrame::OnCopyFenPosition() { CopyFenPosition(1); }

void CMainFrame::OnCopyCcFenPosition() { CopyFenPosition(0); }

// Set-up mode keeps the engine idle; otherwise a ponder search or a think on
// the engine's own move is stopped for the paste (a hint, an analysis or a
// mate search refuses it).
void CMainFrame::OnUpdatePasteFenPosition(CCmdUI* ui) {
  ui->Enable(setupMode != 0 || EngineIdlePonderingOrThinking());
}

void CMainFrame::OnPasteFenPosition() {
  if (setupMode == 0 && DeferUntilSearchStops(kCmdPasteFenPosition)) return;
  if (engineState != kEngineIdle) return;
  const std::string text = GetClipboardText(kPastedFenBytes);
  if (!IsPlayableFen(text.c_str())) {
    ShowMessageBox(this, LanguageText(kTextBadFenOnClipboard));
    return;
  }
  if (setupMode != 0) {
    // The position being set up: ParseFen would start a new game record,
    // with the comments and the header cleared, which cancelling the set-up
    // could not bring back. The game stays for the set-up's snapshot; ending
    // the set-up starts the game at the pasted position.
    uint32_t side = kRed;
    ReadFenBoard(text.c_str(), board, posPiece, &side);
    sideToMove = shownSideToMove = side;
    std::memcpy(displayBoard, board, sizeof displayBoard);
    if (boardView_ != nullptr) boardView_->Invalidate();
    return;
  }
  PasteFenPosition(text.c_str());
  ClockFollowsShownSide();
  RefreshGameWindows();
  Relayout(0);  // the game has no names any more
  if (boardView_ != nullptr) boardView_->Invalidate();
}

namespace {

const CommandMapEntry<CMainFrame> kFileCommands[] = {
    {kCmdLoadGame, &CMainFrame::OnLoadGame, &CMainFrame::OnUpdateLoadSave},
    {kCmdSaveGame, &CMainFrame::OnSaveGame, &CMainFrame::OnUpdateLoadSave},
    {kCmdCopyFenPosition, &CMainFrame::OnCopyFenPosition, nullptr},
    {kCmdCopyCcFenPosition, &CMainFrame::OnCopyCcFenPosition, nullptr},
    {kCmdPasteFenPosition, &CMainFrame::OnPasteFenPosition, &CMainFrame::OnUpdatePasteFenPosition},
};

}  // namespace

bool RunFileCommand(CMainFrame* frame, int id) { return DispatchCommand(frame, kFileCommands, id); }

bool UpdateFileCommand(CMainFrame* frame, CCmdUI& ui) {
  return DispatchUpdateIfListed(frame, kFileCommands, ui);
}
