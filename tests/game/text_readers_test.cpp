// The text game readers on files built byte by byte: plain coordinate text
// (and its writer), PGN-like tag files, MXQ and XQN. A file that does not
// load must leave the user's game as it was.
#include "game/text_readers.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/opening_names.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/keyword_files.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::CurrentFen;
using testing_support::InitEngine;
using testing_support::LogCapture;
using testing_support::MoveFromText;
using testing_support::MoveText;

// What a failed load must not change.
struct GameState {
  std::string fen, fileName;
  int32_t ply, length;
  std::vector<std::string> moves;
  GameHeader header;
  std::string comment0;

  static GameState Take() {
    GameState s;
    s.fen = CurrentFen();
    s.fileName = gameFileName;
    s.ply = gamePly;
    s.length = gameLength;
    for (int i = 1; i <= gameLength; ++i) s.moves.push_back(MoveText(history[i].move));
    s.header = currentGameHeader;
    s.comment0 = moveComments[0].text != nullptr ? moveComments[0].text : "<none>";
    return s;
  }
  bool operator==(const GameState& o) const {
    return fen == o.fen && fileName == o.fileName && ply == o.ply && length == o.length &&
           moves == o.moves && std::memcmp(&header, &o.header, sizeof header) == 0 &&
           comment0 == o.comment0;
  }
};

std::vector<std::string> GameMoves() {
  std::vector<std::string> out;
  for (int i = 1; i <= gameLength; ++i) out.push_back(MoveText(history[i].move));
  return out;
}

