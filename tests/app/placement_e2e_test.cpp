// The real program under Xvfb, with and without a window manager
// (openbox), started and left several times with every side window open:
// each window's frame must come back where and as large as it was left,
// and the placement stored must be that frame; a side window appears at
// its size (it is not resized once it is shown). A placement stored partly
// off the screen (by an earlier version, or on a larger screen) must open
// wholly on the screen.
#include <gtest/gtest.h>
#include <xcb/xcb.h>

#include <QRect>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>

#include "platform/placement.h"
#include "platform/services.h"
#include "platform/settings_store.h"
#include "tests/support/x_display.h"
#include "tests/support/x_program.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::RunCommand;
using testing_support::WaitUntil;

namespace {

// The windows: their title (before " > " and a file name), the option that
// opens them at start and the name of their stored placement.
struct Window {
  const char* title;
  const char* option;
  const char* placement;
};
constexpr Window kWindows[] = {
    {"Vorelk Freeware 2.5.0", nullptr, "MainWindow"},
    {"Clock", "ClockWindow", "Clock"},
    {"Mini clock", "MiniClockWindow", "MiniClockWindow"},
    {"Game list", "GameListWindow", "Liste"},
    {"Comments", "CommentsWindow", "Comment"},
    {"Game information", "GameStatusWindow", "Game status"},
};
const QRect kScreen(0, 0, 1024, 768);  // Xvfb's screen

// Window rectangles by title.
using Rects = std::map<std::string, QRect>;

std::string Describe(const Rects& rects) {
  std::ostringstream out;
  for (const auto& [title, r] : rects) {
    out << title << ": " << r.x() << "," << r.y() << " " << r.width() << "x" << r.height() << "\n";
  }
  return out.str();
}

// The sizes the windows on the screen had when they were first shown: the
// size a top-level window has when the window manager reparents it into
// its frame, or when it is mapped without one, as the root window reports
// them (the events are read once the windows are shown).
class FirstShownSizes {
 public:
  explicit FirstShownSizes(const std::string& display) : c_(xcb_connect(display.c_str(), nullptr)) {
    if (xcb_connection_has_error(c_) != 0) return;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c_)).data->root;
    const uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c_, root, XCB_CW_EVENT_MASK, &mask);
    xcb_flush(c_);
  }
  ~FirstShownSizes() { xcb_disconnect(c_); }

  // The size window `id` was first shown at, empty when it was not seen.
  QSize Of(unsigned long id) {
    while (xcb_generic_event_t* event = xcb_poll_for_event(c_)) {
      switch (event->response_type & 0x7f) {
        case XCB_CREATE_NOTIFY: {
          const auto* e = reinterpret_cast<xcb_create_notify_event_t*>(event);
          sizes_[e->window] = QSize(e->width, e->height);
          break;
        }
        case XCB_CONFIGURE_NOTIFY: {
          const auto* e = reinterpret_cast<xcb_configure_notify_event_t*>(event);
          if (!shown_.count(e->window)) sizes_[e->window] = QSize(e->width, e->height);
          break;
        }
        case XCB_REPARENT_NOTIFY:
          shown_.insert(reinterpret_cast<xcb_reparent_notify_event_t*>(event)->window);
          break;
        case XCB_MAP_NOTIFY:
          shown_.insert(reinterpret_cast<xcb_map_notify_event_t*>(event)->window);
          break;
      }
      std::free(event);
    }
    return shown_.count(id) ? sizes_[id] : QSize();
  }

 private:
  xcb_connection_t* c_;
  std::map<unsigned long, QSize> sizes_;
  std::set<unsigned long> shown_;
};

class PlacementE2eTest : public testing_support::XvfbSuiteTest<PlacementE2eTest> {
 public:
  static constexpr const char* kSessionFolder = "/tmp/vorelk-placement-XXXXXX";

  static void TearDownTestSuite() {
    testing_support::Stop(windowManager_);
    XvfbSuiteTest::TearDownTestSuite();
  }

