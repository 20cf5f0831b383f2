// Loading and saving by extension: the reader each extension chooses, paths
// in quotes and without an extension, and the round trip of a full game
// through every written format.
#include "game/load_game.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "tests/support/placement_cases.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::CurrentFen;
using testing_support::InitEngine;
using testing_support::LegalMoves;
using testing_support::MoveFromText;
using testing_support::MoveText;

std::vector<std::string> GameMoves() {
  std::vector<std::string> out;
  for (int i = 1; i <= gameLength; ++i) out.push_back(MoveText(history[i].move));
  return out;
}

class LoadGameTest : public testing_support::ScratchFolderTest {
 protected:
  LoadGameTest() : ScratchFolderTest("load_game") {}
  void SetUp() override {
    InitEngine();
    ScratchFolderTest::SetUp();
  }
  int Load(const std::string& path) { return LoadGameFile(path.c_str(), &currentGameHeader, 0); }
};

TEST(GameFileExtensionTest, LastComponentLowerCase) {
  EXPECT_EQ(GameFileExtension("/a/b/game.PGN"), "pgn");
  EXPECT_EQ(GameFileExtension("\"/a/b/game.Egf\""), "egf");
  EXPECT_EQ(GameFileExtension("/a/b.pgn/game"), "");
  EXPECT_EQ(GameFileExtension("/a/b/.pgn"), "");
  EXPECT_EQ(GameFileExtension("/a/b/x.tar.xqn"), "xqn");
  EXPECT_EQ(GameFileExtension("game."), "");
  EXPECT_EQ(GameFileExtension(nullptr), "");
}

TEST_F(LoadGameTest, EachExtensionChoosesItsReader) {
  // The same two moves in each text format.
  const std::string mxq = std::string("\x01S\x08" "D#xx\xD6") + "R-Win-B\x0A\x0A\x0A" +
                          "Moves 7C-4C 7J-6H End";
  // The formats written in GBK mark their header texts as GBK.
  const struct {
    const char* name;
    std::string bytes;
    bool gbk;
  } files[] = {
      {"a.txt", "h2e2\nh9g7\n", false},
      {"a.abc", "h2e2\nh9g7\n", false},
      {"a.XQN", "[Red \"X\"]\n1. h2-e2 h9-g7\n", true},
      {"a.Mxq", mxq, false},
      {"a.PGN", "[Red \"X\"]\n[Result \"*\"]\n1. C2.5 H8+7 *\n", true},
      {"a.wxf", "FORMAT\tWXF\nRED\tX;;;\nSTART{\n 1. C2.5 H8+7\n}END\n", true},
      {"a.html", "<PRE>\nRED\tX;;;\nSTART{\n 1. C2.5 H8+7\n}END\n</PRE>\n", true},
  };
  for (const auto& f : files) {
    InitEngine();
    currentGameHeader.textPage = f.gbk ? kHeaderTextsUnknown : kHeaderTextsGbk;  // the reader sets it either way
    ASSERT_EQ(Load(Write(f.name, f.bytes)), kLoadOk) << f.name;
    EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7"})) << f.name;
    EXPECT_EQ(CheckPositionConsistency(), 1) << f.name;
    EXPECT_EQ(currentGameHeader.textPage, f.gbk ? kHeaderTextsGbk : kHeaderTextsUnknown) << f.name;
  }
  // Header values tell the readers apart: the text readers have none.
  EXPECT_STREQ(currentGameHeader.redName, "X");
  ASSERT_EQ(Load((dir_ / "a.txt").string()), kLoadOk);
  EXPECT_STREQ(currentGameHeader.redName, "");
  ASSERT_EQ(Load((dir_ / "a.Mxq").string()), kLoadOk);
  EXPECT_STREQ(currentGameHeader.redName, "R");
}

