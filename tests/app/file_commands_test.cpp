// The file and clipboard commands: games saved in every format and read
// back through the dialogs, the game information editor before the formats
// that store it, the FEN texts on the clipboard, and what failures tell.
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QRegularExpression>
#include <QTimer>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "app/chess_app.h"
#include "engine/position/position.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/new_game.h"
#include "engine/search/time_control.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "platform/file_dialog.h"
#include "platform/keyboard.h"
#include "platform/message_box.h"
#include "platform/text_codec.h"
#include "res/menus.h"
#include "tests/support/app_scenario.h"
#include "tests/support/file_bytes.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/placement_cases.h"
#include "tests/support/test_position.h"
#include "windows/game_info_dlg.h"

namespace fs = std::filesystem;
using testing_support::Check;

namespace {

using testing_support::ReadFileText;

std::string dialogAnswer;  // the path typed in the file dialog, empty: cancel
int dialogFilter = 0;      // the filter selected in it
size_t dialogsShown = 0;
std::vector<QString> messages;

void StartProgram() {
  testing_support::OffscreenApplication();
  testing_support::OpenStore()->WriteInt("Options", "Language", 1);
  theApp.m_lpCmdLine = "";
  theApp.InitInstance();
  fileDialogHook = [](const FileDialogRequest& request, std::string* path) {
    ++dialogsShown;
    if (request.selectedFilter != nullptr) *request.selectedFilter = dialogFilter;
    *path = dialogAnswer;
    return !dialogAnswer.empty();
  };
  messageBoxHook = [](const QString& text, int) {
    messages.push_back(text);
    return static_cast<int>(kAnswerOk);
  };
}

using Texts = std::vector<const char*>;
const Texts kGame = {"h2e2", "h9g7", "h0g2", "i9h9"};

void Play(const Texts& moves) {
  for (const char* text : moves) {
    Check(MakeMoveAfterShownPly(testing_support::MoveFromText(text)) != 0, text);
    RecordMadeMove();
    ShowGamePosition();
  }
}

void NewGameWith(const Texts& moves) {
  pMainFrame->NewGame();
  Play(moves);
}

// The game on the board: its start position and moves.
LoadedGame Captured() {
  LoadedGame game;
  CaptureCurrentGame(game);
  return game;
}

// The start position as FEN: the pieces' places, not their numbers, which
// a FEN read back may give in another order.
std::string StartFen(const LoadedGame& game) {
  if (!game.customStart) return "standard";
  char text[kFenBufferSize];
  WriteFen(game.startBoard, text, 1, 0, 1);
  return text + std::string(game.startSide != 0 ? " b" : " w");
}

bool SameGame(const LoadedGame& a, const LoadedGame& b) {
  if (StartFen(a) != StartFen(b) || a.moves.size() != b.moves.size()) return false;
  for (size_t i = 0; i < a.moves.size(); ++i)
    if (a.moves[i].move != b.moves[i].move) return false;
  return true;
}

bool GameIs(const Texts& moves) {
  if (gameLength != static_cast<int>(moves.size())) return false;
  for (int ply = 1; ply <= gameLength; ++ply)
    if (history[ply].move != testing_support::MoveFromText(moves[ply - 1])) return false;
  return true;
}

// Answers the game information editor, if it comes up, by typing a red
// player's name and pressing OK or Cancel; *shown tells whether it came.
void AnswerGameInfo(bool ok, bool* shown) {
  *shown = false;
  QTimer::singleShot(0, [=] {
    auto* dialog = qobject_cast<CGameInfoDlg*>(QApplication::activeModalWidget());
    if ((*shown = dialog != nullptr)) {
      dialog->SetDlgItemText(kCtlHeaderRedName, "Ding");
      ok ? dialog->OnOK() : dialog->OnCancel();
    }
  });
}

void RunWithDialog(int command, const std::string& path, int filter = 0) {
  dialogAnswer = path;
  dialogFilter = filter;
  pMainFrame->OnCmdMsg(command);
  QCoreApplication::processEvents();
}

// Saves the game over a file holding "old", the information editor
// answered with OK; true when the editor came up.
bool SaveOverOldFile(const fs::path& path) {
  std::ofstream(path) << "old";
  messages.clear();
  bool shown = false;
  AnswerGameInfo(true, &shown);
  RunWithDialog(kCmdSaveGame, path.string());
  return shown;
}

// Loads the file into a game of no header and no comments: true when it
// gave the test game back without a message.
bool LoadsBackTheGame(const fs::path& path) {
  ResetGameHeaderAndComments();
  RunWithDialog(kCmdLoadGame, path.string());
  return GameIs(kGame) && messages.empty();
}

using FileCommandsTest = testing_support::ScenarioTest;

TEST_F(FileCommandsTest, EveryFormatIsSavedByItsTypedExtensionAndLoadsBack) {
  RUN_SCENARIO({
    StartProgram();
    // Typed name, the file written, its first bytes (the writer), and
    // whether the information editor comes first (and the header is kept);
    // a name without an extension gets the one of the filter selected.
    const struct {
      const char *typed, *written;
      std::string head;
      bool info;
      int filter = 0;
    } cases[] = {
        {"g.egf", "g.egf", "\x07", true},
        {"g.vgf", "g.vgf", "\x06", true},
        {"g.vbf", "g.vbf", "\x03", false},
        {"g.ccf", "g.ccf", "FORMAT  \tWXF", true},
        {"g.wxf", "g.wxf", "FORMAT  \tWXF", true},
        {"g2.WXF", "g2.WXF", "FORMAT  \tWXF", true},
        {"g.axf", "g.axf", "FORMAT  \tAXF", true},
        {"g.txt", "g.txt", "h2e2\n", false},
        {"g", "g.egf", "\x07", true},
        {"h", "h.vbf", "\x03", false, 2},
        {"k", "k.axf", "FORMAT  \tAXF", true, 5},
        {"m", "m.txt", "h2e2\n", false, 6},
        {"n.ccf", "n.ccf", "FORMAT  \tWXF", true, 6},  // a typed extension is kept
    };
    for (const auto& c : cases) {
      NewGameWith(kGame);
      bool shown = false;
      AnswerGameInfo(true, &shown);
      RunWithDialog(kCmdSaveGame, (root_ / c.typed).string(), c.filter);
      Check(shown == c.info, c.typed);
      Check(ReadFileText(root_ / c.written).rfind(c.head, 0) == 0, c.written);
      NewGameWith({});
      pMainFrame->automoveOn = 1;
      RunWithDialog(kCmdLoadGame, (root_ / c.written).string());
      Check(GameIs(kGame) && pMainFrame->automoveOn == 0, c.written);
      Check((std::strcmp(currentGameHeader.redName, "Ding") == 0) == c.info, c.written);
    }
    Check(messages.empty(), "no message");
    testing_support::CloseFrame();
  });
}

// The extensions of the patterns of a dialog's filters, as Qt gets them
// ("desc (*.egf *.vgf)"); "*.htm*" stands for htm and html.
std::set<std::string> ExtensionsOf(const QStringList& filters) {
  std::set<std::string> out;
  const QRegularExpression pattern(QStringLiteral("\\*\\.([a-z]+)(\\*?)"));
  for (const QString& filter : filters) {
    for (auto m = pattern.globalMatch(filter.toLower()); m.hasNext();) {
      const auto match = m.next();
      out.insert(match.captured(1).toStdString());
      if (!match.captured(2).isEmpty()) out.insert(match.captured(1).toStdString() + "l");
    }
  }
  return out;
}

QString saveDialogDefaultSuffix;  // as the last save dialog was given it

// The filters a command's file dialog is given.
QStringList DialogFilters(int command) {
  static QStringList filters;
  filters.clear();
  const auto hook = fileDialogHook;
  fileDialogHook = [](const FileDialogRequest& request, std::string*) {
    filters = request.nameFilters;
    if (request.save) saveDialogDefaultSuffix = request.defaultSuffix;
    return false;
  };
  RunWithDialog(command, "");
  fileDialogHook = hook;
  return filters;
}

// The filter list as the real dialog shows it: each filter by its
// description alone, so that no pattern list is shown twice (the load
// dialog's first filter is described by its own patterns).
TEST_F(FileCommandsTest, DialogFiltersShowEachPatternListOnce) {
  RUN_SCENARIO({
    StartProgram();
    const auto hook = fileDialogHook;
    fileDialogHook = nullptr;
    static QStringList shown;
    for (int command : {kCmdLoadGame, kCmdSaveGame}) {
      QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        if (auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo")))
          for (int i = 0; i < types->count(); ++i) shown << types->itemText(i);
        dialog->reject();
      });
      pMainFrame->OnCmdMsg(command);
    }
    fileDialogHook = hook;
    // Thirteen filters to load, seven to save; none followed by its
    // patterns again.
    const QRegularExpression twice(QStringLiteral("\\(\\*\\.\\w+\\) \\(\\*\\.\\w+\\)$"));
    Check(shown.size() == 20 && shown.filter(twice).isEmpty(),
          shown.join('|').toUtf8().constData());
    Check(shown.value(0) == "*.egf;*.vgf;*.vbf;*.vzd;*.txt;*.xqn;*.mxq;*.wxf;*.axf;*.ccf;*.htm" &&
              shown.value(5) == "Coord text file (*.txt)",
          "the descriptions alone");
    testing_support::CloseFrame();
  });
}

