// The program's random generator: its fixed sequence from start-up, and the
// chances the lowest levels take at the root coming from it.
#include "engine/search/program_random.h"

#include <gtest/gtest.h>

#include <vector>

#include "engine/position/position.h"
#include "engine/search/engine_state.h"
#include "engine/search/search.h"
#include "tests/support/test_position.h"

namespace {

// Read before main, ahead of any draw of the process.
const uint32_t stateAtStartUp = ProgramRandomState();

// The formula written out again, independent of the engine.
struct Draws {
  uint32_t state;
  int32_t Next() {
    state = state * 214013u + 2531011u;
    return static_cast<int32_t>(state >> 16 & 0x7FFF);
  }
};

TEST(ProgramRandomTest, FixedSequenceFromStartUp) {
  EXPECT_EQ(stateAtStartUp, 1u);
  SetProgramRandomState(1);
  std::vector<int32_t> first;
  for (int i = 0; i < 5; ++i) first.push_back(ProgramRandom());
  EXPECT_EQ(first, (std::vector<int32_t>{41, 18467, 6334, 26500, 19169}));

  // Further on, through many wraps of the 32-bit state.
  Draws draws{ProgramRandomState()};
  for (int i = 0; i < 100000; ++i) {
    const int32_t value = ProgramRandom();
    ASSERT_EQ(value, draws.Next()) << i;
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 0x7FFF);
  }
}

// Levels 0, -1 and -2 with a root list of a modest first move and a better
// long move (three files across) that only chance lets through.
class LowLevelRootChoiceTest : public ::testing::Test {
 protected:
  static constexpr Move kModest = MakeMoveCode(MakeSquare(0, 9), MakeSquare(0, 8));
  static constexpr Move kLong = MakeMoveCode(MakeSquare(1, 7), MakeSquare(4, 7));

  void SetUp() override {
    testing_support::InitEngine();
    rootMoveCount = 2;
    rootMoves[0] = RootMoveEntry{};
    rootMoves[0].move = kModest;
    rootMoves[0].score = 100;
    rootMoves[1] = RootMoveEntry{};
    rootMoves[1].move = kLong;
    rootMoves[1].score = 400;
    // The engine's previous move, with a score above -300: the careful pick.
    gamePly = 3;
    history[2].engineMove = 1;
    history[2].engineScore = 0;
  }
  void TearDown() override {
    history[2].engineMove = 0;
    gamePly = 0;
  }
};

TEST_F(LowLevelRootChoiceTest, ChancesComeFromTheProgramGenerator) {
  struct Level {
    const char* name;
    void (*choose)();
    // The move the draws let through, and the generator state afterwards.
    Move (*expected)(Draws*);
  };
  const Level levels[] = {
      {"level 0", ChooseRootMoveLevel0,
       [](Draws* d) { return (d->Next() & 1) == 0 ? kLong : kModest; }},
      {"levels -1 and -2", ChooseRootMoveLevelMinus,
       [](Draws* d) {
         if ((d->Next() & 3) == 0) return kLong;
         return (d->Next() & 1) == 1 ? kLong : kModest;
       }},
  };
  for (const Level& level : levels) {
    int seen[2] = {};
    for (uint32_t seed = 1; seed <= 40; ++seed) {
      SCOPED_TRACE(std::string(level.name) + ", seed " + std::to_string(seed));
      Draws draws{seed};
      const Move want = level.expected(&draws);
      SetProgramRandomState(seed);
      level.choose();
      EXPECT_EQ(principalVariation[0][0], want);
      EXPECT_EQ(bestScore, want == kLong ? 400 : 100);
      EXPECT_EQ(ProgramRandomState(), draws.state);
      ++seen[want == kLong];
    }
    EXPECT_GT(seen[0], 0) << level.name;
    EXPECT_GT(seen[1], 0) << level.name;
  }
}

TEST_F(LowLevelRootChoiceTest, PlainPickDrawsNothing) {
  gamePly = 2;  // too early in the game for the careful pick
  for (void (*choose)() : {ChooseRootMoveLevel0, ChooseRootMoveLevelMinus}) {
    SetProgramRandomState(7);
    choose();
    EXPECT_EQ(principalVariation[0][0], kLong);
    EXPECT_EQ(ProgramRandomState(), 7u);
  }
}

}  // namespace
