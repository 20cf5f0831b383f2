// The quiescence and evasion pickers: every move handed out once, in the
// order of their stages, on many positions; the PV move; the stage codes; and
// the evasion picker's promise that, in check, it hands out every legal move.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/search_tables.h"
#include "tests/support/board_builder.h"
#include "tests/support/move_lists.h"
#include "tests/support/random_play.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::FenOf;
using testing_support::GeneratedMoves;
using testing_support::M;
using testing_support::Placed;
using testing_support::SetUpFen;
using testing_support::SortedTexts;
using testing_support::Texts;

// History values with many ties (the reset clears the table).
void FillHistory() { testing_support::FillHistory(4242, 0x1F); }

uint32_t KingAttacker() { return sideToMove == kRed ? RedKingAttacker() : BlackKingAttacker(); }

// Adds the position when it is in check, and the positions after its first
// legal check by a chariot or cannon and after its first by a knight or pawn.
void AddCheckedPositions(std::vector<std::string>* out) {
  if (KingAttacker() != 0) out->push_back(testing_support::CurrentFen());
  bool line = false, other = false;
  const auto checker = static_cast<int32_t>(FindChecker(sideToMove));
  for (Move m : testing_support::LegalMoves()) {
    if (!MakeMove(m, checker)) continue;
    const uint32_t type = pieceTypeOf[KingAttacker()];
    const bool isLine = type == kChariot || type == kCannon;
    if (type != 0 && !(isLine ? line : other)) {
      (isLine ? line : other) = true;
      out->push_back(testing_support::CurrentFen());
    }
    UnmakeMove();
  }
}

// Positions reached by random legal play and by the master games of the test
// data, as FEN texts; with checked set, the positions in check among them and
// one check further go there.
std::vector<std::string> PlayedPositions(std::vector<std::string>* checked = nullptr) {
  return testing_support::PlayedPositions(5150, 30, [checked] {
    if (checked != nullptr && historyPly < 110) AddCheckedPositions(checked);
  });
}

// Starts a node the way the quiescence search does and calls the picker
// until it returns 0; then checks that it keeps returning 0.
std::vector<Move> Drain(Move (*picker)(), int32_t stage, uint32_t checker = 0) {
  MovePicker& r = movePickers[historyPly];
  r.stage = stage;
  r.checker = checker;
  std::vector<Move> out;
  for (int guard = 0; guard < 400; ++guard) {
    const Move m = picker();
    if (m == 0) {
      EXPECT_EQ(picker(), 0u) << "a move after the first 0";
      EXPECT_EQ(picker(), 0u) << "a move after the first 0";
      return out;
    }
    out.push_back(m);
  }
  ADD_FAILURE() << "the picker never ran out of moves";
  return out;
}

int32_t ValueOn(Square s) { return pieceOrderValue[board[s]]; }

// The captures come first, best victim first; among equal victims the
// cheaper mover first.
void ExpectCapturesBestFirst(const std::vector<Move>& handed, size_t n) {
  for (size_t i = 1; i < n; ++i) {
    const Move a = handed[i - 1], b = handed[i];
    ASSERT_GE(ValueOn(MoveTo(a)), ValueOn(MoveTo(b)))
        << testing_support::MoveText(a) << " before " << testing_support::MoveText(b);
    if (ValueOn(MoveTo(a)) == ValueOn(MoveTo(b))) {
      ASSERT_LE(ValueOn(MoveFrom(a)), ValueOn(MoveFrom(b)))
          << testing_support::MoveText(a) << " before " << testing_support::MoveText(b);
    }
  }
}

// ---------------------------------------------------------------------------
// The three pickers of nodes not in check
// ---------------------------------------------------------------------------

