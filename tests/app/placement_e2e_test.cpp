// The real program under Xvfb, with and without a window manager
// (openbox), started and left several times with every side window open:
// each window's frame must come back where and as large as it was left,
// and the placement stored must be that frame; a side window appears at
// its size (it is not resized once it is shown). A placement stored partly
// off the screen (by an earlier version, or on a larger screen) must open
// wholly on the screen. The side windows stand above the main window, as
// windows it owns, and clear of it: at a first start, after a board-size
// change and in set-up mode, at each board size and in each language.
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
#include "res/menus.h"
#include "res/text_rows.h"
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

  // Leaves the screen without a window manager (one started before stays
  // until stopped). Openbox leaves its check property on the root window,
  // naming a window that has gone.
  static void StopWindowManager() {
    testing_support::Stop(windowManager_);
    windowManager_ = -1;
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

// The program's shown windows as the X server stacks them.
struct StackedWindow {
  std::string title;  // before " > " and a file name
  xcb_window_t id;
  QRect frame;  // the client grown by the frame the window manager drew
  xcb_window_t transientFor;
};

// The program's shown windows that have a title (its menus have none but
// the program's name), from the lowest to the highest: the window manager's
// stacking list of its clients, else the root's children in their order.
std::vector<StackedWindow> Stacked(const std::string& display) {
  std::vector<StackedWindow> windows;
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  if (xcb_connection_has_error(c) != 0) {
    xcb_disconnect(c);
    return windows;
  }
  const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
  const auto atom = [c](const char* name) { return testing_support::InternAtom(c, name); };
  // A property's bytes; empty when the window has none.
  const auto property = [c](xcb_window_t w, xcb_atom_t name, xcb_atom_t type) {
    std::string bytes;
    xcb_generic_error_t* error = nullptr;
    xcb_get_property_reply_t* reply =
        xcb_get_property_reply(c, xcb_get_property(c, 0, w, name, type, 0, 4096), &error);
    if (reply != nullptr && reply->type == type) {
      bytes.assign(static_cast<const char*>(xcb_get_property_value(reply)),
                   xcb_get_property_value_length(reply));
    }
    free(reply);
    free(error);
    return bytes;
  };
  const auto words = [](const std::string& bytes) {
    std::vector<uint32_t> values(bytes.size() / 4);
    if (!values.empty()) std::memcpy(values.data(), bytes.data(), values.size() * 4);
    return values;
  };
  std::vector<uint32_t> ids =
      words(property(root, atom("_NET_CLIENT_LIST_STACKING"), XCB_ATOM_WINDOW));
  if (ids.empty()) {
    xcb_query_tree_reply_t* tree = xcb_query_tree_reply(c, xcb_query_tree(c, root), nullptr);
    if (tree != nullptr) {
      const xcb_window_t* children = xcb_query_tree_children(tree);
      ids.assign(children, children + xcb_query_tree_children_length(tree));
    }
    free(tree);
  }
  for (const xcb_window_t id : ids) {
    xcb_get_window_attributes_reply_t* attributes =
        xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, id), nullptr);
    const bool viewable = attributes != nullptr && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
    free(attributes);
    if (!viewable || property(id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING).rfind("vorelk", 0) != 0) {
      continue;
    }
    std::string title = property(id, atom("_NET_WM_NAME"), atom("UTF8_STRING"));
    title = title.substr(0, title.find(" > "));
    if (title.empty() || title == "vorelk") continue;
    xcb_get_geometry_reply_t* geometry =
        xcb_get_geometry_reply(c, xcb_get_geometry(c, id), nullptr);
    xcb_translate_coordinates_reply_t* at =
        xcb_translate_coordinates_reply(c, xcb_translate_coordinates(c, id, root, 0, 0), nullptr);
    if (geometry != nullptr && at != nullptr) {
      QRect frame(at->dst_x, at->dst_y, geometry->width, geometry->height);
      const std::vector<uint32_t> extents =
          words(property(id, atom("_NET_FRAME_EXTENTS"), XCB_ATOM_CARDINAL));
      if (extents.size() == 4) {
        frame.adjust(-static_cast<int>(extents[0]), -static_cast<int>(extents[2]),
                     static_cast<int>(extents[1]), static_cast<int>(extents[3]));
      }
      const std::vector<uint32_t> owner =
          words(property(id, XCB_ATOM_WM_TRANSIENT_FOR, XCB_ATOM_WINDOW));
      windows.push_back({title, id, frame, owner.empty() ? uint32_t{XCB_WINDOW_NONE} : owner[0]});
    }
    free(geometry);
    free(at);
  }
  xcb_disconnect(c);
  return windows;
}