class TextReadersTest : public testing_support::ScratchFolderTest {
 protected:
  TextReadersTest() : ScratchFolderTest("text_readers") {}
  void SetUp() override {
    InitEngine();
    ScratchFolderTest::SetUp();
    // The user's game: two moves, a header and a game comment.
    LoadedGame g;
    for (const char* m : {"b2e2", "b9c7"}) g.moves.push_back({MoveFromText(m), 0, 0, 0});
    SetHeaderText(g.header.redName, "User");
    SetLoadedComment(g, 0, "user comment");
    g.fileName = "/user/game.egf";
    ASSERT_EQ(CommitLoadedGame(g), 1);
    user_ = GameState::Take();
  }
  std::string Read(const std::string& path) const {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool UserGameKept() const { return GameState::Take() == user_; }
  GameState user_;
};

// ---------------------------------------------------------------------------
// Plain coordinate text
// ---------------------------------------------------------------------------

// An MXQ text: the header of the layout, then the move records.
std::string Mxq(const std::string& records, const std::string& date = "2006.08.03") {
  return std::string("\x01") + "Beijing" + "\x08" + date + "#" + "xx" + "\xD6" + "\x1B" +
         "Red Name" + "-" + "Win" + "--" + "Black" + std::string(1, '\0') + "Name" + "\x0A" +
         "2500" + "\x0A" + "2400" + "\x0A" + "...Moves " + records;
}

TEST_F(TextReadersTest, CoordinateTextLoadsItsMoves) {
  const std::string path = Write("game.txt", "h2e2\nh9g7\r\n\n\r\nh0g2");
  ASSERT_EQ(ReadCoordinateText(path.c_str(), &currentGameHeader, 0), kLoadOk);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7", "h0g2"}));
  EXPECT_EQ(gamePly, 3);
  EXPECT_EQ(currentGameHeader.hasInfo, 0);
  EXPECT_EQ(currentGameHeader.redName[0], '\0');
  EXPECT_EQ(moveComments[0].text, nullptr);
  EXPECT_EQ(gameFileName, path);
  EXPECT_EQ(currentOpening, 0) << "the coordinate reader does not look for openings";
  EXPECT_STREQ(history[1].wxfText, " C2.5");
}

TEST_F(TextReadersTest, CoordinateTextFailuresKeepTheGame) {
  {
    LogCapture log;
    const std::string path = Write("bad.txt", "a0a5\nh2e2\nh9g7\n");
    EXPECT_EQ(ReadCoordinateText(path.c_str(), &currentGameHeader, 0), kLoadInvalidMove);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_EQ(log.lines()[0],
              "pb loading file =" + path + " :\r\n   (a0a5)  ?????? Not valid a move !\r\n");
    EXPECT_TRUE(UserGameKept());
  }
  for (const char* text : {"", "\n\r\n\n", " \t\n  \r\n"}) {
    LogCapture log;
    EXPECT_EQ(ReadCoordinateText(Write("empty.txt", text).c_str(), &currentGameHeader, 0),
              kLoadEmpty);
    EXPECT_EQ(log.lines().size(), 1u) << "an empty file is reported";
    EXPECT_TRUE(UserGameKept());
  }
  EXPECT_EQ(ReadCoordinateText((dir_ / "missing.txt").c_str(), &currentGameHeader, 0),
            kLoadFailed);
  EXPECT_TRUE(UserGameKept());
}

// The moves of a real game (104 plies) in each text form.
std::vector<std::string> MasterGame() {
  std::ifstream in(std::string(VORELK_TESTDATA_DIR) + "/games/master-03.txt");
  std::vector<std::string> moves;
  for (std::string line; std::getline(in, line);)
    if (!line.empty()) moves.push_back(line);
  return moves;
}
std::string CoordinateFile(const std::vector<std::string>& moves) {
  std::string text;
  for (const std::string& m : moves) text += m + "\n";
  return text;
}
std::string XqnFile(const std::vector<std::string>& moves) {
  std::string text = "[Red \"R\"]\n";
  for (size_t i = 0; i < moves.size(); i += 2) {
    text += std::to_string(i / 2 + 1) + ". " + moves[i];
    if (i + 1 < moves.size()) text += " " + moves[i + 1];
    text += "\n";
  }
  return text;
}
// "h2e2" as the MXQ record "7C-4C".
std::string MxqRecords(const std::vector<std::string>& moves) {
  std::string text;
  for (const std::string& m : moves) {
    text += static_cast<char>(m[0] - 'a' + '0');
    text += static_cast<char>(m[1] - '0' + 'A');
    text += '-';
    text += static_cast<char>(m[2] - 'a' + '0');
    text += static_cast<char>(m[3] - '0' + 'A');
    text += ' ';
  }
  return text;
}
std::vector<std::string> Concat(std::vector<std::string> a, const std::vector<std::string>& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// An error after some moves keeps those moves (the file was read in part, the
// error logged); an error before any move keeps the user's game.
TEST_F(TextReadersTest, ErrorsKeepTheMovesReadBeforeThem) {
  const std::vector<std::string> game = MasterGame();
  ASSERT_EQ(game.size(), 104u);
  // After h2e2 h7e7 e2e6 black stands in check, and a9a8 does not help.
  const std::vector<std::string> check = {"h2e2", "h7e7", "e2e6", "a9a8"};
  // Knights out and back: 1202 moves, one more than a game holds.
  std::vector<std::string> endless;
  while (endless.size() < 1202) endless = Concat(endless, {"h0g2", "h9g7", "g2h0", "g7h9"});
  endless.resize(1202);
  // The same knight moves in WXF, for the PGN and keyword texts.
  std::string endlessWxf;
  const char* kKnightsWxf[] = {"H2+3", "H8+7", "H3-2", "H7-8"};
  for (size_t i = 0; i < endless.size(); ++i) endlessWxf += std::string(kKnightsWxf[i % 4]) + " ";

  const struct {
    const char* name;
    std::string bytes;
    int result;
    size_t moves;     // moves loaded (the user's game kept when the load failed)
    const char* log;  // a log line holds this text ("" when there is no log line)
  } cases[] = {
      {"result.txt", CoordinateFile(game) + "1-0\n", kLoadPartial, 104, "(1-0)"},
      {"blanks.txt", CoordinateFile(game) + "    \n", kLoadOk, 104, ""},
      {"check.txt", CoordinateFile(check), kLoadPartial, 3, "line 4 (a9a8)"},
      {"long.txt", CoordinateFile(endless), kLoadPartial, kMaxGameMoves, "line 1202"},
      {"first.txt", "1-0\n" + CoordinateFile(game), kLoadInvalidMove, 0, "(1-0)"},
      {"result.xqn", XqnFile(game) + "1-0\n", kLoadOk, 104, ""},
      {"blanks.xqn", XqnFile(game) + "    \n", kLoadOk, 104, ""},
      {"check.xqn", XqnFile(check), kLoadPartial, 3, "line 3 (2. e2e6 a9a8)"},
      {"long.xqn", XqnFile(endless), kLoadPartial, kMaxGameMoves, "line 602"},
      {"result.mxq", Mxq(MxqRecords(game) + "1-0\r\n"), kLoadPartial, 104, "move 105"},
      {"ended.mxq", Mxq(MxqRecords(game) + "End"), kLoadOk, 104, ""},
      {"check.mxq", Mxq(MxqRecords(check) + "End"), kLoadPartial, 3, "MXQ game"},
      {"long.mxq", Mxq(MxqRecords(endless)), kLoadPartial, kMaxGameMoves, "move 1202"},
      {"first.mxq", Mxq("0A-0F " + MxqRecords(game)), kLoadInvalidMove, 0, "move 1 (0A-0F)"},
      {"long.pgn", "[Result \"*\"]\n" + endlessWxf + "\n", kLoadPartial, kMaxGameMoves,
       "move 1202"},
      {"long.wxf", "START{\n" + endlessWxf + "\n}END\n", kLoadPartial, kMaxGameMoves,
       "move 1202"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetUp();
    LogCapture log;
    const std::string path = Write(c.name, c.bytes);
    const std::string ext = path.substr(path.size() - 3);
    const int result = ext == "txt"   ? ReadCoordinateText(path.c_str(), &currentGameHeader, 0)
                       : ext == "xqn" ? ReadXqnGame(path.c_str(), &currentGameHeader, 0)
                       : ext == "pgn" ? ReadPgnGame(path.c_str(), &currentGameHeader, 0)
                       : ext == "wxf" ? LoadKeywordGameFile(path.c_str(), &currentGameHeader, 0)
                                      : ReadMxqGame(path.c_str(), &currentGameHeader, 0);
    EXPECT_EQ(result, c.result);
    bool logged = false;
    for (const std::string& line : log.lines()) logged |= line.find(c.log) != std::string::npos;
    EXPECT_EQ(logged, c.log[0] != '\0') << (log.lines().empty() ? "" : log.lines()[0]);
    if (c.moves == 0) {
      EXPECT_TRUE(UserGameKept());
      continue;
    }
    const std::vector<std::string>& source =
        c.moves == 3 ? check : c.moves == 104 ? game : endless;
    const std::vector<std::string> want(source.begin(), source.begin() + c.moves);
    EXPECT_EQ(GameMoves(), want);
    EXPECT_EQ(gamePly, static_cast<int32_t>(c.moves)) << "the last move read is shown";
    EXPECT_EQ(CheckPositionConsistency(), 1);
  }
}

TEST_F(TextReadersTest, CoordinateTextWriterRoundTrip) {
  const std::string path = (dir_ / "out.txt").string();
  ASSERT_EQ(TakeBackOne(), 1);  // the writer stores every move, not only the shown ones
  ASSERT_EQ(SaveCoordinateText(path.c_str()), 0);
  EXPECT_EQ(Read(path), "b2e2\nb9c7\n");
  EXPECT_EQ(gameFileName, path);
  EXPECT_EQ(gamePly, 1);
  ASSERT_EQ(ReadCoordinateText(path.c_str(), &currentGameHeader, 0), kLoadOk);
  EXPECT_EQ(GameMoves(), user_.moves);
  // A folder that does not exist: nothing is written and the name is kept.
  EXPECT_EQ(SaveCoordinateText((dir_ / "none" / "out.txt").c_str()), 1);
  EXPECT_EQ(gameFileName, path);
}

// The move numbers of a move text, each with the plies read before it: they
// follow while they count move pairs or plies from the first number (from
// move 1 in a game from the standard start), as the first numbers that tell
// the two apart decided.
TEST(MoveNumberingTest, CountsMovePairsOrPliesAsTheFirstNumbersDecide) {
  const struct {
    const char* what;
    std::vector<std::pair<uint64_t, int>> numbers;  // number, plies read before it
    size_t refused;  // index of the first number that does not follow; npos: none
    bool standardStart = false;  // the game starts from the standard position, move 1
  } rows[] = {
      {"a number per pair", {{1, 0}, {2, 2}, {3, 4}, {4, 6}}, std::string::npos},
      {"a number before each ply of a pair", {{1, 0}, {1, 1}, {2, 2}, {2, 3}}, std::string::npos},
      {"a line of four plies", {{1, 0}, {2, 2}, {3, 4}, {5, 8}}, std::string::npos},
      {"pairs from black's move, from 12", {{12, 0}, {13, 1}, {14, 3}, {15, 5}},
       std::string::npos},
      {"a number per ply", {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}}, std::string::npos},
      {"a number per ply from black's move, from 40", {{40, 0}, {41, 1}, {42, 2}},
       std::string::npos},
      {"lines of two plies numbered by their first ply", {{1, 0}, {3, 2}, {5, 4}},
       std::string::npos},
      {"a pair lost", {{1, 0}, {2, 2}, {4, 4}}, 2},
      {"a pair given twice", {{1, 0}, {2, 2}, {3, 4}, {3, 6}}, 3},
      {"plies counted, then a pair", {{1, 0}, {2, 1}, {3, 2}, {3, 3}}, 3},
      {"pairs counted, then a ply", {{1, 0}, {2, 2}, {4, 3}}, 2},
      {"a ply lost in a count of plies", {{1, 0}, {2, 1}, {3, 2}, {5, 3}}, 3},
      {"a number below the first", {{5, 0}, {4, 2}}, 1},
      {"from the standard start, a number per pair", {{1, 0}, {2, 2}}, std::string::npos, true},
      {"from the standard start, a number per ply", {{1, 0}, {2, 1}}, std::string::npos, true},
      {"from the standard start, numbered after two plies", {{2, 2}, {3, 4}}, std::string::npos,
       true},
      {"from the standard start, the first pair lost", {{2, 0}, {3, 2}}, 0, true},
      {"from the standard start, the first ply lost", {{2, 0}, {3, 1}}, 0, true},
  };
  for (const auto& row : rows) {
    SCOPED_TRACE(row.what);
    text_reading::MoveNumbering numbering;
    size_t refused = std::string::npos;
    for (size_t i = 0; i < row.numbers.size() && refused == std::string::npos; ++i)
      if (!numbering.Follows(row.numbers[i].first, row.numbers[i].second, row.standardStart))
        refused = i;
    EXPECT_EQ(refused, row.refused);
  }
}

// ---------------------------------------------------------------------------
// PGN-like tag files
// ---------------------------------------------------------------------------

// GBK: "Hu Ronghua" in Chinese, and the moves C2.5 (red) and H8+7 (black).
const std::string kGbkHuRonghua = "\xBA\xFA\xC8\xD9\xBB\xAA";
const std::string kGbkCentralCannon = "\xC5\xDA\xB6\xFE\xC6\xBD\xCE\xE5";        // 炮二平五
const std::string kGbkBlackKnight = "\xC2\xED\xA3\xB8\xBD\xF8\xA3\xB7";          // 马８进７
const std::string kFullWidthKnight = "\xA3\xC8\xA3\xB2\xA3\xAB\xA3\xB3";         // Ｈ２＋３

TEST_F(TextReadersTest, PgnTagsAndMoves) {
  const std::string text =
      "[Game \"Chinese Chess\"]\r\n"
      "[Event \"Cup\"]\r\n"
      "[Site \"Beijing\"]\r\n"
      "[Date \"2006.08.03\"]\r\n"
      "[Round \"7\"]\r\n"
      "[White \"" + kGbkHuRonghua + "\"]\r\n"
      "[Black \"Someone\"]\r\n"
      "[WhiteElo \"2500\"]\r\n"
      "[BlackElo \"2400\"]\r\n"
      "[Score \"[Event \\\"x\\\"]\"]\r\n"
      "[Result \"1-0\"]\r\n"
      "[ECCO \"C48\"]\r\n"
      "  1. " + kGbkCentralCannon + " " + kGbkBlackKnight + "\r\n"
      "  2. " + kFullWidthKnight + " R9.8 /* after R9.8 */\r\n"
      "  3. R1.2 /* two\r\nlines */ C8+4\r\n"
      " 1-0\r\n"
      "============================\r\n";
  const std::string path = Write("game.pgn", text);
  ASSERT_EQ(ReadPgnGame(path.c_str(), &currentGameHeader, 0), kLoadOk);
  const GameHeader& h = currentGameHeader;
  EXPECT_STREQ(h.event, "Cup");
  EXPECT_STREQ(h.site, "Beijing");
  EXPECT_STREQ(h.date, "2006.08.03");
  EXPECT_STREQ(h.round, "7");
  EXPECT_STREQ(h.redName, "Hu Ronghua");
  EXPECT_STREQ(h.blackName, "Someone");
  EXPECT_STREQ(h.redElo, "2500");
  EXPECT_STREQ(h.blackElo, "2400");
  EXPECT_EQ(h.result, kResultRedWins);
  EXPECT_EQ(h.hasInfo, 1);
  EXPECT_EQ(GameMoves(),
            (std::vector<std::string>{"h2e2", "h9g7", "h0g2", "i9h9", "i0h0", "h7h3"}));
  EXPECT_STREQ(moveComments[4].text, " after R9.8 ");
  EXPECT_STREQ(moveComments[5].text, " two\r\nlines ");
  EXPECT_EQ(gameFileName, path);
  EXPECT_EQ(currentOpening, 1) << "the central cannon was met";
}

TEST_F(TextReadersTest, PgnResultsAndMissingResult) {
  const struct {
    const char* value;
    int result;
  } results[] = {{"1-0", 1}, {"0-1", 2}, {"0-0", 3}, {"\xBD-\xBD", 3}, {"1/2-1/2", 3}, {"*", 0}};
  for (const auto& r : results) {
    const std::string path =
        Write("r.pgn", std::string("[Result \"") + r.value + "\"]\n1. C2.5 H8+7\n");
    ASSERT_EQ(ReadPgnGame(path.c_str(), &currentGameHeader, 0), kLoadOk) << r.value;
    EXPECT_EQ(currentGameHeader.result, r.result) << r.value;
    EXPECT_EQ(gameLength, 2);
  }
  // Without a result tag the moves begin after the other tags all the same.
  const std::string path = Write("noresult.pgn", "[Red \"A\"]\n1. C2.5 H8+7\n");
  ASSERT_EQ(ReadPgnGame(path.c_str(), &currentGameHeader, 0), kLoadOk);
  EXPECT_STREQ(currentGameHeader.redName, "A");
  EXPECT_EQ(gameLength, 2);
}

TEST_F(TextReadersTest, PgnFenTagSetsTheStartPosition) {
  const std::string fen = "3k5/9/9/9/9/9/9/9/4A4/4K1R2 w - - 0 1";
  const std::string path =
      Write("fen.pgn", "[FEN \"" + fen + "\"]\n[Result \"*\"]\n1. R3+9 K4+1\n");
  ASSERT_EQ(ReadPgnGame(path.c_str(), &currentGameHeader, 0), kLoadOk);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"g0g9", "d9d8"})) << CurrentFen();
  TakeBackAll();
  EXPECT_EQ(CurrentFen(), "3k5/9/9/9/9/9/9/9/4A4/4K1R2 w");
  // A FEN position that cannot be played fails and keeps the game.
  SetUp();
  const std::string bad = Write("badfen.pgn", "[FEN \"9/9/9/9/9/9/9/9/9/9 w\"]\n[Result \"*\"]\n");
  EXPECT_EQ(ReadPgnGame(bad.c_str(), &currentGameHeader, 0), kLoadBadBoard);
  EXPECT_TRUE(UserGameKept());
}

