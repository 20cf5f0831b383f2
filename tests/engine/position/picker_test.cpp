// The staged picker of the main search and the three ordering routines:
// stage order, the skip rules of the returned slots, the tie-break of the
// capture pick and the exact passes of the quiet-move sort.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "engine/search/search_tables.h"
#include "tests/support/move_lists.h"
#include "tests/support/random_play.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::GeneratedMoves;
using testing_support::HistoryOf;
using testing_support::M;

const Move kChariotTakesKnight = M(0, 9, 0, 3);
const Move kCannonTakesChariot = M(8, 7, 8, 2);
const Move kPawnTakesKnight = M(2, 4, 3, 4);
const Move kPawnTakesPawn = M(2, 4, 2, 3);
const Move kKingUp = M(4, 9, 4, 8);
const Move kPawnAside = M(2, 4, 1, 4);
const Move kChariotUp = M(0, 9, 0, 8);

// Red: king (4,9), chariot (0,9), cannon (8,7) behind its pawn (8,6), pawn
// (2,4) across the river. Black: king (3,0), knights (0,3) and (3,4), pawn
// (2,3), chariot (8,2). Red's captures: chariot takes the knight (0,3),
// cannon the chariot (8,2), pawn the knight (3,4) and the pawn (2,3).
const char* const kPickerFen = "5k3/9/r8/6p1n/5nP2/9/P8/C8/9/4K3R w";

// Sets up the picker position with every quiet move given a distinct
// history value, and a fresh record at the current ply.
MovePicker& SetUpPicker(int32_t stage) {
  testing_support::SetUpFen(kPickerFen);
  MovePicker& r = movePickers[historyPly];
  r.next = r.count = 0;
  GenerateQuietMoves();
  for (int i = 0; i < r.count; ++i) {
    const Square from = MoveFrom(r.entries[i].move);
    historyTable[colouredTypeOf[board[from]]][172 * from + MoveTo(r.entries[i].move)] = 1 + (i * 7919) % 1000;
  }
  MarkHistoryTableWritten();
  r = MovePicker{};
  r.stage = stage;
  followPv = 0;
  return r;
}

// The quiet moves of the position, highest history first.
std::vector<Move> QuietByHistory() {
  std::vector<Move> moves = GeneratedMoves(GenerateQuietMoves);
  std::sort(moves.begin(), moves.end(), [](Move a, Move b) { return HistoryOf(a) > HistoryOf(b); });
  return moves;
}

std::vector<Move> Without(std::vector<Move> moves, std::initializer_list<Move> skip) {
  moves.erase(std::remove_if(moves.begin(), moves.end(),
                             [&](Move m) { return std::find(skip.begin(), skip.end(), m) != skip.end(); }),
              moves.end());
  return moves;
}

// Calls NextMove until it returns 0, recording the stage after each call.
std::vector<Move> Drain(std::vector<int32_t>* stages = nullptr) {
  std::vector<Move> moves;
  for (int guard = 0; guard < 200; ++guard) {
    const Move m = NextMove();
    if (m == 0) break;
    moves.push_back(m);
    if (stages) stages->push_back(movePickers[historyPly].stage);
  }
  return moves;
}

void Append(std::vector<Move>& to, const std::vector<Move>& more) { to.insert(to.end(), more.begin(), more.end()); }

// ---------------------------------------------------------------------------