// The real save dialog: a name typed without an extension is saved under
// the extension of the filter selected in it.
TEST_F(FileCommandsTest, TheSaveDialogAddsTheSelectedFiltersExtension) {
  RUN_SCENARIO({
    StartProgram();
    const auto hook = fileDialogHook;
    fileDialogHook = nullptr;
    static fs::path typed;
    static int filter = 0;
    static bool infoShown = false;
    // A name whose last dot starts no plausible extension (players' names
    // with an initial, a trailing dot) gets the filter's one too; a
    // plausible unknown extension is kept.
    const struct {
      int filter;
      const char* typed;
      const char* written;
      bool info;  // the information editor comes after the dialog
    } cases[] = {{0, "r0", "r0.egf", true},
                 {2, "r2", "r2.vbf", false},
                 {4, "r4", "r4.wxf", true},
                 {6, "r6", "r6.txt", false},
                 {0, "Wang T. - Hu R", "Wang T. - Hu R.egf", true},
                 {0, "nm.", "nm.egf", true},
                 {6, "a.b-c", "a.b-c.txt", false},
                 {6, "x.longer", "x.longer.txt", false},
                 {0, "game.foo", "game.foo", false}};
    for (const auto& c : cases) {
      NewGameWith(kGame);
      typed = root_ / c.typed;
      filter = c.filter;
      infoShown = false;
      QTimer::singleShot(0, [] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        auto* types = dialog->findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (types == nullptr || name == nullptr) return dialog->reject();
        types->setCurrentIndex(filter);
        name->setText(QString::fromStdString(typed.string()));
        QApplication::setActiveWindow(dialog);
        name->setFocus();  // as when Enter is pressed in the name field
        AnswerGameInfo(true, &infoShown);
        QMetaObject::invokeMethod(dialog, "accept");  // as the Save button does
      });
      pMainFrame->OnCmdMsg(kCmdSaveGame);
      QCoreApplication::processEvents();
      Check(fs::exists(root_ / c.written) && (typed == root_ / c.written || !fs::exists(typed)) &&
                infoShown == c.info,
            c.written);
    }
    fileDialogHook = hook;
    Check(messages.empty(), "no message");
    testing_support::CloseFrame();
  });
}

