// The real program played with the real mouse and keys: build/vorelk runs
// under Xvfb on Qt's xcb platform and xdotool drives it as its user does.
//
// The first test moves red's cannon h2 to e2 (by click and click, and by
// drag and drop), the engine answers, File > Exit closes the program
// through its menu, and the autosaved game must hold both moves.
//
// The second is a whole session: moves by drag and by clicks, the engine
// made to answer through Thinking > Stop thinking, saves and loads through
// the real file dialog with typed names, a load cancelled during a think,
// Paste FEN and a comment with a mark typed while the engine ponders, and
// a close of the window during a think. The autosave, the saved files and
// the settings file must then hold what the user saw.
//
// The test process itself is a Qt application on the same X server: it
// grabs the windows' pictures to see when the program has painted and when
// the engine has answered, and it owns the clipboard the program pastes.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/wait.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/new_game.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/load_game.h"
#include "platform/settings_store.h"
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
using testing_support::WindowInfo;
using testing_support::XProgramRun;

namespace {

// Pictures of failed runs are kept with the window tests' grabs.
const fs::path kPictureFolder = fs::path(VORELK_SCREENSHOT).parent_path() / "window_screenshots";

// The pixels around the centre of square `na` in `a` (the middle of its
// piece, or the empty crossing) equal those around `nb` in `b`.
bool SamePatch(const QImage& a, const std::string& na, const QImage& b, const std::string& nb,
               const MediumBoardWindow& m) {
  const QPoint ca = m.SquareCentre(na), cb = m.SquareCentre(nb);
  for (int dy = -6; dy <= 6; ++dy) {
    for (int dx = -6; dx <= 6; ++dx) {
      const QPoint pa = ca + QPoint(dx, dy), pb = cb + QPoint(dx, dy);
      if (!a.valid(pa) || !b.valid(pb) || a.pixel(pa) != b.pixel(pb)) return false;
    }
  }
  return true;
}

bool SameSquare(const QImage& a, const QImage& b, const MediumBoardWindow& m,
                const std::string& name) {
  return SamePatch(a, name, b, name, m);
}

// Every square of the board, a0 to i9.
std::vector<std::string> AllSquares() {
  std::vector<std::string> squares;
  for (char rank = '0'; rank <= '9'; ++rank)
    for (char file = 'a'; file <= 'i'; ++file) squares.push_back({file, rank});
  return squares;
}

// The two pictures show the same pieces on every square.
bool SameBoard(const QImage& a, const QImage& b, const MediumBoardWindow& m) {
  for (const std::string& s : AllSquares())
    if (!SameSquare(a, b, m, s)) return false;
  return true;
}

// Black's half of the board changed: ranks 5 to 9, every file.
bool BlackHalfChanged(const QImage& before, const QImage& now, const MediumBoardWindow& m) {
  for (const std::string& s : AllSquares())
    if (s[1] >= '5' && !SameSquare(before, now, m, s)) return true;
  return false;
}

const char* const kStartFen = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w";

// Whether `picture` shows the position of `fen`, judged against `start`, a
// picture of the start position: a piece looks as the same piece does
// there, a square empty in both looks as it did, and a square emptied
// since no longer shows its start piece.
bool ShowsPosition(const QImage& picture, const std::string& fen, const QImage& start,
                   const MediumBoardWindow& m) {
  const std::map<std::string, char> atStart = FenPieces(kStartFen), wanted = FenPieces(fen);
  for (const std::string& s : AllSquares()) {
    const auto piece = wanted.find(s);
    if (piece != wanted.end()) {
      std::string model;
      for (const auto& [square, p] : atStart)
        if (p == piece->second) model = square;
      if (model.empty() || !SamePatch(picture, s, start, model, m)) return false;
    } else if (SameSquare(picture, start, m, s) == (atStart.count(s) != 0)) {
      return false;
    }
  }
  return true;
}

// What `gamefile` prints for a file: "start <FEN>", the moves, the shown
// ply and the header fields.
struct GameFileFacts {
  bool loaded = false;
  std::string start, final, event, printed;
  std::vector<std::string> moves;
  int shown = -1;
};

GameFileFacts ReadWithGameFile(const fs::path& file) {
  GameFileFacts facts;
  const auto run = RunTool("gamefile", "'" + file.string() + "'");
  facts.printed = run.output;
  facts.loaded = run.exitCode == 0 && run.output.rfind("result 0\n", 0) == 0;
  size_t begin = 0;
  for (size_t end; (end = run.output.find('\n', begin)) != std::string::npos; begin = end + 1) {
    const std::string line = run.output.substr(begin, end - begin);
    const auto value = [&](const char* key) -> const char* {
      const size_t n = std::strlen(key);
      return line.compare(0, n, key) == 0 && line.size() > n && line[n] == ' '
                 ? line.c_str() + n + 1
                 : nullptr;
    };
    if (const char* v = value("start")) facts.start = v;
    if (const char* v = value("final")) facts.final = v;
    if (const char* v = value("event")) facts.event = v;
    if (const char* v = value("move")) facts.moves.emplace_back(v);
    if (const char* v = value("shown")) facts.shown = std::atoi(v);
  }
  return facts;
}

// The comments and marks a game file holds, read by the program's own
// loader in this process: ply, text, mark.
struct StoredComment {
  int ply;
  std::string text;
  int mark;
};

std::vector<StoredComment> CommentsIn(const fs::path& file) {
  InitKeyTables();
  ResetGameState(0);
  ClearComment(-1);
  GameHeader header{};
  std::vector<StoredComment> found;
  if (!GameWasLoaded(LoadGameFile(file.c_str(), &header, 0))) return found;
  for (int ply = 0; ply < kCommentSlots; ++ply) {
    const MoveComment& c = moveComments[ply];
    const bool text = c.text != nullptr && c.text[0] != '\0';
    if (text || c.annotation != kMarkNone) found.push_back({ply, text ? c.text : "", c.annotation});
  }
  return found;
}

// One way of playing h2-e2 with the mouse.
struct PlayCase {
  const char* name;
  int moveSelection;  // 0 click and click, 1 drag and drop
  int bookMode;       // 0: no book, the engine searches its answer
};

// xdotool's commands that carry the piece from `from` to `to` (screen
// positions "x y"): two clicks, or a drag over `middle`.
std::string MouseMove(int moveSelection, const std::string& from, const std::string& middle,
                      const std::string& to) {
  if (moveSelection == 0) return "mousemove " + from + " click 1 mousemove " + to + " click 1";
  return "mousemove " + from + " mousedown 1 mousemove " + middle + " mousemove " + to +
         " mouseup 1";
}

// One Xvfb server for the process, with temporary XDG folders, and a Qt
// application of the test's own on it for the grabs and the clipboard.
class PlayE2eTest : public testing_support::XvfbSuiteTest<PlayE2eTest> {
 public:
  static constexpr const char* kSessionFolder = "/tmp/vorelk-e2e-XXXXXX";
  static void SetUpTestSuite() {
    fs::create_directories(kPictureFolder);
    XvfbSuiteTest::SetUpTestSuite();
  }

