// The gamefile command-line tool: what it prints for a loaded game, the
// shown ply and final position, saving, and its exit codes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <iterator>
#include <set>
#include <string>

#include "engine/position/position.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/load_game.h"
#include "tests/support/run_tool.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::CommandRun;
using testing_support::MoveFromText;
using testing_support::RunTool;

class GamefileToolTest : public testing_support::ScratchFolderTest {
 protected:
  GamefileToolTest() : ScratchFolderTest("gamefile_tool") {}
  void SetUp() override {
    testing_support::InitEngine();
    ScratchFolderTest::SetUp();
  }
  // Standard output only, or (errorsOnly) the error output only.
  static CommandRun Run(const std::string& args, bool errorsOnly = false) {
    return RunTool("gamefile", args, errorsOnly ? " 2>&1 >/dev/null" : " 2>/dev/null");
  }

  // A game from the start position fen (null: the standard one) with the
  // moves, committed and saved as dir_/name; shownPly is the ply it shows.
  std::string SaveGame(const std::string& name, const char* fen,
                       std::initializer_list<const char*> moves, int32_t shownPly = -1) {
    LoadedGame g;
    {
      StagingSession session(g);
      EXPECT_TRUE(session.open());
      if (fen != nullptr) {
        EXPECT_EQ(StageStartFen(g, fen), 1) << fen;
      }
      for (const char* m : moves) EXPECT_EQ(StageMove(g, MoveFromText(m)), kStageAccepted) << m;
    }
    SetHeaderText(g.header.redName, "Red player");
    SetHeaderText(g.header.event, "Club match");
    g.header.result = kResultRedWins;
    g.shownPly = shownPly;
    EXPECT_EQ(CommitLoadedGame(g), 1);
    const std::string path = (dir_ / name).string();
    EXPECT_EQ(SaveGameFile(path.c_str(), currentGameHeader), 0);
    return path;
  }
};

const char* kStart = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w";

TEST_F(GamefileToolTest, PrintsEveryItemOfACoordinateGame) {
  const std::string path = Write("g.txt", "h2e2\nh9g7\nh0g2\n");
  const CommandRun r = Run(path);
  ASSERT_EQ(r.exitCode, 0);
  const std::string expected = std::string("result 0\n") +
                               "event\nsite\ndate\nround\nred\nred_elo\nblack\nblack_elo\n"
                               "author\ntime_control\ngame_result 0\n" +
                               "start " + kStart + "\n" +
                               "moves 3\nmove h2e2\nmove h9g7\nmove h0g2\nshown 3\n"
                               "final rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C1N2/9/"
                               "RNBAKAB1R b\n";
  EXPECT_EQ(r.output, expected);
}

TEST_F(GamefileToolTest, HeaderSetUpStartAndShownPly) {
  // A binary game from a set-up position, saved while ply 1 of 3 was shown.
  const std::string path =
      SaveGame("g.egf", "3k5/9/9/9/9/9/9/9/4A4/4K1R2 w", {"g0g9", "d9d8", "g9g8"}, 1);

  const CommandRun r = Run(path);
  ASSERT_EQ(r.exitCode, 0);
  for (const char* line : {"event Club match\n", "red Red player\n", "game_result 1\n",
                           "start 3k5/9/9/9/9/9/9/9/4A4/4K1R2 w\n", "moves 3\n",
                           "move g0g9\nmove d9d8\nmove g9g8\n", "shown 1\n"})
    EXPECT_NE(r.output.find(line), std::string::npos) << line << r.output;
  EXPECT_EQ(r.output.substr(r.output.rfind("final ")), "final 9/3k2R2/9/9/9/9/9/9/4A4/4K4 b\n");
}