// Every extension the load and save dialogs offer, the save dialog's
// default one and one no reader claims, for a game from the standard start,
// one from a set-up position, one with a handicap and one without moves:
// a game saved under it loads back with the same start and moves, or the
// save is refused, with the formats that keep it named, and the file there
// before is left as it was.
TEST_F(FileCommandsTest, EveryExtensionOfTheDialogsLoadsBackOrIsRefused) {
  RUN_SCENARIO({
    StartProgram();
    std::set<std::string> known =
        ExtensionsOf(DialogFilters(kCmdLoadGame) + DialogFilters(kCmdSaveGame));
    known.insert(saveDialogDefaultSuffix.toStdString());
    known.insert("foo");  // claimed by no reader, plausible as an extension
    const std::set<std::string> refused = {"pgn", "xqn", "mxq", "htm", "html", "vzd"};
    const std::set<std::string> moveText = {"txt", "foo"};  // coordinate text
    const std::set<std::string> written = {"egf", "vgf", "vbf", "ccf", "wxf", "axf"};
    std::set<std::string> table = refused;
    table.insert(written.begin(), written.end());
    table.insert(moveText.begin(), moveText.end());
    Check(known == table, "the table holds every extension of the dialogs");

    // The games: the moves after a FEN pasted (none: the standard start) or
    // a handicap.
    // A paste of the standard FEN numbers its pieces in an order of its
    // own: still the standard start.
    const struct {
      const char* name;
      const char* fen;
      int32_t handicap;
      Texts moves;
      bool standard;  // what coordinate text keeps
    } games[] = {{"standard", nullptr, 0, kGame, true},
                 {"pasted standard",
                  "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w",
                  0,
                  {"h2e2", "h9g7"},
                  true},
                 {"set-up", "3k5/9/9/9/9/9/9/9/4A4/4K1R2 w", 0, {"g0g9", "d9d8"}, false},
                 {"handicap", nullptr, 1, {"h2e2", "h9g7"}, false},
                 {"no moves", nullptr, 0, {}, false}};
    for (const auto& game : games) {
      for (const std::string& ext : known) {
        const fs::path path = root_ / ("game." + ext);
        std::ofstream(path) << "old";
        Handicap = game.handicap;
        pMainFrame->NewGame();
        Handicap = 0;
        if (game.fen != nullptr) {
          QApplication::clipboard()->setText(game.fen);
          pMainFrame->OnCmdMsg(kCmdPasteFenPosition);
        }
        Play(game.moves);
        const LoadedGame before = Captured();
        messages.clear();
        bool shown = false;
        AnswerGameInfo(true, &shown);
        RunWithDialog(kCmdSaveGame, path.string());
        QCoreApplication::processEvents();
        const std::string what = std::string(game.name) + " saved as ." + ext;
        if (refused.count(ext) != 0 || (moveText.count(ext) != 0 && !game.standard)) {
          const char* named = refused.count(ext) != 0 ? "egf, vgf, vbf, ccf, wxf, axf, txt"
                                                      : "egf, vgf, vbf, ccf, wxf, axf.";
          Check(messages.size() == 1 && messages[0].contains(ext.c_str()) &&
                    messages[0].contains(named) && !shown,
                (what + ": refused, told").c_str());
          Check(ReadFileText(path) == "old" && SameGame(Captured(), before), what.c_str());
          continue;
        }
        NewGameWith({"c3c4"});
        messages.clear();
        RunWithDialog(kCmdLoadGame, path.string());
        Check(messages.empty() && SameGame(Captured(), before), what.c_str());
      }
    }
    testing_support::CloseFrame();
  });
}

