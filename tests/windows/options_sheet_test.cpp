// The options sheet: OK applies the opened pages in tab order, a refused
// value keeps the sheet on its page, Cancel changes nothing, the piece
// values reach the evaluation and the settings, the learning reset asks
// first.
#include "windows/options_sheet.h"

#include <QAbstractButton>
#include <QApplication>
#include <QSlider>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/data_paths.h"
#include "engine/search/learning.h"
#include "engine/search/memory_budget.h"
#include "engine/search/search.h"
#include "engine/search/tt.h"
#include "platform/message_box.h"
#include "tests/support/address_limit.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::Check;
using testing_support::StoredInt;

constexpr int kGeneral = 0, kOpening = 1, kLearning = 2, kPieces = 3, kEndgame = 4;

// Known engine values before each sheet run; the data files go to a
// scratch folder and learning stays off.
void SetKnownOptions() {
  testing_support::InitTestProcess();
  testing_support::OffscreenApplication();
  useLearning = 0;
  learnMoves = 0;
  SetHashSize(1);
  contemptRed = 3;
  contemptBlack = 4;
  middleKnowledge = 5;
  useSelection = 1;
  bookMode1 = 1;
  bookMode2 = 2;
  egDepth = 8;
  useEg = 1;
  for (int i = 0; i < 12; ++i) pieceValueTable[i] = 100 + i;
}

void Press(CDialog& page, int id) { qobject_cast<QAbstractButton*>(page.GetDlgItem(id))->click(); }

// Not yet ended: result() keeps the value set before PressOK.
constexpr int kStillOpen = -1;

std::string lastMessage;
int lastButtons = -1;
int answer = kAnswerOk;
int AnswerMessage(const QString& text, int buttons) {
  lastMessage = text.toStdString();
  lastButtons = buttons;
  return answer;
}

using OptionsSheetTest = testing_support::ScenarioTest;

// The edits of the general page and the pieces page are applied; the pages
// never opened (opening, learning, endgame) write nothing.
TEST_F(OptionsSheetTest, OkAppliesOnlyTheOpenedPages) {
  RUN_SCENARIO({
    SetKnownOptions();
    COptionsSheet sheet;
    sheet.SetActivePage(kGeneral);
    Check(sheet.generalPage.GetDlgItemText(kCtlGeneralHashSize) == "1", "hash shown as 1 MB");
    sheet.generalPage.SetDlgItemText(kCtlGeneralContemptRed, "-7abc");
    qobject_cast<QSlider*>(sheet.generalPage.GetDlgItem(kCtlGeneralKnowledge))->setValue(11);
    Check(sheet.generalPage.GetDlgItemText(kCtlGeneralKnowledgeLabel) == "Game knowledge \t1100",
          "the label follows the track bar");
    sheet.SetActivePage(kPieces);
    Check(sheet.piecesValuePage.GetDlgItemText(kCtlPiecesRed[0]) == QString::number(105 - 280),
          "chariot shown less its base");
    sheet.piecesValuePage.SetDlgItemText(kCtlPiecesRed[0], "0");
    sheet.piecesValuePage.SetDlgItemText(kCtlPiecesBlack[5], "20");
    sheet.setResult(kStillOpen);
    sheet.PressOK();
    Check(sheet.result() == IDOK, "the sheet closed with OK");
    Check(contemptRed == -7 && contemptBlack == 4, "contempt read as atoi");
    Check(middleKnowledge == 11 && useSelection == 1, "knowledge from the track bar");
    Check(hashTotalEntries == kMinHashEntries, "unchanged hash size keeps the table");
    Check(pieceValueTable[5] == 280 && pieceValueTable[6] == 20 && pieceValueTable[4] == 104,
          "piece values stored as entered plus base");
    Check(StoredInt("Pieces Value", "Red Chariot", 0) == 280 &&
              StoredInt("Pieces Value", "Black Pawn", 0) == 20 &&
              StoredInt("Pieces Value", "Black Chariot", 0) == 111,
          "all twelve values written to the settings");
    Check(bookMode1 == 1 && bookMode2 == 2 && egDepth == 8, "unopened pages write nothing");
  });
}

