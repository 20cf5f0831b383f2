// The real program started with hostile files under Xvfb: a command-line
// game file that cannot be read, a damaged autosave, window placements
// far larger than the screen, and huge tables, files and a folder outside
// the data folder in the settings. The test answers the message box the program
// shows with Return (xdotool), leaves through File > Exit, and then reads
// the autosaved game (with the gamefile tool) and the settings file.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "engine/position/position.h"
#include "game/binary_files.h"
#include "game/game_loader.h"
#include "platform/placement.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "tests/support/file_bytes.h"
#include "tests/support/run_tool.h"
#include "tests/support/test_position.h"
#include "tests/support/address_limit.h"
#include "tests/support/x_display.h"
#include "tests/support/x_program.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::kAnswerTime;
using testing_support::FindWindow;
using testing_support::RunCommand;
using testing_support::WindowInfo;
using testing_support::Xdotool;
using testing_support::WaitUntil;

namespace {

constexpr const char* kTitle = testing_support::kProgramTitle;
constexpr const char* kMessageBoxTitle = "Vorelk";
using Bytes = testing_support::FileBytes;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

std::string MovesOf(const fs::path& path) { return testing_support::GameFileMoves(path.string()); }

class HostileStartE2eTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (RunCommand("command -v Xvfb && command -v xwininfo && command -v xdotool").exitCode != 0) {
      return;
    }
    display_ = testing_support::StartXvfbSession("/tmp/vorelk-hostile-XXXXXX", root_, server_);
  }

  static void TearDownTestSuite() {
    testing_support::Stop(server_);
    if (!root_.empty()) fs::remove_all(root_);
  }

  void SetUp() override {
    ASSERT_FALSE(display_.empty()) << "Xvfb, xwininfo and xdotool are needed "
                                      "(Debian xvfb, x11-utils and xdotool)";
    fs::remove_all(root_ / "config");
    fs::remove_all(root_ / "data");
    fs::create_directories(Autosave().parent_path());
    // English, so that the main window opens at once; no side window.
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    store.WriteInt("Options", "Language", 1);
    for (const char* window : {"ClockWindow", "GameListWindow"}) store.WriteInt("Options", window, 0);
  }

  static fs::path Autosave() { return root_ / "data" / "Vorelk" / "CurrentGameV1.vgf"; }

  // Writes the game of these moves from the standard start as a binary
  // file (version 7, as the autosave).
  static void WriteGame(const fs::path& path, std::initializer_list<const char*> moves) {
    testing_support::InitEngine();
    LoadedGame game;
    for (const char* m : moves) game.moves.push_back({testing_support::MoveFromText(m)});
    GameHeader header = emptyGameHeader;
    ASSERT_EQ(CommitLoadedGame(game, header, 0), 1);
    ASSERT_EQ(SaveBinaryGame(path.c_str(), kBinaryVersionEgf, header), 0);
  }

  // Starts the program with `args`, answers the message box with Return
  // when one is expected, and leaves through File > Exit. Failures are
  // reported with what the program said.
  // `prefix` runs the program through another command (e.g. prlimit).
  static void RunAndExit(const std::vector<std::string>& args, bool message,
                         const std::vector<std::string>& prefix = {}) {
    std::vector<std::string> command = prefix;
    command.push_back(VORELK_PROGRAM);
    command.insert(command.end(), args.begin(), args.end());
    const std::string log = (root_ / "vorelk.log").string();
    pid_t pid = testing_support::Spawn(command, log);
    ASSERT_GT(pid, 0);
    struct Guard {
      pid_t& pid;
      ~Guard() { testing_support::Stop(pid); }
    } guard{pid};
    const auto said = [&] { return RunCommand("cat '" + log + "'").output; };
    WindowInfo box, frame;
    if (message) {
      ASSERT_TRUE(WaitUntil([&] { return FindWindow(display_, kMessageBoxTitle, box); }, kAnswerTime))
          << "no message box; the program said:\n" << said();
      const std::string id = std::to_string(box.id);
      ASSERT_TRUE(WaitUntil(
          [&] {
            Xdotool(display_, "windowfocus --sync " + id + " key Return");
            return !FindWindow(display_, kMessageBoxTitle, box);
          },
          kAnswerTime))
          << "the message box stayed";
    }
    ASSERT_TRUE(WaitUntil([&] { return FindWindow(display_, kTitle, frame); }, kAnswerTime))
        << "no main window (a message box left unanswered?); the program said:\n" << said();
    // File > Exit: the first title of the menu bar opens its menu; Up wraps
    // to its last item, Exit. A click or keys that a slow program missed, or
    // a menu that a second click closed as it opened, are given again.
    const std::string file = std::to_string(frame.x + 15) + " " + std::to_string(frame.y + 10);
    int status = 0;
    const auto exited = [&] { return waitpid(pid, &status, WNOHANG) == pid; };
    bool menuOpened = false;
    ASSERT_TRUE(WaitUntil(
        [&] {
          if (exited()) return true;
          if (!testing_support::MenuShown(display_)) {
            Xdotool(display_, "mousemove " + file + " click 1");
            WaitUntil([&] { return testing_support::MenuShown(display_); }, 3s);
            return false;
          }
          menuOpened = true;
          Xdotool(display_, "key Up Return");
          return WaitUntil(exited, 3s);
        },
        kAnswerTime))
        << (menuOpened ? "the program did not exit after File > Exit"
                       : "the File menu did not open");
    pid = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "exit status " << status << "; the program said:\n" << said();
  }

  static fs::path root_;
  static std::string display_;
  static pid_t server_;
};

