// A chariot against a lone cannon or knight: the graded wins, the fortresses
// of the defender, the selector's choice and the red/black mirror.
#include "tests/engine/eval/endgame_test_support.h"

namespace {

using namespace endgame_testing;

const EndgameEvaluatorFn kVsCannon = EvalChariotVsCannonRed;
const EndgameEvaluatorFn kVsCannonTwin = EvalChariotVsCannonBlack;
const EndgameEvaluatorFn kVsKnight = EvalChariotVsKnightRed;
const EndgameEvaluatorFn kVsKnightTwin = EvalChariotVsKnightBlack;

TEST(ChariotVsCannon, WinsGradedByTheDefence) {
  // A bare king with its cannon.
  Check(kVsCannon, kVsCannonTwin, Board("K49 R05 k30 c62"), Expect::kRedWins, 199000);
  Check(kVsCannon, kVsCannonTwin, Board("K49 R05 k30 c62 b42"), Expect::kRedWins, 198500);
  Check(kVsCannon, kVsCannonTwin, Board("K49 R05 k30 c62 a41"), Expect::kRedWins, 198500);
  // Red's extra pieces do not matter for the grade.
  Check(kVsCannon, kVsCannonTwin, Board("K49 R05 N26 P64 k30 c62"), Expect::kRedWins, 199000);
}

TEST(ChariotVsCannon, AnyDefendingPawnOrUnknownDefenceGivesNone) {
  Check(kVsCannon, kVsCannonTwin, Board("K49 R05 k30 c62 p06"), Expect::kNone);
  // Two elephants and no adviser: no rule.
  Check(kVsCannon, kVsCannonTwin, Board("K49 R05 N15 k30 c62 b20 b60"), Expect::kNone);
}

TEST(ChariotVsCannon, AdvisersAndKingFortress) {
  const Pieces right = Board("K39 R05 k40 a41 a50 c75");
  Check(kVsCannon, kVsCannonTwin, right, Expect::kBlackHolds);
  Pieces kingBeside = right;
  kingBeside[2] = {'k', 3, 1};
  Check(kVsCannon, kVsCannonTwin, kingBeside, Expect::kBlackHolds);
  Pieces kingAway = right;
  kingAway[2] = {'k', 5, 1};
  Check(kVsCannon, kVsCannonTwin, kingAway, Expect::kNone);
  // The other corner, held by the cannon on (5, 2) while the king stands on
  // the palace top.
  const Pieces left = Board("K39 R05 k42 a41 a30 c52");
  Check(kVsCannon, kVsCannonTwin, left, Expect::kBlackHolds);
  Pieces cannonAway = left;
  cannonAway.back() = {'c', 5, 3};
  Check(kVsCannon, kVsCannonTwin, cannonAway, Expect::kNone);
  // The fortress needs a bare chariot: a red pawn or second attacker breaks it.
  Pieces withPawn = right;
  withPawn.push_back({'P', 8, 3});
  Check(kVsCannon, kVsCannonTwin, withPawn, Expect::kNone);
  Pieces withKnight = right;
  withKnight.push_back({'N', 8, 5});
  Check(kVsCannon, kVsCannonTwin, withKnight, Expect::kNone);
}

TEST(ChariotVsKnight, TableByAdvisersAndElephants) {
  // Red also holds a knight, so the elephants do not stop the table.
  Check(kVsKnight, kVsKnightTwin, Board("K39 R05 N17 k40 a30 a50 b20 b60 n62"), Expect::kRedWins,
        192000);
  Check(kVsKnight, kVsKnightTwin, Board("K39 R05 C17 k40 a30 b20 n62"), Expect::kRedWins, 195500);
  Check(kVsKnight, kVsKnightTwin, Board("K49 R05 k30 n62"), Expect::kRedWins, 197500);
  Check(kVsKnight, kVsKnightTwin, Board("K49 R05 k40 a41 n62"), Expect::kRedWins, 196000);
}

TEST(ChariotVsKnight, LoneChariotAgainstElephantsOrPawnsKnowsNothing) {
  Check(kVsKnight, kVsKnightTwin, Board("K39 R05 k40 a30 a50 b20 b60 n65"), Expect::kNone);
  Check(kVsKnight, kVsKnightTwin, Board("K49 R05 N17 k40 n62 p86"), Expect::kNone);
}

TEST(ChariotVsKnight, KnightBeforeHomeAdvisersHolds) {
  const Pieces holds = Board("K39 R05 k40 a30 a50 n22");
  Check(kVsKnight, kVsKnightTwin, holds, Expect::kBlackHolds);
  // On the centre file or beyond the river the table decides instead.
  Pieces centre = holds;
  centre.back() = {'n', 4, 2};
  Check(kVsKnight, kVsKnightTwin, centre, Expect::kRedWins, 194000);
  Pieces advanced = holds;
  advanced.back() = {'n', 2, 5};
  Check(kVsKnight, kVsKnightTwin, advanced, Expect::kRedWins, 194000);
  // The king off its home square.
  Pieces kingUp = holds;
  kingUp[2] = {'k', 4, 1};
  Check(kVsKnight, kVsKnightTwin, kingUp, Expect::kRedWins, 194000);
}

TEST(ChariotVsCannonElephants, ConnectedElephantsHoldWithTheCannonInPlay) {
  const Pieces right = Board("K49 R05 k40 b42 b60 c12");
  Check(EvalChariotVsCannonElephantsRed, EvalChariotVsCannonElephantsBlack, right,
        Expect::kBlackHolds);
  const Pieces left = Board("K49 R05 k40 b42 b20 c67");
  Check(EvalChariotVsCannonElephantsRed, EvalChariotVsCannonElephantsBlack, left,
        Expect::kBlackHolds);
  // The cannon on its own back rank or deep in red's camp does not hold.
  for (const At cannon : {At{'c', 1, 1}, At{'c', 1, 8}}) {
    Pieces off = right;
    off.back() = cannon;
    Check(EvalChariotVsCannonElephantsRed, EvalChariotVsCannonElephantsBlack, off, Expect::kNone);
  }
  // An adviser on the elephant's eye cuts the elephants apart.
  Pieces blocked = right;
  blocked.push_back({'a', 5, 1});
  Check(EvalChariotVsCannonElephantsRed, EvalChariotVsCannonElephantsBlack, blocked, Expect::kNone);
}

TEST(ChariotVsKnightElephants, KnightFortresses) {
  const EndgameEvaluatorFn fn = EvalChariotVsKnightElephantsRed;
  const EndgameEvaluatorFn twin = EvalChariotVsKnightElephantsBlack;
  Check(fn, twin, Board("K49 R05 k40 a41 b42 b20 n52"), Expect::kBlackHolds);
  Check(fn, twin, Board("K49 R05 k30 a41 b42 b60 n32"), Expect::kBlackHolds);
  // The knight on the elephant's forward point, the red king off file 5.
  const Pieces forward = Board("K49 R05 k30 a50 b42 b20 n64");
  Check(fn, twin, forward, Expect::kBlackHolds);
  Pieces kingOnFive = forward;
  kingOnFive[0] = {'K', 5, 9};
  Check(fn, twin, kingOnFive, Expect::kNone);
  // The edge knight needs its pawn in front.
  const Pieces edge = Board("K49 R76 k50 a30 b42 b60 n05 p04");
  Check(fn, twin, edge, Expect::kBlackHolds);
  Pieces noPawn = edge;
  noPawn.pop_back();
  Check(fn, twin, noPawn, Expect::kNone);
  // Nothing without the centre elephant.
  Check(fn, twin, Board("K49 R05 k40 a41 b02 b20 n52"), Expect::kNone);
}

}  // namespace
