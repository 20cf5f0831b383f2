// Endings in which one side keeps a single chariot: chariot against chariot
// (pawns, advisers and elephants in any number), and a bare chariot (no
// adviser, no elephant, pawns only on the edge files) against a chariot with
// pawns or with a cannon.
//
// Most rules come in pairs that mirror the board top to bottom. Each pair is
// written once, for the side called "us" playing red's part (ranks as red's
// view of the board, rank 0 black's back rank); the other member reads every
// rank mirrored with the colours and the verdict writers exchanged.
#include <initializer_list>
#include <utility>

#include "engine/eval/endgame.h"
#include "engine/position/position.h"

namespace {

// Any value outside 1..32: the attacker tests skip no piece.
constexpr uint32_t kNoExclusion = 0xFFFFFFFFu;

// 2 on files 0..3, 3 on file 4, 1 on files 5..8: which wing a file is on.
constexpr int FileSideCode(int file) { return file < 4 ? 2 : file == 4 ? 3 : 1; }

template <uint32_t kUs>
struct View {
  static constexpr uint32_t kThem = 1 - kUs;

  static constexpr Square At(int file, int rank) {
    return MakeSquare(file, kUs == kRed ? rank : 9 - rank);
  }
  static int Rank(Square s) { return kUs == kRed ? RankOf(s) : 9 - RankOf(s); }
  static bool Empty(int file, int rank) { return board[At(file, rank)] == 0; }
  static bool UsOn(int file, int rank, uint32_t type) {
    return typeBoard[At(file, rank)] == type + 7 * kUs;
  }
  static bool ThemOn(int file, int rank, uint32_t type) {
    return typeBoard[At(file, rank)] == type + 7 * kThem;
  }
  static bool ThemOnFile(int file, int lo, int hi, uint32_t type) {
    for (int r = lo; r <= hi; ++r)
      if (ThemOn(file, r, type)) return true;
    return false;
  }
  static bool ThemPawnOnAny(std::initializer_list<std::pair<int, int>> squares, bool mirrored) {
    for (const auto& [file, rank] : squares)
      if (ThemOn(mirrored ? 8 - file : file, rank, kPawn)) return true;
    return false;
  }

  static int32_t Us(uint32_t type) { return static_cast<int32_t>(pieceCount[kUs][type - 1]); }
  static int32_t Them(uint32_t type) { return static_cast<int32_t>(pieceCount[kThem][type - 1]); }

  static Square OurKing() { return posPiece[1 + 16 * kUs]; }
  static Square TheirKing() { return posPiece[1 + 16 * kThem]; }
  // The first chariot of the side still on the board, 0 when none is.
  static PieceIndex FirstChariot(uint32_t side) {
    const PieceIndex c = 8 + 16 * side;
    return posPiece[c] != 0 ? c : posPiece[c + 1] != 0 ? c + 1 : 0;
  }
  static PieceIndex OurChariot() { return FirstChariot(kUs); }
  static PieceIndex TheirChariot() { return FirstChariot(kThem); }

  static int32_t UsefulTheirPawns(int32_t n) {
    return kUs == kRed ? CountUsefulPawnsBlack(n) : CountUsefulPawnsRed(n);
  }
  static PieceIndex OurPawnNotBeyond(int32_t n) {
    return kUs == kRed ? FindPawnNotBeyondRed(n) : FindPawnNotBeyondBlack(n);
  }
  static PieceIndex TheirPawnNotBeyond(int32_t n) {
    return kUs == kRed ? FindPawnNotBeyondBlack(n) : FindPawnNotBeyondRed(n);
  }
  static bool OnTheirPalaceFront(Square s) {
    return (kUs == kRed ? palaceFrontZoneBlack[s] : palaceFrontZoneRed[s]) != 0;
  }