void CheckCapturePickers() {
  followPv = 0;
  historyPly = 0;
  const std::vector<Move> captures = GeneratedMoves(GenerateCaptures);
  const size_t n = captures.size();

  // NextCaptureQ: the captures and nothing else.
  const std::vector<Move> q = Drain(NextCaptureQ, kStageGenCaptures);
  ASSERT_EQ(SortedTexts(q), SortedTexts(captures));
  ExpectCapturesBestFirst(q, n);
  EXPECT_EQ(movePickers[0].stage, n == 0 ? kStageGenCaptures : kStageCaptures);

  // The check pickers: the same captures, then the quiet checks in generated
  // order, those onto an occupied square left out.
  for (uint32_t extra : {0u, 1u}) {
    std::vector<Move> checks;
    for (Move m : GeneratedMoves([extra] { GenerateQuietChecks(extra); }))
      if (board[MoveTo(m)] == 0) checks.push_back(m);
    const std::vector<Move> got =
        Drain(extra == 0 ? NextCaptureOrCheckQ : NextCaptureOrCheckQExtended, kStageGenCaptures);
    ASSERT_GE(got.size(), n);
    EXPECT_EQ(SortedTexts({got.begin(), got.begin() + n}), SortedTexts(captures));
    ExpectCapturesBestFirst(got, n);
    EXPECT_EQ(Texts({got.begin() + n, got.end()}), Texts(checks));
    EXPECT_EQ(movePickers[0].stage, kStageChecks);
  }
}

TEST(CapturePickers, HandOutCapturesThenQuietChecksOnPlayedPositions) {
  const std::vector<std::string> fens = PlayedPositions();
  ASSERT_GT(fens.size(), 3000u);
  int i = 0;
  for (const std::string& fen : fens) {
    SCOPED_TRACE(fen);
    SetUpFen(fen);
    if (KingAttacker() != 0) continue;  // those nodes use the evasion picker
    FillHistory();
    iterationDepth = ++i % 2 == 0 ? 0 : -1;  // with and without cannon checks
    CheckCapturePickers();
    if (HasFailure()) return;
  }
}

// Red to move, five captures: the knight (2,4) takes the black cannon (1,2)
// (570); the cannon (1,7) takes the black knight (1,0) over that cannon
// (550); the pawn (6,4), the knight and the chariot (0,5) each take a black
// pawn (100). The knight's step to (3,2) is its only quiet check.
std::vector<Placed> CapturePosition() {
  return {{'k', 4, 0}, {'n', 1, 0}, {'c', 1, 2}, {'p', 0, 3}, {'p', 6, 3},
          {'K', 3, 9}, {'R', 0, 5}, {'P', 6, 4}, {'C', 1, 7}, {'N', 2, 4}};
}

// The captures in the order the pickers hand them out: best victim first,
// among the pawn victims the cheapest mover first.
std::vector<Move> CapturesBestFirst() {
  return {M(2, 4, 1, 2), M(1, 7, 1, 0), M(6, 4, 6, 3), M(2, 4, 0, 3), M(0, 5, 0, 3)};
}

TEST(CapturePickers, CapturesBestVictimFirstCheaperMoverOnTies) {
  SetUpFen(FenOf(CapturePosition()));
  historyPly = 0;
  followPv = 0;
  EXPECT_EQ(Texts(Drain(NextCaptureQ, kStageGenCaptures)), Texts(CapturesBestFirst()));
  std::vector<Move> want = CapturesBestFirst();
  want.push_back(M(2, 4, 3, 2));
  EXPECT_EQ(Texts(Drain(NextCaptureOrCheckQ, kStageGenCaptures)), Texts(want));
}

TEST(CapturePickers, PvMoveFirstAndAgainAmongTheCaptures) {
  SetUpFen(FenOf(CapturePosition()));
  historyPly = 0;
  MovePicker& r = movePickers[0];
  r.pvMove = M(0, 5, 0, 3);  // a capture
  followPv = 1;
  r.stage = kStagePv;
  EXPECT_EQ(NextCaptureQ(), M(0, 5, 0, 3));
  EXPECT_EQ(r.stage, kStageGenCaptures);
  EXPECT_EQ(followPv, 1u);
  std::vector<Move> rest;
  while (const Move m = NextCaptureQ()) rest.push_back(m);
  // The PV capture comes a second time.
  EXPECT_EQ(Texts(rest), Texts(CapturesBestFirst()));
  followPv = 0;
}