TEST_F(TextReadersTest, PgnRefusedMoveEndsTheGame) {
  LogCapture log;
  const std::string path =
      Write("refused.pgn", "[Result \"*\"]\n1. C2.5 H8+7\n2. R1+5 H2+3\n3. C8.7\n");
  ASSERT_EQ(ReadPgnGame(path.c_str(), &currentGameHeader, 0), kLoadPartial);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7"}));
  bool reported = false;
  for (const std::string& line : log.lines())
    if (line.find("R1+5") != std::string::npos) reported = true;
  EXPECT_TRUE(reported);
  EXPECT_EQ(ReadPgnGame((dir_ / "missing.pgn").c_str(), &currentGameHeader, 0), kLoadFailed);
}

// ---------------------------------------------------------------------------
// MXQ
// ---------------------------------------------------------------------------

TEST_F(TextReadersTest, MxqHeaderAndMoves) {
  const std::string path = Write("game.mxq", Mxq("7C-4C 7J-6H " + std::string("7A") +
                                                 std::string(1, '\0') + "6C End"));
  ASSERT_EQ(ReadMxqGame(path.c_str(), &currentGameHeader, 0), kLoadOk);
  const GameHeader& h = currentGameHeader;
  EXPECT_STREQ(h.site, "Beijing");
  EXPECT_STREQ(h.date, "2006.08.03");
  EXPECT_STREQ(h.redName, "Red Name");
  EXPECT_EQ(h.result, kResultRedWins);
  EXPECT_STREQ(h.blackName, "Black Name") << "a zero byte reads as a blank";
  EXPECT_STREQ(h.redElo, "2500");
  EXPECT_STREQ(h.blackElo, "2400");
  EXPECT_EQ(h.hasInfo, 1);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7", "h0g2"}));
  EXPECT_STREQ(gameFileName, "") << "MXQ games keep no file name";
}

