// Minor-piece endings: a cannon against a knight with pawns, a lone piece
// against pawns, a knight against two knights, a cannon against two cannons
// and a knight with pawns against a side without advisers.
#include "tests/engine/eval/endgame_test_support.h"

namespace {

using namespace endgame_testing;

TEST(CannonVsKnightPawns, NoUsefulEnemyPawnHolds) {
  // The only black pawn stands on red's back rank.
  Check(EvalCannonVsKnightPawnsRed, EvalCannonVsKnightPawnsBlack, Board("K49 C17 k30 n62 p09"),
        Expect::kRedHolds);
  // Red's two pawns, on their start squares, are stopped by black's
  // elephants.
  Check(EvalCannonVsKnightPawnsBlack, EvalCannonVsKnightPawnsRed,
        Board("K49 N17 P26 P66 k30 c12 b42 b82"), Expect::kBlackHolds);
}

TEST(CannonVsKnightPawns, OnePawnInFrontOfTheKingWins) {
  const Pieces base = Board("K49 C17 k30 n62 p25");
  Check(EvalCannonVsKnightPawnsRed, EvalCannonVsKnightPawnsBlack, base, Expect::kBlackWins, 197500);
  // The pawn has gone past the king, or stands level with it.
  Check(EvalCannonVsKnightPawnsRed, EvalCannonVsKnightPawnsBlack, Board("K47 C17 k30 n62 p18"),
        Expect::kNone);
  Check(EvalCannonVsKnightPawnsRed, EvalCannonVsKnightPawnsBlack, Board("K48 C17 k30 n62 p18"),
        Expect::kNone);
  // An elephant, or a second useful pawn, leaves the position open.
  Pieces elephant = base;
  elephant.push_back({'B', 2, 9});
  Check(EvalCannonVsKnightPawnsRed, EvalCannonVsKnightPawnsBlack, elephant, Expect::kNone);
  Pieces twoPawns = base;
  twoPawns.push_back({'p', 6, 5});
  Check(EvalCannonVsKnightPawnsRed, EvalCannonVsKnightPawnsBlack, twoPawns, Expect::kNone);
}

TEST(LoneMinorVsPawns, TwoUsefulPawnsWinGradedByThePalace) {
  const EndgameEvaluatorFn fn = EvalLoneMinorVsPawnsBlack;
  const EndgameEvaluatorFn twin = EvalLoneMinorVsPawnsRed;
  // k = 24, less 1 each for the king on file 4, the empty (4, 7) and the
  // empty palace squares (4, 8), (5, 7), (3, 7).
  Check(fn, twin, Board("K49 P24 P64 k30 n62"), Expect::kRedWins, 189500);
  Check(fn, twin, Board("K49 A48 B47 P24 P64 k30 n62"), Expect::kRedWins, 188500);
  Check(fn, twin, Board("K39 A48 B47 P24 P64 k30 n62"), Expect::kRedWins, 188000);
  // Against a lone cannon, red's cannon counts one step: k starts at 23.
  Check(fn, twin, Board("K39 C17 P24 P64 k30 c72"), Expect::kRedWins, 189500);
  Check(fn, twin, Board("K49 C17 P24 P64 k30 c72"), Expect::kRedWins, 190000);
}

TEST(LoneMinorVsPawns, FewerThanTwoUsefulPawnsHold) {
  Check(EvalLoneMinorVsPawnsBlack, EvalLoneMinorVsPawnsRed, Board("K49 P50 P54 k30 n62"),
        Expect::kBlackHolds);
  // Two pawns on their start squares facing black pawns: both blocked.
  // (Black's own pawns keep the selector away; the rule still holds.)
  Check(EvalLoneMinorVsPawnsBlack, EvalLoneMinorVsPawnsRed, Board("K49 P26 P66 k30 n62 p23 p63"),
        Expect::kBlackHolds, 0, /*selected=*/false);
}

TEST(KnightVsTwoKnights, BareKnightLoses) {
  const Pieces bare = Board("K49 N17 k30 n62 n22 p46");
  Check(EvalKnightVsTwoKnightsRed, EvalKnightVsTwoKnightsBlack, bare, Expect::kBlackWins, 188000);
  Pieces adviser = bare;
  adviser.push_back({'A', 4, 8});
  Check(EvalKnightVsTwoKnightsRed, EvalKnightVsTwoKnightsBlack, adviser, Expect::kNone);
  Pieces elephant = bare;
  elephant.push_back({'B', 2, 9});
  Check(EvalKnightVsTwoKnightsRed, EvalKnightVsTwoKnightsBlack, elephant, Expect::kNone);
}

TEST(CannonVsTwoCannons, DrawishnessCorrection) {
  const EndgameEvaluatorFn fn = EvalCannonVsTwoCannonsBlack;
  const EndgameEvaluatorFn twin = EvalCannonVsTwoCannonsRed;
  // The red king on (4, 7) and nothing else: v = 10.
  Check(fn, twin, Board("K47 C05 C85 k30 c13"), Expect::kDrawish, 300);
  Check(fn, twin, Board("K48 C05 C85 k30 c13"), Expect::kDrawish, 200);
  Check(fn, twin, Board("K49 C05 C85 k30 c13"), Expect::kDrawish, 0);
  // Both red cannons home on different ranks: 12 - 2 - 1.
  Check(fn, twin, Board("K39 C38 C59 k30 c13"), Expect::kDrawish, 400);
  // On one rank: 12 - 2.
  Check(fn, twin, Board("K39 C38 C58 k30 c13"), Expect::kDrawish, 300);
  // Black's king up with its cannon on the back rank: one more.
  Check(fn, twin, Board("K39 C38 C59 k41 c20"), Expect::kDrawish, 300);
}

TEST(CannonVsTwoCannons, KingBeforeItsCannonHolds) {
  const EndgameEvaluatorFn fn = EvalCannonVsTwoCannonsBlack;
  const EndgameEvaluatorFn twin = EvalCannonVsTwoCannonsRed;
  const Pieces fortress = Board("K39 C05 C85 k41 c40");
  Check(fn, twin, fortress, Expect::kBlackHolds);
  Check(fn, twin, Board("K49 C05 C85 k52 c50"), Expect::kBlackHolds);
  // A red cannon on the file, or a red adviser, spoils it; the position
  // then gets the plain correction (v = 13 with black's cannon at home).
  Pieces cannonOnFile = fortress;
  cannonOnFile[2] = {'C', 4, 5};
  Check(fn, twin, cannonOnFile, Expect::kDrawish, 0);
  Pieces adviser = fortress;
  adviser.push_back({'A', 4, 8});
  Check(fn, twin, adviser, Expect::kDrawish, 0);
}

TEST(KnightPawnsVsNoAdvisers, WinsUnlessEnemyPawnsOutnumberAdvisers) {
  const EndgameEvaluatorFn fn = EvalKnightPawnsVsNoAdvisersRed;
  Check(fn, nullptr, Board("K49 N17 P41 k30 p09 p89"), Expect::kRedWins, 195500);
  Check(fn, nullptr, Board("K49 N17 P41 k32 p09 p89"), Expect::kRedWins, 195000);
  const Pieces pawns = Board("K49 N17 P44 A48 k30 p25 p65");
  Check(fn, nullptr, pawns, Expect::kNone);
  Pieces twoAdvisers = pawns;
  twoAdvisers.push_back({'A', 3, 9});
  Check(fn, nullptr, twoAdvisers, Expect::kRedWins, 195000);
}

}  // namespace
