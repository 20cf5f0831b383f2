// Move texts: coordinate kinds, WXF and AXF texts in Latin letters and GBK,
// tandem pieces, the parser, Chinese input and the round trip of every legal
// move of many positions.
#include "game/notation.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "tests/support/board_builder.h"
#include "tests/support/random_play.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::LegalMoves;
using testing_support::MoveFromText;
using testing_support::MoveText;
using testing_support::SetUpFen;

// GBK piece names.
const std::string kRedKing = "\xCB\xA7", kBlackKing = "\xBD\xAB";
const std::string kRedAdviser = "\xCA\xCB", kBlackAdviser = "\xCA\xBF";
const std::string kRedElephant = "\xCF\xE0", kBlackElephant = "\xCF\xF3";
const std::string kGbkKnight = "\xC2\xED", kGbkChariot = "\xB3\xB5", kGbkCannon = "\xC5\xDA";
const std::string kRedPawn = "\xB1\xF8", kBlackPawn = "\xD7\xE4";

struct Texts {
  std::string wxf, wxfChinese, axf, axfChinese;
};

// Makes the move, writes its four texts as the game does, takes it back.
Texts TextsOf(Move move) {
  EXPECT_EQ(testing_support::PlayMove(move), 1) << MoveText(move);
  const auto piece = static_cast<PieceIndex>(board[MoveTo(move)]);
  HistoryRecord r{};
  FormatWxfMove(move, r.wxfText, '.', piece, 0);
  FormatWxfMove(move, r.wxfTextChinese, '.', piece, 1);
  FormatWxfMove(move, r.axfText, '=', piece, 0);
  FormatWxfMove(move, r.axfTextChinese, '=', piece, 1);
  UnmakeMove();
  return {r.wxfText, r.wxfTextChinese, r.axfText, r.axfTextChinese};
}

std::string Wxf(const std::string& move) { return TextsOf(MoveFromText(move)).wxf; }

Move Parse(std::string text, int side) {
  char buffer[32];
  std::strcpy(buffer, text.c_str());
  return ParseWxfMove(buffer, side);
}

std::string Coordinate(Move move, int capture, int kind) {
  notationKind = kind;
  char out[kCoordTextSize];
  const int length = FormatCoordinateMove(move, capture, out, sizeof out);
  EXPECT_EQ(length, static_cast<int>(std::strlen(out)));
  notationKind = kNotationCoordinate0;
  return out;
}

TEST(NotationTest, CoordinateTextsOfEveryKind) {
  SetUpFen(testing_support::kStartFen);
  const Move cannon = MoveFromText("h2e2");  // file 1, rank 7 to file 4
  EXPECT_EQ(Coordinate(cannon, 0, kNotationCoordinate0), " h2-e2");
  EXPECT_EQ(Coordinate(cannon, 0, kNotationCoordinate1), " h3-e3");
  EXPECT_EQ(Coordinate(cannon, 0, kNotationCoordinateCxq), " C2-C5");
  EXPECT_EQ(Coordinate(cannon, 12, kNotationCoordinateCxq), " C2xC5");
  for (int kind : {2, 3, 5, 6, 9})
    EXPECT_EQ(Coordinate(cannon, 1, kind), " h2xe2") << kind;
  const Move corner = MoveFromText("a9i0");
  EXPECT_EQ(Coordinate(corner, 0, kNotationCoordinate1), " a10-i1");
  EXPECT_EQ(Coordinate(corner, 0, kNotationCoordinateCxq), " J9-A1");
  for (int kind = 0; kind <= 6; ++kind) EXPECT_EQ(Coordinate(0, 0, kind), "?\?-?\?") << kind;
}

