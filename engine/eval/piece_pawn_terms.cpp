// Pawn and knight terms of one side: pawns pressing a side without
// elephants, advanced pawns against a stripped defence, enemy knights
// trapped on an edge or hemmed in, and a few fixed pawn-and-knight
// formations. Every rule is written for red (bonuses to red's total);
// black's terms are the same rules on the rank-mirrored board with the
// colours exchanged. The medium evaluator's rule set differs in the
// middlegame extras: a wing pawn holds the enemy knights back only while it
// is on the board, and an enemy knight on its file between its own chariot
// behind it and ours in front of it is a target.
//
// The terms end with the enemy pieces hemmed in on our side and the enemy
// chariots' mobility. Those rules also open our attack on the enemy palace,
// which runs right after these terms; they are counted once, as the first
// group of that attack (palace_attack_groups_defenders.cpp).
#include <cstdint>

#include "engine/eval/evaluate.h"
#include "engine/eval/full_eval.h"
#include "engine/position/position.h"

namespace {

template <uint32_t kUs, RuleSet kRules>
class Terms {
 public:
  explicit Terms(FullEvalState& s) : s_(s) {}

  void Run() {
    if (s_.middlegameLevel != 0) MiddlegameExtras();
    NoElephantsLeft();
    LoneMinorPiece();
    // The rules that remain all need one of their knights on the board.
    if (Their(kKnight) == 0) return;
    TheirKnights();
    if (Our(kPawn) > 0) PawnsAgainstKnights();
    if (Our(kKnight) > 0) EdgeKnightsHunted();
  }

 private:
  static constexpr uint32_t kThem = 1 - kUs;
  static constexpr bool kMedium = kRules == RuleSet::kMedium;
  // Steps one rank towards our back rank / towards theirs.
  static constexpr int kTowardUs = kUs == kRed ? 1 : -1;

  // Square (file, rank) of a rule written for red.
  static Square At(int file, int rank) { return MakeSquare(file, kUs == kRed ? rank : 9 - rank); }
  // Rank of a square as a rule written for red reads it.
  static int RankAsRed(Square s) { return kUs == kRed ? RankOf(s) : 9 - RankOf(s); }
  static int32_t Our(uint32_t type) { return static_cast<int32_t>(pieceCount[kUs][type - 1]); }
  static int32_t Their(uint32_t type) { return static_cast<int32_t>(pieceCount[kThem][type - 1]); }
  static int32_t OurAttackers() { return static_cast<int32_t>(attackerCount[kUs]); }
  static int32_t TheirAttackers() { return static_cast<int32_t>(attackerCount[kThem]); }
  static bool Ours(Square s, uint32_t type) { return typeBoard[s] == type + 7 * kUs; }
  static bool Theirs(Square s, uint32_t type) { return typeBoard[s] == type + 7 * kThem; }
  static bool Occupied(Square s) { return board[s] != 0; }
  static PieceIndex OurPiece(PieceIndex redIndex) { return redIndex + 16 * kUs; }
  static PieceIndex TheirPiece(PieceIndex redIndex) { return redIndex + 16 * kThem; }
  static bool OurMove() { return sideToMove == kUs; }
  static const uint8_t* PawnRankCode() { return kUs == kRed ? pawnRankCodeRed : pawnRankCodeBlack; }
  static const uint8_t* KnightTargets() {
    return kUs == kRed ? redKnightTargetSquares : blackKnightTargetSquares;
  }
  static bool TheyDefend(Square s) {
    return (kUs == kRed ? BlackStrongAttackerOf(s) : RedStrongAttackerOf(s)) != 0;
  }
  int32_t ZonePawns() const { return kUs == kRed ? s_.redZonePawns : s_.blackZonePawns; }
  int32_t ZoneKnights() const { return kUs == kRed ? s_.redZoneKnights : s_.blackZoneKnights; }
  int32_t Strength() const { return kUs == kRed ? s_.redAttackStrength : s_.blackAttackStrength; }
  int32_t TheirStrength() const {
    return kUs == kRed ? s_.blackAttackStrength : s_.redAttackStrength;
  }
  void Add(int32_t v) { (kUs == kRed ? s_.redTotal : s_.blackTotal) += v; }

