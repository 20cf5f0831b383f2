// The real program under Xvfb and openbox, pondering on its predicted reply
// after answering h2e2, given another move by a drag and, in the same burst
// of input, a second command: a second drag, a click on the Stop thinking
// button, or H. The dragged move must be made before the command after it
// and the engine must answer it: the autosave of each engine move then
// holds the user's move and the engine's answer. The board must then show
// the engine pondering or idle (pondering after Stop thinking), and the
// second drag's pawn where it stood. Each case is played many times over, a
// new game each time, and no move may be lost. Then H and a drag in one
// burst, from the start of a new game: the drag comes while the hint's
// search runs, and the move must be made and answered as well, and saved by
// a close given right after it; with Stop thinking right after it the
// answer comes at once and the engine ponders.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QImage>
#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "res/menus.h"
#include "tests/support/run_tool.h"
#include "tests/support/x_display.h"
#include "tests/support/x_program.h"

namespace fs = std::filesystem;
using testing_support::kAnswerTime;
using testing_support::MediumBoardWindow;
using testing_support::WaitForSettledPicture;
using testing_support::WaitUntil;
using testing_support::XInputBurst;
using testing_support::XProgramRun;

namespace {

constexpr int kRepetitions = 8;

// What the burst gives after the dragged move.
enum class Then { kSecondDrag, kStopThinking, kHint };

struct Row {
  const char* name;
  Then then;
};

const Row kRows[] = {
    {"a second drag", Then::kSecondDrag},
    {"Stop thinking", Then::kStopThinking},
    {"H", Then::kHint},
};

// Red's pawn moves, one of which the engine cannot have predicted.
const char* const kPawnMoves[] = {"a3a4", "i3i4", "c3c4", "g3g4"};

std::vector<std::string> Moves(const std::string& listed) {
  std::istringstream in(listed);
  std::vector<std::string> moves;
  for (std::string m; in >> m;) moves.push_back(m);
  return moves;
}

class QuickInputE2eTest : public testing_support::XvfbSuiteTest<QuickInputE2eTest> {
 public:
  static constexpr const char* kSessionFolder = "/tmp/vorelk-quick-XXXXXX";

  static void SetUpTestSuite() {
    XvfbSuiteTest::SetUpTestSuite();
    if (app_ != nullptr)
      windowManager_ = testing_support::StartOpenbox((root_ / "openbox.log").string());
  }

  static void TearDownTestSuite() {
    testing_support::Stop(windowManager_);
    XvfbSuiteTest::TearDownTestSuite();
  }

 protected:
  static void WriteQuickOptions();
  static inline pid_t windowManager_ = -1;
};

// The program with the board as it was last seen.
class Game {
 public:
  Game(XProgramRun& run, fs::path autosave)
      : run_(run), m_(run.Main()), autosave_(std::move(autosave)) {}

  std::string Autosaved() const { return testing_support::GameFileMoves(autosave_.string()); }

  // The window's picture, settled, once `done` holds for it.
  ::testing::AssertionResult Settle(const std::function<bool(const QImage&)>& done,
                                    const std::string& failure) {
    QImage last;
    const QImage found = WaitForSettledPicture(m_.w, done, kAnswerTime, last);
    if (found.isNull()) {
      const fs::path picture = fs::path(VORELK_SCREENSHOT).parent_path() / "window_screenshots";
      fs::create_directories(picture);
      last.save(QString::fromStdString((picture / "quick_input_e2e_failed.png").string()));
      return ::testing::AssertionFailure() << failure << " (picture: quick_input_e2e_failed.png)";
    }
    board_ = found;
    return ::testing::AssertionSuccess();
  }

  const QImage& Board() const { return board_; }

  // The screen position of a square's centre, or of a game toolbar button.
  QPoint At(const std::string& square) const { return Screen(m_.SquareCentre(square)); }
  QPoint Button(int command) const { return Screen(m_.GameToolbarButton(command)); }
  QPoint Screen(QPoint p) const { return {m_.w.x + p.x(), m_.w.y + p.y()}; }

  // The drag of a move.
  XInputBurst& Drag(XInputBurst& burst, const std::string& move) const {
    return burst.Drag(At(move.substr(0, 2)), At(move.substr(2)));
  }

