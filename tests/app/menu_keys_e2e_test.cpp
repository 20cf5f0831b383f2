// The real program under Xvfb, without a window manager and under openbox:
// the board's keys must reach the board, H showing the hint (a piece slides
// to its square and back) and opening no menu, and Left taking back the
// last move, which the autosave of the game at the exit tells. Right after
// a start with a game named on the command line, whichever side windows
// open with the main window (it is the active window, its title bar lit,
// and has the keyboard's focus); and once a menu of the menu bar, opened
// from the keyboard (Alt+G), is left by Escape or by a click on the board
// and an empty square of the board is clicked. From the moment the main
// window has the keys at the start, no side window takes them.
#include <gtest/gtest.h>

#include <QImage>
#include <QRect>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "platform/settings_store.h"
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

// The side windows a start opens with the main window: the options that
// open them and their titles. The mini clock is a dialog, which a window
// manager gives the focus to when it maps it.
struct StartCase {
  const char* name;
  std::vector<const char*> options;
  std::vector<std::string> titles;
};

const StartCase kStartCases[] = {
    {"no side window", {}, {}},
    {"the mini clock alone", {"MiniClockWindow"}, {"Mini clock"}},
    {"the mini clock and the clock", {"MiniClockWindow", "ClockWindow"}, {"Mini clock", "Clock"}},
    {"all five side windows",
     {"CommentsWindow", "ClockWindow", "MiniClockWindow", "GameListWindow", "GameStatusWindow"},
     {"Comments", "Clock", "Mini clock", "Game list", "Game information"}},
};

class MenuKeysE2eTest : public testing_support::XvfbSuiteTest<MenuKeysE2eTest> {
 public:
  static constexpr const char* kSessionFolder = "/tmp/vorelk-menukeys-XXXXXX";

  static void TearDownTestSuite() {
    testing_support::Stop(windowManager_);
    XvfbSuiteTest::TearDownTestSuite();
  }

 protected:
  // English, the medium board without a coordinate band, no side window
  // but those of `sideWindows` (options), no arrows of the searched moves
  // and no pondering: the board changes only when a piece moves.
  static void WriteSettings(const std::vector<const char*>& sideWindows = {}) {
    WriteOptions({{"Language", 1},
                  {"Board size", 1},
                  {"Board coordinate", 0},
                  {"GameListWindow", 0},
                  {"ClockWindow", 0},
                  {"SpyComputing", 0},
                  {"Ponder", 0},
                  {"TC", 1},
                  {"thinkingTime", 1000}});
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    for (const char* option : sideWindows) store.WriteInt("Options", option, 1);
  }

