// Keyword text game files: round trips through wxf, axf and ccf, readers on
// files built byte by byte (with and without FEN, comments, Chinese moves,
// web pages), and the failures that must leave the game as it was.
#include "game/keyword_files.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "game/comments.h"
#include "game/game_loader.h"
#include "game/header.h"
#include "game/load_game.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::InitEngine;
using testing_support::LogCapture;
using testing_support::MoveFromText;
using testing_support::PositionSnapshot;

// The first twenty plies of a master game (captures included).
const std::vector<std::string> kMasterOpening = {
    "h2e2", "h9g7", "h0g2", "i9h9", "c3c4", "g6g5", "b0c2", "b9c7", "i0i1", "c9e7",
    "i1f1", "h7h5", "c2d4", "c6c5", "d4c6", "c5c4", "f1c1", "b7b9", "c1c4", "b9c9"};

// Black to move; two files with two red pawns each and a pair of red
// chariots on one file, so the pawn texts are named by their file digit
// ("7++1", "5+.6") and the chariot by its tandem mark ("R+.8").
constexpr const char* kSetUpFen = "5k3/9/9/2P1P4/2P1P4/9/9/R8/9/R2K5 b";
const std::vector<std::string> kSetUpMoves = {"f9f8", "c6c7", "f8f9", "c5c6", "f9f8",
                                              "e6d6", "f8f9", "a2b2", "f9f8"};

// Replaces the game on the board by a start position and moves.
void SetGame(const char* fen, const std::vector<std::string>& moves) {
  InitEngine();
  LoadedGame game;
  if (fen != nullptr) {
    game.customStart = true;
    ReadFenToBoard(fen, game.startBoard, game.startPieces, &game.startSide);
  }
  for (const std::string& m : moves) game.moves.push_back({MoveFromText(m), 0, 0, 0});
  ASSERT_EQ(CommitLoadedGame(game, currentGameHeader, 0), 1);
  ASSERT_EQ(gameLength, static_cast<int32_t>(moves.size()));
}

std::vector<std::string> GameMoves() {
  std::vector<std::string> out;
  for (int ply = 1; ply <= gameLength; ++ply)
    out.push_back(testing_support::MoveText(history[ply].move));
  return out;
}

std::string CommentText(int ply) {
  return moveComments[ply].text != nullptr ? moveComments[ply].text : "";
}

// Everything a load may change, for "left exactly as it was".
struct GameState {
  PositionSnapshot position;
  int32_t ply, length;
  uint32_t startSide, shownSide;
  std::vector<Move> moves;
  GameHeader header;
  std::vector<std::string> comments;
  std::vector<int> marks;
  std::string fileName;

  static GameState Take() {
    GameState s{PositionSnapshot::Take(), gamePly, gameLength, startSideToMove, shownSideToMove, {},
                currentGameHeader,        {},      {},         gameFileName};
    for (int ply = 1; ply <= gameLength; ++ply) s.moves.push_back(history[ply].move);
    for (int ply = 0; ply < kCommentSlots; ++ply) {
      s.comments.push_back(moveComments[ply].text != nullptr ? moveComments[ply].text : "<none>");
      s.marks.push_back(moveComments[ply].annotation);
    }
    return s;
  }
  void ExpectEqual(const GameState& o) const {
    EXPECT_TRUE(position == o.position);
    EXPECT_EQ(ply, o.ply);
    EXPECT_EQ(length, o.length);
    EXPECT_EQ(startSide, o.startSide);
    EXPECT_EQ(shownSide, o.shownSide);
    EXPECT_EQ(moves, o.moves);
    EXPECT_EQ(std::memcmp(&header, &o.header, sizeof header), 0);
    EXPECT_EQ(comments, o.comments);
    EXPECT_EQ(marks, o.marks);
    EXPECT_EQ(fileName, o.fileName);
  }
};