TEST(NextMove, HandsOutEveryStageInOrder) {
  MovePicker& r = SetUpPicker(kStagePv);
  const auto quiet = QuietByHistory();
  followPv = 1;
  r.pvMove = kKingUp;
  r.ttMove = kChariotTakesKnight;
  r.killer1 = kPawnAside;
  r.killer2 = kPawnTakesPawn;  // a capture: offered again as a killer
  std::vector<int32_t> stages;
  const auto got = Drain(&stages);

  std::vector<Move> expected = {kKingUp, kChariotTakesKnight, kCannonTakesChariot, kPawnTakesKnight,
                                kPawnTakesPawn, kPawnAside, kPawnTakesPawn};
  Append(expected, Without(quiet, {kKingUp, kPawnAside}));
  EXPECT_EQ(got, expected);
  ASSERT_GE(stages.size(), 8u);
  EXPECT_EQ(std::vector<int32_t>(stages.begin(), stages.begin() + 8),
            (std::vector<int32_t>{kStageTt, kStageGenCaptures, kStageCaptures, kStageCaptures, kStageCaptures,
                                  kStageKiller2, kStageGenQuiet, kStageQuiet}));
  EXPECT_EQ(r.returnedPv, kKingUp);
  EXPECT_EQ(r.returnedTt, kChariotTakesKnight);
  EXPECT_EQ(r.returnedKiller1, kPawnAside);
  EXPECT_EQ(r.returnedKiller2, kPawnTakesPawn);
  EXPECT_EQ(followPv, 1u);
  // Exhausted: every further call returns 0.
  for (int i = 0; i < 3; ++i) EXPECT_EQ(NextMove(), 0u);
}

TEST(NextMove, PvMoveOnlyWhileFollowingThePv) {
  // followPv clear: the PV move is not offered first, nor remembered.
  MovePicker& r = SetUpPicker(kStagePv);
  r.pvMove = kKingUp;
  EXPECT_EQ(NextMove(), kCannonTakesChariot);
  EXPECT_EQ(r.returnedPv, 0u);
  EXPECT_EQ(followPv, 0u);

  // followPv set with no PV move: nothing is tested, the flag stays.
  MovePicker& r2 = SetUpPicker(kStagePv);
  followPv = 1;
  r2.ttMove = kChariotUp;
  EXPECT_EQ(NextMove(), kChariotUp);
  EXPECT_EQ(followPv, 1u);

  // followPv set and a PV move that is not valid here: the flag is cleared
  // and the same call goes on with the TT move.
  MovePicker& r3 = SetUpPicker(kStagePv);
  followPv = 1;
  r3.pvMove = M(4, 9, 4, 7);  // two king steps
  r3.ttMove = kChariotUp;
  EXPECT_EQ(NextMove(), kChariotUp);
  EXPECT_EQ(followPv, 0u);
  EXPECT_EQ(r3.returnedPv, 0u);
  EXPECT_EQ(r3.stage, kStageGenCaptures);
}

TEST(NextMove, SuggestedMovesAreNotRepeated) {
  // A TT move equal to the PV move is not offered again, and the capture
  // stage skips it too.
  MovePicker& r = SetUpPicker(kStagePv);
  followPv = 1;
  r.pvMove = r.ttMove = kCannonTakesChariot;
  auto got = Drain();
  EXPECT_EQ(std::count(got.begin(), got.end(), kCannonTakesChariot), 1);
  EXPECT_EQ(std::vector<Move>(got.begin(), got.begin() + 4),
            (std::vector<Move>{kCannonTakesChariot, kPawnTakesKnight, kChariotTakesKnight, kPawnTakesPawn}));

  // A killer equal to the TT move is not offered again; an invalid killer is
  // passed over silently.
  MovePicker& r2 = SetUpPicker(kStageTt);
  r2.ttMove = r2.killer1 = kPawnAside;
  r2.killer2 = M(5, 5, 5, 4);  // empty square
  got = Drain();
  std::vector<Move> expected = {kPawnAside, kCannonTakesChariot, kPawnTakesKnight, kChariotTakesKnight,
                                kPawnTakesPawn};
  Append(expected, Without(QuietByHistory(), {kPawnAside}));
  EXPECT_EQ(got, expected);
  EXPECT_EQ(r2.returnedKiller1, 0u);
  EXPECT_EQ(r2.returnedKiller2, 0u);

  // killer2 equal to a handed-out killer1 comes once.
  MovePicker& r3 = SetUpPicker(kStageGenCaptures);
  r3.killer1 = r3.killer2 = kKingUp;
  got = Drain();
  EXPECT_EQ(std::count(got.begin(), got.end(), kKingUp), 1);
  EXPECT_EQ(got.at(4), kKingUp);
  EXPECT_EQ(r3.stage, kStageQuiet);

  // A TT move that is not valid in this position is passed over.
  MovePicker& r4 = SetUpPicker(kStageTt);
  r4.ttMove = M(0, 9, 0, 2);  // through the knight
  EXPECT_EQ(NextMove(), kCannonTakesChariot);
  EXPECT_EQ(r4.returnedTt, 0u);
}