fs::path HostileStartE2eTest::root_;
std::string HostileStartE2eTest::display_;
pid_t HostileStartE2eTest::server_ = -1;

TEST_F(HostileStartE2eTest, ACommandLineFileThatCannotBeReadLeavesTheAutosavedGame) {
  fs::create_directories(root_ / "folder.egf");
  WriteFileBytes(root_ / "random.egf", Bytes{'\x07', '\x91', '\x33', '\x00', '\xfe', '\x12', '\x40'});
  WriteFileBytes(root_ / "huge.pgn", Bytes(5u << 20, ' '));
  const char* const files[] = {"missing.egf", "folder.egf", "random.egf", "huge.pgn"};
  for (const char* name : files) {
    SCOPED_TRACE(name);
    WriteGame(Autosave(), {"h2e2", "h9g7", "h0g2"});
    RunAndExit({(root_ / name).string()}, true);
    EXPECT_EQ(MovesOf(Autosave()), "h2e2 h9g7 h0g2 ");
  }
  // A file read in part is the game, with its moves read.
  WriteFileBytes(root_ / "part.txt", Bytes{'b', '2', 'e', '2', '\n', '?', '\n'});
  RunAndExit({(root_ / "part.txt").string()}, true);
  EXPECT_EQ(MovesOf(Autosave()), "b2e2 ");
}