class KeywordFilesTest : public testing_support::ScratchFolderTest {
 protected:
  KeywordFilesTest() : ScratchFolderTest("keyword_files") {}
  void SetUp() override {
    InitEngine();
    ScratchFolderTest::SetUp();
  }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(Path(name), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  int Load(const std::string& path) {
    return LoadKeywordGameFile(path.c_str(), &currentGameHeader, 0);
  }
};

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

TEST_F(KeywordFilesTest, WritesHeaderMovesMarksAndCommentsExactly) {
  SetGame(nullptr, {"h2e2", "h9g7", "h0g2"});
  GameHeader h = emptyGameHeader;
  SetHeaderText(h.redName, "Red Player");
  SetHeaderText(h.redElo, "2400");
  SetHeaderText(h.blackName, "Black");
  SetHeaderText(h.date, "2024.01.02");
  SetHeaderText(h.event, "Cup");
  SetHeaderText(h.site, "not written");
  SetComment(0, "game");
  SetAnnotation(1, kMarkBrilliant);
  SetAnnotation(2, kMarkMistake);
  SetComment(3, "nice");
  ASSERT_EQ(SaveWxfGame(Path("g.wxf").c_str(), 0, h), 0);
  EXPECT_EQ(ReadFile("g.wxf"),
            "FORMAT  \tWXF\nGAME    \nRED     \tRed Player;2400;;\nBLACK   \tBlack;;;\n"
            "DATE    \t2024.01.02\nEVENT    \tCup\n/*game*/\n\nSTART{\n"
            " 1.  C2.5!!  H8+7?     2.  H2+3\n/*nice*/\n\n}END\n");
  EXPECT_EQ(std::string(gameFileName), Path("g.wxf"));

  ASSERT_EQ(SaveWxfGame(Path("g.axf").c_str(), 1, emptyGameHeader), 0);
  EXPECT_EQ(ReadFile("g.axf"),
            "FORMAT  \tAXF\nGAME    \nRED     \t;;;\nBLACK   \t;;;\n/*game*/\n\nSTART{\n"
            " 1.  C2=5!!  H8+7?     2.  H2+3\n/*nice*/\n\n}END\n");
}

TEST_F(KeywordFilesTest, RatingsCommentBreaksAndFenLine) {
  GameHeader h = emptyGameHeader;
  SetHeaderText(h.redName, "R");
  SetHeaderText(h.redElo, "-5");  // written as it stands, for either side
  SetHeaderText(h.blackName, "B");
  SetHeaderText(h.blackElo, "0");
  SetGame(nullptr, {"h2e2", "h9g7", "h0g2", "i9h9", "c3c4"});
  SetComment(4, "after four");
  ASSERT_EQ(SaveWxfGame(Path("a.wxf").c_str(), 0, h), 0);
  EXPECT_EQ(ReadFile("a.wxf"),
            "FORMAT  \tWXF\nGAME    \nRED     \tR;-5;;\nBLACK   \tB;0;;\n\nSTART{\n"
            " 1.  C2.5  H8+7     2.  H2+3  R9.8\n/*after four*/\n\n 3.  P7+1\n}END\n");
  // The marks of an unknown rating are written as no rating.
  SetHeaderText(h.redElo, "?");
  SetHeaderText(h.blackElo, "-");
  ASSERT_EQ(SaveWxfGame(Path("a.wxf").c_str(), 0, h), 0);
  EXPECT_EQ(ReadFile("a.wxf").substr(0, 51),
            "FORMAT  \tWXF\nGAME    \nRED     \tR;;;\nBLACK   \tB;;;\n\n");

  SetGame(kSetUpFen, {});
  ASSERT_EQ(SaveWxfGame(Path("b.wxf").c_str(), 0, emptyGameHeader), 0);
  EXPECT_NE(ReadFile("b.wxf").find("FEN  \t\t5k3/9/9/2P1P4/2P1P4/9/9/R8/9/R2K5 b\n"),
            std::string::npos);
}

TEST_F(KeywordFilesTest, SavingKeepsTheShownPositionAndFailsLoudly) {
  SetGame(nullptr, kMasterOpening);
  while (gamePly > 7) TakeBackOne();
  // The writer steps through the game; the shown position and the record
  // are the same afterwards.
  const GameState before = GameState::Take();
  int8_t shownBoard[kBoardSize];
  std::memcpy(shownBoard, displayBoard, sizeof shownBoard);
  ASSERT_EQ(SaveWxfGame(Path("shown.wxf").c_str(), 0, currentGameHeader), 0);
  const GameState after = GameState::Take();
  EXPECT_EQ(std::memcmp(after.position.board, before.position.board, sizeof board), 0);
  EXPECT_EQ(std::memcmp(after.position.posPiece, before.position.posPiece, sizeof posPiece), 0);
  EXPECT_EQ(after.position.positionLock, before.position.positionLock);
  EXPECT_EQ(after.position.sideToMove, before.position.sideToMove);
  EXPECT_EQ(std::memcmp(displayBoard, shownBoard, sizeof shownBoard), 0);
  EXPECT_EQ(after.ply, 7);
  EXPECT_EQ(after.length, 20);
  EXPECT_EQ(after.moves, before.moves);
  EXPECT_EQ(after.comments, before.comments);
  EXPECT_EQ(after.fileName, Path("shown.wxf"));

  // A file that cannot be created: result 1, nothing changed.
  const GameState unchanged = GameState::Take();
  EXPECT_EQ(SaveWxfGame(Path("no/such/dir/x.wxf").c_str(), 0, currentGameHeader), 1);
  EXPECT_EQ(SaveWxfGame(nullptr, 0, currentGameHeader), 1);
  unchanged.ExpectEqual(GameState::Take());
  // A write error (a full device) is reported as well.
  if (std::filesystem::exists("/dev/full")) {
    EXPECT_EQ(SaveWxfGame("/dev/full", 0, currentGameHeader), 1);
  }
}

// A comment's line breaks, however stored (CR LF, CR, LF), are written as
// the LF that ends every other line of the file, and read back as CR LF.
TEST_F(KeywordFilesTest, CommentLineEndsFollowTheFile) {
  SetGame(nullptr, {"h2e2", "h9g7"});
  SetComment(0, "one\r\ntwo");
  SetComment(1, "a\rb\nc\r\n");
  struct Kind {
    const char* name;
    int axf;
  };
  for (const Kind& format : {Kind{"wxf", 0}, Kind{"ccf", 0}, Kind{"axf", 1}}) {
    SCOPED_TRACE(format.name);
    const std::string name = std::string("ends.") + format.name;
    ASSERT_EQ(SaveWxfGame(Path(name).c_str(), format.axf, emptyGameHeader), 0);
    const std::string file = ReadFile(name);
    EXPECT_EQ(file.find('\r'), std::string::npos) << file;
    EXPECT_NE(file.find("\n/*one\ntwo*/\n"), std::string::npos) << file;
    EXPECT_NE(file.find("\n/*a\nb\nc\n*/\n"), std::string::npos) << file;
    ASSERT_EQ(Load(Path(name)), 0);
    EXPECT_EQ(CommentText(0), "one\r\ntwo");
    EXPECT_EQ(CommentText(1), "a\r\nb\r\nc\r\n");
    EXPECT_EQ(gameLength, 2);
  }
}

// ---------------------------------------------------------------------------
// Round trips
// ---------------------------------------------------------------------------

struct RoundTrip {
  const char* name;
  int axf;
};

class KeywordRoundTripTest : public KeywordFilesTest,
                             public ::testing::WithParamInterface<RoundTrip> {};

std::string Filled(char first, size_t n) {
  std::string s;
  for (size_t i = 0; i < n; ++i) s += static_cast<char>(first + i % 26);
  return s;
}

TEST_P(KeywordRoundTripTest, GameSurvivesSaveAndLoad) {
  for (const char* fen : {static_cast<const char*>(nullptr), kSetUpFen}) {
    SCOPED_TRACE(fen != nullptr ? fen : "standard start");
    SetGame(fen, fen != nullptr ? kSetUpMoves : kMasterOpening);
    // Header texts at their longest (127 bytes), GBK bytes kept as they are.
    GameHeader h = emptyGameHeader;
    SetHeaderText(h.redName, Filled('a', 127).c_str());
    SetHeaderText(h.blackName, ("\xBA\xEC" + Filled('A', 125)).c_str());
    SetHeaderText(h.date, Filled('0', 127).c_str());
    SetHeaderText(h.event, ("\xCE\xE5 " + Filled('a', 124)).c_str());
    SetHeaderText(h.redElo, "2650");
    SetHeaderText(h.blackElo, "2480");
    // Comments on many plies, awkward ones included.
    const std::vector<std::pair<int, std::string>> comments = {
        {0, "whole game\r\nsecond line"},
        {1, "ends */ early? no: */*/ and *\\/ stay"},
        {2, "x"},
        {3, "*"},
        {4, "multi\r\n\r\nwith empty line\r\n"},
        {5, "\xC5\xDA\xB6\xFE\xC6\xBD\xCE\xE5 is Chinese text"},
        {6, "/starts with a slash"},
        {8, "last \\"},
        {9, std::string(3000, 'c')}};
    for (const auto& [ply, text] : comments) SetComment(ply, text.c_str());
    const uint8_t marks[] = {0, 5, 1, 2, 3, 4, 0, 5, 1, 2};
    for (int ply = 1; ply <= 9; ++ply) SetAnnotation(ply, marks[ply]);
    const std::vector<std::string> moves = GameMoves();
    const uint32_t startSide = startSideToMove;
    const PositionSnapshot final = PositionSnapshot::Take();

    const std::string path = Path(std::string("game.") + GetParam().name);
    ASSERT_EQ(SaveWxfGame(path.c_str(), GetParam().axf, h), 0);
    if (fen != nullptr) {
      // Pawns named by their file digit and a chariot by its tandem mark.
      const std::string file = ReadFile(std::string("game.") + GetParam().name);
      EXPECT_NE(file.find(" 7++1"), std::string::npos) << file;
      EXPECT_NE(file.find(" 7-+1"), std::string::npos) << file;
      EXPECT_NE(file.find(GetParam().axf != 0 ? " 5+=6" : " 5+.6"), std::string::npos) << file;
      EXPECT_NE(file.find(GetParam().axf != 0 ? " R+=8" : " R+.8"), std::string::npos) << file;
    }
    InitEngine();  // another game on the board before loading
    ASSERT_EQ(Load(path), 0);

    EXPECT_EQ(GameMoves(), moves);
    EXPECT_EQ(gamePly, gameLength);
    EXPECT_TRUE(PositionSnapshot::Take() == final);
    EXPECT_EQ(startSideToMove, startSide);
    EXPECT_STREQ(currentGameHeader.redName, h.redName);
    EXPECT_STREQ(currentGameHeader.blackName, h.blackName);
    EXPECT_STREQ(currentGameHeader.date, h.date);
    EXPECT_STREQ(currentGameHeader.event, h.event);
    EXPECT_STREQ(currentGameHeader.redElo, "2650");
    EXPECT_STREQ(currentGameHeader.blackElo, "2480");
    for (const auto& [ply, text] : comments) EXPECT_EQ(CommentText(ply), text) << "ply " << ply;
    EXPECT_EQ(moveComments[7].text, nullptr);
    for (int ply = 1; ply <= 9; ++ply) EXPECT_EQ(moveComments[ply].annotation, marks[ply]) << ply;
    EXPECT_EQ(std::string(gameFileName), path);

    // The start position comes back too.
    TakeBackAll();
    char fen2[kFenBufferSize];
    WriteFen(board, fen2, 1, 0, 0);
    const std::string expectedStart =
        fen != nullptr ? fen : "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR r";
    EXPECT_EQ(std::string(fen2), expectedStart);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, KeywordRoundTripTest,
                         ::testing::Values(RoundTrip{"wxf", 0}, RoundTrip{"ccf", 0},
                                           RoundTrip{"axf", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// Names holding the field separator ";", leading blanks, or a ";" and a
// number at the end load back whole in every keyword format, with and
// without a rating.
TEST_F(KeywordFilesTest, NamesWithSemicolonsAndLeadingBlanksLoadBackWhole) {
  struct Player {
    const char* name;
    const char* elo;
  };
  const Player players[] = {
      {"Wang; Jr", "2400"}, {"Wang; Jr", ""},  {"  Lead", "12"}, {" ", ""},
      {"a;5", ""},          {"x;;", "-7"},     {";", "1"},       {"", "2100"},
      {"\xCD\xF5; \xB4\xF3", ""},
  };
  SetGame(nullptr, {"h2e2", "h9g7"});
  for (const char* ext : {"wxf", "axf", "ccf"}) {
    for (const Player& red : players) {
      const Player& black = players[(&red - players + 1) % std::size(players)];
      SCOPED_TRACE(std::string(ext) + " red \"" + red.name + "\" black \"" + black.name + "\"");
      GameHeader h = emptyGameHeader;
      SetHeaderText(h.redName, red.name);
      SetHeaderText(h.redElo, red.elo);
      SetHeaderText(h.blackName, black.name);
      SetHeaderText(h.blackElo, black.elo);
      const std::string path = Path(std::string("names.") + ext);
      ASSERT_EQ(SaveWxfGame(path.c_str(), std::strcmp(ext, "axf") == 0, h), 0);
      ASSERT_EQ(Load(path), 0);
      EXPECT_STREQ(currentGameHeader.redName, red.name);
      EXPECT_STREQ(currentGameHeader.redElo, red.elo);
      EXPECT_STREQ(currentGameHeader.blackName, black.name);
      EXPECT_STREQ(currentGameHeader.blackElo, black.elo);
      EXPECT_EQ(gameLength, 2);
    }
  }
  // Lines written by hand keep their reading: the name before the first
  // ";", blanks after the keyword skipped.
  ASSERT_EQ(Load(Write("hand.wxf", "RED Name;2450\nBLACK\t\tOther; 2300 ;x;\nSTART{\n}END\n")), 0);
  EXPECT_STREQ(currentGameHeader.redName, "Name");
  EXPECT_STREQ(currentGameHeader.redElo, "2450");
  EXPECT_STREQ(currentGameHeader.blackName, "Other");
  EXPECT_STREQ(currentGameHeader.blackElo, "2300 ");
}

// A header text typed in the program keeps its code page through a file:
// the binary files with a header store the page, and the keyword files
// (read as GBK) get a Windows-1252 text in its GBK form, or nothing is
// written when GBK lacks one of its characters.
TEST_F(KeywordFilesTest, TypedHeaderTextsKeepTheirCodePageThroughFiles) {
  struct Row {
    const char* file;
    uint8_t page;        // the page the text was typed in
    const char* typed;   // its bytes in that page
    int saved;           // SaveGameFile's answer
    const char* loaded;  // the bytes read back
    uint8_t loadedPage;
  };
  const Row rows[] = {
      {"latin.egf", kHeaderTextsLatin, "M\xFCller", 0, "M\xFCller", kHeaderTextsLatin},
      {"gbk.vgf", kHeaderTextsGbk, "\xCD\xF5", 0, "\xCD\xF5", kHeaderTextsGbk},
      {"unknown.vgf", kHeaderTextsUnknown, "M\xFCller", 0, "M\xFCller", kHeaderTextsUnknown},
      {"latin.wxf", kHeaderTextsLatin, "M\xFCller", 0, "M\xA8\xB9ller", kHeaderTextsGbk},
      {"latin.axf", kHeaderTextsLatin, "Jos\xE9", 0, "Jos\xA8\xA6", kHeaderTextsGbk},
      {"gbk.ccf", kHeaderTextsGbk, "\xCD\xF5", 0, "\xCD\xF5", kHeaderTextsGbk},
      {"latin.ccf", kHeaderTextsLatin, "Stra\xDF" "e", kSaveTextsNotKept, nullptr, 0},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.file);
    SetGame(nullptr, {"h2e2", "h9g7"});
    GameHeader typed = emptyGameHeader;
    SetHeaderText(typed.redName, row.typed);
    SetHeaderText(typed.event, "Open");
    typed.textPage = row.page;
    const std::string path = Path(row.file);
    ASSERT_EQ(SaveGameFile(path.c_str(), typed), row.saved);
    if (row.loaded == nullptr) {
      EXPECT_FALSE(std::filesystem::exists(path)) << "nothing is written";
      continue;
    }
    currentGameHeader = emptyGameHeader;
    ASSERT_EQ(LoadGameFile(path.c_str(), &currentGameHeader, 0), 0);
    EXPECT_STREQ(currentGameHeader.redName, row.loaded);
    EXPECT_STREQ(currentGameHeader.event, "Open");
    EXPECT_EQ(currentGameHeader.textPage, row.loadedPage);
  }
  // Four reserved bytes that are not a page mark leave the page unknown.
  std::string bytes = ReadFile("latin.egf");
  const char mark[] = {'\x09', '\x02', '\x00', '\x54', '\x50'};
  const size_t at = bytes.find(std::string(mark, sizeof mark));
  ASSERT_NE(at, std::string::npos);
  bytes[at + 1] = '\x07';
  currentGameHeader = emptyGameHeader;
  ASSERT_EQ(LoadGameFile(Write("other.egf", bytes).c_str(), &currentGameHeader, 0), 0);
  EXPECT_STREQ(currentGameHeader.redName, "M\xFCller");
  EXPECT_EQ(currentGameHeader.textPage, kHeaderTextsUnknown);
}

// ---------------------------------------------------------------------------
// Reading files built byte by byte
// ---------------------------------------------------------------------------

// Chinese move texts (GBK): 炮二平五 马８进７ 马二进三 车９平８.
const std::string kChineseLine1 =
    " 1. \xC5\xDA\xB6\xFE\xC6\xBD\xCE\xE5 \xC2\xED\xA3\xB8\xBD\xF8\xA3\xB7\r\n";
const std::string kChineseLine2 =
    " 2. \xC2\xED\xB6\xFE\xBD\xF8\xC8\xFD \xB3\xB5\xA3\xB9\xC6\xBD\xA3\xB8\r\n";

TEST_F(KeywordFilesTest, ReadsHeaderCommentsAndChineseMoves) {
  const std::string text =
      "FORMAT  \tWXF\r\n"
      "GAME    \r\n"
      "RED     \t\xBA\xEC\xB7\xBD;2450;;\r\n"
      "BLACK   \tBlack Name\r\n"
      "RESULT  1-0\r\n"
      "ROUND   3\r\n"
      "PLACE\tBeijing\r\n"
      "DATE    \t2006.08.03\r\n"
      "EVENT    \tCup \xB1\xAD\r\n"
      "AUTHOR  \tnobody\r\n"
      "/*\xCE\xE5 game comment*/\r\n"
      "\r\nSTART{\r\n" +
      kChineseLine1 + "/*\xC2\xED on ply two*/\r\n" + kChineseLine2 + "}END\r\n" +
      " 3.  C8.7\r\n";  // after the end: not read
  ASSERT_EQ(Load(Write("chinese.wxf", text)), 0);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7", "h0g2", "i9h9"}));
  EXPECT_EQ(gamePly, 4);
  EXPECT_STREQ(currentGameHeader.redName, "\xBA\xEC\xB7\xBD");
  EXPECT_STREQ(currentGameHeader.redElo, "2450");
  EXPECT_STREQ(currentGameHeader.blackName, "Black Name");
  EXPECT_STREQ(currentGameHeader.blackElo, "");
  EXPECT_EQ(currentGameHeader.result, kResultRedWins);
  EXPECT_STREQ(currentGameHeader.round, "3");
  EXPECT_STREQ(currentGameHeader.site, "Beijing");
  EXPECT_STREQ(currentGameHeader.date, "2006.08.03");
  EXPECT_STREQ(currentGameHeader.event, "Cup \xB1\xAD");
  EXPECT_STREQ(currentGameHeader.author, "");
  EXPECT_EQ(currentGameHeader.hasInfo, 0);
  EXPECT_EQ(CommentText(0), "\xCE\xE5 game comment");
  EXPECT_EQ(CommentText(2), "\xC2\xED on ply two");
}

TEST_F(KeywordFilesTest, ResultNeedsTheTextAtOffsetEight) {
  ASSERT_EQ(Load(Write("r1.wxf", "RESULT\t1-0\nSTART{\n}END\n")), 0);
  EXPECT_EQ(currentGameHeader.result, kResultUnknown);
  ASSERT_EQ(Load(Write("r2.wxf", "RESULT  0-1\n")), 0);
  EXPECT_EQ(currentGameHeader.result, kResultBlackWins);
  ASSERT_EQ(Load(Write("r3.wxf", "RESULT  0.5\n")), 0);
  EXPECT_EQ(currentGameHeader.result, kResultDraw);
  ASSERT_EQ(Load(Write("r4.wxf", "RESULT  1")), 0);  // too short: no read beyond it
  EXPECT_EQ(currentGameHeader.result, kResultUnknown);
}

TEST_F(KeywordFilesTest, HeaderBeforeTheFenLineSurvivesIt) {
  const std::string text =
      "RED     \tAlpha;2300;;\n"
      "BLACK   \tBeta;2200;;\n"
      "DATE    \t1999\n"
      "EVENT    \tOpen\n"
      "FEN  \t\t5k3/9/9/2P1P4/2P1P4/9/9/R8/9/R2K5 b\r\n"
      "PLACE   \tHere\n"
      "START{\n"
      " 1.  K6+1  7++1     2.  K6-1\n"
      "}END\n";
  ASSERT_EQ(Load(Write("fen.wxf", text)), 0);
  EXPECT_STREQ(currentGameHeader.redName, "Alpha");
  EXPECT_STREQ(currentGameHeader.redElo, "2300");
  EXPECT_STREQ(currentGameHeader.blackName, "Beta");
  EXPECT_STREQ(currentGameHeader.date, "1999");
  EXPECT_STREQ(currentGameHeader.event, "Open");
  EXPECT_STREQ(currentGameHeader.site, "Here");
  EXPECT_EQ(startSideToMove, 1u);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"f9f8", "c6c7", "f8f9"}));

  // CFEN is read the same way.
  ASSERT_EQ(Load(Write("cfen.wxf", "CFEN 4k4/9/9/9/9/4p4/9/9/9/3K5 w\nSTART{\nK6+1\n}END\n")), 0);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"d0d1"}));
}