// The board's name strip, as drawn now.
QImage NameStrip() {
  const int s = pMainFrame->squareSize;
  return pMainFrame->boardBitmap->GetImage().copy(0, 0, 11 * s, s / 2 + 4);
}

// Names typed in the editor at a save, and the names a pasted position
// clears, are on the board at once: the strip is what a new layout draws.
TEST_F(FileCommandsTest, TheNameStripFollowsSavesAndPastes) {
  RUN_SCENARIO({
    StartProgram();
    NewGameWith(kGame);
    const QImage empty = NameStrip();
    bool shown = false;
    AnswerGameInfo(true, &shown);
    RunWithDialog(kCmdSaveGame, (root_ / "named.egf").string());
    const QImage named = NameStrip();
    Check(shown && !(named == empty), "the typed name is drawn");
    pMainFrame->Relayout(0);
    Check(NameStrip() == named, "as a new layout draws it");

    QApplication::clipboard()->setText("4k4/9/9/9/9/9/9/9/4A4/3K1R3 b");
    pMainFrame->OnCmdMsg(kCmdPasteFenPosition);
    Check(currentGameHeader.redName[0] == '\0' && NameStrip() == empty, "the names go");
    testing_support::CloseFrame();
  });
}

// Failed loads and saves keep the game and are told; a file read in part
// keeps what was read and says so; a game database is refused as no game
// file; a cancel changes nothing.
TEST_F(FileCommandsTest, FailuresKeepTheGameAndAreTold) {
  RUN_SCENARIO({
    StartProgram();
    std::ofstream(root_ / "bad.egf") << "not a game";
    std::ofstream(root_ / "empty.txt") << "";
    std::ofstream(root_ / "part.txt") << "h2e2\nh9g7\nzz99\n";
    // A game database is not opened, even when its bytes would read as
    // coordinate text.
    std::ofstream(root_ / "games.vzd") << "h2e2\nh9g7\n";
    const struct {
      int command;
      const char* file;
      Texts after;
      const char* told;  // null: nothing
    } cases[] = {{kCmdLoadGame, "bad.egf", kGame, "could not be loaded"},
                 {kCmdLoadGame, "none.vgf", kGame, "could not be loaded"},
                 {kCmdLoadGame, "empty.txt", kGame, "could not be loaded"},
                 {kCmdLoadGame, "part.txt", {"h2e2", "h9g7"}, "read only in part"},
                 {kCmdLoadGame, "games.vzd", kGame, "is not a game file"},
                 {kCmdSaveGame, "no/such/g.txt", kGame, "could not be saved"},
                 {kCmdLoadGame, "", kGame, nullptr},
                 {kCmdSaveGame, "", kGame, nullptr}};
    for (const auto& c : cases) {
      NewGameWith(kGame);
      messages.clear();
      RunWithDialog(c.command, c.file[0] != '\0' ? (root_ / c.file).string() : "");
      Check(GameIs(c.after), c.file);
      Check(c.told == nullptr ? messages.empty()
                              : messages.size() == 1 && messages[0].contains(c.told),
            c.file);
    }
    // A cancelled information editor writes nothing and keeps the header.
    bool shown = false;
    AnswerGameInfo(false, &shown);
    RunWithDialog(kCmdSaveGame, (root_ / "c.egf").string());
    Check(shown && !fs::exists(root_ / "c.egf") && currentGameHeader.redName[0] == '\0',
          "cancelled editor");
    testing_support::CloseFrame();
  });
}

