// The real program on a private X server, driven as its user drives it:
// xdotool's mouse and keys, menus opened by their access keys, windows
// found by their titles and closed as a window manager closes them, and
// pictures of them grabbed by the test's own Qt application on the same
// server. The end-to-end tests share it.
#pragma once

#include <stdlib.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <gtest/gtest.h>
#include <xcb/xcb.h>
#include <xcb/xcbext.h>

#include <QCoreApplication>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QPoint>
#include <QScreen>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <initializer_list>
#include <map>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "platform/settings_store.h"
#include "platform/toolbar.h"
#include "res/toolbars.h"
#include "tests/support/x_display.h"

namespace testing_support {

inline constexpr const char* kProgramTitle = "Vorelk Freeware 2.5.0";

// Polls `done` every 25 ms until it holds, for at most `timeout`; the test's
// own Qt events are handled between polls (it may own the clipboard the
// program reads).
inline bool WaitUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    if (done()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
    if (QCoreApplication::instance() != nullptr) QCoreApplication::processEvents();
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
}

// The X atom of that name on the connection; XCB_ATOM_NONE when unknown.
inline xcb_atom_t InternAtom(xcb_connection_t* c, const char* name) {
  xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
      c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
  const xcb_atom_t a = reply != nullptr ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
  free(reply);
  return a;
}

// Sends the window manager's close request (WM_DELETE_WINDOW), as the
// close button of a window's frame does; true when it was sent.
inline bool RequestWindowClose(const std::string& display, unsigned long window) {
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  const auto atom = [c](const char* name) { return InternAtom(c, name); };
  bool sent = false;
  if (xcb_connection_has_error(c) == 0) {
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = static_cast<xcb_window_t>(window);
    event.type = atom("WM_PROTOCOLS");
    event.data.data32[0] = atom("WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_generic_error_t* error =
        xcb_request_check(c, xcb_send_event_checked(c, 0, event.window, XCB_EVENT_MASK_NO_EVENT,
                                                    reinterpret_cast<const char*>(&event)));
    sent = error == nullptr && event.type != XCB_ATOM_NONE;
    free(error);
  }
  xcb_disconnect(c);
  return sent;
}

// The window that has the keyboard's focus, as the X server says: 0 for
// none, 1 when keys go to the window under the pointer.
inline unsigned long InputFocus(const std::string& display) {
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  unsigned long focus = 0;
  if (xcb_connection_has_error(c) == 0) {
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
    if (reply != nullptr) focus = reply->focus;
    free(reply);
  }
  xcb_disconnect(c);
  return focus;
}

// Watches the keyboard's focus from its construction until Stop, asking
// the X server every millisecond on a connection of its own: a window that
// has the keys for a few milliseconds is seen. Stop returns the windows that had them, in their
// order, each once for each time it took them (see InputFocus).
class FocusWatch {
 public:
  explicit FocusWatch(const std::string& display)
      : thread_([this, display] {
          xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
          if (xcb_connection_has_error(c) == 0) {
            while (!stop_) {
              xcb_get_input_focus_reply_t* reply =
                  xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr);
              const unsigned long focus = reply != nullptr ? reply->focus : 0;
              free(reply);
              if (seen_.empty() || seen_.back() != focus) seen_.push_back(focus);
              std::this_thread::sleep_for(std::chrono::milliseconds(1));
            }
          }
          xcb_disconnect(c);
        }) {}
  FocusWatch(const FocusWatch&) = delete;
  FocusWatch& operator=(const FocusWatch&) = delete;
  ~FocusWatch() { Stop(); }

  std::vector<unsigned long> Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
    return seen_;
  }

 private:
  std::atomic<bool> stop_{false};
  std::vector<unsigned long> seen_;  // written by the thread until it ends
  std::thread thread_;
};