TEST_F(TextReadersTest, MxqHeaderVariants) {
  // A tenth date character that is not a digit ends the date; without a
  // byte D6 the name starts two bytes after the "#".
  const std::string text = std::string("\x02") + "Site" + "\x03" + "2006.8.3 x#" + "ab" +
                           "Red-Lose-Blk\x0A" "1\x0A" "2\x0A" "Moves 7C-4C";
  const std::string path = Write("v.mxq", text);
  ASSERT_EQ(ReadMxqGame(path.c_str(), &currentGameHeader, 0), kLoadOk);
  EXPECT_STREQ(currentGameHeader.date, "2006.8.3 ");
  EXPECT_STREQ(currentGameHeader.redName, "bRed") << "two bytes after the #";
  EXPECT_EQ(currentGameHeader.result, kResultBlackWins);
  EXPECT_STREQ(currentGameHeader.blackName, "Blk");
  EXPECT_EQ(gameLength, 1) << "a record cut short at the end of the text is not read";
  for (const char* word : {"Resign", "Draw"}) {
    const std::string t =
        std::string("\x01S\x08" "D#xx\xD6") + "R-" + word + "-B\x0A\x0A\x0A" "Moves End";
    ASSERT_EQ(ReadMxqGame(Write("w.mxq", t).c_str(), &currentGameHeader, 0), kLoadOk);
    EXPECT_EQ(currentGameHeader.result, std::strcmp(word, "Draw") == 0 ? 3 : 2) << word;
  }
}

