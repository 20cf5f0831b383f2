// One attacking side's view of the enemy palace, shared by the rule files
// of the palace attack (palace_attack*.cpp, king-square, central-cannon,
// back-rank and closing-attack rules). Internal to the evaluation and its
// tests.
//
// The rules name their squares as red sees them when it attacks the black
// palace: (file, rank), rank 0 the defender's back rank. When black attacks
// the red palace the ranks are mirrored (rank r becomes 9 - r), the colours
// of the pieces are exchanged, and "attacker to move" means black to move.
// Pieces are named by red's PieceIndex (8 and 9 the chariots, 10 and 11 the
// cannons, 1 the king) and read as the same piece of the side.
//
// SideView never mirrors files. WingView reads a rule written for the right
// wing on either wing, chosen at compile time; AttackSideView carries the
// evaluation's working values and mirrors the files at run time.
#pragma once

#include <array>
#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/position/position.h"

// The ranks and files that cross a palace: every square of ranks 0..2 and of
// files 3..5 for the black palace; the rank mirror (ranks 7..9) for red's.
inline constexpr std::array<uint8_t, kBoardSize> blackPalaceLines = [] {
  std::array<uint8_t, kBoardSize> t{};
  for (int f = 0; f < 9; ++f)
    for (int r = 0; r < 10; ++r) t[MakeSquare(f, r)] = r <= 2 || (f >= 3 && f <= 5) ? 1 : 0;
  return t;
}();
inline constexpr std::array<uint8_t, kBoardSize> redPalaceLines = [] {
  std::array<uint8_t, kBoardSize> t{};
  for (int f = 0; f < 9; ++f)
    for (int r = 0; r < 10; ++r) t[MakeSquare(f, r)] = r >= 7 || (f >= 3 && f <= 5) ? 1 : 0;
  return t;
}();

// Every member is a static read of the position or of the working values.
template <uint32_t kSide>
struct SideView {
  static constexpr uint32_t kAtt = kSide;
  static constexpr uint32_t kDef = 1 - kSide;
  // Red's PieceIndex + offset is the same piece of the side.
  static constexpr uint32_t kAttOffset = kSide == kRed ? 0 : 16;
  static constexpr uint32_t kDefOffset = 16 - kAttOffset;
  // Colourless type + offset is the coloured type of the side.
  static constexpr uint32_t kAttType = kSide == kRed ? 0 : 7;
  static constexpr uint32_t kDefType = 7 - kAttType;

  // --- Squares ---
  static constexpr Square Sq(int file, int rank) {
    return MakeSquare(file, kSide == kRed ? rank : 9 - rank);
  }
  // Rank of a playing square as the attacker counts it.
  static constexpr int Rank(Square s) { return kSide == kRed ? RankOf(s) : 9 - RankOf(s); }
  // n ranks nearer the attacker's / the defender's back rank.
  static constexpr Square TowardAttacker(Square s, int n) { return kSide == kRed ? s + n : s - n; }
  static constexpr Square TowardDefender(Square s, int n) { return kSide == kRed ? s - n : s + n; }
  // wingZone as red's attack reads it: 1 (files 5..8), 2, 3 (files 0..3) on
  // the defender's half, 4..6 on the attacker's.
  static uint32_t WingZone(Square s) {
    const uint32_t v = wingZone[s];
    if (kSide == kRed || v == 0) return v;
    return v > 3 ? v - 3 : v + 3;
  }
  static uint32_t PalaceZone(Square s) {
    return kSide == kRed ? blackPalaceZone[s] : redPalaceZone[s];
  }
  static bool OnPalaceLines(Square s) {
    return (kSide == kRed ? blackPalaceLines[s] : redPalaceLines[s]) != 0;
  }
  // backRankWingFlags of the defender's back rank: 1 files 0..2, 2 files 6..8.
  static uint32_t BackRankWing(Square s) {
    const uint32_t v = backRankWingFlags[s];
    return kSide == kRed ? (v & 3) : (v >> 2) & 3;
  }