TEST_F(KeywordFilesTest, ReadsAGameInsideAWebPage) {
  const std::string page =
      "<html>\r\n<head><title>Game</title></head>\r\n<body>\r\n<PRE>\r\n"
      "FORMAT  \tWXF\r\nRED     \tWeb Red;;;\r\n\"quoted line\r\n"
      "START{\r\n 1.  C2.5  H8+7     2.  H2+3\r\n}END\r\n</PRE>\r\n</body></html>\r\n";
  for (const char* name : {"page.htm", "page.html"}) {
    ASSERT_EQ(Load(Write(name, page)), 0) << name;
    EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7", "h0g2"}));
    EXPECT_STREQ(currentGameHeader.redName, "Web Red");
  }
}

TEST_F(KeywordFilesTest, CommentEndsAnywhereInAContinuationLine) {
  // "*/" at the very start of a continuation line, and after one character.
  const std::string text =
      "/*first\r\n*/\r\nSTART{\r\n 1.  C2.5\r\n/*a\r\nb*/\r\n H8+7  /*inline*/ 2. H2+3\r\n}END\r\n";
  ASSERT_EQ(Load(Write("c.wxf", text)), 0);
  EXPECT_EQ(CommentText(0), "first\r\n");
  EXPECT_EQ(CommentText(1), "a\r\nb");
  EXPECT_EQ(CommentText(2), "inline");
  EXPECT_EQ(gameLength, 3);
}

