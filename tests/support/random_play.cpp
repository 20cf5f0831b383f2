#include "tests/support/random_play.h"

#include <filesystem>
#include <fstream>

#include "tests/support/test_position.h"

namespace testing_support {

Move RandomMove(const std::vector<Move>& moves, std::mt19937& rng) {
  return moves[rng() % moves.size()];
}

Move RandomMovePreferringCaptures(const std::vector<Move>& moves, std::mt19937& rng,
                                  uint32_t outOf) {
  std::vector<Move> captures;
  for (Move m : moves)
    if (board[MoveTo(m)] != 0) captures.push_back(m);
  return !captures.empty() && rng() % outOf != 0 ? RandomMove(captures, rng)
                                                 : RandomMove(moves, rng);
}

std::vector<std::string> PlayedPositions(uint32_t seed, int games,
                                         const std::function<void()>& afterEachMove) {
  std::vector<std::string> fens;
  std::mt19937 rng(seed);
  for (int game = 0; game < games; ++game) {
    SetUpFen(kStartFen);
    for (int ply = 0; ply < 110; ++ply) {
      const std::vector<Move> moves = LegalMoves();
      if (moves.empty()) break;
      if (!PlayMove(RandomMove(moves, rng))) break;
      fens.push_back(CurrentFen());
      if (afterEachMove) afterEachMove();
    }
  }
  for (const auto& entry : std::filesystem::directory_iterator(VORELK_TESTDATA_DIR "/games")) {
    const std::string name = entry.path().filename().string();
    if (name.rfind("master-", 0) != 0 || entry.path().extension() != ".txt") continue;
    std::ifstream in(entry.path());
    SetUpFen(kStartFen);
    std::string text;
    while (in >> text) {
      const Move m = ParseCoordMove(text.c_str());
      if (m == 0 || !PlayMove(m)) break;
      fens.push_back(CurrentFen());
      if (historyPly >= 100) SetUpFen(fens.back());
      if (afterEachMove) afterEachMove();
    }
  }
  return fens;
}

}  // namespace testing_support