TEST_F(TextReadersTest, MxqFailuresKeepTheGame) {
  EXPECT_EQ(ReadMxqGame(Write("letter.mxq", "Beijing").c_str(), &currentGameHeader, 0),
            kLoadEmpty);
  EXPECT_EQ(ReadMxqGame(Write("bad.mxq", Mxq("0A-0F End")).c_str(), &currentGameHeader, 0),
            kLoadInvalidMove);
  EXPECT_TRUE(UserGameKept());
  {
    LogCapture log;
    // 0J-0I is a9a8: a black move while red is to move.
    EXPECT_EQ(ReadMxqGame(Write("ill.mxq", Mxq("0J-0I End")).c_str(), &currentGameHeader, 0),
              kLoadInvalidMove);
    ASSERT_EQ(log.lines().size(), 1u);
  }
  EXPECT_EQ(ReadMxqGame((dir_ / "missing.mxq").c_str(), &currentGameHeader, 0), kLoadFailed);
  EXPECT_TRUE(UserGameKept());
  // An empty file, and a control byte followed by text without a result word
  // or moves, are no MXQ games.
  for (const std::string& text : {std::string(), std::string("\x01" "Beijing\x08" "nothing")}) {
    LogCapture log;
    EXPECT_EQ(ReadMxqGame(Write("empty.mxq", text).c_str(), &currentGameHeader, 0), kLoadEmpty);
    EXPECT_EQ(log.lines().size(), 1u);
    EXPECT_TRUE(UserGameKept());
  }
}