TEST_F(KeywordFilesTest, EndMarkAsFirstTokenLoadsNoMoves) {
  SetGame(nullptr, {"h2e2"});
  ASSERT_EQ(Load(Write("e1.wxf", "START{\n}END\n 1.  C2.5\n")), 0);
  EXPECT_EQ(gameLength, 0);
  ASSERT_EQ(Load(Write("e2.wxf", "START{\n 1.  C2.5  } END  H8+7\n")), 0);
  EXPECT_EQ(gameLength, 1);
}

TEST_F(KeywordFilesTest, ReadsTheWholeFileNotOnlyItsFirstBytes) {
  std::string text = "FORMAT  \tWXF\n";
  while (text.size() < 20000) text += "unknown filler line that is skipped\n";
  text += "START{\n 1.  C2.5  H8+7     2.  H2+3\n}END\n";
  ASSERT_EQ(Load(Write("long.wxf", text)), 0);
  EXPECT_EQ(gameLength, 3);
}

// ---------------------------------------------------------------------------
// Refused moves and failed loads
// ---------------------------------------------------------------------------

TEST_F(KeywordFilesTest, FirstRefusedMoveEndsTheMovesAndIsReported) {
  LogCapture log;
  // The refused "C1.1" ends the moves: the file is read in part, the
  // moves before it are the game.
  const std::string text = "START{\n 1.  C2.5  H8+7\n 2.  C1.1  H2+3\n 3. R1.2\n}END\n";
  ASSERT_EQ(Load(Write("refused.wxf", text)), kLoadPartial);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"h2e2", "h9g7"}));
  // Text before the first move is no longer passed over either.
  ASSERT_EQ(Load(Write("junk.wxf", "START{\nnot a move C2.5\n 1.  C2.5\n}END\n")), kLoadPartial);
  EXPECT_EQ(gameLength, 0);
  bool reported = false;
  for (const std::string& line : log.lines())
    reported = reported || (line.find("C1.1") != std::string::npos &&
                            line.find("refused") != std::string::npos);
  EXPECT_TRUE(reported);
}