// The longest coordinate text of every notation kind fits a buffer of
// kCoordTextSize, allocated to the byte so that a write past it is caught by
// the address sanitizer; a smaller buffer gets a cut text. (The stored WXF
// and AXF texts of kinds 2, 3, 5 and 6 are checked with the tandem pieces.)
TEST(NotationTest, LongestTextOfEveryKindFitsItsBuffer) {
  // Moves along black's back rank (ranks 10 in Coordinate 1), one of them a
  // capture.
  SetUpFen("r1R1k4/9/9/9/9/9/9/9/9/3K5 b");
  const Move along = MoveFromText("a9b9");
  const Move capture = MoveFromText("a9c9");
  const struct {
    int kind;
    Move move;
    int isCapture;
    const char* coordinate;
  } cases[] = {
      {kNotationCoordinate0, capture, 1, " a9xc9"},
      {kNotationCoordinate1, along, 0, " a10-b10"},
      {kNotationCoordinate1, capture, 1, " a10xc10"},
      {kNotationWxf, capture, 1, " a9xc9"},
      {kNotationAxf, capture, 1, " a9xc9"},
      {kNotationCoordinateCxq, capture, 1, " J9xJ7"},
      {kNotationAxfChinese, capture, 1, " a9xc9"},
      {kNotationWxfChinese, capture, 1, " a9xc9"},
  };
  for (const auto& c : cases) {
    notationKind = c.kind;
    std::vector<char> out(kCoordTextSize, '#');
    EXPECT_EQ(FormatCoordinateMove(c.move, c.isCapture, out.data(), out.size()),
              static_cast<int>(std::strlen(c.coordinate)))
        << c.kind;
    EXPECT_STREQ(out.data(), c.coordinate) << c.kind;
    // Every shorter buffer holds the start of the text and its NUL.
    for (size_t size = 1; size < std::strlen(c.coordinate) + 1; ++size) {
      std::vector<char> small(size, '#');
      EXPECT_EQ(FormatCoordinateMove(c.move, c.isCapture, small.data(), size),
                static_cast<int>(size - 1));
      EXPECT_EQ(std::string(small.data()), std::string(c.coordinate, size - 1));
    }
  }
  notationKind = kNotationCoordinate0;
  char none[1] = {'#'};
  EXPECT_EQ(FormatCoordinateMove(along, 0, none, 0), 0) << "no room: nothing written";
  EXPECT_EQ(none[0], '#');
}

// A move and its four texts.
struct TextCase {
  const char* move;
  Texts texts;
};

template <size_t N>
void ExpectTexts(const TextCase (&cases)[N]) {
  for (const TextCase& c : cases) {
    const Texts t = TextsOf(MoveFromText(c.move));
    EXPECT_EQ(t.wxf, c.texts.wxf) << c.move;
    EXPECT_EQ(t.wxfChinese, c.texts.wxfChinese) << c.move;
    EXPECT_EQ(t.axf, c.texts.axf) << c.move;
    EXPECT_EQ(t.axfChinese, c.texts.axfChinese) << c.move;
  }
}

TEST(NotationTest, EveryPieceKindOfBothSides) {
  SetUpFen(testing_support::kStartFen);
  const TextCase red[] = {
      {"h2e2", {" C2.5", " " + kGbkCannon + "2.5", " C2=5", " " + kGbkCannon + "2=5"}},
      {"h0g2", {" H2+3", " " + kGbkKnight + "2+3", " H2+3", " " + kGbkKnight + "2+3"}},
      {"i0i1", {" R1+1", " " + kGbkChariot + "1+1", " R1+1", " " + kGbkChariot + "1+1"}},
      {"g0e2", {" E3+5", " " + kRedElephant + "3+5", " E3+5", " " + kRedElephant + "3+5"}},
      {"f0e1", {" A4+5", " " + kRedAdviser + "4+5", " A4+5", " " + kRedAdviser + "4+5"}},
      {"e0e1", {" K5+1", " " + kRedKing + "5+1", " K5+1", " " + kRedKing + "5+1"}},
      {"g3g4", {" P3+1", " " + kRedPawn + "3+1", " P3+1", " " + kRedPawn + "3+1"}},
      {"b2b9", {" C8+7", " " + kGbkCannon + "8+7", " C8+7", " " + kGbkCannon + "8+7"}},
  };
  ExpectTexts(red);
  SetUpFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b");
  const TextCase black[] = {
      {"h7e7", {" c8.5", " " + kGbkCannon + "8.5", " c8=5", " " + kGbkCannon + "8=5"}},
      {"h9g7", {" h8+7", " " + kGbkKnight + "8+7", " h8+7", " " + kGbkKnight + "8+7"}},
      {"a9a8", {" r1+1", " " + kGbkChariot + "1+1", " r1+1", " " + kGbkChariot + "1+1"}},
      {"c9e7", {" e3+5", " " + kBlackElephant + "3+5", " e3+5", " " + kBlackElephant + "3+5"}},
      {"d9e8", {" a4+5", " " + kBlackAdviser + "4+5", " a4+5", " " + kBlackAdviser + "4+5"}},
      {"e9e8", {" k5+1", " " + kBlackKing + "5+1", " k5+1", " " + kBlackKing + "5+1"}},
      {"c6c5", {" p3+1", " " + kBlackPawn + "3+1", " p3+1", " " + kBlackPawn + "3+1"}},
  };
  ExpectTexts(black);
}

