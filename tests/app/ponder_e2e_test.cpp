// The real program under Xvfb, pondering: the user plays the move the
// engine predicted (learnt from the engine itself: its arrow on the board
// shows the predicted move while it ponders), then saves during the think
// that follows, and in a second hit takes the move back and replays it.
// The saved file, the board and the autosave must keep the user's moves.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/run_tool.h"
#include "tests/support/x_display.h"
#include "tests/support/x_program.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using testing_support::kAnswerTime;
using testing_support::FenPieces;
using testing_support::MediumBoardWindow;
using testing_support::RunCommand;
using testing_support::RunTool;
using testing_support::WaitForSettledPicture;
using testing_support::WaitUntil;
using testing_support::WindowInfo;
using testing_support::XProgramRun;

namespace {

const fs::path kPictureFolder = fs::path(VORELK_SCREENSHOT).parent_path() / "window_screenshots";

bool SameSquare(const QImage& a, const QImage& b, const MediumBoardWindow& m,
                const std::string& name) {
  const QPoint c = m.SquareCentre(name);
  for (int dy = -6; dy <= 6; ++dy)
    for (int dx = -6; dx <= 6; ++dx) {
      const QPoint p = c + QPoint(dx, dy);
      if (!a.valid(p) || !b.valid(p) || a.pixel(p) != b.pixel(p)) return false;
    }
  return true;
}

std::vector<std::string> ChangedSquares(const QImage& a, const QImage& b,
                                        const MediumBoardWindow& m) {
  std::vector<std::string> changed;
  for (char rank = '0'; rank <= '9'; ++rank)
    for (char file = 'a'; file <= 'i'; ++file)
      if (!SameSquare(a, b, m, {file, rank})) changed.push_back({file, rank});
  return changed;
}

// The moves and final position `gamefile` reads from a game file.
struct Game {
  std::vector<std::string> moves;
  std::string final;
};

Game ReadGame(const fs::path& file) {
  Game g;
  const auto run = RunTool("gamefile", "'" + file.string() + "'");
  if (run.exitCode != 0 || run.output.rfind("result 0\n", 0) != 0) return g;
  size_t begin = 0;
  for (size_t end; (end = run.output.find('\n', begin)) != std::string::npos; begin = end + 1) {
    const std::string line = run.output.substr(begin, end - begin);
    if (line.rfind("move ", 0) == 0) g.moves.push_back(line.substr(5));
    if (line.rfind("final ", 0) == 0) g.final = line.substr(6);
  }
  return g;
}

class PonderE2eTest : public testing_support::XvfbSuiteTest<PonderE2eTest> {
 public:
  static constexpr const char* kSessionFolder = "/tmp/vorelk-ponder-XXXXXX";
  static void SetUpTestSuite() {
    fs::create_directories(kPictureFolder);
    XvfbSuiteTest::SetUpTestSuite();
  }
};

// One run of the program with its board picture kept between steps.
class Player {
 public:
  explicit Player(XProgramRun& run) : run_(run), m_(run.Main()) {}

  QImage board;
  std::string seen;  // the squares the last arrow crossed

  ::testing::AssertionResult Settle(const std::function<bool(const QImage&)>& done,
                                    const std::string& failure) {
    QImage last;
    const QImage found = WaitForSettledPicture(m_.w, done, kAnswerTime, last);
    if (found.isNull()) {
      last.save(QString::fromStdString((kPictureFolder / "ponder_e2e_failed.png").string()));
      return ::testing::AssertionFailure() << failure << " (picture: ponder_e2e_failed.png)";
    }
    board = found;
    return ::testing::AssertionSuccess();
  }

  ::testing::AssertionResult Drag(const std::string& from, const std::string& to) {
    const QImage before = board;
    if (!run_.Xdo("mousemove " + run_.Square(from) + " mousedown 1 mousemove " + run_.Square(to) +
                  " mouseup 1"))
      return ::testing::AssertionFailure() << "xdotool";
    return Settle(
        [&](const QImage& p) {
          return !SameSquare(before, p, m_, from) && !SameSquare(before, p, m_, to);
        },
        "the board never showed " + from + to);
  }

  // Thinking > Stop thinking, and the engine's answer: the autosave of
  // each engine move then holds `moves` moves.
  ::testing::AssertionResult AnswerNow(const fs::path& autosave, size_t moves) {
    if (!run_.OpenMenu('t') || !run_.ChooseInMenu("Return"))
      return ::testing::AssertionFailure() << "Stop thinking could not be chosen";
    if (!WaitUntil([&] { return ReadGame(autosave).moves.size() == moves; }, kAnswerTime))
      return ::testing::AssertionFailure() << "the engine did not answer";
    return Settle([](const QImage&) { return true; }, "no picture");
  }

  // The move the engine ponders on, as its arrow shows it (a thin yellow
  // line from the predicted move's from-square, a red piece in
  // `position`, to its to-square, the yellow square farthest from it).
  std::string PredictedMove(const std::string& position) {
    std::vector<std::string> yellow;
    const auto find = [&](const QImage& p) {
      yellow = testing_support::PonderArrowSquares(p, m_);
      return yellow.size() >= 2;
    };
    if (!Settle(find, "no predicted move's arrow")) return {};
    find(board);
    seen.clear();
    for (const std::string& y : yellow) seen += y + " ";
    const auto pieces = FenPieces(position);
    std::string from;
    for (const std::string& y : yellow) {
      const auto it = pieces.find(y);
      if (it != pieces.end() && it->second >= 'A' && it->second <= 'Z') from = y;
    }
    if (from.empty()) return {};
    std::string to;
    int far = 0;
    for (const std::string& y : yellow) {
      const int d = (y[0] - from[0]) * (y[0] - from[0]) + (y[1] - from[1]) * (y[1] - from[1]);
      if (d > far) {
        far = d;
        to = y;
      }
    }
    return from + to;
  }

