// Start-up and closing of the program, each scenario in a process of its
// own (a fresh QApplication and fresh program state) with the test's own
// configuration and data folders.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>

#include <QAbstractButton>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <string>

#include "app/bridge_window.h"
#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/search/books.h"
#include "engine/search/data_paths.h"
#include "engine/search/engine_state.h"
#include "engine/search/learning.h"
#include "engine/search/memory_budget.h"
#include "engine/search/tt.h"
#include "platform/dialog.h"
#include "platform/keyboard.h"
#include "platform/menu.h"
#include "platform/settings_store.h"
#include "res/text_rows.h"
#include "tests/support/address_limit.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "windows/language_dlg.h"

namespace fs = std::filesystem;

namespace {

using testing_support::Check;
using testing_support::CloseFrame;
using testing_support::OpenStore;
using testing_support::StoredInt;
using testing_support::StoredString;

// The child's application object, created once per child.
QApplication* StartQt() { return testing_support::OffscreenApplication(); }

// What the chooser saw and did.
struct ChooserScript {
  bool shown = false;
  std::function<void(CDialog*)> answer;
};

// Answers the language chooser as soon as it is the active modal window.
void ScriptChooser(ChooserScript* script) {
  auto* timer = new QTimer();
  QObject::connect(timer, &QTimer::timeout, [timer, script] {
    auto* dialog = dynamic_cast<CLanguageDlg*>(QApplication::activeModalWidget());
    if (dialog == nullptr) return;
    script->shown = true;
    timer->stop();
    timer->deleteLater();
    script->answer(dialog);
  });
  timer->start(10);
}

void PressKey(QWidget* widget, int key) {
  QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
  QApplication::sendEvent(widget, &press);
}

void ClickControl(CDialog* dialog, int id) {
  auto* button = qobject_cast<QAbstractButton*>(dialog->GetDlgItem(id));
  Check(button != nullptr, "the chooser has the button");
  if (button != nullptr) button->click();
}

// The titles of the menu bar's menus.
QStringList MenuTitles() {
  QStringList titles;
  if (pMainFrame == nullptr || pMainFrame->menuBar() == nullptr) return titles;
  for (QAction* action : pMainFrame->menuBar()->actions()) titles << action->text();
  return titles;
}

using StartupTest = testing_support::ScenarioTest;

TEST_F(StartupTest, FirstStartAsksForTheLanguageAndEscapeGivesEnglish) {
  RUN_SCENARIO({
    StartQt();
    ChooserScript script;
    script.answer = [](CDialog* dialog) { PressKey(dialog, Qt::Key_Escape); };
    ScriptChooser(&script);
    Check(theApp.InitInstance(), "start-up succeeds");
    Check(script.shown, "the chooser was shown");
    Check(currentLanguage == kLanguageEnglish, "Escape gives English, not Spanish");
    Check(pMainFrame != nullptr && pMainFrame->isVisible(), "the frame is shown");
    Check(pMainFrame->LanguageMenu().GetResourceId() == kMenuEnglish, "English menu bar");
    Check(pMainFrame->windowTitle() == "Vorelk Freeware 2.5.0", "frame title");
    // The install directory is the per-user folder, stored and created.
    const std::string expected = std::string(getenv("XDG_DATA_HOME")) + "/Vorelk";
    Check(StoredString("Options", "InstallDirectory") == expected, "InstallDirectory stored");
    Check(std::strcmp(installDirectory, expected.c_str()) == 0, "installDirectory set");
    Check(fs::is_directory(expected), "install directory exists");
    Check(std::strcmp(bookFile1, "USERVKBOOK") == 0 && std::strcmp(bookFile2, "VKBOOK") == 0,
          "default book names");
    CloseFrame();
    Check(pMainFrame == nullptr, "the frame is gone after closing");
    Check(StoredInt("Options", "Language", -1) == kLanguageEnglish, "the choice is stored");
  });
}

TEST_F(StartupTest, EachChooserButtonGivesItsLanguageAndItsMenuBar) {
  struct Case {
    int control;
    int language;
    int menu;
  };
  const Case cases[] = {{1020, kLanguageFrench, kMenuFrench},
                        {1021, kLanguageEnglish, kMenuEnglish},
                        {1022, kLanguageSpanish, kMenuSpanish},
                        {1024, kLanguageGerman, kMenuGerman},
                        {1023, kLanguageSimplifiedChinese, kMenuSimplifiedChinese}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.control);
    fs::remove_all(root_ / "config");  // a first start each time
    RUN_SCENARIO({
      StartQt();
      ChooserScript script;
      script.answer = [&c](CDialog* dialog) { ClickControl(dialog, c.control); };
      ScriptChooser(&script);
      theApp.InitInstance();
      Check(script.shown, "the chooser was shown");
      Check(currentLanguage == c.language, "the button's language");
      Check(pMainFrame->LanguageMenu().GetResourceId() == c.menu, "the language's menu bar");
      Check(MenuTitles().size() == 6, "six menus in the bar");
      CloseFrame();
      Check(StoredInt("Options", "Language", -1) == c.language, "the choice is stored");
    });
  }
}

