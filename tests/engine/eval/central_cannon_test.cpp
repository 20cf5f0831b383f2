// The central cannon of the palace attack on hand-built positions with the
// defending king at home, with either side to move; each position is also
// scored file-mirrored and colour-mirrored (black's cannon against the red
// king is the exact mirror of red's).
#include <gtest/gtest.h>

#include <vector>

#include "engine/eval/full_eval.h"
#include "tests/engine/eval/palace_rules_harness.h"

namespace {

using palace_rules_testing::At;
using palace_rules_testing::Case;
using palace_rules_testing::CheckCases;
using palace_rules_testing::Score;

void CheckCannonCases(const std::vector<Case>& cases) {
  CheckCases(cases, CentralCannonRed, CentralCannonBlack, true);
}

// Black king and advisers at home, a red cannon on f4r7, two chariots and a
// knight away from the palace: an open file and a strong attack.
std::vector<At> OpenFile(std::vector<At> extra) {
  std::vector<At> pieces = {{'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'K', 3, 9},
                            {'C', 4, 7}, {'R', 0, 9}, {'R', 8, 9}, {'N', 1, 9}};
  pieces.insert(pieces.end(), extra.begin(), extra.end());
  return pieces;
}

TEST(CentralCannon, GateAndCountsBetweenCannonAndKing) {
  CheckCannonCases({
      {"lone cannon, no zone pawn",
       {{'k', 4, 0}, {'n', 4, 1}, {'K', 3, 9}, {'C', 4, 7}},
       {0, 0},
       {0, 0}},
      {"lone cannon with one zone pawn and no pawn on f6r0 or f2r0",
       {{'k', 4, 0}, {'n', 4, 1}, {'K', 3, 9}, {'C', 4, 7}, {'P', 2, 3}},
       {0, 0},
       {0, 0}},
      {"lone cannon with one zone pawn and a pawn on f6r0",
       {{'k', 4, 0}, {'n', 4, 1}, {'K', 3, 9}, {'C', 4, 7}, {'P', 2, 3}, {'P', 6, 0}},
       {200, 0},
       {200, 0}},
      {"cannon on rank 1 stands too near the king",
       {{'k', 4, 0},
        {'a', 3, 0},
        {'a', 5, 0},
        {'K', 3, 9},
        {'C', 4, 1},
        {'R', 0, 9},
        {'R', 8, 9},
        {'N', 1, 9}},
       {0, 0},
       {0, 0}},
      {"a single black screen", OpenFile({{'n', 4, 1}}), {200, 0}, {200, 0}},
      {"a red screen, the red king's neighbours empty",
       OpenFile({{'P', 4, 4}}),
       {150, 0},
       {150, 0}},
      {"a red screen, the red king flanked by its advisers",
       {{'k', 4, 0},
        {'a', 3, 0},
        {'a', 5, 0},
        {'K', 4, 9},
        {'A', 3, 9},
        {'A', 5, 9},
        {'C', 4, 7},
        {'R', 0, 9},
        {'R', 8, 9},
        {'N', 1, 9},
        {'P', 4, 4}},
       {300, 0},
       {300, 0}},
      {"a home-half red pawn switches the cannon off", OpenFile({{'P', 4, 5}}), {0, 0}, {0, 0}},
      {"a home-half pawn also suppresses the single-screen bonus",
       OpenFile({{'P', 4, 5}, {'n', 4, 1}}),
       {0, 0},
       {0, 0}},
      {"three black men between",
       {{'k', 4, 0},
        {'a', 3, 0},
        {'n', 5, 0},
        {'a', 4, 1},
        {'b', 4, 2},
        {'p', 4, 3},
        {'K', 3, 9},
        {'C', 4, 7},
        {'R', 0, 9},
        {'R', 8, 9},
        {'N', 1, 9}},
       {0, 0},
       {0, 0}},
      {"open file but only three attacking pieces without chariot or zone knight",
       {{'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'K', 3, 9}, {'C', 4, 7}, {'N', 1, 9}, {'N', 7, 9}},
       {150, 0},
       {150, 0}},
  });
}

TEST(CentralCannon, OpenFileWithStrongAttack) {
  CheckCannonCases({
      {"advisers at home", OpenFile({}), {249, 0}, {249, 0}},
      {"a pawn on f3r1 and few attackers of the palace centre",
       OpenFile({{'P', 3, 1}}),
       {383, 0},
       {383, 0}},
      {"the palace centre attacked three times",
       {{'k', 4, 0},
        {'a', 3, 0},
        {'a', 5, 0},
        {'K', 3, 9},
        {'C', 4, 7},
        {'P', 3, 1},
        {'P', 5, 1},
        {'N', 2, 2},
        {'R', 0, 9},
        {'R', 8, 9}},
       {958, 0},
       {658, 0}},
      {"cannon on f4r2 with chariots and a knight in black's half",
       {{'k', 4, 0},
        {'a', 3, 0},
        {'a', 5, 0},
        {'K', 3, 9},
        {'C', 4, 2},
        {'R', 2, 3},
        {'R', 6, 4},
        {'N', 7, 3}},
       {500, 0},
       {500, 0}},
      {"cannon on f4r3 and a black knight ready to block it",
       {{'k', 4, 0},
        {'a', 3, 0},
        {'a', 5, 0},
        {'n', 6, 2},
        {'K', 3, 9},
        {'C', 4, 3},
        {'R', 0, 9},
        {'R', 8, 9},
        {'N', 1, 9}},
       {249, 0},
       {0, 0}},
      {"adviser square f3r0 empty, knight on f2r2",
       {{'k', 4, 0}, {'a', 5, 0}, {'K', 3, 9}, {'C', 4, 7}, {'R', 0, 9}, {'R', 8, 9}, {'N', 2, 2}},
       {350, 0},
       {350, 0}},
  });
}

TEST(CentralCannon, DoubleScreen) {
  CheckCannonCases({
      {"black knight and red chariot between",
       {{'k', 4, 0},
        {'a', 3, 0},
        {'a', 5, 0},
        {'n', 4, 1},
        {'K', 3, 9},
        {'C', 4, 7},
        {'R', 4, 4},
        {'R', 0, 9}},
       {625, 0},
       {625, 0}},
      {"the same with a zone knight",
       {{'k', 4, 0},
        {'a', 3, 0},
        {'a', 5, 0},
        {'n', 4, 1},
        {'K', 3, 9},
        {'C', 4, 7},
        {'R', 4, 4},
        {'R', 0, 9},
        {'N', 7, 3}},
       {1075, 0},
       {875, 0}},
      {"a chariot entering the back rank beside the empty adviser square",
       {{'k', 4, 0}, {'n', 4, 1}, {'a', 3, 0}, {'K', 3, 9}, {'C', 4, 7}, {'P', 4, 4}, {'R', 7, 5}},
       {950, 0},
       {650, 0}},
      {"a black chariot reaching the empty adviser square",
       {{'k', 4, 0},
        {'n', 4, 1},
        {'a', 3, 0},
        {'r', 5, 5},
        {'K', 3, 9},
        {'C', 4, 7},
        {'P', 4, 4},
        {'R', 7, 5}},
       {950, 25},
       {650, 25}},
      {"mate on f3r0 by two chariots backed by the red king",
       {{'k', 4, 0},
        {'a', 4, 1},
        {'a', 5, 0},
        {'K', 3, 9},
        {'C', 4, 7},
        {'P', 4, 3},
        {'R', 3, 5},
        {'R', 3, 8}},
       {199050, 0},
       {1050, 0}},
      {"mate by a pawn on f3r1 supported by the red king",
       {{'k', 4, 0},
        {'a', 4, 1},
        {'a', 5, 0},
        {'K', 3, 9},
        {'C', 4, 7},
        {'P', 4, 3},
        {'P', 3, 1},
        {'R', 0, 9}},
       {199575, 0},
       {975, 0}},
  });
}

// The empty right adviser square asks only for a chariot's clear line, the
// left one for a chariot move that does not expose the red king; a pinned
// chariot shows the difference.
TEST(CentralCannon, EmptyAdviserSquaresAreTestedDifferently) {
  const std::vector<At> right = {{'k', 4, 0}, {'n', 4, 1}, {'a', 3, 0}, {'K', 3, 7},
                                 {'C', 4, 8}, {'P', 4, 4}, {'R', 5, 7}, {'r', 8, 7}};
  const std::vector<At> left = palace_rules_testing::FileMirror(right);
  for (const char side : {'w', 'b'}) {
    EXPECT_EQ(Score(CentralCannonRed, right, side).red, 575);
    EXPECT_EQ(Score(CentralCannonRed, left, side).red, 525);
  }
}

TEST(CentralCannon, BothCannonsScoreIndependently) {
  // Cannon on f4r7 sees the one on f4r5 as a red screen, the one on f4r5
  // sees an open file.
  const std::vector<At> pieces = {{'k', 4, 0}, {'a', 3, 0}, {'a', 5, 0}, {'K', 3, 9},
                                  {'C', 4, 7}, {'C', 4, 5}, {'R', 0, 9}, {'R', 8, 9}};
  EXPECT_EQ(Score(CentralCannonRed, pieces, 'w').red, 150 + 249);
  EXPECT_EQ(palace_rules_testing::ScoreSwapped(CentralCannonBlack, pieces, 'w').black, 150 + 249);
}

TEST(CentralCannon, CountsOnlyTheSquaresBetweenCannonAndKing) {
  CheckCannonCases({
      {"a black screen right in front of the cannon", OpenFile({{'p', 4, 6}}), {200, 0}, {200, 0}},
      {"a red pawn behind the cannon is no screen", OpenFile({{'P', 4, 8}}), {249, 0}, {249, 0}},
      {"three black screens crowd the file",
       OpenFile({{'n', 4, 1}, {'p', 4, 3}, {'r', 4, 5}}),
       {0, 0},
       {0, 0}},
      {"cannon on rank 2 over a black screen on rank 1",
       {{'k', 4, 0},
        {'a', 3, 0},
        {'a', 5, 0},
        {'K', 3, 9},
        {'C', 4, 2},
        {'R', 0, 9},
        {'R', 8, 9},
        {'N', 1, 9},
        {'n', 4, 1}},
       {200, 0},
       {200, 0}},
  });
}

TEST(CentralCannon, StartPositionScoresNothing) {
  for (const char side : {'w', 'b'}) {
    std::string fen = testing_support::kStartFen;
    fen.back() = side;
    testing_support::SetUpFen(fen);
    const auto red = palace_rules_testing::RunOnBoard(CentralCannonRed);
    const auto black = palace_rules_testing::RunOnBoard(CentralCannonBlack);
    EXPECT_EQ(red.red + red.black + black.red + black.black, 0);
  }
}

}  // namespace
