// The program started once for a benchmark of the window side: offscreen,
// with its own settings and data folders and English chosen, on a new game.
#pragma once

#include <stdlib.h>

#include <string>

#include "app/chess_app.h"
#include "app/main_frame.h"
#include "platform/settings_store.h"
#include "tests/support/offscreen_app.h"

inline CMainFrame* StartBenchProgram() {
  static CMainFrame* frame = [] {
    char pattern[] = "/tmp/vorelk-bench-XXXXXX";
    const std::string root = mkdtemp(pattern) != nullptr ? pattern : "/tmp";
    setenv("XDG_CONFIG_HOME", (root + "/config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root + "/data").c_str(), 1);
    testing_support::OffscreenApplication();
    {
      CSettingsStore store(kSettingsNoRoot);
      OpenProgramSettings(store);
      store.WriteInt("Options", "Language", 1);
    }
    theApp.InitInstance();
    return pMainFrame;
  }();
  return frame;
}
