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
                  kWide4 = "\xA3\xB4", kWide6 = "\xA3\xB6";
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

struct NameCase {
  const char* fen;
  const char* move;
  std::string published;  // as printed records write it
  std::string written;    // the program's WXF text, without the blank
};

const std::string kThreeRed = "3k5/6P2/6P2/6P2/9/9/9/9/9/4K4 w";
const std::string kFourRed = "3k5/6P2/6P2/6P2/6P2/9/9/9/9/4K4 w";
const std::string kFiveRed = "3k2P2/6P2/6P2/6P2/6P2/9/9/9/9/4K4 w";
const std::string kTwoFilesRed = "3k5/2P3P2/2P3P2/6P2/9/9/9/9/9/4K4 w";
const std::string kThreeBlack = "4k4/9/9/9/9/9/2p6/2p6/2p6/3K5 b";
const std::string kFourBlack = "4k4/9/9/9/9/2p6/2p6/2p6/2p6/3K5 b";
const std::string kFiveBlack = "4k4/9/9/9/2p6/2p6/2p6/2p6/2p6/3K5 b";
const std::string kTwoFilesBlack = "4k4/9/9/9/9/2p3p2/2p3p2/9/9/3K5 b";

const NameCase kCases[] = {
    // Three red pawns on red's file 3: front, middle, rear.
    {kThreeRed.c_str(), "g8f8", kFront + kRedPawn + kSideways + kFour, kFront + kRedPawn + ".4"},
    {kThreeRed.c_str(), "g8g9", kFront + kRedPawn + kForward + kOne, kFront + kRedPawn + "+1"},
    {kThreeRed.c_str(), "g7f7", kMiddle + kRedPawn + kSideways + kFour, kMiddle + kRedPawn + ".4"},
    {kThreeRed.c_str(), "g6h6", kRear + kRedPawn + kSideways + kTwo, kRear + kRedPawn + ".2"},
    // Four and five on a file, numbered from the front.
    {kFourRed.c_str(), "g8f8", kOne + kRedPawn + kSideways + kFour, kOne + kRedPawn + ".4"},
    {kFourRed.c_str(), "g7f7", kTwo + kRedPawn + kSideways + kFour, kTwo + kRedPawn + ".4"},
    {kFourRed.c_str(), "g6h6", kThree + kRedPawn + kSideways + kTwo, kThree + kRedPawn + ".2"},
    {kFourRed.c_str(), "g5f5", kFour + kRedPawn + kSideways + kFour, kFour + kRedPawn + ".4"},
    {kFiveRed.c_str(), "g9f9", kOne + kRedPawn + kSideways + kFour, kOne + kRedPawn + ".4"},
    {kFiveRed.c_str(), "g7f7", kThree + kRedPawn + kSideways + kFour, kThree + kRedPawn + ".4"},
    {kFiveRed.c_str(), "g5h5", kFive + kRedPawn + kSideways + kTwo, kFive + kRedPawn + ".2"},
    // Two files: red's file 3 first (its three pawns 1 to 3), then file 7.
    {kTwoFilesRed.c_str(), "g7f7", kTwo + kRedPawn + kSideways + kFour, kTwo + kRedPawn + ".4"},
    {kTwoFilesRed.c_str(), "c8d8", kFour + kRedPawn + kSideways + "\xC1\xF9",
     kFour + kRedPawn + ".6"},
    {kTwoFilesRed.c_str(), "c7d7", kFive + kRedPawn + kSideways + "\xC1\xF9",
     kFive + kRedPawn + ".6"},
    // Black: the front is towards red, the numbers are full-width.
    {kThreeBlack.c_str(), "c1d1", kFront + kBlackPawn + kSideways + kWide4,
     kFront + kBlackPawn + ".4"},
    {kThreeBlack.c_str(), "c2b2", kMiddle + kBlackPawn + kSideways + kWide2,
     kMiddle + kBlackPawn + ".2"},
    {kThreeBlack.c_str(), "c3d3", kRear + kBlackPawn + kSideways + kWide4,
     kRear + kBlackPawn + ".4"},
    {kFourBlack.c_str(), "c1c0", kWide1 + kBlackPawn + kForward + kWide1,
     kWide1 + kBlackPawn + "+1"},
    {kFourBlack.c_str(), "c2b2", kWide2 + kBlackPawn + kSideways + kWide2,
     kWide2 + kBlackPawn + ".2"},
    {kFourBlack.c_str(), "c4d4", kWide4 + kBlackPawn + kSideways + kWide4,
     kWide4 + kBlackPawn + ".4"},
    {kFiveBlack.c_str(), "c3d3", kWide3 + kBlackPawn + kSideways + kWide4,
     kWide3 + kBlackPawn + ".4"},
    {kFiveBlack.c_str(), "c4b4", kWide4 + kBlackPawn + kSideways + kWide2,
     kWide4 + kBlackPawn + ".2"},
    // Black's file 3 (c) first, its front pawn on the lower rank.
    {kTwoFilesBlack.c_str(), "c3d3", kWide1 + kBlackPawn + kSideways + kWide4,
     kWide1 + kBlackPawn + ".4"},
    {kTwoFilesBlack.c_str(), "g4f4", kWide4 + kBlackPawn + kSideways + kWide6,
     kWide4 + kBlackPawn + ".6"},
};

TEST(ChinesePawnNamesTest, EveryNameIsReadWrittenAndReadBack) {
  for (const NameCase& c : kCases) {
    const int side = static_cast<int>(SetUpFen(c.fen));
    const Move move = MoveFromText(c.move);
    EXPECT_EQ(Parse(c.published, side), move) << c.fen << " " << c.move;
    const std::string wxf = ChineseText(move, '.');
    EXPECT_EQ(wxf, " " + c.written) << c.fen << " " << c.move;
    EXPECT_EQ(Parse(wxf, side), move) << c.fen << " " << c.move;
    std::string axf = " " + c.written;
    if (axf.find('.') != std::string::npos) axf[axf.find('.')] = '=';
    EXPECT_EQ(ChineseText(move, '='), axf) << c.fen << " " << c.move;
    EXPECT_EQ(Parse(axf, side), move) << c.fen << " " << c.move;
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
      {"red.wxf", "FEN  \t\t" + kThreeRed + "\nSTART{\n 1. " + redMoves + "\n}END\n", &red},
      {"red.ccf", "FEN  \t\t" + kThreeRed + "\nSTART{\n 1. " + redMoves + "\n}END\n", &red},
      {"red.pgn", "[FEN \"" + kThreeRed + "\"]\n\n1. " + redMoves + " *\n", &red},
      {"black.wxf", "FEN  \t\t" + blackFen + "\nSTART{\n 1. ... 2" + kBlackPawn + kSideways + "2" +
                        kingMove + middleFour + "\n}END\n", &black},
      {"black.axf", "FEN  \t\t" + blackFen + "\nSTART{\n 1. ... " + kWide2 + kBlackPawn + kSideways +
                        kWide2 + kingMove + middleFour + "\n}END\n", &black},
      {"black.pgn", "[FEN \"" + blackFen + "\"]\n\n1. ... " + kWide2 + kBlackPawn + kSideways +
                        kWide2 + kingMove + middleFour + " *\n", &black},
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
