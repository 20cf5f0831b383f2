// The real program under Xvfb, without a window manager and under openbox:
// a menu of the menu bar is opened from the keyboard (Alt+G) and left, by
// Escape or by a click on the board, an empty square of the board is
// clicked, and then the board's keys must reach the board: H shows the
// hint (a piece slides to its square and back) and opens no menu, and Left
// takes back the last move, which the autosave of the game at the exit
// tells.
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/run_tool.h"
#include "tests/support/x_display.h"
#include "tests/support/x_program.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::kAnswerTime;
using testing_support::MediumBoardWindow;
using testing_support::WaitForSettledPicture;
using testing_support::WaitUntil;
using testing_support::XProgramRun;

namespace {

// How the open menu is left before the board is clicked.
struct LeaveCase {
  const char* name;
  int escapes;        // Escape presses (the first closes the open menu)
  bool clickToLeave;  // then a click on the board leaves what is still open
};

const LeaveCase kLeaveCases[] = {
    {"Escape twice", 2, false},
    {"a click on the board", 0, true},
    {"Escape, then a click on the board", 1, true},
};

// An empty square in the middle of the board; a click there does nothing.
constexpr const char* kEmptySquare = "e5";

class MenuKeysE2eTest : public testing_support::XvfbSuiteTest<MenuKeysE2eTest> {
 public:
  static constexpr const char* kSessionFolder = "/tmp/vorelk-menukeys-XXXXXX";

  static void TearDownTestSuite() {
    testing_support::Stop(windowManager_);
    XvfbSuiteTest::TearDownTestSuite();
  }

 protected:
  // English, the medium board without a coordinate band, no side window,
  // no arrows of the searched moves and no pondering: the board changes
  // only when a piece moves.
  static void WriteSettings() {
    WriteOptions({{"Language", 1},
                  {"Board size", 1},
                  {"Board coordinate", 0},
                  {"GameListWindow", 0},
                  {"ClockWindow", 0},
                  {"SpyComputing", 0},
                  {"Ponder", 0},
                  {"TC", 1},
                  {"thinkingTime", 1000}});
  }

  // A game of two moves, red to move: the program opens it at its end.
  static std::string TwoMoveGame() {
    const fs::path file = root_ / "two-moves.txt";
    std::ofstream(file) << "h2e2\nh9g7\n";
    return file.string();
  }

  static inline pid_t windowManager_ = -1;
};

// The board area of the main window's picture (below the menu bar and the
// toolbars), where only the pieces change.
QImage BoardArea(const QImage& window, const MediumBoardWindow& m) {
  return window.copy(QRect(0, m.MenuBarHeight() + MediumBoardWindow::kToolbarBand, m.w.width,
                           11 * MediumBoardWindow::kSquare));
}

// The shown ply of the autosaved game ("shown N" of the gamefile tool), -1
// when it cannot be read.
int AutosavedShownPly(const fs::path& file) {
  const std::string printed =
      testing_support::RunTool("gamefile", "'" + file.string() + "'").output;
  const size_t at = printed.find("\nshown ");
  return at == std::string::npos ? -1 : std::atoi(printed.c_str() + at + 7);
}

// One run of the program: the menu opened and left as `leave` says, the
// board clicked, H and then Left.
void PlayKeysAfterMenu(const std::string& display, const LeaveCase& leave, const std::string& game,
                       const std::string& log, const fs::path& autosave) {
  SCOPED_TRACE(leave.name);
  XProgramRun run(display);
  ASSERT_TRUE(run.Start({VORELK_PROGRAM, game}, log)) << "the program's window never came";
  const MediumBoardWindow& m = run.Main();
  QImage last;
  const QImage loaded = WaitForSettledPicture(
      m.w, [](const QImage&) { return true; }, kAnswerTime, last);
  ASSERT_FALSE(loaded.isNull()) << "the window's picture never settled";
  const QImage board = BoardArea(loaded, m);

  ASSERT_TRUE(run.OpenMenu('g')) << "Alt+G opened no menu";
  for (int i = 0; i < leave.escapes; ++i) {
    ASSERT_TRUE(run.Xdo("key Escape"));
    if (i == 0) {
      ASSERT_TRUE(WaitUntil([&] { return !run.MenuShown(); }, kAnswerTime));
    }
  }
  const std::string empty = run.Square(kEmptySquare);
  if (leave.clickToLeave) {
    ASSERT_TRUE(run.Xdo("mousemove " + empty + " click 1"));
    ASSERT_TRUE(WaitUntil([&] { return !run.MenuShown(); }, kAnswerTime))
        << "the click on the board left the menu open";
  }
  ASSERT_TRUE(run.Xdo("mousemove " + empty + " click 1"));

  // H: the hint's piece leaves its square (or, wrongly, a menu opens).
  ASSERT_TRUE(run.Xdo("key h"));
  bool hinted = false;
  ASSERT_TRUE(WaitUntil(
      [&] {
        hinted = BoardArea(testing_support::GrabWindow(m.w.id), m) != board;
        return hinted || run.MenuShown();
      },
      kAnswerTime))
      << "H showed nothing";
  ASSERT_TRUE(hinted) << "H opened a menu instead of showing the hint";
  ASSERT_FALSE(run.MenuShown()) << "a menu opened with the hint";
  // The piece comes back: the position is the loaded one again.
  ASSERT_FALSE(
      WaitForSettledPicture(
          m.w, [&](const QImage& p) { return BoardArea(p, m) == board; }, kAnswerTime, last)
          .isNull())
      << "the hint's piece never came back";

  // Left takes back black's move.
  ASSERT_TRUE(run.Xdo("key Left"));
  ASSERT_FALSE(
      WaitForSettledPicture(
          m.w, [&](const QImage& p) { return BoardArea(p, m) != board; }, kAnswerTime, last)
          .isNull())
      << "Left took back no move";
  ASSERT_FALSE(run.MenuShown()) << "Left opened a menu";
  ASSERT_TRUE(testing_support::RequestWindowClose(display, m.w.id));
  int status = 0;
  ASSERT_TRUE(run.WaitForExit(status, kAnswerTime)) << "the program did not end at the close";
  EXPECT_EQ(AutosavedShownPly(autosave), 1) << "Left did not take back the last move";
}

// Without a window manager first, then under openbox, which the server
// keeps once it has started.
TEST_F(MenuKeysE2eTest, KeysReachTheBoardOnceAMenuIsLeft) {
  for (const bool managed : {false, true}) {
    SCOPED_TRACE(managed ? "under openbox" : "without a window manager");
    if (managed) {
      windowManager_ = testing_support::StartOpenbox((root_ / "openbox.log").string());
      ASSERT_GT(windowManager_, 0) << "openbox did not take the screen (Debian openbox)";
    }
    for (const LeaveCase& leave : kLeaveCases) {
      WriteSettings();
      PlayKeysAfterMenu(display_, leave, TwoMoveGame(), (root_ / "vorelk.log").string(),
                        Autosave());
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