std::string Describe(const std::vector<StackedWindow>& windows) {
  std::ostringstream out;
  for (const StackedWindow& w : windows) {
    out << w.title << ": " << w.frame.x() << "," << w.frame.y() << " " << w.frame.width() << "x"
        << w.frame.height() << "\n";
  }
  return out.str();
}

// The top of a frame no other window may lie on: the title bar, and the
// main window's menu bar.
QRect TopBand(const QRect& r) { return QRect(r.x(), r.y(), r.width(), std::min(r.height(), 48)); }

// What is wrong with the program's windows, empty when nothing is: `sides`
// side windows shown with the main window; each of them above it and
// transient for it (owned), on the screen, off its menu bar and off the
// title bar of every side window below it; with `clear`, none of them on
// the main window or on another.
std::string SideWindowFaults(const std::vector<StackedWindow>& windows, size_t sides, bool clear) {
  const auto main = std::find_if(windows.begin(), windows.end(), [](const StackedWindow& w) {
    return w.title == testing_support::kProgramTitle;
  });
  if (main == windows.end() || windows.size() != sides + 1) return "not every window is shown";
  std::string faults;
  for (auto w = windows.begin(); w != windows.end(); ++w) {
    if (w == main) continue;
    const std::string name = w->title;
    if (w < main) faults += name + " is below the main window\n";
    if (w->transientFor != main->id) faults += name + " is not owned by the main window\n";
    if (!kScreen.contains(w->frame)) faults += name + " is partly off the screen\n";
    if (w->frame.intersects(TopBand(main->frame))) faults += name + " is on the menu bar\n";
    if (clear && w->frame.intersects(main->frame)) faults += name + " is on the main window\n";
    for (auto below = windows.begin(); below != w; ++below) {
      if (below == main) continue;
      if (w->frame.intersects(TopBand(below->frame))) {
        faults += name + " is on the title bar of " + below->title + "\n";
      } else if (clear && w->frame.intersects(below->frame)) {
        faults += name + " is on " + below->title + "\n";
      }
    }
  }
  return faults;
}