  // --- Pieces (named by red's PieceIndex) ---
  static constexpr uint32_t Att(uint32_t redIndex) { return redIndex + kAttOffset; }
  static constexpr uint32_t Def(uint32_t redIndex) { return redIndex + kDefOffset; }
  static Square AttSquare(uint32_t redIndex) { return posPiece[Att(redIndex)]; }
  static Square DefSquare(uint32_t redIndex) { return posPiece[Def(redIndex)]; }
  static Square AttKing() { return posPiece[Att(1)]; }
  static Square DefKing() { return posPiece[Def(1)]; }
  // The attacking piece is on the board, on the file.
  static bool OnFile(uint32_t redIndex, int file) {
    const Square s = AttSquare(redIndex);
    return s != 0 && FileOf(s) == file;
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
  static bool AttOn(uint32_t type, Square s) { return typeBoard[s] == type + kAttType; }
  static bool DefOn(uint32_t type, Square s) { return typeBoard[s] == type + kDefType; }
  static bool Empty(Square s) { return board[s] == 0; }
  static bool Occupied(Square s) { return board[s] != 0; }
  static bool HoldsAtt(Square s) {
    return kSide == kRed ? board[s] > 0 && board[s] <= 16 : board[s] > 16;
  }
  static bool HoldsDef(Square s) {
    return kSide == kRed ? board[s] > 16 : board[s] > 0 && board[s] <= 16;
  }
  static bool AttChariotOrPawn(Square s) { return AttOn(kChariot, s) || AttOn(kPawn, s); }

  // --- Attack tests ---
  // A defending knight, chariot, cannon or pawn attacks s.
  static bool Guarded(Square s) {
    return (kSide == kRed ? BlackStrongAttackerOf(s) : RedStrongAttackerOf(s)) != 0;
  }
  // An attacking knight, chariot, cannon or pawn attacks s.
  static bool AttStrongAttacks(Square s) {
    return (kSide == kRed ? RedStrongAttackerOf(s) : BlackStrongAttackerOf(s)) != 0;
  }
  // No defending piece but the king attacks s.
  static bool Unattacked(Square s) {
    constexpr uint32_t kExcludeNone = 0;
    return (kSide == kRed ? BlackAttackerOf(s, kExcludeNone) : RedAttackerOf(s, kExcludeNone)) == 0;
  }
  static int32_t DefAttackCount(Square s) {
    return static_cast<int32_t>(kSide == kRed ? BlackAttackCount(s) : RedAttackCount(s));
  }
  static int32_t AttAttackCount(Square s) {
    return static_cast<int32_t>(kSide == kRed ? RedAttackCount(s) : BlackAttackCount(s));
  }
  static int32_t AttStrongAttackCount(Square s) {
    return static_cast<int32_t>(kSide == kRed ? RedStrongAttackCount(s)
                                              : BlackStrongAttackCount(s));
  }
  // An attacking knight, chariot or cannon attacks s, by board scan.
  static bool AttStrongAttacksByScan(Square s) {
    return (kSide == kRed ? RedStrongAttackerByScan(s) : BlackStrongAttackerByScan(s)) != 0;
  }
  // Nothing stands between the attacking piece (a chariot, a cannon or the
  // king) and s on its file or rank.
  static bool Reaches(uint32_t redIndex, Square s) {
    return ChariotAttacksSquare(Att(redIndex), s) != 0;
  }
  // The attacking chariot reaches s without exposing its own king.
  static bool CanGo(uint32_t redIndex, Square s) {
    const uint32_t c = Att(redIndex);
    return (kSide == kRed ? RedChariotMoveUnpinned(c, s) : BlackChariotMoveUnpinned(c, s)) != 0;
  }
  // The attacking king's file or rank line to s is clear.
  static bool KingLineTo(Square s) { return Reaches(1, s); }
  static bool EitherChariotReaches(Square s) { return Reaches(8, s) || Reaches(9, s); }
  static bool EitherChariotCanGo(Square s) { return CanGo(8, s) || CanGo(9, s); }
  // The squares from which the attacking chariot would bear on the
  // defending king.
  static void LineAttackSquares(uint32_t redIndex, Square* first, Square* second) {
    FindLineAttackSquares(Att(redIndex), Def(1), first, second);
  }
  static int32_t PalaceThreat() {
    return kSide == kRed ? ChariotPalaceThreatRed() : ChariotPalaceThreatBlack();
  }
  static PieceIndex AdvancedPawn(int32_t n) {
    return kSide == kRed ? FindAdvancedPawnRed(n) : FindAdvancedPawnBlack(n);
  }

  // --- Scores ---
  static int32_t AtMove(int32_t onMove, int32_t offMove) {
    return sideToMove == kAtt ? onMove : offMove;
  }
  static int32_t& Total(FullEvalState& s) { return kSide == kRed ? s.redTotal : s.blackTotal; }
  static int32_t& DefTotal(FullEvalState& s) { return kSide == kRed ? s.blackTotal : s.redTotal; }
  static int32_t ZonePawns(const FullEvalState& s) {
    return kSide == kRed ? s.redZonePawns : s.blackZonePawns;
  }
  static int32_t ZoneKnights(const FullEvalState& s) {
    return kSide == kRed ? s.redZoneKnights : s.blackZoneKnights;
  }
  static int32_t Strength(const FullEvalState& s) {
    return kSide == kRed ? s.redAttackStrength : s.blackAttackStrength;
  }
  static int32_t DefStrength(const FullEvalState& s) {
    return kSide == kRed ? s.blackAttackStrength : s.redAttackStrength;
  }
};

// The squares of one wing of the defender's half. Rules are written for the
// right wing (files 5..8, kLeft false); the left wing reads file f as 8 - f.
template <uint32_t kSide, bool kLeft>
struct WingView : SideView<kSide> {
  static constexpr int F(int file) { return kLeft ? 8 - file : file; }
  static constexpr Square At(int file, int rank) { return SideView<kSide>::Sq(F(file), rank); }
  // fileSide of the wing's files.
  static constexpr uint8_t kFileSide = kLeft ? 2 : 1;
  // WingZone of the wing's files on the defender's half and on the
  // attacker's half.
  static constexpr uint32_t kNearZone = kLeft ? 3 : 1;
  static constexpr uint32_t kFarZone = kLeft ? 6 : 4;
  // BackRankWing of the wing's three outer back-rank squares.
  static constexpr uint32_t kBackRank = kLeft ? 1 : 2;
};

// The view bound to one call's working values, for the rules that come in a
// left and a right form chosen at run time (the king-square and central
// cannon rules). Every file given to it is a told file: read as 8 - f when
// the view is file-mirrored.
template <uint32_t kSide>
class AttackSideView : public SideView<kSide> {
  using Base = SideView<kSide>;

