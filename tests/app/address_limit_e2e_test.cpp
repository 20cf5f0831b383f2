// The real program under address space limits (prlimit --as) with a stored
// hash size of 64 GiB and learning tables of 3 MiB, under Xvfb: from 512
// MiB up its window survives the options sheet (confirmed unchanged: the
// sizes it set itself are taken), the Open dialog and a move, it leaves
// through File > Exit with the game autosaved, and the stored sizes stay
// as the user chose them, at this start and the next; below what it needs
// at all it says so and stops.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <chrono>
#include <filesystem>
#include <string>

#include "platform/settings_store.h"
#include "tests/support/address_limit.h"
#include "tests/support/run_tool.h"
#include "tests/support/x_display.h"
#include "tests/support/x_program.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::RunCommand;
using testing_support::WaitUntil;
using testing_support::WindowInfo;
using testing_support::XProgramRun;

namespace {

constexpr uint64_t kMiB = uint64_t{1} << 20;

class AddressLimitE2eTest : public testing_support::XvfbSuiteTest<AddressLimitE2eTest> {
 public:
  static constexpr const char* kSessionFolder = "/tmp/vorelk-limit-XXXXXX";

 protected:
  void SetUp() override {
    XvfbSuiteTest::SetUp();
    if (HasFatalFailure()) return;
    if (RunCommand("command -v prlimit").exitCode != 0) GTEST_SKIP() << "prlimit is needed";
    if (!testing_support::kAddressLimitUsable)
      GTEST_SKIP() << "an address space limit cannot hold a program built with AddressSanitizer";
  }

  // Fresh settings and no saved game: English, the medium board, no side
  // window, moves by click and click, the book's answer for black, a
  // stored hash size of 64 GiB and learning tables of 3 MiB.
  static void WriteSettings() {
    fs::remove_all(root_ / "config");
    fs::remove_all(root_ / "data");
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    for (const auto& [key, value] : {std::pair<const char*, int>{"Language", 1},
                                     {"Board size", 1},
                                     {"GameListWindow", 0},
                                     {"ClockWindow", 0},
                                     {"SpyComputing", 0},
                                     {"Move selection", 0},
                                     {"Book Mode 1", 0},
                                     {"Ponder", 0},
                                     {"HTSize", 65536},
                                     {"LearningTSize", 3}}) {
      store.WriteInt("Options", key, value);
    }
  }

  static std::vector<std::string> Limited(uint64_t bytes) {
    return {"prlimit", "--as=" + std::to_string(bytes), "--", VORELK_PROGRAM};
  }
  static std::string LogPath() { return (root_ / "vorelk.log").string(); }
  static std::string ProgramLog() { return RunCommand("cat '" + LogPath() + "'").output; }
  static int StoredSize(const char* entry) {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    return store.GetInt("Options", entry, -1);
  }
};

// Opens the dialog titled `title` with `open` and closes it with `key`
// (Escape cancels, Return confirms: a refused value would keep it open).
::testing::AssertionResult OpenAndClose(const XProgramRun& run, const std::string& title,
                                        const std::function<bool()>& open, const char* key) {
  WindowInfo dialog;
  if (!open() || !run.WaitForWindow(title, dialog, 20s) || !run.WaitForFocus(dialog.id, 5s) ||
      !run.Xdo(std::string("key ") + key) || !run.WaitForWindowGone(title, 10s))
    return ::testing::AssertionFailure() << "the dialog \"" << title << "\" did not open and close";
  return ::testing::AssertionSuccess();
}

TEST_F(AddressLimitE2eTest, FromHalfAGibibyteUpTheWindowSurvivesItsDialogsAndAGame) {
  // Some limits twice: the second start reads what the first left.
  const std::pair<uint64_t, bool> starts[] = {{512, true},  {512, false},  {700, true},
                                              {1024, true}, {1024, false}, {1310, true}};
  for (const auto& [megabytes, fresh] : starts) {
    SCOPED_TRACE(std::to_string(megabytes) + " MiB" + (fresh ? "" : ", again"));
    // A new game each time: the move below is the first.
    fs::remove_all(root_ / "data");
    if (fresh) WriteSettings();
    const uint64_t limit = megabytes * kMiB;
    XProgramRun run(display_);
    ASSERT_TRUE(run.Start(Limited(limit), LogPath())) << "no window; the program said:\n"
                                                      << ProgramLog();
    const auto& m = run.Main();
    // The options sheet from the game toolbar's options button, the one
    // before the last of the first row.
    const QPoint options(m.w.width - 44, m.MenuBarHeight() + 15);
    EXPECT_TRUE(OpenAndClose(
        run, "Properties",
        [&] {
          return run.Xdo("mousemove " + testing_support::ScreenPoint(m.w, options) + " click 1");
        },
        "Return"));
    EXPECT_TRUE(OpenAndClose(
        run, "Open", [&] { return run.OpenMenu('f') && run.ChooseInMenu("l"); }, "Escape"));

    // A move by click and click, shown on the board.
    ASSERT_TRUE(run.FocusMain());
    const QImage before = testing_support::GrabWindow(m.w.id);
    ASSERT_TRUE(run.Xdo("mousemove " + run.Square("h2") + " click 1 mousemove " + run.Square("e2") +
                        " click 1"));
    QImage last;
    EXPECT_FALSE(testing_support::WaitForSettledPicture(
                     m.w, [&](const QImage& p) { return p != before; }, 20s, last)
                     .isNull())
        << "the move never showed";

    // File > Exit, and a clean end with the move autosaved.
    ASSERT_TRUE(run.OpenMenu('f') && run.ChooseInMenu("Up Return")) << "File > Exit failed";
    int status = 0;
    ASSERT_TRUE(run.WaitForExit(status, 30s)) << "the program did not end after File > Exit";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "exit status " << status << "; the program said:\n"
        << ProgramLog();
    EXPECT_EQ(testing_support::GameFileMoves((Autosave()).string()).substr(0, 5), "h2e2 ");
    // The sizes held to the limit are not written over the user's choice.
    EXPECT_EQ(StoredSize("HTSize"), 65536);
    EXPECT_EQ(StoredSize("LearningTSize"), 3);
  }
}

TEST_F(AddressLimitE2eTest, BelowWhatTheProgramNeedsItSaysSoAndStops) {
  WriteSettings();
  const std::string log = LogPath();
  pid_t pid = testing_support::Spawn(Limited(300 * kMiB), log);
  ASSERT_GT(pid, 0);
  WindowInfo box;
  ASSERT_TRUE(WaitUntil([&] { return testing_support::FindWindow(display_, "Vorelk", box); }, 20s))
      << "no message box; the program said:\n"
      << ProgramLog();
  WindowInfo frame;
  EXPECT_FALSE(testing_support::FindWindow(display_, testing_support::kProgramTitle, frame));
  const std::string id = std::to_string(box.id);
  int status = 0;
  const bool ended = WaitUntil(
      [&] {
        testing_support::Xdotool(display_, "windowfocus --sync " + id + " key Return");
        return WaitUntil([&] { return waitpid(pid, &status, WNOHANG) == pid; }, 1s);
      },
      20s);
  if (!ended) testing_support::Stop(pid);
  ASSERT_TRUE(ended) << "the program did not stop after its message";
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1) << "exit status " << status;
  EXPECT_EQ(StoredSize("HTSize"), 65536) << "nothing was sized";
  EXPECT_FALSE(fs::exists(Autosave())) << "no game was started";
}

}  // namespace
