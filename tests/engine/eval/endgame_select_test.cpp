// The endgame selector: which evaluator each material case gets, the order
// in which the rules are tried, and the edge-file pawn condition.
#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

#include "engine/eval/endgame.h"
#include "engine/eval/evaluate.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

namespace {

using eval_testing::At;
using eval_testing::Fen;

struct Named {
  EndgameEvaluatorFn fn;
  const char* name;
};
#define NAMED(f) \
  { f, #f }
const Named kNames[] = {
    NAMED(EvalPawnEnding),
    NAMED(EvalNoAttackersDraw),
    NAMED(EvalDefenceOnlyRed),
    NAMED(EvalDefenceOnlyBlack),
    NAMED(EvalChariotVsChariot),
    NAMED(EvalBareChariotVsChariotCannonRed),
    NAMED(EvalBareChariotVsChariotCannonBlack),
    NAMED(EvalBareChariotVsChariotPawnsRed),
    NAMED(EvalBareChariotVsChariotPawnsBlack),
    NAMED(EvalChariotVsCannonRed),
    NAMED(EvalChariotVsCannonBlack),
    NAMED(EvalChariotVsKnightRed),
    NAMED(EvalChariotVsKnightBlack),
    NAMED(EvalChariotVsCannonElephantsRed),
    NAMED(EvalChariotVsCannonElephantsBlack),
    NAMED(EvalChariotVsKnightElephantsRed),
    NAMED(EvalChariotVsKnightElephantsBlack),
    NAMED(EvalLoneMinorVsPawnsRed),
    NAMED(EvalLoneMinorVsPawnsBlack),
    NAMED(EvalCannonVsKnightPawnsRed),
    NAMED(EvalCannonVsKnightPawnsBlack),
    NAMED(EvalCannonVsTwoCannonsRed),
    NAMED(EvalCannonVsTwoCannonsBlack),
    NAMED(EvalKnightVsTwoKnightsRed),
    NAMED(EvalKnightVsTwoKnightsBlack),
    NAMED(EvalKnightPawnsVsNoAdvisersRed),
    NAMED(EvalChariotKnightVsChariotRed),
    NAMED(EvalChariotKnightVsChariotBlack),
    NAMED(EvalChariotCannonVsChariotRed),
    NAMED(EvalChariotCannonVsChariotBlack),
    NAMED(EvalChariotVsTwoChariotsRed),
    NAMED(EvalChariotVsTwoChariotsBlack),
};
#undef NAMED

std::string NameOf(EndgameEvaluatorFn fn) {
  if (fn == nullptr) return "none";
  for (const Named& n : kNames)
    if (n.fn == fn) return n.name;
  return "unknown evaluator";
}

std::string Selected(std::initializer_list<At> pieces) {
  testing_support::SetUpFen(Fen(pieces));
  return NameOf(SelectEndgameEvaluator());
}

// Kings out of line with each other, so that every position is legal.
constexpr At kRedKing{'K', 4, 9};
constexpr At kBlackKing{'k', 3, 0};

TEST(SelectEndgameEvaluator, NoAttackersOnEitherSide) {
  EXPECT_EQ(Selected({kRedKing, kBlackKing}), "EvalNoAttackersDraw");
  EXPECT_EQ(Selected({kRedKing, {'A', 4, 8}, {'B', 4, 7}, {'B', 2, 9}, kBlackKing, {'a', 4, 1}}),
            "EvalNoAttackersDraw");
  EXPECT_EQ(Selected({kRedKing, kBlackKing, {'p', 4, 6}}), "EvalPawnEnding");
  EXPECT_EQ(Selected({kRedKing, {'P', 0, 3}, {'P', 4, 3}, kBlackKing, {'a', 4, 1}}),
            "EvalPawnEnding");
}

TEST(SelectEndgameEvaluator, DefenceOnlySides) {
  EXPECT_EQ(Selected({kRedKing, {'P', 4, 5}, kBlackKing, {'n', 4, 4}}), "EvalDefenceOnlyRed");
  EXPECT_EQ(Selected({kRedKing, kBlackKing, {'r', 1, 1}, {'c', 2, 2}, {'p', 4, 6}}),
            "EvalDefenceOnlyRed");
  EXPECT_EQ(Selected({kRedKing, {'N', 2, 5}, {'P', 4, 4}, {'P', 6, 4}, kBlackKing, {'p', 4, 6}}),
            "EvalDefenceOnlyBlack");
  // Red without attackers but with two pawns against a lone knight: not a
  // defence-only case for red; black's lone knight against pawns instead.
  EXPECT_EQ(Selected({kRedKing, {'P', 4, 4}, {'P', 6, 4}, kBlackKing, {'n', 4, 3}}),
            "EvalLoneMinorVsPawnsBlack");
  EXPECT_EQ(Selected({kRedKing, {'P', 4, 4}, {'P', 6, 4}, kBlackKing, {'a', 4, 1}, {'n', 4, 3}}),
            "none");
}

TEST(SelectEndgameEvaluator, BareChariotNeedsEveryPawnOnAnEdgeFile) {
  // Black keeps an adviser so that the black twin never applies.
  const At blackSide[] = {kBlackKing, {'a', 4, 1}, {'r', 2, 2}, {'p', 4, 5}};
  auto withRedPawnOn = [&](int file) {
    return Selected({kRedKing,
                     {'R', 1, 7},
                     {'P', file, 3},
                     blackSide[0],
                     blackSide[1],
                     blackSide[2],
                     blackSide[3]});
  };
  EXPECT_EQ(withRedPawnOn(0), "EvalBareChariotVsChariotPawnsRed");
  EXPECT_EQ(withRedPawnOn(8), "EvalBareChariotVsChariotPawnsRed");
  for (int file = 1; file <= 7; ++file)
    EXPECT_EQ(withRedPawnOn(file), "EvalChariotVsChariot") << "red pawn on file " << file;
  // Without pawns the condition holds; an adviser or elephant breaks it.
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, kBlackKing, {'a', 4, 1}, {'r', 2, 2}, {'p', 4, 5}}),
            "EvalBareChariotVsChariotPawnsRed");
  EXPECT_EQ(
      Selected(
          {kRedKing, {'A', 4, 8}, {'R', 1, 7}, kBlackKing, {'a', 4, 1}, {'r', 2, 2}, {'p', 4, 5}}),
      "EvalChariotVsChariot");
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, kBlackKing, {'r', 2, 2}, {'c', 2, 1}}),
            "EvalBareChariotVsChariotCannonRed");
  // Both sides bare with edge pawns: red's rule comes first.
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, {'P', 0, 3}, kBlackKing, {'r', 2, 2}, {'p', 8, 6}}),
            "EvalBareChariotVsChariotPawnsRed");
  // The black twin.
  EXPECT_EQ(
      Selected(
          {kRedKing, {'A', 4, 8}, {'R', 1, 7}, {'P', 4, 4}, kBlackKing, {'r', 2, 2}, {'p', 8, 6}}),
      "EvalBareChariotVsChariotPawnsBlack");
}

