// The game option and view commands: what each changes and which items of
// its menu group carry the check mark afterwards; language cycling with the
// menu bar of each language and the side windows' whole titles; board size
// cycling; the toolbar band; the
// process priority and its refusal.
#include <linux/capability.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QMenuBar>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/board_view.h"
#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/position/position.h"
#include "engine/search/books.h"
#include "engine/search/engine_state.h"
#include "engine/search/new_game.h"
#include "game/notation.h"
#include "platform/message_box.h"
#include "platform/sound.h"
#include "platform/toolbar.h"
#include "res/menus.h"
#include "res/text_rows.h"
#include "res/toolbars.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"
#include "windows/comments_dlg.h"
#include "windows/digital_clock_wnd.h"
#include "windows/game_status_dlg.h"
#include "windows/mini_clock_dlg.h"
#include "windows/move_list_wnd.h"
#include "windows/side_windows.h"

using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::OpenStore;

namespace {

void StartProgram() {
  testing_support::OffscreenApplication();
  OpenStore()->WriteInt("Options", "Language", 1);
  theApp.InitInstance();
}

CMainFrame& F() { return *pMainFrame; }

CCmdUI StateOf(int command) {
  CCmdUI ui(command);
  pMainFrame->OnUpdateCmdUI(ui);
  return ui;
}

std::vector<int> CheckedAmong(const std::vector<int>& group) {
  std::vector<int> checked;
  for (int id : group)
    if (StateOf(id).IsChecked()) checked.push_back(id);
  return checked;
}

const std::vector<int> kHandicaps = {
    kCmdHandicapNone,          kCmdHandicap2Pawns,      kCmdHandicap1Knight,
    kCmdHandicap1Cannon,       kCmdHandicap2Knights,    kCmdHandicapCannonKnight,
    kCmdHandicapChariot,       kCmdHandicapChariotKnight, kCmdHandicapChariotCannon,
    kCmdHandicapChariotCannonKnight};
const std::vector<int> kIronPawns = {kCmdBlackIronPawn, kCmdRedIronPawn};
const std::vector<int> kSaveEachMove = {kCmdSaveOnEachMove};
const std::vector<int> kBooks = {kCmdBookNone, kCmdBookNormal, kCmdBookTournament};
const std::vector<int> kSizes = {kCmdBoardSizeSmall, kCmdBoardSizeMedium, kCmdBoardSizeBig};
const std::vector<int> kTurning = {kCmdVerticalSymmetry, kCmdHorizontalSymmetry};
const std::vector<int> kPieces = {kCmdPiecesBasic, kCmdPiecesOldPemmet, kCmdPiecesSepa,
                                  kCmdPiecesSimpleGraphics};
const std::vector<int> kStyles = {
    kCmdBoardGreen,     kCmdBoardBlue,      kCmdBoardGray,        kCmdBoardPink,
    kCmdBoardOakWood,   kCmdBoardDeepOcean, kCmdBoardGreeny,      kCmdBoardRosePaper,
    kCmdBoardTekWood,   kCmdBoardRedMarble, kCmdBoardMerisierWood, kCmdBoardSteel,
    kCmdBoardNervyWood, kCmdBoardGreenMarble, kCmdBoardGreenLeather};
const std::vector<int> kInput = {kCmdDragAndDrop, kCmdClickAndClick};
const std::vector<int> kAnimation = {kCmdAnimationNone, kCmdSlowAnimation, kCmdFastAnimation,
                                     kCmdUseTransparency};
const std::vector<int> kSounds = {kCmdSoundsNone, kCmdSoundCard};
// Notation and coordinates together: two coordinate items change both.
const std::vector<int> kNotationAndCoordinates = {
    kCmdNotationCoordinate0,   kCmdNotationCoordinate1,     kCmdNotationWxf,
    kCmdNotationAxf,           kCmdNotationCoordinateCxq,   kCmdNotationAxfChinese,
    kCmdNotationWxfChinese,    kCmdBoardCoordinates0,       kCmdBoardCoordinates1,
    kCmdBoardCoordinatesChinese, kCmdBoardCoordinatesNone, kCmdBoardCoordinatesCxq};
const std::vector<int> kLanguages = {
    kCmdLanguageFrench, kCmdLanguageEnglish, kCmdLanguageSpanish, kCmdLanguageGerman,
    kCmdLanguageSimplifiedChinese, kCmdLanguageTraditionalChinese, kCmdTranslateNamesToPinyin};
const std::vector<int> kToolbars = {kCmdGameToolbar, kCmdDesignToolbar};

void PlayCannonMove() {
  Check(MakeMoveAfterShownPly(testing_support::MoveFromText("b2e2")) != 0, "b2e2 is legal");
  RecordMadeMove();
  ShowGamePosition();
}

struct CommandCase {
  int command;
  void (*before)();  // null: nothing to prepare
  bool (*holds)();   // the state the command must leave
  const std::vector<int>* group;
  std::vector<int> checked;  // the items of the group checked afterwards
};

// Run in this order: each row starts from the state the rows above left.
const CommandCase kCases[] = {
    {kCmdHandicapChariot, nullptr, [] { return Handicap == 6 && pieceCount[0][5] == 1; },
     &kHandicaps, {kCmdHandicapChariot}},
    // The handicap already set still starts a new game.
    {kCmdHandicapChariot, PlayCannonMove, [] { return gameLength == 0 && pieceCount[0][5] == 1; },
     &kHandicaps, {kCmdHandicapChariot}},
    {kCmdHandicapChariotCannonKnight, nullptr,
     [] { return Handicap == 9 && pieceCount[0][5] == 1 && pieceCount[0][4] == 1 &&
                 pieceCount[0][3] == 1; },
     &kHandicaps, {kCmdHandicapChariotCannonKnight}},
    {kCmdHandicapNone, nullptr, [] { return Handicap == 0 && pieceCount[0][5] == 2; },
     &kHandicaps, {kCmdHandicapNone}},
    {kCmdBlackIronPawn, nullptr, [] { return blackIronPawn == 1 && redIronPawn == 0; },
     &kIronPawns, {kCmdBlackIronPawn}},
    {kCmdRedIronPawn, nullptr, [] { return redIronPawn == 1; }, &kIronPawns,
     {kCmdBlackIronPawn, kCmdRedIronPawn}},
    {kCmdBlackIronPawn, nullptr, [] { return blackIronPawn == 0; }, &kIronPawns,
     {kCmdRedIronPawn}},
    {kCmdSaveOnEachMove, nullptr, [] { return saveOnEachMove == 1; }, &kSaveEachMove,
     {kCmdSaveOnEachMove}},
    // Only the second book's mode changes.
    {kCmdBookTournament, [] { bookMode1 = 3; }, [] { return bookMode2 == 2 && bookMode1 == 3; },
     &kBooks, {kCmdBookTournament}},
    {kCmdBookNone, nullptr, [] { return bookMode2 == 0; }, &kBooks, {kCmdBookNone}},
    {kCmdBoardSizeBig, nullptr, [] { return F().boardSizeIndex == 2 && F().squareSize == 56; },
     &kSizes, {kCmdBoardSizeBig}},
    {kCmdChangeBoardSize, nullptr, [] { return F().boardSizeIndex == 0 && F().squareSize == 30; },
     &kSizes, {kCmdBoardSizeSmall}},
    {kCmdBoardSizeMedium, nullptr, [] { return F().squareSize == 38; }, &kSizes,
     {kCmdBoardSizeMedium}},
    {kCmdVerticalSymmetry, nullptr, [] { return F().rotation == 1 && F().mirror == 0; }, &kTurning,
     {kCmdVerticalSymmetry}},
    {kCmdHorizontalSymmetry, nullptr, [] { return F().mirror == 1; }, &kTurning,
     {kCmdVerticalSymmetry, kCmdHorizontalSymmetry}},
    {kCmdPiecesSepa, nullptr, [] { return F().pieceSet == 3; }, &kPieces, {kCmdPiecesSepa}},
    {kCmdPiecesStyle, nullptr, [] { return F().pieceSet == 4; }, &kPieces,
     {kCmdPiecesSimpleGraphics}},
    {kCmdPiecesStyle, nullptr, [] { return F().pieceSet == 1; }, &kPieces, {kCmdPiecesBasic}},
    {kCmdBoardPink, nullptr, [] { return F().boardStyle == 3; }, &kStyles, {kCmdBoardPink}},
    // Styles 4, 5 and 17..21 are reached only by cycling and check nothing.
    {kCmdBoardStyle, nullptr, [] { return F().boardStyle == 4; }, &kStyles, {}},
    {kCmdBoardStyle, [] { F().SetBoardStyle(16); }, [] { return F().boardStyle == 17; }, &kStyles,
     {}},
    {kCmdBoardStyle, [] { F().SetBoardStyle(21); }, [] { return F().boardStyle == 0; }, &kStyles,
     {kCmdBoardGreen}},
    {kCmdClickAndClick, [] { F().heldPiece = 5; F().sourceColumn = 3; F().targetColumn = 4; },
     [] { return F().inputMode == 0 && F().heldPiece == -1 && F().sourceColumn == -1 &&
                 F().targetColumn == -1; },
     &kInput, {kCmdClickAndClick}},
    {kCmdDragAndDrop, [] { F().ignoreButtonUp = 1; },
     [] { return F().inputMode == 1 && F().ignoreButtonUp == 0; }, &kInput, {kCmdDragAndDrop}},
    {kCmdSlowAnimation, nullptr, [] { return F().animationSpeed == 1; }, &kAnimation,
     {kCmdSlowAnimation, kCmdUseTransparency}},
    {kCmdUseTransparency, nullptr, [] { return F().alphaFactor == 255; }, &kAnimation,
     {kCmdSlowAnimation}},
    {kCmdAnimationNone, nullptr, [] { return F().animationSpeed == 0; }, &kAnimation,
     {kCmdAnimationNone}},
    {kCmdUseTransparency, nullptr, [] { return F().alphaFactor == 128; }, &kAnimation,
     {kCmdAnimationNone, kCmdUseTransparency}},
    {kCmdSoundCard, nullptr, [] { return soundEnabled == 1; }, &kSounds, {kCmdSoundCard}},
    {kCmdSoundsNone, nullptr, [] { return soundEnabled == 0; }, &kSounds, {kCmdSoundsNone}},
    {kCmdNotationWxfChinese, nullptr, [] { return notationKind == 6; }, &kNotationAndCoordinates,
     {kCmdNotationWxfChinese, kCmdBoardCoordinates0}},
    // The Chinese coordinates leave the notation and take a 20-pixel band.
    {kCmdBoardCoordinatesChinese, nullptr,
     [] { return F().coordinateKind == 2 && notationKind == 6 && F().coordinateBand == 20; },
     &kNotationAndCoordinates, {kCmdNotationWxfChinese, kCmdBoardCoordinatesChinese}},
    {kCmdBoardCoordinates1, nullptr,
     [] { return F().coordinateKind == 1 && notationKind == 1 && F().coordinateBand == 0; },
     &kNotationAndCoordinates, {kCmdNotationCoordinate1, kCmdBoardCoordinates1}},
    {kCmdBoardCoordinatesCxq, nullptr, [] { return F().coordinateKind == 4 && notationKind == 1; },
     &kNotationAndCoordinates, {kCmdNotationCoordinate1, kCmdBoardCoordinatesCxq}},
    {kCmdBoardCoordinates0, nullptr, [] { return notationKind == 0; }, &kNotationAndCoordinates,
     {kCmdNotationCoordinate0, kCmdBoardCoordinates0}},
    {kCmdTranslateNamesToPinyin, nullptr, [] { return translateNamesToPinyin == 0; }, &kLanguages,
     {kCmdLanguageEnglish}},
    {kCmdLanguageGerman, nullptr, [] { return currentLanguage == kLanguageGerman; }, &kLanguages,
     {kCmdLanguageGerman}},
    {kCmdGameToolbar, nullptr,
     [] { return toolbarBandHeight == 30 && F().DesignToolBar()->y() == 0; }, &kToolbars,
     {kCmdDesignToolbar}},
    {kCmdDesignToolbar, nullptr, [] { return toolbarBandHeight == 0; }, &kToolbars, {}},
    {kCmdGameToolbar, nullptr,
     [] { return toolbarBandHeight == 30 && F().GameToolBar()->y() == 0; }, &kToolbars,
     {kCmdGameToolbar}},
    {kCmdDesignToolbar, nullptr,
     [] { return toolbarBandHeight == 60 && F().DesignToolBar()->y() == 30; }, &kToolbars,
     {kCmdGameToolbar, kCmdDesignToolbar}},
};

using OptionViewCommandsTest = testing_support::ScenarioTest;

TEST_F(OptionViewCommandsTest, EachCommandSetsItsStateAndCheckMarks) {
  RUN_SCENARIO({
    StartProgram();
    Check(CheckedAmong({kCmdPriorityLow, kCmdPriorityNormal}) ==
              std::vector<int>{kCmdPriorityNormal},
          "normal priority at start");
    for (const CommandCase& c : kCases) {
      if (c.before != nullptr) c.before();
      pMainFrame->OnCmdMsg(c.command);
      if (!c.holds()) std::fprintf(stderr, "command %d\n", c.command);
      Check(c.holds(), "the command's state");
      if (CheckedAmong(*c.group) != c.checked) std::fprintf(stderr, "command %d\n", c.command);
      Check(CheckedAmong(*c.group) == c.checked, "the group's check marks");
    }
    // The handicap chosen while the engine thinks is checked at once; the
    // board waits for the deferred new game.
    engineState = kEngineThinking;
    pMainFrame->OnCmdMsg(kCmdHandicapChariot);
    Check(StateOf(kCmdHandicapChariot).IsChecked() && pieceCount[0][5] == 2 &&
              pendingRequest == kRequestNewGame,
          "the handicap waits for the search");
    // In engine state 4 the handicaps and save on each move are greyed; the
    // languages stay enabled.
    engineState = kEngineThinkingNoBook;
    Check(!StateOf(kCmdHandicapNone).IsEnabled() && !StateOf(kCmdSaveOnEachMove).IsEnabled(),
          "greyed in state 4");
    Check(StateOf(kCmdLanguageFrench).IsEnabled() && StateOf(kCmdChangeLanguages).IsEnabled(),
          "languages enabled while thinking");
    engineState = kEngineIdle;
    pendingRequest = 0;
    CloseFrame();
  });
}

// "Change languages" runs through the six languages and back, each with its
// own menu bar. The five side windows, opened in English at their default
// places, show their whole titles in each language: one narrower than its
// new title needs in the title bar grows (within its maximum width).
TEST_F(OptionViewCommandsTest, ChangeLanguagesCyclesThroughTheMenuBars) {
  RUN_SCENARIO({
    for (const char* window :
         {"CommentsWindow", "ClockWindow", "MiniClockWindow", "GameListWindow", "GameStatusWindow"})
      OpenStore()->WriteInt("Options", window, 1);
    StartProgram();
    QCoreApplication::processEvents();
    const std::vector<QWidget*> sideWindows = {commentsDlg, digitalClockWnd, miniClockDlg,
                                               moveListWnd, gameStatusDlg};
    for (QWidget* window : sideWindows) Check(window != nullptr && window->isVisible(), "open");
    const char* const kPreferences[kLanguageCount] = {"Préfére&nces", "&Preferences",
                                                      "Pre&ferencias", "&Einstellungen",
                                                      "选项(&P)", "選項(&P)"};
    pMainFrame->OnCmdMsg(kCmdLanguageTraditionalChinese);
    for (int step = 0; step <= kLanguageCount; ++step) {
      pMainFrame->OnCmdMsg(kCmdChangeLanguages);
      const int expected = step % kLanguageCount;
      Check(currentLanguage == expected, "the next language");
      const QList<QAction*> titles = pMainFrame->menuBar()->actions();
      Check(titles.size() == 6 && titles[3]->text() == QString::fromUtf8(kPreferences[expected]),
            "the menu bar of the language");
      QCoreApplication::processEvents();
      for (QWidget* window : sideWindows) {
        const QString title = window->windowTitle();
        const int needed = std::min(TitleBarMinimumWidth(title), window->maximumWidth());
        if (window->width() < needed)
          std::fprintf(stderr, "%s: %d wide, its title needs %d\n", qPrintable(title),
                       window->width(), needed);
        Check(window->width() >= needed, "the whole title of each side window");
      }
    }
    CloseFrame();
  });
}

// Counts the design toolbar's update passes (one query of its board size
// button each) and answers as the frame does.
class PassCounter : public CCmdTarget {
 public:
  bool OnCmdMsg(int id) override { return pMainFrame->OnCmdMsg(id); }
  void OnUpdateCmdUI(CCmdUI& ui) override {
    if (ui.GetId() == kCmdChangeBoardSize) ++passes;
    pMainFrame->OnUpdateCmdUI(ui);
  }
  int passes = 0;
};

// The three size items run a toolbar pass of their own after the layout;
// "Change board size" does not (its layout reloads the pieces, which runs
// one pass).
TEST_F(OptionViewCommandsTest, SizeItemsRunAToolbarPassTheCycleDoesNot) {
  RUN_SCENARIO({
    StartProgram();
    PassCounter counter;
    pMainFrame->DesignToolBar()->LoadToolBar(kToolbarDesign, &counter, pMainFrame);
    for (int size : {kCmdBoardSizeSmall, kCmdBoardSizeMedium, kCmdBoardSizeBig}) {
      counter.passes = 0;
      pMainFrame->OnCmdMsg(size);
      Check(counter.passes == 2, "a size item: the pieces' pass and its own");
    }
    counter.passes = 0;
    pMainFrame->OnCmdMsg(kCmdChangeBoardSize);
    Check(pMainFrame->boardSizeIndex == 0 && counter.passes == 1, "the cycle: Big to Small, one pass");
    CloseFrame();
  });
}

// Hiding both toolbars moves the board picture to the top of the client.
TEST_F(OptionViewCommandsTest, HidingBothToolbarsMovesTheBoardUp) {
  RUN_SCENARIO({
    StartProgram();
    CMainFrame* frame = pMainFrame;
    frame->BoardView()->PaintPending();
    const int s = frame->squareSize;
    const QImage before = frame->BoardView()->Surface().copy(0, toolbarBandHeight, 10 * s, 2 * s);
    Check(toolbarBandHeight == 60, "two rows at start");
    frame->OnCmdMsg(kCmdGameToolbar);
    frame->OnCmdMsg(kCmdDesignToolbar);
    frame->BoardView()->PaintPending();
    const QImage& shown = frame->BoardView()->Surface();
    Check(toolbarBandHeight == 0 && shown.height() == frame->BoardAreaSize().cy, "no band");
    Check(shown.copy(0, 0, 10 * s, 2 * s) == before, "the board's top rows at the top");
    CloseFrame();
  });
}

// Sets the effective capabilities without CAP_SYS_NICE and a nice limit of
// zero: the process may lower its priority but not raise it again.
void LoseTheRightToRaisePriority() {
  const rlimit none{0, 0};
  setrlimit(RLIMIT_NICE, &none);
  __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
  __user_cap_data_struct data[2] = {};
  if (syscall(SYS_capget, &header, data) != 0) return;
  data[0].effective &= ~(1u << CAP_SYS_NICE);
  syscall(SYS_capset, &header, data);
}

int messagesShown = 0;

TEST_F(OptionViewCommandsTest, PriorityLowersTheProcessAndTellsOnceWhenItCannotReturn) {
  RUN_SCENARIO({
    StartProgram();
    messageBoxHook = [](const QString&, int) {
      ++messagesShown;
      return static_cast<int>(kAnswerOk);
    };
    const int normalNice = getpriority(PRIO_PROCESS, 0);
    pMainFrame->OnCmdMsg(kCmdPriorityLow);
    Check(getpriority(PRIO_PROCESS, 0) > normalNice && pMainFrame->priorityLevel == -1 &&
              CheckedAmong({kCmdPriorityLow, kCmdPriorityNormal}) ==
                  std::vector<int>{kCmdPriorityLow},
          "low priority");
    LoseTheRightToRaisePriority();
    const bool canRaise = setpriority(PRIO_PROCESS, 0, normalNice) == 0;
    if (canRaise) setpriority(PRIO_PROCESS, 0, normalNice + 5);
    Check(!canRaise, "the test could take the right away");
    for (int attempt = 0; attempt < 2; ++attempt) {
      pMainFrame->OnCmdMsg(kCmdPriorityNormal);
      Check(getpriority(PRIO_PROCESS, 0) > normalNice && pMainFrame->priorityLevel == -1 &&
                StateOf(kCmdPriorityLow).IsChecked() && !StateOf(kCmdPriorityNormal).IsChecked(),
            "still low, and shown so");
    }
    Check(messagesShown == 1, "told once");
    CloseFrame();
  });
}

// With the right to raise it, "Normal" restores the priority silently.
TEST_F(OptionViewCommandsTest, PriorityNormalRestoresWhereAllowed) {
  if (geteuid() != 0) GTEST_SKIP() << "raising the priority again needs CAP_SYS_NICE";
  RUN_SCENARIO({
    StartProgram();
    messageBoxHook = [](const QString&, int) {
      ++messagesShown;
      return static_cast<int>(kAnswerOk);
    };
    const int normalNice = getpriority(PRIO_PROCESS, 0);
    pMainFrame->OnCmdMsg(kCmdPriorityLow);
    pMainFrame->OnCmdMsg(kCmdPriorityNormal);
    Check(getpriority(PRIO_PROCESS, 0) == normalNice && pMainFrame->priorityLevel == 0 &&
              StateOf(kCmdPriorityNormal).IsChecked() && messagesShown == 0,
          "normal again");
    CloseFrame();
  });
}

}  // namespace