TEST(NotationTest, StraightMovesCountRanks) {
  // Red chariot on file 0 (red's file 1), black chariot on file 8 (black's 1).
  SetUpFen("r2k5/9/9/9/9/9/9/9/9/4K3R w");
  EXPECT_EQ(Wxf("i0i3"), " R1+3");
  SetUpFen("r2k5/9/9/9/9/9/8R/9/9/4K4 w");
  EXPECT_EQ(Wxf("i3i0"), " R1-3");
  SetUpFen("r2k5/9/9/9/9/9/9/9/9/4K3R b");
  EXPECT_EQ(Wxf("a9a6"), " r1+3");
  EXPECT_EQ(Wxf("a9b9"), " r1.2");
  EXPECT_EQ(TextsOf(MoveFromText("a9b9")).axf, " r1=2");
}

TEST(NotationTest, TandemChariotsAndCannons) {
  // Both red chariots on file 4; the one on the lower rank is in front.
  SetUpFen("3k5/9/9/9/4R4/9/9/4R4/9/5K3 w");
  Texts front = TextsOf(MoveFromText("e5c5"));
  EXPECT_EQ(front.wxf, " R+.7");
  EXPECT_EQ(front.axf, " R+=7");
  EXPECT_EQ(front.wxfChinese, " " + kGbkChariot + "+.7");
  EXPECT_EQ(front.axfChinese, " " + kGbkChariot + "+=7");
  EXPECT_EQ(Wxf("e2c2"), " R-.7");
  EXPECT_EQ(Wxf("e5e9"), " R++4");
  EXPECT_EQ(Wxf("e2e0"), " R--2");
  // A black pair: black's front is the higher rank.
  SetUpFen("3k5/9/2c6/9/9/2c6/9/9/9/5K3 b");
  EXPECT_EQ(Wxf("c4c6"), " c+-2");
  EXPECT_EQ(Wxf("c7d7"), " c-.4");
}

TEST(NotationTest, TandemMarksAreJudgedBeforeTheMove) {
  // The rear red cannon jumps over its partner to capture: after the move it
  // stands in front, but it moved as the rear cannon.
  SetUpFen("3k5/9/4r4/9/9/9/4C4/4C4/9/5K3 w");
  const Move jump = MoveFromText("e2e7");
  EXPECT_EQ(Wxf("e2e7"), " C-+5");
  EXPECT_EQ(Parse(" C-+5", 0), jump);
  // A chariot leaving its partner's file sideways keeps its mark.
  SetUpFen("3k5/9/9/9/9/R8/9/R8/9/5K3 w");
  EXPECT_EQ(Wxf("a2b2"), " R-.8");
  EXPECT_EQ(Wxf("a4b4"), " R+.8");
  EXPECT_EQ(Parse(" R-.8", 0), MoveFromText("a2b2"));
}

TEST(NotationTest, TandemKnights) {
  SetUpFen("3k5/9/9/9/9/9/6N2/9/6N2/5K3 w");
  EXPECT_EQ(Wxf("g3h5"), " H++2");
  EXPECT_EQ(TextsOf(MoveFromText("g3f5")).wxfChinese, " " + kGbkKnight + "++4");
  EXPECT_EQ(Wxf("g1i2"), " H-+1");
  EXPECT_EQ(Wxf("g1e0"), " H--5");
  EXPECT_EQ(Parse(" H-+4", 0), MoveFromText("g1f3"));
}

TEST(NotationTest, AdvisersAndElephantsKeepTheirFileDigit) {
  SetUpFen("3k5/9/9/9/9/2B6/9/5A3/9/2B1KA3 w");
  EXPECT_EQ(Wxf("f0e1"), " A4+5");
  EXPECT_EQ(Wxf("f2e1"), " A4-5");
  EXPECT_EQ(Wxf("c0e2"), " E7+5");
  EXPECT_EQ(Wxf("c4a2"), " E7-9");
}