TEST(NextMove, StartsWithTheBestQuietMoveWhenNothingElseIsThere) {
  // Red: king (5,9), adviser (4,8), chariot (3,9); no captures.
  testing_support::SetUpFen("4k4/9/9/9/9/9/9/9/4A4/3K1R3 w");
  ClearHistoryTables();
  MovePicker& r = movePickers[historyPly];
  r = MovePicker{};
  r.next = r.count = 0;
  GenerateQuietMoves();
  ASSERT_GT(r.count, 3);
  const Move favourite = r.entries[r.count / 2].move;
  historyTable[colouredTypeOf[board[MoveFrom(favourite)]]][172 * MoveFrom(favourite) + MoveTo(favourite)] = 999;
  MarkHistoryTableWritten();
  r.stage = kStageGenCaptures;
  EXPECT_EQ(NextMove(), favourite);
  EXPECT_EQ(r.stage, kStageQuiet);
}

TEST(NextMove, EntryCodes) {
  // Killer stage 1 as an entry code: offers killer 1 at once.
  MovePicker& r = SetUpPicker(kStageKiller1);
  r.killer1 = kKingUp;
  EXPECT_EQ(NextMove(), kKingUp);
  EXPECT_EQ(r.stage, kStageKiller2);
  // Codes the picker does not know hand out nothing and change nothing.
  for (int32_t code : {1, 2, 6, 11, 12, 13, 14, -1, 100}) {
    MovePicker& u = SetUpPicker(code);
    u.ttMove = kKingUp;
    EXPECT_EQ(NextMove(), 0u) << code;
    EXPECT_EQ(u.stage, code);
    EXPECT_EQ(u.count, 0);
  }
}

TEST(NextMove, HandsOutEveryMoveOnceOnPositionsFromRandomPlay) {
  // With random suggestions (valid or not), the moves handed out are exactly
  // the generated moves plus the valid suggestions, minus the skips of the
  // returned slots; captures come before quiet moves.
  std::mt19937 rng(7);
  for (int game = 0; game < 20; ++game) {
    testing_support::SetUpFen(testing_support::kStartFen);
    for (int ply = 0; ply < 60; ++ply) {
      const auto legal = testing_support::LegalMoves();
      if (legal.empty()) break;
      const std::vector<Move> all = GeneratedMoves(GenerateAllMoves);
      MovePicker& r = movePickers[historyPly];
      auto suggest = [&]() -> Move {
        switch (rng() % 4) {
          case 0: return 0;
          case 1: return M(rng() % 9, rng() % 10, rng() % 9, rng() % 10);
          default: return all[rng() % all.size()];
        }
      };
      r = MovePicker{};
      r.stage = kStagePv;
      followPv = rng() % 2;
      r.pvMove = suggest();
      r.ttMove = suggest();
      r.killer1 = suggest();
      r.killer2 = rng() % 3 == 0 ? r.killer1 : suggest();
      auto valid = [&](Move m) { return std::find(all.begin(), all.end(), m) != all.end(); };
      std::vector<Move> expected;
      const Move pv = followPv && valid(r.pvMove) ? r.pvMove : 0;
      const Move tt = valid(r.ttMove) && r.ttMove != pv ? r.ttMove : 0;
      const Move k1 = valid(r.killer1) && r.killer1 != pv && r.killer1 != tt ? r.killer1 : 0;
      const Move k2 = valid(r.killer2) && r.killer2 != pv && r.killer2 != tt && r.killer2 != k1 ? r.killer2 : 0;
      for (Move m : {pv, tt, k1, k2})
        if (m) expected.push_back(m);
      for (Move m : all) {
        const bool capture = board[MoveTo(m)] != 0;
        if (m != pv && m != tt && (capture || (m != k1 && m != k2))) expected.push_back(m);
      }
      auto got = Drain();
      // Captures, in non-increasing score, come right after the PV and TT moves.
      size_t captures = 0;
      for (Move m : all) captures += board[MoveTo(m)] != 0 && m != pv && m != tt;
      const size_t first = (pv != 0) + (tt != 0);
      int32_t last = 1 << 30;
      for (size_t i = first; i < first + captures && i < got.size(); ++i) {
        ASSERT_NE(board[MoveTo(got[i])], 0);
        EXPECT_LE(pieceOrderValue[board[MoveTo(got[i])]], last);
        last = pieceOrderValue[board[MoveTo(got[i])]];
      }
      std::sort(got.begin(), got.end());
      std::sort(expected.begin(), expected.end());
      ASSERT_EQ(got, expected) << testing_support::CurrentFen();
      ASSERT_EQ(testing_support::PlayMove(testing_support::RandomMove(legal, rng)), 1);
    }
  }
}