 protected:
  // Fresh settings and no saved game: English (so that the program opens
  // its main window at once), the medium board without a coordinate band,
  // no opening book for black, and no side window or thinking arrows,
  // which would cover or change the board; then the options given.
  static void WriteSettings(std::initializer_list<std::pair<const char*, int>> options) {
    fs::remove_all(root_ / "config");
    fs::remove_all(root_ / "data");
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    for (const auto& [key, value] : {std::pair<const char*, int>{"Language", 1},
                                     {"Board size", 1},
                                     {"Board coordinate", 0},
                                     {"GameListWindow", 0},
                                     {"ClockWindow", 0},
                                     {"SpyComputing", 0},
                                     {"Book Mode 1", 0}}) {
      store.WriteInt("Options", key, value);
    }
    for (const auto& [key, value] : options) store.WriteInt("Options", key, value);
  }

  static int StoredOption(const char* key) {
    CSettingsStore store(kSettingsNoRoot);
    OpenProgramSettings(store);
    return store.GetInt("Options", key, -1);
  }

  static std::string ProgramLog() { return RunCommand("cat '" + LogPath() + "'").output; }
  static std::string LogPath() { return (root_ / "vorelk.log").string(); }

  static void Keep(const QImage& picture, const std::string& name) {
    picture.save(QString::fromStdString((kPictureFolder / (name + ".png")).string()));
  }