// A save that would cut a text is refused before anything is written,
// saying the text is too long for the format and naming the formats that
// keep it; those keep it whole. The texts are typed in Windows-1252 (é),
// twice as long in the keyword files' GBK. So is one that would change a
// text: a line break, a rating that is not a plain number.
TEST_F(FileCommandsTest, ASaveThatWouldCutATextIsRefusedAndTold) {
  RUN_SCENARIO({
    StartProgram();
    const std::string event(100, '\xE9');
    const std::string comment(6000, '\xE9');
    // A text a keyword file would read back as another: an event read from
    // a binary file with a line break, a rating that is not a number.
    const std::string lines = "Line1\r\nLine2";
    const std::string cup = "Cup";
    const struct {
      const char* file;
      int ply;                  // of the long comment; -1: the text is the event
      const std::string* text;  // of the event
      const char* redElo;
      const TextRow* told;  // null: saved
      const char* formats;
    } cases[] = {
        {"event.wxf", -1, &event, "", &kTextSaveTextsTooLong, "egf, vgf"},
        {"game.ccf", 0, nullptr, "", &kTextSaveCommentsTooLong, "egf, vgf"},
        {"move.axf", 2, nullptr, "", &kTextSaveCommentsTooLong, "egf"},
        {"event.vgf", -1, &event, "", nullptr, nullptr},
        {"move.egf", 2, nullptr, "", nullptr, nullptr},
        {"lines.wxf", -1, &lines, "", &kTextSaveTextsNotOneLine, "egf, vgf"},
        {"rating.axf", -1, &lines, "2400?", &kTextSaveTextsNotOneLine, "egf, vgf"},
        {"rating.ccf", -1, &cup, "2400 (est)", &kTextSaveRatingsNotKept, "egf, vgf"},
        {"lines.egf", -1, &lines, "2400 (est)", nullptr, nullptr},
    };
    for (const auto& c : cases) {
      NewGameWith(kGame);
      currentGameHeader.textPage = kHeaderTextsLatin;
      SetHeaderText(currentGameHeader.redElo, c.redElo);
      if (c.ply < 0) {
        SetHeaderText(currentGameHeader.event, c.text->c_str());
      } else {
        SetComment(c.ply, comment.c_str(), kHeaderTextsLatin);
      }
      const fs::path path = root_ / c.file;
      const bool shown = SaveOverOldFile(path);
      if (c.told != nullptr) {
        QString told = TrText(*c.told).arg(path.extension().string().substr(1).c_str(), c.formats);
        if (c.told == &kTextSaveRatingsNotKept) told = told.arg(TrText(kTextRedElo), c.redElo);
        Check(shown && messages.size() == 1 && messages[0] == told, c.file);
        Check(ReadFileText(path) == "old", c.file);
        continue;
      }
      Check(messages.empty(), c.file);
      Check(LoadsBackTheGame(path), c.file);
      Check(c.ply < 0 ? currentGameHeader.event == *c.text &&
                            std::string(currentGameHeader.redElo) == c.redElo
                      : moveComments[c.ply].text != nullptr && moveComments[c.ply].text == comment,
            c.file);
    }
    testing_support::CloseFrame();
  });
}