// The titles of the program's shown windows (menus included, under the
// program's name), each cut before " > " and the file name a window adds.
inline std::vector<std::string> ShownWindowTitles(const std::string& display) {
  const std::string names =
      RunCommand("DISPLAY=" + display +
                 " xdotool search --onlyvisible --class vorelk getwindowname %@ 2>/dev/null")
          .output;
  std::vector<std::string> titles;
  size_t start = 0;
  for (size_t end; (end = names.find('\n', start)) != std::string::npos; start = end + 1) {
    const std::string line = names.substr(start, end - start);
    titles.push_back(line.substr(0, line.find(" > ")));
  }
  return titles;
}

// The window the window manager shows as the active one (its title bar
// lit): the root window's _NET_ACTIVE_WINDOW, 0 when there is none.
inline unsigned long ActiveWindow(const std::string& display) {
  xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
  unsigned long active = 0;
  if (xcb_connection_has_error(c) == 0) {
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    xcb_get_property_reply_t* reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, root, InternAtom(c, "_NET_ACTIVE_WINDOW"), XCB_ATOM_WINDOW, 0, 1),
        nullptr);
    if (reply != nullptr && reply->type == XCB_ATOM_WINDOW &&
        xcb_get_property_value_length(reply) == 4) {
      active = *static_cast<const uint32_t*>(xcb_get_property_value(reply));
    }
    free(reply);
  }
  xcb_disconnect(c);
  return active;
}

// Input sent as one burst through the XTEST extension on a connection of
// the test's own: pointer moves, left-button presses and releases, and
// keys, in the order given and as fast as the server takes them. (A
// single xdotool call cannot send a drag followed by more input: the
// server moves the pointer at once but delivers the queued button events
// where the pointer is when it gets to them, so a release lands at the end
// of the moves sent after it.) Each button event is let through first,
// which the pointer's button state tells, before the pointer moves on.
class XInputBurst {
 public:
  XInputBurst& Move(QPoint screen) { return Add(XCB_MOTION_NOTIFY, 0, screen); }
  XInputBurst& Press() { return Add(XCB_BUTTON_PRESS, 1, {}); }
  XInputBurst& Release() { return Add(XCB_BUTTON_RELEASE, 1, {}); }
  XInputBurst& Drag(QPoint from, QPoint to) { return Move(from).Press().Move(to).Release(); }
  XInputBurst& Click(QPoint at) { return Move(at).Press().Release(); }
  // A letter or digit key, pressed and released.
  XInputBurst& Key(char c) {
    const auto key = static_cast<uint8_t>(c);
    return Add(XCB_KEY_PRESS, key, {}).Add(XCB_KEY_RELEASE, key, {});
  }

  // Sends the burst to the display; false when the server has no XTEST,
  // a key is not on its keyboard, or a button event was never let through.
  bool Send(const std::string& display) const {
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    const bool sent = xcb_connection_has_error(c) == 0 && SendOn(c);
    xcb_disconnect(c);
    return sent;
  }

 private:
  struct Step {
    uint8_t type;
    uint8_t detail;  // the button, or the key's character
    QPoint at;
  };

  XInputBurst& Add(uint8_t type, uint8_t detail, QPoint at) {
    steps_.push_back({type, detail, at});
    return *this;
  }

