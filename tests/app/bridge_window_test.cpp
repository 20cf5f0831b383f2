// The engine's bridge while the program's windows exist: sounds, the log
// window, messages, the busy cursor and commands run from the message pump.
#include "app/bridge_window.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "app/main_frame.h"
#include "engine/bridge.h"
#include "engine/search/engine_state.h"
#include "platform/menu.h"
#include "platform/sound.h"
#include "platform/text_codec.h"
#include "res/text_rows.h"
#include "tests/support/offscreen_app.h"
#include "windows/logs_dlg.h"
#include "windows/side_windows.h"

namespace fs = std::filesystem;

namespace {

std::vector<int> played;

class BridgeWindowTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    char pattern[] = "/tmp/vorelk-bridge-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = new fs::path(pattern);
    setenv("XDG_CONFIG_HOME", (*root_ / "config").c_str(), 1);
    app_ = testing_support::OffscreenApplication();
  }
  static void TearDownTestSuite() {
    fs::remove_all(*root_);
    delete root_;
  }
  void SetUp() override {
    InstallWindowBridge();
    played.clear();
    soundPlayHook = [](int id) {
      played.push_back(id);
      return true;
    };
    soundEnabled = 1;
    currentLanguage = kLanguageEnglish;
  }
  void TearDown() override {
    if (logsDlg != nullptr) logsDlg->close();
    delete pMainFrame;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    RemoveWindowBridge();
    soundPlayHook = nullptr;
    soundEnabled = 0;
  }

  static fs::path* root_;
  static QApplication* app_;
};

fs::path* BridgeWindowTest::root_ = nullptr;
QApplication* BridgeWindowTest::app_ = nullptr;

QString LogText() {
  if (logsDlg == nullptr) return {};
  QWidget* edit = logsDlg->GetDlgItem(1064);
  if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) return plain->toPlainText();
  if (auto* rich = qobject_cast<QTextEdit*>(edit)) return rich->toPlainText();
  return {};
}

TEST_F(BridgeWindowTest, SoundsOfTheEngineEvents) {
  NotifyEngineEvent(kEventCheckSound);
  AnimateEngineMove(1, 0x33, 0x34);  // no frame, no animation: the sound still plays
  EXPECT_EQ(played, (std::vector<int>{kSoundCheck, kSoundMove}));
  soundEnabled = 0;
  NotifyEngineEvent(kEventCheckSound);
  AnimateEngineMove(1, 0x33, 0x34);
  EXPECT_EQ(played.size(), 2u) << "no sound while sounds are off";
}

TEST_F(BridgeWindowTest, AnimationOffStillPlaysTheMoveSound) {
  new CMainFrame();
  soundEnabled = 1;  // the frame read the stored setting (off)
  pMainFrame->animationSpeed = 0;
  AnimateEngineMove(8, 0x33, 0x43);
  EXPECT_EQ(played, (std::vector<int>{kSoundMove}));
}

TEST_F(BridgeWindowTest, FrameEventsWithoutAFrameDoNothing) {
  ASSERT_EQ(pMainFrame, nullptr);
  for (int code : {1, 6, 7, 8, 9, 10, 0, 99}) NotifyEngineEvent(code);
  EXPECT_TRUE(played.empty());
  EXPECT_EQ(ShowMessage("text"), 0);
  RedrawBoardIfNoPieceHeld();
  SetBusyCursor(1);
  EXPECT_EQ(cursorId, IDC_WAIT);
  SetBusyCursor(0);
  EXPECT_EQ(cursorId, IDC_ARROW);
}