  // Starts the program and waits for a first picture for which `shows`
  // holds (by default the start position: the cannon on h2 standing out
  // from the empty e2).
  static QImage StartProgram(XProgramRun& run, std::function<bool(const QImage&)> shows = nullptr) {
    EXPECT_TRUE(run.Start(VORELK_PROGRAM, LogPath()))
        << "no window titled \"" << testing_support::kProgramTitle << "\"; the program said:\n"
        << ProgramLog();
    const MediumBoardWindow& m = run.Main();
    EXPECT_GT(m.w.height, MediumBoardWindow::kClientHeight) << "no room for a menu bar";
    if (!shows) shows = [&](const QImage& p) { return !SamePatch(p, "h2", p, "e2", m); };
    QImage last;
    const QImage first = WaitForSettledPicture(m.w, shows, kAnswerTime, last);
    if (first.isNull()) Keep(last, "play_e2e_first_picture");
    return first;
  }

  // Waits for the program's own end, which must be a clean exit, and reads
  // the game it autosaved (not loaded when there is none).
  static GameFileFacts AutosaveAfterExit(XProgramRun& run, const std::string& after) {
    int status = 0;
    if (!run.WaitForExit(status, kAnswerTime)) {
      ADD_FAILURE() << "the program did not end after " << after;
      return {};
    }
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "exit status " << status << " after " << after << "; the program said:\n"
        << ProgramLog();
    const GameFileFacts saved = ReadWithGameFile(Autosave());
    EXPECT_TRUE(saved.loaded) << "no autosaved game in " << Autosave() << "\n" << saved.printed;
    return saved;
  }
};

TEST_F(PlayE2eTest, AMouseMoveIsAnsweredAndBothMovesAreAutosavedOnFileExit) {
  // With the book the answer comes at once; without it the engine searches
  // while the mouse's last events arrive.
  const PlayCase cases[] = {
      {"click_and_click_book", 0, 1},
      {"drag_and_drop_book", 1, 1},
      {"click_and_click_search", 0, 0},
      {"drag_and_drop_search", 1, 0},
  };
  for (const PlayCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteSettings({{"TC", 1},
                   {"thinkingTime", 500},
                   {"Ponder", 0},
                   {"Move selection", c.moveSelection},
                   {"Book Mode 2", c.bookMode}});
    XProgramRun run(display_);
    const QImage before = StartProgram(run);
    ASSERT_FALSE(before.isNull()) << "the window never painted";
    const MediumBoardWindow& m = run.Main();

    ASSERT_TRUE(
        run.Xdo(MouseMove(c.moveSelection, run.Square("h2"), run.Square("g2"), run.Square("e2"))));

    // The user's move shows (h2 and e2 changed) and the engine's answer
    // (a black piece moved).
    QImage last;
    const QImage answered = WaitForSettledPicture(
        m.w,
        [&](const QImage& p) {
          return !SameSquare(before, p, m, "h2") && !SameSquare(before, p, m, "e2") &&
                 BlackHalfChanged(before, p, m);
        },
        kAnswerTime, last);
    if (answered.isNull()) {
      Keep(last, std::string("play_e2e_") + c.name + "_no_answer");
      FAIL() << "no move and answer on the board; its last picture is in " << kPictureFolder;
    }

    // File > Exit: the title at the left of the menu bar opens its menu;
    // Up wraps to its last item, Exit.
    ASSERT_TRUE(run.Xdo("mousemove " +
                        testing_support::ScreenPoint(m.w, {15, m.MenuBarHeight() / 2}) +
                        " click 1"));
    ASSERT_TRUE(testing_support::WaitUntil([&] { return run.MenuShown(); }, kAnswerTime))
        << "the File menu did not open";
    ASSERT_TRUE(run.Xdo("key Up Return"));

    const GameFileFacts saved = AutosaveAfterExit(run, "File > Exit");
    ASSERT_TRUE(saved.loaded);
    ASSERT_EQ(saved.moves.size(), 2u) << saved.printed;
    EXPECT_EQ(saved.moves[0], "h2e2");
  }
}

// The steps of one session on one run of the program. Each step acts as
// the user does and waits until the screen shows its outcome; a step that
// fails keeps a picture of the whole screen.
class Session {
 public:
  Session(XProgramRun& run, const QImage& start) : run_(run), m_(run.Main()), board_(start) {}

  const QImage& Board() const { return board_; }