  // The keycode of a character's key (its keysym is the character).
  static uint8_t KeyCode(xcb_connection_t* c, char key) {
    const xcb_setup_t* setup = xcb_get_setup(c);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    xcb_get_keyboard_mapping_reply_t* map = xcb_get_keyboard_mapping_reply(
        c, xcb_get_keyboard_mapping(c, setup->min_keycode, static_cast<uint8_t>(count)), nullptr);
    uint8_t code = 0;
    if (map != nullptr) {
      const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map);
      for (int i = 0; i < count * map->keysyms_per_keycode && code == 0; ++i)
        if (syms[i] == static_cast<xcb_keysym_t>(key))
          code = static_cast<uint8_t>(setup->min_keycode + i / map->keysyms_per_keycode);
    }
    free(map);
    return code;
  }

  bool SendOn(xcb_connection_t* c) const {
    static xcb_extension_t xtest = {"XTEST", 0};
    const xcb_query_extension_reply_t* present = xcb_get_extension_data(c, &xtest);
    if (present == nullptr || present->present == 0) return false;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    for (const Step& step : steps_) {
      // XTEST's FakeInput request; the header's opcodes and length are
      // filled in by xcb.
      struct {
        uint8_t header[4];
        uint8_t type, detail;
        uint16_t pad0;
        uint32_t time, root, pad1[2];
        int16_t x, y;
        uint8_t pad2[7], device;
      } request{};
      static_assert(sizeof request == 36);
      const bool key = step.type == XCB_KEY_PRESS || step.type == XCB_KEY_RELEASE;
      request.type = step.type;
      request.detail = key ? KeyCode(c, static_cast<char>(step.detail)) : step.detail;
      if (key && request.detail == 0) return false;
      request.root = step.type == XCB_MOTION_NOTIFY ? root : XCB_NONE;
      request.x = static_cast<int16_t>(step.at.x());
      request.y = static_cast<int16_t>(step.at.y());
      iovec parts[3];
      parts[2] = {&request, sizeof request};
      const xcb_protocol_request_t fakeInput = {1, &xtest, 2, 1};
      xcb_send_request(c, 0, parts + 2, &fakeInput);
      if (step.type != XCB_BUTTON_PRESS && step.type != XCB_BUTTON_RELEASE) continue;
      // Asked again at once: the burst must stay one.
      const bool down = step.type == XCB_BUTTON_PRESS;
      const auto end = std::chrono::steady_clock::now() + kAnswerTime;
      for (bool through = false; !through;) {
        xcb_query_pointer_reply_t* p =
            xcb_query_pointer_reply(c, xcb_query_pointer(c, root), nullptr);
        const bool answered = p != nullptr;
        through = answered && ((p->mask & XCB_BUTTON_MASK_1) != 0) == down;
        free(p);
        if (!through && (!answered || std::chrono::steady_clock::now() >= end)) return false;
      }
    }
    free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
    return true;
  }

  std::vector<Step> steps_;
};

// The program's main window with the medium board and no coordinate band:
// the client is the two toolbar rows and 11 squares; the menu bar takes
// the rest of the window's height.
struct MediumBoardWindow {
  static constexpr int kSquare = 38;
  static constexpr int kToolbarBand = 60;
  static constexpr int kClientHeight = kToolbarBand + 11 * kSquare;

  WindowInfo w;

  int MenuBarHeight() const { return w.height - kClientHeight; }

  // The centre of a square named in coordinate notation ("h2": files a..i
  // from red's left, ranks 0..9 from red's back rank), in window pixels. In
  // the unturned view file a is the leftmost column and rank 0 the lowest
  // row; the board stands centred under a wider menu bar.
  QPoint SquareCentre(const std::string& name) const {
    const int column = name[0] - 'a', row = name[1] - '0';
    const int boardLeft = (w.width - 10 * kSquare) / 2;
    const int boardTop = MenuBarHeight() + kToolbarBand;
    return {boardLeft + kSquare / 2 + kSquare * column + kSquare / 2,
            boardTop + kSquare / 2 + kSquare * (9 - row) + kSquare / 2};
  }

  // The centre of the button of `command` on the game toolbar (the upper
  // row, from the board's left edge), in window pixels: the buttons narrow
  // to share the board's width, as CToolBar lays them out. (-1, -1) when
  // the bar has no such button.
  QPoint GameToolbarButton(int command) const {
    const ToolbarResource* bar = FindToolbarResource(kToolbarGame);
    if (bar == nullptr) return {-1, -1};
    int buttons = 0, separators = 0;
    for (size_t i = 0; i < bar->buttonCount; ++i)
      (bar->buttons[i].command == 0 ? separators : buttons)++;
    const int room = 10 * kSquare, fixed = separators * CToolBar::kSeparatorWidth;
    int width = CToolBar::kButtonWidth;
    if (fixed + buttons * width > room)
      width =
          std::clamp((room - fixed) / buttons, CToolBar::kMinButtonWidth, CToolBar::kButtonWidth);
    int left = (w.width - room) / 2;
    for (size_t i = 0; i < bar->buttonCount; ++i) {
      if (bar->buttons[i].command == command)
        return {left + width / 2, MenuBarHeight() + CToolBar::kRowHeight / 2};
      left += bar->buttons[i].command == 0 ? CToolBar::kSeparatorWidth : width;
    }
    return {-1, -1};
  }
};