TEST_F(GamefileToolTest, SaveWritesTheFormatOfTheExtension) {
  const std::string source = Write("g.txt", "h2e2\nh9g7\nh0g2\ni9h9\n");
  const CommandRun loaded = Run(source);
  ASSERT_EQ(loaded.exitCode, 0);
  for (const char* ext : {"egf", "wxf", "txt"}) {
    const std::string target = (dir_ / (std::string("copy.") + ext)).string();
    const CommandRun saved = Run(source + " --save " + target);
    ASSERT_EQ(saved.exitCode, 0) << ext;
    EXPECT_EQ(saved.output, loaded.output) << ext;
    const CommandRun again = Run(target);
    ASSERT_EQ(again.exitCode, 0) << ext;
    EXPECT_EQ(again.output, loaded.output) << ext;
  }
  EXPECT_EQ(Run(source + " --save " + (dir_ / "none" / "x.egf").string()).exitCode, 1);
  // A format that is read but not written, or a name without an extension
  // (which no reader would take): refused, and the file there before stays
  // as it was.
  for (const char* name : {"copy.pgn", "copy.XQN", "copy.htm", "copy", "copy."}) {
    const std::string target = Write(name, "old");
    const CommandRun refused = Run(source + " --save " + target, true);
    EXPECT_EQ(refused.exitCode, 1) << name;
    EXPECT_NE(refused.output.find("egf, vgf, vbf, ccf, wxf, axf, txt"), std::string::npos)
        << refused.output;
    std::ifstream in(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old") << name;
  }
  // Coordinate text keeps only moves from the standard start: a game from a
  // set-up position, or one without moves, is refused under txt and any
  // extension no reader claims, and kept by the formats named.
  const std::string setUp = SaveGame("setup.egf", "3k5/9/9/9/9/9/9/9/4A4/4K1R2 w", {"g0g9"});
  const std::string empty = SaveGame("empty.egf", nullptr, {});
  for (const std::string& game : {setUp, empty}) {
    const CommandRun loaded = Run(game);
    ASSERT_EQ(loaded.exitCode, 0) << game;
    for (const char* name : {"copy.txt", "copy.TXT", "copy.evgf", "copy.coord"}) {
      const std::string target = Write(name, "old");
      const CommandRun refused = Run(game + " --save " + target, true);
      EXPECT_EQ(refused.exitCode, 1) << game << name;
      EXPECT_NE(refused.output.find("coordinate text"), std::string::npos) << refused.output;
      EXPECT_NE(refused.output.find("egf, vgf, vbf, ccf, wxf, axf)"), std::string::npos)
          << refused.output;
      std::ifstream in(target);
      EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old") << name;
    }
    for (const char* ext : {"vgf", "vbf", "ccf", "wxf", "axf"}) {
      const std::string target = (dir_ / (std::string("kept.") + ext)).string();
      ASSERT_EQ(Run(game + " --save " + target).exitCode, 0) << ext;
      const CommandRun again = Run(target);
      ASSERT_EQ(again.exitCode, 0) << game << ext;
      const auto from = [](const std::string& out) {
        return out.substr(out.find("start "));  // the header is not kept by every format
      };
      EXPECT_EQ(from(again.output), from(loaded.output)) << game << ext;
    }
  }
}

// A save that would not keep a comment whole is refused with the reason and
// the formats that keep it, and nothing is written.
TEST_F(GamefileToolTest, ASaveThatWouldNotKeepACommentWholeSaysWhy) {
  SaveGame("long.egf", nullptr, {"h2e2"});
  const struct {
    std::string comment;
    uint8_t page;
    const char* reason;
  } cases[] = {
      {std::string(6000, '\xE9'), kHeaderTextsLatin, "a comment is longer than they keep"},
      {"Stra\xDF" "e", kHeaderTextsLatin, "a comment holds a character GBK lacks"},
  };
  for (const auto& c : cases) {
    SetComment(1, c.comment.c_str(), c.page);
    const std::string source = (dir_ / "long.egf").string();
    ASSERT_EQ(SaveGameFile(source.c_str(), currentGameHeader), 0);
    const std::string target = Write("copy.wxf", "old");
    const CommandRun refused = Run(source + " --save " + target, true);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_NE(refused.output.find(c.reason), std::string::npos) << refused.output;
    EXPECT_NE(refused.output.find("(formats that keep it: egf)"), std::string::npos)
        << refused.output;
    std::ifstream in(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
  }
}

// A header text a keyword file would read back as another text or another
// line (after the issue's egf event and black name), or a rating it would
// change, refuses the save with the reason and the formats that keep it.
TEST_F(GamefileToolTest, ASaveThatWouldChangeAHeaderTextSaysWhy) {
  const struct {
    char (GameHeader::*field)[kHeaderTextSize];
    const char* text;
    const char* reason;
  } cases[] = {
      {&GameHeader::event, "Line1\r\nLine2", "a header text holds a line break"},
      {&GameHeader::blackName, "B\nFEN  \t\t4k4/9/9/9/9/9/9/9/9/4K4 w",
       "a header text holds a line break"},
      {&GameHeader::redElo, "2400 (est)",
       "the red rating \"2400 (est)\" is not a plain whole number"},
      {&GameHeader::blackElo, "24;00", "the black rating \"24;00\" is not a plain whole number"},
      {&GameHeader::blackElo, "2400\r\n", "the black rating \"2400\\x0D\\x0A\" is not"},
  };
  for (const auto& c : cases) {
    SaveGame("text.egf", nullptr, {"h2e2"});
    SetHeaderText(currentGameHeader.*c.field, c.text);
    const std::string source = (dir_ / "text.egf").string();
    ASSERT_EQ(SaveGameFile(source.c_str(), currentGameHeader), 0);
    const std::string target = Write("copy.wxf", "old");
    const CommandRun refused = Run(source + " --save " + target, true);
    EXPECT_EQ(refused.exitCode, 1) << c.text;
    EXPECT_NE(refused.output.find(c.reason), std::string::npos) << refused.output;
    EXPECT_NE(refused.output.find("(formats that keep it: egf, vgf)"), std::string::npos)
        << refused.output;
    std::ifstream in(target);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old") << c.text;
  }
}

// The usual marks of an unknown rating in a pgn file ("?", "-") and an
// empty one are saved by the keyword formats as none and load back empty.
TEST_F(GamefileToolTest, UnknownRatingsAreSavedAsNone) {
  const struct {
    const char* red;
    const char* black;
  } rows[] = {{"?", "-"}, {"-", "?"}, {"", "?"}};
  for (const auto& row : rows) {
    const std::string source =
        Write("unknown.pgn", std::string("[WhiteElo \"") + row.red + "\"]\n[BlackElo \"" +
                                 row.black + "\"]\n[Result \"*\"]\n1. C2.5 H8+7 *\n");
    for (const char* ext : {"wxf", "axf", "ccf"}) {
      SCOPED_TRACE(std::string(ext) + " red \"" + row.red + "\" black \"" + row.black + "\"");
      const std::string target = Path(std::string("unknown.") + ext);
      ASSERT_EQ(Run(source + " --save " + target).exitCode, 0);
      const CommandRun again = Run(target);
      ASSERT_EQ(again.exitCode, 0);
      EXPECT_NE(again.output.find("\nred_elo\nblack\nblack_elo\n"), std::string::npos)
          << again.output;
      EXPECT_NE(again.output.find("moves 2\n"), std::string::npos) << again.output;
    }
  }
}

// A save beyond the file size limit (ulimit -f) fails and says so, exits
// with 1 rather than by the signal, and leaves no temporary file beside
// the target, which stays as it was.
TEST_F(GamefileToolTest, ASaveBeyondTheFileSizeLimitFailsAndIsSaid) {
  SaveGame("big.egf", nullptr, {"h2e2", "h9g7", "h0g2", "i9h9"});
  SetComment(0, std::string(4000, 'c').c_str());
  const std::string source = Path("big.egf");
  ASSERT_EQ(SaveGameFile(source.c_str(), currentGameHeader), 0);
  const std::string kept = Write("copy.egf", "old");
  for (const std::string& target : {kept, Path("new.egf")}) {
    SCOPED_TRACE(target);
    int errors[2];
    ASSERT_EQ(pipe(errors), 0);
    const pid_t child = fork();
    if (child == 0) {
      // The signal as a shell leaves it to the programs it starts.
      std::signal(SIGXFSZ, SIG_DFL);
      const rlimit limit{1000, 1000};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(99);
      dup2(errors[1], STDERR_FILENO);
      const int nothing = open("/dev/null", O_WRONLY);
      dup2(nothing, STDOUT_FILENO);
      close(errors[0]);
      const std::string tool = std::string(VORELK_TOOLS_DIR) + "/gamefile";
      execl(tool.c_str(), tool.c_str(), source.c_str(), "--save", target.c_str(),
            static_cast<char*>(nullptr));
      _exit(98);
    }
    ASSERT_GT(child, 0);
    close(errors[1]);
    std::string told;
    char buffer[512];
    for (ssize_t n; (n = read(errors[0], buffer, sizeof buffer)) > 0;) told.append(buffer, n);
    close(errors[0]);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(
        told.rfind("gamefile: not saved: " + target + " could not be created or written whole", 0),
        0u)
        << told;
    std::set<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(dir_))
      files.insert(entry.path().filename().string());
    EXPECT_EQ(files, (std::set<std::string>{"big.egf", "copy.egf"}));
  }
  std::ifstream in(kept);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
}

TEST_F(GamefileToolTest, FilesThatDoNotLoadExitWithOne) {
  const std::string bad = Write("bad.txt", "h2e3\nh2e2\n");
  CommandRun r = Run(bad);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output, "") << "nothing on standard output";
  r = Run(bad, true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output.rfind("result 2: a move that is not valid\n", 0), 0u) << r.output;
  EXPECT_NE(r.output.find("(h2e3)  ?????? Not valid a move !"), std::string::npos) << r.output;

  r = Run(Write("empty.txt", ""), true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output.rfind("result 3:", 0), 0u) << r.output;
  r = Run((dir_ / "noextension").string(), true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output.rfind("result 1:", 0), 0u) << r.output;
  r = Run(Write("letter.mxq", "Not an MXQ text"), true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output.rfind("result 3:", 0), 0u) << r.output;
}