TEST(CapturePickers, InvalidPvMoveEndsPvFollowingAndGivesTheBestCapture) {
  SetUpFen(FenOf(CapturePosition()));
  historyPly = 0;
  MovePicker& r = movePickers[0];
  r.pvMove = M(3, 9, 3, 7);  // a king jump of two squares: never valid
  followPv = 1;
  r.stage = kStagePv;
  EXPECT_EQ(NextCaptureOrCheckQ(), CapturesBestFirst()[0]);
  EXPECT_EQ(followPv, 0u);
  EXPECT_EQ(r.stage, kStageCaptures);
}

TEST(CapturePickers, PvMoveIgnoredWhileNotFollowingThePv) {
  SetUpFen(FenOf(CapturePosition()));
  historyPly = 0;
  MovePicker& r = movePickers[0];
  r.pvMove = M(3, 9, 3, 8);  // valid, quiet
  followPv = 0;
  const std::vector<Move> fromPv = Drain(NextCaptureQ, kStagePv);
  const std::vector<Move> fromCaptures = Drain(NextCaptureQ, kStageGenCaptures);
  EXPECT_EQ(Texts(fromPv), Texts(fromCaptures));
  EXPECT_EQ(Texts(fromPv), Texts(CapturesBestFirst()));
  // A quiet PV move is offered while following the PV, then only captures.
  followPv = 1;
  const std::vector<Move> following = Drain(NextCaptureQ, kStagePv);
  ASSERT_EQ(following.size(), 6u);
  EXPECT_EQ(following[0], M(3, 9, 3, 8));
  followPv = 0;
}

TEST(CapturePickers, QuietCheckOntoAnOccupiedSquareIsSkipped) {
  // The red knight on (4,4) checks from (5,2) and (3,2); red's own cannon
  // holds (5,2). No captures.
  SetUpFen(FenOf({{'k', 4, 0}, {'K', 3, 9}, {'N', 4, 4}, {'C', 5, 2}}));
  historyPly = 0;
  followPv = 0;
  EXPECT_EQ(GeneratedMoves([] { GenerateQuietChecks(0); }).size(), 2u);
  EXPECT_EQ(Texts(Drain(NextCaptureOrCheckQ, kStageGenCaptures)), Texts({M(4, 4, 3, 2)}));
  // NextCaptureQ hands out nothing at all here.
  EXPECT_TRUE(Drain(NextCaptureQ, kStageGenCaptures).empty());
}

TEST(CapturePickers, ExtendedPickerAddsChariotChecks) {
  SetUpFen(FenOf({{'k', 4, 0}, {'K', 3, 9}, {'R', 1, 3}}));
  historyPly = 0;
  iterationDepth = 0;
  followPv = 0;
  EXPECT_TRUE(Drain(NextCaptureOrCheckQ, kStageGenCaptures).empty());
  EXPECT_EQ(Texts(Drain(NextCaptureOrCheckQExtended, kStageGenCaptures)),
            Texts({M(1, 3, 1, 0), M(1, 3, 4, 3)}));
}