  static void WeWin(int32_t x, EndgameVerdict* v) { SetWinsVerdict(kUs, x, v); }
  static void TheyWin(int32_t x, EndgameVerdict* v) { SetWinsVerdict(kThem, x, v); }
  static void WeCannotLose(EndgameVerdict* v) { SetCannotLoseVerdict(kUs, v); }
  static void TheyCannotLose(EndgameVerdict* v) { SetCannotLoseVerdict(kThem, v); }
};

bool ChariotHits(PieceIndex chariot, Square s) {
  return chariot != 0 && ChariotAttacksSquare(chariot, s) != 0;
}

// --- Bare chariot against chariot and pawns ---------------------------------

struct BackRankValue {
  int file;
  int32_t value;
};
// The attacker's pawns on the bare side's back rank, with the bare king on
// file 5, in the order they are looked for; with the king on file 3 every
// file is mirrored.
constexpr BackRankValue kBackRankPawnValues[] = {
    {6, 199500}, {7, 199000}, {8, 198500}, {5, 199000}, {4, 198500},
    {3, 198000}, {2, 197500}, {1, 197000}, {0, 196500},
};
// Otherwise the most advanced pawn, by rank 8 down to rank 3.
constexpr int32_t kAdvancedPawnValues[] = {188500, 189000, 189500, 190000, 190500, 191000};

template <uint32_t kUs>
void BareChariotVsChariotPawns(EndgameVerdict* v) {
  using V = View<kUs>;
  ClearVerdict(v);
  if (V::UsefulTheirPawns(0) <= 0) return;
  if (V::ThemOn(4, 3, kPawn)) return;
  if (!V::ThemOn(4, 3, kChariot) && (V::ThemOn(4, 4, kPawn) || !V::ThemOnFile(4, 4, 8, kChariot)))
    return;
  if (!V::ThemOnFile(4, 0, 9, kChariot)) return;
  const int kingFile = FileOf(V::OurKing());
  if (kingFile != 3 && kingFile != 5) return;
  const bool mirrored = kingFile == 3;
  const int32_t d = FileOf(V::TheirKing()) != 4 ? 1 : 0;
  int32_t x = 0;
  for (const BackRankValue& e : kBackRankPawnValues) {
    if (V::ThemOn(mirrored ? 8 - e.file : e.file, 9, kPawn)) {
      x = e.value;
      break;
    }
  }
  if (x == 0) {
    int best = -1;
    const PieceIndex first = 12 + 16 * V::kThem;
    for (PieceIndex p = first; p < first + 5; ++p)
      if (posPiece[p] != 0 && V::Rank(posPiece[p]) > best) best = V::Rank(posPiece[p]);
    if (best < 3) return;
    x = kAdvancedPawnValues[best - 3];
  }
  V::TheyWin(x - 500 * d, v);
}

// --- Bare chariot against chariot and cannon --------------------------------

template <uint32_t kUs>
void BareChariotVsChariotCannon(EndgameVerdict* v) {
  using V = View<kUs>;
  ClearVerdict(v);
  if (V::Us(kAdviser) != 0 || V::Us(kElephant) != 0) return;
  const PieceIndex ourPawns = 12 + 16 * kUs;
  for (PieceIndex p = ourPawns; p < ourPawns + 5; ++p)
    if (posPiece[p] != 0 && V::OnTheirPalaceFront(posPiece[p])) return;
  if (FileOf(V::TheirKing()) != 4 || !V::ThemOnFile(4, 0, 9, kChariot)) return;

  int k =
      V::ThemOn(4, 1, kAdviser) || V::ThemOn(5, 2, kAdviser) || V::ThemOn(3, 2, kAdviser) ? 3 : 4;
  if (!V::ThemOn(4, 2, kElephant)) --k;
  const PieceIndex theirPawns = 12 + 16 * V::kThem;
  for (PieceIndex p = theirPawns; p < theirPawns + 5; ++p) {
    if (posPiece[p] != 0 && FileOf(posPiece[p]) >= 3 && FileOf(posPiece[p]) <= 5) {
      --k;
      break;
    }
  }

  const PieceIndex highCannon = 11 + 16 * V::kThem;
  const Square cannon = posPiece[posPiece[highCannon] != 0 ? highCannon : highCannon - 1];
  const int kingFile = FileOf(V::OurKing());
  for (const bool mirrored : {false, true}) {
    auto f = [mirrored](int file) { return mirrored ? 8 - file : file; };
    if (kingFile != f(3) || cannon == 0 || f(FileOf(cannon)) > 3) continue;
    if (V::ThemOn(f(0), 9, kCannon) || V::ThemOn(f(1), 9, kCannon) || V::ThemOn(f(2), 9, kCannon) ||
        V::ThemOn(f(3), 9, kCannon)) {
      int32_t x = 198500;
      if (!V::ThemOn(4, 9, kChariot))
        x = 198000;
      else if (V::ThemOn(f(3), 9, kCannon))
        x = 199000;
      V::TheyWin(x - 500 * k, v);
      return;
    }
    if (!V::ThemOnFile(f(3), 0, 9, kCannon)) {
      V::TheyWin(197500 - 500 * k, v);
      return;
    }
  }
  V::TheyWin(197000 - 500 * k, v);
}

// --- Chariot against chariot -----------------------------------------------

// Without pawns: the defending chariots tied to an exposed king, and the
// central elephant that keeps both chariots off the centre file.
void PawnlessChariots(EndgameVerdict* v) {
  const PieceIndex red = View<kRed>::OurChariot();
  const PieceIndex black = View<kBlack>::OurChariot();
  const Square rs = posPiece[red];
  const Square bs = posPiece[black];
  const Square rk = *redKingSquarePtr;
  const Square bk = *blackKingSquarePtr;
  const int redKingRank = RankOf(rk);
  const int blackKingRank = RankOf(bk);

  // A king left exposed: its chariot stands out on the king's file, or the
  // king has climbed to the palace front.
  const bool redExposed =
      (FileOf(rs) == FileOf(rk) && RankOf(rs) >= 3 && RankOf(rs) <= 5 && redKingRank >= 8) ||
      (redKingRank == 7 && RankOf(bs) != 9);
  if (redExposed && sideToMove == kBlack && !ChariotHits(black, rs)) {
    SetDrawVerdict(v);
    return;
  }
  // The same for black with the ranks mirrored: its chariot on ranks 4 to 6.
  const bool blackExposed =
      (FileOf(bs) == FileOf(bk) && RankOf(bs) >= 4 && RankOf(bs) <= 6 && blackKingRank <= 1) ||
      (blackKingRank == 2 && RankOf(rs) != 0);
  if (blackExposed && sideToMove == kRed && !ChariotHits(red, bs)) {
    SetDrawVerdict(v);
    return;
  }

  if ((typeBoard[MakeSquare(4, 7)] == kElephant || typeBoard[MakeSquare(4, 2)] == kElephant + 7) &&
      FileOf(rs) != 4 && FileOf(bs) != 4 && RedAttackerOf(bs, kNoExclusion) == 0 &&
      BlackAttackerOf(rs, kNoExclusion) == 0) {
    if (FileSideCode(FileOf(rs)) == FileSideCode(FileOf(bs))) {
      SetDrawVerdict(v);
      return;
    }
    // A chariot on its own second rank counts as out when its king, on the
    // two back ranks, has an empty square behind it to step to.
    const Square behindRed = rk + 1;  // off the board counts as empty
    const bool redOut = RankOf(rs) < 7 || (RankOf(rs) == 7 && redKingRank >= 8 &&
                                           (redKingRank == 9 || board[behindRed] == 0));
    const Square behindBlack = bk - 1;
    const bool blackOut = RankOf(bs) >= 3 || (RankOf(bs) == 2 && blackKingRank <= 1 &&
                                              (blackKingRank == 0 || board[behindBlack] == 0));
    if (redOut && blackOut) {
      SetDrawVerdict(v);
      return;
    }
  }

  if (redKingRank >= 8 && blackKingRank <= 1) {
    using R = View<kRed>;
    if (FileOf(bs) == 4 && bs != MakeSquare(4, 1) && R::UsOn(4, 7, kElephant) &&
        ((R::Empty(5, 8) && R::UsOn(6, 9, kElephant)) ||
         (R::Empty(3, 8) && R::UsOn(2, 9, kElephant)))) {
      SetBlackCannotLoseVerdict(v);
      return;
    }
    using B = View<kBlack>;
    if (FileOf(rs) == 4 && rs != MakeSquare(4, 8) && B::UsOn(4, 7, kElephant) &&
        ((B::Empty(5, 8) && B::UsOn(6, 9, kElephant)) ||
         (B::Empty(3, 8) && B::UsOn(2, 9, kElephant))))
      SetRedCannotLoseVerdict(v);
  }
}

// Our single adviser raised to the palace front, the king
// on a side file and their pawns low on the far wing: draw.
template <uint32_t kUs>
void SingleAdviserDraws(EndgameVerdict* v) {
  using V = View<kUs>;
  if (V::Them(kPawn) == 0 || V::Us(kAdviser) != 1) return;
  const Square ours = posPiece[V::OurChariot()];
  const Square theirs = posPiece[V::TheirChariot()];
  const bool skip = V::UsOn(4, 7, kElephant) && V::Rank(theirs) == 9;
  if (!skip && (V::UsOn(5, 7, kAdviser) || V::UsOn(3, 7, kAdviser))) {
    for (const bool mirrored : {false, true}) {
      auto f = [mirrored](int file) { return mirrored ? 8 - file : file; };
      const Square king = V::OurKing();
      if (king != V::At(f(3), 8) && king != V::At(f(3), 9)) continue;
      if ((V::Rank(ours) == 7 &&
           V::ThemPawnOnAny({{5, 8}, {6, 8}, {7, 8}, {8, 8}, {6, 9}, {7, 9}, {8, 9}}, mirrored)) ||
          (V::ThemPawnOnAny({{5, 9}, {4, 9}}, mirrored) && FileOf(ours) == 4)) {
        SetDrawVerdict(v);
        return;
      }
    }
  }
  if (!V::UsOn(4, 7, kElephant) && V::UsOn(4, 8, kAdviser) && FileOf(ours) == 4 &&
      V::TheirPawnNotBeyond(1) == 0)
    SetDrawVerdict(v);
}

// Our pawn on their second rank against a king without
// advisers.
template <uint32_t kUs>
void PawnOnSecondRankWins(EndgameVerdict* v) {
  using V = View<kUs>;
  if (V::Us(kPawn) == 0 || V::Them(kAdviser) != 0) return;
  if (!((V::Them(kElephant) == 0 && V::Them(kPawn) == 0) || V::Rank(V::TheirKing()) == 0)) return;
  bool onRank1 = false;
  for (int file = 0; file < 9; ++file) onRank1 = onRank1 || V::UsOn(file, 1, kPawn);
  if (!onRank1) return;
  if (V::Rank(posPiece[V::OurChariot()]) != 1) {
    if (V::UsOn(4, 1, kPawn)) V::WeWin(198000, v);
  } else {
    V::WeWin(197500, v);
  }
}

// Two advisers and the chariot on the centre file hold
// against one pawn (or, without pawns, against a chariot with an adviser).
template <uint32_t kUs>
void CentreChariotHolds(EndgameVerdict* v) {
  using V = View<kUs>;
  if (V::Them(kPawn) != 0 || V::Them(kAdviser) != 2) return;
  bool centre = false;
  for (int rank = 2; rank <= 6; ++rank) centre = centre || V::ThemOn(4, rank, kChariot);
  if (!centre) return;
  if (V::Us(kPawn) == 1 || (V::Us(kPawn) == 0 && V::Us(kAdviser) >= 1)) V::TheyCannotLose(v);
}

// Red only: both chariots on one file fighting over a black pawn
// on (7, 7) or (1, 7) beside red's two elephants.
void PawnHeldOnSeventhRank(EndgameVerdict* v) {
  using R = View<kRed>;
  if (R::Them(kPawn) != 1 || R::Us(kPawn) != 0 || R::Us(kElephant) != 2) return;
  const PieceIndex red = R::OurChariot();
  const PieceIndex black = R::TheirChariot();
  const Square rs = posPiece[red];
  const Square bs = posPiece[black];
  if (FileOf(rs) != FileOf(bs) || RankOf(rs) >= RankOf(bs)) return;
  for (const auto& [elephantFile, pawnFile] : {std::pair{6, 7}, std::pair{2, 1}}) {
    const Square pawn = MakeSquare(pawnFile, 7);
    if (R::UsOn(elephantFile, 9, kElephant) && R::ThemOn(pawnFile, 7, kPawn) &&
        ChariotHits(red, pawn) && ChariotHits(black, pawn)) {
      SetRedCannotLoseVerdict(v);
      return;
    }
  }
}

// Their single pawn not yet across on file 2 or 6 against
// our two elephants with one on the centre.
template <uint32_t kUs>
void UncrossedPawnAgainstElephants(EndgameVerdict* v) {
  using V = View<kUs>;
  if (V::Them(kPawn) != 1 || V::Us(kPawn) != 0) return;
  if (!V::ThemPawnOnAny({{6, 4}, {2, 4}, {6, 3}, {2, 3}}, false)) return;
  if (V::Us(kElephant) != 2 || V::Them(kElephant) != 2 || !V::UsOn(4, 7, kElephant)) return;
  const int kingRank = V::Rank(V::OurKing());
  const Square ours = posPiece[V::OurChariot()];
  const Square theirs = posPiece[V::TheirChariot()];
  if (kingRank < 8 || V::Rank(ours) >= kingRank) return;
  const bool ourChariotFree = V::Rank(ours) != 5 && FileOf(ours) != 4;
  const int theirFile = FileOf(theirs);
  if (V::UsOn(2, 9, kElephant)) {
    if (!(theirFile >= 5 && ourChariotFree)) V::WeCannotLose(v);
  } else if (V::UsOn(6, 9, kElephant)) {
    if (!(theirFile <= 3 && ourChariotFree)) V::WeCannotLose(v);
  }
}

// Our single pawn deep on an edge or near the palace,
// stopped by their chariot behind an elephant wall: they cannot lose.
template <uint32_t kUs>
void DeepPawnStopped(EndgameVerdict* v) {
  using V = View<kUs>;
  if (V::Us(kPawn) != 1 || V::OurPawnNotBeyond(1) == 0 || V::Them(kPawn) != 0) return;
  if (!V::ThemOn(4, 2, kElephant) || V::Rank(V::TheirKing()) > 1) return;
  const PieceIndex ourChariot = V::OurChariot();
  const PieceIndex theirChariot = V::TheirChariot();
  const Square ours = posPiece[ourChariot];
  for (const bool mirrored : {false, true}) {
    auto f = [mirrored](int file) { return mirrored ? 8 - file : file; };
    if (V::UsOn(f(8), 3, kPawn) && V::ThemOn(f(6), 0, kElephant) &&
        (ours == V::At(f(8), 1) || ours == V::At(f(8), 0)) &&
        ChariotHits(theirChariot, V::At(f(8), 3))) {
      V::TheyCannotLose(v);
      return;
    }
  }
  if (V::Rank(V::TheirKing()) != 0 || V::Us(kElephant) + V::Us(kAdviser) == 0) return;
  for (const bool mirrored : {false, true}) {
    auto f = [mirrored](int file) { return mirrored ? 8 - file : file; };
    if (!V::ThemOn(f(6), 0, kElephant)) continue;
    const bool held =
        (V::UsOn(f(7), 2, kPawn) && (ours == V::At(f(7), 1) || ours == V::At(f(7), 0)) &&
         ChariotHits(theirChariot, V::At(f(7), 2))) ||
        (V::UsOn(f(6), 2, kPawn) && ours == V::At(f(6), 1) &&
         ChariotHits(theirChariot, V::At(f(6), 2))) ||
        (V::UsOn(f(5), 2, kPawn) && ours == V::At(f(5), 1) &&
         ChariotHits(theirChariot, V::At(f(5), 2)));
    if (held) {
      V::TheyCannotLose(v);
      return;
    }
  }
}

}  // namespace