TEST(ParseMxqMoveTest, DigitsAndLetters) {
  InitEngine();
  EXPECT_EQ(ParseMxqMove("7C-4C"), MoveFromText("h2e2"));
  EXPECT_EQ(ParseMxqMove("0A-8J"), MakeMoveCode(MakeSquare(8, 9), MakeSquare(0, 0)));
  EXPECT_EQ(ParseMxqMove("9C-4C"), 0u);
  EXPECT_EQ(ParseMxqMove("7K-4C"), 0u);
  EXPECT_EQ(ParseMxqMove("7C-4"), 0u);
  EXPECT_EQ(ParseMxqMove(nullptr), 0u);
}

// ---------------------------------------------------------------------------
// XQN
// ---------------------------------------------------------------------------

TEST(ParseXqnMoveLineTest, NumbersSeparatorsAndWords) {
  std::string w[2];
  EXPECT_EQ(ParseXqnMoveLine("12. h2-e2 h9xg7", w), 2);
  EXPECT_EQ(w[0], "h2e2");
  EXPECT_EQ(w[1], "h9g7");
  EXPECT_EQ(ParseXqnMoveLine("  1.\th2e2\r", w), 1);
  EXPECT_EQ(w[0], "h2e2");
  EXPECT_EQ(ParseXqnMoveLine("1.h2e2 h9g7 h0g2", w), 2);
  EXPECT_EQ(ParseXqnMoveLine("1234. h2e2", w), 0);
  EXPECT_EQ(ParseXqnMoveLine("h2e2 h9g7", w), 0);
  EXPECT_EQ(ParseXqnMoveLine("3 h2e2", w), 0);
  EXPECT_EQ(ParseXqnMoveLine("7.", w), 0);
  // "X" inside a double-byte character stays.
  EXPECT_EQ(ParseXqnMoveLine("1. \xB0X-\xB1x", w), 1);
  EXPECT_EQ(w[0], "\xB0X\xB1x");
}