TEST(NotationTest, TandemPawns) {
  // Two red pawns on file 2 (red's 3), beyond the river.
  SetUpFen("3k5/9/6P2/6P2/9/9/9/9/9/4K4 w");
  EXPECT_EQ(Wxf("g7f7"), " P+.4");
  EXPECT_EQ(Wxf("g7g8"), " P++1");
  EXPECT_EQ(TextsOf(MoveFromText("g6f6")).wxfChinese, " " + kRedPawn + "-.4");
  // Three on a file: the middle one is written with its file digit.
  SetUpFen("3k5/6P2/6P2/6P2/9/9/9/9/9/4K4 w");
  EXPECT_EQ(Wxf("g8f8"), " P+.4");
  EXPECT_EQ(Wxf("g7f7"), " P3.4");
  EXPECT_EQ(Wxf("g6f6"), " P-.4");
  // Four and five.
  SetUpFen("3k5/6P2/6P2/6P2/6P2/9/9/9/9/4K4 w");
  EXPECT_EQ(Wxf("g8f8"), " ++.4");
  EXPECT_EQ(Wxf("g7f7"), " P+.4");
  EXPECT_EQ(Wxf("g6f6"), " P-.4");
  EXPECT_EQ(Wxf("g5f5"), " --.4");
  // The Chinese text numbers them: "四兵" for the fourth from the front.
  EXPECT_EQ(TextsOf(MoveFromText("g5f5")).axfChinese, " \xCB\xC4" + kRedPawn + "=4");
  SetUpFen("3k2P2/6P2/6P2/6P2/6P2/9/9/9/9/4K4 w");
  EXPECT_EQ(Wxf("g9f9"), " ++.4");
  EXPECT_EQ(Wxf("g8f8"), " P+.4");
  EXPECT_EQ(Wxf("g7f7"), " P3.4");
  EXPECT_EQ(Wxf("g6f6"), " P-.4");
  EXPECT_EQ(Wxf("g5f5"), " --.4");
  // Pawns doubled on two files: the file digit takes the letter's place.
  SetUpFen("3k5/2P3P2/2P3P2/6P2/9/9/9/9/9/4K4 w");
  EXPECT_EQ(Wxf("g8f8"), " 3+.4");
  EXPECT_EQ(Wxf("g7f7"), " 33.4");
  EXPECT_EQ(Wxf("g6f6"), " 3-.4");
  EXPECT_EQ(Wxf("c8d8"), " 7+.6");
  EXPECT_EQ(Wxf("c7d7"), " 7-.6");
  // Black pawns: black's front is the higher rank.
  SetUpFen("4k4/9/9/9/9/2p6/2p6/9/9/3K5 b");
  EXPECT_EQ(Wxf("c3c2"), " p++1");
  EXPECT_EQ(Wxf("c4b4"), " p-.2");
}

TEST(NotationTest, ParserEdgeCases) {
  SetUpFen(testing_support::kStartFen);
  EXPECT_EQ(Parse("C2x5", 0), kWxfNoDirection);
  EXPECT_EQ(Parse("C", 0), kWxfNoDirection);
  EXPECT_EQ(Parse("X2+5", 0), 0u);
  EXPECT_EQ(Parse("z2+5", 0), 0u);
  char text[] = "a4+5";
  EXPECT_EQ(ParseWxfMove(text, 0), MoveFromText("f0e1"));
  EXPECT_STREQ(text, "A4+5");
  char lower[] = "  c2.5";
  EXPECT_EQ(ParseWxfMove(lower, 0), MoveFromText("h2e2"));
  EXPECT_STREQ(lower, "  C2.5");
  EXPECT_EQ(Parse("C2=5", 0), MoveFromText("h2e2"));
  // Every fixed adviser and elephant text gives its move, board or not.
  EXPECT_EQ(Parse("E7-9", 0), MoveFromText("c4a2"));
  EXPECT_EQ(Parse("e3-1", 1), MoveFromText("c5a7"));
  EXPECT_EQ(Parse("A6-5", 1), MoveFromText("f7e8"));
  // Black's elephant texts towards its file 9 name the elephant on file 7.
  EXPECT_EQ(Parse("e7+9", 1), MoveFromText("g9i7"));
  EXPECT_EQ(Parse("e7-9", 1), MoveFromText("g5i7"));
  // No piece on the named file; a target no piece can reach.
  EXPECT_EQ(Parse("R5+1", 0), 0u);
  EXPECT_EQ(MoveTo(Parse("H2.3", 0)), 0u);
  EXPECT_EQ(MoveTo(Parse("H2+6", 0)), 0u);
  EXPECT_EQ(MoveTo(Parse("R1+x", 0)), 0u);
  // Black reads its own numbering and case.
  EXPECT_EQ(Parse("H2+3", 1), MoveFromText("b9c7"));
  EXPECT_EQ(Parse("P7+1", 1), MoveFromText("g6g5"));
}