  void MiddlegameExtras() {
    // A knight in front of their palace pinned down by our pawn and cannon,
    // with more than three attacking pieces on each side: those counts hold
    // at every middlegame level but 0 and are not tested again. Their knight
    // on the square fails most often and is tested first; our pawn or cannon
    // on the file comes before the cannon count, which our cannon on the
    // file satisfies by itself.
    for (int f : {6, 2}) {
      const Square knight = At(f, 2);
      if (!Theirs(knight, kKnight)) continue;
      if (Ours(At(f, 3), kPawn)) {
        if (Our(kCannon) != 0) Add(100);
        continue;
      }
      if (!Ours(At(f, 7), kCannon)) continue;
      if (!Occupied(At(f, 5)) && !Occupied(At(f, 6)) && Theirs(At(f, 3), kPawn) &&
          Ours(At(f, 4), kPawn) && !TheyDefend(knight))
        Add(OurMove() ? 150 : 75);
      if (!Occupied(At(f, 6)) && !Occupied(At(f, 4)) && Theirs(At(f, 3), kPawn) &&
          Ours(At(f, 5), kPawn) && !TheyDefend(knight) &&
          ChariotAttacksSquare(TheirPiece(8), At(f, 4)) == 0 &&
          ChariotAttacksSquare(TheirPiece(9), At(f, 4)) == 0)
        Add(OurMove() ? 100 : 50);
    }
    // Their knights kept in their own corner by our advanced wing pawns. A
    // captured pawn reads rank code 0: it counts as advanced in the full
    // rule set and keeps nobody back in the medium one. A taken knight reads
    // square 0, on no wing, so their knight count needs no test of its own.
    if (Our(kPawn) > 0) {
      const uint32_t zoneOffset = kUs == kRed ? 0 : 3;
      const struct {
        PieceIndex pawn;
        uint32_t zone;
      } wings[2] = {{OurPiece(13), 3 + zoneOffset}, {OurPiece(15), 1 + zoneOffset}};
      for (const auto& w : wings) {
        const Square pawn = posPiece[w.pawn];
        if ((kMedium && pawn == 0) || PawnRankCode()[pawn] > 5) continue;
        for (PieceIndex k : {TheirPiece(6), TheirPiece(7)}) {
          const Square sq = posPiece[k];
          if (wingZone[sq] == w.zone && RankAsRed(sq) <= 2) Add(50);
        }
      }
    }
    // Medium rule set: their knight on its file between their chariot
    // behind it and ours in front of it.
    if (kMedium && Their(kKnight) > 0 && Their(kChariot) > 0) {
      for (PieceIndex k : {TheirPiece(6), TheirPiece(7)}) {
        const Square sq = posPiece[k];
        if (sq == 0 || !Theirs(sq - kTowardUs, kChariot) || !Ours(sq + kTowardUs, kChariot))
          continue;
        Add(50 + (Our(kCannon) > 0 ? 150 : 100));
      }
    }
    // Their cannon and knight tied up in a corner, our chariot on the file.
    // The pieces on their squares imply the piece counts, which are not
    // tested apart.
    {
      const struct {
        int file, edgeFile;
        PieceIndex chariot;
      } corners[2] = {{7, 8, OurPiece(8)}, {1, 0, OurPiece(9)}};
      for (const auto& c : corners) {
        const Square chariot = posPiece[c.chariot];
        if (Theirs(At(c.file, 0), kKnight) && Theirs(At(c.file, 2), kCannon) &&
            !Occupied(At(c.edgeFile, 0)) && chariot != 0 && FileOf(chariot) == c.file)
          Add(ChariotAttacksSquare(c.chariot, At(c.file, 2)) != 0 ? 100 : 33);
      }
    }
    // Their chariot stuck behind a screen in front of our intact defence.
    // The elephant in the centre fails most often and is tested first; our
    // adviser there and their chariot on its square imply those counts.
    if (Ours(At(4, 7), kElephant) && Ours(At(4, 8), kAdviser) && Our(kElephant) == 2) {
      if (Theirs(At(6, 7), kChariot) && Occupied(At(6, 6)) && Ours(At(6, 9), kElephant)) Add(100);
      if (Theirs(At(2, 7), kChariot) && Occupied(At(2, 6)) && Ours(At(2, 9), kElephant)) Add(100);
    }
  }

