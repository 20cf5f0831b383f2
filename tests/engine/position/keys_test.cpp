// Position keys: the generator's fixed output (part of the learning-file
// format), the shape of the tables and the from-scratch hashes.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <set>
#include <vector>

#include "engine/position/perft.h"
#include "engine/position/position.h"
#include "engine/search/fixed_search.h"
#include "engine/search/new_game.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::InitEngine;
using testing_support::MoveFromText;
using testing_support::SetUpFen;

class KeysTest : public ::testing::Test {
 protected:
  void SetUp() override { InitEngine(); }
};

// The first draws follow from the seed words by hand: state[54] + state[23],
// state[53] + state[22], ... The deeper entries were computed by a separate
// implementation of the generator and fill order; a change in either moves
// them.
TEST_F(KeysTest, TablesHoldTheFixedGeneratorOutput) {
  EXPECT_EQ(lockTable[1][171], 0x039B11BF4890D6A4ull);  // first two draws
  EXPECT_EQ(keyTable[1][171], 0x37539B8AA7E3A104ull);   // third and fourth
  EXPECT_EQ(lockTable[1][170], 0x8B263019EB71AE0Bull);  // next rank down
  EXPECT_EQ(keyTable[1][170], 0x8709934132EF9CD4ull);
  EXPECT_EQ(lockTable[7][kRedKingHome], 0xC51243D44D071498ull);
  EXPECT_EQ(keyTable[7][kRedKingHome], 0x04CCDE6A53DBB4EAull);
  EXPECT_EQ(lockTable[8][100], 0x22E1DBDB2858A275ull);
  EXPECT_EQ(keyTable[14][kBlackKingHome], 0x78F6FBB5AD74E79Dull);
  EXPECT_EQ(lockTable[14][34], 0x1ED9B74EF31BBF8Dull);  // the last two draws
  EXPECT_EQ(keyTable[14][34], 0x11EF610369609DEEull);
}

// The tables are filled once per process: every later call of
// InitKeyTables, from whichever set-up, keeps the values of the first fill
// (the learning files hold keys made from them).
TEST_F(KeysTest, EverySetUpPathKeepsTheFirstFill) {
  const std::vector<uint64_t> locks(&lockTable[0][0], &lockTable[0][0] + 15 * kBoardSize);
  const std::vector<uint64_t> keys(&keyTable[0][0], &keyTable[0][0] + 15 * kBoardSize);
  SetUpFen(testing_support::kStartFen);
  const uint64_t startLock = positionLock;
  const uint64_t startKey = positionKey;

  const std::pair<const char*, std::function<void()>> paths[] = {
      {"InitKeyTables", [] { InitKeyTables(); }},
      {"perft set-up",
       [] {
         std::string error;
         EXPECT_TRUE(SetUpPerftPosition(testing_support::kStartFen, &error)) << error;
       }},
      {"fixed search engine", [] { PrepareFixedSearchEngine(3, 1); }},
      {"fixed search position",
       [] {
         std::string error;
         EXPECT_TRUE(SetUpFixedSearchPosition(testing_support::kStartFen, &error)) << error;
       }},
      {"new game", [] { ResetGameState(1); }},
      {"reset without the tables", [] { ResetGameState(0); }},
      {"test process", [] { testing_support::InitTestProcess(); }},
  };
  for (int round = 0; round < 2; ++round) {
    for (const auto& [name, setUp] : paths) {
      SCOPED_TRACE(name);
      setUp();
      EXPECT_EQ(std::memcmp(locks.data(), lockTable, sizeof lockTable), 0);
      EXPECT_EQ(std::memcmp(keys.data(), keyTable, sizeof keyTable), 0);
      EXPECT_EQ(lockTable[1][171], 0x039B11BF4890D6A4ull);
      SetUpFen(testing_support::kStartFen);
      EXPECT_EQ(positionLock, startLock);
      EXPECT_EQ(positionKey, startKey);
    }
  }
}

