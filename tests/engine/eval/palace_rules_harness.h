// Runs one group of the palace-attack rules on a hand-built position, with
// the working values that the full evaluator's set-up hands to its term
// groups, and on the colour-and-rank mirror of that position.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/eval/prepare.h"
#include "engine/position/position.h"
#include "tests/engine/eval/board_builder.h"
#include "tests/support/test_position.h"

namespace palace_rules_testing {

using eval_testing::At;
using GroupFn = void (*)(FullEvalState&);

struct Totals {
  int32_t red;
  int32_t black;
};

// The zone counts, attack strengths and middlegame level of the position on
// the board, computed as the evaluator's set-up does; both totals start at 0.
inline FullEvalState PreparedState() {
  FullEvalState s{};
  const uint32_t ra = attackerCount[kRed];
  const uint32_t ba = attackerCount[kBlack];
  s.balance = materialBalance;
  s.middlegameLevel =
      ra >= 5 && ba >= 5 && pieceCount[kRed][kPawn - 1] >= 3 && pieceCount[kBlack][kPawn - 1] >= 3
          ? 2
          : 1;
  if (ra <= 3 || ba <= 3) s.middlegameLevel = 0;
  for (PieceIndex i = 12; i <= 16; ++i) s.redZonePawns += blackPalaceZone[posPiece[i]] != 0;
  for (PieceIndex i = 28; i <= 32; ++i) s.blackZonePawns += redPalaceZone[posPiece[i]] != 0;
  for (PieceIndex i : {6u, 7u}) s.redZoneKnights += redKnightTargetSquares[posPiece[i]] != 0;
  for (PieceIndex i : {22u, 23u}) s.blackZoneKnights += blackKnightTargetSquares[posPiece[i]] != 0;
  s.redAttackStrength = attackWeight[kRed] + s.redZonePawns;
  s.blackAttackStrength = attackWeight[kBlack] + s.blackZonePawns;
  s.redCanWin = 1;
  s.blackCanWin = 1;
  return s;
}

// Runs the group on the position on the board; the position must come out
// exactly as it went in.
inline Totals RunOnBoard(GroupFn group) {
  const auto before = testing_support::PositionSnapshot::Take();
  FullEvalState s = PreparedState();
  group(s);
  EXPECT_TRUE(before == testing_support::PositionSnapshot::Take());
  return {s.redTotal, s.blackTotal};
}

inline Totals Score(GroupFn group, const std::vector<At>& pieces, char side) {
  testing_support::SetUpFen(eval_testing::Fen(pieces, side));
  return RunOnBoard(group);
}

// The same position with colours exchanged, ranks mirrored and the other
// side to move, prepared again.
inline Totals ScoreSwapped(GroupFn group, const std::vector<At>& pieces, char side) {
  testing_support::SetUpFen(eval_testing::Fen(pieces, side));
  SwapColours();
  PrepareEvaluation();
  return RunOnBoard(group);
}

// The pieces with colours exchanged and ranks mirrored.
inline std::vector<At> ColourMirror(const std::vector<At>& pieces) {
  std::vector<At> out;
  for (At p : pieces) {
    p.piece = static_cast<char>(p.piece >= 'a' ? p.piece - 32 : p.piece + 32);
    p.rank = 9 - p.rank;
    out.push_back(p);
  }
  return out;
}

// The pieces with files mirrored (file f becomes 8 - f).
inline std::vector<At> FileMirror(const std::vector<At>& pieces) {
  std::vector<At> out;
  for (At p : pieces) {
    p.file = 8 - p.file;
    out.push_back(p);
  }
  return out;
}

// One position and the group's additions with red and with black to move.
struct Case {
  const char* name;
  std::vector<At> pieces;
  Totals redToMove;
  Totals blackToMove;
};

// Checks red's group on each case, the file mirror of each case where the
// rules are their own file mirror, and black's group on the colour mirror.
inline void CheckCases(const std::vector<Case>& cases, GroupFn red, GroupFn black,
                       bool fileMirrorToo) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const char side : {'w', 'b'}) {
      SCOPED_TRACE(side == 'w' ? "red to move" : "black to move");
      const Totals want = side == 'w' ? c.redToMove : c.blackToMove;
      const Totals got = Score(red, c.pieces, side);
      EXPECT_EQ(got.red, want.red);
      EXPECT_EQ(got.black, want.black);
      if (fileMirrorToo) {
        const Totals mirrored = Score(red, FileMirror(c.pieces), side);
        EXPECT_EQ(mirrored.red, want.red) << "file mirror";
        EXPECT_EQ(mirrored.black, want.black) << "file mirror";
      }
      const Totals swapped = ScoreSwapped(black, c.pieces, side);
      EXPECT_EQ(swapped.black, want.red) << "colour mirror";
      EXPECT_EQ(swapped.red, want.black) << "colour mirror";
    }
  }
}

}  // namespace palace_rules_testing
