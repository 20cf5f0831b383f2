// The Chinese names of tandem pawns: "前兵", "中兵", "后兵" for three on a
// file, "一兵" to "五兵" (black "１卒" to "５卒") for four or five on a file or
// several on two files. Each name is read from the published form, written
// by FormatWxfMove and read back from what it wrote.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "game/header.h"
#include "game/load_game.h"
#include "game/notation.h"
#include "tests/support/scratch_folder.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::MoveFromText;
using testing_support::SetUpFen;

// GBK.
const std::string kRedPawn = "\xB1\xF8", kBlackPawn = "\xD7\xE4";
const std::string kFront = "\xC7\xB0", kMiddle = "\xD6\xD0", kRear = "\xBA\xF3";
const std::string kOne = "\xD2\xBB", kTwo = "\xB6\xFE", kThree = "\xC8\xFD", kFour = "\xCB\xC4",
                  kFive = "\xCE\xE5";
const std::string kWide1 = "\xA3\xB1", kWide2 = "\xA3\xB2", kWide3 = "\xA3\xB3",
                  kWide4 = "\xA3\xB4";
const std::string kSideways = "\xC6\xBD", kForward = "\xBD\xF8";

Move Parse(const std::string& text, int side) {
  char buffer[32];
  std::strcpy(buffer, text.c_str());
  return ParseWxfMove(buffer, side);
}

// The Chinese WXF and AXF texts of a move, made and taken back.
std::string ChineseText(Move move, char sidewaysSign) {
  EXPECT_EQ(testing_support::PlayMove(move), 1);
  char text[kWxfChineseTextSize];
  FormatWxfMove(move, text, sidewaysSign, static_cast<PieceIndex>(board[MoveTo(move)]), 1);
  UnmakeMove();
  return text;
}

// As printed records write a text of the program: the signs as 平, 进 and
// 退, the numbers as Chinese numerals for red and full-width digits for black.
std::string Published(const std::string& written, int side) {
  static const std::string kRedDigits[10] = {"",    kOne,       kTwo,       kThree,     kFour,
                                             kFive, "\xC1\xF9", "\xC6\xDF", "\xB0\xCB", "\xBE\xC5"};
  std::string out = written.substr(0, 4);  // the name and its qualifier
  const char sign = written[4];
  out += sign == '.' ? kSideways : sign == '+' ? kForward : "\xCD\xCB";
  const int digit = written[5] - '0';
  out += side == 0 ? kRedDigits[digit] : "\xA3" + std::string(1, static_cast<char>(0xB0 + digit));
  return out;
}

struct NameCase {
  const char* fen;
  const char* move;
  std::string written;  // the program's WXF text, without the blank
};

constexpr const char* kThreeRed = "3k5/6P2/6P2/6P2/9/9/9/9/9/4K4 w";
constexpr const char* kFourRed = "3k5/6P2/6P2/6P2/6P2/9/9/9/9/4K4 w";
constexpr const char* kFiveRed = "3k2P2/6P2/6P2/6P2/6P2/9/9/9/9/4K4 w";
constexpr const char* kTwoFilesRed = "3k5/2P3P2/2P3P2/6P2/9/9/9/9/9/4K4 w";
constexpr const char* kThreeBlack = "4k4/9/9/9/9/9/2p6/2p6/2p6/3K5 b";
constexpr const char* kFourBlack = "4k4/9/9/9/9/2p6/2p6/2p6/2p6/3K5 b";
constexpr const char* kFiveBlack = "4k4/9/9/9/2p6/2p6/2p6/2p6/2p6/3K5 b";
constexpr const char* kTwoFilesBlack = "4k4/9/9/9/9/2p3p2/2p3p2/9/9/3K5 b";