 protected:
  // Fresh settings with every side window open (else those a first start
  // opens), English, and the given placements ("name", "ten numbers").
  static void WriteSettings(std::initializer_list<std::pair<const char*, const char*>> placements,
                            bool everySideWindow = true) {
    fs::remove_all(root_ / "config");
    fs::remove_all(root_ / "data");
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    store.WriteInt("Options", "Language", 1);
    for (const Window& w : kWindows) {
      if (w.option != nullptr && everySideWindow) store.WriteInt("Options", w.option, 1);
    }
    for (const auto& [name, text] : placements) store.WriteString(kPlacementSection, name, text);
  }

  static void StartWindowManager() {
    if (windowManager_ > 0) return;
    windowManager_ = testing_support::StartOpenbox((root_ / "openbox.log").string());
    ASSERT_GT(windowManager_, 0) << "openbox did not take the screen (Debian openbox)";
  }

  // The frames of the program's shown windows: the client rectangles of
  // xwininfo grown by the frame extents the window manager sets.
  static Rects Frames() {
    Rects frames;
    clients_.clear();
    const std::string tree =
        RunCommand("DISPLAY=" + display_ + " xwininfo -root -tree 2>/dev/null").output;
    const std::regex line(
        "(0x[0-9a-f]+) \"([^\"]*)\": \\(\"vorelk\" \"vorelk\"\\)  ([0-9]+)x([0-9]+)[-+0-9]*  "
        "\\+?(-?[0-9]+)\\+?(-?[0-9]+)");
    for (std::sregex_iterator it(tree.begin(), tree.end(), line), end; it != end; ++it) {
      const std::smatch& m = *it;
      const std::string id = m[1].str();
      std::string title = m[2].str();
      title = title.substr(0, title.find(" > "));
      const std::string state =
          RunCommand("DISPLAY=" + display_ + " xwininfo -id " + id + " 2>/dev/null").output;
      if (state.find("Map State: IsViewable") == std::string::npos) continue;
      QRect r(std::stoi(m[5].str()), std::stoi(m[6].str()), std::stoi(m[3].str()),
              std::stoi(m[4].str()));
      const QRect client = r;
      const std::string extents =
          RunCommand("DISPLAY=" + display_ + " xprop -id " + id + " _NET_FRAME_EXTENTS 2>/dev/null")
              .output;
      std::smatch e;
      if (std::regex_search(extents, e, std::regex("= ([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+)"))) {
        r.adjust(-std::stoi(e[1].str()), -std::stoi(e[3].str()), std::stoi(e[2].str()),
                 std::stoi(e[4].str()));
      }
      frames[title] = r;
      clients_[title] = {std::stoul(id, nullptr, 16), client.size(),
                         client.topLeft() - r.topLeft()};
    }
    return frames;
  }

  // The stored placements, as rectangles by window title.
  static Rects Stored() {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    Rects rects;
    for (const Window& w : kWindows) {
      std::string text;
      store.GetString(text, kPlacementSection, w.placement, "");
      if (const auto p = ParseWindowPlacement(text.c_str())) {
        rects[w.title] = QRect(p->left, p->top, p->right - p->left, p->bottom - p->top);
      }
    }
    return rects;
  }

  // One run: starts the program, waits until every window (or `windows`
  // of them) is shown with frames that satisfy `ready` (and the window manager's frames are
  // settled: three reads agree), leaves through the main window's close
  // request, and returns the frames seen.
  static Rects Run(const std::function<bool(const Rects&)>& ready,
                   const std::function<void()>& act = nullptr,
                   size_t windows = std::size(kWindows)) {
    FirstShownSizes firstShown(display_);
    testing_support::XProgramRun run(display_);
    const std::string log = (root_ / "vorelk.log").string();
    EXPECT_TRUE(run.Start(VORELK_PROGRAM, log)) << RunCommand("cat '" + log + "'").output;
    Rects frames, previous;
    int same = 0;
    const bool shown = WaitUntil(
        [&] {
          frames = Frames();
          same = frames == previous ? same + 1 : 0;
          previous = frames;
          return frames.size() == windows && same >= 2 && ready(frames);
        },
        30s);
    EXPECT_TRUE(shown) << "the windows seen:\n" << Describe(frames);
    // A side window restored to its size is not resized once shown (the
    // main window may still grow as its menu bar is laid out).
    for (const auto& [title, client] : clients_) {
      if (title == kWindows[0].title) continue;
      const QSize first = firstShown.Of(client.id);
      EXPECT_EQ(first, client.size)
          << title << " was shown at " << first.width() << "x" << first.height() << ", is "
          << client.size.width() << "x" << client.size.height();
    }
    if (act) act();
    // The close request may come before the program listens to it: it is
    // sent again until the program has gone.
    int status = -1;
    const bool exited = WaitUntil(
        [&] {
          testing_support::RequestWindowClose(display_, run.Main().w.id);
          return run.WaitForExit(status, 2s);
        },
        30s);
    EXPECT_TRUE(exited) << "the program did not exit on its window's close request";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "exit status " << status;
    return frames;
  }