// The screen position of window pixel `p` of `w`, as xdotool takes it.
inline std::string ScreenPoint(const WindowInfo& w, QPoint p) {
  return std::to_string(w.x + p.x()) + " " + std::to_string(w.y + p.y());
}

// The picture of one window (0: the whole screen), grabbed through the
// test's Qt application.
inline QImage GrabWindow(unsigned long id) {
  return QGuiApplication::primaryScreen()->grabWindow(id).toImage();
}

// Grabs the window every 50 ms until `done` holds for a grab that equals
// the two before it (the painting has settled), for at most `timeout`.
// Returns that grab, or a null picture (the last grab in `last`).
inline QImage WaitForSettledPicture(const WindowInfo& w,
                                    const std::function<bool(const QImage&)>& done,
                                    std::chrono::milliseconds timeout, QImage& last) {
  QImage previous, found;
  int same = 0;
  WaitUntil(
      [&] {
        const QImage picture = GrabWindow(w.id);
        same = picture == previous ? same + 1 : 0;
        previous = last = picture;
        if (picture.size() != QSize(w.width, w.height) || same < 2 || !done(picture)) return false;
        found = picture;
        return true;
      },
      timeout);
  return found;
}

// One run of the program on the display, stopped (and its window gone)
// when the run ends without its own exit.
class XProgramRun {
 public:
  explicit XProgramRun(std::string display) : display_(std::move(display)) {}
  XProgramRun(const XProgramRun&) = delete;
  XProgramRun& operator=(const XProgramRun&) = delete;

  ~XProgramRun() {
    Stop(pid_);
    WindowInfo gone;
    WaitUntil([&] { return !FindWindow(display_, kProgramTitle, gone); }, std::chrono::seconds(2));
  }

  // Starts `program` with its output in `log` and waits for its main
  // window; false when none came.
  // The window is found as soon as it is mapped, but it may still grow as
  // its menu bar is laid out (a slow machine shows that): its geometry is
  // read until two reads agree on a window taller than the board's client.
  // `command` may run the program through another (e.g. prlimit).
  bool Start(const std::string& program, const std::string& log) {
    return Start(std::vector<std::string>{program}, log);
  }
  bool Start(const std::vector<std::string>& command, const std::string& log) {
    pid_ = Spawn(command, log);
    if (pid_ <= 0) return false;
    WindowInfo previous;
    return WaitUntil(
        [&] {
          if (!FindWindow(display_, kProgramTitle, main_.w) || !Viewable(main_.w.id)) return false;
          const WindowInfo& w = main_.w;
          const bool settled = w.height > MediumBoardWindow::kClientHeight && w.id == previous.id &&
                               w.x == previous.x && w.y == previous.y &&
                               w.width == previous.width && w.height == previous.height;
          previous = w;
          return settled;
        },
        kAnswerTime);
  }

  const MediumBoardWindow& Main() const { return main_; }
  const std::string& Display() const { return display_; }
  pid_t Pid() const { return pid_; }

  // Runs xdotool's commands on the display.
  bool Xdo(const std::string& commands) const { return Xdotool(display_, commands); }

  // The screen position of a square's centre, as xdotool takes it.
  std::string Square(const std::string& name) const {
    return ScreenPoint(main_.w, main_.SquareCentre(name));
  }