TEST_F(TextReadersTest, XqnCoordinateAndChineseMoves) {
  const std::string text = "[Red \"" + kGbkHuRonghua + "\"]\n[Black \"B\"]\n[Date \"2001\"]\n" +
                           "[Score \"9\"]\n[Result \"0-1\"]\n\n" + "1. h2-e2 h9xg7\r\n" +
                           "2. " + "\xC2\xED\xB6\xFE\xBD\xF8\xC8\xFD" /* 马二进三 */ + " " +
                           "\xB3\xB5\xA3\xB9\xC6\xBD\xA3\xB8" /* 车９平８ */ + "\n";
  const std::string path = Write("game.xqn", text);
  ASSERT_EQ(ReadXqnGame(path.c_str(), &currentGameHeader, 0), kLoadOk);
  EXPECT_STREQ(currentGameHeader.redName, "Hu Ronghua");
  EXPECT_STREQ(currentGameHeader.blackName, "B");
  EXPECT_STREQ(currentGameHeader.date, "2001");
  EXPECT_EQ(currentGameHeader.result, kResultBlackWins);
  EXPECT_EQ(currentGameHeader.hasInfo, 1);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7", "h0g2", "i9h9"}));
  EXPECT_EQ(gameFileName, path);
}

TEST_F(TextReadersTest, XqnRanksFromOne) {
  // h3 is no red piece with ranks from 0, so the whole file counts from 1.
  const std::string path = Write("one.xqn", "1. h3-e3 h10-g8\n2. h1-g3 i10-h10\n");
  ASSERT_EQ(ReadXqnGame(path.c_str(), &currentGameHeader, 0), kLoadOk);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7", "h0g2", "i9h9"}));
}

