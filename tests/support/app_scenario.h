// Window tests that each run in a process of their own: a fresh
// QApplication and fresh program state, with the test's own configuration
// and data folders. A scenario counts its failed checks and its process
// exits 0 only when every check held.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <QCoreApplication>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

#include "app/chess_app.h"
#include "app/main_frame.h"
#include "engine/search/engine_state.h"
#include "platform/settings_store.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/test_position.h"

namespace testing_support {

inline int scenarioFailures = 0;

inline void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "check failed: %s\n", what);
    ++scenarioFailures;
  }
}

inline std::unique_ptr<CSettingsStore> OpenStore() {
  auto store = std::make_unique<CSettingsStore>(kSettingsNoRoot);
  OpenProgramSettings(*store);
  return store;
}

inline int32_t StoredInt(const char* section, const char* entry, int32_t fallback) {
  return OpenStore()->GetInt(section, entry, fallback);
}

inline std::string StoredString(const char* section, const char* entry) {
  std::string text;
  OpenStore()->GetString(text, section, entry, "<missing>");
  return text;
}

// Starts the program as a user does, with English already chosen.
inline void StartProgram(const std::string& commandTail = "") {
  OffscreenApplication();
  if (StoredInt("Options", "Language", -1) < 0) OpenStore()->WriteInt("Options", "Language", 1);
  theApp.m_lpCmdLine = commandTail;
  theApp.InitInstance();
}

// Plays the moves (coordinate texts) as the user's, after the shown ply.
inline void PlayUserMoves(std::initializer_list<const char*> moves) {
  for (const char* text : moves) {
    Check(MakeMoveAfterShownPly(MoveFromText(text)) != 0, text);
    RecordMadeMove();
    ShowGamePosition();
  }
}

// Starts the program in English with no game file named and a new game on
// the board (not the game an earlier scenario autosaved).
inline CMainFrame* StartProgramInEnglish() {
  OffscreenApplication();
  OpenStore()->WriteInt("Options", "Language", 1);
  StartProgram();
  pMainFrame->NewGame();
  return pMainFrame;
}

// Closes the frame as its close box does and lets Qt delete it.
inline void CloseFrame() {
  if (pMainFrame != nullptr) pMainFrame->close();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// A fixture giving every test its own XDG configuration and data folders.
class ScenarioTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vorelk-scenario-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    root_ = pattern;
    setenv("XDG_CONFIG_HOME", (root_ / "config").c_str(), 1);
    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
  }
  void TearDown() override { std::filesystem::remove_all(root_); }

  std::filesystem::path root_;
};

}  // namespace testing_support

// Runs `body` and ends the process: 0 when every check held.
[[noreturn]] inline void RunScenarioBody(const std::function<void()>& body) {
  testing_support::scenarioFailures = 0;
  body();
  std::fflush(stderr);
  std::_Exit(testing_support::scenarioFailures == 0 ? 0 : 1);
}

// Runs the body in a child process that exits 0 when every check held and
// names each failed check on its standard error otherwise.
#define RUN_SCENARIO(...) \
  EXPECT_EXIT(RunScenarioBody([&] { __VA_ARGS__; }), ::testing::ExitedWithCode(0), "")