TEST(Pickers, StageCodes) {
  SetUpFen(FenOf(CapturePosition()));
  historyPly = 0;
  followPv = 0;
  MovePicker& r = movePickers[0];
  // A code a picker does not know gives 0 at once.
  for (int32_t stage : {1, 2, 3, 4, 5, 6, 11, 12, 15, -1})
    for (Move (*picker)() :
         {NextCaptureQ, NextCaptureOrCheckQ, NextCaptureOrCheckQExtended, NextEvasion}) {
      r.stage = stage;
      EXPECT_EQ(picker(), 0u) << "stage " << stage;
    }
  for (int32_t stage : {9, 10, 13, 14}) {
    r.stage = stage;
    EXPECT_EQ(NextCaptureQ(), 0u) << "stage " << stage;
  }
  for (int32_t stage : {9, 10}) {
    r.stage = stage;
    EXPECT_EQ(NextCaptureOrCheckQ(), 0u) << "stage " << stage;
  }
  for (int32_t stage : {13, 14}) {
    r.stage = stage;
    EXPECT_EQ(NextEvasion(), 0u) << "stage " << stage;
  }
  // 13 and 9 are accepted as entry codes: quiet checks, quiet moves.
  r.next = r.count = 0;
  const std::vector<Move> checks = Drain(NextCaptureOrCheckQ, kStageGenChecks);
  EXPECT_EQ(Texts(checks), Texts({M(2, 4, 3, 2)}));
  const std::vector<Move> quiet = Drain(NextEvasion, kStageGenQuiet, 23);  // a knight "checker"
  EXPECT_EQ(SortedTexts(quiet), SortedTexts(GeneratedMoves(GenerateQuietMoves)));
  EXPECT_EQ(r.stage, kStageQuiet);
}

// ---------------------------------------------------------------------------
// The evasion picker
// ---------------------------------------------------------------------------

struct EvasionTally {
  int lineCheckers = 0;
  int otherCheckers = 0;
};

void CheckEvasions(uint32_t checker, EvasionTally* tally) {
  historyPly = 0;
  followPv = 0;
  const std::vector<Move> captures = GeneratedMoves(GenerateCaptures);
  const size_t n = captures.size();
  const Square king = sideToMove == kRed ? posPiece[1] : posPiece[17];
  std::vector<Move> evasions;
  const uint32_t type = pieceTypeOf[checker];
  if (type == kChariot || type == kCannon) {
    ++tally->lineCheckers;
    const Square c = posPiece[checker];
    ASSERT_TRUE((c & 0xF0) == (king & 0xF0) || (c & 0x0F) == (king & 0x0F));
    evasions = (c & 0xF0) == (king & 0xF0)
                   ? GeneratedMoves([king] { GenerateFileInterpositions(king & 0xF0); })
                   : GeneratedMoves([king] { GenerateRankInterpositions(king & 0x0F); });
  } else {
    ++tally->otherCheckers;
    evasions = GeneratedMoves(GenerateQuietMoves);
  }

  const std::vector<Move> got = Drain(NextEvasion, kStagePv, checker);
  ASSERT_EQ(got.size(), n + evasions.size());
  EXPECT_EQ(SortedTexts({got.begin(), got.begin() + n}), SortedTexts(captures));
  ExpectCapturesBestFirst(got, n);
  EXPECT_EQ(SortedTexts({got.begin() + n, got.end()}), SortedTexts(evasions));
  for (size_t i = n + 1; i < got.size(); ++i) {
    auto score = [](Move m) {
      return static_cast<int32_t>(
          historyTable[colouredTypeOf[board[MoveFrom(m)]]][172 * MoveFrom(m) + MoveTo(m)]);
    };
    ASSERT_GE(score(got[i - 1]), score(got[i])) << "evasions not best-first";
  }
  EXPECT_EQ(std::set<Move>(got.begin(), got.end()).size(), got.size()) << "a move twice";

  // The promise the quiescence search relies on: among the moves handed out
  // are all the legal moves of the position.
  std::vector<Move> legalHanded;
  for (Move m : got)
    if (MakeMove(m, static_cast<int32_t>(checker))) {
      UnmakeMove();
      legalHanded.push_back(m);
    }
  EXPECT_EQ(SortedTexts(legalHanded), SortedTexts(testing_support::LegalMoves()));
}