// A refusing page keeps the sheet open on it; the pages before it in tab
// order are applied, those after it are not.
TEST_F(OptionsSheetTest, ARefusedValueKeepsTheSheetOnItsPage) {
  struct Refusal {
    int page;
    int control;
    const char* text;
    const char* message;  // only a size above the memory or the settings says why
  };
  const Refusal kRefusals[] = {
      {kGeneral, kCtlGeneralHashSize, "0", ""},
      {kGeneral, kCtlGeneralHashSize, "-3", ""},
      {kGeneral, kCtlGeneralHashSize, "2000000000", "Hash table size too big"},
      {kGeneral, kCtlGeneralContemptRed, "-100001", ""},
      {kGeneral, kCtlGeneralContemptBlack, "2147483647", ""},
      {kLearning, kCtlLearningSize, "0", ""},
      {kLearning, kCtlLearningSize, "2000000000", "Learning tables size too big"},
      // More than the settings keep, though the memory may hold it.
      {kLearning, kCtlLearningSize, "4097", "Learning tables size too big"},
      {kEndgame, kCtlEndgameDepth, "256", ""},
      {kEndgame, kCtlEndgameDepth, "x", ""},
      {kPieces, kCtlPiecesRed[0], "2147483647", ""},
  };
  for (const Refusal& r : kRefusals) {
    const int page = r.page, control = r.control;
    const char* text = r.text;
    const std::string message = r.message;
    RUN_SCENARIO({
      SetKnownOptions();
      messageBoxHook = AnswerMessage;
      lastMessage.clear();
      COptionsSheet sheet;
      // Open every page; the general page edits its contempt, the endgame
      // page its check, so that each side of the refusal shows.
      for (int i = kGeneral; i <= kEndgame; ++i) sheet.SetActivePage(i);
      sheet.generalPage.SetDlgItemText(kCtlGeneralContemptRed, "9");
      sheet.endgamePage.CheckDlgButton(kCtlEndgameUse, 0);
      CDialog* refusing = sheet.GetPage(page);
      refusing->SetDlgItemText(control, text);
      sheet.setResult(kStillOpen);
      sheet.PressOK();
      Check(sheet.result() == kStillOpen, "the sheet stays open");
      Check(sheet.GetActiveIndex() == page, "on the refusing page");
      Check(refusing->GetDlgItemText(control) == text, "with the user's text in place");
      Check((contemptRed == 9) == (page > kGeneral), "pages before it applied");
      Check(useEg == 1, "the endgame page comes last and was not applied");
      Check(message.empty() ? lastMessage.find("too big") == std::string::npos
                            : lastMessage == message,
            "a size message only for a size beyond the memory or the settings");
      Check(hashTotalEntries == kMinHashEntries, "the refused hash size is not set");
    });
  }
}

// Under an address-space limit far below the physical memory, a hash size
// the process cannot give is refused with its reason instead of being cut
// without a word, and Default offers no more than the process can give.
TEST_F(OptionsSheetTest, AHashSizeBeyondWhatTheProcessMayUseIsRefused) {
  if (!testing_support::kAddressLimitUsable) GTEST_SKIP() << "no address limit under the sanitizer";
  RUN_SCENARIO({
    SetKnownOptions();
    messageBoxHook = AnswerMessage;
    Check(testing_support::LimitAddressSpace(uint64_t{1} << 30), "address space limited");
    const uint64_t limit = TableMemoryBudgetBeside(LearningTablesBytes()) >> 20;
    uint64_t physical = 0, available = 0;
    GetMemoryStatus(&physical, &available);
    Check(limit + 64 < (physical >> 20), "the limit is below the physical memory");
    COptionsSheet sheet;
    sheet.SetActivePage(kGeneral);
    const std::string tooBig = std::to_string(limit + 64);
    sheet.generalPage.SetDlgItemText(kCtlGeneralHashSize, tooBig.c_str());
    sheet.setResult(kStillOpen);
    sheet.PressOK();
    Check(sheet.result() == kStillOpen && lastMessage == "Hash table size too big",
          "refused with the reason");
    Check(hashTotalEntries == kMinHashEntries, "the table keeps its size");
    Press(sheet.generalPage, kCtlOptionsDefault);
    const int offered = sheet.generalPage.GetDlgItemInt(kCtlGeneralHashSize);
    Check(offered >= 1 && static_cast<uint64_t>(offered) <= limit, "Default fits the limit");
    lastMessage.clear();
    sheet.PressOK();
    Check(sheet.result() == IDOK && lastMessage.empty(), "Default is taken");
  });
}