// ---------------------------------------------------------------------------

// A record with the given (from-square, score) entries.
MovePicker& Record(const std::vector<std::pair<Square, int32_t>>& entries, int next = 0) {
  MovePicker& r = movePickers[historyPly];
  r = MovePicker{};
  for (size_t i = 0; i < entries.size(); ++i)
    r.entries[i] = {MakeMoveCode(entries[i].first, static_cast<Square>(i + 1)), entries[i].second};
  r.count = static_cast<int32_t>(entries.size());
  r.next = next;
  return r;
}

TEST(PickBestWithTieBreak, CheaperMoverWinsAmongEqualScores) {
  testing_support::SetUpFen(kPickerFen);
  const Square chariot = MakeSquare(0, 9), cannon = MakeSquare(8, 7), pawn1 = MakeSquare(2, 4),
               pawn2 = MakeSquare(8, 6);
  MovePicker* r = &Record({{chariot, 550}, {pawn1, 550}});
  PickBestWithTieBreak(*r);
  EXPECT_EQ(MoveFrom(r->entries[0].move), pawn1);
  EXPECT_EQ(MoveFrom(r->entries[1].move), chariot);  // swapped, score with it
  EXPECT_EQ(r->entries[1].score, 550);

  // Two pawns: the one nearer to `next` wins, even behind a dearer mover.
  r = &Record({{chariot, 100}, {pawn2, 100}, {pawn1, 100}});
  PickBestWithTieBreak(*r);
  EXPECT_EQ(r->entries[0].move, MakeMoveCode(pawn2, 2));

  // A higher score beats a cheaper mover; entries before `next` stay put.
  r = &Record({{cannon, 9999}, {pawn1, 100}, {pawn2, 549}, {chariot, 550}, {cannon, 550}}, 1);
  PickBestWithTieBreak(*r);
  EXPECT_EQ(r->entries[0].move, MakeMoveCode(cannon, 1));
  EXPECT_EQ(r->entries[1].move, MakeMoveCode(cannon, 5));
  EXPECT_EQ(r->entries[4].move, MakeMoveCode(pawn1, 2));
  EXPECT_EQ(r->entries[4].score, 100);

  // Negative scores compare signed.
  r = &Record({{pawn1, -5}, {chariot, 3}});
  PickBestWithTieBreak(*r);
  EXPECT_EQ(r->entries[0].score, 3);
}

TEST(PickBest, FirstOfEqualScoresWins) {
  testing_support::SetUpFen(kPickerFen);
  const Square chariot = MakeSquare(0, 9), pawn1 = MakeSquare(2, 4);
  MovePicker* r = &Record({{chariot, 550}, {pawn1, 550}});
  PickBest(*r);
  EXPECT_EQ(MoveFrom(r->entries[0].move), chariot);
  r = &Record({{pawn1, 100}, {chariot, 550}, {pawn1, 550}, {pawn1, -7}});
  PickBest(*r);
  EXPECT_EQ(r->entries[0].move, MakeMoveCode(chariot, 2));
  EXPECT_EQ(r->entries[1].move, MakeMoveCode(pawn1, 1));
}