TEST_F(LoadGameTest, QuotesAndMissingExtensions) {
  const std::string path = Write("q.txt", "h2e2\n");
  ASSERT_EQ(Load("\"" + path + "\""), kLoadOk);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2"}));
  const std::string fen = CurrentFen();
  // No extension (also when only a folder has one): 1, and nothing changes.
  const std::string noExt = Write("dir.txt/game", "h2e2\nh9g7\n");
  std::string given = noExt;
  EXPECT_EQ(Load(given), kLoadFailed);
  EXPECT_EQ(given, noExt);
  EXPECT_EQ(Load(Write(".txt", "h2e2\nh9g7\n")), kLoadFailed);
  EXPECT_EQ(gameLength, 1);
  EXPECT_EQ(CurrentFen(), fen);
  EXPECT_EQ(std::string(gameFileName), path) << "the name without its quotes";
  // Unreadable files of every kind fail and keep the game.
  for (const char* name : {"m.egf", "m.vgf", "m.vbf", "m.txt", "m.pgn", "m.xqn", "m.mxq", "m.wxf"}) {
    EXPECT_NE(Load((dir_ / name).string()), kLoadOk) << name;
    EXPECT_EQ(gameLength, 1) << name;
    EXPECT_EQ(std::string(gameFileName), path) << name;
  }
}

// Text in which a reader recognises nothing is a failed load: a failure
// code, a log line, and the game on the board stays. A text that holds only
// a header is an empty game.
TEST_F(LoadGameTest, TextWithNothingOfAGameIsRefused) {
  ASSERT_EQ(Load(Write("user.txt", "h2e2\nh9g7\n")), kLoadOk);
  const std::string userFen = CurrentFen();
  const std::string userFile = gameFileName;
  std::string random(3000, '\0');
  uint32_t seed = 12345;
  for (char& c : random) {
    seed = seed * 1103515245u + 12345u;
    c = static_cast<char>(seed >> 23);
  }
  // "Partie d'échecs 象棋" in UTF-8, and "FORMAT WXF" in UTF-16 with its mark.
  const std::string utf8 = "\xEF\xBB\xBFPartie d'\xC3\xA9" "checs \xE8\xB1\xA1\xE6\xA3\x8B\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : std::string("FORMAT\tWXF\r\nRED\tA;;;\r\n")) utf16 += std::string{c, '\0'};
  const struct {
    const char* what;
    std::string bytes;
  } junk[] = {
      {"random bytes", random},
      {"empty", ""},
      {"all zero", std::string(500, '\0')},
      {"UTF-8", utf8},
      {"UTF-16", utf16},
      {"CR only", std::string(40, '\r')},
      {"longer than 4 MiB", std::string(4u * 1024u * 1024u + 1u, ' ')},
  };
  for (const auto& j : junk) {
    for (const char* ext : {"wxf", "axf", "ccf", "htm", "html", "pgn", "xqn", "mxq", "txt"}) {
      SCOPED_TRACE(std::string(j.what) + " as " + ext);
      testing_support::LogCapture log;
      const int result = Load(Write(std::string("junk.") + ext, j.bytes));
      EXPECT_FALSE(GameWasLoaded(result)) << result;
      EXPECT_FALSE(log.lines().empty()) << "the refusal is logged";
      EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7"}));
      EXPECT_EQ(CurrentFen(), userFen);
      EXPECT_EQ(std::string(gameFileName), userFile);
    }
  }
  const struct {
    const char* name;
    std::string bytes;
  } headerOnly[] = {
      {"h.wxf", "FORMAT\tWXF\nRED\tA;;;\nSTART{\n}END\n"},
      {"h.html", "<PRE>\nRED\tA;;;\nSTART{\n}END\n</PRE>\n"},
      {"h.pgn", "[Red \"A\"]\n[Result \"*\"]\n"},
      {"h.xqn", "[Red \"A\"]\n"},
      {"h.mxq", std::string("\x01S\x08" "D#xx\xD6") + "A-Draw-B\x0A\x0A\x0A" "Moves End"},
  };
  for (const auto& h : headerOnly) {
    ASSERT_EQ(Load(Write("user.txt", "h2e2\n")), kLoadOk);
    testing_support::LogCapture log;
    EXPECT_EQ(Load(Write(h.name, h.bytes)), kLoadOk) << h.name;
    EXPECT_EQ(gameLength, 0) << h.name;
    EXPECT_STREQ(currentGameHeader.redName, "A") << h.name;
    EXPECT_TRUE(log.lines().empty()) << h.name;
  }
  // An MXQ header whose "Moves" is lost (cut off, or the word damaged) is no
  // empty game: its moves are lost, and the game on the board stays.
  const std::string mxqHeader = std::string("\x01S\x08" "D#xx\xD6") + "A-Draw-B\x0A\x0A\x0A";
  const struct {
    const char* what;
    std::string after;  // after the header
  } lost[] = {
      {"nothing", ""}, {"a NUL in the word", std::string("Mo\0es End", 9)},
      {"only the word", "Moves"}, {"the word and zero bytes", "Moves" + std::string(64, '\0')},
  };
  for (const auto& l : lost) {
    SCOPED_TRACE(l.what);
    ASSERT_EQ(Load(Write("user.txt", "h2e2\n")), kLoadOk);
    testing_support::LogCapture log;
    EXPECT_EQ(Load(Write("h.mxq", mxqHeader + l.after)), kLoadInvalidMove);
    EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2"}));
    EXPECT_FALSE(log.lines().empty());
  }
}