TEST(NotationTest, ParserReadsTandemMarksInFront) {
  SetUpFen("3k5/9/9/9/4R4/9/9/4R4/9/5K3 w");
  char text[] = "+R.7";
  EXPECT_EQ(ParseWxfMove(text, 0), MoveFromText("e5c5"));
  EXPECT_STREQ(text, "R+.7");
  EXPECT_EQ(Parse("-R.7", 0), MoveFromText("e2c2"));
  EXPECT_EQ(Parse("R--2", 0), MoveFromText("e2e0"));
  SetUpFen("3k5/6P2/6P2/6P2/6P2/9/9/9/9/4K4 w");
  EXPECT_EQ(Parse("-P.4", 0), MoveFromText("g6f6"));
  EXPECT_EQ(Parse("--.4", 0), MoveFromText("g5f5"));
  EXPECT_EQ(Parse("+-.4", 0), 0u);
  SetUpFen("3k5/2P3P2/2P3P2/6P2/9/9/9/9/9/4K4 w");
  EXPECT_EQ(Parse("+3.4", 0), MoveFromText("g8f8"));
  EXPECT_EQ(Parse("37.4", 0), 0u);
}

TEST(NotationTest, ChineseTextsAreRead) {
  SetUpFen(testing_support::kStartFen);
  // "炮二平五", "马八进七", "车一进一" in full Chinese.
  EXPECT_EQ(Parse("\xC5\xDA\xB6\xFE\xC6\xBD\xCE\xE5", 0), MoveFromText("h2e2"));
  EXPECT_EQ(Parse("\xC2\xED\xB0\xCB\xBD\xF8\xC6\xDF", 0), MoveFromText("b0c2"));
  EXPECT_EQ(Parse(" \xB3\xB5" "1+1", 0), MoveFromText("i0i1"));
  // Full-width digits.
  EXPECT_EQ(Parse("\xB1\xF8\xA3\xB3\xBD\xF8\xA3\xB1", 0), MoveFromText("g3g4"));
  // "前车平七" for the front chariot of a pair, "后车退二" for the rear one.
  SetUpFen("3k5/9/9/9/4R4/9/9/4R4/9/5K3 w");
  EXPECT_EQ(Parse("\xC7\xB0\xB3\xB5\xC6\xBD\xC6\xDF", 0), MoveFromText("e5c5"));
  EXPECT_EQ(Parse("\xBA\xF3\xB3\xB5\xCD\xCB\xB6\xFE", 0), MoveFromText("e2e0"));
  // Black's names: "卒三进一" and "将5平4".
  SetUpFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b");
  EXPECT_EQ(Parse("\xD7\xE4\xC8\xFD\xBD\xF8\xD2\xBB", 1), MoveFromText("c6c5"));
  SetUpFen("3k5/9/9/9/9/9/9/9/9/4K4 b");
  EXPECT_EQ(Parse("\xBD\xAB" "4.5", 1), MoveFromText("d9e9"));
}

TEST(NotationTest, NormalizeMoveText) {
  char out[64];
  NormalizeMoveText("1. \xC5\xDA\xB6\xFE\xC6\xBD\xCE\xE5\r\n", out);
  EXPECT_STREQ(out, "1. C2.5\r\n");
  // Tabs stay; an unknown character becomes "?"; a lone lead byte at the
  // end is dropped.
  NormalizeMoveText("R1+1\t\xC3\xC0x\xC5", out);
  EXPECT_STREQ(out, "R1+1\t?x");
  char text[] = "\xC7\xB0\xB3\xB5\xC6\xBD\xC6\xDF tail";
  NormalizeMoveText(text, text);  // in place
  EXPECT_STREQ(text, "+R.7 tail");
  char one[4];
  EXPECT_EQ(TranslateChineseMoveChar(0xA3B0, one), 1);
  EXPECT_STREQ(one, "0");
  TranslateChineseMoveChar(0x2020, one);
  EXPECT_STREQ(one, " ");
  TranslateChineseMoveChar(0xCDCB, one);
  EXPECT_STREQ(one, "-");
  TranslateChineseMoveChar(0x1234, one);
  EXPECT_STREQ(one, "?");
}

