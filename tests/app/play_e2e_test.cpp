// The real program played with the real mouse: build/vorelk runs under Xvfb
// on Qt's xcb platform, xdotool moves red's cannon h2 to e2 (by click and
// click, and by drag and drop), the engine answers, File > Exit closes the
// program through its menu, and the autosaved game must hold both moves.
//
// The test process itself is a Qt application on the same X server: it
// grabs the window's picture to see when the program has painted and when
// the engine has answered.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <regex>
#include <string>
#include <thread>

#include "platform/settings_store.h"
#include "tests/support/run_tool.h"
#include "tests/support/x_display.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::FindWindow;
using testing_support::MenuShown;
using testing_support::RunCommand;
using testing_support::RunTool;
using testing_support::WindowInfo;
using testing_support::Xdotool;

namespace {

constexpr const char* kTitle = "Vorelk Freeware 2.5.0";
// The medium board without a coordinate band: the client is the two
// toolbar rows and 11 squares; the menu bar takes the rest of the window.
constexpr int kSquare = 38;
constexpr int kToolbarBand = 60;
constexpr int kClientHeight = kToolbarBand + 11 * kSquare;
// Pictures of failed runs are kept with the window tests' grabs.
const fs::path kPictureFolder = fs::path(VORELK_SCREENSHOT).parent_path() / "window_screenshots";

// The centre of a square named in coordinate notation ("h2": files a..i
// from red's left, ranks 0..9 from red's back rank), in window pixels. In
// the unturned view file a is the leftmost column and rank 0 the lowest row.
QPoint SquareCentre(const WindowInfo& w, const char* name) {
  const int column = name[0] - 'a', row = name[1] - '0';
  const int boardLeft = (w.width - 10 * kSquare) / 2;  // centred under a wider menu bar
  const int boardTop = w.height - kClientHeight + kToolbarBand;
  return {boardLeft + kSquare / 2 + kSquare * column + kSquare / 2,
          boardTop + kSquare / 2 + kSquare * (9 - row) + kSquare / 2};
}

std::string ScreenPoint(const WindowInfo& w, QPoint p) {
  return std::to_string(w.x + p.x()) + " " + std::to_string(w.y + p.y());
}

// The pixels around the centre of square `na` in `a` (the middle of its
// piece, or the empty crossing) equal those around `nb` in `b`.
bool SamePatch(const QImage& a, const char* na, const QImage& b, const char* nb,
               const WindowInfo& w) {
  const QPoint ca = SquareCentre(w, na), cb = SquareCentre(w, nb);
  for (int dy = -6; dy <= 6; ++dy) {
    for (int dx = -6; dx <= 6; ++dx) {
      const QPoint pa = ca + QPoint(dx, dy), pb = cb + QPoint(dx, dy);
      if (!a.valid(pa) || !b.valid(pb) || a.pixel(pa) != b.pixel(pb)) return false;
    }
  }
  return true;
}

bool SameSquare(const QImage& a, const QImage& b, const WindowInfo& w, const char* name) {
  return SamePatch(a, name, b, name, w);
}

// Black's half of the board changed: ranks 5 to 9, every file.
bool BlackHalfChanged(const QImage& before, const QImage& now, const WindowInfo& w) {
  for (char file = 'a'; file <= 'i'; ++file) {
    for (char rank = '5'; rank <= '9'; ++rank) {
      const char name[3] = {file, rank, '\0'};
      if (!SameSquare(before, now, w, name)) return true;
    }
  }
  return false;
}

// Grabs the window every 50 ms until `done` holds for a grab that equals
// the one before it (the painting has settled), for at most `timeout`.
// Returns that grab, or a null picture (the last grab in `last`).
QImage WaitForPicture(const WindowInfo& w, const std::function<bool(const QImage&)>& done,
                      std::chrono::milliseconds timeout, QImage& last) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  QImage previous;
  while (std::chrono::steady_clock::now() < end) {
    const QImage picture = QGuiApplication::primaryScreen()->grabWindow(w.id).toImage();
    if (picture.size() == QSize(w.width, w.height) && picture == previous && done(picture)) {
      return picture;
    }
    previous = picture;
    last = picture;
    std::this_thread::sleep_for(50ms);
  }
  return {};
}