TEST_F(StartupTest, EnterInTheChooserGivesEnglish) {
  RUN_SCENARIO({
    StartQt();
    ChooserScript script;
    script.answer = [](CDialog* dialog) { PressKey(dialog, Qt::Key_Return); };
    ScriptChooser(&script);
    theApp.InitInstance();
    Check(script.shown, "the chooser was shown");
    Check(currentLanguage == kLanguageEnglish, "Enter gives English");
  });
}

TEST_F(StartupTest, AStoredLanguageSkipsTheChooser) {
  RUN_SCENARIO({
    StartQt();
    { auto store = OpenStore();
      store->WriteInt("Options", "Language", kLanguageGerman); }
    ChooserScript script;
    script.answer = [](CDialog* dialog) { PressKey(dialog, Qt::Key_Escape); };
    ScriptChooser(&script);
    theApp.InitInstance();
    Check(!script.shown, "no chooser");
    Check(currentLanguage == kLanguageGerman, "the stored language");
    Check(pMainFrame->LanguageMenu().GetResourceId() == kMenuGerman, "German menu bar");
  });
}

// A relative install directory is placed below the per-user data folder,
// whatever folder the program was started in, and the setting is kept.
TEST_F(StartupTest, ARelativeInstallDirectoryIsPlacedBelowTheDataFolder) {
  RUN_SCENARIO({
    StartQt();
    {
      auto store = OpenStore();
      store->WriteInt("Options", "Language", kLanguageEnglish);
      store->WriteString("Options", "InstallDirectory", "my games");
    }
    const fs::path start = fs::path(getenv("XDG_DATA_HOME")).parent_path() / "started here";
    fs::create_directories(start);
    fs::current_path(start);
    theApp.InitInstance();
    const std::string expected = std::string(getenv("XDG_DATA_HOME")) + "/Vorelk/my games";
    Check(std::strcmp(installDirectory, expected.c_str()) == 0, "below the data folder");
    Check(fs::is_directory(expected), "created there");
    Check(!fs::exists(start / "my games"), "nothing made in the start folder");
    CloseFrame();
    Check(StoredString("Options", "InstallDirectory") == "my games", "the setting is kept");
  });
}

// A relative install directory with a ".." component would lead out of the
// data folder: the data folder is used instead and stored at once.
TEST_F(StartupTest, AnInstallDirectoryLeadingOutOfTheDataFolderIsReplaced) {
  RUN_SCENARIO({
    StartQt();
    {
      auto store = OpenStore();
      store->WriteInt("Options", "Language", kLanguageEnglish);
      store->WriteString("Options", "InstallDirectory", "../../escape");
    }
    theApp.InitInstance();
    const std::string expected = std::string(getenv("XDG_DATA_HOME")) + "/Vorelk";
    Check(std::strcmp(installDirectory, expected.c_str()) == 0, "the data folder is used");
    Check(StoredString("Options", "InstallDirectory") == expected, "and stored at start");
    CloseFrame();
    Check(!fs::exists(fs::path(getenv("XDG_DATA_HOME")).parent_path() / "escape"),
          "nothing made above the data folder");
  });
}