  // Plays `from`-`to` in the move selection mode `selection` and waits
  // until the board shows the move.
  ::testing::AssertionResult UserMove(int selection, const std::string& from,
                                      const std::string& to) {
    const QImage before = board_;
    const QPoint middle = (m_.SquareCentre(from) + m_.SquareCentre(to)) / 2;
    if (!run_.Xdo(MouseMove(selection, run_.Square(from),
                            testing_support::ScreenPoint(m_.w, middle), run_.Square(to))))
      return Failed("xdotool did not move the mouse");
    return WaitForBoard(
        [&](const QImage& p) {
          return !SameSquare(before, p, m_, from) && !SameSquare(before, p, m_, to);
        },
        "the board never showed the user's move " + from + to);
  }

  // Thinking > Stop thinking (the menu's first item that is not greyed
  // during a think) and the engine's answer on the board.
  ::testing::AssertionResult AnswerNow() {
    const QImage before = board_;
    if (!run_.OpenMenu('t') || !run_.ChooseInMenu("Return"))
      return Failed("Thinking > Stop thinking could not be chosen");
    return WaitForBoard([&](const QImage& p) { return !SameBoard(before, p, m_); },
                        "the engine did not answer");
  }

  // File > Save game..., the file name typed in the file dialog and, for
  // the formats that store it, the event typed in the game information
  // editor.
  ::testing::AssertionResult Save(const fs::path& file, const std::string& event) {
    if (!run_.OpenMenu('f') || !run_.ChooseInMenu("s")) return Failed("File > Save game failed");
    if (auto typed = TypeInDialog("Save As", file.string()); !typed) return typed;
    if (auto typed = TypeInDialog("Game Status", event); !typed) return typed;
    if (!testing_support::WaitUntil([&] { return fs::exists(file); }, kAnswerTime))
      return Failed("no file written: " + file.string());
    return ::testing::AssertionSuccess();
  }

  // File > Load Game... up to its file dialog, which `answer` then ends.
  ::testing::AssertionResult Load(const std::function<::testing::AssertionResult()>& answer) {
    if (!run_.OpenMenu('f') || !run_.ChooseInMenu("l")) return Failed("File > Load Game failed");
    return answer();
  }
  ::testing::AssertionResult LoadFile(const fs::path& file) {
    return Load([&] { return TypeInDialog("Open", file.string()); });
  }
  ::testing::AssertionResult CancelLoad() {
    return Load([&] {
      WindowInfo dialog;
      if (!run_.WaitForWindow("Open", dialog, kAnswerTime) || !run_.WaitForFocus(dialog.id, kAnswerTime) ||
          !run_.Xdo("key Escape") || !run_.WaitForWindowGone("Open", kAnswerTime))
        return Failed("the file dialog did not open and close");
      return ::testing::AssertionSuccess();
    });
  }

  // The text on the clipboard, then File > Paste > FEN position.
  ::testing::AssertionResult PasteFen(const std::string& fen) {
    QGuiApplication::clipboard()->setText(QString::fromStdString(fen));
    if (!run_.OpenMenu('f') || !run_.ChooseInMenu("Down Down Down Down Right Return"))
      return Failed("File > Paste > FEN position stayed greyed");
    return ::testing::AssertionSuccess();
  }

  // Preferences > Move selection > Click and click.
  ::testing::AssertionResult ChooseClickAndClick() {
    if (!run_.OpenMenu('p') || !run_.ChooseInMenu("Down Down Down Down Down Right Down Return"))
      return Failed("Preferences > Move selection > Click and click failed");
    return ::testing::AssertionSuccess();
  }

  // Windows > Comments, the comment typed into its text and the mark
  // chosen from its pop-up menu (`downs` items down: 5 is "!").
  ::testing::AssertionResult Comment(const std::string& text, int downs) {
    WindowInfo w;
    if (!run_.OpenMenu('w') || !run_.ChooseInMenu("Down Down Down Down Return") ||
        !run_.WaitForWindow("Comments", w, kAnswerTime))
      return Failed("Windows > Comments did not open the comments window");
    using testing_support::ScreenPoint;
    if (!run_.Xdo("mousemove " + ScreenPoint(w, {w.width / 2, w.height / 2}) + " click 1") ||
        !run_.WaitForFocus(w.id, kAnswerTime) || !run_.Xdo("type --delay 20 '" + text + "'"))
      return Failed("the comment could not be typed");
    std::string keys;
    for (int i = 0; i < downs; ++i) keys += "Down ";
    if (!run_.Xdo("mousemove " + ScreenPoint(w, {w.width / 2, 14}) + " click 3") ||
        !testing_support::WaitUntil([&] { return run_.MenuShown(); }, kAnswerTime) ||
        !run_.ChooseInMenu(keys + "Return"))
      return Failed("no mark from the comments window's menu");
    return ::testing::AssertionSuccess();
  }

