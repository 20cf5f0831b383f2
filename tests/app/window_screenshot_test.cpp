// The real program on a real X server: starts build/vorelk under Xvfb with
// Qt's xcb platform, finds its main window, grabs its picture and checks
// that the window is there, carries its menu bar and is not blank. The
// picture is kept as build/tests/vorelk_window.png for a look by eye.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>
#include <QSet>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <regex>
#include <string>
#include <thread>

#include "platform/settings_store.h"
#include "tests/support/run_tool.h"

namespace fs = std::filesystem;
using testing_support::RunCommand;

namespace {

// Starts a program with its arguments; returns its pid, -1 on failure.
pid_t Spawn(const std::vector<std::string>& args, const std::string& log) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  std::vector<char*> argv;
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  freopen(log.c_str(), "w", stdout);
  freopen(log.c_str(), "a", stderr);
  execvp(argv[0], argv.data());
  _exit(127);
}

void Stop(pid_t pid) {
  if (pid <= 0) return;
  kill(pid, SIGTERM);
  for (int i = 0; i < 50; ++i) {
    if (waitpid(pid, nullptr, WNOHANG) == pid) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  kill(pid, SIGKILL);
  waitpid(pid, nullptr, 0);
}

struct WindowInfo {
  unsigned long id = 0;
  int width = 0;
  int height = 0;
};

// The window of that title on the display, found with xwininfo.
bool FindWindow(const std::string& display, const std::string& title, WindowInfo& info) {
  const auto run = RunCommand("DISPLAY=" + display + " xwininfo -name '" + title + "' 2>/dev/null");
  if (run.exitCode != 0) return false;
  std::smatch m;
  if (!std::regex_search(run.output, m, std::regex("Window id: (0x[0-9a-fA-F]+)"))) return false;
  info.id = std::stoul(m[1].str(), nullptr, 16);
  if (std::regex_search(run.output, m, std::regex("Width: ([0-9]+)"))) info.width = std::stoi(m[1]);
  if (std::regex_search(run.output, m, std::regex("Height: ([0-9]+)"))) {
    info.height = std::stoi(m[1]);
  }
  return info.width > 0 && info.height > 0;
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

TEST(WindowScreenshotTest, TheProgramShowsItsWindowWithAMenuBarOnAnXServer) {
  if (RunCommand("command -v Xvfb >/dev/null && command -v xwininfo >/dev/null").exitCode != 0) {
    GTEST_FAIL() << "Xvfb and xwininfo are needed (Debian packages xvfb and x11-utils)";
  }
  char pattern[] = "/tmp/vorelk-xvfb-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  const fs::path root = pattern;
  // A language already chosen, so the program opens its main window.
  setenv("XDG_CONFIG_HOME", (root / "config").c_str(), 1);
  setenv("XDG_DATA_HOME", (root / "data").c_str(), 1);
  {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    ASSERT_TRUE(store.WriteInt("Options", "Language", 1));
  }

  // Xvfb picks a free display and writes its number to the pipe.
  int fds[2];
  ASSERT_EQ(pipe(fds), 0);
  const pid_t server = Spawn({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                              "1024x768x24", "-nolisten", "tcp"},
                             (root / "xvfb.log").string());
  close(fds[1]);
  std::string number;
  char c;
  while (read(fds[0], &c, 1) == 1 && c != '\n') number += c;
  close(fds[0]);
  ASSERT_FALSE(number.empty()) << "Xvfb did not start";
  const std::string display = ":" + number;

  setenv("DISPLAY", display.c_str(), 1);
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  const pid_t program = Spawn({VORELK_PROGRAM}, (root / "vorelk.log").string());

  WindowInfo window;
  bool found = false;
  for (int i = 0; i < 600 && !found; ++i) {
    found = FindWindow(display, "Vorelk Freeware 2.5.0", window);
    if (!found) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  QImage picture;
  if (found) {
    // Grab the window from the server until it has painted (a slow machine
    // may take a while), at most for ten seconds.
    static int argc = 1;
    static char name[] = "window_screenshot_test";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    for (int i = 0; i < 50; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
      picture = QGuiApplication::primaryScreen()->grabWindow(window.id).toImage();
      if (LooksDone(Inspect(picture))) break;
    }
    picture.save(QStringLiteral(VORELK_SCREENSHOT));
  }
  Stop(program);
  Stop(server);
  fs::remove_all(root);

  ASSERT_TRUE(found) << "no window titled \"Vorelk Freeware 2.5.0\"";
  ASSERT_FALSE(picture.isNull());
  EXPECT_EQ(picture.width(), window.width);
  EXPECT_GE(picture.height(), 300);

  const PictureFacts facts = Inspect(picture);
  // Not blank: several colours over the whole picture.
  EXPECT_GE(facts.colours, 4) << "the window's picture is blank";
  // A menu bar: a strip at the top whose dark text pixels form the menu
  // titles, above the board's plain colour.
  EXPECT_GT(facts.darkInBar, 100) << "no menu titles at the top of the window";
  EXPECT_TRUE(facts.barDiffersFromBoard) << "no menu bar above the board";
}

}  // namespace