const NameCase kCases[] = {
    // Three red pawns on red's file 3: front, middle, rear.
    {kThreeRed, "g8f8", kFront + kRedPawn + ".4"},
    {kThreeRed, "g8g9", kFront + kRedPawn + "+1"},
    {kThreeRed, "g7f7", kMiddle + kRedPawn + ".4"},
    {kThreeRed, "g6h6", kRear + kRedPawn + ".2"},
    // Four and five on a file, numbered from the front.
    {kFourRed, "g8f8", kOne + kRedPawn + ".4"},
    {kFourRed, "g7f7", kTwo + kRedPawn + ".4"},
    {kFourRed, "g6h6", kThree + kRedPawn + ".2"},
    {kFourRed, "g5f5", kFour + kRedPawn + ".4"},
    {kFiveRed, "g9f9", kOne + kRedPawn + ".4"},
    {kFiveRed, "g7f7", kThree + kRedPawn + ".4"},
    {kFiveRed, "g5h5", kFive + kRedPawn + ".2"},
    // Two files: red's file 3 first (its three pawns 1 to 3), then file 7.
    {kTwoFilesRed, "g7f7", kTwo + kRedPawn + ".4"},
    {kTwoFilesRed, "c8d8", kFour + kRedPawn + ".6"},
    {kTwoFilesRed, "c7d7", kFive + kRedPawn + ".6"},
    // Black: the front is towards red, the numbers are full-width.
    {kThreeBlack, "c1d1", kFront + kBlackPawn + ".4"},
    {kThreeBlack, "c2b2", kMiddle + kBlackPawn + ".2"},
    {kThreeBlack, "c3d3", kRear + kBlackPawn + ".4"},
    {kFourBlack, "c1c0", kWide1 + kBlackPawn + "+1"},
    {kFourBlack, "c2b2", kWide2 + kBlackPawn + ".2"},
    {kFourBlack, "c4d4", kWide4 + kBlackPawn + ".4"},
    {kFiveBlack, "c3d3", kWide3 + kBlackPawn + ".4"},
    {kFiveBlack, "c4b4", kWide4 + kBlackPawn + ".2"},
    // Black's file 3 (c) first, its front pawn on the lower rank.
    {kTwoFilesBlack, "c3d3", kWide1 + kBlackPawn + ".4"},
    {kTwoFilesBlack, "g4f4", kWide4 + kBlackPawn + ".6"},
};

TEST(ChinesePawnNamesTest, EveryNameIsReadWrittenAndReadBack) {
  for (const NameCase& c : kCases) {
    const int side = static_cast<int>(SetUpFen(c.fen));
    const Move move = MoveFromText(c.move);
    const std::string where = std::string(c.fen) + " " + c.move;
    EXPECT_EQ(Parse(Published(c.written, side), side), move) << where;
    std::string axf = " " + c.written;
    if (axf[5] == '.') axf[5] = '=';
    EXPECT_EQ(ChineseText(move, '.'), " " + c.written) << where;
    EXPECT_EQ(ChineseText(move, '='), axf) << where;
    EXPECT_EQ(Parse(" " + c.written, side), move) << where;
    EXPECT_EQ(Parse(axf, side), move) << where;
  }
}

TEST(ChinesePawnNamesTest, OtherSpellingsAndRefusals) {
  // Black's numbers also as Chinese numerals or ASCII digits.
  SetUpFen(kFourBlack);
  EXPECT_EQ(Parse(kTwo + kBlackPawn + kSideways + kWide2, 1), MoveFromText("c2b2"));
  EXPECT_EQ(Parse("2" + kBlackPawn + kSideways + "2", 1), MoveFromText("c2b2"));
  // More numbers than tandem pawns, and a middle one without three on a file.
  EXPECT_EQ(Parse(kFive + kBlackPawn + kSideways + kWide2, 1), 0u);
  EXPECT_EQ(Parse(kMiddle + kBlackPawn + kSideways + kWide2, 1), 0u);
  // Two on a file keep their marks; a lone pawn its file digit.
  SetUpFen("3k5/9/6P2/6P2/2P6/9/9/9/9/4K4 w");
  EXPECT_EQ(ChineseText(MoveFromText("g7f7"), '.'), " " + kRedPawn + "+.4");
  EXPECT_EQ(ChineseText(MoveFromText("c5c6"), '.'), " " + kRedPawn + "7+1");
  EXPECT_EQ(Parse(kOne + kRedPawn + kSideways + kFour, 0), MoveFromText("g7f7"));
  EXPECT_EQ(Parse(kThree + kRedPawn + kSideways + kFour, 0), 0u);
  // Four on a file and a lone pawn elsewhere: the lone one is not numbered.
  SetUpFen("3k5/6P2/6P2/6P2/6P2/9/2P6/9/9/4K4 w");
  EXPECT_EQ(ChineseText(MoveFromText("g5f5"), '.'), " " + kFour + kRedPawn + ".4");
  EXPECT_EQ(Parse(kFive + kRedPawn + kSideways + kFour, 0), 0u);
}

