// Perft counts of the engine's own generator and move making against the
// published counts, and against fairy-stockfish on positions from random play.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/position/perft.h"
#include "engine/position/position.h"
#include "tests/support/random_play.h"
#include "tests/support/run_tool.h"
#include "tests/support/test_position.h"

namespace {

struct PublishedRow {
  std::string fen;
  std::vector<uint64_t> counts;  // depths 1..5
};

std::vector<PublishedRow> ReadPublished() {
  std::vector<PublishedRow> rows;
  std::ifstream in(std::string(VORELK_TESTDATA_DIR) + "/perft-published.tsv");
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    PublishedRow row;
    std::getline(fields, row.fen, '\t');
    std::string count;
    while (std::getline(fields, count, '\t')) row.counts.push_back(std::stoull(count));
    rows.push_back(row);
  }
  return rows;
}

TEST(Perft, PublishedCountsToDepthFour) {
  const auto rows = ReadPublished();
  ASSERT_EQ(rows.size(), 11u) << "perft-published.tsv not found or changed";
  for (const auto& row : rows) {
    std::string error;
    ASSERT_TRUE(SetUpPerftPosition(row.fen.c_str(), &error)) << row.fen << ": " << error;
    for (int depth = 1; depth <= 4; ++depth)
      EXPECT_EQ(Perft(depth), row.counts[depth - 1]) << row.fen << " depth " << depth;
  }
}

TEST(Perft, DivideSumsToTotalAndLeavesPositionUnchanged) {
  std::string error;
  ASSERT_TRUE(SetUpPerftPosition(testing_support::kStartFen, &error));
  const auto before = testing_support::PositionSnapshot::Take();
  uint64_t sum = 0;
  int moves = 0;
  PerftDivide(3, [&](Move, uint64_t count) {
    sum += count;
    ++moves;
  });
  EXPECT_EQ(moves, 44);
  EXPECT_EQ(sum, 79666u);
  EXPECT_TRUE(testing_support::PositionSnapshot::Take() == before);
}

TEST(Perft, RejectsMalformedPositions) {
  std::string error;
  EXPECT_FALSE(SetUpPerftPosition("rnbakabnr/9/1c5c1", &error));  // too few ranks
  EXPECT_FALSE(SetUpPerftPosition("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBA1ABNR w",
                                  &error));  // no red king
  EXPECT_FALSE(SetUpPerftPosition("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNRR w",
                                  &error));  // ten squares in a rank
  EXPECT_FALSE(SetUpPerftPosition("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR x",
                                  &error));  // unknown side letter
  EXPECT_FALSE(SetUpPerftPosition("4k4/9/9/9/9/9/9/9/9/4K4 w", &error));  // kings facing
  EXPECT_FALSE(SetUpPerftPosition("3k5/9/9/9/9/9/9/9/9/4K4/ w", &error));  // eleven ranks
  EXPECT_FALSE(SetUpPerftPosition("k8/9/9/9/9/9/9/9/9/4K4 w", &error));  // king off palace
  EXPECT_TRUE(SetUpPerftPosition("3k5/9/9/9/9/9/9/9/9/4K4 b", &error)) << error;
}

// The last ply is counted without making its moves; the count must be what
// making each move gives, in checks, pins, facing kings, knight legs and
// cannon screens alike, with and without the iron-pawn rule.
uint64_t CountByMaking(int depth) {
  const auto moves = testing_support::LegalMoves();
  if (depth <= 1) return moves.size();
  uint64_t total = 0;
  const auto checker = static_cast<int32_t>(FindChecker(sideToMove));
  for (Move m : moves) {
    EXPECT_EQ(MakeMove(m, checker), 1);
    total += CountByMaking(depth - 1);
    UnmakeMove();
  }
  return total;
}

TEST(Perft, LastPlyCountEqualsMakingEachMove) {
  auto fens = testing_support::PlayedPositions(7, 12);
  ASSERT_GT(fens.size(), 500u);
  // A chariot on the leg of a knight aimed at its king, either side to move.
  fens.insert(fens.begin(), {"5k3/9/9/9/9/9/9/2nR5/4K4/9 w", "9/4k4/2Nr5/9/9/9/9/9/9/5K3 b"});
  for (const uint32_t iron : {0u, 1u}) {
    int checked = 0;
    for (size_t i = 0; i < fens.size(); i += i < 2 ? 1 : 3) {
      std::string error;
      if (!SetUpPerftPosition(fens[i].c_str(), &error)) continue;
      redIronPawn = blackIronPawn = iron;
      for (int depth = 1; depth <= 2; ++depth)
        ASSERT_EQ(Perft(depth), CountByMaking(depth)) << fens[i] << " iron " << iron;
      ++checked;
    }
    redIronPawn = blackIronPawn = 0;
    EXPECT_GT(checked, 150) << "iron " << iron;
  }
}

// --- fairy-stockfish as an independent oracle ---

std::string OracleCommand() {
  for (const char* path : {"/usr/games/fairy-stockfish", "/usr/bin/fairy-stockfish"}) {
    if (std::FILE* f = std::fopen(path, "r")) {
      std::fclose(f);
      return path;
    }
  }
  return "";
}

// Runs the oracle on a batch of positions and returns the perft totals.
std::vector<uint64_t> OraclePerft(const std::string& exe, const std::vector<std::string>& fens,
                                  int depth) {
  const std::string script = testing::TempDir() + "/oracle_in.txt";
  {
    std::ofstream out(script);
    out << "uci\nsetoption name UCI_Variant value xiangqi\n";
    for (const auto& fen : fens) out << "position fen " << fen << "\ngo perft " << depth << "\n";
    out << "quit\n";
  }
  std::vector<uint64_t> totals;
  std::istringstream out(testing_support::RunCommand(exe + " < " + script + " 2>/dev/null").output);
  for (std::string line; std::getline(out, line);) {
    unsigned long long n = 0;
    if (std::sscanf(line.c_str(), "Nodes searched: %llu", &n) == 1) totals.push_back(n);
  }
  return totals;
}

TEST(Perft, AgreesWithOracleOnRandomGames) {
  const std::string exe = OracleCommand();
  if (exe.empty()) GTEST_SKIP() << "fairy-stockfish is not installed";
  std::mt19937 rng(20261207);
  std::vector<std::string> fens;
  std::vector<uint64_t> ours;
  for (int game = 0; game < 40; ++game) {
    testing_support::SetUpFen(testing_support::kStartFen);
    const int plies = 10 + static_cast<int>(rng() % 70);
    for (int ply = 0; ply < plies; ++ply) {
      const auto moves = testing_support::LegalMoves();
      if (moves.empty()) break;
      ASSERT_EQ(testing_support::PlayMove(testing_support::RandomMove(moves, rng)), 1);
      if (historyPly >= 100) break;
    }
    const std::string fen = testing_support::CurrentFen();
    std::string error;
    ASSERT_TRUE(SetUpPerftPosition(fen.c_str(), &error)) << fen << ": " << error;
    fens.push_back(fen);
    ours.push_back(Perft(3));
  }
  const auto theirs = OraclePerft(exe, fens, 3);
  ASSERT_EQ(theirs.size(), fens.size());
  for (size_t i = 0; i < fens.size(); ++i) EXPECT_EQ(ours[i], theirs[i]) << fens[i];
}

}  // namespace
