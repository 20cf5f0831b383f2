// The game header, its bounded texts and the game file name.
#include "game/header.h"

#include <gtest/gtest.h>

#include <cstring>
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