  void NoElephantsLeft() {
    const int32_t elephants = Their(kElephant);
    if (elephants == 2) return;
    if (elephants == 0) {
      if (OurAttackers() > 1 && ZoneKnights() > 0) {
        Add(50 * ZoneKnights());
        if (Our(kPawn) > 0 && Their(kAdviser) == 2 && Ours(At(4, 2), kPawn) &&
            Theirs(At(3, 0), kAdviser) && Theirs(At(5, 0), kAdviser) && KnightOnSharpTarget())
          Add(OurMove() ? 200 : 100);
      }
      if (Our(kPawn) > 0) {
        Add(20 * Our(kPawn));
        for (int f : {6, 2}) {
          const bool blocked = Theirs(At(f, 3), kPawn) || Theirs(At(f, 4), kPawn);
          if (Ours(At(f, 6), kPawn)) Add(blocked ? 25 : 50);
          if (Ours(At(f, 5), kPawn)) Add(blocked ? 50 : 100);
        }
      }
      if (Our(kChariot) > Their(kChariot)) Add(100 * (Our(kChariot) - Their(kChariot)));
      if (Our(kChariot) + Our(kCannon) >= 2 && Their(kChariot) <= 1 && Their(kCannon) == 0 &&
          Their(kKnight) <= 1 && Our(kPawn) > 0)
        Add(AdvancedPawnsAgainstBareDefence());
    }
    if (Our(kChariot) + Our(kCannon) >= 3) Add(50);
  }

  bool KnightOnSharpTarget() const {
    for (PieceIndex k : {OurPiece(6), OurPiece(7)})
      if (KnightTargets()[posPiece[k]] == 2) return true;
    return false;
  }

  int32_t AdvancedPawnsAgainstBareDefence() const {
    if (ZonePawns() > 0) return 350;
    if ((kUs == kRed ? CountUsefulPawnsRed(1) : CountUsefulPawnsBlack(1)) == 0) return 33;
    int32_t c = 8;
    for (PieceIndex p = OurPiece(12); p <= OurPiece(16); ++p)
      if (posPiece[p] != 0 && PawnRankCode()[posPiece[p]] < c) c = PawnRankCode()[posPiece[p]];
    if (c >= 8) return 100;
    if (c >= 6) return 150;
    if (c >= 4) return 200;
    if (c == 3) return 250;
    return 300;
  }

  void LoneMinorPiece() {
    if (!(TheirStrength() <= 10 && Strength() >= 10 && Their(kChariot) == 0 &&
          ((Their(kKnight) == 1 && Their(kCannon) == 0) ||
           (Their(kCannon) == 1 && Their(kKnight) == 0))))
      return;
    if (Our(kElephant) == 2 && Our(kAdviser) == 2) {
      const int32_t pawns = Their(kPawn);
      Add(pawns == 0 ? 100 : pawns == 1 ? 50 : 33);
    } else {
      Add(33);
    }
  }