TEST_F(KeywordFilesTest, MoveSectionOfATagFileInTheCallersSession) {
  // What a PGN reader hands over: tags it did not read, moves, a result and
  // a trailing banner; the set-up position comes from the caller's session.
  const GameState before = GameState::Take();
  LoadedGame game;
  SetHeaderText(game.header.redName, "From tags");
  game.fileName = "tags.pgn";
  {
    StagingSession session(game);
    ASSERT_TRUE(session.open());
    ASSERT_EQ(StageStartFen(game, "4k4/9/9/9/9/4p4/9/9/9/3K5 w"), 1);
    const std::string moves =
        "[ECCO \"C48\"]\r\n[Opening \"x\"]\r\n  1. K6+1 k5.6\r\n 2. K6-1\r\n 1-0\r\n"
        "============================\r\n";
    LogCapture log;
    size_t readTo = 0;
    ASSERT_EQ(ParseKeywordGame(moves.data(), moves.size(), game, 1, &readTo), 0);
    EXPECT_TRUE(log.lines().empty());  // the result ends the moves, the banner is not read
    EXPECT_EQ(moves.substr(readTo, 3), "1-0");
  }
  ASSERT_EQ(game.moves.size(), 3u);
  before.ExpectEqual(GameState::Take());  // staging changed nothing
  ASSERT_EQ(CommitLoadedGame(game, currentGameHeader, 0), 1);
  EXPECT_EQ(GameMoves(), (std::vector<std::string>{"d0d1", "e9f9", "d1d0"}));
  EXPECT_STREQ(currentGameHeader.redName, "From tags");
}