TEST(NotationTest, HelperLookups) {
  EXPECT_EQ(DigitValue('0'), 0);
  EXPECT_EQ(DigitValue('9'), 9);
  EXPECT_EQ(DigitValue('a'), -1);
  EXPECT_EQ(DigitValue('+'), -1);
  SetUpFen(testing_support::kStartFen);
  // Red chariots stand on files 0 and 8 of rank 9; the scan meets file 8.
  EXPECT_EQ(FindPieceFile(kChariot, 0), 9);
  EXPECT_EQ(FindPieceFile(kChariot + 7, 1), 1);
  EXPECT_EQ(FindPieceFile(kPawn, 0), -1);  // no file with two pawns
  EXPECT_EQ(FindPieceOnFile(kCannon, 7, 0, kTandemNone), static_cast<int>(MakeSquare(1, 7)));
  EXPECT_EQ(FindPieceOnFile(kCannon, 6, 0, kTandemNone), -1);
  EXPECT_EQ(FindPieceOnFile(kCannon, 7, 0, kTandemFront), -1);
  EXPECT_EQ(FindPieceOnFile(kCannon, 12, 0, kTandemNone), -1);
  EXPECT_STREQ(ChinesePieceName(0), "?");
  EXPECT_STREQ(ChinesePieceName(33), "?");
  EXPECT_EQ(pieceLetters[9], 'R');
  EXPECT_EQ(pieceLetters[25], 'r');
}

TEST(NotationTest, PlayerNames) {
  const char* unknown = "Somebody";
  EXPECT_EQ(TranslatePlayerName(unknown), unknown);
  EXPECT_STREQ(TranslatePlayerName("\xBA\xFA\xC8\xD9\xBB\xAA"), "Hu Ronghua");
  const char* partial = "\xBA\xFA\xC8\xD9";  // a prefix is not the name
  EXPECT_EQ(TranslatePlayerName(partial), partial);
}

// ---------------------------------------------------------------------------
// Round trip: every legal move's four texts read back as that move.
// ---------------------------------------------------------------------------

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
  return text;
}

// Writes every legal move of the position and reads each text back, the
// Chinese ones both as they are and through NormalizeMoveText. Returns the
// number of moves checked.
int CheckRoundTrip() {
  const int side = static_cast<int>(sideToMove);
  const std::vector<Move> moves = LegalMoves();
  for (Move move : moves) {
    const Texts t = TextsOf(move);
    for (const std::string* text : {&t.wxf, &t.axf, &t.wxfChinese, &t.axfChinese}) {
      EXPECT_EQ(Parse(*text, side), move)
          << testing_support::CurrentFen() << " " << MoveText(move) << " '" << *text << "'";
    }
    // The Chinese names read as the upper-case letters; the Chinese names of
    // tandem pawns ("中兵", "一兵") take the place of the letter and its mark.
    char normalized[32];
    for (const auto& [chinese, latin] :
         {std::pair{&t.wxfChinese, &t.wxf}, {&t.axfChinese, &t.axf}}) {
      NormalizeMoveText(chinese->c_str(), normalized);
      const bool pawnName = normalized[2] == 'P' && normalized[1] != 'P';
      const size_t from = pawnName ? 3 : 0;
      EXPECT_EQ(std::string(normalized).substr(from), Upper(*latin).substr(from)) << *latin;
    }
    EXPECT_LE(t.wxf.size(), 7u);
    EXPECT_LE(t.wxfChinese.size(), 9u);
  }
  return static_cast<int>(moves.size());
}

TEST(NotationRoundTripTest, EveryMoveOfRandomGames) {
  std::mt19937 rng(20240611);
  const char* starts[] = {
      testing_support::kStartFen,
      "2bak4/4a4/n3b1c2/p3p1R1p/2p6/9/P3P3P/2N1C1N2/4A4/2BAK1B2 w",
      "r1bakab1r/9/1cn4c1/p1p1p1p1p/9/9/P1P1P1P1P/1CN4C1/9/R1BAKAB1R b",
  };
  int checked = 0;
  for (int game = 0; game < 24; ++game) {
    SetUpFen(starts[game % 3]);
    for (int ply = 0; ply < 120; ++ply) {
      checked += CheckRoundTrip();
      if (::testing::Test::HasFailure()) return;
      const std::vector<Move> moves = LegalMoves();
      if (moves.empty()) break;
      ASSERT_EQ(testing_support::PlayMove(testing_support::RandomMove(moves, rng)), 1);
    }
  }
  EXPECT_GT(checked, 50000);
}