// Stored table sizes beyond what the process may use (here: its address
// space limit less what the program needs besides them) are cut to it,
// together; the stored sizes stay the user's choice at start and exit.
TEST_F(StartupTest, StoredTableSizesAreCutToWhatTheProcessMayUse) {
  if (!testing_support::kAddressLimitUsable) GTEST_SKIP() << "no address limit under ASan";
  RUN_SCENARIO({
    StartQt();
    {
      auto store = OpenStore();
      store->WriteInt("Options", "Language", kLanguageEnglish);
      store->WriteInt("Options", "HTSize", 65536);
      store->WriteInt("Options", "LearningTSize", 4096);
    }
    Check(testing_support::LimitAddressSpace(uint64_t{2} << 30), "address space limited");
    rlimit limit = {};
    getrlimit(RLIMIT_AS, &limit);
    theApp.InitInstance();
    Check(HashSizeMegabytes() < 65536 && GetLearningTableSize(0) < 4096, "both sizes held");
    Check(StoredInt("Options", "HTSize", -1) == 65536 &&
              StoredInt("Options", "LearningTSize", -1) == 4096,
          "the stored sizes kept at start");
    Check(HashTablesBytes() + LearningTablesBytes() <=
              limit.rlim_cur - AddressSpaceBesideTables(ReadMemoryFigures()) + (1u << 20),
          "both tables within the limit less the rest of the program");
    Check(HashTablesBytes() + (1u << 20) >= ProcessTableMemoryBudget() / 2,
          "the large learning tables leave the hash table half of it");
    CloseFrame();
    Check(StoredInt("Options", "HTSize", -1) == 65536 &&
              StoredInt("Options", "LearningTSize", -1) == 4096,
          "and at exit");
  });
}

TEST_F(StartupTest, AnUnknownLanguageCodeAsksAgainInsteadOfIndexingPastTheRows) {
  for (int stored : {-3, 6, 42}) {
    SCOPED_TRACE(stored);
    fs::remove_all(root_ / "config");
    RUN_SCENARIO({
      StartQt();
      { auto store = OpenStore();
        store->WriteInt("Options", "Language", stored); }
      ChooserScript script;
      script.answer = [](CDialog* dialog) { ClickControl(dialog, 1022); };
      ScriptChooser(&script);
      theApp.InitInstance();
      Check(script.shown, "the chooser was shown");
      Check(currentLanguage == kLanguageSpanish, "the chosen language");
    });
  }
}

TEST_F(StartupTest, ShiftHeldResetsExactlyTheListedSettings) {
  RUN_SCENARIO({
    StartQt();
    {
      auto store = OpenStore();
      store->WriteInt("Options", "Language", kLanguageFrench);
      store->WriteString("Options", "Book1", "MINE");
      store->WriteString("Options", "Book2", "THEIRS");
      store->WriteInt("Options", "Book Mode 1", 3);
      store->WriteInt("Options", "Book Mode 2", 0);
      store->WriteInt("Options", "ClockWindow", 0);
      store->WriteInt("Options", "BarGraphWindow", 0);
      store->WriteInt("Options", "GameListWindow", 0);
      store->WriteInt("Options", "Sound", 1);
      store->WriteInt("Options", "Board type", 12);
      store->WriteString("Windows placement", "MainWindow", "0,1,-1,-1,-1,-1,200,150,700,700");
      for (const char* section : {"Vorelk Freeware 2.5", "Analyze", "Database", "Pieces Value",
                                  "Search"}) {
        store->WriteInt(section, "Something", 77);
      }
    }
    asyncKeyStateHook = [](int key) { return key == VK_SHIFT; };
    theApp.InitInstance();
    asyncKeyStateHook = nullptr;
    Check(std::strcmp(bookFile1, "USERVKBOOK") == 0, "Book1 back to its default");
    Check(std::strcmp(bookFile2, "VKBOOK") == 0, "Book2 back to its default");
    Check(StoredInt("Options", "Book Mode 1", -1) == 0, "Book Mode 1 reset");
    Check(StoredInt("Options", "Book Mode 2", -1) == 1, "Book Mode 2 reset");
    Check(StoredInt("Options", "ClockWindow", -1) == 1, "ClockWindow reset");
    Check(StoredInt("Options", "BarGraphWindow", -1) == 1, "BarGraphWindow reset");
    Check(StoredInt("Options", "GameListWindow", -1) == 1, "GameListWindow reset");
    Check(StoredInt("Options", "Sound", -1) == 1, "other options kept");
    Check(StoredInt("Options", "Board type", -1) == 12, "other options kept");
    Check(currentLanguage == kLanguageFrench, "the language is kept");
    Check(StoredString("Windows placement", "MainWindow") == "<missing>", "placements gone");
    for (const char* section : {"Vorelk Freeware 2.5", "Analyze", "Database", "Pieces Value",
                                "Search"}) {
      Check(StoredInt(section, "Something", -1) == -1, section);
    }
    // Without a stored placement the frame opens at the screen's corner.
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    Check(pMainFrame->frameGeometry().topLeft() == available.topLeft(), "frame at top-left");
  });
}