// A refused move ends the game before it, and the file counts as read in
// part: the user is told rather than shown a shorter game as the whole.
TEST_F(LoadGameTest, PgnInCapitalsKeepsTheMovesBeforeARefusedOne) {
  ASSERT_EQ(Load(Write("G.PGN", "[Result \"*\"]\n1. C2.5 H8+7 2. C5+9\n")), kLoadPartial);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7"}));
}

// An adviser, elephant or pawn where it can never stand is refused by the
// position check and by the readers' start positions (PGN FEN tag, keyword
// FEN line); the user's game stays. A sound one loads as written.
TEST_F(LoadGameTest, StartPositionsWithPiecesOffTheirPointsAreRefused) {
  for (const testing_support::PlacementCase& c : testing_support::PlacementCases()) {
    int8_t cells[kBoardSize];
    uint32_t pieces[33];
    uint32_t side = 0;
    ReadFenToBoard(c.fen.c_str(), cells, pieces, &side);
    EXPECT_EQ(IsSoundStartPosition(cells, pieces), c.sound ? 1 : 0) << c.what;
    const std::string files[] = {
        Write("a.pgn", "[FEN \"" + c.fen + "\"]\n[Result \"*\"]\n"),
        Write("a.wxf", "FEN " + c.fen + "\nSTART{\n}END\n"),
    };
    for (const std::string& path : files) {
      InitEngine();
      const int result = Load(path);
      if (c.sound) {
        EXPECT_EQ(result, kLoadOk) << c.what << " " << path;
        EXPECT_EQ(CurrentFen(), c.fen) << c.what << " " << path;
      } else {
        EXPECT_TRUE(result == kLoadBadBoard || result == kLoadFailed) << c.what << " " << path;
        EXPECT_EQ(CurrentFen(), testing_support::kStartFen) << c.what << " " << path;
      }
    }
  }
}

// ---------------------------------------------------------------------------
// Round trips through every written format
// ---------------------------------------------------------------------------

std::string Text(char c) { return std::string(kHeaderTextSize - 1, c); }

// A game from a set-up position with black to move: ten plies, engine data,
// comments on many plies, marks, every header text at its longest, shown at
// ply 6.
LoadedGame FullGame(bool setUpStart) {
  InitEngine();
  LoadedGame g;
  {
    StagingSession session(g);
    EXPECT_TRUE(session.open());
    if (setUpStart) {
      EXPECT_EQ(StageStartFen(g, "rnbakab1r/9/1c2c1n2/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/"
                                 "RNBAKABNR b"),
                1);
    }
    for (int i = 0; i < 10; ++i) {
      const std::vector<Move> legal = LegalMoves();
      EXPECT_FALSE(legal.empty());
      EXPECT_EQ(StageMove(g, legal[(7 * i + 3) % legal.size()]), kStageAccepted);
    }
  }
  for (int i = 0; i < 10; i += 3) {
    g.moves[i].engineScore = 10 * i - 25;
    g.moves[i].engineDepth = i + 1;
    g.moves[i].engineMove = 1;
  }
  GameHeader& h = g.header;
  h.hasInfo = 1;
  h.result = kResultBlackWins;
  SetHeaderText(h.event, Text('e').c_str());
  SetHeaderText(h.site, Text('s').c_str());
  SetHeaderText(h.date, Text('d').c_str());
  SetHeaderText(h.round, Text('r').c_str());
  SetHeaderText(h.redName, Text('R').c_str());
  SetHeaderText(h.blackName, Text('B').c_str());
  SetHeaderText(h.redElo, "2500");
  SetHeaderText(h.blackElo, "2400");
  SetHeaderText(h.author, Text('a').c_str());
  SetHeaderText(h.timeControl, Text('t').c_str());
  SetLoadedComment(g, 0, "The whole game");
  for (int ply = 1; ply <= 10; ply += 2) SetLoadedComment(g, ply, ("after " + std::to_string(ply)).c_str());
  SetLoadedComment(g, 4, "line one\r\nline two");
  SetLoadedComment(g, 10, "the end");
  SetLoadedMark(g, 2, kMarkGood);
  SetLoadedMark(g, 3, kMarkBlunder);
  SetLoadedMark(g, 10, kMarkEven);
  g.shownPly = 6;
  return g;
}

