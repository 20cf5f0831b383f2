// Kings, advisers, elephants and pawns only. The judgement is a decision
// list over the useful pawns of each side (the pawns still able to advance),
// the defenders (advisers and elephants), the kings' squares and a few fixed
// pawn and defender set-ups; every entry ends in a draw, a cannot-lose bound
// or a graded win.
//
// Each rule is written once from the point of view of one side S: squares
// are (file, rank) with rank 9 S's back rank and rank 0 the other side's.
// For black as S the board is read upside down (rank r becomes 9 - r). Every
// group is tried for red first and then for black.
#include <cstdlib>
#include <initializer_list>

#include "engine/eval/endgame.h"
#include "engine/eval/endgame_view.h"
#include "engine/eval/evaluate.h"
#include "engine/position/position.h"

namespace {

// ---------------------------------------------------------------------------
// Values chosen for this evaluator where the pawn-ending rules leave them
// open. Win values are added to half the material balance, so among wins of
// equal value the one with more material scores higher; the generic values
// stay at or below the value of pawns against a bare king so that giving up
// a pawn or letting a defender live never looks better.
// ---------------------------------------------------------------------------

// The "higher" useful-pawn limit: at 2 a pawn on the enemy's back rank or
// the rank in front of it (a bottom or low pawn) no longer counts.
constexpr int32_t kHighPawnLimit = 2;

// One useful pawn against a bare king.
constexpr int32_t kLonePawnWin = 192000;

// Two useful pawns, one on the enemy palace centre with the enemy king shut
// in a back corner, against a side without advisers: by the enemy's
// elephants (0, 1, 2).
constexpr int32_t kCentrePawnWin[3] = {193000, 192500, 192000};

// Two useful pawns spread over both wings or on the centre file in front of
// the palace, against advisers only: by the enemy's advisers (1, 2).
constexpr int32_t kTwoPawnsVsAdvisersWin[2] = {192000, 191500};

// The remaining cases of pawns against defenders, when the defending side
// has no useful pawn of its own: the first entry matching the attacker's
// useful pawns, its high pawns (useful at kHighPawnLimit) and the
// defender's advisers and elephants decides.
enum class PawnOutcome : uint8_t { kWin, kHold };
struct PawnEndingEntry {
  int8_t useful;   // the attacker's useful pawns, exactly
  int8_t minHigh;  // at least this many of them high pawns
  int8_t advisersMin, advisersMax;
  int8_t elephantsMin, elephantsMax;
  PawnOutcome outcome;  // kWin: the attacker wins; kHold: the defender cannot lose
  int32_t win;
};
constexpr PawnEndingEntry kPawnEndingTable[] = {
    // A high pawn wins against a single adviser.
    {1, 1, 1, 1, 0, 0, PawnOutcome::kWin, 191500},
    // A single pawn cannot break two advisers, nor an adviser with elephants.
    {1, 0, 2, 2, 0, 0, PawnOutcome::kHold, 0},
    {1, 0, 1, 2, 1, 2, PawnOutcome::kHold, 0},
    // Two pawns, one of them high, win against a single adviser.
    {2, 1, 1, 1, 0, 0, PawnOutcome::kWin, 191500},
    // Two high pawns win against elephants alone, or an adviser and an
    // elephant.
    {2, 2, 0, 0, 1, 2, PawnOutcome::kWin, 191500},
    {2, 2, 1, 1, 1, 1, PawnOutcome::kWin, 191500},
    // Two pawns cannot break the full defence.
    {2, 0, 2, 2, 2, 2, PawnOutcome::kHold, 0},
};

// ---------------------------------------------------------------------------

constexpr PieceIndex kFirstRedPawn = 12;

struct Point {
  int file, rank;
};

template <uint32_t S>
struct View : EndgameView<S> {
  using Base = EndgameView<S>;
  static bool Own(uint32_t type, int file, int rank) { return Base::Holds(S, type, file, rank); }
  static bool Foe(uint32_t type, int file, int rank) {
    return Base::Holds(Base::kOther, type, file, rank);
  }
  static bool OwnPawnOnAny(std::initializer_list<Point> points) {
    for (const Point& p : points)
      if (Own(kPawn, p.file, p.rank)) return true;
    return false;
  }
  static bool FoeKingOn(int file, int rank) { return Base::KingOn(Base::kOther, file, rank); }
  static int32_t Defenders(uint32_t side) {
    return Base::Count(side, kAdviser) + Base::Count(side, kElephant);
  }
};

// The first live pawn of S, in index order, that has crossed the river
// (rank code 5 or less) with a rank code of at least n; 0 when none.
template <uint32_t S>
PieceIndex FindCrossedPawn(int32_t n) {
  const PieceIndex first = View<S>::First(S, kFirstRedPawn);
  for (PieceIndex p = first; p < first + 5; ++p) {
    const Square s = posPiece[p];
    if (s == 0) continue;
    const int32_t code = S == kRed ? pawnRankCodeRed[s] : pawnRankCodeBlack[s];
    if (code <= 5 && code >= n) return p;
  }
  return 0;
}
PieceIndex FindCrossedPawnRed(int32_t n) { return FindCrossedPawn<kRed>(n); }
PieceIndex FindCrossedPawnBlack(int32_t n) { return FindCrossedPawn<kBlack>(n); }

// Every live pawn of S has gone past the enemy king's rank, so it can no
// longer attack the king.
template <uint32_t S>
bool AllPawnsPastKing() {
  using V = View<S>;
  const int kingRank = V::Rank(V::KingOf(V::kOther));
  const PieceIndex first = V::First(S, kFirstRedPawn);
  for (PieceIndex p = first; p < first + 5; ++p)
    if (posPiece[p] != 0 && V::Rank(posPiece[p]) >= kingRank) return false;
  return true;
}
bool AllPawnsPastKingRed() { return AllPawnsPastKing<kRed>(); }
bool AllPawnsPastKingBlack() { return AllPawnsPastKing<kBlack>(); }

// Three or more useful pawns of S against the enemy palace: mating set-ups
// graded by how close the mate is, else a plain win.
template <uint32_t S>
void PawnEndingPatterns(EndgameVerdict* v) {
  using V = View<S>;
  if (V::UsefulPawns(S, 1) < 3) return;
  const int kingFile = FileOf(V::KingOf(S));
  int32_t x = 192000;
  if (V::FoeKingOn(5, 1) && V::Own(kPawn, 3, 1) && V::Own(kPawn, 6, 2) && V::Own(kPawn, 5, 2) &&
      kingFile == 5)
    x = 197500;
  else if ((V::FoeKingOn(5, 0) || V::FoeKingOn(5, 1)) && V::Own(kPawn, 3, 1) &&
           V::Own(kPawn, 6, 2) && V::Own(kPawn, 5, 3))
    x = kingFile == 5 ? 197000 : 192000;
  else if (V::FoeKingOn(3, 1) && V::Own(kPawn, 5, 1) && V::Own(kPawn, 3, 2) &&
           V::Own(kPawn, 2, 2) && kingFile == 3)
    x = 197500;
  else if ((V::FoeKingOn(3, 0) || V::FoeKingOn(3, 1)) && V::Own(kPawn, 5, 1) &&
           V::Own(kPawn, 3, 3) && V::Own(kPawn, 2, 2))
    x = kingFile == 3 ? 197000 : 192000;
  else if (V::FoeKingOn(4, 0) && (V::Own(kPawn, 5, 1) || V::Own(kPawn, 3, 1)))
    x = 195500;
  SetWinsVerdict(S, x, v);
}
void PawnEndingPatternsRed(EndgameVerdict* v) { PawnEndingPatterns<kRed>(v); }
void PawnEndingPatternsBlack(EndgameVerdict* v) { PawnEndingPatterns<kBlack>(v); }

// S has exactly one useful pawn.
template <uint32_t S>
void OneUsefulPawn(EndgameVerdict* v, int32_t uS, int32_t uO) {
  using V = View<S>;
  constexpr uint32_t O = V::kOther;
  if (uS != 1) return;
  const int32_t ownPawns = V::Count(S, kPawn);
  const int32_t foePawns = V::Count(O, kPawn);
  // A pawn each, and an enemy elephant (one or two) to stop S's pawn.
  if (foePawns == 1 && ownPawns == 1 && V::Count(O, kElephant) >= 1) {
    SetCannotLoseVerdict(O, v);
    return;
  }
  // An enemy pawn in front of S's palace centre adviser locks S's palace.
  if (foePawns == 2 && (ownPawns == 1 || V::Count(S, kElephant) >= 1) &&
      V::Count(S, kAdviser) == 2 && V::Foe(kPawn, 4, 7) && V::Own(kAdviser, 4, 8)) {
    SetCannotLoseVerdict(O, v);
    return;
  }
  // Two low enemy pawns against S's adviser on the palace top, S's own pawn
  // crossed on the opposite palace file.
  if (ownPawns >= 1 && V::Count(S, kAdviser) >= 1 && V::Count(S, kElephant) >= 1 && foePawns == 2 &&
      uO == 2 && V::UsefulPawns(O, kHighPawnLimit) <= 0 &&
      ((V::Own(kAdviser, 5, 7) && (V::Own(kPawn, 3, 4) || V::Own(kPawn, 3, 3))) ||
       (V::Own(kAdviser, 3, 7) && (V::Own(kPawn, 5, 3) || V::Own(kPawn, 5, 4))))) {
    SetCannotLoseVerdict(S, v);
    return;
  }
  const PieceIndex freePawn = S == kRed ? FindPawnNotBeyondRed(1) : FindPawnNotBeyondBlack(1);
  if (foePawns == 0 && V::Defenders(O) == 0 && freePawn != 0) {
    SetWinsVerdict(S, kLonePawnWin, v);
    return;
  }
  // S's pawns are low or on the bottom rank, next to the enemy king's corner
  // with the centre elephant in place.
  if (ownPawns == 2 && V::Foe(kElephant, 4, 2) && V::UsefulPawns(S, kHighPawnLimit) <= 0 &&
      foePawns <= 1 &&
      (((V::Own(kPawn, 1, 0) || V::Own(kPawn, 0, 0)) && V::FoeKingOn(3, 0)) ||
       ((V::Own(kPawn, 7, 0) || V::Own(kPawn, 8, 0)) && V::FoeKingOn(5, 0))) &&
      (V::Count(O, kElephant) == 2 || (uO >= 1 && !V::Foe(kPawn, 4, 7))))
    SetCannotLoseVerdict(O, v);
}

// S has no useful pawn.
template <uint32_t S>
void NoUsefulPawn(EndgameVerdict* v, int32_t uS, int32_t uO) {
  using V = View<S>;
  if (uS != 0) return;
  if (uO == 0) {
    SetDrawVerdict(v);
    return;
  }
  // The enemy pawns are all behind S's king, and S keeps an elephant free
  // to move so that it never runs out of moves.
  const bool bothShutIn = V::Own(kElephant, 6, 9) && V::Occupied(7, 8) && V::Occupied(5, 8) &&
                          V::Own(kElephant, 2, 9) && V::Occupied(3, 8) && V::Occupied(1, 8);
  const bool foePawnsPast = S == kRed ? AllPawnsPastKingBlack() : AllPawnsPastKingRed();
  if (V::Count(S, kElephant) >= 1 && foePawnsPast && !bothShutIn) EvalNoAttackersDraw(v);
}

// S has no adviser and no elephant.
template <uint32_t S>
void NoDefenders(EndgameVerdict* v, int32_t uO) {
  using V = View<S>;
  constexpr uint32_t O = V::kOther;
  if (V::Defenders(S) != 0) return;
  const int32_t ownPawns = V::Count(S, kPawn);
  if (V::Defenders(O) == 0 && ownPawns == 1 && V::Count(O, kPawn) == 1) {
    SetDrawVerdict(v);
    return;
  }
  if (uO <= 0) return;
  // S's pawns stopped by the enemy elephants while an enemy pawn is free.
  const bool rightPawn = V::Own(kPawn, 6, 6) || V::Own(kPawn, 6, 5);
  const bool leftPawn = V::Own(kPawn, 2, 5) || V::Own(kPawn, 2, 6);
  const bool centreElephant = V::Foe(kElephant, 4, 2);
  if (ownPawns == 1 && V::Count(O, kElephant) >= 1 &&
      ((rightPawn && (centreElephant || V::Foe(kElephant, 8, 2))) ||
       (leftPawn && (centreElephant || V::Foe(kElephant, 0, 2))))) {
    SetWinsVerdict(O, 192500, v);
    return;
  }
  if (ownPawns == 2 && V::Count(O, kElephant) == 2 && rightPawn && leftPawn && centreElephant &&
      (V::Foe(kElephant, 8, 2) || V::Foe(kElephant, 0, 2)))
    SetWinsVerdict(O, 192000, v);
}

// S's pawns against elephants without advisers; the enemy has no useful pawn.
template <uint32_t S>
void PawnsVsElephants(EndgameVerdict* v, int32_t uS) {
  using V = View<S>;
  constexpr uint32_t O = V::kOther;
  const int32_t elephants = V::Count(O, kElephant);
  const int32_t ownPawns = V::Count(S, kPawn);
  const bool noHighPawn = V::UsefulPawns(S, kHighPawnLimit) <= 0;
  // Two pawns against both elephants, the king sheltering on the palace
  // edge beside them.
  if (elephants == 2 && uS == 2 && ownPawns == 2 &&
      (V::Foe(kElephant, 4, 2) || (!V::Occupied(4, 2) && !V::Occupied(5, 1)))) {
    if ((V::Foe(kElephant, 6, 0) || V::Foe(kElephant, 8, 2) || V::Foe(kElephant, 6, 4)) &&
        ((V::FoeKingOn(3, 1) && V::OwnPawnOnAny({{5, 1}, {6, 1}, {7, 1}, {8, 1}, {5, 0}}) &&
          V::OwnPawnOnAny({{2, 2}, {1, 2}, {0, 2}})) ||
         (V::FoeKingOn(3, 2) && noHighPawn))) {
      SetDrawVerdict(v);
      return;
    }
    if ((V::Foe(kElephant, 2, 0) || V::Foe(kElephant, 0, 2) || V::Foe(kElephant, 2, 4)) &&
        ((V::FoeKingOn(5, 1) && V::OwnPawnOnAny({{3, 1}, {2, 1}, {1, 1}, {0, 1}}) &&
          V::OwnPawnOnAny({{6, 2}, {7, 2}, {8, 2}})) ||
         (V::FoeKingOn(5, 2) && noHighPawn))) {
      SetDrawVerdict(v);
      return;
    }
  }
  if (elephants == 0) return;
  if (ownPawns == 1) {
    if (!V::Foe(kElephant, 6, 0) || !V::Foe(kElephant, 2, 0)) SetDrawVerdict(v);
    return;
  }
  // The enemy king shut in a back corner by a bottom pawn beside it.
  const int kingFile = FileOf(V::KingOf(S));
  int32_t k = 3;
  if (V::Occupied(4, 8)) ++k;
  if (!V::Occupied(4, 7)) --k;
  if (kingFile == 4) --k;
  if (V::FoeKingOn(3, 0) && V::Own(kPawn, 5, 0)) {
    if (V::Own(kPawn, 3, 2)) {
      SetWinsVerdict(S, 199500 - 500 * std::abs(kingFile - 3), v);
      return;
    }
    if (V::Own(kPawn, 2, 1) && elephants <= 1) {
      SetWinsVerdict(S, 200000 - 500 * k, v);
      return;
    }
  }
  if (V::FoeKingOn(5, 0) && V::Own(kPawn, 3, 0)) {
    if (V::Own(kPawn, 5, 2)) {
      SetWinsVerdict(S, 199500 - 500 * std::abs(kingFile - 5), v);
      return;
    }
    if (V::Own(kPawn, 6, 1) && elephants <= 1) {
      SetWinsVerdict(S, 200000 - 500 * k, v);
      return;
    }
  }
  if (elephants == 2 && uS == 1 && ownPawns == 2 && !V::Own(kPawn, 4, 1) && noHighPawn)
    SetCannotLoseVerdict(O, v);
}

// S's pawns against the enemy defence when the enemy has no useful pawn,
// and two useful pawns against a side without advisers or elephants.
template <uint32_t S>
void PawnsAgainstDefence(EndgameVerdict* v, int32_t uS, int32_t uO) {
  using V = View<S>;
  constexpr uint32_t O = V::kOther;
  const int32_t advisers = V::Count(O, kAdviser);
  const int32_t elephants = V::Count(O, kElephant);
  const int32_t foePawns = V::Count(O, kPawn);
  if (uO == 0 && advisers == 0) {
    PawnsVsElephants<S>(v, uS);
    if (Decided(v)) return;
  }
  if (uO == 0 && V::Count(S, kPawn) >= 3) {
    if (S == kRed)
      PawnEndingPatternsRed(v);
    else
      PawnEndingPatternsBlack(v);
    if (Decided(v)) return;
  }
  if (uS >= 1 && uO == 0 && advisers == 0 && elephants == 0 && foePawns == 0) {
    SetWinsVerdict(S, 192000, v);
    return;
  }
  if (uS != 2) return;
  if (foePawns <= 1 && advisers == 0 && (foePawns != 0 || elephants != 0) && V::Own(kPawn, 4, 1) &&
      (V::FoeKingOn(5, 0) || V::FoeKingOn(3, 0))) {
    SetWinsVerdict(S, kCentrePawnWin[elephants], v);
    return;
  }
  if (foePawns == 0 && elephants == 0 && advisers >= 1 && V::UsefulPawns(S, kHighPawnLimit) >= 1) {
    int32_t right = 0, centre = 0, left = 0;
    if (S == kRed)
      CountPawnWingsRed(&right, &centre, &left);
    else
      CountPawnWingsBlack(&right, &centre, &left);
    if ((right >= 1 && left >= 1) || V::Own(kPawn, 4, 2) || V::Own(kPawn, 4, 3) ||
        V::Own(kPawn, 4, 4))
      SetWinsVerdict(S, kTwoPawnsVsAdvisersWin[advisers - 1], v);
  }
}

// Facing pawns on file 0, 4 or 8 block each other and S has one more pawn
// just across the river.
template <uint32_t S>
void FacingPawns(EndgameVerdict* v, int32_t uS, int32_t uO) {
  using V = View<S>;
  constexpr uint32_t O = V::kOther;
  const int32_t advisers = V::Count(O, kAdviser);
  const int32_t elephants = V::Count(O, kElephant);
  if (V::Count(S, kPawn) < 2 || uS != 1 || uO != 0) return;
  if (advisers != 0 && !(advisers == 1 && elephants == 0)) return;
  constexpr int kFiles[3] = {0, 4, 8};
  for (int step = 0; step < 2; ++step) {
    for (const int file : kFiles) {
      if (!V::Foe(kPawn, file, 3 + step) || !V::Own(kPawn, file, 5 + step)) continue;
      const PieceIndex p =
          S == kRed ? FindCrossedPawnRed(4 + step) : FindCrossedPawnBlack(4 + step);
      if (p == 0) {
        if (advisers + elephants != 0) {
          SetCannotLoseVerdict(O, v);
          return;
        }
        continue;
      }
      bool supported = step == 0 || elephants == 0;
      if (!supported && file == 0) supported = V::OwnPawnOnAny({{2, 4}, {1, 4}});
      if (!supported && file == 4) supported = V::OwnPawnOnAny({{6, 4}, {5, 4}, {3, 4}, {2, 4}});
      if (!supported && file == 8) supported = V::OwnPawnOnAny({{7, 4}, {6, 4}});
      if (supported) {
        SetWinsVerdict(S, 191500 - 500 * std::abs(FileOf(posPiece[p]) - 4), v);
        return;
      }
    }
  }
}

// The remaining pawns-against-defenders cases of kPawnEndingTable.
template <uint32_t S>
void RemainingPawnCases(EndgameVerdict* v, int32_t uS, int32_t uO) {
  using V = View<S>;
  constexpr uint32_t O = V::kOther;
  if (uS < 1 || uO != 0) return;
  const int32_t high = V::UsefulPawns(S, kHighPawnLimit);
  const int32_t advisers = V::Count(O, kAdviser);
  const int32_t elephants = V::Count(O, kElephant);
  for (const PawnEndingEntry& e : kPawnEndingTable) {
    if (uS != e.useful || high < e.minHigh || advisers < e.advisersMin ||
        advisers > e.advisersMax || elephants < e.elephantsMin || elephants > e.elephantsMax)
      continue;
    if (e.outcome == PawnOutcome::kWin)
      SetWinsVerdict(S, e.win, v);
    else
      SetCannotLoseVerdict(O, v);
    return;
  }
}

}  // namespace