  // A new game from the toolbar, shown as the start position of `start`
  // (a picture of the idle program at its start); the pointer then leaves
  // the window, so that no button shows it hovering.
  ::testing::AssertionResult NewGame(const QImage& start) {
    if (!XInputBurst()
             .Click(Button(kCmdNewGame))
             .Move(Screen({m_.w.width + 20, 0}))
             .Send(run_.Display()))
      return ::testing::AssertionFailure() << "no click";
    return Settle([&](const QImage& p) { return SameBoard(p, start); },
                  "the board never showed the new game after the last repetition");
  }

  // h2e2 and the engine's answer, autosaved, and the board settled after
  // it (see Settled).
  ::testing::AssertionResult OpenAndPonder(const QImage& start,
                                           std::vector<std::string>& predicted) {
    fs::remove(autosave_);
    XInputBurst drag;
    if (!run_.FocusMain() || !Drag(drag, "h2e2").Send(run_.Display()))
      return ::testing::AssertionFailure() << "h2e2 could not be dragged";
    if (!WaitUntil([&] { return Moves(Autosaved()).size() == 2; }, kAnswerTime))
      return ::testing::AssertionFailure()
             << "no answer to h2e2; the autosave holds " << Autosaved();
    return Settled(start, predicted);
  }

  // The board settled after an engine's move: the engine ponders on the
  // reply it predicts, as its arrow shows (`predicted` gets the arrow's
  // squares), or it found none and is idle, its Play button lit as in
  // `start`, a picture of the idle program (`predicted` empty).
  ::testing::AssertionResult Settled(const QImage& start, std::vector<std::string>& predicted) {
    const QPoint play = m_.GameToolbarButton(kCmdPlayCurrentPosition);
    const QRect playButton(play.x() - 8, play.y() - 8, 17, 17);
    return Settle(
        [&](const QImage& p) {
          predicted = testing_support::PonderArrowSquares(p, m_);
          return predicted.size() >= 2 || p.copy(playButton) == start.copy(playButton);
        },
        "the board never showed the engine pondering (its arrow) or idle (its Play button "
        "lit) after " +
            Autosaved());
  }

  // The squares of `square` in `a` and `b` look alike.
  bool SameSquare(const QImage& a, const QImage& b, const std::string& square) const {
    const QPoint c = m_.SquareCentre(square);
    const QRect patch(c.x() - 8, c.y() - 8, 17, 17);
    return a.copy(patch) == b.copy(patch);
  }

  bool SameBoard(const QImage& a, const QImage& b) const {
    for (char rank = '0'; rank <= '9'; ++rank)
      for (char file = 'a'; file <= 'i'; ++file)
        if (!SameSquare(a, b, {file, rank})) return false;
    return true;
  }

