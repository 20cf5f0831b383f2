// Fortresses of a single chariot: a full defence against two chariots, and a
// lone chariot tying down the enemy's cannon or knight.
#include "tests/engine/eval/endgame_test_support.h"

namespace {

using namespace endgame_testing;

const EndgameEvaluatorFn kVsTwo = EvalChariotVsTwoChariotsRed;
const EndgameEvaluatorFn kVsTwoTwin = EvalChariotVsTwoChariotsBlack;

TEST(ChariotVsTwoChariots, FullDefenceWithChariotOnTheElephantEye) {
  const Pieces guarded = Board("K49 A48 A39 B47 B69 R55 k40 r03 r83");
  Check(kVsTwo, kVsTwoTwin, guarded, Expect::kRedHolds);
  // The king off its home square.
  Pieces kingAside = guarded;
  kingAside[0] = {'K', 3, 9};
  kingAside[2] = {'A', 5, 9};
  Check(kVsTwo, kVsTwoTwin, kingAside, Expect::kNone);
  // The left-hand set-up: elephant on (2, 9), chariot on (3, 8)'s file.
  Check(kVsTwo, kVsTwoTwin, Board("K49 A48 A59 B47 B29 R35 k40 r13 r73"), Expect::kRedHolds);
}

TEST(ChariotVsTwoChariots, SafeElephantSquaresHoldWithoutTheChariot) {
  const Pieces safe = Board("K49 A48 A39 B47 B69 R05 k40 r13 r73");
  Check(kVsTwo, kVsTwoTwin, safe, Expect::kRedHolds);
  // A black chariot on the elephant's square is fine while the other
  // elephant covers it...
  Pieces covered = safe;
  covered.back() = {'r', 6, 3};
  Check(kVsTwo, kVsTwoTwin, covered, Expect::kRedHolds);
  // ...but not with an adviser on the elephant eye (5, 8).
  Pieces eyeBlocked = covered;
  eyeBlocked[1] = {'A', 5, 8};
  Check(kVsTwo, kVsTwoTwin, eyeBlocked, Expect::kNone);
  // The centre elephant attacked and undefended, with red's own chariot
  // on the eye.
  Check(kVsTwo, kVsTwoTwin, Board("K49 A48 A39 B47 B69 R58 k40 r17 r83"), Expect::kNone);
}

TEST(ChariotCannonVsChariot, CannonAndChariotStuckOnTheBackRank) {
  const EndgameEvaluatorFn fn = EvalChariotCannonVsChariotRed;
  const EndgameEvaluatorFn twin = EvalChariotCannonVsChariotBlack;
  const Pieces right = Board("K49 R80 C60 k40 a41 a50 r64");
  Check(fn, twin, right, Expect::kBlackHolds);
  Check(fn, twin, Board("K49 R00 C20 k40 a41 a30 r25"), Expect::kBlackHolds);
  // The black chariot not on the cannon.
  Pieces free = right;
  free.back() = {'r', 7, 4};
  Check(fn, twin, free, Expect::kNone);
  // The two red pieces on opposite wings.
  Pieces split = right;
  split[1] = {'R', 1, 0};
  Check(fn, twin, split, Expect::kNone);
  // The advisers on the wrong side.
  Pieces advisers = right;
  advisers[5] = {'a', 3, 0};
  Check(fn, twin, advisers, Expect::kNone);
}

TEST(ChariotKnightVsChariot, KnightPinnedOnThePalaceCentre) {
  const EndgameEvaluatorFn fn = EvalChariotKnightVsChariotRed;
  const EndgameEvaluatorFn twin = EvalChariotKnightVsChariotBlack;
  const Pieces pinned = Board("K49 N48 A39 A59 R05 k30 a41 r43");
  Check(fn, twin, pinned, Expect::kBlackHolds);
  // Attacked along the rank instead of the file.
  Pieces sideways = pinned;
  sideways.back() = {'r', 0, 8};
  Check(fn, twin, sideways, Expect::kNone);
  // A piece between, or a red elephant: not this fortress (the selector
  // then looks elsewhere, so the evaluator is called directly).
  Pieces screened = pinned;
  screened.push_back({'P', 4, 5});
  Check(fn, twin, screened, Expect::kNone, 0, /*selected=*/false);
  Pieces elephant = pinned;
  elephant.push_back({'B', 2, 9});
  Check(fn, twin, elephant, Expect::kNone, 0, /*selected=*/false);
}

}  // namespace