TEST(SelectEndgameEvaluator, ChariotAgainstALoneMinorPiece) {
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, kBlackKing, {'r', 2, 2}}), "EvalChariotVsChariot");
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, kBlackKing, {'c', 2, 2}}), "EvalChariotVsCannonRed");
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, kBlackKing, {'n', 2, 2}}), "EvalChariotVsKnightRed");
  EXPECT_EQ(Selected({kRedKing, {'A', 4, 8}, kBlackKing, {'R', 1, 7}, {'c', 2, 2}, {'p', 4, 6}}),
            "EvalChariotVsCannonRed");
  // Knight with two elephants and exactly one adviser.
  EXPECT_EQ(
      Selected(
          {kRedKing, {'R', 1, 7}, kBlackKing, {'a', 4, 1}, {'b', 4, 2}, {'b', 2, 0}, {'n', 6, 3}}),
      "EvalChariotVsKnightElephantsRed");
  EXPECT_EQ(Selected({kRedKing,
                      {'R', 1, 7},
                      kBlackKing,
                      {'a', 4, 1},
                      {'a', 5, 0},
                      {'b', 4, 2},
                      {'b', 2, 0},
                      {'n', 6, 3}}),
            "EvalChariotVsKnightRed");
  EXPECT_EQ(
      Selected(
          {kRedKing, {'R', 1, 7}, kBlackKing, {'b', 4, 2}, {'b', 2, 0}, {'c', 6, 3}, {'p', 0, 4}}),
      "EvalChariotVsCannonElephantsRed");
  // A red pawn rules the elephant fortresses out.
  EXPECT_EQ(
      Selected(
          {kRedKing, {'R', 1, 7}, {'P', 4, 4}, kBlackKing, {'b', 4, 2}, {'b', 2, 0}, {'c', 6, 3}}),
      "EvalChariotVsCannonRed");
  // Black twins.
  EXPECT_EQ(Selected({kRedKing, {'C', 2, 7}, kBlackKing, {'r', 1, 2}}), "EvalChariotVsCannonBlack");
  EXPECT_EQ(Selected({kRedKing, {'N', 2, 7}, kBlackKing, {'r', 1, 2}}), "EvalChariotVsKnightBlack");
  EXPECT_EQ(
      Selected(
          {kRedKing, {'A', 4, 8}, {'B', 4, 7}, {'B', 2, 9}, {'N', 6, 6}, kBlackKing, {'r', 1, 2}}),
      "EvalChariotVsKnightElephantsBlack");
}

