// The attack on the enemy palace, written once for both sides. Internal to
// palace_attack*.cpp and their tests.
//
// Every rule names its squares as red sees them when it attacks the black
// palace: (file, rank), rank 0 the defender's back rank. For black's attack
// on the red palace the ranks are mirrored (rank r becomes 9 - r), the
// colours of the pieces are exchanged, and "attacker to move" means black to
// move. Attack is the side's view of side_view.h with the (file, rank)
// forms of its board tests, the landing bonus, and the per-side constants of
// the few places where black's attack is not the exact mirror of red's.
#pragma once

#include <cstdint>

#include "engine/eval/full_eval.h"
#include "engine/eval/side_view.h"

namespace palace_attack {

template <uint32_t kSide>
struct Attack : SideView<kSide> {
  using Base = SideView<kSide>;

  // --- Where black's attack differs from the mirror of red's ---
  // Group 1: the king in a back corner with an attacking knight two files
  // away, an attacking pawn on the palace centre and no defending adviser.
  static constexpr int32_t kCornerKingPawnBonus = kSide == kRed ? 300 : 150;
  // Group 1: the file of the knight-behind-an-empty-square bonus when the
  // king stands on (3, 2); with the king on (5, 2) it is file 3 for both.
  static constexpr int kSideKingKnightFile = kSide == kRed ? 3 : 5;
  // Group 3: on the right wing a defending knight pinned on the back rank
  // scores like a cannon.
  static constexpr bool kRightPinScoresKnight = kSide == kBlack;
  // Group 5: an attacking knight on the right edge square (8, 2).
  static constexpr int32_t kRightEdgeKnightBonus = kSide == kRed ? 50 : 33;
  // Group 5: the knight patterns against the king at home ask whether red's
  // strong pieces bear on the adviser-file square (3, 1) or (5, 1).
  static constexpr bool kHomeKingPatternsAskRedStrong = kSide == kBlack;
  // Group 6: an attacking chariot on (3, 3)..(3, 6) with the defending
  // adviser on (5, 0): attacker to move | defender to move.
  static constexpr int32_t kFile3ChariotOnMove = kSide == kRed ? 100 : 150;
  static constexpr int32_t kFile3ChariotOffMove = kSide == kRed ? 50 : 150;

  // --- The board on (file, rank) squares; files are never mirrored ---
  using Base::AttOn;
  using Base::DefOn;
  using Base::Empty;
  using Base::HoldsAtt;
  using Base::HoldsDef;
  using Base::Occupied;
  static bool AttOn(uint32_t type, int file, int rank) { return AttOn(type, Base::Sq(file, rank)); }
  static bool DefOn(uint32_t type, int file, int rank) { return DefOn(type, Base::Sq(file, rank)); }
  static bool Occupied(int file, int rank) { return Occupied(Base::Sq(file, rank)); }
  static bool Empty(int file, int rank) { return Empty(Base::Sq(file, rank)); }
  static bool HoldsAtt(int file, int rank) { return HoldsAtt(Base::Sq(file, rank)); }
  static bool HoldsDef(int file, int rank) { return HoldsDef(Base::Sq(file, rank)); }

  // Landing bonus: a chariot can go to s and no defending piece attacks it.
  static void Landing(FullEvalState& s, Square sq) {
    if (Base::EitherChariotCanGo(sq) && Base::Unattacked(sq))
      Base::Total(s) += Base::AtMove(500, 200);
  }
};

// File f on the first wing of a mirror pair, 8 - f on the second.
constexpr int WingFile(int wing, int file) { return wing == 0 ? file : 8 - file; }

// The groups of the section told by the attacking side. Each only adds to
// the totals.
// Group 0: defending pieces hemmed in and the defending chariots' mobility.
// These rules also close the attacker's pawn and knight terms, which run
// right before the attack; they count once, here.
template <uint32_t kSide, RuleSet kRules>
void HemmedDefendersGroup(FullEvalState& s);
// Group 1: attacking knights against a king off the palace centre.
template <uint32_t kSide>
void OffCentreKingGroup(FullEvalState& s);
// Group 2: defending knights and pawns in and beside the palace.
template <uint32_t kSide, RuleSet kRules>
void DefendingKnightsGroup(FullEvalState& s);
// Group 3: attacking cannons on the back rank and pinned defenders.
template <uint32_t kSide>
void BackRankPinsGroup(FullEvalState& s);
// Group 5: attacking knights against the elephants and beside the palace.
// Returns the wing code (1 right, 2 left) that group 6 reads, or 0 when
// group 6 is not to run.
template <uint32_t kSide>
int32_t KnightWingGroup(FullEvalState& s);
// Group 6: attack strength and the files beside the king, for wing code w.
template <uint32_t kSide>
void AttackStrengthGroup(FullEvalState& s, int32_t w);
// Group 8, parts 2 and 3: a cannon on the back rank with both chariots, and
// cannons on the back rank against the advisers.
template <uint32_t kSide>
void BackRankBatteryGroup(FullEvalState& s);
// Group 9: a defending knight that screens its own king.
template <uint32_t kSide>
void ScreeningKnightGroup(FullEvalState& s);

}  // namespace palace_attack
