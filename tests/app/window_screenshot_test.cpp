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
#include <QRect>
#include <QScreen>
#include <QSet>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <regex>
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
using testing_support::kAnswerTime;
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
// with a band of 20 pixels for the coordinates of kind 2, wider where the
// lit side-to-move disc (20 pixels, with a 3-pixel shadow at x = 9.5
// squares) reaches past them and taller where the file letters (20 pixels
// from 10.5 squares and the band) do.
struct BoardGeometry {
  int s;
  int band;
  int Width() const { return std::max(10 * s, 9 * s + s / 2 + 23); }
  int Height() const { return std::max(11 * s + band, 10 * s + s / 2 + band + 20); }
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
// a minute, and saves the last grab.
bool GrabWhenSettled(unsigned long id, const fs::path& file) {
  static int argc = 1;
  static char name[] = "window_screenshot_test";
  static char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  QImage last, picture;
  bool settled = false;
  for (int i = 0; i < 600 && !settled; ++i) {
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
    for (int i = 0; i < 1200 && !grab.found && !exited; ++i) {
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

// The side windows' titles in English, and whether each is a clock.
struct SideWindow {
  const char* title;
  bool clock;
};
constexpr SideWindow kSideWindows[] = {{"Clock", true},
                                       {"Mini clock", true},
                                       {"Game list", false},
                                       {"Game information", false},
                                       {"Comments", false}};

bool Viewable(const std::string& display, unsigned long id) {
  return RunCommand("DISPLAY=" + display + " xwininfo -id " + std::to_string(id) + " 2>/dev/null")
             .output.find("Map State: IsViewable") != std::string::npos;
}

QRect Rect(const WindowInfo& w) { return {w.x, w.y, w.width, w.height}; }

QImage GrabScreen() { return QGuiApplication::primaryScreen()->grabWindow(0).toImage(); }

// The screen grabbed every 100 ms until `done` holds for a grab that equals
// the one before it, for at most `timeout`; a null picture when it never did.
QImage WaitForScreen(const std::function<bool(const QImage&)>& done,
                     std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  QImage previous;
  while (std::chrono::steady_clock::now() < end) {
    const QImage picture = GrabScreen();
    if (picture == previous && done(picture)) return picture;
    previous = picture;
    std::this_thread::sleep_for(100ms);
  }
  return {};
}

// The pixels that differ between two grabs of the screen, counted inside
// each of `areas` and outside all of them.
struct ScreenChanges {
  std::vector<int> inside;
  int outside = 0;
};

ScreenChanges Changes(const QImage& a, const QImage& b, const std::vector<QRect>& areas) {
  ScreenChanges changes;
  changes.inside.assign(areas.size(), 0);
  for (int y = 0; y < std::min(a.height(), b.height()); ++y) {
    for (int x = 0; x < std::min(a.width(), b.width()); ++x) {
      if ((a.pixel(x, y) & 0xFFFFFF) == (b.pixel(x, y) & 0xFFFFFF)) continue;
      bool inArea = false;
      for (size_t i = 0; i < areas.size(); ++i) {
        if (!areas[i].contains(x, y)) continue;
        ++changes.inside[i];
        inArea = true;
      }
      changes.outside += !inArea;
    }
  }
  return changes;
}

// In a child on the xcb platform, with the program showing its start: plays
// h2-e2 by drag and drop, waits for the engine's answer (black's half of
// the board changes and the screen settles outside `clocks`), brings the
// clocks to the front (the side windows' default places overlap and there
// is no window manager to stack them), and saves two grabs of the screen
// taken at least 1.5 s apart, the second once every clock has ticked.
bool PlayAndGrabTwice(const std::string& display, WindowInfo frame,
                      const std::vector<WindowInfo>& clocks, const fs::path& first,
                      const fs::path& second) {
  static int argc = 1;
  static char name[] = "window_screenshot_test";
  static char* argv[] = {name, nullptr};
  QGuiApplication app(argc, argv);
  const BoardGeometry g = StartSettings{1, 1, 0}.Geometry();
  QRect board;
  const auto point = [&](int column, int row) {
    return QPoint(board.x() + g.s + g.s * column, board.y() + g.s + g.s * (9 - row));
  };
  const auto patch = [&](int column, int row) {
    return QRect(point(column, row) - QPoint(6, 6), QSize(13, 13));
  };
  const auto centre = [&](int column, int row) {
    return std::to_string(point(column, row).x()) + " " + std::to_string(point(column, row).y());
  };
  // A black piece moved: the middle of some crossing on black's half
  // changed (the side-to-move mark beside the board changes earlier).
  const auto blackMoved = [&](const QImage& a, const QImage& b) {
    for (int column = 0; column < 9; ++column) {
      for (int row = 5; row <= 9; ++row) {
        if (a.copy(patch(column, row)) != b.copy(patch(column, row))) return true;
      }
    }
    return false;
  };
  const QRect frameRect = Rect(frame);
  const auto settledOutsideClocks = [&](const QImage& a, const QImage& b) {
    std::vector<QRect> areas;
    for (const WindowInfo& c : clocks) areas.push_back(Rect(c));
    return Changes(a, b, areas).outside == 0;
  };

  const QImage start = WaitForScreen(
      [&](const QImage& p) { return LooksDone(Inspect(p.copy(frameRect))); }, kAnswerTime);
  if (start.isNull()) {
    std::fprintf(stderr, "the main window never painted\n");
    return false;
  }
  // The window is fitted to its menu bar and board as it shows: its size
  // is taken once it has painted.
  if (!FindWindow(display, kTitle, frame)) return false;
  board = QRect((frame.width - g.Width()) / 2 + frame.x, frame.y + frame.height - g.Height(),
                g.Width(), g.Height());
  const std::string xdotool = "DISPLAY=" + display + " xdotool ";
  // A drag the program missed is made again, until the cannon stands on e2
  // and h2 is empty.
  const auto cannonMoved = [&](const QImage& now) {
    return now.copy(patch(4, 2)) == start.copy(patch(7, 2)) &&
           now.copy(patch(7, 2)) != start.copy(patch(7, 2));
  };
  bool moved = false;
  for (int attempt = 0; attempt < 10 && !moved; ++attempt) {
    // One step at a time: the program takes each before the next comes.
    for (const std::string& step : {"mousemove " + centre(7, 2), std::string("mousedown 1"),
                                    "mousemove " + centre(6, 2), "mousemove " + centre(4, 2),
                                    std::string("mouseup 1")}) {
      if (RunCommand(xdotool + step).exitCode != 0) return false;
      std::this_thread::sleep_for(100ms);
    }
    for (int i = 0; i < 20 && !moved; ++i) {
      std::this_thread::sleep_for(100ms);
      moved = cannonMoved(GrabScreen());
    }
  }
  if (!moved) {
    GrabScreen().save(QString::fromStdString(first.string()));
    std::fprintf(stderr, "the drag did not move the cannon\n");
    return false;
  }
  // The answer has come once black's half differs from the start and two
  // grabs 300 ms apart agree outside the clocks (which keep ticking).
  QImage previous;
  bool answered = false;
  for (int i = 0; i < 200 && !answered; ++i) {
    std::this_thread::sleep_for(300ms);
    const QImage now = GrabScreen();
    answered = blackMoved(start, now) && !previous.isNull() &&
               settledOutsideClocks(previous, now);
    previous = now;
  }
  if (!answered) {
    previous.save(QString::fromStdString(first.string()));
    std::fprintf(stderr, "no answer from the engine\n");
    return false;
  }
  for (const WindowInfo& c : clocks) {
    RunCommand(xdotool + "windowraise " + std::to_string(c.id));
  }
  // Raised (the server lists its top-level windows from the top one down,
  // so the clocks come first) and painted (two grabs in a row agree).
  const auto clocksOnTop = [&] {
    const std::string list =
        RunCommand("DISPLAY=" + display + " xwininfo -root -children 2>/dev/null").output;
    const std::regex child("\\n +(0x[0-9a-fA-F]+) ");
    std::sregex_iterator it(list.begin(), list.end(), child);
    for (size_t k = 0; k < clocks.size(); ++k, ++it) {
      if (it == std::sregex_iterator()) return false;
      const unsigned long id = std::stoul((*it)[1].str(), nullptr, 16);
      if (std::none_of(clocks.begin(), clocks.end(),
                       [&](const WindowInfo& c) { return c.id == id; })) {
        return false;
      }
    }
    return true;
  };
  QImage before;
  for (int i = 0; i < 600 && before.isNull(); ++i) {
    if (!clocksOnTop()) {
      std::this_thread::sleep_for(100ms);
      continue;
    }
    before = WaitForScreen([](const QImage&) { return true; }, 3s);
  }
  if (before.isNull()) {
    std::fprintf(stderr, "the clocks did not come to the front\n");
    return false;
  }
  // The second grab: at least 1.5 s later, once both clocks have ticked.
  std::vector<QRect> clockAreas;
  for (const WindowInfo& c : clocks) clockAreas.push_back(Rect(c));
  std::this_thread::sleep_for(1500ms);
  QImage after = GrabScreen();
  for (int i = 0; i < 600; ++i) {
    const std::vector<int> ticked = Changes(before, after, clockAreas).inside;
    if (std::count(ticked.begin(), ticked.end(), 0) == 0) break;
    std::this_thread::sleep_for(100ms);
    after = GrabScreen();
  }
  return before.save(QString::fromStdString(first.string())) &&
         after.save(QString::fromStdString(second.string()));
}

// With every side window stored as open and a game time set, the program
// shows the five side windows, and after a move its clocks tick: of two
// grabs of the screen at least 1.5 s apart, only the two clock windows
// differ.
TEST_F(WindowScreenshotTest, TheSideWindowsShowAndOnlyTheClocksTick) {
  if (RunCommand("command -v xdotool >/dev/null").exitCode != 0) {
    GTEST_SKIP() << "xdotool is needed (Debian xdotool)";
  }
  WriteSettings({1, 1, 0});
  fs::remove_all(root_ / "data");  // no saved game of an earlier start
  {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    for (const char* key : {"ClockWindow", "MiniClockWindow", "GameListWindow",
                            "GameStatusWindow", "CommentsWindow"}) {
      store.WriteInt("Options", key, 1);
    }
    // A game time of one minute a side: the engine answers within seconds.
    store.WriteInt("Options", "TC", 3);
    store.WriteInt("Options", "min", 1);
    store.WriteInt("Options", "sec", 0);
    store.WriteInt("Options", "Ponder", 0);
    store.WriteInt("Options", "SpyComputing", 0);
    store.WriteInt("Options", "Move selection", 1);  // drag and drop
  }
  const fs::path log = root_ / "vorelk.log";
  const pid_t program = Spawn({VORELK_PROGRAM}, log.string());
  struct Guard {
    pid_t pid;
    ~Guard() { Stop(pid); }
  } guard{program};

  WindowInfo frame;
  std::vector<WindowInfo> side(std::size(kSideWindows));
  bool found = false;
  for (int i = 0; i < 2400 && !found; ++i) {
    found = FindWindow(display_, kTitle, frame);
    for (size_t k = 0; k < side.size(); ++k) {
      found = found && FindWindow(display_, kSideWindows[k].title, side[k]) &&
              Viewable(display_, side[k].id);
    }
    if (!found) std::this_thread::sleep_for(25ms);
  }
  ASSERT_TRUE(found) << "not every window showed; the program said:\n"
                     << RunCommand("cat '" + log.string() + "'").output;
  std::vector<WindowInfo> clocks;
  for (size_t k = 0; k < side.size(); ++k) {
    if (kSideWindows[k].clock) clocks.push_back(side[k]);
  }

  const fs::path first = kPictureFolder / "side_windows_first.png";
  const fs::path second = kPictureFolder / "side_windows_second.png";
  const fs::path ownFirst = root_ / "first.png", ownSecond = root_ / "second.png";
  fs::remove(ownFirst);
  fs::remove(ownSecond);
  const bool grabbed = RunInChild(
      [&] { return PlayAndGrabTwice(display_, frame, clocks, ownFirst, ownSecond); });
  const QImage a(QString::fromStdString(ownFirst.string()));
  const QImage b(QString::fromStdString(ownSecond.string()));
  a.save(QString::fromStdString(first.string()));
  b.save(QString::fromStdString(second.string()));
  ASSERT_TRUE(grabbed) << "see " << first << "; the program said:\n"
                       << RunCommand("cat '" + log.string() + "'").output;
  ASSERT_EQ(a.size(), b.size());

  std::vector<QRect> areas;
  for (const WindowInfo& c : clocks) areas.push_back(Rect(c));
  const ScreenChanges changes = Changes(a, b, areas);
  EXPECT_GT(changes.inside[0], 0) << "the clock did not tick: " << first << ", " << second;
  EXPECT_GT(changes.inside[1], 0) << "the mini clock did not tick: " << first << ", " << second;
  EXPECT_EQ(changes.outside, 0) << "pixels changed outside the clocks: " << first << ", "
                                << second;
}

}  // namespace