// One way of playing h2-e2 with the mouse.
struct PlayCase {
  const char* name;
  int moveSelection;  // 0 click and click, 1 drag and drop
  int bookMode;       // 0: no book, the engine searches its answer
  // xdotool's commands that carry the piece from `from` over `middle` to
  // `to` (screen positions "x y"), called as gesture(middle, from, to).
  std::function<std::string(const std::string&, const std::string&, const std::string&)> gesture;
};

// One Xvfb server for the process, with temporary XDG folders, and a Qt
// application of the test's own on it for the grabs.
class PlayE2eTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (RunCommand("command -v Xvfb && command -v xwininfo && command -v xdotool").exitCode != 0) {
      return;
    }
    fs::create_directories(kPictureFolder);
    display_ = testing_support::StartXvfbSession("/tmp/vorelk-e2e-XXXXXX", root_, server_);
    if (display_.empty()) return;
    static int argc = 1;
    static char name[] = "play_e2e_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }

  static void TearDownTestSuite() {
    app_.reset();
    testing_support::Stop(server_);
    if (!root_.empty()) fs::remove_all(root_);
  }

  void SetUp() override {
    ASSERT_FALSE(root_.empty()) << "Xvfb, xwininfo and xdotool are needed "
                                   "(Debian xvfb, x11-utils and xdotool)";
    ASSERT_NE(app_, nullptr) << "Xvfb did not start";
  }

  // Fresh settings and no saved game: English (so that the program opens
  // its main window at once), the medium board, a short engine time
  // without pondering, the case's input mode and book, and no side window
  // or thinking arrows, which would cover or change the board.
  static void WriteSettings(const PlayCase& c) {
    fs::remove_all(root_ / "config");
    fs::remove_all(root_ / "data");
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    store.WriteInt("Options", "Language", 1);
    store.WriteInt("Options", "Board size", 1);
    store.WriteInt("Options", "Board coordinate", 0);
    store.WriteInt("Options", "TC", 1);
    store.WriteInt("Options", "thinkingTime", 500);
    store.WriteInt("Options", "Ponder", 0);
    store.WriteInt("Options", "GameListWindow", 0);
    store.WriteInt("Options", "ClockWindow", 0);
    store.WriteInt("Options", "SpyComputing", 0);
    store.WriteInt("Options", "Move selection", c.moveSelection);
    store.WriteInt("Options", "Book Mode 1", 0);
    store.WriteInt("Options", "Book Mode 2", c.bookMode);
  }

  static std::string ProgramLog() { return RunCommand("cat '" + LogPath() + "'").output; }
  static std::string LogPath() { return (root_ / "vorelk.log").string(); }

  static void Keep(const QImage& picture, const std::string& name) {
    picture.save(QString::fromStdString((kPictureFolder / (name + ".png")).string()));
  }

  static fs::path root_;
  static std::string display_;
  static pid_t server_;
  static std::unique_ptr<QGuiApplication> app_;
};

fs::path PlayE2eTest::root_;
std::string PlayE2eTest::display_;
pid_t PlayE2eTest::server_ = -1;
std::unique_ptr<QGuiApplication> PlayE2eTest::app_;

// Stops the program when a step fails, and waits until its window has
// gone with its connection: the next start must not find this one.
struct ProgramGuard {
  pid_t pid;
  std::string display;
  ~ProgramGuard() {
    testing_support::Stop(pid);
    WindowInfo gone;
    for (int i = 0; i < 100 && FindWindow(display, kTitle, gone); ++i) {
      std::this_thread::sleep_for(20ms);
    }
  }
};

