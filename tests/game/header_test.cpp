// The game header, its bounded texts and the game file name.
#include "game/header.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <string>

#include "engine/search/new_game.h"
#include "tests/support/test_position.h"

namespace {

bool IsAllZero(const GameHeader& h) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(&h);
  for (size_t i = 0; i < sizeof h; ++i)
    if (bytes[i] != 0) return false;
  return true;
}

// Runs first: nothing has touched the header yet.
TEST(GameHeaderTest, StartsAsTheEmptyHeader) {
  EXPECT_TRUE(IsAllZero(emptyGameHeader));
  EXPECT_TRUE(IsAllZero(currentGameHeader));
  EXPECT_EQ(gameFileName[0], '\0');
}

TEST(GameHeaderTest, TextsAreCutTo127BytesAndTerminated) {
  GameHeader h = emptyGameHeader;
  std::memset(h.site, 'z', sizeof h.site);  // garbage that must not survive

  SetHeaderText(h.event, "World Championship");
  EXPECT_STREQ(h.event, "World Championship");

  const std::string exact(127, 'a');
  SetHeaderText(h.site, exact.c_str());
  EXPECT_EQ(std::string(h.site), exact);
  EXPECT_EQ(h.site[127], '\0');

  const std::string longer(300, 'b');
  SetHeaderText(h.redName, longer.c_str());
  EXPECT_EQ(std::string(h.redName), std::string(127, 'b'));
  // The neighbouring field is untouched.
  EXPECT_EQ(h.redElo[0], '\0');

  // GBK bytes are copied as they are.
  SetHeaderText(h.blackName, "\xBA\xFA\xC8\xD9\xBB\xAA");
  EXPECT_STREQ(h.blackName, "\xBA\xFA\xC8\xD9\xBB\xAA");

  SetHeaderText(h.event, nullptr);
  EXPECT_STREQ(h.event, "");
}

std::string Repeat(const std::string& text, int times) {
  std::string out;
  for (int i = 0; i < times; ++i) out += text;
  return out;
}

// A text cut to 127 bytes never ends with the lead byte of a GBK or Big5
// character: the character is dropped whole.
TEST(GameHeaderTest, CutsNeverSplitADoubleByteCharacter) {
  const std::string gbk = "\xB3\xB5";   // one GBK character
  const std::string big5 = "\xA4\x40";  // one Big5 character, trail byte below 0x80
  const std::string a126(126, 'a');
  const struct {
    std::string text;
    std::string kept;
  } cases[] = {
      {a126 + gbk, a126},
      {std::string(125, 'a') + gbk + "b", std::string(125, 'a') + gbk},
      {a126 + big5 + "xyz", a126},
      // The lead byte range edges, 0x81 and 0xFE, pairing from the start.
      {Repeat("\x81\x81", 64), Repeat("\x81\x81", 63)},
      {"a" + Repeat("\xFE\xFE", 70), "a" + Repeat("\xFE\xFE", 63)},
      // A byte 0x80 or 0xFF leads nothing.
      {a126 + "\x80" + gbk, a126 + "\x80"},
      {a126 + "\xFF" + gbk, a126 + "\xFF"},
  };
  for (const auto& c : cases) {
    GameHeader h = emptyGameHeader;
    SetHeaderText(h.event, c.text.c_str());
    EXPECT_EQ(std::string(h.event), c.kept) << c.text.size();
  }
  // A text that fits is kept whole, even when it ends with a lone lead byte.
  EXPECT_EQ(FitDoubleByteText("ab\xB3", 3, 127), 3u);
  EXPECT_EQ(FitDoubleByteText("ab\xB3\xB5", 4, 3), 2u);
  EXPECT_EQ(FitDoubleByteText("\xB3\xB5", 2, 0), 0u);
}

// Each field names its own text: a reader that stores a text by its field
// fills that member and no other.
TEST(GameHeaderTest, FieldsNameTheirOwnTexts) {
  const struct {
    HeaderField field;
    char (GameHeader::*text)[kHeaderTextSize];
    const char* name;
  } fields[] = {
      {kHeaderEvent, &GameHeader::event, "event"},
      {kHeaderSite, &GameHeader::site, "site"},
      {kHeaderDate, &GameHeader::date, "date"},
      {kHeaderRound, &GameHeader::round, "round"},
      {kHeaderRedName, &GameHeader::redName, "red player's name"},
      {kHeaderRedElo, &GameHeader::redElo, "red rating"},
      {kHeaderBlackName, &GameHeader::blackName, "black player's name"},
      {kHeaderBlackElo, &GameHeader::blackElo, "black rating"},
      {kHeaderAuthor, &GameHeader::author, "author"},
      {kHeaderTimeControl, &GameHeader::timeControl, "time control"},
  };
  static_assert(std::size(fields) == kHeaderFieldCount);
  for (const auto& f : fields) {
    GameHeader h = emptyGameHeader;
    SetHeaderText(HeaderFieldText(h, f.field), f.name);
    EXPECT_STREQ(h.*f.text, f.name);
    EXPECT_STREQ(HeaderFieldName(f.field), f.name);
    std::memset(h.*f.text, 0, kHeaderTextSize);
    EXPECT_TRUE(IsAllZero(h)) << f.name;
  }
}

TEST(GameHeaderTest, ResultTexts) {
  EXPECT_STREQ(GameResultText(kResultUnknown), "*");
  EXPECT_STREQ(GameResultText(kResultRedWins), "1-0");
  EXPECT_STREQ(GameResultText(kResultBlackWins), "0-1");
  EXPECT_STREQ(GameResultText(kResultDraw), "\xBD-\xBD");
  EXPECT_STREQ(GameResultText(4), "*");
  EXPECT_STREQ(GameResultText(-1), "*");
}

TEST(GameHeaderTest, GameFileNameHolds511Bytes) {
  SetGameFileName("/home/user/games/final.vgf");
  EXPECT_STREQ(gameFileName, "/home/user/games/final.vgf");
  const std::string path(700, 'p');
  SetGameFileName(path.c_str());
  EXPECT_EQ(std::string(gameFileName), std::string(511, 'p'));
  ClearGameFileName();
  EXPECT_STREQ(gameFileName, "");
}

TEST(GameHeaderTest, NewGameClearsHeaderAndFileName) {
  testing_support::InitEngine();
  currentGameHeader.hasInfo = 1;
  currentGameHeader.result = kResultDraw;
  currentGameHeader.databaseValue = 77;
  SetHeaderText(currentGameHeader.author, "someone");
  SetGameFileName("game.wxf");
  ResetGameState(0);
  EXPECT_TRUE(IsAllZero(currentGameHeader));
  EXPECT_STREQ(gameFileName, "");
}

}  // namespace
