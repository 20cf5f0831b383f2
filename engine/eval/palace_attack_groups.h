// The attack on the enemy palace, written once for both sides. Internal to
// palace_attack*.cpp and their tests.
//
// Every rule names its squares as red sees them when it attacks the black
// palace: (file, rank), rank 0 the defender's back rank. For black's attack
// on the red palace the ranks are mirrored (rank r becomes 9 - r), the
// colours of the pieces are exchanged, and "attacker to move" means black to
// move. The few places where black's attack is not the exact mirror of
// red's are the per-side constants of Attack below.
#pragma once

#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/position/position.h"

namespace palace_attack {

template <uint32_t kSide>
struct Attack {
  static constexpr uint32_t kAtt = kSide;
  static constexpr uint32_t kDef = 1 - kSide;
  // Red's piece index + offset is the same piece of the side.
  static constexpr uint32_t kAttOffset = kSide == kRed ? 0 : 16;
  static constexpr uint32_t kDefOffset = 16 - kAttOffset;
  // Colourless type + offset is the coloured type of the side.
  static constexpr uint32_t kAttType = kSide == kRed ? 0 : 7;
  static constexpr uint32_t kDefType = 7 - kAttType;

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

  // --- Squares ---
  static constexpr Square Sq(int file, int rank) {
    return MakeSquare(file, kSide == kRed ? rank : 9 - rank);
  }
  // Rank of a playing square as the attacker counts it.
  static constexpr int Rank(Square s) { return kSide == kRed ? RankOf(s) : 9 - RankOf(s); }
  // n ranks nearer the attacker's / the defender's back rank.
  static constexpr Square TowardAttacker(Square s, int n) { return kSide == kRed ? s + n : s - n; }
  static constexpr Square TowardDefender(Square s, int n) { return kSide == kRed ? s - n : s + n; }
  // wingZone as red's attack reads it: 1..3 on the defender's half.
  static uint32_t WingZone(Square s) {
    const uint32_t v = wingZone[s];
    if (kSide == kRed || v == 0) return v;
    return v > 3 ? v - 3 : v + 3;
  }
  static uint32_t PalaceZone(Square s) {
    return kSide == kRed ? blackPalaceZone[s] : redPalaceZone[s];
  }

  // --- Pieces ---
  static constexpr uint32_t AttPiece(uint32_t redIndex) { return redIndex + kAttOffset; }
  static constexpr uint32_t DefPiece(uint32_t redIndex) { return redIndex + kDefOffset; }
  static Square DefKing() { return posPiece[DefPiece(1)]; }
  // File of a piece, -1 when it has been captured.
  static int FileOfPiece(uint32_t piece) {
    return posPiece[piece] != 0 ? FileOf(posPiece[piece]) : -1;
  }
  static int32_t AttCount(uint32_t type) {
    return static_cast<int32_t>(pieceCount[kAtt][type - 1]);
  }
  static int32_t DefCount(uint32_t type) {
    return static_cast<int32_t>(pieceCount[kDef][type - 1]);
  }
  static int32_t AttAttackers() { return static_cast<int32_t>(attackerCount[kAtt]); }
  static int32_t DefAttackers() { return static_cast<int32_t>(attackerCount[kDef]); }

  // --- Board ---
  static bool IsAttOn(uint32_t type, Square s) { return typeBoard[s] == type + kAttType; }
  static bool IsDefOn(uint32_t type, Square s) { return typeBoard[s] == type + kDefType; }
  static bool IsAtt(uint32_t type, int file, int rank) { return IsAttOn(type, Sq(file, rank)); }
  static bool IsDef(uint32_t type, int file, int rank) { return IsDefOn(type, Sq(file, rank)); }
  static bool OccupiedOn(Square s) { return board[s] != 0; }
  static bool Occupied(int file, int rank) { return OccupiedOn(Sq(file, rank)); }
  static bool Empty(int file, int rank) { return !Occupied(file, rank); }
  static bool HoldsAttOn(Square s) {
    return kSide == kRed ? board[s] > 0 && board[s] <= 16 : board[s] > 16;
  }
  static bool HoldsDefOn(Square s) {
    return kSide == kRed ? board[s] > 16 : board[s] > 0 && board[s] <= 16;
  }
  static bool HoldsAtt(int file, int rank) { return HoldsAttOn(Sq(file, rank)); }
  static bool HoldsDef(int file, int rank) { return HoldsDefOn(Sq(file, rank)); }

