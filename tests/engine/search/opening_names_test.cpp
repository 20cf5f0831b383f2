// Named openings: recognition on the board, directly and mirrored, through
// the game stepping, and the exact bytes of the six-language names.
#include "engine/search/opening_names.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <cstring>
#include <string>

#include "engine/position/position.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::MoveFromText;
using testing_support::SetUpFen;

TEST(FindOpeningNameTest, EveryNamedPositionIsFoundDirectlyAndMirrored) {
  for (int i = 1; i <= kOpeningCount; ++i) {
    SetUpFen(openingFens[i]);
    EXPECT_EQ(FindOpeningName(board), i) << openingFens[i];
    MirrorPositionLeftRight();
    EXPECT_EQ(FindOpeningName(board), i) << "mirrored " << openingFens[i];
  }
}

TEST(FindOpeningNameTest, SideToMoveAndOtherPositionsDoNotMatch) {
  SetUpFen(testing_support::kStartFen);
  EXPECT_EQ(FindOpeningName(board), 0);
  // The central cannon position with red to move again.
  std::string fen = openingFens[1];
  fen.back() = 'w';
  SetUpFen(fen);
  EXPECT_EQ(FindOpeningName(board), 0);
  // The board argument is read, not the engine board.
  SetUpFen(openingFens[4]);
  int8_t other[kBoardSize];
  std::memcpy(other, board, sizeof other);
  SetUpFen(openingFens[1]);
  other[MakeSquare(4, 9)] = 0;  // no red king on the other board
  EXPECT_EQ(FindOpeningName(other), 0);
  EXPECT_EQ(FindOpeningName(board), 1);
}

TEST(FindOpeningNameTest, ReplayKeepsTheLastOpeningMet) {
  SetUpFen(testing_support::kStartFen);
  // h2e2 (central cannon), h9g7, then a move that leaves every named row.
  for (const char* text : {"h2e2", "h9g7", "h0g2"}) {
    ASSERT_EQ(MakeMove(MoveFromText(text), 0), 1) << text;
    ++gamePly;
    gameLength = gamePly;
  }
  TakeBackAll();
  EXPECT_EQ(gamePly, 0);
  currentOpening = 0;
  ASSERT_EQ(ReplayOne(), 1);
  EXPECT_EQ(currentOpening, 1);
  ASSERT_EQ(ReplayOne(), 1);
  ASSERT_EQ(ReplayOne(), 1);
  EXPECT_EQ(currentOpening, 1);
}

// The names as written in UTF-8; the table must hold exactly their bytes in
// Windows-1252 (entries 0..3), GBK (4) and Big5 (5).
const char* const kUtf8Names[kOpeningCount][6] = {
    {"Canon central", "Central cannon", "Cañón central", "Zentrale Kanone", "中炮", "中炮"},
    {"Le guide de l'ange", "Angel's guide", "Guía del ángel", "Führung des Engels", "仙人指路",
     "仙人指路"},
    {"Guide de l'ange, défense par pion", "Angel's guide, pawn defence",
     "Guía del ángel, defensa de peón", "Führung des Engels, Bauernverteidigung", "仙人指路对兵",
     "仙人指路對兵"},
    {"Ouverture de l'éléphant", "Elephant's opening", "Apertura del elefante", "Elefantenöffnung",
     "飞相局", "飛相局"},
    {"Contre-canon", "Counter cannon", "Contracañón", "Gegenkanone", "列炮", "列炮"},
    {"Canons de même sens", "Same direction cannons", "Cañones en el mismo sentido",
     "Gleichlaufende Kanonen", "顺炮", "順炮"},
    {"Canon central, défense des deux chevaux", "Central cannon, double horse defence",
     "Cañón central, defensa de dos caballos", "Zentrale Kanone, Doppelpferdverteidigung",
     "中炮对屏风马", "中炮對屏風馬"},
    {"Canon long", "Long cannon", "Cañón largo", "Lange Kanone", "过宫炮", "過宮炮"},
    {"Guide de l'ange, défense tonnerre", "Angel's guide, thundering defence",
     "Guía del ángel, defensa del trueno", "Führung des Engels, Donnerverteidigung",
     "仙人指路对卒底炮", "仙人指路對卒底炮"},
    {"Ouverture du conseiller", "Adviser's opening", "Apertura del consejero", "Beratereröffnung",
     "上仕局", "上仕局"},
    {"Guide de l'ange, défense du cheval", "Angel's guide, horse defence",
     "Guía del ángel, defensa del caballo", "Führung des Engels, Pferdeverteidigung",
     "仙人指路对起马", "仙人指路對起馬"},
    {"Ouverture du cheval", "Horse opening", "Apertura del caballo", "Pferdeeröffnung", "起马局",
     "起馬局"},
    {"Canon court", "Short cannon", "Cañón corto", "Kurze Kanone", "仕角炮", "仕角炮"},
    {"Cheval latéral", "Side horse", "Caballo lateral", "Randpferd", "边马局", "邊馬局"},
    {"Canon long sous le pion", "Long Pawn cannon", "Cañón largo bajo el peón",
     "Lange Bauernkanone", "远兵底炮", "遠兵底炮"},
    {"Canon court sous le pion", "Short Pawn Cannon", "Cañón corto bajo el peón",
     "Kurze Bauernkanone", "兵底炮", "兵底炮"},
    {"Canon de la rivière", "Border cannon", "Cañón del río", "Grenzkanone", "巡河炮", "巡河炮"},
    {"Pion latéral", "Side pawn", "Peón lateral", "Randbauer", "边兵局", "邊兵局"},
    {"Pion central", "Central pawn", "Peón central", "Zentralbauer", "中兵局", "中兵局"},
    {"Le roi donne deux coups", "King giving 2 moves", "El rey da dos jugadas",
     "König gibt zwei Züge", "让二先", "讓二先"},
    {"Éléphant latéral", "Side elephant", "Elefante lateral", "Randelefant", "边相局", "邊相局"},
};

std::string Convert(const char* utf8, const char* codePage) {
  iconv_t cd = iconv_open(codePage, "UTF-8");
  if (cd == reinterpret_cast<iconv_t>(-1))
    return "<no converter for " + std::string(codePage) + ">";
  std::string in = utf8;
  std::string out(in.size() * 2 + 8, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  size_t inLeft = in.size();
  size_t outLeft = out.size();
  const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  if (result == static_cast<size_t>(-1)) return "<not convertible>";
  out.resize(out.size() - outLeft);
  return out;
}

TEST(OpeningNameTextsTest, StoredBytesAreTheNamesInTheirCodePages) {
  const char* const codePages[6] = {"WINDOWS-1252", "WINDOWS-1252", "WINDOWS-1252",
                                    "WINDOWS-1252", "GBK",          "BIG5"};
  for (int language = 0; language < 6; ++language) EXPECT_STREQ(openingNameTexts[0][language], "");
  for (int row = 1; row <= kOpeningCount; ++row) {
    for (int language = 0; language < 6; ++language) {
      EXPECT_EQ(openingNameTexts[row][language],
                Convert(kUtf8Names[row - 1][language], codePages[language]))
          << "row " << row << " language " << language;
    }
  }
}

TEST(OpeningNameTextsTest, EnglishNamesOfTheNamedRows) {
  EXPECT_STREQ(openingNameTexts[1][1], "Central cannon");
  EXPECT_STREQ(openingNameTexts[7][1], "Central cannon, double horse defence");
  EXPECT_STREQ(openingNameTexts[20][1], "King giving 2 moves");
  EXPECT_STREQ(openingNameTexts[21][1], "Side elephant");
}

}  // namespace