void EvalPawnEnding(EndgameVerdict* verdict) {
  ClearVerdict(verdict);
  const int32_t uB = CountUsefulPawnsBlack(1);
  const int32_t uR = CountUsefulPawnsRed(1);

  OneUsefulPawn<kRed>(verdict, uR, uB);
  if (Decided(verdict)) return;
  OneUsefulPawn<kBlack>(verdict, uB, uR);
  if (Decided(verdict)) return;
  NoUsefulPawn<kRed>(verdict, uR, uB);
  if (Decided(verdict)) return;
  NoUsefulPawn<kBlack>(verdict, uB, uR);
  if (Decided(verdict)) return;
  NoDefenders<kRed>(verdict, uB);
  if (Decided(verdict)) return;
  NoDefenders<kBlack>(verdict, uR);
  if (Decided(verdict)) return;
  PawnsAgainstDefence<kRed>(verdict, uR, uB);
  if (Decided(verdict)) return;
  PawnsAgainstDefence<kBlack>(verdict, uB, uR);
  if (Decided(verdict)) return;
  FacingPawns<kRed>(verdict, uR, uB);
  if (Decided(verdict)) return;
  FacingPawns<kBlack>(verdict, uB, uR);
  if (Decided(verdict)) return;
  RemainingPawnCases<kRed>(verdict, uR, uB);
  if (Decided(verdict)) return;
  RemainingPawnCases<kBlack>(verdict, uB, uR);
}