// The marks of an unknown rating are saved by the keyword files as none and
// load back empty; another rating they do not keep refuses the save, and
// the message names its field and its text (line breaks as blanks, a long
// one cut).
TEST_F(FileCommandsTest, ARatingTheKeywordFilesDoNotKeepIsNamed) {
  RUN_SCENARIO({
    StartProgram();
    const std::string longRating(60, '9');
    const struct {
      const char* file;
      std::string red, black;
      const TextRow* label;  // of the rating named; null: saved, loaded back empty
      QString shown;
    } cases[] = {
        {"unknown.wxf", "?", "-", nullptr, ""},
        {"unknown.axf", "", "?", nullptr, ""},
        {"red.ccf", "2400 (est)", "?", &kTextRedElo, "2400 (est)"},
        {"black.wxf", "2400", "2300 (est)", &kTextBlackElo, "2300 (est)"},
        {"both.axf", "abc", "def", &kTextRedElo, "abc"},
        {"lines.ccf", "-", "2400\r\n", &kTextBlackElo, "2400  "},
        {"long.wxf", longRating + "x", "", &kTextRedElo,
         QString::fromStdString(longRating.substr(0, 40)) + QChar(0x2026)},
    };
    for (const auto& c : cases) {
      NewGameWith(kGame);
      SetHeaderText(currentGameHeader.redElo, c.red.c_str());
      SetHeaderText(currentGameHeader.blackElo, c.black.c_str());
      const fs::path path = root_ / c.file;
      Check(SaveOverOldFile(path), c.file);
      if (c.label != nullptr) {
        const QString told = TrText(kTextSaveRatingsNotKept)
                                 .arg(path.extension().string().substr(1).c_str(), "egf, vgf",
                                      TrText(*c.label), c.shown);
        Check(messages.size() == 1 && messages[0] == told, c.file);
        Check(ReadFileText(path) == "old", c.file);
        continue;
      }
      Check(messages.empty(), c.file);
      Check(LoadsBackTheGame(path), c.file);
      Check(currentGameHeader.redElo[0] == '\0' && currentGameHeader.blackElo[0] == '\0', c.file);
    }
    testing_support::CloseFrame();
  });
}

// A file whose texts are longer than the program keeps loads with them cut,
// and one message names them with what was kept: five at most, then how
// many more there are.
TEST_F(FileCommandsTest, ALoadThatCutsTextsTellsWhich) {
  RUN_SCENARIO({
    StartProgram();
    const std::string long200(200, 'x');
    const std::string moves =
        "START{\n 1.  C2.5\n/*" + std::string(12000, 'c') + "*/\n H8+7     2.  H2+3  R9.8\n}END\n";
    const std::string two = "FORMAT  \tWXF\nEVENT    \t" + long200 + "\n" + moves;
    const std::string many = "FORMAT  \tWXF\nEVENT    \t" + long200 + "\nPLACE    \t" + long200 +
                             "\nDATE    \t" + long200 + "\nROUND    " + long200 + "\nRED     \t" +
                             long200 + ";;;\nBLACK   \t" + long200 + ";;;\n" + moves;
    const QString fiveNamed =
        "Event (127 of 200 bytes kept); Site (127 of 200 bytes kept); "
        "Date (127 of 200 bytes kept); Round (127 of 200 bytes kept); "
        "Red (127 of 200 bytes kept); 2 more";
    const struct {
      const char* file;
      std::string bytes;
      QString named;
    } cases[] = {
        {"two.wxf", two,
         "Event (127 of 200 bytes kept); Comment on half-move 1 (10239 of 12000 bytes kept)"},
        {"many.wxf", many, fiveNamed},
    };
    for (const auto& c : cases) {
      const fs::path path = root_ / c.file;
      std::ofstream(path, std::ios::binary) << c.bytes;
      NewGameWith({});
      messages.clear();
      RunWithDialog(kCmdLoadGame, path.string());
      Check(GameIs(kGame), c.file);
      Check(std::string(currentGameHeader.event) == long200.substr(0, 127), c.file);
      const QString told =
          TrText(kTextFileTextsCut).arg(QFile::decodeName(path.string().c_str()), c.named);
      Check(messages.size() == 1 && messages[0] == told, c.file);
    }
    testing_support::CloseFrame();
  });
}