// Cancel after editing every page leaves every value as it was.
TEST_F(OptionsSheetTest, CancelChangesNothing) {
  RUN_SCENARIO({
    SetKnownOptions();
    COptionsSheet sheet;
    for (int i = kGeneral; i <= kEndgame; ++i) sheet.SetActivePage(i);
    sheet.generalPage.SetDlgItemText(kCtlGeneralContemptBlack, "50");
    sheet.generalPage.SetDlgItemText(kCtlGeneralHashSize, "2");
    sheet.piecesValuePage.SetDlgItemText(kCtlPiecesRed[5], "999");
    sheet.openingPage.CheckDlgButton(kCtlBook1On, 0);
    sheet.endgamePage.SetDlgItemText(kCtlEndgameDepth, "20");
    sheet.PressCancel();
    Check(sheet.result() == IDCANCEL, "cancelled");
    Check(contemptBlack == 4 && hashTotalEntries == kMinHashEntries, "general page unchanged");
    Check(pieceValueTable[0] == 100 && StoredInt("Pieces Value", "Red Pawn", -1) == -1,
          "piece values neither set nor stored");
    Check(bookMode1 == 1 && egDepth == 8, "book and endgame unchanged");
  });
}

// The values reach the evaluation: a red chariot worth 100 more moves the
// start position's balance by two chariots.
TEST_F(OptionsSheetTest, PieceValuesReachTheEvaluation) {
  RUN_SCENARIO({
    testing_support::InitEngine();
    SetKnownOptions();
    for (int i = 0; i < 6; ++i) pieceValueTable[i] = pieceValueTable[i + 6];
    testing_support::SetUpFen(testing_support::kStartFen);
    const int32_t before = materialBalance;
    COptionsSheet sheet;
    sheet.SetActivePage(kPieces);
    const int shown = sheet.piecesValuePage.GetDlgItemInt(kCtlPiecesRed[0]);
    sheet.piecesValuePage.SetDlgItemInt(kCtlPiecesRed[0], shown + 100);
    sheet.PressOK();
    testing_support::SetUpFen(testing_support::kStartFen);
    Check(materialBalance - before == 200, "two red chariots 100 more each");
    // "Default" restores the standard values at once.
    COptionsSheet again;
    again.SetActivePage(kPieces);
    Press(again.piecesValuePage, kCtlOptionsDefault);
    Check(pieceValueTable[5] == 1280 && pieceValueTable[6] == 100, "default values set");
    Check(again.piecesValuePage.GetDlgItemText(kCtlPiecesRed[0]) == "1000" &&
              again.piecesValuePage.GetDlgItemText(kCtlPiecesBlack[3]) == "210",
          "default values shown less their bases");
  });
}

// A piece value (the entered number plus the row's base) beyond
// kMaxPieceValue either way is refused with the edit's range named and the
// sheet open on it; nothing is stored. The edge values are taken, and the
// evaluation adds them up without overflow.
TEST_F(OptionsSheetTest, PieceValuesBeyondWhatTheEvaluationAddsAreRefused) {
  struct Case {
    int row;  // 0 chariot .. 5 pawn
    bool red;
    const char* text;
    const char* refusal;  // nullptr: taken
  };
  const Case kCases[] = {
      {0, true, "2147483647", "between -50280 and 49720"},
      {0, false, "99999999999", "between -50280 and 49720"},
      {0, true, "49721", "between -50280 and 49720"},
      {3, false, "-50001", "between -49985 and 50015"},
      {5, true, "50001", "between -50000 and 50000"},
      {0, true, "49720", nullptr},
      {0, false, "-50280", nullptr},
  };
  for (const Case& c : kCases) {
    RUN_SCENARIO({
      testing_support::InitEngine();
      SetKnownOptions();
      messageBoxHook = AnswerMessage;
      COptionsSheet sheet;
      sheet.SetActivePage(kPieces);
      const int id = c.red ? kCtlPiecesRed[c.row] : kCtlPiecesBlack[c.row];
      sheet.piecesValuePage.SetDlgItemText(id, c.text);
      sheet.setResult(kStillOpen);
      sheet.PressOK();
      if (c.refusal != nullptr) {
        Check(sheet.result() == kStillOpen && sheet.GetActiveIndex() == kPieces,
              "the sheet stays open on the page");
        Check(lastMessage == std::string("Please enter an integer ") + c.refusal + ".",
              "the message names the edit's range");
        Check(sheet.piecesValuePage.focusWidget() == sheet.piecesValuePage.GetDlgItem(id),
              "on the refused edit");
        Check(pieceValueTable[5] == 105 && pieceValueTable[11] == 111,
              "no value stored while one is refused");
        Check(StoredInt("Pieces Value", "Red Chariot", -1) == -1, "nothing written");
        return;
      }
      Check(sheet.result() == IDOK, "the edge value is taken");
      const int32_t chariot = c.red ? pieceValueTable[5] : pieceValueTable[11];
      Check(chariot == (c.red ? kMaxPieceValue : -kMaxPieceValue), "stored as entered plus base");
      // Red's chariots at the most, or black's at the least: red is far
      // ahead at the start position, and no sum wrapped round.
      testing_support::SetUpFen(testing_support::kStartFen);
      Check(materialBalance > 2 * (kMaxPieceValue - 200), "red far ahead, no overflow");
    });
  }
}