 private:
  XProgramRun& run_;
  const MediumBoardWindow& m_;
  fs::path autosave_;
  QImage board_;
};

// Short thinks, pondering, drag and drop, no books and no learning; every
// engine move autosaved, which tells the test the game.
void QuickInputE2eTest::WriteQuickOptions() {
  WriteOptions({{"Language", 1},
                {"Board size", 1},
                {"Board coordinate", 0},
                {"GameListWindow", 0},
                {"ClockWindow", 0},
                {"Book Mode 1", 0},
                {"Book Mode 2", 0},
                {"Use learning", 0},
                {"Learn Moves", 0},
                {"TC", 1},
                {"thinkingTime", 1000},
                {"Ponder", 1},
                {"Move selection", 1},
                {"Save on each move", 1}});
}

TEST_F(QuickInputE2eTest, AMoveOffThePredictionIsMadeBeforeTheCommandGivenWithIt) {
  ASSERT_GT(windowManager_, 0) << "openbox did not take the screen (Debian openbox)";
  WriteQuickOptions();
  XProgramRun run(display_);
  ASSERT_TRUE(run.Start(VORELK_PROGRAM, (root_ / "vorelk.log").string()));
  Game game(run, Autosave());
  ASSERT_TRUE(game.Settle([](const QImage&) { return true; }, "no first picture"));
  const QImage start = game.Board();

  std::string losses;
  int allLost = 0;
  bool fresh = true;
  for (const Row& row : kRows) {
    int lost = 0;
    for (int repetition = 1; repetition <= kRepetitions; ++repetition) {
      SCOPED_TRACE(std::string(row.name) + ", repetition " + std::to_string(repetition));
      // A new game until the engine ponders after its answer to h2e2 (it
      // may find no reply to predict in a short think).
      std::vector<std::string> predicted;
      for (int attempt = 0; attempt < 5 && predicted.empty(); ++attempt) {
        if (!fresh) {
          ASSERT_TRUE(game.NewGame(start));
        }
        fresh = false;
        ASSERT_TRUE(game.OpenAndPonder(start, predicted));
      }
      ASSERT_FALSE(predicted.empty()) << "the engine never pondered after h2e2";
      const std::string opening = game.Autosaved();

      // The user's move and the second drag's move: pawn moves off the
      // arrow's squares.
      std::vector<std::string> offArrow;
      for (const std::string move : kPawnMoves) {
        const auto onArrow = [&](const std::string& square) {
          return std::find(predicted.begin(), predicted.end(), square) != predicted.end();
        };
        if (!onArrow(move.substr(0, 2)) || !onArrow(move.substr(2))) offArrow.push_back(move);
      }
      ASSERT_GE(offArrow.size(), 2u);
      const std::string move = offArrow[0], second = offArrow[1];

      XInputBurst burst;
      game.Drag(burst, move);
      switch (row.then) {
        case Then::kSecondDrag:
          game.Drag(burst, second);
          break;
        case Then::kStopThinking:
          burst.Click(game.Button(kCmdStopThinking));
          break;
        case Then::kHint:
          burst.Key('h');
          break;
      }
      ASSERT_TRUE(run.FocusMain());
      ASSERT_TRUE(burst.Send(display_));

      // The engine's answer to the user's move, and the board settled.
      const bool answered =
          WaitUntil([&] { return Moves(game.Autosaved()).size() >= 4; }, kAnswerTime);
      const std::vector<std::string> moves = Moves(game.Autosaved());
      const bool kept = answered && moves.size() == 4 && moves[2] == move;
      lost += kept ? 0 : 1;
      EXPECT_TRUE(kept) << "the burst was " << move << " then " << row.name << " while the engine"
                        << " pondered after " << opening << "(arrow on "
                        << testing::PrintToString(predicted) << "); the autosave holds "
                        << game.Autosaved() << (answered ? "" : " and the engine never answered");
      if (!kept) continue;
      std::vector<std::string> arrow;
      ASSERT_TRUE(game.Settled(start, arrow)) << "the burst was " << move << " then " << row.name;
      // An answer stopped at once is followed by a ponder as any other.
      if (row.then == Then::kStopThinking) {
        EXPECT_GE(arrow.size(), 2u) << "no ponder after the answer to " << move
                                    << " stopped at once; the autosave holds "
                                    << game.Autosaved();
      }
      // A second move is refused: its pawn stands where it stood (unless
      // the new arrow covers it).
      const std::string from = second.substr(0, 2);
      if (row.then == Then::kSecondDrag &&
          std::find(arrow.begin(), arrow.end(), from) == arrow.end()) {
        EXPECT_TRUE(game.SameSquare(game.Board(), start, from))
            << "the second move " << second << " was made";
      }
    }
    losses += std::string(row.name) + ": " + std::to_string(lost) + " of " +
              std::to_string(kRepetitions) + " lost; ";
    allLost += lost;
  }
  EXPECT_EQ(allLost, 0) << losses;
}

// The processor time the process has used so far (user and system), read
// from /proc; -1 when it cannot be read.
long long ProcessorMs(pid_t pid) {
  std::ifstream in("/proc/" + std::to_string(pid) + "/stat");
  std::string text;
  if (!std::getline(in, text)) return -1;
  // The fields after the command name, which is in parentheses: state is
  // field 3, utime and stime are fields 14 and 15.
  const size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  for (int i = 3; i < 14; ++i) fields >> field;
  long long utime = 0, stime = 0;
  if (!(fields >> utime >> stime)) return -1;
  return (utime + stime) * 1000 / sysconf(_SC_CLK_TCK);
}

// What the burst gives after H and the drag.
enum class AfterDrag { kNothing, kStopThinking, kCloseBox };

struct HintRow {
  const char* name;
  AfterDrag then;
  int repetitions;
};

const HintRow kHintRows[] = {
    {"", AfterDrag::kNothing, kRepetitions},
    {", then Stop thinking", AfterDrag::kStopThinking, 4},
    {", then the close box", AfterDrag::kCloseBox, 1},
};

// H and a drag in one burst, red to move and the engine idle (a pawn, a
// knight, the central cannon that the hint likely suggests), a new game each
// time. The move is made and answered; with Stop thinking after the drag the
// answer comes at once and the engine then ponders, its arrow drawn and its
// search using the processor while the user thinks; with the close box after
// the drag the move is saved.
TEST_F(QuickInputE2eTest, AMoveDroppedDuringTheHintIsMadeAndAnswered) {
  ASSERT_GT(windowManager_, 0) << "openbox did not take the screen (Debian openbox)";
  WriteQuickOptions();
  XProgramRun run(display_);
  ASSERT_TRUE(run.Start(VORELK_PROGRAM, (root_ / "vorelk-hint.log").string()));
  Game game(run, Autosave());
  ASSERT_TRUE(game.Settle([](const QImage&) { return true; }, "no first picture"));
  const QImage start = game.Board();
  const char* const kDropsDuringHint[] = {"a3a4", "b0c2", "h2e2", "i3i4"};
  int hintLost = 0, tries = 0, unpondered = 0;
  for (const HintRow& row : kHintRows) {
    for (int repetition = 1; repetition <= row.repetitions; ++repetition) {
      const bool close = row.then == AfterDrag::kCloseBox;
      const std::string move = kDropsDuringHint[++tries % 4];
      SCOPED_TRACE("H, then " + move + row.name + ", repetition " + std::to_string(repetition));
      if (tries > 1) {
        ASSERT_TRUE(game.NewGame(start));
      }
      fs::remove(Autosave());
      XInputBurst burst;
      game.Drag(burst.Key('h'), move);
      if (row.then == AfterDrag::kStopThinking) burst.Click(game.Button(kCmdStopThinking));
      ASSERT_TRUE(run.FocusMain());
      ASSERT_TRUE(burst.Send(display_));
      if (close) {
        ASSERT_TRUE(testing_support::RequestWindowClose(display_, run.Main().w.id));
        int status = 0;
        ASSERT_TRUE(run.WaitForExit(status, kAnswerTime)) << "the program did not end";
      }
      const size_t expected = close ? 1 : 2;
      const bool saved =
          WaitUntil([&] { return Moves(game.Autosaved()).size() >= expected; }, kAnswerTime);
      const std::vector<std::string> moves = Moves(game.Autosaved());
      const bool kept = saved && moves.size() == expected && moves[0] == move;
      hintLost += kept ? 0 : 1;
      EXPECT_TRUE(kept) << "the autosave holds " << game.Autosaved();
      if (!kept || close) continue;
      std::vector<std::string> arrow;
      if (row.then == AfterDrag::kNothing) {
        ASSERT_TRUE(game.Settled(start, arrow)) << "H, then " << move;
        continue;
      }
      // The ponder after the answer: the predicted move's arrow on the
      // board, and the search running (half a second of processor time,
      // which an idle program does not use in twenty seconds).
      const bool arrowShown = game.Settle(
          [&](const QImage& p) {
            arrow = testing_support::PonderArrowSquares(p, run.Main());
            return arrow.size() >= 2;
          },
          "no predicted move drawn after " + game.Autosaved());
      const long long before = ProcessorMs(run.Pid());
      const bool searching = before >= 0 && WaitUntil(
                                                [&] {
                                                  const long long now = ProcessorMs(run.Pid());
                                                  return now >= before + 500;
                                                },
                                                std::chrono::seconds(20));
      unpondered += arrowShown && searching ? 0 : 1;
      EXPECT_TRUE(arrowShown && searching)
          << "after " << game.Autosaved() << " the engine does not ponder: "
          << (arrowShown ? "" : "no arrow drawn; ") << (searching ? "" : "no search running");
    }
  }
  EXPECT_EQ(hintLost, 0) << hintLost << " of " << tries << " moves dropped during the hint lost";
  EXPECT_EQ(unpondered, 0) << "no ponder after " << unpondered << " answers stopped at once";
}

}  // namespace