  // Waits for a settled picture of the main window for which `done` holds;
  // it becomes the board of the next steps.
  ::testing::AssertionResult WaitForBoard(const std::function<bool(const QImage&)>& done,
                                          const std::string& failure) {
    QImage last;
    const QImage found = WaitForSettledPicture(m_.w, done, kAnswerTime, last);
    if (found.isNull()) return Failed(failure);
    board_ = found;
    return ::testing::AssertionSuccess();
  }

  // Keeps the whole screen's picture and says where it is.
  ::testing::AssertionResult Failed(const std::string& what) {
    const fs::path file =
        kPictureFolder / ("play_e2e_session_" + std::to_string(++failures_) + ".png");
    testing_support::GrabWindow(0).save(QString::fromStdString(file.string()));
    return ::testing::AssertionFailure() << what << " (the screen: " << file.string() << ")";
  }

 private:
  // Waits for the dialog of that title, types `text` into its focused
  // field and Return, and waits until the dialog has gone.
  ::testing::AssertionResult TypeInDialog(const std::string& title, const std::string& text) {
    WindowInfo dialog;
    if (!run_.WaitForWindow(title, dialog, kAnswerTime) || !run_.WaitForFocus(dialog.id, kAnswerTime))
      return Failed("no dialog \"" + title + "\"");
    // Whatever the field held is replaced.
    if (!run_.EnterInDialog(title, text))
      return Failed("the dialog \"" + title + "\" did not take \"" + text + "\"");
    return ::testing::AssertionSuccess();
  }