// "Total amnesy" deletes the learning files only after the user agrees.
TEST_F(OptionsSheetTest, LearningRemovalAsksFirst) {
  RUN_SCENARIO({
    SetKnownOptions();
    const std::string folder = (root_ / "install").string();
    std::filesystem::create_directories(folder);
    std::strcpy(installDirectory, folder.c_str());
    SetLearningPaths(-1);
    const std::filesystem::path old = root_ / "install" / "V4QelPos.lrn";
    std::ofstream(old) << "old";
    messageBoxHook = AnswerMessage;
    COptionsSheet sheet;
    sheet.SetActivePage(kLearning);
    Check(sheet.learningPage.GetDlgItemText(kCtlLearningSize) == "3", "default size 3 MB");
    answer = kAnswerCancel;
    Press(sheet.learningPage, kCtlLearningAmnesy);
    Check(lastMessage == "Remove learning files ?", "asked first");
    Check((lastButtons & 0x0F) == kMessageBoxOkCancel, "with OK and Cancel");
    Check(std::filesystem::exists(old), "Cancel keeps the files");
    answer = kAnswerOk;
    Press(sheet.learningPage, kCtlLearningAmnesy);
    Check(!std::filesystem::exists(old), "OK deletes them");
    // The size edit follows the two checks.
    sheet.learningPage.CheckDlgButton(kCtlLearningUse, 0);
    Press(sheet.learningPage, kCtlLearningLearnMoves);
    const bool second = sheet.learningPage.IsDlgButtonChecked(kCtlLearningLearnMoves) != 0;
    Check(sheet.learningPage.GetDlgItem(kCtlLearningSize)->isEnabled() == second,
          "size enabled only while a check is set");
  });
}

// The opening page keeps the two books' radios apart; the endgame page
// shows "?" without a tablebase library.
TEST_F(OptionsSheetTest, BooksAndEndgamePages) {
  RUN_SCENARIO({
    SetKnownOptions();
    COptionsSheet sheet;
    sheet.SetActivePage(kOpening);
    COpeningBookPage& page = sheet.openingPage;
    Check(page.IsDlgButtonChecked(kCtlBook1Normal) && page.IsDlgButtonChecked(kCtlBook2Tournament),
          "each book shows its mode");
    Press(page, kCtlBook1Blitz);
    Check(page.IsDlgButtonChecked(kCtlBook2Tournament) && !page.IsDlgButtonChecked(kCtlBook1Normal),
          "book 1's radios leave book 2's alone");
    Press(page, kCtlBook2On);  // off
    Check(!page.GetDlgItem(kCtlBook2File)->isEnabled(), "book 2 controls disabled");
    sheet.SetActivePage(kEndgame);
    Check(sheet.endgamePage.GetDlgItemText(kCtlEndgameVersion) == "?", "no tablebase: ?");
    sheet.endgamePage.SetDlgItemText(kCtlEndgameDepth, "255");
    sheet.PressOK();
    Check(bookMode1 == 3 && bookMode2 == 0 && egDepth == 255, "modes and depth stored");
    // "Default" sets the modes at once, even when the sheet is cancelled.
    COptionsSheet again;
    again.SetActivePage(kOpening);
    Press(again.openingPage, kCtlOptionsDefault);
    again.PressCancel();
    Check(bookMode1 == 0 && bookMode2 == 1, "default modes kept after Cancel");
    Check(again.openingPage.GetDlgItemText(kCtlBook2File) == "VKBOOK", "default names shown");
  });
}

// The page's surface holds the piece pictures beside the edits.
TEST_F(OptionsSheetTest, PiecePicturesBesideTheEdits) {
  RUN_SCENARIO({
    SetKnownOptions();
    COptionsSheet sheet;
    sheet.SetActivePage(kPieces);
    const QImage& surface = sheet.piecesValuePage.Surface();
    const QRgb background = sheet.piecesValuePage.palette().color(QPalette::Window).rgb();
    for (int colour = 0; colour < 2; ++colour) {
      const QWidget* edit =
          sheet.piecesValuePage.GetDlgItem(colour == 0 ? kCtlPiecesRed[0] : kCtlPiecesBlack[0]);
      // The centre of the chariot picture, and a point right of the edits.
      const QPoint centre(edit->x() - 50 + 18, edit->y() + edit->height() / 2);
      Check(surface.pixel(centre) != background, "a picture beside the first edit");
      Check(surface.pixel(edit->x() + edit->width() + 10, edit->y()) == background,
            "background elsewhere");
    }
  });
}

}  // namespace