TEST(SelectEndgameEvaluator, MinorPieceEndings) {
  EXPECT_EQ(Selected({kRedKing, {'C', 4, 7}, kBlackKing, {'c', 2, 2}, {'p', 4, 6}, {'p', 6, 6}}),
            "EvalLoneMinorVsPawnsRed");
  // With an elephant the cannon rule does not apply; black's adviser keeps
  // the twin out too.
  EXPECT_EQ(Selected({kRedKing,
                      {'B', 4, 7},
                      {'C', 4, 8},
                      kBlackKing,
                      {'a', 4, 1},
                      {'c', 2, 2},
                      {'p', 4, 6},
                      {'p', 6, 6}}),
            "none");
  EXPECT_EQ(Selected({kRedKing, {'B', 4, 7}, {'C', 4, 8}, kBlackKing, {'n', 2, 2}, {'p', 4, 6}}),
            "EvalCannonVsKnightPawnsRed");
  EXPECT_EQ(Selected({kRedKing, {'C', 4, 8}, kBlackKing, {'a', 4, 1}, {'c', 2, 2}, {'c', 6, 2}}),
            "EvalCannonVsTwoCannonsRed");
  EXPECT_EQ(Selected({kRedKing, {'A', 4, 8}, {'C', 4, 7}, {'C', 2, 7}, kBlackKing, {'c', 2, 2}}),
            "EvalCannonVsTwoCannonsBlack");
  EXPECT_EQ(Selected({kRedKing, {'N', 4, 7}, kBlackKing, {'p', 4, 6}, {'p', 6, 6}}),
            "EvalLoneMinorVsPawnsRed");
  EXPECT_EQ(
      Selected(
          {kRedKing, {'A', 4, 8}, {'N', 4, 7}, {'P', 4, 3}, kBlackKing, {'p', 4, 6}, {'p', 6, 6}}),
      "EvalKnightPawnsVsNoAdvisersRed");
  // That rule has no black twin.
  EXPECT_EQ(
      Selected(
          {kRedKing, {'P', 4, 3}, {'P', 6, 3}, kBlackKing, {'a', 4, 1}, {'n', 4, 2}, {'p', 4, 6}}),
      "none");
  EXPECT_EQ(Selected({kRedKing, {'N', 4, 7}, kBlackKing, {'n', 2, 2}, {'n', 6, 2}, {'p', 4, 6}}),
            "EvalKnightVsTwoKnightsRed");
  EXPECT_EQ(Selected({kRedKing, {'N', 2, 7}, {'N', 6, 7}, {'P', 4, 3}, kBlackKing, {'n', 4, 2}}),
            "EvalKnightVsTwoKnightsBlack");
}

TEST(SelectEndgameEvaluator, ChariotAndASecondPiece) {
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, {'N', 2, 7}, kBlackKing, {'r', 1, 2}}),
            "EvalChariotKnightVsChariotRed");
  // An elephant or a pawn turns the knight fortress off.
  EXPECT_EQ(Selected({kRedKing, {'B', 4, 7}, {'R', 1, 7}, {'N', 2, 7}, kBlackKing, {'r', 1, 2}}),
            "none");
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, {'N', 2, 7}, kBlackKing, {'r', 1, 2}, {'p', 0, 6}}),
            "none");
  // A bare chariot against chariot and cannon is caught by the earlier
  // bare-chariot rule; with a defender beside it the fortress rule applies.
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, {'C', 2, 7}, kBlackKing, {'r', 1, 2}}),
            "EvalBareChariotVsChariotCannonBlack");
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, {'C', 2, 7}, kBlackKing, {'a', 4, 1}, {'r', 1, 2}}),
            "EvalChariotCannonVsChariotRed");
  EXPECT_EQ(Selected({kRedKing, {'A', 4, 8}, {'R', 1, 7}, kBlackKing, {'r', 1, 2}, {'c', 2, 2}}),
            "EvalChariotCannonVsChariotBlack");
  EXPECT_EQ(Selected({kRedKing, {'R', 1, 7}, kBlackKing, {'r', 1, 2}, {'n', 2, 2}}),
            "EvalChariotKnightVsChariotBlack");
  EXPECT_EQ(Selected({kRedKing,
                      {'A', 4, 8},
                      {'A', 3, 9},
                      {'B', 4, 7},
                      {'B', 2, 9},
                      {'R', 1, 7},
                      {'P', 0, 5},
                      kBlackKing,
                      {'r', 1, 2},
                      {'r', 7, 2}}),
            "EvalChariotVsTwoChariotsRed");
  EXPECT_EQ(Selected({kRedKing,
                      {'R', 1, 7},
                      {'R', 7, 7},
                      kBlackKing,
                      {'a', 4, 1},
                      {'a', 5, 0},
                      {'b', 4, 2},
                      {'b', 2, 0},
                      {'r', 1, 2},
                      {'n', 2, 2}}),
            "EvalChariotVsTwoChariotsBlack");
  // One defender short: no rule.
  EXPECT_EQ(Selected({kRedKing,
                      {'A', 4, 8},
                      {'B', 4, 7},
                      {'B', 2, 9},
                      {'R', 1, 7},
                      kBlackKing,
                      {'r', 1, 2},
                      {'r', 7, 2}}),
            "none");
}