// The game files that write Chinese moves read the names too, also where a
// digit in front of the name could pass for a move number.
class ChinesePawnFilesTest : public testing_support::ScratchFolderTest {
 protected:
  ChinesePawnFilesTest() : ScratchFolderTest("chinese_pawn_files") {}
  void SetUp() override {
    testing_support::InitEngine();
    ScratchFolderTest::SetUp();
  }
};

TEST_F(ChinesePawnFilesTest, KeywordAndPgnReadersReadTheNames) {
  const std::string kRedKing = "\xCB\xA7", kBlackKing = "\xBD\xAB";
  // Red: the middle of three, then the front of the two left.
  const std::string redMoves = kMiddle + kRedPawn + kSideways + kFour + " " + kBlackKing + kWide4 +
                               kForward + kWide1 + " 2. " + kFront + kRedPawn + kSideways + kFour;
  const std::string redFen = kThreeRed;
  const std::vector<std::string> red = {"g7f7", "d9d8", "g8f8"};
  // Black: the second of four, the king, the middle of the three left.
  const std::string blackFen = "5k3/9/9/9/9/2p6/2p6/2p6/2p6/3K5 b";
  const std::vector<std::string> black = {"c2b2", "d0e0", "c3d3"};
  const std::string kingMove = " 2. " + kRedKing + "\xC1\xF9" + kSideways + kFive + " ";
  const std::string middleFour = kMiddle + kBlackPawn + kSideways + kWide4;
  struct FileCase {
    std::string name, bytes;
    const std::vector<std::string>* moves;
  };
  const FileCase files[] = {
      {"red.wxf", "FEN  \t\t" + redFen + "\nSTART{\n 1. " + redMoves + "\n}END\n", &red},
      {"red.ccf", "FEN  \t\t" + redFen + "\nSTART{\n 1. " + redMoves + "\n}END\n", &red},
      {"red.pgn", "[FEN \"" + redFen + "\"]\n\n1. " + redMoves + " *\n", &red},
      {"black.wxf",
       "FEN  \t\t" + blackFen + "\nSTART{\n 1. ... 2" + kBlackPawn + kSideways + "2" + kingMove +
           middleFour + "\n}END\n",
       &black},
      {"black.axf",
       "FEN  \t\t" + blackFen + "\nSTART{\n 1. ... " + kWide2 + kBlackPawn + kSideways + kWide2 +
           kingMove + middleFour + "\n}END\n",
       &black},
      {"black.pgn",
       "[FEN \"" + blackFen + "\"]\n\n1. ... " + kWide2 + kBlackPawn + kSideways + kWide2 +
           kingMove + middleFour + " *\n",
       &black},
  };
  for (const FileCase& f : files) {
    EXPECT_EQ(LoadGameFile(Write(f.name, f.bytes).c_str(), &currentGameHeader, 0), 0) << f.name;
    std::vector<std::string> read;
    for (int ply = 1; ply <= gameLength; ++ply)
      read.push_back(testing_support::MoveText(history[ply].move));
    EXPECT_EQ(read, *f.moves) << f.name;
  }
}

}  // namespace