TEST_F(KeysTest, OnlyPlayingEntriesOfRealTypesAreFilledAndAllDiffer) {
  std::set<uint64_t> seen;
  for (int type = 0; type < 15; ++type) {
    for (int s = 0; s < kBoardSize; ++s) {
      if (type == 0 || !onBoard[s]) {
        EXPECT_EQ(lockTable[type][s], 0u) << type << " " << s;
        EXPECT_EQ(keyTable[type][s], 0u) << type << " " << s;
        continue;
      }
      seen.insert(lockTable[type][s]);
      seen.insert(keyTable[type][s]);
    }
  }
  EXPECT_EQ(seen.size(), 2u * 14 * 90);
  EXPECT_EQ(seen.count(0), 0u);
}

TEST_F(KeysTest, ComputePositionKeysXorsEveryPieceOnItsSquare) {
  uint32_t pieces[33] = {};
  uint64_t lock = 1, key = 1;
  ComputePositionKeys(&lock, &key, pieces);
  EXPECT_EQ(lock, 0u);
  EXPECT_EQ(key, 0u);

  pieces[0] = 99;  // slot 0 is never read
  pieces[1] = kRedKingHome;
  pieces[24] = MakeSquare(8, 0);
  pieces[28] = MakeSquare(0, 3);
  ComputePositionKeys(&lock, &key, pieces);
  EXPECT_EQ(lock, lockTable[7][kRedKingHome] ^ lockTable[13][MakeSquare(8, 0)] ^
                      lockTable[8][MakeSquare(0, 3)]);
  EXPECT_EQ(key, keyTable[7][kRedKingHome] ^ keyTable[13][MakeSquare(8, 0)] ^
                     keyTable[8][MakeSquare(0, 3)]);
}

TEST_F(KeysTest, MirroredKeysAreTheKeysOfTheMirroredList) {
  SetUpFen("2bak4/4a4/n3b1c2/p3p1R1p/2p6/9/P3P3P/2N1C1N2/4A4/2BAK1B2 w");
  uint32_t mirrored[33] = {};
  for (int i = 1; i <= 32; ++i) mirrored[i] = posPiece[i] ? mirrorSquare[posPiece[i]] : 0;

  uint64_t lock, key, mLock, mKey;
  ComputeMirroredPositionKeys(&mLock, &mKey, posPiece);
  ComputePositionKeys(&lock, &key, mirrored);
  EXPECT_EQ(mLock, lock);
  EXPECT_EQ(mKey, key);
  EXPECT_NE(mLock, positionLock);  // the position is not symmetric

  ComputeMirroredPositionKeys(&mLock, &mKey, mirrored);
  EXPECT_EQ(mLock, positionLock);
  EXPECT_EQ(mKey, positionKey);

  // The start position is its own mirror image.
  SetUpFen(testing_support::kStartFen);
  ComputeMirroredPositionKeys(&mLock, &mKey, posPiece);
  EXPECT_EQ(mLock, positionLock);
  EXPECT_EQ(mKey, positionKey);
}

// Plays the moves at consecutive plies and returns the keys at the end.
std::pair<uint64_t, uint64_t> KeysAfter(const std::vector<std::string>& moves,
                                        const std::string& fen = testing_support::kStartFen) {
  SetUpFen(fen);
  for (const auto& m : moves) {
    EXPECT_EQ(testing_support::PlayMove(MoveFromText(m)), 1) << m;
  }
  return {positionLock, positionKey};
}

TEST_F(KeysTest, TranspositionsShareKeysAndTheSideToMoveIsNotHashed) {
  const auto a = KeysAfter({"h2e2", "h9g7", "b0c2", "b9c7"});
  const auto b = KeysAfter({"b0c2", "b9c7", "h2e2", "h9g7"});
  EXPECT_EQ(a, b);

  // A red knight out and back leaves the placement of one black knight move
  // with black to move; the same placement with red to move hashes the same.
  SetUpFen(testing_support::kStartFen);
  const uint64_t startLock = positionLock, startKey = positionKey;
  const auto c = KeysAfter({"b0c2", "h9g7", "c2b0"});
  EXPECT_EQ(sideToMove, kBlack);
  const std::string blackToMove =
      "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b";
  const auto d = KeysAfter({"h9g7"}, blackToMove);
  EXPECT_EQ(sideToMove, kRed);
  EXPECT_EQ(c, d);
  EXPECT_NE(c.first, startLock);
  const auto e = KeysAfter({"b0c2", "b9c7", "c2b0", "c7b9"});
  EXPECT_EQ(e.first, startLock);
  EXPECT_EQ(e.second, startKey);
}

}  // namespace