TEST(SelectEndgameEvaluator, PlentyOfMaterialHasNoEndgameEvaluator) {
  testing_support::SetUpFen(testing_support::kStartFen);
  EXPECT_EQ(NameOf(SelectEndgameEvaluator()), "none");
  EXPECT_EQ(Selected({kRedKing,
                      {'R', 1, 7},
                      {'R', 7, 7},
                      {'C', 2, 7},
                      kBlackKing,
                      {'r', 1, 2},
                      {'r', 7, 2},
                      {'n', 2, 2}}),
            "none");
}

// The selector remembers the last material it looked at: selections in a
// row whose material differs in one man, or only in where a pawn stands,
// must each get their own answer, whatever came before.
TEST(SelectEndgameEvaluator, FollowsEveryChangeFromOneSelectionToTheNext) {
  struct Case {
    std::vector<At> pieces;
    const char* expected;
  };
  const Case kCases[] = {
      {{kRedKing, {'R', 1, 7}, kBlackKing, {'b', 4, 2}, {'b', 2, 0}, {'c', 6, 3}, {'p', 0, 4}},
       "EvalChariotVsCannonElephantsRed"},
      {{kRedKing, {'R', 1, 7}, kBlackKing, {'b', 4, 2}, {'c', 6, 3}, {'p', 0, 4}},
       "EvalChariotVsCannonRed"},
      {{kRedKing, {'R', 1, 7}, kBlackKing, {'a', 4, 1}, {'b', 4, 2}, {'b', 2, 0}, {'n', 6, 3}},
       "EvalChariotVsKnightElephantsRed"},
      {{kRedKing,
        {'R', 1, 7},
        kBlackKing,
        {'a', 4, 1},
        {'a', 5, 0},
        {'b', 4, 2},
        {'b', 2, 0},
        {'n', 6, 3}},
       "EvalChariotVsKnightRed"},
      {{kRedKing, {'R', 1, 7}, {'P', 0, 3}, kBlackKing, {'a', 4, 1}, {'r', 2, 2}, {'p', 4, 5}},
       "EvalBareChariotVsChariotPawnsRed"},
      {{kRedKing, {'R', 1, 7}, {'P', 4, 3}, kBlackKing, {'a', 4, 1}, {'r', 2, 2}, {'p', 4, 5}},
       "EvalChariotVsChariot"},
      {{kRedKing, {'R', 1, 7}, {'P', 8, 3}, kBlackKing, {'a', 4, 1}, {'r', 2, 2}, {'p', 4, 5}},
       "EvalBareChariotVsChariotPawnsRed"},
      {{kRedKing, {'R', 1, 7}, kBlackKing, {'r', 2, 2}}, "EvalChariotVsChariot"},
      {{kRedKing, {'R', 1, 7}, kBlackKing, {'c', 2, 2}}, "EvalChariotVsCannonRed"},
      {{kRedKing, {'R', 1, 7}, {'R', 7, 7}, kBlackKing, {'r', 1, 2}, {'c', 2, 2}}, "none"},
  };
  const int count = static_cast<int>(std::size(kCases));
  // Forwards, backwards, and each case twice in a row.
  std::vector<int> order;
  for (int i = 0; i < count; ++i) order.push_back(i);
  for (int i = count - 1; i >= 0; --i) order.push_back(i);
  for (int i = 0; i < count; ++i) order.insert(order.end(), {i, i});
  for (int i : order) {
    testing_support::SetUpFen(Fen(kCases[i].pieces));
    EXPECT_EQ(NameOf(SelectEndgameEvaluator()), kCases[i].expected) << "case " << i;
  }
}

}  // namespace