TEST_F(KeywordFilesTest, FailedLoadLeavesTheGameExactlyAsItWas) {
  SetGame(nullptr, kMasterOpening);
  while (gamePly > 11) TakeBackOne();
  SetComment(3, "keep me");
  SetAnnotation(4, kMarkGood);
  SetHeaderText(currentGameHeader.redName, "Current");
  SetGameFileName("current.egf");
  const GameState before = GameState::Take();

  // A start position without a red king.
  EXPECT_EQ(Load(Write("bad.wxf",
                           "RED     \tOther;;;\nFEN 4k4/9/9/9/9/9/9/9/9/9 w\n"
                           "START{\n 1.  C2.5\n}END\n")),
            1);
  before.ExpectEqual(GameState::Take());
  // A file that does not exist.
  EXPECT_EQ(Load(Path("missing.wxf")), 1);
  before.ExpectEqual(GameState::Take());
  // A file beyond the size cap.
  std::string huge = "START{\n 1.  C2.5\n}END\n";
  huge.resize(kKeywordFileCap + 1, '\n');
  EXPECT_EQ(Load(Write("huge.wxf", huge)), 1);
  before.ExpectEqual(GameState::Take());
  // Exactly at the cap it loads.
  huge.resize(kKeywordFileCap);
  EXPECT_EQ(Load(Write("cap.wxf", huge)), 0);
  EXPECT_EQ(gameLength, 1);
}

}  // namespace
