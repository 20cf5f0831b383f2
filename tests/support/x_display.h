// Running the real program on a private X server: starts Xvfb on a free
// display, starts and stops child processes, and finds a top-level window by
// its title with xwininfo.
#pragma once

#include <signal.h>
#include <stdlib.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/run_tool.h"

namespace testing_support {

// The longest wait for the program's answer to an input (its window, a
// menu, a dialog, the focus, a picture, a file, its exit): it only ends a
// test whose program never answers, so a slow or busy machine never meets
// it.
inline constexpr std::chrono::seconds kAnswerTime{60};

// The environment a spawned program gets: this process's, except that under
// AddressSanitizer its allocations are traced with whole stacks. Qt is built
// without frame pointers, so the fast trace of an allocation Qt makes ends
// inside Qt, and the leak suppressions could not name the Qt function.
inline std::vector<std::string> SpawnEnvironment() {
  std::vector<std::string> env;
  for (char** e = environ; *e != nullptr; ++e) {
    std::string entry = *e;
    if (entry.rfind("ASAN_OPTIONS=", 0) == 0) entry += ":fast_unwind_on_malloc=0";
    env.push_back(std::move(entry));
  }
  return env;
}

// Starts a program with its arguments, its output going to `log`; returns
// its pid, -1 on failure.
inline pid_t Spawn(const std::vector<std::string>& args, const std::string& log) {
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  std::vector<std::string> environment = SpawnEnvironment();
  std::vector<char*> envp;
  for (std::string& e : environment) envp.push_back(e.data());
  envp.push_back(nullptr);
  std::fflush(nullptr);  // the child's freopen would write out what is buffered
  const pid_t pid = fork();
  if (pid != 0) return pid;
  freopen(log.c_str(), "w", stdout);
  freopen(log.c_str(), "a", stderr);
  execvpe(argv[0], argv.data(), envp.data());
  _exit(127);
}

// Asks a child to end (SIGTERM), kills it after a second, and reaps it.
inline void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

// Starts Xvfb (1024x768, 24 bits) on a display it picks itself (see
// VORELK_XVFB_DISPLAY below) and returns
// the display's name (":<n>"), empty on failure; `server` gets its pid. It
// must not reset when its last client leaves: a program starting during the
// reset could not connect. Keys do not repeat: a slow or busy server would
// otherwise take a key held between xdotool's press and release for a
// repeat and type it twice.
inline std::string StartXvfb(const std::string& log, pid_t& server) {
  server = -1;
  int fds[2];
  if (pipe(fds) != 0) return {};
  // VORELK_XVFB_DISPLAY (":<n>") names the display to take instead of the
  // first free one.
  std::vector<std::string> args = {"Xvfb"};
  const char* fixed = getenv("VORELK_XVFB_DISPLAY");
  if (fixed != nullptr && fixed[0] == ':') args.push_back(fixed);
  for (const char* a :
       {"-screen", "0", "1024x768x24", "-nolisten", "tcp", "-noreset", "-r", "-displayfd"})
    args.push_back(a);
  args.push_back(std::to_string(fds[1]));
  server = Spawn(args, log);
  close(fds[1]);
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  return number.empty() ? std::string() : ":" + number;
}

// A session on a fresh Xvfb server for the program under test: temporary
// XDG configuration, data and runtime folders under `root` (made from
// `pattern`, a mkdtemp template), DISPLAY and Qt's xcb platform set. Returns
// the display name, empty when the folder or the server could not be had.
inline std::string StartXvfbSession(const char* pattern, std::filesystem::path& root,
                                    pid_t& server) {
  server = -1;
  std::string folder = pattern;
  if (mkdtemp(folder.data()) == nullptr) return {};
  root = folder;
  setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  std::filesystem::create_directory(root / "runtime");
  std::filesystem::permissions(root / "runtime", std::filesystem::perms::owner_all);
  setenv("XDG_RUNTIME_DIR", (root / "runtime").c_str(), 1);
  const std::string display = StartXvfb((root / "xvfb.log").string(), server);
  if (display.empty()) return {};
  setenv("DISPLAY", display.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  return display;
}

// Starts the openbox window manager on the display DISPLAY names (the
// session's) and waits until it has taken the screen (it names its check
// window on the root window); returns its pid, -1 when it did not within
// twenty seconds. Stop ends it.
inline pid_t StartOpenbox(const std::string& log) {
  const pid_t pid = Spawn({"openbox", "--sm-disable"}, log);
  if (pid <= 0) return -1;
  for (int i = 0; i < 800; ++i) {
    const CommandRun run = RunCommand("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null");
    if (run.output.find("window id") != std::string::npos) return pid;
    if (waitpid(pid, nullptr, WNOHANG) == pid) return -1;
    std::this_thread::sleep_for(std::chrono::milliseconds(25));
  }
  Stop(pid);
  return -1;
}

struct WindowInfo {
  unsigned long id = 0;
  int x = 0;  // upper-left corner on the screen
  int y = 0;
  int width = 0;
  int height = 0;
};

// The window of that title on the display, found with xwininfo.
inline bool FindWindow(const std::string& display, const std::string& title, WindowInfo& info) {
  const CommandRun run =
      RunCommand("DISPLAY=" + display + " xwininfo -name '" + title + "' 2>/dev/null");
  if (run.exitCode != 0) return false;
  std::smatch m;
  if (!std::regex_search(run.output, m, std::regex("Window id: (0x[0-9a-fA-F]+)"))) return false;
  info.id = std::stoul(m[1].str(), nullptr, 16);
  const auto number = [&](const char* label, int& value) {
    if (std::regex_search(run.output, m, std::regex(std::string(label) + " *(-?[0-9]+)"))) {
      value = std::stoi(m[1]);
    }
  };
  number("Absolute upper-left X:", info.x);
  number("Absolute upper-left Y:", info.y);
  number("Width:", info.width);
  number("Height:", info.height);
  return info.width > 0 && info.height > 0;
}

// Runs xdotool with `commands` on the display; true when it succeeded.
inline bool Xdotool(const std::string& display, const std::string& commands) {
  return RunCommand("DISPLAY=" + display + " xdotool " + commands).exitCode == 0;
}

// A menu of the program is open: a shown top-level window of the program's
// class that has no title (Qt names its popups after the program).
inline bool MenuShown(const std::string& display) {
  const std::string windows =
      RunCommand("DISPLAY=" + display + " xwininfo -root -children 2>/dev/null").output;
  const std::regex popup("(0x[0-9a-fA-F]+) \"vorelk\": \\(\"vorelk\" \"vorelk\"\\)");
  for (std::sregex_iterator it(windows.begin(), windows.end(), popup), end; it != end; ++it) {
    const std::string state =
        RunCommand("DISPLAY=" + display + " xwininfo -id " + (*it)[1].str() + " 2>/dev/null")
            .output;
    if (state.find("Map State: IsViewable") != std::string::npos) return true;
  }
  return false;
}

}  // namespace testing_support
