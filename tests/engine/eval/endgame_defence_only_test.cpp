// Endings of a side without attacking pieces: the win values by defenders
// and material, the fortresses that give "cannot lose", the drawish rest,
// the verdict's bound by side to move, and the black twin as the exact
// mirror of the red evaluator on the colour-swapped board.
#include "engine/eval/endgame_defence_only.h"

#include "tests/engine/eval/endgame_test_support.h"

namespace {

using namespace endgame_testing;

// Runs the case with each side to move: the selector must pick the red
// evaluator and the verdict must match; then the colour-swapped board must
// pick the black evaluator and give the same verdict.
void Check(const Case& c) { endgame_testing::Check(c, &EvalDefenceOnlyRed, &EvalDefenceOnlyBlack); }

void CheckAll(const std::vector<Case>& cases) {
  for (const Case& c : cases) Check(c);
}

constexpr At kRedKing{'K', 4, 9};
constexpr At kBlackKing{'k', 3, 0};
// All four red defenders in their home squares.
const std::vector<At> kFullDefence = {kRedKing, {'A', 3, 9}, {'A', 5, 9}, {'B', 2, 9}, {'B', 6, 9}};

std::vector<At> With(std::vector<At> base, std::initializer_list<At> more) {
  base.insert(base.end(), more);
  return base;
}

// One ending of each kind with its exact verdict and value: four wins of
// the attacker, valued lower the more pieces the defence keeps, and a lone
// knight that gains nothing against two elephants and an adviser.
TEST(EvalDefenceOnly, WinValuesByDefendersAndMaterial) {
  CheckAll({
      {"full defence against chariot and knight",
       With(kFullDefence, {kBlackKing, {'r', 0, 0}, {'n', 1, 0}}), Expect::kBlackWins, 195000},
      {"bare king against a chariot",
       {kRedKing, kBlackKing, {'r', 0, 0}},
       Expect::kBlackWins,
       199000},
      {"king and pawn against a chariot",
       {kRedKing, {'P', 4, 5}, kBlackKing, {'r', 0, 0}},
       Expect::kBlackWins,
       198500},
      {"two advisers and a pawn against knight and cannon",
       {kRedKing, {'A', 3, 9}, {'A', 5, 9}, {'P', 2, 4}, kBlackKing, {'n', 1, 0}, {'c', 7, 2}},
       Expect::kBlackWins,
       195500},
      {"lone knight against two elephants and an adviser",
       {kRedKing, {'A', 4, 8}, {'B', 2, 9}, {'B', 6, 9}, kBlackKing, {'n', 1, 0}},
       Expect::kRedHolds,
       0},
  });
}

// Textbook results: the lone chariot, knight, or cannon with an adviser
// beat a bare king; a chariot does not beat the full defence; a cannon
// without a screen and a knight against two elephants win nothing.
TEST(EvalDefenceOnly, KnownResults) {
  CheckAll({
      {"chariot against two advisers",
       {kRedKing, {'A', 3, 9}, {'A', 5, 9}, kBlackKing, {'r', 0, 0}},
       Expect::kBlackWins,
       198000},
      {"chariot against the full defence", With(kFullDefence, {kBlackKing, {'r', 8, 3}}),
       Expect::kRedHolds, 0},
      {"knight against a bare king",
       {{'K', 5, 9}, kBlackKing, {'n', 0, 0}},
       Expect::kBlackWins,
       198000},
      {"cannon and adviser against a bare king",
       {{'K', 5, 9}, kBlackKing, {'a', 4, 1}, {'c', 0, 0}},
       Expect::kBlackWins,
       197500},
      {"cannon alone against a bare king",
       {{'K', 5, 9}, kBlackKing, {'c', 0, 0}},
       Expect::kRedHolds,
       0},
      {"knight against two elephants",
       {kRedKing, {'B', 2, 9}, {'B', 6, 9}, kBlackKing, {'n', 0, 0}},
       Expect::kDrawish,
       0},
  });
}

TEST(EvalDefenceOnly, LoneKnightWithoutPawns) {
  // The knight in front of red's king on file 3, black's king behind it.
  const std::vector<At> pinned = {{'K', 3, 9}, {'A', 4, 8}, {'n', 3, 7}};
  CheckAll({
      {"knight before the king, black bare", With(pinned, {{'k', 3, 1}, {'P', 6, 3}}),
       Expect::kBlackWins, 193000},
      {"the same with a black adviser", With(pinned, {{'k', 3, 1}, {'P', 6, 3}, {'a', 5, 0}}),
       Expect::kRedHolds, 0},
      {"the red pawn on black's back rank is no longer useful",
       With(pinned, {{'k', 3, 1}, {'P', 6, 0}}), Expect::kRedHolds, 0},
      {"black king on (3, 0) behind an empty file", With(pinned, {{'k', 3, 0}, {'P', 6, 3}}),
       Expect::kBlackWins, 193000},
      {"red king on (3, 8)",
       {{'K', 3, 8}, {'B', 4, 7}, {'n', 3, 7}, {'k', 3, 2}, {'P', 6, 3}},
       Expect::kBlackWins,
       193000},
      {"red king on (3, 8) without advisers or elephants",
       {{'K', 3, 8}, {'n', 3, 7}, {'k', 3, 2}, {'P', 6, 3}},
       Expect::kRedHolds,
       0},
      {"centre file, red king on (4, 9) behind an empty (4, 8)",
       {kRedKing, {'B', 2, 9}, {'P', 0, 3}, {'k', 4, 2}, {'n', 4, 7}},
       Expect::kBlackWins,
       193000},
      {"knight on (4, 7) without the king set-up",
       {kRedKing, {'P', 0, 3}, {'k', 5, 0}, {'n', 4, 7}},
       Expect::kRedHolds,
       0},
      {"without the red pawn the defenders decide: bare king",
       {{'K', 5, 9}, kBlackKing, {'n', 0, 0}},
       Expect::kBlackWins,
       198000},
  });
  // The pawn on (4, 2) against a black adviser leaves it to the later
  // steps: two black advisers and kings on different files win, one does
  // not.
  const std::vector<At> pawnAtPalace = {
      kRedKing, {'A', 4, 8}, {'P', 4, 2}, {'k', 3, 1}, {'n', 0, 0}};
  CheckAll({
      {"pawn on (4, 2), two black advisers", With(pawnAtPalace, {{'a', 5, 0}, {'a', 5, 2}}),
       Expect::kBlackWins, 196500},
      {"pawn on (4, 2), one black adviser", With(pawnAtPalace, {{'a', 5, 0}}), Expect::kDrawish, 0},
  });
}

TEST(EvalDefenceOnly, LoneCannonWithoutPawns) {
  CheckAll({
      {"cannon without a screen against one adviser",
       {kRedKing, {'A', 4, 8}, kBlackKing, {'c', 0, 2}},
       Expect::kRedHolds,
       0},
      {"cannon without a screen against two home advisers",
       {kRedKing, {'A', 3, 9}, {'A', 5, 9}, kBlackKing, {'c', 0, 2}},
       Expect::kDrawish,
       0},
      {"cannon and adviser against two home advisers",
       {kRedKing, {'A', 3, 9}, {'A', 5, 9}, kBlackKing, {'a', 4, 1}, {'c', 0, 2}},
       Expect::kBlackWins,
       192500},
      {"joined elephants in front of the king",
       {kRedKing, {'B', 4, 7}, {'B', 6, 9}, kBlackKing, {'a', 4, 1}, {'c', 0, 2}},
       Expect::kRedHolds,
       0},
      {"elephants apart, king on the centre file",
       {kRedKing, {'B', 4, 7}, {'B', 0, 7}, kBlackKing, {'a', 4, 1}, {'c', 0, 2}},
       Expect::kDrawish,
       0},
      {"elephants apart, king off the centre",
       {{'K', 3, 9}, {'B', 4, 7}, {'B', 0, 7}, {'k', 5, 0}, {'a', 4, 1}, {'c', 0, 2}},
       Expect::kBlackWins,
       199000},
  });
}

TEST(EvalDefenceOnly, CentralCannonAgainstTheRaisedAdviser) {
  // Red: king (4, 9), advisers (4, 8) and (3, 9), elephant (4, 7); black's
  // cannon on (4, 4) looks down the empty file at the elephant, black's king
  // on file 5.
  const std::vector<At> setUp = {kRedKing,    {'A', 4, 8}, {'A', 3, 9},
                                 {'B', 4, 7}, {'k', 5, 2}, {'c', 4, 4}};
  CheckAll({
      {"pawn on red's back rank, one elephant", With(setUp, {{'p', 7, 9}}), Expect::kBlackWins,
       199000},
      {"least advanced pawn of the chain on rank 6", With(setUp, {{'p', 8, 8}, {'p', 7, 6}}),
       Expect::kBlackWins, 195500},
      {"chain pawn on rank 8", With(setUp, {{'p', 8, 8}}), Expect::kBlackWins, 196500},
      {"a pawn on (3, 8)", With(setUp, {{'p', 3, 8}}), Expect::kBlackWins, 197000},
      {"far-wing pawn with the second elephant on (2, 9)", With(setUp, {{'B', 2, 9}, {'p', 1, 7}}),
       Expect::kBlackWins, 199000},
      {"far-wing pawn on (2, 6)", With(setUp, {{'B', 2, 9}, {'p', 2, 6}}), Expect::kBlackWins,
       198000},
      // With both elephants and the pawn beside the adviser, red holds.
      {"single pawn on (3, 8) against both elephants", With(setUp, {{'B', 2, 9}, {'p', 3, 8}}),
       Expect::kRedHolds, 0},
      // A pawn on (4, 5) blocks the cannon's file: the pawns on two wings
      // decide in steps of 200 by the three defenders.
      {"cannon screened by a pawn on (4, 5)", With(setUp, {{'p', 7, 9}, {'p', 4, 5}}),
       Expect::kBlackWins, 192700},
  });
  // The other side: black king on file 3, the adviser on (5, 9).
  CheckAll({
      {"mirrored set-up, right-side pawn on (7, 7)",
       {kRedKing,
        {'A', 4, 8},
        {'A', 5, 9},
        {'B', 4, 7},
        {'B', 6, 9},
        {'k', 3, 1},
        {'c', 4, 3},
        {'p', 7, 7}},
       Expect::kBlackWins,
       199000},
      {"mirrored set-up, chain pawn on (1, 7)",
       {kRedKing, {'A', 4, 8}, {'A', 5, 9}, {'B', 4, 7}, {'k', 3, 1}, {'c', 4, 3}, {'p', 1, 7}},
       Expect::kBlackWins,
       196000},
  });
}

TEST(EvalDefenceOnly, CannonCaseWithPawns) {
  CheckAll({
      {"home advisers, elephants on the wings, pawn on (3, 8)",
       With(kFullDefence, {{'k', 3, 0}, {'a', 4, 1}, {'b', 4, 2}, {'c', 0, 3}, {'p', 3, 8}}),
       Expect::kBlackWins, 197000},
      {"the same with black's king raised and no central elephant",
       With(kFullDefence, {{'k', 3, 1}, {'a', 4, 1}, {'c', 0, 3}, {'p', 3, 8}}), Expect::kBlackWins,
       198000},
      {"elephants against cannon and adviser: k from black's elephants",
       {{'K', 3, 9}, {'B', 4, 7}, {'k', 4, 2}, {'a', 4, 1}, {'c', 0, 5}, {'p', 2, 6}},
       Expect::kBlackWins,
       196500},
      {"cannon on black's back rank lowers k",
       {{'K', 3, 9}, {'B', 4, 7}, {'k', 4, 2}, {'a', 4, 1}, {'c', 0, 0}, {'p', 2, 6}},
       Expect::kBlackWins,
       197000},
      {"lone pawn without black defenders against an elephant",
       {{'K', 3, 9}, {'B', 4, 7}, {'k', 4, 2}, {'c', 0, 5}, {'p', 2, 6}},
       Expect::kRedHolds,
       0},
  });
}

TEST(EvalDefenceOnly, ByDefenders) {
  CheckAll({
      // Four defenders against a lone chariot without useful pawns.
      {"kings on file 5, advisers (5, 7) and (4, 8)",
       {{'K', 5, 9}, {'A', 5, 7}, {'A', 4, 8}, {'B', 2, 9}, {'B', 6, 9}, {'k', 5, 0}, {'r', 8, 3}},
       Expect::kBlackWins,
       192000},
      {"kings on file 5, advisers (5, 7) and (3, 7)",
       {{'K', 5, 9}, {'A', 5, 7}, {'A', 3, 7}, {'B', 2, 9}, {'B', 6, 9}, {'k', 5, 0}, {'r', 8, 3}},
       Expect::kBlackWins,
       191500},
      {"lone chariot, no pawns", With(kFullDefence, {kBlackKing, {'r', 0, 0}}),
       Expect::kRedHolds, 0},
      {"lone chariot, only a pawn on red's back rank",
       With(kFullDefence, {kBlackKing, {'r', 0, 0}, {'p', 0, 9}}), Expect::kBlackWins, 191000},
      {"lone chariot, a useful pawn", With(kFullDefence, {kBlackKing, {'r', 0, 0}, {'p', 0, 5}}),
       Expect::kBlackWins, 194500},
      {"three defenders and the red pawn against a chariot",
       {kRedKing, {'A', 3, 9}, {'A', 5, 9}, {'B', 2, 9}, {'P', 0, 3}, kBlackKing, {'r', 0, 0}},
       Expect::kBlackWins,
       197000},
      // One adviser against two cannons: the red pawn's rank matters.
      {"adviser against two cannons",
       {kRedKing, {'A', 4, 8}, kBlackKing, {'c', 0, 2}, {'c', 8, 2}},
       Expect::kBlackWins,
       196000},
      {"adviser and a pawn on rank 1 against two cannons",
       {kRedKing, {'A', 4, 8}, {'P', 2, 1}, kBlackKing, {'c', 0, 2}, {'c', 8, 2}},
       Expect::kBlackWins,
       195000},
      {"adviser and a pawn on rank 4 against two cannons",
       {kRedKing, {'A', 4, 8}, {'P', 2, 4}, kBlackKing, {'c', 0, 2}, {'c', 8, 2}},
       Expect::kBlackWins,
       188500},
      // One elephant against two cannons: 195,500 + 50m.
      {"elephant against two cannons, m = 3",
       {kRedKing, {'B', 4, 7}, {'k', 4, 2}, {'c', 0, 0}, {'c', 8, 5}},
       Expect::kBlackWins,
       195650},
      {"elephant against cannon and adviser, centre file open",
       {{'K', 3, 9}, {'B', 4, 7}, {'k', 4, 2}, {'a', 4, 1}, {'c', 0, 5}},
       Expect::kBlackWins,
       197000},
      {"elephant against cannon and adviser, cannon on (4, 4)",
       {{'K', 3, 9}, {'B', 4, 7}, {'k', 4, 2}, {'a', 4, 1}, {'c', 4, 4}},
       Expect::kBlackWins,
       195500},
      {"elephant against cannon on (4, 0) behind the adviser",
       {{'K', 3, 9}, {'B', 4, 7}, {'k', 5, 0}, {'a', 4, 1}, {'c', 4, 0}},
       Expect::kBlackWins,
       196000},
      {"elephant and pawn on (4, 2) against cannon and one adviser",
       {{'K', 3, 9}, {'B', 4, 7}, {'P', 4, 2}, {'k', 4, 0}, {'a', 5, 0}, {'c', 0, 5}},
       Expect::kRedHolds,
       0},
      // No defenders.
      {"knights, black king on the centre file",
       {{'K', 3, 9}, {'k', 4, 0}, {'n', 0, 0}},
       Expect::kBlackWins,
       198500},
      {"two cannons against a pawn on rank 2",
       {kRedKing, {'P', 2, 2}, kBlackKing, {'c', 0, 5}, {'c', 8, 5}},
       Expect::kBlackWins,
       196000},
      {"cannon, one adviser, pawn beside it on (5, 2)",
       {{'K', 3, 9}, {'P', 5, 2}, {'k', 4, 1}, {'a', 5, 0}, {'c', 0, 5}},
       Expect::kRedHolds,
       0},
      {"cannon, one adviser away from the pawn",
       {{'K', 3, 9}, {'P', 5, 2}, {'k', 4, 1}, {'a', 3, 0}, {'c', 0, 5}},
       Expect::kBlackWins,
       196000},
  });
}

TEST(EvalDefenceOnly, SingleAdviserAgainstPawnsWithAnElephant) {
  const std::vector<At> base = {{'K', 5, 9}, {'A', 4, 8}, {'b', 4, 2}, {'n', 0, 0}, {'p', 4, 7}};
  CheckAll({
      {"black king off its home file", With(base, {{'k', 3, 0}}), Expect::kBlackWins, 197000},
      {"a pawn still on black's side", With(base, {{'k', 3, 0}, {'p', 0, 4}}), Expect::kBlackWins,
       196500},
      {"king home, adviser on (3, 9), pawn on (5, 7)",
       {{'K', 5, 9}, {'A', 3, 9}, {'k', 4, 0}, {'b', 4, 2}, {'n', 0, 0}, {'p', 4, 7}, {'p', 5, 7}},
       Expect::kBlackWins,
       198500},
  });
}

TEST(EvalDefenceOnly, CannonTail) {
  const std::vector<At> pawnsBesideKing = With(
      {kRedKing, {'A', 4, 8}, {'A', 3, 9}, {'B', 2, 9}, {'B', 6, 9}}, {{'p', 5, 8}, {'p', 3, 8}});
  CheckAll({
      {"full defence, cannon off the centre", With(pawnsBesideKing, {kBlackKing, {'c', 0, 5}}),
       Expect::kBlackWins, 192000},
      {"full defence, cannon on (4, 5), black king on (4, 0)",
       With(pawnsBesideKing, {{'k', 4, 0}, {'c', 4, 5}}), Expect::kBlackWins, 193000},
      {"full defence, cannon on (4, 5), black king on file 3",
       With(pawnsBesideKing, {kBlackKing, {'c', 4, 5}}), Expect::kBlackWins, 194000},
      {"pawns on both wings against two advisers",
       {kRedKing, {'A', 3, 9}, {'A', 5, 9}, kBlackKing, {'c', 0, 3}, {'p', 2, 6}, {'p', 6, 6}},
       Expect::kBlackWins,
       192900},
      {"cannon shut in on (3, 8)",
       {{'K', 3, 9}, {'A', 3, 7}, {'A', 4, 8}, {'B', 4, 7}, {'k', 4, 0}, {'c', 3, 8}, {'p', 2, 8}},
       Expect::kRedHolds,
       0},
  });
  // Two advisers and a pawn that stays home against cannons.
  CheckAll({
      {"two cannons, the red pawn on rank 4",
       {kRedKing, {'A', 4, 8}, {'A', 3, 9}, {'P', 2, 4}, kBlackKing, {'c', 0, 2}, {'c', 8, 2}},
       Expect::kRedHolds,
       0},
      {"two cannons, the red pawn on rank 2",
       {kRedKing, {'A', 4, 8}, {'A', 3, 9}, {'P', 2, 2}, kBlackKing, {'c', 0, 2}, {'c', 8, 2}},
       Expect::kRedHolds,
       0},
      {"two cannons, the red pawn on rank 1",
       {kRedKing, {'A', 4, 8}, {'A', 3, 9}, {'P', 2, 1}, kBlackKing, {'c', 0, 2}, {'c', 8, 2}},
       Expect::kBlackWins,
       188500},
  });
}

TEST(EvalDefenceOnly, KnightTail) {
  CheckAll({
      {"both elephants guard the pawn's crossing square",
       {kRedKing, {'B', 4, 7}, {'B', 8, 7}, kBlackKing, {'n', 1, 0}, {'p', 6, 3}},
       Expect::kRedHolds,
       0},
      {"elephants at home: two defenders, no red pawn",
       {kRedKing, {'B', 2, 9}, {'B', 6, 9}, kBlackKing, {'n', 1, 0}, {'p', 6, 3}},
       Expect::kBlackWins,
       191000},
      {"elephants at home and a red pawn",
       {kRedKing, {'B', 2, 9}, {'B', 6, 9}, {'P', 0, 3}, kBlackKing, {'n', 1, 0}, {'p', 6, 3}},
       Expect::kBlackWins,
       190500},
      {"the same with black's bare king on the centre file",
       {{'K', 3, 9}, {'B', 2, 9}, {'B', 6, 9}, {'k', 4, 0}, {'n', 1, 0}, {'p', 6, 3}},
       Expect::kBlackWins,
       192500},
      {"knight pinned in front of red's king",
       {{'K', 3, 9}, {'A', 4, 8}, {'B', 4, 7}, {'k', 3, 1}, {'n', 3, 7}, {'p', 0, 5}},
       Expect::kRedHolds,
       0},
      {"low pawn against advisers on (4, 8) and (3, 9)",
       {kRedKing, {'A', 4, 8}, {'A', 3, 9}, {'B', 2, 9}, kBlackKing, {'n', 0, 0}, {'p', 6, 8}},
       Expect::kRedHolds,
       0},
      {"high pawn against the same",
       {kRedKing, {'A', 4, 8}, {'A', 3, 9}, {'B', 2, 9}, kBlackKing, {'n', 0, 0}, {'p', 6, 6}},
       Expect::kBlackWins,
       192000},
      {"no red elephant, black's centre file open",
       {kRedKing, {'A', 4, 8}, {'A', 3, 9}, {'k', 4, 0}, {'n', 0, 0}, {'p', 6, 6}},
       Expect::kBlackWins,
       194000},
      {"no red elephant, black adviser on (4, 1)",
       {kRedKing, {'A', 4, 8}, {'A', 3, 9}, {'k', 4, 0}, {'a', 4, 1}, {'n', 0, 0}, {'p', 6, 6}},
       Expect::kBlackWins,
       193000},
  });
}

TEST(EvalDefenceOnly, CaseRoutinesLeaveFlagNoneWhenNothingApplies) {
  testing_support::SetUpFen(Fen({kRedKing, {'A', 4, 8}, kBlackKing, {'n', 0, 0}}));
  for (auto routine :
       {DefenceOnlyCannonCaseRed, DefenceOnlyOneDefenderCaseRed, DefenceOnlyCannonTailRed}) {
    EndgameVerdict v{777, kVerdictExact};
    routine(&v);
    EXPECT_EQ(v.flag, kVerdictNone);
    EXPECT_EQ(v.score, 0);
  }
}

}  // namespace
