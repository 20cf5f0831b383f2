// The attack on the enemy palace seen from the attacking side, for the
// king-square and central-cannon rules. The rules are told once, for red
// attacking the black palace, with squares as (file, rank) from black's back
// rank; black's attack on the red palace is the same rule with every rank
// mirrored, the colours exchanged and the side-to-move pair read from
// black's view. A view of one side turns the told squares, pieces, tests and
// totals into those of the side it stands for, and may in addition mirror
// the files, for the rules that come in a left and a right form.
#pragma once

#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/position/position.h"

template <uint32_t kSide>
class AttackSideView {
 public:
  static constexpr uint32_t kOwn = kSide;
  static constexpr uint32_t kFoe = 1 - kSide;
  static constexpr PieceIndex kOwnOffset = 16 * kOwn;
  static constexpr PieceIndex kFoeOffset = 16 * kFoe;
  static constexpr PieceIndex kOwnKing = 1 + kOwnOffset;
  static constexpr PieceIndex kFoeKing = 1 + kFoeOffset;
  // Any value outside 1..32: the attacker tests skip no piece.
  static constexpr uint32_t kNoExclusion = 0xFFFFFFFFu;

  AttackSideView(FullEvalState& s, bool fileMirrored) : s_(s), mirrored_(fileMirrored) {}

  // --- Squares and files ---------------------------------------------------
  // The square told as (file, rank) for red against the black palace.
  Square At(int file, int rank) const {
    return MakeSquare(mirrored_ ? 8 - file : file, kOwn == kRed ? rank : 9 - rank);
  }
  int File(int file) const { return mirrored_ ? 8 - file : file; }
  // The rank of a board square as the red form of the rules counts it.
  static int TellRank(Square s) { return kOwn == kRed ? RankOf(s) : 9 - RankOf(s); }
  // wingZone code of the told code 1..3 (the defender's half) for this view.
  int WingCode(int told) const {
    const int code = mirrored_ ? 4 - told : told;  // 1 <-> 3 under a file mirror
    return kOwn == kRed ? code : code + 3;
  }
  bool OnWing(Square s, int told) const { return s != 0 && wingZone[s] == WingCode(told); }
  // The file-mirrored view of the same side.
  AttackSideView Mirrored() const { return AttackSideView(s_, !mirrored_); }
  bool FileMirrored() const { return mirrored_; }

  // --- Board contents ------------------------------------------------------
  static bool Empty(Square s) { return board[s] == 0; }
  static bool Occupied(Square s) { return board[s] != 0; }
  static bool HoldsOwn(Square s) {
    return kOwn == kRed ? board[s] > 0 && board[s] <= 16 : board[s] > 16;
  }
  static bool HoldsFoe(Square s) {
    return kOwn == kRed ? board[s] > 16 : board[s] > 0 && board[s] <= 16;
  }
  static bool IsOwn(Square s, uint32_t type) { return typeBoard[s] == type + 7 * kOwn; }
  static bool IsFoe(Square s, uint32_t type) { return typeBoard[s] == type + 7 * kFoe; }

  // --- Pieces --------------------------------------------------------------
  static constexpr PieceIndex OwnKnight(int i) { return 6 + i + kOwnOffset; }
  static constexpr PieceIndex OwnChariot(int i) { return 8 + i + kOwnOffset; }
  static constexpr PieceIndex OwnCannon(int i) { return 10 + i + kOwnOffset; }
  static constexpr PieceIndex FoeChariot(int i) { return 8 + i + kFoeOffset; }
  static Square SquareOf(PieceIndex p) { return posPiece[p]; }
  static Square OwnKingSquare() { return posPiece[kOwnKing]; }
  static Square FoeKingSquare() { return posPiece[kFoeKing]; }
  bool OwnKingOnFile(int told) const { return FileOf(OwnKingSquare()) == File(told); }
  // A piece on the board standing on the told file.
  bool OnFile(PieceIndex p, int told) const {
    return posPiece[p] != 0 && FileOf(posPiece[p]) == File(told);
  }
  static bool OnTellRank(PieceIndex p, int rank) {
    return posPiece[p] != 0 && TellRank(posPiece[p]) == rank;
  }

