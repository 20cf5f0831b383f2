// The frame's properties command runs the options sheet modally, except in
// set-up mode.
#include <QApplication>
#include <QTimer>

#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/search/engine_state.h"
#include "res/menus.h"
#include "tests/support/app_scenario.h"
#include "tests/support/offscreen_app.h"
#include "windows/options_sheet.h"

namespace {

using testing_support::Check;
using OptionsCommandTest = testing_support::ScenarioTest;

// Command 40116 runs the sheet; it is greyed in set-up mode.
TEST_F(OptionsCommandTest, ThePropertiesCommandRunsTheSheet) {
  RUN_SCENARIO({
    testing_support::OffscreenApplication();
    testing_support::OpenStore()->WriteInt("Options", "Language", 1);
    theApp.InitInstance();
    static bool shown = false;
    QTimer::singleShot(0, [] {
      auto* sheet = dynamic_cast<COptionsSheet*>(QApplication::activeModalWidget());
      shown = sheet != nullptr && sheet->GetActiveIndex() == 0;
      if (sheet != nullptr) sheet->PressCancel();
    });
    pMainFrame->OnCmdMsg(kCmdProperties);
    Check(shown, "the sheet ran on its first page");
    CCmdUI ui(kCmdProperties);
    pMainFrame->OnUpdateCmdUI(ui);
    Check(ui.IsEnabled(), "enabled outside set-up mode");
    pMainFrame->setupMode = 1;
    CCmdUI greyed(kCmdProperties);
    pMainFrame->OnUpdateCmdUI(greyed);
    Check(!greyed.IsEnabled(), "greyed in set-up mode");
    pMainFrame->setupMode = 0;
    // Under a search the sheet could free the tables the search uses: during
    // an analysis the command is greyed and does nothing (a ponder and a
    // think on the engine's own move are stopped for it:
    // deferred_commands_test).
    engineState = kEngineAnalysing;
    CCmdUI busy(kCmdProperties);
    pMainFrame->OnUpdateCmdUI(busy);
    Check(!busy.IsEnabled(), "greyed while the engine analyses");
    shown = false;
    pMainFrame->OnCmdMsg(kCmdProperties);
    Check(!shown, "no sheet under a search");
    engineState = kEngineIdle;
    testing_support::CloseFrame();
  });
}

}  // namespace