// What the format stores of game.
LoadedGame Stored(LoadedGame g, const std::string& ext) {
  auto dropPlyComments = [&](bool keepGameComment) {
    g.comments.resize(g.comments.empty() || !keepGameComment ? 0 : 1);
    if (!g.comments.empty()) g.comments[0].mark = kMarkNone;
  };
  auto dropEngineData = [&] {
    for (LoadedMove& m : g.moves) m = LoadedMove{m.move, 0, 0, 0};
  };
  const GameHeader full = g.header;
  if (ext == "vgf") {
    g.header.author[0] = g.header.timeControl[0] = '\0';
    dropPlyComments(true);
  } else if (ext == "vbf") {
    g.header = emptyGameHeader;
    dropPlyComments(false);
    dropEngineData();
  } else if (ext == "wxf" || ext == "ccf" || ext == "axf") {
    g.header = emptyGameHeader;
    std::memcpy(g.header.redName, full.redName, sizeof full.redName);
    std::memcpy(g.header.blackName, full.blackName, sizeof full.blackName);
    std::memcpy(g.header.date, full.date, sizeof full.date);
    std::memcpy(g.header.event, full.event, sizeof full.event);
    std::memcpy(g.header.redElo, full.redElo, sizeof full.redElo);
    std::memcpy(g.header.blackElo, full.blackElo, sizeof full.blackElo);
    dropEngineData();
    g.shownPly = static_cast<int32_t>(g.moves.size());
  } else if (ext == "txt") {
    g.header = emptyGameHeader;
    dropPlyComments(false);
    dropEngineData();
    g.shownPly = static_cast<int32_t>(g.moves.size());
  }
  return g;
}

void ExpectSameGame(const LoadedGame& want, const LoadedGame& got, const std::string& ext) {
  SCOPED_TRACE(ext);
  EXPECT_EQ(got.customStart, want.customStart);
  if (want.customStart) {
    EXPECT_EQ(std::memcmp(got.startBoard, want.startBoard, sizeof got.startBoard), 0);
    EXPECT_EQ(got.startSide, want.startSide);
  }
  ASSERT_EQ(got.moves.size(), want.moves.size());
  for (size_t i = 0; i < want.moves.size(); ++i) {
    EXPECT_EQ(MoveText(got.moves[i].move), MoveText(want.moves[i].move)) << i;
    EXPECT_EQ(got.moves[i].engineScore, want.moves[i].engineScore) << i;
    EXPECT_EQ(got.moves[i].engineDepth, want.moves[i].engineDepth) << i;
    EXPECT_EQ(got.moves[i].engineMove, want.moves[i].engineMove) << i;
  }
  EXPECT_EQ(got.shownPly, want.shownPly);
  const GameHeader& a = got.header;
  const GameHeader& b = want.header;
  EXPECT_EQ(a.result, b.result);
  EXPECT_STREQ(a.event, b.event);
  EXPECT_STREQ(a.site, b.site);
  EXPECT_STREQ(a.date, b.date);
  EXPECT_STREQ(a.round, b.round);
  EXPECT_STREQ(a.redName, b.redName);
  EXPECT_STREQ(a.redElo, b.redElo);
  EXPECT_STREQ(a.blackName, b.blackName);
  EXPECT_STREQ(a.blackElo, b.blackElo);
  EXPECT_STREQ(a.author, b.author);
  EXPECT_STREQ(a.timeControl, b.timeControl);
  for (int ply = 0; ply < kCommentSlots; ++ply) {
    const LoadedComment none;
    const LoadedComment& x = ply < static_cast<int>(got.comments.size()) ? got.comments[ply] : none;
    const LoadedComment& y = ply < static_cast<int>(want.comments.size()) ? want.comments[ply] : none;
    EXPECT_EQ(x.hasText, y.hasText) << "ply " << ply;
    EXPECT_EQ(x.text, y.text) << "ply " << ply;
    EXPECT_EQ(x.mark, y.mark) << "ply " << ply;
  }
}