  // --- Material ------------------------------------------------------------
  static int32_t Own(uint32_t type) { return static_cast<int32_t>(pieceCount[kOwn][type - 1]); }
  static int32_t Foe(uint32_t type) { return static_cast<int32_t>(pieceCount[kFoe][type - 1]); }
  static int32_t OwnAttackers() { return static_cast<int32_t>(attackerCount[kOwn]); }
  static int32_t FoeAttackers() { return static_cast<int32_t>(attackerCount[kFoe]); }

  // --- Attack tests --------------------------------------------------------
  static bool Reaches(PieceIndex chariot, Square s) {
    return ChariotAttacksSquare(chariot, s) != 0;
  }
  static bool EitherChariotReaches(Square s) {
    return Reaches(OwnChariot(0), s) || Reaches(OwnChariot(1), s);
  }
  // The own king's file or rank line to s is clear.
  static bool KingLineTo(Square s) { return ChariotAttacksSquare(kOwnKing, s) != 0; }
  // The chariot reaches s and leaving its square does not expose the own king.
  static bool CanGo(PieceIndex chariot, Square s) {
    return (kOwn == kRed ? RedChariotMoveUnpinned(chariot, s)
                         : BlackChariotMoveUnpinned(chariot, s)) != 0;
  }
  static bool EitherChariotCanGo(Square s) {
    return CanGo(OwnChariot(0), s) || CanGo(OwnChariot(1), s);
  }
  // A knight, chariot, cannon or pawn of the defending side attacks s.
  static bool Guarded(Square s) {
    return (kOwn == kRed ? BlackStrongAttackerOf(s) : RedStrongAttackerOf(s)) != 0;
  }
  static bool OwnStrongAttacker(Square s) {
    return (kOwn == kRed ? RedStrongAttackerOf(s) : BlackStrongAttackerOf(s)) != 0;
  }
  // Any piece of the defending side but its king attacks s.
  static bool FoeAttacks(Square s) {
    return (kOwn == kRed ? BlackAttackerOf(s, kNoExclusion) : RedAttackerOf(s, kNoExclusion)) != 0;
  }
  static int32_t OwnAttackCount(Square s) {
    return static_cast<int32_t>(kOwn == kRed ? RedAttackCount(s) : BlackAttackCount(s));
  }
  static int32_t FoeAttackCount(Square s) {
    return static_cast<int32_t>(kOwn == kRed ? BlackAttackCount(s) : RedAttackCount(s));
  }
  static int32_t OwnStrongAttackCount(Square s) {
    return static_cast<int32_t>(kOwn == kRed ? RedStrongAttackCount(s) : BlackStrongAttackCount(s));
  }
  static int32_t PalaceThreat() {
    return kOwn == kRed ? ChariotPalaceThreatRed() : ChariotPalaceThreatBlack();
  }
  static PieceIndex AdvancedPawn(int32_t n) {
    return kOwn == kRed ? FindAdvancedPawnRed(n) : FindAdvancedPawnBlack(n);
  }
  // The squares from which the chariot would bear on the defending king.
  static void LineAttackSquares(PieceIndex chariot, Square* first, Square* second) {
    FindLineAttackSquares(chariot, kFoeKing, first, second);
  }

  // --- Working values and totals -------------------------------------------
  // a with the attacking side to move, b with the defending side to move.
  static int32_t Pair(int32_t a, int32_t b) { return sideToMove == kOwn ? a : b; }
  int32_t& OwnTotal() const { return kOwn == kRed ? s_.redTotal : s_.blackTotal; }
  int32_t& FoeTotal() const { return kOwn == kRed ? s_.blackTotal : s_.redTotal; }
  int32_t ZonePawns() const { return kOwn == kRed ? s_.redZonePawns : s_.blackZonePawns; }
  int32_t ZoneKnights() const { return kOwn == kRed ? s_.redZoneKnights : s_.blackZoneKnights; }
  int32_t OwnStrength() const {
    return kOwn == kRed ? s_.redAttackStrength : s_.blackAttackStrength;
  }
  int32_t FoeStrength() const {
    return kOwn == kRed ? s_.blackAttackStrength : s_.redAttackStrength;
  }
  int32_t MiddlegameLevel() const { return s_.middlegameLevel; }
  void Add(int32_t amount) const { OwnTotal() += amount; }

  // Entry bonus: a chariot reaching s scores by whether s is guarded.
  void EntryBonus(PieceIndex chariot, Square s) const {
    if (!Reaches(chariot, s)) return;
    Add(Guarded(s) ? 50 : Pair(500, 200));
  }

 private:
  FullEvalState& s_;
  bool mirrored_;
};