  // File > Save game... with a coordinate-text name (no editor follows).
  ::testing::AssertionResult Save(const fs::path& file) {
    // The menu is opened a second time when the dialog did not come: on a
    // loaded machine the first Alt key may reach the window before it has
    // the focus.
    WindowInfo dialog;
    bool shown = false;
    for (int attempt = 0; attempt < 2 && !shown; ++attempt) {
      if (attempt > 0) run_.Xdo("key Escape");
      shown = run_.OpenMenu('f') && run_.ChooseInMenu("s") &&
              run_.WaitForWindow("Save As", dialog, kAnswerTime);
    }
    if (!shown) return ::testing::AssertionFailure() << "File > Save game showed no dialog";
    if (!run_.WaitForFocus(dialog.id, kAnswerTime) || !run_.EnterInDialog("Save As", file.string()))
      return ::testing::AssertionFailure() << "the save dialog did not take the name";
    if (!WaitUntil([&] { return fs::exists(file); }, kAnswerTime))
      return ::testing::AssertionFailure() << "no file written";
    return ::testing::AssertionSuccess();
  }

  ::testing::AssertionResult Key(const std::string& key, const std::function<bool(const QImage&)>& done,
                                 const std::string& failure) {
    if (!run_.FocusMain() || !run_.Xdo("key " + key)) return ::testing::AssertionFailure() << key;
    return Settle(done, failure);
  }

 private:
  XProgramRun& run_;
  const MediumBoardWindow& m_;
};

TEST_F(PonderE2eTest, APonderHitKeepsTheUsersMoveForASaveATakeBackAndTheAutosave) {
  // Long thinks that end by Stop thinking, pondering, no books; every
  // engine move autosaved, which tells the test the position.
  WriteOptions({{"Language", 1}, {"Board size", 1}, {"Board coordinate", 0},
                {"GameListWindow", 0}, {"ClockWindow", 0}, {"SpyComputing", 1}, {"Book Mode 1", 0},
                {"Book Mode 2", 0}, {"TC", 1}, {"thinkingTime", 60000}, {"Ponder", 1},
                {"Move selection", 1}, {"Save on each move", 1}, {"Animation Speed", 2}});
  XProgramRun run(display_);
  ASSERT_TRUE(run.Start(VORELK_PROGRAM, (root_ / "vorelk.log").string()));
  const MediumBoardWindow& m = run.Main();
  Player p(run);
  ASSERT_TRUE(p.Settle([](const QImage&) { return true; },
                       "no first picture"));

  // Two rounds: the user's move, the answer, the predicted move played.
  const std::string firstMoves[] = {"h2e2", "b0c2"};
  std::vector<std::string> predicted;
  for (int round = 0; round < 2; ++round) {
    ASSERT_TRUE(p.Drag(firstMoves[round].substr(0, 2), firstMoves[round].substr(2)));
    const size_t played = static_cast<size_t>(4 * round + 2);
    ASSERT_TRUE(p.AnswerNow(Autosave(), played));
    const Game autosaved = ReadGame(Autosave());
    const std::string move = p.PredictedMove(autosaved.final);
    ASSERT_EQ(move.size(), 4u) << "no predicted move's arrow; yellow at " << p.seen
                               << "in " << autosaved.final;
    predicted.push_back(move);
    ASSERT_TRUE(p.Drag(move.substr(0, 2), move.substr(2)));
    if (round == 0) {
      // Saved during the think after the hit: the file holds the move, the
      // board keeps it and the think goes on to the engine's answer.
      const fs::path file = root_ / "hit.txt";
      ASSERT_TRUE(p.Save(file));
      const Game saved = ReadGame(file);
      ASSERT_EQ(saved.moves.size(), 3u);
      EXPECT_EQ(saved.moves[2], move);
      ASSERT_TRUE(p.AnswerNow(Autosave(), 4)) << "the think did not go on after the save";
      // The answer was played; stop the ponder that follows with a take
      // back and a replay of the engine's answer.
      ASSERT_TRUE(p.Key("Left", [&](const QImage& pic) { return !ChangedSquares(p.board, pic, m).empty(); },
                        "no take back"));
      ASSERT_TRUE(p.Key("Right", [&](const QImage& pic) { return !ChangedSquares(p.board, pic, m).empty(); },
                        "no replay"));
    } else {
      // Taken back during the think after the hit, then replayed.
      const QImage beforeLeft = p.board;
      ASSERT_TRUE(p.Key("Left", [&](const QImage& pic) {
        return !SameSquare(beforeLeft, pic, m, move.substr(0, 2)) &&
               !SameSquare(beforeLeft, pic, m, move.substr(2));
      }, "the take back did not show"));
      const QImage afterLeft = p.board;
      ASSERT_TRUE(p.Key("Right", [&](const QImage& pic) {
        return !SameSquare(afterLeft, pic, m, move.substr(0, 2)) &&
               !SameSquare(afterLeft, pic, m, move.substr(2));
      }, "Right did not replay the user's move"));
    }
  }

  // The close while idle: the autosave holds every move, the user's last.
  ASSERT_TRUE(testing_support::RequestWindowClose(display_, m.w.id));
  int status = 0;
  ASSERT_TRUE(run.WaitForExit(status, kAnswerTime)) << "the program did not end";
  const Game last = ReadGame(Autosave());
  ASSERT_EQ(last.moves.size(), 7u);
  EXPECT_EQ(last.moves[2], predicted[0]);
  EXPECT_EQ(last.moves[6], predicted[1]);
}

}  // namespace