TEST_F(LoadGameTest, EveryWrittenFormatRoundTrips) {
  for (const char* ext : {"egf", "vgf", "vbf", "wxf", "ccf", "axf", "txt"}) {
    const bool setUp = std::strcmp(ext, "txt") != 0;  // coordinate text has no start position
    const LoadedGame game = FullGame(setUp);
    ASSERT_EQ(CommitLoadedGame(game), 1);
    const std::string path = (dir_ / (std::string("game.") + ext)).string();
    ASSERT_EQ(SaveGameFile(path.c_str(), currentGameHeader), 0) << ext;
    EXPECT_EQ(gamePly, 6) << ext << ": the writer keeps the shown ply";
    InitEngine();
    ASSERT_EQ(Load(path), kLoadOk) << ext;
    EXPECT_EQ(std::string(gameFileName), path);
    LoadedGame loaded;
    CaptureCurrentGame(loaded);
    ExpectSameGame(Stored(game, ext), loaded, ext);
  }
}

// The knights' round h0g2 h9g7 g2h0 g7h9 for `plies` game moves: a game no
// repetition ruling ends.
Move RoundMove(int ply) {
  static const char* const kRound[] = {"h0g2", "h9g7", "g2h0", "g7h9"};
  return MoveFromText(kRound[ply % 4]);
}

// A game as long as a game may be goes through every writer and reader
// whole; a longer one (made the way the engine once went past the end) is
// written only as far as every reader reads.
TEST_F(LoadGameTest, GamesAtTheMoveCapRoundTripThroughEveryFormat) {
  for (const int past : {0, 2}) {
    for (const char* ext : {"egf", "vgf", "vbf", "wxf", "ccf", "axf", "txt"}) {
      SCOPED_TRACE(std::string(ext) + " with " + std::to_string(past) + " moves past the cap");
      InitEngine();
      LoadedGame game;
      {
        StagingSession session(game);
        ASSERT_TRUE(session.open());
        for (int ply = 0; ply < kMaxGameMoves; ++ply)
          ASSERT_EQ(StageMove(game, RoundMove(ply)), kStageAccepted) << ply;
        EXPECT_EQ(StageMove(game, RoundMove(kMaxGameMoves)), kStageFull);
      }
      game.moves.back().engineMove = 1;
      game.moves.back().engineScore = 12;
      game.shownPly = kMaxGameMoves;
      ASSERT_EQ(CommitLoadedGame(game), 1);
      for (int ply = kMaxGameMoves; ply < kMaxGameMoves + past; ++ply) {
        historyBase = &history[gamePly + 1];
        historyPly = 0;
        ASSERT_NE(MakeMove(RoundMove(ply), static_cast<int32_t>(FindChecker(sideToMove))), 0);
        gameLength = ++gamePly;
      }
      const std::string path = (dir_ / (std::string("cap.") + ext)).string();
      ASSERT_EQ(SaveGameFile(path.c_str(), currentGameHeader), 0);
      InitEngine();
      ASSERT_EQ(Load(path), kLoadOk);
      EXPECT_FALSE(std::filesystem::exists(path + ".damaged"));
      LoadedGame loaded;
      CaptureCurrentGame(loaded);
      ExpectSameGame(Stored(game, ext), loaded, ext);
      EXPECT_EQ(gamePly, kMaxGameMoves);
    }
  }
}

TEST_F(LoadGameTest, WritersReportFilesTheyCannotCreate) {
  // From the standard start: coordinate text of a set-up game is refused
  // before any file is opened.
  ASSERT_EQ(CommitLoadedGame(FullGame(false)), 1);
  for (const char* ext : {"egf", "vgf", "vbf", "wxf", "axf", "txt", "evgf"}) {
    const std::string path = (dir_ / "no_such_folder" / (std::string("g.") + ext)).string();
    EXPECT_NE(SaveGameFile(path.c_str(), currentGameHeader), 0) << ext;
  }
  // An extension the writers do not know is written as coordinate text.
  const std::string path = (dir_ / "game.EVGF").string();
  ASSERT_EQ(SaveGameFile(path.c_str(), currentGameHeader), 0);
  std::ifstream in(path);
  std::string first;
  std::getline(in, first);
  EXPECT_EQ(first, MoveText(history[1].move));
}

}  // namespace