TEST_F(TextReadersTest, XqnRefusedMoves) {
  // A move that is not valid ends the moves, as first or as second move of
  // its line: the later lines were written for another position.
  const struct {
    const char* text;
    std::vector<std::string> kept;
    const char* log;
  } refused[] = {
      {"1. h2e2 h9g7\n2. a0a5 i9h9\n3. h0g2\n", {"h2e2", "h9g7"}, "line 2 (2. a0a5 i9h9)"},
      {"1. h2e2 h9g7\n2. h2e2 h9g7\n3. b0c2 b9c7\n", {"h2e2", "h9g7"}, "line 2 (2. h2e2 h9g7)"},
      {"1. h2e2 h9g7\n2. h0g2 h9g7\n3. b0c2 b9c7\n", {"h2e2", "h9g7", "h0g2"}, "line 2"},
      {"1. h3e3 h10g8\n2. h1g3 h10g8\n3. b1c3\n", {"h2e2", "h9g7", "h0g2"}, "line 2"},
  };
  for (const auto& c : refused) {
    SCOPED_TRACE(c.text);
    SetUp();
    LogCapture log;
    const std::string path = Write("r.xqn", c.text);
    EXPECT_EQ(ReadXqnGame(path.c_str(), &currentGameHeader, 0), kLoadPartial);
    EXPECT_EQ(GameMoves(), c.kept);
    ASSERT_EQ(log.lines().size(), 1u);
    EXPECT_NE(log.lines()[0].find(c.log), std::string::npos) << log.lines()[0];
  }
  SetUp();
  // After f9e8 the red cannon may not leave the file: a first move of a line
  // that cannot be made ends the moves, the four before it are kept.
  EXPECT_EQ(ReadXqnGame(Write("f.xqn", "1. h2e2 h7e7\n2. e2e6 f9e8\n3. e6d6 a9a8\n").c_str(),
                        &currentGameHeader, 0),
            kLoadPartial);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h7e7", "e2e6", "f9e8"}));
  SetUp();
  // Lines whose moves are all refused, without a tag: nothing is read.
  EXPECT_EQ(ReadXqnGame(Write("n.xqn", "1. a9a8 a0a1\n").c_str(), &currentGameHeader, 0),
            kLoadEmpty);
  EXPECT_TRUE(UserGameKept());
  EXPECT_EQ(ReadXqnGame((dir_ / "missing.xqn").c_str(), &currentGameHeader, 0), kLoadFailed);
}

}  // namespace