  // --- Attack tests ---
  // A defending knight, chariot, cannon or pawn attacks s.
  static bool Guarded(Square s) {
    return (kSide == kRed ? BlackStrongAttackerOf(s) : RedStrongAttackerOf(s)) != 0;
  }
  static bool AttStrongAttacks(Square s) {
    return (kSide == kRed ? RedStrongAttackerOf(s) : BlackStrongAttackerOf(s)) != 0;
  }
  // Any defending piece but the king attacks s.
  static bool DefAttacks(Square s) {
    constexpr uint32_t kNoExclusion = 0xFFFFFFFFu;
    return (kSide == kRed ? BlackAttackerOf(s, kNoExclusion) : RedAttackerOf(s, kNoExclusion)) != 0;
  }
  static int32_t DefAttackCount(Square s) {
    return static_cast<int32_t>(kSide == kRed ? BlackAttackCount(s) : RedAttackCount(s));
  }
  // An attacking knight, chariot or cannon attacks s, by board scan.
  static bool AttStrongAttacksByScan(Square s) {
    return (kSide == kRed ? RedStrongAttackerByScan(s) : BlackStrongAttackerByScan(s)) != 0;
  }
  // The attacking chariot (red index) has a clear line to s.
  static bool Reaches(uint32_t redIndex, Square s) {
    return ChariotAttacksSquare(AttPiece(redIndex), s) != 0;
  }
  // The attacking chariot (red index) reaches s without exposing its king.
  static bool CanGo(uint32_t redIndex, Square s) {
    const uint32_t c = AttPiece(redIndex);
    return (kSide == kRed ? RedChariotMoveUnpinned(c, s) : BlackChariotMoveUnpinned(c, s)) != 0;
  }

  // --- Scores ---
  static int32_t AtMove(int32_t onMove, int32_t offMove) {
    return sideToMove == kAtt ? onMove : offMove;
  }
  static int32_t& Total(FullEvalState& s) { return kSide == kRed ? s.redTotal : s.blackTotal; }
  static int32_t ZonePawns(const FullEvalState& s) {
    return kSide == kRed ? s.redZonePawns : s.blackZonePawns;
  }
  static int32_t ZoneKnights(const FullEvalState& s) {
    return kSide == kRed ? s.redZoneKnights : s.blackZoneKnights;
  }
  static int32_t Strength(const FullEvalState& s) {
    return kSide == kRed ? s.redAttackStrength : s.blackAttackStrength;
  }
  // Landing bonus: a chariot can go to s and no defending piece attacks it.
  static void Landing(FullEvalState& s, Square sq) {
    if ((CanGo(8, sq) || CanGo(9, sq)) && !DefAttacks(sq)) Total(s) += AtMove(500, 200);
  }
};

// File f on the first wing of a mirror pair, 8 - f on the second.
constexpr int WingFile(int wing, int file) { return wing == 0 ? file : 8 - file; }

// The groups of the section told by the attacking side. Each only adds to
// the totals.
// Group 0: defending pieces hemmed in and the defending chariots' mobility.
template <uint32_t kSide>
void HemmedDefendersGroup(FullEvalState& s);
// Group 1: attacking knights against a king off the palace centre.
template <uint32_t kSide>
void OffCentreKingGroup(FullEvalState& s);
// Group 2: defending knights and pawns in and beside the palace.
template <uint32_t kSide>
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