TEST(EvasionPicker, HandsOutEveryLegalMoveInCheckOnPlayedPositions) {
  std::vector<std::string> fens;
  PlayedPositions(&fens);
  EvasionTally tally;
  for (const std::string& fen : fens) {
    SCOPED_TRACE(fen);
    SetUpFen(fen);
    const uint32_t checker = KingAttacker();
    ASSERT_NE(checker, 0u);
    FillHistory();
    CheckEvasions(checker, &tally);
    if (HasFailure()) return;
  }
  EXPECT_GT(tally.lineCheckers, 1000);
  EXPECT_GT(tally.otherCheckers, 150);
}

TEST(EvasionPicker, KnightCheckGivesEveryQuietMoveInGeneratedOrderOnEqualScores) {
  // Black knight (3,7) checks the red king (4,9); the red chariot can take it.
  SetUpFen(FenOf({{'k', 3, 0}, {'n', 3, 7}, {'K', 4, 9}, {'R', 0, 7}, {'P', 6, 6}}));
  historyPly = 0;
  followPv = 0;
  const uint32_t checker = RedKingAttacker();
  ASSERT_EQ(pieceTypeOf[checker], kKnight);
  // All history scores are 0: the evasions keep the generator's order.
  const std::vector<Move> quiet = GeneratedMoves(GenerateQuietMoves);
  std::vector<Move> want = {M(0, 7, 3, 7)};
  want.insert(want.end(), quiet.begin(), quiet.end());
  EXPECT_EQ(Texts(Drain(NextEvasion, kStagePv, checker)), Texts(want));
}

TEST(EvasionPicker, EvasionsBestScoreFirst) {
  SetUpFen(FenOf({{'k', 3, 0}, {'n', 3, 7}, {'K', 4, 9}, {'P', 6, 6}}));
  historyPly = 0;
  followPv = 0;
  historyTable[kKing][172 * MakeSquare(4, 9) + MakeSquare(4, 8)] = 30;
  historyTable[kPawn][172 * MakeSquare(6, 6) + MakeSquare(6, 5)] = 20;
  historyTable[kKing][172 * MakeSquare(4, 9) + MakeSquare(5, 9)] = 20;
  MarkHistoryTableWritten();
  // Generated order: pawn (6,5) 20, king (3,9) 0, (5,9) 20, (4,8) 30. Taking
  // (4,8) swaps it with the pawn's move; of the two 20s the king's (5,9) is
  // then nearer the front.
  EXPECT_EQ(Texts(Drain(NextEvasion, kStagePv, RedKingAttacker())),
            Texts({M(4, 9, 4, 8), M(4, 9, 5, 9), M(6, 6, 6, 5), M(4, 9, 3, 9)}));
}

TEST(EvasionPicker, LineCheckerOffTheKingsLinesGivesOnlyCaptures) {
  // The picker trusts the checker it is given: a chariot that stands on
  // neither the king's file nor its rank yields no quiet move.
  SetUpFen(FenOf({{'k', 3, 0}, {'r', 6, 2}, {'K', 4, 9}, {'R', 6, 7}, {'N', 2, 8}}));
  historyPly = 0;
  followPv = 0;
  const uint32_t chariot = board[MakeSquare(6, 2)];
  EXPECT_EQ(Texts(Drain(NextEvasion, kStagePv, chariot)), Texts({M(6, 7, 6, 2)}));
}

TEST(EvasionPicker, PvMoveFirstWhileFollowingThePv) {
  // Black chariot (4,2) checks the red king (4,9) along the file.
  SetUpFen(FenOf({{'k', 3, 0}, {'r', 4, 2}, {'K', 4, 9}, {'N', 2, 8}}));
  historyPly = 0;
  movePickers[0].pvMove = M(2, 8, 4, 7);
  followPv = 1;
  const std::vector<Move> got = Drain(NextEvasion, kStagePv, RedKingAttacker());
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got[0], M(2, 8, 4, 7));
  EXPECT_EQ(std::count(got.begin(), got.end(), M(2, 8, 4, 7)), 2);  // again as an evasion
  followPv = 0;
}

}  // namespace
