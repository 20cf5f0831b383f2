// The rules chosen by the defending king's square, shared between
// king_square_rules.cpp (the choice and the blocks off the home square) and
// king_square_home.cpp (the block for the king on its home square).
#pragma once

#include <cstdint>

#include "engine/eval/full_eval.h"
#include "engine/eval/side_view.h"

// Where black's rules against the red king are not the exact mirror of red's
// rules against the black king.
template <uint32_t kSide>
struct KingSquareTwin;

template <>
struct KingSquareTwin<kRed> {
  // King on a palace-front corner, last rule: the attacking pawn stands on
  // the opposite palace-front corner (false) or on the palace centre (true).
  static constexpr bool kCornerPawnOnCentre = false;
  // King on the left back corner: the rank of the second cannon, on file 2
  // (the right back corner uses rank 1 for both sides).
  static constexpr int kLeftSecondCannonRank = 1;
  // King on the palace centre with a chariot: thirds of 100 per chariot and
  // per zone knight (true) or 25 each (false).
  static constexpr bool kCentreChariotThirds = false;
  // King on the palace centre: the chariot-and-knight pattern on the empty
  // palace-front corner.
  static constexpr bool kCentreCornerPattern = true;
  // King at home, wing knight: the wing chariots need the defender (false)
  // or the attacker (true) to have at most one adviser.
  static constexpr bool kWingKnightCountsOwnAdvisers = false;
  // King at home, backed chariot on an adviser file: the knight on the
  // palace centre is the defender's (false) or the attacker's (true).
  static constexpr bool kBackedFileOwnKnight = false;
};

template <>
struct KingSquareTwin<kBlack> {
  static constexpr bool kCornerPawnOnCentre = true;
  static constexpr int kLeftSecondCannonRank = 4;
  static constexpr bool kCentreChariotThirds = true;
  static constexpr bool kCentreCornerPattern = false;
  static constexpr bool kWingKnightCountsOwnAdvisers = true;
  static constexpr bool kBackedFileOwnKnight = true;
};

// The block for the defending king on its home square (4, 0). It builds its
// own views of both wings, so that every told square is a constant.
template <uint32_t kSide>
void KingOnHomeSquareRules(FullEvalState& s);