  // A shown window of that title; `info` gets its place and id.
  bool WaitForWindow(const std::string& title, WindowInfo& info,
                     std::chrono::milliseconds timeout) const {
    return WaitUntil([&] { return FindWindow(display_, title, info) && Viewable(info.id); },
                     timeout);
  }

  bool WaitForWindowGone(const std::string& title, std::chrono::milliseconds timeout) const {
    WindowInfo info;
    return WaitUntil([&] { return !FindWindow(display_, title, info) || !Viewable(info.id); },
                     timeout);
  }

  // The keyboard's focus is in that window: keys typed now go to it.
  bool WaitForFocus(unsigned long id, std::chrono::milliseconds timeout) const {
    return WaitUntil(
        [&] {
          const CommandRun run = RunCommand("DISPLAY=" + display_ + " xdotool getwindowfocus");
          return run.exitCode == 0 && std::strtoul(run.output.c_str(), nullptr, 10) == id;
        },
        timeout);
  }

  // A menu (or another pop-up) of the program is open: a shown top-level
  // window of the program's class that has no title (Qt names its pop-ups
  // after the program).
  bool MenuShown() const { return testing_support::MenuShown(display_); }

  // Gives the main window the keyboard's focus. With no window manager a
  // closed dialog leaves the focus nowhere, and a window takes it when
  // clicked: the click goes to the empty end of the second toolbar row.
  bool FocusMain() const {
    const auto focused = [&] { return WaitForFocus(main_.w.id, std::chrono::milliseconds(100)); };
    if (focused()) return true;
    const QPoint toolbarEnd(main_.w.width - 12, main_.MenuBarHeight() + 45);
    return Xdo("mousemove " + ScreenPoint(main_.w, toolbarEnd) + " click 1") &&
           WaitForFocus(main_.w.id, kAnswerTime);
  }

  // Opens the menu bar's menu of access key `letter` (Alt + letter) in the
  // main window.
  bool OpenMenu(char letter) const {
    return FocusMain() && Xdo(std::string("key alt+") + letter) &&
           WaitUntil([&] { return MenuShown(); }, kAnswerTime);
  }

  // Chooses a command with the keys `keys` (xdotool key names) in the
  // open menu; false when a menu stays open (the item is greyed).
  bool ChooseInMenu(const std::string& keys) const {
    return Xdo("key " + keys) && WaitUntil([&] { return !MenuShown(); }, kAnswerTime);
  }

  // Replaces the text of the focused field of the dialog titled `title`
  // with `text`, presses Return, and waits until the dialog has gone.
  // A file dialog's name field completes what is typed from a list that a
  // background thread fills: on a loaded machine the list may still offer
  // the completion of an earlier part of the path (its folder) when Return
  // comes, and Return takes it, so the dialog goes into that folder and
  // stays open with an empty name. The screen is let settle before Return,
  // and the text is typed again when the dialog stayed. A slow machine may
  // take long to close the dialog, and keys typed again then would go to
  // the next window: the dialog is given the whole answer time to go.
  bool EnterInDialog(const std::string& title, const std::string& text) const {
    for (int attempt = 0; attempt < 3; ++attempt) {
      WindowInfo stayed;
      if (attempt > 0 && !(FindWindow(display_, title, stayed) && Viewable(stayed.id))) return true;
      if (!Xdo("key ctrl+a") || !Xdo("type --delay 10 '" + text + "'")) return false;
      QImage previous;
      int same = 0;
      WaitUntil(
          [&] {
            const QImage screen = GrabWindow(0);
            same = screen == previous ? same + 1 : 0;
            previous = screen;
            return same >= 2;
          },
          std::chrono::seconds(3));
      if (!Xdo("key Return")) return false;
      if (WaitForWindowGone(title, kAnswerTime)) return true;
    }
    return false;
  }

  // Waits for the program's own exit; `status` gets waitpid's status.
  bool WaitForExit(int& status, std::chrono::milliseconds timeout) {
    const bool exited = WaitUntil([&] { return waitpid(pid_, &status, WNOHANG) == pid_; }, timeout);
    if (exited) pid_ = -1;
    return exited;
  }