 public:
  AttackSideView(FullEvalState& s, bool fileMirrored) : s_(s), mirrored_(fileMirrored) {}

  // --- Told squares and files ---
  Square At(int file, int rank) const { return Base::Sq(File(file), rank); }
  int File(int told) const { return mirrored_ ? 8 - told : told; }
  // The wingZone code of the told code 1..3 (the defender's half).
  int WingCode(int told) const {
    const int code = mirrored_ ? 4 - told : told;  // 1 <-> 3 under a file mirror
    return kSide == kRed ? code : code + 3;
  }
  bool OnWing(Square s, int told) const { return s != 0 && wingZone[s] == WingCode(told); }
  // The file-mirrored view of the same side.
  AttackSideView Mirrored() const { return AttackSideView(s_, !mirrored_); }
  bool FileMirrored() const { return mirrored_; }

  // --- The board on told squares ---
  using Base::AttOn;
  using Base::DefOn;
  using Base::Empty;
  using Base::HoldsDef;
  using Base::Occupied;
  bool AttOn(uint32_t type, int file, int rank) const { return Base::AttOn(type, At(file, rank)); }
  bool DefOn(uint32_t type, int file, int rank) const { return Base::DefOn(type, At(file, rank)); }
  bool Empty(int file, int rank) const { return Base::Empty(At(file, rank)); }
  bool Occupied(int file, int rank) const { return Base::Occupied(At(file, rank)); }
  bool HoldsDef(int file, int rank) const { return Base::HoldsDef(At(file, rank)); }
  // The attacking piece is on the board, on the told file.
  bool OnFile(uint32_t redIndex, int told) const { return Base::OnFile(redIndex, File(told)); }
  bool AttKingOnFile(int told) const { return FileOf(Base::AttKing()) == File(told); }
  // The attacking piece is on the board, on the rank as the attacker counts it.
  static bool OnRank(uint32_t redIndex, int rank) {
    const Square s = Base::AttSquare(redIndex);
    return s != 0 && Base::Rank(s) == rank;
  }

  // --- Working values and totals ---
  void Add(int32_t amount) const { Base::Total(s_) += amount; }
  void AddToDefender(int32_t amount) const { Base::DefTotal(s_) += amount; }
  int32_t ZonePawns() const { return Base::ZonePawns(s_); }
  int32_t ZoneKnights() const { return Base::ZoneKnights(s_); }
  int32_t Strength() const { return Base::Strength(s_); }
  int32_t DefStrength() const { return Base::DefStrength(s_); }
  int32_t MiddlegameLevel() const { return s_.middlegameLevel; }

  // Entry bonus: a chariot reaching s scores by whether s is guarded.
  void EntryBonus(uint32_t redIndex, Square s) const {
    if (!Base::Reaches(redIndex, s)) return;
    Add(Base::Guarded(s) ? 50 : Base::AtMove(500, 200));
  }

 private:
  FullEvalState& s_;
  bool mirrored_;
};