  // Starts openbox, or stops it (it leaves its announcement on the root
  // window), unless that is done already.
  static void UseWindowManager(bool managed) {
    if (!managed) {
      testing_support::Stop(windowManager_);
      windowManager_ = -1;
    } else if (windowManager_ <= 0) {
      windowManager_ = testing_support::StartOpenbox((root_ / "openbox.log").string());
      ASSERT_GT(windowManager_, 0) << "openbox did not take the screen (Debian openbox)";
    }
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

// Starts the program with `game` and waits until the windows of `titles`
// are shown with it.
void StartWithGame(XProgramRun& run, const std::string& game, const std::string& log,
                   const std::vector<std::string>& titles) {
  ASSERT_TRUE(run.Start({VORELK_PROGRAM, game}, log)) << "the program's window never came";
  std::vector<std::string> shown;
  ASSERT_TRUE(WaitUntil(
      [&] {
        shown = testing_support::ShownWindowTitles(run.Display());
        return std::all_of(titles.begin(), titles.end(), [&](const std::string& title) {
          return std::find(shown.begin(), shown.end(), title) != shown.end();
        });
      },
      kAnswerTime))
      << "not every side window came";
}

// The board area of the main window's picture once it has settled.
void SettledBoard(const XProgramRun& run, QImage& board) {
  const MediumBoardWindow& m = run.Main();
  QImage last;
  const QImage loaded = WaitForSettledPicture(
      m.w, [](const QImage&) { return true; }, kAnswerTime, last);
  ASSERT_FALSE(loaded.isNull()) << "the window's picture never settled";
  board = BoardArea(loaded, m);
}

// H shows the hint and Left takes back black's move, each reaching the
// board and opening no menu; then the program is closed, and the autosave
// holds the game shown after the take-back.
void HintAndTakeBack(XProgramRun& run, const QImage& board, const fs::path& autosave) {
  const MediumBoardWindow& m = run.Main();
  QImage last;
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
  ASSERT_TRUE(testing_support::RequestWindowClose(run.Display(), m.w.id));
  int status = 0;
  ASSERT_TRUE(run.WaitForExit(status, kAnswerTime)) << "the program did not end at the close";
  EXPECT_EQ(AutosavedShownPly(autosave), 1) << "Left did not take back the last move";
}

// One run of the program: the menu opened and left as `leave` says, the
// board clicked, H and then Left.
void PlayKeysAfterMenu(const std::string& display, const LeaveCase& leave, const std::string& game,
                       const std::string& log, const fs::path& autosave) {
  SCOPED_TRACE(leave.name);
  XProgramRun run(display);
  StartWithGame(run, game, log, {});
  QImage board;
  if (!::testing::Test::HasFatalFailure()) SettledBoard(run, board);
  if (::testing::Test::HasFatalFailure()) return;

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
  HintAndTakeBack(run, board, autosave);
}

// The title of window `id` on the display, for failure messages.
std::string TitleOf(const std::string& display, unsigned long id) {
  if (id <= 1) return id == 1 ? "the window under the pointer" : "no window";
  std::string title = testing_support::RunCommand("DISPLAY=" + display + " xdotool getwindowname " +
                                                  std::to_string(id) + " 2>/dev/null")
                          .output;
  return title.substr(0, title.find('\n'));
}

// One start with the side windows of `start` and a game: with nothing
// touched, the main window is the active one and has the keys, which reach
// the board; once it has them, they never go to a side window as those
// come (keys typed then would be lost, an Escape would close the mini
// clock). The pointer stays off every window: without a window manager
// keys would otherwise go to the window under it.
void PlayKeysAtStart(const std::string& display, const StartCase& start, bool managed,
                     const std::string& game, const std::string& log, const fs::path& autosave) {
  SCOPED_TRACE(start.name);
  XProgramRun run(display);
  ASSERT_TRUE(run.Xdo("mousemove 1023 767"));
  testing_support::FocusWatch watch(display);
  StartWithGame(run, game, log, start.titles);
  if (::testing::Test::HasFatalFailure()) return;
  const unsigned long main = run.Main().w.id;
  const auto focus = [&] { return testing_support::InputFocus(display); };
  const auto active = [&] { return testing_support::ActiveWindow(display); };
  ASSERT_TRUE(
      WaitUntil([&] { return focus() == main && (!managed || active() == main); }, kAnswerTime))
      << "the keys go to " << TitleOf(display, focus()) << "; the active window is "
      << TitleOf(display, active());
  const std::vector<unsigned long> hadKeys = watch.Stop();
  const auto first = std::find(hadKeys.begin(), hadKeys.end(), main);
  for (auto it = first; it != hadKeys.end(); ++it) {
    EXPECT_EQ(*it, main) << "the keys went from the main window to " << TitleOf(display, *it)
                         << " as the side windows came";
  }
  QImage board;
  SettledBoard(run, board);
  if (::testing::Test::HasFatalFailure()) return;
  HintAndTakeBack(run, board, autosave);
}

// Without a window manager first, then under openbox.
TEST_F(MenuKeysE2eTest, KeysReachTheBoardOnceAMenuIsLeft) {
  for (const bool managed : {false, true}) {
    SCOPED_TRACE(managed ? "under openbox" : "without a window manager");
    UseWindowManager(managed);
    if (HasFatalFailure()) return;
    for (const LeaveCase& leave : kLeaveCases) {
      WriteSettings();
      PlayKeysAfterMenu(display_, leave, TwoMoveGame(), (root_ / "vorelk.log").string(),
                        Autosave());
      if (HasFatalFailure()) return;
    }
  }
}

// Under openbox first, then without a window manager (after one has gone,
// as a user may run the program): a start with a game and
// the side windows of each row, then H and Left with nothing else touched.
TEST_F(MenuKeysE2eTest, KeysReachTheBoardAtTheStartWhateverSideWindowsOpen) {
  for (const bool managed : {true, false}) {
    SCOPED_TRACE(managed ? "under openbox" : "without a window manager");
    UseWindowManager(managed);
    if (HasFatalFailure()) return;
    for (const StartCase& start : kStartCases) {
      WriteSettings(start.options);
      PlayKeysAtStart(display_, start, managed, TwoMoveGame(), (root_ / "vorelk.log").string(),
                      Autosave());
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