TEST_F(GamefileToolTest, AFileReadInPartPrintsWhatWasRead) {
  const std::string path = Write("part.txt", "h2e2\nh9g7\nh2e3\nh0g2\n");
  CommandRun r = Run(path);
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output.rfind("result 5\n", 0), 0u) << r.output;
  EXPECT_NE(r.output.find("moves 2\nmove h2e2\nmove h9g7\nshown 2\n"), std::string::npos)
      << r.output;
  r = Run(path, true);
  EXPECT_EQ(r.output.rfind("result 5: read in part", 0), 0u) << r.output;
  EXPECT_NE(r.output.find("(h2e3)  ?????? Not valid a move !"), std::string::npos) << r.output;
  // A PGN file whose moves end at a comment in braces.
  const std::string pgn =
      Write("part.pgn", "[Red \"A\"]\n[Result \"*\"]\n1. C2.5 H8+7 {book} 2. H2+3 R9.8 *\n");
  r = Run(pgn);
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output.rfind("result 5\n", 0), 0u) << r.output;
  EXPECT_NE(r.output.find("moves 2\nmove h2e2\nmove h9g7\nshown 2\n"), std::string::npos)
      << r.output;

  // A keyword text with one damaged byte in its third move ("P7)1").
  r = Run(Write("part.wxf", "FORMAT  \tWXF\nSTART{\n 1.  C2.5  H8+7     2.  P7)1  H2+3\n}END\n"));
  ASSERT_EQ(r.exitCode, 0);
  EXPECT_EQ(r.output.rfind("result 5\n", 0), 0u) << r.output;
  EXPECT_NE(r.output.find("moves 2\nmove h2e2\nmove h9g7\n"), std::string::npos) << r.output;
}