TEST_F(StartupTest, TheFramePlacementRoundTripsThroughTheSettings) {
  RUN_SCENARIO({
    StartQt();
    { auto store = OpenStore();
      store->WriteInt("Options", "Language", kLanguageEnglish); }
    theApp.InitInstance();
    pMainFrame->move(123, 145);
    CloseFrame();
    Check(StoredString("Windows placement", "MainWindow") != "<missing>", "placement stored");
  });
  RUN_SCENARIO({
    StartQt();
    theApp.InitInstance();
    Check(pMainFrame->frameGeometry().topLeft() == QPoint(123, 145), "placement restored");
  });
}

TEST_F(StartupTest, TheFrameIsAFixedSizeWindowThatFitsTheBoard) {
  RUN_SCENARIO({
    StartQt();
    { auto store = OpenStore();
      store->WriteInt("Options", "Language", kLanguageEnglish); }
    theApp.InitInstance();
    const int s = pMainFrame->squareSize;
    QWidget* client = pMainFrame->centralWidget();
    const CSize area = pMainFrame->BoardAreaSize();
    Check(area.cx >= 10 * s && area.cy >= 11 * s + pMainFrame->coordinateBand,
          "the board area holds 10 x 11 squares");
    Check(client->width() == area.cx, "client as wide as the board area");
    Check(client->height() == toolbarBandHeight + area.cy, "client band + the board area high");
    Check(pMainFrame->minimumSize() == pMainFrame->maximumSize(), "fixed size");
    Check(!(pMainFrame->windowFlags() & Qt::WindowMaximizeButtonHint), "no maximise box");
  });
}

TEST_F(StartupTest, ExitFromTheMenuEndsTheEventLoopCleanly) {
  RUN_SCENARIO({
    QApplication* app = StartQt();
    { auto store = OpenStore();
      store->WriteInt("Options", "Language", kLanguageEnglish); }
    theApp.InitInstance();
    // Choose File > Exit as the user does: the command is posted and runs
    // from the event loop.
    QTimer::singleShot(20, [] {
      for (QAction* top : pMainFrame->menuBar()->actions()) {
        if (top->menu() == nullptr) continue;
        for (QAction* item : top->menu()->actions()) {
          if (ActionCommandId(item) == kCmdExit) item->trigger();
        }
      }
    });
    // A watchdog ends a loop that failed to stop.
    QTimer::singleShot(5000, [] { QCoreApplication::exit(7); });
    const int code = app->exec();
    Check(code == 0, "the loop ended by the frame's closing");
    Check(pMainFrame == nullptr, "the frame was destroyed");
    Check(theApp.m_pMainWnd.isNull(), "the application's window pointer is clear");
    Check(StoredInt("Options", "Language", -1) == kLanguageEnglish, "settings written");
  });
}

TEST_F(StartupTest, StopThinkingRaisesTheStopFlagAndKeepsAnIdleEngineIdle) {
  RUN_SCENARIO({
    StartQt();
    { auto store = OpenStore();
      store->WriteInt("Options", "Language", kLanguageEnglish); }
    theApp.InitInstance();
    engineState = 0;
    stopRequested = 0;
    pMainFrame->OnCmdMsg(kCmdStopThinking);
    Check(stopRequested == 1 && engineState == 0, "idle engine");
    engineState = 6;
    pMainFrame->OnCmdMsg(kCmdStopThinking);
    Check(engineState == 6, "states 0..6 are kept");
    engineState = 9;
    pMainFrame->OnCmdMsg(kCmdStopThinking);
    Check(engineState == 0, "other states become 0");
  });
}

}  // namespace