void EvalBareChariotVsChariotPawnsRed(EndgameVerdict* v) { BareChariotVsChariotPawns<kRed>(v); }
void EvalBareChariotVsChariotPawnsBlack(EndgameVerdict* v) { BareChariotVsChariotPawns<kBlack>(v); }
void EvalBareChariotVsChariotCannonRed(EndgameVerdict* v) { BareChariotVsChariotCannon<kRed>(v); }
void EvalBareChariotVsChariotCannonBlack(EndgameVerdict* v) {
  BareChariotVsChariotCannon<kBlack>(v);
}

void EvalChariotVsChariot(EndgameVerdict* v) {
  ClearVerdict(v);
  if (View<kRed>::OurChariot() == 0 || View<kBlack>::OurChariot() == 0) return;
  const bool pawnless = pieceCount[kRed][kPawn - 1] == 0 && pieceCount[kBlack][kPawn - 1] == 0;
  using Step = void (*)(EndgameVerdict*);
  const Step steps[] = {
      SingleAdviserDraws<kRed>,
      SingleAdviserDraws<kBlack>,
      PawnOnSecondRankWins<kRed>,
      PawnOnSecondRankWins<kBlack>,
      CentreChariotHolds<kRed>,
      CentreChariotHolds<kBlack>,
      PawnHeldOnSeventhRank,
      UncrossedPawnAgainstElephants<kRed>,
      UncrossedPawnAgainstElephants<kBlack>,
      DeepPawnStopped<kRed>,
      DeepPawnStopped<kBlack>,
  };
  if (pawnless) {
    PawnlessChariots(v);
    if (Decided(v)) return;
  }
  for (const Step step : steps) {
    step(v);
    if (Decided(v)) return;
  }
}