// Standard error holds the reason of a result that is not 0 and then the
// load's log lines, also for a file loaded whole. A UTF-8 text damaged
// among the moves is named as the damage, as one damaged in a header text
// is, not as the cut move or move number the damage leaves at its end.
TEST_F(GamefileToolTest, StandardErrorSaysWhatTheLoadFound) {
  const std::string moves = "1. 炮二平五 马８进７ 2. 马二进三 车９平８ *\n";
  const std::string pgnHead = "[Red \"许银川\"]\n[Result \"*\"]\n";
  const std::string wxfHead = "FORMAT  \tWXF\nRED     \t许银川;;;\nSTART{\n";
  const std::string cut = "\xE8\xBD";  // the first two bytes of 车 alone
  const struct {
    const char* what;
    std::string name, bytes;
    int moves;
    std::string damage;  // the bytes where the UTF-8 text is damaged; empty: loaded whole
  } rows[] = {
      {"a name with a character GBK lacks", "lacking.pgn",
       "[Red \"许银川ß\"]\n[Result \"*\"]\n" + moves, 4, ""},
      {"damaged in a header text", "header.pgn", "[Red \"许\xE9\x93\"]\n[Result \"*\"]\n" + moves,
       0, "\xE9\x93\""},
      {"pgn damaged after a move number", "number.pgn",
       pgnHead + "1. 炮二平五 马８进７ 2. " + cut + " 车９平８ *\n", 2, cut},
      {"pgn damaged inside a move", "move.pgn",
       pgnHead + "1. 炮二平五 马８进７ 2. 马二" + cut + " 车９平８ *\n", 2, cut},
      {"pgn damaged inside a comment", "comment.pgn",
       pgnHead + "1. 炮二平五 马８进７ /*好 棋" + cut + " move*/ 2. 马二进三 *\n", 2, cut},
      {"wxf damaged inside a move", "move.wxf",
       wxfHead + " 1.  炮二平五  马８进７\n 2.  马二" + cut + "  车９平８\n}END\n", 2, cut},
      {"wxf damaged inside a comment", "comment.wxf",
       wxfHead + " 1.  炮二平五  马８进７\n/*好" + cut + "*/\n 2.  马二进三\n}END\n", 2, cut},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    const std::string path = Write(row.name, row.bytes);
    const CommandRun out = Run(path);
    ASSERT_EQ(out.exitCode, 0);
    EXPECT_EQ(out.output.rfind(row.damage.empty() ? "result 0\n" : "result 5\n", 0), 0u);
    EXPECT_NE(out.output.find("moves " + std::to_string(row.moves) + "\n"), std::string::npos)
        << out.output;
    const std::string expected =
        row.damage.empty()
            ? "Loading " + path +
                  ": 1 character of the UTF-8 text has no GBK form and reads as \"?\"\r\n"
            : "result 5: read in part: the moves before an error were loaded\nLoading " + path +
                  ": UTF-8 text damaged at byte " + std::to_string(row.bytes.find(row.damage)) +
                  ", the file is read up to it\r\n";
    EXPECT_EQ(Run(path, true).output, expected);
  }
}