// A record whose entry i has the given score and move i (so that the order
// of equal scores shows).
MovePicker& Scores(const std::vector<int32_t>& scores) {
  MovePicker& r = movePickers[historyPly];
  r = MovePicker{};
  for (size_t i = 0; i < scores.size(); ++i) r.entries[i] = {static_cast<Move>(i), scores[i]};
  r.count = static_cast<int32_t>(scores.size());
  return r;
}

std::vector<Move> Order(const MovePicker& r) {
  std::vector<Move> out;
  for (int i = 0; i < r.count; ++i) out.push_back(r.entries[i].move);
  return out;
}

TEST(SortByScore, SmallCounts) {
  MovePicker& r = Scores({5, 7, 7});
  SortByScore(r);
  EXPECT_EQ(Order(r), (std::vector<Move>{1, 2, 0}));
  // 0 and 1 entries: nothing happens, entries beyond the count untouched.
  MovePicker& one = Scores({1, 9});
  one.count = 1;
  SortByScore(one);
  EXPECT_EQ(one.entries[0].move, 0u);
  EXPECT_EQ(one.entries[1].move, 1u);
  MovePicker& none = Scores({1, 9});
  none.count = 0;
  SortByScore(none);
  EXPECT_EQ(none.entries[0].move, 0u);
}

TEST(SortByScore, ExactGapPassesDecideTheOrderOfEqualScores) {
  // Five entries: gaps 4 and 1. The gap-4 pass moves the 7 to the front and
  // the first 5 to the back; equal scores never pass each other afterwards.
  MovePicker& r5 = Scores({5, 5, 5, 5, 7});
  SortByScore(r5);
  EXPECT_EQ(Order(r5), (std::vector<Move>{4, 1, 2, 3, 0}));

  // Thirteen entries: gaps 4 and 1 (not 13). The 9 climbs 12 -> 8 -> 4 -> 0.
  std::vector<int32_t> s(13, 0);
  s[12] = 9;
  MovePicker& r13 = Scores(s);
  SortByScore(r13);
  EXPECT_EQ(Order(r13), (std::vector<Move>{12, 1, 2, 3, 0, 5, 6, 7, 4, 9, 10, 11, 8}));

  // Fourteen entries: gap 13 is used first.
  s.assign(14, 0);
  s[13] = 9;
  MovePicker& r14 = Scores(s);
  SortByScore(r14);
  EXPECT_EQ(Order(r14), (std::vector<Move>{13, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 0}));

  // Forty-one entries: gap 40 swaps the ends directly.
  s.assign(41, 0);
  s[40] = 9;
  MovePicker& r41 = Scores(s);
  SortByScore(r41);
  std::vector<Move> expected41;
  for (Move i = 0; i < 41; ++i) expected41.push_back(i);
  expected41.front() = 40;
  expected41.back() = 0;
  EXPECT_EQ(Order(r41), expected41);
}

TEST(SortByScore, SortsAFullRecordDescending) {
  std::mt19937 rng(3);
  std::vector<int32_t> s(kMaxPickerEntries);
  for (auto& v : s) v = static_cast<int32_t>(rng() % 50) - 10;
  MovePicker& r = Scores(s);
  SortByScore(r);
  std::vector<Move> seen;
  for (int i = 0; i < r.count; ++i) {
    if (i > 0) {
      EXPECT_GE(r.entries[i - 1].score, r.entries[i].score);
    }
    EXPECT_EQ(r.entries[i].score, s[r.entries[i].move]);
    seen.push_back(r.entries[i].move);
  }
  std::sort(seen.begin(), seen.end());
  for (int i = 0; i < r.count; ++i) EXPECT_EQ(seen[i], static_cast<Move>(i));
}

}  // namespace