// For every board size and language, with and without openbox: a first
// start with the side windows a first start opens (the clock and the move
// list), then the main window raised and activated, then the next board
// size, then set-up mode, every window clear of the others each time; and
// a first start with all five side windows, clear of each other and of the
// main window where the screen has room for them (the small and medium
// boards), and above it with every title bar in sight however the main
// window grows.
TEST_F(PlacementE2eTest, SideWindowsStandAboveTheMainWindowAndClearOfIt) {
  const struct {
    bool allFive;
    int boardSize;      // 0 small, 1 medium, 2 big
    bool clearAtStart;  // after a board-size change and in set-up mode too
  } kRows[] = {
      {false, 0, true}, {false, 1, true}, {false, 2, true},
      {true, 0, true},  {true, 1, true},  {true, 2, false},
  };
  // Under openbox first: without a window manager next, the one that has
  // gone leaves its announcement behind.
  for (const bool managed : {true, false}) {
    if (managed) {
      StartWindowManager();
    } else {
      StopWindowManager();
    }
    for (int language = 0; language < kLanguageCount; ++language) {
      // The access key of the menu bar's "Preferences", whose first item
      // opens the board sizes.
      const std::string preferences = MenuText(kMenuTextPreferences, language);
      const size_t key = preferences.find('&');
      ASSERT_NE(key, std::string::npos);
      const char letter = static_cast<char>(std::tolower(preferences[key + 1]));
      for (const auto& row : kRows) {
        SCOPED_TRACE(std::string(managed ? "under openbox" : "without a window manager") +
                     ", language " + std::to_string(language) + ", board size " +
                     std::to_string(row.boardSize) + (row.allFive ? ", all five" : ""));
        WriteSettings({}, row.allFive);
        {
          CSettingsStore store(kSettingsNoRoot);
          OpenProgramSettings(store);
          store.WriteInt("Options", "Language", language);
          store.WriteInt("Options", "Board size", row.boardSize);
        }
        const size_t sides = row.allFive ? 5 : 2;
        const std::string log = (root_ / "vorelk.log").string();
        const pid_t program = testing_support::Spawn({VORELK_PROGRAM}, log);
        ASSERT_GT(program, 0);
        // Waits until the windows have settled (three reads agree) with
        // the main window's size not `before` and no fault; returns them.
        std::vector<StackedWindow> windows;
        const auto settle = [&](bool clear, QSize before, const char* step) {
          std::vector<StackedWindow> previous;
          int same = 0;
          const auto mainSize = [&] {
            for (const StackedWindow& w : windows) {
              if (w.title == testing_support::kProgramTitle) return w.frame.size();
            }
            return QSize();
          };
          const bool settled = WaitUntil(
              [&] {
                windows = Stacked(display_);
                const bool unchanged =
                    windows.size() == previous.size() &&
                    std::equal(windows.begin(), windows.end(), previous.begin(),
                               [](const StackedWindow& a, const StackedWindow& b) {
                                 return a.id == b.id && a.frame == b.frame;
                               });
                same = unchanged ? same + 1 : 0;
                previous = windows;
                return same >= 2 && mainSize() != before &&
                       SideWindowFaults(windows, sides, clear).empty();
              },
              testing_support::kAnswerTime);
          EXPECT_TRUE(settled) << step << ":\n"
                               << SideWindowFaults(windows, sides, clear) << Describe(windows);
          return mainSize();
        };
        const QSize first = settle(row.clearAtStart, QSize(), "first start");
        const bool clearAfter = row.clearAtStart && !row.allFive;
        unsigned long mainId = 0;
        for (const StackedWindow& w : windows) {
          if (w.title == testing_support::kProgramTitle) mainId = w.id;
        }
        const std::string xdo = "DISPLAY=" + display_ + " xdotool ";
        const auto menuShown = [&] { return testing_support::MenuShown(display_); };
        // A side window active, then the main window raised and made the
        // active one (as a click on it does): the side windows stay above.
        RunCommand(xdo + "windowfocus --sync " + std::to_string(windows.back().id));
        RunCommand(xdo + "windowraise " + std::to_string(mainId) + " windowfocus --sync " +
                   std::to_string(mainId));
        settle(row.clearAtStart, QSize(), "the main window raised");
        // Preferences > Board size > the next size.
        std::string keys = "Right";
        for (int i = 0; i < (row.boardSize + 1) % 3; ++i) keys += " Down";
        RunCommand(xdo + "windowfocus --sync " + std::to_string(mainId));
        RunCommand(xdo + "key alt+" + letter);
        EXPECT_TRUE(WaitUntil(menuShown, testing_support::kAnswerTime)) << "no Preferences menu";
        RunCommand(xdo + "key " + keys + " Return");
        EXPECT_TRUE(WaitUntil([&] { return !menuShown(); }, testing_support::kAnswerTime));
        const QSize resized = settle(clearAfter, first, "after a board-size change");
        // The board's pop-up menu (clicked where no side window lies on
        // the board): set-up mode.
        QPoint onBoard;
        for (const StackedWindow& w : windows) {
          if (w.title != testing_support::kProgramTitle) continue;
          // Around the middle of the board (the board stands centred under
          // a wider menu bar).
          const QPoint middle = w.frame.center() + QPoint(0, 30);
          for (int step = 0; step < 100 && onBoard.isNull(); ++step) {
            const QPoint p = middle + QPoint((step % 10 - 5) * 20, (step / 10 - 5) * 20);
            if (std::none_of(windows.begin(), windows.end(), [&](const StackedWindow& o) {
                  return o.id != w.id && o.frame.contains(p);
                })) {
              onBoard = p;
            }
          }
        }
        ASSERT_FALSE(onBoard.isNull()) << Describe(windows);
        RunCommand(xdo + "mousemove " + std::to_string(onBoard.x()) + " " +
                   std::to_string(onBoard.y()) + " click 3");
        EXPECT_TRUE(WaitUntil(menuShown, testing_support::kAnswerTime))
            << "no pop-up menu on the board";
        RunCommand(xdo + "key Down Return");
        settle(clearAfter, resized, "in set-up mode");

        int status = -1;
        const bool exited = WaitUntil(
            [&] {
              testing_support::RequestWindowClose(display_, mainId);
              return WaitUntil([&] { return waitpid(program, &status, WNOHANG) == program; }, 2s);
            },
            testing_support::kAnswerTime);
        if (!exited) testing_support::Stop(program);
        EXPECT_TRUE(exited) << "the program did not exit on its window's close request";
        if (HasFailure()) return;
      }
    }
  }
}

}  // namespace