// A text longer than the program keeps loads cut, with result 0, and
// standard error names it with its length and what was kept.
TEST_F(GamefileToolTest, TextsLongerThanKeptAreCutAndNamed) {
  const std::string event(200, 'e');
  const std::string comment(12000, 'c');
  const std::string path =
      Write("long.pgn",
            "[Event \"" + event + "\"]\n[Result \"*\"]\n1. C2.5 /*" + comment + "*/ H8+7 *\n");
  const CommandRun out = Run(path);
  ASSERT_EQ(out.exitCode, 0);
  EXPECT_EQ(out.output.rfind("result 0\nevent " + event.substr(0, 127) + "\nsite\n", 0), 0u)
      << out.output;
  EXPECT_EQ(Run(path, true).output,
            "Loading " + path + ": the event is 200 bytes long, only its first 127 are kept\r\n" +
                "Loading " + path +
                ": the comment on ply 1 is 12000 bytes long, only its first 10239 are kept\r\n");
}

// The program opens no game database and writes none: a vzd file is
// refused as no game file, and a save under that name writes nothing.
TEST_F(GamefileToolTest, VzdDatabasesAreNeitherOpenedNorWritten) {
  const std::string database = Write("games.vzd", "database bytes");
  CommandRun r = Run(database, true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output, "result 6: a vzd game database: databases are not opened\n");

  const std::string source = Write("g.txt", "h2e2\nh9g7\n");
  const std::string target = Write("copy.vzd", "old");
  r = Run(source + " --save " + target, true);
  EXPECT_EQ(r.exitCode, 1);
  EXPECT_EQ(r.output,
            "gamefile: not saved: vzd game databases are neither opened nor written (written: "
            "egf, vgf, vbf, ccf, wxf, axf, txt)\n");
  std::ifstream in(target);
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "old");
}

TEST_F(GamefileToolTest, UsageErrorsExitWithTwo) {
  EXPECT_EQ(Run("").exitCode, 2);
  EXPECT_EQ(Run("a.txt b.txt").exitCode, 2);
  EXPECT_EQ(Run("a.txt --save").exitCode, 2);
  EXPECT_EQ(Run("a.txt --bogus").exitCode, 2);
}

}  // namespace