TEST_F(PlayE2eTest, AMouseMoveIsAnsweredAndBothMovesAreAutosavedOnFileExit) {
  const auto click = [](const std::string&, const std::string& from, const std::string& to) {
    return "mousemove " + from + " click 1 mousemove " + to + " click 1";
  };
  const auto drag = [](const std::string& middle, const std::string& from, const std::string& to) {
    return "mousemove " + from + " mousedown 1 mousemove " + middle + " mousemove " + to +
           " mouseup 1";
  };
  // With the book the answer comes at once; without it the engine searches
  // while the mouse's last events arrive.
  const PlayCase cases[] = {
      {"click_and_click_book", 0, 1, click},
      {"drag_and_drop_book", 1, 1, drag},
      {"click_and_click_search", 0, 0, click},
      {"drag_and_drop_search", 1, 0, drag},
  };
  for (const PlayCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSettings(c);
    ProgramGuard program{testing_support::Spawn({VORELK_PROGRAM}, LogPath()), display_};
    ASSERT_GT(program.pid, 0);
    WindowInfo w;
    bool found = false;
    for (int i = 0; i < 400 && !found; ++i) {
      found = FindWindow(display_, kTitle, w);
      if (!found) std::this_thread::sleep_for(25ms);
    }
    ASSERT_TRUE(found) << "no window titled \"" << kTitle << "\"; the program said:\n"
                       << ProgramLog();
    ASSERT_GT(w.height, kClientHeight) << "no room for a menu bar";

    // The start position has painted: the cannon on h2 stands out from the
    // empty e2.
    QImage last;
    const QImage before = WaitForPicture(
        w, [&](const QImage& p) { return !SamePatch(p, "h2", p, "e2", w); }, 10s, last);
    ASSERT_FALSE(before.isNull()) << "the window never painted";

    const std::string from = ScreenPoint(w, SquareCentre(w, "h2"));
    const std::string to = ScreenPoint(w, SquareCentre(w, "e2"));
    const std::string middle = ScreenPoint(w, SquareCentre(w, "g2"));
    ASSERT_TRUE(Xdotool(display_, c.gesture(middle, from, to)));

    // The user's move shows (h2 and e2 changed) and the engine's answer
    // (a black piece moved).
    const QImage answered = WaitForPicture(
        w,
        [&](const QImage& p) {
          return !SameSquare(before, p, w, "h2") && !SameSquare(before, p, w, "e2") &&
                 BlackHalfChanged(before, p, w);
        },
        15s, last);
    if (answered.isNull()) {
      Keep(last, std::string("play_e2e_") + c.name + "_no_answer");
      FAIL() << "no move and answer on the board; its last picture is in " << kPictureFolder;
    }

    // File > Exit: the title at the left of the menu bar opens its menu;
    // Up wraps to its last item, Exit.
    const int barHeight = w.height - kClientHeight;
    ASSERT_TRUE(Xdotool(display_, "mousemove " + ScreenPoint(w, {15, barHeight / 2}) + " click 1"));
    bool menuOpen = false;
    for (int i = 0; i < 200 && !menuOpen; ++i) {
      menuOpen = MenuShown(display_);
      if (!menuOpen) std::this_thread::sleep_for(25ms);
    }
    ASSERT_TRUE(menuOpen) << "the File menu did not open";
    ASSERT_TRUE(Xdotool(display_, "key Up Return"));

    int status = 0;
    bool exited = false;
    for (int i = 0; i < 400 && !exited; ++i) {
      exited = waitpid(program.pid, &status, WNOHANG) == program.pid;
      if (!exited) std::this_thread::sleep_for(25ms);
    }
    ASSERT_TRUE(exited) << "the program did not exit after File > Exit";
    program.pid = -1;
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "exit status " << status << "; the program said:\n"
        << ProgramLog();

    const fs::path autosave = root_ / "data" / "Vorelk" / "CurrentGameV1.vgf";
    const auto loaded = RunTool("gamefile", "'" + autosave.string() + "'");
    ASSERT_EQ(loaded.exitCode, 0) << "no autosaved game in " << autosave;
    EXPECT_NE(loaded.output.find("result 0\n"), std::string::npos) << loaded.output;
    EXPECT_NE(loaded.output.find("moves 2\nmove h2e2\nmove "), std::string::npos) << loaded.output;
  }
}

}  // namespace