 private:
  bool Viewable(unsigned long id) const {
    return RunCommand("DISPLAY=" + display_ + " xwininfo -id " + std::to_string(id) +
                      " 2>/dev/null")
               .output.find("Map State: IsViewable") != std::string::npos;
  }

  std::string display_;
  pid_t pid_ = -1;
  MediumBoardWindow main_;
};

// The pieces of a FEN's board part by square ("e0" -> 'K').
inline std::map<std::string, char> FenPieces(const std::string& fen) {
  std::map<std::string, char> pieces;
  int rank = 9, file = 0;
  for (const char c : fen) {
    if (c == ' ') break;
    if (c == '/') {
      --rank;
      file = 0;
    } else if (c >= '1' && c <= '9') {
      file += c - '0';
    } else {
      pieces[{static_cast<char>('a' + file++), static_cast<char>('0' + rank)}] = c;
    }
  }
  return pieces;
}

// The squares the engine's ponder arrow crosses in `picture` of the main
// window: squares with the arrow's yellow (a thin line from the predicted
// move's from-square to its to-square) near their centres.
inline std::vector<std::string> PonderArrowSquares(const QImage& picture,
                                                   const MediumBoardWindow& m) {
  std::vector<std::string> yellow;
  for (char rank = '0'; rank <= '9'; ++rank)
    for (char file = 'a'; file <= 'i'; ++file) {
      const QPoint c = m.SquareCentre({file, rank});
      bool found = false;
      for (int dy = -4; dy <= 4 && !found; ++dy)
        for (int dx = -4; dx <= 4 && !found; ++dx)
          found = picture.valid(c + QPoint(dx, dy)) &&
                  (picture.pixel(c + QPoint(dx, dy)) & 0xFFFFFF) == 0xFAFA00;
      if (found) yellow.push_back({file, rank});
    }
  return yellow;
}

// A test suite of the real program on one Xvfb session of its own, with
// temporary XDG folders (root_) and a Qt application of the test's own on
// the display, for the grabs and the clipboard. `Suite` is the test class,
// so that every suite has its own session; its kSessionFolder is the
// mkdtemp pattern of the folders.
template <typename Suite>
class XvfbSuiteTest : public ::testing::Test {
 public:
  static void SetUpTestSuite() {
    if (RunCommand("command -v Xvfb && command -v xwininfo && command -v xdotool").exitCode != 0)
      return;
    display_ = StartXvfbSession(Suite::kSessionFolder, root_, server_);
    if (display_.empty()) return;
    static int argc = 1;
    static char name[] = "e2e_test";
    static char* argv[] = {name, nullptr};
    app_ = std::make_unique<QGuiApplication>(argc, argv);
  }

  static void TearDownTestSuite() {
    app_.reset();
    Stop(server_);
    if (!root_.empty()) std::filesystem::remove_all(root_);
  }

 protected:
  void SetUp() override {
    ASSERT_FALSE(root_.empty()) << "Xvfb, xwininfo and xdotool are needed "
                                   "(Debian xvfb, x11-utils and xdotool)";
    ASSERT_NE(app_, nullptr) << "Xvfb did not start";
  }

  // Fresh configuration and data folders, the settings holding these
  // options.
  static void WriteOptions(std::initializer_list<std::pair<const char*, int>> options) {
    std::filesystem::remove_all(root_ / "config");
    std::filesystem::remove_all(root_ / "data");
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    for (const auto& [key, value] : options) store.WriteInt("Options", key, value);
  }

  // The game the program saves at its exit.
  static std::filesystem::path Autosave() {
    return root_ / "data" / "Vorelk" / "CurrentGameV1.vgf";
  }

  static inline std::filesystem::path root_;
  static inline std::string display_;
  static inline pid_t server_ = -1;
  static inline std::unique_ptr<QGuiApplication> app_;
};

}  // namespace testing_support