  // Starts and leaves the program `runs` times: every run shows the frames
  // the first run showed, and every exit stores them.
  static void ExpectKeptOverRuns(int runs, const std::function<bool(const Rects&)>& firstReady) {
    const Rects first = Run(firstReady);
    EXPECT_EQ(Stored(), first) << "stored:\n"
                               << Describe(Stored()) << "shown:\n"
                               << Describe(first);
    for (int i = 2; i <= runs; ++i) {
      SCOPED_TRACE("run " + std::to_string(i));
      const Rects seen = Run([&](const Rects& frames) { return frames == first; });
      EXPECT_EQ(seen, first) << "shown:\n" << Describe(seen) << "first:\n" << Describe(first);
      EXPECT_EQ(Stored(), first) << "stored:\n" << Describe(Stored());
    }
  }

  static inline pid_t windowManager_ = -1;
  // The client window and size of each shown window at the last Frames().
  struct Client {
    unsigned long id;
    QSize size;
    QPoint offset;  // from the frame's top-left corner
  };
  static inline std::map<std::string, Client> clients_;
};

// Every frame lies wholly on the screen, and the main window's frame is at
// `main`: the screen's top-left corner (its first place, and where one
// stored above the screen goes) unless said otherwise; a negative x there
// stands for a frame against the screen's right edge.
bool AllOnScreenMainAt(const Rects& frames, QPoint main = {0, 0}) {
  for (const auto& [title, r] : frames) {
    if (!kScreen.contains(r)) return false;
  }
  const auto found = frames.find(kWindows[0].title);
  if (found == frames.end()) return false;
  const QRect& r = found->second;
  return main.x() < 0 ? r.right() == kScreen.right() && r.y() == main.y() : r.topLeft() == main;
}

bool AllOnScreenMainAtCorner(const Rects& frames) { return AllOnScreenMainAt(frames); }

// Asks the window manager to maximise that window, as its maximise button
// does.
void Maximise(const std::string& display, unsigned long window) {
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  const auto atom = [c](const char* name) { return testing_support::InternAtom(c, name); };
  if (xcb_connection_has_error(c) == 0) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window);
    event.type = atom("_NET_WM_STATE");
    event.data.data32[0] = 1;  // add
    event.data.data32[1] = atom("_NET_WM_STATE_MAXIMIZED_VERT");
    event.data.data32[2] = atom("_NET_WM_STATE_MAXIMIZED_HORZ");
    event.data.data32[3] = 1;  // from an application
    xcb_send_event(c, 0, xcb_setup_roots_iterator(xcb_get_setup(c)).data->root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&event));
    xcb_flush(c);
  }
  xcb_disconnect(c);
}