// A load while the engine thinks stops the search; the engine's completion
// runs the command again and the dialog comes up then.
TEST_F(FileCommandsTest, LoadWhileTheEngineThinksWaitsForIt) {
  RUN_SCENARIO({
    StartProgram();
    std::ofstream(root_ / "g.txt") << "h2e2\nh9g7\n";
    Play({"c3c4"});
    levelMode = 1;
    thinkingTime = 60000;
    exactTime = 1;
    Ponder = 0;
    dialogAnswer = (root_ / "g.txt").string();
    static size_t shownDuringSearch = 99;
    QTimer::singleShot(100, [] {
      pMainFrame->OnCmdMsg(kCmdLoadGame);
      shownDuringSearch = dialogsShown;
    });
    Think(kThinkPlayNoBook, 0);
    Check(shownDuringSearch == 0 && dialogsShown == 1, "the dialog waited for the search");
    Check(GameIs({"h2e2", "h9g7"}) && engineState == kEngineIdle, "loaded after the search");
    testing_support::CloseFrame();
  });
}

TEST_F(FileCommandsTest, FenCopyTakesTheShownPosition) {
  RUN_SCENARIO({
    StartProgram();
    static bool shift = false;
    asyncKeyStateHook = [](int key) { return shift && key == VK_SHIFT; };
    const struct {
      int command;
      bool shift;
      Texts moves;
      const char* fen;
    } cases[] = {
        {kCmdCopyFenPosition,
         false,
         {},
         "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR w"},
        {kCmdCopyCcFenPosition,
         false,
         {},
         "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR r"},
        {kCmdCopyFenPosition,
         false,
         {"h2e2"},
         "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RHEAKAEHR b"},
        {kCmdCopyCcFenPosition,
         true,
         {"h2e2"},
         "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/4C2C1/9/RNBAKABNR b"},
    };
    for (const auto& c : cases) {
      NewGameWith(c.moves);
      sideToMove ^= 1;  // a search looking at the other side
      shift = c.shift;
      pMainFrame->OnCmdMsg(c.command);
      sideToMove ^= 1;
      Check(QApplication::clipboard()->text() == c.fen, c.fen);
    }
    asyncKeyStateHook = nullptr;
    testing_support::CloseFrame();
  });
}