  XProgramRun& run_;
  const MediumBoardWindow& m_;
  QImage board_;
  int failures_ = 0;
};

TEST_F(PlayE2eTest, AWholeSessionIsKeptInTheAutosaveTheSavedFilesAndTheSettings) {
  // The level allows a minute a move, so the engine thinks until its search
  // stops at about 20 seconds, unless told to play; it ponders on the user's
  // time; it has no book. The user starts by dragging pieces.
  WriteSettings({{"TC", 1},
                 {"thinkingTime", 60000},
                 {"Ponder", 1},
                 {"Move selection", 1},
                 {"Book Mode 2", 0}});
  const fs::path first = root_ / "first.vgf", second = root_ / "second.wxf";
  // Kings and advisers with one pawn each: every move the user plays here
  // stays legal whatever black answers, and the game goes on.
  const std::string pasted = "3ak4/4a4/9/8p/9/9/P8/9/4A4/3AK4 w";

  XProgramRun run(display_);
  const QImage start = StartProgram(run);
  ASSERT_FALSE(start.isNull()) << "the window never painted";
  const MediumBoardWindow& m = run.Main();
  ASSERT_TRUE(ShowsPosition(start, kStartFen, start, m));
  Session s(run, start);

  // A drag, and the engine's answer; it then ponders.
  ASSERT_TRUE(s.UserMove(1, "h2", "e2"));
  ASSERT_TRUE(s.AnswerNow());
  const QImage afterFirstAnswer = s.Board();
  // Saved while the engine ponders, with the event typed in the editor.
  ASSERT_TRUE(s.Save(first, "Xvfb session"));
  ASSERT_TRUE(s.WaitForBoard([&](const QImage& p) { return SameBoard(p, afterFirstAnswer, m); },
                             "the board changed with the save"));

  // Clicks from now on. A load chosen while the engine thinks and
  // cancelled: the user's move stays on the board and the engine's think
  // goes on to its answer.
  ASSERT_TRUE(s.ChooseClickAndClick());
  ASSERT_TRUE(s.UserMove(0, "a0", "a1"));
  const QImage userMove = s.Board();
  ASSERT_TRUE(s.CancelLoad());
  ASSERT_TRUE(s.WaitForBoard([&](const QImage& p) { return SameBoard(p, userMove, m); },
                             "the user's move left the board with the cancelled load"));
  ASSERT_TRUE(s.AnswerNow()) << "after the cancelled load";

  // The first file loaded while the engine ponders: the board shows its
  // game again.
  ASSERT_TRUE(s.LoadFile(first));
  ASSERT_TRUE(s.WaitForBoard([&](const QImage& p) { return SameBoard(p, afterFirstAnswer, m); },
                             "the board does not show the loaded game"));

  // Paste FEN while the engine ponders on its next answer.
  ASSERT_TRUE(s.UserMove(0, "a0", "a1"));
  ASSERT_TRUE(s.AnswerNow());
  ASSERT_TRUE(s.PasteFen(pasted));
  ASSERT_TRUE(s.WaitForBoard([&](const QImage& p) { return ShowsPosition(p, pasted, start, m); },
                             "the board does not show the pasted position"));

  // From the pasted position: a move, the answer, then while the engine
  // ponders a comment and the mark "!" on that answer, and a save.
  ASSERT_TRUE(s.UserMove(0, "a3", "a4"));
  ASSERT_TRUE(s.AnswerNow());
  const QImage commented = s.Board();
  ASSERT_TRUE(s.Comment("Sharp reply", 5));
  ASSERT_TRUE(s.Save(second, "Xvfb session"));
  ASSERT_TRUE(s.WaitForBoard([&](const QImage& p) { return SameBoard(p, commented, m); },
                             "the board changed with the comment or the save"));

  // A move, and the window closed while the engine thinks on its answer:
  // the program ends by itself, cleanly.
  ASSERT_TRUE(s.UserMove(0, "a4", "a5"));
  ASSERT_TRUE(testing_support::RequestWindowClose(display_, m.w.id));
  const GameFileFacts autosave = AutosaveAfterExit(run, "the close during a think");
  ASSERT_TRUE(autosave.loaded);

  // The autosave holds the game as shown: the pasted start, the two moves
  // and the answer between them, the comment and the mark on that answer.
  EXPECT_EQ(autosave.start, pasted);
  ASSERT_EQ(autosave.moves.size(), 3u) << autosave.printed;
  EXPECT_EQ(autosave.moves[0], "a3a4");
  EXPECT_EQ(autosave.moves[2], "a4a5");
  EXPECT_EQ(autosave.shown, 3);
  const std::vector<StoredComment> comments = CommentsIn(Autosave());
  std::string stored;
  for (const StoredComment& c : comments)
    stored +=
        " ply " + std::to_string(c.ply) + " \"" + c.text + "\" mark " + std::to_string(c.mark);
  ASSERT_EQ(comments.size(), 1u) << "the comment and the mark on one move, the answer; stored:"
                                 << stored;
  EXPECT_EQ(comments[0].ply, 2) << "not on the engine's answer, the last move played";
  EXPECT_EQ(comments[0].text, "Sharp reply");
  EXPECT_EQ(comments[0].mark, kMarkGood);

  // The saved files load back with the moves played before each save.
  const GameFileFacts one = ReadWithGameFile(first), two = ReadWithGameFile(second);
  ASSERT_TRUE(one.loaded) << one.printed;
  EXPECT_EQ(one.start, kStartFen);
  EXPECT_EQ(one.event, "Xvfb session");
  ASSERT_EQ(one.moves.size(), 2u) << one.printed;
  EXPECT_EQ(one.moves[0], "h2e2");
  ASSERT_TRUE(two.loaded) << two.printed;
  EXPECT_EQ(two.start, pasted);
  EXPECT_EQ(two.event, "Xvfb session");
  EXPECT_EQ(two.moves, std::vector<std::string>(autosave.moves.begin(), autosave.moves.begin() + 2))
      << two.printed;

  // The settings hold the session's choices and its open comments window.
  EXPECT_EQ(StoredOption("Move selection"), 0);
  EXPECT_EQ(StoredOption("CommentsWindow"), 1);
  EXPECT_EQ(StoredOption("Ponder"), 1);

  // Started again, the program shows the game as it was when closed (its
  // pieces: the thinking line drawn at the close is not part of the game).
  XProgramRun again(display_);
  const QImage reopened = StartProgram(again, [&](const QImage& p) {
    return ShowsPosition(p, autosave.final, start, again.Main());
  });
  EXPECT_FALSE(reopened.isNull()) << "the game at the close is not on the board again";
}

}  // namespace