  void TheirKnights() {
    for (PieceIndex k : {TheirPiece(6), TheirPiece(7)}) {
      const Square sq = posPiece[k];
      if (sq == 0) continue;
      const Square inward = edgeInwardSquare[sq];
      if (inward != 0) {
        if (!Occupied(inward)) {
          Add(35);
        } else if (Ours(inward, kChariot)) {
          const bool trapped =
              (sq == At(0, 2) && !Theirs(At(2, 0), kElephant) && !Theirs(At(2, 4), kElephant)) ||
              (sq == At(8, 2) && !Theirs(At(6, 0), kElephant) && !Theirs(At(6, 4), kElephant));
          if (trapped) Add(TheirAttackers() < 5 ? 210 : 70);
        } else {
          Add(54 + (TheirAttackers() < 5 ? 50 : 0));
        }
      }
      // Blocked legs: the forward leg weighs most.
      if (Occupied(sq + kTowardUs)) Add(70);
      if (Occupied(sq - kTowardUs)) Add(22);
      if (Occupied(sq + 16)) Add(27);
      if (Occupied(sq - 16)) Add(27);
    }
  }

  void PawnsAgainstKnights() {
    static constexpr struct {
      int knightFile, knightRank, pawnFile, pawnRank, bonus;
    } kRows[] = {{6, 2, 6, 4, 33}, {2, 2, 2, 4, 33}, {8, 0, 6, 2, 150}, {0, 0, 2, 2, 150},
                 {6, 2, 6, 3, 75}, {8, 1, 6, 3, 0},  {4, 1, 6, 3, 50},  {7, 0, 6, 3, 50},
                 {2, 2, 2, 3, 75}, {0, 1, 2, 3, 0},  {4, 1, 2, 3, 50},  {1, 0, 2, 3, 50}};
    // Unrolled, every square below is a constant. Our pawn is far less often
    // on its square than their knight on its own, so it is tested first; the
    // rows on one pawn square follow each other, so that a missing pawn skips
    // them all.
#pragma GCC unroll 12
    for (const auto& row : kRows) {
      if (!Ours(At(row.pawnFile, row.pawnRank), kPawn) ||
          !Theirs(At(row.knightFile, row.knightRank), kKnight))
        continue;
      if (row.bonus != 0) {
        Add(row.bonus);
      } else {
        // The knight on the edge beside our cannon on the back rank.
        const int near = row.knightFile == 8 ? 7 : 1;
        const bool cannon = Ours(At(row.knightFile, 0), kCannon) || Ours(At(near, 0), kCannon);
        Add(cannon ? 166 : 100);
      }
    }
  }

  void EdgeKnightsHunted() {
    static constexpr struct {
      int theirFile, theirRank, ourFile, ourRank, e1File, e1Rank, e2File, e2Rank, bonus;
    } kRows[] = {{8, 0, 5, 3, 5, 2, 6, 3, 100}, {8, 1, 5, 4, 5, 3, 6, 4, 75},
                 {8, 2, 5, 5, 5, 4, 6, 5, 50},  {0, 0, 3, 3, 3, 2, 2, 3, 100},
                 {0, 1, 3, 4, 3, 3, 2, 4, 75},  {0, 2, 3, 5, 3, 4, 2, 5, 50}};
#pragma GCC unroll 6
    for (const auto& row : kRows) {
      if (Theirs(At(row.theirFile, row.theirRank), kKnight) &&
          Ours(At(row.ourFile, row.ourRank), kKnight) && !Occupied(At(row.e1File, row.e1Rank)) &&
          !Occupied(At(row.e2File, row.e2Rank)))
        Add(row.bonus);
    }
  }

  FullEvalState& s_;
};

}  // namespace

template <uint32_t kSide, RuleSet kRules>
void PawnKnightTerms(FullEvalState& s) {
  Terms<kSide, kRules>(s).Run();
}

template void PawnKnightTerms<kRed, RuleSet::kFull>(FullEvalState&);
template void PawnKnightTerms<kBlack, RuleSet::kFull>(FullEvalState&);
template void PawnKnightTerms<kRed, RuleSet::kMedium>(FullEvalState&);
template void PawnKnightTerms<kBlack, RuleSet::kMedium>(FullEvalState&);