// Positions with pawns crowded on few files, advisers and elephants on
// shared files and the other pieces anywhere, so that every tandem form
// occurs.
class RandomSetUp {
 public:
  explicit RandomSetUp(uint32_t seed) : rng_(seed) {}

  std::string Next() {
    for (int f = 0; f < 9; ++f)
      for (int r = 0; r < 10; ++r) grid_[f][r] = '1';
    Place('K', PalaceSquares(true));
    Place('k', PalaceSquares(false));
    for (bool red : {true, false}) {
      const char* letters = red ? "AEHRCP" : "aehrcp";
      for (int i = 0; i < 2; ++i) {
        if (Coin()) Place(letters[0], AdviserSquares(red));
        if (Coin()) Place(letters[1], ElephantSquares(red));
        for (int k = 2; k < 5; ++k)
          if (Coin()) Place(letters[k], AllSquares());
      }
      // Pawns on two or three files beyond the river.
      const int files[3] = {static_cast<int>(rng_() % 9), static_cast<int>(rng_() % 9),
                            static_cast<int>(rng_() % 9)};
      const int pawns = static_cast<int>(rng_() % 6);
      for (int i = 0; i < pawns; ++i) {
        const int f = files[rng_() % (Coin() ? 1 : 3)];
        std::vector<Square> squares;
        for (int r = 0; r < 5; ++r) squares.push_back(MakeSquare(f, red ? r : 9 - r));
        Place(letters[5], squares);
      }
    }
    std::vector<testing_support::Placed> pieces;
    for (int f = 0; f < 9; ++f)
      for (int r = 0; r < 10; ++r)
        if (grid_[f][r] != '1') pieces.push_back({grid_[f][r], f, r});
    return testing_support::FenOf(pieces, Coin() ? 'w' : 'b');
  }

 private:
  bool Coin() { return rng_() % 2 == 0; }
  static std::vector<Square> PalaceSquares(bool red) {
    std::vector<Square> v;
    for (int f = 3; f <= 5; ++f)
      for (int r = 0; r < 3; ++r) v.push_back(MakeSquare(f, red ? 9 - r : r));
    return v;
  }
  static std::vector<Square> AdviserSquares(bool red) {
    std::vector<Square> v;
    for (Square s : PalaceSquares(red))
      if ((FileOf(s) + RankOf(s)) % 2 == (red ? 0 : 1)) v.push_back(s);
    return v;
  }
  static std::vector<Square> ElephantSquares(bool red) {
    std::vector<Square> v;
    for (Square s = kFirstSquare; s <= kLastSquare; ++s)
      if ((red ? redElephantSquare : blackElephantSquare)[s] != 0) v.push_back(s);
    return v;
  }
  static std::vector<Square> AllSquares() {
    std::vector<Square> v;
    for (int f = 0; f < 9; ++f)
      for (int r = 0; r < 10; ++r) v.push_back(MakeSquare(f, r));
    return v;
  }
  void Place(char letter, const std::vector<Square>& squares) {
    for (int tries = 0; tries < 8; ++tries) {
      const Square s = squares[rng_() % squares.size()];
      char& cell = grid_[FileOf(s)][RankOf(s)];
      if (cell != '1') continue;
      cell = letter;
      return;
    }
  }

  std::mt19937 rng_;
  char grid_[9][10];
};

TEST(NotationRoundTripTest, EveryMoveOfCrowdedPositions) {
  RandomSetUp setUp(77);
  int positions = 0;
  int checked = 0;
  // Each set-up is a full reset, so the positions are few but crowded.
  for (int i = 0; i < 700 && positions < 300; ++i) {
    const std::string fen = setUp.Next();
    const uint32_t side = SetUpFen(fen);
    // Only positions whose side not to move is safe, kings apart.
    if (FindChecker(side ^ 1) != 0 || KingsFace() != 0) continue;
    ++positions;
    checked += CheckRoundTrip();
    if (::testing::Test::HasFailure()) return;
  }
  EXPECT_GT(positions, 200);
  EXPECT_GT(checked, 5000);
}

}  // namespace
