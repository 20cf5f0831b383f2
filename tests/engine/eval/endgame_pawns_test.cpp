// Pawn endings: the decision list over useful pawns, defenders, king squares
// and fixed set-ups, checked with both sides to move and on the colour-swapped
// position.
#include "tests/engine/eval/endgame_test_support.h"

namespace {

using namespace endgame_testing;

// Runs EvalPawnEnding with each side to move and expects verdict e; the
// selector must pick it, and it must give the same verdict on the
// colour-swapped position.
void Check(const Pieces& pieces, Expect e, int32_t x = 0) {
  endgame_testing::Check(EvalPawnEnding, EvalPawnEnding, pieces, e, x);
}

TEST(PawnEnding, OneUsefulPawn) {
  // Against a bare king a pawn short of the back rank wins; on the back
  // rank it is useless and the position is a dead draw.
  Check(Board("K49 P44 k30"), Expect::kRedWins, 192000);
  Check(Board("K49 P40 k51 p89"), Expect::kDraw);
  // A pawn each and a black elephant (one or two).
  Check(Board("K49 P44 k30 b20 p66"), Expect::kBlackHolds);
  Check(Board("K49 P44 k30 b20 b60 p66"), Expect::kBlackHolds);
  // A black pawn in front of red's palace-centre adviser.
  Check(Board("K39 A48 A59 P24 k40 p47 p06"), Expect::kBlackHolds);
  // Two low black pawns against red's adviser on (5, 7), red's pawn on (3, 4).
  Check(Board("K49 A57 B29 P34 k30 p28 p68"), Expect::kRedHolds);
  // Red's two pawns low beside the black king's corner, the centre elephant
  // in place.
  Check(Board("K49 P10 P51 k30 b42 b60"), Expect::kBlackHolds);
}

TEST(PawnEnding, NoUsefulPawn) {
  Check(Board("K49 P00 k30 p89"), Expect::kDraw);
  // Black's pawn has passed the red king and red keeps an elephant to move.
  const Pieces passed = Board("K47 B29 k30 p18");
  Check(passed, Expect::kNoAttackersDraw);
  // Not yet past the king: a single pawn against an elephant still draws.
  Pieces notPassed = passed;
  notPassed[0] = {'K', 4, 8};
  Check(notPassed, Expect::kDraw);
  Pieces twoPawns = notPassed;
  twoPawns.push_back({'p', 6, 5});
  Check(twoPawns, Expect::kNone);
  // One elephant shut in is enough to keep the draw.
  Check(Board("K47 A48 A38 B69 B29 k30 p78 p18"), Expect::kNoAttackersDraw);
  // Both elephants shut in: no exact draw, though two pawns still cannot
  // break the full defence.
  Check(Board("K47 A58 A38 B69 B29 k30 p78 p18"), Expect::kRedHolds);
}

TEST(PawnEnding, SideWithoutDefenders) {
  Check(Board("K49 P24 k30 p65"), Expect::kDraw);
  // Red's pawn stopped by the elephants, black's pawn free.
  Check(Board("K49 P66 k30 b42 p25"), Expect::kBlackWins, 192500);
  Check(Board("K49 P65 k30 b82 p25"), Expect::kBlackWins, 192500);
  Check(Board("K49 P66 P26 k30 b42 b82 p75"), Expect::kBlackWins, 192000);
}

TEST(PawnEnding, PawnsAgainstElephants) {
  Check(Board("K49 P24 P64 k30"), Expect::kRedWins, 192000);
  // One pawn against elephants draws unless both elephants stand at home.
  Check(Board("K49 P44 k30 b20"), Expect::kDraw);
  Check(Board("K49 P44 k30 b20 b60"), Expect::kNone);
  // The black king shut in its corner by the pawn on (5, 0); the second
  // pawn on (3, 2) grades by the red king's file.
  for (const int file : {3, 4, 5})
    Check({{'K', file, 9}, {'P', 5, 0}, {'P', 3, 2}, {'k', 3, 0}, {'b', 6, 0}}, Expect::kRedWins,
          199500 - 500 * (file - 3));
  // ... or on (2, 1), graded by red's palace.
  Check(Board("K49 P50 P21 k30 b64"), Expect::kRedWins, 199500);
  Check(Board("K59 A48 B47 P50 P21 k30 b64"), Expect::kRedWins, 198000);
  // Two low pawns against both elephants.
  Check(Board("K49 P00 P11 k50 b20 b60"), Expect::kBlackHolds);
  // The king sheltering beside its elephants.
  Check(Board("K49 P51 P22 k31 b42 b60"), Expect::kDraw);
  // With the king on the palace top both low pawns are already behind it.
  Check(Board("K49 P51 P21 k32 b42 b60"), Expect::kNoAttackersDraw);
  // Two high pawns otherwise win.
  Check(Board("K49 P23 P63 k30 b20 b60"), Expect::kRedWins, 191500);
}

TEST(PawnEnding, ThreePawnPatterns) {
  Check(Board("K59 P31 P62 P52 k51"), Expect::kRedWins, 197500);
  Check(Board("K59 P31 P62 P53 k50"), Expect::kRedWins, 197000);
  Check(Board("K49 P31 P62 P53 k50"), Expect::kRedWins, 192000);
  Check(Board("K39 P51 P32 P22 k31"), Expect::kRedWins, 197500);
  Check(Board("K39 P51 P23 P63 k40"), Expect::kRedWins, 195500);
  // Three free pawns beat even the full defence.
  Check(Board("K49 P23 P43 P63 k40 a41 a30 b42 b20"), Expect::kRedWins, 192000);
}

TEST(PawnEnding, TwoPawnsAgainstAdvisersOrTheCentre) {
  // A pawn on the palace centre, the king in its corner: by elephants.
  Check(Board("K49 P41 P64 k30 b60"), Expect::kRedWins, 192500);
  Check(Board("K49 P41 P64 k30 p27"), Expect::kRedWins, 193000);
  // Against advisers: pawns on both wings or on the centre file.
  Check(Board("K39 P23 P63 k40 a30 a50"), Expect::kRedWins, 191500);
  Check(Board("K39 P13 P43 k40 a30 a50"), Expect::kRedWins, 191500);
  Check(Board("K39 P23 P63 k40 a50"), Expect::kRedWins, 192000);
  // Both on one wing: the generic table wins against one adviser only.
  Check(Board("K39 P13 P23 k40 a50"), Expect::kRedWins, 191500);
  Check(Board("K39 P13 P23 k40 a30 a50"), Expect::kNone);
}

TEST(PawnEnding, FacingPawnsWithOneCrossedPawn) {
  // Facing on file 4 (ranks 3 and 5); the crossed pawn on file 2.
  Check(Board("K49 P45 P24 k30 b20 p43"), Expect::kRedWins, 190500);
  // No crossed pawn: the elephant holds.
  Check(Board("K49 P45 P26 k30 b20 p43"), Expect::kBlackHolds);
  // Facing on ranks 4 and 6: without elephants any crossed pawn on rank 4.
  Check(Board("K49 P46 P04 k30 p44"), Expect::kRedWins, 189500);
  // The rank-6 pairs need the crossed pawn on rank 4 itself.
  Check(Board("K49 P46 P03 k30 p44"), Expect::kNone);
  // With an elephant the crossed pawn must stand beside the file.
  Check(Board("K49 P46 P04 k30 b20 p44"), Expect::kNone);
  Check(Board("K49 P46 P24 k30 b20 p44"), Expect::kRedWins, 190500);
}

TEST(PawnEnding, OnePawnAgainstAdvisers) {
  Check(Board("K49 P43 k30 a41"), Expect::kRedWins, 191500);
  // A pawn on the palace-top rank still counts as high.
  Check(Board("K39 P22 k40 a41"), Expect::kRedWins, 191500);
  // A low pawn against the adviser: no knowledge.
  Check(Board("K49 P21 k30 a41"), Expect::kNone);
  Check(Board("K39 P43 k40 a30 a50"), Expect::kBlackHolds);
  Check(Board("K49 P43 k30 a41 b20"), Expect::kBlackHolds);
  Check(Board("K39 P23 P63 k40 a41 a30 b42 b20"), Expect::kBlackHolds);
}

}  // namespace