TEST_F(HostileStartE2eTest, ADamagedAutosaveKeepsItsMovesAndIsKeptBeside) {
  WriteGame(Autosave(), {"h2e2", "h9g7", "h0g2"});
  const Bytes whole = ReadFileBytes(Autosave());
  Bytes flipped = whole;
  for (size_t i = 0; i < 10; ++i) flipped[40 + 31 * i] = static_cast<char>(~flipped[40 + 31 * i]);
  const struct {
    const char* name;
    Bytes bytes;
    const char* saved;  // the exit autosave
  } cases[] = {
      {"last byte cut", Bytes(whole.begin(), whole.end() - 1), "h2e2 h9g7 h0g2 "},
      {"ten bytes flipped", flipped, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const fs::path kept = Autosave().string() + ".damaged";
    fs::remove(kept);
    WriteFileBytes(Autosave(), c.bytes);
    RunAndExit({}, true);
    EXPECT_EQ(MovesOf(Autosave()), c.saved);
    EXPECT_EQ(ReadFileBytes(kept), c.bytes) << "the damaged file is kept beside the autosave";
  }
}

TEST_F(HostileStartE2eTest, PlacementsLargerThanTheScreenAreHeldToIt) {
  const char* const windows[][2] = {{"ClockWindow", "Clock"},        {"MiniClockWindow", "MiniClockWindow"},
                                    {"GameListWindow", "Liste"},     {"GameStatusWindow", "Game status"},
                                    {"CommentsWindow", "Comment"},   {nullptr, "MainWindow"}};
  {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    // The side windows, by turns far too wide and far too high, are held
    // to the screen and moved onto it in that direction only: they stay
    // below or right of the File menu, which stays free to be clicked.
    bool wide = true;
    for (const auto& w : windows) {
      if (w[0] != nullptr) store.WriteInt("Options", w[0], 1);
      const char* text = w[0] == nullptr ? "0,1,-1,-1,-1,-1,0,0,16000000,16000000"
                         : wide          ? "0,1,-1,-1,-1,-1,600,500,16000600,600"
                                         : "0,1,-1,-1,-1,-1,600,500,700,16000500";
      wide = !wide;
      store.WriteString(kPlacementSection, w[1], text);
    }
  }
  RunAndExit({}, false);
  CSettingsStore store(kSettingsNoRoot);
  OpenProgramSettings(store);
  for (const auto& w : windows) {
    SCOPED_TRACE(w[1]);
    std::string text;
    store.GetString(text, kPlacementSection, w[1], "");
    const auto placement = ParseWindowPlacement(text.c_str());
    ASSERT_TRUE(placement.has_value()) << text;
    const int64_t width = int64_t{placement->right} - placement->left;
    const int64_t height = int64_t{placement->bottom} - placement->top;
    EXPECT_TRUE(width > 0 && width <= 1024 && height > 0 && height <= 768) << text;
  }
}

// Under an address space limit of 3 GiB: a stored hash size of 64 GiB, an
// install directory leading out of the data folder, and 3 GiB learning and
// book files (sparse). The program starts, leaves cleanly, keeps the stored
// hash size (the user's choice; the table in force is held to the limit)
// and stores the data folder.
TEST_F(HostileStartE2eTest, HugeSizesFilesAndAnEscapingFolderAreHeldToTheLimits) {
  if (RunCommand("command -v prlimit").exitCode != 0) GTEST_SKIP() << "prlimit is needed";
  if (!testing_support::kAddressLimitUsable)
    GTEST_SKIP() << "an address space limit cannot hold a program built with AddressSanitizer";
  {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    store.WriteInt("Options", "HTSize", 65536);
    store.WriteString("Options", "InstallDirectory", "../escape");
  }
  const fs::path data = Autosave().parent_path();
  for (const char* name : {"V4QelPos1.bin", "USERVKBOOK"}) {
    const fs::path path = data / name;
    const Bytes head = name[0] == 'V' ? Bytes{3, 0, 0, 0}  // the version word
                                      : Bytes{'V', 'K', 'B', 'O', 'O', 'K', '0', '1'};
    WriteFileBytes(path, head);
    fs::resize_file(path, (uintmax_t{3} << 30) + 4);
  }
  const uint64_t limit = uint64_t{3} << 30;
  RunAndExit({}, false, {"prlimit", "--as=" + std::to_string(limit), "--"});
  CSettingsStore store(kSettingsNoRoot);
  OpenProgramSettings(store);
  EXPECT_EQ(store.GetInt("Options", "HTSize", -1), 65536);
  std::string folder;
  store.GetString(folder, "Options", "InstallDirectory", "");
  EXPECT_EQ(folder, data.string());
  EXPECT_FALSE(fs::exists(root_ / "data" / "escape"));
  EXPECT_EQ(fs::file_size(data / "V4QelPos1.bin"), (uintmax_t{3} << 30) + 4);
}

}  // namespace