TEST_F(FileCommandsTest, FenPasteSetsOnlyPlayablePositions) {
  RUN_SCENARIO({
    StartProgram();
    const struct {
      const char* fen;
      bool playable;
      const char* shown = nullptr;  // the position as written back, when not fen
    } cases[] = {
        {"4k4/9/9/9/9/9/9/9/4A4/3K1R3 b", true},
        {"rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RHEAKAEHR b", true},
        {"rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RHEAKAEHR w", true},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR r", true,
         "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RHEAKAEHR w"},
        {"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1", true,
         "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RHEAKAEHR b"},
        // Malformed boards: each would set up some other position.
        {"3k6/9/9/9/9/9/9/9/9/4K4 w", false},     // ten squares on a rank
        {"3k4/9/9/9/9/9/9/9/9/4K4 w", false},     // eight squares on a rank
        {"3k5/9/9/9/9/9/9/9/4K4 w", false},       // nine ranks
        {"3k5/9/9/9/9/9/9/9/9/4K4/9 w", false},   // eleven ranks
        {"3k5/9/9/9/9/9/9/9/9/4K4", false},       // no side to move
        {"3k5/9/9/9/9/9/9/9/9/4K4 x", false},     // an unknown side letter
        {"3k5/9/9/9/9/9/9/9/9/4K4 white", false}, // a side word
        {"3k5/9/9/9/9/9/9/9/9/4X4 w", false},     // not a piece letter
        {"3k5/9/9/9/9/9/9/9/9/4K0 w", false},     // a zero
        {"9/9/9/9/9/9/9/9/9/4K4 w", false},     // no black king
        {"4k4/9/9/9/9/9/9/9/9/R3K4 w", false},  // kings facing
        {"3k5/9/9/9/9/9/9/9/9/3RK4 w", false},  // the side not to move in check
        {"3k5/9/9/9/9/9/9/9/9/K8 w", false},    // a king outside its palace
        {"not a position", false},
        {"", false},
    };
    for (const auto& c : cases) {
      NewGameWith(kGame);
      int8_t shownBefore[kBoardSize];
      std::memcpy(shownBefore, displayBoard, sizeof shownBefore);
      messages.clear();
      QApplication::clipboard()->setText(c.fen);
      pMainFrame->OnCmdMsg(kCmdPasteFenPosition);
      char shown[kFenBufferSize];
      WriteFen(displayBoard, shown, 1, 0, 1);
      const std::string written = c.shown != nullptr ? c.shown : c.fen;
      const uint32_t side = !written.empty() && written.back() == 'b' ? 1 : 0;
      if (c.playable) {
        Check(messages.empty() && gameLength == 0 && std::string(shown) == written &&
                  shownSideToMove == side && startSideToMove == side && ValidateBoard() == 1 &&
                  std::memcmp(board, displayBoard, sizeof board) == 0,
              c.fen);
      } else {
        Check(messages.size() == 1 && GameIs(kGame) &&
                  std::memcmp(shownBefore, displayBoard, sizeof shownBefore) == 0,
              c.fen);
      }
    }
    // An adviser, elephant or pawn where it can never stand is refused too.
    for (const testing_support::PlacementCase& c : testing_support::PlacementCases()) {
      NewGameWith(kGame);
      messages.clear();
      QApplication::clipboard()->setText(QString::fromStdString(c.fen));
      pMainFrame->OnCmdMsg(kCmdPasteFenPosition);
      char shown[kFenBufferSize];
      WriteFen(displayBoard, shown, 0, 0, 0);
      const std::string side = shownSideToMove == kRed ? " w" : " b";
      if (c.sound)
        Check(messages.empty() && gameLength == 0 && shown + side == c.fen, c.what.c_str());
      else
        Check(messages.size() == 1 && GameIs(kGame), c.what.c_str());
    }
    // Refused while the engine analyses or looks for a mate (pondering, a
    // think on its own move and set-up mode: deferred_commands_test).
    QApplication::clipboard()->setText(cases[0].fen);
    for (int32_t state : {kEngineAnalysing, kEngineMateSearch}) {
      engineState = kEngineIdle;
      NewGameWith(kGame);
      engineState = state;
      CCmdUI paste(kCmdPasteFenPosition);
      pMainFrame->OnUpdateCmdUI(paste);
      pMainFrame->OnCmdMsg(kCmdPasteFenPosition);
      Check(!paste.IsEnabled() && GameIs(kGame) && stopRequested == 0, "paste refused");
    }
    engineState = kEngineIdle;
    testing_support::CloseFrame();
  });
}

TEST_F(FileCommandsTest, AFailingAutosaveIsToldOnce) {
  RUN_SCENARIO({
    StartProgram();
    Play(kGame);
    const fs::path autosave = fs::path(installDirectory) / "CurrentGameV1.vgf";
    fs::remove(autosave);
    fs::create_directories(autosave);  // a folder in the autosave's place
    for (int i = 0; i < 3; ++i) AutoSaveCurrentGame();
    Check(messages.size() == 1 && messages[0].contains("could not be saved automatically"),
          "told once");
    fs::remove(autosave);
    AutoSaveCurrentGame();
    Check(messages.size() == 1 && fs::exists(fs::path(installDirectory) / "CurrentGameV1.vgf"),
          "a later autosave works");
    testing_support::CloseFrame();
  });
}

}  // namespace