// Without a window manager first (the frame is the client), then under
// openbox; the server keeps the window manager once it is started.
TEST_F(PlacementE2eTest, EveryWindowComesBackWhereAndAsLargeAsItWasLeft) {
  for (const bool managed : {false, true}) {
    SCOPED_TRACE(managed ? "under openbox" : "without a window manager");
    if (managed) StartWindowManager();
    // The first run places the windows at their defaults.
    WriteSettings({});
    ExpectKeptOverRuns(3, AllOnScreenMainAtCorner);
    // Placements partly off the screen: left by an earlier version under a
    // window manager (the main window above the screen's top edge, windows
    // past its left and top edges, one partly below and right of it, its
    // title bar on it), then left on a 1920 x 1080 screen (windows right
    // of and below this screen's edges, the main window's corner off it).
    const struct {
      std::initializer_list<std::pair<const char*, const char*>> placements;
      QPoint main;  // where the main window's frame comes
    } kPartlyOff[] = {
        {{{"MainWindow", "0,1,-1,-1,-1,-1,-3,-60,383,459"},
          {"Comment", "0,1,-1,-1,-1,-1,900,700,1206,955"},
          {"Game status", "0,1,-1,-1,-1,-1,-40,300,474,843"},
          {"Liste", "0,1,-1,-1,-1,-1,500,-10,701,150"}},
         {0, 0}},
        {{{"MainWindow", "0,1,-1,-1,-1,-1,1200,40,1586,559"},
          {"Comment", "0,1,-1,-1,-1,-1,1000,100,1420,380"},
          {"Liste", "0,1,-1,-1,-1,-1,600,700,797,900"},
          {"Clock", "0,1,-1,-1,-1,-1,980,740,1142,861"},
          {"MiniClockWindow", "0,1,-1,-1,-1,-1,1800,900,2032,1011"},
          {"Game status", "0,1,-1,-1,-1,-1,700,400,1212,839"}},
         {-1, 40}},
    };
    for (const auto& c : kPartlyOff) {
      WriteSettings(c.placements);
      ExpectKeptOverRuns(2, [&](const Rects& frames) { return AllOnScreenMainAt(frames, c.main); });
      if (HasFatalFailure()) return;
    }
  }
}

// Under openbox: windows the user moved, and windows left maximised (which
// openbox draws without their borders), come back where and as large as
// they were in their normal state.
TEST_F(PlacementE2eTest, WindowsMovedOrMaximisedByTheUserComeBackAsTheyWereLeft) {
  StartWindowManager();
  WriteSettings({});
  const Rects first = Run(AllOnScreenMainAtCorner);
  const std::string main = kWindows[0].title;
  Rects expected = first;
  expected[main].moveTopLeft(QPoint(100, 120));
  expected["Game list"].moveTopLeft(QPoint(600, 400));
  Run([&](const Rects& frames) { return frames == first; },
      [&] {
        // xdotool places the client, which lies inside the frame as it did.
        const auto move = [&](const std::string& title) {
          const QPoint client = expected[title].topLeft() + clients_[title].offset;
          RunCommand("DISPLAY=" + display_ + " xdotool windowmove " +
                     std::to_string(clients_[title].id) + " " + std::to_string(client.x()) + " " +
                     std::to_string(client.y()));
        };
        move(main);
        move("Game list");
        Rects frames;
        EXPECT_TRUE(WaitUntil(
            [&] {
              // Asked again until done: a request may come while openbox
              // still handles another.
              for (const char* title : {"Comments", "Game information"}) {
                if (frames[title].size() != kScreen.size()) Maximise(display_, clients_[title].id);
              }
              frames = Frames();
              return frames[main] == expected[main] &&
                     frames["Game list"] == expected["Game list"] &&
                     frames["Comments"].size() == kScreen.size() &&
                     frames["Game information"].size() == kScreen.size();
            },
            30s))
            << Describe(frames);
      });
  const Rects seen = Run([&](const Rects& frames) { return frames == expected; });
  EXPECT_EQ(seen, expected) << "shown:\n" << Describe(seen) << "expected:\n" << Describe(expected);
  EXPECT_EQ(Stored(), expected) << "stored:\n" << Describe(Stored());
}

// A first start opens the main window, the clock and the move list at
// their default places, with and without openbox: no window covers
// another, so every title bar is free. The side windows open the same way
// at the next start.
TEST_F(PlacementE2eTest, FirstStartWindowsCoverNoOtherWindow) {
  for (const bool managed : {false, true}) {
    SCOPED_TRACE(managed ? "under openbox" : "without a window manager");
    if (managed) StartWindowManager();
    WriteSettings({}, false);
    const auto apart = [](const Rects& frames) {
      for (auto a = frames.begin(); a != frames.end(); ++a) {
        for (auto b = std::next(a); b != frames.end(); ++b) {
          if (a->second.intersects(b->second)) return false;
        }
      }
      return AllOnScreenMainAtCorner(frames);
    };
    const Rects first = Run(apart, nullptr, 3);
    EXPECT_EQ(first.count("Clock") + first.count("Game list"), 2u) << Describe(first);
    const Rects second = Run([&](const Rects& frames) { return frames == first; }, nullptr, 3);
    EXPECT_EQ(second, first) << "shown:\n" << Describe(second) << "first:\n" << Describe(first);
  }
}

}  // namespace