TEST_F(BridgeWindowTest, TheBusyCursorShowsOverTheFrame) {
  new CMainFrame();
  SetBusyCursor(1);
  EXPECT_EQ(pMainFrame->cursor().shape(), Qt::WaitCursor);
  SetBusyCursor(0);
  EXPECT_EQ(pMainFrame->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(BridgeWindowTest, TheCurrentDirectoryFitsItsBufferOrIsEmpty) {
  char path[4096];
  GetCurrentDir(path, sizeof path);
  EXPECT_EQ(std::string(path), fs::current_path().string());
  char tiny[2] = {'x', 'x'};
  GetCurrentDir(tiny, sizeof tiny);
  EXPECT_EQ(tiny[0], '\0');
}

TEST_F(BridgeWindowTest, LogLinesWithoutALogWindowAreDropped) {
  ASSERT_EQ(logsDlg, nullptr);
  AppendLogLine("dropped");
  EXPECT_EQ(logsDlg, nullptr);
}

TEST_F(BridgeWindowTest, LogLinesGoToTheLogWindowWhichEmptiesPastItsLimit) {
  CLogsDlg::CreateAndShow(nullptr);
  ASSERT_NE(logsDlg, nullptr);
  AppendLogLine("first line");
  AppendLogLine("second line");
  EXPECT_TRUE(LogText().contains("first line\nsecond line"));
  // A window holding 5001 lines starts again with the new line.
  QStringList lines;
  for (int i = 0; i < 5001; ++i) lines << QStringLiteral("filler %1").arg(i);
  QWidget* edit = logsDlg->GetDlgItem(1064);
  if (auto* plain = qobject_cast<QPlainTextEdit*>(edit)) plain->setPlainText(lines.join('\n'));
  if (auto* rich = qobject_cast<QTextEdit*>(edit)) rich->setPlainText(lines.join('\n'));
  ASSERT_TRUE(LogText().contains("filler 5000"));
  AppendLogLine("the new line");
  EXPECT_FALSE(LogText().contains("filler"));
  EXPECT_TRUE(LogText().contains("the new line"));
}

TEST_F(BridgeWindowTest, LostOnTimePlaysItsSoundAndShowsTheLanguagesText) {
  new CMainFrame();
  soundEnabled = 1;
  currentLanguage = kLanguageFrench;
  static QString shown;
  testing_support::AnswerWhenShown<QMessageBox>([](QMessageBox* box) {
    shown = box->text() + "|" + box->windowTitle();
    box->accept();
  });
  ReportLostOnTime(1);
  EXPECT_EQ(played, (std::vector<int>{kSoundLostOnTime}));
  EXPECT_EQ(shown, DecodeLanguageText(kTextBlackHasLost.text[kLanguageFrench], kLanguageFrench) +
                       "|Vorelk");
}

TEST_F(BridgeWindowTest, ThePumpRunsCommandsPostedFromTheMenus) {
  new CMainFrame();
  engineState = 0;
  stopRequested = 0;
  // "Stop thinking !" chosen in the menu while a search runs: it waits in
  // the queue until the search's next poll pumps the messages.
  PostCommand(pMainFrame, pMainFrame, kCmdStopThinking);
  EXPECT_EQ(stopRequested, 0);
  PumpMessages();
  EXPECT_EQ(stopRequested, 1);
}

// The menus' direct items that have handlers and are enabled on a new game
// with the engine idle; every other item is greyed (no handler yet, or not
// usable at the start of a game).
const std::set<int> kEnabledAtStart = {
    kCmdExit,           kCmdStopThinking,       kCmdAbout,  kCmdNewGame,   kCmdGameList,
    kCmdLoadGame,       kCmdSaveGame,           kCmdPonder, kCmdHint,      kCmdPlayCurrentPosition,
    kCmdNoComputerMode, kCmdShowComputingMoves, kCmdClock,  kCmdMiniClock, kCmdGameStatus,
    kCmdPrintMoveList,  kCmdPrintGraphicalMoveList,
    kCmdComments,       kCmdSaveOnEachMove,     kCmdBlackIronPawn, kCmdRedIronPawn,
    kCmdVerticalSymmetry, kCmdHorizontalSymmetry, kCmdPiecesStyle, kCmdBoardStyle,
    kCmdGameToolbar,    kCmdDesignToolbar};

TEST_F(BridgeWindowTest, CommandsWithoutHandlersAreGreyedInTheFramesMenus) {
  new CMainFrame();
  QMenuBar* bar = pMainFrame->menuBar();
  ASSERT_NE(bar, nullptr);
  int enabled = 0;
  int greyed = 0;
  for (QAction* top : bar->actions()) {
    ASSERT_NE(top->menu(), nullptr);
    UpdateMenuItems(top->menu(), pMainFrame);
    for (QAction* item : top->menu()->actions()) {
      const int id = ActionCommandId(item);
      if (id == 0) continue;
      CCmdUI ui(id);
      pMainFrame->OnUpdateCmdUI(ui);
      EXPECT_EQ(item->isEnabled(), ui.IsEnabled()) << id;
      (item->isEnabled() ? enabled : greyed)++;
      EXPECT_EQ(item->isEnabled(), kEnabledAtStart.count(id) == 1) << id;
    }
  }
  EXPECT_EQ(enabled, static_cast<int>(kEnabledAtStart.size()));
  EXPECT_GT(greyed, 0);
}

}  // namespace
