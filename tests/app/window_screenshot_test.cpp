// The real program on a real X server: starts build/vorelk under Xvfb with
// Qt's xcb platform, finds its main window with xwininfo and grabs its
// picture. The window must carry its menu bar with every title visible (in
// each language at each board size) and show the same board as the program
// renders offscreen. The grabs are kept under build/tests (the default one
// as vorelk_window.png, the others in window_screenshots/) for a look by eye.
//
// Qt runs only in forked children (the grab on xcb, the reference on the
// offscreen platform): a process holds one Qt application on one platform.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/board_view.h"
#include "app/chess_app.h"
#include "app/main_frame.h"
#include "platform/settings_store.h"
#include "tests/support/offscreen_app.h"
#include "tests/support/run_tool.h"
#include "tests/support/x_display.h"

namespace fs = std::filesystem;
using testing_support::FindWindow;
using testing_support::RunCommand;
using testing_support::Spawn;
using testing_support::Stop;
using testing_support::WindowInfo;
using namespace std::chrono_literals;

namespace {

constexpr const char* kTitle = "Vorelk Freeware 2.5.0";
constexpr int kToolbarBand = 60;               // two toolbar rows above the board
constexpr int kSquareSizes[3] = {30, 38, 56};  // small, medium, big board
constexpr const char* kSizeNames[3] = {"small", "medium", "big"};
const fs::path kPictureFolder = fs::path(VORELK_SCREENSHOT).parent_path() / "window_screenshots";

// The board picture of a board size and coordinate kind: 10 by 11 squares,
// with a band of 20 pixels for the coordinates of kind 2.
struct BoardGeometry {
  int s;
  int band;
  int Width() const { return 10 * s; }
  int Height() const { return 11 * s + band; }
  int ClientHeight() const { return kToolbarBand + Height(); }
};

// What is stored in the settings before a start.
struct StartSettings {
  int language;
  int sizeIndex;
  int coordinateKind;
  BoardGeometry Geometry() const { return {kSquareSizes[sizeIndex], coordinateKind == 2 ? 20 : 0}; }
};

// Runs `body` in a forked child; true when it returned true.
bool RunInChild(const std::function<bool()>& body) {
  std::fflush(nullptr);
  const pid_t pid = fork();
  if (pid == 0) {
    const bool ok = body();
    std::fflush(nullptr);
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  if (pid < 0 || waitpid(pid, &status, 0) != pid) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

bool IsDark(QRgb pixel) { return qGray(pixel) < 100; }

// What the picture shows: how many colours (sampled), and how many dark
// text pixels lie in the strip where the menu bar belongs.
struct PictureFacts {
  int colours = 0;
  int darkInBar = 0;
  bool barDiffersFromBoard = false;
};

PictureFacts Inspect(const QImage& picture) {
  PictureFacts facts;
  if (picture.isNull()) return facts;
  QSet<QRgb> colours;
  for (int y = 0; y < picture.height(); y += 2) {
    for (int x = 0; x < picture.width(); x += 2) colours.insert(picture.pixel(x, y) & 0xFFFFFF);
  }
  facts.colours = colours.size();
  for (int y = 0; y < std::min(22, picture.height()); ++y) {
    for (int x = 0; x < picture.width(); ++x) facts.darkInBar += IsDark(picture.pixel(x, y));
  }
  const QRgb below = picture.pixel(picture.width() / 2, picture.height() - 5);
  facts.barDiffersFromBoard = (picture.pixel(2, 2) & 0xFFFFFF) != (below & 0xFFFFFF);
  return facts;
}

bool LooksDone(const PictureFacts& f) {
  return f.colours >= 4 && f.darkInBar > 100 && f.barDiffersFromBoard;
}

// In a child on the xcb platform: grabs the window until it has painted and
// two grabs in a row agree (a slow machine may take a while), for at most
// ten seconds, and saves the last grab.
bool GrabWhenSettled(unsigned long id, const fs::path& file) {
  static int argc = 1;
  static char name[] = "window_screenshot_test";
  static char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  QImage last, picture;
  bool settled = false;
  for (int i = 0; i < 100 && !settled; ++i) {
    std::this_thread::sleep_for(100ms);
    picture = QGuiApplication::primaryScreen()->grabWindow(id).toImage();
    settled = LooksDone(Inspect(picture)) && picture == last;
    last = picture;
  }
  return picture.save(QString::fromStdString(file.string())) && settled;
}

// In a child on the offscreen platform: the program started in-process with
// the same settings; saves the board part of the board view's picture.
bool RenderBoardOffscreen(const BoardGeometry& g, const fs::path& file) {
  testing_support::OffscreenApplication();
  if (!theApp.InitInstance() || pMainFrame == nullptr) return false;
  QCoreApplication::processEvents();
  CBoardView* view = pMainFrame->BoardView();
  view->PaintPending();
  const QImage& surface = view->Surface();
  if (surface.size() != QSize(g.Width(), g.ClientHeight())) {
    std::fprintf(stderr, "offscreen client %dx%d\n", surface.width(), surface.height());
    return false;
  }
  return surface.copy(0, kToolbarBand, g.Width(), g.Height())
      .save(QString::fromStdString(file.string()));
}

// Pixels of `reference` that differ from `picture` at `origin`; each is
// marked in `marked` (a copy of the reference).
int CountDifferences(const QImage& reference, const QImage& picture, QPoint origin,
                     QImage& marked) {
  marked = reference.convertToFormat(QImage::Format_RGB32);
  int count = 0;
  for (int y = 0; y < reference.height(); ++y) {
    for (int x = 0; x < reference.width(); ++x) {
      const QPoint p = origin + QPoint(x, y);
      const bool same = picture.rect().contains(p) &&
                        (picture.pixel(p) & 0xFFFFFF) == (reference.pixel(x, y) & 0xFFFFFF);
      if (same) continue;
      ++count;
      marked.setPixel(x, y, qRgb(255, 0, 255));
    }
  }
  return count;
}

struct Span {
  int first;
  int last;
};

// The menu titles in the bar's strip: columns holding dark pixels, gathered
// into groups (the letters and glyphs of a title stand at most 4 pixels
// apart, titles at least 15). A title is black text, so a group counts only
// when its darkest pixel is nearly black: the grey arrows (») that Qt shows
// in place of titles that do not fit are not taken for a title.
std::vector<Span> TitleGroups(const QImage& picture, int barHeight) {
  constexpr int kGap = 8;
  struct Group {
    Span span;
    int darkest;  // grey level
  };
  std::vector<Group> groups;
  for (int x = 0; x < picture.width(); ++x) {
    int darkest = 255;
    for (int y = 0; y < std::min(barHeight, picture.height()); ++y) {
      darkest = std::min(darkest, qGray(picture.pixel(x, y)));
    }
    if (darkest >= 100) continue;
    if (!groups.empty() && x - groups.back().span.last <= kGap) {
      groups.back().span.last = x;
      groups.back().darkest = std::min(groups.back().darkest, darkest);
    } else {
      groups.push_back({{x, x}, darkest});
    }
  }
  std::vector<Span> titles;
  for (const Group& g : groups) {
    if (g.darkest < 50) titles.push_back(g.span);
  }
  return titles;
}

std::string Describe(const std::vector<Span>& groups) {
  std::string text;
  for (const Span& g : groups)
    text += " [" + std::to_string(g.first) + "," + std::to_string(g.last) + "]";
  return text;
}

// One grab of the program's window.
struct Grab {
  bool found = false;    // a window of the program's title appeared
  bool settled = false;  // it painted and stopped changing
  WindowInfo window;     // its id and size after the grab
  QImage picture;
  std::string log;  // what the program wrote, when something went wrong
};

// One Xvfb server for the tests of a process, with temporary XDG folders.
class WindowScreenshotTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    if (RunCommand("command -v Xvfb >/dev/null && command -v xwininfo >/dev/null").exitCode != 0) {
      return;
    }
    fs::create_directories(kPictureFolder);
    display_ = testing_support::StartXvfbSession("/tmp/vorelk-xvfb-XXXXXX", root_, server_);
    if (display_.empty()) return;
  }

  static void TearDownTestSuite() {
    Stop(server_);
    if (!root_.empty()) fs::remove_all(root_);
  }

  void SetUp() override {
    ASSERT_FALSE(root_.empty()) << "Xvfb and xwininfo are needed (Debian xvfb and x11-utils)";
    ASSERT_FALSE(display_.empty()) << "Xvfb did not start";
  }

  // Fresh settings: the language (so that the program opens its main
  // window), the board size and the coordinate kind.
  static void WriteSettings(const StartSettings& settings) {
    fs::remove_all(root_ / "config");
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    store.WriteInt("Options", "Language", settings.language);
    store.WriteInt("Options", "Board size", settings.sizeIndex);
    store.WriteInt("Options", "Board coordinate", settings.coordinateKind);
    // Side windows stay closed: without a window manager they would stand
    // over the main window in the grab.
    store.WriteInt("Options", "GameListWindow", 0);
    store.WriteInt("Options", "ClockWindow", 0);
  }

  // Starts the program, grabs its window into `file` once it has painted,
  // and stops the program.
  static Grab StartAndGrab(const fs::path& file) {
    Grab grab;
    const fs::path log = root_ / "vorelk.log";
    const pid_t program = Spawn({VORELK_PROGRAM}, log.string());
    int status = 0;
    bool exited = false;
    for (int i = 0; i < 600 && !grab.found && !exited; ++i) {
      grab.found = FindWindow(display_, kTitle, grab.window);
      exited = !grab.found && waitpid(program, &status, WNOHANG) == program;
      if (!grab.found && !exited) std::this_thread::sleep_for(50ms);
    }
    if (grab.found) {
      // Through a file of this run's own: another run may read the kept one.
      const unsigned long id = grab.window.id;
      const fs::path own = root_ / "grab.png";
      grab.settled = RunInChild([&] { return GrabWhenSettled(id, own); });
      if (grab.picture.load(QString::fromStdString(own.string()))) {
        grab.picture.save(QString::fromStdString(file.string()));
      }
      FindWindow(display_, kTitle, grab.window);
    }
    if (!exited) Stop(program);
    if (!grab.found || !grab.settled) {
      grab.log = RunCommand("cat '" + log.string() + "'").output;
      if (exited) grab.log += "exit status " + std::to_string(status);
    }
    // The server drops the window with the program's connection; the next
    // start must not find this one.
    WindowInfo gone;
    for (int i = 0; i < 100 && FindWindow(display_, kTitle, gone); ++i) {
      std::this_thread::sleep_for(20ms);
    }
    return grab;
  }

  static testing::AssertionResult Shown(const Grab& grab, const fs::path& file) {
    if (!grab.found) {
      return testing::AssertionFailure()
             << "no window titled \"" << kTitle << "\"; the program said:\n"
             << grab.log;
    }
    if (grab.picture.isNull()) return testing::AssertionFailure() << "no grab in " << file;
    if (!grab.settled) {
      return testing::AssertionFailure() << "never painted completely: " << file << "\n"
                                         << grab.log;
    }
    return testing::AssertionSuccess();
  }

  static fs::path root_;
  static std::string display_;
  static pid_t server_;
};

fs::path WindowScreenshotTest::root_;
std::string WindowScreenshotTest::display_;
pid_t WindowScreenshotTest::server_ = -1;

TEST_F(WindowScreenshotTest, TheProgramShowsItsWindowWithAMenuBarOnAnXServer) {
  WriteSettings({1, 1, 0});
  const Grab grab = StartAndGrab(VORELK_SCREENSHOT);
  ASSERT_TRUE(grab.found) << "no window titled \"" << kTitle << "\"";
  ASSERT_FALSE(grab.picture.isNull());
  EXPECT_EQ(grab.picture.width(), grab.window.width);
  EXPECT_GE(grab.picture.height(), 300);

  const PictureFacts facts = Inspect(grab.picture);
  // Not blank: several colours over the whole picture.
  EXPECT_GE(facts.colours, 4) << "the window's picture is blank";
  // A menu bar: a strip at the top whose dark text pixels form the menu
  // titles, above the board's plain colour.
  EXPECT_GT(facts.darkInBar, 100) << "no menu titles at the top of the window";
  EXPECT_TRUE(facts.barDiffersFromBoard) << "no menu bar above the board";
}

// The board area of the client (below the menu bar and the toolbar band,
// centred when the menu bar is wider than the board) shows the very pixels
// of the offscreen rendering of the same start.
TEST_F(WindowScreenshotTest, TheWindowShowsTheBoardAsRenderedOffscreen) {
  struct Case {
    const char* name;
    StartSettings settings;
  };
  const Case cases[] = {
      {"board_english_medium", {1, 1, 0}},
      // Narrower than its menu bar, so centred; files labelled above and below.
      {"board_german_small_coordinates", {3, 0, 2}},
      {"board_traditional_chinese_big", {5, 2, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const BoardGeometry g = c.settings.Geometry();
    const fs::path reference = kPictureFolder / (std::string(c.name) + "_offscreen.png");
    const fs::path file = kPictureFolder / (std::string(c.name) + ".png");
    const fs::path rendered = root_ / "offscreen.png";
    WriteSettings(c.settings);
    ASSERT_TRUE(RunInChild([&] { return RenderBoardOffscreen(g, rendered); }))
        << "no offscreen rendering";
    const QImage expected(QString::fromStdString(rendered.string()));
    ASSERT_EQ(expected.size(), QSize(g.Width(), g.Height()));
    expected.save(QString::fromStdString(reference.string()));
    const Grab grab = StartAndGrab(file);
    ASSERT_TRUE(Shown(grab, file));

    // The client is the band and the board; the menu bar takes the rest.
    const QImage& picture = grab.picture;
    ASSERT_GE(picture.width(), g.Width()) << file;
    ASSERT_GT(picture.height(), g.ClientHeight()) << "no room for a menu bar: " << file;
    const QPoint origin((picture.width() - g.Width()) / 2, picture.height() - g.Height());
    // Pixel for pixel, text included: both platforms draw with Qt's raster
    // engine and the same font files at the same resolution, so there is
    // nothing to tolerate.
    QImage marked;
    const int differences = CountDifferences(expected, picture, origin, marked);
    if (differences != 0) {
      const fs::path diff = kPictureFolder / (std::string(c.name) + "_differences.png");
      marked.save(QString::fromStdString(diff.string()));
      ADD_FAILURE() << differences << " pixels differ, marked in " << diff;
    }
  }
}

// Every menu title stands in the bar, in each language at each board size:
// six groups of title text, the last one ending inside the window, and the
// window at least as wide as the board.
TEST_F(WindowScreenshotTest, EveryMenuTitleIsVisibleInEveryLanguageAtEveryBoardSize) {
  struct Language {
    int value;
    const char* name;
  };
  const Language languages[] = {{0, "french"},
                                {1, "english"},
                                {2, "spanish"},
                                {3, "german"},
                                {4, "simplified_chinese"},
                                {5, "traditional_chinese"}};
  for (const Language& language : languages) {
    for (int size = 0; size < 3; ++size) {
      const std::string name = std::string("menu_") + language.name + "_" + kSizeNames[size];
      SCOPED_TRACE(name);
      const StartSettings settings{language.value, size, 0};
      const fs::path file = kPictureFolder / (name + ".png");
      WriteSettings(settings);
      const Grab grab = StartAndGrab(file);
      const testing::AssertionResult shown = Shown(grab, file);
      EXPECT_TRUE(shown);
      if (!shown) continue;

      const QImage& picture = grab.picture;
      const int barHeight = picture.height() - settings.Geometry().ClientHeight();
      EXPECT_GE(picture.width(), settings.Geometry().Width()) << file;
      EXPECT_GE(barHeight, 12) << "no menu bar: " << file;
      const std::vector<Span> groups = TitleGroups(picture, barHeight);
      EXPECT_EQ(groups.size(), 6u) << "title groups" << Describe(groups) << " in " << file;
      if (!groups.empty()) {
        EXPECT_LT(groups.back().last, picture.width() - 1) << "the last title is cut: " << file;
      }
    }
  }
}

}  // namespace
