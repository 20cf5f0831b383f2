// The line generators (quiet moves onto or off one file or rank) against the
// quiet moves of the full generator on every line of many positions, and
// their order on hand-built positions.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "engine/position/position.h"
#include "tests/support/board_builder.h"
#include "tests/support/move_lists.h"
#include "tests/support/random_play.h"
#include "tests/support/test_position.h"

namespace {

using testing_support::FenOf;
using testing_support::GeneratedMoves;
using testing_support::HistoryOf;
using testing_support::M;
using testing_support::MovesOf;
using testing_support::Placed;
using testing_support::PlayedPositions;
using testing_support::SetUpFen;
using testing_support::Texts;

// Deterministic history values with many ties (the reset clears the table).
void FillHistory() { testing_support::FillHistory(99991, 0xFFF); }

uint32_t FileCode(int file) { return 16 * (file + 2); }
uint32_t RankCode(int rank) { return rank + 2; }

// Generation order of the pieces: chariots, knights, cannons, pawns,
// elephants, advisers, king; within a kind by index.
int GroupKey(int piece) {
  static constexpr int kKey[17] = {0, 15, 13, 14, 11, 12, 2, 3, 0, 1, 4, 5, 6, 7, 8, 9, 10};
  return kKey[piece > 16 ? piece - 16 : piece];
}

struct Line {
  bool file;
  uint32_t code;
  bool Holds(Square s) const { return file ? (s & 0xF0) == code : (s & 0x0F) == code; }
};

std::vector<MoveEntry> Generate(Line line) {
  MovePicker& r = movePickers[historyPly];
  r.count = 99;  // a stale value the generator must replace
  if (line.file)
    GenerateFileInterpositions(line.code);
  else
    GenerateRankInterpositions(line.code);
  EXPECT_GE(r.count, 0);
  EXPECT_LE(r.count, kMaxPickerEntries);
  return std::vector<MoveEntry>(r.entries, r.entries + std::max(0, r.count));
}

// Every line of the position: the generator lists exactly the quiet moves of
// the full generator that start or end on the line. Nothing is left out on
// purpose: with the king's line this is the superset of the quiet evasions
// (blocks, screens stepping off, king moves) and of moves to the far end of
// the line, which MakeMove refuses later.
void CompareAllLines() {
  std::vector<Move> quiet;
  for (Move m : GeneratedMoves(GenerateAllMoves))
    if (board[MoveTo(m)] == 0) quiet.push_back(m);
  const std::vector<Move> quietOrder = GeneratedMoves(GenerateQuietMoves);
  std::vector<Line> lines;
  for (int f = 0; f < 9; ++f) lines.push_back({true, FileCode(f)});
  for (int r = 0; r < 10; ++r) lines.push_back({false, RankCode(r)});
  for (const Line& line : lines) {
    SCOPED_TRACE(testing_support::CurrentFen() + (line.file ? " file code " : " rank code ") +
                 std::to_string(line.code));
    const std::vector<MoveEntry> got = Generate(line);
    std::vector<Move> want;
    for (Move m : quiet)
      if (line.Holds(MoveFrom(m)) || line.Holds(MoveTo(m))) want.push_back(m);
    std::vector<Move> gotMoves = MovesOf(got);
    std::sort(gotMoves.begin(), gotMoves.end());
    std::sort(want.begin(), want.end());
    EXPECT_EQ(Texts(gotMoves), Texts(want));

    int lastKey = -1;
    for (const MoveEntry& e : got) {
      const int piece = board[MoveFrom(e.move)];
      EXPECT_EQ(e.score, static_cast<int32_t>(HistoryOf(e.move)));
      EXPECT_GE(GroupKey(piece), lastKey) << testing_support::MoveText(e.move);
      lastKey = GroupKey(piece);
    }
    // Each piece's own moves come in the direction order of the quiet
    // generator, except a black knight's (the line generators try a knight's
    // legs in one order for both colours; see the hand-built cases).
    std::vector<Move> gotOthers, wantOthers;
    for (Move m : MovesOf(got))
      if (colouredTypeOf[board[MoveFrom(m)]] != kKnight + 7) gotOthers.push_back(m);
    for (Move m : quietOrder)
      if ((line.Holds(MoveFrom(m)) || line.Holds(MoveTo(m))) &&
          colouredTypeOf[board[MoveFrom(m)]] != kKnight + 7)
        wantOthers.push_back(m);
    std::stable_sort(wantOthers.begin(), wantOthers.end(), [](Move a, Move b) {
      return GroupKey(board[MoveFrom(a)]) < GroupKey(board[MoveFrom(b)]);
    });
    EXPECT_EQ(Texts(gotOthers), Texts(wantOthers));
    if (::testing::Test::HasFailure()) return;
  }
}

TEST(Interpositions, MatchTheFullGeneratorOnEveryLine) {
  const std::vector<std::string> fens = PlayedPositions(3113, 12);
  ASSERT_GT(fens.size(), 1000u);
  for (const std::string& fen : fens) {
    SetUpFen(fen);
    FillHistory();
    CompareAllLines();
    if (HasFailure()) return;
  }
}

struct Case {
  const char* name;
  std::vector<Placed> pieces;
  bool blackToMove;
  Line line;
  std::vector<Move> want;  // per piece in generation order
};

// Expected moves are grouped by piece in index order (the FEN reader assigns
// the indices); within one piece the case's order is kept.
void RunCase(const Case& c) {
  SCOPED_TRACE(c.name);
  SetUpFen(FenOf(c.pieces, c.blackToMove ? 'b' : 'w'));
  FillHistory();
  std::vector<Move> want = c.want;
  std::stable_sort(want.begin(), want.end(), [](Move a, Move b) {
    return GroupKey(board[MoveFrom(a)]) < GroupKey(board[MoveFrom(b)]);
  });
  EXPECT_EQ(Texts(MovesOf(Generate(c.line))), Texts(want));
}

TEST(Interpositions, HandBuiltPositionsInGenerationOrder) {
  // clang-format off
  const std::vector<Case> cases = {
      {"red king in check along file 4 from a black chariot",
       {{'k', 3, 0}, {'r', 4, 2}, {'K', 4, 8}, {'R', 0, 2}, {'N', 2, 8}, {'C', 6, 5}, {'P', 3, 6},
        {'P', 3, 4}, {'B', 2, 9}},
       false,
       {true, 96},
       // The chariot's capture of the checker is not listed; the pawn on
       // (3,6) has not crossed the river and gets no sideways move to (4,6).
       {M(2, 8, 4, 7), M(2, 8, 4, 9), M(6, 5, 4, 5), M(3, 4, 4, 4), M(2, 9, 4, 7), M(4, 8, 3, 8),
        M(4, 8, 5, 8), M(4, 8, 4, 7), M(4, 8, 4, 9)}},
      {"the screen of a rank check moves anywhere",
       {{'k', 5, 0}, {'c', 0, 8}, {'K', 4, 8}, {'C', 2, 8}},
       false,
       {false, RankCode(8)},
       {M(2, 8, 2, 9), M(2, 8, 2, 7), M(2, 8, 2, 6), M(2, 8, 2, 5), M(2, 8, 2, 4), M(2, 8, 2, 3),
        M(2, 8, 2, 2), M(2, 8, 2, 1), M(2, 8, 2, 0), M(2, 8, 3, 8), M(2, 8, 1, 8), M(4, 8, 3, 8),
        M(4, 8, 5, 8), M(4, 8, 4, 7), M(4, 8, 4, 9)}},
      {"black pieces on and onto file 4",
       {{'K', 5, 9}, {'k', 4, 0}, {'a', 4, 1}, {'r', 8, 2}, {'n', 4, 5}, {'n', 3, 1}, {'p', 3, 3},
        {'p', 3, 7}, {'b', 2, 0}, {'b', 6, 4}},
       true,
       {true, 96},
       {M(8, 2, 4, 2),
        // knight on the line: legs -1, -16, +16, +1 as for red
        M(4, 5, 5, 3), M(4, 5, 2, 6), M(4, 5, 2, 4), M(4, 5, 6, 6), M(4, 5, 5, 7),
        M(3, 1, 4, 3),
        // the pawn on (3,3) has not crossed: no step to (4,3)
        M(3, 7, 4, 7),
        // the elephant on (2,0) has its eye (3,1) blocked; the one on (6,4)
        // may not cross to (4,6)
        M(6, 4, 4, 2),
        M(4, 1, 5, 0), M(4, 1, 3, 0), M(4, 1, 5, 2), M(4, 1, 3, 2),
        M(4, 0, 3, 0), M(4, 0, 5, 0)}},
      {"sliders off a file reach it once and only when nothing stands between",
       {{'k', 3, 0}, {'K', 4, 9}, {'R', 7, 4}, {'R', 0, 4}, {'p', 2, 4}, {'C', 1, 6}, {'P', 3, 6}},
       false,
       {true, FileCode(4)},
       // the chariot on (0,4) and the cannon on (1,6) are blocked short of
       // the file; nothing beyond (4,4) is listed for the chariot on (7,4)
       {M(7, 4, 4, 4), M(4, 9, 3, 9), M(4, 9, 5, 9), M(4, 9, 4, 8)}},
      {"sliders off a rank reach it from either side",
       {{'k', 3, 0}, {'K', 4, 9}, {'R', 2, 2}, {'C', 6, 8}},
       false,
       {false, RankCode(5)},
       {M(2, 2, 2, 5), M(6, 8, 6, 5)}},
      {"red adviser on the palace centre",
       {{'k', 4, 0}, {'K', 3, 9}, {'A', 4, 8}},
       false,
       {false, RankCode(8)},
       {M(4, 8, 5, 9), M(4, 8, 3, 7), M(4, 8, 5, 7), M(3, 9, 3, 8)}},
  };
  // clang-format on
  for (const Case& c : cases) RunCase(c);
}

TEST(Interpositions, FarEndOfTheLineIsListedAndRefusedByMakeMove) {
  // Red king on (4,8) checked by the black chariot on (4,2): the knight's
  // step to (4,9), behind the king, is listed with the block on (4,7).
  SetUpFen(FenOf({{'k', 3, 0}, {'r', 4, 2}, {'K', 4, 8}, {'N', 2, 8}}));
  const std::vector<Move> got = MovesOf(Generate({true, FileCode(4)}));
  ASSERT_NE(std::find(got.begin(), got.end(), M(2, 8, 4, 9)), got.end());
  ASSERT_NE(std::find(got.begin(), got.end(), M(2, 8, 4, 7)), got.end());
  const auto checker = static_cast<int32_t>(RedKingAttacker());
  EXPECT_EQ(MakeMove(M(2, 8, 4, 9), checker), 0);
  ASSERT_EQ(MakeMove(M(2, 8, 4, 7), checker), 1);
  UnmakeMove();
}

TEST(Interpositions, WriteTheRecordOfTheCurrentPlyFromItsStart) {
  SetUpFen(FenOf({{'k', 4, 0}, {'K', 3, 9}, {'A', 4, 8}}));
  historyPly = 3;
  movePickers[3].count = 40;
  movePickers[2].count = 7;
  GenerateRankInterpositions(RankCode(8));
  EXPECT_EQ(movePickers[3].count, 4);
  EXPECT_EQ(movePickers[3].entries[0].move, M(4, 8, 5, 9));
  EXPECT_EQ(movePickers[2].count, 7);
  historyPly = 0;
}

}  // namespace
